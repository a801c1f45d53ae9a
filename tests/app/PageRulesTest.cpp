// The page after each action a person takes in the design view: no link in a link and no
// empty link, no block in a paragraph, items only in their lists, rows in tables, no style the
// engine computed, no id or anchor name twice, and what the action did not select as it was.
// Each action is taken back and given again, exactly.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QMimeData>
#include <QRegularExpression>
#include <Qsci/qsciscintilla.h>

#include "MainWindowHost.h"
#include "Streams.h"

using namespace zv;
using namespace zv::test;

namespace {

class TRulesPage {
public:
    TRulesPage(TMainWindowHost& H, const TempDir& Docs, const QString& Body) : H(H)
    {
        WriteAll(Docs / "rules.html", ("<html><head><title>Rules</title></head><body>\n" + Body + "\n</body></html>").toStdString());
        H.W().FileManager->OpenFile(Docs / "rules.html");
        EXPECT_TRUE(WaitFor([&] { return H.Body().contains("End of page"); }));
    }
    // The body, once the keys sent before have reached the page.
    QString Body()
    {
        H.D().CallLayer("echoes");
        return H.Body();
    }
    // The same without the white space between tags.
    QString Tight() { return Body().replace(QRegularExpression(">\\s+<"), "><").trimmed(); }
    // What the page holds against the rules: links in links, empty links, blocks in
    // paragraphs, headings in headings, items and lists out of place, rows and cells out of
    // place, ids and anchor names twice, styles the engine computed.
    QString Faults()
    {
        return PageEval(H.D(), R"((function () {
            const out = [], all = [...document.body.querySelectorAll('*')];
            const closes = /^(address|article|aside|blockquote|center|details|dialog|dir|div|dl|dd|dt|fieldset|figcaption|figure|footer|form|h[1-6]|header|hgroup|hr|li|main|menu|nav|ol|p|pre|section|table|ul)$/;
            const ids = new Map(), names = new Map();
            for (const e of all) {
                const n = e.localName, up = e.parentElement.localName;
                if (n === 'a' && e.parentElement.closest('a')) out.push('a in a');
                if (n === 'a' && e.hasAttribute('href') && !e.textContent.trim() && !e.querySelector('img')) out.push('empty link');
                if (closes.test(n) && e.parentElement.closest('p')) out.push(n + ' in p');
                if (/^h[1-6]$/.test(n) && e.parentElement.closest('h1, h2, h3, h4, h5, h6')) out.push(n + ' in a heading');
                if (n === 'li' && !/^(ul|ol|menu|dir)$/.test(up)) out.push('li in ' + up);
                if ((n === 'dt' || n === 'dd') && up !== 'dl') out.push(n + ' in ' + up);
                if (/^(ul|ol|dl)$/.test(n) && /^(ul|ol|dl)$/.test(up)) out.push(n + ' in ' + up);
                if (n === 'tr' && !/^(table|thead|tbody|tfoot)$/.test(up)) out.push('tr in ' + up);
                if ((n === 'td' || n === 'th') && up !== 'tr') out.push(n + ' in ' + up);
                if (e.id && !e.id.startsWith('dsgn_:::_')) ids.set(e.id, (ids.get(e.id) || 0) + 1);
                if (n === 'a' && e.name) names.set(e.name, (names.get(e.name) || 0) + 1);
                const style = e.getAttribute('style') || '';
                if (/rgb\(|!important/.test(style)) out.push('style ' + style);
            }
            for (const [k, v] of [...ids, ...names]) if (v > 1) out.push(k + ' twice');
            return out.join(', ');
        })())").toString();
    }
    // Act, then Undo gives back the page before it and Redo the page after it; the page after,
    // which holds to the rules.
    QString Step(const char* What, const std::function<void()>& Act)
    {
        const QString Before = Body();
        Act();
        H.TypeInDesigner("");
        const QString After = Body();
        EXPECT_NE(After, Before) << What;
        EXPECT_EQ(Faults().toStdString(), "") << What << "\n" << After.toStdString();
        // offscreen, the popup of a box stays the active window once closed: the keys go to
        // the page's view
        QTest::keyClick(H.D().focusProxy(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Body().toStdString(), Before.toStdString()) << "undo of " << What;
        QTest::keyClick(H.D().focusProxy(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Body().toStdString(), After.toStdString()) << "redo of " << What;
        return Tight();
    }
    // A click Offset characters into Text, then Button, as a step.
    QString Press(const char* What, const QString& Text, int Offset, QAction* Button)
    {
        return Step(What, [&] {
            ASSERT_NO_FATAL_FAILURE(ClickAt(Text, Offset));
            H.Click(Button);
        });
    }
    void ClickAt(const QString& Text, int Offset)
    {
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, Offset)));
        H.TypeInDesigner("");
    }
    // Selects Count characters from Offset into Text with Shift+Right.
    void Select(const QString& Text, int Offset, int Count)
    {
        ASSERT_NO_FATAL_FAILURE(ClickAt(Text, Offset));
        for (int K = 0; K < Count; ++K) H.Key(Qt::Key_Right, Qt::ShiftModifier);
        H.D().CallLayer("echoes");
    }
    // Chooses Name in the paragraph format box.
    void Format(const QString& Name)
    {
        H.W().UpdateControls();
        TComboBox97* Box = H.W().BlockFormatCombo;
        QTest::mouseClick(Box, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return Box->view()->isVisible(); }));
        const int K = Box->findText(Name);
        ASSERT_GE(K, 0) << Name.toStdString();
        Box->view()->setCurrentIndex(Box->model()->index(K, 0));
        QTest::keyClick(Box->view(), Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !QApplication::activePopupWidget() && !Box->view()->window()->isVisible(); }));
    }

