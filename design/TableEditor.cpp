// Table editing of the design view. Each command reads the table in one call (Layout) and
// works out its changes on that picture, in logical rows and columns (spans expanded), so that
// a rectangular table stays rectangular.
#include "TableEditor.h"

#include <algorithm>

namespace zv {

namespace {

const WideString Highlight = u"yellow";

bool IsHighlighted(const TCellLayout& Cell) { return Cell.RuntimeBackground == Highlight; }

int SpanOf(int Value) { return std::max(1, Value); }

// Rows a cell of row Row covers; rowspan="0" reaches to the last of the table's Total rows.
int RowsOf(const TCellLayout& Cell, int Row, int Total)
{
    return Cell.rowSpan == 0 ? std::max(1, Total - Row) : SpanOf(Cell.rowSpan);
}

TRect RectOf(const QRect& R) { return {R.x(), R.y(), R.x() + R.width(), R.y() + R.height()}; }

bool Intersects(const TRect& A, const TRect& B)
{
    return std::max(A.Left, B.Left) < std::min(A.Right, B.Right) &&
           std::max(A.Top, B.Top) < std::min(A.Bottom, B.Bottom);
}

bool Contains(const TRect& Outer, const TRect& Inner)
{
    return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
           Inner.Bottom <= Outer.Bottom;
}

TRect Union(const TRect& A, const TRect& B)
{
    return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
            std::max(A.Bottom, B.Bottom)};
}

using TTableLayout = std::vector<TRowLayout>;

// Adds a cell of row Row of a table of Total rows to the row width list.
void Accumulate(std::vector<int>& Widths, int Row, int Total, const TCellLayout& Cell)
{
    const int Rows = RowsOf(Cell, Row, Total);
    if (static_cast<int>(Widths.size()) < Row + Rows) Widths.resize(Row + Rows, 0);
    for (int R = Row; R < Row + Rows; ++R) Widths[R] += SpanOf(Cell.colSpan);
}

void Measure(const TTableLayout& Rows, std::vector<int>& Widths, int& MaxWidth, int& RowCount)
{
    Widths.clear();
    for (size_t I = 0; I < Rows.size(); ++I)
        for (const TCellLayout& Cell : Rows[I].Cells)
            Accumulate(Widths, static_cast<int>(I), static_cast<int>(Rows.size()), Cell);
    RowCount = static_cast<int>(Widths.size());
    MaxWidth = Widths.empty() ? 0 : *std::max_element(Widths.begin(), Widths.end());
}

// A cell placed in the logical grid: rows by their place in the rows collection, columns as
// the engine lays them out (a cell takes the first slot that no span from above covers).
struct TSlot {
    const TCellLayout* Cell;
    int Row;
    int Index;              // in its row
    int Col;
    int RowSpan;
    int ColSpan;
    int Right() const { return Col + ColSpan; }
    int Bottom() const { return Row + RowSpan; }
};

std::vector<std::vector<TSlot>> GridOf(const TTableLayout& Rows)
{
    std::vector<std::vector<char>> Taken(Rows.size());
    std::vector<std::vector<TSlot>> Grid(Rows.size());
    for (size_t R = 0; R < Rows.size(); ++R) {
        int Col = 0;
        for (size_t I = 0; I < Rows[R].Cells.size(); ++I) {
            const TCellLayout& Cell = Rows[R].Cells[I];
            while (Col < static_cast<int>(Taken[R].size()) && Taken[R][Col]) ++Col;
            const TSlot S{&Cell, static_cast<int>(R), static_cast<int>(I), Col,
                          RowsOf(Cell, static_cast<int>(R), static_cast<int>(Rows.size())),
                          SpanOf(Cell.colSpan)};
            // spans past the last row cover nothing that needs a place
            for (size_t Below = R; Below < Rows.size() && static_cast<int>(Below) < S.Bottom();
                 ++Below) {
                if (static_cast<int>(Taken[Below].size()) < S.Right()) Taken[Below].resize(S.Right(), 0);
                std::fill(Taken[Below].begin() + Col, Taken[Below].begin() + S.Right(), 1);
            }
            Grid[R].push_back(S);
            Col = S.Right();
        }
    }
    return Grid;
}

// A span of 1 is the default: the attribute goes rather than saying so.
void SetColSpan(const THtmlTableCell& Cell, int Value)
{
    if (Value == 1) Cell.removeAttribute("colspan");
    else Cell.setColSpan(Value);
}

void SetRowSpan(const THtmlTableCell& Cell, int Value)
{
    if (Value == 1) Cell.removeAttribute("rowspan");
    else Cell.setRowSpan(Value);
}

// Runs the changes as the undo group Name.
template <class F> void AsAction(THtmlDesigner& D, const char* Name, F&& Changes)
{
    TUndoGroup Group(D, Name);
    Changes();
}

}  // namespace

