// Editing blocks in the design view of the main window, with the keys a person presses: copy
// and paste across paragraphs, list items, terms and rows, beside and into links; drags and
// drops inside the page; joining list items; lists made over terms and paragraphs; Indent and
// Outdent of list items and definitions.
// The saved file is read as written: every word must be in it, in a structure browsers keep.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDrag>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <Qsci/qsciscintilla.h>
#include <vector>

#include "HtmlEntities.h"
#include "MainWindowHost.h"
#include "Streams.h"
#include "support/XServer.h"

using namespace zv;
using namespace zv::test;

namespace {

// The body of a page (or a piece of one) as it is written: its words in order, its list items,
// and each place where an element or text stands where no browser keeps it.
struct TWritten {
    QStringList Words;
    QStringList Faults;
    int Items = 0;
};

TWritten ReadWritten(const QString& Html)
{
    static const QSet<QString> Void{"br", "img", "hr", "input", "meta", "link", "col", "area", "base", "param", "wbr"};
    static const QSet<QString> Blocks{"p",  "div", "ul", "ol", "dl", "dt", "dd", "li", "table", "tbody", "thead",
                                      "tfoot", "tr", "td", "th", "pre", "blockquote", "h1", "h2", "h3", "h4",
                                      "h5", "h6", "address", "center", "form", "hr", "caption", "body"};
    static const QSet<QString> Lists{"ol", "ul", "dl"};
    static const QSet<QString> Paragraphs{"p", "h1", "h2", "h3", "h4", "h5", "h6"};
    static const QRegularExpression Token(R"(<!--.*?-->|<(/?)([A-Za-z][A-Za-z0-9]*)[^>]*>|[^<]+)",
                                          QRegularExpression::DotMatchesEverythingOption);
    // what may stand right in each of these
    const auto Allowed = [](const QString& Parent, const QString& Child) {
        if (Parent == "ol" || Parent == "ul") return Child == "li";
        if (Parent == "dl") return Child == "dt" || Child == "dd";
        if (Parent == "table")
            return QSet<QString>{"caption", "colgroup", "col", "thead", "tbody", "tfoot", "tr"}.contains(Child);
        if (Parent == "tbody" || Parent == "thead" || Parent == "tfoot") return Child == "tr";
        if (Parent == "tr") return Child == "td" || Child == "th";
        if (Paragraphs.contains(Parent)) return Child == "#text" || !Blocks.contains(Child);
        if (Child == "li") return false;
        return true;
    };
    struct TOpen {
        QString Name;
        bool Own = false;  // holds text or an element other than a list
    };
    TWritten W;
    std::vector<TOpen> Open;
    QString Text;
    for (const QRegularExpressionMatch& M : Token.globalMatch(Html, std::max<qsizetype>(0, Html.indexOf("<body")))) {
        const QString Tag = M.captured(2).toLower();
        if (M.captured(0).startsWith("<!--")) continue;
        const QString Parent = Open.empty() ? QString() : Open.back().Name;
        if (Tag.isEmpty()) {
            Text += M.captured(0);
            if (M.captured(0).trimmed().isEmpty()) continue;
            if (!Open.empty()) Open.back().Own = true;
            if (!Parent.isEmpty() && !Allowed(Parent, "#text"))
                W.Faults << "text \"" + M.captured(0).trimmed() + "\" right in " + Parent;
            continue;
        }
        if (Blocks.contains(Tag)) Text += ' ';
        if (M.captured(1) == "/") {
            while (!Open.empty()) {
                const TOpen Closed = Open.back();
                Open.pop_back();
                if (Closed.Name == "li" && !Closed.Own) W.Faults << "an item with nothing of its own";
                if (Closed.Name == Tag) break;
            }
            continue;
        }
        if (!Parent.isEmpty() && !Allowed(Parent, Tag)) W.Faults << Tag + " right in " + Parent;
        if (!Open.empty() && !Lists.contains(Tag)) Open.back().Own = true;
        W.Items += Tag == "li";
        if (!Void.contains(Tag)) Open.push_back({Tag});
    }
    W.Words = Text.split(QRegularExpression("\\W+"), Qt::SkipEmptyParts);
    return W;
}

QString Joined(const QStringList& Words) { return " " + Words.join(' ') + " "; }

std::string Sorted(QStringList Words)
{
    Words.sort();
    return Words.join(' ').toStdString();
}

// Checks what a copy put on the clipboard: whole blocks with the words of the selection.
QStringList CheckClipboard(const char* Opening)
{
    const QMimeData* Data = QApplication::clipboard()->mimeData();
    const QStringList Words = Data->text().split(QRegularExpression("\\W+"), Qt::SkipEmptyParts);
    const TWritten Html = ReadWritten(Data->html());
    EXPECT_TRUE(Data->html().startsWith(Opening)) << Data->html().toStdString();
    EXPECT_EQ(Html.Words.join(' ').toStdString(), Words.join(' ').toStdString()) << Data->html().toStdString();
    EXPECT_EQ(Html.Faults.join(", ").toStdString(), "") << Data->html().toStdString();
    return Words;
}

// Writes Page into Docs as Name and opens it in the window.
void OpenPage(TMainWindowHost& H, const TempDir& Docs, const std::string& Name, const QString& Page)
{
    WriteAll(Docs / Name, Page.toStdString());
    H.W().FileManager->OpenFile(Docs / Name);
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("</ul>"); }));
}

// Clicks Offset characters into Text in the design view, and waits until the page has it.
void ClickAt(TMainWindowHost& H, const QString& Text, int Offset)
{
    ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, Offset)));
    H.TypeInDesigner("");
}

// Ctrl+Z back through Pages, the body after each step, then Ctrl+Shift+Z forward: each Undo
// gives back the page before its step, each Redo the page after it.
void UndoAndRedo(TMainWindowHost& H, const std::vector<QString>& Pages)
{
    for (size_t K = Pages.size() - 1; K > 0; --K) {
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(H.Body().toStdString(), Pages[K - 1].toStdString()) << "undo " << K;
    }
    for (size_t K = 1; K < Pages.size(); ++K) {
        H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(H.Body().toStdString(), Pages[K].toStdString()) << "redo " << K;
    }
}

// The body's markup with the white space between tags left out.
QString Tight(const QString& Html) { return QString(Html).replace(QRegularExpression(">\\s+<"), "><").trimmed(); }
// Markup with its character references decoded.
QString Decoded(const QString& Html) { return QString::fromStdU16String(DecodeDocumentText(Html.toStdU16String(), false)); }

