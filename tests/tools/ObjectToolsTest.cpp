// The sound, script, media, applet and ActiveX tools in the real design view: an unchanged OK
// keeps every byte, what they write into the stored nodes, the parameter grid and the class
// chooser.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>
#include <sstream>

#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ToolBgSound.h"
#include "ToolObjActiveX.h"
#include "ToolObjApplet.h"
#include "ToolObjFlash.h"
#include "ToolObjMPlayer.h"
#include "ToolObjQuickTime.h"
#include "ToolObjReal.h"
#include "ToolScript.h"
#include "ToolScriptFile.h"
#include "ToolsHost.h"
#include "UnitSelectClassID.h"

using namespace zv;
using namespace zv::test;

namespace {

THtmlElement ById(const std::string& Id) { return TDesignerHost::Get().Designer().Document().getElementById(Id); }

// The placeholder of the n-th element matched by Selector (a placeholder picture or class).
THtmlElement PlaceholderOf(const QString& Selector, int Index = 0)
{
    return ById(TDesignerHost::Get().DesignId(Selector, Index));
}

THtmlTag* Stored(const THtmlElement& Placeholder)
{
    return dynamic_cast<THtmlTag*>(TDesignerHost::Get().Designer().StoredNode(Placeholder));
}

// The stored node of the first placeholder of Selector.
THtmlTag* StoredOf(const QString& Selector) { return Stored(PlaceholderOf(Selector)); }

// "param name=value", "embed", "tag" or "text" for each child; blank texts left out.
std::string Children(const THtmlTag* Node)
{
    std::string Out;
    for (const THtmlNode* N = Node->FirstNode(); N; N = N->NextNode()) {
        auto* Text = dynamic_cast<const THtmlText*>(N);
        if (Text && Trim(Text->Text).empty()) continue;
        if (!Out.empty()) Out += " | ";
        if (auto* Tag = dynamic_cast<const THtmlTag*>(N)) {
            Out += Tag->Kind() == tagParam ? "param " : Tag->Kind() == tagEmbed ? "embed" : "tag";
            if (Tag->Kind() == tagParam)
                Out += Utf16ToUtf8(Tag->GetAttribute(attrName)) + "=" + Utf16ToUtf8(Tag->GetAttribute(attrValue));
        } else {
            Out += "text";
        }
    }
    return Out;
}

void UseDocumentName()
{
    Palette().Host.FileName = [] { return TDesignerHost::Get().Folder() / "objects.html"; };
}

bool Checked(QWidget* Dialog, const char* Name) { return Dialog->findChild<QCheckBox*>(Name)->isChecked(); }
void Check(QWidget* Dialog, const char* Name, bool On) { Dialog->findChild<QCheckBox*>(Name)->setChecked(On); }

// Counts message boxes answered while a dialog is up, and their texts.
struct TMessages {
    std::vector<QString> Texts;
    void Expect(QWidget* Dialog, std::function<void()> Press)
    {
        TModalAnswer Message([this](QWidget* Box) {
            auto* M = qobject_cast<QMessageBox*>(Box);
            Texts.push_back(M ? M->text() : QString());
            if (M) M->accept();
        });
        Press();
        EXPECT_TRUE(Dialog->isVisible());
    }
};

}  // namespace

