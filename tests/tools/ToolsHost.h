#pragma once
// What the tool tests share: the design view with a palette of the registered tools, and the
// fields and buttons of the tools' dialogs.

#include <QRectF>
#include <string>

#include "design/DesignerHost.h"
#include "support/WaitFor.h"
#include "ToolLoader.h"
#include "ToolManager.h"

namespace zv::test {

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

// The box of the n-th element matched by Selector in the page, scrolled into view first.
QRectF ElementBox(const QString& Selector, int Index = 0);
// Double-clicks the middle of that element as the user does and answers the dialog that opens
// with Fill and OK (a refused OK then cancels).
void DoubleClick(const QString& Selector, int Index, std::function<void(QWidget*)> Fill = {});

// Saves the design view's document into the test folder and answers the bytes.
std::string SaveBytes(const std::string& Name);

}  // namespace zv::test
