#include "HtmlElements.h"

#include "WebBrowser.h"

namespace zv {

namespace {

QString Q(const WideString& Text) { return QString::fromStdU16String(Text); }
QString Q(const std::string& Text) { return QString::fromStdString(Text); }
WideString Wide(const QVariant& Value) { return Value.toString().toStdU16String(); }
std::string Narrow(const QVariant& Value) { return Value.toString().toStdString(); }

QRect RectOf(const QVariantList& L, int From)
{
    return QRect(L.value(From).toInt(), L.value(From + 1).toInt(), L.value(From + 2).toInt(),
                 L.value(From + 3).toInt());
}

template <class T> std::vector<T> HandlesOf(const TPageObject& Owner, const QVariant& List)
{
    std::vector<T> Result;
    for (const QVariant& N : List.toList())
        Result.emplace_back(Owner.Browser(), Owner.Generation(), N.toInt());
    return Result;
}

}  // namespace

// ---------------------------------------------------------------- TPageObject

TPageObject::TPageObject(TWebBrowser* Browser, uint64_t Generation, int Number)
    : FBrowser(Browser), FGeneration(Generation), FNumber(Browser ? Number : 0)
{
    if (Browser && FNumber > 0) Lifetime = Browser->KeepAlive(Generation, FNumber);
}

bool TPageObject::operator==(const TPageObject& Other) const
{
    return FBrowser == Other.FBrowser && FGeneration == Other.FGeneration &&
           FNumber == Other.FNumber;
}

TWebBrowser* TPageObject::Browser() const { return static_cast<TWebBrowser*>(FBrowser.data()); }

bool TPageObject::IsCurrent() const
{
    const TWebBrowser* B = Browser();
    return B && B->HasDocument() && B->Generation() == FGeneration;
}

QVariant TPageObject::CallOn(const char* Function, QVariantList Args) const
{
    if (!FNumber) throw EEngineError("The page object is empty");
    Args.prepend(FNumber);
    return CallDocument(Function, std::move(Args));
}

QVariant TPageObject::CallDocument(const char* Function, QVariantList Args) const
{
    TWebBrowser* B = Browser();
    if (!B) throw EEngineError("The browser of the page object is gone");
    return B->CallLayerFor(FGeneration, QString::fromLatin1(Function), Args);
}

int TPageObject::NumberOf(const TPageObject& Other) const
{
    if (Other.FBrowser != FBrowser || Other.FGeneration != FGeneration || !Other.FNumber)
        throw EEngineError("The page object belongs to another document");
    return Other.FNumber;
}

// ---------------------------------------------------------------- THtmlElement

std::string THtmlElement::tagName() const { return Narrow(CallOn("prop", {"tagName"})); }
std::string THtmlElement::id() const { return Narrow(CallOn("prop", {"id"})); }
void THtmlElement::setId(const std::string& Value) const { CallOn("setProp", {"id", Q(Value)}); }
std::string THtmlElement::className() const { return Narrow(CallOn("prop", {"className"})); }
void THtmlElement::setClassName(const std::string& Value) const
{
    CallOn("setProp", {"className", Q(Value)});
}

std::optional<WideString> THtmlElement::getAttribute(const std::string& Name) const
{
    const QVariant V = CallOn("attr", {Q(Name)});
    if (V.isNull()) return std::nullopt;
    return Wide(V);
}

void THtmlElement::setAttribute(const std::string& Name, const WideString& Value) const
{
    CallOn("setAttr", {Q(Name), Q(Value)});
}

bool THtmlElement::removeAttribute(const std::string& Name) const
{
    return CallOn("removeAttr", {Q(Name)}).toBool();
}

WideString THtmlElement::outerHTML() const { return Wide(CallOn("prop", {"outerHTML"})); }
void THtmlElement::setOuterHTML(const WideString& Html) const { PutHtml("outer", Html); }
WideString THtmlElement::innerHTML() const { return Wide(CallOn("prop", {"innerHTML"})); }
void THtmlElement::setInnerHTML(const WideString& Html) const { PutHtml("inner", Html); }
WideString THtmlElement::innerText() const { return Wide(CallOn("prop", {"innerText"})); }

void THtmlElement::insertAdjacentHTML(const std::string& Where, const WideString& Html) const
{
    PutHtml(Where, Html);
}

void THtmlElement::PutHtml(const std::string& Where, const WideString& Html) const
{
    const QString Body = Browser() ? Browser()->PageBody(Html) : QString();
    if (!Body.isEmpty())
        CallOn("adjacentBody", {Q(Where), Body});
    else if (Where == "inner" || Where == "outer")
        CallOn("setProp", {Where == "inner" ? "innerHTML" : "outerHTML", Q(Html)});
    else
        CallOn("adjacent", {Q(Where), Q(Html)});
}

int THtmlElement::offsetLeft() const { return CallOn("prop", {"offsetLeft"}).toInt(); }
int THtmlElement::offsetTop() const { return CallOn("prop", {"offsetTop"}).toInt(); }
int THtmlElement::offsetWidth() const { return CallOn("prop", {"offsetWidth"}).toInt(); }
int THtmlElement::offsetHeight() const { return CallOn("prop", {"offsetHeight"}).toInt(); }
QRect THtmlElement::offsetRect() const { return RectOf(CallOn("rect").toList(), 0); }

THtmlElement THtmlElement::parentElement() const { return Make<THtmlElement>(CallOn("parent")); }

QVariant THtmlElement::getProperty(const std::string& Name) const
{
    const QVariant V = CallOn("prop", {Q(Name)});
    if (V.typeId() == QMetaType::QVariantMap) return V.toMap().value("h");
    return V;
}

void THtmlElement::setProperty(const std::string& Name, const QVariant& Value) const
{
    CallOn("setProp", {Q(Name), Value});
}

WideString THtmlElement::runtimeStyleBackground() const { return Wide(CallOn("runtimeBg")); }

void THtmlElement::setRuntimeStyleBackground(const WideString& Value) const
{
    CallDocument("setRuntimeBg", {QVariant(QVariantList{QVariantList{Number(), Q(Value)}})});
}

THtmlTable THtmlElement::asTable() const
{
    return tagName() == "TABLE" ? THtmlTable(Browser(), Generation(), Number()) : THtmlTable();
}

THtmlTableRow THtmlElement::asTableRow() const
{
    return tagName() == "TR" ? THtmlTableRow(Browser(), Generation(), Number()) : THtmlTableRow();
}

THtmlTableCell THtmlElement::asTableCell() const
{
    const std::string Tag = tagName();
    return Tag == "TD" || Tag == "TH" ? THtmlTableCell(Browser(), Generation(), Number())
                                      : THtmlTableCell();
}

// ---------------------------------------------------------------- tables

TCellPlace THtmlTableCell::Place() const
{
    const QVariantList L = CallOn("cellPlace").toList();
    return {{}, Make<THtmlTable>(L.value(0)), Narrow(L.value(1)), Make<THtmlTableRow>(L.value(2)),
            RectOf(L, 3)};
}

TCellPlace THtmlElement::TablePlace() const
{
    const QVariantList L = CallOn("tablePlace").toList();
    return {Make<THtmlTableCell>(L.value(0)), Make<THtmlTable>(L.value(1)), Narrow(L.value(2)),
            Make<THtmlTableRow>(L.value(3)), RectOf(L, 4)};
}

int THtmlTableCell::cellIndex() const { return CallOn("prop", {"cellIndex"}).toInt(); }
int THtmlTableCell::rowSpan() const { return CallOn("prop", {"rowSpan"}).toInt(); }
void THtmlTableCell::setRowSpan(int Value) const { CallOn("setProp", {"rowSpan", Value}); }
int THtmlTableCell::colSpan() const { return CallOn("prop", {"colSpan"}).toInt(); }
void THtmlTableCell::setColSpan(int Value) const { CallOn("setProp", {"colSpan", Value}); }
std::string THtmlTableCell::align() const { return Narrow(CallOn("prop", {"align"})); }
void THtmlTableCell::setAlign(const std::string& Value) const
{
    CallOn("setProp", {"align", Q(Value)});
}
std::string THtmlTableCell::vAlign() const { return Narrow(CallOn("prop", {"vAlign"})); }
void THtmlTableCell::setVAlign(const std::string& Value) const
{
    CallOn("setProp", {"vAlign", Q(Value)});
}
bool THtmlTableCell::noWrap() const { return CallOn("prop", {"noWrap"}).toBool(); }
void THtmlTableCell::setNoWrap(bool Value) const { CallOn("setProp", {"noWrap", Value}); }

int THtmlTableRow::rowIndex() const { return CallOn("prop", {"rowIndex"}).toInt(); }
std::vector<THtmlTableCell> THtmlTableRow::cells() const
{
    return HandlesOf<THtmlTableCell>(*this, CallOn("cells"));
}
THtmlTableCell THtmlTableRow::insertCell(int Index, bool Header) const
{
    return Make<THtmlTableCell>(CallOn("insertCell", {Index, Header}));
}
void THtmlTableRow::deleteCell(int Index) const { CallOn("deleteCell", {Index}); }
void THtmlTableRow::moveCell(const THtmlTableCell& Cell, const THtmlTableCell& Before) const
{
    CallOn("moveCell", {NumberOf(Cell), Before ? NumberOf(Before) : 0});
}

std::vector<THtmlTableRow> THtmlTable::rows() const
{
    return HandlesOf<THtmlTableRow>(*this, CallOn("rows"));
}
THtmlTableRow THtmlTable::insertRow(int Index) const
{
    return Make<THtmlTableRow>(CallOn("insertRow", {Index}));
}
void THtmlTable::deleteRow(int Index) const { CallOn("deleteRow", {Index}); }

int THtmlTable::cols() const
{
    const std::optional<WideString> V = getAttribute("cols");
    return V ? QString::fromStdU16String(*V).trimmed().toInt() : 0;
}

void THtmlTable::insertDeclaredColumn(int At, bool After) const { CallOn("insertColumn", {At, After}); }
void THtmlTable::deleteDeclaredColumns(const std::vector<char>& Gone) const
{
    QVariantList List;
    for (char G : Gone) List.append(G != 0);
    CallOn("deleteColumns", {List});
}

std::vector<TRowLayout> THtmlTable::Layout() const
{
    std::vector<TRowLayout> Rows;
    for (const QVariant& R : CallOn("tableLayout").toList()) {
        const QVariantList RowData = R.toList();
        TRowLayout& Row = Rows.emplace_back();
        Row.Row = Make<THtmlTableRow>(RowData.value(0));
        Row.rowIndex = RowData.value(1).toInt();
        for (const QVariant& C : RowData.value(2).toList()) {
            const QVariantList L = C.toList();
            TCellLayout& Cell = Row.Cells.emplace_back();
            Cell.Cell = Make<THtmlTableCell>(L.value(0));
            Cell.cellIndex = L.value(1).toInt();
            Cell.rowSpan = L.value(2).toInt();
            Cell.colSpan = L.value(3).toInt();
            Cell.Offset = RectOf(L, 4);
            Cell.RuntimeBackground = Wide(L.value(8));
            Cell.Header = L.value(9).toBool();
        }
    }
    return Rows;
}

// ---------------------------------------------------------------- text ranges and pointers

WideString THtmlTxtRange::text() const { return Wide(CallOn("rangeText")); }
void THtmlTxtRange::setText(const WideString& Text) const { CallOn("setRangeText", {Q(Text)}); }
WideString THtmlTxtRange::htmlText() const { return Wide(CallOn("rangeHtml")); }
THtmlElement THtmlTxtRange::parentElement() const
{
    return Make<THtmlElement>(CallOn("rangeParent"));
}
void THtmlTxtRange::pasteHTML(const WideString& Html) const
{
    const QString Body = Browser() ? Browser()->PageBody(Html) : QString();
    if (!Body.isEmpty())
        CallOn("pasteBody", {Body});
    else
        CallOn("pasteHtml", {Q(Html)});
}
void THtmlTxtRange::select() const { CallOn("rangeSelect"); }
void THtmlTxtRange::scrollIntoView(bool Top) const { CallOn("rangeScroll", {Top}); }

bool THtmlTxtRange::execCommand(const std::string& Command) const
{
    return CallOn("rangeCommand", {Q(Command)}).toBool();
}

TTextRangeMetrics THtmlTxtRange::Metrics() const
{
    const QRect R = RectOf(CallOn("rangeMetrics").toList(), 0);
    return {R.x(), R.y(), R.width(), R.height()};
}

bool TMarkupPointer::MoveUnit(int Unit) const { return CallOn("pointerMove", {Unit}).toBool(); }

void TMarkupPointer::MoveToPointer(const TMarkupPointer& Other) const
{
    CallOn("pointerTo", {NumberOf(Other)});
}

int TMarkupPointer::Compare(const TMarkupPointer& Other) const
{
    return CallOn("pointerCompare", {NumberOf(Other)}).toInt();
}

// ---------------------------------------------------------------- document level

std::string THtmlSelection::type() const { return Narrow(CallDocument("selType")); }

THtmlTxtRange THtmlSelection::createRange() const
{
    return Make<THtmlTxtRange>(CallDocument("selRange"));
}

THtmlElement THtmlSelection::controlElement() const
{
    return Make<THtmlElement>(CallDocument("selControl"));
}

int TUndoManager::CountUndoable() const { return CallDocument("undoCount").toInt(); }
int TUndoManager::CountRedoable() const { return CallDocument("redoCount").toInt(); }
bool TUndoManager::Undo() const { return CallDocument("undo").toBool(); }
bool TUndoManager::Redo() const { return CallDocument("redo").toBool(); }

THtmlElement THtmlDocument::body() const { return Make<THtmlElement>(CallDocument("body")); }
WideString THtmlDocument::title() const { return Wide(CallDocument("title")); }

THtmlElement THtmlDocument::elementFromPoint(int X, int Y) const
{
    return Make<THtmlElement>(CallDocument("hit", {X, Y}));
}

THtmlElement THtmlDocument::getElementById(const std::string& Id) const
{
    return Make<THtmlElement>(CallDocument("byId", {Q(Id)}));
}

THtmlSelection THtmlDocument::selection() const { return Make<THtmlSelection>(-1); }
TUndoManager THtmlDocument::UndoManager() const { return Make<TUndoManager>(-1); }

THtmlTxtRange THtmlDocument::createTextRange() const
{
    return Make<THtmlTxtRange>(CallDocument("bodyRange"));
}

TMarkupPointer THtmlDocument::CreateMarkupPointer() const
{
    return Make<TMarkupPointer>(CallDocument("newPointer"));
}

void THtmlDocument::MovePointersToRange(const THtmlTxtRange& Range, const TMarkupPointer& Start,
                                        const TMarkupPointer& End) const
{
    CallDocument("pointersToRange", {NumberOf(Range), NumberOf(Start), NumberOf(End)});
}

void THtmlDocument::MoveRangeToPointers(const TMarkupPointer& Start, const TMarkupPointer& End,
                                        const THtmlTxtRange& Range) const
{
    CallDocument("rangeToPointers", {NumberOf(Start), NumberOf(End), NumberOf(Range)});
}

void THtmlDocument::SetRuntimeBackgrounds(
    const std::vector<std::pair<THtmlElement, WideString>>& Items) const
{
    QVariantList List;
    for (const auto& [Element, Value] : Items)
        List.append(QVariant(QVariantList{NumberOf(Element), Q(Value)}));
    CallDocument("setRuntimeBg", {QVariant(List)});
}

}  // namespace zv
