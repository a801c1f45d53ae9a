// The main window driven as a user drives it: mouse and keys on the real window and engine.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QKeyEvent>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QTimer>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>
#include <Qsci/qsciscintilla.h>

#include "DockUtils.h"
#include "HtmlFilter.h"
#include "HtmlWriter.h"
#include "IniFile.h"
#include "MainWindowHost.h"
#include "Streams.h"
#include "TagTreeModel.h"
#include "TagTreeView.h"
#include "UnitAbout.h"
#include "UnitFind.h"
#include "support/XServer.h"

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
    const QModelIndex Root = W.TagTree->TreeModel->index(0, 0);
    for (int K = 0; K < W.TagTree->TreeModel->rowCount(Root); ++K) {
        const QModelIndex Html = W.TagTree->TreeModel->index(K, 0, Root);
        for (int J = 0; J < W.TagTree->TreeModel->rowCount(Html); ++J) {
            const QModelIndex Body = W.TagTree->TreeModel->index(J, 0, Html);
            if (Body.data().toString() != "<body>") continue;
            for (int P = 0; P < W.TagTree->TreeModel->rowCount(Body); ++P) {
                const QModelIndex Child = W.TagTree->TreeModel->index(P, 0, Body);
                if (Child.data().toString() == "<p>" && Row-- == 0) return Child;
            }
        }
    }
    return {};
}

// The first tree item with that caption, depth first.
QModelIndex FindItem(TTagTreeModel* Model, const QString& Caption, const QModelIndex& Parent = {})
{
    for (int Row = 0; Row < Model->rowCount(Parent); ++Row) {
        const QModelIndex Item = Model->index(Row, 0, Parent);
        if (Item.data().toString() == Caption) return Item;
        if (const QModelIndex Found = FindItem(Model, Caption, Item); Found.isValid()) return Found;
    }
    return {};
}

// The text of the HTML Code view and of the Tag Tree view's tree, each entered from the design
// view.
std::pair<QString, QString> OtherViews(TMainWindowHost& H)
{
    TFormMain& W = H.W();
    H.Tab(CodeTab);
    const QString Code = W.SourceEditor->text();
    H.Tab(TreeTab);
    const QString Tree = W.TagTree->Root() ? QString::fromStdU16String(NodeToHtml(W.TagTree->Root())) : QString();
    H.Tab(DesignerTab);
    return {Code, Tree};
}

void ClickItem(QTreeView* Tree, const QModelIndex& Index)
{
    Tree->scrollTo(Index);
    QApplication::processEvents();
    QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {}, Tree->visualRect(Index).center());
}

// Types Text into a grid cell through its editor.
void EditCell(QTableWidget* Grid, int Row, int Column, const QString& Text, bool Enter = true)
{
    QApplication::setActiveWindow(Grid->window());
    QApplication::processEvents();
    const QRect Cell = Grid->visualRect(Grid->model()->index(Row, Column));
    QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, Cell.center());
    QTest::keyClick(Grid, Qt::Key_F2);
    QWidget* Editor = QApplication::focusWidget();
    ASSERT_NE(Editor, nullptr);
    ASSERT_NE(Editor, Grid);
    QTest::keyClick(Editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Editor, Text);
    if (!Enter) return;  // left open: the view's commit takes the typed text
    QTest::keyClick(Editor, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return Grid->item(Row, Column) && Grid->item(Row, Column)->text() == Text; }));
}

// Every palette button lies inside the part of the palette its panel shows.
bool PaletteShowsEveryTool(TFormMain& W)
{
    auto* Scroller = W.findChild<QScrollArea*>("ToolScroller");
    if (!Scroller) return false;
    const QRect Shown = Scroller->viewport()->rect();
    for (const auto& Tool : W.ToolManager->AllTools()) {
        if (Tool->ImageIndex < 0) continue;
        const TRect& R = Tool->ButtonRect;
        const QPoint TopLeft = W.ToolManager->mapTo(Scroller->viewport(), QPoint(R.Left, R.Top));
        if (!Shown.contains(QRect(TopLeft, QSize(R.Right - R.Left, R.Bottom - R.Top)))) return false;
    }
    return true;
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
    ASSERT_TRUE(Code->findFirst("</title>", false, true, false, true));
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, Index - 8);
    // characters beyond ASCII as a keyboard of that script types them
    for (const QString& Ch : {QString(" "), QString::fromUtf8("\xCE\xA9"), QString(" "), QString::fromUtf8("\xE4\xB8\xAD")})
        for (QEvent::Type Type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent Key(Type, 0, Qt::NoModifier, Ch);
            QApplication::sendEvent(Code, &Key);
        }
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
    EXPECT_TRUE(W.TagTree->TreeTag->isVisible());
    EXPECT_FALSE(W.TagTree->GridAttr->isVisible());
    EXPECT_FALSE(W.TagTree->MemoAttr->isVisible());
    for (QAction* A : {F.BtnCut, F.BtnCopy, F.BtnPaste, F.BtnUndo, F.BtnRedo, F.BtnFind, F.BtnTag})
        EXPECT_FALSE(A->isEnabled()) << A->objectName().toStdString();
    const QModelIndex Para = BodyChild(W, 0);
    ASSERT_TRUE(Para.isValid());
    EXPECT_EQ(Para.data().toString(), "<p>");
    W.TagTree->TreeTag->expand(Para);
    ClickItem(W.TagTree->TreeTag, W.TagTree->TreeModel->index(1, 0, Para));
    ASSERT_TRUE(W.TagTree->MemoAttr->isVisible());
    EXPECT_EQ(W.TagTree->MemoAttr->toPlainText(), " world more code");
    W.TagTree->TreeTag->expand(BodyChild(W, 1));
    ClickItem(W.TagTree->TreeTag, W.TagTree->TreeModel->index(0, 0, BodyChild(W, 1)));
    // the tree keeps character references as written
    EXPECT_EQ(W.TagTree->MemoAttr->toPlainText(), "Greek &alpha;&beta;&gamma; CJK &#x6F22;&#x5B57; emoji &#x1F600;");
    ClickItem(W.TagTree->TreeTag, Para);
    ASSERT_TRUE(W.TagTree->GridAttr->isVisible());
    ASSERT_EQ(W.TagTree->GridAttr->rowCount(), 2);
    EXPECT_EQ(W.TagTree->GridAttr->item(0, 0)->text(), "id");
    EXPECT_EQ(W.TagTree->GridAttr->item(0, 1)->text(), "a");
    EditCell(W.TagTree->GridAttr, 0, 1, "b2");
    EditCell(W.TagTree->GridAttr, 1, 0, "CLASS");
    EditCell(W.TagTree->GridAttr, 1, 1, "x");
    EXPECT_TRUE(WaitFor([&] { return W.TagTree->GridAttr->rowCount() == 3; }));
    EXPECT_TRUE(W.ViewModified);
    H.Shot("tagtree");

    // back in the design view the edits are there, the text unchanged
    H.Tab(DesignerTab);
    EXPECT_TRUE(H.Body().contains("<p id=\"b2\" class=\"x\"><b>Hello</b> world more code</p>"))
        << H.Body().toStdString();
    EXPECT_TRUE(H.Body().contains(Unicode)) << H.Body().toStdString();
    EXPECT_EQ(QString::fromStdU16String(H.D().GetTitle()), QString::fromUtf8("Trip \xCE\xA9 \xE4\xB8\xAD"));

    // save with Ctrl+S and compare the file
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    EXPECT_EQ(W.StatusPanel(0)->text(), "");
    // the saved page keeps its title in the caption
    EXPECT_EQ(W.windowTitle(), QString::fromUtf8("Zandovell - Trip \xCE\xA9 \xE4\xB8\xAD"));
    EXPECT_EQ(ReadAll(Docs / "page.html"),
              "<html>\r\n"
              "  <head>\r\n"
              "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">\r\n"
              "    <title>Trip &Omega; &#x4E2D;</title>\r\n"
              "  </head>\r\n"
              "  <body>\r\n"
              "    <p id=\"b2\" class=\"x\"><b>Hello</b> world more code</p>\r\n"
              "    <p>Greek &alpha;&beta;&gamma; CJK &#x6F22;&#x5B57; emoji &#x1F600;</p>\r\n"
              "  </body>\r\n"
              "</html>\r\n");

    // undo and redo in the design view; the other views show each step
    EXPECT_FALSE(OtherViews(H).first.contains("Z"));
    PageSelectText(H.D(), "#b2", 0, 0);
    H.TypeInDesigner("Z");
    EXPECT_TRUE(H.Body().contains("<b>ZHello</b>") || H.Body().contains("Z<b>Hello</b>"))
        << H.Body().toStdString();
    auto [Code2, Tree2] = OtherViews(H);
    EXPECT_TRUE(Code2.contains("ZHello") && Tree2.contains("ZHello")) << Code2.toStdString();
    H.Click(F.BtnUndo);
    EXPECT_TRUE(H.Body().contains("<p id=\"b2\" class=\"x\"><b>Hello</b>")) << H.Body().toStdString();
    std::tie(Code2, Tree2) = OtherViews(H);
    EXPECT_TRUE(!Code2.contains("ZHello") && !Tree2.contains("ZHello")) << Code2.toStdString();
    H.Click(F.BtnRedo);
    EXPECT_TRUE(H.Body().contains("Z")) << H.Body().toStdString();
    std::tie(Code2, Tree2) = OtherViews(H);
    EXPECT_TRUE(Code2.contains("ZHello") && Tree2.contains("ZHello")) << Code2.toStdString();

    // a page that does not parse is shown as an error, and the open page stays
    WriteAll(Docs / "bad.html", "<p>broken<!-- comment");
    H.Ui.OpenNames.push_back(Docs / "bad.html");
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    H.Click(F.BtnOpen);
    ASSERT_EQ(H.Ui.Errors.size(), 2u);
    EXPECT_EQ(H.Ui.Errors[1], "Unterminated Comment");
    EXPECT_EQ(W.FileManager->FileName(), Docs / "page.html");
    EXPECT_TRUE(H.Body().contains("b2"));
    EXPECT_TRUE(W.FileManager->Modified());

    // a failed save is shown, and the document stays modified
    H.Ui.SaveNames.push_back("/nonexistent-folder/x.html");
    F.MenuSaveAs->trigger();
    ASSERT_EQ(H.Ui.Errors.size(), 3u);
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

