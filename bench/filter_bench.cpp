// The design filter next to plain parsing and writing of the same pages: a generated page of
// about 5 MB full of placeholders and design elements, and the corpus of real pages.
//
//   Plain/Parse       file bytes -> tree (character conversion, parser)
//   Plain/Write       tree -> saved bytes (writer, character conversion)
//   Plain/ParseWrite  both of them
//   Filter/Load       file bytes -> design document (LoadFromStream, GetDesignHtml)
//   Filter/Save       design body -> saved bytes (ReadDesign, SaveToStream)

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"

using namespace zv;

namespace {

std::string GeneratedPage()
{
    const std::string Block =
        "<h2><a name=\"s\">Section</a></h2>\n"
        "<!-- section start -->\n"
        "<p>Some <b>bold</b> and <i>italic</i> text with an <a href=\"x.html\">ordinary link</a>"
        " that runs on for a while, long enough to be wrapped by the writer at least once.</p>\n"
        "<p><img src=\"images/pic.gif\" width=\"20\" height=\"20\" alt=\"pic\" class=\"icon\">"
        "<img src=\"http://example.com/remote.png\" border=\"0\"> caf&eacute; text</p>\n"
        "<script type=\"text/javascript\"><!--\nvar x = 1;\n//--></script>\n"
        "<table border=\"1\" width=\"100%\" class=\"grid\"><tr><th>A</th><th>B</th></tr>\n"
        "<tr><td>1</td><td><input type=\"image\" src=\"go.gif\" name=\"go\"></td></tr></table>\n"
        "<table><tr><td>layout</td><td><? echo $v; ?></td></tr></table>\n"
        "<object classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" width=\"100\" "
        "height=\"50\"><param name=\"movie\" value=\"m.swf\"><embed src=\"m.swf\"></object>\n"
        "<form action=\"go\"><input type=\"hidden\" name=\"h\" value=\"1\">"
        "<input type=\"text\" name=\"q\"></form>\n"
        "<ul><li>one</li><li>two <code>code</code></li></ul>\n"
        "<pre>  preformatted\n  text</pre>\n";
    std::string Page = "<html><head><title>Generated</title>"
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                       "</head>\n<body bgcolor=\"white\" onload=\"init()\">\n";
    while (Page.size() < 5 * 1024 * 1024)
        Page += Block;
    return Page + "</body></html>\n";
}

std::vector<std::string> CorpusPages()
{
    std::vector<std::filesystem::path> Files;
    for (const auto& Entry : std::filesystem::directory_iterator(ZV_BENCH_DATA "/corpus"))
        if (Entry.path().extension() == ".html")
            Files.push_back(Entry.path());
    std::sort(Files.begin(), Files.end());
    std::vector<std::string> Pages;
    for (const auto& File : Files) {
        std::stringstream S;
        S << std::ifstream(File, std::ios::binary).rdbuf();
        Pages.push_back(S.str());
    }
    return Pages;
}

void Fill(TMemoryStream& Stream, const std::string& Bytes)
{
    Stream.Clear();
    Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    Stream.SetPosition(0);
}

int64_t TotalBytes(const std::vector<std::string>& Pages)
{
    int64_t Total = 0;
    for (const std::string& Page : Pages)
        Total += static_cast<int64_t>(Page.size());
    return Total;
}

void PlainParseWrite(benchmark::State& State, const std::vector<std::string>& Pages)
{
    for (auto _ : State) {
        for (const std::string& Page : Pages) {
            TMemoryStream File, Text, Out, Saved;
            Fill(File, Page);
            const bool MayHoldNul = LoadText(File, Text);
            std::unique_ptr<THtmlRoot> Root = ParseHtml(Text, MayHoldNul);
            WriteDocument(Out, Root.get());
            Out.SetPosition(0);
            SaveText(Out, Saved);
            benchmark::DoNotOptimize(Saved.Size());
        }
    }
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

void PlainParse(benchmark::State& State, const std::vector<std::string>& Pages)
{
    for (auto _ : State) {
        for (const std::string& Page : Pages) {
            TMemoryStream File, Text;
            Fill(File, Page);
            const bool MayHoldNul = LoadText(File, Text);
            benchmark::DoNotOptimize(ParseHtml(Text, MayHoldNul).get());
        }
    }
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

void PlainWrite(benchmark::State& State, const std::vector<std::string>& Pages)
{
    std::vector<std::unique_ptr<THtmlRoot>> Roots;
    for (const std::string& Page : Pages) {
        TMemoryStream File, Text;
        Fill(File, Page);
        LoadText(File, Text);
        Roots.push_back(ParseHtml(Text));
    }
    for (auto _ : State) {
        for (const auto& Root : Roots) {
            TMemoryStream Out, Saved;
            WriteDocument(Out, Root.get());
            Out.SetPosition(0);
            SaveText(Out, Saved);
            benchmark::DoNotOptimize(Saved.Size());
        }
    }
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

void FilterLoad(benchmark::State& State, const std::vector<std::string>& Pages)
{
    for (auto _ : State) {
        for (const std::string& Page : Pages) {
            THtmlFilter Filter;
            TMemoryStream File;
            Fill(File, Page);
            Filter.LoadFromStream(File);
            benchmark::DoNotOptimize(Filter.GetDesignHtml().size());
        }
    }
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

void FilterSave(benchmark::State& State, const std::vector<std::string>& Pages)
{
    // One loaded filter per page and the body of its design document, as the engine hands
    // it back unedited.
    std::vector<std::unique_ptr<THtmlFilter>> Filters;
    std::vector<WideString> Bodies;
    for (const std::string& Page : Pages) {
        auto Filter = std::make_unique<THtmlFilter>();
        TMemoryStream File;
        Fill(File, Page);
        Filter->LoadFromStream(File);
        const WideString Design = Filter->GetDesignHtml();
        const size_t Start = Design.find(u"</head>\r\n") + 9;
        Bodies.push_back(Design.substr(Start, Design.rfind(u"\r\n</html>") - Start));
        Filters.push_back(std::move(Filter));
    }
    for (auto _ : State) {
        for (size_t I = 0; I < Filters.size(); ++I) {
            TMemoryStream Saved;
            Filters[I]->ReadDesign(Bodies[I]);
            Filters[I]->SaveToStream(Saved);
            benchmark::DoNotOptimize(Saved.Size());
        }
    }
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
}

const std::vector<std::string>& Generated()
{
    static const std::vector<std::string> Pages{GeneratedPage()};
    return Pages;
}

const std::vector<std::string>& Corpus()
{
    static const std::vector<std::string> Pages = CorpusPages();
    return Pages;
}

void Register()
{
    const struct {
        const char* Name;
        const std::vector<std::string>& (*Pages)();
    } Sets[] = {{"Generated5MB", Generated}, {"Corpus", Corpus}};
    for (const auto& Set : Sets) {
        const std::string Name = Set.Name;
        const auto Pages = Set.Pages;
        benchmark::RegisterBenchmark(("Plain/Parse/" + Name).c_str(),
                                     [Pages](benchmark::State& S) { PlainParse(S, Pages()); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Plain/Write/" + Name).c_str(),
                                     [Pages](benchmark::State& S) { PlainWrite(S, Pages()); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Plain/ParseWrite/" + Name).c_str(),
                                     [Pages](benchmark::State& S) { PlainParseWrite(S, Pages()); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Filter/Load/" + Name).c_str(),
                                     [Pages](benchmark::State& S) { FilterLoad(S, Pages()); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Filter/Save/" + Name).c_str(),
                                     [Pages](benchmark::State& S) { FilterSave(S, Pages()); })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
