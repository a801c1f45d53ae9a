// Parse-and-write throughput of the document model on real pages and on a generated 5 MB
// page, beside HTML Tidy (parse, clean and repair, save with indentation) on the same bytes,
// each told the character set the page is in; the peak memory of each side in a process of
// its own, as a multiple of the input; the writer on deeply nested pages; and opening and
// saving a page as the program does. bench/side-by-side runs each benchmark in a process of
// its own; the Goal lines print the ratios the program is held to.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FreshProcess.h"
#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "LargePage.h"
#include "Streams.h"
#include "WideText.h"

#include <unistd.h>

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

namespace {

// ---------------------------------------------------------------------------------------------
// Input

// Tidy's name of the set a page is in; "raw" (bytes as they are) for a set it does not know.
const char* TidyCharset(zv::TMemoryStream& File)
{
    File.SetPosition(0);
    const std::string Set = zv::AsciiLowerCase(zv::DetectCharset(File));
    if (Set == "utf-8")
        return "utf8";
    if (Set == "iso-8859-1")
        return "latin1";
    if (Set == "windows-1252")
        return "win1252";
    if (Set == "us-ascii")
        return "ascii";
    if (Set == "iso-8859-15")
        return "latin0";
    return "raw";
}

// A page: its bytes, and the same in a memory stream as a file is opened from.
struct TPage {
    TPage(std::string Name, std::string Bytes) : Name(std::move(Name)), Bytes(std::move(Bytes))
    {
        File.WriteBuffer(this->Bytes.data(), static_cast<int64_t>(this->Bytes.size()));
        TidySet = TidyCharset(File);
    }
    std::string Name;
    std::string Bytes;
    mutable zv::TMemoryStream File;
    const char* TidySet = nullptr;  // the set Tidy is told the page is in
};

const std::vector<TPage>& Corpus()
{
    static const std::vector<TPage> Pages = [] {
        std::vector<TPage> Out;
        for (const auto& Entry : std::filesystem::directory_iterator(std::string(ZV_BENCH_DATA) + "/corpus"))
            if (Entry.path().extension() == ".html") {
                zv::TMemoryStream Stream;
                Stream.LoadFromFile(Entry.path().string());
                Out.push_back({Entry.path().filename().string(),
                               std::string(reinterpret_cast<const char*>(Stream.Memory()),
                                           static_cast<size_t>(Stream.Size()))});
            }
        std::sort(Out.begin(), Out.end(), [](const TPage& A, const TPage& B) { return A.Name < B.Name; });
        return Out;
    }();
    return Pages;
}

// A page of about 5 MB in UTF-8: sections with headings, paragraphs with inline markup and
// non-ASCII letters, lists, tables, preformatted code and scripts.
const std::vector<TPage>& Generated()
{
    static const std::vector<TPage> Pages = [] {
        std::string S = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html><head>"
                        "<title>Generated</title><style>p { margin: 0 }</style></head><body>\n";
        const char* Words[] = {"alpha", "beta", "gamma", "delta", "caf\xc3\xa9", "na\xc3\xafve", "x",
                               "entity&amp;", "longerword", "z\xc3\xbcrich", "eta", "theta"};
        uint32_t Seed = 7;
        auto Random = [&Seed](uint32_t Range) {
            Seed = Seed * 1103515245u + 12345u;
            return (Seed >> 8) % Range;
        };
        auto Sentence = [&](int Count) {
            std::string Out;
            for (int I = 0; I < Count; ++I) {
                if (I)
                    Out += ' ';
                switch (Random(30)) {
                case 0: Out += "<b>" + std::string(Words[Random(12)]) + "</b>"; break;
                case 1: Out += "<a href=\"page" + std::to_string(Random(100)) + ".html\">link</a>"; break;
                case 2: Out += "<code>f(a, b)</code>"; break;
                default: Out += Words[Random(12)];
                }
            }
            return Out;
        };
        for (int Section = 0; S.size() < 5 * 1024 * 1024; ++Section) {
            S += "<h2 id=\"s" + std::to_string(Section) + "\">Section " + std::to_string(Section) + "</h2>\n";
            for (int P = 0; P < 4; ++P)
                S += "<p class=\"text\">" + Sentence(20 + static_cast<int>(Random(60))) + "</p>\n";
            S += "<ul>";
            for (int L = 0; L < 4; ++L)
                S += "<li>" + Sentence(8) + "\n";
            S += "</ul>\n<table border=1 cellpadding=\"2\"><tr><th>Name</th><th>Value</th></tr>";
            for (int R = 0; R < 3; ++R)
                S += "<tr><td>" + Sentence(2) + "</td><td align=right>" + std::to_string(Random(1000)) + "</td></tr>";
            S += "</table>\n<pre>int main() {\n    return  0;\n}\n</pre>\n";
            if (Section % 10 == 0)
                S += "<script>if (a < b) { go(\"x\"); }</script>\n";
        }
        S += "</body></html>\n";
        return std::vector<TPage>{{"generated", S}};
    }();
    return Pages;
}

int64_t TotalBytes(const std::vector<TPage>& Pages)
{
    int64_t N = 0;
    for (const TPage& P : Pages)
        N += static_cast<int64_t>(P.Bytes.size());
    return N;
}

// ---------------------------------------------------------------------------------------------
// The work

// The text of a page as UTF-16, in a stream; false when it holds no U+0000.
bool LoadPage(const TPage& Page, zv::TMemoryStream& Text)
{
    Page.File.SetPosition(0);
    return zv::LoadText(Page.File, Text);
}

// Opening a file: bytes to UTF-16 to a tree; the text is released after parsing.
std::unique_ptr<zv::THtmlRoot> Open(const TPage& Page)
{
    zv::TMemoryStream Text;
    const bool MayHoldNul = LoadPage(Page, Text);
    return zv::ParseHtml(std::move(Text), MayHoldNul);
}

// Saving it: the tree written one byte per character.
size_t Save(zv::THtmlRoot* Root)
{
    zv::TMemoryStream Out;
    bool Wide = false;
    zv::WriteDocumentLatin1(Out, Root, Wide);
    return static_cast<size_t>(Out.Size());
}

// Opening and saving again; the tree lives to the end, as an open document does.
size_t ParseAndWrite(const TPage& Page)
{
    std::unique_ptr<zv::THtmlRoot> Root = Open(Page);
    return Save(Root.get());
}

// Parse and write only, from UTF-16 text in memory to UTF-16 text in memory.
size_t ParseAndWriteText(const std::u16string& Text)
{
    std::unique_ptr<zv::THtmlRoot> Root = zv::ParseHtml(Text);
    zv::TMemoryStream Html;
    zv::WriteDocument(Html, Root.get());
    return static_cast<size_t>(Html.Size());
}

std::u16string ToText(const TPage& Page)
{
    zv::TMemoryStream Text;
    LoadPage(Page, Text);
    return std::u16string(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size()) / 2);
}

