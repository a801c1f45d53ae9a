// The page properties dialog and the web-safe colour schemes in the real design view: every
// field read from a page and written back, the head's order, and that an unchanged OK keeps
// every byte of the page.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "HtmlFilter.h"
#include "ToolBody.h"
#include "ToolsHost.h"
#include "UnitWebSafe.h"

using namespace zv;
using namespace zv::test;

namespace {

QCheckBox* Box(QWidget* D, const char* Name) { return D->findChild<QCheckBox*>(Name); }
QRadioButton* Radio(QWidget* D, const char* Name) { return D->findChild<QRadioButton*>(Name); }
QTableWidget* RelationList(QWidget* D) { return D->findChild<QTableWidget*>("ValueListEditor1"); }

// The URL of a relation row; "-" when there is no such row.
QString RelationUrl(QWidget* D, const QString& Relation)
{
    QTableWidget* List = RelationList(D);
    for (int Row = 0; Row < List->rowCount(); ++Row)
        if (List->item(Row, 0)->text() == Relation) return List->item(Row, 1)->text();
    return "-";
}

void SetRelationUrl(QWidget* D, const QString& Relation, const QString& Url)
{
    QTableWidget* List = RelationList(D);
    for (int Row = 0; Row < List->rowCount(); ++Row)
        if (List->item(Row, 0)->text() == Relation) return List->item(Row, 1)->setText(Url);
    ADD_FAILURE() << "no relation " << Relation.toStdString();
}

// The dialog opened on the page's body, as the main window's command does.
bool ShowPageProperties(THtmlDesigner& Designer) { return Palette().EditElement(Designer.Document().body()); }

// Opens the dialog, answering it with Fill and OK; true when the page changed.
bool PageProperties(std::function<void(QWidget*)> Fill = {})
{
    TModalAnswer Answer([&](QWidget* Dialog) {
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
    });
    const bool Changed = ShowPageProperties(TDesignerHost::Get().Designer());
    EXPECT_TRUE(Answer.Seen);
    return Changed;
}

QString LiveBody(const char* Attribute)
{
    return TDesignerHost::Get().Eval(QString("document.body.getAttribute('%1')").arg(Attribute)).toString();
}

}  // namespace

