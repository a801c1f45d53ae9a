#pragma once
// The text, password and file input tools, sharing one dialog; edited where they stand.

#include "ToolForm.h"

namespace Ui {
class FormToolInputEdit;
}

namespace zv {

class TFormToolInputEdit : public TFormTool<Ui::FormToolInputEdit> {
    Q_OBJECT
public:
    // Kind: 0 text, 1 password, 2 file.
    explicit TFormToolInputEdit(int Kind, QWidget* Parent = nullptr);
    ~TFormToolInputEdit() override;

    // The name is required.
    bool CheckFields() override;
};

class TToolInputEdit : public TToolItem {
public:
    TToolInputEdit() : TToolItem("INPUT", "Insert Input Text", 22, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"text"}); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputEdit>(0); }
};

class TToolInputPassword : public TToolItem {
public:
    TToolInputPassword() : TToolItem("INPUT", "Insert Input Password", 28, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"password"}); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputEdit>(1); }
};

class TToolInputFile : public TToolItem {
public:
    TToolInputFile() : TToolItem("INPUT", "Insert Input File", 23, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"file"}); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolInputEdit>(2); }
};

}  // namespace zv