TEST(DesignEditing, PastedBlocksKeepEveryWordOnBothSidesAndStayItemsOfTheirList)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><title>Paste</title></head><body>\n"
        "<p class=\"intro\">Before words <a href=\"x.html\">linked text here</a> after words.</p>\n"
        "<ol>\n"
        "<li><p>Alpha one two three four five six <code>CODE</code> seven eight nine.</p></li>\n"
        "<li><p>Bravo ten <a href=\"b.html\">eleven</a> twelve.</p></li>\n"
        "<li><p>Charlie thirteen fourteen.</p></li>\n"
        "<li><p>Delta fifteen sixteen.</p></li>\n"
        "</ol>\n"
        "<ul class=\"\">\n"
        "<li>Echo seventeen <b>bold</b> eighteen</li>\n"
        "<li>Foxtrot nineteen\n<ul><li>Golf twenty</li><li>Hotel thirty</li></ul></li>\n"
        "<li>India forty</li>\n"
        "</ul>\n"
        "<dl>\n<dt>Kilo term</dt><dd><p>Lima definition words.</p></dd>\n"
        "<dt>Mike term</dt><dd><p>November definition words.</p></dd>\n</dl>\n"
        "<table border=\"1\"><tr><td>Oscar cell</td><td>Papa cell</td></tr>"
        "<tr><td>Quebec cell</td><td>Romeo cell</td></tr></table>\n"
        "<p>Sierra tango uniform.</p>\n"
        "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "paste.html", Page));
    const TWritten Before = ReadWritten(Page);
    ASSERT_TRUE(Before.Faults.isEmpty());

    // a selection from inside one block to inside another, made with Shift+Down, and copied
    const auto Copy = [&](const QString& From, int Offset, int Lines, const char* Opening, QStringList& Words) {
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), From, Offset)));
        H.TypeInDesigner("");
        for (int K = 0; K < Lines; ++K) H.Key(Qt::Key_Down, Qt::ShiftModifier);
        QApplication::clipboard()->clear();
        H.Key(Qt::Key_C, Qt::ControlModifier);
        ASSERT_TRUE(WaitFor([] { return QApplication::clipboard()->mimeData()->hasHtml(); }));
        Words = CheckClipboard(Opening);
    };
    QStringList Words, Pasted;
    struct TExpected {
        QString Before, Words, After;
    };
    std::vector<TExpected> Expected;
    int Items = Before.Items;
    // the words copied last pasted between the words Left and Right; items pasted into an item
    // split it in two around them
    const auto Paste = [&](const QString& At, int Offset, const QString& Left, const QString& Right, bool IntoItem) {
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), At, Offset)));
        H.Key(Qt::Key_V, Qt::ControlModifier);
        Pasted += Words;
        Expected.push_back({Left, Words.join(' '), Right});
        if (IntoItem) Items += ReadWritten(QApplication::clipboard()->mimeData()->html()).Items + 1;
    };

    // items of a list with paragraphs in them, into the middle of the first item's paragraph
    ASSERT_NO_FATAL_FAILURE(Copy("Bravo", 2, 2, "<ol", Words));
    Paste("Alpha one two three", 19, "Alpha one two three", "four five six CODE seven eight nine", true);
    // items of a bulleted list, one with a list inside, into an item of the numbered list
    ASSERT_NO_FATAL_FAILURE(Copy("Echo", 2, 2, "<ul", Words));
    Paste("Delta fifteen", 13, "Delta fifteen", "sixteen", true);
    // terms and definitions into the middle of a link, and into a definition of their own list
    ASSERT_NO_FATAL_FAILURE(Copy("Lima", 2, 2, "<dl", Words));
    Paste("linked text", 7, "Before words linked", "text here after words", false);
    Paste("November definition", 20, "November definition", "words", false);
    // rows of a table into the middle of a paragraph, and in place of a selection from inside
    // one item to the end of the next
    ASSERT_NO_FATAL_FAILURE(Copy("Papa", 2, 1, "<table", Words));
    Paste("Sierra tango", 13, "Sierra tango", "uniform", false);
    ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), "Bravo ten", 6)));
    H.TypeInDesigner("");
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    H.D().CallLayer("echoes");
    const QStringList Replaced =
        PageEval(H.D(), "getSelection().toString()").toString().split(QRegularExpression("\\W+"), Qt::SkipEmptyParts);
    ASSERT_EQ(Replaced.join(' ').toStdString(), "ten eleven twelve Charlie thirteen fourteen");
    H.Key(Qt::Key_V, Qt::ControlModifier);
    Pasted += Words;
    Expected.push_back({"Bravo", Words.join(' '), "Delta fifteen"});
    --Items;  // the item it emptied

    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromStdString(ReadAll(Docs / "paste.html"));
    const TWritten After = ReadWritten(Saved);
    EXPECT_EQ(After.Faults.join(", ").toStdString(), "") << Saved.toStdString();
    EXPECT_EQ(Sorted(After.Words + Replaced), Sorted(Before.Words + Pasted)) << Saved.toStdString();
    for (const TExpected& E : Expected)
        EXPECT_TRUE(Joined(After.Words).contains(Joined({E.Before, E.Words, E.After})))
            << E.Before.toStdString() << " | " << E.Words.toStdString() << "\n" << Saved.toStdString();
    // the pasted items are items of the list they went into
    EXPECT_EQ(After.Items, Items) << Saved.toStdString();
    EXPECT_EQ(Saved.count("<ol"), 1) << Saved.toStdString();
    EXPECT_TRUE(Saved.contains("<a href=\"x.html\">linked")) << Saved.toStdString();
    EXPECT_TRUE(Saved.contains("<a href=\"x.html\">text here</a> after words.</p>")) << Saved.toStdString();
    EXPECT_EQ(Saved.count("<code>CODE</code>"), 1) << Saved.toStdString();
    EXPECT_EQ(Saved.count("<a href=\"b.html\">eleven</a>"), 1) << Saved.toStdString();

    // each paste is one step back
    for (size_t K = 0; K < Expected.size(); ++K) H.Key(Qt::Key_Z, Qt::ControlModifier);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const TWritten Undone = ReadWritten(QString::fromStdString(ReadAll(Docs / "paste.html")));
    EXPECT_EQ(Undone.Words.join(' ').toStdString(), Before.Words.join(' ').toStdString());
    EXPECT_EQ(Undone.Items, Before.Items);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

