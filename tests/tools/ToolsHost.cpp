#include "ToolsHost.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "support/PageDriver.h"

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

void InsertAt(const QString& Selector, int Offset, TToolItem* Tool, std::function<void(QWidget*)> Fill)
{
    TDesignerHost::Get().SelectText(Selector, Offset, Offset);
    TModalAnswer Answer([&](QWidget* Dialog) {
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
    });
    Palette().Execute(Tool);
    EXPECT_TRUE(Answer.Seen);
}

void Edit(const THtmlElement& Element, std::function<void(QWidget*)> Fill)
{
    TModalAnswer Answer([&](QWidget* Dialog) {
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
    });
    Palette().EditElement(Element);
    EXPECT_TRUE(Answer.Seen);
}

QRectF ElementBox(const QString& Selector, int Index)
{
    const QVariantList R = TDesignerHost::Get()
                               .Eval(QString("(function(){ const e = document.querySelectorAll('%1')[%2];"
                                             " e.scrollIntoView({block: 'center'}); const r = e.getBoundingClientRect();"
                                             " return [r.left, r.top, r.width, r.height]; })()")
                                         .arg(Selector)
                                         .arg(Index))
                               .toList();
    EXPECT_EQ(R.size(), 4) << Selector.toStdString();
    return QRectF(R.value(0).toDouble(), R.value(1).toDouble(), R.value(2).toDouble(), R.value(3).toDouble());
}

void DoubleClick(const QString& Selector, int Index, std::function<void(QWidget*)> Fill)
{
    THtmlDesigner& D = TDesignerHost::Get().Designer();
    D.OnDblClick = [&D](QObject*) { Palette().EditElement(D.CurrentElement()); };
    TModalAnswer Answer([&](QWidget* Dialog) {
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
        if (Dialog->isVisible()) PressCancel(Dialog);
    });
    PageDoubleClick(D, ElementBox(Selector, Index).center().toPoint());
    EXPECT_TRUE(WaitFor([&] { return Answer.Seen; }, 3000)) << Selector.toStdString();
    D.OnDblClick = nullptr;
}

std::string SaveBytes(const std::string& Name)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.Designer().SaveToFile(H.Folder() / Name);
    return ReadAll(H.Folder() / Name);
}

}  // namespace zv::test
