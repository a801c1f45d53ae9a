#pragma once
// The image tool: an img shown in the design view with a design src and class, its source
// src and size kept in the stored node.

#include "ToolManager.h"

namespace Ui {
class FormToolImg;
}

namespace zv {

struct TDesignObject;

class TFormToolImg : public TFormTool<Ui::FormToolImg> {
    Q_OBJECT
public:
    explicit TFormToolImg(QWidget* Parent = nullptr);
    ~TFormToolImg() override;

    void FormShow() override;
    // "Please specify an image." for an empty image.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;
};

class TToolImg : public TToolItem {
public:
    TToolImg() : TToolItem("IMG", "Insert Image", 9, true, true) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagImg); }
    TTagEditor* GetEditor() override { return SharedEditor<TFormToolImg>(); }
};

// The picture fields an image and an image button share: the source through the filter, the
// live src and class it gives, the size on both, the inline style gone.
void ApplyPicture(TTagEditor& Editor, const QString& Src, const QString& Width, const QString& Height);
// The opening a new picture's builder gave, without its last blank, its size also stored.
WideString OpenPicture(const TDesignObject& Object, const QString& Width, const QString& Height);

// What the picture and image-button dialogs show alike: the source and size from the stored
// node, the alternative text, alignment and border from the element, the spacing as written.
template <class TForm>
void ShowPictureFields(const TTagEditor& Editor, TForm& Form)
{
    const THtmlElement& Element = Editor.Element;
    WideString HSpace, VSpace;
    if (Element) {
        GetAttrNoDefault(Element, "hspace", HSpace);
        GetAttrNoDefault(Element, "vspace", VSpace);
    }
    const auto Live = [&](const char* Name) { return Element ? ToQString(GetAttr(Element, Name)) : QString(); };
    const auto Stored = [&](THtmlAttrId Id) { return Element ? ToQString(Editor.GetNodeAttr(Id)) : QString(); };
    Form.EditSrc->setText(Stored(attrSrc));
    Form.EditWidth->setText(Stored(attrWidth));
    Form.EditHeight->setText(Stored(attrHeight));
    Form.EditAlt->setText(Live("alt"));
    Form.ComboAlign->setCurrentText(Live("align"));
    Form.EditBorder->setText(Live("border"));
    Form.EditHSpace->setText(ToQString(HSpace));
    Form.EditVSpace->setText(ToQString(VSpace));
}

// Writes those fields back, but the alignment, which each dialog writes last.
template <class TForm>
void ApplyPictureFields(TTagEditor& Editor, TForm& Form)
{
    ApplyPicture(Editor, Form.EditSrc->text(), Form.EditWidth->text(), Form.EditHeight->text());
    SetAttr(Editor.Element, "alt", ToWide(Form.EditAlt->text()));
    SetAttr(Editor.Element, "border", ToWide(Form.EditBorder->text()));
    SetAttr(Editor.Element, "hspace", ToWide(Form.EditHSpace->text()));
    SetAttr(Editor.Element, "vspace", ToWide(Form.EditVSpace->text()));
}

}  // namespace zv