TEST(PageProperties, EveryFieldWrittenInOrderThenReadBack)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("props.html",
               "<html><head>\n<style>p { color: red }</style>\n<!-- kept -->\n</head>\n"
               "<body>\n<p id=\"p\">Text</p>\n</body></html>\n");
    WriteAll(H.Folder() / "site.css", "p { color: blue }");
    Palette().Host.FileName = [&] { return std::string(H.Folder() / "props.html"); };
    // a double click on the body opens the dialog
    TModalAnswer Answer([&](QWidget* D) {
        EXPECT_EQ(D->windowTitle(), "Page Properties");
        EXPECT_EQ(D->findChild<QTabWidget*>()->currentIndex(), 0);
        EXPECT_EQ(FieldText(D, "EditTitle"), "");
        EXPECT_EQ(FieldText(D, "EditRefreshSec"), "10");
        EXPECT_EQ(RelationList(D)->rowCount(), 17);
        SetField(D, "EditTitle", "  Fish & <Chips>  ");
        SetField(D, "EditBackground", "images/back.gif");
        SetField(D, "EditMargin1", "1");
        SetField(D, "EditMargin2", "2");
        SetField(D, "EditMargin3", "3");
        SetField(D, "EditMargin4", "4");
        SetField(D, "EditColor1", "#FFFFCC");
        SetField(D, "EditColor2", "navy");
        SetField(D, "EditColor3", "#0000FF");
        SetField(D, "EditColor4", "purple");
        SetField(D, "EditColor5", "red");
        SetField(D, "MemoDesc", "All about fish");
        SetField(D, "MemoKeyword", "fish, chips");
        SetField(D, "EditAuthor", "Ann Author");
        SetField(D, "EditEmail", " mailto:ann@example.com ");
        // the row's browse button picks a style sheet, relative to the document
        TModalAnswer Pick([&](QWidget* Files) {
            EXPECT_EQ(static_cast<QFileDialog*>(Files)->nameFilters().value(0), "CSS Files (*.css)");
            static_cast<QFileDialog*>(Files)->selectFile(QString::fromStdString(H.Folder() / "site.css"));
            QMetaObject::invokeMethod(Files, "accept");
        });
        static_cast<QAbstractButton*>(RelationList(D)->cellWidget(1, 2))->click();
        EXPECT_TRUE(Pick.Seen);
        EXPECT_EQ(RelationUrl(D, "StyleSheet"), "site.css");
        SetRelationUrl(D, "Shortcut Icon", "favicon.ico");
        SetRelationUrl(D, "Next", "page2.html");
        SetField(D, "EditBase", "http://example.com/");
        SetField(D, "ComboTarget", "_top");
        Box(D, "CheckRobot")->click();
        EXPECT_TRUE(Box(D, "CheckIndex")->isEnabled());
        Box(D, "CheckIndex")->click();
        Box(D, "CheckRefresh")->click();
        EXPECT_FALSE(FieldText(D, "EditRefreshUrl").size() || D->findChild<QLineEdit*>("EditRefreshUrl")->isEnabled());
        Radio(D, "RadioRefresh2")->click();
        EXPECT_TRUE(D->findChild<QLineEdit*>("EditRefreshUrl")->isEnabled());
        SetField(D, "EditRefreshSec", "30");
        SetField(D, "EditRefreshUrl", "Next.HTML");
        PressOk(D);
    });
    Palette().EditElement(H.Designer().Document().body());
    ASSERT_TRUE(Answer.Seen);
    EXPECT_EQ(LiveBody("bgcolor"), "#FFFFCC");
    EXPECT_EQ(LiveBody("leftmargin"), "1");
    EXPECT_EQ(QString::fromStdU16String(H.Designer().GetTitle()), "Fish & <Chips>");
    Palette().Host.FileName = nullptr;
    EXPECT_EQ(SaveBytes("props-saved.html"), ReadAll(ZV_TEST_DATA "/tools/page-properties.html"));

    // read back, then changed and emptied
    EXPECT_TRUE(PageProperties([](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditTitle"), "Fish & <Chips>");
        EXPECT_EQ(FieldText(D, "EditBackground"), "images/back.gif");
        EXPECT_EQ(FieldText(D, "EditMargin3"), "3");
        EXPECT_EQ(FieldText(D, "EditColor2"), "navy");
        EXPECT_EQ(FieldText(D, "MemoKeyword"), "fish, chips");
        EXPECT_EQ(FieldText(D, "EditEmail"), "ann@example.com");
        EXPECT_EQ(RelationUrl(D, "StyleSheet"), "site.css");
        EXPECT_EQ(FieldText(D, "ComboTarget"), "_top");
        EXPECT_TRUE(Box(D, "CheckRobot")->isChecked());
        EXPECT_TRUE(Box(D, "CheckIndex")->isChecked());
        EXPECT_FALSE(Box(D, "CheckFollow")->isChecked());
        EXPECT_TRUE(Radio(D, "RadioRefresh2")->isChecked());
        EXPECT_EQ(FieldText(D, "EditRefreshUrl"), "Next.HTML");
        SetField(D, "EditTitle", "");
        SetField(D, "EditColor1", "");
        SetField(D, "EditMargin1", "");
        SetField(D, "MemoDesc", "");
        SetRelationUrl(D, "Next", "");
        SetRelationUrl(D, "Help", "help.html");
        Box(D, "CheckRefresh")->click();
        SetField(D, "EditBase", "");
        SetField(D, "ComboTarget", "");
    }));
    EXPECT_EQ(LiveBody("bgcolor"), "");
    const std::string Saved = SaveBytes("props-changed.html");
    for (const char* Gone : {"<title>", "Description", "page2.html", "Refresh", "<base", "bgcolor", "leftmargin"})
        EXPECT_EQ(Saved.find(Gone), std::string::npos) << Gone << "\n" << Saved;
    EXPECT_NE(Saved.find("<link rel=\"StyleSheet\" href=\"site.css\">\r\n"
                         "    <link rel=\"Shortcut Icon\" href=\"favicon.ico\">\r\n"
                         "    <link rel=\"Help\" href=\"help.html\">\r\n"
                         "    <style>"), std::string::npos) << Saved;
}

