#pragma once
// The image tool: an img shown in the design view with a design src and class, its source
// src and size kept in the stored node.

#include "ToolItem.h"

namespace Ui {
class FormToolImg;
}

class QLineEdit;

namespace zv {

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
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolImg>(); }
};

// The source an image and an image button share: shown from the stored node as written; a
// changed one goes through the filter, which gives the live src and class. True when it changed.
void ShowPictureSrc(const TTagEditor& Editor, QLineEdit* Src);
bool ApplyPictureSrc(TTagEditor& Editor, const QString& Src);

}  // namespace zv
