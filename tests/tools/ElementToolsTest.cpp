// The table, cell, image, form, input, select, text area and marquee tools: the HTML of new
// elements, the required fields, and edits in the real design view that change exactly what
// the dialog changed.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ToolForm.h"
#include "ToolImg.h"
#include "ToolInputButton.h"
#include "ToolInputCheck.h"
#include "ToolInputEdit.h"
#include "ToolInputHidden.h"
#include "ToolInputImage.h"
#include "ToolMarquee.h"
#include "ToolSelect.h"
#include "ToolTable.h"
#include "ToolTd.h"
#include "ToolTextArea.h"
#include "ToolsHost.h"
#include "support/PageDriver.h"

using namespace zv;
using namespace zv::test;

namespace {

using TFill = std::function<void(QWidget*)>;

// The dialog of Tool, headless, for a new element (or Element), filled by Fill.
std::unique_ptr<TTagEditor> Prepare(TToolItem* Tool, const THtmlElement& Element = {}, const TFill& Fill = {})
{
    std::unique_ptr<TTagEditor> Editor = Tool->NewEditor();
    Editor->Open(&TDesignerHost::Get().Designer(), Element);
    if (Fill) Fill(Editor.get());
    return Editor;
}

std::string Html(TToolItem* Tool, const TFill& Fill = {})
{
    WideString S;
    Prepare(Tool, {}, Fill)->GetHTML(S);
    return QString::fromStdU16String(S).toStdString();
}

// The HTML with the design id of its opening replaced by "ID".
std::string WithoutId(std::string S)
{
    const size_t At = S.find("dsgn_:::_");
    if (At == std::string::npos) return S;
    size_t End = At + 9;
    while (End < S.size() && isdigit(static_cast<unsigned char>(S[End]))) ++End;
    return S.replace(At, End - At, "ID");
}

// The messages CheckFields gives, one OK press at a time, until it passes; Fills[k] runs after
// the k-th refusal.
std::vector<std::string> Refusals(TTagEditor* Editor, const std::vector<TFill>& Fills)
{
    std::vector<std::string> Messages;
    for (size_t K = 0; K <= Fills.size(); ++K) {
        TModalAnswer Box([&](QWidget* W) {
            auto* Message = qobject_cast<QMessageBox*>(W);
            Messages.push_back(Message ? Message->text().toStdString() : "?");
            Message->accept();
        });
        if (Editor->CheckFields()) break;
        if (K < Fills.size()) Fills[K](Editor);
    }
    return Messages;
}

void Check(QWidget* Dialog, const char* Name, bool On) { Dialog->findChild<QCheckBox*>(Name)->setChecked(On); }

// Opens the element's dialog as a double click does, answering with Fill and OK; the title
// of the dialog that came.
QString EditElement(const THtmlElement& Element, const TFill& Fill = {})
{
    QString Title;
    TModalAnswer Answer([&](QWidget* Dialog) {
        Title = Dialog->windowTitle();
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
    });
    Palette().EditElement(Element);
    return Title;
}

THtmlElement Find(const QString& Selector)
{
    TDesignerHost& H = TDesignerHost::Get();
    return H.Designer().Document().getElementById(H.DesignId(Selector));
}

THtmlTag* StoredOf(const THtmlElement& Element)
{
    return dynamic_cast<THtmlTag*>(TDesignerHost::Get().Designer().StoredNode(Element));
}

}  // namespace