// What the engine put on the drag it started last. Offscreen the window system runs no drag:
// the engine's drag (a child of the view) ends as soon as it starts, and waits to be deleted.
class TEngineDrag : public QObject {
public:
    explicit TEngineDrag(TWebBrowser* View) : View(View) { qApp->installEventFilter(this); }
    ~TEngineDrag() override { qApp->removeEventFilter(this); }
    // Presses at From on Proxy and moves the mouse until the page begins its drag, each move
    // seen by the page first; then waits for the data.
    void Start(QWidget* Proxy, QPoint From)
    {
        PageEval(*View, "if (!('dragsBegun' in window)) addEventListener('dragstart', () => dragsBegun++, true);"
                        "window.dragsBegun = 0");
        const auto Begun = [&] { return PageEval(*View, "dragsBegun").toInt() > 0; };
        QTest::mousePress(Proxy, Qt::LeftButton, {}, From);
        for (int K = 1; K <= 10 && !Begun(); ++K) {
            bool Moved = false;
            const auto C = QObject::connect(View, &TWebBrowser::PageEvent,
                                            [&](const TPageEvent& E) { Moved |= E.Type == "mousemove"; });
            QTest::mouseMove(Proxy, From + QPoint(3 * K, -K));
            WaitFor([&] { return Moved || Begun(); });
            QObject::disconnect(C);
        }
        ASSERT_TRUE(WaitFor([&] { return Taken(); }));
    }
    // Whether the data are here.
    bool Taken()
    {
        for (const QPointer<QObject>& Child : Children)
            if (auto* Drag = qobject_cast<QDrag*>(Child.data())) Take(Drag);
        return Started;
    }
    QMimeData Data;
    Qt::DropActions Actions;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::ChildAdded && Watched == View)
            Children.push_back(static_cast<QChildEvent*>(Event)->child());
        if (auto* Drag = Event->type() == QEvent::DeferredDelete ? qobject_cast<QDrag*>(Watched) : nullptr)
            Take(Drag);
        return false;
    }

private:
    void Take(QDrag* Drag)
    {
        if (Started || !Drag->mimeData()) return;
        Started = true;
        Actions = Drag->supportedActions();
        for (const QString& Format : Drag->mimeData()->formats())
            Data.setData(Format, Drag->mimeData()->data(Format));
    }
    TWebBrowser* View;
    std::vector<QPointer<QObject>> Children;
    bool Started = false;
};

