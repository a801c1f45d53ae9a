#pragma once
// The table cell tool: the attributes of one cell, reached by a double click on it. Cells have
// no stored node; the dialog works on the live element.

#include "ToolItem.h"

namespace Ui {
class FormToolTd;
}

namespace zv {

class TFormToolTd : public TFormTool<Ui::FormToolTd> {
    Q_OBJECT
public:
    explicit TFormToolTd(QWidget* Parent = nullptr);
    ~TFormToolTd() override;
};

class TToolTd : public TToolItem {
public:
    TToolTd() : TToolItem("TD", "Table Cell", -1, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolTd>(); }
};

}  // namespace zv
