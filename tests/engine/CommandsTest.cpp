// Editing commands, their status, the layer's undo units and the clipboard commands.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "WebBrowser.h"

using namespace zv;
using zv::test::TEngineHost;

namespace {

void Type(const QString& Keys)
{
    TEngineHost& H = TEngineHost::Get();
    const QString Before = H.BodyHtml();
    QTest::keyClicks(H.Browser().focusProxy(), Keys);
    // every key is its own unit once the page has seen it
    H.WaitFor([&] { return H.BodyHtml() != Before && H.Eval("1").toInt() == 1; });
}

}  // namespace

TEST(Undo, TypingAndCommandsUndoToTheExactMarkup)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>Hello world</p><p id=q>Second <i>line</i></p>"));
    TWebBrowser& B = H.Browser();
    const TUndoManager Undo = B.Document().UndoManager();
    const QString Original = H.BodyHtml();
    EXPECT_EQ(Undo.CountUndoable(), 0);
    EXPECT_EQ(B.QueryStatus(IDM_UNDO), OLECMDF_SUPPORTED);

    // keys typed one after the other are one unit, queries between them change nothing; a
    // move of the caret or a pause ends the unit
    H.Click(H.Centre("#p"));
    H.SelectText("#p", 5, 5);
    for (const char* Key : {"a", "b", "c"}) {
        Type(Key);
        EXPECT_EQ(B.QueryStatus(IDM_UNDO), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
        EXPECT_EQ(Undo.CountUndoable(), 1);
    }
    QTest::keyClick(B.focusProxy(), Qt::Key_Left);
    Type("x");
    EXPECT_EQ(Undo.CountUndoable(), 2);
    QElapsedTimer Pause;
    Pause.start();
    H.WaitFor([&] { return Pause.elapsed() > 1100; });
    Type("y");
    ASSERT_TRUE(H.WaitFor([&] { return H.BodyHtml().contains("Helloabxyc world"); })) << H.BodyHtml().toStdString();
    EXPECT_EQ(Undo.CountUndoable(), 3);
    const QString Typed = H.BodyHtml();

    H.SelectText("#q", 0, 6);
    ASSERT_TRUE(B.Exec(IDM_BOLD));
    const QString Bold = H.BodyHtml();
    EXPECT_TRUE(Bold.contains("<b>Second")) << Bold.toStdString();
    EXPECT_EQ(Undo.CountUndoable(), 4);
    EXPECT_EQ(B.QueryStatus(IDM_BOLD), OLECMDF_SUPPORTED | OLECMDF_ENABLED | OLECMDF_LATCHED);

    // back step by step to the exact original markup, then forward again
    EXPECT_TRUE(B.Exec(IDM_UNDO));
    EXPECT_EQ(H.BodyHtml(), Typed);
    for (int I = 0; I < 3; ++I) EXPECT_TRUE(Undo.Undo());
    EXPECT_FALSE(Undo.Undo());
    EXPECT_EQ(H.BodyHtml(), Original);
    EXPECT_EQ(Undo.CountRedoable(), 4);
    EXPECT_EQ(B.QueryStatus(IDM_REDO), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    for (int I = 0; I < 3; ++I) EXPECT_TRUE(Undo.Redo());
    EXPECT_EQ(H.BodyHtml(), Typed);
    EXPECT_TRUE(B.Exec(IDM_REDO));
    EXPECT_EQ(H.BodyHtml(), Bold);
    EXPECT_FALSE(Undo.Redo());

    // the undo key is the layer's: without a receiver it undoes one unit itself ...
    QTest::keyClick(B.focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(H.BodyHtml(), Typed);
    QTest::keyClick(B.focusProxy(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(H.BodyHtml(), Bold);
    // ... and with one it only reports the key
    int Keys = 0;
    auto C1 = QObject::connect(&B, &TWebBrowser::UndoKey, [&] { ++Keys; });
    auto C2 = QObject::connect(&B, &TWebBrowser::RedoKey, [&] { Keys += 10; });
    QTest::keyClick(B.focusProxy(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(B.focusProxy(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QObject::disconnect(C1);
    QObject::disconnect(C2);
    EXPECT_EQ(Keys, 11);
    EXPECT_EQ(H.BodyHtml(), Bold);

    // a new change after an undo ends the redo history
    ASSERT_TRUE(Undo.Undo());
    B.Document().getElementById("p").setAttribute("title", u"t");
    EXPECT_EQ(Undo.CountRedoable(), 0);
    EXPECT_EQ(Undo.CountUndoable(), 4);
    EXPECT_TRUE(Undo.Undo());
    EXPECT_EQ(H.BodyHtml(), Typed);

    // an attribute that undo puts back returns to its place
    const THtmlElement P = B.Document().getElementById("p");
    P.setAttribute("title", u"t");
    ASSERT_TRUE(P.removeAttribute("id"));
    EXPECT_TRUE(Undo.Undo());
    EXPECT_TRUE(H.BodyHtml().contains("<p id=\"p\" title=\"t\">")) << H.BodyHtml().toStdString();
    EXPECT_TRUE(Undo.Undo());
    EXPECT_EQ(H.BodyHtml(), Typed);

    // structural changes through handles undo exactly too
    const THtmlTable T = [&] {
        B.Document().body().insertAdjacentHTML("BeforeEnd", u"<table id=t><tr><td>1</td></tr></table>");
        return B.Document().getElementById("t").asTable();
    }();
    const QString WithTable = H.BodyHtml();
    T.insertRow(0).insertCell(0).setInnerHTML(u"<b>new</b>");
    T.rows()[1].deleteCell(0);
    T.deleteRow(1);
    for (int I = 0; I < 5; ++I) EXPECT_TRUE(Undo.Undo());
    EXPECT_EQ(H.BodyHtml(), WithTable);
    EXPECT_TRUE(Undo.Undo());
    EXPECT_EQ(H.BodyHtml(), Typed);
}

TEST(Commands, StatusValuesAndFormatting)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>plain text</p><p id=m>one <font size=5>two</font></p>"));
    TWebBrowser& B = H.Browser();

    H.Eval("getSelection().removeAllRanges()");
    EXPECT_EQ(B.QueryStatus(IDM_BOLD), OLECMDF_SUPPORTED);
    EXPECT_FALSE(B.Exec(IDM_BOLD));
    EXPECT_EQ(B.QueryStatus(9999), 0);
    EXPECT_EQ(B.QueryStatusList({IDM_BOLD, 9999}), (std::vector<int>{OLECMDF_SUPPORTED, 0}));
    EXPECT_FALSE(B.Exec(9999));

    H.SelectText("#p", 0, 5);
    const std::vector<int> Ids{IDM_BOLD, IDM_ITALIC, IDM_UNDERLINE, IDM_JUSTIFYLEFT,
                               IDM_ORDERLIST, IDM_INDENT, IDM_COPY, IDM_CUT, IDM_FONTNAME,
                               IDM_BLOCKFMT, IDM_UNDO, IDM_FIND, 9999};
    const std::vector<int> All = B.QueryStatusList(Ids);
    ASSERT_EQ(All.size(), Ids.size());
    for (size_t I = 0; I < Ids.size(); ++I) EXPECT_EQ(All[I], B.QueryStatus(Ids[I])) << Ids[I];
    EXPECT_EQ(All[0], OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    EXPECT_EQ(All[6], OLECMDF_SUPPORTED | OLECMDF_ENABLED);

    ASSERT_TRUE(B.Exec(IDM_ITALIC));
    ASSERT_TRUE(B.Exec(IDM_FORECOLOR, "#ff0000"));
    ASSERT_TRUE(B.Exec(IDM_FONTSIZE, 9));
    ASSERT_TRUE(B.Exec(IDM_FONTNAME, "Arial"));
    const WideString P = B.Document().getElementById("p").innerHTML();
    EXPECT_NE(P.find(u"<i>"), WideString::npos);
    EXPECT_NE(P.find(u"color=\"#ff0000\""), WideString::npos);
    EXPECT_NE(P.find(u"size=\"7\""), WideString::npos);
    EXPECT_NE(P.find(u"face=\"Arial\""), WideString::npos);
    EXPECT_EQ(B.QueryStatus(IDM_ITALIC) & OLECMDF_LATCHED, OLECMDF_LATCHED);

    QVariant Value;
    ASSERT_TRUE(B.Exec(IDM_FONTSIZE, {}, &Value));
    EXPECT_EQ(Value.toInt(), 7);
    ASSERT_TRUE(B.Exec(IDM_FONTNAME, {}, &Value));
    EXPECT_EQ(Value.toString(), "Arial");

    // a selection over two sizes has no size
    H.Eval("(function(){ const p = document.getElementById('m'); const r = document.createRange();"
           "r.selectNodeContents(p); getSelection().removeAllRanges(); getSelection().addRange(r); })()");
    ASSERT_TRUE(B.Exec(IDM_FONTSIZE, {}, &Value));
    EXPECT_TRUE(Value.isNull());

    // block formats go by their display names
    ASSERT_TRUE(B.Exec(IDM_GETBLOCKFMTS, {}, &Value));
    const QStringList Formats = Value.toStringList();
    EXPECT_TRUE(Formats.contains("Normal"));
    EXPECT_TRUE(Formats.contains("Heading 1"));
    H.SelectText("#p", 1, 1);
    ASSERT_TRUE(B.Exec(IDM_BLOCKFMT, {}, &Value));
    EXPECT_EQ(Value.toString(), "Normal");
    ASSERT_TRUE(B.Exec(IDM_BLOCKFMT, "Heading 2"));
    ASSERT_TRUE(B.Exec(IDM_BLOCKFMT, {}, &Value));
    EXPECT_EQ(Value.toString(), "Heading 2");
    EXPECT_TRUE(H.BodyHtml().contains("<h2 id=\"p\">") || H.BodyHtml().contains("<h2>"))
        << H.BodyHtml().toStdString();
    EXPECT_THROW(B.Exec(IDM_BLOCKFMT, "No such format"), EEngineError);

    // links with the URL given
    H.SelectText("#m", 0, 3);
    ASSERT_TRUE(B.Exec(IDM_HYPERLINK, "http://example.org/"));
    EXPECT_TRUE(H.BodyHtml().contains("<a href=\"http://example.org/\">one</a>"));
    H.SelectText("#m a", 1, 1);
    ASSERT_TRUE(B.Exec(IDM_UNLINK));
    EXPECT_FALSE(H.BodyHtml().contains("<a "));
}

TEST(Commands, CopyCutAndPasteGoThroughTheClipboard)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>Hello <b>bold</b> world</p><p id=q>target</p>"
                       "<img id=pic src=\"pics/red.png\">"));
    TWebBrowser& B = H.Browser();
    QClipboard* Clip = QApplication::clipboard();
    Clip->clear();

    H.Eval("getSelection().removeAllRanges()");
    EXPECT_EQ(B.QueryStatus(IDM_COPY), OLECMDF_SUPPORTED);
    EXPECT_FALSE(B.Exec(IDM_COPY));

    H.Eval("(function(){ const p = document.getElementById('p'); const r = document.createRange();"
           "r.setStart(p.firstChild, 3); r.setEnd(p.lastChild, 3); getSelection().removeAllRanges();"
           "getSelection().addRange(r); })()");
    ASSERT_TRUE(B.Exec(IDM_COPY));
    EXPECT_EQ(Clip->text(), "lo bold wo");
    EXPECT_EQ(Clip->mimeData()->html(), "lo <b>bold</b> wo");
    ASSERT_TRUE(B.Exec(IDM_CUT));
    const int Units = B.Document().UndoManager().CountUndoable();
    EXPECT_EQ(QString::fromStdU16String(B.Document().getElementById("p").innerHTML()), "Helrld");

    H.SelectText("#q", 6, 6);
    EXPECT_EQ(B.QueryStatus(IDM_PASTE), OLECMDF_SUPPORTED | OLECMDF_ENABLED);
    ASSERT_TRUE(B.Exec(IDM_PASTE));
    EXPECT_EQ(QString::fromStdU16String(B.Document().getElementById("q").innerHTML()),
              "targetlo <b>bold</b> wo");
    EXPECT_EQ(B.Document().UndoManager().CountUndoable(), Units + 1);

    // HTML that other programs frame as a document is pasted without the frame
    auto* Data = new QMimeData;
    Data->setHtml("<html><body><!--StartFragment--><i onclick=\"x\">it</i><span>s</span>"
                  "<!--EndFragment--></body></html>");
    Clip->setMimeData(Data);
    H.SelectText("#q", 0, 0);
    ASSERT_TRUE(B.Exec(IDM_PASTE));
    EXPECT_TRUE(QString::fromStdU16String(B.Document().getElementById("q").innerHTML())
                    .startsWith("<i onclick=\"x\">it</i><span>s</span>target"));
    Clip->setText("plain <b>");
    ASSERT_TRUE(B.Exec(IDM_PASTE));
    EXPECT_TRUE(H.BodyHtml().contains("plain &lt;b&gt;"));

    // nothing to paste, nothing enabled
    Clip->clear();
    EXPECT_EQ(B.QueryStatus(IDM_PASTE), OLECMDF_SUPPORTED);

    // an element selected as a whole is copied and cut whole
    H.Click(H.Centre("#pic"));
    ASSERT_EQ(B.Document().selection().type(), "Control");
    ASSERT_TRUE(B.Exec(IDM_CUT));
    EXPECT_TRUE(Clip->mimeData()->html().startsWith("<img id=\"pic\""));
    EXPECT_FALSE(B.Document().getElementById("pic"));
    EXPECT_TRUE(B.Document().UndoManager().Undo());
    EXPECT_TRUE(B.Document().getElementById("pic"));
}
