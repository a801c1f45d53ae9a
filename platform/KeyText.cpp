#include "KeyText.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QVariant>

namespace zv {

bool CommitKeyText(QObject* Target, QKeyEvent* Key)
{
    const QString Text = Key->text();
    if (Key->type() != QEvent::KeyPress || Text.size() < 2 ||
        (Key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    for (const QChar Ch : Text)
        if (Ch.category() == QChar::Other_Control) return false;
    QInputMethodEvent Commit;
    Commit.setCommitString(Text);
    QCoreApplication::sendEvent(Target, &Commit);
    Key->accept();
    return true;
}

namespace {

class TKeyTextFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        return Event->type() == QEvent::KeyPress && CommitKeyText(Watched, static_cast<QKeyEvent*>(Event));
    }
};

}  // namespace

void CommitKeyTextOf(QObject* Widget)
{
    static const char* const Hooked = "zvKeyTextHooked";
    if (Widget->property(Hooked).toBool()) return;
    Widget->setProperty(Hooked, true);
    Widget->installEventFilter(new TKeyTextFilter(Widget));
}

}  // namespace zv