TEST(DesignEditing, PastesAndDropsKeepLinksApartAndDropsMoveWhatACutAndPasteWould)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><meta charset=\"utf-8\"><title>Drop</title></head><body>\n"
        "<h2 data-role=\"title\">Synopsis</h2>\n"
        "<p>Grant <a href=\"ddl-priv.html\" data-x=\"1\">Privileges</a> to roles; skip rows from the "
        "table &amp; go.</p>\n"
        "<p>abs, <a href=\"functions-math.html\" rel=\"x\">math &#x1F600;</a> end.</p>\n"
        "<p>\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439 <a name=\"n2\">named words</a> here.</p>\n"
        "<a href=\"block.html\" data-k><div>Block link text</div></a>\n"
        "<ul><li>Tail words here</li></ul>\n"
        "</body></html>";
    const QString Hello = "\u0417\u0434\u0440";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "drop.html", Page));
    QWidget* Proxy = H.D().focusProxy();
    // what the keys sent before have selected
    const auto Selected = [&] {
        H.D().CallLayer("echoes");
        return PageEval(H.D(), "getSelection().toString()").toString();
    };
    const auto SelectWithMouse = [&](const QPoint& From, const QPoint& To, const QString& Expected) {
        QTest::mousePress(Proxy, Qt::LeftButton, {}, From);
        QTest::mouseMove(Proxy, To);
        QTest::mouseRelease(Proxy, Qt::LeftButton, {}, To);
        ASSERT_TRUE(WaitFor([&] { return Selected() == Expected; })) << Selected().toStdString();
    };
    const auto Paste = [&](const QString& Text, int Offset) {
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, Text, Offset));
        H.Key(Qt::Key_V, Qt::ControlModifier);
    };

    // a line holding a link, copied, pasted at the end of a link, in the middle of a named
    // anchor's text and at the start of a link around a block
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "abs", 0));
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    H.Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([] { return QApplication::clipboard()->mimeData()->hasHtml(); }));
    ASSERT_NO_FATAL_FAILURE(Paste("Privileges", 10));
    ASSERT_NO_FATAL_FAILURE(Paste("named words", 5));
    ASSERT_NO_FATAL_FAILURE(Paste("Block link", 0));
    // words pasted into the middle of a link are the link's
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Grant", 0));
    for (int K = 0; K < 6; ++K) H.Key(Qt::Key_Right, Qt::ShiftModifier);
    H.Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(Paste("link text", 5));

    // Drags the selection with the mouse from From and drops it at To: the press and the
    // moves start the engine's drag, the drop comes as the window system delivers it (enter,
    // move, drop) with the data and actions the engine put on the drag. Each drop is one step:
    // Undo gives back the page before, Redo the page after.
    const auto DragTo = [&](const QPoint& From, const QPoint& To, Qt::KeyboardModifiers Mods, QString& After) {
        const QString Before = H.Body();
        TEngineDrag Drag(&H.D());
        ASSERT_NO_FATAL_FAILURE(Drag.Start(Proxy, From));
        QTest::mouseRelease(Proxy, Qt::LeftButton, {}, From + QPoint(30, -10));
        QDragEnterEvent Enter(To, Drag.Actions, &Drag.Data, Qt::LeftButton, Mods);
        QApplication::sendEvent(Proxy, &Enter);
        QDragMoveEvent Move(To, Drag.Actions, &Drag.Data, Qt::LeftButton, Mods);
        QApplication::sendEvent(Proxy, &Move);
        QDropEvent Drop(To, Drag.Actions, &Drag.Data, Qt::LeftButton, Mods);
        QApplication::sendEvent(Proxy, &Drop);
        ASSERT_TRUE(WaitFor([&] { return H.Body() != Before; }));
        After = H.Body();
        H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(H.Body().toStdString(), Before.toStdString());
        H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(H.Body().toStdString(), After.toStdString());
    };
    // words selected with the mouse and dragged behind a heading's text: the page is the one
    // that a cut and a paste there make
    QString Dropped, CutAndPasted;
    const auto SelectRows = [&] {
        // away from what an Undo selected, which the press would drag
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Grant", 0));
        SelectWithMouse(PageTextPoint(H.D(), "rows from", 0), PageTextPoint(H.D(), "rows from", 9), "rows from");
    };
    ASSERT_NO_FATAL_FAILURE(SelectRows());
    ASSERT_NO_FATAL_FAILURE(DragTo(PageTextPoint(H.D(), "rows from", 4), PageTextPoint(H.D(), "Synopsis", 8), {}, Dropped));
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(SelectRows());
    H.Key(Qt::Key_X, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(Paste("Synopsis", 8));
    CutAndPasted = H.Body();
    // but for the blanks: the move leaves one where the words were, and they stand apart from
    // the word they land behind
    EXPECT_EQ(Dropped.toStdString(), QString(CutAndPasted)
                                         .replace("skip&nbsp; the", "skip the")
                                         .replace("Synopsisrows", "Synopsis rows")
                                         .toStdString());
    EXPECT_TRUE(Dropped.contains("<h2 data-role=\"title\">Synopsis rows from</h2>")) << Dropped.toStdString();
    // non-Latin words and a named anchor, selected with the mouse and moved into an item
    ASSERT_NO_FATAL_FAILURE(SelectWithMouse(PageTextPoint(H.D(), Hello, 0), PageTextPoint(H.D(), "named", 5),
                                            Hello + "\u0430\u0432\u0441\u0442\u0432\u0443\u0439 named"));
    ASSERT_NO_FATAL_FAILURE(DragTo(PageTextPoint(H.D(), Hello, 3), PageTextPoint(H.D(), "Tail words", 10), {}, Dropped));
    // a link with an attribute of its own and the words before it, selected with Shift+arrows
    // and copied with Ctrl held into the middle of the link around a block
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Grant", 0));
    for (int K = 0; K < 16; ++K) H.Key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(Selected().toStdString(), "Grant Privileges");
    ASSERT_NO_FATAL_FAILURE(DragTo(PageTextPoint(H.D(), "Privileges", 4), PageTextPoint(H.D(), "Block link", 8),
                                   Qt::ControlModifier, Dropped));

    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromStdString(ReadAll(Docs / "drop.html"));
    const QString Flat = Saved.simplified();
    const QString Abs = "abs, <a href=\"functions-math.html\" rel=\"x\">math &#x1F600;</a> end.";
    const QString Block = "<a href=\"block.html\" data-k>";
    for (const QString& Part : QStringList{
             // pasted at a link's end: after it
             "<p>Grant <a href=\"ddl-priv.html\" data-x=\"1\">Privileges</a>" + Abs + " to roles; skip",
             // pasted into a named anchor's text, then moved with the anchor's first half into an
             // item: the text after the paste is in no anchor
             "<p>" + Abs + " words here.</p>",
             "<li>Tail words &#x0417;&#x0434;&#x0440;&#x0430;&#x0432;&#x0441;&#x0442;&#x0432;&#x0443;&#x0439; "
             "<a name=\"n2\">named</a> here</li>",
             // at the start of a link around a block, before it; in its middle, between its halves
             // (in a copy of the block the link holds)
             Abs + Block + " <div> Block li </div> </a> <div> Grant <a href=\"ddl-priv.html\" data-x=\"1\">Privileges</a> </div> " +
                 Block + " <div> nk Grant text </div> </a>"})
        EXPECT_TRUE(Flat.contains(Part)) << Part.toStdString() << "\n" << Saved.toStdString();
    // no link in a link, no style the user did not set, every named anchor once
    int Open = 0, Nested = 0;
    static const QRegularExpression Link(R"(<(/?)a[\s>])");
    for (const QRegularExpressionMatch& M : Link.globalMatch(Saved))
        Nested += M.captured(1).isEmpty() ? Open++ > 0 : (--Open, 0);
    EXPECT_EQ(Nested, 0) << Saved.toStdString();
    for (const char* Engine : {"style=", "<span", "rgb(", "font-family"})
        EXPECT_FALSE(Saved.contains(Engine)) << Engine << "\n" << Saved.toStdString();
    EXPECT_EQ(Saved.count("name=\"n2\""), 1) << Saved.toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

TEST(DesignEditing, JoinedAndOutdentedListItemsLeaveNoEmptyItemAndNestValidly)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><title>Lists</title></head><body>\n"
        "<ol class=\"steps\">\n"
        "<li>One first</li>\n"
        "<li>Two second</li>\n"
        "<li><p>Three third</p></li>\n"
        "<li><p>Four <code>fourth</code></p>\n<ul><li>Four sub</li></ul></li>\n"
        "<li>Five <a href=\"f.html\">fifth link</a></li>\n"
        "<li><p>Six sixth</p></li>\n"
        "<li><p>Seven seventh</p></li>\n"
        "<li><p>Eight eighth</p></li>\n"
        "<li>Nine ninth</li>\n"
        "</ol>\n"
        "<ul>\n"
        "<li>Outer item\n"
        "<ol><li>Inner one</li><li>Inner two<ul><li>Deep</li></ul></li><li>Inner three</li></ol></li>\n"
        "<li>Last outer</li>\n"
        "</ul>\n"
        "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "lists.html", Page));

    // Delete at an item's end and Backspace at an item's start join two items
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "One first", 9));
    H.Key(Qt::Key_Delete);
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Four", 0));
    H.Key(Qt::Key_Backspace);
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "fifth link", 10));
    H.Key(Qt::Key_Delete);
    // so does Delete on a selection from one item into the next
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Seven", 2));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_Delete);
    // Outdent of an item of a list in a list, and Indent of the last outer item
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Inner two", 3));
    H.Click(H.F().BtnOutdent);
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Last outer", 2));
    H.Click(H.F().BtnIndent);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromStdString(ReadAll(Docs / "lists.html"));
    const TWritten After = ReadWritten(Saved);
    EXPECT_EQ(After.Faults.join(", ").toStdString(), "") << Saved.toStdString();
    const QString Words = Joined(After.Words);
    for (const char* Kept : {" One firstTwo second Three thirdFour fourth Four sub Five fifth linkSix sixth Se",
                             " Nine ninth Outer item Inner one Inner two Deep Inner three Last outer "})
        EXPECT_TRUE(Words.contains(Kept)) << Kept << "\n" << Saved.toStdString();
    // the numbered list counts the items that are left; the outdented item stands in the
    // outer list with its own list and the items that followed it, the indented one in it
    const auto Texts = [&](const QString& Selector) {
        return PageEval(H.D(), "[...document.querySelectorAll('" + Selector +
                                   "')].map(li => li.firstChild.textContent.trim()).join('|')")
            .toString()
            .toStdString();
    };
    EXPECT_EQ(Texts("body > ol > li"), "One firstTwo second|Three thirdFour fourth|Five|" +
                                           Texts("body > ol > li:nth-child(4)") + "|Nine ninth");
    EXPECT_EQ(Texts("body > ul > li"), "Outer item|Inner two");
    EXPECT_EQ(Texts("body > ul > li > ol > li"), "Inner one|Inner three") << Saved.toStdString();
    EXPECT_EQ(Texts("body > ul > li > ul > li"), "Deep|Last outer") << Saved.toStdString();

    // each join, Outdent and Indent is one step back
    for (int K = 0; K < 6; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const TWritten Undone = ReadWritten(QString::fromStdString(ReadAll(Docs / "lists.html")));
    EXPECT_EQ(Undone.Words.join(' ').toStdString(), ReadWritten(Page).Words.join(' ').toStdString());
    EXPECT_EQ(Undone.Items, ReadWritten(Page).Items);
    EXPECT_EQ(Texts("body > ul > li"), "Outer item|Last outer");
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}