TEST(ElementTools, NewElementsAndRequiredFields)
{
    TDesignerHost::Get().LoadBody("<p>x</p><map name=\"nav\"></map><map name=\"side\"></map>");
    // a 2 x 2 table of the defaults; an empty width gives 80%, rows of "x" count as 4
    EXPECT_EQ(WithoutId(Html(Tool<TToolTable>(), [](QWidget* D) {
                  SetField(D, "EditRows", "2");
                  SetField(D, "EditCols", "2");
              })),
              "<table id=\"ID\" width=\"100%\" border=\"1\">\r\n  <tr><td></td><td></td></tr>\r\n"
              "  <tr><td></td><td></td></tr>\r\n</table>");
    EXPECT_EQ(WithoutId(Html(Tool<TToolTable>(), [](QWidget* D) {
                  SetField(D, "EditWidth", "");
                  SetField(D, "EditBorder", "0");
                  SetField(D, "EditRows", "x");
                  SetField(D, "EditCols", "0");
                  SetField(D, "EditSummary", "a \"b\" & <c>");
              })),
              "<table id=\"ID\" class=\"dsgn_layout\" width=\"80%\" summary=\"a &quot;b&quot; &amp; <c>\" border=\"0\">\r\n"
              "  <tr></tr>\r\n  <tr></tr>\r\n  <tr></tr>\r\n  <tr></tr>\r\n</table>");
    // the new table's stored node keeps the width the saved page gets
    THtmlFilter& Filter = *TDesignerHost::Get().Designer().Filter;
    auto* NewTable = dynamic_cast<THtmlTag*>(Filter.Object(Filter.ObjectCount() - 1));
    ASSERT_TRUE(NewTable);
    EXPECT_EQ(NewTable->GetAttribute(attrWidth), u"80%");
    EXPECT_EQ(NewTable->GetAttribute(attrBorder), u"0");

    EXPECT_EQ(Html(Tool<TToolTd>(), [](QWidget* D) {
                  SetField(D, "EditColSpan", "2");
                  SetField(D, "EditBgColor", " red ");
                  Check(D, "CheckNoWrap", true);
              }),
              "<td colspan=\"2\" bgcolor=\"red\" nowrap>");
    EXPECT_EQ(WithoutId(Html(Tool<TToolImg>(), [](QWidget* D) { SetField(D, "EditSrc", "http://x/a.gif"); })),
              "<img id=\"ID\" src=\"edit:trans.gif\" class=\"dsgn_remote\">");
    const std::unique_ptr<TTagEditor> Img = Prepare(Tool<TToolImg>());
    EXPECT_EQ(FieldText(Img.get(), "ComboMap"), "");
    auto* Maps = Img->findChild<QComboBox*>("ComboMap");
    ASSERT_EQ(Maps->count(), 2);
    EXPECT_EQ(Maps->itemText(1), "#side");
    EXPECT_EQ(WithoutId(Html(Tool<TToolImg>(), [](QWidget* D) {
                  SetField(D, "EditSrc", "a.gif");
                  SetField(D, "EditAlt", "   ");
                  SetField(D, "EditWidth", "10");
                  SetField(D, "ComboMap", "#nav");
                  Check(D, "CheckServerMap", true);
              })).substr(0, 16),
              "<img id=\"ID\" src");
    EXPECT_NE(Html(Tool<TToolImg>(), [](QWidget* D) {
                  SetField(D, "EditSrc", "a.gif");
                  SetField(D, "EditAlt", "   ");
                  SetField(D, "EditWidth", "10");
                  SetField(D, "ComboMap", "#nav");
                  Check(D, "CheckServerMap", true);
              }).find(" width=\"10\" usemap=\"#nav\" ismap>"),
              std::string::npos);

    // the form holds one empty paragraph
    EXPECT_EQ(Html(Tool<TToolForm>(), [](QWidget* D) { SetField(D, "EditAction", "send.php?a=1&b=2"); }),
              "<form action=\"send.php?a=1&amp;b=2\"><p>&nbsp;</p></form>");
    EXPECT_EQ(Html(Tool<TToolInputButton>(), [](QWidget* D) { SetField(D, "EditName", "go"); }),
              "<input name=\"go\" type=\"Submit\">");
    EXPECT_EQ(Html(Tool<TToolInputButton>(), [](QWidget* D) {
                  SetField(D, "EditName", "  go ");
                  SetField(D, "ComboType", "");
              }),
              "<input name=\"go\">");
    EXPECT_EQ(Html(Tool<TToolInputButton>(), [](QWidget* D) {
                  SetField(D, "EditName", "go");
                  D->findChild<QComboBox*>("ComboType")->setCurrentIndex(1);
                  Check(D, "CheckDisabled", true);
              }),
              "<input name=\"go\" type=\"Reset\" disabled>");
    EXPECT_EQ(Html(Tool<TToolInputCheck>(), [](QWidget* D) { SetField(D, "EditName", "c"); }),
              "<input type=\"checkbox\" name=\"c\">");
    EXPECT_EQ(Html(Tool<TToolInputRadio>(), [](QWidget* D) {
                  EXPECT_EQ(D->windowTitle(), "  Radio Button");
                  SetField(D, "EditName", "r");
                  Check(D, "CheckChecked", true);
              }),
              "<input type=\"radio\" name=\"r\" checked>");
    EXPECT_EQ(Html(Tool<TToolInputPassword>(), [](QWidget* D) {
                  EXPECT_EQ(D->windowTitle(), "  Input Password");
                  SetField(D, "EditName", "p");
                  SetField(D, "EditWidth", "  ");
                  SetField(D, "EditMax", "8");
                  Check(D, "CheckReadOnly", true);
              }),
              "<input type=\"password\" name=\"p\" maxlength=\"8\" readonly>");
    EXPECT_EQ(Html(Tool<TToolInputFile>(), [](QWidget* D) { SetField(D, "EditName", "f"); }),
              "<input type=\"file\" name=\"f\">");
    // text areas: the memo's lines break with CR LF, and nothing is added after the last
    EXPECT_EQ(Html(Tool<TToolTextArea>(), [](QWidget* D) { SetField(D, "EditName", "t"); }),
              "<textarea name=\"t\"></textarea>");
    EXPECT_EQ(Html(Tool<TToolTextArea>(), [](QWidget* D) {
                  SetField(D, "EditName", "t");
                  SetField(D, "MemoValue", QString::fromUtf8("a < b & \xd0\x96\nsecond"));
              }),
              "<textarea name=\"t\">a &lt; b &amp; \xd0\x96\r\nsecond</textarea>");
    // the marquee's defaults, kept on the stored node too
    const std::string Marquee = WithoutId(Html(Tool<TToolMarquee>(), [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditWidth"), "100%");
        EXPECT_EQ(FieldText(D, "EditHeight"), "30");
        SetField(D, "MemoText", "Run <fast>");
        SetField(D, "ComboBehavior", "slide");
        Check(D, "CheckLoop", true);
    }));
    EXPECT_TRUE(QString::fromStdString(Marquee).endsWith("\" width=\"100%\" height=\"30\">")) << Marquee;
    auto* NewMarquee = dynamic_cast<THtmlTag*>(Filter.Object(Filter.ObjectCount() - 1));
    ASSERT_TRUE(NewMarquee && NewMarquee->Kind() == tagMarquee);
    EXPECT_EQ(NewMarquee->GetAttribute(attrBehavior), u"slide");
    EXPECT_EQ(NewMarquee->GetAttribute(attrLoop), u"YES");
    EXPECT_EQ(NewMarquee->GetAttribute(attrWidth), u"100%");
    EXPECT_EQ(dynamic_cast<THtmlText*>(NewMarquee->FirstNode())->Text, u"Run &lt;fast&gt;");
    // placeholders write what is typed as the page is to show it
    EXPECT_NE(Html(Tool<TToolInputHidden>(), [](QWidget* D) {
                  SetField(D, "EditName", "h");
                  SetField(D, "EditValue", "a\"&amp;");
              }).find("hidden.gif"),
              std::string::npos);
    auto* Hidden = dynamic_cast<THtmlTag*>(Filter.Object(Filter.ObjectCount() - 1));
    EXPECT_EQ(Hidden->GetAttribute(attrValue), u"a&quot;&amp;amp;");

    // required fields, in order, each refusal with its message
    using V = std::vector<std::string>;
    const auto Set = [](const char* Name, const char* Text) { return [=](QWidget* D) { SetField(D, Name, Text); }; };
    EXPECT_EQ(Refusals(Prepare(Tool<TToolForm>()).get(), {Set("EditAction", "a.php")}),
              V{"Please specify an action (cgi, php, asp, etc.) for this form."});
    for (TToolItem* T : std::initializer_list<TToolItem*>{Tool<TToolInputButton>(), Tool<TToolInputCheck>(),
                                                         Tool<TToolInputEdit>(), Tool<TToolSelectList>(),
                                                         Tool<TToolTextArea>()})
        EXPECT_EQ(Refusals(Prepare(T).get(), {Set("EditName", " ")}), V{"Please specify a name."}) << T->Hint;
    // a refused field on a tab page not shown brings its page to the front
    const std::unique_ptr<TTagEditor> Select = Prepare(Tool<TToolSelectList>());
    auto* Pages = Select->findChild<QTabWidget*>();
    ASSERT_NE(Pages, nullptr);
    Pages->setCurrentIndex(1);
    EXPECT_EQ(Refusals(Select.get(), {Set("EditName", "s")}), V{"Please specify a name."});
    EXPECT_TRUE(Pages->currentWidget()->isAncestorOf(Select->findChild<QWidget*>("EditName")));
    EXPECT_EQ(Refusals(Prepare(Tool<TToolInputHidden>()).get(), {Set("EditName", "n"), Set("EditValue", "v")}),
              (V{"Please specify a name.", "Please specify a value."}));
    EXPECT_EQ(Refusals(Prepare(Tool<TToolInputImage>(), {}, Set("EditSrc", "b.gif")).get(),
                       {Set("EditName", "n"), Set("EditSrc", "")}),
              (V{"Please specify a name."}));
    EXPECT_EQ(Refusals(Prepare(Tool<TToolInputImage>()).get(), {Set("EditName", "n"), Set("EditSrc", "b.gif")}),
              (V{"Please specify a name.", "Please specify an image."}));
    EXPECT_EQ(Refusals(Prepare(Tool<TToolImg>()).get(), {Set("EditSrc", "a.gif")}), V{"Please specify an image."});
    EXPECT_EQ(Refusals(Prepare(Tool<TToolMarquee>()).get(), {Set("MemoText", " \n "), Set("MemoText", "x")}),
              (V{"Please specify a text first.", "Please specify a text first."}));
    EXPECT_TRUE(Prepare(Tool<TToolTable>())->CheckFields());
    // a table too large to show is refused; a count that is no number counts as 4
    EXPECT_EQ(Refusals(Prepare(Tool<TToolTable>(), {}, [](QWidget* D) {
                  SetField(D, "EditRows", "100000");
                  SetField(D, "EditCols", "20");
              }).get(),
                       {Set("EditRows", "99999999999")}),
              V{"Please specify fewer rows or columns: a new table can have at most 100000 cells."});
    EXPECT_TRUE(Prepare(Tool<TToolTable>(), {}, [](QWidget* D) {
                    SetField(D, "EditRows", "1000");
                    SetField(D, "EditCols", "100");
                })->CheckFields());
}

