// Parse-and-write throughput of the document model on real pages and on a generated 5 MB
// page, beside HTML Tidy (parse, clean and repair, save with indentation) on the same bytes;
// and the peak memory of one parse and write as a multiple of the input size (the file's bytes
// in memory). bench/side-by-side runs each benchmark in a process of its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "HtmlConv.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "NodeArena.h"
#include "Streams.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

// ---------------------------------------------------------------------------------------------
// Heap accounting: every operator new of the program (and Tidy's allocator below) counts its
// bytes, so that the peak above a starting level can be read after a run.

namespace {

std::atomic<int64_t> HeapNow{0};
std::atomic<int64_t> HeapPeak{0};

constexpr size_t HeaderSize = alignof(std::max_align_t);

void* CountedAlloc(size_t Size)
{
    auto* Block = static_cast<unsigned char*>(std::malloc(Size + HeaderSize));
    if (!Block)
        return nullptr;
    *reinterpret_cast<size_t*>(Block) = Size;
    const int64_t Now = HeapNow.fetch_add(static_cast<int64_t>(Size)) + static_cast<int64_t>(Size);
    int64_t Peak = HeapPeak.load();
    while (Now > Peak && !HeapPeak.compare_exchange_weak(Peak, Now)) {
    }
    return Block + HeaderSize;
}

void CountedFree(void* P)
{
    if (!P)
        return;
    auto* Block = static_cast<unsigned char*>(P) - HeaderSize;
    HeapNow.fetch_sub(static_cast<int64_t>(*reinterpret_cast<size_t*>(Block)));
    std::free(Block);
}

void* CountedRealloc(void* P, size_t Size)
{
    if (!P)
        return CountedAlloc(Size);
    auto* Block = static_cast<unsigned char*>(P) - HeaderSize;
    const size_t Old = *reinterpret_cast<size_t*>(Block);
    void* Fresh = CountedAlloc(Size);
    if (Fresh) {
        std::copy_n(static_cast<unsigned char*>(P), std::min(Old, Size), static_cast<unsigned char*>(Fresh));
        CountedFree(P);
    }
    return Fresh;
}

}  // namespace

void* operator new(size_t Size)
{
    if (void* P = CountedAlloc(Size ? Size : 1))
        return P;
    throw std::bad_alloc();
}
void* operator new[](size_t Size) { return operator new(Size); }
void* operator new(size_t Size, const std::nothrow_t&) noexcept { return CountedAlloc(Size ? Size : 1); }
void* operator new[](size_t Size, const std::nothrow_t&) noexcept { return CountedAlloc(Size ? Size : 1); }
void operator delete(void* P) noexcept { CountedFree(P); }
void operator delete[](void* P) noexcept { CountedFree(P); }
void operator delete(void* P, size_t) noexcept { CountedFree(P); }
void operator delete[](void* P, size_t) noexcept { CountedFree(P); }

