#pragma once
// Tests that need a real X server and a window manager (frames around windows, the window
// system's drag and drop): ctest runs them as app_under_x, through tests/support/run-under-x.sh;
// on any other platform they are skipped.

#include <QGuiApplication>
#include <QProcess>
#include <QStringList>

#include "support/WaitFor.h"

namespace zv::test {

inline bool UnderX() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

#define ZV_UNDER_X_ONLY()                                                                      \
    if (!::zv::test::UnderX()) GTEST_SKIP() << "needs an X server: ctest runs it as app_under_x"

// Real pointer and key events through the X server: xdotool with Args (say "mousemove", "10",
// "20", "mousedown", "1"); the application's events are processed meanwhile.
inline bool XInput(const QStringList& Args)
{
    QProcess Tool;
    Tool.start(QStringLiteral("xdotool"), Args);
    if (!Tool.waitForStarted(5000)) return false;
    if (!WaitFor([&] { return Tool.state() == QProcess::NotRunning; }, 5000)) return false;
    return Tool.exitStatus() == QProcess::NormalExit && Tool.exitCode() == 0;
}

// The pointer moved to Global (screen coordinates).
inline bool XMove(QPoint Global)
{
    return XInput({QStringLiteral("mousemove"), QString::number(Global.x()), QString::number(Global.y())});
}

}  // namespace zv::test