TEST(MainWindow, FirstRunUserBuildsAPageWithThePalette)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    // the whole palette shows in the first-run window
    ASSERT_TRUE(WaitFor([&] { return PaletteShowsEveryTool(W); })) << W.PanelObjects()->width();
    EXPECT_GE(W.PanelObjects()->width(), 65);
    H.Shot("first-run-palette");
    // and stays reachable in a window too short for it
    W.resize(700, 300);
    ASSERT_TRUE(WaitFor([&] { return W.findChild<QScrollArea*>("ToolScroller")->verticalScrollBar()->isVisible(); }));
    W.resize(780, 560);

    // a new table: its empty cells are tall and wide enough to click into
    EXPECT_FALSE(H.F().BtnUndo->isEnabled());
    WhenModal([](QWidget* Dialog) {
        Dialog->findChild<QLineEdit*>("EditRows")->setText("2");
        Dialog->findChild<QLineEdit*>("EditCols")->setText("3");
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ClickTool(W, "Insert Table");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("<td></td>"); })) << H.Body().toStdString();
    // the tool's change can be undone at once
    EXPECT_TRUE(WaitFor([&] { return H.F().BtnUndo->isEnabled(); }));
    const QVariantList Size = PageEval(H.D(), "(function(){ const r = document.querySelectorAll('td')[4]"
                                              ".getBoundingClientRect(); return [r.width, r.height]; })()").toList();
    ASSERT_EQ(Size.size(), 2);
    EXPECT_GT(Size[0].toDouble(), 10);
    EXPECT_GT(Size[1].toDouble(), 10);
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "tr:nth-child(2) td:nth-child(2)")));
    H.TypeInDesigner("x");
    EXPECT_EQ(PageEval(H.D(), "document.querySelectorAll('td')[4].textContent").toString(), "x");
    // a click below the table puts the caret after it
    const int Below = PageEval(H.D(), "document.querySelector('table').getBoundingClientRect().bottom").toInt() + 40;
    ASSERT_TRUE(PageClick(H.D(), QPoint(200, Below)));
    H.TypeInDesigner("End");
    EXPECT_TRUE(H.Body().endsWith("</table>End")) << H.Body().toStdString();
    H.Shot("new-table");
    // the page saves the cells as the tool made them
    const auto [Code, Tree] = OtherViews(H);
    EXPECT_TRUE(Code.contains("<td>x</td>")) << Code.toStdString();
    EXPECT_EQ(Code.count("<td></td>"), 5) << Code.toStdString();
    EXPECT_EQ(Tree.count("<td></td>"), 5) << Tree.toStdString();
    H.Ui.SaveNames.push_back(Docs / "new.html");
    H.F().MenuSave->trigger();
    ASSERT_FALSE(W.FileManager->Modified());
    const std::string Saved = ReadAll(Docs / "new.html");
    EXPECT_NE(Saved.find("<td>x</td>"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("</table>\r\n    End"), std::string::npos) << Saved;
    EXPECT_EQ(Saved.find("inline-block"), std::string::npos) << Saved;
    // the release of the key that closed the save dialog is no edit, nor is a caret move; a
    // typed key is
    bool Up = false;
    const auto C = QObject::connect(&H.D(), &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Up |= E.Type == "keyup"; });
    QTest::keyRelease(H.D().focusProxy(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return Up; }));
    EXPECT_FALSE(W.FileManager->Modified());
    for (Qt::Key Key : {Qt::Key_Right, Qt::Key_Z}) {
        Up = false;
        QTest::keyClick(H.D().focusProxy(), Key);
        ASSERT_TRUE(WaitFor([&] { return Up; }));
        EXPECT_EQ(W.FileManager->Modified(), Key == Qt::Key_Z);
    }
    QObject::disconnect(C);

    // in a new page Enter starts a new paragraph
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    H.F().MenuNew->trigger();
    ASSERT_TRUE(WaitFor([&] { return !H.Body().contains("table"); }));
    ASSERT_TRUE(PageClick(H.D(), QPoint(40, 15)));
    H.TypeInDesigner("one\rtwo");
    EXPECT_TRUE(H.Body().contains("<p>two</p>")) << H.Body().toStdString();
    EXPECT_FALSE(H.Body().contains("div")) << H.Body().toStdString();
    // a list made from a paragraph takes its place; undo brings the paragraph back
    H.Click(H.F().BtnUnorder);
    EXPECT_TRUE(H.Body().contains("<ul><li>two</li></ul>")) << H.Body().toStdString();
    EXPECT_FALSE(H.Body().contains("<p><ul>") || H.Body().contains("<p></p>")) << H.Body().toStdString();
    QTest::keyClick(H.D().focusProxy(), Qt::Key_End);
    H.TypeInDesigner("\rthree");
    EXPECT_TRUE(H.Body().contains("<li>three</li></ul>")) << H.Body().toStdString();
    EXPECT_TRUE(OtherViews(H).first.contains("<li>three</li>"));
    H.Click(H.F().BtnUndo);
    H.Click(H.F().BtnUndo);
    EXPECT_TRUE(H.Body().contains("<p>two</p>")) << H.Body().toStdString();

    // Enter in text that stands before a table leaves the table where it was
    WriteAll(Docs / "before.html", "<html><body>Hello<table border=\"1\"><tr><td>a</td></tr></table></body></html>");
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    W.FileManager->OpenFile(Docs / "before.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Hello"); }));
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "td")));
    PageEval(H.D(), "getSelection().collapse(document.body.firstChild, 5)");
    H.TypeInDesigner("\rtwo");
    EXPECT_TRUE(H.Body().startsWith("<p>Hello</p><p>two</p><table")) << H.Body().toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
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
        // no settings: the first-run places, the window on three quarters of the screen
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        const QRect Screen = W.screen()->availableGeometry(), First = W.geometry();
        EXPECT_TRUE(Screen.contains(First));
        EXPECT_GE(First.width(), Screen.width() * 3 / 4);
        EXPECT_NEAR(First.height(), Screen.height() * 3 / 4, 2);
        EXPECT_LE((First.center() - Screen.center()).manhattanLength(), 10);
        // the palette floated from a window taller than the screen keeps to the screen, and
        // goes back to its place
        W.resize(First.width(), Screen.height() + 300);
        QWidget* Grabber = W.PanelObjects()->titleBarWidget();
        ASSERT_TRUE(WaitFor([&] { return W.PanelObjects()->height() > Screen.height(); }));
        QTest::mouseDClick(Grabber, Qt::LeftButton, {}, QPoint(4, Grabber->height() / 2));
        ASSERT_TRUE(W.PanelObjects()->isFloating());
        EXPECT_TRUE(WaitFor([&] { return Screen.contains(W.PanelObjects()->geometry()); }))
            << W.PanelObjects()->y() << "+" << W.PanelObjects()->height();
        QTest::mouseDClick(Grabber, Qt::LeftButton, {}, QPoint(4, Grabber->height() / 2));
        ASSERT_FALSE(W.PanelObjects()->isFloating());
        EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::LeftDockWidgetArea);
        W.setGeometry(First);
        EXPECT_TRUE(WaitFor([&] { return PaletteShowsEveryTool(W); }));
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
        // the block tool bar on a row of its own, below the formatting one
        W.removeToolBar(H.F().ToolBlock);
        W.addToolBarBreak();
        W.addToolBar(H.F().ToolBlock);
        H.F().ToolBlock->show();
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
        // the floating panel stays over its window
        EXPECT_TRUE(WaitFor([&] { return W.PanelEntities()->windowHandle()->transientParent() == W.windowHandle(); }));
        EXPECT_TRUE(W.PanelIcons()->isHidden());
        EXPECT_EQ(W.dockWidgetArea(W.PanelObjects()), Qt::BottomDockWidgetArea);
        EXPECT_EQ(W.FileManager->RecentFiles, (std::vector<std::string>{Docs / "b.html", Docs / "a.html"}));
        EXPECT_LT(H.F().ToolStandard->y(), H.F().ToolFormatting->y());
        EXPECT_LT(H.F().ToolFormatting->y(), H.F().ToolBlock->y());
        // settings are written only when the close is allowed
        W.FileManager->SetModified(true);
        H.Ui.SaveAnswers.push_back(TSaveAnswer::Cancel);
        const std::string Before = ReadAll(Ini);
        EXPECT_FALSE(W.close());
        EXPECT_EQ(ReadAll(Ini), Before);
        H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
        // closed maximised: the bounds stay as they were stored
        W.showMaximized();
        ASSERT_TRUE(WaitFor([&] { return W.isMaximized(); }));
        EXPECT_TRUE(W.close());
        EXPECT_NE(ReadAll(Ini).find("Maximized=1"), std::string::npos);
        EXPECT_NE(ReadAll(Ini).find("Width=" + std::to_string(Frame.width())), std::string::npos);
    }
    {
        TMainWindowHost H(Config.Path);
        EXPECT_TRUE(H.W().isMaximized());
        EXPECT_TRUE(H.W().close());
    }
    // a damaged file: garbage, a site layout that is no hexadecimal, a site that names no
    // panel, a parent beyond the last site, a window far off every screen
    WriteAll(Ini, "\x01\x02garbage\n[Form]\nLeft=99999\nTop=-7000\nWidth=300000\nHeight=abc\n"
                  "[PanelObjects]\nDocked=1\nParent=7\n[PanelIcons]\nDocked=0\nLeft=-9000\nTop=9000\n[Dock Sites]\nLeft Data=5A5644ZZ\n"
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
        EXPECT_TRUE(W.PanelIcons()->isFloating());
        EXPECT_TRUE(Screen.contains(W.PanelIcons()->geometry())) << W.PanelIcons()->x() << "," << W.PanelIcons()->y();
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
        EXPECT_TRUE(WaitFor([&] { return PaletteShowsEveryTool(W); }));
        EXPECT_TRUE(W.close());
    }
    // a file too large to read whole: what was read is used, the user is told once, and the
    // file is left as it was
    std::string Large = "[Form]\nWidth=760\n[Recents]\nCount=1\nItem0=" + Docs / "a.html" + "\n";
    while (Large.size() <= TIniFile::MaxFileSize)
        Large += "[Notes]\nText=" + std::string(4000, 'n') + "\n";
    WriteAll(Ini, Large);
    {
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        EXPECT_EQ(W.width(), 760);
        ASSERT_TRUE(WaitFor([&] { return H.Ui.Errors.size() == 1; }));
        EXPECT_EQ(H.Ui.Errors[0], std::string(TFormMain::SettingsTooLargeText) + "\n" + Ini);
        W.FileManager->OpenFile(Docs / "b.html");
        EXPECT_TRUE(W.close());
        EXPECT_EQ(H.Ui.Errors.size(), 1u);
        EXPECT_TRUE(ReadAll(Ini) == Large);
    }
}

// Closed and started again and again, the window and a floating panel come back where they
// were left: the window's place stored is its frame's, and the frame goes back there, also
// when a floating panel makes the window before it is shown.
TEST(MainWindow, TheWindowAndAFloatingPanelComeBackWhereTheyWereLeftAtEveryStart)
{
    TempDir Config;
    const std::string Ini = Config / "Zandovell/Config.ini";
    std::filesystem::create_directories(Config / "Zandovell");
    WriteAll(Ini, "[Form]\nLeft=40\nTop=105\nWidth=720\nHeight=640\nMaximized=0\n");
    const auto Stored = [&](const char* Section) {
        TIniFile File(Ini);
        return QRect(File.ReadInteger(Section, "Left", -1), File.ReadInteger(Section, "Top", -1),
                     File.ReadInteger(Section, "Width", -1), File.ReadInteger(Section, "Height", -1));
    };
    QRect Panel;
    for (int Start = 0; Start < 4; ++Start) {
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        QDockWidget* Entities = W.PanelEntities();
        EXPECT_TRUE(WaitFor([&] { return W.frameGeometry().topLeft() == QPoint(40, 105); }))
            << Start << ": " << W.frameGeometry().y();
        EXPECT_EQ(W.size(), QSize(720, 640)) << Start;
        if (Start == 0) {
            W.removeDockWidget(Entities);
            Entities->setFloating(true);
            Entities->show();
            Entities->setGeometry(300, 210, 220, 260);
            ASSERT_TRUE(WaitFor([&] { return Entities->geometry() == QRect(300, 210, 220, 260); }));
        } else {
            EXPECT_TRUE(Entities->isFloating());
            EXPECT_TRUE(WaitFor([&] { return Entities->geometry() == Panel; }))
                << Start << ": " << Entities->geometry().y();
        }
        EXPECT_TRUE(W.close());
        EXPECT_EQ(Stored("Form"), QRect(40, 105, 720, 640)) << Start;
        if (Start == 0) Panel = Stored("PanelEntities");
        EXPECT_EQ(Stored("PanelEntities"), QRect(300, 210, 220, 260)) << Start;
    }
}

// Under X, where a window manager frames the window: the window dragged by its title bar and
// left with File > Exit, and a floating panel, come back where they were at every start.
TEST(UnderX, TheWindowDraggedByItsTitleAndAFloatingPanelComeBackWhereTheyWereLeft)
{
    ZV_UNDER_X_ONLY();
    TempDir Config;
    const std::string Ini = Config / "Zandovell/Config.ini";
    const auto Stored = [&](const char* Section) {
        TIniFile File(Ini);
        return QRect(File.ReadInteger(Section, "Left", -1), File.ReadInteger(Section, "Top", -1),
                     File.ReadInteger(Section, "Width", -1), File.ReadInteger(Section, "Height", -1));
    };
    QRect Frame, Panel;
    for (int Start = 0; Start < 4; ++Start) {
        TMainWindowHost H(Config.Path);
        TFormMain& W = H.W();
        QWindow* Window = W.windowHandle();
        QDockWidget* Entities = W.PanelEntities();
        const auto Place = [&] {
            const QRect Box = Entities->geometry();
            return QString("window %1,%2; panel %3,%4 %5x%6").arg(Window->framePosition().x()).arg(Window->framePosition().y())
                .arg(Box.x()).arg(Box.y()).arg(Box.width()).arg(Box.height()).toStdString();
        };
        // the window manager has put its title bar above the client area
        ASSERT_TRUE(WaitFor([&] { return Window->frameMargins().top() > 0; })) << Start;
        if (Start == 0) {
            const QPoint Was = Window->framePosition(), By(-70, 45);
            const QPoint Grip(Was.x() + Window->width() / 2, Was.y() + Window->frameMargins().top() / 2);
            ASSERT_TRUE(XMove(Grip));
            ASSERT_TRUE(XInput({"mousedown", "1"}));
            for (int K = 1; K <= 5; ++K) ASSERT_TRUE(XMove(Grip + By * K / 5));
            ASSERT_TRUE(XInput({"mouseup", "1"}));
            Frame = QRect(Was + By, W.size());
            ASSERT_TRUE(WaitFor([&] { return Window->framePosition() == Frame.topLeft(); })) << Place();
            W.removeDockWidget(Entities);
            Entities->setFloating(true);
            Panel = QRect(300, 210, 220, 260);
            Entities->setGeometry(Panel);
            Entities->show();
        } else {
            EXPECT_TRUE(WaitFor([&] { return Window->framePosition() == Frame.topLeft(); })) << Start << ": " << Place();
            EXPECT_EQ(W.size(), Frame.size()) << Start;
        }
        EXPECT_TRUE(WaitFor([&] { return Entities->isFloating() && Entities->isVisible() && Entities->geometry() == Panel; }))
            << Start << ": " << Place();
        H.Choose(H.OpenMenu(H.F().MenuFile), H.F().MenuExit);
        ASSERT_TRUE(WaitFor([&] { return !W.isVisible(); })) << Start;
        EXPECT_EQ(Stored("Form"), Frame) << Start;
        EXPECT_EQ(Stored("PanelEntities"), Panel) << Start;
    }
}

