#include "ComboBox97.h"

#include <QAbstractItemView>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace zv {

namespace {

// A one-pixel edge: Light on the top and left, Dark on the bottom and right (raised), or the
// other way round (sunken).
void DrawEdge(QPainter& Painter, const QRect& R, const QColor& TopLeft, const QColor& BottomRight)
{
    Painter.setPen(TopLeft);
    Painter.drawLine(R.topLeft(), R.topRight());
    Painter.drawLine(R.topLeft(), R.bottomLeft());
    Painter.setPen(BottomRight);
    Painter.drawLine(R.bottomLeft(), R.bottomRight());
    Painter.drawLine(R.topRight(), R.bottomRight());
}

void DrawFrame(QPainter& Painter, const QRect& R, const QColor& Color)
{
    DrawEdge(Painter, R, Color, Color);
}

}  // namespace

TCustomComboBox97::TCustomComboBox97(QWidget* Parent) : QComboBox(Parent)
{
    FButtonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
    setAttribute(Qt::WA_Hover);
}

void TCustomComboBox97::SetFlat(bool Value)
{
    if (Value == FFlat) return;
    FFlat = Value;
    update();
}

bool TCustomComboBox97::IsActive() const { return FMouseInControl || hasFocus(); }

void TCustomComboBox97::hidePopup()
{
    // the list took the mouse: its release never reached the box
    FPressed = false;
    FTracking = false;
    QComboBox::hidePopup();
    update();
}

QRect TCustomComboBox97::ButtonRect() const
{
    return QRect(width() - FButtonWidth, 0, FButtonWidth, height()).adjusted(0, 2, -2, -2);
}

void TCustomComboBox97::DrawItem(QPainter& Painter, const QRect& Rect, int Index, bool Selected,
                                 bool InList) const
{
    const QPalette& Pal = palette();
    Painter.fillRect(Rect, Selected ? Pal.color(QPalette::Highlight)
                                    : Pal.color(isEnabled() ? QPalette::Base : QPalette::Button));
    if (Index < 0) return;
    Painter.setPen(!isEnabled() ? Pal.color(QPalette::Dark)
                   : Selected   ? Pal.color(QPalette::HighlightedText)
                                : Pal.color(QPalette::Text));
    Painter.setFont(font());
    const QRect TextRect = Rect.adjusted(2, 0, -2, 0);
    Painter.drawText(TextRect, Qt::AlignLeft | Qt::AlignVCenter,
                     Painter.fontMetrics().elidedText(itemText(Index), Qt::ElideRight, TextRect.width()));
}

void TCustomComboBox97::paintEvent(QPaintEvent* Event)
{
    const bool Editing = hasFocus() && !view()->isVisible();
    if (!FFlat) {
        QStylePainter Painter(this);
        QStyleOptionComboBox Option;
        initStyleOption(&Option);
        Option.currentText.clear();
        Option.currentIcon = {};
        Painter.drawComplexControl(QStyle::CC_ComboBox, Option);
        const QRect Field =
            style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, this);
        DrawItem(Painter, Field, currentIndex(), Editing, false);
        return;
    }
    QPainter Painter(this);
    const QPalette& Pal = palette();
    const QColor Face = Pal.color(QPalette::Button);
    const QColor Window = Pal.color(isEnabled() ? QPalette::Base : QPalette::Button);
    const QRect Client = rect();
    const bool Active = isEnabled() && IsActive();
    Painter.fillRect(Client, Window);

    // the button: filled when inactive, a raised edge when lit, flat while held down
    const QRect Button = ButtonRect();
    Painter.fillRect(Button, Face);
    if (Active) {
        if (FPressed)
            DrawFrame(Painter, Button.adjusted(0, 0, -1, -1), Pal.color(QPalette::Dark));
        else
            DrawEdge(Painter, Button.adjusted(0, 0, -1, -1), Pal.color(QPalette::Light),
                     Pal.color(QPalette::Dark));
    }
    QStyleOption Arrow;
    Arrow.initFrom(this);
    Arrow.rect = Button.adjusted(3, 3, -3, -3).translated(FPressed ? QPoint(1, 1) : QPoint());
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &Arrow, &Painter, this);

    DrawItem(Painter, QRect(3, 3, Button.left() - 4, Client.height() - 6), currentIndex(), Editing,
             false);

    const QRect Outer = Client.adjusted(0, 0, -1, -1);
    if (Active) {
        DrawEdge(Painter, Outer, Pal.color(QPalette::Dark), Pal.color(QPalette::Light));
        DrawFrame(Painter, Outer.adjusted(1, 1, -1, -1), Face);
        DrawFrame(Painter, Outer.adjusted(2, 2, -2, -2), Window);
    } else {
        DrawFrame(Painter, Outer, Face);
        DrawFrame(Painter, Outer.adjusted(1, 1, -1, -1), Window);
    }
}

void TCustomComboBox97::enterEvent(QEnterEvent* Event)
{
    FMouseInControl = true;
    update();
    QComboBox::enterEvent(Event);
}

void TCustomComboBox97::leaveEvent(QEvent* Event)
{
    FMouseInControl = false;
    update();
    QComboBox::leaveEvent(Event);
}

void TCustomComboBox97::focusInEvent(QFocusEvent* Event)
{
    update();
    QComboBox::focusInEvent(Event);
}

void TCustomComboBox97::focusOutEvent(QFocusEvent* Event)
{
    update();
    QComboBox::focusOutEvent(Event);
}

void TCustomComboBox97::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::EnabledChange) update();
    QComboBox::changeEvent(Event);
}

void TCustomComboBox97::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus) {
        FPressed = true;
        FTracking = true;
        update();
    }
    QComboBox::mousePressEvent(Event);
}

void TCustomComboBox97::mouseMoveEvent(QMouseEvent* Event)
{
    if (FTracking && FPressed) {
        const int X = Event->position().toPoint().x();
        if (X < width() - FButtonWidth || X >= width() || !rect().contains(Event->position().toPoint())) {
            FPressed = false;
            update();
        }
    }
    QComboBox::mouseMoveEvent(Event);
}

void TCustomComboBox97::mouseReleaseEvent(QMouseEvent* Event)
{
    if (FPressed || FTracking) {
        FPressed = false;
        FTracking = false;
        update();
    }
    QComboBox::mouseReleaseEvent(Event);
}

}  // namespace zv
