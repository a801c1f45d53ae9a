// Tables of a real manual page edited in the main window with the mouse and the keys: the
// Tables menu, double clicks into cells, and the saved file.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include "MainWindowHost.h"

using namespace zv;
using namespace zv::test;

namespace {

// A manual's table: a header row, text in paragraphs, spans, bold and links in the cells, a
// cell three rows tall, a list and a nested table.
const char* const Page =
    "<html><head><title>Exceptions</title></head><body>\n"
    "<h1>Built-in exceptions</h1>\n"
    "<table class=\"docutils\" border=\"1\" data-kind=\"\">\n"
    "<thead><tr><th id=\"name\">Name</th><th id=\"meaning\">Meaning</th></tr></thead>\n"
    "<tbody>\n"
    "<tr><td rowspan=\"3\"><p>Group</p></td><td><p id=\"raise\">Raise an exception</p></td></tr>\n"
    "<tr><td><p>Catch <span class=\"pre\" id=\"it\">it&nbsp;now</span></p></td></tr>\n"
    "<tr><td><p><b>Bold</b> and <a id=\"link\" href=\"x.html\">a link \xC3\xBC</a></p></td></tr>\n"
    "<tr><td><ul><li id=\"item\">last item</li></ul></td>"
    "<td><table border=\"2\"><tr><td><p id=\"inner\">inner</p></td></tr></table></td></tr>\n"
    "</tbody></table>\n"
    "<p id=\"pic\">A picture <img src=\"missing.gif\" width=\"40\" height=\"30\" alt=\"picture\"></p>\n"
    "</body></html>\n";

// The Tables menu opened with a click on its title.
QMenu* OpenTables(TMainWindowHost& H) { return H.OpenMenu(H.F().MenuTables); }

// Clicks an entry of the open Tables menu, through its submenu when it has one.
void Choose(TMainWindowHost& H, QAction* Entry, QMenu* Sub = nullptr) { H.Choose(H.F().MenuTables, Entry, Sub); }

// Clicks into the text of the element Selector of the page.
void ClickIn(TMainWindowHost& H, const QString& Selector)
{
    QApplication::setActiveWindow(&H.W());
    ASSERT_TRUE(PageClick(H.D(), PageCentre(H.D(), Selector))) << Selector.toStdString();
}

// The entries of the Tables menu that are enabled, in menu order, as letters: rows above,
// below, delete; columns before, after, delete; merge, unmerge, fix; the two alignments.
std::string Enabled(TMainWindowHost& H)
{
    Ui::FormMain& F = H.F();
    std::string Out;
    for (QAction* A : {F.MenuInsertRowAbove, F.MenuInsertRowBelow, F.MenuDeleteRows, F.MenuInsertColumnBefore,
                       F.MenuInsertColumnAfter, F.MenuDeleteColumns, F.MenuMergeCells, F.MenuUnmergeCells,
                       F.MenuFixTable, F.MenuHorizontalAlignment->menuAction(),
                       F.MenuVerticalAlignment->menuAction()})
        Out += A->isEnabled() ? '+' : '-';
    return Out;
}

// Answers the next modal dialog: checks its caption, types Text into the field Field, and
// presses OK (Cancel without a field).
struct TDialogAnswer {
    QString Caption, FieldValue;
};
TModalAnswer Answer(TDialogAnswer& Seen, const char* Field, const QString& Text)
{
    return TModalAnswer([&Seen, Field, Text](QWidget* Dialog) {
        Seen.Caption = Dialog->windowTitle().trimmed();
        auto* Edit = Field ? Dialog->findChild<QLineEdit*>(Field) : nullptr;
        if (Edit) Seen.FieldValue = Edit->text();
        auto* Buttons = Dialog->findChild<QDialogButtonBox*>();
        if (!Edit || Text.isNull()) return Buttons->button(QDialogButtonBox::Cancel)->click();
        Edit->setFocus();
        Edit->selectAll();
        QTest::keyClicks(Edit, Text);
        Buttons->button(QDialogButtonBox::Ok)->click();
    });
}

// A point of the window on the middle of an edge or a corner of the element Selector of the
// page, where its resize handle is: (-1, -1) top left, (0, 1) bottom middle and so on.
QPoint EdgeOf(TMainWindowHost& H, const QString& Selector, int X, int Y)
{
    const QVariantList R = PageEval(H.D(), "(function(){ const r = document.querySelector('" + Selector +
                                               "').getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()")
                               .toList();
    EXPECT_EQ(R.size(), 4) << Selector.toStdString();
    const QPoint At(qRound(R.value(0).toDouble() + (X + 1) * R.value(2).toDouble() / 2),
                    qRound(R.value(1).toDouble() + (Y + 1) * R.value(3).toDouble() / 2));
    return H.D().focusProxy()->mapTo(&H.W(), At);
}

// Saved markup from Start to End on one line.
std::string Flat(const std::string& Saved, size_t Start, size_t End)
{
    std::string Out;
    for (size_t K = Start; K < End; ++K) {
        if (Saved[K] == '\r') continue;
        if (Saved[K] == '\n') {
            while (K + 1 < Saved.size() && Saved[K + 1] == ' ') ++K;
            continue;
        }
        Out += Saved[K];
    }
    return Out;
}

// The outer table as saved, from its head on, on one line.
std::string SavedTable(const std::string& Saved)
{
    const size_t Start = Saved.find("<thead>");
    const size_t End = Saved.rfind("</table>");
    if (Start == std::string::npos || End == std::string::npos) return Saved;
    return Flat(Saved, Start, End + 8);
}

}  // namespace

