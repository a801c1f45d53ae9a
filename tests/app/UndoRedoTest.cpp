// Undo and Redo in the main window, with the keys a person presses: each action taken back and
// given again must leave exactly the page it made, whichever view it was made in.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <Qsci/qsciscintilla.h>

#include "MainWindowHost.h"
#include "Streams.h"
#include "TagTreeModel.h"
#include "TagTreeView.h"
#include "support/WaitFor.h"

using namespace zv;
using namespace zv::test;

namespace {

// Presses OK in the next modal dialog, after setting the named fields.
void OkInNextDialog(std::vector<std::pair<const char*, QString>> Fields = {})
{
    WhenModal([Fields](QWidget* Dialog) {
        for (const auto& [Name, Value] : Fields)
            if (auto* Edit = Dialog->findChild<QLineEdit*>(Name)) Edit->setText(Value);
        QTest::mouseClick(Dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
}

const char* const Page =
    "<html><head><title>Undo</title></head><body>\n"
    "<p id=\"s\">One two <b>three</b> four <i>five</i> six.</p>\n"
    "<p id=\"t\" data-x=\"\">Table goes <em>in here</em> between &amp; words.</p>\n"
    "<ol>\n<li><p>Alpha one two three four five six <code>CODE</code> seven eight nine.</p></li>\n"
    "<li><p>Bravo ten <a href=\"b.html\">eleven</a> twelve.</p></li>\n"
    "<li><p>Charlie \xCE\xB1\xCE\xB2 thirteen.</p></li>\n</ol>\n"
    "<p id=\"n\">Some <a name=\"n2\" title=\"\" data-k>named words</a> here</p>\n"
    "<p>Last words of the page.</p>\n"
    "</body></html>";

}  // namespace

TEST(UndoRedo, RedoGivesBackExactlyWhatEachActionMade)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "u.html", Page);
    W.FileManager->OpenFile(Docs / "u.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Last words"); }));
    const auto Saved = [&] {
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString::fromStdString(ReadAll(Docs / "u.html"));
    };
    const auto ClickAt = [&](const QString& Text, int Offset) {
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, Offset)));
        H.TypeInDesigner("");
    };
    // the page after each action; each is taken back and given again at once
    std::vector<QString> Pages{H.Body()};
    const auto Step = [&](const char* What, const std::function<void()>& Act) {
        const QString Before = H.Body();
        Act();
        const QString After = H.Body();
        EXPECT_NE(After, Before) << What;
        QApplication::setActiveWindow(&W);  // a dialog that closed leaves none active offscreen
        H.TypeInDesigner("");
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(H.Body().toStdString(), Before.toStdString()) << What;
        H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(H.Body().toStdString(), After.toStdString()) << What;
        Pages.push_back(After);
    };

    // a rule from the palette, in the middle of a paragraph: it splits the paragraph
    Step("rule", [&] {
        ASSERT_NO_FATAL_FAILURE(ClickAt("One two", 3));
        OkInNextDialog();
        ClickTool(W, "Insert Horizontal Rule");
        ASSERT_TRUE(WaitFor([&] { return H.Body().contains("<hr"); }));
    });
    // a table inside emphasised words
    Step("table", [&] {
        ASSERT_NO_FATAL_FAILURE(ClickAt("in here", 3));
        OkInNextDialog({{"EditRows", "2"}, {"EditCols", "2"}});
        ClickTool(W, "Insert Table");
        ASSERT_TRUE(WaitFor([&] { return H.Body().contains("<table"); }));
    });
    // list items pasted into the text of an item
    ASSERT_NO_FATAL_FAILURE(ClickAt("Bravo", 2));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    QApplication::clipboard()->clear();
    H.Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([] { return QApplication::clipboard()->mimeData()->hasHtml(); }));
    Step("paste", [&] {
        ASSERT_NO_FATAL_FAILURE(ClickAt("Alpha one two three", 19));
        H.Key(Qt::Key_V, Qt::ControlModifier);
    });
    Step("typing", [&] {
        ASSERT_NO_FATAL_FAILURE(ClickAt("Last words", 4));
        H.TypeInDesigner(" typed &");
    });
    // a named anchor's picture clicked and deleted: the anchor goes, its words stay
    Step("anchor", [&] {
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#n img")));
        H.Key(Qt::Key_Delete);
        ASSERT_TRUE(WaitFor([&] { return !H.Body().contains("n2"); })) << H.Body().toStdString();
    });
    EXPECT_TRUE(H.Body().contains("Some named words here")) << H.Body().toStdString();

    // all of it taken back and given again, one step at a time
    for (size_t K = Pages.size() - 1; K > 0; --K) {
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(H.Body().toStdString(), Pages[K - 1].toStdString()) << K;
    }
    EXPECT_FALSE(H.F().BtnUndo->isEnabled());
    for (size_t K = 1; K < Pages.size(); ++K) {
        H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(H.Body().toStdString(), Pages[K].toStdString()) << K;
    }
    const QString After = Saved();
    for (const char* Kept : {"four <i>five</i> six.</p>", "<hr", "in</em>", "<table", "<em>here</em>",
                             "seven eight nine.</p>", "Bravo ten", "<p id=\"n\">Some named words here</p>",
                             "Last typed &amp; words"})
        EXPECT_TRUE(After.contains(Kept)) << Kept << "\n" << After.toStdString();
    EXPECT_FALSE(After.contains("n2")) << After.toStdString();
    EXPECT_FALSE(H.W().FileManager->Modified());
    // the HTML Code view agrees with the file; Undo brings the anchor back there too
    H.Tab(CodeTab);
    EXPECT_FALSE(W.SourceEditor->text().contains("n2"));
    H.Tab(DesignerTab);
    H.TypeInDesigner("");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Saved().contains("<p id=\"n\">Some <a name=\"n2\" title=\"\" data-k>named words</a> here</p>"));
    // and Undo of everything gives the page as it was opened
    for (size_t K = 1; K < Pages.size(); ++K) H.Key(Qt::Key_Z, Qt::ControlModifier);
    const QString Undone = Saved();
    for (const char* Kept : {"<p id=\"s\">One two <b>three</b> four <i>five</i> six.</p>",
                             ">Table goes <em>in here</em> between &amp; words.</p>",
                             "<p>Alpha one two three four five six <code>CODE</code> seven eight nine.</p>",
                             "<p>Last words of the page.</p>"})
        EXPECT_TRUE(Undone.contains(Kept)) << Kept << "\n" << Undone.toStdString();
    EXPECT_FALSE(Undone.contains("<hr") || Undone.contains("<table")) << Undone.toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

