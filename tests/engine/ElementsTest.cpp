// Synchronous calls, element handles and tables against the live page.
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "WebBrowser.h"

using namespace zv;
using zv::test::TEngineHost;

namespace {

QString Q(const WideString& Text) { return QString::fromStdU16String(Text); }

}  // namespace

TEST(Elements, HandlesReadAndWriteTheLivePage)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=first class=intro title=\"a &quot;b&quot;\">One <b>two</b></p>"
                       "<form id=f><label id=l for=x>L</label><input id=x type=checkbox checked>"
                       "<input id=y disabled></form>"
                       "<script>document.title = 'ran'; document.body.setAttribute('x', 1)</script>"
                       "<img id=pic src=\"pics/red.png\" onerror=\"this.alt='ran'\">"));
    THtmlDocument Doc = H.Browser().Document();
    const THtmlElement Body = Doc.body();
    EXPECT_EQ(Body.tagName(), "BODY");
    EXPECT_EQ(Body.id(), "dsgn_:::_0");
    EXPECT_EQ(Doc.title(), u"");

    // the page's own scripts never ran
    EXPECT_FALSE(Body.getAttribute("x").has_value());
    EXPECT_FALSE(Doc.getElementById("pic").getAttribute("alt").has_value());

    THtmlElement P = Doc.getElementById("first");
    ASSERT_FALSE(P.IsNull());
    EXPECT_EQ(P, Doc.getElementById("first"));
    EXPECT_FALSE(Doc.getElementById("nothing"));
    EXPECT_EQ(P.tagName(), "P");
    EXPECT_EQ(P.className(), "intro");
    EXPECT_EQ(P.getAttribute("className"), std::optional<WideString>(u"intro"));
    EXPECT_EQ(P.getAttribute("TITLE"), std::optional<WideString>(u"a \"b\""));
    EXPECT_EQ(P.innerHTML(), u"One <b>two</b>");
    EXPECT_EQ(P.parentElement(), Body);

    // className, htmlFor and encoding are the attributes class, for and enctype
    P.setAttribute("className", u"changed");
    Doc.getElementById("l").setAttribute("htmlFor", u"y");
    Doc.getElementById("f").setAttribute("encoding", u"multipart/form-data");
    EXPECT_EQ(P.className(), "changed");
    EXPECT_EQ(Q(Doc.getElementById("l").outerHTML()), "<label id=\"l\" for=\"y\">L</label>");
    EXPECT_EQ(Doc.getElementById("f").getAttribute("enctype"),
              std::optional<WideString>(u"multipart/form-data"));
    EXPECT_FALSE(Doc.getElementById("f").getAttribute("encoding-x").has_value());
    EXPECT_TRUE(P.removeAttribute("title"));
    EXPECT_FALSE(P.removeAttribute("title"));

    // typed properties of form controls
    EXPECT_EQ(Doc.getElementById("x").getProperty("checked"), QVariant(true));
    EXPECT_EQ(Doc.getElementById("y").getProperty("disabled"), QVariant(true));
    EXPECT_EQ(Doc.getElementById("y").getProperty("type").toString(), "text");
    Doc.getElementById("x").setProperty("checked", false);
    EXPECT_EQ(Doc.getElementById("x").getProperty("checked"), QVariant(false));
    EXPECT_THROW(P.getProperty("style"), EEngineError);
    EXPECT_THROW(P.getProperty("x; alert(1)"), EEngineError);

    // inserting and replacing markup; the new elements are live
    P.insertAdjacentHTML("BeforeBegin", u"<h1 id=head onclick=\"x()\">Title</h1>");
    const THtmlElement Head = Doc.getElementById("head");
    EXPECT_EQ(Head.getAttribute("onclick"), std::optional<WideString>(u"x()"));
    EXPECT_GT(P.offsetTop(), Head.offsetTop());
    const QRect R = P.offsetRect();
    EXPECT_EQ(R, QRect(P.offsetLeft(), P.offsetTop(), P.offsetWidth(), P.offsetHeight()));
    EXPECT_GT(R.width(), 0);
    P.setOuterHTML(u"<p id=second>Replaced</p>");
    EXPECT_EQ(Doc.getElementById("second").innerText(), u"Replaced");
    EXPECT_FALSE(Doc.getElementById("first"));

    // a failure of the page comes back as an exception, with its message
    try {
        Doc.getElementById("second").insertAdjacentHTML("Nowhere", u"<b>x</b>");
        FAIL() << "no exception";
    } catch (const EEngineError& E) {
        EXPECT_NE(std::string(E.what()).find("Nowhere"), std::string::npos) << E.what();
    }
    EXPECT_THROW(THtmlElement().tagName(), EEngineError);

    // a new document invalidates every handle of the old one
    const uint64_t Old = H.Browser().Generation();
    ASSERT_TRUE(H.Load("<p id=second>New</p>"));
    EXPECT_GT(H.Browser().Generation(), Old);
    EXPECT_FALSE(P.IsCurrent());
    EXPECT_THROW(P.tagName(), EEngineError);
    EXPECT_THROW(Body.innerHTML(), EEngineError);
    EXPECT_THROW(Doc.body(), EEngineError);
    const THtmlElement Fresh = H.Browser().Document().getElementById("second");
    EXPECT_TRUE(Fresh.IsCurrent());
    EXPECT_EQ(Fresh.innerText(), u"New");
}

