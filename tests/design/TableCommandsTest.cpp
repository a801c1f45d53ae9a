// The table commands on plain, spanning and ragged tables: the saved table each one gives,
// and one Undo (and Redo) of its undo group.
#include <gtest/gtest.h>

#include <sstream>

#include "TableDriver.h"

using namespace zv;
using namespace zv::test;

namespace {

// A table written short: rows split by "|", cells by ","; "-" is a row without cells; a cell
// that starts with "!" is a header cell. After a ":" come the cell's attributes: c2 colspan,
// r2 rowspan, a=center align, v=top valign.
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
            const bool Header = !Cell.empty() && Cell[0] == '!';
            const std::string Tag = Header ? "th" : "td";
            Out += "<" + Tag;
            std::stringstream Attrs(Colon == std::string::npos ? "" : Cell.substr(Colon + 1));
            for (std::string A; Attrs >> A;) {
                const std::string Value = A.substr(A[1] == '=' ? 2 : 1);
                Out += A[0] == 'c'   ? " colspan=\"" + Value + "\""
                       : A[0] == 'r' ? " rowspan=\"" + Value + "\""
                       : A[0] == 'a' ? " align=\"" + Value + "\""
                                     : " valign=\"" + Value + "\"";
            }
            Out += ">" + Cell.substr(Header, Colon - Header) + "</" + Tag + ">";
        }
        Out += "</tr>";
    }
    return Out + "</table>";
}

// A table command and its input.
struct TCommand {
    int Id;
    const char* Input = nullptr;
};
const TCommand RowAbove{IDT_INSERTROWABOVE}, RowBelow{IDT_INSERTROWBELOW}, DelRows{IDT_DELETEROWS},
    ColBefore{IDT_INSERTCOLUMNBEFORE}, ColAfter{IDT_INSERTCOLUMNAFTER}, DelCols{IDT_DELETECOLUMNS},
    Merge{IDT_MERGECELLS}, Unmerge{IDT_UNMERGECELLS}, Fix{IDT_FIXTABLE}, Center{IDT_CELLHALIGN, "center"},
    Top{IDT_CELLVALIGN, "top"};

// Runs Command, which must record one undo group, and gives the saved table it made. One
// Undo brings back the page exactly, and Redo the table again.
std::string Apply(const TCommand& Command)
{
    THtmlDesigner& D = Designer();
    const WideString Before = D.GetHtml();
    const int Index = D.UndoIndex();
    const char* Name = FindDesignerCommand(Command.Id)->Name;
    D.Run(Command.Id, Command.Input ? QVariant(Command.Input) : QVariant());
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

// A table, the cells dragged over from (R0, C0) to (R1, C1) (one cell: a click), a command
// and the table it gives.
struct TCase {
    const char* Table;
    int R0, C0, R1, C1;
    const TCommand& Command;
    const char* Expected;
};

const TCase Cases[] = {
    // rows: above or below the pressed cell, or the first or last highlighted row
    {Plain, 1, 1, 1, 1, RowAbove, "a,b,c|,,|d,e,f|g,h,i"},
    {Plain, 1, 1, 1, 1, RowBelow, "a,b,c|d,e,f|,,|g,h,i"},
    {Plain, 1, 0, 2, 1, RowAbove, "a,b,c|,,|d,e,f|g,h,i"},
    {Plain, 1, 0, 2, 1, RowBelow, "a,b,c|d,e,f|g,h,i|,,"},
    {"a,b|c,d,e,f|g,h,i", 0, 0, 0, 0, RowBelow, "a,b|,,,|c,d,e,f|g,h,i"},
    // a new row inside a span: the spanning cell grows over it, the row is filled beside it
    {"a:r2,b|c", 1, 0, 1, 0, RowAbove, "a:r3,b||c"},
    {"a:r3,b||c", 0, 0, 0, 0, RowBelow, "a:r4,b|||c"},
    {Plain, 1, 1, 1, 1, DelRows, "a,b,c|g,h,i"},
    {Plain, 0, 2, 1, 1, DelRows, "g,h,i"},
    // a cell with rowSpan 2 takes both its rows; the neighbour spanning three moves down into
    // the next row at its column, shorter
    {"a,x:r2,n:r3|b|c,d|e,f,g", 0, 1, 0, 1, DelRows, "c,d,n|e,f,g"},
    {"x:r3,a|b|c", 0, 1, 0, 1, DelRows, "x:r2,b|c"},
    {"a,x:r2,b|c,d|e,f,g", 0, 0, 0, 0, DelRows, "c,x,d|e,f,g"},
    {"a,b|c:r2,d|-|e,f", 3, 0, 3, 0, DelRows, "a,b|c:r2,d|-"},
    // columns: after the pressed cell, before the highlighted first column
    {Plain, 1, 1, 1, 1, ColAfter, "a,b,,c|d,e,,f|g,h,,i"},
    {Plain, 1, 1, 1, 1, ColBefore, "a,,b,c|d,,e,f|g,,h,i"},
    {Plain, 0, 0, 1, 0, ColBefore, ",a,b,c|,d,e,f|,g,h,i"},
    {Plain, 0, 0, 1, 1, ColAfter, "a,b,,c|d,e,,f|g,h,,i"},
    // a row too short for the column gets its cell at the end
    {"a,b|c,d,e|f", 1, 2, 1, 2, ColBefore, "a,b,|c,d,,e|f,"},
    // a cell spanning across the new column widens; one spanning from above pushes it along
    {"a:c2,b|c,d,e", 1, 1, 1, 1, ColBefore, "a:c3,b|c,,d,e"},
    {"a:r2,b|c", 0, 1, 0, 1, ColBefore, "a:r2,,b|,c"},
    // header cells between header cells
    {"!A,!B|c,d", 0, 0, 0, 0, ColAfter, "!A,!,!B|c,,d"},
    {"!A,b|!C,d", 1, 1, 1, 1, ColBefore, "!A,,b|!C,,d"},
    {Plain, 1, 1, 1, 1, DelCols, "a,c|d,f|g,i"},
    {"a,b,c|d:c2", 0, 0, 0, 1, DelCols, "c"},
    {"a:c2,b|c,d,e", 1, 1, 1, 1, DelCols, "a,b|c,e"},
    // merging joins the contents with single blanks; spans count logical columns
    {"a,b,c|d,e,f", 0, 0, 1, 1, Merge, "a b d e:c2 r2,c|f"},
    {"x,|,", 0, 0, 1, 1, Merge, "x:c2 r2|-"},
    {",|,", 0, 0, 1, 1, Merge, ":c2 r2|-"},
    {Plain, 0, 0, 0, 2, Merge, "a b c:c3|d,e,f|g,h,i"},
    {"a:c2,b|c,d,e", 0, 1, 1, 2, Merge, "a:c2,b e:r2|c,d"},
    {"a b d e:c2 r2,c|f", 0, 0, 0, 0, Unmerge, "a b d e,,c|,,f"},
    {"a:c2,b:c2|c,d,e,f", 0, 0, 0, 1, Unmerge, "a,,b,|c,d,e,f"},
    {"x:c3 r2,a|b", 0, 0, 0, 0, Unmerge, "x,,,a|,,,b"},
    {"x:c3 r2|-", 0, 0, 0, 0, Unmerge, "x,,|,,"},
    {"x:c2 r3,a|b", 0, 0, 0, 0, Unmerge, "x,,a|,,b"},   // rows past the end are not made
    {"!H:c2|a,b", 0, 0, 0, 0, Unmerge, "!H,!|a,b"},
    // fixing fills every logical row and adds the rows a span reaches
    {"a,b,c|d,e|f", 2, 0, 2, 0, Fix, "a,b,c|d,e,|f,,"},
    {"a,b|c:r3,d", 0, 0, 0, 0, Fix, "a,b|c:r3,d||"},
    {"a,b|-", 0, 0, 0, 0, Fix, "a,b|,"},
    {"a:r0,b|c", 0, 1, 0, 1, Fix, "a:r0,b|c"},   // rowspan 0 reaches the last row
    {Plain, 0, 0, 0, 0, Fix, Plain},
    {Plain, 1, 1, 1, 1, Center, "a,b,c|d,e:a=center,f|g,h,i"},
    {Plain, 0, 0, 0, 1, Top, "a:v=top,b:v=top,c|d,e,f|g,h,i"},
};

}  // namespace