TEST(ElementTools, SelectChoicesRoundTrip)
{
    TDesignerHost::Get().LoadBody("<p>x</p>");
    const std::unique_ptr<TTagEditor> Dialog = Prepare(Tool<TToolSelectList>());
    auto* Select = static_cast<TFormToolSelect*>(Dialog.get());
    EXPECT_EQ(FieldText(Select, "EditLines"), "5");
    const auto Build = [&](const QString& Memo, bool Grouped) {
        SetField(Select, "MemoChoices", Memo);
        Check(Select, "CheckGrouped", Grouped);
        return QString::fromStdU16String(Select->BuildOptions()).toStdString();
    };
    SetField(Select, "EditName", "s");
    SetField(Select, "MemoChoices", "Choice\tv");
    WideString S;
    Select->GetHTML(S);
    EXPECT_EQ(S, u"<select name=\"s\" size=\"5\">\r\n\r\n  <option value=\"v\">Choice</option>\r\n</select>");
    SetField(Select, "EditLines", "1");
    SetField(Select, "MemoChoices", " \n\n  ");
    Select->GetHTML(S);
    EXPECT_EQ(S, u"<select name=\"s\" size=\"2\">\r\n\r\n</select>");
    // the memo's ordinary lines: text, value and the selected mark
    EXPECT_EQ(Build("A\t\tv1\nB\tv2\tSELECTED\n\nC", false),
              "\r\n  <option value=\"v1\">A</option>\r\n  <option value=\"v2\" selected>B</option>"
              "\r\n  <option></option>\r\n  <option>C</option>");
    EXPECT_EQ(Build("G \"1\"\n\tA\ta&b\n\tB\n", true),
              "\r\n  <optgroup label=\"G &quot;1&quot;\">\r\n    <option value=\"a&amp;b\">A</option>"
              "\r\n    <option>B</option>\r\n  </optgroup>");
    EXPECT_EQ(Build("\tFirst\nG\n\tA", true),
              "\r\n    <option>First</option>\r\n  <optgroup label=\"G\">\r\n    <option>A</option>\r\n  </optgroup>");
    // changed: "selected" after two TABs selects an option without a value; after one it is
    // the value
    EXPECT_EQ(Build("A\t\tselected\nB\tselected", false),
              "\r\n  <option selected>A</option>\r\n  <option value=\"selected\">B</option>");
    // changed: grouped, a line with text before a TAB is a choice outside the groups
    EXPECT_EQ(Build("G\n\tA\tva\nLoose\t\nH\n\tB", true),
              "\r\n  <optgroup label=\"G\">\r\n    <option value=\"va\">A</option>\r\n  </optgroup>"
              "\r\n  <option>Loose</option>\r\n  <optgroup label=\"H\">\r\n    <option>B</option>\r\n  </optgroup>");

    // a select with everything awkward reads back into choices that build the same options
    const WideString Tricky = Utf8ToUtf16(
        "<select name=\"x\"><option>Plain \xd0\x96</option><option selected>Chosen &amp; no value</option>"
        "<optgroup label=\"G &quot;1&quot; \xd0\x96\"><option value=\"a&amp;b\" selected>A &lt; B</option>"
        "<option value=\"2\">Two</option></optgroup><option value=\"loose\">Loose</option>"
        "<optgroup label=\"H\"><option>Last</option></optgroup></select>");
    Select->LoadChoices(Tricky);
    EXPECT_TRUE(Select->findChild<QCheckBox*>("CheckGrouped")->isChecked());
    EXPECT_EQ(FieldText(Select, "MemoChoices"),
              QString::fromUtf8("Plain \xd0\x96\t\nChosen & no value\t\tselected\nG \"1\" \xd0\x96\n"
                                "\tA < B\ta&b\tselected\n\tTwo\t2\nLoose\tloose\nH\n\tLast\t"));
    EXPECT_EQ(QString::fromStdU16String(Select->BuildOptions()).toStdString(),
              "\r\n  <option>Plain \xd0\x96</option>\r\n  <option selected>Chosen &amp; no value</option>"
              "\r\n  <optgroup label=\"G &quot;1&quot; \xd0\x96\">\r\n    <option value=\"a&amp;b\" selected>A &lt; B</option>"
              "\r\n    <option value=\"2\">Two</option>\r\n  </optgroup>\r\n  <option value=\"loose\">Loose</option>"
              "\r\n  <optgroup label=\"H\">\r\n    <option>Last</option>\r\n  </optgroup>");

    // the help takes the memo's place and gives it back
    auto* Help = Select->findChild<QPushButton*>("Button3");
    Select->show();
    Help->click();
    EXPECT_EQ(Help->text(), "Hide Help");
    EXPECT_TRUE(!Select->findChild<QTextEdit*>("RichEdit1")->isHidden());
    EXPECT_FALSE(!Select->findChild<QPlainTextEdit*>("MemoChoices")->isHidden());
    EXPECT_TRUE(Select->findChild<QTextEdit*>("RichEdit1")->toPlainText().startsWith("Use one or more TAB"));
    Select->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
    Select->grab().save("/tmp/zv-dialog-select-help.png");
    Help->click();
    EXPECT_EQ(Help->text(), "Show Help");
    EXPECT_TRUE(!Select->findChild<QPlainTextEdit*>("MemoChoices")->isHidden());
    Select->hide();
}

