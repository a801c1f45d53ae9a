#include "ToolInputEdit.h"

#include "ui_ToolInputEdit.h"

namespace zv {

namespace {

// the type of each kind, which no control shows
const TField KindTypes[][1] = {
    {{nullptr, "type", TFieldKind::Text, TFieldHome::Live, "text"}},
    {{nullptr, "type", TFieldKind::Text, TFieldHome::Live, "password"}},
    {{nullptr, "type", TFieldKind::Text, TFieldHome::Live, "file"}},
};

const TField Fields[] = {
    {"EditName", "name"},
    {"EditValue", "value"},
    {"EditWidth", "size", TFieldKind::Number},
    {"EditMax", "maxlength", TFieldKind::Number},
};

}  // namespace

TFormToolInputEdit::TFormToolInputEdit(int Kind, QWidget* Parent) : TFormTool(Parent)
{
    if (Kind < 0 || Kind > 2) Kind = 0;
    UseFields("input", {KindTypes[Kind], Fields, ControlFields, ReadOnlyField});
    static const char* const Captions[] = {"  Input Text", "  Input Password", "  Input File"};
    setWindowTitle(tr(Captions[Kind]));
}

TFormToolInputEdit::~TFormToolInputEdit() = default;

bool TFormToolInputEdit::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

}  // namespace zv
