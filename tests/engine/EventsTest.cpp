// Page events: their order, their targets, the context menu, Report, and the rule that no
// handler runs inside a call or inside another handler.
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "support/PageDriver.h"
#include "WebBrowser.h"

using namespace zv;
using zv::test::TEngineHost;

namespace {

struct TSeen {
    std::string Route;      // "pre", "page", "menu", "report"
    std::string Type;
    THtmlElement Element;
    int Buttons = 0;
};

}  // namespace

TEST(Events, MouseAndKeyEventsReportTheirElements)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<table id=t border=1><tr><td id=a>cell a</td><td id=b>cell b</td></tr>"
                       "</table><p id=p>text</p>"));
    TWebBrowser& B = H.Browser();
    THtmlDocument Doc = B.Document();
    std::vector<TSeen> Seen;
    std::vector<QObject*> Guards;
    const auto C1 = QObject::connect(&B, &TWebBrowser::PreHandleEvent, [&](const TPageEvent& E) {
        Seen.push_back({"pre", E.Type, E.srcElement, E.Buttons});
    });
    const auto C2 = QObject::connect(&B, &TWebBrowser::PageEvent, [&](const TPageEvent& E) {
        if (E.Type != "mousemove" && E.Type != "mouseover" && E.Type != "mouseout")
            Seen.push_back({"page", E.Type, E.srcElement, E.Buttons});
    });
    QPoint MenuPos;
    const auto C3 = QObject::connect(&B, &TWebBrowser::PopupMenu,
                                     [&](const THtmlElement& E, const QPoint& Pos) {
                                         Seen.push_back({"menu", "", E, 0});
                                         MenuPos = Pos;
                                     });

    // a left click in a cell: the hook first, with the left button held, then the page's events
    const QPoint A = H.Centre("#a");
    H.Click(A);
    H.WaitFor([&] { return !Seen.empty() && Seen.back().Type == "click"; });
    const THtmlElement CellA = Doc.getElementById("a");
    ASSERT_GE(Seen.size(), 5u);
    EXPECT_EQ(Seen[0].Route + Seen[0].Type, "premousedown");
    EXPECT_EQ(Seen[0].Element, CellA);
    EXPECT_EQ(Seen[0].Buttons, 1);
    EXPECT_EQ(Seen[1].Route + Seen[1].Type, "premouseup");
    EXPECT_EQ(Seen[1].Buttons, 0);
    std::vector<std::string> Page;
    for (const TSeen& S : Seen)
        if (S.Route == "page") {
            Page.push_back(S.Type);
            EXPECT_EQ(S.Element, CellA);
        }
    EXPECT_EQ(Page, (std::vector<std::string>{"mousedown", "mouseup", "click"}));

    // a move with the button held over the other cell names that cell
    Seen.clear();
    QWidget* Proxy = B.focusProxy();
    QTest::mousePress(Proxy, Qt::LeftButton, {}, A);
    QTest::mouseMove(Proxy, H.Centre("#b"));
    QTest::mouseRelease(Proxy, Qt::LeftButton, {}, H.Centre("#b"));
    ASSERT_TRUE(H.WaitFor([&] { return !Seen.empty() && Seen.back().Type == "mouseup"; }));
    bool MovedOverB = false;
    for (const TSeen& S : Seen)
        MovedOverB |= S.Route == "pre" && S.Type == "mousemove" &&
                      S.Element == Doc.getElementById("b") && S.Buttons == 1;
    EXPECT_TRUE(MovedOverB);

    // a right click opens the application's menu for the element under the pointer
    Seen.clear();
    H.Click(H.Centre("#p"), Qt::RightButton);
    ASSERT_TRUE(H.WaitFor([&] {
        return std::any_of(Seen.begin(), Seen.end(), [](const TSeen& S) { return S.Route == "menu"; });
    }));
    for (const TSeen& S : Seen)
        if (S.Route == "menu") {
            EXPECT_EQ(S.Element, Doc.getElementById("p"));
        }
    EXPECT_EQ(MenuPos, Proxy->mapToGlobal(H.Centre("#p")));

    // a double click and keys
    Seen.clear();
    H.DoubleClick(H.Centre("#b"));
    QTest::keyClick(Proxy, Qt::Key_X);
    ASSERT_TRUE(H.WaitFor([&] { return !Seen.empty() && Seen.back().Type == "keyup"; }));
    std::vector<std::string> Types;
    for (const TSeen& S : Seen)
        if (S.Route == "page") Types.push_back(S.Type);
    EXPECT_NE(std::find(Types.begin(), Types.end(), "dblclick"), Types.end());
    const auto Down = std::find(Types.begin(), Types.end(), "keydown");
    ASSERT_NE(Down, Types.end());
    EXPECT_EQ(*(Down + 1), "keypress");
    EXPECT_EQ(*(Down + 2), "keyup");

    QObject::disconnect(C1);
    QObject::disconnect(C2);
    QObject::disconnect(C3);
}

