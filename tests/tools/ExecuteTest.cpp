// What a palette click and a double click do in the real design view: edit the selected
// element, insert before it or at the selection, or nothing.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolForm.h"
#include "ToolHr.h"
#include "ToolInputButton.h"
#include "ToolInputCheck.h"
#include "ToolInputEdit.h"
#include "ToolInputHidden.h"
#include "ToolInputImage.h"
#include "ToolMarquee.h"
#include "ToolScript.h"
#include "ToolSelect.h"
#include "ToolTextArea.h"
#include "ToolsHost.h"
#include "UnitHyperlink.h"

using namespace zv;
using namespace zv::test;

namespace {

struct TSavedDocumentTool : TToolItem {
    int Asked = 0;
    TSavedDocumentTool() : TToolItem("IMG", "Insert Picture", 1, true, true) {}
    std::unique_ptr<TTagEditor> NewEditor() override
    {
        ++Asked;
        return nullptr;
    }
};

// Runs the tool, answering its dialog with Fill and OK; answers whether a dialog came.
bool RunTool(TToolItem* Tool, std::function<void(QWidget*)> Fill = {})
{
    TModalAnswer Answer([&](QWidget* Dialog) {
        if (Fill) Fill(Dialog);
        PressOk(Dialog);
    });
    Palette().Execute(Tool);
    return Answer.Seen;
}

QString Body(TDesignerHost& H)
{
    return H.Eval("document.body.innerHTML.replace(/ id=\"dsgn_:::_\\d+\"/g, '')").toString();
}

}  // namespace

