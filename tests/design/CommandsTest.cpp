// Editing commands and their undo groups: named groups for actions, one group for a run of
// typing, and undo and redo that give back the page exactly.
#include <QApplication>
#include <QClipboard>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "DesignerHost.h"
#include "EngineIds.h"
#include "UnitFind.h"
#include "UnitHyperlink.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

// The groups, brought up to date with the engine first.
std::vector<std::string> Names(THtmlDesigner& D)
{
    D.CanUndo();
    std::vector<std::string> Result;
    for (const TUndoAction& A : D.UndoList()) Result.push_back(A.Name);
    return Result;
}

QString SelectedText(TDesignerHost& H) { return H.Eval("getSelection().toString()").toString(); }

// Runs Answer on the link dialog once it shows modally.
void WhenLinkDialogShows(std::function<void(TFormHyperlink*)> Answer)
{
    auto* Timer = new QTimer;
    QObject::connect(Timer, &QTimer::timeout, [Timer, Answer] {
        if (auto* Dialog = qobject_cast<TFormHyperlink*>(QApplication::activeModalWidget())) {
            Timer->stop();
            Timer->deleteLater();
            Answer(Dialog);
        }
    });
    Timer->start(10);
}

const char* const Page = "<p id=\"a\">first line of text</p>"
                         "<p id=\"b\">second <a id=\"l\" href=\"http://x/\">link</a> text</p>"
                         "<ul><li id=\"li\">item</li></ul>";

}  // namespace

TEST(DesignerUndo, ActionsAndTypedKeysAreGroups)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">hello world</p>"));
    EXPECT_FALSE(D.CanUndo());
    const QString Original = H.BodyHtml();

    H.SelectText("#p", 0, 5);
    D.Run(IDM_BOLD);
    ASSERT_EQ(Names(D), std::vector<std::string>{"Bold"});
    EXPECT_GE(D.UndoList()[0].Units, 1);
    const QString Bold = H.BodyHtml();
    H.Type("ab");
    const QString Typed = H.BodyHtml();
    ASSERT_EQ(Names(D), (std::vector<std::string>{"Bold", ""}));
    EXPECT_EQ(D.UndoList()[1].Units, 1);
    EXPECT_EQ(D.UndoIndex(), 1);

    // the typing goes back at once, then the Bold
    D.Undo();
    EXPECT_EQ(D.UndoIndex(), 0);
    EXPECT_EQ(H.BodyHtml(), Bold);
    D.Undo();
    EXPECT_EQ(H.BodyHtml(), Original);
    EXPECT_FALSE(D.CanUndo());
    EXPECT_TRUE(D.CanRedo());
    D.Redo();
    D.Redo();
    EXPECT_EQ(H.BodyHtml(), Typed);
    EXPECT_FALSE(D.CanRedo());

    // a new action after an undo ends the redo history
    H.SelectText("#p b", 0, 2);
    D.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    D.Undo();
    EXPECT_TRUE(D.CanRedo());
    H.SelectText("#p b", 0, 0);
    D.Paste();
    EXPECT_FALSE(D.CanRedo());
    EXPECT_EQ(Names(D), (std::vector<std::string>{"Bold", "Paste"}));
    EXPECT_TRUE(H.BodyHtml().contains("<b>abhello</b>"));

    // an action that changes nothing leaves no group: undo then takes back the paste
    const QString Before = H.BodyHtml();
    {
        TUndoGroup Nothing(D, "Nothing");
        EXPECT_FALSE(Nothing.Close());
    }
    EXPECT_EQ(Names(D), (std::vector<std::string>{"Bold", "Paste"}));
    EXPECT_FALSE(D.CanRedo());
    // a group inside another is part of it
    {
        TUndoGroup Outer(D, "Outer");
        H.SelectText("#p b", 0, 0);
        D.Paste();
        EXPECT_TRUE(Outer.Close());
    }
    EXPECT_EQ(Names(D), (std::vector<std::string>{"Bold", "Paste", "Outer"}));
    D.Undo();
    EXPECT_EQ(H.BodyHtml(), Before);
    EXPECT_EQ(D.UndoIndex(), 1);
    EXPECT_TRUE(D.CanRedo());

    // the engine's own undo keys go through the groups
    D.Undo();
    EXPECT_EQ(D.UndoIndex(), 0);
    emit D.RedoKey();
    EXPECT_EQ(D.UndoIndex(), 1);
    EXPECT_EQ(H.BodyHtml(), Before);

    // loading a document clears the groups
    ASSERT_TRUE(H.LoadBody("<p>again</p>"));
    EXPECT_TRUE(D.UndoList().empty());
    EXPECT_EQ(D.UndoIndex(), -1);

    // an attribute that undo puts back returns to its place in a loaded element, from a
    // string or a file; bare and odd attributes read back as written
    const std::string Marked = "<p id=\"q\" title=\"t&quot;\" class=\"c\" data-x=\"\">x &#187; y</p>"
                               "<input type=\"checkbox\" checked><svg><rect width=\"1\"/></svg>"
                               "<div @click=\"go\" lang=\"\u0436\">\u0436</div>";
    for (const bool FromFile : {false, true}) {
        SCOPED_TRACE(FromFile ? "file" : "string");
        if (FromFile) H.LoadFile("marked.html", "<html><body>" + Marked + "</body></html>");
        else ASSERT_TRUE(H.LoadBody(Marked));
        const QString Loaded = H.BodyHtml();
        const WideString Source = D.GetHtml();
        EXPECT_TRUE(Loaded.contains("<p id=\"q\" title=\"t&quot;\" class=\"c\" data-x=\"\">")) << Loaded.toStdString();
        EXPECT_FALSE(Loaded.contains("zv-")) << Loaded.toStdString();
        for (const char16_t* Written : {u"title=\"t&quot;\"", u"x &#187; y", u"checked>", u"@click=\"go\""})
            EXPECT_NE(Source.find(Written), WideString::npos) << Utf16ToUtf8(Source);
        ASSERT_TRUE(D.Document().getElementById("q").removeAttribute("title"));
        D.Undo();
        EXPECT_EQ(H.BodyHtml(), Loaded);
        EXPECT_TRUE(D.GetHtml() == Source);
    }
}

