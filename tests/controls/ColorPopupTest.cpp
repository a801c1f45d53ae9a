// The colour popup, its two hosts and the screen picker, driven by mouse and keys.
#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "HtmlInplace.h"
#include "PickTools.h"

using namespace zv;

namespace {

// Runs Steps once the event loop that the caller is about to start is running.
void Later(std::function<void()> Steps)
{
    QTimer::singleShot(0, qApp, std::move(Steps));
}

bool WaitFor(std::function<bool()> Condition)
{
    return QTest::qWaitFor(std::move(Condition), 5000);
}

QPoint PaletteCell(int Column, int Row)
{
    return QPoint(10 + 10 * Column, 10 + 10 * Row);
}

QPoint NamedCell(int I)
{
    return QPoint(65 + 20 * I, 110);
}

QPoint RecentCell(int I)
{
    return QPoint(65 + 20 * I, 135);
}

struct THost {
    QWidget Window;
    QPushButton* Field;
    THost()
    {
        Window.resize(300, 200);
        Field = new QPushButton("...", &Window);
        Field->setGeometry(20, 20, 40, 24);
        Window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }
};

}  // namespace

TEST(ColorPopup, HelpersAndRecentColours)
{
    EXPECT_EQ(ColorToHex(clRed), "#ff0000");
    EXPECT_EQ(ColorToHex(RgbColor(0x12, 0xab, 0x0c)), "#12ab0c");
    EXPECT_EQ(ColorToHex(clWindow), QApplication::palette().color(QPalette::Base).name());
    EXPECT_EQ(ContrastTextColor(clRed), clWhite);
    EXPECT_EQ(ContrastTextColor(clBlue), clWhite);
    EXPECT_EQ(ContrastTextColor(clYellow), clBlack);
    EXPECT_EQ(ContrastTextColor(RgbColor(0, 0xD8, 0)), clWhite);  // 127.44
    EXPECT_EQ(ContrastTextColor(RgbColor(0, 0xD9, 0)), clBlack);  // 128.03
    EXPECT_EQ(ContrastTextColor(RgbColor(0, 0, 0xFF) | RgbColor(0, 0x80, 0)), clBlack);

    for (TColor C : PaletteColors)
        for (int Shift : {0, 8, 16})
            EXPECT_EQ(((C >> Shift) & 0xFF) % 0x33, 0) << std::hex << C;
    EXPECT_EQ(PaletteColors[0], clWhite);
    EXPECT_EQ(PaletteColors[8], clBlack);
    EXPECT_EQ(PaletteColors[16 * 9 + 4], clRed);
    EXPECT_EQ(PaletteColors[38 * 9 + 8], RgbColor(0xFF, 0x66, 0x33));

    // Placement: under the control; right-aligned at the right screen edge; above it at the
    // bottom edge.
    const QSize Screen(800, 600), Control(40, 20), Popup(403, 153);
    EXPECT_EQ(PopupPosition({100, 120}, Control, Popup, Screen), QPoint(100, 120));
    EXPECT_EQ(PopupPosition({397, 120}, Control, Popup, Screen), QPoint(397 + 40 - 403 + 1, 120));
    EXPECT_EQ(PopupPosition({100, 447}, Control, Popup, Screen), QPoint(100, 447 - 20 - 153 + 1));

    RecentColors.assign(RecentColorCount, clWindow);
    AddRecentColor(clRed);
    AddRecentColor(clBlue);
    AddRecentColor(clRed);
    EXPECT_EQ(RecentColors[0], clRed);
    EXPECT_EQ(RecentColors[1], clBlue);
    EXPECT_EQ(RecentColors.size(), 10u);
    EXPECT_EQ(std::count(RecentColors.begin(), RecentColors.end(), clRed), 1);
    for (int I = 1; I <= 10; ++I)
        AddRecentColor(RgbColor(I, 0, 0));
    EXPECT_EQ(RecentColors.size(), 10u);
    EXPECT_EQ(RecentColors.front(), RgbColor(10, 0, 0));
    EXPECT_EQ(RecentColors.back(), RgbColor(1, 0, 0));
}

