#pragma once
// What the tool tests share: the design view with a palette of the registered tools, and
// answers to the modal dialogs the tools open.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>

#include "design/DesignerHost.h"
#include "ToolLoader.h"
#include "ToolManager.h"

namespace zv::test {

// Runs Answer on the next modal dialog as soon as it is shown (inside its exec); Answer closes
// it. Seen tells whether it came.
class TDialogAnswer {
public:
    explicit TDialogAnswer(std::function<void(QWidget*)> Answer) : Answer(std::move(Answer))
    {
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            QWidget* Modal = QApplication::activeModalWidget();
            if (!Modal || !Modal->isVisible()) return;
            Timer.stop();
            Seen = true;
            this->Answer(Modal);
        });
        Timer.start(5);
    }
    bool Seen = false;

private:
    std::function<void(QWidget*)> Answer;
    QTimer Timer;
};

// The OK or Cancel of a dialog's button box.
void PressOk(QWidget* Dialog);
void PressCancel(QWidget* Dialog);
// Sets the text of the line edit or combo box of that name.
void SetField(QWidget* Dialog, const char* Name, const QString& Text);
QString FieldText(QWidget* Dialog, const char* Name);

// The palette of all registered tools over the shared design view.
TToolManager& Palette();
// The registered tool of class T.
template <class T> T* Tool()
{
    for (const auto& Item : Palette().AllTools())
        if (auto* P = dynamic_cast<T*>(Item.get())) return P;
    return nullptr;
}

// Runs the tool at a caret in the text of Selector, answering its dialog with Fill and OK.
void InsertAt(const QString& Selector, int Offset, TToolItem* Tool, std::function<void(QWidget*)> Fill = {});
// Opens the dialog of the element as a double click does, answering it with Fill and OK.
void Edit(const THtmlElement& Element, std::function<void(QWidget*)> Fill = {});

// Saves the design view's document into the test folder and answers the bytes.
std::string SaveBytes(const std::string& Name);

}  // namespace zv::test