TEST(TableCommands, EachGivesItsTableAsOneUndoGroup)
{
    for (const TCase& C : Cases) {
        SCOPED_TRACE(std::string(FindDesignerCommand(C.Command.Id)->Name) + " on " + C.Table);
        Load(C.Table);
        Drag(CellAt(C.R0, C.C0), CellAt(C.R1, C.C1));
        EXPECT_EQ(Apply(C.Command), T(C.Expected));
    }
}

TEST(TableCommands, SelectionAfterCommands)
{
    THtmlDesigner& D = Designer();
    Load(Plain);
    Select(0, 0, 1, 0);
    Apply(ColBefore);
    EXPECT_EQ(Lit(), "0.1 1.1") << "the block keeps its cells";
    Click(CellAt(1, 1));
    Apply(ColAfter);
    EXPECT_EQ(Lit(), "") << "the pressed cell is lit only while the column is sought";

    Select(0, 0, 1, 1);
    Apply(Merge);
    EXPECT_EQ(Lit(), "");
    EXPECT_FALSE(D.Tables().CellsSelected());
    EXPECT_FALSE(D.CanRun(IDT_MERGECELLS));
    EXPECT_TRUE(D.CanRun(IDT_UNMERGECELLS)) << "the merged cell is the pressed one now";
    Apply(DelRows);
    EXPECT_FALSE(D.CanRun(IDT_DELETEROWS)) << "the pressed cell is gone";
    EXPECT_FALSE(D.CanRun(IDT_INSERTCOLUMNAFTER));

    // a highlight left over when a right click over the pressed cell ended the block is no
    // target: only the pressed cell's row goes
    Load(Plain);
    Select(0, 0, 1, 0);
    Mouse(QTest::MousePress, CellAt(0, 0), Qt::RightButton);
    Mouse(QTest::MouseRelease, CellAt(0, 0), Qt::RightButton);
    EXPECT_FALSE(D.Tables().CellsSelected());
    EXPECT_EQ(Lit(), "0.0 1.0");
    EXPECT_EQ(Apply(DelRows), T("d,e,f|g,h,i"));

    // a block whose cells all lost their highlight in an unmerge: nothing to delete or record
    Load("a:c2,b:c2|c,d,e,f");
    Select(0, 0, 0, 1);
    D.Run(IDT_UNMERGECELLS);
    EXPECT_TRUE(D.Tables().CellsSelected());
    const int Groups = D.UndoIndex();
    D.Run(IDT_DELETECOLUMNS);
    D.Run(IDT_DELETEROWS);
    EXPECT_EQ(D.UndoIndex(), Groups);
    EXPECT_EQ(TableHtml(), T("a,,b,|c,d,e,f"));
}
