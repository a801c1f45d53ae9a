// Parser throughput from bytes to a freed tree on the real pages of the corpus and on a
// generated 5 MB page, beside gumbo's parser on the same text (as UTF-8, which it decodes as
// it reads) and beside the floor: decoding the bytes and one scan for "<". Bytes counted are
// the UTF-8 bytes of the text for all, so the MB/s figures compare directly. Run each in a
// process of its own (bench/side-by-side does) so that no side inherits the other's heap.
// The Fresh_ figures time one parse in a process just started, as opening a page does; the
// Goal_ lines print the ratios the parser is held to (time per MB at 80 MB over 1 MB, and
// over the floor on the 5 MB page).

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FreshProcess.h"
#include "HtmlConv.h"
#include "LargePage.h"
#include "HtmlParser.h"
#include "Streams.h"
#include "WideText.h"

#ifdef ZV_WITH_GUMBO
#include <gumbo.h>
#endif

using namespace zv;

namespace {

struct TDocument {
    std::string Bytes;    // the file as it is, for our side
    std::string Utf8;     // its text in UTF-8, gumbo's input
    std::string Charset;  // the set its bytes are in, for the floor's decoder
};

TDocument FromFileBytes(const std::string& Bytes)
{
    TMemoryStream Source, Text;
    Source.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Source.SetPosition(0);
    std::string Charset = DetectCharset(Source);
    Source.SetPosition(0);
    LoadText(Source, Text);
    const WideString Wide(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size()) / 2);
    return {Bytes, Utf16ToUtf8(Wide), std::move(Charset)};
}

const std::vector<TDocument>& Corpus()
{
    static const std::vector<TDocument> Docs = [] {
        std::vector<TDocument> Result;
        for (const auto& Entry :
             std::filesystem::directory_iterator(ZV_BENCH_DATA "/corpus")) {
            if (Entry.path().extension() != ".html")
                continue;
            std::ifstream In(Entry.path(), std::ios::binary);
            Result.push_back(FromFileBytes(
                std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>())));
        }
        return Result;
    }();
    return Docs;
}

// A page of about 5 MB: sections with headings, paragraphs with inline markup and entity
// references, lists, nested tables, comments and scripts.
const std::vector<TDocument>& Generated()
{
    static const std::vector<TDocument> Docs = [] {
        static const char* Words[] = {"lorem", "ipsum", "dolor", "sit", "amet", "markup",
                                      "parser", "element", "table", "&amp;", "caf&eacute;",
                                      "value", "node", "tree", "text", "x&lt;y"};
        uint32_t Seed = 12345;
        auto Next = [&Seed](uint32_t Range) {
            Seed = Seed * 1103515245u + 12345u;
            return (Seed >> 16) % Range;
        };
        auto Sentence = [&](int Count) {
            std::string S;
            for (int I = 0; I < Count; ++I) {
                const char* W = Words[Next(16)];
                switch (Next(8)) {
                case 0: S += std::string("<b>") + W + "</b>"; break;
                case 1: S += std::string("<i>") + W + " <em>" + W + "</em></i>"; break;
                case 2: S += std::string("<a href=\"page") + std::to_string(Next(100)) +
                             ".html#s\" title='" + W + "'>" + W + "</a>"; break;
                default: S += W;
                }
                S += I + 1 < Count ? " " : ".";
            }
            return S;
        };
        std::string Page =
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><head>"
            "<title>Generated page</title>\n<meta http-equiv=\"Content-Type\" "
            "content=\"text/html; charset=utf-8\">\n<style type=\"text/css\">\n<!--\n"
            "body { font-family: sans-serif }\np > a { color: #336699 }\n-->\n</style>\n"
            "</head>\n<body bgcolor=\"#FFFFFF\">\n";
        for (int N = 0; Page.size() < 5 * 1024 * 1024; ++N) {
            Page += "<h2 id=\"s" + std::to_string(N) + "\">Section " + std::to_string(N) +
                    "</h2>\n<!-- section " + std::to_string(N) + " -->\n";
            for (uint32_t P = 1 + Next(3); P > 0; --P)
                Page += "<p class=\"text\">" + Sentence(10 + static_cast<int>(Next(30))) + "\n";
            Page += "<ul>\n";
            for (uint32_t L = 2 + Next(4); L > 0; --L)
                Page += "  <li>" + Sentence(3 + static_cast<int>(Next(6))) + "\n";
            Page += "</ul>\n<table border=1 cellpadding=\"2\" width=\"100%\">\n";
            for (uint32_t R = 1 + Next(3); R > 0; --R) {
                Page += "<tr><td valign=top>" + Sentence(4) +
                        "<table><tr><td>" + Sentence(2) + "</td><td><img src=\"i.gif\" alt=\"\" "
                        "width=16 height=16></td></tr></table></td>\n<td>" + Sentence(5) +
                        "</td></tr>\n";
            }
            Page += "</table>\n<script type=\"text/javascript\">\nif (a < b && b > c) "
                    "{ show(\"<p>" + std::to_string(N) + "</p>\"); }\n</script>\n";
        }
        Page += "</body></html>\n";
        return std::vector<TDocument>{FromFileBytes(Page)};
    }();
    return Docs;
}

