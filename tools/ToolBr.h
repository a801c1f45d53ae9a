#pragma once
// The line break tool: the clear attribute of a br.

#include "ToolManager.h"

namespace Ui {
class FormToolBr;
}

namespace zv {

class TFormToolBr : public TFormTool<Ui::FormToolBr> {
    Q_OBJECT
public:
    explicit TFormToolBr(QWidget* Parent = nullptr);
    ~TFormToolBr() override;

    void FormShow() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

};

class TToolBr : public TToolItem {
public:
    TToolBr() : TToolItem("BR", "Insert Line Break", 4, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    TTagEditor* GetEditor() override { return SharedEditor<TFormToolBr>(); }
};

}  // namespace zv
