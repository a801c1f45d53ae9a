#include "WindowControl.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <tuple>
#include <utility>

namespace zv {

TWindowControl::TWindowControl(QWidget* Parent) : QAbstractScrollArea(Parent)
{
    resize(200, 200);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    // All drawing happens in PaintContent; the background is never erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    UpdateScrollRange();
}

void TWindowControl::SetColor(TColor NewColor)
{
    if (NewColor == FColor)
        return;
    FColor = NewColor;
    viewport()->update();
}

void TWindowControl::SetShowScrollBars(bool Show)
{
    if (Show == FShowScrollBars)
        return;
    FShowScrollBars = Show;
    // A bar shows only while there is something to scroll.
    const Qt::ScrollBarPolicy Policy = Show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(Policy);
    setVerticalScrollBarPolicy(Policy);
    UpdateScrollRange();
    viewport()->update();
}

void TWindowControl::BeginUpdate()
{
    FUpdating = true;
}

void TWindowControl::EndUpdate()
{
    FUpdating = false;
    UpdateScrollRange();
    viewport()->update();
}

void TWindowControl::UpdateScrollRange()
{
    const QSize Client = viewport()->size();
    MaxScrollX = std::max(0, ContentWidth - Client.width());
    MaxScrollY = std::max(0, ContentHeight - Client.height());
    ScrollX = std::min(ScrollX, MaxScrollX);
    ScrollY = std::min(ScrollY, MaxScrollY);
    const bool Was = std::exchange(FSettingBars, true);
    for (auto [Bar, Max, Pos] : {std::tuple{horizontalScrollBar(), MaxScrollX, ScrollX},
                                 std::tuple{verticalScrollBar(), MaxScrollY, ScrollY}}) {
        Bar->setSingleStep(SmallStep);
        Bar->setPageStep(LargeStep);
        Bar->setRange(0, Max);
        Bar->setValue(Pos);
    }
    FSettingBars = Was;
}

void TWindowControl::SetScrollPos(int X, int Y)
{
    X = std::clamp(X, 0, MaxScrollX);
    Y = std::clamp(Y, 0, MaxScrollY);
    if (X == ScrollX && Y == ScrollY)
        return;
    ScrollX = X;
    ScrollY = Y;
    const bool Was = std::exchange(FSettingBars, true);
    horizontalScrollBar()->setValue(X);
    verticalScrollBar()->setValue(Y);
    FSettingBars = Was;
    viewport()->update();
}

void TWindowControl::scrollContentsBy(int, int)
{
    if (FSettingBars)
        return;
    // The content follows the bars, also while a thumb is dragged.
    const int X = horizontalScrollBar()->value(), Y = verticalScrollBar()->value();
    if (X == ScrollX && Y == ScrollY)
        return;
    ScrollX = X;
    ScrollY = Y;
    viewport()->update();
}

void TWindowControl::wheelEvent(QWheelEvent* Event)
{
    // 120 units a notch, taken as pixels; never horizontal.
    SetScrollPos(ScrollX, ScrollY - Event->angleDelta().y());
    Event->accept();
}

void TWindowControl::resizeEvent(QResizeEvent* Event)
{
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollRange();
}

void TWindowControl::paintEvent(QPaintEvent*)
{
    if (FUpdating)
        return;
    QPainter Painter(viewport());
    PaintContent(Painter);
}

}  // namespace zv