TEST(ObjectTools, UnchangedOkKeepsEveryByteForEveryTool)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("objects.html", ReadAll(ZV_TEST_DATA "/tools/objects.html"));
    const std::string Before = SaveBytes("objects-0.html");
    // the file saved without opening a tool keeps the objects' odd spellings
    EXPECT_NE(Before.find("<param name=\"Play\" value=\"FALSE\">"), std::string::npos) << Before;

    struct TCase {
        TToolItem* Tool;
        QString Placeholder;
        std::function<void(QWidget*)> Shows;
    };
    const TCase Cases[] = {
        {Tool<TToolBgSound>(), "img[src=\"edit:bgsound.gif\"]",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditSrc"), "a&b \"x\".mid");
             EXPECT_EQ(D->findChild<QSpinBox*>("SpinLoop")->value(), -1);   // not a number
             EXPECT_FALSE(Checked(D, "CheckAutoStart"));                     // "true" is not "TRUE"
         }},
        {Tool<TToolScript>(), "img[src=\"edit:script.gif\"]",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "ComboType"), "text/java\"script");
             EXPECT_FALSE(Checked(D, "CheckDefer"));
             EXPECT_EQ(D->findChild<QsciScintilla*>("Editor")->text(), "var s = \"a & b\"; // it's < 3 && \"quoted\"");
         }},
        {Tool<TToolScriptFile>(), "img[src=\"edit:scriptfile.gif\"]",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditSrc"), "lib&x.js");
             EXPECT_EQ(FieldText(D, "ComboCharset"), "");   // not a name of the table
             EXPECT_TRUE(Checked(D, "CheckDefer"));
         }},
        {Tool<TToolObjFlash>(), "img.dsgn_flash",   // class id in other letter case
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditMovie"), "m&n \".swf");
             EXPECT_FALSE(Checked(D, "CheckPlay"));   // "Play" = "FALSE"
             EXPECT_TRUE(Checked(D, "CheckLoop"));
             EXPECT_EQ(FieldText(D, "EditLoading"), "Loading \"it\"");
         }},
        {Tool<TToolObjQuickTime>(), "img.dsgn_quicktime",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditMovie"), "clip&.mov");
             EXPECT_EQ(FieldText(D, "ComboFullscreen"), "full");
             EXPECT_EQ(D->findChild<QSlider*>("TrackVolume")->value(), 100);
         }},
        {Tool<TToolObjReal>(), "img.dsgn_real",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "ComboControls"), "ExtraCtrl");   // kept, not "Default"
             EXPECT_EQ(FieldText(D, "EditBgColor"), "");
         }},
        {Tool<TToolObjMPlayer>(), "img.dsgn_mplayer",   // the older class id
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditMovie"), "m.wmv");
             EXPECT_EQ(D->findChild<QSlider*>("TrackVolume")->value(), 100);   // "loud"
             EXPECT_EQ(FieldText(D, "EditPlayCount"), "");
         }},
        {Tool<TToolObjApplet>(), "img.dsgn_applet",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditCode"), "A&B.class");
             auto* Grid = D->findChild<TParamGrid*>("ParamGrid");
             ASSERT_EQ(Grid->rowCount(), 2);
             EXPECT_EQ(Grid->Cell(0, 0), "one");
             EXPECT_EQ(Grid->Cell(1, 0), "1 & 2");
             EXPECT_EQ(Grid->Cell(0, 1), "empty");
         }},
        {Tool<TToolObjActiveX>(), "img.dsgn_activex",
         [](QWidget* D) {
             EXPECT_EQ(FieldText(D, "EditClassID"), "clsid:11111111-2222-3333-4444-555555555555");
             EXPECT_EQ(FieldText(D, "EditCodeBase"), "c&d.cab");
             EXPECT_EQ(D->findChild<TParamGrid*>("ParamGrid")->Cell(1, 0), "\"");
         }},
    };
    int Step = 0;
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Tool->Hint);
        const THtmlElement Placeholder = PlaceholderOf(C.Placeholder);
        ASSERT_TRUE(Placeholder) << C.Placeholder.toStdString();
        Edit(Placeholder, [&](QWidget* Dialog) {
            EXPECT_EQ(typeid(*Dialog), typeid(*C.Tool->NewEditor()));   // the first tool that takes it
            C.Shows(Dialog);
        });
        EXPECT_EQ(SaveBytes("objects-" + std::to_string(++Step) + ".html"), Before);
    }
}

