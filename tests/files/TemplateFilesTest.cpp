#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "Streams.h"
#include "TemplateFiles.h"
#include "TypedStreams.h"
#include "support/TempFiles.h"
#include "support/TemplateBytes.h"

namespace fs = std::filesystem;
using namespace zv;
using zv::test::Int;
using zv::test::Str;
using zv::test::TempDir;

namespace {

// Stands for the JPEG preview: the reader keeps it as it is.
const std::string Preview("\xFF\xD8\xFF\xE0 preview \0 bytes \xFF\xD9", 23);

std::string Template(const std::string& Page, const test::TTemplateEntries& Entries,
                     const std::string& Picture = Preview)
{
    return test::TemplateBytes(Page, Entries, Picture);
}

void WriteFile(const fs::path& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary) << Bytes;
}

std::string ReadFile(const fs::path& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file and folder below Folder, relative to it.
std::set<std::string> Contents(const fs::path& Folder)
{
    std::set<std::string> result;
    for (const auto& entry : fs::recursive_directory_iterator(Folder))
        result.insert(entry.path().lexically_relative(Folder).generic_string());
    return result;
}

}  // namespace

TEST(TypedStream, ReadsRecordsAndRefusesBadLengths)
{
    TMemoryStream stream;
    const std::string bytes = Int(-2) + Str("abc") + Str("") + Str("xyz") + Str("block") + Int(7) + "\x05";
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    TTypedStreamAdapter in(stream);
    EXPECT_EQ(in.ReadInteger(), -2);
    EXPECT_EQ(in.ReadString(), "abc");

    // An empty block copies nothing (a count of 0 must not mean "the whole stream").
    TMemoryStream dest;
    in.ReadStream(dest);
    EXPECT_EQ(dest.Size(), 0);
    in.SkipStream();
    in.ReadStream(dest);
    EXPECT_EQ(std::string(dest.Bytes().begin(), dest.Bytes().end()), "block");

    // A length past the end is refused; the one byte left reads as an integer, the rest zero.
    const int64_t before = stream.Position();
    EXPECT_THROW(in.ReadString(), ETypedStreamError);
    EXPECT_EQ(stream.Position(), before + 4);
    EXPECT_EQ(in.ReadInteger(), 5);
    EXPECT_EQ(in.ReadInteger(), 0);

    // A negative length neither seeks back nor allocates.
    TMemoryStream negative;
    const std::string back = Int(-8) + "data";
    negative.WriteBuffer(back.data(), static_cast<int64_t>(back.size()));
    negative.SetPosition(0);
    TTypedStreamAdapter bad(negative);
    EXPECT_THROW(bad.SkipStream(), ETypedStreamError);
    negative.SetPosition(0);
    EXPECT_THROW(bad.ReadStream(dest), ETypedStreamError);
    negative.SetPosition(0);
    EXPECT_THROW(bad.ReadString(), ETypedStreamError);
}

TEST(TemplateReader, ReadsAndExtractsATemplate)
{
    TempDir temp;
    const fs::path dir = temp.Path;
    const fs::path file = dir / "Blue.tpl";
    const std::string page = "<html><body><div>{CONTENT}</div></body></html>";
    WriteFile(file, Template(page, {{"style.css", "body {}"},
                                    {"images\\logo.gif", std::string("GIF89a\0\x01", 8)},
                                    {"a/b\\c.txt", ""}},
                             Preview));

    TTemplateReader reader(file.string());
    EXPECT_TRUE(reader.Preview.empty());
    reader.ReadHeader();
    EXPECT_EQ(reader.PageText, page);
    EXPECT_EQ(std::string(reader.Preview.begin(), reader.Preview.end()), Preview);

    const fs::path site = dir / "site";
    fs::create_directories(site);
    WriteFile(site / "style.css", "old text that is longer than the new");
    reader.ExtractTo(site.string(), (site / "index.html").string());
    EXPECT_EQ(Contents(site), (std::set<std::string>{"style.css", "images", "images/logo.gif", "a", "a/b",
                                                     "a/b/c.txt"}));
    EXPECT_EQ(ReadFile(site / "style.css"), "body {}");
    EXPECT_EQ(ReadFile(site / "images/logo.gif"), std::string("GIF89a\0\x01", 8));

    // No entries, with or without an end marker, extracts nothing; a missing file is an open error.
    for (const std::string& bare : {Str("Zandovell Template") + Str("") + Str("page"),
                                    Str("Zandovell Template") + Str("") + Str("page") + Int(0)}) {
        WriteFile(file, bare);
        const fs::path empty = dir / "empty";
        fs::remove_all(empty);
        fs::create_directories(empty);
        TTemplateReader plain(file.string());
        plain.ReadHeader();
        EXPECT_EQ(plain.PageText, "page");
        EXPECT_TRUE(plain.Preview.empty());
        plain.ExtractTo(empty.string());
        EXPECT_TRUE(fs::is_empty(empty));
    }
    EXPECT_THROW(TTemplateReader((dir / "none.tpl").string()).ReadHeader(), EFOpenError);
}