TEST(ToolExecute, EditInsertBeforeOrAtSelection)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    int Changes = 0;
    Palette().OnChange = [&](QObject*) { ++Changes; };
    ASSERT_TRUE(H.LoadBody("<p id=\"a\">one</p><p id=\"b\">two <!-- note --> three</p><hr width=\"10\">"));

    // nothing selected: at the selection, as one undo group "Insert"
    ASSERT_TRUE(RunTool(Tool<TToolBr>(), [](QWidget* Dialog) { SetField(Dialog, "ComboClear", "left"); }));
    EXPECT_TRUE(Body(H).startsWith("<br clear=\"left\"><p id=\"a\">")) << Body(H).toStdString();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(D.UndoList().back().Name, "Insert");

    // a control selected that the tool does not edit: the new element goes in front of it
    ASSERT_TRUE(H.Click(H.Centre("img")));
    ASSERT_TRUE(RunTool(Tool<TToolHr>()));
    EXPECT_TRUE(Body(H).contains("<p id=\"b\">two </p><hr><p><img")) << Body(H).toStdString();
    EXPECT_EQ(Changes, 2);

    // the tool's own element selected: its dialog edits it where it stands
    ASSERT_TRUE(H.Click(H.Centre("hr[width]")));
    ASSERT_EQ(D.CurrentElement().tagName(), "HR");
    ASSERT_TRUE(RunTool(Tool<TToolHr>(), [](QWidget* Dialog) {
        EXPECT_EQ(FieldText(Dialog, "EditWidth"), "10");
        SetField(Dialog, "EditWidth", "50%");
    }));
    EXPECT_TRUE(Body(H).endsWith("<hr width=\"50%\">")) << Body(H).toStdString();
    EXPECT_EQ(D.UndoList().back().Name, "Edit");
    EXPECT_EQ(Changes, 3);

    // Cancel changes nothing
    const QString Before = Body(H);
    {
        TModalAnswer Answer([](QWidget* Dialog) { PressCancel(Dialog); });
        Palette().Execute(Tool<TToolBr>());
        EXPECT_TRUE(Answer.Seen);
    }
    EXPECT_EQ(Body(H), Before);
    EXPECT_EQ(Changes, 3);

    // the element of the last event is gone (undone, removed): at the caret instead
    ASSERT_TRUE(H.Click(H.Centre("#b")));
    H.Eval("document.getElementById('b').remove()");
    H.SelectText("#a", 1, 1);
    ASSERT_EQ(D.CurrentElement().tagName(), "P");
    ASSERT_TRUE(RunTool(Tool<TToolBr>()));
    EXPECT_TRUE(Body(H).contains("<p id=\"a\">o<br>ne</p>")) << Body(H).toStdString();

    // a caret in an empty body: into the body, not in front of it
    ASSERT_TRUE(H.LoadBody(""));
    ASSERT_TRUE(H.Click({400, 300}));
    ASSERT_EQ(D.GetSelectionKind(), 1);
    ASSERT_TRUE(D.CurrentElement().tagName() == "BODY" || D.CurrentElement().tagName() == "HTML");
    ASSERT_TRUE(RunTool(Tool<TToolHr>(), [](QWidget* Dialog) { SetField(Dialog, "EditWidth", "5"); }));
    EXPECT_EQ(Body(H), "<hr width=\"5\">");
    EXPECT_NE(SaveBytes("empty-body.html").find("<hr width=\"5\">"), std::string::npos);

    // a caret in a table cell or a list item: at the caret, not in front of the cell or item,
    // where it would stand outside any
    ASSERT_TRUE(H.LoadBody("<table border=\"1\"><tr><td id=\"c\">cell</td></tr></table><ul><li id=\"i\">item</li></ul>"));
    ASSERT_TRUE(H.Click(H.Centre("#c")));
    ASSERT_EQ(D.CurrentElement().tagName(), "TD");
    H.SelectText("#c", 2, 2);
    ASSERT_TRUE(RunTool(Tool<TToolBr>()));
    ASSERT_TRUE(H.Click(H.Centre("#i")));
    ASSERT_EQ(D.CurrentElement().tagName(), "LI");
    H.SelectText("#i", 2, 2);
    ASSERT_TRUE(RunTool(Tool<TToolHr>()));
    EXPECT_TRUE(Body(H).contains("<tr><td id=\"c\">ce<br>ll</td></tr>")) << Body(H).toStdString();
    EXPECT_TRUE(Body(H).contains("<ul><li id=\"i\">it<hr>em</li></ul>")) << Body(H).toStdString();

    // a block put into a paragraph splits it there, the rest keeping the paragraph's
    // attributes but its id: the saved page ends a paragraph at a block, and its rest would
    // lose it
    ASSERT_TRUE(H.LoadBody("<p id=\"s\" class=\"k\">Alpha <b>bold</b> omega</p>"));
    H.SelectText("#s", 2, 2);
    ASSERT_TRUE(RunTool(Tool<TToolHr>()));
    EXPECT_EQ(Body(H), "<p id=\"s\" class=\"k\">Al</p><hr><p class=\"k\">pha <b>bold</b> omega</p>");
    D.Undo();
    EXPECT_EQ(Body(H), "<p id=\"s\" class=\"k\">Alpha <b>bold</b> omega</p>");

    // the form tool in a form edits that form, at a caret or with text selected: a form in a
    // form would end the outer one early in a browser
    ASSERT_TRUE(H.LoadBody("<form action=\"a.php\" method=\"post\"><p id=\"in\">inside the form</p></form>"));
    ASSERT_TRUE(H.Click(H.Centre("#in")));
    ASSERT_TRUE(RunTool(Tool<TToolForm>(), [](QWidget* Dialog) {
        EXPECT_EQ(FieldText(Dialog, "EditAction"), "a.php");
        SetField(Dialog, "EditAction", "b.php");
    }));
    H.SelectText("#in", 0, 6);
    ASSERT_TRUE(RunTool(Tool<TToolForm>(), [](QWidget* Dialog) { SetField(Dialog, "ComboMethod", "get"); }));
    EXPECT_EQ(Body(H), "<form action=\"b.php\" method=\"get\"><p id=\"in\">inside the form</p></form>");

    // a pasted copy of a placeholder is an element of its own: its dialog changes the copy
    // alone, in this document and in another one, whose nodes under the same ids it leaves be
    H.LoadFile("copy.html", "<html><body><p id=\"a\">Alpha <marquee>Run</marquee></p><p id=\"b\">Beta</p></body></html>");
    ASSERT_TRUE(H.Click(H.Centre(".dsgn_marquee")));
    D.Copy();
    H.SelectText("#b", 2, 2);
    D.Paste();
    ASSERT_EQ(H.Eval("document.querySelectorAll('.dsgn_marquee').length").toInt(), 2);
    Edit(D.Document().getElementById(H.DesignId(".dsgn_marquee", 1)), [](QWidget* Dialog) { SetField(Dialog, "MemoText", "Walk"); });
    std::string Copies = SaveBytes("copy.html");
    EXPECT_NE(Copies.find("Alpha <marquee>Run</marquee>"), std::string::npos) << Copies;
    EXPECT_NE(Copies.find("Be<marquee>Walk</marquee>ta"), std::string::npos) << Copies;
    H.LoadFile("other.html", "<html><body><p id=\"c\">Gamma <!-- secret --></p></body></html>");
    H.SelectText("#c", 1, 1);
    D.Paste();
    QApplication::clipboard()->setText("x");
    auto* Foreign = new QMimeData;
    Foreign->setHtml(QString("<img id=\"%1\" src=\"edit:comment.gif\">").arg(QString::fromStdString(H.DesignId("img[src=\"edit:comment.gif\"]"))));
    QApplication::clipboard()->setMimeData(Foreign);
    H.SelectText("#c", 3, 3);
    D.Paste();
    Copies = SaveBytes("other.html");
    EXPECT_NE(Copies.find("G<marquee>Run</marquee>"), std::string::npos) << Copies;
    EXPECT_EQ(Copies.find("secret"), Copies.rfind("secret")) << Copies;   // the comment once

    // a declined save stops a tool that needs a file name before its dialog
    TSavedDocumentTool Saved;
    Saved.Designer = &D;
    Palette().Host.EnsureSaved = [] { return false; };
    Palette().Execute(&Saved);
    EXPECT_EQ(Saved.Asked, 0);
    Palette().Host.EnsureSaved = [] { return true; };
    Palette().Execute(&Saved);
    EXPECT_EQ(Saved.Asked, 1);
    Palette().Host.EnsureSaved = nullptr;
    Palette().OnChange = nullptr;
}

