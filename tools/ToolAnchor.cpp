#include "ToolAnchor.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolAnchor.h"

namespace zv {

namespace {

const TField Fields[] = {{"EditName", "name", TFieldKind::Text, TFieldHome::Stored}};

}  // namespace

TFormToolAnchor::TFormToolAnchor(QWidget* Parent) : TFormTool(Parent) { UseFields("a", {Fields}); }

TFormToolAnchor::~TFormToolAnchor() = default;

bool TFormToolAnchor::CheckFields() { return !Form->EditName->text().isEmpty(); }

void TFormToolAnchor::GetHTML(WideString& S)
{
    S = Designer->Filter->NewAnchorPlaceholder(StoredValue(Form->EditName->text()));
}

}  // namespace zv