TEST(ObjectTools, MediaObjectsWriteParamsAndOneEmbedLast)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("objects.html", ReadAll(ZV_TEST_DATA "/tools/objects.html"));
    UseDocumentName();

    // a new Flash object with only a movie: the PARAM "movie" and the EMBED, nothing else
    InsertAt("#p", 3, Tool<TToolObjFlash>(), [](QWidget* D) {
        EXPECT_EQ(FieldText(D, "EditWidth"), "400");
        EXPECT_TRUE(Checked(D, "CheckPlay"));
        EXPECT_FALSE(Checked(D, "CheckMenu"));
        SetField(D, "EditMovie", "new \"&\".swf");
    });
    THtmlTag* Flash = StoredOf("#p img.dsgn_flash");
    ASSERT_TRUE(Flash);
    EXPECT_EQ(Children(Flash), "param movie=new &quot;&amp;&quot;.swf | embed");
    EXPECT_TRUE(Flash->GetAttribute(attrCodebase).ends_with(u"swflash.cab#version=6,0,0,0"));
    EXPECT_EQ(Flash->GetAttribute(attrWidth), u"400");
    const std::string Saved = SaveBytes("new-flash.html");
    EXPECT_NE(Saved.find("type=\"application/x-shockwave-flash\" pluginspage=\"http://"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<param name=\"movie\" value=\"new &quot;&amp;&quot;.swf\">"), std::string::npos) << Saved;

    // a required movie: the message, and the dialog stays open
    TMessages Messages;
    H.SelectText("#p", 1, 1);
    TModalAnswer Answer([&](QWidget* D) {
        SetField(D, "EditMovie", "");
        Messages.Expect(D, [D] { PressOk(D); });
        PressCancel(D);
    });
    Palette().Execute(Tool<TToolObjFlash>());
    EXPECT_EQ(Messages.Texts, std::vector<QString>{"Please specify a movie first."});

    // any change rewrites the PARAMs in the page's spelling and leaves one EMBED, last
    const THtmlElement Old = PlaceholderOf("body > img.dsgn_flash");
    Edit(Old, [](QWidget* D) { SetField(D, "EditWidth", "330"); });
    THtmlTag* Node = Stored(Old);
    EXPECT_EQ(Children(Node), "param Movie=m&amp;n &quot;.swf | param Play=FALSE | param custom=keep \"&amp;\" me | embed");
    EXPECT_EQ(Old.getAttribute("width"), std::optional<WideString>(u"330"));
    EXPECT_EQ(Node->GetAttribute(attrWidth), u"330");
    Edit(Old, [](QWidget* D) { Check(D, "CheckPlay", true); });
    EXPECT_EQ(Children(Node), "param Movie=m&amp;n &quot;.swf | param custom=keep \"&amp;\" me | embed");

    // QuickTime: a setting left as shown stays; a movie may be left out when there is an HREF
    Edit(PlaceholderOf("img.dsgn_quicktime"), [](QWidget* D) {
        SetField(D, "EditMovie", "");
        SetField(D, "EditHref", "next.html");
    });
    EXPECT_EQ(Children(Stored(PlaceholderOf("img.dsgn_quicktime"))),
              "param fullscreen=full | param extra=x&quot;y | param href=next.html | embed");

    // RealMedia: an unknown control set survives a change elsewhere; a chosen one sets the size
    const THtmlElement Real = PlaceholderOf("img.dsgn_real");
    Edit(Real, [](QWidget* D) { Check(D, "CheckShuffle", true); });
    EXPECT_EQ(THtmlFilter::GetObjectParam(Stored(Real), u"controls"), u"ExtraCtrl");
    Edit(Real, [](QWidget* D) {
        auto* Combo = D->findChild<QComboBox*>("ComboControls");
        EXPECT_EQ(Combo->itemText(0), "Default (All Playback Controls, 375x100 pixels)");
        Combo->setCurrentIndex(16);
        emit Combo->activated(16);
        EXPECT_EQ(FieldText(D, "EditWidth"), "325");
        EXPECT_EQ(FieldText(D, "EditHeight"), "30");
    });
    EXPECT_EQ(Children(Stored(Real)), "param src=a.rm | param controls=StatusBar | param unknown=&amp; | param shuffle=true | embed");

    // Windows Media Player keeps its older class id
    const THtmlElement Player = PlaceholderOf("img.dsgn_mplayer");
    Edit(Player, [](QWidget* D) { D->findChild<QSlider*>("TrackBalance")->setValue(-20); });
    EXPECT_EQ(Stored(Player)->GetAttribute(attrClassid), u"clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95");
    EXPECT_EQ(Children(Stored(Player)), "param FileName=old &amp; media.asf | param URL=m.wmv | param Volume=loud | param Balance=-20 | embed");

    const std::string After = SaveBytes("media-after.html");
    EXPECT_EQ(After.find("old.swf"), std::string::npos) << After;   // the old EMBED went
    EXPECT_EQ(After.find("name=\"Play\""), std::string::npos);
    Palette().Host.FileName = nullptr;
}

