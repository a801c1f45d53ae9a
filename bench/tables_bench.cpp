// Cost of one repaint of the cell selection while the pointer moves over a 30 by 30 table of
// the design view, against the real engine, offscreen.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "HtmlDesigner.h"
#include "TableEditor.h"
#include "NameSpace.h"

namespace {

constexpr int Size = 30;

zv::THtmlDesigner* Designer = nullptr;
std::vector<std::vector<zv::THtmlTableCell>> Cells;

zv::TPageEvent Event(const char* Type, int Row, int Col)
{
    zv::TPageEvent E;
    E.Type = Type;
    E.srcElement = Cells[Row][Col];
    E.Buttons = Type[5] == 'd' || Type[5] == 'm' ? 1 : 0;
    return E;
}

// The mouse events as the view's event hook passes them on.
void Mouse(const zv::TPageEvent& Event) { Designer->Tables().MouseEvent(Event); }

// The pointer goes down the diagonal and back, one cell at a time: each move paints.
void MoveToNextCell(benchmark::State& State)
{
    Mouse(Event("mousedown", 0, 0));
    int Step = 1;
    for (auto _ : State) {
        const int K = Step < Size ? Step : 2 * Size - 2 - Step;
        Mouse(Event("mousemove", K, K));
        Step = (Step + 1) % (2 * Size - 2);
    }
    Mouse(Event("mouseup", 0, 0));
    State.counters["cells"] = Size * Size;
}
BENCHMARK(MoveToNextCell)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The pointer jumps between the far corner and the pressed cell's neighbour: most cells change.
void JumpAcrossTable(benchmark::State& State)
{
    Mouse(Event("mousedown", 0, 0));
    bool Far = true;
    for (auto _ : State) {
        Mouse(Far ? Event("mousemove", Size - 1, Size - 1) : Event("mousemove", 1, 1));
        Far = !Far;
    }
    Mouse(Event("mouseup", 0, 0));
}
BENCHMARK(JumpAcrossTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The pointer stays in one cell: nothing is read or painted after the first move.
void StayInCell(benchmark::State& State)
{
    Mouse(Event("mousedown", 0, 0));
    Mouse(Event("mousemove", 3, 3));
    for (auto _ : State) Mouse(Event("mousemove", 3, 3));
    Mouse(Event("mouseup", 0, 0));
}
BENCHMARK(StayInCell)->Unit(benchmark::kMillisecond);

// One read of the whole table, as a command makes it.
void ReadTable(benchmark::State& State)
{
    const zv::THtmlTable T = Cells[0][0].Place().Table;
    for (auto _ : State) benchmark::DoNotOptimize(T.Layout());
}
BENCHMARK(ReadTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    zv::RegisterNameSpaceSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication App(argc, argv);

    std::string Body = "<table border=1>";
    for (int R = 0; R < Size; ++R) {
        Body += "<tr>";
        for (int C = 0; C < Size; ++C) Body += "<td>" + std::to_string(R * Size + C) + "</td>";
        Body += "</tr>";
    }
    Body += "</table>";
    {
        zv::THtmlDesigner View;
        View.resize(1200, 900);
        View.show();
        View.SetHtml(zv::Utf8ToUtf16("<html><head><title>Bench</title></head><body>" + Body +
                                     "</body></html>"));
        const zv::THtmlElement PageBody = View.Document().body();
        const zv::THtmlTable Table =
            zv::THtmlElement(&View, View.Generation(), PageBody.getProperty("firstElementChild").toInt()).asTable();
        if (!Table) return 1;
        for (const zv::TRowLayout& Row : Table.Layout()) {
            Cells.emplace_back();
            for (const zv::TCellLayout& Cell : Row.Cells) Cells.back().push_back(Cell.Cell);
        }
        if (Cells.size() != Size) return 1;
        Designer = &View;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Designer = nullptr;
        Cells.clear();
    }
    return 0;
}
