// File fields: URLs resolved against the document, file names back to relative URLs, and the
// file dialogs that start where a field's URL points.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "PickUrls.h"
#include "ToolImg.h"
#include "ToolsHost.h"

using namespace zv;
using namespace zv::test;

TEST(PickUrls, CombineDecodeAndMakeRelative)
{
    // a local document path stands for its file: URL
    EXPECT_EQ(CombineUrl("/site/index.html", "img/a%20b.gif"), "file:///site/img/a%20b.gif");
    EXPECT_EQ(CombineUrl("/site/sub/index.html", "../x.gif"), "file:///site/x.gif");
    EXPECT_EQ(CombineUrl("/site/index.html", "http://example.com/a.gif"), "http://example.com/a.gif");
    EXPECT_EQ(CombineUrl("", "img/a.gif"), "img/a.gif");

    // the root of a POSIX path stays; percent escapes decode to bytes
    EXPECT_EQ(UrlToFileName("file:///site/img/a%20b.gif"), "/site/img/a b.gif");
    EXPECT_EQ(UrlToFileName("FILE:///a/100%25%zz%4"), "/a/100%%zz%4");
    EXPECT_EQ(UrlToFileName("file://localhost/etc/x"), "/etc/x");
    EXPECT_EQ(UrlToFileName("file:/tmp/y"), "/tmp/y");
    EXPECT_EQ(UrlToFileName("file:///caf%C3%A9.gif"), "/caf\xC3\xA9.gif");
    EXPECT_EQ(UrlToFileName("http://example.com/a.gif"), "");
    EXPECT_EQ(UrlToFileName("img/a.gif"), "");

    EXPECT_EQ(MakeRelativeUrl("/site/index.html", "/site/img/a b.gif"), "img/a%20b.gif");
    EXPECT_EQ(MakeRelativeUrl("/site/index.html", "/other/x.gif"), "../other/x.gif");
    EXPECT_EQ(MakeRelativeUrl("/site/index.html", "/site/100% a%20b.gif"), "100%25%20a%2520b.gif");
    EXPECT_EQ(MakeRelativeUrl("/site/deep/er/index.html", "/site/x.gif"), "../../x.gif");
    // no document name: an absolute URL, never a path relative to the current folder
    EXPECT_EQ(MakeRelativeUrl("", "/tmp/a b.gif"), "file:///tmp/a%20b.gif");
    // and back
    EXPECT_EQ(UrlToFileName(CombineUrl("/site/index.html", MakeRelativeUrl("/site/index.html", "/site/img/a b%.gif"))),
              "/site/img/a b%.gif");

    EXPECT_EQ(FilterForKind(1), "Picture Files (*.jpg, *.gif, *.png)|*.jpg;*.gif;*.png|JPEG Files (*.jpg)|*.jpg|"
                                "GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png|All Files (*.*)|*.*");
    EXPECT_EQ(FilterForKind(14), "Audio Files (*.mid, *.wav, *.au)|*.mid;*.wav;*.au|All Files (*.*)|*.*");
    EXPECT_EQ(FilterForKind(15), "All Files (*.*)|*.*");
    EXPECT_EQ(FilterForKind(-1), "All Files (*.*)|*.*");
    EXPECT_EQ(DialogFilter(0), "HTML Files (*.html *.htm);;All Files (*)");
}