TEST(MainWindow, CommandsMarkTheDocumentModifiedAndKeepPendingEdits)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();

    // an unnamed document: templates need a file name first
    H.Ui.InfoAnswers.push_back(TSaveAnswer::No);
    F.MenuTemplates->trigger();
    H.Ui.InfoAnswers.push_back(TSaveAnswer::Yes);  // and the save dialog is cancelled
    F.MenuTemplates->trigger();
    EXPECT_EQ(H.Ui.Prompts, (std::vector<std::string>{TFormMain::EnsureSavedText, TFormMain::EnsureSavedText}));
    EXPECT_TRUE(H.Ui.Errors.empty());
    EXPECT_TRUE(W.FileManager->FileName().empty());

    WriteAll(Docs / "t.html", "<html><body><table id=\"t\" border=\"1\"><tr><td id=\"c1\">one</td>"
                              "<td>two</td></tr></table><p id=\"p\">text <font color=\"red\">red</font></p>"
                              "</body></html>");
    W.FileManager->OpenFile(Docs / "t.html");
    ASSERT_TRUE(WaitFor([&] { return W.Designer->HasDocument() && H.Body().contains("c1"); }));

    // a Tables command
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c1")));
    emit F.MenuTables->aboutToShow();
    ASSERT_TRUE(F.MenuInsertRowBelow->isEnabled());
    F.MenuInsertRowBelow->trigger();
    EXPECT_EQ(PageEval(H.D(), "document.querySelectorAll('tr').length").toInt(), 2);
    EXPECT_TRUE(W.FileManager->Modified());
    // the other views show the new row
    const auto [Code1, Tree1] = OtherViews(H);
    EXPECT_EQ(Code1.count("<tr>"), 2) << Code1.toStdString();
    EXPECT_EQ(Tree1.count("<tr>"), 2) << Tree1.toStdString();

    // an entity from the palette, chosen by a second click
    W.FileManager->SetModified(false);
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    PageSelectText(H.D(), "#p", 0, 0);
    const QPoint Entity = W.EntityView->ItemRect(1).center();  // &copy;
    QTest::mouseClick(W.EntityView->viewport(), Qt::LeftButton, {}, Entity);
    QTest::mouseClick(W.EntityView->viewport(), Qt::LeftButton, {}, Entity);
    EXPECT_TRUE(H.Body().contains(QString::fromUtf8("\xC2\xA9text"))) << H.Body().toStdString();
    EXPECT_TRUE(W.FileManager->Modified());

    // the default colour takes the colour off
    PageSelectText(H.D(), "font", 0, 3);
    W.UpdateControls();
    W.TextColorButton->SetColor(clWindow);
    QTest::mousePress(W.TextColorButton, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(W.TextColorButton, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(H.Body().contains("color")) << H.Body().toStdString();
    EXPECT_TRUE(H.Body().contains("text red")) << H.Body().toStdString();

    // commands from the HTML Code view take the typed source along
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    ASSERT_TRUE(Code->findFirst("<body>", false, true, false, false));
    int Line = 0, Index = 0;
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, Index);
    QTest::keyClicks(Code, "<h1>typed</h1>");
    F.MenuTemplates->trigger();  // no selection in the design view: refused with a message
    ASSERT_EQ(H.Ui.Errors.size(), 1u);
    EXPECT_EQ(H.Ui.Errors[0], TFormMain::NoSelectionText);
    EXPECT_TRUE(H.Body().contains("<h1>typed</h1>")) << H.Body().toStdString();
    EXPECT_TRUE(Code->text().contains("<h1>typed</h1>"));
    EXPECT_FALSE(W.ViewModified);
    // an entity in the code view replaces the selection and leaves the caret after it
    ASSERT_TRUE(Code->findFirst("typed", false, true, false, true));
    QTest::mouseClick(W.EntityView->viewport(), Qt::LeftButton, {}, Entity);
    EXPECT_TRUE(Code->text().contains("<h1>&copy;</h1>")) << Code->text().toStdString();
    QTest::keyClicks(Code, "!");
    EXPECT_TRUE(Code->text().contains("<h1>&copy;!</h1>"));

    // a palette tool used from the code view works on the typed source, and the view shows
    // what the tool did
    QTest::keyClick(Code, Qt::Key_End, Qt::ControlModifier);
    ASSERT_TRUE(Code->findFirst("</h1>", false, true, false, true));
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, Index);
    QTest::keyClicks(Code, "<div>more</div>");
    TToolItem* Rule = nullptr;
    for (const auto& Tool : W.ToolManager->AllTools())
        if (Tool->TagName == "HR") Rule = Tool.get();
    ASSERT_NE(Rule, nullptr);
    WhenModal([](QWidget* Dialog) {
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const QPoint RuleAt((Rule->ButtonRect.Left + Rule->ButtonRect.Right) / 2,
                        (Rule->ButtonRect.Top + Rule->ButtonRect.Bottom) / 2);
    QTest::mousePress(W.ToolManager, Qt::LeftButton, {}, RuleAt);
    QTest::mouseRelease(W.ToolManager, Qt::LeftButton, {}, RuleAt);
    ASSERT_TRUE(WaitFor([&] { return Code->text().contains("<hr"); })) << Code->text().toStdString();
    EXPECT_TRUE(Code->text().contains("more")) << Code->text().toStdString();
    EXPECT_TRUE(H.Body().contains("<hr")) << H.Body().toStdString();

    // Tools > Page Properties from the code view: typed source goes first, a cancel changes
    // nothing, an OK marks the document and the view shows the new title
    ASSERT_TRUE(Code->findFirst("&copy;!", false, true, false, true));
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, Index);
    QTest::keyClicks(Code, "props");
    W.FileManager->SetModified(false);
    WhenModal([](QWidget* Dialog) { Dialog->close(); });
    F.MenuPageProperties->trigger();
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_TRUE(H.Body().contains("props")) << H.Body().toStdString();
    WhenModal([](QWidget* Dialog) {
        auto* Title = Dialog->findChild<QLineEdit*>("EditTitle");
        Title->selectAll();
        QTest::keyClicks(Title, "Fish & Chips");
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    F.MenuPageProperties->trigger();
    EXPECT_TRUE(W.FileManager->Modified());
    EXPECT_TRUE(Code->text().contains("<title>Fish &amp; Chips</title>")) << Code->text().toStdString();
    EXPECT_EQ(W.windowTitle(), "Zandovell - Fish & Chips");

    // the Tag Tree view entered again and again never reaches back into an old tree
    H.Tab(TreeTab);
    ClickItem(W.TagTree->TreeTag, BodyChild(W, 0));
    ASSERT_TRUE(W.TagTree->GridAttr->isVisible());
    EditCell(W.TagTree->GridAttr, 0, 1, "q", false);
    H.Tab(DesignerTab);
    EXPECT_TRUE(H.Body().contains("<p id=\"q\">")) << H.Body().toStdString();
    const uint64_t Loaded = W.Designer->Generation();
    H.Tab(TreeTab);
    ClickItem(W.TagTree->TreeTag, BodyChild(W, 0));
    H.Tab(CodeTab);
    H.Tab(TreeTab);
    EXPECT_EQ(W.TagTree->EditedNode(), nullptr);
    ClickItem(W.TagTree->TreeTag, BodyChild(W, 0));
    EXPECT_EQ(W.TagTree->GridAttr->item(0, 1)->text(), "q");
    H.Tab(DesignerTab);
    EXPECT_EQ(W.Designer->Generation(), Loaded);  // views left unchanged reload nothing

    // preview in the browser saves first and opens the file
    EXPECT_TRUE(W.FileManager->Modified());
    F.MenuPreview->trigger();
    EXPECT_FALSE(W.FileManager->Modified());
    ASSERT_EQ(H.Opened.size(), 1u);
    EXPECT_EQ(H.Opened[0], "file://" + (Docs / "t.html"));
    EXPECT_NE(ReadAll(Docs / "t.html").find("&copy;!"), std::string::npos);

    // a spell-check correction is an edit of the document
    PageEval(H.D(), "document.getElementById('q').append(' speling')");
    WhenModal([](QWidget* Prompt) {
        EXPECT_EQ(Prompt->findChild<QLineEdit*>("EditFound")->text(), "speling");
        WhenModal([](QWidget*) {});  // the counts at the end
        QTest::mouseClick(Prompt->findChild<QPushButton*>("ButtonCorrect"), Qt::LeftButton);
    });
    F.MenuSpellCheck->trigger();
    EXPECT_FALSE(H.Body().contains("speling")) << H.Body().toStdString();
    EXPECT_TRUE(W.FileManager->Modified());

    // a template applied is one too
    W.FileManager->Save();
    PageSelectText(H.D(), "#q", 0, 4);
    WhenModal([](QWidget* Chooser) {
        auto* List = Chooser->findChild<QListWidget*>("ListTemplates");
        ASSERT_TRUE(WaitFor([&] { return List->count() > 0; }));
        List->setCurrentRow(0);
        QTest::mouseClick(Chooser->findChild<QPushButton*>("ButtonOk"), Qt::LeftButton);
    });
    F.MenuTemplates->trigger();
    EXPECT_TRUE(W.FileManager->Modified());
    EXPECT_TRUE(H.Body().contains(QString::fromUtf8("\xC2\xA9tex"))) << H.Body().toStdString();
    EXPECT_TRUE(H.Body().contains("Written by")) << H.Body().toStdString();

    // an icon of a pack goes into the document's images folder and into the page
    W.FileManager->Save();
    PageSelectText(H.D(), "td.text", 0, 0);
    auto* Icons = qobject_cast<QListWidget*>(H.F().PageControlIcons->currentWidget());
    ASSERT_NE(Icons, nullptr);
    Icons->setCurrentRow(0);
    const QString IconName = Icons->item(0)->text();
    Icons->scrollToItem(Icons->item(0));
    const QPoint IconAt = Icons->visualItemRect(Icons->item(0)).center();
    QTest::mouseClick(Icons->viewport(), Qt::LeftButton, {}, IconAt);
    QTest::mouseDClick(Icons->viewport(), Qt::LeftButton, {}, IconAt);
    EXPECT_TRUE(std::filesystem::exists(Docs / ("images/" + IconName.toStdString())));
    EXPECT_TRUE(H.Body().contains("images/" + IconName)) << H.Body().toStdString();
    EXPECT_TRUE(W.FileManager->Modified());

    // the About window's links light up under the mouse and open
    WhenModal([&](QWidget* Window) {
        auto* About = qobject_cast<TFormAbout*>(Window);
        ASSERT_NE(About, nullptr);
        EXPECT_FALSE(About->Highlighted(1));
        QEnterEvent Enter(QPointF(2, 2), QPointF(2, 2), About->Link(1)->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(About->Link(1), &Enter);
        EXPECT_TRUE(About->Highlighted(1));
        EXPECT_FALSE(About->Highlighted(2));
        QTest::mouseClick(About->Link(2), Qt::LeftButton);
        About->accept();
    });
    F.MenuAbout->trigger();
    ASSERT_EQ(H.Opened.size(), 2u);
    EXPECT_EQ(H.Opened[1], TFormAbout::SiteUrl);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, CodeViewKeepsItsPlaceAcrossViewsAndSearchesItsOwnText)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    std::string Long = "<html><head><title>Long</title></head><body>";
    for (int K = 0; K < 400; ++K) Long += "<p>Line " + std::to_string(K) + "</p>";
    WriteAll(Docs / "long.html", Long + "<p>needle</p></body></html>");
    WriteAll(Docs / "other.html", Long + "</body></html>");
    W.FileManager->OpenFile(Docs / "long.html");
    ASSERT_TRUE(WaitFor([&] { return W.windowTitle() == "Zandovell - Long"; }));

    // an edit deep in the page, a look at the design view, and back: the caret and the
    // scroll place are where they were
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    ASSERT_TRUE(Code->findFirst("Line 300<", false, true, false, true));
    int Line = 0, Index = 0;
    Code->getCursorPosition(&Line, &Index);
    Code->setCursorPosition(Line, --Index);
    QTest::keyClicks(Code, "x");
    ++Index;
    const int Top = Code->firstVisibleLine();
    EXPECT_GT(Top, 100);
    H.Tab(DesignerTab);
    EXPECT_EQ(W.CurrentView, DesignerTab);
    H.Tab(CodeTab);
    int NowLine = 0, NowIndex = 0;
    Code->getCursorPosition(&NowLine, &NowIndex);
    EXPECT_EQ(NowLine, Line);
    EXPECT_EQ(NowIndex, Index);
    EXPECT_EQ(Code->firstVisibleLine(), Top);
    EXPECT_EQ(Code->text(NowLine).trimmed(), "<p>Line 300x</p>");

    // the design view's find dialog stays with its view
    H.Tab(DesignerTab);
    H.Click(F.BtnFind);
    TFormFind* DesignFind = W.Designer->FindDialog();
    EXPECT_TRUE(DesignFind->isVisible());
    H.Tab(CodeTab);
    EXPECT_FALSE(DesignFind->isVisible());

    // Find in this view searches the text shown, not the hidden design view
    const QString PageSelection = PageEval(H.D(), "String(getSelection())").toString();
    H.Click(F.BtnFind);
    TFormFind* Find = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (TFormFind* Dialog : W.findChildren<TFormFind*>())
            if (Dialog->isVisible()) Find = Dialog;
        return Find != nullptr;
    }));
    QTest::keyClicks(Find->findChild<QLineEdit*>("EditFind"), "NEEDLE");
    QTest::mouseClick(Find->findChild<QPushButton*>("ButtonFindNext"), Qt::LeftButton);
    EXPECT_EQ(Code->selectedText(), "needle");
    EXPECT_EQ(Find->Status(), "");
    Find->findChild<QCheckBox*>("CheckMatchCase")->setChecked(true);
    QTest::mouseClick(Find->findChild<QPushButton*>("ButtonFindNext"), Qt::LeftButton);
    EXPECT_EQ(Find->Status(), "Cannot find \"NEEDLE\".");
    EXPECT_EQ(PageEval(H.D(), "String(getSelection())").toString(), PageSelection);
    // it goes with its view
    H.Tab(DesignerTab);
    EXPECT_FALSE(Find->isVisible());
    H.Tab(CodeTab);
    // another page starts at its top
    H.Tab(DesignerTab);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    W.FileManager->OpenFile(Docs / "other.html");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "other.html"; }));
    H.Tab(CodeTab);
    Code->getCursorPosition(&NowLine, &NowIndex);
    EXPECT_EQ(NowLine, 0);
    EXPECT_EQ(Code->firstVisibleLine(), 0);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, OpensEditsAndSavesPagesMadeElsewhere)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    const std::string Jp = "\xE6\x97\xA5\xE6\x9C\xAC";  // two characters in UTF-8
    auto Utf16 = [](const std::u16string& Text, bool Big) {
        std::string Bytes;
        for (char16_t C : Text) {
            const char Pair[2] = {static_cast<char>(Big ? C >> 8 : C & 0xFF), static_cast<char>(Big ? C & 0xFF : C >> 8)};
            Bytes.append(Pair, 2);
        }
        return Bytes;
    };
    const std::u16string Wide = u"<html><body><p id=\"t\">\u65E5\u672C</p></body></html>";
    struct TPage {
        const char* Name;
        std::string Bytes;
    };
    const TPage Pages[] = {
        // UTF-8 without a declaration, and under one naming a set nobody knows
        {"plain.html", "<html><head><title>T</title></head><body><p id=\"t\">" + Jp + "</p></body></html>"},
        {"unknown.html", "<meta charset=\"utf8mb4\"><p id=\"t\">" + Jp + "</p>"},
        // UTF-16 with a byte-order mark, and without one
        {"bom.html", "\xFF\xFE" + Utf16(Wide, false)},
        {"le.html", Utf16(Wide, false)},
        {"be.html", Utf16(Wide, true)},
    };
    for (const TPage& Page : Pages) {
        SCOPED_TRACE(Page.Name);
        WriteAll(Docs / Page.Name, Page.Bytes);
        W.FileManager->OpenFile(Docs / Page.Name);
        ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / Page.Name && H.Body().contains("id=\"t\""); }));
        const QString Text = QString::fromUtf8(Jp);
        EXPECT_EQ(PageEval(H.D(), "document.getElementById('t').textContent").toString(), Text);
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#t")));
        PageSelectText(H.D(), "#t", 2, 2);
        H.TypeInDesigner("!");
        ASSERT_TRUE(W.FileManager->Save());
        W.FileManager->OpenFile(Docs / Page.Name);
        EXPECT_TRUE(WaitFor([&] {
            return PageEval(H.D(), "document.getElementById('t').textContent").toString() == Text + "!";
        })) << ReadAll(Docs / Page.Name);
    }
    EXPECT_TRUE(H.Ui.Errors.empty()) << H.Ui.Errors.front();

    // What is no page is refused with the reason, and the page open stays, editable: a
    // folder, a FIFO (with no writer: nothing waits for one), a link that leads to itself,
    // a picture whose bytes hold "<?", a file of NUL bytes.
    const std::string Kept = Docs / "be.html";
    std::filesystem::create_directory(Docs / "folder.html");
    ASSERT_EQ(::mkfifo((Docs / "pipe.html").c_str(), 0600), 0);
    std::filesystem::create_symlink("loop.html", Docs / "loop.html");
    std::string Picture("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0\x1f\xf3\xff" "a", 33);
    for (int I = 0; I < 600; ++I) Picture += static_cast<char>((I * 7919 + 13) % 256);
    Picture += "<?\x01\x02";
    WriteAll(Docs / "picture.html", Picture);
    WriteAll(Docs / "zeros.html", std::string(5000, '\0'));
    const std::pair<const char*, std::string> Refused[] = {
        {"folder.html", TFileManager::FolderText},
        {"pipe.html", TFileManager::PipeText},
        {"loop.html", TFileManager::LinkLoopText},
        {"picture.html", "The file does not look like an HTML page: it holds binary data."},
        {"zeros.html", "The file holds no text."},
    };
    for (const auto& [Name, Text] : Refused) {
        W.FileManager->OpenFile(Docs / Name);
        ASSERT_FALSE(H.Ui.Errors.empty()) << Name;
        EXPECT_EQ(H.Ui.Errors.back(), Text + "\n" + Docs / Name);
        EXPECT_EQ(W.FileManager->FileName(), Kept);
        EXPECT_EQ(W.StatusPanel(2)->text().toStdString(), Kept);
    }
    EXPECT_EQ(H.Ui.Errors.size(), std::size(Refused));
    H.Ui.Errors.clear();
    PageSelectText(H.D(), "#t", 0, 0);
    H.TypeInDesigner("?");
    ASSERT_TRUE(W.FileManager->Save());
    EXPECT_EQ(PageEval(H.D(), "document.getElementById('t').textContent").toString(),
              QString::fromUtf8("?" + Jp + "!"));

    // references without their ";" mean what browsers read, in the view and once edited
    WriteAll(Docs / "refs.html", "<p id=\"t\">&copy 2005 Tom &amp Jerry&nbsp;<a href=\"?a=1&copy=2\" "
                                 "title=\"&copy 1\">x</a></p>");
    W.FileManager->OpenFile(Docs / "refs.html");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "refs.html" && H.Body().contains("Tom"); }));
    EXPECT_EQ(PageEval(H.D(), "document.getElementById('t').textContent").toString(),
              QString::fromUtf8("\xC2\xA9 2005 Tom & Jerry\xC2\xA0x"));
    EXPECT_EQ(PageEval(H.D(), "document.querySelector('a').title").toString(), QString::fromUtf8("\xC2\xA9 1"));
    PageSelectText(H.D(), "#t", 0, 0);
    H.TypeInDesigner("!");
    ASSERT_TRUE(W.FileManager->Save());
    EXPECT_NE(ReadAll(Docs / "refs.html").find("!&copy; 2005 Tom &amp; Jerry&nbsp;<a href=\"?a=1&copy=2\""),
              std::string::npos)
        << ReadAll(Docs / "refs.html");

    // a frames page keeps its frames, with what noframes holds; the design view edits that
    // body; a flag shows in the attribute grid with no value and stays set when
    // another cell is edited
    const std::string Frames = "<html><head><title>F</title></head>\n<frameset cols=\"50%,*\"><frame src=\"a.html\" noresize>\n"
                               "<noframes><body><p>old browsers</p></body></noframes></frameset></html>\n";
    WriteAll(Docs / "frames.html", Frames);
    W.FileManager->OpenFile(Docs / "frames.html");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "frames.html" && H.Body().contains("old"); }));
    PageSelectText(H.D(), "p", 0, 0);
    H.TypeInDesigner("Still ");
    H.Tab(TreeTab);
    const QModelIndex Frame = FindItem(W.TagTree->TreeModel, "<frame>");
    ASSERT_TRUE(Frame.isValid());
    ClickItem(W.TagTree->TreeTag, Frame);
    ASSERT_TRUE(W.TagTree->GridAttr->isVisible());
    ASSERT_EQ(W.TagTree->GridAttr->rowCount(), 3);
    EXPECT_EQ(W.TagTree->GridAttr->item(1, 0)->text(), "noresize");
    EXPECT_EQ(W.TagTree->GridAttr->item(1, 1)->text(), "");
    EditCell(W.TagTree->GridAttr, 0, 1, "b.html");
    H.Tab(DesignerTab);
    ASSERT_TRUE(W.FileManager->Save());
    const std::string Saved = ReadAll(Docs / "frames.html");
    EXPECT_NE(Saved.find("<frame src=\"b.html\" noresize>"), std::string::npos) << Saved;
    EXPECT_GT(Saved.find("<body"), Saved.find("<noframes>")) << Saved;
    EXPECT_LT(Saved.find("</body>"), Saved.find("</noframes>")) << Saved;
    EXPECT_NE(Saved.find("<p>Still old browsers</p>"), std::string::npos) << Saved;
    EXPECT_EQ(W.windowTitle(), "Zandovell - F");
    EXPECT_EQ(Saved.find("<body"), Saved.rfind("<body")) << Saved;

    // server code in a quoted value keeps its quotes
    WriteAll(Docs / "form.php", "<html <?php language_attributes(); ?>><body <?php body_class(); ?>><form>"
                                "<input name=\"q\" value=\"<?php echo $_GET[\"q\"] ?>\"></form><p id=\"p\">text</p>");
    W.FileManager->OpenFile(Docs / "form.php");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "form.php" && H.Body().contains("text"); }));
    PageSelectText(H.D(), "#p", 0, 0);
    H.TypeInDesigner("X");
    ASSERT_TRUE(W.FileManager->Save());
    const std::string Php = ReadAll(Docs / "form.php");
    for (const char* Piece : {"<html <?php language_attributes(); ?>>", "<body <?php body_class(); ?>>",
                              "value='<?php echo $_GET[\"q\"] ?>'", "Xtext"})
        EXPECT_NE(Php.find(Piece), std::string::npos) << Piece << "\n" << Php;
    // no tag end is left over as text
    size_t Ends = 0;
    for (size_t At = Php.find(">>"); At != std::string::npos; At = Php.find(">>", At + 2)) ++Ends;
    EXPECT_EQ(Ends, 2u) << Php;
    EXPECT_TRUE(H.Ui.Errors.empty()) << H.Ui.Errors.front();

    // links as pages have them, opened with a double click or with the caret in them and the
    // Hyperlink button: the dialog edits the link where it stands
    const std::string Links =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><title>L</title></head>\n"
        "<body>\n<p id=\"p\">Read <a href=\"a.html\" title=\"t\" class=\"x  y\" accesskey=g target=_blank data-id=\"7\" "
        "aria-label=\"Go\" onclick=\"go(1); return false;\" foo:bar=\"?\" rel=\"\" TABINDEX='2'>Go on</a> now.</p>\n"
        "<p><a href=\"b.html?x=1&amp;y=2\" title=\"&copy; \xD0\x96\" hreflang=ru>\xC3\x9C" "ber \xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC text</a></p>\n"
        "<a href=\"h.html\" class=\"big\"><h2 id=\"h\">Head</h2></a>\n"
        "<p>An <a href=\"i.html\"><img id=\"i\" src=\"pic.gif\" alt=\"\" width=\"20\" height=\"20\"></a> and "
        "<a href=\"c.html\" id=\"c\"><b id=\"b\">bold</b> link</a></p>\n</body></html>\n";
    auto Open = [&] {
        WriteAll(Docs / "links.html", Links);
        W.FileManager->OpenFile(Docs / "links.html");
        EXPECT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "links.html" && H.Body().contains("Head"); }));
    };
    auto SaveLinks = [&] {
        EXPECT_TRUE(W.FileManager->Save());
        return ReadAll(Docs / "links.html");
    };
    Open();
    const std::string Plain = SaveLinks();
    // the middle of a piece of an element's first text, in the window
    auto TextAt = [&](const QString& Selector, int Start, int End) {
        const QVariantList R =
            PageEval(H.D(), QString("(function(){ const t = document.querySelector('%1').firstChild;"
                                    " const r = document.createRange(); r.setStart(t, %2); r.setEnd(t, %3);"
                                    " const b = r.getBoundingClientRect(); return [b.left + b.width / 2, b.top + b.height / 2]; })()")
                                .arg(Selector).arg(Start).arg(End))
                .toList();
        return H.D().focusProxy()->mapTo(&W, QPoint(qRound(R.value(0).toDouble()), qRound(R.value(1).toDouble())));
    };
    // Answer types into the dialog (nothing leaves the address as it is) and presses Enter
    auto LinkDialog = [&](const QString& Typed, QString& Offered) {
        return std::make_unique<TModalAnswer>([&Offered, Typed](QWidget* Dialog) {
            auto* Url = Dialog->findChild<QLineEdit*>("EditUrl");
            ASSERT_NE(Url, nullptr);
            Offered = Url->text();
            if (!Typed.isEmpty()) QTest::keyClicks(Url, Typed);
            QTest::keyClick(Url, Qt::Key_Return);
        });
    };
    auto ClickPage = [&](const QString& Selector) {
        QApplication::setActiveWindow(&W);
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), Selector)));
    };
    struct TLinkCase {
        const char* Where;
        std::function<void()> Open;   // opens the dialog
        const char* Offered;
    };
    const TLinkCase Cases[] = {
        {"a word of a link of several words", [&] { QTest::mouseDClick(W.windowHandle(), Qt::LeftButton, {}, TextAt("#p a", 3, 5)); }, "a.html"},
        {"non-Latin text", [&] { QTest::mouseDClick(W.windowHandle(), Qt::LeftButton, {}, TextAt("a[hreflang]", 5, 6)); }, "b.html?x=1&y=2"},
        {"a heading in a link", [&] { ClickPage("#h"); H.Click(H.F().BtnLink); }, "h.html"},
        {"an image in a link", [&] { ClickPage("a[href=\"i.html\"] img"); H.Click(H.F().BtnLink); }, "i.html"},
        {"bold text in a link", [&] { ClickPage("#b"); H.Click(H.F().BtnLink); }, "c.html"},
    };
    for (const TLinkCase& Case : Cases) {
        SCOPED_TRACE(Case.Where);
        Open();
        QString Offered;
        const auto Answer = LinkDialog({}, Offered);
        Case.Open();
        ASSERT_TRUE(WaitFor([&] { return Answer->Seen; }));
        EXPECT_EQ(Offered, Case.Offered);
        EXPECT_FALSE(W.FileManager->Modified());
        EXPECT_EQ(SaveLinks(), Plain);
    }
    // a new address goes onto the whole link, as one undo step, and changes nothing else
    for (const auto& [Case, Old] : {std::pair{0, "href=\"a.html\""}, std::pair{2, "href=\"h.html\""}}) {
        SCOPED_TRACE(Cases[Case].Where);
        Open();
        QString Offered;
        const auto Answer = LinkDialog("n.php?a=1&b=\"2\"", Offered);
        Cases[Case].Open();
        ASSERT_TRUE(WaitFor([&] { return Answer->Seen && W.FileManager->Modified(); }));
        std::string Expected = Plain;
        Expected.replace(Expected.find(Old), strlen(Old), "href=\"n.php?a=1&amp;b=&quot;2&quot;\"");
        EXPECT_EQ(SaveLinks(), Expected);
        H.Click(H.F().BtnUndo);
        EXPECT_EQ(SaveLinks(), Plain);
    }
    // a selection outside links is linked as it was
    Open();
    PageSelectText(H.D(), "#p", 0, 4);
    QString Offered;
    const auto Answer = LinkDialog("r.html", Offered);
    H.Click(H.F().BtnLink);
    ASSERT_TRUE(WaitFor([&] { return Answer->Seen && W.FileManager->Modified(); }));
    EXPECT_EQ(Offered, "http://");
    EXPECT_NE(SaveLinks().find("<p id=\"p\"><a href=\"r.html\">Read</a> <a href=\"a.html\""), std::string::npos);

    // A page edited in many places, saved after each edit: the save reads back only what
    // changed, and gives what a read of the whole body gives.
    const std::string Mixed =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><title>M</title></head>\n"
        "<body bgcolor=\"#ffffff\" data-x=\"\">\n<!-- a comment -->\n"
        "<p id=\"a\" class=\"\" foo:bar=\"?\" data-e=\"\">First &copy; text with <b>bold</b> and &#187; refs.</p>\n"
        "<script>var x = 1 < 2;</script>\n"
        "<div id=\"d\"><p id=\"r\">\xC3\x9C" "ber \xD0\x96uk \xE6\x97\xA5\xE6\x9C\xAC text</p></div>\n"
        "<a href=\"block.html\" class=\"wrap\"><div id=\"w\">A block in a link</div></a>\n"
        "<table border=\"1\" width=\"50%\"><tr><td id=\"c1\">one</td><td id=\"c2\" nowrap> two </td></tr>\n"
        "<tr><td id=\"c3\">three<br>x</td><td id=\"c4\"><a href=\"x.html\">four</a></td></tr></table>\n"
        "<ul><li id=\"l1\">item <i>one</i></li><li id=\"l2\">item two</li></ul>\n"
        "<pre id=\"pre\">  kept\n  lines</pre>\n<p id=\"z\">last <i>one</i> here</p>\n</body></html>\n";
    WriteAll(Docs / "mixed.html", Mixed);
    W.FileManager->OpenFile(Docs / "mixed.html");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == Docs / "mixed.html" && H.Body().contains("lines"); }));
    auto SavedAsWhole = [&](const char* Step) {
        SCOPED_TRACE(Step);
        EXPECT_TRUE(W.FileManager->Save());
        const std::string Saved = ReadAll(Docs / "mixed.html");
        // the whole body read into the tree, saved again
        THtmlFilter& Filter = *H.D().Filter;
        Filter.ReadDesign(H.D().CallLayer("bodySource", {-1}).toList().value(1).toString().toStdU16String());
        TMemoryStream Whole;
        Filter.SaveToStream(Whole);
        EXPECT_EQ(Saved, std::string(reinterpret_cast<const char*>(Whole.Memory()), Whole.Size()));
        return Saved;
    };
    PageSelectText(H.D(), "#a", 6, 6);
    H.TypeInDesigner("typed ");
    PageSelectText(H.D(), "#c2", 0, 0);
    H.TypeInDesigner("X");
    PageSelectText(H.D(), "#l2", 5, 5);
    H.TypeInDesigner("new ");
    std::string Edited = SavedAsWhole("typing");
    for (const char* Piece : {"<p id=\"a\" class=\"\" foo:bar=\"?\" data-e>First typed &copy; text with <b>bold</b>",
                              "<td id=\"c2\" nowrap>X", "<li id=\"l2\">item new two</li>", "<!-- a comment -->",
                              "<script>var x = 1 < 2;</script>", "<pre id=\"pre\">  kept\n  lines</pre>"})
        EXPECT_NE(Edited.find(Piece), std::string::npos) << Piece << "\n" << Edited;
    // deleted with keys, in non-Latin text and in a block inside a link
    PageSelectText(H.D(), "#r", 5, 8);
    H.Key(Qt::Key_Delete);
    PageSelectText(H.D(), "#w", 1, 1);
    H.Key(Qt::Key_Backspace);
    Edited = SavedAsWhole("deleting");
    EXPECT_NE(Edited.find("<p id=\"r\">&Uuml;ber&nbsp; &#x65E5;&#x672C; text</p>"), std::string::npos) << Edited;
    EXPECT_NE(Edited.find("&nbsp;block in a link"), std::string::npos) << Edited;
    // pasted into a cell
    auto* Pasted = new QMimeData;
    Pasted->setHtml("<html><body><!--StartFragment--><b>pasted &amp; kept</b><!--EndFragment--></body></html>");
    QApplication::clipboard()->setMimeData(Pasted);
    QApplication::setActiveWindow(&W);
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c3")));
    PageSelectText(H.D(), "#c3", 0, 5);
    H.Key(Qt::Key_V, Qt::ControlModifier);
    Edited = SavedAsWhole("pasting");
    EXPECT_NE(Edited.find("<td id=\"c3\"><b>pasted &amp; kept</b><br>"), std::string::npos) << Edited;
    // a link made with the dialog, and undone
    PageSelectText(H.D(), "#z", 0, 4);
    const auto LinkAnswer = LinkDialog("last.html", Offered);
    H.Click(H.F().BtnLink);
    ASSERT_TRUE(WaitFor([&] { return LinkAnswer->Seen; }));
    Edited = SavedAsWhole("the link dialog");
    EXPECT_NE(Edited.find("<p id=\"z\"><a href=\"last.html\">last</a> <i>one</i> here</p>"), std::string::npos) << Edited;
    H.Click(H.F().BtnUndo);
    Edited = SavedAsWhole("undo");
    EXPECT_NE(Edited.find("<p id=\"z\">last <i>one</i> here</p>"), std::string::npos) << Edited;
    EXPECT_NE(Edited.find("<body bgcolor=\"#ffffff\" data-x>"), std::string::npos) << Edited;
    EXPECT_TRUE(H.Ui.Errors.empty()) << H.Ui.Errors.front();
}