TEST(TableEditing, CellsWithParagraphsSpansAndNestedTablesFromTheMenuAndDoubleClicks)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "errors.html", Page);
    W.FileManager->OpenFile(Docs / "errors.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Raise an exception"); }));
    TDialogAnswer Seen;

    // The table selected with a press beside its cells, then a double click on its bottom
    // handle and a click on its corner handle, without a move: neither changes anything. The
    // same on a picture.
    const QString SizesScript = "(function(){ return [...document.querySelectorAll('body > table, #pic img')]"
                                ".map(e => e.getAttribute('width') + 'x' + e.getAttribute('height')).join(); })()";
    const auto Sizes = [&] { return PageEval(H.D(), SizesScript).toString().toStdString(); };
    const std::string Before = Sizes();
    const auto Unchanged = [&] {
        EXPECT_TRUE(WaitForFrames(H.D()));
        EXPECT_EQ(Sizes(), Before);
        EXPECT_FALSE(W.FileManager->Modified());
        EXPECT_FALSE(H.D().CanUndo());
        EXPECT_FALSE(F.BtnUndo->isEnabled());
    };
    for (const auto& [Selector, Select] :
         {std::pair<QString, QPoint>{"body > table", EdgeOf(H, "body > table", -1, -1) + QPoint(2, 2)},
          std::pair<QString, QPoint>{"#pic img", EdgeOf(H, "#pic img", 0, 0)}}) {
        SCOPED_TRACE(Selector.toStdString());
        ASSERT_TRUE(PageClick(H.D(), H.D().focusProxy()->mapFrom(&W, Select)));
        ASSERT_EQ(W.StatusPanel(1)->text(), Selector == "#pic img" ? "IMG" : "TABLE");
        TModalAnswer Cancel = Answer(Seen, nullptr, {});  // a dialog the double click opens is cancelled
        QTest::mouseDClick(W.windowHandle(), Qt::LeftButton, {}, EdgeOf(H, Selector, 0, 1));
        Unchanged();
        QTest::mouseClick(W.windowHandle(), Qt::LeftButton, {}, EdgeOf(H, Selector, 1, 1));
        Unchanged();
    }
    // a drag of a handle resizes, as one step
    const QPoint Handle = EdgeOf(H, "#pic img", 1, 0);
    QTest::mousePress(W.windowHandle(), Qt::LeftButton, {}, Handle);
    QTest::mouseMove(W.windowHandle(), Handle + QPoint(10, 0));
    QTest::mouseMove(W.windowHandle(), Handle + QPoint(20, 0));
    QTest::mouseRelease(W.windowHandle(), Qt::LeftButton, {}, Handle + QPoint(20, 0));
    EXPECT_TRUE(WaitFor([&] { return W.FileManager->Modified(); }));
    EXPECT_EQ(Sizes(), "nullxnull,60x30");
    H.Click(F.BtnUndo);
    EXPECT_EQ(Sizes(), Before);
    EXPECT_FALSE(H.D().CanUndo());

    // the caret in a cell's paragraph: the cell's commands, twice in a row
    ClickIn(H, "#raise");
    for (int K = 0; K < 2; ++K) {
        QMenu* Menu = OpenTables(H);
        EXPECT_EQ(Enabled(H), "++++++--+++");
        QTest::keyClick(Menu, Qt::Key_Escape);
        ASSERT_TRUE(WaitFor([&] { return !Menu->isVisible(); }));
    }
    // Delete Rows on the row where the tall cell starts: it moves down, one row shorter
    OpenTables(H);
    Choose(H, F.MenuDeleteRows);
    EXPECT_FALSE(H.Body().contains("Raise")) << H.Body().toStdString();
    EXPECT_TRUE(W.FileManager->Modified());

    // a double click on a span in a paragraph in a cell opens the cell's dialog
    {
        TModalAnswer Cell = Answer(Seen, "EditWidth", "40%");
        PageDoubleClick(H.D(), PageCentre(H.D(), "#it"));
        ASSERT_TRUE(WaitFor([&] { return Cell.Seen; }));
    }
    EXPECT_EQ(Seen.Caption, "Cell Properties");
    EXPECT_TRUE(WaitFor([&] { return H.Body().contains("width=\"40%\""); })) << H.Body().toStdString();
    // and on a header cell, fresh: nothing of the last cell shows
    {
        TModalAnswer Header = Answer(Seen, "EditBgColor", "#eeeeee");
        PageDoubleClick(H.D(), PageCentre(H.D(), "#name"));
        ASSERT_TRUE(WaitFor([&] { return Header.Seen; }));
    }
    EXPECT_EQ(Seen.Caption, "Cell Properties");
    EXPECT_EQ(Seen.FieldValue, "");

    // Insert Column Before in the header row: a header cell between header cells, data
    // cells below
    ClickIn(H, "#meaning");
    OpenTables(H);
    EXPECT_EQ(Enabled(H), "++++++--+++");
    Choose(H, F.MenuInsertColumnBefore);

    // Table Properties in the nested table's paragraph: the innermost table
    ClickIn(H, "#inner");
    {
        TModalAnswer Table = Answer(Seen, "EditPadding", "4");
        OpenTables(H);
        Choose(H, F.MenuTableProperties);
        ASSERT_TRUE(WaitFor([&] { return Table.Seen; }));
    }
    EXPECT_EQ(Seen.Caption, "Table Properties");

    // the caret in a link, and in a list, in a cell: the alignments reach the cell
    ClickIn(H, "#link");
    OpenTables(H);
    Choose(H, F.MenuHAlignRight, F.MenuHorizontalAlignment);
    ClickIn(H, "#item");
    OpenTables(H);
    Choose(H, F.MenuVAlignTop, F.MenuVerticalAlignment);

    // a closed menu leaves no window active offscreen
    QApplication::setActiveWindow(&W);
    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    const std::string Saved = ReadAll(Docs / "errors.html");
    EXPECT_NE(Saved.find("<table class=\"docutils\" border=\"1\" data-kind"), std::string::npos) << Saved;
    EXPECT_EQ(SavedTable(Saved),
              "<thead><tr><th id=\"name\" bgcolor=\"#eeeeee\">Name</th><th></th><th id=\"meaning\">Meaning</th></tr></thead>"
              "<tbody>"
              "<tr><td rowspan=\"2\"><p>Group</p></td><td></td>"
              "<td width=\"40%\"><p>Catch <span class=\"pre\" id=\"it\">it&nbsp;now</span></p></td></tr>"
              "<tr><td></td><td align=\"right\"><p><b>Bold</b> and <a id=\"link\" href=\"x.html\">a link &uuml;</a></p></td></tr>"
              "<tr><td valign=\"top\"><ul><li id=\"item\">last item</li></ul></td><td></td>"
              "<td><table border=\"2\" cellpadding=\"4\"><tr><td><p id=\"inner\">inner</p></td></tr></table></td></tr>"
              "</tbody></table>");
    EXPECT_TRUE(H.Ui.Errors.empty());
}

