// Table editing of the design view: the cell selection that a drag paints, and the commands
// on rows, columns and cells. Each command reads the table in one call (Layout) and works out
// its changes on that picture, in logical rows and columns (spans expanded), so that a
// rectangular table stays rectangular.
#include <algorithm>
#include <optional>

#include "HtmlDesigner.h"

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

void THtmlDesigner::TableMouseDown(const TPageEvent& Event)
{
    if (!(Event.Buttons & 1)) return;
    const THtmlTable T(Event.srcElement.Browser(), Event.srcElement.Generation(),
                       Event.srcElement.Number());
    // tables are told apart by element, so that two tables without an id are too
    if (Table && !(T == Table)) ClearCellSelection();
    Dragging = false;
    CellsSelected = false;
    Table = T;
    TableId = T.id();
    LastCell = {};
    LastRow = {};
    AnchorRect = {-1, -1, -1, -1};
}

void THtmlDesigner::CellMouseDown(const TPageEvent& Event)
{
    if (!(Event.Buttons & 1)) return;
    const THtmlTableCell Cell(Event.srcElement.Browser(), Event.srcElement.Generation(),
                              Event.srcElement.Number());
    const TCellPlace Place = Cell.Place();
    if (Table && !(Place.Table == Table)) ClearCellSelection();
    Dragging = true;
    CellsSelected = false;
    Table = Place.Table;
    TableId = Place.TableId;
    LastCell = Cell;
    LastRow = Place.Row;
    AnchorRect = RectOf(Place.Offset);
    // a new drag starts in the pressed cell, whatever cell the last one ended in
    CurrentRect = AnchorRect;
    DragCells.clear();
}

void THtmlDesigner::CellMouseMove(const TPageEvent& Event)
{
    if (!Dragging || !Table) return;
    // the layout does not change while the button is held: a cell the drag has read is known
    std::optional<TRect> R;
    for (const TRowLayout& Row : DragCells)
        for (const TCellLayout& Cell : Row.Cells)
            if (Cell.Cell.Number() == Event.srcElement.Number()) R = RectOf(Cell.Offset);
    if (!R) {
        const THtmlTableCell Cell(Event.srcElement.Browser(), Event.srcElement.Generation(),
                                  Event.srcElement.Number());
        const TCellPlace Place = Cell.Place();
        if (!(Place.Table == Table)) return;
        R = RectOf(Place.Offset);
    }
    if (*R == CurrentRect) return;
    CurrentRect = *R;
    if (!CellsSelected && CurrentRect != AnchorRect) {
        ClearTextSelection();
        CellsSelected = true;
    }
    if (CellsSelected) PaintCellSelection();
}

void THtmlDesigner::CellMouseUp(const TPageEvent& Event)
{
    Dragging = false;
    DragCells.clear();
    const THtmlElement& Cell = Event.srcElement;
    if (RectOf(Cell.offsetRect()) != AnchorRect) return;
    if (!CellsSelected) ClearCellSelection();
    CellsSelected = false;
}

// Highlights the cells that the rectangle of the anchor and the current cell cuts into,
// grown until no highlighted cell sticks out of it; the others lose their highlight. The
// table is read once a drag; only the cells whose highlight changes are painted.
void THtmlDesigner::PaintCellSelection()
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
    if (!Changes.empty()) Document().SetRuntimeBackgrounds(Changes);
}

void THtmlDesigner::ClearTextSelection()
{
    const THtmlSelection Selection = Document().selection();
    // an element selected as a whole is no text selection
    if (Selection.type() == "Control") return;
    Selection.createRange().execCommand("Unselect");
}

bool THtmlDesigner::IsTargetCell(const TCellLayout& Cell) const
{
    // without a block, a highlight left over from an earlier drag is no target
    return CellsSelected ? IsHighlighted(Cell) : Cell.Cell == LastCell;
}

// ---------------------------------------------------------------- rows and columns

void THtmlDesigner::MeasureRowWidths(std::vector<int>& RowWidths, int& MaxWidth, int& RowCount)
{
    Measure(Table ? Table.Layout() : TTableLayout(), RowWidths, MaxWidth, RowCount);
}

