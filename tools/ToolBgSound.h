#pragma once
// The background sound tool: audio file, loop count and autostart of a bgsound, shown in the
// design view as a placeholder and edited in its stored node.

#include "ToolItem.h"

namespace Ui {
class FormToolBgSound;
}

namespace zv {

class TFormToolBgSound : public TFormTool<Ui::FormToolBgSound> {
    Q_OBJECT
public:
    explicit TFormToolBgSound(QWidget* Parent = nullptr);
    ~TFormToolBgSound() override;

    void GetHTML(WideString& S) override;
};

class TToolBgSound : public TToolItem {
public:
    TToolBgSound() : TToolItem("IMG", "Insert Background Sound", 3, true, true) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagBgSound); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolBgSound>(); }
};

}  // namespace zv
