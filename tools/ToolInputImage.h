#pragma once
// The image button tool: a placeholder picture whose stored input holds the source, name and
// size; the other picture attributes live on the placeholder.

#include "ToolItem.h"

namespace Ui {
class FormToolInputImage;
}

namespace zv {

class TFormToolInputImage : public TFormTool<Ui::FormToolInputImage> {
    Q_OBJECT
public:
    explicit TFormToolInputImage(QWidget* Parent = nullptr);
    ~TFormToolInputImage() override;

    void FormShow() override;
    // The name, then the image, are required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;
};

class TToolInputImage : public TToolItem {
public:
    TToolInputImage() : TToolItem("IMG", "Insert Image Button", 26, true, true) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputImage>(); }
};

}  // namespace zv