bool THtmlDesigner::CanInsertRowAbove() const { return Table && LastRow; }
bool THtmlDesigner::CanInsertRowBelow() const { return Table && LastRow; }
bool THtmlDesigner::CanDeleteRows() const { return Table && LastRow; }
bool THtmlDesigner::CanInsertColumnBefore() const { return Table && LastRow && LastCell; }
bool THtmlDesigner::CanInsertColumnAfter() const { return Table && LastRow && LastCell; }
bool THtmlDesigner::CanDeleteColumns() const { return Table && LastRow && LastCell; }

void THtmlDesigner::InsertRowAbove() { InsertRow(false); }
void THtmlDesigner::InsertRowBelow() { InsertRow(true); }
void THtmlDesigner::InsertColumnBefore() { InsertColumn(false); }
void THtmlDesigner::InsertColumnAfter() { InsertColumn(true); }
void THtmlDesigner::DeleteRows() { DeleteBand(false); }
void THtmlDesigner::DeleteColumns() { DeleteBand(true); }

// A new row above or below the row of the target, as wide as the widest logical row. Cells
// whose span crosses the new row's place grow over it, and it gets cells for the rest.
void THtmlDesigner::InsertRow(bool Below)
{
    if (!Table || !LastRow) return;
    const TTableLayout Rows = Table.Layout();
    int Target = -1;
    if (CellsSelected) {
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

    AsAction(*this, Below ? "Insert Row Below" : "Insert Row Above", [&] {
        const THtmlTableRow NewRow = Table.insertRow(At);
        for (int K = Covered; K < MaxWidth; ++K) NewRow.insertCell(0);
        for (const TSlot* S : Crossing) SetRowSpan(S->Cell->Cell, S->RowSpan + 1);
    });
}

// A new logical column before the first or after the last column of the target. Each row
// gets one empty cell there, except where a cell spans across that column: it grows instead.
void THtmlDesigner::InsertColumn(bool After)
{
    if (!LastRow || !LastCell || !Table) return;
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

    AsAction(*this, After ? "Insert Column After" : "Insert Column Before", [&] {
        for (size_t R = 0; R < Grid.size(); ++R) {
            if (Covered[R]) continue;
            const auto Next = std::find_if(Grid[R].begin(), Grid[R].end(),
                                           [&](const TSlot& S) { return S.Col >= *Col; });
            // a short row gets the cell at its end
            Rows[R].Row.insertCell(Next == Grid[R].end() ? -1 : Next->Index);
        }
        for (const TSlot* S : Growing) SetColSpan(S->Cell->Cell, S->ColSpan + 1);
    });
}

// Deletes every cell that lies within the band of rows (or columns) of the target, then the
// rows this leaves without cells. Cells reaching into the band from outside stay and lose the
// rows or columns that went.
void THtmlDesigner::DeleteBand(bool Columns)
{
    if (!Table || !LastCell) return;
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
    std::vector<const TSlot*> Removed, Staying;
    for (const auto& Row : Grid)
        for (const TSlot& S : Row) {
            const bool Inside = Lo(*S.Cell) >= Band->first && Hi(*S.Cell) <= Band->second;
            if (!Inside) {
                ++Left[S.Row];
                Staying.push_back(&S);
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

    AsAction(*this, Columns ? "Delete Column" : "Delete Rows", [&] {
        if (!Unlit.empty()) Document().SetRuntimeBackgrounds(Unlit);
        for (auto S = Removed.rbegin(); S != Removed.rend(); ++S)
            Rows[(*S)->Row].Row.deleteCell((*S)->Index);
        for (int R = RowTotal - 1; R >= 0; --R)
            if (DropRow[R]) Table.deleteRow(Rows[R].rowIndex);
        // spans that reached across what went
        for (const TSlot* S : Staying) {
            int LostRows = 0, LostCols = 0;
            for (int R = S->Row + 1; R < S->Bottom() && R < RowTotal; ++R) LostRows += DropRow[R];
            for (int C = S->Col; Columns && C < S->Right() && C < static_cast<int>(GoneCols.size()); ++C)
                LostCols += GoneCols[C];
            if (LostRows) SetRowSpan(S->Cell->Cell, std::max(1, S->RowSpan - LostRows));
            if (LostCols) SetColSpan(S->Cell->Cell, std::max(1, S->ColSpan - LostCols));
        }
        LastRow = {};
        LastCell = {};
    });
}

// ---------------------------------------------------------------- cells

bool THtmlDesigner::CanMergeCells() const { return Table && LastRow && LastCell && CellsSelected; }

bool THtmlDesigner::CanUnmergeCells()
{
    if (!Table || !LastRow || !LastCell) return false;
    return CellsSelected || LastCell.colSpan() > 1 || LastCell.rowSpan() > 1;
}

bool THtmlDesigner::CanFixTable() const { return static_cast<bool>(Table); }
bool THtmlDesigner::CanSetCellHorizontalAlignment() const { return Table && LastCell; }
bool THtmlDesigner::CanSetCellVerticalAlignment() const { return Table && LastCell; }

// The highlighted block becomes its first cell, spanning the block's logical rows and
// columns, with the contents of all its cells joined by blanks.
void THtmlDesigner::MergeCells()
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
    AsAction(*this, "Merge Cells", [&] {
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
            if (!Unlit.empty()) Document().SetRuntimeBackgrounds(Unlit);
            for (auto S = Inside.rbegin(); S != Inside.rend(); ++S)
                if (*S != First) Rows[(*S)->Row].Row.deleteCell((*S)->Index);
            const THtmlTableCell& Cell = First->Cell->Cell;
            Cell.setInnerHTML(Content);
            SetColSpan(Cell, Block->Right - First->Col);
            SetRowSpan(Cell, Block->Bottom - First->Row);
            LastCell = Cell;
            LastRow = Rows[First->Row].Row;
        }
        CellsSelected = false;
    });
}

void THtmlDesigner::SplitCell(const THtmlTableCell& Cell, int RowIndex)
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
        for (int N = 0; N < Count; ++N) Rows[R].Row.insertCell(Places[R - RowIndex]);
    }
}

