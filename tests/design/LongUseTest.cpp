// The design view under long use, driven by real keys and clicks: handles the page lets go
// of, mouse moves that cost at most one trip to the page, calls that run no other handler
// inside them, typing undone as one unit, and inserted or pasted HTML that saves as written.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "DesignerHost.h"
#include "EngineIds.h"

using namespace zv;
using zv::test::TDesignerHost;

namespace {

std::vector<std::string> Groups(THtmlDesigner& D)
{
    D.CanUndo();
    std::vector<std::string> Result;
    for (const TUndoAction& A : D.UndoList()) Result.push_back(A.Name);
    return Result;
}

}  // namespace

TEST(DesignerLongUse, ClicksKeysAndMovesHoldFewHandlesAndCostFewTrips)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    std::string Body;
    for (int I = 0; I < 8; ++I) Body += "<p id=\"p" + std::to_string(I) + "\">paragraph number " + std::to_string(I) + "</p>";
    Body += "<table border=\"1\"><tr><td id=\"a\">cell a</td><td id=\"b\">cell b</td></tr></table>";
    ASSERT_TRUE(H.LoadBody(Body));
    // what the main window does after each key and click
    D.OnKeyUp = [&](QObject*) { D.GetState(); };
    D.OnMouseUp = [&](QObject*) { D.GetState(); };
    const int Start = D.PageObjectCount();

    // a new paragraph made and taken away again at every click: the page lets go of each
    for (int I = 0; I < 40; ++I) {
        ASSERT_TRUE(H.Click(H.Centre("#p" + QString::number(I % 8))));
        test::PageKey(D, Qt::Key_End);
        test::PageKey(D, Qt::Key_Return);
        test::PageKey(D, Qt::Key_Backspace);
    }
    EXPECT_LE(D.PageObjectCount(), Start + 8);
    EXPECT_EQ(D.GetHtml().find(u"<p></p>"), WideString::npos);

    // a mouse move costs one trip to the page at most, none while it stays on the element
    QWidget* Proxy = D.focusProxy();
    int Overs = 0;
    const auto C = QObject::connect(&D, &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Overs += E.Type == "mouseover"; });
    const QPoint P = H.Centre("#p3");
    ASSERT_TRUE(test::WaitForFrames(D));
    uint64_t Trips = D.RoundTrips();
    QTest::mouseMove(Proxy, P);
    EXPECT_LE(D.RoundTrips() - Trips, 1u);
    ASSERT_TRUE(test::WaitFor([&] { return Overs > 0; }));
    Trips = D.RoundTrips();
    for (int Dx = -20; Dx <= 20; Dx += 4) QTest::mouseMove(Proxy, P + QPoint(Dx, Dx % 3));
    EXPECT_EQ(D.RoundTrips() - Trips, 0u);
    Trips = D.RoundTrips();
    QTest::mouseMove(Proxy, H.Centre("#a"));
    EXPECT_LE(D.RoundTrips() - Trips, 1u);
    QObject::disconnect(C);

    // a call made by a handler runs no queued handler of the program inside it
    bool InCall = false, RanInside = false;
    int Ran = 0;
    D.OnKeyDown = [&](QObject*) {
        QTimer::singleShot(0, &D, [&] { RanInside |= InCall; ++Ran; });
        QMetaObject::invokeMethod(&D, [&] { RanInside |= InCall; ++Ran; }, Qt::QueuedConnection);
        InCall = true;
        D.GetSelectionKind();
        D.GetState();
        InCall = false;
    };
    test::PageKey(D, Qt::Key_Right);
    ASSERT_TRUE(test::WaitFor([&] { return Ran == 2; }));
    EXPECT_FALSE(RanInside);
    D.OnKeyDown = nullptr;
    D.OnKeyUp = nullptr;
    D.OnMouseUp = nullptr;
}

