#include "EntityViewer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "EntityPaletteData.h"
#include "HtmlInplace.h"

namespace zv {

TEntityView::TEntityView(QWidget* Parent) : TWindowControl(Parent)
{
    InitControlResources();
    FGlyphs = QImage(":/controls/ENTITYMAP.png").convertToFormat(QImage::Format_RGB32);
    viewport()->setMouseTracking(true);
    UpdateScrollRange();
}

TEntityView::~TEntityView()
{
    Clear();
}

void TEntityView::Clear()
{
    FItems.clear();
    ShowItemHint(-1);
    FItemIndex = -1;
    ScrollX = ScrollY = 0;
}

int TEntityView::Add(const QString& Entity, const QString& Description, int GlyphIndex)
{
    FItems.push_back({GlyphIndex % EntityGlyphColumns * EntityGlyphSize,
                      GlyphIndex / EntityGlyphColumns * EntityGlyphSize, Entity, Description});
    return Count() - 1;
}

void TEntityView::UpdateScrollRange()
{
    Columns = std::max(1, viewport()->width() / FItemWidth);
    Rows = (Count() + Columns - 1) / Columns;
    CaptionHeight = QFontMetrics(font()).height() + 4;
    GlyphAreaHeight = FItemHeight - CaptionHeight;
    GlyphOffsetX = (FItemWidth - EntityGlyphSize) / 2 + 1;
    GlyphOffsetY = (GlyphAreaHeight - EntityGlyphSize) / 2 + 1;
    ContentWidth = Columns * FItemWidth;
    ContentHeight = Rows * FItemHeight;
    TWindowControl::UpdateScrollRange();
}

QRect TEntityView::ItemRect(int Index) const
{
    const int Left = Index % Columns * FItemWidth - 1 - ScrollX;
    const int Top = Index / Columns * FItemHeight - 1 - ScrollY;
    return QRect(Left, Top, FItemWidth + 1, FItemHeight + 1);
}

int TEntityView::ItemAt(int X, int Y) const
{
    const int CX = X + ScrollX, CY = Y + ScrollY;
    if (CX < 0 || CY < 0 || CX >= ContentWidth || CY >= ContentHeight)
        return -1;
    const int Index = CX / FItemWidth + CY / FItemHeight * Columns;
    return Index < Count() ? Index : -1;
}

void TEntityView::DrawItem(QPainter& P, int Index, const QRect& Cell)
{
    const TItem& Item = FItems[Index];
    const QPen Frame(QColor(0xC0, 0xC0, 0xC0), 1);
    P.setPen(Frame);
    P.setBrush(ToQColor(FViewColor));
    P.drawRect(Cell.adjusted(0, 0, -1, -1));
    QRect Band = Cell;
    Band.setTop(Cell.bottom() + 1 - CaptionHeight);
    P.setBrush(ToQColor(FCaptionColor));
    P.drawRect(Band.adjusted(0, 0, -1, -1));
    P.drawImage(Cell.left() + GlyphOffsetX, Cell.top() + GlyphOffsetY, FGlyphs, Item.GlyphX,
                Item.GlyphY, EntityGlyphSize, EntityGlyphSize);
    P.save();
    P.setClipRect(Band);
    P.setPen(palette().color(QPalette::Text));
    // a caption wider than the cell is drawn smaller, whole
    QFont Caption = font();
    QFontMetrics M(Caption);
    const int Room = FItemWidth - 4;
    for (int Wide = M.horizontalAdvance(Item.Entity); Wide > Room && Caption.pointSizeF() > 5;
         Wide = M.horizontalAdvance(Item.Entity)) {
        Caption.setPointSizeF(std::max(5.0, Caption.pointSizeF() * std::min(0.95, double(Room) / Wide)));
        M = QFontMetrics(Caption);
    }
    P.setFont(Caption);
    P.drawText(Band.left() + (FItemWidth - M.horizontalAdvance(Item.Entity)) / 2,
               Band.top() + (CaptionHeight - M.height()) / 2 + M.ascent(), Item.Entity);
    P.restore();
}

void TEntityView::PaintContent(QPainter& P)
{
    const QRect Client = viewport()->rect();
    const QColor Background = ToQColor(FViewColor);
    for (int I = 0; I < Count(); ++I) {
        const QRect Cell = ItemRect(I);
        if (Cell.intersects(Client))
            DrawItem(P, I, Cell);
    }
    for (int I = Count(); I < Columns * Rows; ++I) {
        const QRect Cell = ItemRect(I).adjusted(1, 1, 0, 0);
        if (Cell.intersects(Client))
            P.fillRect(Cell, Background);
    }
    const int Right = Columns * FItemWidth - ScrollX, Bottom = Rows * FItemHeight - ScrollY;
    if (Right < Client.width())
        P.fillRect(QRect(Right, 0, Client.width() - Right, Client.height()), Background);
    if (Bottom < Client.height())
        P.fillRect(QRect(0, Bottom, Client.width(), Client.height() - Bottom), Background);
    if (FItemIndex >= 0 && FItemIndex < Count()) {
        const QRect Cell = ItemRect(FItemIndex);
        if (Cell.intersects(Client)) {
            P.setBrush(Qt::NoBrush);
            P.setPen(QPen(Qt::red, 2));
            P.drawRect(QRectF(Cell).adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

void TEntityView::MakeVisible()
{
    if (FItemIndex == -1)
        return;
    const QRect R = ItemRect(FItemIndex);
    const QRect Client = viewport()->rect();
    if (R.intersected(Client).height() < FItemHeight) {
        if (R.top() >= 0)
            ScrollY += R.bottom() + 1 - Client.height();
        else
            ScrollY = std::max(0, ScrollY + R.top());
    }
    UpdateScrollRange();
    viewport()->update();
}

void TEntityView::DoSelect()
{
    if (OnSelect && FItemIndex >= 0 && FItemIndex < Count())
        OnSelect(this, FItems[FItemIndex].Entity);
}

void TEntityView::ShowItemHint(int Index)
{
    if (Index == FHintIndex)
        return;
    QToolTip::hideText();
    FHintIndex = Index;
    if (Index >= 0) {
        QString Text = Index < Count() ? FItems[Index].Description : QString();
        Text.replace('\r', '\n');
        viewport()->setToolTip(Text);
        QToolTip::showText(QCursor::pos(), Text, viewport());
    } else {
        viewport()->setToolTip(QString());
    }
}

void TEntityView::SetItemIndex(int Index)
{
    if (Index == FItemIndex)
        return;
    FItemIndex = Index;
    viewport()->update();
}

void TEntityView::SetItemWidth(int Width)
{
    Width = std::max(1, Width);
    if (Width == FItemWidth)
        return;
    FItemWidth = Width;
    UpdateScrollRange();
    viewport()->update();
}

void TEntityView::SetItemHeight(int Height)
{
    Height = std::max(1, Height);
    if (Height == FItemHeight)
        return;
    FItemHeight = Height;
    UpdateScrollRange();
    viewport()->update();
}

void TEntityView::SetViewColor(TColor Color)
{
    if (Color == FViewColor)
        return;
    FViewColor = Color;
    viewport()->update();
}

void TEntityView::SetCaptionColor(TColor Color)
{
    if (Color == FCaptionColor)
        return;
    FCaptionColor = Color;
    viewport()->update();
}

void TEntityView::mousePressEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    const int I = ItemAt(P.x(), P.y());
    FPressChose = I != -1 && I == FItemIndex;
    if (I != -1 && !FPressChose) {
        SetItemIndex(I);
        MakeVisible();
    }
    setFocus(Qt::MouseFocusReason);
    Event->accept();
    if (!FPressChose) return;
    DoSelect();
    FChoiceFocus = QApplication::focusWidget();
}

void TEntityView::mouseDoubleClickEvent(QMouseEvent* Event)
{
    // the press before a double click chose the cell already, when the window system sent one
    const QPoint P = Event->position().toPoint();
    const int I = ItemAt(P.x(), P.y());
    const bool Chosen = FPressChose && I == FItemIndex;
    FPressChose = false;
    Event->accept();
    if (Chosen) {
        // the double click took the keyboard again: it stays where the choice sent it
        if (FChoiceFocus) FChoiceFocus->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (I == -1) return;
    SetItemIndex(I);
    MakeVisible();
    DoSelect();
}

void TEntityView::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    ShowItemHint(ItemAt(P.x(), P.y()));
}

void TEntityView::leaveEvent(QEvent* Event)
{
    ShowItemHint(-1);
    TWindowControl::leaveEvent(Event);
}

void TEntityView::keyPressEvent(QKeyEvent* Event)
{
    const int N = Count(), C = Columns, I = FItemIndex;
    if (N == 0)
        return TWindowControl::keyPressEvent(Event);
    const bool Ctrl = Event->modifiers() & Qt::ControlModifier;
    int New = I;
    switch (Event->key()) {
    case Qt::Key_Home: New = I < 0 || Ctrl ? 0 : I / C * C; break;
    case Qt::Key_End: New = I < 0 ? 0 : Ctrl ? N - 1 : std::min(N - 1, (I / C + 1) * C - 1); break;
    case Qt::Key_Left: New = I < 0 ? 0 : std::max(0, I - 1); break;
    case Qt::Key_Up: New = I < 0 ? 0 : std::max(0, I - C); break;
    case Qt::Key_Right: New = I < 0 ? 0 : std::min(N - 1, I + 1); break;
    case Qt::Key_Down: New = I < 0 ? 0 : std::min(N - 1, I + C); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        DoSelect();
        return;
    default:
        if (!HandOnTyping(Event)) TWindowControl::keyPressEvent(Event);
        return;
    }
    SetItemIndex(New);
    MakeVisible();
}

bool TEntityView::HandOnTyping(QKeyEvent* Event)
{
    // text of its own or a key that takes text away; shortcuts are no typing
    if (Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString Text = Event->text();
    const bool Typing = (!Text.isEmpty() && Text.front().isPrint()) || Event->key() == Qt::Key_Backspace ||
                        Event->key() == Qt::Key_Delete;
    QWidget* Target = Typing && TypingTarget ? TypingTarget(this) : nullptr;
    if (!Target) return false;
    Target->setFocus(Qt::OtherFocusReason);
    // the key goes where the view takes its keys; its release follows the focus there
    while (Target->focusProxy()) Target = Target->focusProxy();
    QKeyEvent Key(Event->type(), Event->key(), Event->modifiers(), Event->nativeScanCode(),
                  Event->nativeVirtualKey(), Event->nativeModifiers(), Text, Event->isAutoRepeat(),
                  Event->count(), Event->device());
    QApplication::sendEvent(Target, &Key);
    Event->accept();
    return true;
}

void FillEntityView(TEntityView& View, int Group)
{
    View.BeginUpdate();
    View.Clear();
    if (Group >= 0 && Group < EntityGroupCount) {
        const TEntityGroup& G = EntityGroups[Group];
        for (int I = G.First; I < G.First + G.Count; ++I)
            View.Add(QString::fromLatin1(EntityPalette[I].Entity),
                     QString::fromLatin1(EntityPalette[I].Description), I);
    }
    View.EndUpdate();
}

}  // namespace zv
