// The main window driven as a user drives it: mouse and keys on the real window and engine.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeView>
#include <Qsci/qsciscintilla.h>

#include "DockUtils.h"
#include "MainWindowHost.h"
#include "TagTreeModel.h"

using namespace zv;
using namespace zv::test;

namespace {

const char* const Page =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
    "<title>Trip</title></head><body><p id=\"a\">Hello world</p>"
    "<p>Greek \xCE\xB1\xCE\xB2\xCE\xB3 CJK \xE6\xBC\xA2\xE5\xAD\x97 emoji \xF0\x9F\x98\x80</p>"
    "</body></html>";
const QString Unicode = QString::fromUtf8("Greek \xCE\xB1\xCE\xB2\xCE\xB3 CJK \xE6\xBC\xA2\xE5\xAD\x97 emoji \xF0\x9F\x98\x80");

// The tree item of the n-th paragraph of body (the first two levels are open).
QModelIndex BodyChild(TFormMain& W, int Row)
{
    const QModelIndex Root = W.TreeModel->index(0, 0);
    for (int K = 0; K < W.TreeModel->rowCount(Root); ++K) {
        const QModelIndex Html = W.TreeModel->index(K, 0, Root);
        for (int J = 0; J < W.TreeModel->rowCount(Html); ++J) {
            const QModelIndex Body = W.TreeModel->index(J, 0, Html);
            if (Body.data().toString() != "<body>") continue;
            for (int P = 0; P < W.TreeModel->rowCount(Body); ++P) {
                const QModelIndex Child = W.TreeModel->index(P, 0, Body);
                if (Child.data().toString() == "<p>" && Row-- == 0) return Child;
            }
        }
    }
    return {};
}

void ClickItem(QTreeView* Tree, const QModelIndex& Index)
{
    Tree->scrollTo(Index);
    QApplication::processEvents();
    QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {}, Tree->visualRect(Index).center());
}

// Types Text into a grid cell through its editor.
void EditCell(QTableWidget* Grid, int Row, int Column, const QString& Text)
{
    const QRect Cell = Grid->visualRect(Grid->model()->index(Row, Column));
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, Cell.center());
    QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, Cell.center());
    QWidget* Editor = QApplication::focusWidget();
    ASSERT_NE(Editor, Grid);
    QTest::keyClick(Editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Editor, Text);
    QTest::keyClick(Editor, Qt::Key_Return);
}

}  // namespace