TEST(Elements, TablesAreReadRowByRowOrInOneCall)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<table id=t border=1 cols=3><tr><td id=a rowspan=2>a</td><td>b</td>"
                       "<td>c</td></tr><tr><td colspan=2 id=d align=center>d</td></tr></table>"
                       "<p id=p>text</p>"));
    THtmlDocument Doc = H.Browser().Document();
    const THtmlTable T = Doc.getElementById("t").asTable();
    ASSERT_FALSE(T.IsNull());
    EXPECT_TRUE(Doc.getElementById("p").asTable().IsNull());
    EXPECT_EQ(T.cols(), 3);

    const std::vector<THtmlTableRow> Rows = T.rows();
    ASSERT_EQ(Rows.size(), 2u);
    EXPECT_EQ(Rows[1].rowIndex(), 1);
    const std::vector<THtmlTableCell> Cells = Rows[0].cells();
    ASSERT_EQ(Cells.size(), 3u);
    EXPECT_EQ(Cells[0].rowSpan(), 2);
    EXPECT_EQ(Cells[2].cellIndex(), 2);
    const THtmlTableCell D = Doc.getElementById("d").asTableCell();
    EXPECT_EQ(D.colSpan(), 2);
    EXPECT_EQ(D.align(), "center");
    EXPECT_EQ(D.parentElement().asTableRow(), Rows[1]);

    // the batch read agrees with the single reads
    const std::vector<TRowLayout> L = T.Layout();
    ASSERT_EQ(L.size(), 2u);
    ASSERT_EQ(L[0].Cells.size(), 3u);
    ASSERT_EQ(L[1].Cells.size(), 1u);
    EXPECT_EQ(L[0].Row, Rows[0]);
    EXPECT_EQ(L[0].Cells[1].Cell, Cells[1]);
    EXPECT_EQ(L[0].Cells[0].rowSpan, 2);
    EXPECT_EQ(L[1].Cells[0].colSpan, 2);
    EXPECT_EQ(L[1].Cells[0].cellIndex, 0);
    EXPECT_EQ(L[1].rowIndex, 1);
    EXPECT_EQ(L[0].Cells[2].Offset, Cells[2].offsetRect());
    EXPECT_EQ(L[1].Cells[0].Offset, D.offsetRect());

    // changes through the row and cell collections
    const THtmlTableRow NewRow = T.insertRow(1);
    EXPECT_EQ(NewRow.rowIndex(), 1);
    const THtmlTableCell NewCell = NewRow.insertCell(0);
    EXPECT_EQ(NewCell.tagName(), "TD");
    EXPECT_EQ(NewCell.outerHTML(), u"<td></td>");
    NewRow.insertCell(-1);
    EXPECT_EQ(NewRow.cells().size(), 2u);
    NewCell.setRowSpan(2);
    NewCell.setColSpan(3);
    NewCell.setVAlign("top");
    NewCell.setInnerHTML(u"x <i>y</i>");
    EXPECT_EQ(Q(NewCell.outerHTML()), "<td rowspan=\"2\" colspan=\"3\" valign=\"top\">x <i>y</i></td>");
    NewRow.deleteCell(1);
    EXPECT_EQ(NewRow.cells().size(), 1u);
    EXPECT_THROW(NewRow.deleteCell(5), EEngineError);
    EXPECT_THROW(T.insertRow(9), EEngineError);
    T.deleteRow(1);
    EXPECT_EQ(T.rows().size(), 2u);
    EXPECT_THROW(Doc.getElementById("p").asTableRow().cells(), EEngineError);
}

TEST(Elements, RuntimeBackgroundIsDisplayOnly)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<table id=t><tr><td id=a bgcolor=white>a</td><td id=b>b</td></tr></table>"));
    THtmlDocument Doc = H.Browser().Document();
    const QString Before = H.BodyHtml();
    const int Units = Doc.UndoManager().CountUndoable();
    const THtmlElement A = Doc.getElementById("a"), B = Doc.getElementById("b");

    A.setRuntimeStyleBackground(u"yellow");
    Doc.SetRuntimeBackgrounds({{B, u"yellow"}});
    EXPECT_EQ(A.runtimeStyleBackground(), u"yellow");
    const std::vector<TRowLayout> L = Doc.getElementById("t").asTable().Layout();
    EXPECT_EQ(L[0].Cells[0].RuntimeBackground, u"yellow");
    EXPECT_EQ(L[0].Cells[1].RuntimeBackground, u"yellow");

    // shown over the cells, but not part of the markup and not an undo unit
    EXPECT_EQ(H.Eval("document.elementFromPoint(1, 1) !== null && "
                     "document.documentElement.lastElementChild.localName").toString(),
              "zv-display");
    EXPECT_EQ(H.BodyHtml(), Before);
    EXPECT_EQ(A.outerHTML(), u"<td id=\"a\" bgcolor=\"white\">a</td>");
    EXPECT_EQ(Doc.UndoManager().CountUndoable(), Units);

    Doc.SetRuntimeBackgrounds({{A, u""}, {B, u""}});
    EXPECT_EQ(A.runtimeStyleBackground(), u"");
    EXPECT_EQ(Doc.UndoManager().CountUndoable(), Units);
}
