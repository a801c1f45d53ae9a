#pragma once
// The horizontal rule tool: alignment, width, height (the size attribute), colour and shading
// of an hr, edited where it stands.

#include "ToolItem.h"

namespace Ui {
class FormToolHr;
}

namespace zv {

class TFormToolHr : public TFormTool<Ui::FormToolHr> {
    Q_OBJECT
public:
    explicit TFormToolHr(QWidget* Parent = nullptr);
    ~TFormToolHr() override;
};

class TToolHr : public TToolItem {
public:
    TToolHr() : TToolItem("HR", "Insert Horizontal Rule", 8, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolHr>(); }
};

}  // namespace zv