TEST(DesignEditing, ListsOverTermsAndIndentedItemsAreValidListsAndUndoExactly)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Terms =
        "<p class=\"lead\" data-note=\"n\">Intro café words &amp; more</p>\n"
        "<dl class=\"glossary\" data-kind=\"terms\">\n"
        "<dt id=\"t1\">Kilo <a href=\"k.html\">term</a></dt><dd>Lima definition &eacute;t&eacute;</dd>\n"
        "<dt data-x=\"1\">Mike τέρμα</dt><dd><p>November definition</p><ul><li>Nested sub</li></ul></dd>\n"
        "<dt>Oscar term</dt><dd>Papa definition</dd>\n"
        "</dl>\n"
        "<p>Quebec paragraph</p>\n"
        "<p>Uniform line <br>Victor <i>line</i> <br>Whiskey line</p>\n"
        "<dl><dt>Romeo single</dt><dd>Sierra definition</dd></dl>\n";
    const QString Lists =
        "<ul class=\"steps\" data-step=\"s\">\n"
        "<li>Alpha first</li>\n"
        "<li><p>Bravo <a href=\"b.html\">второй</a> &amp; text</p></li>\n"
        "<li><p>Charlie third</p><ul><li>Charlie sub</li></ul></li>\n"
        "<li><p>Delta fourth</p></li>\n"
        "<li>Echo fifth<ol><li>Foxtrot one</li><li><p>Golf two</p></li></ol></li>\n"
        "</ul>\n"
        "<ol start=\"3\">\n<li><p>Hotel first</p></li>\n<li><p>India second</p></li>\n</ol>\n"
        "<dl><dt>Juliet term</dt><dd>Kilo definition</dd></dl>\n";
    const QString Page = "<html><head><title>Lists</title></head><body>\n" + Terms + Lists + "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "terms.html", Page));
    const auto Selected = [&] {
        H.D().CallLayer("echoes");
        return PageEval(H.D(), "getSelection().toString()").toString().simplified().toStdString();
    };
    // the page after each command
    std::vector<QString> Pages{H.Body()};
    const auto Press = [&](QAction* Button) {
        H.Click(Button);
        Pages.push_back(H.Body());
    };

    // a bulleted list over a term and its definition in the middle of a definition list, chosen
    // with Shift+Down: their items in a list between the list's halves, with all they hold
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Mike", 1));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    ASSERT_EQ(Selected(), "ike τέρμα November definition");
    Press(H.F().BtnUnorder);
    // a numbered list over a paragraph and the terms after it
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Intro", 2));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    ASSERT_EQ(Selected(), "tro café words & more Kilo term Lima definition été");
    Press(H.F().BtnOrder);
    // a caret in a single term
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Romeo single", 3));
    Press(H.F().BtnUnorder);
    // and in one line of a paragraph of lines: the lines after it stay in a paragraph
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Victor", 3));
    Press(H.F().BtnOrder);
    // Indent of an item whose text is in a paragraph, of two selected such items (one with a
    // list of its own), of one in a numbered list, of one in a list in a list, and of a
    // definition
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Bravo", 2));
    Press(H.F().BtnIndent);
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Charlie third", 2));
    for (int K = 0; K < 2; ++K) H.Key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(Selected(), "arlie third Charlie sub De");
    Press(H.F().BtnIndent);
    for (const char* Text : {"India", "Golf", "Kilo definition"}) {
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, Text, 1));
        Press(H.F().BtnIndent);
    }
    EXPECT_EQ(Tight(Pages.back()).toStdString(),
              Tight("<ol><li>Intro café words &amp; more</li><li id=\"t1\">Kilo <a href=\"k.html\">term</a></li>"
                    "<li>Lima definition été</li></ol>"
                    "<ul><li data-x=\"1\">Mike τέρμα</li><li><p>November definition</p><ul><li>Nested sub</li></ul></li></ul>\n"
                    "<dl class=\"glossary\" data-kind=\"terms\"><dt>Oscar term</dt><dd>Papa definition</dd></dl>\n"
                    "<p>Quebec paragraph</p>\n"
                    "<p>Uniform line <br></p><ol><li>Victor <i>line</i></li></ol><p>Whiskey line</p>\n"
                    "<ul><li>Romeo single<p>Sierra definition</p></li></ul>\n"
                    "<ul class=\"steps\" data-step=\"s\">\n"
                    "<li>Alpha first<ul><li><p>Bravo <a href=\"b.html\">второй</a> &amp; text</p></li>"
                    "<li><p>Charlie third</p><ul><li>Charlie sub</li></ul></li><li><p>Delta fourth</p></li></ul></li>\n"
                    "<li>Echo fifth<ol><li>Foxtrot one<ol><li><p>Golf two</p></li></ol></li></ol></li>\n"
                    "</ul>\n"
                    "<ol start=\"3\">\n<li><p>Hotel first</p><ol><li><p>India second</p></li></ol></li>\n</ol>\n"
                    "<dl><dt>Juliet term</dt><dd><blockquote>Kilo definition</blockquote></dd></dl>")
                  .toStdString());

    // the saved page: valid lists, every word in its order (those of other scripts and those
    // written as references too), no style and no empty paragraph that the user did not make
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromUtf8(ReadAll(Docs / "terms.html"));
    const TWritten After = ReadWritten(Saved);
    EXPECT_EQ(After.Faults.join(", ").toStdString(), "") << Saved.toStdString();
    EXPECT_EQ(ReadWritten(Decoded(Saved)).Words.join(' ').toStdString(),
              ReadWritten(Decoded(Page)).Words.join(' ').toStdString()) << Saved.toStdString();
    EXPECT_FALSE(Saved.contains("style")) << Saved.toStdString();
    EXPECT_FALSE(Tight(Saved).contains("<p></p>")) << Saved.toStdString();
    for (const char* Kept : {"<li data-x=\"1\">Mike τέρμα</li>", "<p>Bravo <a href=\"b.html\">второй</a> & text</p>"})
        EXPECT_TRUE(Decoded(Tight(Saved)).simplified().contains(Kept)) << Kept << "\n" << Saved.toStdString();

    // Outdent gives the lists back as they were: the first item of the three takes the two
    // after it along in a list of its own, and they follow it out
    for (const char* Text : {"Bravo", "India", "Golf", "Kilo definition"}) {
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, Text, 1));
        Press(H.F().BtnOutdent);
    }
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Charlie third", 2));
    for (int K = 0; K < 2; ++K) H.Key(Qt::Key_Down, Qt::ShiftModifier);
    Press(H.F().BtnOutdent);
    EXPECT_TRUE(Tight(Pages.back()).endsWith(Tight(Lists))) << Pages.back().toStdString();

    // each Undo gives back the page before its command, each Redo the page after it
    UndoAndRedo(H, Pages);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    const QString Redone = QString::fromUtf8(ReadAll(Docs / "terms.html"));
    EXPECT_EQ(ReadWritten(Redone).Faults.join(", ").toStdString(), "") << Redone.toStdString();
    EXPECT_EQ(ReadWritten(Decoded(Redone)).Words.join(' ').toStdString(),
              ReadWritten(Decoded(Page)).Words.join(' ').toStdString()) << Redone.toStdString();
    // the HTML Code view shows what was saved
    H.Tab(CodeTab);
    EXPECT_EQ(H.W().SourceEditor->text().toStdString(), Redone.toStdString());
    H.Tab(DesignerTab);
}

