#include "ToolImg.h"

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "PickUrls.h"
#include "ToolFields.h"
#include "ui_ToolImg.h"

namespace zv {

void ShowPictureSrc(const TTagEditor& Editor, QLineEdit* Src)
{
    Src->setText(Editor.Element ? ToQString(Editor.GetNodeAttr(attrSrc)) : QString());
}

bool ApplyPictureSrc(TTagEditor& Editor, const QString& Src)
{
    if (ToWide(Src) == Editor.GetNodeAttr(attrSrc)) return false;
    WideString DesignSrc, ClassName;
    Editor.Designer->Filter->SetImageSrc(Utf8ToUtf16(Editor.Element.id()), StoredValue(Src), DesignSrc,
                                         ClassName);
    SetAttr(Editor.Element, "src", DesignSrc);
    SetAttr(Editor.Element, "class", ClassName);
    return true;
}

namespace {

const TField Fields[] = {
    {"EditWidth", "width", TFieldKind::Number, TFieldHome::Both},
    {"EditHeight", "height", TFieldKind::Number, TFieldHome::Both},
    {"EditAlt", "alt"},
    {"ComboAlign", "align", TFieldKind::Text, TFieldHome::Both},
    {"EditBorder", "border", TFieldKind::Number},
    {"EditHSpace", "hspace", TFieldKind::Number},
    {"EditVSpace", "vspace", TFieldKind::Number},
    {"ComboMap", "usemap"},
    {"CheckServerMap", "ismap", TFieldKind::Boolean, TFieldHome::Live, nullptr, nullptr, "isMap"},
};

}  // namespace

TFormToolImg::TFormToolImg(QWidget* Parent) : TFormTool(Parent)
{
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, ukPicture);
    UseFields("img", {Fields});
}

TFormToolImg::~TFormToolImg() = default;

void TFormToolImg::FormShow()
{
    TWideStringList Maps;
    if (Designer) Designer->GetMapNames(Maps);
    Form->ComboMap->clear();
    for (int K = 0; K < Maps.Count(); ++K) Form->ComboMap->addItem(ToQString(Maps.Get(K)));
    ShowPictureSrc(*this, Form->EditSrc);
    ShowFields();
    UpdateColorEdits();
}

bool TFormToolImg::CheckFields() { return RequiredField(Form->EditSrc, tr("Please specify an image.")); }

void TFormToolImg::GetHTML(WideString& S)
{
    const TDesignObject Img = Designer->Filter->NewImageObject(StoredValue(Form->EditSrc->text()));
    S = OpenedHtml(Img);
    AddFieldsHtml(S, Img.Node);
    S += u'>';
}

void TFormToolImg::Apply()
{
    if (!Element) return;
    const bool Src = ApplyPictureSrc(*this, Form->EditSrc->text());
    // the size the view was given by resizing goes with any change
    if (ApplyFields() || Src) Element.removeAttribute("style");
}

}  // namespace zv