void RunPages(benchmark::State& State, const std::vector<TPage>& Pages, size_t (*Work)(const TPage&))
{
    for (auto _ : State)
        for (const TPage& P : Pages)
            benchmark::DoNotOptimize(Work(P));
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

void RunZvText(benchmark::State& State, const std::vector<TPage>& Pages)
{
    std::vector<std::u16string> Texts;
    for (const TPage& P : Pages)
        Texts.push_back(ToText(P));
    for (auto _ : State)
        for (const std::u16string& T : Texts)
            benchmark::DoNotOptimize(ParseAndWriteText(T));
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

size_t TidyParseAndWrite(const TPage& Page)
{
    TidyDoc Doc = tidyCreate();
    TidyBuffer In, Out, Errors;
    tidyBufInit(&Out);
    tidyBufInit(&Errors);
    tidyBufAttach(&In, reinterpret_cast<byte*>(const_cast<char*>(Page.Bytes.data())),
                  static_cast<uint>(Page.Bytes.size()));
    tidyOptSetInt(Doc, TidyIndentContent, TidyYesState);
    tidyOptSetBool(Doc, TidyForceOutput, yes);
    tidyOptSetBool(Doc, TidyQuiet, yes);
    tidyOptSetBool(Doc, TidyShowWarnings, no);
    tidyOptSetInt(Doc, TidyShowErrors, 0);
    tidyOptSetInt(Doc, TidyWrapLen, 80);
    // Read in the page's own set, written in the same.
    tidySetCharEncoding(Doc, Page.TidySet);
    tidySetErrorBuffer(Doc, &Errors);
    tidyParseBuffer(Doc, &In);
    tidyCleanAndRepair(Doc);
    tidySaveBuffer(Doc, &Out);
    const size_t Size = Out.size;
    tidyBufDetach(&In);
    tidyBufFree(&Out);
    tidyBufFree(&Errors);
    tidyRelease(Doc);
    return Size;
}

void BM_Corpus_Zandovell(benchmark::State& State) { RunPages(State, Corpus(), ParseAndWrite); }
void BM_Corpus_ZandovellTextOnly(benchmark::State& State) { RunZvText(State, Corpus()); }
void BM_Corpus_Tidy(benchmark::State& State) { RunPages(State, Corpus(), TidyParseAndWrite); }
void BM_Generated5MB_Zandovell(benchmark::State& State) { RunPages(State, Generated(), ParseAndWrite); }
void BM_Generated5MB_ZandovellTextOnly(benchmark::State& State) { RunZvText(State, Generated()); }
void BM_Generated5MB_Tidy(benchmark::State& State) { RunPages(State, Generated(), TidyParseAndWrite); }
BENCHMARK(BM_Corpus_Zandovell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Corpus_ZandovellTextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Corpus_Tidy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_Zandovell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_ZandovellTextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_Tidy)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// Fresh-process figures: each side does its work once in a process of its own, whose peak
// resident memory above the level before the work is its cost in memory; each figure is the
// best of FreshRuns such processes.

constexpr int FreshRuns = 3;

// A page nested Depth elements deep, the kinds of a real page's nesting in turn: divisions,
// quotations with text, lists, tables and inline elements.
std::vector<TPage> Deep(int Depth)
{
    static const char* const Opens[] = {"<div class=\"d\">", "<blockquote>q ", "<ul><li>", "<table><tr><td>",
                                        "<span>s "};
    static const char* const Closes[] = {"</div>", "</blockquote>", "</li></ul>", "</td></tr></table>", "</span>"};
    std::string S = "<html><head><title>Deep</title></head><body>\n";
    for (int I = 0; I < Depth; ++I)
        S += Opens[I % 5];
    S += "the bottom";
    for (int I = Depth; I-- > 0;)
        S += Closes[I % 5];
    S += "</body></html>\n";
    return {{"deep", S}};
}

// The pages a child is asked for: "corpus", "generated", "deep:N" or a size in MB.
std::vector<TPage> PagesNamed(const std::string& Name)
{
    if (Name == "corpus")
        return Corpus();
    if (Name == "generated")
        return Generated();
    if (Name.starts_with("deep:"))
        return Deep(std::stoi(Name.substr(5)));
    return {{"large", zv::bench::LargePageText(static_cast<size_t>(std::stod(Name) * 1e6))}};
}

// Takes what is written and keeps only its length.
struct TCountingStream : zv::TStream {
    int64_t Count = 0;
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void*, int64_t N) override { return Count += N, N; }
    int64_t Seek(int64_t, zv::TSeekOrigin) override { return Count; }
    void SetSize(int64_t) override {}
};

// The writer alone: the least time of a few passes over the trees.
double BestWrite(const std::vector<std::unique_ptr<zv::THtmlRoot>>& Trees)
{
    double Best = 1e30;
    for (int Pass = 0; Pass < 10; ++Pass)
        Best = std::min(Best, zv::bench::SecondsOf([&] {
            for (const auto& Root : Trees) {
                TCountingStream Out;
                bool Wide = false;
                zv::WriteDocumentLatin1(Out, Root.get(), Wide);
                benchmark::DoNotOptimize(Out.Count);
            }
        }));
    return Best;
}

std::string TempName(const char* Name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + Name)).string();
}