TEST(ColorPopup, DialogChoosesByMouseAndClosesOutside)
{
    RecentColors.assign(RecentColorCount, clWindow);
    THost Host;
    QWidget Elsewhere;
    Elsewhere.setGeometry(500, 400, 100, 100);
    Elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Elsewhere));

    TColorPopupDialog Dialog;
    Dialog.PopupParent = &Host.Window;
    TPopupColor* Popup = Dialog.Popup();

    // Hovering shows the colour and its text in the preview; a click chooses it.
    Later([&] {
        EXPECT_TRUE(Popup->isVisible());
        EXPECT_EQ(Popup->pos(), Host.Field->mapToGlobal(QPoint(0, Host.Field->height())));
        QTest::mouseMove(Popup, PaletteCell(0, 8));
        EXPECT_EQ(Popup->PreviewColor, clBlack);
        EXPECT_EQ(ContrastTextColor(Popup->PreviewColor), clWhite);
        QTest::mouseMove(Popup, NamedCell(11));
        EXPECT_EQ(Popup->PreviewColor, clYellow);
        EXPECT_EQ(Popup->HitTest(NamedCell(11).x(), 110).Text, "Yellow");
        QTest::mouseMove(Popup, QPoint(200, 148));  // between the areas: the current colour
        EXPECT_EQ(Popup->PreviewColor, RgbColor(0x11, 0x22, 0x33));
        QTest::mouseMove(Popup, PaletteCell(16, 4));
        Popup->grab().save("/tmp/zv-colorpopup.png");
        QTest::mouseClick(Popup, Qt::LeftButton, {}, PaletteCell(16, 4));
    });
    Dialog.SetColorText("#112233");
    Dialog.SetColor(RgbColor(0x11, 0x22, 0x33));
    EXPECT_TRUE(Dialog.Execute(Host.Field));
    EXPECT_FALSE(Popup->isVisible());
    EXPECT_EQ(Dialog.GetColorText(), "#ff0000");
    EXPECT_EQ(Dialog.GetColor(), clRed);
    EXPECT_EQ(RecentColors[0], clRed);

    // The recent row offers it again; "default" means no colour and leaves the row alone.
    Later([&] {
        EXPECT_EQ(Popup->HitTest(RecentCell(0).x(), 135).Text, "#ff0000");
        EXPECT_TRUE(Popup->HitTest(RecentCell(1).x(), 135).Text.isEmpty());
        QTest::mouseClick(Popup, Qt::LeftButton, {}, NamedCell(16));
    });
    EXPECT_TRUE(Dialog.Execute(Host.Field));
    EXPECT_EQ(Dialog.GetColorText(), "");
    EXPECT_EQ(Dialog.GetColor(), clWindow);
    EXPECT_EQ(RecentColors[0], clRed);
    EXPECT_EQ(RecentColors[1], clWindow);

    // An empty recent slot is no colour either.
    Later([&] { QTest::mouseClick(Popup, Qt::LeftButton, {}, RecentCell(5)); });
    EXPECT_TRUE(Dialog.Execute(Host.Field));
    EXPECT_EQ(Dialog.GetColorText(), "");

    // A click on another window, a click beside the cells, Escape: closed without a choice.
    // (Clicks through the window system, as a user's arrive.)
    Later([&] { QTest::mouseClick(Elsewhere.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10)); });
    EXPECT_FALSE(Dialog.Execute(Host.Field));
    EXPECT_FALSE(Popup->isVisible());
    Later([&] {
        QTest::mouseClick(Popup, Qt::LeftButton, {}, QPoint(2, 150));  // on no cell
        EXPECT_TRUE(Popup->isVisible());
        QTest::keyClick(Popup, Qt::Key_Escape);
    });
    EXPECT_FALSE(Dialog.Execute(Host.Field));
}

