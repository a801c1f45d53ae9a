#include "ToolInputImage.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ToolFields.h"
#include "ToolImg.h"
#include "ToolInputHidden.h"
#include "ui_ToolInputImage.h"

namespace zv {

bool TToolInputImage::CanEdit(const THtmlElement& Element) { return StoredInputIs(StoredNode(Designer, Element), u"image"); }

namespace {

const TField Fields[] = {
    {"EditName", "name", TFieldKind::Text, TFieldHome::Stored},
    {"EditWidth", "width", TFieldKind::Number, TFieldHome::Both},
    {"EditHeight", "height", TFieldKind::Number, TFieldHome::Both},
    {"EditAlt", "alt"},
    {"EditBorder", "border", TFieldKind::Number},
    {"ComboAlign", "align", TFieldKind::Text, TFieldHome::Both},
    {"EditHSpace", "hspace", TFieldKind::Number},
    {"EditVSpace", "vspace", TFieldKind::Number},
};

}  // namespace

TFormToolInputImage::TFormToolInputImage(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, ukPicture);
    UseFields("input", {Fields});
}

TFormToolInputImage::~TFormToolInputImage() = default;

void TFormToolInputImage::FormShow()
{
    ShowPictureSrc(*this, Form->EditSrc);
    ShowFields();
    UpdateColorEdits();
}

bool TFormToolInputImage::CheckFields()
{
    return RequiredField(Form->EditName, tr("Please specify a name.")) &&
           RequiredField(Form->EditSrc, tr("Please specify an image."));
}

void TFormToolInputImage::GetHTML(WideString& S)
{
    const TDesignObject Input = Designer->Filter->NewImageInputObject(StoredValue(Form->EditSrc->text()),
                                                                      StoredValue(Form->EditName->text()));
    S = OpenedHtml(Input);
    AddFieldsHtml(S, Input.Node);
    S += u'>';
}

void TFormToolInputImage::Apply()
{
    if (!Element) return;
    const bool Src = ApplyPictureSrc(*this, Form->EditSrc->text());
    if (ApplyFields() || Src) Element.removeAttribute("style");
}

}  // namespace zv