TEST(ObjectTools, ScriptsAndSound)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("scripts.html", "<html><head><title>S</title></head><body>\n<p id=\"p1\">One</p>\n<p id=\"p2\">Two</p>\n"
                               "<p id=\"p3\">Three</p>\n<p id=\"p4\">Four</p>\n</body></html>\n");
    UseDocumentName();

    // three lines stored between comment markers; a script holding "-->" kept whole
    InsertAt("#p1", 1, Tool<TToolScript>(), [](QWidget* D) {
        SetField(D, "ComboType", "text/javascript");
        D->findChild<QsciScintilla*>("Editor")->setText("  one();\ntwo();\nthree();\n");
    });
    const auto* Comment = dynamic_cast<THtmlText*>(StoredOf("#p1 img")->FindChild(tagComment, false));
    ASSERT_TRUE(Comment);
    EXPECT_EQ(Comment->Text, u"<!--\r\none();\r\ntwo();\r\nthree();\r\n-->");
    InsertAt("#p2", 1, Tool<TToolScript>(), [](QWidget* D) {
        D->findChild<QsciScintilla*>("Editor")->setText("if (a --> 0) x = '-->';\ndone();");
    });
    InsertAt("#p3", 1, Tool<TToolBgSound>(), [](QWidget* D) { SetField(D, "EditSrc", "s&\"1\".wav"); });
    InsertAt("#p4", 1, Tool<TToolScriptFile>(), [](QWidget* D) {
        SetField(D, "EditSrc", "LIB.JS");
        D->findChild<QPushButton*>("Button3")->click();
        EXPECT_EQ(FieldText(D, "ComboCharset"), "Western European (ISO)");
    });
    const std::string Saved = SaveBytes("scripts.html");
    EXPECT_NE(Saved.find("<bgsound src=\"s&amp;&quot;1&quot;.wav\" loop=\"-1\" autostart=\"TRUE\">"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<script src=\"LIB.JS\" type=\"text/javascript\" charset=\"iso-8859-1\">"), std::string::npos) << Saved;
    EXPECT_NE(Saved.find("<!--\r\nif (a --> 0) x = '-->';\r\ndone();\r\n-->"), std::string::npos) << Saved;

    // opened again, every text is whole; an unchanged OK keeps the bytes; a change writes
    // into the script's own text
    H.LoadFile("scripts.html", Saved);
    const std::string Reloaded = SaveBytes("scripts-0.html");
    Edit(PlaceholderOf("img[src=\"edit:script.gif\"]", 0), [](QWidget* D) {
        EXPECT_EQ(D->findChild<QsciScintilla*>("Editor")->text(), "one();\ntwo();\nthree();");
    });
    Edit(PlaceholderOf("img[src=\"edit:script.gif\"]", 1), [](QWidget* D) {
        EXPECT_EQ(D->findChild<QsciScintilla*>("Editor")->text(), "if (a --> 0) x = '-->';\ndone();");
    });
    EXPECT_EQ(SaveBytes("scripts-1.html"), Reloaded);
    Edit(PlaceholderOf("img[src=\"edit:script.gif\"]", 1), [](QWidget* D) {
        D->findChild<QsciScintilla*>("Editor")->append("\nagain();");
        Check(D, "CheckDefer", true);
    });
    const std::string Changed = SaveBytes("scripts-2.html");
    EXPECT_NE(Changed.find("<!--\r\nif (a --> 0) x = '-->';\r\ndone();\r\nagain();\r\n-->"), std::string::npos) << Changed;
    EXPECT_EQ(Changed.find("done();", Changed.find("again();")), std::string::npos);   // once

    // file types by extension; the type box switches the highlighter
    EXPECT_EQ(ScriptTypeOfFile(u"a.b/LIB.JS"), u"text/javascript");
    EXPECT_EQ(ScriptTypeOfFile(u"x.VbS"), u"text/vbscript");
    EXPECT_EQ(ScriptTypeOfFile(u"page.php"), u"");
    EXPECT_EQ(StripScriptComment(u"  <!--\r\n  x\r\n-->  "), u"  x");
    const std::unique_ptr<TTagEditor> ScriptDialog = Tool<TToolScript>()->NewEditor();
    auto* Script = static_cast<TFormToolScript*>(ScriptDialog.get());
    EXPECT_EQ(Script->Highlighter(), Script->JavaScriptHighlighter());
    Script->findChild<QComboBox*>("ComboType")->setCurrentText("text/VBScript");
    EXPECT_EQ(Script->Highlighter(), Script->VBScriptHighlighter());
    Script->findChild<QComboBox*>("ComboType")->setCurrentText("text/tcl");
    EXPECT_EQ(Script->Highlighter(), nullptr);
    Script->findChild<QComboBox*>("ComboType")->setCurrentText("text/javascript");
    Palette().Host.FileName = nullptr;
}

