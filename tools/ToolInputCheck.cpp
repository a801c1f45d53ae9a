#include "ToolInputCheck.h"

#include "ToolFields.h"
#include "ui_ToolInputCheck.h"

namespace zv {

TTagEditor* TToolInputCheck::GetEditor()
{
    auto* Editor = SharedEditor<TFormToolInputCheck>();
    Editor->Radio = false;
    return Editor;
}

TTagEditor* TToolInputRadio::GetEditor()
{
    auto* Editor = SharedEditor<TFormToolInputCheck>();
    Editor->Radio = true;
    return Editor;
}

TFormToolInputCheck::TFormToolInputCheck(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditTab);
    SetAccessKeyEdit(Form->EditKey);
}

TFormToolInputCheck::~TFormToolInputCheck() = default;

void TFormToolInputCheck::FormShow()
{
    WideString Tab;
    if (Element) GetAttrNoDefault(Element, "tabindex", Tab);
    Form->EditName->setText(Element ? ToQString(GetAttr(Element, "name")) : QString());
    Form->EditTab->setText(ToQString(Tab));
    Form->EditKey->setText(Element ? ToQString(GetAttr(Element, "accesskey")) : QString());
    ShownChecked = Element && Element.getProperty("checked").toBool();
    Form->CheckChecked->setChecked(ShownChecked);
    setWindowTitle(Radio ? tr("  Radio Button") : tr("  Checkbox"));
    UpdateColorEdits();
}

bool TFormToolInputCheck::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    return true;
}

void TFormToolInputCheck::GetHTML(WideString& S)
{
    S = u"<input";
    AddAttr(S, "type", WideStringView(Radio ? u"radio" : u"checkbox"));
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "tabindex", Form->EditTab->text());
    AddAttr(S, "accesskey", Form->EditKey->text());
    if (Form->CheckChecked->isChecked()) S += u" checked";
    S += u'>';
}

void TFormToolInputCheck::Apply()
{
    if (!Element) return;
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "tabindex", ToWide(Form->EditTab->text()));
    SetAttr(Element, "accesskey", ToWide(Form->EditKey->text()));
    const bool Checked = Form->CheckChecked->isChecked();
    if (Checked != ShownChecked) {
        Element.setProperty("defaultChecked", Checked);
        Element.setProperty("checked", Checked);
    }
}

}  // namespace zv