TEST(TemplateReader, RefusesHostileTemplatesWithoutWriting)
{
    TempDir temp;
    const fs::path dir = temp.Path;
    const fs::path file = dir / "t.tpl";
    const fs::path site = dir / "site";
    const std::string good = Int(1) + Str("first.txt") + Str("written first?");
    const std::string head = Str("Zandovell Template") + Str(Preview) + Str("<p>{CONTENT}</p>");
    const std::string absolute = (dir / "abs.txt").string();
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"parent folder", head + good + Int(1) + Str("../evil.txt") + Str("x") + Int(0)},
        {"parent inside a path", head + good + Int(1) + Str("img\\..\\..\\evil.txt") + Str("x")},
        {"absolute name", head + good + Int(1) + Str(absolute) + Str("x")},
        {"backslash root", head + good + Int(1) + Str("\\evil.txt") + Str("x")},
        {"drive letter", head + good + Int(1) + Str("C:\\evil.txt") + Str("x")},
        {"empty name", head + good + Int(1) + Str("") + Str("x")},
        {"dot part", head + good + Int(1) + Str("a/./b") + Str("x")},
        {"negative length", head + good + Int(1) + Str("b.txt") + Int(-100) + "data"},
        {"length past the end", head + good + Int(1) + Str("b.txt") + Int(1000) + "short"},
        {"negative preview", Str("Zandovell Template") + Int(-4) + Str("page")},
        {"huge page text", Str("Zandovell Template") + Str("") + Int(0x7fffffff) + "page"},
        {"header case", Str("zandovell template") + Str("") + Str("page") + good},
        {"short header", Str("Zandovell Templat") + Str("") + Str("page") + good},
        {"empty file", ""},
    };
    for (const auto& [what, bytes] : hostile) {
        SCOPED_TRACE(what);
        WriteFile(file, bytes);
        fs::remove_all(site);
        fs::create_directories(site);
        TTemplateReader reader(file.string());
        reader.PageText = "kept";
        const std::string expected = "Invalid Zandovell Template file: \"" + file.string() + "\".";
        try {
            reader.ReadHeader();
            ADD_FAILURE() << "read";
        } catch (const ETemplateError& error) {
            EXPECT_EQ(error.Message(), expected);
        }
        EXPECT_EQ(reader.PageText, "kept");
        EXPECT_TRUE(reader.Preview.empty());
        try {
            reader.ExtractTo(site.string());
            ADD_FAILURE() << "extracted";
        } catch (const ETemplateError& error) {
            EXPECT_EQ(error.Message(), expected);
        }
        EXPECT_EQ(Contents(dir), (std::set<std::string>{"t.tpl", "site"}));
    }

    // Well-formed, but aimed at the open document or out through a link: refused before writing.
    fs::create_directories(dir / "outside");
    fs::create_directory_symlink(dir / "outside", site / "linked");
    WriteFile(site / "index.html", "the user's page");
    const std::vector<std::pair<std::string, std::string>> aimed = {
        {"open document", head + good + Int(1) + Str("index.html") + Str("template page")},
        {"link out", head + good + Int(1) + Str("linked\\evil.txt") + Str("x")},
        {"file over folder", head + good + Int(1) + Str("linked") + Str("x")},
        {"folder over file", head + good + Int(1) + Str("first.txt\\x") + Str("x")},
    };
    for (const auto& [what, bytes] : aimed) {
        SCOPED_TRACE(what);
        WriteFile(file, bytes);
        TTemplateReader reader(file.string());
        reader.ReadHeader();
        EXPECT_THROW(reader.ExtractTo(site.string(), (site / "index.html").string()), ETemplateError);
        EXPECT_EQ(ReadFile(site / "index.html"), "the user's page");
        EXPECT_FALSE(fs::exists(site / "first.txt"));
        EXPECT_TRUE(fs::is_empty(dir / "outside"));
    }
}
