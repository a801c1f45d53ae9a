#include "ToolForm.h"

#include "PickUrls.h"
#include "ui_ToolForm.h"

namespace zv {

bool InputTypeIs(const THtmlElement& Element, std::initializer_list<const char16_t*> Types)
{
    if (!Element || Element.tagName() != "INPUT") return false;
    const WideString Type = ToWide(Element.getProperty("type").toString());
    for (const char16_t* T : Types)
        if (SameTextAscii(Type, T)) return true;
    return false;
}

namespace {

const TField EveryControl[] = {
    {"EditTab", "tabindex", TFieldKind::Number},
    {"EditKey", "accesskey", TFieldKind::Key},
    {"CheckDisabled", "disabled", TFieldKind::Boolean},
};
const TField ReadOnly[] = {
    {"CheckReadOnly", "readonly", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "readOnly"},
};

const TField Fields[] = {
    {"EditName", "name"},
    {"EditAction", "action", TFieldKind::Url, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnAction", ukServerScript},
    {"ComboMethod", "method"},
    {"ComboEncType", "enctype"},
};

}  // namespace

const std::span<const TField> ControlFields{EveryControl};
const std::span<const TField> ReadOnlyField{ReadOnly};

TFormToolForm::TFormToolForm(QWidget* Parent) : TFormTool(Parent) { UseFields("form", {Fields}); }

TFormToolForm::~TFormToolForm() = default;

bool TFormToolForm::CheckFields()
{
    return RequiredField(Form->EditAction, tr("Please specify an action (cgi, php, asp, etc.) for this form."));
}

void TFormToolForm::GetHTML(WideString& S)
{
    TTagEditor::GetHTML(S);
    S += u"<p>&nbsp;</p></form>";
}

}  // namespace zv
