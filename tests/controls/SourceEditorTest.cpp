// The source editor's look: highlighter colours from a settings file (damaged entries
// included) or the defaults, and an editor that takes Tab and Return as text.
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "IniFile.h"
#include "UnitCodeEditor.h"
#include "support/WaitFor.h"
#include "support/TempFiles.h"

namespace zv {
namespace {

using test::WaitFor;

using test::TempDir;
using test::WriteAll;

TEST(SourceEditor, ColoursFromSettingsFileWithDamagedEntries)
{
    TempDir Dir;
    WriteAll(Dir / "Config.ini",
             "[Other]\nValue=000000FF00FFFFFF1111\n"
             "[HTML Colors]\n"
             // blue, bold, on white
             "Value=00FF000000FFFFFF1000\n"
             // background not hexadecimal: white; a letter as a flag switches the style on
             "Comment=000000FFxyz00000Ax0X\n"
             // foreground not hexadecimal: black; extra characters ignored
             "Key=GG0000FF00C0C0C00010tail\n"
             // a system colour is no colour of the stored layout: black
             "Entity=FF00000500FFFFFF0000\n"
             // 19 characters change nothing
             "Identifier=0000FF0000FFFFFF100\n");
    const TIniFile Settings(Dir / "Config.ini");

    QsciLexerHTML Lexer;
    const QColor TagColour = Lexer.color(QsciLexerHTML::Tag);
    const QFont TagFont = Lexer.font(QsciLexerHTML::Tag);
    LoadHtmlHighlighterColors(Lexer, &Settings, "HTML Colors");

    for (const int S : {QsciLexerHTML::HTMLDoubleQuotedString, QsciLexerHTML::HTMLValue}) {
        EXPECT_EQ(Lexer.color(S), QColor(0, 0, 255));
        EXPECT_EQ(Lexer.paper(S), QColor(255, 255, 255));
        EXPECT_TRUE(Lexer.font(S).bold());
        EXPECT_FALSE(Lexer.font(S).italic());
    }
    EXPECT_EQ(Lexer.color(QsciLexerHTML::HTMLComment), QColor(255, 0, 0));
    EXPECT_EQ(Lexer.paper(QsciLexerHTML::HTMLComment), QColor(255, 255, 255));
    EXPECT_TRUE(Lexer.font(QsciLexerHTML::HTMLComment).bold());
    EXPECT_TRUE(Lexer.font(QsciLexerHTML::HTMLComment).italic());
    EXPECT_FALSE(Lexer.font(QsciLexerHTML::HTMLComment).underline());
    EXPECT_TRUE(Lexer.font(QsciLexerHTML::HTMLComment).strikeOut());
    EXPECT_EQ(Lexer.color(QsciLexerHTML::Attribute), QColor(0, 0, 0));
    EXPECT_EQ(Lexer.paper(QsciLexerHTML::Attribute), QColor(192, 192, 192));
    EXPECT_TRUE(Lexer.font(QsciLexerHTML::Attribute).underline());
    EXPECT_EQ(Lexer.color(QsciLexerHTML::Entity), QColor(0, 0, 0));
    EXPECT_EQ(Lexer.color(QsciLexerHTML::Tag), TagColour);
    EXPECT_EQ(Lexer.font(QsciLexerHTML::Tag).bold(), TagFont.bold());

    // a missing section or no settings at all: the built-in defaults
    QsciLexerHTML Defaults;
    LoadHtmlHighlighterColors(Defaults, &Settings, "No Such Section");
    EXPECT_EQ(Defaults.color(QsciLexerHTML::Tag), QColor(255, 0, 0));
    EXPECT_EQ(Defaults.color(QsciLexerHTML::HTMLValue), QColor(0, 0, 255));
    EXPECT_EQ(Defaults.color(QsciLexerHTML::UnknownTag), QColor(255, 0, 255));
    EXPECT_EQ(Defaults.color(QsciLexerHTML::Entity), QColor(0, 128, 0));
    EXPECT_TRUE(Defaults.font(QsciLexerHTML::HTMLComment).italic());
    EXPECT_FALSE(Defaults.font(QsciLexerHTML::Tag).italic());
    EXPECT_EQ(Defaults.paper(QsciLexerHTML::Tag), static_cast<QsciLexer&>(Defaults).defaultPaper());
    // the DOCTYPE line in the colours of a tag, scripts and server blocks on no paper of their own
    EXPECT_EQ(Defaults.color(QsciLexerHTML::SGMLCommand), QColor(255, 0, 0));
    EXPECT_FALSE(Defaults.font(QsciLexerHTML::SGMLCommand).bold());
    EXPECT_EQ(Defaults.color(QsciLexerHTML::SGMLDoubleQuotedString), QColor(0, 0, 255));
    for (const int S : {QsciLexerHTML::SGMLDefault, QsciLexerHTML::JavaScriptDefault,
                        QsciLexerHTML::JavaScriptKeyword, QsciLexerHTML::ASPStart,
                        QsciLexerHTML::PHPDefault, QsciLexerHTML::VBScriptDefault})
        EXPECT_EQ(Defaults.paper(S), static_cast<QsciLexer&>(Defaults).defaultPaper()) << S;
    QsciLexerHTML Unset;
    LoadHtmlHighlighterColors(Unset, nullptr, "HTML Colors");
    EXPECT_EQ(Unset.color(QsciLexerHTML::Tag), QColor(255, 0, 0));
}

TEST(SourceEditor, EditorTakesTabAndReturnAndKeepsUnicode)
{
    QDialog Dialog;
    auto* Editor = new QsciScintilla(&Dialog);
    auto* Lexer = new QsciLexerHTML(Editor);
    LoadHtmlHighlighterColors(*Lexer, nullptr, {});
    Editor->setLexer(Lexer);
    SetupCodeEditor(*Editor);
    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &Dialog);
    Buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(Buttons, &QDialogButtonBox::accepted, &Dialog, &QDialog::accept);
    auto* Layout = new QVBoxLayout(&Dialog);
    Layout->addWidget(Editor);
    Layout->addWidget(Buttons);
    Dialog.resize(520, 300);
    Dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
    Editor->setFocus();
    ASSERT_TRUE(WaitFor([&] { return Editor->hasFocus(); }));

