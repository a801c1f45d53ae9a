#include "ToolBr.h"

#include "HtmlEntities.h"
#include "ui_ToolBr.h"

namespace zv {

TFormToolBr::TFormToolBr(QWidget* Parent) : TFormTool(Parent)
{
}

TFormToolBr::~TFormToolBr() = default;

void TFormToolBr::FormShow()
{
    Form->ComboClear->setCurrentText(Element ? ToQString(GetAttr(Element, "clear")) : QString());
}

void TFormToolBr::GetHTML(WideString& S)
{
    const WideString Clear = ToWide(Form->ComboClear->currentText());
    S = Clear.empty() ? u"<br>" : u"<br clear=\"" + EscapeHtmlValue(Clear) + u"\">";
}

void TFormToolBr::Apply() { SetAttr(Element, "clear", ToWide(Form->ComboClear->currentText())); }

}  // namespace zv