TEST(MainWindow, EditsAPageThroughEveryViewAndSavesIt)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    // first run: three views, panels in their places, the formatting controls
    EXPECT_EQ(W.windowTitle(), "Zandovell");
    ASSERT_EQ(F.TabControl1->count(), 3);
    EXPECT_EQ(F.TabControl1->tabText(CodeTab), "HTML Code");
    EXPECT_EQ(F.TabControl1->tabText(TreeTab), "Tag Tree");
    EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(W.dockWidgetArea(W.PanelEntities()), Qt::RightDockWidgetArea);
    EXPECT_EQ(W.dockWidgetArea(W.PanelIcons()), Qt::RightDockWidgetArea);
    EXPECT_LT(W.PanelEntities()->y(), W.PanelIcons()->y());
    EXPECT_TRUE(W.PanelProps()->isHidden());
    EXPECT_TRUE(W.FontSizeCombo->isVisible());
    EXPECT_EQ(W.FontSizeCombo->count(), 7);
    EXPECT_TRUE(W.BlockFormatCombo->isVisible() && W.FontNameCombo->isVisible());
    EXPECT_TRUE(W.TextColorButton->isVisible() && W.BackColorButton->isVisible());
    EXPECT_GT(W.BlockFormatCombo->count(), 5);
    H.Shot("first-run");

    // open a page with Ctrl+O
    WriteAll(Docs / "page.html", Page);
    H.Ui.OpenNames.push_back(Docs / "page.html");
    H.Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return W.windowTitle() == "Zandovell - Trip"; }));
    EXPECT_EQ(W.StatusPanel(2)->text().toStdString(), Docs / "page.html");
    EXPECT_EQ(W.StatusPanel(0)->text(), "");

    // type in the design view, then Bold on the first word
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#a")));
    PageSelectText(H.D(), "#a", 11, 11);
    H.TypeInDesigner(" more");
    EXPECT_EQ(W.StatusPanel(0)->text(), "Modified");
    PageSelectText(H.D(), "#a", 0, 5);
    H.Click(F.BtnBold);
    EXPECT_TRUE(H.Body().contains("<b>Hello</b> world more")) << H.Body().toStdString();
    EXPECT_TRUE(F.BtnBold->isChecked());
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    H.Shot("designer");

    // the HTML Code view shows it; opening the view is no edit
    W.FileManager->SetModified(false);
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    EXPECT_TRUE(Code->isVisible());
    EXPECT_TRUE(Code->text().contains("<b>Hello</b> world more")) << Code->text().toStdString();
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_FALSE(W.ViewModified);
    EXPECT_FALSE(F.ToolFormatting->isEnabled());
    EXPECT_FALSE(F.BtnTag->isEnabled());
    H.Shot("code");
    int Line = 0, Index = 0;
    ASSERT_TRUE(Code->findFirst("world more", false, true, false, false));
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, Index);
    QTest::keyClicks(Code, " code");
    EXPECT_TRUE(W.ViewModified);
    EXPECT_TRUE(W.FileManager->Modified());
    // source text that does not parse stays in its view, with the reason shown
    QTest::keyClick(Code, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Code, "<!--");
    H.Tab(DesignerTab);
    ASSERT_EQ(H.Ui.Errors.size(), 1u);
    EXPECT_EQ(H.Ui.Errors[0], "Unterminated Comment");
    EXPECT_EQ(W.CurrentView, CodeTab);
    EXPECT_EQ(F.TabControl1->currentIndex(), CodeTab);
    // undo in the code view takes the comment back out
    H.Click(F.BtnUndo);
    EXPECT_FALSE(Code->text().contains("<!--"));
    EXPECT_TRUE(Code->text().contains("world more code"));
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    H.Click(F.BtnRedo);
    EXPECT_TRUE(Code->text().endsWith("<!--")) << Code->text().right(20).toStdString();
    H.Click(F.BtnUndo);

    // the Tag Tree view parses what the design view took in
    H.Tab(TreeTab);
    EXPECT_TRUE(W.TreeTag->isVisible());
    EXPECT_FALSE(W.GridAttr->isVisible());
    EXPECT_FALSE(W.MemoAttr->isVisible());
    for (QAction* A : {F.BtnCut, F.BtnCopy, F.BtnPaste, F.BtnUndo, F.BtnRedo, F.BtnFind, F.BtnTag})
        EXPECT_FALSE(A->isEnabled()) << A->objectName().toStdString();
    const QModelIndex Para = BodyChild(W, 0);
    ASSERT_TRUE(Para.isValid());
    EXPECT_EQ(Para.data().toString(), "<p>");
    W.TreeTag->expand(Para);
    ClickItem(W.TreeTag, W.TreeModel->index(1, 0, Para));
    ASSERT_TRUE(W.MemoAttr->isVisible());
    EXPECT_EQ(W.MemoAttr->toPlainText(), " world more code");
    W.TreeTag->expand(BodyChild(W, 1));
    ClickItem(W.TreeTag, W.TreeModel->index(0, 0, BodyChild(W, 1)));
    // the tree keeps character references as written
    EXPECT_EQ(W.MemoAttr->toPlainText(), "Greek &alpha;&beta;&gamma; CJK &#x6F22;&#x5B57; emoji &#x1F600;");
    ClickItem(W.TreeTag, Para);
    ASSERT_TRUE(W.GridAttr->isVisible());
    ASSERT_EQ(W.GridAttr->rowCount(), 2);
    EXPECT_EQ(W.GridAttr->item(0, 0)->text(), "id");
    EXPECT_EQ(W.GridAttr->item(0, 1)->text(), "a");
    EditCell(W.GridAttr, 0, 1, "b2");
    EditCell(W.GridAttr, 1, 0, "CLASS");
    EditCell(W.GridAttr, 1, 1, "x");
    EXPECT_TRUE(WaitFor([&] { return W.GridAttr->rowCount() == 3; }));
    EXPECT_TRUE(W.ViewModified);
    H.Shot("tagtree");

    // back in the design view the edits are there, the text unchanged
    H.Tab(DesignerTab);
    EXPECT_TRUE(H.Body().contains("<p id=\"b2\" class=\"x\"><b>Hello</b> world more code</p>"))
        << H.Body().toStdString();
    EXPECT_TRUE(H.Body().contains(Unicode)) << H.Body().toStdString();

    // save with Ctrl+S and compare the file
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    EXPECT_EQ(W.StatusPanel(0)->text(), "");
    EXPECT_EQ(ReadAll(Docs / "page.html"),
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\r\n"
              " \"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
              "<html>\r\n"
              "  <head>\r\n"
              "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">\r\n"
              "    <title>Trip</title>\r\n"
              "  </head>\r\n"
              "  <body>\r\n"
              "    <p id=\"b2\" class=\"x\"><b>Hello</b> world more code</p>\r\n"
              "    <p>Greek &alpha;&beta;&gamma; CJK &#x6F22;&#x5B57; emoji &#x1F600;</p>\r\n"
              "  </body>\r\n"
              "</html>\r\n");

    // undo and redo in the design view
    PageSelectText(H.D(), "#b2", 0, 0);
    H.TypeInDesigner("Z");
    EXPECT_TRUE(H.Body().contains("<b>ZHello</b>") || H.Body().contains("Z<b>Hello</b>"))
        << H.Body().toStdString();
    H.Click(F.BtnUndo);
    EXPECT_TRUE(H.Body().contains("<p id=\"b2\" class=\"x\"><b>Hello</b>")) << H.Body().toStdString();
    H.Click(F.BtnRedo);
    EXPECT_TRUE(H.Body().contains("Z")) << H.Body().toStdString();

    // a failed save is shown, and the document stays modified
    H.Ui.SaveNames.push_back("/nonexistent-folder/x.html");
    F.MenuSaveAs->trigger();
    ASSERT_EQ(H.Ui.Errors.size(), 2u);
    EXPECT_TRUE(W.FileManager->Modified());
    EXPECT_EQ(W.FileManager->FileName(), Docs / "page.html");

    // closing a modified document: Cancel keeps the window and writes no settings
    H.Ui.SaveAnswers.push_back(TSaveAnswer::Cancel);
    EXPECT_FALSE(W.close());
    EXPECT_TRUE(W.isVisible());
    EXPECT_FALSE(std::filesystem::exists(Config / "Zandovell/Config.ini"));
    // Yes saves and closes
    H.Ui.SaveAnswers.push_back(TSaveAnswer::Yes);
    EXPECT_TRUE(W.close());
    EXPECT_NE(ReadAll(Docs / "page.html").find("Z"), std::string::npos);
    const std::string Ini = ReadAll(Config / "Zandovell/Config.ini");
    for (const char* Key : {"[Form]", "Maximized=0", "[PanelObjects]", "Docked=1", "Parent=1",
                            "[PanelEntities]", "Parent=2", "[Dock Sites]", "Left Data=5A564453",
                            "Right Width=", "[Toolbar]", "Standard Left=", "[Recents]", "Count=1"})
        EXPECT_NE(Ini.find(Key), std::string::npos) << Key << "\n" << Ini;
    EXPECT_NE(Ini.find("Item0=" + (Docs / "page.html")), std::string::npos);
}