void THtmlDesigner::UnmergeCells()
{
    if (!Table || !LastRow || !LastCell) return;
    AsAction(*this, "Unmerge Cells", [&] {
        if (!CellsSelected) {
            if (LastCell.colSpan() > 1 || LastCell.rowSpan() > 1) SplitCell(LastCell, LastRow.rowIndex());
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

void THtmlDesigner::FixTable()
{
    if (!Table) return;
    const TTableLayout Rows = Table.Layout();
    std::vector<int> Widths;
    int MaxWidth = 0, RowCount = 0;
    Measure(Rows, Widths, MaxWidth, RowCount);
    // a trailing row that holds no cells and that no span reaches is filled as well
    const auto WidthOf = [&](size_t R) { return R < Widths.size() ? Widths[R] : 0; };
    AsAction(*this, "Fix Table", [&] {
        for (size_t R = 0; R < Rows.size(); ++R)
            for (int K = WidthOf(R); K < MaxWidth; ++K) Rows[R].Row.insertCell(-1);
        for (int R = static_cast<int>(Rows.size()); R < RowCount; ++R) {
            const THtmlTableRow Row = Table.insertRow(R);
            for (int K = WidthOf(R); K < MaxWidth; ++K) Row.insertCell(-1);
        }
    });
}

void THtmlDesigner::SetCellHorizontalAlignment(const std::string& Value)
{
    SetCellAlignment(false, Value);
}

void THtmlDesigner::SetCellVerticalAlignment(const std::string& Value)
{
    SetCellAlignment(true, Value);
}

void THtmlDesigner::SetCellAlignment(bool Vertical, const std::string& Value)
{
    if (!Table || !LastCell) return;
    std::vector<THtmlTableCell> Cells;
    if (CellsSelected) {
        for (const TRowLayout& Row : Table.Layout())
            for (const TCellLayout& Cell : Row.Cells)
                if (IsHighlighted(Cell)) Cells.push_back(Cell.Cell);
    } else {
        Cells.push_back(LastCell);
    }
    AsAction(*this, Vertical ? "Cell Vertical Alignment" : "Cell Horizontal Alignment", [&] {
        for (const THtmlTableCell& Cell : Cells)
            Vertical ? Cell.setVAlign(Value) : Cell.setAlign(Value);
    });
}

}  // namespace zv