// Child: "run SIDE PAGES" answers seconds, input bytes and peak resident bytes above the level
// before the work. Sides: "ours" and "tidy" parse and write in memory; "write" saves trees
// parsed beforehand, one byte a character as a save does, to a stream that only counts (the
// writer alone, the best of a few passes); "program" opens
// the page's file and saves it as the program does.
[[maybe_unused]] const bool FreshRun = zv::bench::RegisterFresh("run", [](const std::vector<std::string>& Args) {
    const std::string& Side = Args.at(0);
    const std::vector<TPage> Pages = PagesNamed(Args.at(1));
    const std::string Target = TempName("_zv_writer_bench_out.html");
    std::vector<std::string> Sources;
    std::vector<std::unique_ptr<zv::THtmlRoot>> Trees;
    for (const TPage& P : Pages) {
        if (Side == "program") {
            Sources.push_back(TempName(("_zv_writer_bench_" + std::to_string(Sources.size()) + ".html").c_str()));
            zv::SaveFileAtomically(Sources.back(), P.Bytes.data(), static_cast<int64_t>(P.Bytes.size()));
        } else if (Side == "write") {
            Trees.push_back(Open(P));
        }
    }
    zv::bench::ResetPeakResident();
    const double Before = zv::bench::ResidentBytes();
    double WriteSeconds = 0;
    const double Seconds = zv::bench::SecondsOf([&] {
        if (Side == "ours")
            for (const TPage& P : Pages)
                benchmark::DoNotOptimize(ParseAndWrite(P));
        else if (Side == "tidy")
            for (const TPage& P : Pages)
                benchmark::DoNotOptimize(TidyParseAndWrite(P));
        else if (Side == "write")
            WriteSeconds = BestWrite(Trees);
        else if (Side == "program")
            for (const std::string& Source : Sources) {
                zv::THtmlFilter Filter;
                zv::TFileStream File(Source, zv::TFileMode::OpenRead);
                Filter.LoadFromStream(File);
                zv::SaveFileAtomically(Target, [&](zv::TStream& Out) { Filter.SaveToStream(Out); });
            }
    });
    const double Peak = zv::bench::PeakResidentBytes() - Before;
    if (Side == "write")
        return std::vector<double>{WriteSeconds, static_cast<double>(TotalBytes(Pages)), Peak};
    for (const std::string& Source : Sources)
        std::filesystem::remove(Source);
    std::filesystem::remove(Target);
    return std::vector<double>{Seconds, static_cast<double>(TotalBytes(Pages)), Peak};
});

