// The design view against the real engine, offscreen.
//
// Run without arguments it opens pages of three sizes (a manual page of 0.1 MB, 1.3 MB and
// 5 MB) in the design view, from the file through LoadFromFile, and in a plain QWebEngineView
// loading the same file, each until a script reading document.body.offsetHeight answers. Each
// open runs in a process of its own after a warm-up open of the small page in the same view;
// the two sides take turns. It prints, per size, the medians, the ratio design/plain and its
// spread over the rounds: time, the resident memory of the process and all its descendants
// (the engine's processes) a second after the page is laid out, and the peak of that sum.
//   designer_bench [--rounds N]                the comparison (default 7 rounds)
//   designer_bench --side design|plain FILE [--processes]
//                                              one open; prints its figures (and each
//                                              process's resident memory)
// With --benchmark_* arguments it runs the micro benchmarks of the view instead: one
// synchronous layer call, the state the main window reads after each key and click, reading
// the page back.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <set>
#include <thread>
#include <unistd.h>

#include "HtmlDesigner.h"
#include "HtmlFilter.h"
#include "../tests/support/EngineMain.h"
#include "LargePage.h"

namespace {

const char* const SmallPage = ZV_BENCH_DATA "/corpus/libexpat1-dev_expat.html_reference.html";

// ---------------------------------------------------------------- memory of a process tree

// Resident bytes of this process and all its descendants.
class TTreeMemory {
public:
    long long Resident()
    {
        if (++Calls % 32 == 1) Scan();
        long long Sum = 0;
        for (const int Pid : Pids) Sum += ResidentOf(Pid);
        return Sum;
    }