TEST(MainWindow, FileCommandsFromTheKeyboardKeepTheCaptionAndFollowTheAnswers)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    // the first window takes typing into its empty page
    ASSERT_TRUE(WaitFor([&] { return PageEval(H.D(), "getSelection().rangeCount").toInt() == 1; }));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(H.D().isAncestorOf(QApplication::focusWidget()));
    QTest::keyClicks(QApplication::focusWidget(), "Hi");
    EXPECT_TRUE(WaitFor([&] { return H.Body() == "Hi"; })) << H.Body().toStdString();
    WriteAll(Docs / "t.html", "<html><head><title>Trip</title></head><body><p id=\"p\">Hello</p></body></html>");
    W.FileManager->OpenFile(Docs / "t.html");
    ASSERT_TRUE(WaitFor([&] { return W.windowTitle() == "Zandovell - Trip"; })) << W.windowTitle().toStdString();
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    PageSelectText(H.D(), "#p", 5, 5);
    H.TypeInDesigner("!");
    EXPECT_TRUE(W.FileManager->Modified());
    // a menu key pressed in the page; done once the page saw Ctrl go up
    auto MenuKey = [&](Qt::Key Key) {
        bool Up = false;
        const auto C = QObject::connect(&H.D(), &TWebBrowser::PageEvent, [&](const TPageEvent& E) {
            Up |= E.Type == "keyup" && E.KeyCode == 17;
        });
        H.Key(Key, Qt::ControlModifier);
        EXPECT_TRUE(WaitFor([&] { return Up; }));
        QObject::disconnect(C);
    };
    MenuKey(Qt::Key_S);
    EXPECT_NE(ReadAll(Docs / "t.html").find("Hello!"), std::string::npos);
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_EQ(W.StatusPanel(0)->text(), "");
    // a saved page keeps its title in the caption
    EXPECT_EQ(W.windowTitle(), "Zandovell - Trip");
    // a copy is no edit
    PageSelectText(H.D(), "#p", 0, 5);
    MenuKey(Qt::Key_C);
    EXPECT_FALSE(W.FileManager->Modified());
    // outside the design view the colour buttons look as disabled as they are
    const QImage Enabled = W.TextColorButton->grab().toImage();
    H.Tab(TreeTab);
    EXPECT_FALSE(W.TextColorButton->isEnabled());
    EXPECT_NE(W.TextColorButton->grab().toImage(), Enabled);
    H.Tab(DesignerTab);
    EXPECT_EQ(W.TextColorButton->grab().toImage(), Enabled);

    // Save As where nothing can be written: a folder the user may not write to, a folder
    // that is not there, a folder's own name. The page stays under its name, modified.
    H.TypeInDesigner("?");
    for (const std::string& Name : {std::string("/proc/t.html"), Docs / "gone/t.html", Docs.Path}) {
        H.Ui.SaveNames.push_back(Name);
        H.F().MenuSaveAs->trigger();
    }
    EXPECT_EQ(H.Ui.Errors.size(), 3u);
    EXPECT_EQ(W.FileManager->FileName(), Docs / "t.html");
    EXPECT_TRUE(W.FileManager->Modified());
    EXPECT_EQ(W.windowTitle(), "Zandovell - Trip");
    // then under a new name in another folder
    std::filesystem::create_directory(Docs / "other");
    H.Ui.SaveNames.push_back(Docs / "other/copy.html");
    H.F().MenuSaveAs->trigger();
    EXPECT_EQ(W.FileManager->FileName(), Docs / "other/copy.html");
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_EQ(W.windowTitle(), "Zandovell - Trip");
    EXPECT_NE(ReadAll(Docs / "other/copy.html").find("<title>Trip</title>"), std::string::npos);
    EXPECT_EQ(W.FileManager->RecentFiles, (std::vector<std::string>{Docs / "other/copy.html", Docs / "t.html"}));
    // a preview shows the page as saved now, or nothing when it cannot be saved
    H.TypeInDesigner("#");
    H.F().MenuPreview->trigger();
    EXPECT_EQ(H.Opened, (std::vector<std::string>{"file://" + (Docs / "other/copy.html")}));
    W.FileManager->OpenFile("/proc/version");
    ASSERT_TRUE(WaitFor([&] { return W.FileManager->FileName() == "/proc/version"; }));
    W.FileManager->SetModified(true);
    H.F().MenuPreview->trigger();
    EXPECT_EQ(H.Opened.size(), 1u);
    EXPECT_EQ(H.Ui.Errors.size(), 4u);
    EXPECT_TRUE(W.FileManager->Modified());
    W.FileManager->OpenFile(Docs / "other/copy.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("?#!"); })) << H.Body().toStdString();

    // Pages the design view cannot show leave the page open and edited as it was, and saving
    // it still works: a page nested deeper than the engine keeps, refused before it loads...
    H.TypeInDesigner("+");
    std::string Deep = "<html><head><title>Deep</title></head><body>";
    for (int K = 0; K <= THtmlDesigner::MaxNesting; ++K) Deep += K % 3 ? "<span class=\"\">" : "<div x-odd=k\u00e9>";
    Deep += "\u0436&amp;";
    WriteAll(Docs / "deep.html", Deep);
    const auto KeptAsItWas = [&] {
        EXPECT_EQ(W.FileManager->FileName(), Docs / "other/copy.html");
        EXPECT_TRUE(W.FileManager->Modified());
        EXPECT_EQ(W.windowTitle(), "Zandovell - Trip");
        EXPECT_TRUE(H.Body().contains("?#!") && H.Body().contains("+")) << H.Body().toStdString();
        EXPECT_EQ(W.LoadProgress(), nullptr);
        EXPECT_TRUE(W.menuBar()->isEnabled());
    };
    W.FileManager->OpenFile(Docs / "deep.html");
    ASSERT_EQ(H.Ui.Errors.size(), 5u);
    EXPECT_EQ(H.Ui.Errors.back(), (Docs / "deep.html") + ": its elements nest more than 512 levels "
                                  "deep, more than the design view can show.");
    KeptAsItWas();
    // ...one with an element of more attributes than the engine takes in time, opened with
    // Ctrl+O and refused while it is read...
    std::string Many = "<html><body><p>many</p><p";
    for (int K = 0; K <= THtmlDesigner::MaxAttributes; ++K)
        Many += " a" + std::to_string(K) + (K % 2 ? "=\"" + std::to_string(K) + "\"" : "=&amp;");
    WriteAll(Docs / "many.html", Many + ">text</p></body></html>");
    H.Ui.OpenNames.push_back(Docs / "many.html");
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    H.Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(H.Ui.Errors.size(), 6u);
    EXPECT_EQ(H.Ui.Errors.back(), (Docs / "many.html") + ": an element of it has more than 10000 "
                                  "attributes, more than the design view can show.");
    EXPECT_TRUE(H.Ui.SaveAnswers.empty());
    KeptAsItWas();
    // A 10 ms timer watches the status bar: each stage it sees shows that the window went on
    // while the page was loaded.
    QStringList Stages;
    std::function<void(const QString&)> AtStage;
    QTimer Watch;
    QObject::connect(&Watch, &QTimer::timeout, [&] {
        const QString Now = W.LoadProgress() ? W.LoadProgress()->findChild<QLabel*>()->text() : QString();
        if (Now.isEmpty() || (!Stages.isEmpty() && Stages.back() == Now)) return;
        Stages << Now;
        if (AtStage) AtStage(Now);
    });
    Watch.start(10);
    // ...a page the engine does not take in time: the previous document comes back while the
    // window goes on, and Escape meanwhile does not stop that...
    WriteAll(Docs / "slow.html", "<html><body><table><tr><td>\u00e9<a href=#x><p>a</p></a></table>");
    bool RestoreCancelable = true;
    QSize CancelSize, CancelHint;
    AtStage = [&](const QString& Now) {
        if (!Now.startsWith("Restoring")) return;
        const QPushButton* Cancel = W.LoadProgress()->findChild<QPushButton*>("LoadCancel");
        CancelSize = Cancel->size();
        CancelHint = Cancel->sizeHint();
        H.Key(Qt::Key_Escape);
    };
    // a brief stage may pass between two looks of the timer: the stages are also taken as the
    // designer tells them, once the window shows each
    QStringList Told;
    const auto Shown = W.Designer->OnLoadProgress;
    W.Designer->OnLoadProgress = [&, Shown](QObject* Sender, const QString& Stage) {
        Shown(Sender, Stage);
        if (Stage.isEmpty()) return;
        Told << Stage + "...";
        if (Stage.startsWith("Restoring"))
            RestoreCancelable = W.LoadProgress()->findChild<QPushButton*>("LoadCancel")->isEnabled();
    };
    W.Designer->LoadTimeout = 0;
    W.FileManager->OpenFile(Docs / "slow.html");
    W.Designer->LoadTimeout = 300000;
    ASSERT_EQ(H.Ui.Errors.size(), 7u);
    EXPECT_EQ(H.Ui.Errors.back(), "The design view could not show " + (Docs / "slow.html") +
                                      ": The page did not answer in time");
    EXPECT_TRUE(Told.contains("Restoring the previous document...")) << Told.join(", ").toStdString();
    EXPECT_FALSE(RestoreCancelable);
    EXPECT_EQ(CancelSize.width(), CancelHint.width());  // not half the status bar
    AtStage = nullptr;
    W.Designer->OnLoadProgress = Shown;
    KeptAsItWas();
    // ...and one the user stops with Escape while it loads
    QString Stage;
    bool Locked = false;
    QTimer::singleShot(0, &W, [&] {
        if (W.LoadProgress()) Stage = W.LoadProgress()->findChild<QLabel*>()->text();
        Locked = !W.menuBar()->isEnabled() && W.LoadProgress() && W.LoadProgress()->isVisible();
        QApplication::setActiveWindow(&W);
        QTest::keyClick(&W, Qt::Key_Escape);

    });
    W.FileManager->OpenFile(Docs / "slow.html");
    EXPECT_TRUE(Locked);
    EXPECT_TRUE(Stage.endsWith("...")) << Stage.toStdString();
    EXPECT_EQ(H.Ui.Errors.size(), 7u);
    KeptAsItWas();
    H.TypeInDesigner("=");
    H.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return ReadAll(Docs / "other/copy.html").find("=") != std::string::npos; }));
    EXPECT_FALSE(W.FileManager->Modified());

    // A page typed in the HTML Code view goes to the design view as a file does, the window
    // going on meanwhile but taking no keys: Escape stops it, and a page the design view
    // cannot take stays there too, with a message. The typed text stays as it was.
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    std::string Big = "<html><head><title>Big</title></head><body>";
    for (int K = 0; K < 3000; ++K)
        Big += "<p class=\"\" data-k=" + std::to_string(K) + " x-odd>\u0416 &amp; &#x1F600; <a href=\"#k\">"
               "<div>linked</div></a><img src=\"images/none.gif\" alt></p>";
    Code->setText(QString::fromStdString(Big + "<p id=\"end\">end"));
    QTest::keyClick(Code, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Code, " typed");
    const QString Typed = Code->text();
    ASSERT_TRUE(Typed.endsWith("end typed"));
    bool Stopped = false;
    AtStage = [&](const QString& Now) {
        if (Stopped || Now.startsWith("Restoring")) return;
        H.Key(Qt::Key_X);
        H.Key(Qt::Key_Escape);
        Stopped = true;
    };
    const size_t ErrorsBefore = H.Ui.Errors.size();
    const auto StaysTyped = [&] {
        EXPECT_EQ(W.CurrentView, CodeTab);
        EXPECT_EQ(H.F().TabControl1->currentIndex(), CodeTab);
        EXPECT_TRUE(Code->isVisible());
        EXPECT_EQ(Code->text(), Typed);
        EXPECT_EQ(W.LoadProgress(), nullptr);
        EXPECT_TRUE(W.menuBar()->isEnabled());
        // the design view keeps the previous document, live
        EXPECT_TRUE(H.Body().contains("=") && H.Body().contains("?#!")) << H.Body().toStdString();
    };
    Stages.clear();
    H.Tab(DesignerTab);
    EXPECT_TRUE(Stopped);
    EXPECT_TRUE(Stages.contains("Preparing the page...")) << Stages.join(", ").toStdString();
    EXPECT_EQ(H.Ui.Errors.size(), ErrorsBefore);
    StaysTyped();
    AtStage = nullptr;
    W.Designer->LoadTimeout = 0;
    H.Tab(DesignerTab);
    W.Designer->LoadTimeout = 300000;
    ASSERT_EQ(H.Ui.Errors.size(), ErrorsBefore + 1);
    EXPECT_EQ(H.Ui.Errors.back(), "The design view could not show the page: The page did not answer in time");
    StaysTyped();
    H.Tab(DesignerTab);
    EXPECT_EQ(W.CurrentView, DesignerTab);
    EXPECT_TRUE(H.Body().contains("end typed")) << H.Body().right(200).toStdString();
    EXPECT_EQ(H.Ui.Errors.size(), ErrorsBefore + 1);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return ReadAll(Docs / "other/copy.html").find("end typed") != std::string::npos; }));
    Watch.stop();

    // source typed in the HTML Code view that cannot be read back, then New: Cancel keeps it,
    // Yes cannot save it, No drops it with the page
    H.Tab(CodeTab);
    QTest::keyClick(Code, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Code, "<!-- open");
    ASSERT_TRUE(W.FileManager->Modified());
    const size_t Errors = H.Ui.Errors.size();
    for (TSaveAnswer Answer : {TSaveAnswer::Cancel, TSaveAnswer::Yes}) {
        H.Ui.SaveAnswers.push_back(Answer);
        H.Key(Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(W.CurrentView, CodeTab);
        EXPECT_TRUE(Code->text().endsWith("<!-- open"));
        EXPECT_EQ(W.FileManager->FileName(), Docs / "other/copy.html");
    }
    EXPECT_EQ(H.Ui.Errors.size(), Errors + 1);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    H.Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(H.Ui.Errors.size(), Errors + 1);
    EXPECT_EQ(W.CurrentView, DesignerTab);
    EXPECT_EQ(W.FileManager->FileName(), "");
    EXPECT_FALSE(W.FileManager->Modified());
    // the new page has its caret: typing goes in without a click
    EXPECT_TRUE(WaitFor([&] {
        return H.Body().isEmpty() && PageEval(H.D(), "getSelection().rangeCount").toInt() == 1;
    })) << H.Body().toStdString();
    EXPECT_EQ(W.windowTitle(), "Zandovell");
    H.TypeInDesigner("New");
    EXPECT_EQ(H.Body(), "New");
    H.Tab(CodeTab);
    EXPECT_FALSE(Code->text().contains("<!-- open"));
    H.Tab(DesignerTab);
    EXPECT_EQ(W.CurrentView, DesignerTab);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, KeysGoWhereTheUserLooksAndEveryKeyIsSaved)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "k.html",
             "<html><head><title>Keys</title></head><body>"
             "<p id=\"p\" data-x=\"\" class=\"\">Hello <b style=\"color: red\">world</b> "
             "\xCE\xB1\xCE\xB2\xCE\xB3 &amp; more</p>"
             "<form action=\"go.cgi\"><input name=\"q\" value=\"\" data-odd></form>"
             "<a href=\"#x\"><div id=\"d\">linked block</div></a>"
             "<table id=\"t\" border=\"1\"><tr><td id=\"c1\">one</td><td id=\"c2\">two</td></tr>"
             "<tr><td id=\"c3\">three</td><td id=\"c4\">four</td></tr></table></body></html>");
    W.FileManager->OpenFile(Docs / "k.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("c4"); }));
    const auto Saved = [&] { return QString::fromStdString(ReadAll(Docs / "k.html")); };
    // a key pressed on whatever has the keyboard focus, as the window system delivers it
    const auto Press = [&](int Key, Qt::KeyboardModifiers Mods = {}) { H.Key(Key, Mods); };

    // the caret moved by keys and clicks changes nothing
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    H.TypeInDesigner("");
    for (int Key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_Home}) Press(Key);
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c3")));
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    ASSERT_TRUE(WaitForFrames(H.D()));
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_EQ(W.StatusPanel(0)->text(), "");

    // a word typed and saved at once, again and again: every save holds every key
    PageSelectText(H.D(), "#p", 0, 0);
    H.TypeInDesigner("");
    QString Typed;
    int Incomplete = 0;
    for (int K = 0; K < 200; ++K) {
        const QString Word = QString("w") + QChar('a' + K % 26) + QChar('a' + K / 26) + "z";
        QTest::keyClicks(QApplication::focusWidget(), Word);
        Typed += Word;
        Press(Qt::Key_S, Qt::ControlModifier);
        Incomplete += !Saved().contains(Typed);
    }
    EXPECT_EQ(Incomplete, 0);
    // so does a view switch, and a save after the keyboard went elsewhere
    for (int K = 0; K < 20; ++K) {
        const QString Word = QString("v") + QChar('a' + K) + "z";
        QTest::keyClicks(QApplication::focusWidget(), Word);
        Typed += Word;
        if (K % 2) {
            H.Tab(CodeTab);
            Incomplete += !W.SourceEditor->text().contains(Typed);
            H.Tab(DesignerTab);
        } else {
            W.FontNameCombo->setFocus();
            H.F().MenuSave->trigger();
            Incomplete += !Saved().contains(Typed);
            H.D().setFocus();
        }
    }
    EXPECT_EQ(Incomplete, 0);
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains(Typed + "Hello"); }));
    ASSERT_TRUE(WaitForFrames(H.D()));
    EXPECT_FALSE(W.FileManager->Modified());

    // the clipboard keys copy and paste the page's own markup, never the engine's styling
    PageSelectText(H.D(), "b", 0, 5);
    Press(Qt::Key_C, Qt::ControlModifier);
    PageSelectText(H.D(), "#c1", 3, 3);
    Press(Qt::Key_V, Qt::ControlModifier);
    PageSelectText(H.D(), "#c2", 0, 3);
    Press(Qt::Key_Delete, Qt::ShiftModifier);  // cut
    ASSERT_TRUE(WaitFor([&] { return !H.Body().contains(">two<"); })) << H.Body().toStdString();
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c2")));
    Press(Qt::Key_Insert, Qt::ShiftModifier);  // paste
    PageSelectText(H.D(), "#c3", 0, 5);
    Press(Qt::Key_Insert, Qt::ControlModifier);  // copy
    Press(Qt::Key_X, Qt::ControlModifier);
    PageSelectText(H.D(), "#c4", 0, 0);
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("threefour"); })) << H.Body().toStdString();
    ASSERT_TRUE(WaitForFrames(H.D()));
    EXPECT_TRUE(W.FileManager->Modified());
    Press(Qt::Key_S, Qt::ControlModifier);
    const QString Clean = Saved();
    for (const char* Cell : {"<td id=\"c1\">oneworld</td>", "<td id=\"c2\">two</td>",
                             "<td id=\"c4\">threefour</td>", "<b style=\"color: red\">world</b>"})
        EXPECT_TRUE(Clean.contains(Cell)) << Cell << "\n" << Clean.toStdString();
    for (const char* Engine : {"rgb(", "font-family", "<span", "font-size"})
        EXPECT_FALSE(Clean.contains(Engine)) << Engine << "\n" << Clean.toStdString();

    // HTML dropped into the page is read as the page's own: its spelling stays, and it is one
    // undo step
    {
        QMimeData Dropped;
        Dropped.setHtml("<html><body><!--StartFragment--><font color=\"red\" data-k=\"\">caf&eacute; "
                        "&#x263A;</font><!--EndFragment--></body></html>");
        Dropped.setText("plain");
        // drops go to the view; the page fills it
        QWidget* Proxy = &H.D();
        PageEval(H.D(), "document.getElementById('c3').scrollIntoView()");
        const QPoint At = PageCentre(H.D(), "#c3");
        QDragEnterEvent Enter(At, Qt::CopyAction, &Dropped, Qt::LeftButton, {});
        QApplication::sendEvent(Proxy, &Enter);
        QDragMoveEvent Move(At, Qt::CopyAction, &Dropped, Qt::LeftButton, {});
        QApplication::sendEvent(Proxy, &Move);
        QDropEvent Drop(At, Qt::CopyAction, &Dropped, Qt::LeftButton, {});
        QApplication::sendEvent(Proxy, &Drop);
        ASSERT_TRUE(WaitFor([&] { return H.Body().contains("caf"); })) << H.Body().toStdString();
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(Saved().contains("<td id=\"c3\"><font color=\"red\" data-k>caf&eacute; &#x263A;</font></td>"))
            << Saved().toStdString();
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(WaitFor([&] { return !H.Body().contains("caf"); })) << H.Body().toStdString();
    }

    // Tab moves from cell to cell and stays in the last one; form fields take no typing
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c1")));
    PageSelectText(H.D(), "#c1", 0, 0);
    H.TypeInDesigner("");
    Press(Qt::Key_Tab);
    H.TypeInDesigner("A");
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    H.TypeInDesigner("B");
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    H.TypeInDesigner("C");
    EXPECT_TRUE(H.D().isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(PageEval(H.D(), "document.activeElement.localName").toString(), "body");
    EXPECT_EQ(PageEval(H.D(), "document.querySelector('input').value").toString(), "");
    // the next cell's content is selected: typing replaces it
    EXPECT_EQ(PageEval(H.D(), "document.getElementById('c2').textContent").toString(), "A");
    EXPECT_EQ(PageEval(H.D(), "document.getElementById('c3').textContent").toString(), "B");
    EXPECT_EQ(PageEval(H.D(), "document.getElementById('c4').textContent").toString(), "C");
    // Tab in the text goes on past the form field: it takes neither the focus nor the typing
    PageSelectText(H.D(), "#p", 0, 0);
    Press(Qt::Key_Tab);
    H.TypeInDesigner("D");
    EXPECT_EQ(PageEval(H.D(), "document.querySelector('input').value").toString(), "");
    EXPECT_TRUE(H.Body().contains("D<input")) << H.Body().toStdString();

    // a choice in a formatting box hands the keyboard back to the page
    PageSelectText(H.D(), "#d", 0, 0);
    H.TypeInDesigner("");
    W.UpdateControls();
    for (TCustomComboBox97* Box : {static_cast<TCustomComboBox97*>(W.BlockFormatCombo),
                                   static_cast<TCustomComboBox97*>(W.FontSizeCombo)}) {
        QTest::mouseClick(Box, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return Box->view()->isVisible(); }));
        QTest::keyClick(Box->view(), Qt::Key_Down);
        QTest::keyClick(Box->view(), Qt::Key_Return);
        ASSERT_TRUE(WaitFor([] { return !QApplication::activePopupWidget(); }));
        EXPECT_TRUE(H.D().isAncestorOf(QApplication::focusWidget())) << Box->objectName().toStdString();
    }
    const QString Block = W.BlockFormatCombo->currentText();
    QTest::keyClicks(QApplication::focusWidget(), "Fx");
    EXPECT_TRUE(WaitFor([&] { return H.Body().contains("Fx"); })) << H.Body().toStdString();
    EXPECT_EQ(W.BlockFormatCombo->currentText(), Block);

    // the Tag Tree view: edit keys change nothing there, and Find is not the design view's
    // a popup that closed leaves no window active offscreen
    QApplication::setActiveWindow(&W);
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(W.FileManager->Modified());
    H.Tab(TreeTab);
    ASSERT_TRUE(W.TagTree->TreeTag->hasFocus());
    Press(Qt::Key_X, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(W.FileManager->Modified());
    Press(Qt::Key_F3);
    QApplication::processEvents();
    for (QWidget* Top : QApplication::topLevelWidgets())
        EXPECT_FALSE(Top->isVisible() && qobject_cast<TFormFind*>(Top)) << "a find dialog showed";
    if (auto* Find = H.D().findChild<TFormFind*>()) {
        EXPECT_FALSE(Find->isVisible());
    }
    H.Tab(DesignerTab);
    EXPECT_FALSE(W.FileManager->Modified());
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, PageNamedAtStartIsEditedWithoutLoss)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    // a page as pages come: a comment beyond Latin-1 (so it saves in UTF-8), references,
    // empty and unknown attributes, a link around a block
    WriteAll(Docs / "start page.html",
             "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
             "<title>Start</title></head><body><!-- \xE6\xB3\xA8\xE9\x87\x88 -->"
             "<p id=\"p1\" class=\"\" data-x=\"y\">Caf&eacute; &amp; \xE6\xBC\xA2\xE5\xAD\x97</p>"
             "<a href=\"x.html\"><div>linked block</div></a><p id=\"p2\">second</p></body></html>");

    // named on the command line: a missing file gets the file manager's message, options are
    // skipped, a file URL opens its file
    W.OpenCommandLine({QString::fromStdString(Docs / "missing.html")});
    ASSERT_EQ(H.Ui.Errors.size(), 1u);
    EXPECT_NE(H.Ui.Errors[0].find("missing.html"), std::string::npos);
    W.OpenCommandLine({"--reverse", QUrl::fromLocalFile(QString::fromStdString(Docs / "start page.html")).toString()});
    ASSERT_TRUE(WaitFor([&] { return W.windowTitle() == "Zandovell - Start"; })) << W.windowTitle().toStdString();
    EXPECT_EQ(W.FileManager->FileName(), Docs / "start page.html");
    EXPECT_EQ(H.Ui.Errors.size(), 1u);
    // the block-format box shows the caret's block at once
    EXPECT_TRUE(WaitFor([&] { return W.BlockFormatCombo->currentIndex() >= 0; }));

    // a paragraph made a heading: the box and the status bar follow; it keeps its id, through
    // undo and redo
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p2")));
    EXPECT_TRUE(WaitFor([&] { return W.StatusPanel(1)->text() == "P"; })) << W.StatusPanel(1)->text().toStdString();
    EXPECT_EQ(W.BlockFormatCombo->currentText(), "Normal");
    QTest::mouseClick(W.BlockFormatCombo, Qt::LeftButton);
    QAbstractItemView* Popup = W.BlockFormatCombo->view();
    ASSERT_TRUE(WaitFor([&] { return Popup->isVisible(); }));
    for (int K = W.BlockFormatCombo->currentIndex(); K < W.BlockFormatCombo->findText("Heading 1"); ++K)
        QTest::keyClick(Popup, Qt::Key_Down);
    QTest::keyClick(Popup, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("<h1 id=\"p2\">second</h1>"); })) << H.Body().toStdString();
    EXPECT_EQ(W.StatusPanel(1)->text(), "H1");
    EXPECT_EQ(W.BlockFormatCombo->currentText(), "Heading 1");
    H.Click(F.BtnUndo);
    EXPECT_TRUE(H.Body().contains("<p id=\"p2\">second</p>")) << H.Body().toStdString();
    H.Click(F.BtnRedo);
    EXPECT_TRUE(H.Body().contains("<h1 id=\"p2\">second</h1>")) << H.Body().toStdString();

    // a text area from the palette keeps its text as typed, and so does one edited
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p2")));
    WhenModal([](QWidget* Dialog) {
        QTest::keyClicks(Dialog->findChild<QLineEdit*>("EditName"), "notes");
        auto* Memo = Dialog->findChild<QPlainTextEdit*>("MemoValue");
        QTest::keyClicks(Memo, "first");
        QTest::keyClick(Memo, Qt::Key_Return);
        QTest::keyClicks(Memo, "second & <b>");
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ClickTool(W, "Insert Text Area");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("textarea"); })) << H.Body().toStdString();
    // the HTML Code view shows the declarations the save writes, and the save writes it all
    QApplication::setActiveWindow(&W);  // a dialog that closed leaves none active offscreen
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    const std::string Saved = ReadAll(Docs / "start page.html");
    EXPECT_NE(Saved.find("<textarea name=\"notes\">first\r\nsecond &amp; &lt;b&gt;</textarea>"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("charset=UTF-8"), std::string::npos) << Saved;
    H.Tab(CodeTab);
    EXPECT_EQ(W.SourceEditor->text(), QString::fromUtf8(Saved.c_str()));
    EXPECT_FALSE(W.SourceEditor->text().contains("ISO-8859-1"));
    H.Tab(DesignerTab);
    WhenModal([](QWidget* Dialog) {
        auto* Memo = Dialog->findChild<QPlainTextEdit*>("MemoValue");
        EXPECT_EQ(Memo->toPlainText(), "first\nsecond & <b>");
        Memo->selectAll();
        QTest::keyClicks(Memo, "edited");
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const QPoint Area = PageCentre(H.D(), "textarea");
    PageDoubleClick(H.D(), Area);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains(">edited</textarea>"); })) << H.Body().toStdString();
    QApplication::setActiveWindow(&W);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    EXPECT_NE(ReadAll(Docs / "start page.html").find("<textarea name=\"notes\">edited</textarea>"), std::string::npos)
        << ReadAll(Docs / "start page.html");

    // a template with only a caret takes the whole body; undo brings the page back, redo the
    // template again
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p1")));
    PageSelectText(H.D(), "#p1", 2, 2);
    auto ChooseTemplate = [](QWidget* Chooser) {
        auto* List = Chooser->findChild<QListWidget*>("ListTemplates");
        ASSERT_TRUE(WaitFor([&] { return List->count() > 0; }));
        List->setCurrentRow(0);
        QTest::mouseClick(Chooser->findChild<QPushButton*>("ButtonOk"), Qt::LeftButton);
    };
    WhenModal(ChooseTemplate);
    F.MenuTemplates->trigger();
    EXPECT_TRUE(H.Ui.Errors.size() == 1u) << H.Ui.Errors.back();
    const QString Templated = H.Body();
    EXPECT_TRUE(Templated.contains("Written by")) << Templated.toStdString();
    for (const char* Kept : {"Caf", "linked block", "<h1 id=\"p2\">second", "edited</textarea>"})
        EXPECT_TRUE(Templated.contains(QString::fromUtf8(Kept))) << Kept << "\n" << Templated.toStdString();
    EXPECT_TRUE(W.FileManager->Modified());
    ASSERT_TRUE(F.BtnUndo->isEnabled());
    H.Click(F.BtnUndo);
    ASSERT_TRUE(WaitFor([&] { return !H.Body().contains("Written by"); })) << H.Body().toStdString();
    EXPECT_TRUE(H.Body().contains("id=\"p1\"")) << H.Body().toStdString();
    EXPECT_EQ(W.windowTitle(), "Zandovell - Start");
    ASSERT_TRUE(F.BtnRedo->isEnabled());
    H.Click(F.BtnRedo);
    ASSERT_TRUE(WaitFor([&] { return H.Body() == Templated; })) << H.Body().toStdString();
    H.Click(F.BtnUndo);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("id=\"p1\""); }));
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