TEST(DesignEditing, EnterAndIndentInItemsActOnTheLineOfTheCaret)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><title>Options</title></head><body>\n"
        "<ul><li>Zulu top<ul><li>Zulu sub</li></ul></li></ul>\n"
        "<ul class=\"opts\">\n"
        "<li>Alpha item<ul><li>Alpha sub</li></ul></li>\n"
        "<li>Bravo <b>item</b>\n<ol><li>Bravo sub</li></ol></li>\n"
        "</ul>\n"
        "<dl>\n"
        "<dt>Kilo term</dt>\n"
        "<dd><p>First paragraph.</p>\n<p>Second paragraph.</p>\n<p>Third paragraph.</p></dd>\n"
        "<dt>Lima term</dt><dd>Lima definition</dd>\n"
        "</dl>\n"
        "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "items.html", Page));
    std::vector<QString> Pages{H.Body()};
    const auto Done = [&] {
        H.D().CallLayer("echoes");
        Pages.push_back(H.Body());
    };
    // a click right at the end of an item's text before its list, and Enter: the lists stay
    // valid wherever the engine puts the caret
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Zulu top", 8));
    H.Key(Qt::Key_Return);
    Done();
    EXPECT_FALSE(Pages.back().contains("<p><ul")) << Pages.back().toStdString();
    // Enter at the end of an item that holds a list, then words: the new item takes the list
    // and holds no break; the same after bold text (the words go on in bold), and in a term
    for (const auto& [Text, Typed] : {std::pair<QString, QString>{"Alpha item", "New alpha"},
                                      std::pair<QString, QString>{"Bravo", "New bravo"},
                                      std::pair<QString, QString>{"Kilo term", "Next term"}}) {
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, Text, 2));
        H.Key(Qt::Key_End);
        H.Key(Qt::Key_Return);
        H.TypeInDesigner(Typed);
        Done();
    }
    // Indent with the caret in one paragraph of a definition, then Outdent; Indent of two
    // paragraphs chosen with Shift+Down, and of a definition of one line
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Second paragraph", 3));
    H.Click(H.F().BtnIndent);
    Done();
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Second paragraph", 3));
    H.Click(H.F().BtnOutdent);
    Done();
    EXPECT_EQ(Pages.back().toStdString(), Pages[Pages.size() - 3].toStdString());
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "First paragraph", 3));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Click(H.F().BtnIndent);
    Done();
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "Lima definition", 3));
    H.Click(H.F().BtnIndent);
    Done();

    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromStdString(ReadAll(Docs / "items.html"));
    EXPECT_EQ(QString(Saved.mid(Saved.indexOf("<ul class"))).remove(QRegularExpression("\\r?\\n *")).toStdString(),
              QString("<ul class=\"opts\">"
                    "<li>Alpha item</li><li>New alpha<ul><li>Alpha sub</li></ul></li>"
                    "<li>Bravo <b>item</b></li><li><b>New bravo</b><ol><li>Bravo sub</li></ol></li>"
                    "</ul>"
                    "<dl><dt>Kilo term</dt><dt>Next term</dt>"
                    "<dd><blockquote><p>First paragraph.</p><p>Second paragraph.</p></blockquote><p>Third paragraph.</p></dd>"
                    "<dt>Lima term</dt><dd><blockquote>Lima definition</blockquote></dd>"
                    "</dl></body></html>")
                  .toStdString());

    UndoAndRedo(H, Pages);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

TEST(DesignEditing, LinksMadeInNamedAnchorsCoverTheSelectionAndKeepTheNameOnce)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><title>Anchors</title></head><body>\n"
        "<p>The <a name=\"apxs\">APache eXtension Tool</a> builds modules.</p>\n"
        "<p>Start <a name=\"first\" class=\"term\">Opening words here</a> and end.</p>\n"
        "<p>See <a name=\"whole\" id=\"w\">whole anchor</a> there.</p>\n"
        "<ul><li>Item</li></ul>\n"
        "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "anchors.html", Page));
    std::vector<QString> Pages{H.Body()};
    // Text selected with Shift+Right, then the Link button and an address typed into its dialog
    const auto Link = [&](const QString& Text, int Length, const QString& Url) {
        ASSERT_NO_FATAL_FAILURE(ClickAt(H, Text, 0));
        for (int K = 0; K < Length; ++K) H.Key(Qt::Key_Right, Qt::ShiftModifier);
        QString Offered;
        TModalAnswer Answer([&](QWidget* Dialog) {
            auto* Edit = Dialog->findChild<QLineEdit*>("EditUrl");
            Offered = Edit->text();
            Edit->selectAll();
            QTest::keyClicks(Edit, Url);
            QTest::keyClick(Edit, Qt::Key_Return);
        });
        H.Click(H.F().BtnLink);
        ASSERT_TRUE(WaitFor([&] { return Answer.Seen && H.Body() != Pages.back(); }));
        EXPECT_EQ(Offered.toStdString(), "http://");
        Pages.push_back(H.Body());
    };
    // a word in the middle of a named anchor, the first words of one, its last word, and the
    // whole of one
    ASSERT_NO_FATAL_FAILURE(Link("eXtension", 9, "apxs.html"));
    ASSERT_NO_FATAL_FAILURE(Link("Opening", 12, "open.html"));
    ASSERT_NO_FATAL_FAILURE(Link("here", 4, "here.html"));
    ASSERT_NO_FATAL_FAILURE(Link("whole anchor", 12, "whole.html"));

    H.TypeInDesigner("");
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(H.W().FileManager->Modified());
    const QString Saved = QString::fromStdString(ReadAll(Docs / "anchors.html"));
    EXPECT_EQ(Tight(Saved.mid(Saved.indexOf("<p>")).simplified()).toStdString(),
              "<p>The <a name=\"apxs\">APache </a><a href=\"apxs.html\">eXtension</a> Tool builds modules.</p>"
              "<p>Start <a name=\"first\" class=\"term\" href=\"open.html\">Opening word</a><a class=\"term\">s </a>"
              "<a class=\"term\" href=\"here.html\">here</a> and end.</p>"
              "<p>See <a name=\"whole\" id=\"w\" href=\"whole.html\">whole anchor</a> there.</p>"
              "<ul><li>Item</li></ul></body></html>") << Saved.toStdString();

    UndoAndRedo(H, Pages);
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

