#include "ToolObjQuickTime.h"

#include "ui_ToolObjQuickTime.h"

namespace zv {

namespace {

const char16_t* const ClassIds[] = {u"clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B"};

const TMediaParam Params[] = {
    {"EditMovie", "src", nullptr, ""},
    {"TrackVolume", "volume", "100", "100"},
    {"ComboFullscreen", "fullscreen", "full", "full"},
    {"ComboLoop", "loop", "false", "false"},
    {"CheckAutoplay", "autoplay", "true", "true"},
    {"CheckController", "controller", "false", "false"},
    {"CheckFrame", "playeveryframe", "false", "false"},
    {"CheckQuit", "quitwhendone", "true", "true"},
    {"CheckKiosk", "kioskmode", "false", "false"},
    {"EditQTNext", "qtnext", nullptr, ""},
    {"EditHref", "href", nullptr, ""},
};

}  // namespace

const TMediaPlayer QuickTimePlayer = {ClassIds, u"http://www.apple.com/qtactivex/qtplugin.cab",
                                  u"video/quicktime", u"http://www.apple.com/quicktime/download/",
                                  "Please specify a movie first.", "EditHref", Params};

TFormToolObjQuickTime::TFormToolObjQuickTime(QWidget* Parent)
    : TFormToolObjMedia(Parent, QuickTimePlayer), Form(std::make_unique<Ui::FormToolObjQuickTime>())
{
    Form->setupUi(this);
    Setup(Form->Buttons);
    RegisterBrowseButton(Form->EditMovie, Form->BtnMovie, 9);
}

TFormToolObjQuickTime::~TFormToolObjQuickTime() = default;

}  // namespace zv
