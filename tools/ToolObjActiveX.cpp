#include "ToolObjActiveX.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "UnitSelectClassID.h"
#include "ui_ToolObjActiveX.h"

namespace zv {

namespace {

const TField ActiveXFields[] = {
    {"EditClassID", "classid", TFieldKind::Text, TFieldHome::Stored},
    {"EditCodeBase", "codebase", TFieldKind::Text, TFieldHome::Stored},
};

}  // namespace

TFormToolObjActiveX::TFormToolObjActiveX(QWidget* Parent) : TFormGridObject(Parent, tagObject, ActiveXFields)
{
    connect(Form->BtnSelect, &QToolButton::clicked, this, &TFormToolObjActiveX::BtnSelectClick);
}

TFormToolObjActiveX::~TFormToolObjActiveX() = default;

bool TFormToolObjActiveX::CheckFields()
{
    return RequiredField(Form->EditClassID, tr("Please specify ActiveX Class ID first."));
}

void TFormToolObjActiveX::BtnSelectClick()
{
    TFormSelectClassID& Chooser = EnsureFormSelectClassID();
    Chooser.SetClassID(Form->EditClassID->text());
    Chooser.exec();
    if (Chooser.Selected) Form->EditClassID->setText(Chooser.GetClassID());
}

TDesignObject TFormToolObjActiveX::NewObject() { return Designer->Filter->NewActiveXObject(); }

}  // namespace zv
