#include "ToolObjMPlayer.h"

#include "ui_ToolObjMPlayer.h"

namespace zv {

namespace {

const char16_t* const ClassIds[] = {u"clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6", u"clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95"};

const TMediaParam Params[] = {
    // the older player keeps its movie in "FileName"
    {"EditMovie", "URL", nullptr, "", "FileName"},
    {"EditPlayCount", "PlayCount", "1", "1"},
    {"TrackVolume", "Volume", "100", "100"},
    {"TrackBalance", "Balance", "0", "0"},
    {"CheckMute", "Mute", "false", "false"},
    {"CheckAutostart", "AutoStart", "true", "true"},
    {"CheckAutosize", "AutoSize", "true", "true"},
    {"CheckAnimation", "AnimationAtStart", "true", "true"},
    {"CheckPreview", "PreviewMode", "false", "false"},
    {"CheckFullscreen", "FullscreenMode", "false", "false"},
    {"CheckContext", "EnableContextMenu", "true", "true"},
    {"CheckControls", "ShowControls", "true", "true"},
    {"CheckAudioCtrls", "ShowAudioControls", "true", "true"},
    {"CheckDisplay", "ShowDisplay", "true", "true"},
    {"CheckGoto", "ShowGotoBar", "false", "false"},
    {"CheckPosition", "ShowPositionControls", "true", "true"},
    {"CheckStatus", "ShowStatusBar", "false", "false"},
    {"CheckTracker", "ShowTracker", "true", "true"},
    {"CheckInvoke", "InvokeURLs", "true", "true"},
    {"EditFrame", "DefaultFrame", nullptr, ""},
    {"EditBase", "BaseURL", nullptr, ""},
    {"CheckCaptioning", "ShowCaptioning", "false", "false"},
    {"EditSamiFile", "SAMIFileName", nullptr, ""},
    {"EditSamiLang", "SAMILang", nullptr, ""},
    {"EditSamiStyle", "SAMIStyle", nullptr, ""},
    {"EditCaptionId", "CaptioningID", nullptr, ""},
};

}  // namespace

const TMediaPlayer MPlayerPlayer = {ClassIds, nullptr,
                                  nullptr, nullptr,
                                  "Please specify a movie first.", nullptr, Params};

TFormToolObjMPlayer::TFormToolObjMPlayer(QWidget* Parent)
    : TFormToolObjMedia(Parent, MPlayerPlayer), Form(std::make_unique<Ui::FormToolObjMPlayer>())
{
    Form->setupUi(this);
    Setup(Form->Buttons);
    RegisterBrowseButton(Form->EditMovie, Form->BtnMovie, 8);
}

TFormToolObjMPlayer::~TFormToolObjMPlayer() = default;

}  // namespace zv