TEST(DesignerUndo, UndoAndRedoGiveBackThePageAfterEveryCommand)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    struct TCase {
        const char* Name;
        const char* Select;     // where the selection goes: element id
        int Start, End;
        std::function<void()> Run;
    };
    QApplication::clipboard()->setText("pasted words");
    const std::vector<TCase> Cases = {
        {"Bold", "#a", 0, 5, [&] { D.Run(IDM_BOLD); }},
        {"Italic", "#a", 0, 5, [&] { D.Run(IDM_ITALIC); }},
        {"Underline", "#a", 6, 10, [&] { D.Run(IDM_UNDERLINE); }},
        {"Center", "#a", 0, 5, [&] { D.Run(IDM_JUSTIFYCENTER); }},
        {"Right", "#a", 0, 5, [&] { D.Run(IDM_JUSTIFYRIGHT); }},
        {"Left", "#a", 0, 5, [&] { D.Run(IDM_JUSTIFYRIGHT); D.Run(IDM_JUSTIFYLEFT); }},
        {"Order List", "#a", 0, 5, [&] { D.Run(IDM_ORDERLIST); }},
        {"Unorder List", "#li", 0, 2, [&] { D.Run(IDM_UNORDERLIST); }},
        {"Indent", "#a", 0, 5, [&] { D.Run(IDM_INDENT); }},
        {"Outdent", "#li", 0, 2, [&] { D.Run(IDM_OUTDENT); }},
        {"Hyperlink", "#a", 0, 5, [&] { D.SetHyperlink("http://example.com/"); }},
        {"Unlink", "#l", 1, 2, [&] { D.Unlink(); }},
        {"Back Color", "#a", 0, 5, [&] { D.SetBackColor(clYellow); }},
        {"Fore Color", "#a", 0, 5, [&] { D.SetForeColor(RgbColor(0x12, 0x34, 0x56)); }},
        {"Block Format", "#a", 0, 5, [&] { D.SetBlockFormat("Heading 2"); }},
        {"Font Name", "#a", 0, 5, [&] { D.SetFontName("Courier New"); }},
        {"Font Size", "#a", 0, 5, [&] { D.SetFontSize(5); }},
        {"Cut", "#a", 0, 6, [&] { D.Cut(); }},
        {"Paste", "#a", 6, 10, [&] { D.Paste(); }},
        {"Insert", "#a", 6, 10, [&] { D.InsertHtml(u"<b id=\"new\">inserted</b> <img src=\"edit:comment.gif\">"); }},
        {"Typing", "#a", 3, 3, [&] { H.Type("xyz"); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        ASSERT_TRUE(H.LoadBody(Page));
        H.SelectText(C.Select, C.Start, C.End);
        const QString Before = H.BodyHtml();
        C.Run();
        const QString After = H.BodyHtml();
        EXPECT_NE(After, Before);
        if (std::string(C.Name) != "Typing") {
            EXPECT_EQ(Names(D).back(), C.Name);
        }
        while (D.CanUndo()) D.Undo();
        EXPECT_EQ(H.BodyHtml(), Before);
        while (D.CanRedo()) D.Redo();
        EXPECT_EQ(H.BodyHtml(), After);
    }
}

TEST(DesignerCommands, ValuesStatesAndTheLinkOnAnAnchor)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\"><font size=\"2\">small</font> <font size=\"5\">large</font></p>"
                           "<h1 id=\"h\">heading</h1><p><a name=\"top\"></a>mark</p>"));
    // font sizes: one size, a mixed selection, clamping
    H.SelectText("#p font", 0, 5);
    EXPECT_EQ(D.GetFontSize(), 2);
    H.Eval("(function(){ const f = document.querySelectorAll('#p font'); const r = document.createRange();"
           " r.setStart(f[0].firstChild, 1); r.setEnd(f[1].firstChild, 2); getSelection().removeAllRanges();"
           " getSelection().addRange(r); })()");
    EXPECT_EQ(D.GetFontSize(), -1);
    EXPECT_EQ(D.GetState().FontSizeValue, -1);
    H.SelectText("#h", 0, 3);
    D.SetFontSize(0);
    EXPECT_TRUE(H.BodyHtml().contains("<font size=\"1\">hea</font>"));
    D.SetFontSize(9);
    EXPECT_TRUE(H.BodyHtml().contains("<font size=\"7\">hea</font>"));
    EXPECT_EQ(D.GetFontSize(), 7);

    QStringList Formats;
    D.GetBlockFormats(Formats);
    EXPECT_TRUE(Formats.contains("Normal") && Formats.contains("Heading 1"));
    EXPECT_EQ(D.GetBlockFormat(), "Heading 1");

    // the state in one call agrees with the single queries
    H.SelectText("#p font", 0, 3);
    D.Run(IDM_BOLD);
    const TDesignerState S = D.GetState();
    EXPECT_TRUE(S.Bold.Is && S.Bold.Can && D.IsOn(IDM_BOLD));
    EXPECT_EQ(S.Italic.Is, D.IsOn(IDM_ITALIC));
    EXPECT_EQ(S.Cut.Can, D.CanRun(IDM_CUT));
    EXPECT_EQ(S.BlockFormatName, "Normal");
    EXPECT_EQ(S.FontSizeValue, 2);
    EXPECT_TRUE(S.CanUndo && !S.CanRedo);
    EXPECT_EQ(S.SelectionKind, 2);
    EXPECT_EQ(S.SelectedTagName, "Text");
    EXPECT_TRUE(S.Hyperlink.Can && D.CanHyperlink());

    // the named-anchor placeholder cannot be wrapped in a link
    ASSERT_TRUE(H.Click(H.Centre("img")));
    EXPECT_EQ(D.GetSelectionKind(), 1);
    EXPECT_EQ(D.GetSelectedTagName(), "A");
    EXPECT_FALSE(D.CanHyperlink());
    EXPECT_FALSE(D.GetState().Hyperlink.Can);
}

