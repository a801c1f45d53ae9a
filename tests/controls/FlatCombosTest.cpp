// The flat combo boxes driven with real key and mouse events: the flat border lighting up,
// the font list with its preview, and the five recent fonts at the top.
#include <QAbstractItemView>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "ComboBox97.h"
#include "FontComboBox97.h"
#include "support/WaitFor.h"

namespace zv {
namespace {

using test::WaitFor;

QStringList Items(const QComboBox& Box, int From = 0)
{
    QStringList Result;
    for (int K = From; K < Box.count(); ++K) Result.append(Box.itemText(K));
    return Result;
}

// Opens the list with F4 and clicks the item at Index.
void ChooseWithMouse(TFontComboBox97& Box, int Index)
{
    QTest::keyClick(&Box, Qt::Key_F4);
    QAbstractItemView* View = Box.view();
    ASSERT_TRUE(WaitFor([&] { return View->isVisible(); }));
    const QModelIndex Item = View->model()->index(Index, 0);
    View->scrollTo(Item);
    const QPoint At = View->visualRect(Item).center();
    QTest::mouseMove(View->viewport(), At);
    QTest::mouseClick(View->viewport(), Qt::LeftButton, {}, At);
    ASSERT_TRUE(WaitFor([&] { return !View->isVisible(); }));
}

TEST(FlatCombos, FlatBoxLightsUpUnderTheMouseAndGreysWhenDisabled)
{
    QWidget Window;
    Window.resize(300, 80);
    auto* Box = new TComboBox97(&Window);
    Box->addItems({"Normal", "Heading 1", "Heading 2"});
    Box->setGeometry(20, 20, 160, 24);
    auto* Other = new QLineEdit(&Window);
    Other->setGeometry(200, 20, 60, 24);
    Box->SetFlat(true);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    Other->setFocus();
    const QPalette& Pal = Box->palette();

    QTest::mouseMove(Other);
    ASSERT_TRUE(WaitFor([&] { return !Box->MouseInControl(); }));
    QImage Inactive = Box->grab().toImage();
    EXPECT_EQ(Inactive.pixel(0, 0), Pal.color(QPalette::Button).rgb());
    EXPECT_EQ(Inactive.pixel(1, 1), Pal.color(QPalette::Base).rgb());

    QTest::mouseMove(Box, QPoint(40, 12));
    ASSERT_TRUE(WaitFor([&] { return Box->MouseInControl(); }));
    QImage Lit = Box->grab().toImage();
    EXPECT_EQ(Lit.pixel(0, 0), Pal.color(QPalette::Dark).rgb());
    EXPECT_EQ(Lit.pixel(Box->width() - 1, Box->height() - 1), Pal.color(QPalette::Light).rgb());
    EXPECT_EQ(Lit.pixel(1, 1), Pal.color(QPalette::Button).rgb());
    Lit.save("/tmp/zv-flat-combo-lit.png");

    // pressing the button opens the list; it closes without a choice and the button is up
    QTest::mousePress(Box, Qt::LeftButton, {}, QPoint(Box->width() - 6, 12));
    EXPECT_TRUE(Box->ButtonPressed());
    ASSERT_TRUE(WaitFor([&] { return Box->view()->isVisible(); }));
    QTest::keyClick(Box->view(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !Box->view()->isVisible(); }));
    EXPECT_FALSE(Box->ButtonPressed());
    EXPECT_EQ(Box->currentText(), "Normal");

