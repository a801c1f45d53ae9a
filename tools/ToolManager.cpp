#include "ToolManager.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "HtmlNodes.h"

namespace zv {

// ---------------------------------------------------------------- tools

bool TToolItem::CanEdit(const THtmlElement&) { return false; }

std::unique_ptr<TTagEditor> TToolItem::NewEditor() { return nullptr; }

bool TToolItem::StoredKindIs(const THtmlElement& Element, THtmlTagId Kind) const
{
    const THtmlNode* Node = StoredNode(Designer, Element);
    return Node && Node->Kind() == Kind;
}

// ---------------------------------------------------------------- the palette

TToolManager::TToolManager(QWidget* Parent) : QWidget(Parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    // in a scroll area the palette is as tall as its buttons at the width it gets
    QSizePolicy Policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    Policy.setHeightForWidth(true);
    setSizePolicy(Policy);
}

TToolManager::~TToolManager() = default;

TToolItem* TToolManager::AddTool(std::unique_ptr<TToolItem> Tool)
{
    Tool->Designer = FDesigner;
    TToolItem* Item = Tool.get();
    Tools.push_back(std::move(Tool));
    States.push_back(TButtonState::Normal);
    if (!Item->TagName.empty()) FTagEditors.push_back(Item);
    return Item;
}

void TToolManager::AddSeparator()
{
    auto Item = std::make_unique<TToolItem>();
    Item->ImageIndex = iiSeparator;
    Tools.push_back(std::move(Item));
    States.push_back(TButtonState::Normal);
}

void TToolManager::Clear()
{
    FTagEditors.clear();
    Tools.clear();
    States.clear();
    FHotIndex = -1;
    FPressed = false;
}

void TToolManager::BeginUpdate() { Updating = true; }

void TToolManager::EndUpdate()
{
    Updating = false;
    Layout();
    updateGeometry();
    update();
}

void TToolManager::SetImages(std::vector<QPixmap> List)
{
    Images = std::move(List);
    if (Updating) return;
    Layout();
    updateGeometry();
    update();
}

void TToolManager::SetDesigner(THtmlDesigner* Designer)
{
    if (Designer == FDesigner) return;
    FDesigner = Designer;
    for (TToolItem* Tool : FTagEditors) Tool->Designer = Designer;
}

namespace {
const int LayoutMargin = 8;
}

int TToolManager::Arrange(int Width, const std::function<void(TToolItem&, const TRect&)>& Place) const
{
    const int Columns = std::max(1, Width / FButtonSize);
    const int X0 = (Width - Columns * FButtonSize) / 2;
    int N = 0;
    for (const auto& Tool : Tools) {
        if (Tool->IsSeparator()) {
            if (N % Columns) N += Columns - N % Columns;
            const int Top = LayoutMargin + (N / Columns) * FButtonSize;
            Place(*Tool, {X0, Top, X0 + Columns * FButtonSize, Top + FButtonSize});
            N += Columns;
        } else if (Tool->ImageIndex == iiNoButton) {
            Place(*Tool, {-1, -1, -1, -1});
        } else {
            const int Left = X0 + (N % Columns) * FButtonSize, Top = LayoutMargin + (N / Columns) * FButtonSize;
            Place(*Tool, {Left, Top, Left + FButtonSize, Top + FButtonSize});
            ++N;
        }
    }
    return (N + Columns - 1) / Columns;
}

void TToolManager::Layout()
{
    if (Updating) return;
    Arrange(width(), [](TToolItem& Tool, const TRect& Cell) { Tool.ButtonRect = Cell; });
    if (Images.empty()) {
        FImageOffset = {-1, -1};
    } else {
        const QSize S = Images.front().deviceIndependentSize().toSize();
        FImageOffset = {(FButtonSize - S.width()) / 2, (FButtonSize - S.height()) / 2};
    }
}

int TToolManager::LayoutHeight(int Width) const
{
    return 2 * LayoutMargin + Arrange(Width, [](TToolItem&, const TRect&) {}) * FButtonSize;
}

QSize TToolManager::sizeHint() const
{
    const int Width = 2 * FButtonSize;
    return {Width, LayoutHeight(Width)};
}

int TToolManager::HitTest(const QPoint& Pos) const
{
    for (size_t K = 0; K < Tools.size(); ++K) {
        const TToolItem& T = *Tools[K];
        if (T.ImageIndex >= 0 && Pos.x() >= T.ButtonRect.Left && Pos.x() < T.ButtonRect.Right &&
            Pos.y() >= T.ButtonRect.Top && Pos.y() < T.ButtonRect.Bottom)
            return static_cast<int>(K);
    }
    return -1;
}

void TToolManager::PaintButton(QPainter& Painter, int Index, TButtonState State) const
{
    const TToolItem& T = *Tools[Index];
    const QRect Cell(T.ButtonRect.Left, T.ButtonRect.Top, FButtonSize, FButtonSize);
    Painter.fillRect(Cell, palette().button());
    if (State != TButtonState::Normal) {
        const QColor Light = palette().light().color(), Dark = palette().dark().color();
        const QColor& TopLeft = State == TButtonState::Hot ? Light : Dark;
        const QColor& BottomRight = State == TButtonState::Hot ? Dark : Light;
        const int R = Cell.right(), B = Cell.bottom();
        Painter.setPen(TopLeft);
        Painter.drawLine(Cell.left(), Cell.top(), R - 1, Cell.top());
        Painter.drawLine(Cell.left(), Cell.top(), Cell.left(), B - 1);
        Painter.setPen(BottomRight);
        Painter.drawLine(R, Cell.top(), R, B);
        Painter.drawLine(Cell.left(), B, R, B);
    }
    if (FImageOffset.x() >= 0 && T.ImageIndex < static_cast<int>(Images.size())) {
        const int Shift = State == TButtonState::Pressed ? 1 : 0;
        Painter.drawPixmap(Cell.topLeft() + FImageOffset + QPoint(Shift, Shift), Images[T.ImageIndex]);
    }
}

void TToolManager::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Painter.fillRect(rect(), palette().button());
    for (size_t K = 0; K < Tools.size(); ++K) {
        const TToolItem& T = *Tools[K];
        if (T.ImageIndex == iiNoButton) continue;
        if (T.IsSeparator()) {
            const int Y = T.ButtonRect.Top + FButtonSize / 2;
            Painter.setPen(palette().dark().color());
            Painter.drawLine(T.ButtonRect.Left, Y, T.ButtonRect.Right - 1, Y);
            Painter.setPen(palette().light().color());
            Painter.drawLine(T.ButtonRect.Left, Y + 1, T.ButtonRect.Right - 1, Y + 1);
        } else {
            PaintButton(Painter, static_cast<int>(K), States[K]);
        }
    }
}

