// The design view under long use, against the real engine offscreen and driven by real mouse
// and key events as the main window sees them (its controls read after each key and click):
// the page's memory and held objects over 100,000 clicks and keys, the trips to the page per
// mouse move, and the undo groups of a typed sentence. ZV_LONGUSE_ACTIONS sets another count.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "HtmlDesigner.h"
#include "NameSpace.h"
#include "support/EngineMain.h"
#include "support/PageDriver.h"

namespace {

zv::THtmlDesigner* Designer = nullptr;

// Runs the event loop until the page reports an event of Type (at most 5 s).
void WaitForPage(const char* Type)
{
    QEventLoop Loop;
    const auto C = QObject::connect(Designer, &zv::TWebBrowser::PageEvent, [&](const zv::TPageEvent& E) {
        if (E.Type == Type) Loop.quit();
    });
    QTimer::singleShot(5000, &Loop, &QEventLoop::quit);
    Loop.exec();
    QObject::disconnect(C);
}

// The page's JavaScript heap after a full collection, in KiB.
double PageHeapKiB()
{
    return zv::test::PageEval(*Designer, "gc(); performance.memory.usedJSHeapSize").toDouble() / 1024.0;
}

void LoadPage()
{
    std::string Body = "<table border=\"1\">";
    for (int R = 0; R < 12; ++R) {
        Body += "<tr>";
        for (int C = 0; C < 10; ++C) Body += "<td>cell " + std::to_string(R * 10 + C) + "</td>";
        Body += "</tr>";
    }
    Body += "</table>";
    for (int P = 0; P < 6; ++P) Body += "<p>A paragraph of words to move through, number " + std::to_string(P) + ".</p>";
    Designer->SetHtml(zv::Utf8ToUtf16("<html><head><title>Long use</title></head><body>" + Body + "</body></html>"));
}

std::vector<QPoint> Targets()
{
    const QVariantList List = zv::test::PageEval(*Designer,
        "[...document.querySelectorAll('td, p')].map(e => { const r = e.getBoundingClientRect();"
        " return [r.left + r.width / 2, r.top + r.height / 2]; }).filter(p => p[1] < 590)").toList();
    std::vector<QPoint> Points;
    for (const QVariant& V : List) Points.emplace_back(qRound(V.toList()[0].toDouble()), qRound(V.toList()[1].toDouble()));
    return Points;
}

void ClicksAndKeys(benchmark::State& State)
{
    const char* Env = std::getenv("ZV_LONGUSE_ACTIONS");
    const int Actions = Env ? std::max(10, std::atoi(Env)) : 100000;
    static const Qt::Key Keys[] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_End, Qt::Key_Up, Qt::Key_Home};
    for (auto _ : State) {
        LoadPage();
        const std::vector<QPoint> Points = Targets();
        QWidget* Proxy = Designer->focusProxy();
        const double HeapStart = PageHeapKiB();
        const int ObjectsStart = Designer->PageObjectCount();
        double HeapMax = HeapStart;
        int ObjectsMax = ObjectsStart;
        std::fprintf(stderr, "%10s %14s %14s\n", "actions", "heap KiB", "page objects");
        std::fprintf(stderr, "%10d %14.0f %14d\n", 0, HeapStart, ObjectsStart);
        for (int I = 1; I <= Actions; ++I) {
            if (I % 2) {
                const QPoint P = Points[(I / 2) % Points.size()];
                QTest::mousePress(Proxy, Qt::LeftButton, {}, P);
                QTest::mouseRelease(Proxy, Qt::LeftButton, {}, P);
                WaitForPage("mouseup");
            } else {
                QTest::keyClick(Proxy, Keys[(I / 2) % std::size(Keys)]);
                WaitForPage("keyup");
            }
            if (I % (Actions / 10) == 0) {
                const double Heap = PageHeapKiB();
                const int Objects = Designer->PageObjectCount();
                HeapMax = std::max(HeapMax, Heap);
                ObjectsMax = std::max(ObjectsMax, Objects);
                std::fprintf(stderr, "%10d %14.0f %14d\n", I, Heap, Objects);
            }
        }
        State.counters["actions"] = Actions;
        State.counters["heap_start_KiB"] = HeapStart;
        State.counters["heap_end_KiB"] = PageHeapKiB();
        State.counters["heap_max_KiB"] = HeapMax;
        State.counters["objects_max"] = ObjectsMax;
    }
}
BENCHMARK(ClicksAndKeys)->Unit(benchmark::kSecond)->Iterations(1);

// Trips to the page per mouse move: over one element, and from element to element.
void MouseMoveTrips(benchmark::State& State)
{
    LoadPage();
    const std::vector<QPoint> Points = Targets();
    QWidget* Proxy = Designer->focusProxy();
    QTest::mouseMove(Proxy, Points[0]);
    zv::test::WaitForFrames(*Designer);
    double Same = 0, Across = 0;
    const int Moves = 1000;
    for (auto _ : State) {
        uint64_t Trips = Designer->RoundTrips();
        for (int I = 0; I < Moves; ++I) QTest::mouseMove(Proxy, Points[0] + QPoint(I % 9 - 4, I % 5 - 2));
        Same = double(Designer->RoundTrips() - Trips) / Moves;
        Trips = Designer->RoundTrips();
        for (int I = 0; I < Moves; ++I) QTest::mouseMove(Proxy, Points[I % Points.size()]);
        Across = double(Designer->RoundTrips() - Trips) / Moves;
    }
    State.counters["trips_same_element"] = Same;
    State.counters["trips_element_to_element"] = Across;
}
BENCHMARK(MouseMoveTrips)->Unit(benchmark::kMillisecond)->Iterations(1);

// Undo groups after typing one sentence with real keys.
void TypedSentenceGroups(benchmark::State& State)
{
    const QString Sentence = "The quick brown fox jumps over the lazy dog, and types on.";
    size_t Groups = 0;
    for (auto _ : State) {
        LoadPage();
        QWidget* Proxy = Designer->focusProxy();
        const QPoint P = Targets().back();
        QTest::mouseClick(Proxy, Qt::LeftButton, {}, P);
        WaitForPage("mouseup");
        for (QChar Ch : Sentence) {
            QTest::keyClick(Proxy, Ch.toLatin1());
            WaitForPage("keyup");
        }
        Designer->CanUndo();
        Groups = Designer->UndoList().size();
    }
    State.counters["characters"] = Sentence.size();
    State.counters["undo_groups"] = static_cast<double>(Groups);
}
BENCHMARK(TypedSentenceGroups)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    // a collection on demand and exact heap figures
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--js-flags=--expose-gc --enable-precise-memory-info");
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    {
        zv::THtmlDesigner View;
        View.resize(800, 600);
        View.show();
        View.OnKeyUp = [&](QObject*) { View.GetState(); };
        View.OnMouseUp = [&](QObject*) { View.GetState(); };
        Designer = &View;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Designer = nullptr;
    }
    zv::UnregisterNameSpace();
    return 0;
}
