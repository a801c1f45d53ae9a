#pragma once
// The script file tool: file, character set and deferring of a script element with a src,
// shown in the design view as a placeholder and edited in its stored node.

#include "ToolItem.h"

namespace Ui {
class FormToolScriptFile;
}

namespace zv {

// "text/javascript" for ".js", "text/vbscript" for ".vbs" (ignoring case), else ''.
WideString ScriptTypeOfFile(WideStringView FileName);

class TFormToolScriptFile : public TFormTool<Ui::FormToolScriptFile> {
    Q_OBJECT
public:
    explicit TFormToolScriptFile(QWidget* Parent = nullptr);
    ~TFormToolScriptFile() override;

    void FormShow() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

private:
    // "Default": Western European (ISO).
    void Button3Click();
    // The code name of the charset box's display name; '' when it names no row.
    WideString Charset() const;
};

class TToolScriptFile : public TToolItem {
public:
    TToolScriptFile() : TToolItem("IMG", "Insert External Script File", 38, true, true) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolScriptFile>(); }
};

}  // namespace zv