TEST(DesignerCommands, InsertHtmlBeforeASelectedElement)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">picture <img src=\"pic.gif\" width=\"30\" height=\"20\"> here</p>"));
    ASSERT_TRUE(H.Click(H.Centre("img")));
    ASSERT_EQ(D.Document().selection().type(), "Control");
    D.InsertHtml(u"<i id=\"it\">new</i>");
    EXPECT_EQ(H.Eval("document.querySelector('img').previousSibling.id").toString(), "it");
    // the group was closed: the next action is a group of its own
    H.SelectText("#p", 0, 3);
    D.Run(IDM_ITALIC);
    EXPECT_EQ(Names(D), (std::vector<std::string>{"Insert", "Italic"}));
    D.Undo();
    D.Undo();
    EXPECT_FALSE(H.BodyHtml().contains("new"));
}

TEST(DesignerCommands, FindAndLinkDialogs)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">Hello world, hello WORLD.</p>"
                           "<p>go <a id=\"l\" href=\"http://old.example/\">there</a> now</p>"));
    H.SelectText("#p", 0, 0);
    EXPECT_TRUE(D.FindNext("WORLD", true));
    EXPECT_EQ(H.Eval("getSelection().anchorOffset").toInt(), 19);
    EXPECT_FALSE(D.FindNext("World", true));
    H.SelectText("#p", 0, 0);
    EXPECT_TRUE(D.FindNext("world", false));
    EXPECT_TRUE(D.FindNext("world", false));
    EXPECT_EQ(H.Eval("getSelection().anchorOffset").toInt(), 19);

    TFormFind* Find = D.FindDialog();
    D.Find();
    EXPECT_TRUE(Find->isVisible());
    Find->SetFindText("there");
    EXPECT_TRUE(Find->FindNext());
    EXPECT_EQ(SelectedText(H), "there");
    Find->SetFindText("nowhere");
    EXPECT_FALSE(Find->FindNext());
    EXPECT_TRUE(Find->Status().contains("nowhere"));
    Find->close();

    // the link dialog starts with the address of the link at the selection
    H.SelectText("#l", 1, 3);
    QString Offered;
    WhenLinkDialogShows([&](TFormHyperlink* Dialog) {
        Offered = Dialog->Url();
        Dialog->SetUrl("  http://new.example/  ");
        Dialog->accept();
    });
    D.Hyperlink();
    EXPECT_EQ(Offered, "http://old.example/");
    EXPECT_TRUE(H.BodyHtml().contains("http://new.example/"));
    EXPECT_EQ(Names(D).back(), "Hyperlink");
    // cancelled: nothing changes
    H.SelectText("#p", 0, 5);
    const QString Before = H.BodyHtml();
    WhenLinkDialogShows([&](TFormHyperlink* Dialog) {
        Offered = Dialog->Url();
        Dialog->reject();
    });
    D.Hyperlink();
    EXPECT_EQ(Offered, "http://");
    EXPECT_EQ(H.BodyHtml(), Before);
}