TEST(ColorPopup, EscapeAndOtherAndPick)
{
    RecentColors.assign(RecentColorCount, clWindow);
    THost Host;
    TColorPopupDialog Dialog;
    Dialog.PopupParent = &Host.Window;
    TPopupColor* Popup = Dialog.Popup();

    Later([&] { QTest::keyClick(Popup, Qt::Key_Escape); });
    EXPECT_FALSE(Dialog.Execute(Host.Field));

    // "Other": the colour dialog opens with the current colour; OK takes its colour.
    Later([&] {
        QTest::mouseClick(Popup->OtherButton(), Qt::LeftButton);
    });
    QTimer::singleShot(50, qApp, [&] {
        QColorDialog* D = Popup->ColorDialog();
        ASSERT_TRUE(D);
        EXPECT_TRUE(WaitFor([&] { return D->isVisible(); }));
        EXPECT_FALSE(Popup->isVisible());
        EXPECT_EQ(D->currentColor(), QColor(0x40, 0x50, 0x60));
        D->setCurrentColor(QColor(0x10, 0x20, 0x30));
        D->accept();
    });
    Dialog.SetColor(RgbColor(0x40, 0x50, 0x60));
    EXPECT_TRUE(Dialog.Execute(Host.Field));
    EXPECT_EQ(Dialog.GetColorText(), "#102030");
    EXPECT_EQ(RecentColors[0], RgbColor(0x10, 0x20, 0x30));

    Later([&] { QTest::mouseClick(Popup->OtherButton(), Qt::LeftButton); });
    QTimer::singleShot(50, qApp, [&] {
        EXPECT_TRUE(WaitFor([&] { return Popup->ColorDialog()->isVisible(); }));
        Popup->ColorDialog()->reject();
    });
    EXPECT_FALSE(Dialog.Execute(Host.Field));

    // "Pick" with a picture of our own: the magnifier moves out of the mouse's way, the
    // clicked pixel is the colour, a picture edge is taken as it is.
    QImage Picture(400, 300, QImage::Format_RGB32);
    Picture.fill(QColor(0x20, 0x40, 0x60));
    for (int X = 0; X < 400; ++X)
        Picture.setPixelColor(X, 299, QColor(0xAB, 0xCD, 0xEF));
    int Shots = 0;
    SetScreenshotSource([&] { ++Shots; return Picture; });
    TFormPick* Form = TFormPick::Instance();
    auto PickAt = [&](QPoint At, bool Cancel) {
        Later([&, At, Cancel] { QTest::mouseClick(Popup->PickButton(), Qt::LeftButton); });
        QTimer::singleShot(50, qApp, [&, At, Cancel] {
            EXPECT_TRUE(WaitFor([&] { return Form->isVisible(); }));
            EXPECT_FALSE(Popup->isVisible());
            EXPECT_EQ(Form->size(), QSize(400, 300));
            QTest::mouseMove(Form, QPoint(350, 250));  // in the bottom-right box
            EXPECT_EQ(Form->MagnifierCorner, 1);
            QTest::mouseMove(Form, QPoint(350, 50));  // into the top-right box as well
            EXPECT_EQ(Form->MagnifierCorner, 2);
            QTest::mouseMove(Form, QPoint(200, 150));
            EXPECT_EQ(Form->MagnifierCorner, 2);
            QTest::mouseMove(Form, At);
            Form->grab().save("/tmp/zv-picker.png");
            if (Cancel)
                QTest::keyClick(Form, Qt::Key_Escape);
            else
                QTest::mouseClick(Form, Qt::LeftButton, {}, At);
        });
        return Dialog.Execute(Host.Field);
    };
    EXPECT_TRUE(PickAt(QPoint(120, 80), false));
    EXPECT_EQ(Dialog.GetColorText(), "#204060");
    EXPECT_TRUE(PickAt(QPoint(0, 299), false));
    EXPECT_EQ(Dialog.GetColorText(), "#abcdef");
    EXPECT_EQ(RecentColors[0], RgbColor(0xAB, 0xCD, 0xEF));
    EXPECT_FALSE(PickAt(QPoint(10, 10), true));
    EXPECT_EQ(Shots, 3);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(Form->Screenshot.isNull());

    // A session that refuses the capture, or gives a black picture for the screen: the user
    // is told, nothing is chosen.
    QImage Black(400, 300, QImage::Format_ARGB32_Premultiplied);
    Black.fill(Qt::black);
    for (const QImage& Refused : {QImage(), Black}) {
        SetScreenshotSource([Refused] { return Refused; });
        Later([&] { QTest::mouseClick(Popup->PickButton(), Qt::LeftButton); });
        QTimer::singleShot(50, qApp, [&] {
            EXPECT_TRUE(WaitFor([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }));
            if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                EXPECT_TRUE(Box->text().contains("cannot be captured"));
                Box->accept();
            }
        });
        EXPECT_FALSE(Dialog.Execute(Host.Field));
        EXPECT_FALSE(Form->isVisible());
    }
    SetScreenshotSource({});
}