using zv::bench::Goal;
using zv::bench::TFresh;

// The goals' ratios are taken from more runs: on a busy machine a short run varies most.
constexpr int GoalRuns = 9;

TFresh Fresh(const std::string& Side, const std::string& Pages, int Runs = GoalRuns)
{
    return zv::bench::BestFresh(Runs, "run", {Side, Pages});
}

void FreshFigure(benchmark::State& State, const char* Side, const char* Pages)
{
    zv::bench::FreshFigure(State, FreshRuns, "run", {Side, Pages});
}

// The writer's time per MB on a page ten times as deep: linear in depth would be 1.
void BM_Goal_WriterDepth_100K_over_10K(benchmark::State& State)
{
    TFresh Shallow, Deeper;
    for (auto _ : State) {
        Shallow = Fresh("write", "deep:10000");
        Deeper = Fresh("write", "deep:100000");
    }
    State.counters["ms_per_MB_10K"] = Shallow.MsPerMB();
    State.counters["ms_per_MB_100K"] = Deeper.MsPerMB();
    Goal(State, Deeper.MsPerMB() / Shallow.MsPerMB(), 1.3);
}

// Peak memory of opening a page and saving it as the program does, over the page's size.
void OpenAndSavePeak(benchmark::State& State, const char* Pages)
{
    TFresh F;
    for (auto _ : State)
        F = Fresh("program", Pages);
    State.counters["seconds"] = F.Seconds;
    Goal(State, F.Peak / F.Bytes, 6.0);
}

BENCHMARK_CAPTURE(FreshFigure, Fresh_Corpus_Zandovell, "ours", "corpus")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Corpus_Tidy, "tidy", "corpus")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Generated5MB_Zandovell, "ours", "generated")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Generated5MB_Tidy, "tidy", "generated")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Large27MB_Zandovell, "ours", "27")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Goal_WriterDepth_100K_over_10K)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenAndSavePeak, Goal_OpenAndSavePeak_Generated5MB, "generated")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenAndSavePeak, Goal_OpenAndSavePeak_Large27MB, "27")->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

ZV_FRESH_MAIN()
