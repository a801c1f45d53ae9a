#include "ToolInputImage.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ToolFields.h"
#include "ToolImg.h"
#include "ToolInputHidden.h"
#include "ui_ToolInputImage.h"

namespace zv {

bool TToolInputImage::CanEdit(const THtmlElement& Element) { return StoredInputIs(StoredNode(Element), u"image"); }

TFormToolInputImage::TFormToolInputImage(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, ukPicture);
    for (QLineEdit* Edit : {Form->EditBorder, Form->EditWidth, Form->EditHeight, Form->EditHSpace, Form->EditVSpace})
        SetNumericEdit(Edit);
}

TFormToolInputImage::~TFormToolInputImage() = default;

void TFormToolInputImage::FormShow()
{
    ShowPictureFields(*this, *Form);
    Form->EditName->setText(Element ? ToQString(GetNodeAttr(attrName)) : QString());
    UpdateColorEdits();
}

bool TFormToolInputImage::CheckFields()
{
    if (Form->EditName->text().isEmpty()) return FieldError(Form->EditName, tr("Please specify a name."));
    if (Form->EditSrc->text().isEmpty()) return FieldError(Form->EditSrc, tr("Please specify an image."));
    return true;
}

void TFormToolInputImage::GetHTML(WideString& S)
{
    const TDesignObject Input = Designer->Filter->NewImageInputObject(EscapeStoredValue(ToWide(Form->EditSrc->text())),
                                                                      EscapeStoredValue(ToWide(Form->EditName->text())));
    S = OpenPicture(Input, Form->EditWidth->text(), Form->EditHeight->text());
    AddAttr(S, "width", Form->EditWidth->text());
    AddAttr(S, "height", Form->EditHeight->text());
    AddAttr(S, "alt", Form->EditAlt->text());
    AddAttr(S, "border", Form->EditBorder->text());
    AddAttr(S, "align", Form->ComboAlign->currentText());
    AddAttr(S, "hspace", Form->EditHSpace->text());
    AddAttr(S, "vspace", Form->EditVSpace->text());
    S += u'>';
}

void TFormToolInputImage::Apply()
{
    if (!Element) return;
    SetNodeAttr(attrName, ToWide(Form->EditName->text()));
    ApplyPictureFields(*this, *Form);
    SetLiveAndStored(*this, attrAlign, ToWide(Form->ComboAlign->currentText()));
}

}  // namespace zv
