#include "ToolScript.h"

#include <QVBoxLayout>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qsciscintilla.h>

#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "UnitCodeEditor.h"
#include "ui_ToolScript.h"

namespace zv {

namespace {

// Scintilla's own VBScript lexer, with the language's keywords and the usual colours.
class TVBScriptLexer : public QsciLexer {
public:
    explicit TVBScriptLexer(QObject* Parent) : QsciLexer(Parent) {}
    const char* language() const override { return "VBScript"; }
    const char* lexer() const override { return "vbscript"; }
    bool caseSensitive() const override { return false; }
    const char* keywords(int Set) const override
    {
        if (Set != 1) return nullptr;
        return "and as byref byval call case class const dim do each else elseif empty end eqv "
               "erase error exit explicit false for function get goto if imp in is let loop mod "
               "new next not nothing null on option or preserve private property public redim "
               "rem resume select set step sub then to true until wend while with xor";
    }
    QString description(int Style) const override
    {
        static const char* const Names[] = {"Default", "Comment", "Number", "Keyword", "String",
                                            "Preprocessor", "Operator", "Identifier", "Date"};
        return Style >= 0 && Style < static_cast<int>(std::size(Names)) ? QString(Names[Style]) : QString();
    }
    QColor defaultColor(int Style) const override
    {
        switch (Style) {
        case 1: return QColor(0x00, 0x7f, 0x00);
        case 2: return QColor(0x00, 0x7f, 0x7f);
        case 3: return QColor(0x00, 0x00, 0x7f);
        case 4: return QColor(0x7f, 0x00, 0x7f);
        case 5: return QColor(0x7f, 0x7f, 0x00);
        default: return QsciLexer::defaultColor(Style);
        }
    }
    QFont defaultFont(int Style) const override
    {
        QFont Font = QsciLexer::defaultFont(Style);
        Font.setBold(Style == 3);
        Font.setItalic(Style == 1);
        return Font;
    }
};

// The script text of a stored script: its first comment child, or the raw text the parser
// keeps when the text holds "-->" before its end.
THtmlText* ScriptText(THtmlTag& Node)
{
    if (auto* Comment = dynamic_cast<THtmlText*>(Node.FindChild(tagComment, false))) return Comment;
    return dynamic_cast<THtmlText*>(Node.FindChild(tagRawText, false));
}

THtmlTag* StoredScript(THtmlNode* Node)
{
    THtmlTag* Tag = TagOfKind(Node, tagScript);
    return Tag && Tag->AttributeValue(attrSrc).empty() ? Tag : nullptr;
}

}  // namespace

WideString StripScriptComment(WideStringView Text)
{
    WideString S = Trim(Text);
    if (S.starts_with(u"<!--")) S.erase(0, 4);
    if (S.ends_with(u"-->")) S.erase(S.size() - 3);
    // a file with bare LF line ends has them here too
    if (S.starts_with(u"\r\n")) S.erase(0, 2);
    else if (S.starts_with(u"\n")) S.erase(0, 1);
    if (S.ends_with(u"\r\n")) S.erase(S.size() - 2);
    else if (S.ends_with(u"\n")) S.erase(S.size() - 1);
    return S;
}

WideString WrapScriptComment(WideStringView Text)
{
    WideString Lines;
    for (size_t K = 0; K < Text.size(); ++K) {
        if (Text[K] == u'\r' && K + 1 < Text.size() && Text[K + 1] == u'\n') continue;
        if (Text[K] == u'\n') Lines += u'\r';
        Lines += Text[K];
    }
    return u"<!--\r\n" + StripScriptComment(Lines) + u"\r\n-->";
}

bool TToolScript::CanEdit(const THtmlElement& Element) { return StoredScript(StoredNode(Designer, Element)) != nullptr; }

namespace {

// the script's text has rules of its own
const TField Fields[] = {
    {"ComboType", "type", TFieldKind::Text, TFieldHome::Stored},
    {"CheckDefer", "defer", TFieldKind::Boolean, TFieldHome::Stored, nullptr, u"TRUE"},
};

}  // namespace

TFormToolScript::TFormToolScript(QWidget* Parent)
    : TFormTool(Parent), FEditor(new QsciScintilla(Form->Panel1)), JScript(new QsciLexerJavaScript(this)),
      VBScript(new TVBScriptLexer(this))
{
    FEditor->setObjectName("Editor");
    UseFields("script", {Fields});
    auto* Layout = new QVBoxLayout(Form->Panel1);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(FEditor);
    FEditor->setLexer(JScript);
    SetupCodeEditor(*FEditor);
    connect(Form->ComboType, &QComboBox::currentTextChanged, this, [this](const QString& Type) {
        if (!Filling) ComboTypeChange(Type);
    });
}

TFormToolScript::~TFormToolScript() = default;

QsciLexer* TFormToolScript::Highlighter() const { return FEditor->lexer(); }

void TFormToolScript::ComboTypeChange(const QString& Type)
{
    QsciLexer* Wanted = nullptr;
    if (Type.compare("text/javascript", Qt::CaseInsensitive) == 0) Wanted = JScript;
    else if (Type.compare("text/vbscript", Qt::CaseInsensitive) == 0) Wanted = VBScript;
    if (FEditor->lexer() == Wanted) return;
    FEditor->setLexer(Wanted);
    SetupCodeEditor(*FEditor);
}

void TFormToolScript::FormShow()
{
    Filling = true;
    FEditor->clear();
    Form->ComboType->setCurrentIndex(-1);
    ShowFields();
    if (THtmlTag* Node = StoredScript(StoredNode(Designer, Element))) {
        if (const THtmlText* Text = ScriptText(*Node)) {
            QString Shown = ToQString(StripScriptComment(Text->Text));
            FEditor->setText(Shown.replace("\r\n", "\n"));
        }
    }
    Filling = false;
}

void TFormToolScript::GetHTML(WideString& S)
{
    S = Designer->Filter->NewScriptPlaceholder(StoredValue(Form->ComboType->currentText()),
                                               WrapScriptComment(ToWide(FEditor->text())), Form->CheckDefer->isChecked());
}

void TFormToolScript::Apply()
{
    THtmlTag* Node = StoredScript(StoredNode(Designer, Element));
    if (!Node) return;
    ApplyFields();
    if (!FieldChanged(FEditor)) return;
    THtmlText* Text = ScriptText(*Node);
    if (!Text) {
        Text = new THtmlText(tagComment, WideString());
        Node->AddLast(Text);
    }
    Text->Text = WrapScriptComment(ToWide(FEditor->text()));
}

}  // namespace zv