    const QString Page = QString::fromUtf8(
        "<html>\n<!-- note -->\n<body bgcolor=\"#ffffff\">\n<p>&Omega; \xce\xb1\xce\xb2\xce\xb3 "
        "\xe6\xbc\xa2\xe5\xad\x97 \xf0\x9f\x99\x82</p>\n<script>var x = 1;</script>\n<foo>\n"
        "</body>\n</html>\n");
    Editor->setText(Page);
    EXPECT_EQ(Editor->text(), Page);
    Editor->setCursorPosition(3, 0);
    QTest::keyClick(Editor, Qt::Key_Tab);
    QTest::keyClick(Editor, Qt::Key_Return);
    EXPECT_TRUE(Editor->hasFocus());
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Editor->text(3), QStringLiteral("\t\n"));

    // fonts: monospace, each style keeping its emphasis
    EXPECT_TRUE(QFontInfo(Lexer->font(QsciLexerHTML::Tag)).fixedPitch());
    EXPECT_TRUE(Lexer->font(QsciLexerHTML::HTMLComment).italic());
    EXPECT_EQ(Lexer->font(QsciLexerHTML::Tag).pointSize(), 8);

    // the gutter has room for three digits, and more once the text has more lines
    const int Narrow = Editor->marginWidth(0);
    EXPECT_GT(Narrow, 12);
    EXPECT_TRUE(Editor->marginLineNumbers(0));
    Editor->append(QString("line\n").repeated(1200));
    EXPECT_GT(Editor->marginWidth(0), Narrow);
    Editor->setText(Page);
    EXPECT_EQ(Editor->marginWidth(0), Narrow);

    Dialog.grab().save("/tmp/zv-source-editor.png");
}

}  // namespace
}  // namespace zv
