// The table commands on plain, spanning and ragged tables: the saved table each one gives,
// and one Undo (and Redo) of its undo group.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "TableDriver.h"

using namespace zv;
using namespace zv::test;

namespace {

// A table written short: rows split by "|", cells by ","; "-" is a row without cells. After
// a ":" come the cell's attributes: c2 colspan, r2 rowspan, a=center align, v=top valign.
std::vector<std::string> Split(const std::string& Text, char Separator)
{
    std::vector<std::string> Parts(1);
    for (char C : Text)
        if (C == Separator) Parts.emplace_back();
        else Parts.back() += C;
    return Parts;
}

std::string T(const std::string& Spec)
{
    std::string Out = "<table border=\"1\">";
    for (const std::string& Row : Split(Spec, '|')) {
        Out += "<tr>";
        for (const std::string& Cell : Row == "-" ? std::vector<std::string>() : Split(Row, ',')) {
            const size_t Colon = Cell.find(':');
            Out += "<td";
            std::stringstream Attrs(Colon == std::string::npos ? "" : Cell.substr(Colon + 1));
            for (std::string A; Attrs >> A;) {
                const std::string Value = A.substr(A[1] == '=' ? 2 : 1);
                Out += A[0] == 'c'   ? " colspan=\"" + Value + "\""
                       : A[0] == 'r' ? " rowspan=\"" + Value + "\""
                       : A[0] == 'a' ? " align=\"" + Value + "\""
                                     : " valign=\"" + Value + "\"";
            }
            Out += ">" + Cell.substr(0, Colon) + "</td>";
        }
        Out += "</tr>";
    }
    return Out + "</table>";
}

// Runs Command, which must record one undo group Name, and gives the saved table it made.
// One Undo brings back the page exactly, and Redo the table again.
std::string Apply(const char* Name, const std::function<void()>& Command)
{
    TTestDesigner& D = Designer();
    const WideString Before = D.GetHtml();
    const int Index = D.UndoIndex();
    Command();
    const std::string After = TableHtml();
    EXPECT_EQ(D.UndoIndex(), Index + 1);
    if (D.UndoIndex() >= 0) {
        EXPECT_EQ(D.UndoList()[D.UndoIndex()].Name, Name);
    }
    D.Undo();
    EXPECT_EQ(Utf16ToUtf8(D.GetHtml()), Utf16ToUtf8(Before)) << Name << " undone";
    D.Redo();
    EXPECT_EQ(TableHtml(), After) << Name << " redone";
    return After;
}

void Load(const std::string& Spec)
{
    LoadTables(T(Spec));
    ASSERT_EQ(TableHtml(), T(Spec)) << "the table as written";
}

const char* const Plain = "a,b,c|d,e,f|g,h,i";

}  // namespace

TEST(TableCommands, BuilderWritesTables)
{
    EXPECT_EQ(T("a,|-|x:c2 r3"), "<table border=\"1\"><tr><td>a</td><td></td></tr><tr></tr>"
                                 "<tr><td colspan=\"2\" rowspan=\"3\">x</td></tr></table>");
}

TEST(TableCommands, InsertRows)
{
    TTestDesigner& D = Designer();
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Insert Row Above", [&] { D.InsertRowAbove(); }), T("a,b,c|,,|d,e,f|g,h,i"));
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Insert Row Below", [&] { D.InsertRowBelow(); }), T("a,b,c|d,e,f|,,|g,h,i"));
    EXPECT_EQ(Lit(), "") << "the pressed cell is not lit";

    // the highlighted rows 1 and 2 decide
    Load(Plain);
    Select(1, 0, 2, 1);
    EXPECT_EQ(Apply("Insert Row Above", [&] { D.InsertRowAbove(); }), T("a,b,c|,,|d,e,f|g,h,i"));
    Load(Plain);
    Select(1, 0, 2, 1);
    EXPECT_EQ(Apply("Insert Row Below", [&] { D.InsertRowBelow(); }), T("a,b,c|d,e,f|g,h,i|,,"));
    EXPECT_EQ(Lit(), "1.0 1.1 2.0 2.1") << "the block stays";
    EXPECT_TRUE(D.CellsSelected);

    // rows 2, 4 and 3 wide: a new row is as wide as the widest
    Load("a,b|c,d,e,f|g,h,i");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Insert Row Below", [&] { D.InsertRowBelow(); }), T("a,b|,,,|c,d,e,f|g,h,i"));

    // a new row inside a span: the spanning cell grows over it and the row is filled beside it
    Load("a:r2,b|c");
    Click(CellAt(1, 0));
    EXPECT_EQ(Apply("Insert Row Above", [&] { D.InsertRowAbove(); }), T("a:r3,b||c"));
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Insert Row Below", [&] { D.InsertRowBelow(); }), T("a:r4,b|||c"));
}

