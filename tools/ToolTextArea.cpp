#include "ToolTextArea.h"

#include "HtmlEntities.h"
#include "ToolFields.h"
#include "ui_ToolTextArea.h"

namespace zv {

TFormToolTextArea::TFormToolTextArea(QWidget* Parent) : TFormTool(Parent)
{
    SetNumericEdit(Form->EditCols);
    SetNumericEdit(Form->EditRows);
    SetNumericEdit(Form->EditTab);
    SetAccessKeyEdit(Form->EditKey);
}

TFormToolTextArea::~TFormToolTextArea() = default;

void TFormToolTextArea::FormShow()
{
    WideString Tab;
    if (Element) GetAttrNoDefault(Element, "tabindex", Tab);
    const auto Live = [this](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    Form->EditName->setText(Live("name"));
    Form->ComboWrap->setCurrentText(Live("wrap"));
    Form->EditCols->setText(Live("cols"));
    Form->EditRows->setText(Live("rows"));
    Form->EditTab->setText(ToQString(Tab));
    Form->EditKey->setText(Live("accesskey"));
    Form->CheckDisabled->setChecked(Element && Element.getProperty("disabled").toBool());
    Form->CheckReadOnly->setChecked(Element && Element.getProperty("readOnly").toBool());
    Form->MemoValue->setPlainText(Element ? Element.getProperty("value").toString() : QString());
    Shown = Form->MemoValue->toPlainText();
    UpdateColorEdits();
}

bool TFormToolTextArea::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    return true;
}

void TFormToolTextArea::GetHTML(WideString& S)
{
    S = u"<textarea";
    AddAttr(S, "name", Form->EditName->text());
    AddAttr(S, "wrap", Form->ComboWrap->currentText());
    AddAttr(S, "cols", Form->EditCols->text());
    AddAttr(S, "rows", Form->EditRows->text());
    AddAttr(S, "tabindex", Form->EditTab->text());
    AddAttr(S, "accesskey", Form->EditKey->text());
    if (Form->CheckDisabled->isChecked()) S += u" disabled";
    if (Form->CheckReadOnly->isChecked()) S += u" readonly";
    S += u'>';
    // the field's first value as typed: a line break added here would be part of it
    S += EscapeHtmlText(MemoLines(Form->MemoValue->toPlainText()));
    S += u"</textarea>";
}

void TFormToolTextArea::Apply()
{
    if (!Element) return;
    SetAttr(Element, "name", ToWide(Form->EditName->text()));
    SetAttr(Element, "wrap", ToWide(Form->ComboWrap->currentText()));
    SetAttr(Element, "cols", ToWide(Form->EditCols->text()));
    SetAttr(Element, "rows", ToWide(Form->EditRows->text()));
    SetAttr(Element, "tabindex", ToWide(Form->EditTab->text()));
    SetAttr(Element, "accesskey", ToWide(Form->EditKey->text()));
    SetBoolProperty(Element, "disabled", Form->CheckDisabled->isChecked());
    SetBoolProperty(Element, "readOnly", Form->CheckReadOnly->isChecked());
    if (Form->MemoValue->toPlainText() != Shown) Element.setProperty("defaultValue", Form->MemoValue->toPlainText());
}

}  // namespace zv