// The large page of the main window benchmarks at about Megabytes MB.
std::vector<TDocument> Large(double Megabytes)
{
    return {FromFileBytes(bench::LargePageText(static_cast<size_t>(Megabytes * 1e6)))};
}

// The pages a child process is asked for: "corpus", "generated" or a size in MB.
std::vector<TDocument> PagesNamed(const std::string& Name)
{
    if (Name == "corpus")
        return Corpus();
    if (Name == "generated")
        return Generated();
    return Large(std::stod(Name));
}

int64_t Utf8Bytes(const std::vector<TDocument>& Docs)
{
    int64_t Total = 0;
    for (const TDocument& Doc : Docs)
        Total += static_cast<int64_t>(Doc.Utf8.size());
    return Total;
}

TMemoryStream Source(const TDocument& Doc)
{
    TMemoryStream Stream;
    Stream.WriteBuffer(Doc.Bytes.data(), static_cast<int64_t>(Doc.Bytes.size()));
    return Stream;
}

// Bytes to UTF-16, as opening a file does, then parsed and freed.
void ParseFile(TMemoryStream& File)
{
    File.SetPosition(0);
    TMemoryStream Text;
    const bool MayHoldNul = LoadText(File, Text);
    auto Root = ParseHtml(std::move(Text), MayHoldNul);
    benchmark::DoNotOptimize(Root.get());
}

void ParseOurs(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    std::vector<TMemoryStream> Files;
    for (const TDocument& Doc : Docs)
        Files.push_back(Source(Doc));
    for (auto _ : State)
        for (TMemoryStream& File : Files)
            ParseFile(File);
    State.SetBytesProcessed(State.iterations() * Utf8Bytes(Docs));
}

// The least any parser of the text must do: decode it and look at every character once. The
// decoder is a plain loop for UTF-8 and Latin-1 and iconv for other sets, straight to UTF-16.
size_t DecodePlain(const std::string& Bytes, bool Utf8, char16_t* Out)
{
    const auto* In = reinterpret_cast<const unsigned char*>(Bytes.data());
    const size_t Size = Bytes.size();
    char16_t* O = Out;
    for (size_t I = 0; I < Size;) {
        const unsigned C = In[I];
        if (C < 0x80 || !Utf8) {
            *O++ = static_cast<char16_t>(C);
            ++I;
        } else if (C >= 0xC2 && C < 0xE0 && I + 1 < Size) {
            *O++ = static_cast<char16_t>(((C & 0x1F) << 6) | (In[I + 1] & 0x3F));
            I += 2;
        } else if (C >= 0xE0 && C < 0xF0 && I + 2 < Size) {
            *O++ = static_cast<char16_t>(((C & 0x0F) << 12) | ((In[I + 1] & 0x3F) << 6) | (In[I + 2] & 0x3F));
            I += 3;
        } else if (C >= 0xF0 && C < 0xF5 && I + 3 < Size) {
            const char32_t Code = ((C & 0x07) << 18) | ((In[I + 1] & 0x3F) << 12) | ((In[I + 2] & 0x3F) << 6) |
                                  (In[I + 3] & 0x3F);
            *O++ = static_cast<char16_t>(0xD7C0 + (Code >> 10));
            *O++ = static_cast<char16_t>(0xDC00 | (Code & 0x3FF));
            I += 4;
        } else {
            *O++ = u'\uFFFD';
            ++I;
        }
    }
    return static_cast<size_t>(O - Out);
}

