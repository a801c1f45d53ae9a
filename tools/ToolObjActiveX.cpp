#include "ToolObjActiveX.h"

#include "FieldState.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "UnitSelectClassID.h"
#include "ui_ToolObjActiveX.h"

namespace zv {

TFormToolObjActiveX::TFormToolObjActiveX(QWidget* Parent)
    : TFormTool(Parent),
      Fields{Form->EditWidth, Form->EditHeight, Form->ComboAlign, Form->EditTitle, Form->EditAlt,
             {{attrClassid, Form->EditClassID}, {attrCodebase, Form->EditCodeBase}}, Form->ParamGrid}
{
    SetNumericEdit(Form->EditWidth);
    SetNumericEdit(Form->EditHeight);
    connect(Form->BtnSelect, &QToolButton::clicked, this, &TFormToolObjActiveX::BtnSelectClick);
}

TFormToolObjActiveX::~TFormToolObjActiveX() = default;

void TFormToolObjActiveX::FormShow()
{
    Fields.Show(TagOfKind(StoredNode(), tagObject), static_cast<bool>(Element));
    Shown = DialogFieldState(this);
}

bool TFormToolObjActiveX::CheckFields()
{
    if (!Form->EditClassID->text().isEmpty()) return true;
    return FieldError(Form->EditClassID, tr("Please specify ActiveX Class ID first."));
}

void TFormToolObjActiveX::BtnSelectClick()
{
    TFormSelectClassID& Chooser = EnsureFormSelectClassID();
    Chooser.SetClassID(Form->EditClassID->text());
    Chooser.exec();
    if (Chooser.Selected) Form->EditClassID->setText(Chooser.GetClassID());
}

void TFormToolObjActiveX::GetHTML(WideString& S)
{
    const TDesignObject Object = Designer->Filter->NewActiveXObject();
    S = Object.Html;
    Fields.Place(S, *Object.Node);
}

void TFormToolObjActiveX::Apply()
{
    if (Element && DialogFieldState(this) != Shown) Fields.Apply(Element, TagOfKind(StoredNode(), tagObject));
}

}  // namespace zv
