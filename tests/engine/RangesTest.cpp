// Text ranges, markup pointers and the selection.
#include <QTest>
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "WebBrowser.h"

using namespace zv;
using zv::test::TEngineHost;

namespace {

QString Q(const WideString& Text) { return QString::fromStdU16String(Text); }

// The word walk of a spelling check: every word framed by two pointers, in order.
QStringList Words(const THtmlDocument& Doc)
{
    const TMarkupPointer BodyStart = Doc.CreateMarkupPointer(), BodyEnd = Doc.CreateMarkupPointer();
    const TMarkupPointer Start = Doc.CreateMarkupPointer(), End = Doc.CreateMarkupPointer();
    const THtmlTxtRange Range = Doc.createTextRange();
    Doc.MovePointersToRange(Range, BodyStart, BodyEnd);
    Start.MoveToPointer(BodyStart);
    End.MoveToPointer(BodyStart);
    End.MoveUnit(MOVEUNIT_NEXTWORDEND);
    QStringList Result;
    for (int Guard = 0; End.IsLeftOfOrEqualTo(BodyEnd) && Guard < 100; ++Guard) {
        Doc.MoveRangeToPointers(Start, End, Range);
        Result.append(Q(Range.text()).trimmed());
        Start.MoveToPointer(End);
        Start.MoveUnit(MOVEUNIT_NEXTWORDBEGIN);
        End.MoveUnit(MOVEUNIT_NEXTWORDEND);
    }
    return Result;
}

}  // namespace

TEST(Ranges, PointersMoveByWords)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>Hello, wo<b>rld</b>!  It's   <i>done</i></p>"
                       "<table><tr><td>cell</td><td>two</td></tr></table><p>last<br>line</p>"
                       "<style>p { color: red }</style>"));
    THtmlDocument Doc = H.Browser().Document();
    EXPECT_EQ(Words(Doc), QStringList({"Hello", "world", "It's", "done", "cell", "two", "last",
                                       "line"}));

    // a replaced word is framed again by moving back and forth
    const TMarkupPointer Start = Doc.CreateMarkupPointer(), End = Doc.CreateMarkupPointer();
    const THtmlTxtRange Range = Doc.createTextRange();
    End.MoveUnit(MOVEUNIT_NEXTWORDEND);
    Start.MoveToPointer(End);
    Start.MoveUnit(MOVEUNIT_NEXTWORDBEGIN);
    End.MoveUnit(MOVEUNIT_NEXTWORDEND);
    Doc.MoveRangeToPointers(Start, End, Range);
    EXPECT_EQ(Range.text(), u"world");
    Range.setText(u"planet");
    EXPECT_EQ(Range.text(), u"planet");
    EXPECT_TRUE(Start.MoveUnit(MOVEUNIT_PREVWORDBEGIN));
    EXPECT_TRUE(End.MoveUnit(MOVEUNIT_PREVWORDEND));
    EXPECT_TRUE(Start.MoveUnit(MOVEUNIT_NEXTWORDBEGIN));
    EXPECT_TRUE(End.MoveUnit(MOVEUNIT_NEXTWORDEND));
    Doc.MoveRangeToPointers(Start, End, Range);
    EXPECT_EQ(Range.text(), u"planet");
    EXPECT_TRUE(Q(Doc.getElementById("p").innerHTML()).startsWith("Hello, planet<b></b>!"));

    const TTextRangeMetrics M = Range.Metrics();
    EXPECT_GT(M.boundingWidth, 10);
    EXPECT_GT(M.boundingHeight, 5);
    EXPECT_GE(M.offsetLeft, 0);

    // pointers in the wrong order still give the range between them
    Doc.MoveRangeToPointers(End, Start, Range);
    EXPECT_EQ(Range.text(), u"planet");
    EXPECT_TRUE(Start.IsLeftOf(End));
    EXPECT_FALSE(End.IsLeftOfOrEqualTo(Start));

    // at either end of the text the moves fail and leave the pointer outside the words
    const TMarkupPointer P = Doc.CreateMarkupPointer(), BodyEnd = Doc.CreateMarkupPointer();
    Doc.MovePointersToRange(Doc.createTextRange(), P, BodyEnd);
    EXPECT_FALSE(P.MoveUnit(MOVEUNIT_PREVWORDEND));
    P.MoveToPointer(BodyEnd);
    EXPECT_FALSE(P.MoveUnit(MOVEUNIT_NEXTWORDEND));
    EXPECT_TRUE(BodyEnd.IsLeftOf(P));
    EXPECT_THROW(P.MoveUnit(1), EEngineError);

    // ranges and pointers the program no longer holds are dropped by the page
    int Number = 0;
    {
        const THtmlTxtRange Copy = [&] { return Doc.createTextRange(); }();
        const THtmlTxtRange Kept = Copy;
        Number = Kept.Number();
        EXPECT_NO_THROW(H.Browser().CallLayer("rangeText", {Number}));
    }
    Doc.body();
    EXPECT_THROW(H.Browser().CallLayer("rangeText", {Number}), EEngineError);

    // the empty body has no word at all
    ASSERT_TRUE(H.Load(""));
    EXPECT_EQ(Words(H.Browser().Document()), QStringList());
    EXPECT_THROW(P.MoveUnit(MOVEUNIT_NEXTWORDEND), EEngineError);
}

