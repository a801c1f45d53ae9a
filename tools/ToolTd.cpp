#include "ToolTd.h"

#include "PickUrls.h"
#include "ui_ToolTd.h"

namespace zv {

namespace {

const TField Fields[] = {
    {"EditWidth", "width", TFieldKind::Length},
    {"EditHeight", "height", TFieldKind::Length},
    {"EditColSpan", "colspan", TFieldKind::Number},
    {"EditRowSpan", "rowspan", TFieldKind::Number},
    {"ComboAlign", "align"},
    {"ComboValign", "valign"},
    {"EditBgColor", "bgcolor", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBgColor"},
    {"EditBackground", "background", TFieldKind::Url, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBackground", ukPicture},
    {"EditBorderColor", "bordercolor", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderColor"},
    {"EditBorderLight", "bordercolorlight", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderLight"},
    {"EditBorderDark", "bordercolordark", TFieldKind::Colour, TFieldHome::Live, nullptr, nullptr, nullptr, "BtnBorderDark"},
    {"CheckNoWrap", "nowrap", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "noWrap"},
};

}  // namespace

TFormToolTd::TFormToolTd(QWidget* Parent) : TFormTool(Parent) { UseFields({Fields}); }

TFormToolTd::~TFormToolTd() = default;

void TFormToolTd::FormShow()
{
    // spans show as the page writes them: an absent span reads empty, so spans of one that the
    // page writes are the page's own and stay
    ShowFields();
    UpdateColorEdits();
}

void TFormToolTd::GetHTML(WideString& S)
{
    S = u"<td";
    AddFieldsHtml(S);
    S += u'>';
}

void TFormToolTd::Apply() { ApplyFields(); }

}  // namespace zv
