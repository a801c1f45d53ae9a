#include "ToolInputHidden.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolInputHidden.h"

namespace zv {

bool StoredInputIs(const THtmlNode* Node, WideStringView Type)
{
    const auto* Tag = dynamic_cast<const THtmlTag*>(Node);
    return Tag && Tag->Kind() == tagInput && SameTextAscii(Tag->AttributeValue(attrType), Type);
}

bool TToolInputHidden::CanEdit(const THtmlElement& Element) { return StoredInputIs(StoredNode(Designer, Element), u"hidden"); }

namespace {

const TField Fields[] = {
    {"EditName", "name", TFieldKind::Text, TFieldHome::Stored},
    {"EditValue", "value", TFieldKind::Text, TFieldHome::Stored},
};

}  // namespace

TFormToolInputHidden::TFormToolInputHidden(QWidget* Parent) : TFormTool(Parent) { UseFields("input", {Fields}); }

TFormToolInputHidden::~TFormToolInputHidden() = default;

bool TFormToolInputHidden::CheckFields()
{
    return RequiredField(Form->EditName, tr("Please specify a name.")) &&
           RequiredField(Form->EditValue, tr("Please specify a value."));
}

void TFormToolInputHidden::GetHTML(WideString& S)
{
    S = Designer->Filter->NewHiddenInputPlaceholder(StoredValue(Form->EditName->text()),
                                                    StoredValue(Form->EditValue->text()));
}

}  // namespace zv
