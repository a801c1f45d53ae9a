#pragma once
// The button input tool: submit, reset and plain button inputs, edited where they stand so
// that every attribute the dialog does not show stays.

#include "ToolForm.h"

namespace Ui {
class FormToolInputButton;
}

namespace zv {

class TFormToolInputButton : public TFormTool<Ui::FormToolInputButton> {
    Q_OBJECT
public:
    explicit TFormToolInputButton(QWidget* Parent = nullptr);
    ~TFormToolInputButton() override;

    // The name is required.
    bool CheckFields() override;
};

class TToolInputButton : public TToolItem {
public:
    TToolInputButton() : TToolItem("INPUT", "Insert Input Button", 19, true, false) {}
    bool CanEdit(const THtmlElement& Element) override
    {
        return InputTypeIs(Element, {u"submit", u"reset", u"button"});
    }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputButton>(); }
};

}  // namespace zv
