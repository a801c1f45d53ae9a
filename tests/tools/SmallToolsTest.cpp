// The rule, date, comment, line break and anchor tools in the real design view: what they
// insert, what they change, and that an unchanged OK changes nothing.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QDateEdit>
#include <QMessageBox>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include "ToolAnchor.h"
#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolHr.h"
#include "ToolsHost.h"

using namespace zv;
using namespace zv::test;

namespace {

THtmlElement Placeholder(const char* Picture, int Index = 0)
{
    TDesignerHost& H = TDesignerHost::Get();
    return H.Designer().Document().getElementById(
        H.DesignId(QString("img[src=\"edit:%1.gif\"]").arg(Picture), Index));
}

THtmlElement ById(const char* Id) { return TDesignerHost::Get().Designer().Document().getElementById(Id); }

void SetMoment(QWidget* Dialog, const QDateTime& Moment)
{
    Dialog->findChild<QDateEdit*>("DateTimePicker1")->setDate(Moment.date());
    Dialog->findChild<QTimeEdit*>("DateTimePicker2")->setTime(Moment.time());
}

const char* const Page =
    "<html><head><title>Small</title></head><body>\n"
    "<p id=\"a\">Alpha</p>\n"
    "<p id=\"c\">Gamma</p>\n"
    "<p id=\"d\">Delta</p>\n"
    "<p id=\"e\">Epsilon</p>\n"
    "<div id=\"f\">Rule</div>\n"
    "<p id=\"b\">Beta <br id=\"br\" clear=\"all\"> end</p>\n"
    "<hr id=\"hr\" width=\"10\">\n"
    "<!-- old comment -->\n"
    "<a name=\"old\"></a>\n"
    "</body></html>\n";

}  // namespace

TEST(SmallTools, InsertAndEditSavedAsExpected)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("small.html", Page);

    InsertAt("#f", 4, Tool<TToolHr>(), [](QWidget* D) {
        SetField(D, "EditWidth", "80%");
        SetField(D, "EditHeight", "3");
        SetField(D, "ComboAlign", "center");
        SetField(D, "EditColor", "#ff0000");
        D->findChild<QCheckBox*>("CheckNoShade")->setChecked(true);
    });
    InsertAt("#a", 5, Tool<TToolDate>(), [](QWidget* D) {
        SetField(D, "ComboBox1", "yyyy-mm-dd");
        SetField(D, "ComboBox2", "hh-nn");
        SetMoment(D, QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9)));
        EXPECT_EQ(FieldText(D, "EditSample"), "2026-12-07 13-05");
    });
    InsertAt("#c", 5, Tool<TToolComment>(), [](QWidget* D) { SetField(D, "MemoComment", "  <!-- typed with markers -->\n"); });
    InsertAt("#d", 5, Tool<TToolBr>(), [](QWidget* D) { SetField(D, "ComboClear", "left"); });
    InsertAt("#e", 7, Tool<TToolAnchor>(), [](QWidget* D) { SetField(D, "EditName", "top"); });

    Edit(ById("hr"), [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditWidth"), "10");
        SetField(D, "EditWidth", "");
        SetField(D, "EditHeight", "4");
        D->findChild<QCheckBox*>("CheckNoShade")->setChecked(true);
    });
    Edit(ById("br"), [](QWidget* D) { SetField(D, "ComboClear", "right"); });
    Edit(Placeholder("comment", 1), [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoComment"), "<!-- old comment -->");
        SetField(D, "MemoComment", "new\ncomment");
    });
    Edit(Placeholder("anchor", 1), [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditName"), "old");
        SetField(D, "EditName", "renamed");
    });
    EXPECT_EQ(SaveBytes("small-saved.html"), ReadAll(ZV_TEST_DATA "/tools/small-tools.html"));
}

