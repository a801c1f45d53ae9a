#include "ToolAnchor.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolAnchor.h"

namespace zv {

TFormToolAnchor::TFormToolAnchor(QWidget* Parent) : TFormTool(Parent)
{
}

TFormToolAnchor::~TFormToolAnchor() = default;

void TFormToolAnchor::FormShow()
{
    Form->EditName->clear();
    if (auto* Node = dynamic_cast<THtmlTag*>(StoredNode()))
        Form->EditName->setText(ToQString(Node->GetAttribute(attrName)));
}

bool TFormToolAnchor::CheckFields() { return !Form->EditName->text().isEmpty(); }

void TFormToolAnchor::GetHTML(WideString& S)
{
    S = Designer->Filter->NewAnchorPlaceholder(EscapeStoredValue(ToWide(Form->EditName->text())));
}

void TFormToolAnchor::Apply()
{
    if (auto* Node = dynamic_cast<THtmlTag*>(StoredNode()))
        SetStoredAttr(*Node, attrName, ToWide(Form->EditName->text()));
}

}  // namespace zv
