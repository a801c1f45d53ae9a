#pragma once
// One look for the source editors (the HTML Code view and the script tool's editor) and the
// colours of the HTML highlighter: from a settings section, one 20-character value per token
// kind, or the built-in defaults.
//
// A colour value: characters 1-8 the foreground and 9-16 the background as hexadecimal
// $00BBGGRR (black and white when they are not), then four flags bold, italic, underline,
// strike-out, each on unless "0". A shorter value changes nothing; the rest is ignored.

#include <QColor>
#include <string_view>

class QsciLexerHTML;
class QsciScintilla;

namespace zv {

class TIniFile;

// The highlighter's token kinds; their settings keys are HtmlTokenKeys in the same order.
enum class THtmlToken { Entity, Comment, Identifier, Key, Space, Symbol, Text, Undef, Value };
constexpr int HtmlTokenCount = 9;
extern const char* const HtmlTokenKeys[HtmlTokenCount];

struct TFontStyles {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    bool operator==(const TFontStyles&) const = default;
};

// A null Background is the highlighter's own (transparent) background.
void SetAttributeColors(QsciLexerHTML& Highlighter, THtmlToken Attribute, const QColor& Foreground,
                        const QColor& Background, TFontStyles Style);
// The styles of the first four characters; fewer than four: plain.
TFontStyles StyleFromFlags(std::string_view Text);
void ApplyAttributeString(QsciLexerHTML& Highlighter, THtmlToken Attribute, std::string_view Text);
// The key's value (empty when absent) from Section of Settings.
void ReadHighlighterAttribute(QsciLexerHTML& Highlighter, THtmlToken Attribute,
                              const TIniFile& Settings, std::string_view Section);
// Every key of Section when Settings is given and the section exists; else the defaults.
void LoadHtmlHighlighterColors(QsciLexerHTML& Highlighter, const TIniFile* Settings,
                               std::string_view Section);

// Tab and Return as text, Unicode text (keys beyond U+FFFF too), the editor and gutter fonts,
// line numbers. Works with any lexer the editor has (or none); call it after the lexer is set.
void SetupCodeEditor(QsciScintilla& Editor);

}  // namespace zv