private:
    TMainWindowHost& H;
};

// Expects Part in Page.
#define EXPECT_HAS(Page, Part) EXPECT_TRUE((Page).contains(Part)) << (Part) << "\n" << (Page).toStdString()
#define EXPECT_HASNT(Page, Part) EXPECT_FALSE((Page).contains(Part)) << (Part) << "\n" << (Page).toStdString()

TEST(PageRules, LinksAnchorsIdsAndNamesHoldAfterTypingPastingCuttingAndLists)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TRulesPage P(H, Docs,
                 "<p id=\"l1\">Go to <a href=\"one.html\">the first page</a> now.</p>\n"
                 "<p id=\"l2\">Then <a href=\"two.html\" class=\"k\">second link</a> here.</p>\n"
                 "<p id=\"l3\">Cut <a href=\"three.html\">third link</a> away.</p>\n"
                 "<p id=\"l8\">Over <a href=\"eight.html\">eighth</a> and more.</p>\n"
                 "<p id=\"l4\">See <a href=\"both.html\" name=\"both\">link with name</a> there.</p>\n"
                 "<p id=\"l5\">Named <a name=\"x1\">anchor words</a></p>\n"
                 "<p id=\"l6\">Delete <a href=\"six.html\">sixth link</a> too.</p>\n"
                 "<p id=\"l7\">Split <a href=\"seven.html\">seventh link words</a> after.</p>\n"

                 "<ul><li><a href=\"item.html\">Item link</a></li></ul>\n"
                 "<p><a href=\"para.html\">Paragraph link</a></p>\n"
                 "<dl><dt id=\"t1\">Term one</dt><dd>Its definition</dd></dl>\n"
                 "<p id=\"moved\">Moved paragraph</p>\n"
                 "<p>End of page</p>");
    QString Page;

    // typing over all of a link's text: the link holds the new words
    Page = P.Step("typing over a link", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("the first page", 0, 14));
        H.TypeInDesigner("new words");
    });
    EXPECT_HAS(Page, "Go to <a href=\"one.html\">new words</a> now.");
    // pasting over all of it, the same
    ASSERT_NO_FATAL_FAILURE(P.Select("Moved paragraph", 0, 5));
    H.Key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([] { return QApplication::clipboard()->mimeData()->hasText(); }));
    Page = P.Step("pasting over a link", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("second link", 0, 11));
        H.Key(Qt::Key_V, Qt::ControlModifier);
    });
    EXPECT_HAS(Page, "Then <a href=\"two.html\" class=\"k\">Moved</a> here.");
    // a cut of all of a link's text takes the link
    Page = P.Step("cutting a link's text", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("third link", 0, 10));
        H.Key(Qt::Key_X, Qt::ControlModifier);
    });
    EXPECT_HASNT(Page, "three.html");
    EXPECT_HAS(Page, "<p id=\"l3\">Cut &nbsp;away.</p>");
    // and so does Delete
    Page = P.Step("deleting a link's text", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("sixth link", 0, 10));
        H.Key(Qt::Key_Delete);
    });
    EXPECT_HASNT(Page, "six.html");
    EXPECT_HAS(Page, "<p id=\"l6\">Delete");
    EXPECT_HAS(Page, "too.</p>");
    // the picture of a named link deleted: the link stays, without its name
    Page = P.Step("deleting a named link's picture", [&] {
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#l4 img")));
        H.Key(Qt::Key_Delete);
    });
    EXPECT_HAS(Page, "See <a href=\"both.html\">link with name</a> there.");
    // a numbered list over a link in an item: the list is not in the link
    Page = P.Press("numbered list over a linked item", "Item link", 3, H.F().BtnOrder);
    EXPECT_HAS(Page, "<ol><li><a href=\"item.html\">Item link</a></li></ol>");
    Page = P.Press("numbered list over a linked paragraph", "Paragraph link", 3, H.F().BtnOrder);
    EXPECT_HAS(Page, "<li><a href=\"para.html\">Paragraph link</a></li></ol>");
    // Enter at the end of a term and in a named anchor: the new term and paragraph take
    // neither the id nor the name
    Page = P.Step("Enter after a term", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Term one", 8));
        H.Key(Qt::Key_Return);
        H.TypeInDesigner("Term two");
    });
    EXPECT_EQ(Page.count("id=\"t1\""), 1) << Page.toStdString();
    EXPECT_HAS(Page, "<dt id=\"t1\">Term one</dt><dt>Term two</dt>");
    Page = P.Step("Enter in a named anchor", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("anchor words", 6));
        H.Key(Qt::Key_Return);
    });
    EXPECT_EQ(Page.count("name=\"x1\""), 1) << Page.toStdString();
    // Enter in a link's words: the words after the link stay out of it, and Backspace right
    // after joins the lines again
    Page = P.Step("Enter in a link's words", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("seventh link words", 10));
        H.Key(Qt::Key_Return);
    });
    EXPECT_HAS(Page, "nk words</a> after.</p>");
    Page = P.Step("Backspace after it", [&] { H.Key(Qt::Key_Backspace); });
    EXPECT_HAS(QString(Page).remove(QRegularExpression("<[^>]*>")), "Split seventh link words after.");
    // typing over a link's words and the words after it: what is typed takes the link
    Page = P.Step("typing over a link and past it", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("eighth", 0, 10));
        H.TypeInDesigner("new");
    });
    EXPECT_HAS(Page, "<p id=\"l8\">Over <a href=\"eight.html\">new</a>");
    EXPECT_HAS(Page, "more.</p>");
    // a paragraph with an id cut and pasted elsewhere keeps its id; pasted again, the copy
    // takes none
    ASSERT_NO_FATAL_FAILURE(P.ClickAt("Its definition", 14));
    H.Key(Qt::Key_Down, Qt::ShiftModifier);
    H.Key(Qt::Key_End, Qt::ShiftModifier);
    Page = P.Step("cut of a paragraph", [&] { H.Key(Qt::Key_X, Qt::ControlModifier); });
    EXPECT_HASNT(Page, "id=\"moved\"");
    Page = P.Step("paste of it", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Go to", 0));
        H.Key(Qt::Key_V, Qt::ControlModifier);
    });
    EXPECT_HAS(Page, "<p id=\"moved\">Moved paragraph</p>");
    Page = P.Step("paste of it again", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("End of page", 0));
        H.Key(Qt::Key_V, Qt::ControlModifier);
    });
    EXPECT_EQ(Page.count("id=\"moved\""), 1) << Page.toStdString();
    EXPECT_EQ(Page.count("Moved paragraph"), 2) << Page.toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

