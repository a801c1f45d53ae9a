#include "ToolBr.h"

#include "HtmlEntities.h"
#include "ui_ToolBr.h"

namespace zv {

namespace {

const TField Fields[] = {{"ComboClear", "clear"}};

}  // namespace

TFormToolBr::TFormToolBr(QWidget* Parent) : TFormTool(Parent) { UseFields("br", {Fields}); }

TFormToolBr::~TFormToolBr() = default;

void TFormToolBr::GetHTML(WideString& S)
{
    // the clear value goes in as typed, blanks and all
    const WideString Clear = ToWide(Form->ComboClear->currentText());
    S = Clear.empty() ? u"<br>" : u"<br clear=\"" + EscapeHtmlValue(Clear) + u"\">";
}

}  // namespace zv
