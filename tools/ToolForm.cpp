#include "ToolForm.h"

#include "PickUrls.h"
#include "ui_ToolForm.h"

namespace zv {

bool InputTypeIs(const THtmlElement& Element, std::initializer_list<const char16_t*> Types)
{
    if (!Element || Element.tagName() != "INPUT") return false;
    const WideString Type = ToWide(Element.getProperty("type").toString());
    for (const char16_t* T : Types)
        if (SameTextAscii(Type, T)) return true;
    return false;
}

TFormToolForm::TFormToolForm(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditAction, Form->BtnAction, ukServerScript);
}

TFormToolForm::~TFormToolForm() = default;

void TFormToolForm::FormShow()
{
    const auto Live = [this](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    Form->EditName->setText(Live("name"));
    Form->EditAction->setText(Live("action"));
    Form->ComboMethod->setCurrentText(Live("method"));
    Form->ComboEncType->setCurrentText(Live("encoding"));
}

bool TFormToolForm::CheckFields()
{
    if (Form->EditAction->text().isEmpty())
        return FieldError(Form->EditAction, tr("Please specify an action (cgi, php, asp, etc.) for this form."));
    return true;
}

void TFormToolForm::GetHTML(WideString& S)
{
    S = u"<form";
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "action", Form->EditAction->text());
    AddAttr(S, "method", Form->ComboMethod->currentText());
    AddAttr(S, "enctype", Form->ComboEncType->currentText());
    S += u"><p>&nbsp;</p></form>";
}

void TFormToolForm::Apply()
{
    if (!Element) return;
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "method", ToWide(Form->ComboMethod->currentText()));
    SetAttr(Element, "action", ToWide(Form->EditAction->text()));
    SetAttr(Element, "encoding", ToWide(Form->ComboEncType->currentText()));
}

}  // namespace zv
