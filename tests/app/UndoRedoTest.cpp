// Undo and Redo in the main window, with the keys a person presses: each action taken back and
// given again must leave exactly the page it made, whichever view it was made in.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <Qsci/qsciscintilla.h>

#include "MainWindowHost.h"
#include "Streams.h"
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
