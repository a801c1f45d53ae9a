#include "ToolsHost.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zv::test {

namespace {
QDialogButtonBox* Buttons(QWidget* Dialog) { return Dialog->findChild<QDialogButtonBox*>(); }
}  // namespace

void PressOk(QWidget* Dialog) { Buttons(Dialog)->button(QDialogButtonBox::Ok)->click(); }

void PressCancel(QWidget* Dialog) { Buttons(Dialog)->button(QDialogButtonBox::Cancel)->click(); }

void SetField(QWidget* Dialog, const char* Name, const QString& Text)
{
    if (auto* Edit = Dialog->findChild<QLineEdit*>(Name)) return Edit->setText(Text);
    if (auto* Combo = Dialog->findChild<QComboBox*>(Name)) return Combo->setCurrentText(Text);
    if (auto* Memo = Dialog->findChild<QPlainTextEdit*>(Name)) return Memo->setPlainText(Text);
    ADD_FAILURE() << "no field " << Name;
}

QString FieldText(QWidget* Dialog, const char* Name)
{
    if (auto* Edit = Dialog->findChild<QLineEdit*>(Name)) return Edit->text();
    if (auto* Combo = Dialog->findChild<QComboBox*>(Name)) return Combo->currentText();
    if (auto* Memo = Dialog->findChild<QPlainTextEdit*>(Name)) return Memo->toPlainText();
    ADD_FAILURE() << "no field " << Name;
    return {};
}

TToolManager& Palette()
{
    static TToolManager* Manager = [] {
        auto* M = new TToolManager;
        M->SetDesigner(&TDesignerHost::Get().Designer());
        RegisterTools(*M);
        M->resize(92, 400);
        return M;
    }();
    return *Manager;
}

std::string SaveBytes(const std::string& Name)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.Designer().SaveToFile(H.Folder() / Name);
    return ReadAll(H.Folder() / Name);
}

}  // namespace zv::test
