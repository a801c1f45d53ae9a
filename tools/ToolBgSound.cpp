#include "ToolBgSound.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolBgSound.h"

namespace zv {

namespace {

const TField Fields[] = {
    {"EditSrc", "src", TFieldKind::Url, TFieldHome::Stored, nullptr, nullptr, nullptr, "BtnSrc", 14},
    // what is no number shows as -1, the endless loop
    {"SpinLoop", "loop", TFieldKind::Number, TFieldHome::Stored, "-1"},
    {"CheckAutoStart", "autostart", TFieldKind::Boolean, TFieldHome::Stored, "1", u"TRUE"},
};

}  // namespace

TFormToolBgSound::TFormToolBgSound(QWidget* Parent) : TFormTool(Parent) { UseFields("bgsound", {Fields}); }

TFormToolBgSound::~TFormToolBgSound() = default;

void TFormToolBgSound::GetHTML(WideString& S)
{
    S = Designer->Filter->NewBgSoundPlaceholder(StoredValue(Form->EditSrc->text()),
                                                Form->SpinLoop->value(), Form->CheckAutoStart->isChecked());
}

}  // namespace zv
