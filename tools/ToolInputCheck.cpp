#include "ToolInputCheck.h"

#include "ui_ToolInputCheck.h"

namespace zv {

namespace {

const TField Fields[] = {
    {"EditName", "name"},
    {"EditTab", "tabindex", TFieldKind::Number},
    {"EditKey", "accesskey", TFieldKind::Key},
    // the attribute is the initial state; the box's own state follows it
    {"CheckChecked", "checked", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "defaultChecked"},
};

}  // namespace

TTagEditor* TToolInputCheck::GetEditor()
{
    auto* Editor = SharedEditor<TFormToolInputCheck>();
    Editor->Radio = false;
    return Editor;
}

TTagEditor* TToolInputRadio::GetEditor()
{
    auto* Editor = SharedEditor<TFormToolInputCheck>();
    Editor->Radio = true;
    return Editor;
}

TFormToolInputCheck::TFormToolInputCheck(QWidget* Parent) : TFormTool(Parent)
{
    UseFields({Fields});
}

TFormToolInputCheck::~TFormToolInputCheck() = default;

void TFormToolInputCheck::FormShow()
{
    ShowFields();
    setWindowTitle(Radio ? tr("  Radio Button") : tr("  Checkbox"));
    UpdateColorEdits();
}

bool TFormToolInputCheck::CheckFields() { return RequiredField(Form->EditName, tr("Please specify a name.")); }

void TFormToolInputCheck::GetHTML(WideString& S)
{
    S = u"<input";
    AddAttr(S, "type", WideStringView(Radio ? u"radio" : u"checkbox"));
    AddFieldsHtml(S);
    S += u'>';
}

void TFormToolInputCheck::Apply() { ApplyFields(); }

}  // namespace zv