namespace {

// Runs Work once and answers the heap it took at its peak, above the level before it; the
// node segments kept from earlier runs are given back first, as in a program that opens its
// first page.
template <typename F>
int64_t PeakOf(F&& Work)
{
    zv::NodeArenaRelease();
    const int64_t Base = HeapNow.load();
    HeapPeak.store(Base);
    Work();
    return HeapPeak.load() - Base;
}

// ---------------------------------------------------------------------------------------------
// Input

// A page: its bytes, and the same in a memory stream as a file is opened from.
struct TPage {
    TPage(std::string Name, std::string Bytes) : Name(std::move(Name)), Bytes(std::move(Bytes))
    {
        File.WriteBuffer(this->Bytes.data(), static_cast<int64_t>(this->Bytes.size()));
    }
    std::string Name;
    std::string Bytes;
    mutable zv::TMemoryStream File;
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
    return zv::ParseHtml(Text, MayHoldNul);
}

// Saving it: the tree written one byte per character.
size_t Save(zv::THtmlRoot* Root)
{
    zv::TMemoryStream Out;
    bool Wide = false;
    zv::WriteDocumentLatin1(Out, Root, Wide);
    return static_cast<size_t>(Out.Size());
}

// Saving it to a file, written straight to the temporary file that replaces it.
size_t SaveToFile(zv::THtmlRoot* Root)
{
    static const std::string Name = std::filesystem::temp_directory_path().string() + "/zv_writer_bench.html";
    bool Wide = false;
    zv::SaveFileAtomically(Name, [&](zv::TStream& File) { zv::WriteDocumentLatin1(File, Root, Wide); });
    return static_cast<size_t>(std::filesystem::file_size(Name));
}

// Opening and saving again; the tree lives to the end, as an open document does.
size_t ParseAndWrite(const TPage& Page)
{
    std::unique_ptr<zv::THtmlRoot> Root = Open(Page);
    return Save(Root.get());
}

// The peaks of opening and of saving, each above what was there before it (the page bytes;
// when saving also the tree), as multiples of the page size: the worst page.
struct TPhasePeaks {
    double Load = 0;
    double Save = 0;
    double Output = 0;  // the size of what was saved
    double OpenAndSaveToFile = 0;
};

TPhasePeaks PhasePeaks(const std::vector<TPage>& Pages)
{
    TPhasePeaks Worst;
    for (const TPage& P : Pages) {
        const double Size = static_cast<double>(P.Bytes.size());
        std::unique_ptr<zv::THtmlRoot> Root;
        const int64_t Load = PeakOf([&] { Root = Open(P); });
        size_t Written = 0;
        const int64_t Saved = PeakOf([&] { Written = Save(Root.get()); });
        Worst.Load = std::max(Worst.Load, static_cast<double>(Load) / Size);
        Worst.Save = std::max(Worst.Save, static_cast<double>(Saved) / Size);
        Worst.Output = std::max(Worst.Output, static_cast<double>(Written) / Size);
        Root.reset();
        const int64_t ToFile = PeakOf([&] {
            Root = Open(P);
            SaveToFile(Root.get());
        });
        Worst.OpenAndSaveToFile = std::max(Worst.OpenAndSaveToFile, static_cast<double>(ToFile) / Size);
    }
    return Worst;
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

// Times Work (bytes in, output size out) over the pages; afterwards the largest peak of one
// page's run, as a multiple of that page's size.
void RunPages(benchmark::State& State, const std::vector<TPage>& Pages, size_t (*Work)(const TPage&))
{
    for (auto _ : State)
        for (const TPage& P : Pages)
            benchmark::DoNotOptimize(Work(P));
    State.SetBytesProcessed(State.iterations() * TotalBytes(Pages));
    double Worst = 0;
    for (const TPage& P : Pages) {
        const int64_t Peak = PeakOf([&] { Work(P); });
        Worst = std::max(Worst, static_cast<double>(Peak) / static_cast<double>(P.Bytes.size()));
    }
    State.counters["peak_x_input"] = Worst;
}

void RunZv(benchmark::State& State, const std::vector<TPage>& Pages)
{
    RunPages(State, Pages, ParseAndWrite);
    const TPhasePeaks Phases = PhasePeaks(Pages);
    State.counters["load_peak_x_input"] = Phases.Load;
    State.counters["save_peak_x_input"] = Phases.Save;
    State.counters["output_x_input"] = Phases.Output;
    State.counters["file_peak_x_input"] = Phases.OpenAndSaveToFile;
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


void* TIDY_CALL TidyAlloc(TidyAllocator*, size_t Size) { return CountedAlloc(Size ? Size : 1); }
void* TIDY_CALL TidyRealloc(TidyAllocator*, void* P, size_t Size) { return CountedRealloc(P, Size ? Size : 1); }
void TIDY_CALL TidyFree(TidyAllocator*, void* P) { CountedFree(P); }
void TIDY_CALL TidyPanic(TidyAllocator*, ctmbstr) { std::abort(); }
const TidyAllocatorVtbl TidyVtbl = {TidyAlloc, TidyRealloc, TidyFree, TidyPanic};

size_t TidyParseAndWrite(const TPage& Page)
{
    const std::string& Bytes = Page.Bytes;
    TidyAllocator Allocator{&TidyVtbl};
    TidyDoc Doc = tidyCreateWithAllocator(&Allocator);
    TidyBuffer Out, Errors;
    tidyBufInitWithAllocator(&Out, &Allocator);
    tidyBufInitWithAllocator(&Errors, &Allocator);
    tidyOptSetInt(Doc, TidyIndentContent, TidyYesState);
    tidyOptSetBool(Doc, TidyForceOutput, yes);
    tidyOptSetBool(Doc, TidyQuiet, yes);
    tidyOptSetBool(Doc, TidyShowWarnings, no);
    tidyOptSetInt(Doc, TidyShowErrors, 0);
    tidyOptSetInt(Doc, TidyWrapLen, 80);
    tidySetCharEncoding(Doc, "utf8");
    tidySetErrorBuffer(Doc, &Errors);
    tidyParseString(Doc, Bytes.c_str());
    tidyCleanAndRepair(Doc);
    tidySaveBuffer(Doc, &Out);
    const size_t Size = Out.size;
    tidyBufFree(&Out);
    tidyBufFree(&Errors);
    tidyRelease(Doc);
    return Size;
}

void RunTidy(benchmark::State& State, const std::vector<TPage>& Pages) { RunPages(State, Pages, TidyParseAndWrite); }

void BM_Corpus_Zandovell(benchmark::State& State) { RunZv(State, Corpus()); }
void BM_Corpus_ZandovellTextOnly(benchmark::State& State) { RunZvText(State, Corpus()); }
void BM_Corpus_Tidy(benchmark::State& State) { RunTidy(State, Corpus()); }
void BM_Generated5MB_Zandovell(benchmark::State& State) { RunZv(State, Generated()); }
void BM_Generated5MB_ZandovellTextOnly(benchmark::State& State) { RunZvText(State, Generated()); }
void BM_Generated5MB_Tidy(benchmark::State& State) { RunTidy(State, Generated()); }
BENCHMARK(BM_Corpus_Zandovell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Corpus_ZandovellTextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Corpus_Tidy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_Zandovell)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_ZandovellTextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generated5MB_Tidy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
