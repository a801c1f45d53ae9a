// The entity palette view over its scrollable base, driven by mouse, keys and the wheel.
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "EntityViewer.h"
#include "HtmlInplace.h"

using namespace zv;

namespace {

void Wheel(TEntityView& View, int Delta)
{
    const QPointF At(20, 20);
    QWheelEvent Event(At, View.viewport()->mapToGlobal(At), QPoint(), QPoint(0, Delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View.viewport(), &Event);
}

// Resizes View so that its client area is Width x Height.
void SetClientSize(TEntityView& View, int Width, int Height)
{
    for (int Try = 0; Try < 3; ++Try) {
        View.resize(View.size() + QSize(Width, Height) - View.viewport()->size());
        QApplication::processEvents();
    }
    ASSERT_EQ(View.viewport()->size(), QSize(Width, Height));
}

QPoint CellCentre(const TEntityView& View, int Index)
{
    return View.ItemRect(Index).center();
}

}  // namespace

TEST(EntityView, MouseKeysScrollingAndHints)
{
    TEntityView View;
    QStringList Chosen;
    View.OnSelect = [&](TEntityView* Sender, const QString& Entity) {
        EXPECT_EQ(Sender, &View);
        Chosen << Entity;
    };
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    QWidget* Client = View.viewport();

    // Content smaller than the client: no bars, no scrolling.
    SetClientSize(View, 700, 500);
    FillEntityView(View, 1);
    EXPECT_EQ(View.Count(), 26);
    EXPECT_EQ(View.Item(0).Entity, "&minus;");
    EXPECT_EQ(QPoint(View.Item(0).GlyphX, View.Item(0).GlyphY), QPoint(0, 3 * 18));  // glyph 60
    EXPECT_EQ(View.Item(25).Entity, "&int;");
    EXPECT_EQ(View.MaxScrollX, 0);
    EXPECT_EQ(View.MaxScrollY, 0);
    EXPECT_FALSE(View.verticalScrollBar()->isVisible());
    EXPECT_FALSE(View.horizontalScrollBar()->isVisible());
    Wheel(View, -120);
    EXPECT_EQ(View.ScrollY, 0);

    // 26 cells in four columns: seven rows, two empty cells, a strip right of the grid.
    SetClientSize(View, 200, 300);
    EXPECT_EQ(View.Columns, 4);
    EXPECT_EQ(View.Rows, 7);
    EXPECT_EQ(View.ContentHeight, 7 * 64);
    EXPECT_EQ(View.MaxScrollY, 7 * 64 - 300);
    EXPECT_TRUE(View.verticalScrollBar()->isVisible());

    QTest::mouseClick(Client, Qt::LeftButton, {}, QPoint(196, 20));  // the strip
    EXPECT_EQ(View.ItemIndex(), -1);
    QTest::mouseClick(Client, Qt::LeftButton, {}, CellCentre(View, 1));
    EXPECT_EQ(View.ItemIndex(), 1);
    EXPECT_TRUE(Chosen.isEmpty());
    EXPECT_TRUE(View.hasFocus());
    QTest::mouseClick(Client, Qt::LeftButton, {}, CellCentre(View, 1));
    EXPECT_EQ(Chosen, QStringList{"&times;"});
    QTest::keyClick(&View, Qt::Key_Return);
    QTest::keyClick(&View, Qt::Key_Space);
    EXPECT_EQ(Chosen, (QStringList{"&times;", "&times;", "&times;"}));

    // A cell cut off by the bottom edge scrolls just enough to show its frame.
    QTest::mouseClick(Client, Qt::LeftButton, {}, QPoint(10, 290));  // row 4, 256..320
    EXPECT_EQ(View.ItemIndex(), 16);
    EXPECT_EQ(View.ScrollY, 20);
    EXPECT_EQ(View.ItemRect(16).bottom(), 299);
    EXPECT_EQ(View.verticalScrollBar()->value(), 20);

    // The wheel: one notch is 120 pixels, or what is left.
    Wheel(View, -120);
    EXPECT_EQ(View.ScrollY, 140);
    Wheel(View, -120);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY);
    View.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY);
    View.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY - 100);
    View.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY - 120);

    // Keys at the ends of rows and of the list; the selection stays in view.
    QTest::keyClick(&View, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(View.ItemIndex(), 25);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY);
    QTest::keyClick(&View, Qt::Key_Down);
    QTest::keyClick(&View, Qt::Key_Right);
    EXPECT_EQ(View.ItemIndex(), 25);
    QTest::keyClick(&View, Qt::Key_Home);
    EXPECT_EQ(View.ItemIndex(), 24);
    QTest::keyClick(&View, Qt::Key_End);
    EXPECT_EQ(View.ItemIndex(), 25);
    QTest::keyClick(&View, Qt::Key_Up);
    QTest::keyClick(&View, Qt::Key_End);
    EXPECT_EQ(View.ItemIndex(), 23);  // the end of row 5
    QTest::keyClick(&View, Qt::Key_Left);
    EXPECT_EQ(View.ItemIndex(), 22);
    QTest::keyClick(&View, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(View.ItemIndex(), 0);
    EXPECT_EQ(View.ScrollY, 0);
    QTest::keyClick(&View, Qt::Key_Left);
    QTest::keyClick(&View, Qt::Key_Up);
    EXPECT_EQ(View.ItemIndex(), 0);
    QTest::keyClick(&View, Qt::Key_Down);
    EXPECT_EQ(View.ItemIndex(), 4);

    // The last row's empty cells and the strip are the view's colour; the frame is red.
    View.verticalScrollBar()->setValue(View.MaxScrollY);
    EXPECT_EQ(View.ScrollY, View.MaxScrollY);
    const QImage Shot = View.grab().toImage();
    const QPoint Offset = Client->pos();
    EXPECT_EQ(Shot.pixelColor(Offset + CellCentre(View, 27)), QColor(Qt::white));
    EXPECT_EQ(Shot.pixelColor(Offset + QPoint(197, 10)), QColor(Qt::white));
    EXPECT_EQ(Shot.pixelColor(Offset + View.ItemRect(25).bottomLeft() + QPoint(3, -3)),
              ToQColor(View.CaptionColor()));
    Shot.save("/tmp/zv-entityview.png");

    // Without bars the wheel still scrolls.
    View.SetShowScrollBars(false);
    QApplication::processEvents();
    EXPECT_FALSE(View.verticalScrollBar()->isVisible());
    const int Before = View.ScrollY;
    Wheel(View, 120);
    EXPECT_EQ(View.ScrollY, std::max(0, Before - 120));
    View.SetShowScrollBars(true);

    // Hints: one name a line, shown while the mouse rests on the cell.
    FillEntityView(View, 0);
    EXPECT_EQ(View.ItemIndex(), -1);
    EXPECT_EQ(View.ScrollY, 0);
    View.verticalScrollBar()->setValue(13 * 64 - 100);
    const int Macron = 53;
    EXPECT_EQ(View.Item(Macron).Entity, "&macr;");
    QTest::mouseMove(Client, CellCentre(View, Macron));
    EXPECT_EQ(View.HintIndex(), Macron);
    EXPECT_EQ(Client->toolTip(), "macron\nspacing macron\noverline\nAPL overbar");
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), Client->toolTip());
    QTest::mouseMove(Client, CellCentre(View, Macron) + QPoint(3, 3));
    EXPECT_EQ(View.HintIndex(), Macron);
    QTest::mouseMove(Client, QPoint(196, 5));
    EXPECT_EQ(View.HintIndex(), -1);
    EXPECT_TRUE(Client->toolTip().isEmpty());

    // Another group replaces the first; a narrow view still has one column; a bad group empties.
    FillEntityView(View, 3);
    EXPECT_EQ(View.Count(), 49);
    EXPECT_EQ(View.Item(48).Entity, "&omega;");
    EXPECT_EQ(QPoint(View.Item(48).GlyphX, View.Item(48).GlyphY), QPoint(2 * 18, 10 * 18));
    SetClientSize(View, 30, 200);
    EXPECT_EQ(View.Columns, 1);
    EXPECT_EQ(View.Rows, 49);
    FillEntityView(View, 4);
    EXPECT_EQ(View.Count(), 0);
    QTest::keyClick(&View, Qt::Key_Down);
    EXPECT_EQ(View.ItemIndex(), -1);
}
