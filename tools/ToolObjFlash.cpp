#include "ToolObjFlash.h"

#include "ui_ToolObjFlash.h"

namespace zv {

namespace {

const char16_t* const ClassIds[] = {u"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000"};

const TMediaParam Params[] = {
    {"EditMovie", "movie", nullptr, ""},
    {"ComboQuality", "quality", nullptr, ""},
    {"ComboScale", "scale", nullptr, ""},
    {"ComboObjAlign", "align", nullptr, ""},
    {"ComboSAlign", "salign", nullptr, ""},
    {"ComboWMode", "wmode", nullptr, ""},
    {"EditBgColor", "bgcolor", nullptr, ""},
    {"EditBase", "base", nullptr, ""},
    {"EditVars", "flashvars", nullptr, ""},
    {"CheckPlay", "play", "true", "true"},
    {"CheckLoop", "loop", "true", "true"},
    {"CheckJava", "swliveconnect", "false", "false"},
    {"CheckMenu", "menu", "false", "false"},
};

}  // namespace

const TMediaPlayer FlashPlayer = {ClassIds, u"http://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#version=6,0,0,0",
                                  u"application/x-shockwave-flash", u"http://www.macromedia.com/go/getflashplayer",
                                  "Please specify a movie first.", nullptr, Params};

TFormToolObjFlash::TFormToolObjFlash(QWidget* Parent)
    : TFormToolObjMedia(Parent, FlashPlayer), Form(std::make_unique<Ui::FormToolObjFlash>())
{
    Form->setupUi(this);
    Setup(Form->Buttons);
    RegisterBrowseButton(Form->EditMovie, Form->BtnMovie, 6);
    RegisterColorEdit(Form->EditBgColor, Form->BtnBgColor);
}

TFormToolObjFlash::~TFormToolObjFlash() = default;

}  // namespace zv