namespace {

// One element of the every-tool page, where a double click takes it (the n-th match of
// Selector; in its middle, or just inside its top left corner where its own padding or cell
// spacing is), what its dialog shows, one field changed and what that changes in the saved page.
struct TToolCase {
    const char* Selector;
    int Index;
    bool Corner;
    const char* Title;
    std::vector<std::pair<const char*, const char*>> Shows;
    const char* Field;
    const char* Value;
    const char* Before;
    const char* After;
};

const TToolCase ToolCases[] = {
    {"table", 0, true, "  Table Properties", {{"EditBorder", "1"}, {"EditPadding", "0"}}, "EditWidth", "60%", " width=\"50%\" cellspacing", " width=\"60%\" cellspacing"},
    {"#c", 0, false, "  Cell Properties", {{"EditColSpan", "2"}}, "EditBgColor", "#00ff00", " bgcolor=\"#ff0000\"", " bgcolor=\"#00ff00\""},
    {"#c1", 0, false, "  Cell Properties", {{"EditColSpan", "1"}, {"EditRowSpan", "1"}}, "EditColSpan", "3", " colspan=\"1\"", " colspan=\"3\""},
    {"#pi img", 0, false, "  Image Properties", {{"EditHSpace", "0"}, {"EditAlt", ""}, {"EditSrc", "pic.gif"}},
     "EditAlt", "Bild & mehr", " alt=\"\" width=\"10\"", " alt=\"Bild &amp; mehr\" width=\"10\""},
    {"#h", 0, false, "  Horizontal Rule", {{"CheckNoShade", "1"}}, "EditHeight", "6", " size=\"4\" noshade", " size=\"6\" noshade"},
    {"#br", 0, false, "  Line Break", {{"ComboClear", "all"}}, "ComboClear", "left", " clear=\"all\"", " clear=\"left\""},
    {"img[src=\"edit:anchor.gif\"]", 0, false, "  Anchor", {{"EditName", "top"}}, "EditName", "bottom", " name=\"top\"", " name=\"bottom\""},
    {"img[src=\"edit:comment.gif\"]", 0, false, "  Comment", {}, "MemoComment", "<!-- other -->", "<!-- note &amp; \xd0\x96 -->", "<!-- other -->"},
    {"img[src=\"edit:script.gif\"]", 0, false, "  Script", {}, "ComboType", "text/jscript", " type=\"text/javascript\" class=\"s\"",
     " type=\"text/jscript\" class=\"s\""},
    {"img[src=\"edit:scriptfile.gif\"]", 0, false, "  Script File", {}, "EditSrc", "lib2.js", " src=\"lib&amp;x.js\"", " src=\"lib2.js\""},
    {"img[src=\"edit:bgsound.gif\"]", 0, false, "  Background Sound", {{"CheckAutoStart", "1"}}, "EditSrc", "b.mid", " src=\"a&amp;b.mid\"", " src=\"b.mid\""},
    {"#f", 0, true, "  Form Properties", {}, "ComboMethod", "get", " method=\"post\"", " method=\"get\""},
    {"#it", 0, false, "  Input Text", {{"EditMax", "2147483647"}, {"EditTab", "32768"}, {"EditValue", ""}},
     "EditWidth", "12", " size=\"10\"", " size=\"12\""},
    {"#ip", 0, false, "  Input Password", {{"EditMax", "0"}, {"EditTab", "0"}}, "EditValue", "s&c2", " value=\"s&amp;c\"", " value=\"s&amp;c2\""},
    {"#if", 0, false, "  Input File", {}, "EditName", "up2", " name=\"up\"", " name=\"up2\""},
    {"#ib", 0, false, "  Input Button", {{"EditName", ""}}, "EditCaption", "Go \"now\"", " value='Send \"it\" &amp; \xd0\x96'",
     " value=\"Go &quot;now&quot;\""},
    {"#ix", 0, false, "  Input Button", {{"EditCaption", ""}}, "EditCaption", "Clear", " value=\"\" data-r", " value=\"Clear\" data-r"},
    {"#ic", 0, false, "  Checkbox", {}, "CheckChecked", "", " checked title", " title"},
    {"#ir", 0, false, "  Radio Button", {}, "CheckChecked", "on", " class=\"rr\" tabindex=\"32768\">", " class=\"rr\" tabindex=\"32768\" checked>"},
    {"img[src=\"edit:hidden.gif\"]", 0, false, "  Hidden Field", {{"EditValue", ""}}, "EditValue", "w", " value=\"\" id=\"ih\"",
     " value=\"w\" id=\"ih\""},
    {"#pim img", 0, false, "  Image Button", {{"EditAlt", ""}, {"EditVSpace", "0"}}, "EditAlt", "Go", " alt=\"\" width=\"30\"",
     " alt=\"Go\" width=\"30\""},
    {"#sc", 0, false, "  Input Combobox", {{"EditTab", "32768"}}, "EditName", "combo2", " name=\"combo\"", " name=\"combo2\""},
    {"#sl", 0, false, "  Input Listbox", {}, "EditLines", "6", " size=\"4\" multiple", " size=\"6\" multiple"},
    {"#ta", 0, false, "  Text Area", {}, "EditCols", "30", " cols=\"20\"", " cols=\"30\""},
    {"#pm img", 0, false, "  Marquee", {{"CheckLoop", "0"}, {"EditHSpace", "0"}}, "ComboBehavior", "slide", " behavior=\"alternate\"",
     " behavior=\"slide\""},
    // a change rewrites a media object's PARAMs and EMBED: the unchanged OK is what counts
    {"img.dsgn_flash", 0, false, "  Flash Player Properties", {{"EditMovie", "m&n.swf"}}},
    {"img.dsgn_quicktime", 0, false, "  QuickTime Properties", {}},
    {"img.dsgn_real", 0, false, "  Real Player Properties", {}},
    {"img.dsgn_mplayer", 0, false, "  Windows Media Player Properties", {{"EditMovie", "new.wmv"}}},
    {"img.dsgn_mplayer", 1, false, "  Windows Media Player Properties", {{"EditMovie", "old & media.asf"}}},
    {"img.dsgn_applet", 0, false, "  Java Applet Properties", {{"EditAlt", ""}}, "EditTitle", "App", " title=\"\xd0\x90\xd0\xbf\xd0\xbf\xd0\xbb\xd0\xb5\xd1\x82\"",
     " title=\"App\""},
    {"img.dsgn_activex", 0, false, "  ActiveX Properties", {{"EditClassID", ""}}, "EditWidth", "120", " width=\"100\" height=\"50\" class=\"svg\"",
     " width=\"120\" height=\"50\" class=\"svg\""},
};

// Double-clicks the element of C as the user does, and answers its dialog with Fill and OK; a
// refused OK cancels. The dialog's title and the message of a refusal.
std::pair<QString, QString> DoubleClickAndOk(const TToolCase& C, const TFill& Fill = {})
{
    TDesignerHost& H = TDesignerHost::Get();
    const QRectF R = ElementBox(C.Selector, C.Index);
    const double Left = R.left(), Top = R.top(), Width = R.width(), Height = R.height();
    QString Title, Refusal;
    TModalAnswer Answer([&](QWidget* Dialog) {
        Title = Dialog->windowTitle();
        for (const auto& [Name, Text] : C.Shows) {
            auto* Box = Dialog->findChild<QCheckBox*>(Name);
            EXPECT_EQ(Box ? QString(Box->isChecked() ? "1" : "0") : FieldText(Dialog, Name), QString::fromUtf8(Text)) << Name;
        }
        if (Fill) Fill(Dialog);
        TModalAnswer Box([&](QWidget* Message) {
            Refusal = Message->property("text").toString();
            static_cast<QDialog*>(Message)->accept();
        });
        PressOk(Dialog);
        if (Dialog->isVisible()) PressCancel(Dialog);
    });
    if (Width < 1 || Height < 1) {
        // a line break has no box to click: its properties command opens it
        Palette().EditElement(H.Designer().Document().getElementById(H.DesignId(C.Selector, C.Index)));
    } else {
        const QPointF At = C.Corner ? QPointF(Left + 4, Top + 4) : QPointF(Left + Width / 2, Top + Height / 2);
        PageDoubleClick(H.Designer(), At.toPoint());
    }
    EXPECT_TRUE(WaitFor([&] { return Answer.Seen; }, 3000));
    return {Title, Refusal};
}

}  // namespace