// ---------------------------------------------------------------- cell selection

void TTableEditor::Reset()
{
    Table = {};
    FTableId.clear();
    LastRow = {};
    FLastCell = {};
    FDragging = false;
    FCellsSelected = false;
    CaretMoved = false;
    AnchorRect = {-1, -1, -1, -1};
    CurrentRect = {-3, -3, -3, -3};
    DragCells.clear();
    DragHits.clear();
}

void TTableEditor::MouseEvent(const TPageEvent& Event)
{
    if (!Event.srcElement) return;
    if (Event.Type == "mousemove") {
        if (FDragging && Table) CellMouseMove(Event.srcElement);
        return;
    }
    const bool Down = Event.Type == "mousedown";
    if (!Down && (Event.Type != "mouseup" || !Table)) return;
    const TCellPlace At = Event.srcElement.TablePlace();
    if (At.Cell) {
        if (Down) CellMouseDown(At, Event.Buttons);
        else CellMouseUp(At);
    } else if (At.Table) {
        if (Down) TableMouseDown(At, Event.Buttons);
    } else {
        Forget();
    }
}

void TTableEditor::Forget()
{
    ClearCellSelection();
    const TRect Anchor = AnchorRect, Current = CurrentRect;
    Reset();
    AnchorRect = Anchor;
    CurrentRect = Current;
}

void TTableEditor::ClearCellSelection()
{
    if (!Table || !Table.IsCurrent()) return;
    std::vector<std::pair<THtmlElement, WideString>> Plain;
    for (const TRowLayout& Row : Table.Layout())
        for (const TCellLayout& Cell : Row.Cells) Plain.emplace_back(Cell.Cell, WideString());
    if (!Plain.empty()) D.Document().SetRuntimeBackgrounds(Plain);
}

void TTableEditor::Target(const TCellPlace& At)
{
    // tables are told apart by element, so that two tables without an id are too
    if (Table && !(At.Table == Table)) ClearCellSelection();
    Table = At.Table;
    FTableId = At.TableId;
    FLastCell = At.Cell;
    LastRow = At.Row;
    AnchorRect = At.Cell ? RectOf(At.Offset) : TRect{-1, -1, -1, -1};
}

void TTableEditor::TableMouseDown(const TCellPlace& At, int Buttons)
{
    if (!(Buttons & 1)) return;
    FDragging = false;
    FCellsSelected = false;
    CaretMoved = false;
    // a press on the table between its cells: At has the table alone
    Target(At);
}

void TTableEditor::CellMouseDown(const TCellPlace& At, int Buttons)
{
    if (!(Buttons & 1)) return;
    FDragging = true;
    FCellsSelected = false;
    CaretMoved = false;
    Target(At);
    // a new drag starts in the pressed cell, whatever cell the last one ended in
    CurrentRect = AnchorRect;
    DragCells.clear();
    DragHits.clear();
}

void TTableEditor::CellMouseMove(const THtmlElement& Over)
{
    // the layout does not change while the button is held: a cell the drag has read is known
    std::optional<TRect> R;
    for (const TRowLayout& Row : DragCells) {
        for (const TCellLayout& Cell : Row.Cells)
            if (Cell.Cell.Number() == Over.Number()) {
                R = RectOf(Cell.Offset);
                break;
            }
        if (R) break;
    }
    if (!R) {
        const auto Hit = DragHits.find(Over.Number());
        if (Hit != DragHits.end()) {
            R = Hit->second;
        } else {
            const TCellPlace Place = Over.TablePlace();
            if (Place.Cell && Place.Table == Table) R = RectOf(Place.Offset);
            DragHits.emplace(Over.Number(), R);
        }
    }
    if (!R || *R == CurrentRect) return;
    CurrentRect = *R;
    if (!FCellsSelected && CurrentRect != AnchorRect) {
        ClearTextSelection();
        FCellsSelected = true;
    }
    if (FCellsSelected) PaintCellSelection();
}