TEST(DesignerLongUse, TypingIsOneUndoGroupUntilTheCaretMovesOrACommandRuns)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">Start.</p><p id=\"q\">Other.</p>"));
    D.OnKeyUp = [&](QObject*) { D.GetState(); };
    const QString Original = H.BodyHtml();
    ASSERT_TRUE(H.Click(H.Centre("#p")));
    test::PageKey(D, Qt::Key_End);

    const QString Sentence = " The quick brown fox jumps over the lazy dog.";
    H.Type(Sentence);
    const QString Typed = H.BodyHtml();
    ASSERT_TRUE(Typed.contains("Start." + Sentence)) << Typed.toStdString();
    EXPECT_EQ(Groups(D), std::vector<std::string>{""});

    // the undo key takes the sentence back at once, the redo key brings it again
    test::PageKey(D, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(H.BodyHtml(), Original);
    test::PageKey(D, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(H.BodyHtml(), Typed);

    // a caret moved by a key, or a command, starts a new group
    test::PageKey(D, Qt::Key_Home);
    H.Type("A");
    EXPECT_EQ(Groups(D).size(), 2u);
    H.SelectText("#q", 0, 5);
    D.Run(IDM_BOLD);
    test::PageKey(D, Qt::Key_End);
    H.Type("B");
    H.Type("C");
    EXPECT_EQ(Groups(D), (std::vector<std::string>{"", "", "Bold", ""}));
    D.Undo();
    EXPECT_TRUE(H.BodyHtml().contains("<b>Other</b>."));
    D.OnKeyUp = nullptr;
}

TEST(DesignerLongUse, InsertedAndPastedHtmlSavesAsWritten)
{
    TDesignerHost& H = TDesignerHost::Get();
    THtmlDesigner& D = H.Designer();
    ASSERT_TRUE(H.LoadBody("<p id=\"p\">before</p><p id=\"q\">after</p>"));
    H.SelectText("#p", 6, 6);
    D.InsertHtml(u"<table border=\"1\"><tr><td>&#187; one</td></tr></table>");
    EXPECT_EQ(Groups(D), std::vector<std::string>{"Insert"});
    // HTML a tool puts around or into an element takes the same road
    const THtmlDocument Doc = D.Document();
    Doc.getElementById("p").insertAdjacentHTML("AfterEnd", u"<table><tr><td id=\"c\">two</td></tr></table>");
    Doc.getElementById("c").setInnerHTML(u"<b>&#169;</b> three");
    WideString Html = D.GetHtml();
    EXPECT_EQ(Html.find(u"tbody"), WideString::npos) << Utf16ToUtf8(Html);
    EXPECT_NE(Html.find(u"<td>&#187; one</td>"), WideString::npos) << Utf16ToUtf8(Html);
    EXPECT_NE(Html.find(u"<b>&#169;</b> three</td>"), WideString::npos) << Utf16ToUtf8(Html);

    // pasted with the paste key, in place of a selection
    auto* Data = new QMimeData;
    Data->setHtml("<html><body><!--StartFragment--><table><tr><td>a &amp; b</td></tr></table>"
                  "<pre>\nkept line</pre><!--EndFragment--></body></html>");
    QApplication::clipboard()->setMimeData(Data);
    ASSERT_TRUE(H.Click(H.Centre("#q")));
    H.SelectText("#q", 0, 5);
    test::PageKey(D, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Groups(D).back(), "Paste");
    Html = D.GetHtml();
    EXPECT_EQ(Html.find(u"tbody"), WideString::npos) << Utf16ToUtf8(Html);
    EXPECT_NE(Html.find(u"<td>a &amp; b</td>"), WideString::npos) << Utf16ToUtf8(Html);
    EXPECT_NE(Html.find(u"<pre>\nkept line</pre>"), WideString::npos) << Utf16ToUtf8(Html);
    EXPECT_EQ(Html.find(u"after"), WideString::npos);

    // the paste is undone as one group
    test::PageKey(D, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(D.GetHtml().find(u"after"), WideString::npos);
}
