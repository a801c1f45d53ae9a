// Every control of the library in one window, as the main window and the tool dialogs will
// place them; the picture is saved for a look.
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "EntityViewer.h"
#include "HtmlInplace.h"
#include "PickTools.h"

using namespace zv;

TEST(Gallery, EveryControl)
{
    QWidget Window;
    Window.setWindowTitle("Controls");
    auto* Layout = new QVBoxLayout(&Window);

    // A tool bar with the text and background colour buttons.
    auto* Bar = new QToolBar;
    Layout->addWidget(Bar);
    auto MakeGlyph = [](const QString& Text, QColor Ink) {
        QPixmap Glyph(16, 16);
        Glyph.fill(Qt::transparent);
        QPainter P(&Glyph);
        P.setFont(QFont("DejaVu Sans", 10, QFont::Bold));
        P.setPen(Ink);
        P.drawText(Glyph.rect(), Qt::AlignCenter, Text);
        return Glyph;
    };
    auto* TextColor = new TColorToolButton;
    TextColor->SetGlyph(MakeGlyph("A", Qt::black));
    TextColor->SetColor(clRed);
    auto* BackColor = new TColorToolButton;
    BackColor->SetGlyph(MakeGlyph("ab", QColor(60, 60, 140)));
    BackColor->SetColor(clYellow);
    auto* Disabled = new TColorToolButton;
    Disabled->SetGlyph(MakeGlyph("A", Qt::black));
    Disabled->SetButtonEnabled(false);
    Bar->addWidget(TextColor);
    Bar->addWidget(BackColor);
    Bar->addWidget(Disabled);

    // A colour field of a tool dialog: text plus a button that runs the popup.
    auto* FieldRow = new QHBoxLayout;
    auto* Field = new QLineEdit("#336699");
    auto* FieldButton = new QToolButton;
    FieldButton->setText("...");
    FieldRow->addWidget(new QLabel("Background color"));
    FieldRow->addWidget(Field);
    FieldRow->addWidget(FieldButton);
    Layout->addLayout(FieldRow);
    TColorPopupDialog Dialog;
    Dialog.PopupParent = &Window;
    QObject::connect(FieldButton, &QToolButton::clicked, [&] {
        Dialog.SetColorText(Field->text());
        Dialog.SetColor(HtmlColorToColor(Field->text().toStdU16String()));
        if (Dialog.Execute(FieldButton))
            Field->setText(Dialog.GetColorText());
    });

    // The Entities panel.
    auto* Entities = new TEntityView;
    Entities->setMinimumSize(5 * 48 + 20, 3 * 64);
    Layout->addWidget(Entities);
    FillEntityView(*Entities, 0);
    QString Inserted;
    Entities->OnSelect = [&](TEntityView*, const QString& Entity) { Inserted = Entity; };

    Window.resize(320, 330);
    Window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    Entities->SetItemIndex(2);
    Window.grab().save("/tmp/zv-gallery.png");

    // The colour field round trip: the popup opens under the button and writes the field.
    QTimer::singleShot(0, [&] {
        TPopupColor* Popup = Dialog.Popup();
        EXPECT_TRUE(Popup->isVisible());
        EXPECT_EQ(Popup->ColorText, "#336699");
        EXPECT_EQ(Popup->Color, RgbColor(0x33, 0x66, 0x99));
        Popup->grab().save("/tmp/zv-gallery-popup.png");
        QTest::mouseClick(Popup, Qt::LeftButton, {}, QPoint(65 + 20 * 13, 110));  // Blue
    });
    QTest::mouseClick(FieldButton, Qt::LeftButton);
    EXPECT_EQ(Field->text(), "Blue");

    // The main window's use of a colour button: arrow, choose, apply.
    TColor Applied = clNone;
    TextColor->OnColorChange = [&](TColorToolButton* B) { Applied = B->Color(); };
    QTest::mousePress(TextColor, Qt::LeftButton, {}, QPoint(30, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TextColor->Popup()->isVisible(); }));
    QTest::mouseClick(TextColor->Popup(), Qt::LeftButton, {}, QPoint(10 + 10 * 26, 10 + 10 * 4));
    EXPECT_EQ(Applied, clLime);

    // The Entities panel inserts what is chosen.
    QTest::mouseClick(Entities->viewport(), Qt::LeftButton, {}, Entities->ItemRect(1).center());
    QTest::mouseClick(Entities->viewport(), Qt::LeftButton, {}, Entities->ItemRect(1).center());
    EXPECT_EQ(Inserted, "&copy;");
}
