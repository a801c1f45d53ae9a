#pragma once
// The line break tool: the clear attribute of a br.

#include "ToolItem.h"

namespace Ui {
class FormToolBr;
}

namespace zv {

class TFormToolBr : public TFormTool<Ui::FormToolBr> {
    Q_OBJECT
public:
    explicit TFormToolBr(QWidget* Parent = nullptr);
    ~TFormToolBr() override;

    void GetHTML(WideString& S) override;
};

class TToolBr : public TToolItem {
public:
    TToolBr() : TToolItem("BR", "Insert Line Break", 4, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolBr>(); }
};

}  // namespace zv
