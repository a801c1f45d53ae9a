// The designer as the page's host: its events, the context menu, the edit-designer hook that
// drives the table cell selection, resize reports, and page scripts that never run.
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "DesignerHost.h"
#include "TableDriver.h"
#include "HtmlFilter.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

// Counts each event of the designer by name while it lives.
struct TEventLog {
    explicit TEventLog(THtmlDesigner& D) : Designer(D)
    {
        for (auto [Name, Event] : Events()) D.*Event = [this, Name](QObject*) { ++Seen[Name]; };
        D.OnPopupMenu = [this](QObject*, int X, int Y) {
            ++Seen["popup"];
            MenuPos = QPoint(X, Y);
        };
    }
    ~TEventLog()
    {
        for (auto [Name, Event] : Events()) Designer.*Event = nullptr;
        Designer.OnPopupMenu = nullptr;
    }
    static std::vector<std::pair<std::string, TDesignerEvent THtmlDesigner::*>> Events()
    {
        return {{"mousedown", &THtmlDesigner::OnMouseDown}, {"mouseup", &THtmlDesigner::OnMouseUp},
                {"click", &THtmlDesigner::OnClick},         {"dblclick", &THtmlDesigner::OnDblClick},
                {"keydown", &THtmlDesigner::OnKeyDown},     {"keypress", &THtmlDesigner::OnKeyPress},
                {"keyup", &THtmlDesigner::OnKeyUp},         {"mousemove", &THtmlDesigner::OnMouseMove},
                {"resized", &THtmlDesigner::OnResized},     {"complete", &THtmlDesigner::OnDocumentComplete}};
    }
    THtmlDesigner& Designer;
    std::map<std::string, int> Seen;
    QPoint MenuPos;
};

std::string CurrentId(THtmlDesigner& D) { return D.CurrentElement() ? D.CurrentElement().id() : "(none)"; }

}  // namespace

TEST(DesignerEvents, PageEventsContextMenuAndCurrentElement)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    // the page's own handlers never run
    ASSERT_TRUE(H.LoadBody("<p id=\"p\" onclick=\"document.body.setAttribute('data-ran', 1); alert(1)\">"
                           "first paragraph</p><p id=\"q\">second paragraph</p>"));
    TEventLog Log(D);
    QWidget* Proxy = D.focusProxy();

    ASSERT_TRUE(H.Click(H.Centre("#p")));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["click"] == 1; }));
    EXPECT_EQ(Log.Seen["mousedown"], 1);
    EXPECT_EQ(Log.Seen["mouseup"], 1);
    EXPECT_EQ(CurrentId(D), "p");
    EXPECT_FALSE(H.Eval("document.body.hasAttribute('data-ran')").toBool());
    for (QWidget* W : QApplication::topLevelWidgets())
        EXPECT_TRUE(W == &D || !W->isVisible()) << W->metaObject()->className();

    // the pointer passing over another paragraph leaves the current element alone
    QTest::mouseMove(Proxy, H.Centre("#q"));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["mousemove"] > 0; }));
    EXPECT_EQ(CurrentId(D), "p");

    // a right click: the application's menu at the pointer, for the element under it
    ASSERT_TRUE(H.Click(H.Centre("#q"), Qt::RightButton));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["popup"] == 1; }));
    EXPECT_EQ(Log.MenuPos, Proxy->mapToGlobal(H.Centre("#q")));
    EXPECT_EQ(CurrentId(D), "q");

    // a key names the body; the element that holds the caret counts
    H.SelectText("#p", 5, 5);
    H.Type("x");
    EXPECT_EQ(Log.Seen["keydown"], 1);
    EXPECT_EQ(Log.Seen["keypress"], 1);
    EXPECT_EQ(Log.Seen["keyup"], 1);
    EXPECT_EQ(CurrentId(D), "p");
    EXPECT_EQ(H.Eval("document.getElementById('p').textContent").toString(), "firstx paragraph");

    // a new document: events come once, from the new page only
    ASSERT_TRUE(H.LoadBody("<p id=\"n\">new</p>"));
    ASSERT_TRUE(H.LoadBody("<p id=\"m\">newer</p>"));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["complete"] == 2; }));
    EXPECT_FALSE(D.CurrentElement());
    Log.Seen.clear();
    ASSERT_TRUE(H.Click(H.Centre("#m")));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["click"] == 1; }));
    ASSERT_TRUE(test::WaitForFrames(D));   // whatever else the page sent has come by now
    EXPECT_EQ(Log.Seen["click"], 1);
    EXPECT_EQ(Log.Seen["mousedown"], 1);
    EXPECT_EQ(CurrentId(D), "m");
    EXPECT_EQ(Log.Seen["complete"], 0);
}

