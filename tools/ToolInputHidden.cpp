#include "ToolInputHidden.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolInputHidden.h"

namespace zv {

bool StoredInputIs(const THtmlNode* Node, WideStringView Type)
{
    const auto* Tag = dynamic_cast<const THtmlTag*>(Node);
    return Tag && Tag->Kind() == tagInput && SameTextAscii(Tag->AttributeValue(attrType), Type);
}

bool TToolInputHidden::CanEdit(const THtmlElement& Element) { return StoredInputIs(StoredNode(Element), u"hidden"); }

TFormToolInputHidden::TFormToolInputHidden(QWidget* Parent) : TFormTool(Parent) {}

TFormToolInputHidden::~TFormToolInputHidden() = default;

void TFormToolInputHidden::FormShow()
{
    Form->EditName->setText(Element ? ToQString(GetNodeAttr(attrName)) : QString());
    Form->EditValue->setText(Element ? ToQString(GetNodeAttr(attrValue)) : QString());
}

bool TFormToolInputHidden::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    if (Form->EditValue->text().isEmpty()) return FieldError(Form->EditValue, tr("Please specify a value."));
    return true;
}

void TFormToolInputHidden::GetHTML(WideString& S)
{
    S = Designer->Filter->NewHiddenInputPlaceholder(EscapeStoredValue(ToWide(Form->EditName->text())),
                                                    EscapeStoredValue(ToWide(Form->EditValue->text())));
}

void TFormToolInputHidden::Apply()
{
    SetNodeAttr(attrName, ToWide(Form->EditName->text()));
    SetNodeAttr(attrValue, ToWide(Form->EditValue->text()));
}

}  // namespace zv
