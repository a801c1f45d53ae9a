#include <filesystem>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QBuffer>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "DataFiles.h"
#include "Streams.h"
#include "TemplateFiles.h"
#include "TypedStreams.h"
#include "UnitTemplate.h"

namespace fs = std::filesystem;
using namespace zv;

namespace {

std::string Int(int32_t Value)
{
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((static_cast<uint32_t>(Value) >> shift) & 0xFF);
    return out;
}

std::string Str(const std::string& Text)
{
    return Int(static_cast<int32_t>(Text.size())) + Text;
}

std::string Jpeg(QColor Colour)
{
    QImage image(TemplatePreviewWidth, TemplatePreviewHeight, QImage::Format_RGB32);
    image.fill(Colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes.toStdString();
}

using TEntries = std::vector<std::pair<std::string, std::string>>;

std::string Template(const std::string& Page, const TEntries& Entries, const std::string& Preview = Jpeg(Qt::red))
{
    std::string out = Str("Zandovell Template") + Str(Preview) + Str(Page);
    for (const auto& [name, data] : Entries)
        out += Int(1) + Str(name) + Str(data);
    return out + Int(0);
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

// Runs Action on the modal dialog that is open when the event loop next comes round.
void OnNextModal(std::function<void(QWidget*)> Action, int Tries = 500)
{
    QTimer::singleShot(10, [Action, Tries] {
        if (QWidget* modal = QApplication::activeModalWidget())
            Action(modal);
        else if (Tries > 0)
            OnNextModal(Action, Tries - 1);
    });
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
    QTemporaryDir temp;
    const fs::path dir = temp.path().toStdString();
    const fs::path file = dir / "Blue.tpl";
    const std::string page = "<html><body><div>{CONTENT}</div></body></html>";
    WriteFile(file, Template(page, {{"style.css", "body {}"},
                                    {"images\\logo.gif", std::string("GIF89a\0\x01", 8)},
                                    {"a/b\\c.txt", ""}},
                             Jpeg(QColor(20, 40, 200))));

    TTemplateReader reader(file.string());
    EXPECT_TRUE(reader.Preview.Empty());
    reader.ReadHeader();
    EXPECT_EQ(reader.PageText, page);
    const QImage preview = reader.Preview.ToImage();
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size(), QSize(TemplatePreviewWidth, TemplatePreviewHeight));
    const QColor centre = preview.pixelColor(75, 56);
    EXPECT_NEAR(centre.blue(), 200, 8);
    EXPECT_NEAR(centre.red(), 20, 8);

    // Damaged previews decode to a picture or to nothing, never further.
    const std::string jpeg = Jpeg(Qt::blue);
    for (const std::string& damaged : {jpeg.substr(0, jpeg.size() / 2), jpeg.substr(0, 20), jpeg.substr(7),
                                       std::string("\xFF\xD8\xFF\xC0\0\x11\x08\xFF\xFF\xFF\xFF\x03", 12)}) {
        WriteFile(dir / "damaged.tpl", Template("x", {}, damaged));
        TTemplateReader broken((dir / "damaged.tpl").string());
        broken.ReadHeader();
        EXPECT_LE(broken.Preview.ToImage().width(), TemplatePreviewWidth);
    }

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
        EXPECT_TRUE(plain.Preview.ToImage().isNull());
        plain.ExtractTo(empty.string());
        EXPECT_TRUE(fs::is_empty(empty));
    }
    EXPECT_THROW(TTemplateReader((dir / "none.tpl").string()).ReadHeader(), EFOpenError);
}

TEST(TemplateReader, RefusesHostileTemplatesWithoutWriting)
{
    QTemporaryDir temp;
    const fs::path dir = temp.path().toStdString();
    const fs::path file = dir / "t.tpl";
    const fs::path site = dir / "site";
    const std::string good = Int(1) + Str("first.txt") + Str("written first?");
    const std::string head = Str("Zandovell Template") + Str(Jpeg(Qt::green)) + Str("<p>{CONTENT}</p>");
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
        EXPECT_TRUE(reader.Preview.Empty());
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

TEST(FormTemplate, ListsReadableTemplatesAndReturnsTheChoice)
{
    QTemporaryDir temp;
    const fs::path dir = temp.path().toStdString();
    WriteFile(dir / "Zebra.tpl", Template("z {CONTENT}", {}));
    WriteFile(dir / "apple.TPL", Template("a {CONTENT}", {}, "not a jpeg"));
    WriteFile(dir / "Broken.tpl", Str("Zandovell Template") + Int(-1));
    WriteFile(dir / "notes.txt", "not a template");
    fs::create_directories(dir / "Folder.tpl");

    TFormTemplate form;
    form.TemplateFolder = dir.string();
    std::vector<std::string> warnings;
    // OK without a choice warns and keeps the dialog open; then Cancel.
    OnNextModal([&](QWidget* dialog) {
        EXPECT_EQ(dialog, &form);
        ASSERT_EQ(form.List()->count(), 2);
        EXPECT_EQ(form.List()->item(0)->text(), "apple");
        EXPECT_EQ(form.List()->item(1)->text(), "Zebra");
        EXPECT_EQ(form.List()->iconSize(), QSize(150, 112));
        OnNextModal([&](QWidget* box) {
            warnings.push_back(static_cast<QMessageBox*>(box)->text().toStdString());
            box->close();
            QTimer::singleShot(0, &form, [&] { form.findChild<QPushButton*>("ButtonCancel")->click(); });
        });
        form.findChild<QPushButton*>("ButtonOk")->click();
    });
    form.exec();
    EXPECT_TRUE(form.Loaded);
    EXPECT_FALSE(form.Accepted);
    EXPECT_EQ(warnings, std::vector<std::string>{"To continue, you have to select a template first."});

    // The second show keeps the list; the choice carries the file's own path.
    fs::remove(dir / "Zebra.tpl");
    OnNextModal([&](QWidget*) {
        EXPECT_FALSE(form.Accepted);
        ASSERT_EQ(form.List()->count(), 2);
        form.List()->item(0)->setSelected(true);
        form.findChild<QPushButton*>("ButtonOk")->click();
    });
    form.exec();
    EXPECT_TRUE(form.Accepted);
    EXPECT_EQ(form.TemplateFile, (dir / "apple.TPL").string());

    // A folder without templates gives an empty list.
    TFormTemplate none;
    none.TemplateFolder = (dir / "missing").string();
    none.show();
    EXPECT_EQ(none.List()->count(), 0);
}

TEST(ShippedData, WordListAndTemplatesAreFoundAndRead)
{
    const std::string words = FindDataFile("english.wrd");
    ASSERT_FALSE(words.empty());
    EXPECT_TRUE(fs::exists(words + ".copyright"));

    const std::string folder = FindDataFile("Templates");
    ASSERT_FALSE(folder.empty());
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        TTemplateReader reader(entry.path().string());
        reader.ReadHeader();
        EXPECT_NE(reader.PageText.find("{CONTENT}"), std::string::npos);
        EXPECT_EQ(reader.Preview.ToImage().size(), QSize(TemplatePreviewWidth, TemplatePreviewHeight));
        QTemporaryDir site;
        reader.ExtractTo(site.path().toStdString());
        EXPECT_FALSE(fs::is_empty(site.path().toStdString()));
        ++count;
    }
    EXPECT_GE(count, 3);
}
