// The palette, the registration of the tools and the helpers every dialog uses.
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "HtmlEntities.h"
#include "ToolAnchor.h"
#include "ToolBr.h"
#include "ToolComment.h"
#include "ToolDate.h"
#include "ToolHr.h"
#include "ToolsHost.h"

using namespace zv;
using namespace zv::test;

namespace {

// A tool that counts how often the palette asked for its dialog (it has none).
struct TCountingTool : TToolItem {
    int Asked = 0;
    TCountingTool() { ImageIndex = 1; }
    std::unique_ptr<TTagEditor> NewEditor() override
    {
        ++Asked;
        return nullptr;
    }
};

std::vector<QPixmap> NumberedIcons(int Count)
{
    std::vector<QPixmap> Icons;
    for (int K = 0; K < Count; ++K) {
        QPixmap Icon(20, 20);
        Icon.fill(QColor::fromHsv(K * 9 % 360, 120, 230));
        QPainter P(&Icon);
        P.setFont(QFont("DejaVu Sans", 7));
        P.drawText(Icon.rect(), Qt::AlignCenter, QString::number(K));
        Icons.push_back(Icon);
    }
    return Icons;
}

// The pointer moving over a shown top-level widget, through its window.
void MoveTo(QWidget& W, const QPoint& Pos) { QTest::mouseMove(W.windowHandle(), Pos); }

QRect Cell(const TToolItem& T)
{
    return QRect(QPoint(T.ButtonRect.Left, T.ButtonRect.Top), QPoint(T.ButtonRect.Right - 1, T.ButtonRect.Bottom - 1));
}

}  // namespace