TEST(ElementTools, EveryToolUnchangedOkKeepsEveryByteAndOneFieldChangesOnlyItsText)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("every-tool.html", ReadAll(ZV_TEST_DATA "/tools/every-tool.html"));
    const std::string Before = SaveBytes("every-tool-0.html");
    D.OnDblClick = [&](QObject*) { Palette().EditElement(D.CurrentElement()); };
    for (const TToolCase& C : ToolCases) {
        SCOPED_TRACE(std::string(C.Selector) + " " + C.Title);
        // an unchanged OK closes, refused by no check, and changes nothing
        const auto [Title, Refusal] = DoubleClickAndOk(C);
        EXPECT_EQ(Title, C.Title);
        EXPECT_EQ(Refusal, "");
        EXPECT_EQ(SaveBytes("every-tool-1.html"), Before);
        if (!C.Field) continue;
        // one field changed changes that attribute's text alone, as one undo step
        ASSERT_NE(Before.find(C.Before), std::string::npos) << Before;
        ASSERT_EQ(Before.find(C.Before), Before.rfind(C.Before)) << C.Before;
        DoubleClickAndOk(C, [&](QWidget* Dialog) {
            if (QString(C.Field).startsWith("Check")) Check(Dialog, C.Field, *C.Value != 0);
            else SetField(Dialog, C.Field, QString::fromUtf8(C.Value));
        });
        std::string Expected = Before;
        Expected.replace(Expected.find(C.Before), strlen(C.Before), C.After);
        EXPECT_EQ(SaveBytes("every-tool-2.html"), Expected);
        D.Undo();
        EXPECT_EQ(SaveBytes("every-tool-3.html"), Before);
    }
    // the older player's movie goes back where the page keeps it
    DoubleClickAndOk(ToolCases[std::size(ToolCases) - 3], [](QWidget* Dialog) { SetField(Dialog, "EditMovie", "other.asf"); });
    const std::string Moved = SaveBytes("every-tool-4.html");
    EXPECT_NE(Moved.find("<param name=\"FileName\" value=\"other.asf\">"), std::string::npos) << Moved;
    EXPECT_EQ(Moved.find("name=\"URL\" value=\"other.asf\""), std::string::npos) << Moved;
    D.OnDblClick = nullptr;
}