TEST(PageProperties, UnchangedOkKeepsTheHeadAndChangesTouchOnlyTheirElement)
{
    TDesignerHost& H = TDesignerHost::Get();
    const std::string Page =
        "<html><head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"screen.css\" title=\"Screen\">\n"
        "<title>Caf&eacute; &lt;b&gt; &amp; more</title>\n"
        "<meta name=\"viewport\" content=\"width=device-width\">\n"
        "<meta name=\"Generator\" content=\"Zandovell v1.00\">\n"
        "<link rel=\"stylesheet\" type=\"text/css\" href=\"print.css\" media=\"print\">\n"
        "<meta name=\"robots\" content=\"noarchive, NOINDEX\">\n"
        "<meta http-equiv=\"refresh\" content=\"5;URL=next.html\">\n"
        "<link rev=\"made\" href=\"MAILTO:x@y.z\" title=\"Mail\">\n"
        "<link rel=\"icon\" href=\"fav.png\" type=\"image/png\">\n"
        "<link href=\"no-rel.css\">\n"
        "<base href=\"http://example.com/\" target=\"_blank\">\n"
        "<script type=\"text/javascript\"><!-- var a = 1; --></script>\n"
        "<meta name=\"keywords\" content=\"one &amp; two\">\n"
        "<meta name=\"keywords\" content=\"second\">\n"
        "</head><body bgcolor=\"#ffffff\" background=\"a&amp;b.gif\"><p>x</p></body></html>\n";
    H.LoadFile("keep.html", Page);
    const std::string Before = SaveBytes("keep-0.html");
    EXPECT_FALSE(PageProperties([](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditTitle"), QString::fromUtf8("Caf\xc3\xa9 <b> & more"));
        EXPECT_EQ(RelationUrl(D, "StyleSheet"), "print.css");   // the later one
        EXPECT_EQ(RelationUrl(D, "icon"), "fav.png");           // a row of its own at the end
        EXPECT_EQ(RelationList(D)->item(17, 0)->text(), "icon");
        EXPECT_EQ(FieldText(D, "EditEmail"), "x@y.z");
        EXPECT_EQ(FieldText(D, "MemoKeyword"), "second");
        EXPECT_EQ(FieldText(D, "EditBackground"), "a&b.gif");
        EXPECT_TRUE(Box(D, "CheckRobot")->isChecked());
        EXPECT_FALSE(Box(D, "CheckIndex")->isChecked());
        EXPECT_TRUE(Box(D, "CheckRefresh")->isChecked());
        EXPECT_EQ(FieldText(D, "EditRefreshSec"), "10");   // "5;URL=" is not "; url="
    }));
    EXPECT_EQ(SaveBytes("keep-1.html"), Before);

    // a changed title and style sheet change their own element where it stands
    EXPECT_TRUE(PageProperties([](QWidget* D) {
        SetField(D, "EditTitle", "<i>Tea</i> & cake");
        SetRelationUrl(D, "StyleSheet", "paper.css");
        SetField(D, "EditColor1", "#000000");
    }));
    std::string Expected = Before;
    const auto Replace = [&](const std::string& From, const std::string& To) {
        const size_t At = Expected.find(From);
        ASSERT_NE(At, std::string::npos) << From;
        Expected.replace(At, From.size(), To);
    };
    Replace("Caf&eacute; &lt;b&gt; &amp; more", "&lt;i&gt;Tea&lt;/i&gt; &amp; cake");
    Replace("print.css", "paper.css");
    Replace("bgcolor=\"#ffffff\"", "bgcolor=\"#000000\"");
    EXPECT_EQ(SaveBytes("keep-2.html"), Expected);
    // one undo takes back the head and the body together; redo brings them again
    EXPECT_EQ(H.Designer().UndoList().back().Name, "Page Properties");
    H.Designer().Undo();
    EXPECT_EQ(LiveBody("bgcolor"), "#ffffff");
    EXPECT_EQ(SaveBytes("keep-undone.html"), Before);
    H.Designer().Redo();
    EXPECT_EQ(LiveBody("bgcolor"), "#000000");
    EXPECT_EQ(SaveBytes("keep-redone.html"), Expected);
    EXPECT_NE(Expected.find("href=\"paper.css\" media=\"print\""), std::string::npos) << Expected;
    const size_t Steps = H.Designer().UndoList().size();
    EXPECT_FALSE(PageProperties([](QWidget* D) { EXPECT_EQ(FieldText(D, "EditTitle"), "<i>Tea</i> & cake"); }));
    EXPECT_EQ(H.Designer().UndoList().size(), Steps);
    EXPECT_EQ(SaveBytes("keep-3.html"), Expected);

    // a page without an html element gets one, with the head in it
    H.LoadFile("bare.html", "");
    ASSERT_EQ(H.Designer().StoredRoot()->FindFirstOfKind(tagHtml), nullptr);
    EXPECT_TRUE(PageProperties([](QWidget* D) { SetField(D, "EditTitle", "Bare"); }));
    const std::string Bare = SaveBytes("bare-1.html");
    EXPECT_NE(Bare.find("<html>\r\n  <head>\r\n    <title>Bare</title>\r\n"
                        "    <meta name=\"Generator\" content=\"Zandovell v1.00\">\r\n  </head>"),
              std::string::npos)
        << Bare;
}

