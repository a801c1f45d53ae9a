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
    explicit TFormToolInputEdit(QWidget* Parent = nullptr);
    ~TFormToolInputEdit() override;

    void FormShow() override;
    // The name is required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

    // 0 text, 1 password, 2 file; set before each showing.
    int Kind = 0;
};

class TToolInputEdit : public TToolItem {
public:
    TToolInputEdit() : TToolItem("INPUT", "Insert Input Text", 22, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"text"}); }
    TTagEditor* GetEditor() override;
};

class TToolInputPassword : public TToolItem {
public:
    TToolInputPassword() : TToolItem("INPUT", "Insert Input Password", 28, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"password"}); }
    TTagEditor* GetEditor() override;
};

class TToolInputFile : public TToolItem {
public:
    TToolInputFile() : TToolItem("INPUT", "Insert Input File", 23, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return InputTypeIs(Element, {u"file"}); }
    TTagEditor* GetEditor() override;
};

}  // namespace zv
