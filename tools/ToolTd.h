#pragma once
// The table cell tool: the attributes of one cell, reached by a double click on it. Cells have
// no stored node; the dialog works on the live element.

#include "ToolManager.h"

namespace Ui {
class FormToolTd;
}

namespace zv {

class TFormToolTd : public TFormTool<Ui::FormToolTd> {
    Q_OBJECT
public:
    explicit TFormToolTd(QWidget* Parent = nullptr);
    ~TFormToolTd() override;

    // Spans that both read "1" show empty, so OK removes them.
    void FormShow() override;
    void GetHTML(WideString& S) override;
    void Apply() override;
};

class TToolTd : public TToolItem {
public:
    TToolTd() : TToolItem("TD", "Table Cell", -1, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    TTagEditor* GetEditor() override { return SharedEditor<TFormToolTd>(); }
};

}  // namespace zv