TEST(PageProperties, RefreshRobotsChecksAndColourFields)
{
    THtmlDesigner& Designer = TDesignerHost::Get().Designer();
    std::unique_ptr<TTagEditor> Dialog;
    TTagEditor* D = nullptr;
    const auto Show = [&](const std::string& Head) {
        Designer.SetHtml(Utf8ToUtf16("<html><head>" + Head + "</head><body><p>x</p></body></html>"));
        Dialog = Tool<TToolBody>()->NewEditor();
        D = Dialog.get();
        D->Open(&Designer, THtmlElement());
    };
    struct TRefresh {
        const char* Content;
        bool Another;
        const char* Seconds;
        const char* Url;
    };
    for (const TRefresh& R : {TRefresh{"30; URL=Next.HTML", true, "30", "Next.HTML"}, TRefresh{" 7 ", false, "7", ""},
                              TRefresh{"soon", false, "10", ""}, TRefresh{"5;url=x.html", false, "10", ""},
                              TRefresh{"0; url=", true, "0", ""}}) {
        Show(std::string("<meta http-equiv=\"REFRESH\" content=\"") + R.Content + "\">");
        EXPECT_TRUE(Box(D, "CheckRefresh")->isChecked()) << R.Content;
        EXPECT_EQ(Radio(D, "RadioRefresh2")->isChecked(), R.Another) << R.Content;
        EXPECT_EQ(FieldText(D, "EditRefreshSec"), R.Seconds) << R.Content;
        EXPECT_EQ(FieldText(D, "EditRefreshUrl"), R.Url) << R.Content;
        EXPECT_EQ(D->findChild<QLineEdit*>("EditRefreshUrl")->isEnabled(), R.Another) << R.Content;
    }
    // a refresh meta with a name is not the refresh
    Show("<meta name=\"x\" http-equiv=\"Refresh\" content=\"3\">");
    EXPECT_FALSE(Box(D, "CheckRefresh")->isChecked());
    EXPECT_FALSE(D->findChild<QLineEdit*>("EditRefreshSec")->isEnabled());

    struct TRobots {
        const char* Content;
        bool Index, Follow;
    };
    for (const TRobots& R : {TRobots{"none", false, false}, TRobots{"all", true, true},
                             TRobots{"noindex, follow", false, true}, TRobots{"INDEX,nofollow,none,Follow", false, true},
                             TRobots{"noarchive", false, false}}) {
        Show(std::string("<meta name=\"Robots\" content=\"") + R.Content + "\">");
        EXPECT_TRUE(Box(D, "CheckRobot")->isChecked()) << R.Content;
        EXPECT_TRUE(Box(D, "CheckIndex")->isEnabled());
        EXPECT_EQ(Box(D, "CheckIndex")->isChecked(), R.Index) << R.Content;
        EXPECT_EQ(Box(D, "CheckFollow")->isChecked(), R.Follow) << R.Content;
    }
    Show("<title>t</title>");
    EXPECT_FALSE(Box(D, "CheckRobot")->isChecked());
    EXPECT_FALSE(Box(D, "CheckIndex")->isEnabled());

    // the refresh fields are checked on OK: the dialog stays open on the "Misc" page
    TDesignerHost::Get().LoadFile("checks.html", "<html><head><title>Checks</title></head><body><p>x</p></body></html>");
    const std::string Before = SaveBytes("checks-0.html");
    QStringList Messages;
    TModalAnswer Answer([&](QWidget* Dialog) {
        const auto Refused = [&] {
            TModalAnswer Message([&](QWidget* Box) {
                Messages << static_cast<QMessageBox*>(Box)->text();
                static_cast<QMessageBox*>(Box)->accept();
            });
            PressOk(Dialog);
            EXPECT_TRUE(Message.Seen);
            EXPECT_TRUE(Dialog->isVisible());
            EXPECT_EQ(Dialog->findChild<QTabWidget*>()->currentWidget()->objectName(), "TabMisc");
        };
        Box(Dialog, "CheckRefresh")->click();
        SetField(Dialog, "EditRefreshSec", " ");
        Refused();
        SetField(Dialog, "EditRefreshSec", "5");
        Radio(Dialog, "RadioRefresh2")->click();
        Refused();
        // a system colour name is painted in the colour it stands for
        SetField(Dialog, "EditColor1", "ButtonFace");
        const QPalette Colour = Dialog->findChild<QLineEdit*>("EditColor1")->palette();
        EXPECT_EQ(Colour.color(QPalette::Base), QApplication::palette().color(QPalette::Button));
        EXPECT_EQ(Colour.color(QPalette::Text), QColor(Qt::black));
        PressCancel(Dialog);
    });
    EXPECT_FALSE(ShowPageProperties(Designer));
    EXPECT_EQ(Messages, QStringList({"Refresh time not specified yet.", "Refresh URL not specified yet."}));
    EXPECT_EQ(SaveBytes("checks-1.html"), Before);
}