TEST(UndoRedo, ACodeViewChangeIsOneStepOfTheDesignViewsHistory)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "c.html", "<html><head><title>C</title></head><body>"
                              "<h1 id=\"h\">Synopsis</h1><p id=\"p\">Body \xCE\xB1 text</p></body></html>");
    W.FileManager->OpenFile(Docs / "c.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Synopsis"); }));
    const auto Heading = [&] { return PageEval(H.D(), "document.getElementById('h').textContent").toString(); };
    const auto Saved = [&] {
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString::fromStdString(ReadAll(Docs / "c.html"));
    };
    QsciScintilla* Code = W.SourceEditor;
    const auto TypeAfter = [&](const char* Word, const char* Text) {
        ASSERT_TRUE(Code->findFirst(Word, false, true, false, true));
        QTest::keyClick(Code, Qt::Key_Right);
        QTest::keyClicks(Code, Text);
    };

    // a step made in the design view before
    ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), "Body", 4)));
    H.TypeInDesigner("X");

    // typed in the code view and saved from there, then taken back there: the design view and
    // the next save have it no more
    H.Tab(CodeTab);
    TypeAfter("Synopsis", "ZZTOP");
    EXPECT_TRUE(Saved().contains("<h1 id=\"h\">SynopsisZZTOP</h1>"));
    for (int K = 0; K < 5; ++K) QTest::keyClick(Code, Qt::Key_Backspace);
    H.Tab(DesignerTab);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis"; })) << Heading().toStdString();
    EXPECT_FALSE(Saved().contains("ZZTOP"));
    // Ctrl+Z in the code view takes its typing back as well
    H.Tab(CodeTab);
    TypeAfter("Synopsis", "Q");
    QTest::keyClick(Code, Qt::Key_Z, Qt::ControlModifier);
    H.Tab(DesignerTab);
    EXPECT_EQ(Heading(), "Synopsis");

    // a change in the code view is one step of the design view: Undo takes it back, Redo
    // gives it again, from the keys and the buttons
    H.Tab(CodeTab);
    TypeAfter("Synopsis", " & more");
    H.Tab(DesignerTab);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis & more"; })) << Heading().toStdString();
    EXPECT_TRUE(F.BtnUndo->isEnabled());
    H.TypeInDesigner("");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis"; })) << Heading().toStdString();
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    H.Click(F.BtnRedo);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis & more"; })) << Heading().toStdString();
    H.Click(F.BtnUndo);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis"; })) << Heading().toStdString();
    const QString Back = Saved();
    EXPECT_TRUE(Back.contains("<h1 id=\"h\">Synopsis</h1>")) << Back.toStdString();
    EXPECT_TRUE(Back.contains("BodyX &alpha; text")) << Back.toStdString();
    // the steps before it stay: the code view's text taken at the save from there, its
    // typing taken back, and the typing in the design view before; Redo gives all back
    H.TypeInDesigner("");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "SynopsisZZTOP"; })) << Heading().toStdString();
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return Heading() == "Synopsis"; })) << Heading().toStdString();
    EXPECT_TRUE(H.Body().contains("BodyX")) << H.Body().toStdString();
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(H.Body().contains("BodyX")) << H.Body().toStdString();
    EXPECT_FALSE(F.BtnUndo->isEnabled());
    for (int K = 0; K < 3; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Heading(), "Synopsis");
    EXPECT_TRUE(H.Body().contains("BodyX")) << H.Body().toStdString();
    EXPECT_TRUE(F.BtnRedo->isEnabled());
    // the code view shows the page as it is now
    H.Tab(CodeTab);
    EXPECT_FALSE(Code->text().contains("more"));
    H.Tab(DesignerTab);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

