#include <filesystem>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QBuffer>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "DataFiles.h"
#include "Streams.h"
#include "JpegImages.h"
#include "TemplateFiles.h"
#include "UnitTemplate.h"
#include "support/TemplateBytes.h"

namespace fs = std::filesystem;
using namespace zv;
using zv::test::Int;
using zv::test::Str;

namespace {

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

std::string Template(const std::string& Page, const test::TTemplateEntries& Entries,
                     const std::string& Picture = Jpeg(Qt::red))
{
    return test::TemplateBytes(Page, Entries, Picture);
}

void WriteFile(const fs::path& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary) << Bytes;
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

TEST(TemplatePreview, DecodesThePictureOrNothing)
{
    QTemporaryDir temp;
    const fs::path file = fs::path(temp.path().toStdString()) / "Blue.tpl";
    WriteFile(file, Template("{CONTENT}", {}, Jpeg(QColor(20, 40, 200))));
    TTemplateReader reader(file.string());
    reader.ReadHeader();
    const QImage preview = TJpegImage(reader.Preview).ToImage();
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size(), QSize(TemplatePreviewWidth, TemplatePreviewHeight));
    const QColor centre = preview.pixelColor(75, 56);
    EXPECT_NEAR(centre.blue(), 200, 8);
    EXPECT_NEAR(centre.red(), 20, 8);

    // Damaged previews decode to a picture or to nothing, never further.
    const std::string jpeg = Jpeg(Qt::blue);
    for (const std::string& damaged : {jpeg.substr(0, jpeg.size() / 2), jpeg.substr(0, 20), jpeg.substr(7),
                                       std::string("\xFF\xD8\xFF\xC0\0\x11\x08\xFF\xFF\xFF\xFF\x03", 12),
                                       std::string()}) {
        WriteFile(file, Template("x", {}, damaged));
        TTemplateReader broken(file.string());
        broken.ReadHeader();
        EXPECT_LE(TJpegImage(broken.Preview).ToImage().width(), TemplatePreviewWidth);
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

    // A name that is no UTF-8 is listed and chosen as the bytes it is.
    QTemporaryDir latin;
    const std::string odd = latin.path().toStdString() + "/Caf\xE9.tpl";
    WriteFile(odd, Template("c {CONTENT}", {}));
    TFormTemplate bytes;
    bytes.TemplateFolder = latin.path().toStdString();
    OnNextModal([&](QWidget*) {
        ASSERT_EQ(bytes.List()->count(), 1);
        EXPECT_TRUE(bytes.List()->item(0)->text().startsWith("Caf"));
        QListWidget* list = bytes.List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QTest::mouseClick(bytes.findChild<QPushButton*>("ButtonOk"), Qt::LeftButton);
    });
    bytes.exec();
    EXPECT_TRUE(bytes.Accepted);
    EXPECT_EQ(bytes.TemplateFile, odd);
    TTemplateReader chosen(bytes.TemplateFile);
    chosen.ReadHeader();
    EXPECT_EQ(chosen.PageText, "c {CONTENT}");

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

    const std::string folder = FindDataFolder("Templates");
    ASSERT_FALSE(folder.empty());
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        TTemplateReader reader(entry.path().string());
        reader.ReadHeader();
        EXPECT_NE(reader.PageText.find("{CONTENT}"), std::string::npos);
        EXPECT_EQ(TJpegImage(reader.Preview).ToImage().size(), QSize(TemplatePreviewWidth, TemplatePreviewHeight));
        QTemporaryDir site;
        reader.ExtractTo(site.path().toStdString());
        EXPECT_FALSE(fs::is_empty(site.path().toStdString()));
        ++count;
    }
    EXPECT_GE(count, 3);
}
