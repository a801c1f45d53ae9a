#include "ScreenPlaces.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace zv {

namespace {

QScreen* ScreenOf(const QRect& R)
{
    if (QScreen* Screen = QGuiApplication::screenAt(R.center())) return Screen;
    for (QScreen* Screen : QGuiApplication::screens())
        if (Screen->availableGeometry().intersects(R)) return Screen;
    return nullptr;
}

}  // namespace

QRect ScreenAreaOf(const QRect& R)
{
    QScreen* Screen = ScreenOf(R);
    if (!Screen) Screen = QGuiApplication::primaryScreen();
    return Screen ? Screen->availableGeometry() : QRect();
}

QRect KeepInside(QRect Frame, const QRect& Area)
{
    Frame.setWidth(std::min(Frame.width(), Area.width()));
    Frame.setHeight(std::min(Frame.height(), Area.height()));
    Frame.moveLeft(std::clamp(Frame.left(), Area.left(), Area.left() + Area.width() - Frame.width()));
    Frame.moveTop(std::clamp(Frame.top(), Area.top(), Area.top() + Area.height() - Frame.height()));
    return Frame;
}

QRect ClampToScreen(const QRect& Frame)
{
    const QRect Area = ScreenAreaOf(Frame);
    if (Area.isEmpty()) return Frame;
    QRect Result = Frame;
    if (!ScreenOf(Frame)) Result.moveTopLeft(Area.topLeft());
    return KeepInside(Result, Area);
}

void MoveFrame(QWidget* Window, const QPoint& TopLeft)
{
    // a window not yet made takes the place as its frame's when the window system makes it;
    // one already made would put its client area there
    QWindow* Handle = Window->testAttribute(Qt::WA_WState_Created) ? Window->windowHandle() : nullptr;
    if (Handle)
        Handle->setFramePosition(TopLeft);
    else
        Window->move(TopLeft);
}

QPoint FramePosition(const QWidget* Window)
{
    const QWindow* Handle = Window->testAttribute(Qt::WA_WState_Created) ? Window->windowHandle() : nullptr;
    return Handle ? Handle->framePosition() : Window->frameGeometry().topLeft();
}

}  // namespace zv
