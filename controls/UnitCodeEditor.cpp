#include "UnitCodeEditor.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <initializer_list>
#include <string>

#include "HTMLColors.h"
#include "IniFile.h"
#include "KeyText.h"
#include "WideText.h"

namespace zv {

const char* const HtmlTokenKeys[HtmlTokenCount] = {"Entity", "Comment", "Identifier",
                                                   "Key",    "Space",   "Symbol",
                                                   "Text",   "Undef",   "Value"};

namespace {

using Lexer = QsciLexerHTML;

// The lexer's styles that show each token kind. Blanks take the style of what surrounds them,
// so "Space" has none of its own. A DOCTYPE reads as a tag with its values.
const std::initializer_list<int> TokenStyles[HtmlTokenCount] = {
    {Lexer::Entity},
    {Lexer::HTMLComment, Lexer::SGMLComment},
    {Lexer::Tag, Lexer::SGMLCommand, Lexer::SGMLParameter},
    {Lexer::Attribute},
    {},
    {Lexer::OtherInTag, Lexer::XMLTagEnd, Lexer::XMLStart, Lexer::XMLEnd, Lexer::SGMLDefault},
    {Lexer::Default},
    {Lexer::UnknownTag, Lexer::UnknownAttribute},
    {Lexer::HTMLDoubleQuotedString, Lexer::HTMLSingleQuotedString, Lexer::HTMLNumber,
     Lexer::HTMLValue, Lexer::SGMLDoubleQuotedString, Lexer::SGMLSingleQuotedString}};

struct TDefault {
    TColor Foreground;
    bool Italic;
};
const TDefault Defaults[HtmlTokenCount] = {
    {clGreen, false}, {clGreen, true}, {clRed, false},     {clRed, false},  {clBlack, false},
    {clRed, false},   {clBlack, false}, {clFuchsia, false}, {clBlue, false}};

constexpr int GutterLeft = 4;
constexpr int GutterRight = 8;
constexpr int GutterDigits = 3;
const char* const GutterHooked = "zvGutterHooked";

QColor ToQColor(TColor Color)
{
    return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

// Eight hexadecimal digits of the $00BBGGRR layout; Fallback for anything else (a system
// colour's top byte included).
QColor ParseColor(std::string_view Digits, TColor Fallback)
{
    uint32_t Value = 0;
    for (const char C : Digits) {
        const int Digit = HexDigit(static_cast<unsigned char>(C));
        if (Digit < 0) return ToQColor(Fallback);
        Value = Value << 4 | static_cast<uint32_t>(Digit);
    }
    return ToQColor((Value >> 24) == 0 ? static_cast<TColor>(Value) : Fallback);
}

// "Lucida Console" where installed, else the system's fixed font. The system's answer may be
// an alias such as "monospace" that Qt resolves to a proportional face, so a family is taken only
// when it really has fixed pitch; failing both, the first scalable fixed-pitch family.
QString FixedFamily()
{
    static const QString Family = [] {
        const QString System = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        for (const QString& Name : {QStringLiteral("Lucida Console"), System})
            if (QFontDatabase::hasFamily(Name) && QFontDatabase::isFixedPitch(Name))
                return Name;
        for (const QString& Name : QFontDatabase::families())
            if (QFontDatabase::isFixedPitch(Name) && QFontDatabase::isScalable(Name) &&
                !QFontDatabase::writingSystems(Name).contains(QFontDatabase::Symbol))
                return Name;
        return System;
    }();
    return Family;
}

QFont EditorFont()
{
    QFont Font(FixedFamily());
    Font.setStyleHint(QFont::Monospace);
    Font.setFixedPitch(true);
    Font.setPointSize(8);
    return Font;
}

void UpdateGutterWidth(QsciScintilla& Editor)
{
    const int Digits = std::max<int>(GutterDigits, std::to_string(std::max(1, Editor.lines())).size());
    const QFontMetrics Metrics(EditorFont());
    Editor.setMarginWidth(0, GutterLeft + Digits * Metrics.horizontalAdvance(QLatin1Char('0')) +
                                 GutterRight);
}

}  // namespace

void SetAttributeColors(QsciLexerHTML& Highlighter, THtmlToken Attribute, const QColor& Foreground,
                        const QColor& Background, TFontStyles Style)
{
    const QColor Paper =
        Background.isValid() ? Background : static_cast<const QsciLexer&>(Highlighter).defaultPaper();
    for (const int S : TokenStyles[static_cast<int>(Attribute)]) {
        Highlighter.setColor(Foreground, S);
        Highlighter.setPaper(Paper, S);
        QFont Font = Highlighter.font(S);
        Font.setBold(Style.Bold);
        Font.setItalic(Style.Italic);
        Font.setUnderline(Style.Underline);
        Font.setStrikeOut(Style.StrikeOut);
        Highlighter.setFont(Font, S);
    }
}

TFontStyles StyleFromFlags(std::string_view Text)
{
    if (Text.size() < 4) return {};
    return {Text[0] != '0', Text[1] != '0', Text[2] != '0', Text[3] != '0'};
}

void ApplyAttributeString(QsciLexerHTML& Highlighter, THtmlToken Attribute, std::string_view Text)
{
    if (Text.size() < 20) return;
    SetAttributeColors(Highlighter, Attribute, ParseColor(Text.substr(0, 8), clBlack),
                       ParseColor(Text.substr(8, 8), clWhite), StyleFromFlags(Text.substr(16, 4)));
}

void ReadHighlighterAttribute(QsciLexerHTML& Highlighter, THtmlToken Attribute,
                              const TIniFile& Settings, std::string_view Section)
{
    ApplyAttributeString(Highlighter, Attribute,
                         Settings.ReadString(Section, HtmlTokenKeys[static_cast<int>(Attribute)], ""));
}

void LoadHtmlHighlighterColors(QsciLexerHTML& Highlighter, const TIniFile* Settings,
                               std::string_view Section)
{
    const bool FromSettings = Settings && Settings->SectionExists(Section);
    // one paper for the page: scripts and server blocks get none of their own
    const QColor Paper = static_cast<const QsciLexer&>(Highlighter).defaultPaper();
    for (int S = 0; S <= QsciScintillaBase::STYLE_MAX; ++S)
        if (!Highlighter.description(S).isEmpty()) Highlighter.setPaper(Paper, S);
    for (int K = 0; K < HtmlTokenCount; ++K) {
        const auto Token = static_cast<THtmlToken>(K);
        if (FromSettings)
            ReadHighlighterAttribute(Highlighter, Token, *Settings, Section);
        else
            SetAttributeColors(Highlighter, Token, ToQColor(Defaults[K].Foreground), QColor(),
                               {false, Defaults[K].Italic, false, false});
    }
}

void SetupCodeEditor(QsciScintilla& Editor)
{
    // QScintilla takes Tab and Return as text; it keeps the text as Unicode
    Editor.setUtf8(true);
    const QFont Font = EditorFont();
    Editor.setFont(Font);
    if (QsciLexer* Lexer = Editor.lexer()) {
        // the lexer's fonts win over the editor's: each style keeps its own emphasis
        Lexer->setDefaultFont(Font);
        for (int S = 0; S <= QsciScintillaBase::STYLE_MAX; ++S) {
            if (Lexer->description(S).isEmpty()) continue;
            QFont StyleFont = Lexer->font(S);
            StyleFont.setFamilies(Font.families());
            StyleFont.setStyleHint(QFont::Monospace);
            StyleFont.setFixedPitch(true);
            StyleFont.setPointSize(Font.pointSize());
            Lexer->setFont(StyleFont, S);
        }
    }
    Editor.setMarginsFont(Font);
    Editor.setMarginsForegroundColor(ToQColor(clGray));
    Editor.setMarginType(0, QsciScintilla::NumberMargin);
    Editor.setMarginLineNumbers(0, true);
    // one gutter: the symbol and fold margins stay closed
    for (int Margin = 1; Margin < Editor.margins(); ++Margin) Editor.setMarginWidth(Margin, 0);
    UpdateGutterWidth(Editor);
    CommitKeyTextOf(&Editor);
    if (!Editor.property(GutterHooked).toBool()) {
        Editor.setProperty(GutterHooked, true);
        QObject::connect(&Editor, &QsciScintilla::linesChanged, &Editor,
                         [&Editor] { UpdateGutterWidth(Editor); });
    }
}

}  // namespace zv
