#pragma once
// The inline script tool: type, deferring and text of a script element without a src, shown
// in the design view as a placeholder and edited in its stored node. The text is kept between
// comment markers and edited in a source editor with JavaScript or VBScript highlighting.

#include "ToolItem.h"

class QsciLexer;
class QsciScintilla;

namespace Ui {
class FormToolScript;
}

namespace zv {

// On one copy, in order: trimmed; a leading "<!--" and then a trailing "-->" taken off; then
// a leading and then a trailing CR LF (or bare LF).
WideString StripScriptComment(WideStringView Text);
// "<!--" CR LF, the stripped text with CR LF line ends, CR LF "-->".
WideString WrapScriptComment(WideStringView Text);

class TFormToolScript : public TFormTool<Ui::FormToolScript> {
    Q_OBJECT
public:
    explicit TFormToolScript(QWidget* Parent = nullptr);
    ~TFormToolScript() override;

    void FormShow() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

    QsciScintilla* Editor() const { return FEditor; }
    // The editor's highlighter: JavaScript, VBScript, or nullptr for none.
    QsciLexer* Highlighter() const;
    QsciLexer* JavaScriptHighlighter() const { return JScript; }
    QsciLexer* VBScriptHighlighter() const { return VBScript; }

private:
    // The user changed the type: its highlighter, or none for another type.
    void ComboTypeChange(const QString& Type);
    QsciScintilla* FEditor;
    QsciLexer* JScript;
    QsciLexer* VBScript;
    bool Filling = false;
};

class TToolScript : public TToolItem {
public:
    TToolScript() : TToolItem("IMG", "Insert Script", 16, true, false) {}
    bool CanEdit(const THtmlElement& Element) override;
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolScript>(); }
};

}  // namespace zv