void TTableEditor::CellMouseUp(const TCellPlace& At)
{
    FDragging = false;
    DragCells.clear();
    DragHits.clear();
    if (RectOf(At.Offset) != AnchorRect) return;
    if (!FCellsSelected) ClearCellSelection();
    FCellsSelected = false;
}

void TTableEditor::FollowCaret()
{
    if (!CaretMoved || FDragging || FCellsSelected) return;
    CaretMoved = false;
    const THtmlElement& At = D.CurrentElement();
    if (!At.IsCurrent()) return;
    TCellPlace Place;
    try {
        Place = At.TablePlace();
    } catch (const EEngineError&) {
        return;
    }
    if (!Place.Table) return Forget();
    Target(Place);
}

THtmlTable TTableEditor::SelectedTable()
{
    FollowCaret();
    return Table;
}

// Highlights the cells that the rectangle of the anchor and the current cell cuts into,
// grown until no highlighted cell sticks out of it; the others lose their highlight. The
// table is read once a drag; only the cells whose highlight changes are painted.
void TTableEditor::PaintCellSelection()
{
    if (DragCells.empty()) DragCells = Table.Layout();
    TTableLayout& Rows = DragCells;
    TRect S = Union(AnchorRect, CurrentRect);
    for (bool Grew = true; Grew;) {
        Grew = false;
        for (const TRowLayout& Row : Rows)
            for (const TCellLayout& Cell : Row.Cells) {
                const TRect C = RectOf(Cell.Offset);
                if (Intersects(C, S) && !Contains(S, C)) {
                    S = Union(S, C);
                    Grew = true;
                }
            }
    }
    std::vector<std::pair<THtmlElement, WideString>> Changes;
    for (TRowLayout& Row : Rows)
        for (TCellLayout& Cell : Row.Cells) {
            const bool On = Intersects(RectOf(Cell.Offset), S);
            if (On == IsHighlighted(Cell) && (On || Cell.RuntimeBackground.empty())) continue;
            Cell.RuntimeBackground = On ? Highlight : WideString();
            Changes.emplace_back(Cell.Cell, Cell.RuntimeBackground);
        }
    if (!Changes.empty()) D.Document().SetRuntimeBackgrounds(Changes);
}

void TTableEditor::ClearTextSelection()
{
    const THtmlSelection Selection = D.Document().selection();
    // an element selected as a whole is no text selection
    if (Selection.type() == "Control") return;
    Selection.createRange().execCommand("Unselect");
}

bool TTableEditor::IsTargetCell(const TCellLayout& Cell) const
{
    // without a block, a highlight left over from an earlier drag is no target
    return FCellsSelected ? IsHighlighted(Cell) : Cell.Cell == FLastCell;
}

// ---------------------------------------------------------------- commands

bool TTableEditor::Can(int Id)
{
    switch (Id) {
    case IDT_INSERTROWABOVE:
    case IDT_INSERTROWBELOW:
    case IDT_DELETEROWS: return CanEditRows();
    case IDT_INSERTCOLUMNBEFORE:
    case IDT_INSERTCOLUMNAFTER:
    case IDT_DELETECOLUMNS: return CanEditColumns();
    case IDT_MERGECELLS: return CanMergeCells();
    case IDT_UNMERGECELLS: return CanUnmergeCells();
    case IDT_FIXTABLE: return CanFixTable();
    case IDT_CELLHALIGN:
    case IDT_CELLVALIGN: return CanAlignCells();
    }
    return false;
}

void TTableEditor::Run(int Id, const char* Action, const QVariant& Input)
{
    switch (Id) {
    case IDT_INSERTROWABOVE:
    case IDT_INSERTROWBELOW: return InsertRow(Id == IDT_INSERTROWBELOW, Action);
    case IDT_DELETEROWS:
    case IDT_DELETECOLUMNS: return DeleteBand(Id == IDT_DELETECOLUMNS, Action);
    case IDT_INSERTCOLUMNBEFORE:
    case IDT_INSERTCOLUMNAFTER: return InsertColumn(Id == IDT_INSERTCOLUMNAFTER, Action);
    case IDT_MERGECELLS: return MergeCells(Action);
    case IDT_UNMERGECELLS: return UnmergeCells(Action);
    case IDT_FIXTABLE: return FixTable(Action);
    case IDT_CELLHALIGN:
    case IDT_CELLVALIGN: return SetCellAlignment(Id == IDT_CELLVALIGN, Input.toString().toStdString(), Action);
    }
}

