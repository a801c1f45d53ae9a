#pragma once
// Mouse work on the tables of the shared design view, and what the tests read back: the saved
// source of a table and the cells that carry the highlight.

#include <QTest>
#include <string>

#include "DesignerHost.h"
#include "TableEditor.h"

namespace zv::test {

inline THtmlDesigner& Designer() { return TDesignerHost::Get().Designer(); }

// Shows a page whose body is Body, with nothing pressed yet.
inline void LoadTables(const std::string& Body)
{
    ASSERT_TRUE(TDesignerHost::Get().LoadBody(Body));
}

// View position of the middle of cell Cell of row Row of the Table-th table of the page.
inline QPoint CellAt(int Row, int Cell, int Table = 0)
{
    const QVariantList R =
        TDesignerHost::Get()
            .Eval(QString("(function(){ const r = document.querySelectorAll('table')[%1].rows[%2]"
                          ".cells[%3].getBoundingClientRect(); return [r.left + r.width / 2,"
                          " r.top + r.height / 2]; })()")
                      .arg(Table)
                      .arg(Row)
                      .arg(Cell))
            .toList();
    return QPoint(qRound(R.value(0).toDouble()), qRound(R.value(1).toDouble()));
}

// Sends one mouse event to the view and waits until the page has seen it.
inline void Mouse(QTest::MouseAction Action, QPoint Pos, Qt::MouseButton Button = Qt::LeftButton)
{
    const char* Type = Action == QTest::MousePress     ? "mousedown"
                       : Action == QTest::MouseRelease ? "mouseup"
                                                       : "mousemove";
    bool Seen = false;
    const auto C = QObject::connect(&Designer(), &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Seen |= E.Type == Type; });
    QWidget* Proxy = Designer().focusProxy();
    if (Action == QTest::MouseMove) QTest::mouseMove(Proxy, Pos);
    else QTest::mouseEvent(Action, Proxy, Button, {}, Pos);
    EXPECT_TRUE(WaitFor([&] { return Seen; })) << Type;
    QObject::disconnect(C);
}

// Presses in From, moves a little inside it, then through Via to To, and releases there.
inline void Drag(QPoint From, QPoint To, std::initializer_list<QPoint> Via = {},
                 Qt::MouseButton Button = Qt::LeftButton)
{
    Mouse(QTest::MousePress, From, Button);
    Mouse(QTest::MouseMove, From + QPoint(1, 1));
    for (const QPoint& P : Via) Mouse(QTest::MouseMove, P);
    Mouse(QTest::MouseMove, To);
    Mouse(QTest::MouseRelease, To, Button);
}

inline void Click(QPoint At, Qt::MouseButton Button = Qt::LeftButton) { Drag(At, At, {}, Button); }

// Drags over a block of cells of the first table: from (R0, C0) to (R1, C1).
inline void Select(int R0, int C0, int R1, int C1) { Drag(CellAt(R0, C0), CellAt(R1, C1)); }

// The highlighted cells of a table, as "row.cell" in reading order.
inline std::string Lit(const THtmlTable& Table)
{
    std::string Out;
    for (const TRowLayout& Row : Table.Layout())
        for (const TCellLayout& Cell : Row.Cells)
            if (Cell.RuntimeBackground == u"yellow")
                Out += (Out.empty() ? "" : " ") + std::to_string(Row.rowIndex) + "." +
                       std::to_string(Cell.cellIndex);
    return Out;
}

// The same for the Index-th table of the page.
inline std::string Lit(int Index = 0)
{
    return Lit(Designer()
                   .Document()
                   .getElementById(TDesignerHost::Get().DesignId("table", Index))
                   .asTable());
}

// The saved source of the Index-th table, on one line.
inline std::string TableHtml(int Index = 0)
{
    const std::string Html = Utf16ToUtf8(Designer().GetHtml());
    size_t Start = 0;
    for (int K = 0; K <= Index; ++K) Start = Html.find("<table", K ? Start + 1 : 0);
    if (Start == std::string::npos) return {};
    const size_t End = Html.find("</table>", Start);
    std::string Out;
    for (size_t K = Start; K < End + 8; ++K) {
        if (Html[K] == '\r') continue;
        if (Html[K] == '\n') {
            while (K + 1 < Html.size() && Html[K + 1] == ' ') ++K;
            continue;
        }
        Out += Html[K];
    }
    return Out;
}

}  // namespace zv::test