TEST(PageRules, BlocksListsAndStylesHoldAfterFormatsListsAndKeys)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TRulesPage P(H, Docs,
                 "<p id=\"c\">line one<br><br>line two</p>\n"
                 "<p>Term words</p>\n<p>Definition words</p>\n"
                 "<dl><dt>Only term</dt><dd>Its only definition</dd></dl>\n"
                 "<aside><p>Tutorial</p><p>Side text here.</p></aside><p>After text here.</p>\n"
                 "<p>before pre:</p><pre>line A\nline B</pre>\n"
                 "<ul><li><p class=\"note\" id=\"keep\">Second para item</p></li></ul>\n"
                 "<ul><li>Outer item<ol><li>Inner item</li></ol></li></ul>\n"
                 "<ul><li><p id=\"p1\">First para</p><p>Other para</p></li><li><pre>code line</pre></li></ul>\n"
                 "<p>Para before</p><h3>Heading words</h3>\n"
                 "<h2 id=\"g\">Glossary title</h2>\n"
                 "<p>second case <em>join</em> queries here.</p>\n"
                 "<p>End of page</p>");
    QString Page;

    // Center in a line of a paragraph of lines: no paragraph in a paragraph
    Page = P.Press("center", "line one", 2, H.F().BtnCenter);
    EXPECT_HASNT(Page, "<p id=\"c\"><p");
    EXPECT_HAS(Page, "line one</p>");
    // the definition formats make a definition list and join it
    Page = P.Step("definition term", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Term words", 2));
        ASSERT_NO_FATAL_FAILURE(P.Format("Definition Term"));
    });
    EXPECT_HAS(Page, "<dl><dt>Term words</dt></dl>");
    Page = P.Step("definition", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Definition words", 2));
        ASSERT_NO_FATAL_FAILURE(P.Format("Definition"));
    });
    EXPECT_HAS(Page, "<dl><dt>Term words</dt><dd>Definition words</dd></dl>");
    // a list over a list's only term leaves no definition without a term
    Page = P.Press("list over the only term", "Only term", 2, H.F().BtnOrder);
    EXPECT_HASNT(Page, "<dl><dd>");
    EXPECT_HAS(Page, "Its only definition");
    // a heading across the end of an element the view shows by markers
    Page = P.Step("heading across an aside's end", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Side text", 0));
        H.Key(Qt::Key_Down, Qt::ShiftModifier);
        H.Key(Qt::Key_Right, Qt::ShiftModifier);
        ASSERT_NO_FATAL_FAILURE(P.Format("Heading 3"));
    });
    EXPECT_HASNT(Page, "<aside><h3>Side text here.<br></aside>");
    // Delete at the end of a paragraph before pre: no style the user did not set
    Page = P.Step("delete before pre", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("before pre:", 2));
        H.Key(Qt::Key_End);
        H.Key(Qt::Key_Delete);
    });
    EXPECT_HAS(Page, "<p>before pre:line A</p><pre>line B</pre>");
    // a numbered list and Outdent over an item's paragraph keep the paragraph
    Page = P.Press("numbered list over li>p", "Second para", 2, H.F().BtnOrder);
    EXPECT_HAS(Page, "<p class=\"note\" id=\"keep\">Second para item</p>");
    Page = P.Press("outdent of li>p", "Second para", 2, H.F().BtnOutdent);
    EXPECT_HAS(Page, "<p class=\"note\" id=\"keep\">Second para item</p>");
    EXPECT_HASNT(Page, "<li><p></p>");
    // a bulleted list over an item of a numbered list in an item: no item in an item
    Page = P.Press("bulleted list over an inner item", "Inner item", 2, H.F().BtnUnorder);
    EXPECT_HAS(Page, "<ul><li>Outer item<ul><li>Inner item</li></ul></li></ul>");
    // a numbered list over items of two paragraphs and of a pre: they stay in their items
    Page = P.Step("numbered list over paragraphs and pre", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("First para", 2));
        H.Key(Qt::Key_Down, Qt::ShiftModifier);
        H.Key(Qt::Key_Down, Qt::ShiftModifier);
        H.Key(Qt::Key_End, Qt::ShiftModifier);
        H.Click(H.F().BtnOrder);
    });
    EXPECT_HAS(Page, "<ol><li><p id=\"p1\">First para</p><p>Other para</p></li><li><pre>code line</pre></li></ol>");
    // a format made of a heading keeps its id
    Page = P.Step("formatted heading", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Glossary title", 3));
        ASSERT_NO_FATAL_FAILURE(P.Format("Formatted"));
    });
    EXPECT_HAS(Page, "<pre id=\"g\">Glossary title</pre>");
    // Backspace at a heading's start: its words join the paragraph, without the heading's looks
    Page = P.Step("Backspace at a heading's start", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("Heading words", 0));
        H.Key(Qt::Key_Backspace);
    });
    EXPECT_HAS(Page, "<p>Para beforeHeading words</p>");
    // Enter then Backspace beside an inline element: the blank between the words comes back
    ASSERT_NO_FATAL_FAILURE(P.ClickAt("join", 4));
    H.Key(Qt::Key_Return);
    H.TypeInDesigner("");
    H.Key(Qt::Key_Backspace);
    H.TypeInDesigner("");
    EXPECT_HAS(P.Tight(), "<p>second case <em>join</em> queries here.</p>");
    // the HTML Code view shows it so, and the design view comes back holding to the rules
    H.Tab(CodeTab);
    const QString Code = H.W().SourceEditor->text().replace(QRegularExpression(">\\s+<"), "><");
    EXPECT_HAS(Code, "<p>second case <em>join</em> queries here.</p>");
    EXPECT_HAS(Code, "<ol><li><p id=\"p1\">First para</p><p>Other para</p></li><li><pre>code line</pre></li></ol>");
    EXPECT_HASNT(Code, "rgb(");
    H.Tab(DesignerTab);
    ASSERT_TRUE(WaitFor([&] { return P.Body().contains("End of page"); }));
    EXPECT_EQ(P.Faults().toStdString(), "");
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

