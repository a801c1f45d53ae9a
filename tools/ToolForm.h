#pragma once
// The form tool: a new form holding one empty paragraph, and the name, action, method and
// encoding type of an existing one, edited where it stands.

#include "ToolItem.h"

namespace Ui {
class FormToolForm;
}

namespace zv {

class TFormToolForm : public TFormTool<Ui::FormToolForm> {
    Q_OBJECT
public:
    explicit TFormToolForm(QWidget* Parent = nullptr);
    ~TFormToolForm() override;

    // The action is required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
};

class TToolForm : public TToolItem {
public:
    TToolForm() : TToolItem("FORM", "Insert Form", 24, true, false) {}
    bool CanEdit(const THtmlElement&) override { return true; }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolForm>(); }
    bool Nests() const override { return false; }
};

// The tab index, access key and disabled state every form control has.
extern const std::span<const TField> ControlFields;
// The read-only state of text fields and text areas.
extern const std::span<const TField> ReadOnlyField;

// Whether Element is an input whose type is Type (ignoring case).
bool InputTypeIs(const THtmlElement& Element, std::initializer_list<const char16_t*> Types);

}  // namespace zv
