#include "ToolInputEdit.h"

#include "ui_ToolInputEdit.h"

namespace zv {

namespace {

TTagEditor* EditorOfKind(int Kind)
{
    auto* Editor = SharedEditor<TFormToolInputEdit>();
    Editor->Kind = Kind;
    return Editor;
}

const char16_t* const KindTypes[] = {u"text", u"password", u"file"};

const TField Fields[] = {
    {"EditName", "name"},
    {"EditValue", "value"},
    {"EditWidth", "size", TFieldKind::Number},
    {"EditMax", "maxlength", TFieldKind::Number},
};

}  // namespace

TTagEditor* TToolInputEdit::GetEditor() { return EditorOfKind(0); }
TTagEditor* TToolInputPassword::GetEditor() { return EditorOfKind(1); }
TTagEditor* TToolInputFile::GetEditor() { return EditorOfKind(2); }

TFormToolInputEdit::TFormToolInputEdit(QWidget* Parent) : TFormTool(Parent)
{
    UseFields({Fields, ControlFields, ReadOnlyField});
}

TFormToolInputEdit::~TFormToolInputEdit() = default;

void TFormToolInputEdit::FormShow()
{
    ShowFields();
    static const char* const Captions[] = {"  Input Text", "  Input Password", "  Input File"};
    setWindowTitle(tr(Captions[Kind >= 0 && Kind <= 2 ? Kind : 0]));
    UpdateColorEdits();
}

bool TFormToolInputEdit::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

void TFormToolInputEdit::GetHTML(WideString& S)
{
    S = u"<input";
    AddAttr(S, "type", WideStringView(KindTypes[Kind >= 0 && Kind <= 2 ? Kind : 0]));
    AddFieldsHtml(S);
    S += u'>';
}

void TFormToolInputEdit::Apply() { ApplyFields(); }

}  // namespace zv
