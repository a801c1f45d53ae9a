// Writes what opening and saving make of many pages into a folder, one file per page, so that
// two builds can be compared byte for byte (diff -r): the corpus, the fuzz seeds, generated
// tag soup in several character sets and random bytes. Usage: roundtrip_dump <folder>.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "Streams.h"

using namespace zv;

namespace {

std::string ReadFile(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

std::string Bytes(TMemoryStream& Stream)
{
    return std::string(reinterpret_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size()));
}

// Runs Step, answering its output or the error it raised.
template <typename F>
std::string Guarded(F&& Step)
{
    try {
        return Step();
    } catch (const std::exception& E) {
        return std::string("error: ") + E.what();
    }
}

std::string Dump(const std::string& Page)
{
    std::string Out;
    auto Section = [&Out](const char* Name, const std::string& Text) {
        Out += "\n=== " + std::string(Name) + " " + std::to_string(Text.size()) + "\n" + Text;
    };
    TMemoryStream Source;
    Source.WriteBuffer(Page.data(), static_cast<int64_t>(Page.size()));
    Section("charset", Guarded([&] {
        Source.SetPosition(0);
        const std::string Name = DetectCharset(Source);
        return Name + " @" + std::to_string(Source.Position());
    }));
    TMemoryStream Text;
    bool MayHoldNul = true;
    Section("text", Guarded([&] {
        Source.SetPosition(0);
        MayHoldNul = LoadText(Source, Text);
        return Bytes(Text);
    }));
    TMemoryStream Written;
    std::unique_ptr<THtmlRoot> Root;
    Section("written", Guarded([&] {
        Text.SetPosition(0);
        Root = ParseHtml(Text, MayHoldNul);
        WriteDocument(Written, Root.get());
        return Bytes(Written);
    }));
    // Written directly as one byte per character, it is what SaveText makes of the text.
    Section("latin1", Guarded([&] {
        TMemoryStream Saved;
        bool Wide = false;
        WriteDocumentLatin1(Saved, Root.get(), Wide);
        Written.SetPosition(0);
        TMemoryStream Old;
        SaveText(Written, Old);
        return Bytes(Old) == Bytes(Saved) ? Bytes(Saved) : "differs from SaveText";
    }));
    Section("utf8", Guarded([&] {
        Written.SetPosition(0);
        TMemoryStream Saved;
        SaveTextUtf8(Written, Saved);
        return Bytes(Saved);
    }));
    Section("filter", Guarded([&] {
        THtmlFilter Filter;
        Source.SetPosition(0);
        Filter.LoadFromStream(Source);
        TMemoryStream Saved;
        Filter.SaveToStream(Saved);
        return Bytes(Saved);
    }));
    return Out;
}

struct TRandom {
    uint32_t Seed;
    uint32_t operator()(uint32_t Range)
    {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 8) % Range;
    }
};

// Tag soup: known and unknown tags, stray and misnested end tags, attributes in every
// quoting, comments, server blocks, scripts, entities, blanks, NULs and bytes above 0x7F.
std::string TagSoup(uint32_t Seed, const char* Charset)
{
    static const char* Tags[] = {"p", "b", "i", "a", "div", "table", "tr", "td", "th", "ul", "li",
                                 "ol", "dl", "dt", "dd", "pre", "textarea", "br", "hr", "img",
                                 "span", "font", "h1", "h2", "form", "select", "option", "head",
                                 "body", "html", "title", "meta", "style", "frameset", "frame",
                                 "noframes", "center", "blockquote", "em", "xyz", "o:p", "tbody"};
    static const char* Pieces[] = {"word", " ", "  \r\n\t", "&amp;", "&eacute;", "&#233;", "&#x263A;",
                                   "x < y", "<>", "< b", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                   "\xE9", "\x80\xBF", "\xFF",
                                   "<!-- c -->", "<?php echo 1 ?>", "<% x %>", "</p>", "</br>",
                                   "<!DOCTYPE html>", "<script>if (a<b) x(\"</p>\")</script>",
                                   "<style>p{}</style>", "<!x>", "<br/>"};
    TRandom R{Seed};
    std::string S;
    if (Charset)
        S += std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") + Charset + "\">";
    for (int I = 0, N = 50 + static_cast<int>(R(400)); I < N; ++I) {
        switch (R(6)) {
        case 0:
        case 1: {
            S += "<" + std::string(R(5) == 0 ? "/" : "") + Tags[R(std::size(Tags))];
            for (uint32_t A = R(4); A > 0; --A) {
                static const char* Names[] = {"href", "ALIGN", "class", "checked", "onclick", "x-y", "width"};
                S += std::string(R(3) ? " " : "\n") + Names[R(std::size(Names))];
                switch (R(5)) {
                case 0: break;
                case 1: S += "=\"v " + std::to_string(R(100)) + "\""; break;
                case 2: S += "='q\"'"; break;
                case 3: S += "=bare" + std::to_string(R(10)); break;
                default: S += " = \"\"";
                }
            }
            S += R(8) == 0 ? "" : ">";
            break;
        }
        case 2: S += Pieces[R(std::size(Pieces))]; break;
        default: S += "text " + std::to_string(R(1000)) + (R(2) ? " " : "\n");
        }
    }
    for (uint32_t N = R(3); N > 0 && !S.empty(); --N)
        S.insert(R(static_cast<uint32_t>(S.size())), 1, '\0');
    return S;
}

}  // namespace

int main(int Argc, char** Argv)
{
    if (Argc != 2) {
        std::cerr << "usage: roundtrip_dump <folder>\n";
        return 2;
    }
    const std::filesystem::path Folder = Argv[1];
    std::filesystem::create_directories(Folder);
    auto Save = [&Folder](const std::string& Name, const std::string& Page) {
        std::ofstream(Folder / Name, std::ios::binary) << Dump(Page);
    };
    const std::filesystem::path Top = std::filesystem::path(ZV_BENCH_DATA).parent_path().parent_path();
    for (const char* Sub : {"bench/data/corpus", "tests/fuzz/corpus/charsets", "tests/fuzz/corpus/parser"})
        for (const auto& Entry : std::filesystem::directory_iterator(Top / Sub))
            Save(std::filesystem::path(Sub).filename().string() + "-" + Entry.path().filename().string(),
                 ReadFile(Entry.path()));
    const char* Charsets[] = {nullptr, "utf-8", "windows-1252", "iso-8859-2", "koi8-r", "shift_jis",
                              "utf-16le", "x-mac-roman", "euc-jp", "iso-8859-15"};
    for (uint32_t Seed = 1; Seed <= 600; ++Seed)
        Save("soup-" + std::to_string(Seed), TagSoup(Seed, Charsets[Seed % std::size(Charsets)]));
    for (uint32_t Seed = 1; Seed <= 200; ++Seed) {
        TRandom R{Seed};
        std::string Page = Seed % 2 ? "\xEF\xBB\xBF" : "";
        for (uint32_t I = R(3000); I > 0; --I)
            Page += static_cast<char>(R(4) ? 0x20 + R(0x60) : R(256));
        Save("random-" + std::to_string(Seed), Page);
    }
    return 0;
}