TEST(ColorPopup, ToolButton)
{
    QWidget Bar;
    Bar.resize(200, 40);
    TColorToolButton Button(&Bar);
    Button.move(10, 8);
    QPixmap Glyph(16, 16);
    Glyph.fill(Qt::transparent);
    {
        QPainter P(&Glyph);
        P.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
        P.drawText(Glyph.rect(), Qt::AlignCenter, "A");
    }
    Button.SetGlyph(Glyph);
    Button.SetColor(clBlue);
    int Clicks = 0, Changes = 0;
    Button.OnButtonClick = [&](TColorToolButton*) { ++Clicks; };
    Button.OnColorChange = [&](TColorToolButton* B) { ++Changes; EXPECT_EQ(B->Color(), clRed); };
    Bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Bar));

    QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(Button.Dropped());
    const QImage Normal = Button.grab().toImage();
    EXPECT_EQ(Normal.pixelColor(10, 22 - 5), QColor(Qt::blue));  // the colour bar

    // The arrow opens the popup with the button's colour; a named cell closes it with a choice.
    QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_TRUE(Button.Dropped());
    ASSERT_TRUE(WaitFor([&] { return Button.Popup()->isVisible(); }));
    EXPECT_EQ(Button.Popup()->Color, clBlue);
    EXPECT_EQ(Button.DrawState(), TColorToolButton::dsArrowDown);
    QTest::mouseClick(Button.Popup(), Qt::LeftButton, {}, NamedCell(5));
    EXPECT_FALSE(Button.Dropped());
    EXPECT_EQ(Button.Color(), clRed);
    EXPECT_EQ(Changes, 1);

    // Open again; a click on the arrow closes it without a choice and does not reopen it.
    QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(30, 10));
    ASSERT_TRUE(WaitFor([&] { return Button.Popup()->isVisible(); }));
    QTest::mouseClick(Bar.windowHandle(), Qt::LeftButton, {}, Button.pos() + QPoint(30, 10));
    EXPECT_TRUE(WaitFor([&] { return !Button.Popup()->isVisible(); }));
    QTest::qWait(20);
    EXPECT_FALSE(Button.Dropped());
    EXPECT_FALSE(Button.Popup()->isVisible());
    EXPECT_EQ(Changes, 1);

    // Disabled: no colour bar, the mouse is ignored.
    Button.SetButtonEnabled(false);
    EXPECT_EQ(Button.DrawState(), TColorToolButton::dsDisabled);
    QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(Button.Dropped());
    EXPECT_EQ(Clicks, 1);
    const QImage Disabled = Button.grab().toImage();
    EXPECT_NE(Disabled.pixelColor(10, 22 - 5), QColor(Qt::red));
    Button.SetButtonEnabled(true);
    Button.SetColor(clNone);
    Button.grab().scaled(144, 88).save("/tmp/zv-colorbutton.png");
    Disabled.scaled(144, 88).save("/tmp/zv-colorbutton-disabled.png");
}
