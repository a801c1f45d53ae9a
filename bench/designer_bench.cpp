// The design view against the real engine, offscreen: opening a large page from its file until
// the document is complete, beside the bare engine loading the same HTML from memory; one
// synchronous layer call; the state the main window reads after each key and click.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "HtmlDesigner.h"
#include "HtmlFilter.h"
#include "NameSpace.h"
#include "../tests/support/EngineMain.h"
#include "LargePage.h"

namespace {

zv::THtmlDesigner* Designer = nullptr;
zv::TWebBrowser* Bare = nullptr;
std::string PageFile;
QByteArray PageBytes;

// Lets the engine work until Done holds (at most 60 s).
void RunUntil(const bool& Done)
{
    QTimer Guard;
    Guard.setSingleShot(true);
    Guard.start(60000);
    while (!Done && Guard.isActive()) {
        QEventLoop Loop;
        QTimer::singleShot(1, &Loop, &QEventLoop::quit);
        Loop.exec();
    }
}

void OpenPageInDesigner(benchmark::State& State)
{
    for (auto _ : State) {
        bool Complete = false;
        Designer->OnDocumentComplete = [&](QObject*) { Complete = true; };
        Designer->LoadFromFile(PageFile);
        RunUntil(Complete);
        Designer->OnDocumentComplete = nullptr;
    }
    State.counters["bytes"] = static_cast<double>(PageBytes.size());
}
BENCHMARK(OpenPageInDesigner)->Unit(benchmark::kMillisecond)->Iterations(8);

void LoadPageInBareEngine(benchmark::State& State)
{
    for (auto _ : State) {
        bool Complete = false;
        const auto C = QObject::connect(Bare, &zv::TWebBrowser::DocumentComplete, [&] { Complete = true; });
        Bare->Navigate(QUrl("idoc:bare.html"));
        RunUntil(Complete);
        QObject::disconnect(C);
    }
    State.counters["bytes"] = static_cast<double>(PageBytes.size());
}
BENCHMARK(LoadPageInBareEngine)->Unit(benchmark::kMillisecond)->Iterations(8);

void ReadPageBack(benchmark::State& State)
{
    for (auto _ : State) benchmark::DoNotOptimize(Designer->GetHtml());
}
BENCHMARK(ReadPageBack)->Unit(benchmark::kMillisecond)->Iterations(8);

void SyncLayerCall(benchmark::State& State)
{
    for (auto _ : State) benchmark::DoNotOptimize(Designer->QueryCommandStatus(zv::IDM_BOLD));
}
BENCHMARK(SyncLayerCall)->Unit(benchmark::kMicrosecond);

// After each key and click: every control's state in one call.
void ControlStateBatched(benchmark::State& State)
{
    for (auto _ : State) benchmark::DoNotOptimize(Designer->GetState());
}
BENCHMARK(ControlStateBatched)->Unit(benchmark::kMicrosecond);

// The same through the single queries, for comparison.
void ControlStateOneByOne(benchmark::State& State)
{
    zv::THtmlDesigner& D = *Designer;
    for (auto _ : State) {
        int Answers = D.CanUndo() + D.CanRedo() + D.CanHyperlink();
        for (const zv::TDesignerCommand& Command : zv::DesignerCommands())
            Answers += D.CanRun(Command.Id) + (Command.Toggle ? D.IsOn(Command.Id) : 0);
        benchmark::DoNotOptimize(Answers);
        benchmark::DoNotOptimize(D.GetSelectedTagName());
        benchmark::DoNotOptimize(D.GetBlockFormat());
        benchmark::DoNotOptimize(D.GetFontName());
        benchmark::DoNotOptimize(D.GetFontSize());
    }
}
BENCHMARK(ControlStateOneByOne)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);

    QTemporaryDir Folder;
    PageBytes = zv::bench::LargePage();
    PageFile = (Folder.path() + "/large.html").toStdString();
    QFile Out(QString::fromStdString(PageFile));
    if (PageBytes.isEmpty() || !Out.open(QIODevice::WriteOnly) || Out.write(PageBytes) != PageBytes.size())
        return 1;
    Out.close();
    {
        zv::THtmlDesigner View;
        View.SetGenerator("Zandovell v1.00");
        View.resize(800, 600);
        View.show();
        zv::TWebBrowser Plain;
        Plain.resize(800, 600);
        Plain.show();
        // the bare engine reads the same bytes from memory; the rest is the designer's
        zv::RegisterNameSpace([&](QObject* Sender, const zv::WideString& Url, bool& Handled, int& Size,
                                  zv::TMemoryStream& Stream) {
            if (Url != u"idoc:bare.html") return View.NameSpaceRequest(Sender, Url, Handled, Size, Stream);
            Stream.WriteBuffer(PageBytes.constData(), PageBytes.size());
            Size = static_cast<int>(PageBytes.size());
            Handled = true;
        });
        View.LoadFromFile(PageFile);
        // a caret in the first paragraph, as after a click
        View.Document().selection();
        View.CallLayer("rangeSelect", {View.Document().createTextRange().Number()});
        Designer = &View;
        Bare = &Plain;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Designer = nullptr;
        Bare = nullptr;
    }
    zv::UnregisterNameSpace();
    return 0;
}
