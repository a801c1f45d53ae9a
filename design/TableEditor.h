#pragma once
// Table editing of the design view: the block of cells a drag paints, the cell the user works
// in, and the commands on rows, columns and cells. The designer owns one and gives it the
// page's mouse events and a note of every key; its commands stand on the designer's command
// table (DesignerCommands) under the ids below.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "HtmlDesigner.h"

namespace zv {

// Ids of the table commands on the designer's command table, clear of the engine's ids.
enum : int {
    IDT_INSERTROWABOVE = 10001,
    IDT_INSERTROWBELOW,
    IDT_DELETEROWS,
    IDT_INSERTCOLUMNBEFORE,
    IDT_INSERTCOLUMNAFTER,
    IDT_DELETECOLUMNS,
    IDT_MERGECELLS,
    IDT_UNMERGECELLS,
    IDT_FIXTABLE,
    // their input: "left", "center", "right"; "top", "middle", "bottom"
    IDT_CELLHALIGN,
    IDT_CELLVALIGN,
};

class TTableEditor {
public:
    explicit TTableEditor(THtmlDesigner& Designer) : D(Designer) {}

    // ------------------------------------------------------------ what the designer tells
    // A mouse event of the page, before the engine handles it. Whatever is under the pointer
    // inside a cell (a paragraph, bold text, a link) stands for that cell, the innermost one
    // of nested tables.
    void MouseEvent(const TPageEvent& Event);
    // A key went to the page: without a block of cells, the cell that holds the caret is the
    // target from the next query or command on.
    void KeyEvent() { CaretMoved = true; }
    // A new document: nothing is known.
    void Reset();

    // ------------------------------------------------------------ the target
    // The target is the block of highlighted cells while CellsSelected is set, else the cell
    // pressed last or holding the caret (LastCell). Each command that changes the table is one
    // undo group, named as its entry on the command table. SelectedTable brings the target
    // up to date with the caret, as every query and command does; the others read it as it is.
    THtmlTable SelectedTable();
    const std::string& TableId() const { return FTableId; }
    const THtmlTableCell& LastCell() const { return FLastCell; }
    bool CellsSelected() const { return FCellsSelected; }
    bool Dragging() const { return FDragging; }

    // ------------------------------------------------------------ commands
    // Whether the command of that id can run now, and running it as the undo group Action
    // (none when it finds nothing to change); the alignments take their value as Input.
    bool Can(int Id);
    void Run(int Id, const char* Action, const QVariant& Input);

private:
    THtmlDesigner& D;
    bool FDragging = false;
    bool FCellsSelected = false;
    bool CaretMoved = false;
    TRect AnchorRect{-1, -1, -1, -1};
    TRect CurrentRect{-3, -3, -3, -3};
    std::string FTableId;
    THtmlTable Table;
    THtmlTableRow LastRow;
    THtmlTableCell FLastCell;
    // The table as the current drag first read it, with the highlight painted since, and the
    // cell rectangle of each other element the drag passed over (none outside the table).
    std::vector<TRowLayout> DragCells;
    std::map<int, std::optional<TRect>> DragHits;

    bool CanEditRows();
    bool CanEditColumns();
    bool CanMergeCells();
    bool CanUnmergeCells();
    bool CanFixTable();
    bool CanAlignCells();
    void InsertRow(bool Below, const char* Action);
    void InsertColumn(bool After, const char* Action);
    // Removes the rows (or columns) the target covers. A cell that starts in a removed row
    // and reaches below it moves down into the next row that stays, one row shorter for each
    // removed row it covered.
    void DeleteBand(bool Columns, const char* Action);
    // The block becomes its first cell, spanning the block, with the contents of all its
    // cells joined by blanks.
    void MergeCells(const char* Action);
    void UnmergeCells(const char* Action);
    // Fills every logical row up to the widest one and adds the rows that spans reach.
    void FixTable(const char* Action);
    void SetCellAlignment(bool Vertical, const std::string& Value, const char* Action);

    void CellMouseDown(const TCellPlace& At, int Buttons);
    void CellMouseMove(const THtmlElement& Over);
    void CellMouseUp(const TCellPlace& At);
    void TableMouseDown(const TCellPlace& At, int Buttons);
    // Makes the table, row and cell of At the target, taking the highlight off another table.
    void Target(const TCellPlace& At);
    // Takes the highlight off every cell of Table; changes no field.
    void ClearCellSelection();
    // Forgets the table, after taking its highlight off.
    void Forget();
    // Takes the cell of the caret as the target when a key may have moved it.
    void FollowCaret();
    void PaintCellSelection();
    void ClearTextSelection();
    bool IsTargetCell(const TCellLayout& Cell) const;
    // Makes Cell, which starts in row RowIndex, a single cell and fills the slots it covered
    // with empty cells.
    void SplitCell(const THtmlTableCell& Cell, int RowIndex);
};

}  // namespace zv
