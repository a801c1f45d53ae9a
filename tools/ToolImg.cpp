#include "ToolImg.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ToolFields.h"
#include "ui_ToolImg.h"

namespace zv {

void ApplyPicture(TTagEditor& Editor, const QString& Src, const QString& Width, const QString& Height)
{
    const WideString Id = Utf8ToUtf16(Editor.Element.id());
    if (ToWide(Src) != Editor.GetNodeAttr(attrSrc)) {
        WideString DesignSrc, ClassName;
        Editor.Designer->Filter->SetImageSrc(Id, EscapeStoredValue(ToWide(Src)), DesignSrc, ClassName);
        SetAttr(Editor.Element, "src", DesignSrc);
        SetAttr(Editor.Element, "class", ClassName);
    }
    SetStoredAndLive(Editor, attrWidth, ToWide(Width));
    SetStoredAndLive(Editor, attrHeight, ToWide(Height));
    Editor.Element.removeAttribute("style");
}

WideString OpenPicture(const TDesignObject& Object, const QString& Width, const QString& Height)
{
    SetStoredAttr(*Object.Node, attrWidth, ToWide(Width.trimmed()));
    SetStoredAttr(*Object.Node, attrHeight, ToWide(Height.trimmed()));
    WideString S = Object.Html;
    if (!S.empty() && S.back() == u' ') S.pop_back();
    return S;
}

TFormToolImg::TFormToolImg(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, ukPicture);
    for (QLineEdit* Edit : {Form->EditBorder, Form->EditWidth, Form->EditHeight, Form->EditHSpace, Form->EditVSpace})
        SetNumericEdit(Edit);
}

TFormToolImg::~TFormToolImg() = default;

void TFormToolImg::FormShow()
{
    ShowPictureFields(*this, *Form);
    const QString Map = Element ? ToQString(GetAttr(Element, "usemap")) : QString();
    Form->CheckServerMap->setChecked(Element && Element.getProperty("isMap").toBool());
    UpdateColorEdits();
    TWideStringList Maps;
    if (Designer) Designer->Filter->GetMapNames(Maps);
    Form->ComboMap->clear();
    for (int K = 0; K < Maps.Count(); ++K) Form->ComboMap->addItem(ToQString(Maps.Get(K)));
    Form->ComboMap->setCurrentText(Map);
}

bool TFormToolImg::CheckFields()
{
    if (Form->EditSrc->text().isEmpty()) return FieldError(Form->EditSrc, tr("Please specify an image."));
    return true;
}

void TFormToolImg::GetHTML(WideString& S)
{
    const TDesignObject Img = Designer->Filter->NewImageObject(EscapeStoredValue(ToWide(Form->EditSrc->text())));
    S = OpenPicture(Img, Form->EditWidth->text(), Form->EditHeight->text());
    AddAttr(S, "width", Form->EditWidth->text());
    AddAttr(S, "height", Form->EditHeight->text());
    AddAttr(S, "alt", Form->EditAlt->text());
    AddAttr(S, "align", Form->ComboAlign->currentText());
    AddAttr(S, "border", Form->EditBorder->text());
    AddAttr(S, "hspace", Form->EditHSpace->text());
    AddAttr(S, "vspace", Form->EditVSpace->text());
    AddAttr(S, "usemap", Form->ComboMap->currentText());
    if (Form->CheckServerMap->isChecked()) S += u" ismap";
    S += u'>';
}

void TFormToolImg::Apply()
{
    if (!Element) return;
    ApplyPictureFields(*this, *Form);
    SetAttr(Element, "usemap", ToWide(Form->ComboMap->currentText()));
    SetBoolProperty(Element, "isMap", Form->CheckServerMap->isChecked());
    SetLiveAndStored(*this, attrAlign, ToWide(Form->ComboAlign->currentText()));
}

}  // namespace zv