void TToolManager::DrawButton(int Index, TButtonState State)
{
    if (Index < 0 || Index >= static_cast<int>(Tools.size())) return;
    States[Index] = State;
    const TRect& R = Tools[Index]->ButtonRect;
    update(QRect(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top));
}

void TToolManager::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Layout();
    update();
}

void TToolManager::mouseMoveEvent(QMouseEvent* Event)
{
    if (!FPressed) {
        const int Index = HitTest(Event->position().toPoint());
        if (Index != FHotIndex) {
            QToolTip::hideText();
            DrawButton(FHotIndex, TButtonState::Normal);
            FHotIndex = Index;
            if (Index >= 0) {
                DrawButton(Index, TButtonState::Hot);
                const QString Hint = QString::fromStdString(Tools[Index]->Hint);
                setToolTip(Hint);
                QToolTip::showText(Event->globalPosition().toPoint(), Hint, this);
            }
        }
    }
    QWidget::mouseMoveEvent(Event);
}

void TToolManager::mousePressEvent(QMouseEvent* Event)
{
    const int Index = HitTest(Event->position().toPoint());
    if (Index >= 0) {
        if (FHotIndex != Index) DrawButton(FHotIndex, TButtonState::Normal);
        DrawButton(Index, TButtonState::Pressed);
        FHotIndex = Index;
        FPressed = true;
    }
    QWidget::mousePressEvent(Event);
}

void TToolManager::mouseReleaseEvent(QMouseEvent* Event)
{
    const bool WasPressed = FPressed;
    FPressed = false;
    if (WasPressed && FHotIndex >= 0) {
        const int Index = FHotIndex;
        DrawButton(Index, TButtonState::Normal);
        FHotIndex = -1;
        // the release comes before the leave: a press dragged off its button runs nothing
        if (HitTest(Event->position().toPoint()) != Index) return QWidget::mouseReleaseEvent(Event);
        // an engine error ends the tool's action; it goes no further than the click
        try {
            Execute(Tools[Index].get());
        } catch (const std::exception&) {
        }
    }
    QWidget::mouseReleaseEvent(Event);
}

void TToolManager::leaveEvent(QEvent* Event)
{
    DrawButton(FHotIndex, TButtonState::Normal);
    FHotIndex = -1;
    QWidget::leaveEvent(Event);
}

// ---------------------------------------------------------------- running tools

void TToolManager::Changed()
{
    if (OnChange) OnChange(this);
}

bool TToolManager::IsEditable(const THtmlElement& Element)
{
    if (!Element || !Element.IsCurrent()) return false;
    try {
        if (!Element.getProperty("isConnected").toBool()) return false;
        const std::string Tag = Element.tagName();
        return Tag != "BODY" && Tag != "HTML";
    } catch (const EEngineError&) {
        return false;
    }
}

QRect TToolManager::ButtonScreenRect(const TToolItem* Tool) const
{
    const QPoint TopLeft = mapToGlobal(QPoint(Tool->ButtonRect.Left, Tool->ButtonRect.Top));
    return QRect(TopLeft, QSize(FButtonSize, FButtonSize));
}

