// Parser throughput from bytes to a freed tree on the real pages of the corpus and on a
// generated 5 MB page, beside gumbo's parser on the same text (as UTF-8, which it decodes as
// it reads) and beside the floor: decoding the bytes and one scan for "<". Bytes counted are
// the UTF-8 bytes of the text for all, so the MB/s figures compare directly. Run each in a
// process of its own (bench/side-by-side does) so that no side inherits the other's heap.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "HtmlConv.h"
#include "HtmlParser.h"
#include "Streams.h"

#ifdef ZV_WITH_GUMBO
#include <gumbo.h>
#endif

using namespace zv;

namespace {

struct TDocument {
    std::string Bytes;  // the file as it is, for our side
    std::string Utf8;   // its text in UTF-8, gumbo's input
};

TDocument FromFileBytes(const std::string& Bytes)
{
    TMemoryStream Source, Text;
    Source.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Source.SetPosition(0);
    LoadText(Source, Text);
    const WideString Wide(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size()) / 2);
    return {Bytes, Utf16ToUtf8(Wide)};
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
void ParseOurs(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    std::vector<TMemoryStream> Files;
    for (const TDocument& Doc : Docs)
        Files.push_back(Source(Doc));
    for (auto _ : State) {
        for (TMemoryStream& File : Files) {
            File.SetPosition(0);
            TMemoryStream Text;
            const bool MayHoldNul = LoadText(File, Text);
            auto Root = ParseHtml(Text, MayHoldNul);
            benchmark::DoNotOptimize(Root.get());
        }
    }
    State.SetBytesProcessed(State.iterations() * Utf8Bytes(Docs));
}

// The least any parser of the text must do: decode it and look at every character once.
void ParseFloor(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    std::vector<TMemoryStream> Files;
    for (const TDocument& Doc : Docs)
        Files.push_back(Source(Doc));
    for (auto _ : State) {
        for (TMemoryStream& File : Files) {
            File.SetPosition(0);
            TMemoryStream Text;
            LoadText(File, Text);
            const auto* Units = reinterpret_cast<const char16_t*>(Text.Memory());
            benchmark::DoNotOptimize(std::count(Units, Units + Text.Size() / 2, u'<'));
        }
    }
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
void ParseGumbo(benchmark::State& State, const std::vector<TDocument>& Docs)
{
    for (auto _ : State) {
        for (const TDocument& Doc : Docs) {
            GumboOutput* Output =
                gumbo_parse_with_options(&kGumboDefaultOptions, Doc.Utf8.data(), Doc.Utf8.size());
            benchmark::DoNotOptimize(Output);
            gumbo_destroy_output(&kGumboDefaultOptions, Output);
        }
    }
    State.SetBytesProcessed(State.iterations() * Utf8Bytes(Docs));
}

void BM_Gumbo_Corpus(benchmark::State& State) { ParseGumbo(State, Corpus()); }
void BM_Gumbo_Generated5MB(benchmark::State& State) { ParseGumbo(State, Generated()); }
BENCHMARK(BM_Gumbo_Corpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gumbo_Generated5MB)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