TEST(PageProperties, WebSafeSchemesFromTheDialog)
{
    EXPECT_EQ(std::size(WebSafeGroups), 11u);
    EXPECT_EQ(std::size(WebSafeSchemes), 56u);
    TFormWebSafe* Chooser = WebSafeForm();
    EXPECT_EQ(Chooser, WebSafeForm());
    auto* Groups = Chooser->findChild<QListWidget*>("ListBox1");
    auto* Schemes = Chooser->findChild<QListWidget*>("ListBox2");
    ASSERT_EQ(Groups->count(), 11);
    EXPECT_EQ(Groups->item(0)->text(), "Black");
    EXPECT_EQ(Groups->item(9)->text(), "White");
    EXPECT_EQ(Chooser->findChild<QPushButton*>()->parentWidget()->objectName(), "Buttons");

    TDesignerHost::Get().LoadFile("colours.html",
                                  "<html><head><title>Colours</title></head><body text=\"red\"><p>x</p></body></html>");
    // White: six schemes; the first one's colours come back into the fields as colour text
    EXPECT_TRUE(PageProperties([&](QWidget* D) {
        TModalAnswer Answer([&](QWidget* W) {
            EXPECT_EQ(W, Chooser);
            EXPECT_EQ(Chooser->TextColor(), clRed);   // from the text field
            Groups->setCurrentRow(9);
            ASSERT_EQ(Schemes->count(), 6);
            EXPECT_EQ(Schemes->currentRow(), -1);
            EXPECT_EQ(Schemes->item(0)->text(), "Brown - Red - Orange");
            EXPECT_EQ(Schemes->item(5)->text(), "Turquoise - Aqua");
            Schemes->setCurrentRow(0);
            EXPECT_EQ(Chooser->findChild<QWidget*>("Panel1")->palette().color(QPalette::Window), QColor(Qt::white));
            EXPECT_EQ(Chooser->findChild<QWidget*>("LabelParagraph1")->palette().color(QPalette::WindowText),
                      QColor(0x99, 0x66, 0x66));
            Chooser->grab().save("/tmp/zv-dialog-websafe.png");
            Schemes->setFocus();   // left in the schemes, as after a click there
            PressOk(W);
        });
        D->findChild<QPushButton*>("Button3")->click();
        EXPECT_TRUE(Answer.Seen);
        EXPECT_EQ(FieldText(D, "EditColor1"), "White");
        EXPECT_EQ(FieldText(D, "EditColor2"), "#996666");
        EXPECT_EQ(FieldText(D, "EditColor3"), "Red");
        EXPECT_EQ(FieldText(D, "EditColor4"), "#663333");
        EXPECT_EQ(FieldText(D, "EditColor5"), "#FF9999");
        EXPECT_EQ(D->findChild<QLineEdit*>("EditColor2")->palette().color(QPalette::Base), QColor(0x99, 0x66, 0x66));
    }));
    const std::string Coloured = SaveBytes("colours-1.html");
    EXPECT_NE(Coloured.find("<body text=\"#996666\" bgcolor=\"White\" link=\"Red\" vlink=\"#663333\" alink=\"#FF9999\">"),
              std::string::npos) << Coloured;

    // empty fields keep the colours chosen last; a group without a scheme changes nothing;
    // Reset gives white, black, blue, purple, purple; Cancel leaves the fields, which then show
    // what the page has: nothing to write
    EXPECT_FALSE(PageProperties([&](QWidget* D) {
        for (const char* Name : {"EditColor1", "EditColor2", "EditColor3", "EditColor4", "EditColor5"}) SetField(D, Name, "");
        TModalAnswer Keep([&](QWidget* W) {
            EXPECT_EQ(Chooser->focusWidget(), Groups);   // the keyboard starts in the groups again
            EXPECT_EQ(Chooser->TextColor(), RgbColor(0x99, 0x66, 0x66));
            Groups->setCurrentRow(2);
            EXPECT_EQ(Schemes->count(), 3);
            PressOk(W);
        });
        D->findChild<QPushButton*>("Button3")->click();
        EXPECT_EQ(FieldText(D, "EditColor2"), "#996666");
        TModalAnswer Reset([&](QWidget* W) {
            Chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Reset)->click();
            EXPECT_EQ(Chooser->findChild<QWidget*>("LabelALink")->palette().color(QPalette::WindowText), QColor(0x80, 0, 0x80));
            PressCancel(W);
        });
        D->findChild<QPushButton*>("Button3")->click();
        EXPECT_EQ(FieldText(D, "EditColor2"), "#996666");
        EXPECT_EQ(Chooser->BgColor(), clWhite);
        EXPECT_EQ(Chooser->TextColor(), clBlack);
        EXPECT_EQ(Chooser->LinkColor(), clBlue);
        EXPECT_EQ(Chooser->VLinkColor(), clPurple);
        EXPECT_EQ(Chooser->ALinkColor(), clPurple);
    }));
}

