#include "ToolHr.h"

#include "ui_ToolHr.h"

namespace zv {

namespace {

const TField Fields[] = {
    {"EditWidth", "width", TFieldKind::Length},
    {"EditHeight", "size", TFieldKind::Length},
    {"ComboAlign", "align"},
    {"EditColor", "color", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnColor"},
    {"CheckNoShade", "noshade", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "noShade"},
};

}  // namespace

TFormToolHr::TFormToolHr(QWidget* Parent) : TFormTool(Parent) { UseFields({Fields}); }

TFormToolHr::~TFormToolHr() = default;

void TFormToolHr::FormShow()
{
    ShowFields();
    UpdateColorEdits();
}

void TFormToolHr::GetHTML(WideString& S)
{
    S = u"<hr";
    AddFieldsHtml(S);
    S += u'>';
}

void TFormToolHr::Apply() { ApplyFields(); }

}  // namespace zv
