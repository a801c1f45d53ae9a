#pragma once
// Where windows go on the screen: the work area of the screen a rectangle lies on, and a
// window's frame kept inside it. Dialogs placed beside a word or an element, the main window
// and floating panels all keep to it.

#include <QRect>

class QWidget;

namespace zv {

// The available area (the screen less its panels) of the screen R lies on: the screen of R's
// centre, else the first whose area R reaches into, else the primary screen. Empty without a
// screen.
QRect ScreenAreaOf(const QRect& R);

// Frame cut to Area's size where it is larger, and moved the least that puts it inside Area.
QRect KeepInside(QRect Frame, const QRect& Area);

// Moves a window's frame onto a screen that exists: a rectangle off every screen goes to the
// primary screen's top left corner, and one larger than its screen shrinks to fit.
QRect ClampToScreen(const QRect& Frame);

// Puts a window's frame, not its client area, at TopLeft, also before the window system has
// given the window its frame.
void MoveFrame(QWidget* Window, const QPoint& TopLeft);
// Where a window's frame is now, as the window system has it: the widget's own frame learns a
// frame the window manager gave after the window last moved only at its next move.
QPoint FramePosition(const QWidget* Window);

}  // namespace zv