// ---------------------------------------------------------------- rows and columns

bool TTableEditor::CanEditRows()
{
    FollowCaret();
    return Table && LastRow;
}

bool TTableEditor::CanEditColumns()
{
    FollowCaret();
    return Table && LastRow && FLastCell;
}

// A new row above or below the row of the target, as wide as the widest logical row. Cells
// whose span crosses the new row's place grow over it, and it gets cells for the rest.
void TTableEditor::InsertRow(bool Below, const char* Action)
{
    if (!CanEditRows()) return;
    const TTableLayout Rows = Table.Layout();
    int Target = -1;
    if (FCellsSelected) {
        for (size_t K = 0; K < Rows.size() && Target < 0; ++K) {
            const TRowLayout& Row = Rows[Below ? Rows.size() - 1 - K : K];
            if (std::any_of(Row.Cells.begin(), Row.Cells.end(), IsHighlighted)) Target = Row.rowIndex;
        }
    }
    if (Target < 0) {
        const auto Own = std::find_if(Rows.begin(), Rows.end(),
                                      [&](const TRowLayout& R) { return R.Row == LastRow; });
        if (Own == Rows.end()) return;   // the row is no longer in the table
        Target = Own->rowIndex;
    }
    std::vector<int> Widths;
    int MaxWidth = 0, RowCount = 0;
    Measure(Rows, Widths, MaxWidth, RowCount);
    const int At = Below ? Target + 1 : Target;
    std::vector<const TSlot*> Crossing;
    int Covered = 0;
    const auto Grid = GridOf(Rows);
    for (const auto& Row : Grid)
        for (const TSlot& S : Row)
            if (S.Row < At && S.Bottom() > At) {
                Crossing.push_back(&S);
                Covered += S.ColSpan;
            }

    AsAction(D, Action, [&] {
        const THtmlTableRow NewRow = Table.insertRow(At);
        for (int K = Covered; K < MaxWidth; ++K) NewRow.insertCell(0);
        for (const TSlot* S : Crossing) SetRowSpan(S->Cell->Cell, S->RowSpan + 1);
    });
}

// A new logical column before the first or after the last column of the target. Each row
// gets one empty cell there, except where a cell spans across that column: it grows instead.
// The table's col declarations get the column too.
void TTableEditor::InsertColumn(bool After, const char* Action)
{
    if (!CanEditColumns()) return;
    const TTableLayout Rows = Table.Layout();
    const auto Grid = GridOf(Rows);
    std::optional<int> Col;
    for (const auto& Row : Grid) {
        // the row's first run of target cells
        auto First = std::find_if(Row.begin(), Row.end(),
                                  [&](const TSlot& S) { return IsTargetCell(*S.Cell); });
        if (First == Row.end()) continue;
        if (!After) {
            Col = Col ? std::min(*Col, First->Col) : First->Col;
            continue;
        }
        auto Last = First;
        while (Last + 1 != Row.end() && IsTargetCell(*(Last + 1)->Cell)) ++Last;
        Col = Col ? std::max(*Col, Last->Right()) : Last->Right();
    }
    if (!Col) return;

    // rows covered at the new column by a cell that spans across it get no cell of their own
    std::vector<char> Covered(Rows.size(), 0);
    std::vector<const TSlot*> Growing;
    for (const auto& Row : Grid)
        for (const TSlot& S : Row)
            if (S.Col < *Col && S.Right() > *Col) {
                Growing.push_back(&S);
                for (int R = S.Row; R < S.Bottom() && R < static_cast<int>(Rows.size()); ++R)
                    Covered[R] = 1;
            }

    AsAction(D, Action, [&] {
        for (size_t R = 0; R < Grid.size(); ++R) {
            if (Covered[R]) continue;
            const auto& Row = Grid[R];
            const auto Next = std::find_if(Row.begin(), Row.end(), [&](const TSlot& S) { return S.Col >= *Col; });
            // a header cell between header cells (or beside one at the row's end)
            const bool Header = (Next == Row.begin() || (Next - 1)->Cell->Header) &&
                                (Next == Row.end() || Next->Cell->Header) && !Row.empty();
            // a short row gets the cell at its end
            Rows[R].Row.insertCell(Next == Row.end() ? -1 : Next->Index, Header);
        }
        for (const TSlot* S : Growing) SetColSpan(S->Cell->Cell, S->ColSpan + 1);
        Table.insertDeclaredColumn(*Col, After);
    });
}