// The caret after Undo, Redo and a Backspace that joins two lists: the next key acts where the
// change was, not where the replay or the join left the engine's caret.
TEST(UndoRedo, TheNextKeyActsWhereUndoRedoOrAJoinMadeTheChange)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    WriteAll(Docs / "k.html", "<html><head><title>K</title></head><body>\n"
                              "<p>Alpha beta gamma <em>delta</em> epsilon.</p>\n"
                              "<p>Zeta eta theta iota.</p>\n"
                              "<ul><li>Item one</li><li>Item two</li></ul>\n"
                              "<ul><li>Other list</li></ul>\n"
                              "</body></html>");
    W.FileManager->OpenFile(Docs / "k.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Other list"); }));
    const auto Saved = [&] {
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString(QString::fromStdString(ReadAll(Docs / "k.html"))).simplified();
    };
    const auto Selected = [&] {
        H.D().CallLayer("echoes");
        return PageEval(H.D(), "getSelection().toString()").toString();
    };

    // a word typed over, taken back: Undo selects the word it brought back, and what is typed
    // next replaces it
    PageDoubleClick(H.D(), PageTextPoint(H.D(), "beta", 2));
    ASSERT_TRUE(WaitFor([&] { return Selected() == "beta"; })) << Selected().toStdString();
    H.TypeInDesigner("BETA");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Selected().toStdString(), "beta");
    H.TypeInDesigner("X");
    EXPECT_TRUE(Saved().contains("<p>Alpha X gamma <em>delta</em> epsilon.</p>"));
    // typed text taken back leaves the caret where it was typed; given again, the caret
    // stands behind it and Delete takes the letter after it
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Selected().toStdString(), "beta");
    ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), "eta theta", 2)));
    H.TypeInDesigner("QQ");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    H.TypeInDesigner("1");
    EXPECT_TRUE(Saved().contains("<p>Zeta et1a theta iota.</p>"));
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    H.Key(Qt::Key_Delete);
    H.TypeInDesigner("");
    EXPECT_TRUE(Saved().contains("<p>Zeta et1 theta iota.</p>"));

    // Backspace at the start of a list after a list joins the lists; the caret stays at the
    // join, so the next Backspace joins the two items there
    ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), "Other list", 0)));
    H.TypeInDesigner("");
    H.Key(Qt::Key_Backspace);
    H.TypeInDesigner("");
    QString Joined = Saved();
    EXPECT_TRUE(Joined.contains("<ul> <li>Item one</li> <li>Item two</li> <li>Other list</li> </ul>"))
        << Joined.toStdString();
    H.Key(Qt::Key_Backspace);
    H.TypeInDesigner("");
    Joined = Saved();
    EXPECT_TRUE(Joined.contains("<ul> <li>Item one</li> <li>Item twoOther list</li> </ul>")) << Joined.toStdString();
    // taken back and given again, the joins leave the same pages
    const QString Lists = "<ul> <li>Item one</li> <li>Item two</li> </ul> <ul> <li>Other list</li> </ul>";
    int Undone = 0;
    for (; Undone < 2 && !Saved().contains(Lists); ++Undone) H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Saved().contains(Lists)) << Saved().toStdString();
    for (int K = 0; K < Undone; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Saved().contains("<ul> <li>Item one</li> <li>Item twoOther list</li> </ul>")) << Saved().toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