TEST(MainWindow, SettingsWrittenAndRestoredFromMissingDamagedAndForeignFiles)
{
    TempDir Config, Docs;
    const std::string Ini = Config / "Zandovell/Config.ini";
    WriteAll(Docs / "a.html", "<p>a</p>");
    WriteAll(Docs / "b.html", "<p>b</p>");
    const QRect Floating(120, 90, 220, 260);
    QRect Frame;
    {
        // no settings: the first-run places
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        EXPECT_EQ(W.PanelObjects()->width(), 65);
        // a panel hidden through the View menu collapses its site; shown again it gets 200
        // pixels in the empty site
        W.removeDockWidget(W.PanelEntities());
        W.PanelEntities()->setFloating(true);
        W.PanelEntities()->show();
        W.PanelEntities()->setGeometry(Floating);
        H.F().MenuViewIcons->trigger();
        EXPECT_TRUE(W.PanelIcons()->isHidden());
        EXPECT_EQ(SiteSize(&W, SiteRight), 0);
        H.F().MenuViewIcons->trigger();
        ASSERT_TRUE(WaitFor([&] { return W.PanelIcons()->width() == 200; }))
            << W.PanelIcons()->width();
        H.F().MenuViewIcons->trigger();
        // the palette goes to the bottom site, where its grabber runs down the left side
        W.addDockWidget(Qt::BottomDockWidgetArea, W.PanelObjects());
        W.PanelObjects()->show();
        EXPECT_TRUE(W.PanelObjects()->features() & QDockWidget::DockWidgetVerticalTitleBar);
        W.FileManager->OpenFile(Docs / "a.html");
        W.FileManager->OpenFile(Docs / "b.html");
        W.resize(760, 540);
        H.Shot("panels-moved");
        Frame = W.geometry();
        EXPECT_TRUE(W.close());
        const std::string Text = ReadAll(Ini);
        for (const char* Key : {"[PanelEntities]\nDocked=0\nParent=-1\nHeight=260\nWidth=220\nTop=90\nLeft=120",
                                "[PanelObjects]\nDocked=1\nParent=3", "Visible=0", "Count=2"})
            EXPECT_NE(Text.find(Key), std::string::npos) << Key << "\n" << Text;
    }
    {
        // everything as it was left
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        EXPECT_EQ(W.geometry().size(), Frame.size());
        EXPECT_TRUE(W.PanelEntities()->isFloating());
        EXPECT_EQ(W.PanelEntities()->geometry(), Floating);
        EXPECT_TRUE(W.PanelIcons()->isHidden());
        EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::BottomDockWidgetArea);
        EXPECT_EQ(W.FileManager->RecentFiles, (std::vector<std::string>{Docs / "b.html", Docs / "a.html"}));
        // settings are written only when the close is allowed
        W.FileManager->SetModified(true);
        H.Ui.SaveAnswers.push_back(TSaveAnswer::Cancel);
        const std::string Before = ReadAll(Ini);
        EXPECT_FALSE(W.close());
        EXPECT_EQ(ReadAll(Ini), Before);
        H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
        EXPECT_TRUE(W.close());
    }
    // a damaged file: garbage, a site layout that is no hexadecimal, a site that names no
    // panel, a parent beyond the last site, a window far off every screen
    WriteAll(Ini, "\x01\x02garbage\n[Form]\nLeft=99999\nTop=-7000\nWidth=300000\nHeight=abc\n"
                  "[PanelObjects]\nDocked=1\nParent=7\n[Dock Sites]\nLeft Data=5A5644ZZ\n"
                  "Right Data=5A564453000100000001000000\nBottom Data=00FF\n[Recents]\nCount=5\nItem0=/x\n");
    {
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        const QRect Screen = W.screen()->availableGeometry();
        EXPECT_TRUE(Screen.contains(W.frameGeometry().topLeft())) << W.frameGeometry().x();
        EXPECT_LE(W.width(), Screen.width());
        EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::BottomDockWidgetArea);
        EXPECT_EQ(W.dockWidgetArea(W.PanelEntities()), Qt::RightDockWidgetArea);
        EXPECT_FALSE(W.PanelEntities()->isHidden());
        EXPECT_EQ(W.FileManager->RecentFiles, (std::vector<std::string>{"/x"}));
        EXPECT_TRUE(W.close());
    }
    // another program's file: the first-run places
    WriteAll(Ini, "[General]\nfoo=bar\n[Dock Sites]\nTop Data=\n[Window]\nState=AdnQywAD\n");
    {
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::LeftDockWidgetArea);
        EXPECT_EQ(W.dockWidgetArea(W.PanelEntities()), Qt::RightDockWidgetArea);
        EXPECT_EQ(W.dockWidgetArea(W.PanelIcons()), Qt::RightDockWidgetArea);
        EXPECT_EQ(W.PanelObjects()->width(), 65);
        EXPECT_TRUE(W.close());
    }
}