namespace {

// A key that types Character, pressed and released on Target as a keyboard layout or a
// compose sequence delivers it: no key code, the text the character (beyond U+FFFF a
// surrogate pair).
void PressTextKey(QWidget* Target, char32_t Character)
{
    const QString Text = QString::fromUcs4(&Character, 1);
    QKeyEvent Down(QEvent::KeyPress, 0, Qt::NoModifier, Text);
    QApplication::sendEvent(Target, &Down);
    QKeyEvent Up(QEvent::KeyRelease, 0, Qt::NoModifier, Text);
    QApplication::sendEvent(Target, &Up);
}

}  // namespace

TEST(MainWindow, CharactersBeyondU_FFFFStayWholeWhereverTheyAreTyped)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "c.html", "<html><head><title>C</title></head><body><p id=\"p\">Hello</p>"
                              "<p id=\"q\">\xCE\xB1\xCE\xB2 &amp; more</p><!-- note --></body></html>");
    W.FileManager->OpenFile(Docs / "c.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Hello"); }));
    const auto Saved = [&] { return QString::fromUtf8(ReadAll(Docs / "c.html")); };
    const auto Text = [&](const QString& Id) {
        return PageEval(H.D(), "document.getElementById('" + Id + "').textContent").toString();
    };

    // a key and an input method's commit in the design view, each between plain keys
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    PageSelectText(H.D(), "#p", 5, 5);
    H.TypeInDesigner("");
    QWidget* Page = H.D().focusProxy();
    PressTextKey(Page, U'\U0001F600');
    H.TypeInDesigner("x");
    QInputMethodEvent Commit;
    Commit.setCommitString(QString::fromUcs4(U"\U0001F601\u00E9"));
    QApplication::sendEvent(Page, &Commit);
    H.TypeInDesigner("y");
    EXPECT_EQ(Text("p"), QString::fromUcs4(U"Hello\U0001F600x\U0001F601\u00E9y"));
    EXPECT_TRUE(W.FileManager->Modified());
    // the same key in the middle of non-Latin text
    PageSelectText(H.D(), "#q", 1, 1);
    H.TypeInDesigner("");
    PressTextKey(Page, U'\U00020BB7');
    H.TypeInDesigner("z");
    EXPECT_EQ(Text("q"), QString::fromUcs4(U"\u03B1\U00020BB7z\u03B2 & more"));
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const QString First = Saved();
    EXPECT_TRUE(First.contains("<p id=\"p\">Hello&#x1F600;x&#x1F601;&eacute;y</p>")) << First.toStdString();
    EXPECT_TRUE(First.contains("<p id=\"q\">&alpha;&#x20BB7;z&beta; &amp; more</p>")) << First.toStdString();

    // a dialog's field: the page title
    WhenModal([](QWidget* Dialog) {
        auto* Title = Dialog->findChild<QLineEdit*>("EditTitle");
        Title->selectAll();
        QTest::keyClicks(Title, "Smile ");
        PressTextKey(Title, U'\U0001F602');
        Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    H.F().MenuPageProperties->trigger();
    // the HTML Code view: a key in a comment, written as itself in a page saved as UTF-8
    QApplication::setActiveWindow(&W);  // a dialog that closed leaves no window active offscreen
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    ASSERT_TRUE(Code->hasFocus());
    ASSERT_TRUE(Code->findFirst("note", false, true, false, false));
    PressTextKey(Code, U'\U0001F603');
    EXPECT_TRUE(Code->text().contains(QString::fromUcs4(U"<!-- \U0001F603 -->"))) << Code->text().toStdString();
    H.Tab(DesignerTab);
    EXPECT_EQ(Text("p"), QString::fromUcs4(U"Hello\U0001F600x\U0001F601\u00E9y"));
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const QString Second = Saved();
    for (const char32_t* Kept : {U"<title>Smile &#x1F602;</title>", U"<!-- \U0001F603 -->",
                                 U"Hello&#x1F600;x&#x1F601;&eacute;y</p>", U"&alpha;&#x20BB7;z&beta; &amp; more"})
        EXPECT_TRUE(Second.contains(QString::fromUcs4(Kept))) << Second.toStdString();
    // never half a character, never a reference to one
    for (const char* Cut : {"&#xF60", "&#xD8", "&#xDE", "&#55357;", "\xEF\xBF\xBD"})
        EXPECT_FALSE(Second.contains(QString::fromUtf8(Cut))) << Cut << "\n" << Second.toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, NamedAnchorsShowTheirTextBehindTheirPicture)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "a.html",
             "<html><head><title>Anchors</title></head><body>"
             "<h1><a name=\"top\">Media page</a></h1>"
             "<p id=\"p\">Some <a name=\"n2\" title=\"\" data-k>named words</a> here</p>"
             "<p><a href=\"x.html\" name=\"both\">link with name</a></p>"
             "<p id=\"e\">Empty<a name=\"empty\"></a> anchor</p>"
             "<dl><dt><a name=\"term\" id=\"term\">Gr\xC3\xBC\xC3\x9F" "e &amp; \xCE\xB1\xCE\xB2</a></dt><dd>a term</dd></dl>"
             "</body></html>");
    W.FileManager->OpenFile(Docs / "a.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("a term"); }));
    const auto Saved = [&] { return QString::fromStdString(ReadAll(Docs / "a.html")); };
    const auto Shown = [&](const QString& Selector) {
        return PageEval(H.D(), "(function(){ const e = document.querySelector('" + Selector +
                                   "'); const r = e.getBoundingClientRect(); return e.innerText + '|' +"
                                   " (r.width > 0 && r.height > 0); })()")
            .toString();
    };
    // every anchor's text shows, after one picture of its own
    EXPECT_EQ(Shown("h1"), "Media page|true");
    EXPECT_EQ(Shown("#p"), "Some named words here|true");
    EXPECT_EQ(Shown("a[href]"), "link with name|true");
    EXPECT_EQ(Shown("dt"), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e & \xCE\xB1\xCE\xB2|true"));
    EXPECT_EQ(PageEval(H.D(), "document.querySelectorAll('img[src=\"edit:anchor.gif\"]').length").toInt(), 5);
    EXPECT_EQ(PageEval(H.D(), "document.querySelector('h1 a').firstChild.localName").toString(), "img");
    WaitFor([&] { return PageEval(H.D(), "[...document.images].every(i => i.complete && i.naturalWidth > 0)").toBool(); });
    H.Shot("anchors");

    // the anchor's text is edited like any other
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p a")));
    PageEval(H.D(), "(function(){ const t = document.querySelector('#p a').lastChild; const r = document.createRange();"
                    " r.setStart(t, 5); r.collapse(true); getSelection().removeAllRanges(); getSelection().addRange(r); })()");
    H.TypeInDesigner("ly");
    EXPECT_EQ(Shown("#p"), "Some namedly words here|true");
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const QString First = Saved();
    for (const char* Kept : {"<h1><a name=\"top\">Media page</a></h1>",
                             "<p id=\"p\">Some <a name=\"n2\" title=\"\" data-k>namedly words</a> here</p>",
                             "<a href=\"x.html\" name=\"both\">link with name</a>",
                             "Empty<a name=\"empty\"></a> anchor",
                             "<a name=\"term\" id=\"term\">Gr&uuml;&szlig;e &amp; &alpha;&beta;</a>"})
        EXPECT_TRUE(First.contains(Kept)) << Kept << "\n" << First.toStdString();
    EXPECT_FALSE(First.contains("anchor.gif")) << First.toStdString();

    // a double click on the picture opens the anchor's dialog; its name goes to the anchor
    // around the text, twice in a row
    for (const char* Name : {"head", "head2"}) {
        bool Asked = false;
        WhenModal([&](QWidget* Dialog) {
            auto* Edit = Dialog->findChild<QLineEdit*>("EditName");
            ASSERT_NE(Edit, nullptr);
            Asked = true;
            Edit->selectAll();
            QTest::keyClicks(Edit, Name);
            Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        PageDoubleClick(H.D(), PageCentre(H.D(), "h1 img"));
        ASSERT_TRUE(WaitFor([&] { return Asked && !QApplication::activeModalWidget(); }));
        EXPECT_EQ(Shown("h1"), "Media page|true");
    }
    // the code view and the tree show the anchor as it is saved
    const auto [Code, Tree] = OtherViews(H);
    EXPECT_TRUE(Code.contains("<h1><a name=\"head2\">Media page</a></h1>")) << Code.toStdString();
    EXPECT_TRUE(Tree.contains("<h1><a name=\"head2\">Media page</a></h1>")) << Tree.toStdString();
    EXPECT_EQ(Shown("h1"), "Media page|true");
    // a dialog that closed leaves no window active offscreen
    QApplication::setActiveWindow(&W);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Saved().contains("<h1><a name=\"head2\">Media page</a></h1>")) << Saved().toStdString();
    EXPECT_FALSE(Saved().contains("anchor.gif")) << Saved().toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, EntityPaletteInsertsOnADoubleClickAndHandsTheKeyboardBack)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "e.html", "<html><head><title>E</title></head><body>"
                              "<p id=\"p\" class=\"\">Hello \xCF\x89orld</p></body></html>");
    W.FileManager->OpenFile(Docs / "e.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Hello"); }));
    QWidget* Palette = W.EntityView->viewport();
    const auto Cell = [&](int Index) { return W.EntityView->ItemRect(Index).center(); };
    const auto Text = [&] { return PageEval(H.D(), "document.getElementById('p').textContent").toString(); };
    // keys typed where the keyboard is, once the page has it as well as the widget
    const auto Typed = [&](const QString& Keys, const QString& Expected) {
        EXPECT_TRUE(H.D().isAncestorOf(QApplication::focusWidget()));
        EXPECT_TRUE(WaitFor([&] { return PageEval(H.D(), "document.hasFocus()").toBool(); }));
        QTest::keyClicks(QApplication::focusWidget(), Keys);
        return WaitFor([&] { return Text() == Expected; });
    };

    // a double click as a test tool sends it (the double click alone): one entity at the
    // caret, and the next keys go to the page
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    PageSelectText(H.D(), "#p", 2, 2);
    H.TypeInDesigner("");
    QTest::mouseDClick(Palette, Qt::LeftButton, {}, Cell(1));  // &copy;
    EXPECT_TRUE(Typed("ab", QString::fromUtf8("He\xC2\xA9" "abllo \xCF\x89orld"))) << Text().toStdString();
    EXPECT_TRUE(W.FileManager->Modified());
    // as the window system sends it (press, release, press, double click, release): one entity
    QTest::mousePress(Palette, Qt::LeftButton, {}, Cell(2));  // &reg;
    QTest::mouseRelease(Palette, Qt::LeftButton, {}, Cell(2));
    QTest::mousePress(Palette, Qt::LeftButton, {}, Cell(2));
    QTest::mouseDClick(Palette, Qt::LeftButton, {}, Cell(2));
    QTest::mouseRelease(Palette, Qt::LeftButton, {}, Cell(2));
    EXPECT_TRUE(Typed("c", QString::fromUtf8("He\xC2\xA9" "ab\xC2\xAE" "cllo \xCF\x89orld"))) << Text().toStdString();
    // a click selects, Enter chooses; the keyboard comes back all the same
    QTest::mouseClick(Palette, Qt::LeftButton, {}, Cell(3));  // &trade;
    EXPECT_EQ(Text(), QString::fromUtf8("He\xC2\xA9" "ab\xC2\xAE" "cllo \xCF\x89orld"));
    QTest::keyClick(W.EntityView, Qt::Key_Return);
    EXPECT_TRUE(Typed("d", QString::fromUtf8("He\xC2\xA9" "ab\xC2\xAE" "c\xE2\x84\xA2" "dllo \xCF\x89orld"))) << Text().toStdString();
    // a click selects; the palette keeps its keys that move, and Space chooses; the letters,
    // digits and Backspace typed next go on to the page, at its caret, each to where the
    // keyboard is
    const auto KeysToFocus = [](const std::vector<int>& Keys) {
        for (int K : Keys) QTest::keyClick(QApplication::focusWidget(), Qt::Key(K));
    };
    QTest::mouseClick(Palette, Qt::LeftButton, {}, Cell(5));
    ASSERT_EQ(QApplication::focusWidget(), W.EntityView);
    const int Row = (6 + W.EntityView->Columns) / W.EntityView->Columns * W.EntityView->Columns;
    for (const auto& [Key, Index] : std::initializer_list<std::pair<int, int>>{
             {Qt::Key_Right, 6}, {Qt::Key_Down, 6 + W.EntityView->Columns}, {Qt::Key_Home, Row},
             {Qt::Key_End, Row + W.EntityView->Columns - 1}, {Qt::Key_PageDown, Row + W.EntityView->Columns - 1},
             {Qt::Key_Up, Row - 1}, {Qt::Key_Left, Row - 2}, {Qt::Key_PageUp, Row - 2}}) {
        KeysToFocus({Key});
        EXPECT_EQ(W.EntityView->ItemIndex(), Index) << Key;
        EXPECT_EQ(QApplication::focusWidget(), W.EntityView) << Key;
    }
    QTest::mouseClick(Palette, Qt::LeftButton, {}, Cell(1));  // &copy;
    KeysToFocus({Qt::Key_Space});
    EXPECT_TRUE(WaitFor([&] { return Text().contains(QString::fromUtf8("d\xC2\xA9" "llo")); })) << Text().toStdString();
    QTest::mouseClick(Palette, Qt::LeftButton, {}, Cell(3));
    KeysToFocus({Qt::Key_E, Qt::Key_2, Qt::Key_X, Qt::Key_Backspace, Qt::Key_F});
    EXPECT_TRUE(WaitFor([&] {
        return Text() == QString::fromUtf8("He\xC2\xA9" "ab\xC2\xAE" "c\xE2\x84\xA2" "d\xC2\xA9" "e2fllo \xCF\x89orld");
    })) << Text().toStdString();
    EXPECT_TRUE(H.D().isAncestorOf(QApplication::focusWidget()));
    H.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QString::fromStdString(ReadAll(Docs / "e.html"))
                    .contains("<p id=\"p\" class=\"\">He&copy;ab&reg;c&trade;d&copy;e2fllo &omega;orld</p>"))
        << ReadAll(Docs / "e.html");

    // in the HTML Code view a double click replaces the selection, and typing goes on there
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    ASSERT_TRUE(Code->findFirst("llo", false, true, false, true));
    QTest::mouseDClick(Palette, Qt::LeftButton, {}, Cell(4));  // &cent;
    EXPECT_EQ(QApplication::focusWidget(), Code);
    QTest::keyClicks(QApplication::focusWidget(), "!");
    // there too a click on the palette leaves the next letters to the view
    QTest::mouseClick(Palette, Qt::LeftButton, {}, Cell(5));
    KeysToFocus({Qt::Key_Q, Qt::Key_R});
    EXPECT_EQ(QApplication::focusWidget(), Code);
    EXPECT_TRUE(Code->text().contains("e2f&cent;!qr &omega;orld"))
        << Code->text().toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, DesignViewMenuFromTheMouseAndTheKeysLinksAndUnlinksInOneStep)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "m.html", "<html><head><title>M</title></head><body>\n"
                              "<p id=\"p\">See <a id=\"l\" href=\"x.html?a=1&amp;b=2\" title=\"T\">the <b>bold</b> "
                              "link \xC3\xBC</a> here.</p>\n<p id=\"q\">Plain words to link</p>\n</body></html>\n");
    W.FileManager->OpenFile(Docs / "m.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Plain"); }));
    auto* Menu = W.findChild<QMenu*>("PopupDesign");
    ASSERT_NE(Menu, nullptr);
    const auto Paragraph = [&] { return PageEval(H.D(), "document.getElementById('p').innerHTML").toString(); };
    const QString Linked = Paragraph();
    const QString Unlinked = QString::fromUtf8("See the <b>bold</b> link \xC3\xBC here.");
    // the middle of an element of the page, in the window
    const auto At = [&](const QString& Selector) { return H.D().focusProxy()->mapTo(&W, PageCentre(H.D(), Selector)); };
    int Shown = 0;
    QObject::connect(Menu, &QMenu::aboutToShow, [&] { ++Shown; });
    const auto Choose = [&](QAction* Entry) {
        EXPECT_TRUE(WaitForFrames(H.D()));   // whatever else the page sent has come by now
        EXPECT_EQ(Shown, 1);
        Shown = 0;
        EXPECT_TRUE(Entry->isEnabled());
        QTest::mouseClick(Menu, Qt::LeftButton, {}, Menu->actionGeometry(Entry).center());
        EXPECT_TRUE(WaitFor([&] { return !Menu->isVisible(); }));
        QApplication::setActiveWindow(&W);  // a closed menu leaves no window active offscreen
    };

    // a right click on the link's bold word as the window system sends it (the press, the
    // context menu event, the release), the caret being elsewhere: the menu at the pointer
    H.TypeInDesigner("");
    PageSelectText(H.D(), "#q", 2, 2);
    QTest::mouseClick(W.windowHandle(), Qt::RightButton, {}, At("#l b"));
    ASSERT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
    EXPECT_LE((Menu->pos() - W.mapToGlobal(At("#l b"))).manhattanLength(), 2);
    EXPECT_EQ(Menu->actions(), (QList<QAction*>{F.PopupLink, F.PopupUnlink}));
    EXPECT_EQ(F.PopupUnlink->text(), "&Unlink");
    H.Shot("popup-menu", Menu);
    // Unlink takes the link off the words it held, which stay
    Choose(F.PopupUnlink);
    EXPECT_EQ(Paragraph(), Unlinked);
    EXPECT_TRUE(W.FileManager->Modified());
    // as one step, that the keys take back and give again, exactly
    H.TypeInDesigner("");
    for (int K = 0; K < 2; ++K) {
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(WaitFor([&] { return Paragraph() == Linked; })) << Paragraph().toStdString();
        H.Key(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
        EXPECT_TRUE(WaitFor([&] { return Paragraph() == Unlinked; })) << Paragraph().toStdString();
    }
    EXPECT_FALSE(H.F().BtnRedo->isEnabled());
    // Unlink where there is no link changes nothing and leaves no step
    const int Steps = H.D().UndoIndex();
    QTest::mouseClick(W.windowHandle(), Qt::RightButton, {}, At("#p b"));
    ASSERT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
    Choose(F.PopupUnlink);
    EXPECT_EQ(Paragraph(), Unlinked);
    EXPECT_EQ(H.D().UndoIndex(), Steps);

    // the context menu key, with words selected: Link asks for the address and links them
    H.TypeInDesigner("");
    PageSelectText(H.D(), "#q", 0, 11);
    QString Offered;
    {
        TModalAnswer Address([&](QWidget* Dialog) {
            auto* Url = Dialog->findChild<QLineEdit*>("EditUrl");
            ASSERT_NE(Url, nullptr);
            Offered = Url->text();
            QTest::keyClicks(Url, "y.html");
            QTest::keyClick(Url, Qt::Key_Return);
        });
        // as the window system sends it: the keyboard's context menu event, then the key
        QWidget* Proxy = H.D().focusProxy();
        const QPoint Caret = Proxy->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent Request(QContextMenuEvent::Keyboard, Caret, Proxy->mapToGlobal(Caret));
        QApplication::sendEvent(Proxy, &Request);
        QTest::keyClick(W.windowHandle(), Qt::Key_Menu);
        ASSERT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
        Choose(F.PopupLink);
        ASSERT_TRUE(WaitFor([&] { return Address.Seen; }));
    }
    EXPECT_EQ(Offered, "http://");
    EXPECT_TRUE(WaitFor([&] { return H.Body().contains("<a href=\"y.html\">Plain words</a> to link"); }))
        << H.Body().toStdString();
    // words with no link among them: Unlink changes nothing and leaves no step
    H.TypeInDesigner("");
    PageSelectText(H.D(), "#p", 0, 3);
    H.D().CanUndo();
    const int Linked2 = H.D().UndoIndex();
    const QString Before = H.Body();
    QTest::keyClick(W.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
    Choose(F.PopupUnlink);
    EXPECT_EQ(H.Body().toStdString(), Before.toStdString());
    H.D().CanUndo();
    EXPECT_EQ(H.D().UndoIndex(), Linked2);
    // Shift+F10 opens it too; Escape closes it, and the keys go on into the page
    H.TypeInDesigner("");
    PageSelectText(H.D(), "#p", 0, 0);
    QTest::keyClick(W.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
    QTest::keyClick(Menu, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !Menu->isVisible(); }));
    QApplication::setActiveWindow(&W);
    EXPECT_EQ(QApplication::focusWidget(), H.D().focusProxy());
    H.TypeInDesigner("Z");
    EXPECT_TRUE(WaitFor([&] { return Paragraph() == "Z" + Unlinked; })) << Paragraph().toStdString();

    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    const std::string Saved = ReadAll(Docs / "m.html");
    EXPECT_NE(Saved.find("<p id=\"p\">ZSee the <b>bold</b> link &uuml; here.</p>"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<p id=\"q\"><a href=\"y.html\">Plain words</a> to link</p>"), std::string::npos) << Saved;
    EXPECT_TRUE(H.Ui.Errors.empty());
}