TEST(ObjectTools, ParameterGridAndClassChooser)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("objects.html", ReadAll(ZV_TEST_DATA "/tools/objects.html"));

    // renamed, duplicate, emptied and blank parameters; alternate content stays
    const THtmlElement Applet = PlaceholderOf("img.dsgn_applet");
    Edit(Applet, [](QWidget* D) {
        auto* Grid = D->findChild<TParamGrid*>("ParamGrid");
        EXPECT_EQ(Grid->horizontalHeaderItem(0)->text(), "Param Name");
        EXPECT_EQ(Grid->horizontalHeaderItem(1)->text(), "Param Value");
        Grid->SetCell(0, 0, "renamed");
        Grid->setCurrentCell(1, 1);
        QTest::keyClick(Grid, Qt::Key_Down);   // a new row below the last
        ASSERT_EQ(Grid->rowCount(), 3);
        EXPECT_EQ(Grid->currentRow(), 2);
        Grid->setRowCount(5);
        Grid->SetCell(0, 2, "Dup");
        Grid->SetCell(1, 2, "first");
        Grid->SetCell(0, 3, " dup ");
        Grid->SetCell(1, 3, " second ");
        Grid->SetCell(0, 4, "spaces");
        Grid->SetCell(1, 4, "  ");
    });
    EXPECT_EQ(Children(Stored(Applet)),
              "param one=1 &amp; 2 | text | param renamed=1 &amp; 2 | param dup=second");

    // a typed class id is taken as it stands
    H.SelectText("#p", 1, 1);
    TModalAnswer Typed([](QWidget* D) {
        TMessages Messages;
        Messages.Expect(D, [D] { PressOk(D); });
        EXPECT_EQ(Messages.Texts, std::vector<QString>{"Please specify ActiveX Class ID first."});
        SetField(D, "EditClassID", "clsid:{Not-Listed}");
        D->findChild<TParamGrid*>("ParamGrid")->SetCell(0, 0, "p\"q");
        D->findChild<TParamGrid*>("ParamGrid")->SetCell(1, 0, "a&b");
        PressOk(D);
    });
    Palette().Execute(Tool<TToolObjActiveX>());   // no file name needed
    THtmlTag* Typed1 = StoredOf("#p img.dsgn_activex");
    EXPECT_EQ(Typed1->GetAttribute(attrClassid), u"clsid:{Not-Listed}");
    EXPECT_EQ(Children(Typed1), "param p&quot;q=a&amp;b");

    // the chooser: sorted by name ignoring case, equal names in file order, ids from the list
    std::istringstream List("# classes\nB-1=beta\nA-2=Alpha\r\nbroken line\n=no id\nC-3=ALPHA\nD-4=\n");
    const std::vector<TClassEntry> Entries = ReadClassList(List);
    std::vector<std::string> Read;
    for (const TClassEntry& E : Entries) Read.push_back((E.Name + "/" + E.Id).toStdString());
    EXPECT_EQ(Read, (std::vector<std::string>{"Alpha/A-2", "ALPHA/C-3", "beta/B-1", "D-4/D-4"}));

    TFormSelectClassID& Chooser = EnsureFormSelectClassID();
    Chooser.ListFile.clear();
    Chooser.LoadClassList();
    EXPECT_EQ(Chooser.ClassNames, (QStringList{"Flash Player", "QuickTime Player", "RealMedia Player",
                                               "Windows Media Player", "Windows Media Player 6.4"}));
    Chooser.SetClassID("CLSID:d27cdb6e-ae6d-11cf-96b8-444553540000");
    EXPECT_EQ(Chooser.GetClassID(), "clsid:D27CDB6E-AE6D-11cf-96B8-444553540000");
    Chooser.SetClassID("clsid:{D27CDB6E-AE6D-11cf-96B8-444553540000}");
    EXPECT_EQ(Chooser.GetClassID(), "");
    const std::string File = H.Folder() / "classes.txt";
    WriteAll(File, "X-1=Zeta\n");
    Chooser.ListFile = File;
    Chooser.LoadClassList();
    WriteAll(File, "X-1=Zeta\nY-2=eta\n");
    EXPECT_EQ(Chooser.ClassNames, QStringList{"Zeta"});   // read again only on Refresh
    Chooser.findChild<QPushButton*>("BtnRefresh")->click();
    EXPECT_EQ(Chooser.ClassNames, (QStringList{"eta", "Zeta"}));
    WriteAll(File, "");
    Chooser.ListFile = H.Folder() / "missing.txt";
    Chooser.LoadClassList();
    EXPECT_TRUE(Chooser.ClassNames.isEmpty());
    Chooser.ListFile = File;
    WriteAll(File, "X-1=Zeta\nY-2=eta\n");
    Chooser.LoadClassList();

    // picked through the tool's button: OK without a row is refused, Cancel keeps the field
    Edit(PlaceholderOf("body > img.dsgn_activex"), [](QWidget* D) {
        const auto Pick = [D](std::function<void(QWidget*)> Answer) {
            TModalAnswer Chooser(Answer);
            D->findChild<QToolButton*>("BtnSelect")->click();
            EXPECT_TRUE(Chooser.Seen);
        };
        Pick([](QWidget* C) {
            EXPECT_TRUE(C->findChild<QListWidget*>("ListBox1")->selectedItems().isEmpty());
            TMessages Messages;
            Messages.Expect(C, [C] { C->findChild<QPushButton*>("BtnOK")->click(); });
            EXPECT_EQ(Messages.Texts, std::vector<QString>{"Please select an ActiveX object first."});
            C->findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
            C->findChild<QPushButton*>("BtnCancel")->click();
        });
        EXPECT_EQ(FieldText(D, "EditClassID"), "clsid:11111111-2222-3333-4444-555555555555");
        Pick([](QWidget* C) {
            C->findChild<QListWidget*>("ListBox1")->setCurrentRow(1);
            C->findChild<QPushButton*>("BtnOK")->click();
        });
        EXPECT_EQ(FieldText(D, "EditClassID"), "clsid:X-1");
    });
    EXPECT_EQ(StoredOf("body > img.dsgn_activex")->GetAttribute(attrClassid), u"clsid:X-1");
    Chooser.ListFile.clear();
    Chooser.LoadClassList();
}