TEST(ToolExecute, InsertOnlyToolsPutTheirElementAtTheCaretOrBeforeASelectedImage)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    // Each tool's dialog is filled so that OK is taken; the answer is a text by which its
    // element is found in the saved page.
    const auto Named = [](QWidget* Dialog) {
        SetField(Dialog, "EditName", "fld");
        return QString("name=\"fld\"");
    };
    struct TCase {
        TToolItem* Tool;
        std::function<QString(QWidget*)> Fill;
    };
    const TCase Cases[] = {
        {Tool<TToolDate>(), [](QWidget* Dialog) { return FieldText(Dialog, "EditSample"); }},
        {Tool<TToolBr>(), [](QWidget*) { return QString("<br"); }},
        {Tool<TToolComment>(), [](QWidget* Dialog) {
             SetField(Dialog, "MemoComment", "n\u00f6te");
             return QString("<!--n");
         }},
        {Tool<TToolScript>(), [](QWidget* Dialog) {
             Dialog->findChild<QsciScintilla*>("Editor")->setText("go();");
             return QString("go();");
         }},
        {Tool<TToolMarquee>(), [](QWidget* Dialog) {
             SetField(Dialog, "MemoText", "Run");
             return QString("<marquee");
         }},
        {Tool<TToolHr>(), [](QWidget*) { return QString("<hr"); }},
        {Tool<TToolInputEdit>(), Named},
        {Tool<TToolInputPassword>(), Named},
        {Tool<TToolInputButton>(), Named},
        {Tool<TToolInputCheck>(), Named},
        {Tool<TToolInputRadio>(), Named},
        {Tool<TToolInputFile>(), Named},
        {Tool<TToolInputHidden>(), [&](QWidget* Dialog) {
             SetField(Dialog, "EditValue", "v");
             return Named(Dialog);
         }},
        {Tool<TToolInputImage>(), [&](QWidget* Dialog) {
             SetField(Dialog, "EditSrc", "go.gif");
             return Named(Dialog);
         }},
        {Tool<TToolSelectCombo>(), Named},
        {Tool<TToolSelectList>(), Named},
        {Tool<TToolTextArea>(), Named},
    };
    Palette().Host.EnsureSaved = [] { return true; };
    for (const TCase& Case : Cases) {
        ASSERT_TRUE(Case.Tool);
        SCOPED_TRACE(Case.Tool->Hint);
        H.LoadFile("caret.html", "<html><head><title>Caret</title></head><body>\n"
                                 "<p id=\"p\" class=\"k\" data-x=\"\">Alpha Beta <img src=\"pic.gif\" alt=\"pic\" "
                                 "width=\"20\" height=\"20\"> Gamma</p>\n</body></html>\n");
        // the caret in the middle of the paragraph, in front of "Beta", as the user puts it there
        ASSERT_TRUE(H.Click(H.Centre("#p")));
        ASSERT_TRUE(PageKey(D, Qt::Key_Home));
        for (int I = 0; I < 6; ++I) ASSERT_TRUE(PageKey(D, Qt::Key_Right));
        ASSERT_EQ(D.GetSelectionKind(), 1);
        QString AtCaret, BeforeImage;
        ASSERT_TRUE(RunTool(Case.Tool, [&](QWidget* Dialog) { AtCaret = Case.Fill(Dialog); }));
        EXPECT_EQ(D.UndoList().back().Name, "Insert");
        // the picture selected whole (where it stands once the new element shows): in front of it
        H.WaitForPictures();
        ASSERT_TRUE(H.Click(H.Centre("img[alt=pic]")));
        ASSERT_TRUE(D.HasControlSelection());
        ASSERT_TRUE(RunTool(Case.Tool, [&](QWidget* Dialog) { BeforeImage = Case.Fill(Dialog); }));

        const std::string Saved = SaveBytes("caret.html");
        const size_t First = Saved.find(AtCaret.toStdString()),
                     Second = Saved.find(BeforeImage.toStdString(), First + 1);
        ASSERT_NE(Second, std::string::npos) << Saved;
        EXPECT_LT(Saved.find("Alpha"), First) << Saved;
        EXPECT_LT(First, Saved.find("Beta")) << Saved;
        EXPECT_LT(Saved.find("Beta"), Second) << Saved;
        EXPECT_LT(Second, Saved.find("<img src=\"pic.gif\"")) << Saved;
        EXPECT_NE(Saved.find("Gamma</p>"), std::string::npos) << Saved;
    }
    Palette().Host.EnsureSaved = nullptr;
}