// Deletes every cell that lies within the band of rows (or columns) of the target, then the
// rows this leaves without cells. Cells reaching into the band from outside stay and lose the
// rows or columns that went; a cell that starts in a row that goes and reaches below the band
// moves down into the next row that stays, at its column. Columns that go leave the table's
// col declarations too.
void TTableEditor::DeleteBand(bool Columns, const char* Action)
{
    FollowCaret();
    if (!Table || !FLastCell) return;
    const TTableLayout Rows = Table.Layout();
    const auto Lo = [&](const TCellLayout& C) { return Columns ? C.Offset.x() : C.Offset.y(); };
    const auto Hi = [&](const TCellLayout& C) {
        return Columns ? C.Offset.x() + C.Offset.width() : C.Offset.y() + C.Offset.height();
    };
    std::optional<std::pair<int, int>> Band;
    for (const TRowLayout& Row : Rows)
        for (const TCellLayout& Cell : Row.Cells)
            if (IsTargetCell(Cell))
                Band = Band ? std::pair(std::min(Band->first, Lo(Cell)), std::max(Band->second, Hi(Cell)))
                            : std::pair(Lo(Cell), Hi(Cell));
    if (!Band) return;

    const auto Grid = GridOf(Rows);
    const int RowTotal = static_cast<int>(Rows.size());
    std::vector<char> Deleted(RowTotal, 0);       // the row loses a cell
    std::vector<int> Left(RowTotal, 0);           // cells that stay in the row
    std::vector<char> Gone(RowTotal, 0);          // covered by a deleted cell
    std::vector<char> GoneCols;
    std::vector<std::pair<THtmlElement, WideString>> Unlit;
    std::vector<const TSlot*> Removed, Staying, Leaving;
    for (const auto& Row : Grid)
        for (const TSlot& S : Row) {
            const bool Inside = Lo(*S.Cell) >= Band->first && Hi(*S.Cell) <= Band->second;
            if (!Inside) {
                Staying.push_back(&S);
                // starts in the band and reaches below it: the row may go without it
                if (!Columns && Lo(*S.Cell) >= Band->first && Lo(*S.Cell) < Band->second)
                    Leaving.push_back(&S);
                else
                    ++Left[S.Row];
                continue;
            }
            Deleted[S.Row] = 1;
            for (int R = S.Row; R < S.Bottom() && R < RowTotal; ++R) Gone[R] = 1;
            Removed.push_back(&S);
            if (!S.Cell->RuntimeBackground.empty()) Unlit.emplace_back(S.Cell->Cell, WideString());
            if (static_cast<int>(GoneCols.size()) < S.Right()) GoneCols.resize(S.Right(), 0);
            std::fill(GoneCols.begin() + S.Col, GoneCols.begin() + S.Right(), 1);
        }
    // a row goes when it is left without cells of its own and lost some now, or was empty
    // before and a deleted cell covered it; other empty rows stay
    std::vector<char> DropRow(RowTotal, 0);
    for (int R = 0; R < RowTotal; ++R) DropRow[R] = Left[R] == 0 && (Deleted[R] || Gone[R]);
    // where each leaving cell of a row that goes moves to: the first row of its span that
    // stays; a cell with no such row keeps its row
    std::vector<std::pair<int, const TSlot*>> Moves;
    for (const TSlot* S : Leaving) {
        if (!DropRow[S->Row]) continue;
        int To = S->Row + 1;
        while (To < std::min(S->Bottom(), RowTotal) && DropRow[To]) ++To;
        if (To < std::min(S->Bottom(), RowTotal)) Moves.emplace_back(To, S);
    }
    for (const TSlot* S : Leaving)
        if (DropRow[S->Row] && std::none_of(Moves.begin(), Moves.end(), [&](const auto& M) { return M.second == S; }))
            DropRow[S->Row] = 0;
    std::sort(Moves.begin(), Moves.end(), [](const auto& A, const auto& B) {
        return A.first != B.first ? A.first < B.first : A.second->Col < B.second->Col;
    });
    // in front of the first cell to its right that stays in the row (none moves from there)
    const auto Before = [&](int To, const TSlot* S) {
        for (const TSlot& Next : Grid[To])
            if (Next.Col > S->Col && std::find(Staying.begin(), Staying.end(), &Next) != Staying.end())
                return Next.Cell->Cell;
        return THtmlTableCell();
    };

    AsAction(D, Action, [&] {
        if (!Unlit.empty()) D.Document().SetRuntimeBackgrounds(Unlit);
        for (auto S = Removed.rbegin(); S != Removed.rend(); ++S)
            Rows[(*S)->Row].Row.deleteCell((*S)->Index);
        for (const auto& [To, S] : Moves) Rows[To].Row.moveCell(S->Cell->Cell, Before(To, S));
        for (int R = RowTotal - 1; R >= 0; --R)
            if (DropRow[R]) Table.deleteRow(Rows[R].rowIndex);
        // spans that reached across what went
        for (const TSlot* S : Staying) {
            int LostRows = 0, LostCols = 0;
            for (int R = S->Row; R < S->Bottom() && R < RowTotal; ++R) LostRows += DropRow[R];
            for (int C = S->Col; Columns && C < S->Right() && C < static_cast<int>(GoneCols.size()); ++C)
                LostCols += GoneCols[C];
            if (LostRows) SetRowSpan(S->Cell->Cell, std::max(1, S->RowSpan - LostRows));
            if (LostCols) SetColSpan(S->Cell->Cell, std::max(1, S->ColSpan - LostCols));
        }
        if (Columns) Table.deleteDeclaredColumns(GoneCols);
        LastRow = {};
        FLastCell = {};
    });
}

