#pragma once
// The text area tool: a textarea with its initial text, edited where it stands.

#include "ToolItem.h"

namespace Ui {
class FormToolTextArea;
}

namespace zv {

class TFormToolTextArea : public TFormTool<Ui::FormToolTextArea> {
    Q_OBJECT
public:
    explicit TFormToolTextArea(QWidget* Parent = nullptr);
    ~TFormToolTextArea() override;

    void FormShow() override;
    // The name is required.
    bool CheckFields() override;
    // The memo's lines each end in CR LF inside the new element.
    void GetHTML(WideString& S) override;
    void Apply() override;

private:
    // The memo as shown: the element's text changes only with it.
    QString Shown;
};

class TToolTextArea : public TToolItem {
public:
    TToolTextArea() : TToolItem("TEXTAREA", "Insert Text Area", 30, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolTextArea>(); }
};

}  // namespace zv