size_t DecodeIconv(const TDocument& Doc, char16_t* Units, size_t Room)
{
    iconv_t Handle = iconv_open("UTF-16LE", Doc.Charset.c_str());
    if (Handle == reinterpret_cast<iconv_t>(-1))
        Handle = iconv_open("UTF-16LE", "UTF-8");
    char* In = const_cast<char*>(Doc.Bytes.data());
    size_t Left = Doc.Bytes.size();
    char* Out = reinterpret_cast<char*>(Units);
    Room *= 2;
    while (Left > 0 && iconv(Handle, &In, &Left, &Out, &Room) == static_cast<size_t>(-1) && errno == EILSEQ) {
        ++In;  // skipped, as a lenient reader does
        --Left;
    }
    iconv_close(Handle);
    return static_cast<size_t>(reinterpret_cast<char16_t*>(Out) - Units);
}

size_t DecodeAndScan(const TDocument& Doc)
{
    const std::string Set = AsciiLowerCase(Doc.Charset);
    std::unique_ptr<char16_t[]> Units(new char16_t[Doc.Bytes.size() * 2 + 1]);
    const size_t Count = Set == "utf-8" || Set == "iso-8859-1" || Set == "us-ascii"
                             ? DecodePlain(Doc.Bytes, Set == "utf-8", Units.get())
                             : DecodeIconv(Doc, Units.get(), Doc.Bytes.size() * 2 + 1);
    return static_cast<size_t>(std::count(Units.get(), Units.get() + Count, u'<'));
}

void ParseFloor(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    for (auto _ : State)
        for (const TDocument& Doc : Docs)
            benchmark::DoNotOptimize(DecodeAndScan(Doc));
    State.SetBytesProcessed(State.iterations() * Utf8Bytes(Docs));
}

void BM_Parser_Corpus(benchmark::State& State) { ParseOurs(State, Corpus()); }
void BM_Parser_Generated5MB(benchmark::State& State) { ParseOurs(State, Generated()); }
void BM_Floor_Corpus(benchmark::State& State) { ParseFloor(State, Corpus()); }
void BM_Floor_Generated5MB(benchmark::State& State) { ParseFloor(State, Generated()); }
BENCHMARK(BM_Parser_Corpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parser_Generated5MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_Corpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_Generated5MB)->Unit(benchmark::kMillisecond);

#ifdef ZV_WITH_GUMBO
void GumboParse(const TDocument& Doc)
{
    GumboOutput* Output = gumbo_parse_with_options(&kGumboDefaultOptions, Doc.Utf8.data(), Doc.Utf8.size());
    benchmark::DoNotOptimize(Output);
    gumbo_destroy_output(&kGumboDefaultOptions, Output);
}

void ParseGumbo(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    for (auto _ : State)
        for (const TDocument& Doc : Docs)
            GumboParse(Doc);
    State.SetBytesProcessed(State.iterations() * Utf8Bytes(Docs));
}

