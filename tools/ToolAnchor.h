#pragma once
// The named anchor tool: the name of an a element, shown in the design view as a placeholder
// and edited in its stored node.

#include "ToolItem.h"

namespace Ui {
class FormToolAnchor;
}

namespace zv {

class TFormToolAnchor : public TFormTool<Ui::FormToolAnchor> {
    Q_OBJECT
public:
    explicit TFormToolAnchor(QWidget* Parent = nullptr);
    ~TFormToolAnchor() override;

    // An empty name is not taken, without a message.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
};

class TToolAnchor : public TToolItem {
public:
    TToolAnchor() : TToolItem("IMG", "Insert Anchor", 0, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagA); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolAnchor>(); }
};

}  // namespace zv
