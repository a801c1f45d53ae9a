#pragma once
// Waiting in tests: on a condition (never on a fixed sleep), or for the next modal window.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
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

// Runs Act on the next modal dialog, then closes it if Act did not. A dialog already open
// when this is called is not the next one (the timer may fire while it waits for its child).
inline void WhenModal(std::function<void(QWidget*)> Act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    const QPointer<QWidget> open = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, Act, open] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w != open) {
            timer->deleteLater();
            timer->stop();
            QPointer<QWidget> guard(w);
            Act(w);
            if (auto* d = qobject_cast<QDialog*>(guard.data()); d && d->isVisible())
                d->reject();
        }
    });
    timer->start();
}

// The same for as long as the object lives, for tests that also check that no dialog came:
// Answer runs on the next modal dialog shown (inside its exec) and must close it; Seen tells
// whether one came.
class TModalAnswer {
public:
    explicit TModalAnswer(std::function<void(QWidget*)> Answer)
        : Answer(std::move(Answer)), Open(QApplication::activeModalWidget())
    {
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            QWidget* Modal = QApplication::activeModalWidget();
            if (!Modal || !Modal->isVisible() || Modal == Open) return;
            Timer.stop();
            Seen = true;
            this->Answer(Modal);
        });
        Timer.start(5);
    }
    bool Seen = false;

private:
    std::function<void(QWidget*)> Answer;
    QPointer<QWidget> Open;  // the dialog open when this was made: not the next one
    QTimer Timer;
};

}  // namespace zv::test