TEST(ToolFramework, RegistrationOrderAndFirstClaims)
{
    TToolManager Manager;
    RegisterTools(Manager);
    std::vector<std::string> Hints;
    for (const auto& T : Manager.AllTools()) Hints.push_back(T->IsSeparator() ? "-" : T->Hint);
    // the palette order; tools not registered yet are left out of it
    const std::vector<std::string> Order = {
        "Body", "Insert Image", "Insert Table", "Insert Horizontal Rule", "Insert Date and Time",
        "Insert Comment", "Insert Line Break", "Insert Anchor", "Table Cell", "Insert Script",
        "Insert External Script File", "-", "Insert Form", "Insert Input Text", "Insert Input Password",
        "Insert Input Button", "Insert Input Checkbox", "Insert Radio Button", "Insert Input File",
        "Insert Hidden Input", "Insert Image Button", "Insert Input Combobox", "Insert Input Listbox",
        "Insert Text Area", "-", "Insert Background Sound", "Insert Running Text (Marquee)",
        "Insert Flash Movie", "Insert QuickTime Movie", "Insert Real Media", "Insert Windows Media Player",
        "Insert Java Applet", "Insert ActiveX Object"};
    std::vector<std::string> Expected;
    for (const std::string& H : Order)
        if (H == "-" || std::find(Hints.begin(), Hints.end(), H) != Hints.end()) Expected.push_back(H);
    EXPECT_EQ(Hints, Expected);
    EXPECT_EQ(std::count(Hints.begin(), Hints.end(), "-"), 2);
    // the date tool only inserts; separators get no designer
    size_t Editors = 0;
    for (const auto& T : Manager.AllTools()) Editors += !T->TagName.empty();
    ASSERT_EQ(Manager.TagEditors().size(), Editors);
    const size_t Separator = std::find(Hints.begin(), Hints.end(), "-") - Hints.begin();
    const size_t Date = std::find(Hints.begin(), Hints.end(), "Insert Date and Time") - Hints.begin();
    EXPECT_EQ(Manager.AllTools()[Separator]->ImageIndex, -2);
    THtmlDesigner& D = TDesignerHost::Get().Designer();
    Manager.SetDesigner(&D);
    EXPECT_EQ(Manager.TagEditors()[0]->Designer, &D);
    EXPECT_EQ(Manager.AllTools()[Date]->Designer, nullptr);   // insert-only tools keep theirs
    EXPECT_EQ(Manager.AllTools()[Separator]->Designer, nullptr);

    // the comment and anchor tools both edit placeholder pictures: each claims only its own
    TDesignerHost& H = TDesignerHost::Get();
    ASSERT_TRUE(H.LoadBody("<p>x<!-- note --><a name=\"here\"></a><img src=\"a.gif\"></p>"));
    const THtmlDocument Doc = D.Document();
    const THtmlElement Comment = Doc.getElementById(H.DesignId("img[src=\"edit:comment.gif\"]"));
    const THtmlElement Anchor = Doc.getElementById(H.DesignId("img[src=\"edit:anchor.gif\"]"));
    const auto ByHint = [&](const char* Hint) {
        for (TToolItem* T : Manager.TagEditors())
            if (T->Hint == Hint) return T;
        return static_cast<TToolItem*>(nullptr);
    };
    TToolItem* CommentTool = ByHint("Insert Comment");
    TToolItem* AnchorTool = ByHint("Insert Anchor");
    EXPECT_TRUE(CommentTool->CanEdit(Comment));
    EXPECT_FALSE(CommentTool->CanEdit(Anchor));
    EXPECT_TRUE(AnchorTool->CanEdit(Anchor));
    EXPECT_FALSE(AnchorTool->CanEdit(Comment));
    // a placeholder picture without a design id (pasted) belongs to no tool
    H.Eval("document.querySelector('p').insertAdjacentHTML('beforeend', '<img src=\"edit:anchor.gif\" id=\"pasted\" name=\"live\">')");
    const THtmlElement Pasted = Doc.getElementById("pasted");
    ASSERT_TRUE(Pasted);
    EXPECT_FALSE(AnchorTool->CanEdit(Pasted));
    // its dialogs, run headless on it, work on the live element
    const std::unique_ptr<TTagEditor> AnchorDialog = AnchorTool->NewEditor();
    AnchorDialog->Open(&D, Pasted);
    EXPECT_EQ(FieldText(AnchorDialog.get(), "EditName"), "live");
    SetField(AnchorDialog.get(), "EditName", "");
    EXPECT_FALSE(AnchorDialog->CheckFields());   // a name cannot be emptied
    SetField(AnchorDialog.get(), "EditName", "moved");
    EXPECT_TRUE(AnchorDialog->CheckFields());
    AnchorDialog->Apply();
    EXPECT_EQ(GetAttr(Pasted, "name"), u"moved");
    const std::unique_ptr<TTagEditor> CommentDialog = CommentTool->NewEditor();
    CommentDialog->Open(&D, Pasted);
    EXPECT_EQ(FieldText(CommentDialog.get(), "MemoComment"), "");
    SetField(CommentDialog.get(), "MemoComment", "x");
    CommentDialog->Apply();

    // ExecuteTool runs the first tool of a class, subclasses included
    struct TLaterHr : TToolHr {};
    TToolManager Two;
    Two.SetDesigner(&D);
    auto* First = Two.AddTool<TCountingTool>();
    auto* Second = Two.AddTool<TCountingTool>();
    Two.ExecuteTool<TCountingTool>();
    EXPECT_EQ(First->Asked, 1);
    EXPECT_EQ(Second->Asked, 0);
    Two.ExecuteTool<TLaterHr>();   // none: nothing happens
    Two.Clear();
    EXPECT_TRUE(Two.AllTools().empty());
    EXPECT_TRUE(Two.TagEditors().empty());
}