TEST(SmallTools, UnchangedOkKeepsEveryByteAndNewValuesAreEscaped)
{
    TDesignerHost& H = TDesignerHost::Get();
    // UTF-8 text with quotes, ampersands and angle brackets in every field
    H.LoadFile("awkward.html",
               "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
               "<title>Awkward</title></head><body>\n"
               "<p id=\"p\">Text &amp; more</p>\n"
               "<hr id=\"hr\" width='5\"&amp;&lt;' size=\"&quot;2&quot;\" align='\xd0\x96 \"&amp;' color='\"&lt;&#1046;'>\n"
               "<p id=\"q\">x<br id=\"br\" clear='say \"hi\" &amp; &lt;\xd0\x96&gt;'>y</p>\n"
               "<!-- \"quoted\" &amp; <b>bold</b> \xd0\x96 -->\n"
               "<a name='q\"&amp;&lt;\xd0\x96'></a>\n"
               "</body></html>\n");
    const std::string Before = SaveBytes("awkward-0.html");
    Edit(ById("hr"), [](QWidget* D) { EXPECT_EQ(FieldText(D, "EditWidth"), "5\"&<"); });
    EXPECT_EQ(SaveBytes("awkward-1.html"), Before);
    Edit(ById("br"), [](QWidget* D) { EXPECT_EQ(FieldText(D, "ComboClear"), QString::fromUtf8("say \"hi\" & <\xd0\x96>")); });
    EXPECT_EQ(SaveBytes("awkward-2.html"), Before);
    Edit(Placeholder("comment"));
    EXPECT_EQ(SaveBytes("awkward-3.html"), Before);
    Edit(Placeholder("anchor"), [](QWidget* D) { EXPECT_EQ(FieldText(D, "EditName"), QString::fromUtf8("q\"&<\xd0\x96")); });
    EXPECT_EQ(SaveBytes("awkward-4.html"), Before);
    EXPECT_TRUE(H.Designer().UndoList().empty());   // unchanged OKs leave no step
    EXPECT_EQ(H.Eval("document.getElementById('hr').getAttribute('width')").toString(), "5\"&<");

    // new values go into markup escaped: they read back as typed
    InsertAt("#p", 4, Tool<TToolHr>(), [](QWidget* D) { SetField(D, "EditColor", "a\"b&c<d"); });
    InsertAt("#p", 4, Tool<TToolBr>(), [](QWidget* D) { SetField(D, "ComboClear", "&amp; \"x\""); });
    InsertAt("#p", 4, Tool<TToolDate>(), [](QWidget* D) {
        SetField(D, "ComboBox1", "yyyy <&>");
        SetField(D, "ComboBox2", QString::fromUtf8("\xd0\x96"));
        SetMoment(D, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    });
    // the rule split the paragraph: the saved page ends a paragraph at a rule
    EXPECT_EQ(H.Eval("document.getElementById('p').textContent").toString(), QString::fromUtf8("Text2026 <&> \xd0\x96"));
    EXPECT_EQ(H.Eval("document.querySelector('#p + hr + p').textContent").toString(), " & more");
    EXPECT_EQ(H.Eval("document.querySelector('#p + hr').getAttribute('color')").toString(), "a\"b&c<d");
    EXPECT_EQ(H.Eval("document.querySelector('#p br').getAttribute('clear')").toString(), "&amp; \"x\"");
    InsertAt("#q", 1, Tool<TToolAnchor>(), [](QWidget* D) { SetField(D, "EditName", "n\"&"); });
    const std::string Saved = SaveBytes("awkward-5.html");
    EXPECT_NE(Saved.find("Text2026 &lt;&amp;&gt;"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<hr color=\"a&quot;b&amp;c<d\">"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<br clear=\"&amp;amp; &quot;x&quot;\">"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<a name=\"n&quot;&amp;\">"), std::string::npos) << Saved;

    // a comment that would end early is refused with a message, the dialog stays open
    H.SelectText("#p", 1, 1);
    int Boxes = 0;
    TModalAnswer Answer([&](QWidget* Dialog) {
        SetField(Dialog, "MemoComment", "a --> b");
        TModalAnswer Message([&](QWidget* Box) {
            EXPECT_TRUE(qobject_cast<QMessageBox*>(Box));
            EXPECT_EQ(static_cast<QMessageBox*>(Box)->text(), "A comment cannot hold \"--\".");
            ++Boxes;
            static_cast<QMessageBox*>(Box)->accept();
        });
        PressOk(Dialog);
        EXPECT_TRUE(Dialog->isVisible());
        SetField(Dialog, "MemoComment", "");
        PressOk(Dialog);   // empty: no message, still open
        EXPECT_TRUE(Dialog->isVisible());
        SetField(Dialog, "MemoComment", " \n");
        PressOk(Dialog);
    });
    Palette().Execute(Tool<TToolComment>());
    EXPECT_EQ(Boxes, 1);
    EXPECT_NE(SaveBytes("awkward-6.html").find("<!---->"), std::string::npos);
}

TEST(SmallTools, DialogsForTheEyeAndTheColourButton)
{
    THtmlDesigner& D = TDesignerHost::Get().Designer();
    const std::pair<TToolItem*, const char*> Tools[] = {{Tool<TToolHr>(), "hr"},
                                                         {Tool<TToolDate>(), "date"},
                                                         {Tool<TToolComment>(), "comment"},
                                                         {Tool<TToolBr>(), "br"},
                                                         {Tool<TToolAnchor>(), "anchor"}};
    for (const auto& [Item, Name] : Tools) {
        const std::unique_ptr<TTagEditor> Dialog = Item->NewEditor();
        TTagEditor* Editor = Dialog.get();
        ASSERT_TRUE(Editor);
        Editor->Open(&D, THtmlElement());
        Editor->show();
        EXPECT_TRUE(Editor->windowTitle().startsWith("  "));
        if (std::string(Name) == "hr") {
            // the colour popup's preview opens with the field's colour, however it is written;
            // Escape leaves the field as it was
            const QColor Yellowish(0xFF, 0xEE, 0x00), Window = QApplication::palette().color(QPalette::Base);
            const std::pair<const char*, QColor> Previews[] = {{"#FFEE00", Yellowish}, {"#ffee00", Yellowish},
                                                               {"#Fe0", Yellowish},    {"Navy", QColor(0, 0, 0x80)},
                                                               {"teal", QColor(0, 0x80, 0x80)}, {"", Window}};
            for (const auto& [Text, Colour] : Previews) {
                SetField(Editor, "EditColor", Text);
                QColor Preview;
                QTimer Look;
                QObject::connect(&Look, &QTimer::timeout, [&] {
                    for (QWidget* W : QApplication::topLevelWidgets())
                        if (auto* Popup = dynamic_cast<TPopupColor*>(W); Popup && Popup->isVisible()) {
                            Look.stop();
                            Preview = Popup->grab().toImage().pixelColor(TPopupColor::PreviewRect.center());
                            if (Colour == Yellowish) Popup->grab().save("/tmp/zv-dialog-hr-popup-ffee00.png");
                            QTest::keyClick(Popup, Qt::Key_Escape);
                        }
                });
                Look.start(5);
                QTest::mouseClick(Editor->findChild<QAbstractButton*>("BtnColor"), Qt::LeftButton);
                EXPECT_FALSE(Look.isActive());
                EXPECT_EQ(Preview.name(), Colour.name()) << Text;
                EXPECT_EQ(FieldText(Editor, "EditColor"), Text);
            }
            SetField(Editor, "EditWidth", "75%");
            SetField(Editor, "EditColor", "navy");
            // the colour button runs the shared colour popup under itself
            QTimer Chooser;
            QObject::connect(&Chooser, &QTimer::timeout, [&] {
                for (QWidget* W : QApplication::topLevelWidgets())
                    if (auto* Popup = dynamic_cast<TPopupColor*>(W); Popup && Popup->isVisible()) {
                        Chooser.stop();
                        Popup->grab().save("/tmp/zv-dialog-hr-popup.png");
                        Popup->ColorText = "#336699";
                        Popup->Color = 0x996633;
                        Popup->CloseUp(true);
                    }
            });
            Chooser.start(5);
            Editor->findChild<QAbstractButton*>("BtnColor")->click();
            EXPECT_FALSE(Chooser.isActive());
            EXPECT_EQ(FieldText(Editor, "EditColor"), "#336699");
            EXPECT_EQ(Editor->findChild<QLineEdit*>("EditColor")->palette().color(QPalette::Base), QColor(0x33, 0x66, 0x99));
        }
        if (std::string(Name) == "comment") SetField(Editor, "MemoComment", "A note for the reader\non two lines");
        if (std::string(Name) == "anchor") SetField(Editor, "EditName", "chapter-1");
        Editor->grab().save(QString("/tmp/zv-dialog-%1.png").arg(Name));
        Editor->hide();
    }
}

TEST(SmallTools, DateFormatsInTheUsersLocale)
{
    const QDateTime Afternoon(QDate(2026, 12, 7), QTime(13, 5, 9));
    const QDateTime Midnight(QDate(2026, 1, 2), QTime(0, 5, 9));
    const QLocale Us(QLocale::English, QLocale::UnitedStates), German(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FormatDateTime("dddd, mmmm d, yyyy", Afternoon, Us), "Monday, December 7, 2026");
    EXPECT_EQ(FormatDateTime("ddd, mmm d, yyyy", Afternoon, Us), "Mon, Dec 7, 2026");
    EXPECT_EQ(FormatDateTime("mm/dd/yy hh:nn:ss AM/PM", Afternoon, Us), "12/07/26 01:05:09 PM");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", Midnight, Us), "12:05 AM");
    EXPECT_EQ(FormatDateTime("h-n-s yy", Afternoon, Us), "13-5-9 26");
    EXPECT_EQ(FormatDateTime("", Afternoon, Us), "12/7/26 1:05:09 PM");
    // separators and names of the locale; other characters as they stand
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", Afternoon, German), "07.12.2026 13:05");
    EXPECT_EQ(FormatDateTime("dddd, d. mmmm", Afternoon, German), "Montag, 7. Dezember");
}
