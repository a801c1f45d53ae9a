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

TFormToolHr::TFormToolHr(QWidget* Parent) : TFormTool(Parent) { UseFields("hr", {Fields}); }

TFormToolHr::~TFormToolHr() = default;

}  // namespace zv