TEST(ObjectTools, PlaceholdersWithoutStoredNodes)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("pasted.html", "<html><head><title>P</title></head><body>\n<p id=\"p\">Text</p>\n"
                              "<script>var a;</script>\n</body></html>\n");
    // placeholders whose ids lead nowhere, or to a node of another kind
    const std::string Script = H.DesignId("img[src=\"edit:script.gif\"]");
    H.SelectText("#p", 1, 1);
    D.InsertHtml(u"<img class=\"dsgn_flash\" src=\"edit:trans.gif\" id=\"pasted\">"
                 u"<img class=\"dsgn_applet\" src=\"edit:trans.gif\" id=\"" + Utf8ToUtf16(Script) + u"x\">");
    for (const std::string& Id : {std::string("pasted"), Script + "x"}) {
        const THtmlElement Pasted = ById(Id);
        ASSERT_TRUE(Pasted);
        bool Opened = false;
        TModalAnswer Answer([&](QWidget* Dialog) { Opened = true; PressCancel(Dialog); });
        Palette().EditElement(Pasted);   // no tool takes it
        QTest::qWait(20);
        EXPECT_FALSE(Opened);
        for (TToolItem* Tool : Palette().TagEditors()) {
            if (Tool->TagName != "IMG") continue;
            EXPECT_FALSE(Tool->CanEdit(Pasted)) << Tool->Hint;
            const std::unique_ptr<TTagEditor> Editor = Tool->NewEditor();
            if (!Editor) continue;
            Editor->Open(&D, Pasted);
            for (QLineEdit* Edit : Editor->findChildren<QLineEdit*>()) Edit->setText("changed");
            Editor->Apply();
        }
    }
    // a placeholder of another kind is taken only by its own tool
    for (TToolItem* Tool : Palette().TagEditors())
        if (Tool->TagName == "IMG") {
            EXPECT_EQ(Tool->CanEdit(ById(Script)), Tool == ::Tool<TToolScript>()) << Tool->Hint;
        }
    EXPECT_NE(SaveBytes("pasted.html").find("var a;"), std::string::npos);
}

TEST(ObjectTools, DialogsForTheEye)
{
    THtmlDesigner& D = TDesignerHost::Get().Designer();
    const std::pair<TToolItem*, const char*> Tools[] = {
        {Tool<TToolBgSound>(), "bgsound"},   {Tool<TToolScript>(), "script"},
        {Tool<TToolScriptFile>(), "scriptfile"}, {Tool<TToolObjFlash>(), "flash"},
        {Tool<TToolObjQuickTime>(), "quicktime"}, {Tool<TToolObjReal>(), "real"},
        {Tool<TToolObjMPlayer>(), "mplayer"}, {Tool<TToolObjApplet>(), "applet"},
        {Tool<TToolObjActiveX>(), "activex"}};
    for (const auto& [Item, Name] : Tools) {
        const std::unique_ptr<TTagEditor> Dialog = Item->NewEditor();
        TTagEditor* Editor = Dialog.get();
        ASSERT_TRUE(Editor);
        Editor->Open(&D, THtmlElement());
        Editor->show();
        EXPECT_TRUE(Editor->windowTitle().startsWith("  "));
        if (auto* Movie = Editor->findChild<QLineEdit*>("EditMovie")) Movie->setText("media/intro.swf");
        if (auto* Script = Editor->findChild<QsciScintilla*>("Editor")) {
            SetField(Editor, "ComboType", "text/vbscript");
            Script->setText("' greet\nSub Hello(Name)\n  MsgBox \"Hello, \" & Name\nEnd Sub\n");
            Script->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            Editor->grab().save("/tmp/zv-dialog-script-vbs.png");
            SetField(Editor, "ComboType", "text/javascript");
            Script->setText("function hello(name) {\n  // greet\n  alert(\"Hello, \" + name);\n}\n");
            Script->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        }
        if (auto* Grid = Editor->findChild<TParamGrid*>("ParamGrid")) {
            Grid->SetCell(0, 0, "speed");
            Grid->SetCell(1, 0, "fast");
        }
        Editor->grab().save(QString("/tmp/zv-dialog-%1.png").arg(Name));
        Editor->hide();
    }
    TFormSelectClassID& Chooser = EnsureFormSelectClassID();
    Chooser.show();
    Chooser.findChild<QAbstractButton*>()->setFocus();   // kept, it starts in its list again
    Chooser.hide();
    Chooser.show();
    EXPECT_EQ(Chooser.focusWidget(), Chooser.findChild<QListWidget*>("ListBox1"));
    Chooser.SetClassID("clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA");
    Chooser.grab().save("/tmp/zv-dialog-classid.png");
    Chooser.hide();
}

