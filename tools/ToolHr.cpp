#include "ToolHr.h"

#include "ui_ToolHr.h"

namespace zv {

TFormToolHr::TFormToolHr(QWidget* Parent) : TFormTool(Parent)
{
    SetLengthEdit(Form->EditWidth);
    SetLengthEdit(Form->EditHeight);
    RegisterColorEdit(Form->EditColor, Form->BtnColor);
}

TFormToolHr::~TFormToolHr() = default;

void TFormToolHr::FormShow()
{
    const bool Editing = static_cast<bool>(Element);
    Form->EditWidth->setText(Editing ? ToQString(GetAttr(Element, "width")) : QString());
    Form->EditHeight->setText(Editing ? ToQString(GetAttr(Element, "size")) : QString());
    Form->ComboAlign->setCurrentText(Editing ? ToQString(GetAttr(Element, "align")) : QString());
    Form->EditColor->setText(Editing ? ToQString(GetAttr(Element, "color")) : QString());
    Form->CheckNoShade->setChecked(Editing && Element.getProperty("noShade").toBool());
    UpdateColorEdits();
}

void TFormToolHr::GetHTML(WideString& S)
{
    S = u"<hr";
    AddAttr(S, "width", Form->EditWidth->text());
    AddAttr(S, "size", Form->EditHeight->text());
    AddAttr(S, "align", Form->ComboAlign->currentText());
    AddAttr(S, "color", Form->EditColor->text());
    if (Form->CheckNoShade->isChecked()) S += u" noshade";
    S += u'>';
}

void TFormToolHr::Apply()
{
    SetAttr(Element, "width", ToWide(Form->EditWidth->text()));
    SetAttr(Element, "size", ToWide(Form->EditHeight->text()));
    SetAttr(Element, "align", ToWide(Form->ComboAlign->currentText()));
    SetAttr(Element, "color", ToWide(Form->EditColor->text()));
    const bool NoShade = Form->CheckNoShade->isChecked();
    if (Element.getProperty("noShade").toBool() != NoShade) Element.setProperty("noShade", NoShade);
}

}  // namespace zv