// Words dragged with the mouse and dropped as the window system ends a drag (by the release,
// or by the next motion when the release went to the drag), then typed at once and saved; the
// middle button's paste of a selected line with a link.
TEST(DesignEditing, DroppedWordsStandApartKeysRightAfterADropAreSavedAndTheMiddleButtonPastesMarkup)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    const QString Page =
        "<html><head><title>Drops</title></head><body>\n"
        "<p>For this reason, IF vacuum is kept.</p>\n"
        "<p>It is appropriate here to drop words.</p>\n"
        "<p>See <a href=\"a.html\">first link</a> and more.</p>\n"
        "<p>Also <a href=\"b.html\">second target words</a> end.</p>\n"
        "<ul><li>Item</li></ul>\n"
        "</body></html>";
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "drops.html", Page));
    QWidget* Proxy = H.D().focusProxy();
    const auto Selected = [&] {
        H.D().CallLayer("echoes");
        return PageEval(H.D(), "getSelection().toString()").toString();
    };
    const auto Saved = [&] {
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString::fromStdString(ReadAll(Docs / "drops.html"));
    };
    // Double-clicks Word, drags it to To and drops it there; the window system's drag ends
    // with the release (ByRelease) or with the next motion over the view. Then Keys are typed
    // at once, each in the page before the next is pressed.
    const auto DragWord = [&](const QString& Word, const QString& Text, int Offset, bool ByRelease,
                              const QString& Keys) {
        PageDoubleClick(H.D(), PageTextPoint(H.D(), Word, 1));
        ASSERT_TRUE(WaitFor([&] { return Selected() == Word; })) << Selected().toStdString();
        const QPoint From = PageTextPoint(H.D(), Word, 1), To = PageTextPoint(H.D(), Text, Offset);
        const QString Before = H.Body();
        TEngineDrag Drag(&H.D());
        ASSERT_NO_FATAL_FAILURE(Drag.Start(Proxy, From));
        QDragEnterEvent Enter(To, Drag.Actions, &Drag.Data, Qt::LeftButton, {});
        QApplication::sendEvent(Proxy, &Enter);
        QDragMoveEvent Move(To, Drag.Actions, &Drag.Data, Qt::LeftButton, {});
        QApplication::sendEvent(Proxy, &Move);
        QDropEvent Drop(To, Drag.Actions, &Drag.Data, Qt::NoButton, {});
        QApplication::sendEvent(Proxy, &Drop);
        if (ByRelease) {
            QTest::mouseRelease(Proxy, Qt::LeftButton, {}, To);
        } else {
            QMouseEvent Motion(QEvent::MouseMove, To + QPoint(2, 0), Proxy->mapToGlobal(To + QPoint(2, 0)),
                               Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(Proxy, &Motion);
        }
        ASSERT_TRUE(WaitFor([&] { return H.Body() != Before; }));
        // each key shows at once: none waits for the page to answer the one before
        QElapsedTimer Clock;
        Clock.start();
        for (const QChar Key : Keys) {
            QTest::keyClick(Proxy, Key.toLatin1());
            EXPECT_TRUE(WaitFor([&] { return H.Body().contains(Key); }, 1000)) << Key.toLatin1();
        }
        EXPECT_LT(Clock.elapsed(), 1500 * Keys.size());
        // the keys and the drop are a step each
        const QString Typed = H.Body();
        for (int K = 0; K < 2; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(H.Body().toStdString(), Before.toStdString());
        for (int K = 0; K < 2; ++K) H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(H.Body().toStdString(), Typed.toStdString());
    };

    // a word moved to the end of another: one ordinary blank where it was, and a blank
    // between it and the word it lands behind; the keys typed right after are in the save
    ASSERT_NO_FATAL_FAILURE(DragWord("IF", "appropriate", 11, true, "QZ"));
    QString Page1 = Saved();
    EXPECT_TRUE(Page1.contains("<p>For this reason, vacuum is kept.</p>")) << Page1.toStdString();
    EXPECT_TRUE(Page1.contains("<p>It is appropriate IFQZ here to drop words.</p>")) << Page1.toStdString();
    // moved in front of a word, the drag ended by the motion after the drop
    ASSERT_NO_FATAL_FAILURE(DragWord("drop", "vacuum", 0, false, "WX"));
    QString Page2 = Saved();
    EXPECT_TRUE(Page2.contains("<p>For this reason, dropWX vacuum is kept.</p>")) << Page2.toStdString();
    EXPECT_TRUE(Page2.contains("<p>It is appropriate IFQZ here to words.</p>")) << Page2.toStdString();
    EXPECT_FALSE(H.W().FileManager->Modified());

    // a line with a link selected, pasted with the middle button into another link's text:
    // the links stay apart, each with its markup, as a paste with the keys puts them
    ASSERT_NO_FATAL_FAILURE(ClickAt(H, "See", 0));
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    ASSERT_EQ(Selected().toStdString(), "See first link and more.");
    // what the engine gives the primary selection: the selected text alone
    QMimeData Primary;
    Primary.setText(Selected());
    H.D().PrimarySelection = [&] { return &Primary; };
    const QString Before = H.Body();
    QTest::mouseClick(Proxy, Qt::MiddleButton, {}, PageTextPoint(H.D(), "second target", 3));
    ASSERT_TRUE(WaitFor([&] { return H.Body() != Before; }));
    const QString After = H.Body();
    const QString Pasted = Saved().simplified();
    EXPECT_TRUE(Pasted.contains("<p>Also <a href=\"b.html\">sec</a>See <a href=\"a.html\">first link</a> and "
                                "more.<a href=\"b.html\">ond target words</a> end.</p>"))
        << Pasted.toStdString();
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(H.Body().toStdString(), Before.toStdString());
    H.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(H.Body().toStdString(), After.toStdString());
    H.D().PrimarySelection = nullptr;
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

// A drag with the real pointer through the X server, stepped by a timer, which fires inside
// the window system's drag loop too: the press on From and moves to the right until the engine
// has begun its drag, moves to To until the view has followed the drag there, then the release,
// and with Nudge a motion after it. No step waits for its pointer events inside another.
class TXDrag : public QObject {
public:
    TXDrag(TWebBrowser* View, QPoint From, QPoint To, bool Nudge)
        : View(View), Proxy(View->focusProxy()), From(From), To(To), Nudge(Nudge)
    {
        qApp->installEventFilter(this);
        connect(&Ticks, &QTimer::timeout, this, &TXDrag::Step);
        Ticks.start(10);
    }
    ~TXDrag() override
    {
        qApp->removeEventFilter(this);
        Tool.waitForFinished(5000);
    }
    bool Done = false;
    QString Failure;  // the step that did not come

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::DragMove && (Watched == View || Watched == Proxy))
            At = static_cast<QDragMoveEvent*>(Event)->position().toPoint();
        return false;
    }

private:
    void Run(const QStringList& Args) { Tool.start(QStringLiteral("xdotool"), Args); }
    QStringList MoveTo(QPoint P) const
    {
        P = Proxy->mapToGlobal(P);
        return {"mousemove", QString::number(P.x()), QString::number(P.y())};
    }
    void Fail(const QString& What)
    {
        Failure = What;
        Ticks.stop();
        Run({"mouseup", "1"});  // a drag loop under way ends with the button
    }
    void Step()
    {
        if (Tool.state() != QProcess::NotRunning) return;
        ++Tick;
        switch (Stage) {
        case 0:
            Run(MoveTo(From) + QStringList{"mousedown", "1"});
            Stage = 1;
            break;
        case 1:  // the engine's drag is under way once its QDrag is there
            if (View->findChild<QDrag*>(QString(), Qt::FindDirectChildrenOnly)) {
                Stage = 2;
                Since = Tick;
            } else if (Tick > 200) {
                Fail("the engine's drag did not begin");
            } else {
                Run(MoveTo(From + QPoint(std::min(Tick * 2, 40), 0)));
            }
            break;
        case 2:  // the view follows the drag to To: each move another point
            if (At == To) {
                Run(QStringList{"mouseup", "1"} + (Nudge ? MoveTo(To + QPoint(3, 0)) : QStringList()));
                Stage = 3;
            } else if (Tick - Since > 200) {
                Fail("the drag did not reach its target");
            } else {
                Run(MoveTo(To + QPoint((Tick - Since) % 2, 0)));
            }
            break;
        default:
            Done = true;
            Ticks.stop();
            break;
        }
    }
    TWebBrowser* View;
    QWidget* Proxy;
    QPoint From, To, At{-1, -1};
    bool Nudge;
    QTimer Ticks;
    QProcess Tool;
    int Stage = 0, Tick = 0, Since = 0;
};

