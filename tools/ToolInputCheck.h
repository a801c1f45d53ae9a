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
    explicit TFormToolInputCheck(QWidget* Parent = nullptr);
    ~TFormToolInputCheck() override;

    void FormShow() override;
    // The name is required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

    // Serving the radio tool; set before each showing.
    bool Radio = false;
};

class TToolInputCheck : public TToolItem {
public:
    TToolInputCheck() : TToolItem("INPUT", "Insert Input Checkbox", 20, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"checkbox"}); }
    TTagEditor* GetEditor() override;
};

class TToolInputRadio : public TToolItem {
public:
    TToolInputRadio() : TToolItem("INPUT", "Insert Radio Button", 29, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"radio"}); }
    TTagEditor* GetEditor() override;
};

}  // namespace zv