TEST(MainWindow, UndoFollowsTheViewShownAndFindTakesThePlatformKey)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "u.html", "<html><head><title>U</title></head><body>"
                              "<p id=\"p\">Hello \xCE\xB1\xCE\xB2</p></body></html>");
    W.FileManager->OpenFile(Docs / "u.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Hello"); }));
    const auto Text = [&] { return PageEval(H.D(), "document.getElementById('p').textContent").toString(); };
    // Undo and Redo as the Edit menu shows them
    const auto MenuShows = [&](QAction* Action) {
        emit F.MenuEdit->aboutToShow();
        const bool Enabled = Action->isEnabled();
        emit F.MenuEdit->aboutToHide();
        return Enabled;
    };

    // typing, then a visit to the HTML Code view that changes nothing: the typing can still be
    // undone and redone in the design view, from the keys, the menu and the buttons
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#p")));
    PageSelectText(H.D(), "#p", 5, 5);
    H.TypeInDesigner(" there");
    ASSERT_EQ(Text(), QString::fromUtf8("Hello there \xCE\xB1\xCE\xB2"));
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    H.Tab(CodeTab);
    EXPECT_TRUE(W.SourceEditor->text().contains("Hello there &alpha;&beta;"));
    EXPECT_FALSE(F.BtnUndo->isEnabled());  // nothing typed in this view yet
    EXPECT_FALSE(MenuShows(F.MenuUndo));
    H.Tab(DesignerTab);
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    EXPECT_TRUE(MenuShows(F.MenuUndo));
    EXPECT_FALSE(F.BtnRedo->isEnabled());
    H.TypeInDesigner("");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return Text() == QString::fromUtf8("Hello \xCE\xB1\xCE\xB2"); })) << Text().toStdString();
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    EXPECT_TRUE(MenuShows(F.MenuRedo));
    H.Click(F.BtnRedo);
    EXPECT_TRUE(WaitFor([&] { return Text() == QString::fromUtf8("Hello there \xCE\xB1\xCE\xB2"); })) << Text().toStdString();
    // a second visit, where a key typed is taken back, and the menu's Undo
    H.Tab(CodeTab);
    QTest::keyClicks(W.SourceEditor, "x");
    QTest::keyClick(W.SourceEditor, Qt::Key_Backspace);
    H.Tab(DesignerTab);
    EXPECT_TRUE(MenuShows(F.MenuUndo));
    F.MenuUndo->trigger();
    EXPECT_TRUE(WaitFor([&] { return Text() == QString::fromUtf8("Hello \xCE\xB1\xCE\xB2"); })) << Text().toStdString();

    // in the HTML Code view the menu and the button follow that view's own typing
    H.Tab(CodeTab);
    QsciScintilla* Code = W.SourceEditor;
    ASSERT_TRUE(Code->findFirst("Hello", false, true, false, true));
    QTest::keyClick(Code, Qt::Key_Right);
    QTest::keyClicks(Code, " you");
    EXPECT_TRUE(Code->text().contains("<p id=\"p\">Hello you &alpha;&beta;</p>")) << Code->text().toStdString();
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    EXPECT_TRUE(MenuShows(F.MenuUndo));
    EXPECT_FALSE(MenuShows(F.MenuRedo));
    H.Click(F.BtnUndo);
    EXPECT_TRUE(Code->text().contains("<p id=\"p\">Hello &alpha;&beta;</p>")) << Code->text().toStdString();
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    EXPECT_TRUE(MenuShows(F.MenuRedo));
    F.MenuRedo->trigger();
    EXPECT_TRUE(Code->text().contains("<p id=\"p\">Hello you &alpha;&beta;</p>")) << Code->text().toStdString();
    // a save from this view loads the page behind it; the view's own undo goes on meanwhile
    H.Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QString::fromStdString(ReadAll(Docs / "u.html")).contains("Hello you &alpha;&beta;"));
    QTest::keyClick(Code, Qt::Key_Home);
    QTest::keyClicks(Code, "!");
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    EXPECT_TRUE(MenuShows(F.MenuUndo));
    QTest::keyClick(Code, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Code->text().contains("<p id=\"p\">Hello you &alpha;&beta;</p>")) << Code->text().toStdString();
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    // the change goes to the design view
    H.Tab(DesignerTab);
    EXPECT_TRUE(WaitFor([&] { return Text() == QString::fromUtf8("Hello you \xCE\xB1\xCE\xB2"); })) << Text().toStdString();

    // Ctrl+F finds, in the view it was pressed in; F3 as well
    const auto FindDialog = [&]() -> TFormFind* {
        for (TFormFind* Find : W.findChildren<TFormFind*>())
            if (Find->isVisible()) return Find;
        return nullptr;
    };
    H.TypeInDesigner("");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return FindDialog() != nullptr; }));
    TFormFind* Find = FindDialog();
    EXPECT_EQ(Find->parentWidget(), &H.D());
    QApplication::setActiveWindow(Find);  // as the window manager does with a new window
    PressTextKey(QApplication::focusWidget(), U'\u03B2');
    EXPECT_EQ(Find->FindText(), QString::fromUtf8("\xCE\xB2"));
    EXPECT_TRUE(Find->FindNext());
    EXPECT_EQ(PageEval(H.D(), "getSelection().toString()").toString(), QString::fromUtf8("\xCE\xB2"));
    Find->hide();
    QApplication::setActiveWindow(&W);
    H.Tab(CodeTab);
    QTest::keyClick(Code, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return FindDialog() != nullptr; }));
    EXPECT_EQ(FindDialog()->parentWidget(), &W);
    FindDialog()->hide();
    QApplication::setActiveWindow(&W);
    Code->setFocus();
    QTest::keyClick(Code, Qt::Key_F3);
    EXPECT_TRUE(WaitFor([&] { return FindDialog() != nullptr; }));
    FindDialog()->hide();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}

