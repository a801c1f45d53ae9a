#pragma once
// The hidden input tool: a placeholder whose stored input holds the name and value, edited in
// the stored node, so that its other attributes stay.

#include "ToolItem.h"

namespace Ui {
class FormToolInputHidden;
}

namespace zv {

class TFormToolInputHidden : public TFormTool<Ui::FormToolInputHidden> {
    Q_OBJECT
public:
    explicit TFormToolInputHidden(QWidget* Parent = nullptr);
    ~TFormToolInputHidden() override;

    // The name, then the value, are required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
};

class TToolInputHidden : public TToolItem {
public:
    TToolInputHidden() : TToolItem("IMG", "Insert Hidden Input", 25, true, false) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputHidden>(); }
};

// Whether the stored node is an input whose type attribute is Type (ignoring case).
bool StoredInputIs(const THtmlNode* Node, WideStringView Type);

}  // namespace zv