TEST(Events, ReportsArriveAfterCallsAndNeverInsideAnotherHandler)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=one>1</p><p id=two>2</p>"));
    TWebBrowser& B = H.Browser();
    std::vector<std::string> Ids;
    int Depth = 0, Deepest = 0;
    bool DuringCall = false;
    const auto C = QObject::connect(&B, &TWebBrowser::Report, [&](const THtmlElement& E) {
        EXPECT_FALSE(DuringCall);
        Deepest = std::max(Deepest, ++Depth);
        // a call of the handler lets the page's next reports come in; they must wait
        Ids.push_back(E.id());
        E.setAttribute("title", u"seen");
        --Depth;
    });

    // the page reports three elements at once
    H.Eval("external.Report(document.getElementById('one'));"
           "external.Report(document.getElementById('two'));"
           "external.Report(document.body); external.Report('not an element')");
    DuringCall = true;
    B.CallLayer("title");
    DuringCall = false;
    ASSERT_TRUE(H.WaitFor([&] { return Ids.size() == 3; }));
    EXPECT_EQ(Ids, (std::vector<std::string>{"one", "two", "dsgn_:::_0"}));
    EXPECT_EQ(Deepest, 1);

    // reports of a document that is gone are dropped
    B.page()->runJavaScript("external.Report(document.getElementById('one'))",
                            QWebEngineScript::ApplicationWorld);
    ASSERT_TRUE(H.Load("<p id=one>new</p>"));
    ASSERT_TRUE(test::WaitForFrames(B));
    EXPECT_EQ(Ids.size(), 3u);
    QObject::disconnect(C);

    // the document-complete event follows a load, outside of it
    int Complete = 0;
    bool Loading = false;
    const auto D = QObject::connect(&B, &TWebBrowser::DocumentComplete, [&] {
        EXPECT_FALSE(Loading);
        ++Complete;
    });
    Loading = true;
    ASSERT_TRUE(H.Load("<p>again</p>"));
    Loading = false;
    EXPECT_TRUE(H.WaitFor([&] { return Complete == 1; }));
    QObject::disconnect(D);
}

TEST(Events, GlyphTableShowsTagsWithoutTouchingTheMarkup)
{
    const std::vector<TGlyphEntry> E = ParseGlyphEntries(
        "%%p^^%%res://zandovell/GIFS/P1^^%%0^^%%3^^%%3^^%%4^^%%20^^%%15^^%%20^^%%15^^**"
        "%%P^^%%res://zandovell/GIFS/P2^^%%1^^%%3^^%%3^^%%4^^%%20^^%%15^^%%20^^%%15^^**"
        "%%h1^^%%x^^%%7^^%%3^^%%3^^%%4^^%%26^^%%15^^**"         // bad state
        "%%p;x^^%%x^^%%0^^%%3^^%%3^^%%4^^%%26^^%%15^^**"        // bad tag
        "%%div^^%%x^^%%0^^**");                                   // too short
    ASSERT_EQ(E.size(), 2u);
    EXPECT_EQ(E[0].Tag, "p");
    EXPECT_EQ(E[1].Tag, "p");
    EXPECT_FALSE(E[0].Closing);
    EXPECT_TRUE(E[1].Closing);
    EXPECT_EQ(E[0].Url, "res://zandovell/GIFS/P1");
    EXPECT_EQ(E[0].Width, 20);
    EXPECT_EQ(E[0].Height, 15);

    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>para</p><h1 id=h>head</h1>"));
    TWebBrowser& B = H.Browser();
    const QString Markup = H.BodyHtml();
    const int Units = B.Document().UndoManager().CountUndoable();
    auto Glyph = [&](const char* Id, const char* Side) {
        return H.Eval(QString("getComputedStyle(document.getElementById('%1'), '%2').content")
                          .arg(Id, Side))
            .toString();
    };
    EXPECT_EQ(Glyph("p", "::before"), "none");
    ASSERT_TRUE(B.Exec(IDM_ADDTOGLYPHTABLE,
                       "%%p^^%%res://zandovell/GIFS/P1^^%%0^^%%3^^%%3^^%%4^^%%20^^%%15^^%%20^^%%15^^**"
                       "%%p^^%%res://zandovell/GIFS/P2^^%%1^^%%3^^%%3^^%%4^^%%20^^%%15^^%%20^^%%15^^**"));
    ASSERT_TRUE(B.Exec(IDM_ADDTOGLYPHTABLE,
                       "%%h1^^%%edit:trans.gif^^%%0^^%%3^^%%3^^%%4^^%%26^^%%15^^%%26^^%%15^^**"));
    EXPECT_FALSE(B.Exec(IDM_ADDTOGLYPHTABLE, "nothing"));
    EXPECT_EQ(Glyph("p", "::before"), "\"P\"");
    EXPECT_EQ(Glyph("p", "::after"), "\"/P\"");
    EXPECT_EQ(Glyph("h", "::before"), "\"\"");
    EXPECT_EQ(H.Eval("getComputedStyle(document.getElementById('h'), '::before').backgroundImage")
                  .toString(),
              "url(\"edit:trans.gif\")");
    EXPECT_EQ(H.BodyHtml(), Markup);
    EXPECT_EQ(B.Document().UndoManager().CountUndoable(), Units);

    ASSERT_TRUE(B.Exec(IDM_EMPTYGLYPHTABLE));
    EXPECT_EQ(Glyph("p", "::before"), "none");
    EXPECT_EQ(Glyph("h", "::before"), "none");
}