TEST(PageProperties, DialogsForTheEye)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("eye.html", "<html><head><title>A page to look at</title>"
                           "<meta name=\"Description\" content=\"What the page is about\">"
                           "<meta name=\"Keywords\" content=\"look, see\"><meta name=\"Author\" content=\"Ann\">"
                           "<link rel=\"StyleSheet\" href=\"site.css\"><meta name=\"Robots\" content=\"index,follow\">"
                           "<meta http-equiv=\"Refresh\" content=\"30; url=next.html\"><base target=\"_top\">"
                           "</head><body bgcolor=\"#FFFFCC\" text=\"navy\" link=\"blue\" vlink=\"purple\" alink=\"red\" "
                           "leftmargin=\"10\" background=\"back.gif\"><p>x</p></body></html>");
    const std::unique_ptr<TTagEditor> Dialog = Tool<TToolBody>()->NewEditor();
    TTagEditor* D = Dialog.get();
    D->Open(&H.Designer(), THtmlElement());
    D->show();
    auto* Pages = D->findChild<QTabWidget*>();
    for (int K = 0; K < Pages->count(); ++K) {
        Pages->setCurrentIndex(K);
        D->grab().save(QString("/tmp/zv-dialog-pageprops-%1.png").arg(Pages->tabText(K).toLower()));
    }
    D->hide();
    TFormWebSafe* Chooser = WebSafeForm();
    Chooser->show();
    Chooser->findChild<QListWidget*>("ListBox1")->setCurrentRow(7);
    Chooser->findChild<QListWidget*>("ListBox2")->setCurrentRow(3);
    Chooser->grab().save("/tmp/zv-dialog-websafe-purple.png");
    Chooser->hide();
}