TEST(TableCommands, DeleteRows)
{
    TTestDesigner& D = Designer();
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Delete Rows", [&] { D.DeleteRows(); }), T("a,b,c|g,h,i"));
    EXPECT_FALSE(D.CanDeleteRows()) << "the pressed cell is gone";
    EXPECT_FALSE(D.CanInsertColumnAfter());

    Load(Plain);
    Select(0, 2, 1, 1);
    EXPECT_EQ(Apply("Delete Rows", [&] { D.DeleteRows(); }), T("g,h,i"));

    // a cell with rowSpan 2 takes both its rows; the neighbour spanning three rows stays and
    // loses the row that went
    Load("a,x:r2,n:r3|b|c,d|e,f,g");
    Click(CellAt(0, 1));
    EXPECT_EQ(Apply("Delete Rows", [&] { D.DeleteRows(); }), T("n:r2|c,d|e,f,g"));

    // an empty row elsewhere is no target
    Load("a,b|c:r2,d|-|e,f");
    Click(CellAt(3, 0));
    EXPECT_EQ(Apply("Delete Rows", [&] { D.DeleteRows(); }), T("a,b|c:r2,d|-"));

    // a left-over highlight is no target of a single pressed cell
    Load(Plain);
    Select(0, 0, 1, 0);
    Mouse(QTest::MousePress, CellAt(0, 0), Qt::RightButton);
    Mouse(QTest::MouseRelease, CellAt(0, 0), Qt::RightButton);   // over the pressed cell
    EXPECT_FALSE(D.CellsSelected);
    EXPECT_EQ(Lit(), "0.0 1.0");
    EXPECT_EQ(Apply("Delete Rows", [&] { D.DeleteRows(); }), T("d,e,f|g,h,i"));
}

TEST(TableCommands, InsertColumns)
{
    TTestDesigner& D = Designer();
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Insert Column After", [&] { D.InsertColumnAfter(); }), T("a,b,,c|d,e,,f|g,h,,i"));
    EXPECT_EQ(Lit(), "") << "the pressed cell ends without highlight";
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Insert Column Before", [&] { D.InsertColumnBefore(); }), T("a,,b,c|d,,e,f|g,,h,i"));

    // the highlight in the first column: the new cells go first
    Load(Plain);
    Select(0, 0, 1, 0);
    EXPECT_EQ(Apply("Insert Column Before", [&] { D.InsertColumnBefore(); }), T(",a,b,c|,d,e,f|,g,h,i"));
    EXPECT_EQ(Lit(), "0.1 1.1") << "the block keeps its cells";
    Load(Plain);
    Select(0, 0, 1, 1);
    EXPECT_EQ(Apply("Insert Column After", [&] { D.InsertColumnAfter(); }), T("a,b,,c|d,e,,f|g,h,,i"));

    // ragged rows: a row too short for the column gets its cell at the end
    Load("a,b|c,d,e|f");
    Click(CellAt(1, 2));
    EXPECT_EQ(Apply("Insert Column Before", [&] { D.InsertColumnBefore(); }), T("a,b,|c,d,,e|f,"));

    // a cell spanning across the new column widens instead of getting a neighbour
    Load("a:c2,b|c,d,e");
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Insert Column Before", [&] { D.InsertColumnBefore(); }), T("a:c3,b|c,,d,e"));
    // a cell spanning from the row above pushes the new cell along
    Load("a:r2,b|c");
    Click(CellAt(0, 1));
    EXPECT_EQ(Apply("Insert Column Before", [&] { D.InsertColumnBefore(); }), T("a:r2,,b|,c"));
}

TEST(TableCommands, DeleteColumns)
{
    TTestDesigner& D = Designer();
    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Delete Column", [&] { D.DeleteColumns(); }), T("a,c|d,f|g,i"));
    EXPECT_FALSE(D.CanDeleteColumns());

    // a row whose cells all lie in the band goes too
    Load("a,b,c|d:c2");
    Select(0, 0, 0, 1);
    EXPECT_EQ(Apply("Delete Column", [&] { D.DeleteColumns(); }), T("c"));

    // a cell reaching into the band from outside stays and loses the column
    Load("a:c2,b|c,d,e");
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Delete Column", [&] { D.DeleteColumns(); }), T("a,b|c,e"));

    // a block selection that lost its highlight deletes nothing and records nothing
    Load("a:c2,b:c2|c,d,e,f");
    Select(0, 0, 0, 1);
    D.UnmergeCells();
    ASSERT_EQ(TableHtml(), T("a,,b,|c,d,e,f"));
    EXPECT_TRUE(D.CellsSelected);
    EXPECT_EQ(Lit(), "");
    const int Groups = D.UndoIndex();
    D.DeleteColumns();
    D.DeleteRows();
    EXPECT_EQ(D.UndoIndex(), Groups);
    EXPECT_EQ(TableHtml(), T("a,,b,|c,d,e,f"));
}

