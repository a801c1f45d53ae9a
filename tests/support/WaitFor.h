#pragma once
// Waiting in tests on a condition, never on a fixed sleep.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace zv::test {

// Processes events until Done holds or time runs out. The thread never sleeps: the engine's
// requests are answered on it.
inline bool WaitFor(const std::function<bool()>& Done, int TimeoutMs = 5000)
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done()) {
        if (Clock.elapsed() > TimeoutMs) return false;
        QEventLoop Loop;
        QTimer::singleShot(5, &Loop, &QEventLoop::quit);
        Loop.exec();
    }
    return true;
}

}  // namespace zv::test
