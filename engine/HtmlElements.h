#pragma once
// Handles into the live page of a TWebBrowser: the document, its elements, table rows and
// cells, text ranges, markup pointers, the selection and the undo manager. Every handle
// belongs to one document; once the browser loads another, using it raises EEngineError.
// Each call is one synchronous round trip to the page. The page holds an object for as long
// as a handle of it exists here, and drops it with the last one.

#include <QPointer>
#include <QRect>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "WideText.h"

namespace zv {

class TWebBrowser;
class THtmlTable;
class THtmlTableRow;
class THtmlTableCell;
struct TCellPlace;

class TPageObject {
public:
    TPageObject() = default;
    // Holds the page object Number of the browser's document Generation.
    TPageObject(TWebBrowser* Browser, uint64_t Generation, int Number);

    bool IsNull() const { return FNumber == 0; }
    explicit operator bool() const { return FNumber != 0; }
    // Same browser, same document, same page object.
    bool operator==(const TPageObject& Other) const;

    TWebBrowser* Browser() const;
    uint64_t Generation() const { return FGeneration; }
    int Number() const { return FNumber; }
    // True while the handle's document is still the browser's current one.
    bool IsCurrent() const;

protected:
    // A call on this object: its number goes first.
    QVariant CallOn(const char* Function, QVariantList Args = {}) const;
    // A call on the handle's document.
    QVariant CallDocument(const char* Function, QVariantList Args = {}) const;
    // The number of another handle of the same document, to pass along in a call.
    int NumberOf(const TPageObject& Other) const;
    template <class T> T Make(const QVariant& Number) const
    {
        return T(Browser(), FGeneration, Number.toInt());
    }

private:
    std::shared_ptr<const void> Lifetime;
    QPointer<QObject> FBrowser;
    uint64_t FGeneration = 0;
    int FNumber = 0;
};

class THtmlElement : public TPageObject {
public:
    using TPageObject::TPageObject;

    std::string tagName() const;                 // upper case: "TD", "IMG"
    std::string id() const;
    void setId(const std::string& Value) const;
    std::string className() const;
    void setClassName(const std::string& Value) const;

    // Attribute names are not case-sensitive; className, htmlFor and encoding are read as
    // class, for and enctype. An absent attribute reads as nothing.
    std::optional<WideString> getAttribute(const std::string& Name) const;
    void setAttribute(const std::string& Name, const WideString& Value) const;
    bool removeAttribute(const std::string& Name) const;

    WideString outerHTML() const;
    void setOuterHTML(const WideString& Html) const;
    WideString innerHTML() const;
    void setInnerHTML(const WideString& Html) const;
    WideString innerText() const;
    // Where: "BeforeBegin", "AfterBegin", "BeforeEnd" or "AfterEnd". HTML given to an element
    // is read as the browser's PageBody says.
    void insertAdjacentHTML(const std::string& Where, const WideString& Html) const;

    int offsetLeft() const;
    int offsetTop() const;
    int offsetWidth() const;
    int offsetHeight() const;
    // The four offsets in one call: x = offsetLeft, y = offsetTop, width, height.
    QRect offsetRect() const;

    THtmlElement parentElement() const;

    // A DOM property of the element (disabled, checked, readOnly, multiple, size, noShade,
    // isMap, type, value ...); an element property reads as a number of an element handle.
    QVariant getProperty(const std::string& Name) const;
    void setProperty(const std::string& Name, const QVariant& Value) const;

    // Display-only background over the element; never part of the document.
    WideString runtimeStyleBackground() const;
    void setRuntimeStyleBackground(const WideString& Value) const;

    // The innermost table cell that holds the element, the element itself included, with its
    // place; for a part of a table outside its cells (the table, a row), that table alone
    // (no cell, no row, the table's offsets). All null outside tables.
    TCellPlace TablePlace() const;

