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

TFormToolTd::TFormToolTd(QWidget* Parent) : TFormTool(Parent) { UseFields("td", {Fields}); }

TFormToolTd::~TFormToolTd() = default;

}  // namespace zv