TEST(ToolFramework, PaletteGeometryHotTrackingAndClicks)
{
    QWidget Window;   // the palette with room beside it
    Window.resize(300, 220);
    TToolManager Manager(&Window);
    Manager.SetDesigner(&TDesignerHost::Get().Designer());
    Manager.BeginUpdate();
    std::vector<TCountingTool*> Tools;
    for (int K = 0; K < 3; ++K) Tools.push_back(Manager.AddTool<TCountingTool>());
    Manager.AddSeparator();   // right after a full row of three
    auto* Hidden = Manager.AddTool<TCountingTool>();
    Hidden->ImageIndex = -1;
    for (int K = 0; K < 2; ++K) Tools.push_back(Manager.AddTool<TCountingTool>());
    Manager.AddSeparator();   // in the middle of a row
    Tools.push_back(Manager.AddTool<TCountingTool>());
    Manager.SetImages(NumberedIcons(40));
    Manager.resize(100, 200);   // three columns of 30, centred: x0 = 5
    EXPECT_EQ(Tools[0]->ButtonRect.Left, -1);   // no layout while updating
    Manager.EndUpdate();
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));

    EXPECT_EQ(Cell(*Tools[0]), QRect(5, 8, 30, 30));
    EXPECT_EQ(Cell(*Tools[2]), QRect(65, 8, 30, 30));
    const TToolItem& Sep1 = *Manager.AllTools()[3];
    EXPECT_EQ(Cell(Sep1), QRect(5, 38, 90, 30));   // no empty row before it
    EXPECT_EQ(Hidden->ButtonRect, (TRect{-1, -1, -1, -1}));
    EXPECT_EQ(Cell(*Tools[3]), QRect(5, 68, 30, 30));
    EXPECT_EQ(Cell(*Tools[4]), QRect(35, 68, 30, 30));
    EXPECT_EQ(Cell(*Manager.AllTools()[7]), QRect(5, 98, 90, 30));
    EXPECT_EQ(Cell(*Tools[5]), QRect(5, 128, 30, 30));
    EXPECT_EQ(Manager.ImageOffset(), QPoint(5, 5));

    // hit tests: buttons only, not separators, gaps or the hidden tool
    EXPECT_EQ(Manager.HitTest({5, 8}), 0);
    EXPECT_EQ(Manager.HitTest({94, 37}), 2);
    EXPECT_EQ(Manager.HitTest({4, 8}), -1);
    EXPECT_EQ(Manager.HitTest({50, 50}), -1);
    EXPECT_EQ(Manager.HitTest({70, 80}), -1);
    EXPECT_EQ(Manager.HitTest({36, 70}), 5 + 1);

    // narrower than a button: one column
    Manager.resize(20, 400);
    EXPECT_EQ(Cell(*Tools[1]), QRect(-5, 38, 30, 30));
    Manager.resize(100, 200);

    // hot tracking, a click, and presses dragged off their button, through the window: its
    // release comes before any leave
    MoveTo(Window, {20, 20});
    EXPECT_EQ(Manager.HotIndex(), 0);
    EXPECT_EQ(Manager.toolTip(), QString());   // the counting tools have no hint
    MoveTo(Window, {50, 20});
    EXPECT_EQ(Manager.HotIndex(), 1);
    QTest::mousePress(Window.windowHandle(), Qt::LeftButton, {}, {50, 20});
    EXPECT_TRUE(Manager.Pressed());
    QTest::mouseRelease(Window.windowHandle(), Qt::LeftButton, {}, {52, 22});
    EXPECT_EQ(Tools[1]->Asked, 1);
    EXPECT_EQ(Manager.HotIndex(), -1);
    EXPECT_FALSE(Manager.Pressed());

    const struct {
        QPoint Press;
        std::vector<QPoint> Path;   // the last point is the release
        int Runs[3];
    } Drags[] = {
        {{20, 20}, {{80, 20}, {250, 20}}, {0, 1, 0}},   // off the palette
        {{20, 20}, {{80, 20}}, {0, 1, 0}},              // onto another button
        {{20, 20}, {{50, 50}}, {0, 1, 0}},              // onto a separator
        {{20, 20}, {{250, 100}, {25, 30}}, {1, 1, 0}},  // off and back: a click
    };
    for (const auto& Drag : Drags) {
        QTest::mousePress(Window.windowHandle(), Qt::LeftButton, {}, Drag.Press);
        for (const QPoint& At : Drag.Path) {
            MoveTo(Window, At);
            EXPECT_EQ(Manager.HotIndex(), 0);   // no hot tracking while pressed
        }
        QTest::mouseRelease(Window.windowHandle(), Qt::LeftButton, {}, Drag.Path.back());
        EXPECT_FALSE(Manager.Pressed());
        for (int K = 0; K < 3; ++K) EXPECT_EQ(Tools[K]->Asked, Drag.Runs[K]) << Drag.Path.back().x();
        // hot tracking works again
        MoveTo(Window, {82, 24});
        EXPECT_EQ(Manager.HotIndex(), 2);
        MoveTo(Window, {150, 24});
        EXPECT_EQ(Manager.HotIndex(), -1);
    }

    // the real palette with the program's icons, for the eye
    TToolManager& Real = Palette();
    const QPixmap Strip(ZV_SOURCE_DIR "/resources/pictures/tools/TOOLS.png");
    ASSERT_FALSE(Strip.isNull());
    TImageList Icons;
    for (int X = 0; X + Strip.height() <= Strip.width(); X += Strip.height()) {
        QPixmap Icon = Strip.copy(X, 0, Strip.height(), Strip.height());
        Icon.setMask(Icon.createMaskFromColor(QColor(255, 0, 255)));   // fuchsia is transparent
        Icons.Images.append(Icon);
    }
    Real.SetImages(Icons);
    Real.show();
    MoveTo(Real, {20, 45});
    Real.grab().save("/tmp/zv-palette.png");
    ASSERT_GE(Real.HotIndex(), 0);
    EXPECT_EQ(Real.toolTip().toStdString(), Real.AllTools()[Real.HotIndex()]->Hint);
}