TEST(ToolExecute, DoubleClickOpensTheFirstToolThatTakesTheElement)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\"><a id=\"l\" href=\"x.html\">link</a> <!-- note --> <br id=\"r\" clear=\"all\"></p>"));
    const THtmlDocument Doc = D.Document();
    int Changes = 0;
    Palette().OnChange = [&](QObject*) { ++Changes; };

    // a link goes to the hyperlink command
    ASSERT_TRUE(H.Click(H.Centre("a")));
    {
        TModalAnswer Answer([](QWidget* Dialog) {
            EXPECT_TRUE(qobject_cast<TFormHyperlink*>(Dialog));
            Dialog->close();
        });
        Palette().EditElement(Doc.getElementById("l"));
        EXPECT_TRUE(Answer.Seen);
    }

    // a comment placeholder: the comment dialog, filled from its stored node
    {
        TModalAnswer Answer([](QWidget* Dialog) {
            EXPECT_TRUE(dynamic_cast<TFormToolComment*>(Dialog));
            EXPECT_EQ(FieldText(Dialog, "MemoComment"), "<!-- note -->");
            PressCancel(Dialog);
        });
        Palette().EditElement(Doc.getElementById(H.DesignId("img[src=\"edit:comment.gif\"]")));
        EXPECT_TRUE(Answer.Seen);
    }
    EXPECT_EQ(Changes, 0);

    // a br: its dialog; OK writes the field back as one undo group
    {
        TModalAnswer Answer([](QWidget* Dialog) {
            EXPECT_EQ(FieldText(Dialog, "ComboClear"), "all");
            SetField(Dialog, "ComboClear", "");
            PressOk(Dialog);
        });
        Palette().EditElement(Doc.getElementById("r"));
        EXPECT_TRUE(Answer.Seen);
    }
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(H.Eval("document.getElementById('r').outerHTML").toString(), "<br id=\"r\">");
    EXPECT_EQ(D.UndoList().back().Name, "Edit");
    D.Undo();
    EXPECT_EQ(H.Eval("document.getElementById('r').outerHTML").toString(), "<br id=\"r\" clear=\"all\">");

    // a tool that does not edit in place replaces the element by its dialog's HTML
    struct TReplacingBr : TToolBr {
        TReplacingBr() { EditInPlace = false; }
    };
    TToolManager Replacing;
    Replacing.SetDesigner(&D);
    Replacing.AddTool<TReplacingBr>();
    Replacing.OnChange = Palette().OnChange;
    {
        TModalAnswer Answer([](QWidget* Dialog) {
            SetField(Dialog, "ComboClear", "both\"&");
            PressOk(Dialog);
        });
        Replacing.EditElement(Doc.getElementById("r"));
        EXPECT_TRUE(Answer.Seen);
    }
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(H.Eval("document.querySelector('#p br').outerHTML").toString(), "<br clear=\"both&quot;&amp;\">");
    EXPECT_EQ(H.Eval("document.querySelector('#p br').getAttribute('clear')").toString(), "both\"&");
    D.Undo();

    // a submit button clicked in the page sends nothing: the page stays, and its dialog opens
    ASSERT_TRUE(H.LoadBody("<form action=\"send.php\"><p id=\"p\">x <input id=\"go\" type=\"submit\" name=\"go\">"
                           " <button id=\"b\">B</button></p></form>"));
    for (const char* Button : {"#go", "#b"}) {
        ASSERT_TRUE(H.Click(H.Centre(Button)));
        ASSERT_TRUE(H.Click(H.Centre("#p")));
        EXPECT_TRUE(D.HasDocument()) << Button;
    }
    {
        TModalAnswer Answer([](QWidget* Dialog) {
            EXPECT_EQ(Dialog->windowTitle(), "  Input Button");
            PressCancel(Dialog);
        });
        Palette().EditElement(D.Document().getElementById("go"));
        EXPECT_TRUE(Answer.Seen);
    }

    // a double click on what the page shows opens its dialog: a list box, and placeholders
    // of elements that have no size of their own
    ASSERT_TRUE(H.LoadBody("<form><p id=\"f\">x <select id=\"l\" name=\"l\" size=\"3\"><option>A</option><option>B</option>"
                           "</select> <marquee>Run</marquee> <input type=\"image\" name=\"i\" src=\"missing.gif\"></p></form>"));
    D.OnDblClick = [&](QObject*) { Palette().EditElement(D.CurrentElement()); };
    for (const auto& [Selector, Title] : {std::pair{"#l", "  Input Listbox"}, std::pair{".dsgn_marquee", "  Marquee"},
                                          std::pair{"img.dsgn_broken", "  Image Button"}}) {
        EXPECT_GE(H.Eval(QString("document.querySelector('%1').offsetWidth").arg(Selector)).toInt(), 16) << Selector;
        QString Shown;
        TModalAnswer Answer([&](QWidget* Dialog) {
            Shown = Dialog->windowTitle();
            PressCancel(Dialog);
        });
        PageDoubleClick(D, H.Centre(Selector));
        EXPECT_TRUE(WaitFor([&] { return Answer.Seen; }, 2000)) << Selector;
        EXPECT_EQ(Shown, Title);
    }
    D.OnDblClick = nullptr;
    // a choice clicked in a list box selects the list box: a tool's element goes before it
    ASSERT_TRUE(H.Click(H.Centre("#l option:nth-child(2)")));
    EXPECT_EQ(D.CurrentElement().tagName(), "SELECT");
    ASSERT_TRUE(RunTool(Tool<TToolHr>()));
    EXPECT_TRUE(Body(H).contains("</p><hr><p><select id=\"l\"")) << Body(H).toStdString();
    EXPECT_FALSE(SaveBytes("list.html").find("<marquee width") != std::string::npos);

    ASSERT_TRUE(H.LoadBody("<p id=\"p\"><br id=\"r\" clear=\"all\"></p>"));
    const THtmlDocument Page = D.Document();

    // an element no tool takes, a null handle, an element gone: nothing
    {
        TModalAnswer Answer([](QWidget* Dialog) { PressCancel(Dialog); });
        const THtmlElement Br = Page.getElementById("r");
        Palette().EditElement(Page.getElementById("p"));
        Palette().EditElement(THtmlElement());
        H.Eval("document.getElementById('r').remove()");
        Palette().EditElement(Br);
        EXPECT_FALSE(Answer.Seen);
    }
    EXPECT_EQ(Changes, 3);
    Palette().OnChange = nullptr;
}
