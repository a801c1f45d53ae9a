#include "ToolTextArea.h"

#include "HtmlEntities.h"
#include "ToolFields.h"
#include "ToolForm.h"
#include "ui_ToolTextArea.h"

namespace zv {

namespace {

const TField Fields[] = {
    {"EditName", "name"},
    {"ComboWrap", "wrap"},
    {"EditCols", "cols", TFieldKind::Number},
    {"EditRows", "rows", TFieldKind::Number},
};

}  // namespace

TFormToolTextArea::TFormToolTextArea(QWidget* Parent) : TFormTool(Parent)
{
    UseFields("textarea", {Fields, ControlFields, ReadOnlyField});
}

TFormToolTextArea::~TFormToolTextArea() = default;

void TFormToolTextArea::FormShow()
{
    ShowFields();
    Form->MemoValue->setPlainText(Element ? Element.getProperty("value").toString() : QString());
    Shown = Form->MemoValue->toPlainText();
    UpdateColorEdits();
}

bool TFormToolTextArea::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

void TFormToolTextArea::GetHTML(WideString& S)
{
    S = u"<textarea";
    AddFieldsHtml(S);
    S += u'>';
    // the field's first value as typed: a line break added here would be part of it
    S += EscapeHtmlText(MemoLines(Form->MemoValue->toPlainText()));
    S += u"</textarea>";
}

void TFormToolTextArea::Apply()
{
    if (!Element) return;
    ApplyFields();
    if (Form->MemoValue->toPlainText() != Shown) Element.setProperty("defaultValue", Form->MemoValue->toPlainText());
}

}  // namespace zv