    // The same element as a table, row or cell; a null handle when it is none.
    THtmlTable asTable() const;
    THtmlTableRow asTableRow() const;
    THtmlTableCell asTableCell() const;

private:
    // Where as for insertAdjacentHTML, or "inner" or "outer".
    void PutHtml(const std::string& Where, const WideString& Html) const;
};

class THtmlTableCell : public THtmlElement {
public:
    using THtmlElement::THtmlElement;
    // The cell's table, that table's id, its row and its offsets, in one call.
    TCellPlace Place() const;
    int cellIndex() const;
    int rowSpan() const;
    void setRowSpan(int Value) const;
    int colSpan() const;
    void setColSpan(int Value) const;
    std::string align() const;
    void setAlign(const std::string& Value) const;
    std::string vAlign() const;
    void setVAlign(const std::string& Value) const;
    bool noWrap() const;
    void setNoWrap(bool Value) const;
};

class THtmlTableRow : public THtmlElement {
public:
    using THtmlElement::THtmlElement;
    int rowIndex() const;
    std::vector<THtmlTableCell> cells() const;
    // -1 appends; Header makes a th.
    THtmlTableCell insertCell(int Index, bool Header = false) const;
    void deleteCell(int Index) const;
    // Moves a cell of the page into this row, in front of Before (a cell of the row) or, when
    // Before is null, at the row's end.
    void moveCell(const THtmlTableCell& Cell, const THtmlTableCell& Before) const;
};

struct TCellLayout {
    THtmlTableCell Cell;
    int cellIndex = 0;
    int rowSpan = 1;
    int colSpan = 1;
    QRect Offset;                   // offsetLeft, offsetTop, offsetWidth, offsetHeight
    WideString RuntimeBackground;
    bool Header = false;            // a th
};

struct TRowLayout {
    THtmlTableRow Row;
    int rowIndex = 0;
    std::vector<TCellLayout> Cells;
};

class THtmlTable : public THtmlElement {
public:
    using THtmlElement::THtmlElement;
    std::vector<THtmlTableRow> rows() const;
    THtmlTableRow insertRow(int Index) const;     // -1 appends
    void deleteRow(int Index) const;
    int cols() const;                             // the declared column count, 0 when none
    // The table's col and colgroup declarations follow a new column at column At (of the
    // columns before it, After, or of those after it) and the columns that went (Gone[C] set).
    void insertDeclaredColumn(int At, bool After) const;
    void deleteDeclaredColumns(const std::vector<char>& Gone) const;
    // Every row and cell with spans, offsets and runtime background, in one call.
    std::vector<TRowLayout> Layout() const;
};

struct TCellPlace {
    THtmlTableCell Cell;            // set by TablePlace only
    THtmlTable Table;               // the table of the cell's row group (a null handle outside one)
    std::string TableId;
    THtmlTableRow Row;
    QRect Offset;                   // offsetLeft, offsetTop, offsetWidth, offsetHeight
};

struct TTextRangeMetrics {
    int offsetLeft = 0;             // viewport pixels
    int offsetTop = 0;
    int boundingWidth = 0;
    int boundingHeight = 0;
};

class THtmlTxtRange : public TPageObject {
public:
    using TPageObject::TPageObject;
    WideString text() const;
    void setText(const WideString& Text) const;   // the range then covers the new text
    WideString htmlText() const;
    // The element that holds the whole range (the body for a range directly in it).
    THtmlElement parentElement() const;
    // Replaces the range by the HTML and collapses it behind; a range made from the selection
    // also moves the caret there.
    void pasteHTML(const WideString& Html) const;
    void select() const;
    void scrollIntoView(bool Top = true) const;
    // Only "Unselect": ends the text selection (and keeps it off while a button is held).
    bool execCommand(const std::string& Command) const;
    TTextRangeMetrics Metrics() const;
};

class TMarkupPointer : public TPageObject {
public:
    using TPageObject::TPageObject;
    // MOVEUNIT_PREVWORDBEGIN .. MOVEUNIT_NEXTWORDEND. Without a word to go to, a forward move
    // ends after the body and a backward move at the body's start; both answer false.
    bool MoveUnit(int Unit) const;
    void MoveToPointer(const TMarkupPointer& Other) const;
    int Compare(const TMarkupPointer& Other) const;   // -1, 0, 1
    bool IsLeftOf(const TMarkupPointer& Other) const { return Compare(Other) < 0; }
    bool IsLeftOfOrEqualTo(const TMarkupPointer& Other) const { return Compare(Other) <= 0; }
    bool IsEqualTo(const TMarkupPointer& Other) const { return Compare(Other) == 0; }
};

class THtmlSelection : public TPageObject {
public:
    using TPageObject::TPageObject;
    // "None", "Control" (an element selected as a whole) or "Text" (a caret or a range).
    std::string type() const;
    // The selection as a text range; raises EEngineError for a control selection. With no
    // selection, a collapsed range at the start of the body.
    THtmlTxtRange createRange() const;
    // The element of a control selection, else a null handle.
    THtmlElement controlElement() const;
};

class TUndoManager : public TPageObject {
public:
    using TPageObject::TPageObject;
    int CountUndoable() const;
    int CountRedoable() const;
    bool Undo() const;              // one unit
    bool Redo() const;
};

class THtmlDocument : public TPageObject {
public:
    using TPageObject::TPageObject;
    THtmlElement body() const;
    WideString title() const;
    // Viewport pixels of the page.
    THtmlElement elementFromPoint(int X, int Y) const;
    THtmlElement getElementById(const std::string& Id) const;
    THtmlSelection selection() const;
    THtmlTxtRange createTextRange() const;        // the body's text
    TUndoManager UndoManager() const;

    TMarkupPointer CreateMarkupPointer() const;   // at the start of the body
    void MovePointersToRange(const THtmlTxtRange& Range, const TMarkupPointer& Start,
                             const TMarkupPointer& End) const;
    void MoveRangeToPointers(const TMarkupPointer& Start, const TMarkupPointer& End,
                             const THtmlTxtRange& Range) const;

    // Runtime backgrounds of many elements in one call.
    void SetRuntimeBackgrounds(const std::vector<std::pair<THtmlElement, WideString>>& Items) const;
};

}  // namespace zv