TEST(UndoRedo, WholePageStepsAreStepsAmongTheOthers)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "w.html", "<html><head><title>Steps</title></head><body>"
                              "<p>Alpha beta gamma.</p><p>Delta epsilon zeta.</p></body></html>");
    W.FileManager->OpenFile(Docs / "w.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("zeta"); }));
    QsciScintilla* Code = W.SourceEditor;
    const auto Saved = [&] {
        QApplication::setActiveWindow(&W);
        H.TypeInDesigner("");
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString::fromStdString(ReadAll(Docs / "w.html"));
    };
    const auto ClickAt = [&](const QString& Text, int Offset) {
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, Offset)));
        H.TypeInDesigner("");
    };
    // the page and the window's title after each step
    struct TState {
        QString Body, Title;
    };
    std::vector<TState> States;
    const auto Took = [&](const char* What) {
        States.push_back({H.Body(), W.windowTitle()});
        EXPECT_NE(States.back().Body, States[States.size() - 2].Body) << What;
    };
    const auto Is = [&](size_t K, const std::string& What) {
        EXPECT_EQ(H.Body().toStdString(), States[K].Body.toStdString()) << What;
        EXPECT_EQ(W.windowTitle(), States[K].Title) << What;
    };
    // Undo back to step Low and Redo up to step High again, checking each step on the way;
    // every other one from the buttons
    const auto BackAndForth = [&](size_t Low, size_t High) {
        QApplication::setActiveWindow(&W);
        H.TypeInDesigner("");
        for (size_t K = High; K > Low; --K) {
            if (K % 2) H.Click(F.BtnUndo);
            else H.Key(Qt::Key_Z, Qt::ControlModifier);
            Is(K - 1, "undo to " + std::to_string(K - 1));
        }
        for (size_t K = Low + 1; K <= High; ++K) {
            if (K % 2) H.Click(F.BtnRedo);
            else H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            Is(K, "redo to " + std::to_string(K));
        }
        EXPECT_FALSE(F.BtnRedo->isEnabled());
    };
    States.push_back({H.Body(), W.windowTitle()});
    ASSERT_EQ(W.windowTitle(), "Zandovell - Steps");

    // 1: typed in the design view
    ASSERT_NO_FATAL_FAILURE(ClickAt("gamma.", 6));
    H.TypeInDesigner(" One.");
    Took("typing");
    // 2: typed in the HTML Code view, in the body and in the head: one step
    H.Tab(CodeTab);
    ASSERT_TRUE(Code->findFirst("Delta", false, true, false, true));
    QTest::keyClick(Code, Qt::Key_Left);
    QTest::keyClicks(Code, "Dx");
    ASSERT_TRUE(Code->findFirst("Steps", false, true, false, true));
    QTest::keyClick(Code, Qt::Key_Right);
    QTest::keyClicks(Code, " Up");
    H.Tab(DesignerTab);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("DxDelta"); })) << H.Body().toStdString();
    EXPECT_EQ(W.windowTitle(), "Zandovell - Steps Up");
    Took("code view");
    // 3: epsilon made bold, after a double click on it
    PageDoubleClick(H.D(), PageTextPoint(H.D(), "epsilon", 3));
    ASSERT_TRUE(WaitFor([&] { return PageEval(H.D(), "getSelection().toString()").toString() == "epsilon"; }));
    H.Key(Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("<b>epsilon</b>"); })) << H.Body().toStdString();
    Took("bold");
    EXPECT_TRUE(States[2].Body.contains("gamma. One.")) << States[2].Body.toStdString();

    // all three taken back, the first step included, and given again, the last included
    BackAndForth(0, 3);

    // 4: typed; 5: a template around the first paragraph; 6: typed into the template's page
    ASSERT_NO_FATAL_FAILURE(ClickAt("zeta.", 5));
    H.TypeInDesigner(" Two.");
    Took("typing before the template");
    PageSelectText(H.D(), "p", 0, 5);
    WhenModal([](QWidget* Chooser) {
        auto* List = Chooser->findChild<QListWidget*>("ListTemplates");
        ASSERT_TRUE(WaitFor([&] { return List->count() > 0; }));
        List->setCurrentRow(0);
        QTest::mouseClick(Chooser->findChild<QPushButton*>("ButtonOk"), Qt::LeftButton);
    });
    F.MenuTemplates->trigger();
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Written by"); })) << H.Body().toStdString();
    EXPECT_TRUE(H.Ui.Errors.empty()) << H.Ui.Errors.front();
    EXPECT_EQ(W.windowTitle(), "Zandovell - Article");
    Took("template");
    ASSERT_NO_FATAL_FAILURE(ClickAt("Alpha", 5));
    H.TypeInDesigner(" Three.");
    Took("typing after the template");
    BackAndForth(3, 6);
    // and back through the template to before the code view's step, then all of it again
    BackAndForth(1, 6);
    // 7: the template's byline edited in the Tag Tree view, its text item found by a click on
    // each text item in turn
    H.Tab(TreeTab);
    TTagTreeModel* Model = W.TagTree->TreeModel;
    QTreeView* Tree = W.TagTree->TreeTag;
    QPlainTextEdit* Memo = W.TagTree->MemoAttr;
    std::function<bool(const QModelIndex&)> ClickByline = [&](const QModelIndex& Parent) {
        for (int Row = 0; Row < Model->rowCount(Parent); ++Row) {
            const QModelIndex Item = Model->index(Row, 0, Parent);
            if (Item.data().toString() == "<TEXT>") {
                Tree->scrollTo(Item);
                QApplication::processEvents();
                QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {}, Tree->visualRect(Item).center());
                if (Memo->isVisible() && Memo->toPlainText().startsWith("Written by")) return true;
            }
            if (ClickByline(Item)) return true;
        }
        return false;
    };
    ASSERT_TRUE(ClickByline({}));
    QTest::mouseClick(Memo->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::keyClick(Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Memo, " Four.");
    H.Tab(DesignerTab);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("welcome. Four."); })) << H.Body().toStdString();
    Took("tag tree");
    BackAndForth(4, 7);

    // Ctrl+Z in the code view takes back its own typing there; the design view has no new step
    const size_t Steps = H.D().UndoList().size();
    H.Tab(CodeTab);
    ASSERT_TRUE(Code->findFirst("Three.", false, true, false, true));
    QTest::keyClick(Code, Qt::Key_Right);
    QTest::keyClicks(Code, "Q");
    ASSERT_TRUE(Code->text().contains("Three.Q"));
    QTest::keyClick(Code, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(Code->text().contains("Three.Q"));
    H.Tab(DesignerTab);
    Is(7, "code view typing taken back there");
    EXPECT_EQ(H.D().UndoList().size(), Steps);

    // the file has the last page, with the template's head
    const QString File = Saved();
    for (const char* Kept : {"<title>Article</title>", "article.css", "Alpha Three.", "welcome. Four."})
        EXPECT_TRUE(File.contains(Kept)) << Kept << "\n" << File.toStdString();
    EXPECT_FALSE(File.contains("Steps") || File.contains("Delta")) << File.toStdString();
    // the page before the template, from Undo, saves with its own head
    for (int K = 0; K < 3; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier);
    Is(4, "before the template");
    const QString Before = Saved();
    for (const char* Kept : {"<title>Steps Up</title>", "<p>Alpha beta gamma. One.</p>",
                             "<p>DxDelta <b>epsilon</b> zeta. Two.</p>"})
        EXPECT_TRUE(Before.contains(Kept)) << Kept << "\n" << Before.toStdString();
    EXPECT_FALSE(Before.contains("Written by") || Before.contains("article.css")) << Before.toStdString();

    // a page that only a load can show (frames, no body) asks first: refused, the text stays
    // in the code view and the history stays; agreed, the load is the one step left
    H.Tab(CodeTab);
    Code->selectAll();
    QTest::keyClicks(Code, "<html><frameset cols=\"50%,50%\"><frame src=\"a.html\"></frameset></html>");
    QString Asked;
    const auto Answer = [&](QMessageBox::StandardButton Button) {
        WhenModal([&Asked, Button](QWidget* Box) {
            Asked = static_cast<QMessageBox*>(Box)->text();
            static_cast<QMessageBox*>(Box)->button(Button)->click();
        });
    };
    Answer(QMessageBox::Cancel);
    H.Tab(DesignerTab);
    EXPECT_EQ(Asked, "This change clears the undo history");
    EXPECT_EQ(F.TabControl1->currentIndex(), CodeTab);
    EXPECT_TRUE(Code->text().contains("frameset"));
    Is(4, "a load refused");
    Asked.clear();
    Answer(QMessageBox::Ok);
    H.Tab(DesignerTab);
    EXPECT_EQ(Asked, "This change clears the undo history");
    ASSERT_EQ(F.TabControl1->currentIndex(), DesignerTab);
    EXPECT_FALSE(H.Body().contains("Delta")) << H.Body().toStdString();
    H.TypeInDesigner("");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return H.Body() == States[4].Body; })) << H.Body().toStdString();
    EXPECT_FALSE(F.BtnUndo->isEnabled());
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}