TEST(ElementTools, ApplyWritesTheElementAndItsStoredNode)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("apply.html",
               "<html><head><title>Apply</title></head><body>\n"
               "<table border=\"1\" width=\"50%\" class=\"old\"><tr><td id=\"one\" colspan=\"1\" rowspan=\"1\">a</td>"
               "<td id=\"two\" colspan=\"2\" bgcolor=\"red\">b</td></tr></table>\n"
               "<p id=\"p\"><img src=\"pic.gif\" align=\"left\" width=\"10\" style=\"width: 40px\"></p>\n"
               "<p><marquee loop=\"yes\" scrolldelay=\"50\">Run</marquee><marquee></marquee></p>\n"
               "<p id=\"q\">text</p>\n"
               "<form><select id=\"s\" name=\"s\" class=\"k\"><option value=\"\" disabled>A</option><optgroup label=\"G\" class=\"g\">"
               "<option value=\"b\" selected>B</option></optgroup><option class=\"c\">C</option><option>D</option></select></form>\n"
               "</body></html>\n");
    THtmlDesigner& D = H.Designer();
    const std::string Loaded = SaveBytes("apply-0.html");
    // the table: border 0 gives the layout class, the stored node takes border and size
    THtmlElement Table = Find("table");
    EditElement(Table, [](QWidget* W) {
        EXPECT_TRUE(W->findChild<QLineEdit*>("EditRows")->isHidden());
        EXPECT_EQ(FieldText(W, "EditWidth"), "50%");
        SetField(W, "EditBorder", "0");
        SetField(W, "EditWidth", "70%");
    });
    EXPECT_EQ(GetAttr(Table, "class"), u"dsgn_layout");
    EXPECT_EQ(StoredOf(Table)->GetAttribute(attrBorder), u"0");
    EXPECT_EQ(StoredOf(Table)->GetAttribute(attrWidth), u"70%");
    EXPECT_EQ(GetAttr(Table, "width"), u"70%");
    // cells: written spans show as read and stay, ones included; an emptied colour goes
    EXPECT_EQ(EditElement(D.Document().getElementById("one"), [](QWidget* W) {
                  EXPECT_EQ(FieldText(W, "EditColSpan"), "1");
                  EXPECT_EQ(FieldText(W, "EditRowSpan"), "1");
              }),
              "  Cell Properties");
    EditElement(D.Document().getElementById("two"), [](QWidget* W) {
        EXPECT_EQ(FieldText(W, "EditColSpan"), "2");
        SetField(W, "EditBgColor", "");
        Check(W, "CheckNoWrap", true);
    });
    // the image: an emptied align leaves element and stored node, the style goes, the size is
    // stored; a new source gets its design src
    THtmlElement Img = Find("#p img");
    StoredOf(Img)->SetAttribute(attrAlign, u"left");
    EditElement(Img, [](QWidget* W) {
        EXPECT_EQ(FieldText(W, "EditSrc"), "pic.gif");
        SetField(W, "ComboAlign", "");
        SetField(W, "EditHeight", "15");
        SetField(W, "EditSrc", "http://example.com/b.gif");
    });
    EXPECT_FALSE(Img.getAttribute("align"));
    EXPECT_FALSE(StoredOf(Img)->HasAttribute(attrAlign));
    EXPECT_FALSE(Img.getAttribute("style"));
    EXPECT_EQ(StoredOf(Img)->GetAttribute(attrHeight), u"15");
    EXPECT_EQ(GetAttr(Img, "class"), u"dsgn_remote");
    // the marquee: "yes" is not "YES", so the box shows no loop, and the loop stays while the
    // box is left alone; an emptied delay goes; a marquee without text gets one
    EXPECT_EQ(EditElement(Find(".dsgn_marquee"), [](QWidget* W) {
                  EXPECT_FALSE(W->findChild<QCheckBox*>("CheckLoop")->isChecked());
                  SetField(W, "EditScrollDelay", "");
              }),
              "  Marquee");
    EditElement(Find(".dsgn_marquee:nth-of-type(2)"), [](QWidget* W) {
        EXPECT_EQ(FieldText(W, "MemoText"), "");
        SetField(W, "MemoText", "New & <b>");
    });
    // a select whose choices changed: a changed choice keeps what the memo does not show (an
    // empty value too), an unchanged one stays as it was, a new one is added, a removed one goes
    EditElement(D.Document().getElementById("s"), [](QWidget* W) {
        EXPECT_EQ(FieldText(W, "MemoChoices"), "A\t\nG\n\tB\tb\tselected\nC\t\nD\t");
        SetField(W, "MemoChoices", "Pick\t\nG\n\tB\tb\tselected\nC2\tc\nE\te");
    });
    // the saved page with its line breaks and indents taken out
    const auto Squeezed = [](std::string S) {
        for (size_t At = S.find("\r\n"); At != std::string::npos; At = S.find("\r\n", At)) {
            size_t End = At + 2;
            while (End < S.size() && S[End] == ' ') ++End;
            S.erase(At, End - At);
        }
        return S;
    };
    const std::string Saved = Squeezed(SaveBytes("apply-1.html"));
    for (const char* Part : {"<table border=\"0\" width=\"70%\" class=\"old\">", "<td id=\"one\" colspan=\"1\" rowspan=\"1\">a</td>",
                             "<td id=\"two\" colspan=\"2\" nowrap>b</td>", "<img src=\"http://example.com/b.gif\" width=\"10\" height=\"15\" style=\"width: 40px\">",
                             "<marquee loop=\"yes\">Run</marquee>", "<marquee>New &amp; &lt;b&gt;</marquee>",
                             "<select id=\"s\" name=\"s\" class=\"k\"><option value=\"\" disabled>Pick</option><optgroup label=\"G\" class=\"g\">"
                             "<option value=\"b\" selected>B</option></optgroup><option value=\"c\" class=\"c\">C2</option>"
                             "<option value=\"e\">E</option></select>"})
        EXPECT_NE(Saved.find(Part), std::string::npos) << Part << "\n" << Saved;
    // undo takes every edit back, stored nodes included, and redo brings them again
    while (D.CanUndo()) D.Undo();
    EXPECT_EQ(SaveBytes("apply-undone.html"), Loaded);
    while (D.CanRedo()) D.Redo();
    EXPECT_EQ(Squeezed(SaveBytes("apply-redone.html")), Saved);
    // grouping turned off: the group's line becomes a choice, not the group again
    EditElement(D.Document().getElementById("s"), [](QWidget* W) { Check(W, "CheckGrouped", false); });
    EXPECT_EQ(H.Eval("document.getElementById('s').querySelectorAll('optgroup').length").toInt(), 0);
    EXPECT_EQ(H.Eval("document.getElementById('s').options[1].text").toString(), "G");

    // a pasted table has no stored node: the dialog reads and writes the live element
    H.Eval("document.getElementById('p').insertAdjacentHTML('afterend', '<table id=\"pasted\" width=\"33\"><tr><td>c</td></tr></table>')");
    THtmlElement Pasted = D.Document().getElementById("pasted");
    ASSERT_TRUE(Pasted);
    EXPECT_EQ(StoredOf(Pasted), nullptr);
    EditElement(Pasted, [](QWidget* W) {
        EXPECT_EQ(FieldText(W, "EditWidth"), "33");
        SetField(W, "EditWidth", "44");
        SetField(W, "ComboAlign", "center");
    });
    EXPECT_EQ(GetAttr(Pasted, "width"), u"44");
    EXPECT_EQ(GetAttr(Pasted, "align"), u"center");
    // placeholder tools refuse a placeholder without a stored node
    H.Eval("document.getElementById('p').insertAdjacentHTML('beforeend', '<img id=\"ph\" src=\"edit:hidden.gif\" class=\"dsgn_marquee\">')");
    const THtmlElement Orphan = D.Document().getElementById("ph");
    for (TToolItem* T : std::initializer_list<TToolItem*>{Tool<TToolImg>(), Tool<TToolInputHidden>(),
                                                         Tool<TToolInputImage>(), Tool<TToolMarquee>()})
        EXPECT_FALSE(T->CanEdit(Orphan)) << T->Hint;

    // new elements through the palette keep their size in the saved page
    H.SelectText("#q", 0, 0);
    TModalAnswer NewTable([](QWidget* W) {
        SetField(W, "EditWidth", "");
        SetField(W, "EditRows", "1");
        SetField(W, "EditCols", "1");
        PressOk(W);
    });
    Palette().ExecuteTool<TToolTable>();
    H.SelectText("#q", 0, 0);
    TModalAnswer NewMarquee([](QWidget* W) {
        SetField(W, "MemoText", "Hello");
        PressOk(W);
    });
    Palette().ExecuteTool<TToolMarquee>();
    const std::string Inserted = Squeezed(SaveBytes("apply-2.html"));
    EXPECT_NE(Inserted.find("<table width=\"80%\" border=\"1\">"), std::string::npos) << Inserted;
    EXPECT_NE(Inserted.find("<marquee width=\"100%\" height=\"30\">Hello</marquee>"), std::string::npos) << Inserted;
}

