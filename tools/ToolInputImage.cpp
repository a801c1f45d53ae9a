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
    WideString HSpace, VSpace;
    if (Element) {
        GetAttrNoDefault(Element, "hspace", HSpace);
        GetAttrNoDefault(Element, "vspace", VSpace);
    }
    const auto Live = [this](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    const auto Stored = [this](THtmlAttrId Id) { return Element ? ToQString(GetNodeAttr(Id)) : QString(); };
    Form->EditSrc->setText(Stored(attrSrc));
    Form->EditName->setText(Stored(attrName));
    Form->EditWidth->setText(Stored(attrWidth));
    Form->EditHeight->setText(Stored(attrHeight));
    Form->EditAlt->setText(Live("alt"));
    Form->ComboAlign->setCurrentText(Live("align"));
    Form->EditBorder->setText(Live("border"));
    Form->EditHSpace->setText(ToQString(HSpace));
    Form->EditVSpace->setText(ToQString(VSpace));
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
    ApplyPicture(*this, Form->EditSrc->text(), Form->EditWidth->text(), Form->EditHeight->text());
    SetAttr(Element, "alt", ToWide(Form->EditAlt->text()));
    SetAttr(Element, "border", ToWide(Form->EditBorder->text()));
    SetAttr(Element, "hspace", ToWide(Form->EditHSpace->text()));
    SetAttr(Element, "vspace", ToWide(Form->EditVSpace->text()));
    SetLiveAndStored(*this, attrAlign, ToWide(Form->ComboAlign->currentText()));
}

}  // namespace zv