void TToolManager::Execute(TToolItem* Tool)
{
    if (!FDesigner || !Tool || Tool->IsSeparator()) return;
    if (Tool->NeedsSavedDocument && !Host.Saved()) return;
    const TSelectionKind Kind = FDesigner->GetSelectionKind();
    if (Kind != skNone && !Tool->Nests())
        if (const THtmlElement Outer = EnclosingOwn(Tool, FDesigner->CurrentElement()))
            return void(EditAndReplace(Tool, Outer, ButtonScreenRect(Tool)));
    const THtmlElement Element = Kind == skElement ? FDesigner->CurrentElement() : THtmlElement();
    // with an element or a caret, the element of the last event is edited when it is the
    // tool's own
    const bool Editable = Kind == skElement && IsEditable(Element);
    if (Editable && !Tool->TagName.empty() &&
        SameTextAscii(Utf8ToUtf16(Element.tagName()), Utf8ToUtf16(Tool->TagName)) && Tool->CanEdit(Element))
        return void(EditAndReplace(Tool, Element, ButtonScreenRect(Tool)));
    const std::unique_ptr<TTagEditor> Editor = RunDialog(Tool, THtmlElement(), ButtonScreenRect(Tool));
    if (!Editor) return;
    WideString Html;
    Editor->GetHTML(Html);
    TUndoGroup Group(*FDesigner, "Insert");
    if (Editable && FDesigner->HasControlSelection()) {
        // an element selected whole takes the new one in front of it
        Element.insertAdjacentHTML("BeforeBegin", Html);
    } else {
        // a caret or a text selection takes it at its place
        FDesigner->InsertHtml(Html);
    }
    if (Group.Close()) Changed();
}

bool TToolManager::EditElement(const THtmlElement& Element)
{
    if (!Element || !FDesigner) return false;
    // the body opens the page properties, which change it in place
    const bool Body = Element.IsCurrent() && Element.tagName() == "BODY";
    if (!Body && !IsEditable(Element)) return false;
    const std::string Tag = Element.tagName();
    if (SameTextAscii(Utf8ToUtf16(Tag), u"A")) {
        if (!FDesigner->CanHyperlink() || !FDesigner->Hyperlink()) return false;
        Changed();
        return true;
    }
    // a header cell is edited as a cell
    const std::string ToolTag = Tag == "TH" ? "TD" : Tag;
    for (TToolItem* Tool : FTagEditors) {
        if (!SameTextAscii(Utf8ToUtf16(ToolTag), Utf8ToUtf16(Tool->TagName)) || !Tool->CanEdit(Element))
            continue;
        const QPoint Mouse = QCursor::pos();
        return EditAndReplace(Tool, Element, QRect(Mouse - QPoint(20, 20), QSize(40, 40)));
    }
    // what no tool edits inside a table cell (a paragraph, bold text, a list) stands for the
    // cell, the innermost one
    if (const THtmlTableCell Cell = Element.TablePlace().Cell; Cell && !(Cell == Element)) return EditElement(Cell);
    return false;
}

THtmlElement TToolManager::EnclosingOwn(TToolItem* Tool, const THtmlElement& Element) const
{
    if (Tool->TagName.empty() || !IsEditable(Element)) return {};
    for (THtmlElement E = Element; E && E.tagName() != "BODY"; E = E.parentElement())
        if (SameTextAscii(Utf8ToUtf16(E.tagName()), Utf8ToUtf16(Tool->TagName)) && Tool->CanEdit(E)) return E;
    return {};
}

std::unique_ptr<TTagEditor> TToolManager::RunDialog(TToolItem* Tool, const THtmlElement& Element,
                                                    const QRect& Reference)
{
    std::unique_ptr<TTagEditor> Editor = Tool->NewEditor();
    if (!Editor) return nullptr;
    Editor->Open(FDesigner, Element, Host);
    Editor->PlaceBeside(FDesigner, Reference);
    if (Editor->exec() != QDialog::Accepted) return nullptr;
    return Editor;
}

bool TToolManager::EditAndReplace(TToolItem* Tool, const THtmlElement& Element, const QRect& Reference)
{
    const std::unique_ptr<TTagEditor> Editor = RunDialog(Tool, Element, Reference);
    // an OK on a dialog the user changed nothing in writes nothing
    if (!Editor || !Editor->DialogChanged()) return false;
    TUndoGroup Group(*FDesigner, Editor->UndoName());
    if (Tool->EditInPlace) {
        // undo takes back what Apply writes into the stored node too
        if (StoredNode(FDesigner, Element)) FDesigner->KeepStoredNode(Element.id());
        Editor->Apply();
    } else {
        WideString Html;
        Editor->GetHTML(Html);
        Element.setOuterHTML(Html);
    }
    if (!Group.Close()) return false;
    Changed();
    return true;
}

}  // namespace zv