// ---------------------------------------------------------------- cells

bool TTableEditor::CanMergeCells()
{
    FollowCaret();
    return Table && LastRow && FLastCell && FCellsSelected;
}

bool TTableEditor::CanUnmergeCells()
{
    FollowCaret();
    if (!Table || !LastRow || !FLastCell) return false;
    return FCellsSelected || FLastCell.colSpan() > 1 || FLastCell.rowSpan() > 1;
}

bool TTableEditor::CanFixTable()
{
    FollowCaret();
    return static_cast<bool>(Table);
}

bool TTableEditor::CanAlignCells()
{
    FollowCaret();
    return Table && FLastCell;
}

// The highlighted block becomes its first cell, spanning the block's logical rows and
// columns, with the contents of all its cells joined by blanks.
void TTableEditor::MergeCells(const char* Action)
{
    if (!CanMergeCells()) return;
    const TTableLayout Rows = Table.Layout();
    const auto Grid = GridOf(Rows);
    // the block: the least rectangle of slots that holds every highlighted cell and cuts
    // through none
    std::optional<TRect> Block;
    for (const auto& Row : Grid)
        for (const TSlot& S : Row)
            if (IsHighlighted(*S.Cell)) {
                const TRect R{S.Col, S.Row, S.Right(), S.Bottom()};
                Block = Block ? Union(*Block, R) : R;
            }
    std::vector<const TSlot*> Inside;
    if (Block) {
        for (bool Grew = true; Grew;) {
            Grew = false;
            Inside.clear();
            for (const auto& Row : Grid)
                for (const TSlot& S : Row) {
                    const TRect R{S.Col, S.Row, S.Right(), S.Bottom()};
                    if (!Intersects(R, *Block)) continue;
                    if (!Contains(*Block, R)) {
                        Block = Union(*Block, R);
                        Grew = true;
                    }
                    Inside.push_back(&S);
                }
        }
    }
    AsAction(D, Action, [&] {
        if (!Inside.empty()) {
            WideString Content;
            for (const TSlot* S : Inside) {
                const WideString Html = S->Cell->Cell.innerHTML();
                Content = Trim(Content.empty() ? Html : Content + u' ' + Html);
            }
            const TSlot* First = Inside.front();
            std::vector<std::pair<THtmlElement, WideString>> Unlit;
            for (const TSlot* S : Inside)
                if (!S->Cell->RuntimeBackground.empty()) Unlit.emplace_back(S->Cell->Cell, WideString());
            if (!Unlit.empty()) D.Document().SetRuntimeBackgrounds(Unlit);
            for (auto S = Inside.rbegin(); S != Inside.rend(); ++S)
                if (*S != First) Rows[(*S)->Row].Row.deleteCell((*S)->Index);
            const THtmlTableCell& Cell = First->Cell->Cell;
            Cell.setInnerHTML(Content);
            SetColSpan(Cell, Block->Right - First->Col);
            SetRowSpan(Cell, Block->Bottom - First->Row);
            FLastCell = Cell;
            LastRow = Rows[First->Row].Row;
        }
        FCellsSelected = false;
    });
}