    // Each process of the tree with its name and resident memory (all, anonymous, file,
    // shared), to stderr.
    void Print()
    {
        Scan();
        for (const int Pid : Pids) {
            char Path[64], Name[64] = "";
            std::snprintf(Path, sizeof Path, "/proc/%d/comm", Pid);
            if (FILE* F = std::fopen(Path, "r")) {
                if (!std::fgets(Name, sizeof Name, F)) Name[0] = 0;
                std::fclose(F);
            }
            Name[std::strcspn(Name, "\n")] = 0;
            std::fprintf(stderr, "  %7d %-24s %8.1f MB", Pid, Name, ResidentOf(Pid) / 1e6);
            std::snprintf(Path, sizeof Path, "/proc/%d/status", Pid);
            if (FILE* F = std::fopen(Path, "r")) {
                char Line[256];
                while (std::fgets(Line, sizeof Line, F))
                    if (!std::strncmp(Line, "Rss", 3)) {
                        Line[std::strcspn(Line, "\n")] = 0;
                        std::fprintf(stderr, " | %s", Line);
                    }
                std::fclose(F);
            }
            std::fprintf(stderr, "\n");
        }
    }

private:
    static long long ResidentOf(int Pid)
    {
        char Path[64];
        std::snprintf(Path, sizeof Path, "/proc/%d/statm", Pid);
        FILE* F = std::fopen(Path, "r");
        if (!F) return 0;
        long long Size = 0, Pages = 0;
        const int Read = std::fscanf(F, "%lld %lld", &Size, &Pages);
        std::fclose(F);
        return Read == 2 ? Pages * sysconf(_SC_PAGESIZE) : 0;
    }
    // the descendants of this process, from the parent ids of all processes
    void Scan()
    {
        std::multimap<int, int> Children;
        if (DIR* Dir = opendir("/proc")) {
            while (const dirent* E = readdir(Dir)) {
                const int Pid = std::atoi(E->d_name);
                if (Pid <= 0) continue;
                char Path[64], Line[512];
                std::snprintf(Path, sizeof Path, "/proc/%d/stat", Pid);
                FILE* F = std::fopen(Path, "r");
                if (!F) continue;
                const size_t N = std::fread(Line, 1, sizeof Line - 1, F);
                std::fclose(F);
                Line[N] = 0;
                // the name may hold blanks: the fields go on after its last ')'
                const char* Close = std::strrchr(Line, ')');
                int Parent = 0;
                if (Close && std::sscanf(Close + 1, " %*c %d", &Parent) == 1) Children.emplace(Parent, Pid);
            }
            closedir(Dir);
        }
        Pids = {getpid()};
        std::vector<int> Open = {getpid()};
        while (!Open.empty()) {
            const int Pid = Open.back();
            Open.pop_back();
            for (auto [It, End] = Children.equal_range(Pid); It != End; ++It)
                if (Pids.insert(It->second).second) Open.push_back(It->second);
        }
    }
    std::set<int> Pids;
    unsigned Calls = 0;
};

// Samples the tree's resident memory every 2 ms on a thread of its own and keeps the peak.
class TPeakSampler {
public:
    TPeakSampler()
        : Thread([this] {
              while (!Stop) {
                  Peak = std::max(Peak.load(), Tree.Resident());
                  std::this_thread::sleep_for(std::chrono::milliseconds(2));
              }
          })
    {
    }
    ~TPeakSampler() { Finish(); }
    long long Finish()
    {
        Stop = true;
        if (Thread.joinable()) Thread.join();
        return Peak;
    }

private:
    TTreeMemory Tree;
    std::atomic<bool> Stop = false;
    std::atomic<long long> Peak = 0;
    std::thread Thread;
};

// ---------------------------------------------------------------- one side

// document.body.offsetHeight of the page, once the engine answers (-1 after 120 s).
int LaidOutHeight(QWebEnginePage* Page)
{
    QEventLoop Loop;
    int Height = -1;
    bool Done = false;
    Page->runJavaScript(QStringLiteral("document.body ? document.body.offsetHeight : 0"),
                        QWebEngineScript::ApplicationWorld, [&](const QVariant& V) {
                            Height = V.toInt();
                            Done = true;
                            Loop.quit();
                        });
    QTimer::singleShot(120000, &Loop, &QEventLoop::quit);
    if (!Done) Loop.exec();
    return Height;
}

void Idle(int Ms)
{
    QEventLoop Loop;
    QTimer::singleShot(Ms, &Loop, &QEventLoop::quit);
    Loop.exec();
}

// Opens File in the view of Side and prints "ms height resident peak"; with Processes, each
// process's resident memory to stderr as well.
int RunSide(const QString& Side, const QString& File, bool Processes)
{
    const bool Design = Side == QLatin1String("design");
    if (!Design && Side != QLatin1String("plain")) return 2;
    std::unique_ptr<zv::THtmlDesigner> Designer;
    std::unique_ptr<QWebEngineView> Plain;
    QWebEngineView* View = nullptr;
    if (Design) {
        Designer = std::make_unique<zv::THtmlDesigner>();
        Designer->SetGenerator("Zandovell v1.00");
        View = Designer.get();
    } else {
        Plain = std::make_unique<QWebEngineView>();
        View = Plain.get();
    }
    View->resize(800, 600);
    View->show();
    const auto Open = [&](const QString& Name) {
        if (Design) {
            Designer->LoadFromFile(Name.toStdString());
        } else {
            QEventLoop Loop;
            QObject::connect(Plain.get(), &QWebEngineView::loadFinished, &Loop, &QEventLoop::quit);
            Plain->load(QUrl::fromLocalFile(Name));
            Loop.exec();
        }
        return LaidOutHeight(View->page());
    };
    if (Open(QString::fromUtf8(SmallPage)) <= 0) return 3;   // the warm-up
    Idle(300);
    TPeakSampler Sampler;
    QElapsedTimer Clock;
    Clock.start();
    const int Height = Open(File);
    const double Ms = Clock.nsecsElapsed() / 1e6;
    Idle(1000);
    TTreeMemory Tree;
    const long long Resident = Tree.Resident();
    if (Processes) Tree.Print();
    const long long Peak = std::max(Sampler.Finish(), Resident);
    std::printf("%.3f %d %lld %lld\n", Ms, Height, Resident, Peak);
    std::fflush(stdout);
    return Height > 0 ? 0 : 4;
}

// ---------------------------------------------------------------- the comparison

struct TFigures {
    double Ms = 0, Resident = 0, Peak = 0;
    int Height = 0;
};

bool RunChild(const QString& Program, const QString& Side, const QString& File, TFigures& Out)
{
    QProcess Child;
    Child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Child.start(Program, {"--side", Side, File});
    if (!Child.waitForFinished(300000) || Child.exitCode() != 0) {
        std::fprintf(stderr, "%s side failed on %s\n", qPrintable(Side), qPrintable(File));
        return false;
    }
    const QList<QByteArray> F = Child.readAllStandardOutput().trimmed().split(' ');
    if (F.size() != 4) return false;
    Out = {F[0].toDouble(), F[2].toDouble(), F[3].toDouble(), F[1].toInt()};
    return true;
}

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    const size_t N = V.size();
    return N == 0 ? 0 : N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

int Compare(const QString& Program, int Rounds)
{
    QTemporaryDir Folder;
    struct TPage {
        const char* Name;
        QString File;
    };
    std::vector<TPage> Pages = {{"manual 0.1 MB", QString::fromUtf8(SmallPage)}};
    for (const auto& [Name, Bytes] : {std::pair{"1.3 MB", 1300000}, std::pair{"5 MB", 5000000}}) {
        const std::string Text = zv::bench::LargePageText(Bytes);
        const QString File = Folder.filePath(QString::number(Bytes) + ".html");
        QFile Out(File);
        if (Text.empty() || !Out.open(QIODevice::WriteOnly) ||
            Out.write(Text.data(), qint64(Text.size())) != qint64(Text.size()))
            return 1;
        Pages.push_back({Name, File});
    }
    std::printf("Opening a page until laid out, design view (LoadFromFile) / plain view (file:// "
                "URL), %d rounds each side, one process per open, sides in turn; median "
                "[min..max] of the rounds' ratios\n",
                Rounds);
    std::printf("%-14s %9s %9s %22s %8s %8s %22s %8s %8s %22s  %s\n", "page", "design ms", "plain ms",
                "time ratio", "des MB", "pla MB", "resident ratio", "des pk", "pla pk", "peak ratio",
                "heights");
    for (const TPage& Page : Pages) {
        std::vector<double> Ms[2], Res[2], Pk[2], RMs, RRes, RPk;
        int Heights[2] = {0, 0};
        for (int R = 0; R < Rounds; ++R) {
            TFigures F[2];
            for (int K = 0; K < 2; ++K) {
                const int Side = (R + K) % 2;   // design first in even rounds
                if (!RunChild(Program, Side == 0 ? "design" : "plain", Page.File, F[Side])) return 1;
            }
            for (int S = 0; S < 2; ++S) {
                Ms[S].push_back(F[S].Ms);
                Res[S].push_back(F[S].Resident / 1e6);
                Pk[S].push_back(F[S].Peak / 1e6);
                Heights[S] = F[S].Height;
            }
            RMs.push_back(F[0].Ms / F[1].Ms);
            RRes.push_back(F[0].Resident / F[1].Resident);
            RPk.push_back(F[0].Peak / F[1].Peak);
        }
        const auto Ratio = [](const std::vector<double>& V) {
            char Text[64];
            std::snprintf(Text, sizeof Text, "%.2fx [%.2f..%.2f]", Median(V),
                          *std::min_element(V.begin(), V.end()), *std::max_element(V.begin(), V.end()));
            return std::string(Text);
        };
        std::printf("%-14s %9.1f %9.1f %22s %8.0f %8.0f %22s %8.0f %8.0f %22s  %d/%d\n", Page.Name,
                    Median(Ms[0]), Median(Ms[1]), Ratio(RMs).c_str(), Median(Res[0]), Median(Res[1]),
                    Ratio(RRes).c_str(), Median(Pk[0]), Median(Pk[1]), Ratio(RPk).c_str(), Heights[0],
                    Heights[1]);
        std::fflush(stdout);
    }
    std::printf("goals: time ratio <= 1.20 at every size; 5 MB resident ratio <= 1.15, peak ratio <= 1.30\n");
    return 0;
}

// ---------------------------------------------------------------- micro benchmarks

zv::THtmlDesigner* Designer = nullptr;

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

int RunMicro(int argc, char** argv)
{
    QTemporaryDir Folder;
    const QByteArray Page = zv::bench::LargePage();
    const QString File = Folder.filePath("large.html");
    QFile Out(File);
    if (Page.isEmpty() || !Out.open(QIODevice::WriteOnly) || Out.write(Page) != Page.size()) return 1;
    Out.close();
    zv::THtmlDesigner View;
    View.SetGenerator("Zandovell v1.00");
    View.resize(800, 600);
    View.show();
    View.LoadFromFile(File.toStdString());
    // a caret in the first paragraph, as after a click
    View.Document().selection();
    View.CallLayer("rangeSelect", {View.Document().createTextRange().Number()});
    Designer = &View;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Designer = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    const QStringList Args = App.arguments();
    if ((Args.size() == 4 || (Args.size() == 5 && Args[4] == QLatin1String("--processes"))) &&
        Args[1] == QLatin1String("--side"))
        return RunSide(Args[2], Args[3], Args.size() == 5);
    if (std::any_of(Args.begin(), Args.end(), [](const QString& A) { return A.startsWith("--benchmark"); }))
        return RunMicro(argc, argv);
    const int Rounds = Args.size() == 3 && Args[1] == QLatin1String("--rounds") ? Args[2].toInt() : 7;
    return Compare(App.applicationFilePath(), std::max(1, Rounds));
}