void BM_Gumbo_Corpus(benchmark::State& State) { ParseGumbo(State, Corpus()); }
void BM_Gumbo_Generated5MB(benchmark::State& State) { ParseGumbo(State, Generated()); }
BENCHMARK(BM_Gumbo_Corpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gumbo_Generated5MB)->Unit(benchmark::kMillisecond);
#endif

// ---------------------------------------------------------------------------------------------
// Fresh-process figures: a side parses its pages once in a process of its own, as a program
// just started opens a page; each figure is the best of FreshRuns such processes. The steady
// loops above reuse a heap that earlier runs have warmed.

constexpr int FreshRuns = 5;

// Child: "parse SIDE PAGES" answers seconds, UTF-8 bytes and peak resident bytes above the
// level before the work.
[[maybe_unused]] const bool FreshParse = bench::RegisterFresh("parse", [](const std::vector<std::string>& Args) {
    const std::string& Side = Args.at(0);
    const std::vector<TDocument> Docs = PagesNamed(Args.at(1));
    std::vector<TMemoryStream> Files;
    if (Side == "ours")
        for (const TDocument& Doc : Docs)
            Files.push_back(Source(Doc));
    bench::ResetPeakResident();
    const double Before = bench::ResidentBytes();
    const double Seconds = bench::SecondsOf([&] {
        if (Side == "ours")
            for (TMemoryStream& File : Files)
                ParseFile(File);
        else if (Side == "floor")
            for (const TDocument& Doc : Docs)
                benchmark::DoNotOptimize(DecodeAndScan(Doc));
#ifdef ZV_WITH_GUMBO
        else if (Side == "gumbo")
            for (const TDocument& Doc : Docs)
                GumboParse(Doc);
#endif
    });
    return std::vector<double>{Seconds, static_cast<double>(Utf8Bytes(Docs)), bench::PeakResidentBytes() - Before};
});

using zv::bench::Goal;
using zv::bench::TFresh;

// The goals' ratios are taken from more runs: on a busy machine a short run varies most.
constexpr int GoalRuns = 9;

TFresh Fresh(const std::string& Side, const std::string& Pages, int Runs = GoalRuns)
{
    return zv::bench::BestFresh(Runs, "parse", {Side, Pages});
}

void FreshFigure(benchmark::State& State, const char* Side, const char* Pages)
{
    zv::bench::FreshFigure(State, FreshRuns, "parse", {Side, Pages});
}

// Time per MB of a large page over a small one: linear in size would be 1.
void BM_Goal_ParseScaling_80MB_over_1MB(benchmark::State& State)
{
    TFresh Small, Big;
    for (auto _ : State) {
        Small = Fresh("ours", "1");
        Big = Fresh("ours", "80");
    }
    State.counters["ms_per_MB_1MB"] = Small.MsPerMB();
    State.counters["ms_per_MB_80MB"] = Big.MsPerMB();
    Goal(State, Big.MsPerMB() / Small.MsPerMB(), 1.2);
}

// Parsing from bytes over the floor on the generated page.
void BM_Goal_ParseOverFloor_5MB(benchmark::State& State)
{
    TFresh Ours, Floor;
    for (auto _ : State) {
        Ours = Fresh("ours", "generated");
        Floor = Fresh("floor", "generated");
    }
    Goal(State, Ours.Seconds / Floor.Seconds, 5.0);
}

BENCHMARK_CAPTURE(FreshFigure, Fresh_Parser_Corpus, "ours", "corpus")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Parser_Generated5MB, "ours", "generated")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Floor_Corpus, "floor", "corpus")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Floor_Generated5MB, "floor", "generated")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#ifdef ZV_WITH_GUMBO
BENCHMARK_CAPTURE(FreshFigure, Fresh_Gumbo_Corpus, "gumbo", "corpus")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreshFigure, Fresh_Gumbo_Generated5MB, "gumbo", "generated")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_Goal_ParseScaling_80MB_over_1MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Goal_ParseOverFloor_5MB)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

ZV_FRESH_MAIN()
