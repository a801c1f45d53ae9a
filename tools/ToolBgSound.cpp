#include "ToolBgSound.h"

#include "FieldState.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolBgSound.h"

namespace zv {

TFormToolBgSound::TFormToolBgSound(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, 14);
}

TFormToolBgSound::~TFormToolBgSound() = default;

void TFormToolBgSound::FormShow()
{
    Form->EditSrc->clear();
    Form->SpinLoop->setValue(-1);
    Form->CheckAutoStart->setChecked(true);
    if (const THtmlTag* Node = TagOfKind(StoredNode(), tagBgSound)) {
        Form->EditSrc->setText(ToQString(Node->GetAttribute(attrSrc)));
        bool Number = false;
        const int Loop = ToQString(Node->GetAttribute(attrLoop)).toInt(&Number, 10);
        Form->SpinLoop->setValue(Number ? Loop : -1);
        Form->CheckAutoStart->setChecked(Node->GetAttribute(attrAutostart) == u"TRUE");
    }
    Shown = DialogFieldState(this);
}

void TFormToolBgSound::GetHTML(WideString& S)
{
    S = Designer->Filter->NewBgSoundPlaceholder(EscapeStoredValue(ToWide(Form->EditSrc->text())),
                                                Form->SpinLoop->value(), Form->CheckAutoStart->isChecked());
}

void TFormToolBgSound::Apply()
{
    THtmlTag* Node = TagOfKind(StoredNode(), tagBgSound);
    if (!Node || DialogFieldState(this) == Shown) return;
    SetStoredAttr(*Node, attrSrc, ToWide(Form->EditSrc->text()));
    SetStoredAttr(*Node, attrLoop, IntToWide(Form->SpinLoop->value()));
    SetStoredAttr(*Node, attrAutostart, Form->CheckAutoStart->isChecked() ? u"TRUE" : u"");
}

}  // namespace zv
