#include "ToolObjReal.h"

#include "ui_ToolObjReal.h"

namespace zv {

namespace {

const char16_t* const ClassIds[] = {u"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA"};

const TMediaParam Params[] = {
    {"EditMovie", "src", nullptr, ""},
    {"CheckAutostart", "autostart", "true", "true"},
    {"CheckShuffle", "shuffle", "false", "false"},
    {"CheckPrefetch", "prefetch", "false", "false"},
    {"CheckAspect", "maintainaspect", "false", "false"},
    {"CheckCenter", "center", "false", "false"},
    {"CheckStatus", "imagestatus", "true", "true"},
    {"CheckAutogo", "autogotourl", "true", "true"},
    {"CheckNoJava", "nojava", "false", "false"},
    {"CheckHideLabels", "nolabels", "false", "false"},
    {"CheckHideLogo", "nologo", "false", "false"},
    {"CheckLoop", "loop", "false", "false"},
    {"EditLoop", "numloop", nullptr, ""},
    {"EditBgColor", "backgroundcolor", "black", "black"},
    {"ComboControls", "controls", "Default", "Default"},
    {"ComboConsole", "console", "_unique", "_unique"},
    {"EditCallbacks", "scriptcallbacks", nullptr, ""},
    {"EditRegion", "region", nullptr, ""},
};

}  // namespace

const TMediaPlayer RealPlayer = {ClassIds, nullptr, nullptr, nullptr, "Please specify a Real media first.", nullptr, Params};

const TRealControl RealControls[RealControlCount] = {
    {"Default", "All Playback Controls", 375, 100},
    {"All", "Control Panel, Simple", 350, 36},
    {"PlayOnlyButton", "Play Button", 26, 26},
    {"PlayButton", "Play / Pause Bar", 44, 26},
    {"StopButton", "Stop Button", 26, 26},
    {"PauseButton", "Pause Button", 26, 26},
    {"FFCtrl", "Fast Forward Button", 28, 18},
    {"RWCtrl", "Rewind Button", 28, 18},
    {"MuteCtrl", "Mute Button", 26, 26},
    {"HomeCtrl", "Home Page Button", 45, 45},
    {"VolumeSlider", "Volume Slider", 26, 65},
    {"MuteVolume", "Mute / Volume Bar", 26, 88},
    {"ImageWindow", "Image Window", 176, 132},
    {"InfoVolumePanel", "Information / Volume Bar", 325, 55},
    {"PositionSlider", "Clip Position Slider", 120, 26},
    {"InfoPanel", "Information Panel", 300, 55},
    {"StatusBar", "Status Bar", 325, 30},
    {"StatusField", "Status Field", 200, 30},
    {"PositionField", "Position Field", 90, 30},
    {"TACCtrl", "Clip Information Field", 370, 32},
};

int ControlIndex(WideStringView Name)
{
    const WideStringView Wanted = Name.empty() ? WideStringView(u"Default") : Name;
    for (int K = 0; K < RealControlCount; ++K)
        if (SameTextAscii(Latin1ToUtf16(RealControls[K].Name), Wanted)) return K;
    return 0;
}

WideString ControlName(int Index)
{
    return Latin1ToUtf16(Index >= 0 && Index < RealControlCount ? RealControls[Index].Name : "Default");
}

TFormToolObjReal::TFormToolObjReal(QWidget* Parent)
    : TFormToolObjMedia(Parent, RealPlayer), Form(std::make_unique<Ui::FormToolObjReal>())
{
    Form->setupUi(this);
    for (const TRealControl& C : RealControls)
        Form->ComboControls->addItem(QString("%1 (%2, %3x%4 pixels)").arg(C.Name, C.Description).arg(C.Width).arg(C.Height));
    Setup(Form->Buttons);
    RegisterBrowseButton(Form->EditMovie, Form->BtnMovie, 7);
    SetNumericEdit(Form->EditLoop);
    RegisterColorEdit(Form->EditBgColor, Form->BtnBgColor);
    connect(Form->ComboControls, &QComboBox::activated, this, &TFormToolObjReal::ComboControlsChange);
}

TFormToolObjReal::~TFormToolObjReal() = default;

void TFormToolObjReal::ShowParam(const TMediaParam& Param, const WideString& Value, bool Editing)
{
    if (QLatin1String(Param.Field) != QLatin1String("ComboControls"))
        return TFormToolObjMedia::ShowParam(Param, Value, Editing);
    QComboBox* Combo = Form->ComboControls;
    while (Combo->count() > RealControlCount) Combo->removeItem(Combo->count() - 1);
    const int Index = Editing ? ControlIndex(Value) : 0;
    if (Editing && !Value.empty() && Index == 0 && !SameTextAscii(Value, u"Default")) {
        Combo->addItem(ToQString(Value));
        Combo->setCurrentIndex(RealControlCount);
    } else {
        Combo->setCurrentIndex(Index);
    }
}

WideString TFormToolObjReal::ParamValue(const TMediaParam& Param) const
{
    if (QLatin1String(Param.Field) != QLatin1String("ComboControls")) return TFormToolObjMedia::ParamValue(Param);
    const int Index = Form->ComboControls->currentIndex();
    return Index >= RealControlCount ? ToWide(Form->ComboControls->currentText()) : ControlName(Index);
}

void TFormToolObjReal::ComboControlsChange(int Index)
{
    if (Index < 0 || Index >= RealControlCount) return;
    Form->EditWidth->setText(QString::number(RealControls[Index].Width));
    Form->EditHeight->setText(QString::number(RealControls[Index].Height));
}

}  // namespace zv