TEST(ElementTools, FieldsShowWhatThePageShowsAndWriteWhatWasTyped)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("text.html",
               "<html><head><title>Text</title></head><body>\n"
               "<form id=\"f\"><p>Fields: <input type=\"text\" id=\"it\" name=\"it\" value=\"a &amp; b &lt;c&gt;\" data-x=\"k\">\n"
               "<select id=\"s\" name=\"s\"><option value=\"us\">USA &amp; Kanada</option>"
               "<option value=\"ru\">\xd0\xa0\xd0\xbe\xd1\x81\xd1\x81\xd0\xb8\xd1\x8f</option></select>\n"
               "<textarea id=\"ta\" name=\"ta\">Old &amp; &lt;new&gt;</textarea></p></form>\n"
               "<p><marquee behavior=\"slide\">Run &amp; run</marquee></p>\n"
               "<!-- a comment -->\n"
               "<p id=\"q\">end</p>\n"
               "</body></html>\n");
    const QString Russia = QString::fromUtf8("\xd0\xa0\xd0\xbe\xd1\x81\xd1\x81\xd0\xb8\xd1\x8f");
    const QString Marquee = "Hello &copy; AT&T <b>world</b>";
    DoubleClick("#it", 0, [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditValue"), "a & b <c>");
        SetField(D, "EditValue", "c & \"d\" <e>");
    });
    DoubleClick("#s", 0, [&](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoChoices"), "USA & Kanada\tus\n" + Russia + "\tru");
        SetField(D, "MemoChoices", FieldText(D, "MemoChoices") + "\nTwo & more\t2&3");
    });
    DoubleClick("#ta", 0, [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoValue"), "Old & <new>");
        SetField(D, "MemoValue", "x & <y>");
    });
    DoubleClick(".dsgn_marquee", 0, [&](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoText"), "Run & run");
        SetField(D, "MemoText", Marquee);
    });
    // a "--" could end the comment early: refused with a message, the dialog stays open
    DoubleClick("img[src=\"edit:comment.gif\"]", 0, [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoComment"), "<!-- a comment -->");
        SetField(D, "MemoComment", "<!-- a -- comment -->");
        QString Said;
        TModalAnswer Message([&](QWidget* Box) {
            Said = static_cast<QMessageBox*>(Box)->text();
            static_cast<QMessageBox*>(Box)->accept();
        });
        PressOk(D);
        EXPECT_EQ(Said, "A comment cannot hold \"--\".");
        EXPECT_TRUE(D->isVisible());
        SetField(D, "MemoComment", "->a comment-");
    });
    const std::string Saved = SaveBytes("text-1.html");
    for (const char* Part : {"value=\"c &amp; &quot;d&quot; <e>\" data-x=\"k\"", "<option value=\"us\">USA &amp; Kanada</option>",
                             "<option value=\"2&amp;3\">Two &amp; more</option>", ">x &amp; &lt;y&gt;</textarea>",
                             "<marquee behavior=\"slide\">Hello &amp;copy; AT&amp;T &lt;b&gt;world&lt;/b&gt;</marquee>",
                             "<!-- ->a comment- -->"})
        EXPECT_NE(Saved.find(Part), std::string::npos) << Part << "\n" << Saved;
    // the second opening of each shows what was typed, and an unchanged OK keeps the page
    DoubleClick("#it", 0, [](QWidget* D) { EXPECT_EQ(FieldText(D, "EditValue"), "c & \"d\" <e>"); });
    DoubleClick("#s", 0, [&](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoChoices"), "USA & Kanada\tus\n" + Russia + "\tru\nTwo & more\t2&3");
    });
    DoubleClick("#ta", 0, [](QWidget* D) { EXPECT_EQ(FieldText(D, "MemoValue"), "x & <y>"); });
    DoubleClick(".dsgn_marquee", 0, [&](QWidget* D) { EXPECT_EQ(FieldText(D, "MemoText"), Marquee); });
    DoubleClick("img[src=\"edit:comment.gif\"]", 0, [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "MemoComment"), "<!-- ->a comment- -->");
    });
    EXPECT_EQ(SaveBytes("text-2.html"), Saved);
}