TEST(TableEditing, ColumnDeclarationsFollowColumnsAndBackspaceAfterATableStaysOutOfIt)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    TFormMain& W = H.W();
    Ui::FormMain& F = H.F();
    WriteAll(Docs / "cols.html",
             "<html><head><title>Columns</title></head><body>\n"
             "<table border=\"1\"><colgroup><col class=\"key\"></colgroup><tr><td>Single cell</td></tr></table>\n"
             "<p>After the table</p>\n"
             "<table border=\"1\"><colgroup><col span=\"2\" width=\"40\"><col class=\"last\"></colgroup>\n"
             "<thead><tr><th>Head one</th><th>Head two</th><th>Head three</th></tr></thead>\n"
             "<tbody><tr><td>Body one</td><td>Body two</td><td>Body three</td></tr></tbody></table>\n"
             "<div>Closing <b>words</b></div>\n"
             "<table><colgroup span=\"2\" class=\"pair\"></colgroup><tr><td>Gamma one</td><td>Gamma two</td></tr></table>\n"
             "</body></html>\n");
    W.FileManager->OpenFile(Docs / "cols.html");
    ASSERT_TRUE(WaitFor([&] { return H.Body().contains("Closing"); }));
    std::vector<QString> Pages{H.Body()};
    const auto Column = [&](const QString& Text, QAction* Entry) {
        QApplication::setActiveWindow(&W);
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, 2)));
        OpenTables(H);
        Choose(H, Entry);
        ASSERT_TRUE(WaitFor([&] { return H.Body() != Pages.back(); }));
        Pages.push_back(H.Body());
    };
    // a column after the only one of a table that declares one, a column inside a declaration
    // that spans two, then the last column and the first deleted
    ASSERT_NO_FATAL_FAILURE(Column("Single cell", F.MenuInsertColumnAfter));
    ASSERT_NO_FATAL_FAILURE(Column("Head two", F.MenuInsertColumnBefore));
    ASSERT_NO_FATAL_FAILURE(Column("Head three", F.MenuInsertColumnAfter));
    ASSERT_NO_FATAL_FAILURE(Column("Body three", F.MenuDeleteColumns));
    ASSERT_NO_FATAL_FAILURE(Column("Head one", F.MenuDeleteColumns));
    // a colgroup that spans its columns without col elements
    ASSERT_NO_FATAL_FAILURE(Column("Gamma one", F.MenuInsertColumnBefore));
    ASSERT_NO_FATAL_FAILURE(Column("Gamma two", F.MenuDeleteColumns));
    ASSERT_NO_FATAL_FAILURE(Column("Gamma one", F.MenuDeleteColumns));

    // Backspace at the start of a paragraph after a table, and of text in a div after one:
    // the caret goes to the end of the last cell, where the next key acts; nothing else changes
    const auto BackspaceAndType = [&](const QString& Text, const QString& Typed) {
        QApplication::setActiveWindow(&W);
        ASSERT_TRUE(PageClick(H.D(), PageTextPoint(H.D(), Text, 0)));
        H.TypeInDesigner("");
        H.Key(Qt::Key_Backspace);
        H.D().CallLayer("echoes");
        EXPECT_EQ(H.Body().toStdString(), Pages.back().toStdString());
        H.TypeInDesigner(Typed);
        Pages.push_back(H.Body());
    };
    ASSERT_NO_FATAL_FAILURE(BackspaceAndType("After the table", "Z"));
    ASSERT_NO_FATAL_FAILURE(BackspaceAndType("Closing", "YX"));
    H.Key(Qt::Key_Backspace);
    H.D().CallLayer("echoes");
    Pages.push_back(H.Body());
    // Delete at the end of the last cell takes nothing out of what follows the table
    H.Key(Qt::Key_Delete);
    H.D().CallLayer("echoes");
    EXPECT_EQ(H.Body().toStdString(), Pages.back().toStdString());

    H.Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !W.FileManager->Modified(); }));
    const std::string Saved = ReadAll(Docs / "cols.html");
    EXPECT_EQ(Flat(Saved, Saved.find("<table"), Saved.find("</body>")),
              "<table border=\"1\"><colgroup><col class=\"key\"><col></colgroup><tr><td>Single cell</td><td>Z</td></tr></table>"
              "<p>After the table</p>"
              "<table border=\"1\"><colgroup><col span=\"2\" width=\"40\"><col></colgroup>"
              "<thead><tr><th></th><th>Head two</th><th></th></tr></thead>"
              "<tbody><tr><td></td><td>Body two</td><td>Y</td></tr></tbody></table>"
              "<div>Closing <b>words</b></div>"
              "<table><colgroup class=\"pair\"></colgroup><tr><td></td></tr></table>");

    // each step undone gives back the page before it, each redone the page after it
    for (size_t K = Pages.size() - 1; K > 0; --K) {
        H.Click(F.BtnUndo);
        EXPECT_EQ(H.Body().toStdString(), Pages[K - 1].toStdString()) << "undo " << K;
    }
    EXPECT_FALSE(H.D().CanUndo());
    for (size_t K = 1; K < Pages.size(); ++K) {
        H.Click(F.BtnRedo);
        EXPECT_EQ(H.Body().toStdString(), Pages[K].toStdString()) << "redo " << K;
    }
    H.Ui.SaveAnswers.push_back(TSaveAnswer::No);
    EXPECT_TRUE(H.Ui.Errors.empty());
}
