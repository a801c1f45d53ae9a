// Cost of the engine layer's synchronous calls against the real engine, offscreen.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "NameSpace.h"
#include "../tests/support/EngineMain.h"
#include "WebBrowser.h"

namespace {

zv::TWebBrowser* Browser = nullptr;

// What the main window asks after each key or click.
const std::vector<int> ControlCommands{
    zv::IDM_CUT, zv::IDM_COPY, zv::IDM_PASTE, zv::IDM_UNDO, zv::IDM_REDO, zv::IDM_FIND,
    zv::IDM_HYPERLINK, zv::IDM_JUSTIFYLEFT, zv::IDM_JUSTIFYCENTER, zv::IDM_JUSTIFYRIGHT,
    zv::IDM_ORDERLIST, zv::IDM_UNORDERLIST, zv::IDM_BOLD, zv::IDM_ITALIC, zv::IDM_UNDERLINE,
    zv::IDM_INDENT, zv::IDM_OUTDENT, zv::IDM_FORECOLOR, zv::IDM_BACKCOLOR, zv::IDM_BLOCKFMT,
    zv::IDM_FONTNAME, zv::IDM_FONTSIZE};

void SyncCall(benchmark::State& State)
{
    const zv::THtmlElement Body = Browser->Document().body();
    for (auto _ : State) benchmark::DoNotOptimize(Body.tagName());
}
BENCHMARK(SyncCall)->Unit(benchmark::kMicrosecond);

void CommandStatusBatch(benchmark::State& State)
{
    for (auto _ : State) benchmark::DoNotOptimize(Browser->QueryStatusList(ControlCommands));
    State.counters["commands"] = static_cast<double>(ControlCommands.size());
}
BENCHMARK(CommandStatusBatch)->Unit(benchmark::kMicrosecond);

void CommandStatusOneByOne(benchmark::State& State)
{
    for (auto _ : State)
        for (int Cmd : ControlCommands) benchmark::DoNotOptimize(Browser->QueryStatus(Cmd));
}
BENCHMARK(CommandStatusOneByOne)->Unit(benchmark::kMicrosecond);

void TableLayout(benchmark::State& State)
{
    const zv::THtmlTable Table = Browser->Document().getElementById("t").asTable();
    for (auto _ : State) benchmark::DoNotOptimize(Table.Layout());
    State.counters["cells"] = 100;
}
BENCHMARK(TableLayout)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);

    QByteArray Page = "<html><body contentEditable=\"TRUE\"><p id=p>Some text to select.</p>"
                      "<table id=t border=1>";
    for (int R = 0; R < 10; ++R) {
        Page += "<tr>";
        for (int C = 0; C < 10; ++C) Page += "<td>" + QByteArray::number(R * 10 + C) + "</td>";
        Page += "</tr>";
    }
    Page += "</table></body></html>";
    zv::RegisterNameSpace([&](QObject*, const zv::WideString& Url, bool& Handled, int& Size,
                              zv::TMemoryStream& Stream) {
        if (Url != u"idoc:index.html") return;
        Stream.WriteBuffer(Page.constData(), Page.size());
        Size = static_cast<int>(Page.size());
        Handled = true;
    });
    {
        zv::TWebBrowser View;
        View.resize(800, 600);
        View.show();
        if (!View.Navigate(QUrl("idoc:index.html"))) return 1;
        View.CallLayer("rangeSelect", {View.Document().createTextRange().Number()});
        Browser = &View;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Browser = nullptr;
    }
    zv::UnregisterNameSpace();
    return 0;
}