TEST(ElementTools, DialogsForTheEye)
{
    TDesignerHost::Get().LoadBody("<p>x</p>");
    const std::pair<TToolItem*, const char*> Shots[] = {
        {Tool<TToolTable>(), "table"},      {Tool<TToolTd>(), "td"},
        {Tool<TToolImg>(), "img"},          {Tool<TToolForm>(), "form"},
        {Tool<TToolInputEdit>(), "input-text"}, {Tool<TToolInputButton>(), "input-button"},
        {Tool<TToolInputCheck>(), "input-check"}, {Tool<TToolInputHidden>(), "input-hidden"},
        {Tool<TToolInputImage>(), "input-image"}, {Tool<TToolSelectList>(), "select-list"},
        {Tool<TToolSelectCombo>(), "select-combo"}, {Tool<TToolTextArea>(), "textarea"},
        {Tool<TToolMarquee>(), "marquee"}};
    for (const auto& [T, Name] : Shots) {
        const std::unique_ptr<TTagEditor> Dialog = Prepare(T);
        TTagEditor* Editor = Dialog.get();
        Editor->show();
        Editor->adjustSize();
        if (std::string(Name) == "select-list") {
            Editor->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
            SetField(Editor, "MemoChoices", "Group 1\n\tChoice 1\tValue 1\tselected\n\tChoice 2\tValue 2");
            Check(Editor, "CheckGrouped", true);
        }
        if (std::string(Name) == "marquee") SetField(Editor, "EditBgColor", "#336699");
        Editor->grab().save(QString("/tmp/zv-dialog-%1.png").arg(Name));
        EXPECT_TRUE(Editor->windowTitle().startsWith("  ")) << Name;
        Editor->hide();
    }
}