TEST(MainWindow, ElementDialogsStartFreshAndAnUnchangedOkLeavesNoStep)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    // empty values, unknown and bare attributes, a named anchor beside the field
    WriteAll(Docs / "fields.html",
             "<html><head><title>Fields</title></head><body>"
             "<form action=\"go.php\"><p id=\"p\">Find <input id=\"t\" type=\"text\" name=\"q\" value=\"\" size=\"\" "
             "data-x=\"1\" foo> here</p></form><p><a name=\"top\"></a>Top &amp; tail</p>"
             "<table border=\"1\"><tr><td id=\"c\">cell one</td><td>two</td></tr></table>"
             "<p id=\"ip\">A picture <img src=\"a.gif\" width=\"40\" height=\"40\"></p></body></html>");
    H.Ui.OpenNames.push_back(Docs / "fields.html");
    H.Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return W.windowTitle() == "Zandovell - Fields"; }));
    ASSERT_FALSE(W.FileManager->Modified());
    const QString Loaded = H.Body();
    // the widget that has the keyboard
    const auto Focus = [] {
        const QWidget* W = QApplication::focusWidget();
        return W ? QString(W->metaObject()->className()) + ' ' + W->objectName() : QString("none");
    };

    // a dialog opens as one of the main window, at its natural size, on the screen
    const auto Natural = [&](QWidget* Dialog) {
        EXPECT_EQ(Dialog->size(), Dialog->sizeHint());
        EXPECT_TRUE(Dialog->screen()->availableGeometry().contains(Dialog->frameGeometry())) << Dialog->frameGeometry().y();
        ASSERT_TRUE(Dialog->windowHandle());
        EXPECT_EQ(Dialog->windowHandle()->transientParent(), W.windowHandle());
    };
    // opened by a double click, or by a click into the table and the Tables menu
    const auto DoubleClick = [&](const char* Selector) {
        ASSERT_TRUE(WaitForFrames(H.D()));
        PageDoubleClick(H.D(), PageCentre(H.D(), Selector));
    };
    const auto TableProperties = [&](const char* Selector) {
        ASSERT_TRUE(WaitForFrames(H.D()));
        QApplication::setActiveWindow(&W);
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), Selector)));
        H.Choose(H.OpenMenu(H.F().MenuTables), H.F().MenuTableProperties);
    };

    // Each element's dialog opened twice: the first time closed with OK by the mouse,
    // unchanged; the second time typed into where the keyboard is, as a person does. The
    // dialogs with tabs start in the first field of their first page too.
    const struct {
        const char* Selector;
        std::function<void(const char*)> Open;
        const char* Field;
        const char* Typed;
        const char* After;
    } Cases[] = {{"#t", DoubleClick, "QLineEdit EditName", "new value", "name=\"new value\""},
                 {"img[src=\"edit:anchor.gif\"]", DoubleClick, "QLineEdit EditName", "chapter 2", "name=\"chapter 2\""},
                 {"#c", DoubleClick, "QComboBox ComboAlign", "right", "<td id=\"c\" align=\"right\">"},
                 {"#c", TableProperties, "QComboBox ComboAlign", "center", "<table border=\"1\" align=\"center\">"},
                 {"#ip img", DoubleClick, "QLineEdit EditSrc", "b.gif", "src=\"b.gif\""}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.After);
        const size_t Steps = H.D().UndoList().size();
        const int Done = H.D().UndoIndex();
        QString FirstFocus;
        // the window system makes a dialog that opens the active window
        WhenModal([&](QWidget* Dialog) {
            QApplication::setActiveWindow(Dialog);
            FirstFocus = Focus();
            Natural(Dialog);
            Dialog->grab().save(QString("/tmp/zv-mainwin-dialog-%1.png").arg(Dialog->objectName()));
            QTest::mouseClick(Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        C.Open(C.Selector);
        ASSERT_TRUE(WaitFor([&] { return !FirstFocus.isNull(); }));
        EXPECT_EQ(FirstFocus.toStdString(), C.Field);
        // nothing changed: no step to undo, the redo kept, the document not modified, the page
        // as loaded
        EXPECT_EQ(H.D().UndoList().size(), Steps);
        EXPECT_EQ(H.D().UndoIndex(), Done);
        EXPECT_FALSE(W.FileManager->Modified());
        EXPECT_EQ(H.Body(), Loaded);

        QString SecondFocus;
        WhenModal([&](QWidget* Dialog) {
            QApplication::setActiveWindow(Dialog);
            SecondFocus = Focus();
            Natural(Dialog);
            ASSERT_TRUE(QApplication::focusWidget());
            QTest::keyClicks(QApplication::focusWidget(), C.Typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        C.Open(C.Selector);
        const auto Source = [&] { return QString::fromStdU16String(H.D().GetHtml()); };
        ASSERT_TRUE(WaitFor([&] { return Source().contains(C.After); })) << Source().toStdString();
        EXPECT_EQ(SecondFocus, FirstFocus);
        EXPECT_TRUE(H.Body().contains("<input id=\"t\" type=\"text\"")) << H.Body().toStdString();
        ASSERT_EQ(H.D().UndoIndex(), Done + 1);
        EXPECT_EQ(H.D().UndoList()[Done + 1].Name, "Edit");
        EXPECT_TRUE(W.FileManager->Modified());
        // one undo takes the change back
        QApplication::setActiveWindow(&W);
        H.D().focusProxy()->setFocus();
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([&] { return !Source().contains(C.After); })) << Source().toStdString();
        H.Key(Qt::Key_S, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    }
    // the page properties, opened from the menu with nothing changed, write nothing either
    const size_t Steps = H.D().UndoList().size();
    WhenModal([](QWidget* Dialog) {
        QTest::mouseClick(Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    H.F().MenuPageProperties->trigger();
    EXPECT_EQ(H.D().UndoList().size(), Steps);
    EXPECT_FALSE(W.FileManager->Modified());
    EXPECT_EQ(ReadAll(Docs / "fields.html").find("Generator"), std::string::npos);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(W.close());
}
