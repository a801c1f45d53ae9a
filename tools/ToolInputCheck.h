#pragma once
// The check box and radio button tools, sharing one dialog; edited where they stand.

#include "ToolForm.h"

namespace Ui {
class FormToolInputCheck;
}

namespace zv {

class TFormToolInputCheck : public TFormTool<Ui::FormToolInputCheck> {
    Q_OBJECT
public:
    // The dialog of the radio tool when Radio is set.
    explicit TFormToolInputCheck(bool Radio, QWidget* Parent = nullptr);
    ~TFormToolInputCheck() override;

    // The name is required.
    bool CheckFields() override;
};

class TToolInputCheck : public TToolItem {
public:
    TToolInputCheck() : TToolItem("INPUT", "Insert Input Checkbox", 20, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"checkbox"}); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputCheck>(false); }
};

class TToolInputRadio : public TToolItem {
public:
    TToolInputRadio() : TToolItem("INPUT", "Insert Radio Button", 29, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"radio"}); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputCheck>(true); }
};

}  // namespace zv