// A list command that takes items out of their list, or a format that joins blocks: what the
// items and blocks were keeps its id.
TEST(PageRules, ItemsTakenOutOfTheirListAndJoinedBlocksKeepTheirIds)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TRulesPage P(H, Docs,
                 "<ul id=\"top\"><li>Intro words</li><li id=\"i2\" class=\"k\">Second item</li></ul>\n"
                 "<p>Middle words</p>\n"
                 "<ol id=\"one\"><li>Alone item</li></ol>\n"
                 "<blockquote><ul><li>Quoted item</li></ul></blockquote>\n"
                 "<p id=\"a1\">First line</p><p>Second line</p><div id=\"d1\"><p>Third line</p></div>\n"
                 "<blockquote><p id=\"e1\" class=\"note\"><br></p><p class=\"note\"><br></p></blockquote>\n"
                 "<dl><dt><ol><li id=\"g\">Term list</li></ol></dt></dl>\n"
                 "<ol><li><dl><dt><p>First term para</p></dt><dt><p>Second term para</p></dt></dl><ul><li><p>Sub para</p></li></ul></li></ol>\n"
                 "<ol><li><h3>Bravo split words</h3><ul><li>Sub item</li></ul></li></ol>\n"
                 "<ol><li><blockquote><p>Quoted halves here</p></blockquote><pre>code after</pre></li></ol>\n"
                 "<h1><ol><li>Cell host <table border=\"1\"><tr><td></td></tr><tr><td id=\"c2\"></td></tr><tr><td></td></tr></table></li></ol></h1>\n"
                 "<p>End of page</p>");
    QString Page;
    Page = P.Step("bulleted list over a list's items", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("Intro words", 2, 14));
        H.Click(H.F().BtnUnorder);
    });
    EXPECT_HAS(Page, "<p id=\"top\">Intro words</p><p id=\"i2\" class=\"k\">Second item</p>");
    Page = P.Press("numbered list over its one item", "Alone item", 2, H.F().BtnOrder);
    EXPECT_HAS(Page, "<p id=\"one\">Alone item</p>");
    Page = P.Press("outdent of a quoted list", "Quoted item", 2, H.F().BtnOutdent);
    EXPECT_HAS(Page, "<blockquote><p>Quoted item</p></blockquote>");
    // Formatted joins the paragraphs side by side in one pre, with the first one's id; the
    // one in a div stays there
    Page = P.Step("Formatted over three blocks", [&] {
        ASSERT_NO_FATAL_FAILURE(P.Select("First line", 2, 24));
        ASSERT_NO_FATAL_FAILURE(P.Format("Formatted"));
    });
    EXPECT_HAS(Page, "<pre id=\"a1\">First line<br>Second line</pre><div id=\"d1\"><pre>Third line</pre></div>");
    // the engine makes the list inside the empty paragraph: it stands in its place
    Page = P.Step("bulleted list in an empty paragraph", [&] {
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#e1")));
        H.Click(H.F().BtnUnorder);
    });
    EXPECT_HAS(Page, "<blockquote><ul id=\"e1\"><li><br></li></ul><p class=\"note\"><br></p></blockquote>");
    // a list in a term taken away: the term holds its words and its id
    Page = P.Press("numbered list off in a term", "Term list", 2, H.F().BtnOrder);
    EXPECT_HAS(Page, "<dl><dt id=\"g\">Term list</dt></dl>");
    // the engine would outdent the second term to before the list, ahead of the first: the
    // words keep their order, and nothing is done
    const QString Outdented = P.Body();
    ASSERT_NO_FATAL_FAILURE(P.ClickAt("Second term para", 3));
    H.Click(H.F().BtnOutdent);
    EXPECT_EQ(P.Body().toStdString(), Outdented.toStdString());
    // and leaves no step: Undo takes back the one before
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_HAS(P.Tight(), "<dl><dt><ol><li id=\"g\">Term list</li></ol></dt></dl>");
    // a heading in a cell of a table in a heading goes out of the heading: the copies of the
    // table and cell that take it out carry neither the view's id nor the cell's
    Page = P.Step("heading in a cell", [&] {
        ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), "#c2")));
        ASSERT_NO_FATAL_FAILURE(P.Format("Heading 3"));
    });
    EXPECT_EQ(Page.count("<h3>"), 2) << Page.toStdString();
    EXPECT_EQ(Page.count("onresizeend"), 1) << Page.toStdString();
    // Enter in a heading of an item that holds a list: the list goes with the second half, and
    // Backspace joins the halves again
    Page = P.Step("Enter in a heading before a sub-list", [&] {
        ASSERT_NO_FATAL_FAILURE(P.ClickAt("split words", 5));
        H.Key(Qt::Key_Return);
    });
    EXPECT_HAS(Page, "<ol><li><h3>Bravo split</h3></li><li><h3>&nbsp;words</h3><ul><li>Sub item</li></ul></li></ol>");
    H.Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_NO_FATAL_FAILURE(P.ClickAt("split words", 5));
    H.Key(Qt::Key_Return);
    H.Key(Qt::Key_Backspace);
    EXPECT_HAS(P.Tight(), "<ol><li><h3>Bravo split words</h3><ul><li>Sub item</li></ul></li></ol>");
    // the same from a paragraph in a blockquote of the item, a pre after it
    ASSERT_NO_FATAL_FAILURE(P.ClickAt("Quoted halves here", 6));
    H.Key(Qt::Key_Return);
    H.TypeInDesigner("");
    EXPECT_LT(P.Body().indexOf("halves here"), P.Body().indexOf("code after")) << P.Body().toStdString();
    H.Key(Qt::Key_Backspace);
    EXPECT_HAS(P.Tight(), "<blockquote><p>Quoted halves here</p></blockquote>");
    EXPECT_LT(P.Body().indexOf("halves here"), P.Body().indexOf("code after")) << P.Body().toStdString();
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
}

}  // namespace