TEST(PickUrls, DialogStartsWhereTheFieldPointsAndAnswersARelativeUrl)
{
    const TempDir Site;
    const std::string Doc = Site / "index.html";
    WriteAll(Doc, "<html></html>");
    std::filesystem::create_directories(Site / "img");
    QImage Picture(120, 80, QImage::Format_RGB32);
    Picture.fill(QColor(200, 80, 40));
    Picture.save(QString::fromStdString(Site / "img/sun set.png"));
    const QString Folder = QString::fromStdString(Site.Path);

    QFileDialog& Existing = PrepareUrlDialog(ukPicture, Doc, "img/sun%20set.png");
    EXPECT_EQ(Existing.directory().absolutePath(), Folder + "/img");
    EXPECT_EQ(Existing.selectedFiles().value(0), Folder + "/img/sun set.png");
    EXPECT_EQ(Existing.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(Existing.nameFilters().value(1), "JPEG Files (*.jpg)");
    // a field that names no picture: the picture dialog offers no file, nor the one picked before
    WriteAll(Site / "img/notes.txt", "x");
    EXPECT_FALSE(QFileInfo(PrepareUrlDialog(ukPicture, Doc, "img/notes.txt").selectedFiles().value(0)).isFile());
    // a folder: its parent, no file; another scheme: the document's folder
    QFileDialog& AtFolder = PrepareUrlDialog(ukHtml, Doc, "img");
    EXPECT_EQ(AtFolder.directory().absolutePath(), Folder);
    EXPECT_NE(&AtFolder, &Existing);
    EXPECT_EQ(PrepareUrlDialog(ukHtml, Doc, "http://example.com/x.html").directory().absolutePath(), Folder);

    // picking: the picture dialog with its preview, the answer relative to the document
    std::string Url = "img/sun%20set.png";
    TModalAnswer Answer([&](QWidget* Dialog) {
        auto* Files = qobject_cast<QFileDialog*>(Dialog);
        ASSERT_TRUE(Files);
        Files->resize(760, 420);
        if (QWidget* Focus = QApplication::focusWidget()) Focus->clearFocus();
        Files->selectFile(Folder + "/img/sun set.png");
        auto* Preview = Files->findChild<QLabel*>("Preview");
        ASSERT_TRUE(Preview);
        EXPECT_TRUE(WaitFor([&] { return !Preview->pixmap().isNull(); })) << Preview->text().toStdString() << Files->selectedFiles().join(",").toStdString();
        Files->grab().save("/tmp/zv-picture-dialog.png");
        QMetaObject::invokeMethod(Files, "accept");
    });
    EXPECT_TRUE(PickUrl(ukPicture, Doc, Url));
    EXPECT_TRUE(Answer.Seen);
    EXPECT_EQ(Url, "img/sun%20set.png");

    // Cancel leaves the field as it was
    TModalAnswer Cancel([](QWidget* Dialog) { static_cast<QDialog*>(Dialog)->reject(); });
    Url = "kept.html";
    EXPECT_FALSE(PickUrl(ukHtml, Doc, Url));
    EXPECT_EQ(Url, "kept.html");
}

TEST(PickUrls, BrowseButtonFillsItsFieldRelativeToTheDocument)
{
    // a dialog with one file field, as the tools build them
    struct TFileDialog : TTagEditor {
        QLineEdit* Edit = new QLineEdit(this);
        QPushButton* Browse = new QPushButton(this);
        TFileDialog() { RegisterBrowseButton(Edit, Browse, ukHtml); }
    } Dialog;
    const TempDir Site;
    std::filesystem::create_directories(Site / "pages");
    WriteAll(Site / "pages/next page.html", "<html></html>");
    Dialog.Host.FileName = [&] { return Site / "index.html"; };
    TModalAnswer Answer([&](QWidget* Files) {
        EXPECT_EQ(static_cast<QFileDialog*>(Files)->directory().absolutePath(), QString::fromStdString(Site.Path));
        // the dialog leaves a focused file name as the user typed it
        if (QWidget* Focus = QApplication::focusWidget()) Focus->clearFocus();
        const QString Chosen = QString::fromStdString(Site / "pages/next page.html");
        static_cast<QFileDialog*>(Files)->selectFile(Chosen);
        EXPECT_EQ(static_cast<QFileDialog*>(Files)->selectedFiles().value(0), Chosen);
        QMetaObject::invokeMethod(Files, "accept");
    });
    Dialog.Browse->click();
    EXPECT_TRUE(Answer.Seen);
    EXPECT_EQ(Dialog.Edit->text(), "pages/next%20page.html");

    // a picture chosen in a folder with a blank in its name shows in the design view
    TDesignerHost& H = TDesignerHost::Get();
    std::filesystem::create_directories(H.Folder() / "my pics");
    QImage Picture(6, 4, QImage::Format_RGB32);
    Picture.fill(Qt::red);
    ASSERT_TRUE(Picture.save(QString::fromStdString(H.Folder() / "my pics/red & blue.png"), "PNG"));
    H.LoadFile("index.html", "<html><body><p id=\"p\">text</p></body></html>");
    Palette().Host.FileName = [&] { return H.Folder() / "index.html"; };
    InsertAt("#p", 2, Tool<TToolImg>(), [&](QWidget* Img) {
        TModalAnswer Files([&](QWidget* Files) {
            if (QWidget* Focus = QApplication::focusWidget()) Focus->clearFocus();
            static_cast<QFileDialog*>(Files)->selectFile(QString::fromStdString(H.Folder() / "my pics/red & blue.png"));
            QMetaObject::invokeMethod(Files, "accept");
        });
        Img->findChild<QAbstractButton*>("BtnSrc")->click();
        EXPECT_EQ(FieldText(Img, "EditSrc"), "my%20pics/red%20&%20blue.png");
    });
    H.WaitForPictures();
    EXPECT_EQ(H.Eval("[document.images[0].className, document.images[0].naturalWidth].join()").toString(), ",6");
    EXPECT_NE(SaveBytes("index.html").find("<img src=\"my%20pics/red%20&amp;%20blue.png\">"), std::string::npos)
        << ReadAll(H.Folder() / "index.html");
    Palette().Host.FileName = nullptr;
}
