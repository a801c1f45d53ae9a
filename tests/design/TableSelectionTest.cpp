// The cell selection that a drag over a table paints, driven by real mouse events on the view.
#include <gtest/gtest.h>

#include "TableDriver.h"

using namespace zv;
using namespace zv::test;

namespace {

const char* const Grid3 =
    "<p id=p>Text outside</p>"
    "<table border=1><tr><td>a1</td><td>a2</td><td>a3</td></tr>"
    "<tr><td>b1</td><td>b2</td><td>b3</td></tr>"
    "<tr><td>c1</td><td>c2</td><td>c3</td></tr></table>";

std::string PageSelection() { return TDesignerHost::Get().Eval("getSelection().toString()").toString().toStdString(); }

}  // namespace

TEST(TableSelection, DragPaintsABlockAndAClickClearsIt)
{
    LoadTables(Grid3);
    THtmlDesigner& D = Designer();

    // a press and release in one cell highlights nothing and makes the table known
    Click(CellAt(0, 0));
    EXPECT_EQ(Lit(), "");
    EXPECT_TRUE(D.Tables().SelectedTable());
    EXPECT_FALSE(D.Tables().CellsSelected());
    EXPECT_FALSE(D.Tables().Dragging());
    EXPECT_EQ(D.Tables().TableId(), TDesignerHost::Get().DesignId("table"));

    Select(0, 0, 1, 1);
    EXPECT_EQ(Lit(), "0.0 0.1 1.0 1.1");
    EXPECT_TRUE(D.Tables().CellsSelected());
    EXPECT_FALSE(D.Tables().Dragging());
    EXPECT_EQ(PageSelection(), "") << "the engine's text selection ends";

    // nothing of the highlight is saved
    const std::string Saved = Utf16ToUtf8(D.GetHtml());
    EXPECT_EQ(Saved.find("yellow"), std::string::npos);
    EXPECT_EQ(Saved.find("background"), std::string::npos);
    EXPECT_EQ(D.UndoList().size(), 0u) << "the highlight is no undo unit";

    // a drag backwards over the other corner
    Select(2, 2, 1, 1);
    EXPECT_EQ(Lit(), "1.1 1.2 2.1 2.2");

    // a click in one cell of the block removes the highlight
    Click(CellAt(1, 1));
    EXPECT_EQ(Lit(), "");
    EXPECT_FALSE(D.Tables().CellsSelected());

    // out of the pressed cell and back: it stays lit, but the block is gone
    Drag(CellAt(2, 0), CellAt(2, 0), {CellAt(2, 1)});
    EXPECT_EQ(Lit(), "2.0");
    EXPECT_FALSE(D.Tables().CellsSelected());
    EXPECT_TRUE(D.Tables().LastCell());
}

TEST(TableSelection, SpanningCellsGrowTheBlock)
{
    // the middle column is one cell spanning all three rows
    LoadTables("<table border=1><tr><td>a</td><td rowspan=3>tall</td><td>b</td></tr>"
               "<tr><td>c</td><td>d</td></tr><tr><td>e</td><td>f</td></tr></table>");
    Select(0, 0, 1, 1);
    EXPECT_EQ(Lit(), "0.0 0.1 0.2 1.0 1.1 2.0 2.1");
    EXPECT_TRUE(Designer().Tables().CellsSelected());

    // a colspan cell in the last row pulls in the columns it covers
    LoadTables("<table border=1><tr><td>a</td><td>b</td><td>c</td></tr>"
               "<tr><td colspan=2>wide</td><td>d</td></tr></table>");
    Select(0, 1, 0, 2);
    EXPECT_EQ(Lit(), "0.1 0.2");
    Select(0, 1, 1, 1);
    EXPECT_EQ(Lit(), "0.0 0.1 0.2 1.0 1.1");
}

