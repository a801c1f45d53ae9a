#pragma once
// The table tool: a new table of empty rows and cells, and the attributes of an existing one.
// The width and height live in the table's stored node; a table without one (pasted) is read
// and written on the live element.

#include "ToolItem.h"

namespace Ui {
class FormToolTable;
}

namespace zv {

class TFormToolTable : public TFormTool<Ui::FormToolTable> {
    Q_OBJECT
public:
    explicit TFormToolTable(QWidget* Parent = nullptr);
    ~TFormToolTable() override;

    void FormShow() override;
    // A new table has at most MaxCells cells.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

    // True while an existing table is shown.
    bool Editing = false;
    static constexpr int64_t MaxCells = 100000;
};

class TToolTable : public TToolItem {
public:
    TToolTable() : TToolItem("TABLE", "Insert Table", 17, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolTable>(); }
};

}  // namespace zv
