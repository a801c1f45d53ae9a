#include "ToolInputCheck.h"

#include "ui_ToolInputCheck.h"

namespace zv {

namespace {

const TField CheckboxType[] = {{nullptr, "type", TFieldKind::Text, TFieldHome::Live, "checkbox"}};
const TField RadioType[] = {{nullptr, "type", TFieldKind::Text, TFieldHome::Live, "radio"}};

const TField Fields[] = {
    {"EditName", "name"},
    {"EditTab", "tabindex", TFieldKind::Number},
    {"EditKey", "accesskey", TFieldKind::Key},
    // the attribute is the initial state; the box's own state follows it
    {"CheckChecked", "checked", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "defaultChecked"},
};

}  // namespace

TFormToolInputCheck::TFormToolInputCheck(bool Radio, QWidget* Parent) : TFormTool(Parent)
{
    UseFields("input", {Radio ? RadioType : CheckboxType, Fields});
    setWindowTitle(Radio ? tr("  Radio Button") : tr("  Checkbox"));
}

TFormToolInputCheck::~TFormToolInputCheck() = default;

bool TFormToolInputCheck::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

}  // namespace zv
