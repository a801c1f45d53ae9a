#pragma once
// Figures taken in a process of their own: the benchmark program runs itself again as
// "<program> --fresh NAME ARG..." and the child prints its numbers on one line. The child
// starts with an empty heap, as a program that opens its first page does, and its peak
// resident memory (getrusage) is its own. Programs that use it end in ZV_FRESH_MAIN().

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zv::bench {

// What a child runs: its arguments in, its numbers out.
using TFreshWork = std::function<std::vector<double>(const std::vector<std::string>&)>;

inline std::map<std::string, TFreshWork>& FreshWorks()
{
    static std::map<std::string, TFreshWork> Works;
    return Works;
}

// Registers Work under Name; answers true, so that it can initialise a static.
inline bool RegisterFresh(const std::string& Name, TFreshWork Work)
{
    FreshWorks()[Name] = std::move(Work);
    return true;
}

// Runs the work Name in a new process with Args and answers its numbers.
inline std::vector<double> RunFresh(const std::string& Name, const std::vector<std::string>& Args = {})
{
    std::string Command = "/proc/" + std::to_string(getpid()) + "/exe --fresh '" + Name + "'";
    for (const std::string& A : Args)
        Command += " '" + A + "'";
    FILE* Pipe = popen(Command.c_str(), "r");
    if (!Pipe)
        throw std::runtime_error("cannot start " + Command);
    std::string Line;
    char Buffer[4096];
    while (std::fgets(Buffer, sizeof Buffer, Pipe))
        Line += Buffer;
    if (pclose(Pipe) != 0)
        throw std::runtime_error("failed: " + Command);
    std::istringstream In(Line);
    std::vector<double> Out;
    for (double X; In >> X;)
        Out.push_back(X);
    return Out;
}

// The best (least) of Count fresh runs, number by number.
inline std::vector<double> BestOfFresh(int Count, const std::string& Name, const std::vector<std::string>& Args = {})
{
    std::vector<double> Best;
    for (int I = 0; I < Count; ++I) {
        const std::vector<double> Run = RunFresh(Name, Args);
        if (Best.empty())
            Best = Run;
        for (size_t K = 0; K < Best.size() && K < Run.size(); ++K)
            Best[K] = std::min(Best[K], Run[K]);
    }
    return Best;
}

// What a child that did one piece of work answers first: its seconds, the input bytes and
// the peak resident bytes above the level before the work.
struct TFresh {
    double Seconds = 0, Bytes = 1, Peak = 0;
    double MsPerMB() const { return Seconds * 1e3 / (Bytes / 1e6); }
};

inline TFresh BestFresh(int Count, const std::string& Name, const std::vector<std::string>& Args)
{
    const std::vector<double> V = BestOfFresh(Count, Name, Args);
    return {V.at(0), V.at(1), V.at(2)};
}

// A benchmark's figure from the best of Count fresh runs of the work Name.
inline void FreshFigure(benchmark::State& State, int Count, const std::string& Name,
                        const std::vector<std::string>& Args)
{
    TFresh F;
    for (auto _ : State) {
        F = BestFresh(Count, Name, Args);
        State.SetIterationTime(F.Seconds);
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(F.Bytes));
    State.counters["ms_per_MB"] = F.MsPerMB();
    State.counters["peak_x_input"] = F.Peak / F.Bytes;
}

// A ratio the program is held to, beside its goal (at most Target).
inline void Goal(benchmark::State& State, double Ratio, double Target)
{
    State.counters["ratio"] = Ratio;
    State.counters["goal"] = Target;
    State.SetLabel(Ratio <= Target ? "met" : "NOT MET");
}

// Resident bytes now, and the most there have been in this process (getrusage).
inline double ResidentBytes()
{
    std::ifstream Statm("/proc/self/statm");
    double Pages = 0, Resident = 0;
    Statm >> Pages >> Resident;
    return Resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Lowers the peak to what is resident now, so that a later peak is that of the work that
// follows and not of its preparation.
inline void ResetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

inline double PeakResidentBytes()
{
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return static_cast<double>(Usage.ru_maxrss) * 1024.0;
}

// Seconds that Work takes.
template <typename F>
double SecondsOf(F&& Work)
{
    const auto Start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// Runs "--fresh NAME ARG..." when asked, else the benchmarks.
inline int FreshMain(int Argc, char** Argv)
{
    if (Argc >= 3 && std::strcmp(Argv[1], "--fresh") == 0) {
        const auto Work = FreshWorks().find(Argv[2]);
        if (Work == FreshWorks().end())
            return 2;
        const std::vector<double> Numbers = Work->second(std::vector<std::string>(Argv + 3, Argv + Argc));
        for (double X : Numbers)
            std::printf("%.9g ", X);
        std::printf("\n");
        return 0;
    }
    benchmark::Initialize(&Argc, Argv);
    if (benchmark::ReportUnrecognizedArguments(Argc, Argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace zv::bench

#define ZV_FRESH_MAIN() \
    int main(int Argc, char** Argv) { return zv::bench::FreshMain(Argc, Argv); }