TEST(TableSelection, OtherTablesButtonsAndElements)
{
    LoadTables(std::string(Grid3) +
               "<table border=1><tr><td>x1</td><td>x2</td></tr><tr><td>y1</td><td>y2</td></tr></table>");
    THtmlDesigner& D = Designer();
    const std::string First = TDesignerHost::Get().DesignId("table", 0);

    // moving over another table while dragging changes nothing
    Drag(CellAt(0, 0), CellAt(0, 1, 1), {CellAt(0, 1)});
    EXPECT_EQ(Lit(0), "0.0 0.1");
    EXPECT_EQ(Lit(1), "");
    EXPECT_EQ(D.Tables().TableId(), First);

    // a press of the right button changes nothing
    Mouse(QTest::MousePress, CellAt(2, 2), Qt::RightButton);
    EXPECT_EQ(Lit(0), "0.0 0.1");
    EXPECT_TRUE(D.Tables().CellsSelected());
    Mouse(QTest::MouseRelease, CellAt(2, 2), Qt::RightButton);
    EXPECT_TRUE(D.Tables().CellsSelected());

    // a press in the second table removes the first one's highlight
    Select(0, 0, 1, 1);
    Drag(CellAt(0, 0, 1), CellAt(1, 0, 1));
    EXPECT_EQ(Lit(0), "");
    EXPECT_EQ(Lit(1), "0.0 1.0");
    EXPECT_EQ(D.Tables().TableId(), TDesignerHost::Get().DesignId("table", 1));

    // whatever lies inside a cell stands for it: bold text in a paragraph, or a nested
    // table's cell (the innermost); a key that takes the caret on, the cell it reaches
    LoadTables("<table border=1><tr><td>a</td><td><p><b>bold text in a cell</b></p></td>"
               "<td><table border=1><tr><td><p>inner</p></td></tr></table></td></tr></table>");
    Drag(CellAt(0, 0), TDesignerHost::Get().Centre("b"));
    EXPECT_EQ(Lit(), "0.0 0.1") << "moves over the bold text reach its cell";
    Click(TDesignerHost::Get().Centre("b"));
    EXPECT_EQ(Lit(), "");
    EXPECT_EQ(D.Tables().LastCell().cellIndex(), 1);
    EXPECT_TRUE(D.CanRun(IDT_INSERTCOLUMNAFTER));
    Click(TDesignerHost::Get().Centre("table table p"));
    EXPECT_EQ(D.Tables().TableId(), TDesignerHost::Get().DesignId("table", 1));
    Click(CellAt(0, 0));
    ASSERT_TRUE(PageKey(D, Qt::Key_Tab));
    EXPECT_EQ(D.Tables().SelectedTable().id(), TDesignerHost::Get().DesignId("table", 0));
    EXPECT_EQ(D.Tables().LastCell().cellIndex(), 1);

    // two tables without an id are still told apart
    LoadTables("<table border=1><tr><td>a</td><td>b</td></tr></table>"
               "<table border=1><tr><td>c</td><td>d</td></tr></table>");
    TDesignerHost::Get().Eval("document.querySelectorAll('table').forEach(t => t.removeAttribute('id'))");
    Select(0, 0, 0, 1);
    const THtmlTable Left = D.Tables().SelectedTable();
    EXPECT_EQ(Lit(Left), "0.0 0.1");
    Click(CellAt(0, 0, 1));
    EXPECT_EQ(Lit(Left), "");
    EXPECT_FALSE(D.Tables().SelectedTable() == Left);
}

TEST(TableSelection, EnableQueries)
{
    THtmlDesigner& D = Designer();
    // rows and columns: insert above, below, delete; before, after, delete; then merge,
    // unmerge, fix, horizontal and vertical alignment
    const auto Enabled = [&] {
        std::string Out;
        for (int Id : {IDT_INSERTROWABOVE, IDT_INSERTROWBELOW, IDT_DELETEROWS, IDT_INSERTCOLUMNBEFORE,
                       IDT_INSERTCOLUMNAFTER, IDT_DELETECOLUMNS, IDT_MERGECELLS, IDT_UNMERGECELLS,
                       IDT_FIXTABLE, IDT_CELLHALIGN, IDT_CELLVALIGN})
            Out += D.CanRun(Id) ? '+' : '-';
        return Out;
    };
    LoadTables(Grid3);
    EXPECT_EQ(Enabled(), "-----------");
    EXPECT_FALSE(D.Tables().SelectedTable());
    Click(CellAt(0, 0));
    EXPECT_EQ(Enabled(), "++++++--+++");
    Select(0, 0, 1, 1);
    EXPECT_EQ(Enabled(), "+++++++++++");

    // a pressed cell that spans can be unmerged
    LoadTables("<table border=1><tr><td colspan=2>wide</td></tr><tr><td>a</td><td>b</td></tr></table>");
    Click(CellAt(0, 0));
    EXPECT_EQ(Enabled(), "++++++-++++");

    // a press on the table's own border knows the table but no cell
    LoadTables("<table border=8 cellspacing=12><tr><td>a</td></tr></table>");
    const QVariantList R = TDesignerHost::Get()
                               .Eval("(function(){ const r = document.querySelector('table')"
                                     ".getBoundingClientRect(); return [r.left + 3, r.top + 3]; })()")
                               .toList();
    Click(QPoint(R.value(0).toInt(), R.value(1).toInt()));
    EXPECT_EQ(Enabled(), "--------+--");
}