TEST(ObjectTools, MediaObjectsOfOtherEditorsKeepWhatTheDialogDoesNotShow)
{
    TDesignerHost& H = TDesignerHost::Get();
    H.LoadFile("media.html",
               "<html><head><title>Media</title></head><body>\n"
               "<p id=\"p\">Media from other editors</p>\n"
               "<object classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\""
               " codebase=\"https://dl.example.com/swflash.cab#version=9,0,28,0\" width=\"400\" height=\"300\" id=\"intro\""
               " title=\"Intro\">\n"
               "<param name=\"Movie\" value=\"intro.swf?a=1&amp;b=2\"><param name=\"quality\" value=\"high\">"
               "<param name=\"AllowScriptAccess\" value=\"sameDomain\">\n"
               "<embed src=\"intro.swf?a=1&amp;b=2\" quality=\"high\" width=\"400\" height=\"300\" name=\"intro\""
               " allowScriptAccess=\"sameDomain\" swLiveConnect=\"true\" type=\"application/x-shockwave-flash\""
               " pluginspage=\"https://get.example.com/flash\"></embed>\n"
               "</object>\n"
               "<object classid=\"CLSID:6BF52A52-394A-11d3-B153-00C04F79FAA6\" width=\"320\" height=\"240\" data-from=\"x\">\n"
               "<param name=\"url\" value=\"clip.wmv?x=1&amp;y=2\"><param name=\"autoStart\" value=\"False\">"
               "<param name=\"uiMode\" value=\"mini\">\n"
               "<embed src=\"clip.wmv?x=1&amp;y=2\" autostart=\"0\" showcontrols=\"1\" width=\"320\" height=\"240\""
               " type=\"application/x-mplayer2\"></embed>\n"
               "</object>\n"
               "<object classid=\"clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B\" codebase=\"https://q.example.com/qtplugin.cab\""
               " width=\"160\" height=\"136\">\n"
               "<param name=\"SRC\" value=\"movie.mov\"><param name=\"AUTOPLAY\" value=\"true\">"
               "<param name=\"CONTROLLER\" value=\"false\">\n"
               "<embed src=\"movie.mov\" width=\"160\" height=\"136\" autoplay=\"true\" controller=\"false\""
               " pluginspage=\"https://q.example.com/\"></embed>\n"
               "</object>\n"
               "<object classid=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\" width=\"320\" height=\"240\">\n"
               "<param name=\"SRC\" value=\"talk.rm?s=1&amp;t=2\"><param name=\"CONTROLS\" value=\"ImageWindow\">"
               "<param name=\"CONSOLE\" value=\"clip1\">\n"
               "<embed src=\"talk.rm?s=1&amp;t=2\" controls=\"ImageWindow\" console=\"clip1\" width=\"320\" height=\"240\""
               " nojava=\"true\"></embed>\n"
               "</object>\n"
               "<object classid=\"clsid:AAAAAAAA-1111-2222-3333-444444444444\" width=\"100\" height=\"50\" data-from=\"x\">\n"
               "<param name=\"Source\" value=\"feed.xml?a=1&amp;b=2\"><embed src=\"feed.xml\" width=\"100\" height=\"50\">\n"
               "</object>\n"
               "<applet code=\"Clock.class\" archive=\"clock.jar\" width=\"120\" height=\"40\" data-from=\"x\">\n"
               "<param name=\"TimeZone\" value=\"UTC &amp; more\">\n"
               "</applet>\n"
               "</body></html>\n");
    UseDocumentName();
    const std::string Loaded = SaveBytes("media-0.html");
    struct TCase {
        const char* Selector;
        const char* Movie;   // the movie field, or nullptr for a PARAM in the grid
        const char* Shows;
        QString Width;
    };
    TCase Cases[] = {{"img.dsgn_flash", "EditMovie", "intro.swf?a=1&b=2"},   {"img.dsgn_mplayer", "EditMovie", "clip.wmv?x=1&y=2"},
                     {"img.dsgn_quicktime", "EditMovie", "movie.mov"},        {"img.dsgn_real", "EditMovie", "talk.rm?s=1&t=2"},
                     {"img.dsgn_activex", nullptr, "feed.xml?a=1&b=2"},       {"img.dsgn_applet", nullptr, "UTC & more"}};
    // a size changed: the page keeps what the dialog has no field for, in its own spelling
    for (TCase& C : Cases)
        DoubleClick(C.Selector, 0, [&](QWidget* D) {
            if (C.Movie) EXPECT_EQ(FieldText(D, C.Movie), C.Shows) << C.Selector;
            else EXPECT_EQ(D->findChild<TParamGrid*>("ParamGrid")->Cell(1, 0), C.Shows) << C.Selector;
            C.Width = QString::number(FieldText(D, "EditWidth").toInt() + 20);
            SetField(D, "EditWidth", C.Width);
        });
    const std::string Sized = SaveBytes("media-1.html");
    for (const char* Part :
         {"codebase=\"https://dl.example.com/swflash.cab#version=9,0,28,0\" width=\"420\"",
          "<param name=\"Movie\" value=\"intro.swf?a=1&amp;b=2\">", "<param name=\"AllowScriptAccess\" value=\"sameDomain\">",
          "<embed src=\"intro.swf?a=1&amp;b=2\" quality=\"high\" width=\"420\" height=\"300\" name=\"intro\""
          " allowScriptAccess=\"sameDomain\" swLiveConnect=\"true\" type=\"application/x-shockwave-flash\""
          " pluginspage=\"https://get.example.com/flash\">",
          "<param name=\"url\" value=\"clip.wmv?x=1&amp;y=2\">", "<param name=\"autoStart\" value=\"False\">",
          "<embed src=\"clip.wmv?x=1&amp;y=2\" autostart=\"False\" showcontrols=\"1\" width=\"340\" height=\"240\""
          " type=\"application/x-mplayer2\"",
          "<param name=\"AUTOPLAY\" value=\"true\">", "<param name=\"CONTROLLER\" value=\"false\">",
          "<embed src=\"movie.mov\" width=\"180\" height=\"136\" autoplay=\"true\" controller=\"false\""
          " pluginspage=\"https://q.example.com/\" type=\"video/quicktime\">",
          "<param name=\"SRC\" value=\"talk.rm?s=1&amp;t=2\">", "<param name=\"CONTROLS\" value=\"ImageWindow\">",
          "<embed src=\"talk.rm?s=1&amp;t=2\" controls=\"ImageWindow\" console=\"clip1\" width=\"340\" height=\"240\" nojava=\"true\">",
          "width=\"120\" height=\"50\" data-from=\"x\">", "<param name=\"Source\" value=\"feed.xml?a=1&amp;b=2\">",
          "width=\"140\" height=\"40\" data-from=\"x\">", "<param name=\"TimeZone\" value=\"UTC &amp; more\">"})
        EXPECT_NE(Sized.find(Part), std::string::npos) << Part << "\n" << Sized;
    // the second opening shows what the first wrote; a movie typed with "&" and quotes goes
    // into the PARAM and the EMBED's src escaped
    for (const TCase& C : Cases)
        DoubleClick(C.Selector, 0, [&](QWidget* D) {
            EXPECT_EQ(FieldText(D, "EditWidth"), C.Width) << C.Selector;
            if (C.Movie) SetField(D, C.Movie, "new.swf?a=1&b=\"2\"");
            else D->findChild<TParamGrid*>("ParamGrid")->SetCell(1, 0, "new & \"2\"");
        });
    std::string Moved = SaveBytes("media-2.html");
    int Movies = 0, Params = 0;
    for (size_t At; (At = Moved.find("=\"new.swf?a=1&amp;b=&quot;2&quot;\"")) != std::string::npos; ++Movies)
        Moved.erase(At, 2);
    for (size_t At; (At = Moved.find("value=\"new &amp; &quot;2&quot;\"")) != std::string::npos; ++Params) Moved.erase(At, 2);
    EXPECT_EQ(Movies, 8) << Moved;   // four PARAMs, four EMBEDs
    EXPECT_EQ(Params, 2) << Moved;
    EXPECT_EQ(Moved.find(".wmv"), std::string::npos) << Moved;
    // undo takes the EMBEDs back as they were too
    while (H.Designer().CanUndo()) H.Designer().Undo();
    EXPECT_EQ(SaveBytes("media-3.html"), Loaded);
    Palette().Host.FileName = nullptr;
}