TEST(Ranges, SelectionKindsAndRangeEditing)
{
    TEngineHost& H = TEngineHost::Get();
    ASSERT_TRUE(H.Load("<p id=p>Some <b>bold</b> text</p><p id=q>x</p>"
                       "<img id=pic src=\"pics/red.png\" width=40 height=30 "
                       "onresizeend=\"external.Report(this);\">"
                       "<img id=fixed src=\"pics/red.png\" onresize=\"cancelEvent()\">"
                       "<input id=field value=v><label id=label><input id=box type=checkbox>"
                       "box</label>"));
    TWebBrowser& B = H.Browser();
    THtmlDocument Doc = B.Document();

    H.Eval("getSelection().removeAllRanges()");
    EXPECT_EQ(Doc.selection().type(), "None");
    EXPECT_EQ(Doc.selection().createRange().text(), u"");

    H.SelectText("#p", 2, 2);
    EXPECT_EQ(Doc.selection().type(), "Text");
    EXPECT_EQ(Doc.selection().createRange().text(), u"");
    EXPECT_FALSE(Doc.selection().controlElement());

    H.Eval("(function(){ const p = document.getElementById('p'); const r = document.createRange();"
           "r.setStart(p.firstChild, 2); r.setEnd(p.lastChild, 3); getSelection().removeAllRanges();"
           "getSelection().addRange(r); })()");
    THtmlTxtRange R = Doc.selection().createRange();
    EXPECT_EQ(R.text(), u"me bold te");
    EXPECT_EQ(R.htmlText(), u"me <b>bold</b> te");

    // pasting HTML keeps handlers and bare spans, and puts the caret behind the insertion
    R.pasteHTML(u"<span>A</span><u onclick=\"f()\">B</u>");
    EXPECT_EQ(Q(Doc.getElementById("p").innerHTML()), "So<span>A</span><u onclick=\"f()\">B</u>xt");
    EXPECT_EQ(Doc.selection().type(), "Text");
    Doc.selection().createRange().pasteHTML(u"C");
    EXPECT_EQ(Q(Doc.getElementById("p").innerHTML()), "So<span>A</span><u onclick=\"f()\">B</u>Cxt");

    // a range picked elsewhere becomes the selection
    const THtmlTxtRange Body = Doc.createTextRange();
    Body.select();
    EXPECT_EQ(Q(Doc.selection().createRange().text()).simplified(), "SoABCxt xbox");
    EXPECT_TRUE(Body.execCommand("Unselect"));
    EXPECT_EQ(Doc.selection().type(), "None");
    EXPECT_THROW(Body.execCommand("SelectAll"), EEngineError);

    // images and form controls are selected as a whole by a click
    H.Click(H.Centre("#field"));
    EXPECT_EQ(Doc.selection().type(), "Control");
    EXPECT_EQ(Doc.selection().controlElement(), Doc.getElementById("field"));
    EXPECT_THROW(Doc.selection().createRange(), EEngineError);
    // form controls are not used: a click on a check box or its label leaves it unchecked
    H.Click(H.Centre("#box"));
    H.Click(H.Centre("#label"));
    EXPECT_EQ(Doc.getElementById("box").getProperty("checked"), QVariant(false));
    H.Click(H.Centre("#pic"));
    EXPECT_EQ(Doc.selection().controlElement(), Doc.getElementById("pic"));
    const QString Markup = H.BodyHtml();
    EXPECT_FALSE(Markup.contains("zv-")) << Markup.toStdString();

    // its handles resize it: one undo unit and a report to the application
    std::vector<THtmlElement> Reports;
    const auto C = QObject::connect(&B, &TWebBrowser::Report,
                                    [&](const THtmlElement& E) { Reports.push_back(E); });
    const int Units = Doc.UndoManager().CountUndoable();
    const QVariantList Box = H.Eval("(function(){ const r = document.getElementById('pic')"
                                    ".getBoundingClientRect(); return [r.right, r.bottom]; })()")
                                 .toList();
    const QPoint Corner(qRound(Box[0].toDouble()), qRound(Box[1].toDouble()));
    QWidget* Proxy = B.focusProxy();
    QTest::mousePress(Proxy, Qt::LeftButton, {}, Corner);
    QTest::mouseMove(Proxy, Corner + QPoint(10, 5));
    QTest::mouseMove(Proxy, Corner + QPoint(20, 10));
    QTest::mouseRelease(Proxy, Qt::LeftButton, {}, Corner + QPoint(20, 10));
    ASSERT_TRUE(H.WaitFor([&] { return !Reports.empty(); }));
    EXPECT_EQ(Reports.front(), Doc.getElementById("pic"));
    EXPECT_EQ(Doc.getElementById("pic").getAttribute("width"), std::optional<WideString>(u"60"));
    EXPECT_EQ(Doc.getElementById("pic").getAttribute("height"), std::optional<WideString>(u"40"));
    EXPECT_EQ(Doc.getElementById("pic").offsetWidth(), 60);
    EXPECT_EQ(Doc.UndoManager().CountUndoable(), Units + 1);
    EXPECT_TRUE(Doc.UndoManager().Undo());
    EXPECT_EQ(Doc.getElementById("pic").getAttribute("width"), std::optional<WideString>(u"40"));

    // a placeholder that cancels resizing has no handles: dragging its corner changes nothing
    H.Click(H.Centre("#fixed"));
    EXPECT_EQ(Doc.selection().controlElement(), Doc.getElementById("fixed"));
    const QVariantList Fixed = H.Eval("(function(){ const r = document.getElementById('fixed')"
                                      ".getBoundingClientRect(); return [r.right, r.bottom]; })()")
                                   .toList();
    const QPoint FixedCorner(qRound(Fixed[0].toDouble()), qRound(Fixed[1].toDouble()));
    const int FixedWidth = Doc.getElementById("fixed").offsetWidth();
    QTest::mousePress(Proxy, Qt::LeftButton, {}, FixedCorner);
    QTest::mouseMove(Proxy, FixedCorner + QPoint(30, 30));
    QTest::mouseRelease(Proxy, Qt::LeftButton, {}, FixedCorner + QPoint(30, 30));
    H.Click(H.Centre("#q"));
    EXPECT_EQ(Doc.getElementById("fixed").offsetWidth(), FixedWidth);
    EXPECT_FALSE(Doc.getElementById("fixed").getAttribute("width").has_value());
    EXPECT_EQ(Reports.size(), 1u);

    QObject::disconnect(C);

    // a click into text ends the control selection
    EXPECT_EQ(Doc.selection().type(), "Text");
    EXPECT_FALSE(Doc.selection().controlElement());
}