// Under X, words dragged with the real pointer and dropped, the window system's drag ended by
// the release, or by the release and a motion after it: each key typed then reaches the page in
// a moment, and a Ctrl+S pressed at once after keys saves them as the view shows them.
TEST(UnderX, KeysAndASaveRightAfterARealDropTakeEffectAtOnce)
{
    ZV_UNDER_X_ONLY();
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    ASSERT_NO_FATAL_FAILURE(OpenPage(H, Docs, "drops.html",
                                     "<html><head><title>Drops</title></head><body>\n"
                                     "<p>For this reason, IF vacuum is kept.</p>\n"
                                     "<p>It is appropriate here to drop words.</p>\n"
                                     "<ul><li>Item</li></ul>\n"
                                     "</body></html>"));
    QWidget* Proxy = H.D().focusProxy();
    // Word, double-clicked, dragged Offset characters into Text and dropped there
    const auto Drop = [&](const QString& Word, const QString& Text, int Offset, bool Nudge) {
        PageDoubleClick(H.D(), PageTextPoint(H.D(), Word, 1));
        ASSERT_TRUE(WaitFor([&] { return PageEval(H.D(), "getSelection().toString()").toString() == Word; }));
        const QString Before = H.Body();
        TXDrag Drag(&H.D(), PageTextPoint(H.D(), Word, 1), PageTextPoint(H.D(), Text, Offset), Nudge);
        ASSERT_TRUE(WaitFor([&] { return Drag.Done || !Drag.Failure.isEmpty(); }, 20000));
        ASSERT_EQ(Drag.Failure.toStdString(), "");
        ASSERT_TRUE(WaitFor([&] { return H.Body() != Before; }));
    };
    // Whether the page saw Key come up within half a second of the press; a step of the events
    // that held the program up counts too
    const auto KeyAtOnce = [&](char Key) {
        bool Up = false;
        const auto C = QObject::connect(&H.D(), &TWebBrowser::PageEvent,
                                        [&](const TPageEvent& E) { Up |= E.Type == "keyup" && E.KeyCode == Key; });
        QElapsedTimer Clock;
        Clock.start();
        QTest::keyClick(Proxy, Key);
        const bool Seen = WaitFor([&] { return Up; }, 500) && Clock.elapsed() <= 500;
        QObject::disconnect(C);
        return Seen;
    };
    const auto Saved = [&] {
        H.Key(Qt::Key_S, Qt::ControlModifier);
        return QString::fromStdString(ReadAll(Docs / "drops.html"));
    };

    // ended by the release: the keys one by one, then the save
    ASSERT_NO_FATAL_FAILURE(Drop("IF", "appropriate", 11, false));
    EXPECT_TRUE(KeyAtOnce('Q'));
    EXPECT_TRUE(KeyAtOnce('Z'));
    const QString Page1 = Saved();
    EXPECT_TRUE(Page1.contains("<p>It is appropriate IFQZ here to drop words.</p>")) << Page1.toStdString();
    // ended by a motion after the release: the keys and the save at once
    ASSERT_NO_FATAL_FAILURE(Drop("drop", "vacuum", 0, true));
    QTest::keyClicks(Proxy, "WX");
    const QString Page2 = Saved();
    EXPECT_TRUE(Page2.contains("<p>For this reason, dropWX vacuum is kept.</p>")) << Page2.toStdString();
    EXPECT_TRUE(Page2.contains("<p>It is appropriate IFQZ here to words.</p>")) << Page2.toStdString();
    EXPECT_TRUE(H.Body().contains("dropWX vacuum")) << H.Body().toStdString();
    EXPECT_FALSE(H.W().FileManager->Modified());
    EXPECT_TRUE(KeyAtOnce('Y'));
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

}  // namespace
