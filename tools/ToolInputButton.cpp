#include "ToolInputButton.h"

#include "ToolFields.h"
#include "ui_ToolInputButton.h"

namespace zv {

TFormToolInputButton::TFormToolInputButton(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditTab);
    SetAccessKeyEdit(Form->EditKey);
}

TFormToolInputButton::~TFormToolInputButton() = default;

void TFormToolInputButton::FormShow()
{
    WideString Tab;
    if (Element) GetAttrNoDefault(Element, "tabindex", Tab);
    const auto Live = [this](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    Form->EditName->setText(Live("name"));
    // a new button is a submit button unless the user chooses otherwise: with no type it
    // would be a text field
    Form->ComboType->setCurrentText(Element ? Live("type") : Form->ComboType->itemText(0));
    Form->EditCaption->setText(Live("value"));
    Form->EditTab->setText(ToQString(Tab));
    Form->EditKey->setText(Live("accesskey"));
    Form->CheckDisabled->setChecked(Element && Element.getProperty("disabled").toBool());
    UpdateColorEdits();
}

bool TFormToolInputButton::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    return true;
}

void TFormToolInputButton::GetHTML(WideString& S)
{
    S = u"<input";
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "type", Form->ComboType->currentText());
    AddAttr(S, "value", Form->EditCaption->text());
    AddAttr(S, "tabindex", Form->EditTab->text());
    AddAttr(S, "accesskey", Form->EditKey->text());
    if (Form->CheckDisabled->isChecked()) S += u" disabled";
    S += u'>';
}

void TFormToolInputButton::Apply()
{
    if (!Element) return;
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "type", ToWide(Form->ComboType->currentText()));
    SetAttr(Element, "value", ToWide(Form->EditCaption->text()));
    SetAttr(Element, "tabindex", ToWide(Form->EditTab->text()));
    SetAttr(Element, "accesskey", ToWide(Form->EditKey->text()));
    SetBoolProperty(Element, "disabled", Form->CheckDisabled->isChecked());
}

}  // namespace zv