void TTableEditor::SplitCell(const THtmlTableCell& Cell, int RowIndex)
{
    const TTableLayout Rows = Table.Layout();
    TCellLayout K;
    for (const TRowLayout& Row : Rows)
        for (const TCellLayout& C : Row.Cells)
            if (C.Cell == Cell) K = C;
    if (!K.Cell || RowIndex < 0) return;
    const int X = K.Offset.x();
    const int Cols = SpanOf(K.colSpan);
    const int Total = static_cast<int>(Rows.size());
    const int Last = std::min(RowIndex + RowsOf(K, RowIndex, Total), Total);
    // where the new cells go in each row the cell covers; rows a span reaches past the
    // table's end are not there to fill
    std::vector<int> Places;
    for (int R = RowIndex; R < Last; ++R) {
        const auto& Cells = Rows[R].Cells;
        const auto Next = std::find_if(Cells.begin(), Cells.end(),
                                       [&](const TCellLayout& C) { return C.Offset.x() > X; });
        Places.push_back(Next == Cells.end() ? -1 : static_cast<int>(Next - Cells.begin()));
    }
    SetRowSpan(Cell, 1);
    SetColSpan(Cell, 1);
    if (!K.RuntimeBackground.empty()) Cell.setRuntimeStyleBackground(WideString());
    for (int R = RowIndex; R < Last; ++R) {
        const int Count = R == RowIndex ? Cols - 1 : Cols;
        // the slots of a header cell stay header cells
        for (int N = 0; N < Count; ++N) Rows[R].Row.insertCell(Places[R - RowIndex], K.Header);
    }
}

void TTableEditor::UnmergeCells(const char* Action)
{
    FollowCaret();
    if (!Table || !LastRow || !FLastCell) return;
    AsAction(D, Action, [&] {
        if (!FCellsSelected) {
            if (FLastCell.colSpan() > 1 || FLastCell.rowSpan() > 1) SplitCell(FLastCell, LastRow.rowIndex());
            return;
        }
        // after each split the table is read anew; the cells it adds carry no highlight
        TTableLayout Rows = Table.Layout();
        for (size_t R = 0; R < Rows.size(); ++R) {
            for (size_t I = 0; I < Rows[R].Cells.size(); ++I) {
                const TCellLayout& C = Rows[R].Cells[I];
                if (!IsHighlighted(C) || (SpanOf(C.colSpan) == 1 && C.rowSpan == 1)) continue;
                SplitCell(C.Cell, static_cast<int>(R));
                Rows = Table.Layout();
            }
        }
    });
}

void TTableEditor::FixTable(const char* Action)
{
    if (!CanFixTable()) return;
    const TTableLayout Rows = Table.Layout();
    std::vector<int> Widths;
    int MaxWidth = 0, RowCount = 0;
    Measure(Rows, Widths, MaxWidth, RowCount);
    // a trailing row that holds no cells and that no span reaches is filled as well
    const auto WidthOf = [&](size_t R) { return R < Widths.size() ? Widths[R] : 0; };
    AsAction(D, Action, [&] {
        for (size_t R = 0; R < Rows.size(); ++R)
            for (int K = WidthOf(R); K < MaxWidth; ++K) Rows[R].Row.insertCell(-1);
        for (int R = static_cast<int>(Rows.size()); R < RowCount; ++R) {
            const THtmlTableRow Row = Table.insertRow(R);
            for (int K = WidthOf(R); K < MaxWidth; ++K) Row.insertCell(-1);
        }
    });
}

void TTableEditor::SetCellAlignment(bool Vertical, const std::string& Value, const char* Action)
{
    if (!CanAlignCells()) return;
    std::vector<THtmlTableCell> Cells;
    if (FCellsSelected) {
        for (const TRowLayout& Row : Table.Layout())
            for (const TCellLayout& Cell : Row.Cells)
                if (IsHighlighted(Cell)) Cells.push_back(Cell.Cell);
    } else {
        Cells.push_back(FLastCell);
    }
    AsAction(D, Action, [&] {
        for (const THtmlTableCell& Cell : Cells)
            Vertical ? Cell.setVAlign(Value) : Cell.setAlign(Value);
    });
}

}  // namespace zv