TEST(ToolFramework, AttributeColourPlacementAndKeyHelpers)
{
    // colours: blue weighs 0.3, red 0.11
    EXPECT_EQ(ColorEditTextColor(0x000000), 0xFFFFFF);
    EXPECT_EQ(ColorEditTextColor(0xFFFFFF), 0x000000);
    EXPECT_EQ(ColorEditTextColor(0x0000FF), 0xFFFFFF);   // red: 28
    EXPECT_EQ(ColorEditTextColor(0xFF00FF), 0xFFFFFF);   // red and blue: 104.6
    EXPECT_EQ(ColorEditTextColor(0x00FF00), 0x000000);   // green: 150.5
    QLineEdit Colour;
    Colour.setText("navy");
    PaintColorEdit(&Colour);
    EXPECT_EQ(Colour.palette().color(QPalette::Base), QColor(0, 0, 128));
    EXPECT_EQ(Colour.palette().color(QPalette::Text), QColor(Qt::white));
    Colour.clear();
    PaintColorEdit(&Colour);
    EXPECT_EQ(Colour.palette().color(QPalette::Base), QApplication::palette(&Colour).color(QPalette::Base));

    // markup of new elements and of stored nodes
    WideString Html = u"<x";
    AddAttr(Html, "title", u"  say \"hi\" & <go> \u0416 ");
    AddAttr(Html, "alt", u" \t ");
    EXPECT_EQ(Html, u"<x title=\"say &quot;hi&quot; &amp; <go> \u0416\"");
    // a field shows what the page shows and writes what was typed
    EXPECT_EQ(MarkupToField(u"a &amp; &quot;b&quot; &copy;", TMarkupPlace::Value), u"a & \"b\" \u00A9");
    EXPECT_EQ(FieldToMarkup(u"a &amp; \"b\"", TMarkupPlace::Value), u"a &amp;amp; &quot;b&quot;");
    EXPECT_EQ(FieldToMarkup(u"AT&T <b>", TMarkupPlace::Text), u"AT&amp;T &lt;b&gt;");

    // attributes of live elements
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<form id=\"f\"><img src=\"a.gif\" hspace=\"0\"><input id=\"t\" tabindex=\"3\"></form>"));
    const THtmlDocument Doc = D.Document();
    const THtmlElement Img = Doc.getElementById(H.DesignId("img"));
    const THtmlElement Form = Doc.getElementById("f");
    WideString Value;
    // a value the page writes is read as written, default-looking or not
    GetAttr(Img, "HSPACE", Value);
    EXPECT_EQ(Value, u"0");
    GetAttr(Doc.getElementById("t"), "tabIndex", Value);
    EXPECT_EQ(Value, u"3");
    GetAttr(Img, "vspace", Value);
    EXPECT_EQ(Value, u"");
    const int Units = Doc.UndoManager().CountUndoable();
    SetAttr(Img, "hspace", u"0");   // unchanged: no change at all
    SetAttr(Img, "alt", u"");
    EXPECT_EQ(Doc.UndoManager().CountUndoable(), Units);
    SetAttr(Form, "className", u"wide");
    SetAttr(Form, "encoding", u"multipart/form-data");
    EXPECT_EQ(H.Eval("document.getElementById('f').getAttribute('class') + ' ' + "
                     "document.getElementById('f').getAttribute('enctype') + ' ' + "
                     "document.getElementById('f').hasAttribute('classname')").toString(),
              "wide multipart/form-data false");
    SetAttr(Form, "className", u"");
    EXPECT_FALSE(H.Eval("document.getElementById('f').hasAttribute('class')").toBool());

    // placing: beside an element in the page, aligned with a palette button outside it
    const QRect Page(200, 100, 800, 600);
    const QRect Screen(0, 0, 1280, 1024);
    const QSize Dialog(300, 200);
    EXPECT_EQ(PlaceEditor(QRect(400, 300, 40, 40), Dialog, Page, Screen), QPoint(440, 340));
    // near the right edge of the screen the dialog goes to the element's left
    EXPECT_EQ(PlaceEditor(QRect(950, 300, 40, 40), Dialog, Page, Screen), QPoint(650, 340));
    // a palette button left of the page: aligned with it, then kept inside the page
    EXPECT_EQ(PlaceEditor(QRect(20, 150, 30, 30), Dialog, Page, Screen), QPoint(210, 150));
    EXPECT_EQ(PlaceEditor(QRect(20, 900, 30, 30), Dialog, Page, Screen), QPoint(210, 490));
    // a dialog taller than a short page keeps its caption below the page's top and on the screen
    EXPECT_EQ(PlaceEditor(QRect(400, 300, 40, 40), QSize(300, 700), Page, Screen), QPoint(440, 110));
    EXPECT_EQ(PlaceEditor(QRect(400, 300, 40, 40), QSize(300, 700), QRect(0, -200, 800, 300), Screen),
              QPoint(400, 0));
    // on a second screen with a panel along its top: inside that screen's work area
    EXPECT_EQ(PlaceEditor(QRect(2250, 40, 40, 40), Dialog, QRect(1400, 0, 900, 700), QRect(1280, 30, 1024, 738)),
              QPoint(1950, 80));
    EXPECT_EQ(PlaceEditor(QRect(1300, 0, 30, 30), Dialog, QRect(1400, 0, 900, 700), QRect(1280, 30, 1024, 738)),
              QPoint(1410, 30));

    // key filters
    QLineEdit Length, Number, Key;
    TTagEditor::SetLengthEdit(&Length);
    TTagEditor::SetNumericEdit(&Number);
    TTagEditor::SetAccessKeyEdit(&Key);
    QTest::keyClicks(&Length, "1a2.5%-x");
    QTest::keyClicks(&Number, "1a2.5%-x");
    QTest::keyClicks(&Key, "%");
    QTest::keyClicks(&Key, "k");
    QTest::keyClicks(&Key, "z");
    EXPECT_EQ(Length.text(), "12.5%-");
    EXPECT_EQ(Number.text(), "12.5-");
    EXPECT_EQ(Key.text(), "k");
    QTest::keyClick(&Length, Qt::Key_Backspace);
    EXPECT_EQ(Length.text(), "12.5%");
}