    QTest::mouseMove(Other);
    ASSERT_TRUE(WaitFor([&] { return !Box->MouseInControl(); }));
    Box->setEnabled(false);
    const QImage Disabled = Box->grab().toImage();
    EXPECT_EQ(Disabled.pixel(1, 1), Pal.color(QPalette::Disabled, QPalette::Button).rgb());
    EXPECT_EQ(Disabled.pixel(Box->width() / 2, 3), Pal.color(QPalette::Disabled, QPalette::Button).rgb());
    Inactive.save("/tmp/zv-flat-combo.png");
}

TEST(FlatCombos, FontBoxListsScalableFontsAndKeepsFiveRecentOnTop)
{
    QWidget Window;
    Window.resize(420, 60);
    auto* Box = new TFontComboBox97(&Window);
    Box->SetFlat(true);
    Box->setGeometry(10, 10, 200, 24);
    Window.move(0, 0);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    QSignalSpy Clicks(Box, &TFontComboBox97::Click);

    // every scalable font, sorted by name, no recent ones yet
    const QStringList All = Items(*Box);
    ASSERT_GE(All.size(), 6) << "the test needs six scalable fonts";
    QStringList Sorted = All;
    Sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(All, Sorted);
    for (const QString& Name : All) {
        EXPECT_TRUE(QFontDatabase::isScalable(Name)) << Name.toStdString();
        EXPECT_EQ(QFontInfo(QFont(Name)).family(), Name);
    }
    EXPECT_EQ(Box->RecentCount(), 0);

    // a click opens the list and the preview at the box's bottom-right corner
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(50, 12));
    ASSERT_TRUE(WaitFor([&] { return Box->view()->isVisible(); }));
    EXPECT_TRUE(Box->Dropped());
    TFormExampleFont* Preview = Box->Preview();
    ASSERT_TRUE(WaitFor([&] { return Preview->isVisible(); }));
    EXPECT_EQ(Preview->pos(), Box->mapToGlobal(QPoint(Box->width(), Box->height())));
    EXPECT_EQ(Preview->size(), QSize(301, 85));
    // the keys move through the list and the preview follows in the face of the font
    QTest::keyClick(Box->view(), Qt::Key_Down);
    QTest::keyClick(Box->view(), Qt::Key_Down);
    const int FirstRow = Box->view()->currentIndex().row();
    const QString First = Box->itemText(FirstRow);
    EXPECT_EQ(Preview->PanelFontName->text(), First);
    // a symbol font's sample is shown in the box's own face, so it stays readable
    EXPECT_EQ(Preview->PanelPreview->font().family(),
              Box->IsSymbolFont(FirstRow) ? Box->font().family() : First);
    EXPECT_EQ(Preview->PanelPreview->text(), "AaBbYyZz");
    Box->view()->window()->grab().save("/tmp/zv-font-combo-list.png");
    Preview->grab().save("/tmp/zv-font-combo-preview.png");
    QTest::keyClick(Box->view(), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !Box->view()->isVisible(); }));
    EXPECT_FALSE(Preview->isVisible());
    EXPECT_FALSE(Box->Dropped());
    EXPECT_EQ(Clicks.count(), 1);
    EXPECT_EQ(Box->FontName(), First);
    EXPECT_EQ(Box->currentIndex(), 0);
    EXPECT_EQ(Box->RecentCount(), 1);

    // six fonts chosen in turn with the mouse: the five newest on top, then the full list
    QStringList Chosen;
    for (int K = 0; K < 6; ++K) {
        const int Index = Box->RecentCount() + K;
        Chosen.prepend(Box->itemText(Index));
        ChooseWithMouse(*Box, Index);
        EXPECT_EQ(Box->FontName(), Chosen.front());
    }
    EXPECT_EQ(Clicks.count(), 7);
    EXPECT_EQ(Box->RecentCount(), 5);
    EXPECT_EQ(Items(*Box).mid(0, 5), Chosen.mid(0, 5));
    EXPECT_EQ(Items(*Box, 5), All);
    Window.grab().save("/tmp/zv-font-combo.png");

    // a recent font chosen again moves to the top without a copy
    const QString Again = Box->itemText(3);
    ChooseWithMouse(*Box, 3);
    EXPECT_EQ(Box->itemText(0), Again);
    EXPECT_EQ(Box->RecentCount(), 5);
    EXPECT_EQ(Items(*Box, 0).mid(0, 5).count(Again), 1);
    EXPECT_EQ(Items(*Box, 5), All);

    // Escape closes the list without a choice
    const QStringList Before = Items(*Box);
    QTest::keyClick(Box, Qt::Key_F4);
    ASSERT_TRUE(WaitFor([&] { return Box->view()->isVisible(); }));
    QTest::keyClick(Box->view(), Qt::Key_Down);
    Box->view()->window()->grab().save("/tmp/zv-font-combo-recent.png");
    QTest::keyClick(Box->view(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !Box->view()->isVisible(); }));
    EXPECT_EQ(Items(*Box), Before);
    EXPECT_EQ(Clicks.count(), 8);
    EXPECT_EQ(Box->FontName(), Again);

    // the program sets the font of the design view's selection: listed ones are promoted
    const QString Last = All.back();
    Box->SetFontName(Last);
    EXPECT_EQ(Box->itemText(0), Last);
    EXPECT_EQ(Box->currentText(), Last);
    EXPECT_EQ(Box->RecentCount(), 5);
    EXPECT_EQ(Clicks.count(), 8);
    Box->SetFontName("No Such Font");
    EXPECT_EQ(Box->currentIndex(), -1);
    EXPECT_EQ(Box->FontName(), "No Such Font");
    EXPECT_EQ(Box->itemText(0), Last);

    // at the right edge of the screen the preview opens to the left of the box
    const QRect Screen = Box->screen()->availableGeometry();
    const auto BoxRight = [&] { return Box->mapToGlobal(QPoint(Box->width(), 0)).x(); };
    Window.move(Window.pos() + QPoint(Screen.right() + 1 - BoxRight(), 0));
    ASSERT_TRUE(WaitFor([&] { return BoxRight() == Screen.right() + 1; }));
    QTest::keyClick(Box, Qt::Key_F4);
    ASSERT_TRUE(WaitFor([&] { return Preview->isVisible(); }));
    EXPECT_EQ(Preview->x(), Box->mapToGlobal(QPoint(0, 0)).x() - Preview->width());
    QTest::keyClick(Box->view(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !Preview->isVisible(); }));
    EXPECT_EQ(TFontComboBox97::PreviewPosition(QRect(700, 580, 100, 20), {301, 85}, {0, 0, 800, 600}),
              QPoint(399, 495));
}

}  // namespace
}  // namespace zv
