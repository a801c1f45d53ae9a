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
    Form->EditName->setText(ToQString(GetNodeAttr(attrName)));
}

bool TFormToolAnchor::CheckFields() { return !Form->EditName->text().isEmpty(); }

void TFormToolAnchor::GetHTML(WideString& S)
{
    S = Designer->Filter->NewAnchorPlaceholder(EscapeStoredValue(ToWide(Form->EditName->text())));
}

void TFormToolAnchor::Apply()
{
    SetNodeAttr(attrName, ToWide(Form->EditName->text()));
}

}  // namespace zv
