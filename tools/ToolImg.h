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

}  // namespace zv
