#include "ToolInputButton.h"

#include "ui_ToolInputButton.h"

namespace zv {

namespace {

// a new button is a submit button unless the user chooses otherwise: with no type it would be
// a text field
const TField Fields[] = {
    {"EditName", "name"},
    {"ComboType", "type", TFieldKind::Text, TFieldHome::Live, "Submit"},
    {"EditCaption", "value"},
};

}  // namespace

TFormToolInputButton::TFormToolInputButton(QWidget* Parent) : TFormTool(Parent)
{
    UseFields("input", {Fields, ControlFields});
}

TFormToolInputButton::~TFormToolInputButton() = default;

bool TFormToolInputButton::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

}  // namespace zv