TEST(TableCommands, MergeAndUnmerge)
{
    TTestDesigner& D = Designer();
    Load("a,b,c|d,e,f");
    Select(0, 0, 1, 1);
    EXPECT_EQ(Apply("Merge Cells", [&] { D.MergeCells(); }), T("a b d e:c2 r2,c|f"));
    EXPECT_EQ(Lit(), "");
    EXPECT_FALSE(D.CellsSelected);
    EXPECT_FALSE(D.CanMergeCells());
    EXPECT_TRUE(D.CanUnmergeCells()) << "the merged cell is the pressed one now";
    EXPECT_EQ(Apply("Unmerge Cells", [&] { D.UnmergeCells(); }), T("a b d e,,c|,,f"));

    Load("x,|,");
    Select(0, 0, 1, 1);
    EXPECT_EQ(Apply("Merge Cells", [&] { D.MergeCells(); }), T("x:c2 r2|-"));
    Load(",|,");
    Select(0, 0, 1, 1);
    EXPECT_EQ(Apply("Merge Cells", [&] { D.MergeCells(); }), T(":c2 r2|-"));
    Load(Plain);
    Select(0, 0, 0, 2);
    EXPECT_EQ(Apply("Merge Cells", [&] { D.MergeCells(); }), T("a b c:c3|d,e,f|g,h,i"));
    EXPECT_TRUE(D.CanInsertRowBelow());

    // spans count in logical columns: the right column of a table whose first row has a
    // cell two columns wide
    Load("a:c2,b|c,d,e");
    Select(0, 1, 1, 2);
    EXPECT_EQ(Lit(), "0.1 1.2");
    EXPECT_EQ(Apply("Merge Cells", [&] { D.MergeCells(); }), T("a:c2,b e:r2|c,d"));

    // two highlighted cells side by side, each two columns wide: both split
    Load("a:c2,b:c2|c,d,e,f");
    Select(0, 0, 0, 1);
    EXPECT_EQ(Apply("Unmerge Cells", [&] { D.UnmergeCells(); }), T("a,,b,|c,d,e,f"));

    // three columns by two rows in the top left corner
    Load("x:c3 r2,a|b");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Unmerge Cells", [&] { D.UnmergeCells(); }), T("x,,,a|,,,b"));
    Load("x:c3 r2|-");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Unmerge Cells", [&] { D.UnmergeCells(); }), T("x,,|,,"));
    // a span past the last row: the rows that are there are filled
    Load("x:c2 r3,a|b");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Unmerge Cells", [&] { D.UnmergeCells(); }), T("x,,a|,,b"));
}

TEST(TableCommands, FixTableAndAlignment)
{
    TTestDesigner& D = Designer();
    Load("a,b,c|d,e|f");
    Click(CellAt(2, 0));
    EXPECT_EQ(Apply("Fix Table", [&] { D.FixTable(); }), T("a,b,c|d,e,|f,,"));
    Load("a,b|c:r3,d");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Fix Table", [&] { D.FixTable(); }), T("a,b|c:r3,d||"));
    Load("a,b|-");
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Fix Table", [&] { D.FixTable(); }), T("a,b|,"));
    Load("a:r0,b|c");
    Click(CellAt(0, 1));
    EXPECT_EQ(Apply("Fix Table", [&] { D.FixTable(); }), T("a:r0,b|c")) << "rowspan 0 reaches the end";
    Load(Plain);
    Click(CellAt(0, 0));
    EXPECT_EQ(Apply("Fix Table", [&] { D.FixTable(); }), T(Plain)) << "nothing to fix";

    Load(Plain);
    Click(CellAt(1, 1));
    EXPECT_EQ(Apply("Cell Horizontal Alignment", [&] { D.SetCellHorizontalAlignment("center"); }),
              T("a,b,c|d,e:a=center,f|g,h,i"));
    Select(0, 0, 0, 1);
    EXPECT_EQ(Apply("Cell Vertical Alignment", [&] { D.SetCellVerticalAlignment("top"); }),
              T("a:v=top,b:v=top,c|d,e:a=center,f|g,h,i"));
    EXPECT_EQ(Lit(), "0.0 0.1") << "the highlight stays";
}