TEST(DesignerEvents, MouseEventsReachTheCellSelection)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">before the table</p>"
                           "<table border=\"1\" cellspacing=\"12\"><tr><td id=\"a\">cell a</td>"
                           "<td id=\"b\"><p>cell <b id=\"bb\">b in bold</b></p></td></tr></table>"
                           "<p id=\"q\">after</p>"));
    const THtmlDocument Doc = D.Document();
    const auto Lit = [&](const char* Id) { return Doc.getElementById(Id).runtimeStyleBackground() == u"yellow"; };

    // press in one cell, move onto the bold text of the next, release there: a block of both
    test::Drag(H.Centre("#a"), H.Centre("#bb"));
    EXPECT_TRUE(D.Tables().CellsSelected());
    EXPECT_FALSE(D.Tables().Dragging());
    EXPECT_TRUE(Lit("a") && Lit("b"));
    EXPECT_EQ(D.Tables().TableId(), H.DesignId("table"));

    // a press on the table between its cells knows the table but no cell
    const QVariantList Corner = H.Eval("(function(){ const r = document.querySelector('table')"
                                       ".getBoundingClientRect(); return [r.left + 5, r.top + 5]; })()")
                                    .toList();
    ASSERT_TRUE(H.Click(QPoint(Corner.value(0).toInt(), Corner.value(1).toInt())));
    EXPECT_TRUE(D.Tables().SelectedTable());
    EXPECT_FALSE(D.Tables().LastCell());
    EXPECT_FALSE(D.Tables().CellsSelected());

    // moving over paragraphs outside changes nothing; pressing on one forgets the table and
    // takes the highlight off its cells
    test::Drag(H.Centre("#a"), H.Centre("#b"));
    ASSERT_TRUE(Lit("a"));
    QTest::mouseMove(D.focusProxy(), H.Centre("#q"));
    QTest::mouseMove(D.focusProxy(), H.Centre("#p"));
    ASSERT_TRUE(test::WaitForFrames(D));
    EXPECT_TRUE(D.Tables().CellsSelected());
    EXPECT_TRUE(Lit("a"));
    ASSERT_TRUE(H.Click(H.Centre("#q")));
    EXPECT_FALSE(D.Tables().SelectedTable());
    EXPECT_TRUE(D.Tables().TableId().empty());
    EXPECT_FALSE(D.Tables().LastCell());
    EXPECT_FALSE(D.Tables().CellsSelected());
    EXPECT_FALSE(Lit("a") || Lit("b"));

    // a new document forgets the table
    ASSERT_TRUE(H.Click(H.Centre("#bb")));
    EXPECT_TRUE(D.Tables().LastCell() == Doc.getElementById("b"));
    ASSERT_TRUE(H.LoadBody("<p>plain</p>"));
    EXPECT_FALSE(D.Tables().SelectedTable());
}

TEST(DesignerEvents, ResizeReportsGoToTheStoredObject)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    H.LoadFile("resize.html",
               "<html><body><p>movie <object classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\""
               " width=\"100\" height=\"80\"><param name=\"movie\" value=\"m.swf\"></object> end</p>"
               "</body></html>");
    TEventLog Log(D);
    const std::string Id = H.DesignId("img.dsgn_flash");
    ASSERT_FALSE(Id.empty());
    auto Stored = [&] {
        const auto* Node = dynamic_cast<const THtmlTag*>(D.Filter->FindObject(Utf8ToUtf16(Id)));
        return Node ? Utf16ToUtf8(Node->GetAttribute(attrWidth) + u"x" + Node->GetAttribute(attrHeight))
                    : std::string("(none)");
    };
    EXPECT_EQ(Stored(), "100x80");

    // page script reports an element through window.external
    H.Eval(QString("(function(){ const e = document.getElementById('%1'); e.setAttribute('width', 150);"
                   " e.setAttribute('height', 90); external.Report(e); })()")
               .arg(QString::fromStdString(Id)));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["resized"] == 1; }));
    EXPECT_EQ(CurrentId(D), Id);
    EXPECT_EQ(Stored(), "150x90");

    // the user drags the corner handle of the selected placeholder
    ASSERT_TRUE(H.Click(H.Centre("img.dsgn_flash")));
    const QVariantList Box = H.Eval("(function(){ const r = document.querySelector('img.dsgn_flash')"
                                    ".getBoundingClientRect(); return [r.right, r.bottom]; })()")
                                 .toList();
    const QPoint Corner(Box.value(0).toInt(), Box.value(1).toInt());
    QWidget* Proxy = D.focusProxy();
    QTest::mousePress(Proxy, Qt::LeftButton, {}, Corner);
    QTest::mouseMove(Proxy, Corner + QPoint(20, 10));
    QTest::mouseMove(Proxy, Corner + QPoint(40, 30));
    QTest::mouseRelease(Proxy, Qt::LeftButton, {}, Corner + QPoint(40, 30));
    ASSERT_TRUE(test::WaitFor([&] { return Log.Seen["resized"] == 2; }));
    EXPECT_EQ(Stored(), "190x120");
    D.SaveToFile(H.Folder() / "resized.html");
    EXPECT_NE(test::ReadAll(H.Folder() / "resized.html").find("width=\"190\" height=\"120\""),
              std::string::npos);

    // undoing the drag gives the stored object its size back, redoing it the new one
    // the source text follows each step, never a text read before it
    const auto Source = [&] { return Utf16ToUtf8(D.GetHtml()); };
    EXPECT_NE(Source().find("width=\"190\" height=\"120\""), std::string::npos) << Source();
    D.Undo();
    EXPECT_EQ(Stored(), "150x90");
    EXPECT_NE(Source().find("width=\"150\" height=\"90\""), std::string::npos) << Source();
    D.Redo();
    EXPECT_EQ(Stored(), "190x120");
    EXPECT_NE(Source().find("width=\"190\" height=\"120\""), std::string::npos) << Source();
}
