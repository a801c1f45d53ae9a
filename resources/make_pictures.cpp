// Draws the program's pictures into a folder:
//   edit/NAME.png   placeholder pictures and object backgrounds ("edit:name.gif")
//   GIFS/NAME.png   tag glyphs, tag + "1" opening and tag + "2" closing, at their fixed sizes
//   controls/       the entity palette's glyph map, the colour popup's cursors and arrow
//   tools/TOOLS.png the tool palette's icon strip, 16 x 16 cells, fuchsia transparent
//
//   make_pictures resources/pictures

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string_view>

#include "EntityData.h"
#include "EntityPaletteData.h"

namespace {

QString Folder;
bool Failed = false;

void Save(const QImage& Image, const QString& Name)
{
    if (!Image.save(Folder + "/" + Name, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(Folder + "/" + Name));
        Failed = true;
    }
}

QImage Canvas(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    return Image;
}

QFont Font(double Pixels, bool Bold = true, bool Condensed = true)
{
    QFont F(Condensed ? "DejaVu Sans Condensed" : "DejaVu Sans");
    F.setPixelSize(qMax(1, qRound(Pixels)));
    F.setBold(Bold);
    F.setHintingPreference(QFont::PreferFullHinting);
    return F;
}

// The largest font up to Pixels in which Text fits into Width.
QFont FittingFont(const QString& Text, double Pixels, double Width)
{
    for (double Size = Pixels; Size > 5; Size -= 0.5) {
        const QFont F = Font(Size);
        if (QFontMetricsF(F).horizontalAdvance(Text) <= Width) return F;
    }
    return Font(5);
}

void Label(QPainter& P, const QRectF& Box, const QString& Text, double Pixels, QColor Color)
{
    P.setFont(FittingFont(Text, Pixels, Box.width()));
    P.setPen(Color);
    P.drawText(Box, Qt::AlignCenter, Text);
}

// ------------------------------------------------------------------ placeholders in the text

// A small labelled chip standing in the text for an element the design view does not show.
QImage Chip(const QString& Text, QColor Fill, QColor Ink, bool Dashed = false)
{
    const QFont F = Font(9);
    const int Width = qMax(20, qCeil(QFontMetricsF(F).horizontalAdvance(Text)) + 8);
    QImage Image = Canvas(Width, 18);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QPen Pen(Ink.darker(130), 1);
    if (Dashed) Pen.setStyle(Qt::DashLine);
    P.setPen(Pen);
    P.setBrush(Fill);
    P.drawRoundedRect(QRectF(0.5, 0.5, Width - 1, 17), 3, 3);
    P.setFont(F);
    P.setPen(Ink);
    P.drawText(QRectF(0, 0, Width, 18), Qt::AlignCenter, Text);
    return Image;
}

// A chip with a red stroke across it: the content shown when something is missing.
QImage StruckChip(const QString& Text, QColor Fill, QColor Ink)
{
    QImage Image = Chip(Text, Fill, Ink);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(200, 0, 0), 1.6, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(3, 15), QPointF(Image.width() - 3, 3));
    return Image;
}

// A page with a folded corner: a script in a file of its own.
QImage ScriptFile()
{
    QImage Image = Canvas(20, 18);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    QPainterPath Page;
    Page.moveTo(3.5, 0.5);
    Page.lineTo(12.5, 0.5);
    Page.lineTo(16.5, 4.5);
    Page.lineTo(16.5, 17.5);
    Page.lineTo(3.5, 17.5);
    Page.closeSubpath();
    P.setPen(QPen(QColor(120, 95, 0), 1));
    P.setBrush(QColor(255, 244, 200));
    P.drawPath(Page);
    P.drawLine(QPointF(12.5, 0.5), QPointF(12.5, 4.5));
    P.drawLine(QPointF(12.5, 4.5), QPointF(16.5, 4.5));
    P.setFont(Font(8));
    P.setPen(QColor(90, 70, 0));
    P.drawText(QRectF(3, 5, 14, 12), Qt::AlignCenter, "{}");
    return Image;
}

QImage Note()
{
    QImage Image = Chip("", QColor(232, 240, 255), QColor(30, 60, 140));
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(30, 60, 140), 1.4));
    P.setBrush(QColor(30, 60, 140));
    P.drawEllipse(QPointF(7.5, 13), 2.6, 2);
    P.drawEllipse(QPointF(13.5, 11.5), 2.6, 2);
    P.drawLine(QPointF(9.8, 12.5), QPointF(9.8, 4));
    P.drawLine(QPointF(15.8, 11), QPointF(15.8, 2.5));
    P.drawLine(QPointF(9.8, 4), QPointF(15.8, 2.5));
    return Image;
}

QImage Anchor()
{
    QImage Image = Chip("", QColor(232, 240, 255), QColor(30, 60, 140));
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(20, 50, 150), 1.5, Qt::SolidLine, Qt::RoundCap));
    P.setBrush(Qt::NoBrush);
    P.drawEllipse(QPointF(10, 3.8), 1.8, 1.8);
    P.drawLine(QPointF(10, 5.6), QPointF(10, 15));
    P.drawLine(QPointF(7, 7.5), QPointF(13, 7.5));
    P.drawArc(QRectF(4.5, 7.5, 11, 7.5), 200 * 16, 140 * 16);
    return Image;
}

// ------------------------------------------------------------------ backgrounds of objects

// Backgrounds are centred in the object's box over a light grey.
constexpr int Bg = 32;

QImage Badge(QColor Fill, const std::function<void(QPainter&)>& Draw)
{
    QImage Image = Canvas(Bg, Bg);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(Fill.darker(140), 1));
    P.setBrush(Fill);
    P.drawRoundedRect(QRectF(1.5, 1.5, Bg - 3, Bg - 3), 6, 6);
    Draw(P);
    return Image;
}

QImage Applet()
{
    return Badge(QColor(250, 240, 225), [](QPainter& P) {
        const QColor Brown(130, 70, 20);
        P.setPen(QPen(Brown, 1.6));
        P.setBrush(QColor(190, 120, 60));
        QPainterPath Cup;
        Cup.moveTo(8, 13);
        Cup.lineTo(21, 13);
        Cup.lineTo(19.5, 24);
        Cup.quadTo(14.5, 26.5, 9.5, 24);
        Cup.closeSubpath();
        P.drawPath(Cup);
        P.setBrush(Qt::NoBrush);
        P.drawArc(QRectF(18, 15, 6, 6), -90 * 16, 180 * 16);
        P.drawLine(QPointF(6, 27), QPointF(23, 27));
        P.setPen(QPen(QColor(150, 150, 150), 1.2));
        for (double X : {11.0, 15.0, 19.0 - 1}) {
            QPainterPath Steam;
            Steam.moveTo(X, 11);
            Steam.cubicTo(X - 2, 9, X + 2, 7, X, 4.5);
            P.drawPath(Steam);
        }
    });
}

QImage Flash()
{
    return Badge(QColor(200, 30, 30), [](QPainter& P) {
        P.setPen(Qt::NoPen);
        P.setBrush(Qt::white);
        const QPointF Bolt[] = {{18, 5}, {9, 18}, {15, 18}, {12.5, 27}, {23, 13}, {17, 13}, {20, 5}};
        P.drawPolygon(Bolt, 7);
    });
}

QImage MediaPlayer()
{
    return Badge(QColor(225, 235, 250), [](QPainter& P) {
        P.setPen(QPen(QColor(20, 60, 150), 1));
        P.setBrush(QColor(40, 100, 200));
        P.drawEllipse(QPointF(16, 16), 11, 11);
        P.setPen(Qt::NoPen);
        P.setBrush(Qt::white);
        const QPointF Play[] = {{13, 10}, {22, 16}, {13, 22}};
        P.drawPolygon(Play, 3);
    });
}

QImage Letter(QColor Fill, QColor Ring, const QString& Text)
{
    return Badge(Fill, [=](QPainter& P) {
        P.setPen(QPen(Ring.darker(130), 1));
        P.setBrush(Ring);
        P.drawEllipse(QPointF(16, 16), 11, 11);
        P.setFont(Font(15, true, false));
        P.setPen(Qt::white);
        P.drawText(QRectF(5, 5, 22, 22), Qt::AlignCenter, Text);
    });
}

QImage ActiveX()
{
    return Badge(QColor(235, 235, 235), [](QPainter& P) {
        const QColor Steel(80, 90, 110);
        P.setPen(Qt::NoPen);
        P.setBrush(Steel);
        P.translate(16, 16);
        for (int K = 0; K < 8; ++K) {
            P.drawRect(QRectF(-2, -12, 4, 5));
            P.rotate(45);
        }
        P.drawEllipse(QPointF(0, 0), 8.5, 8.5);
        P.setBrush(QColor(235, 235, 235));
        P.drawEllipse(QPointF(0, 0), 3.5, 3.5);
    });
}

QImage Marquee()
{
    return Badge(QColor(240, 250, 235), [](QPainter& P) {
        P.setFont(Font(10));
        P.setPen(QColor(40, 90, 30));
        P.drawText(QRectF(2, 5, 28, 13), Qt::AlignCenter, "ABC");
        P.setPen(QPen(QColor(40, 90, 30), 1.6, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(8, 23), QPointF(25, 23));
        P.drawLine(QPointF(8, 23), QPointF(12, 19.5));
        P.drawLine(QPointF(8, 23), QPointF(12, 26.5));
    });
}

QImage BrokenIcon();

// The broken picture repeats over the missing picture's box: a small icon in the corner of a
// larger transparent tile, like the mark a browser shows for a picture it cannot load.
QImage Broken()
{
    QImage Tile = Canvas(40, 40);
    QPainter P(&Tile);
    P.setRenderHint(QPainter::SmoothPixmapTransform);
    P.drawImage(QRect(2, 2, 22, 22), BrokenIcon());
    return Tile;
}

QImage BrokenIcon()
{
    QImage Image = Canvas(Bg, Bg);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    // a picture frame with a mountain and a sun, torn down the middle
    QPainterPath Left, Right;
    Left.moveTo(3, 5);
    Left.lineTo(16, 5);
    Left.lineTo(13, 11);
    Left.lineTo(17, 16);
    Left.lineTo(13, 21);
    Left.lineTo(15, 27);
    Left.lineTo(3, 27);
    Left.closeSubpath();
    Right.moveTo(19, 6);
    Right.lineTo(29, 6);
    Right.lineTo(29, 28);
    Right.lineTo(18, 28);
    Right.lineTo(16, 22);
    Right.lineTo(20, 17);
    Right.lineTo(16, 12);
    Right.closeSubpath();
    for (const QPainterPath* Piece : {&Left, &Right}) {
        P.setPen(QPen(QColor(110, 110, 110), 1));
        P.setBrush(QColor(250, 250, 250));
        P.drawPath(*Piece);
        P.save();
        P.setClipPath(*Piece);
        P.setPen(Qt::NoPen);
        P.setBrush(QColor(120, 170, 90));
        const QPointF Hill[] = {{3, 27}, {12, 15}, {19, 22}, {24, 17}, {30, 27}};
        P.drawPolygon(Hill, 5);
        P.setBrush(QColor(240, 180, 40));
        P.drawEllipse(QPointF(23, 11), 2.5, 2.5);
        P.restore();
    }
    P.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(22, 20), QPointF(29, 27));
    P.drawLine(QPointF(29, 20), QPointF(22, 27));
    return Image;
}

QImage Remote()
{
    return Badge(QColor(230, 242, 250), [](QPainter& P) {
        const QColor Blue(30, 90, 160);
        P.setPen(QPen(Blue, 1.3));
        P.setBrush(QColor(200, 225, 245));
        P.drawEllipse(QPointF(16, 16), 11, 11);
        P.setBrush(Qt::NoBrush);
        P.drawEllipse(QPointF(16, 16), 5, 11);
        P.drawLine(QPointF(16, 5), QPointF(16, 27));
        P.drawLine(QPointF(5, 16), QPointF(27, 16));
        P.drawLine(QPointF(7, 10.5), QPointF(25, 10.5));
        P.drawLine(QPointF(7, 21.5), QPointF(25, 21.5));
    });
}

QImage Absolute()
{
    return Badge(QColor(245, 245, 235), [](QPainter& P) {
        const QColor Edge(150, 110, 20);
        P.setPen(QPen(Edge, 1));
        P.setBrush(QColor(240, 200, 90));
        QPainterPath Folder;
        Folder.moveTo(5, 9);
        Folder.lineTo(12, 9);
        Folder.lineTo(14, 11);
        Folder.lineTo(27, 11);
        Folder.lineTo(27, 25);
        Folder.lineTo(5, 25);
        Folder.closeSubpath();
        P.drawPath(Folder);
        P.setFont(Font(10));
        P.setPen(QColor(110, 70, 0));
        P.drawText(QRectF(5, 12, 22, 13), Qt::AlignCenter, "/");
    });
}

// ------------------------------------------------------------------ tag glyphs

// An opening glyph points right, a closing one left, like the tag's angle bracket.
QImage Glyph(const QString& Tag, int Width, int Height, bool Closing)
{
    QImage Image = Canvas(Width, Height);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    const double W = Width - 1, H = Height - 1, Tip = 5;
    QPainterPath Shape;
    if (!Closing) {
        Shape.moveTo(0.5, 0.5);
        Shape.lineTo(W - Tip + 0.5, 0.5);
        Shape.lineTo(W + 0.5, H / 2 + 0.5);
        Shape.lineTo(W - Tip + 0.5, H + 0.5);
        Shape.lineTo(0.5, H + 0.5);
    } else {
        Shape.moveTo(W + 0.5, 0.5);
        Shape.lineTo(Tip + 0.5, 0.5);
        Shape.lineTo(0.5, H / 2 + 0.5);
        Shape.lineTo(Tip + 0.5, H + 0.5);
        Shape.lineTo(W + 0.5, H + 0.5);
    }
    Shape.closeSubpath();
    P.setPen(QPen(QColor(150, 125, 30), 1));
    P.setBrush(Closing ? QColor(250, 236, 170) : QColor(255, 248, 195));
    P.drawPath(Shape);
    const QRectF Text = Closing ? QRectF(Tip, 0, Width - Tip - 1, Height)
                                : QRectF(1, 0, Width - Tip - 1, Height);
    Label(P, Text, (Closing ? "/" : "") + Tag.toUpper(), 9, QColor(70, 55, 0));
    return Image;
}

QImage LineBreak()
{
    QImage Image = Canvas(14, 14);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(QColor(150, 125, 30), 1));
    P.setBrush(QColor(255, 248, 195));
    P.drawRoundedRect(QRectF(0.5, 0.5, 13, 13), 2, 2);
    P.setPen(QPen(QColor(70, 55, 0), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(Qt::NoBrush);
    P.drawPolyline(QPolygonF({{10.5, 3}, {10.5, 8.5}, {3.5, 8.5}}));
    P.drawPolyline(QPolygonF({{6, 6}, {3.5, 8.5}, {6, 11}}));
    return Image;
}

// ------------------------------------------------------------------ controls

// The entity palette's glyphs: each character in an 18 x 18 cell, black on white, 20 cells a
// row in palette order. Characters that draw nothing get a small mark instead.
QImage EntityMap()
{
    using namespace zv;
    const int Size = EntityGlyphSize;
    const int RowsNeeded = (EntityPaletteCount + EntityGlyphColumns - 1) / EntityGlyphColumns;
    QImage Image(EntityGlyphColumns * Size, RowsNeeded * Size, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter P(&Image);
    P.setRenderHint(QPainter::TextAntialiasing);
    QFont Glyph("DejaVu Sans");
    Glyph.setPixelSize(14);
    for (int I = 0; I < EntityPaletteCount; ++I) {
        const std::string_view Entity = EntityPalette[I].Entity;
        char16_t Code = 0;
        for (const TEntityInfo& E : EntityTable)
            if (Entity == E.Text) Code = E.Code;
        const QRectF Cell(I % EntityGlyphColumns * Size, I / EntityGlyphColumns * Size, Size, Size);
        QString Text = QChar(Code);
        QFont F = Glyph;
        if (Entity == "&nbsp;") Text = QChar(0x2423);
        else if (Entity == "&shy;") Text = "-";
        else if (Entity == "&zwnj;" || Entity == "&zwj;") {
            Text = Entity == "&zwnj;" ? "ZW\nNJ" : "ZW\nJ";
            F = Font(7);
        }
        P.setFont(F);
        P.setPen(Text.size() > 1 || Entity == "&nbsp;" || Entity == "&shy;" ? QColor(110, 110, 110)
                                                                             : QColor(Qt::black));
        P.drawText(Cell, Qt::AlignCenter, Text);
    }
    P.end();
    return Image.convertToFormat(QImage::Format_Grayscale8);
}

// An eyedropper on a transparent 32 x 32 cursor, its tip at the bottom left (hot spot 1, 30).
QImage Dropper()
{
    QImage Image = Canvas(32, 32);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(1.5, 30.5), QPointF(12, 20));
    P.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(1.5, 30.5), QPointF(12, 20));
    P.translate(17, 15);
    P.rotate(45);
    P.setPen(QPen(Qt::white, 1));
    P.setBrush(Qt::black);
    P.drawRoundedRect(QRectF(-3.5, -7, 7, 12), 1.5, 1.5);   // the barrel
    P.drawRoundedRect(QRectF(-6, -9, 12, 3.5), 1.5, 1.5);    // the collar
    P.drawEllipse(QRectF(-3.5, -15.5, 7, 7));                // the bulb
    return Image;
}

// The cross-hair of the screen picker: a ring with a gap round the hot spot (16, 16).
QImage PickCross()
{
    QImage Image = Canvas(32, 32);
    QPainter P(&Image);
    for (const auto& [Pen, Width] : {std::pair{QColor(Qt::white), 3.0}, std::pair{QColor(Qt::black), 1.0}}) {
        P.setPen(QPen(Pen, Width));
        P.drawLine(QPointF(16.5, 2), QPointF(16.5, 13));
        P.drawLine(QPointF(16.5, 20), QPointF(16.5, 31));
        P.drawLine(QPointF(2, 16.5), QPointF(13, 16.5));
        P.drawLine(QPointF(20, 16.5), QPointF(31, 16.5));
    }
    P.setPen(Qt::black);
    P.drawRect(15, 15, 2, 2);
    return Image;
}

QImage DropArrow()
{
    QImage Image = Canvas(5, 3);
    for (int Row = 0; Row < 3; ++Row)
        for (int X = Row; X < 5 - Row; ++X) Image.setPixelColor(X, Row, Qt::black);
    return Image;
}

// ------------------------------------------------------------------ the tool palette's icons

// One 16 x 16 icon, drawn on a transparent canvas.
QImage Icon(const std::function<void(QPainter&)>& Draw)
{
    QImage Image = Canvas(16, 16);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    Draw(P);
    return Image;
}

QImage Shrunk(const QImage& Big)
{
    return Icon([&](QPainter& P) {
        P.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSizeF Size = QSizeF(Big.size()).scaled(16, 16, Qt::KeepAspectRatio);
        P.drawImage(QRectF((16 - Size.width()) / 2, (16 - Size.height()) / 2, Size.width(), Size.height()), Big);
    });
}

const QColor IconInk(50, 50, 60);

// A text field of a form, with Inside drawn in it.
QImage Field(const std::function<void(QPainter&)>& Inside, int Height = 8)
{
    return Icon([=](QPainter& P) {
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        const double Top = (16 - Height) / 2.0;
        P.drawRect(QRectF(0.5, Top + 0.5, 15, Height));
        Inside(P);
    });
}

QImage TagLetter(const QString& Text)
{
    return Icon([=](QPainter& P) {
        P.setPen(QPen(QColor(110, 120, 140), 1));
        P.setBrush(QColor(236, 240, 248));
        P.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 2, 2);
        P.setFont(FittingFont(Text, 9, 14));
        P.setPen(IconInk);
        P.drawText(QRectF(0, 2, 16, 12), Qt::AlignCenter, Text);
    });
}

QImage ToolStrip()
{
    const QColor Blue(40, 90, 170);
    std::vector<QImage> Icons(39);
    for (auto [Index, Text] : {std::pair{1, "P"}, {2, "B"}, {7, "H"}, {10, "I"}, {11, "U"},
                               {12, "ul"}, {13, "ol"}, {14, "div"}, {15, "sp"}, {18, "td"}})
        Icons[Index] = TagLetter(Text);
    Icons[0] = Shrunk(Anchor());
    Icons[3] = Shrunk(Note());
    Icons[4] = Shrunk(LineBreak());
    Icons[5] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(40, 100, 30), 1));
        P.setBrush(QColor(228, 244, 220));
        P.drawRoundedRect(QRectF(0.5, 1.5, 15, 10), 3, 3);
        P.drawPolygon(QPolygonF({{4, 11.5}, {4, 15}, {8, 11.5}}));
        P.setFont(Font(7));
        P.drawText(QRectF(0, 1, 16, 10), Qt::AlignCenter, "!--");
    });
    Icons[6] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(110, 40, 40), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(1.5, 2.5, 13, 12));
        P.fillRect(QRectF(2, 3, 12, 3), QColor(200, 50, 50));
        P.setPen(IconInk);
        for (int R = 0; R < 3; ++R)
            for (int C = 0; C < 4; ++C) P.drawPoint(QPointF(4 + 2.7 * C, 8 + 2.2 * R));
    });
    Icons[8] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(120, 120, 120), 1));
        P.drawLine(QPointF(0.5, 7.5), QPointF(15.5, 7.5));
        P.setPen(QPen(Qt::white, 1));
        P.drawLine(QPointF(0.5, 8.5), QPointF(15.5, 8.5));
        P.setPen(QPen(IconInk, 1));
        P.drawLine(QPointF(3, 3.5), QPointF(13, 3.5));
        P.drawLine(QPointF(3, 12.5), QPointF(13, 12.5));
    });
    Icons[9] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(90, 90, 90), 1));
        P.setBrush(QColor(200, 225, 250));
        P.drawRect(QRectF(0.5, 1.5, 15, 13));
        P.setPen(Qt::NoPen);
        P.setBrush(QColor(240, 190, 40));
        P.drawEllipse(QPointF(11, 5), 2, 2);
        P.setBrush(QColor(90, 150, 70));
        P.drawPolygon(QPolygonF({{1, 14}, {6, 7}, {10, 11}, {12, 9}, {15, 14}}));
    });
    Icons[16] = TagLetter("{ }");
    Icons[17] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(70, 80, 100), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(0.5, 1.5, 15, 13));
        P.fillRect(QRectF(1, 2, 15, 3), QColor(170, 190, 220));
        for (double X : {5.5, 10.5}) P.drawLine(QPointF(X, 1.5), QPointF(X, 14.5));
        for (double Y : {5.5, 10.5}) P.drawLine(QPointF(0.5, Y), QPointF(15.5, Y));
    });
    Icons[19] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(90, 90, 100), 1));
        P.setBrush(QColor(225, 225, 230));
        P.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 2, 2);
        P.setPen(IconInk);
        P.setFont(Font(7));
        P.drawText(QRectF(0, 3, 16, 10), Qt::AlignCenter, "OK");
    });
    Icons[20] = Icon([=](QPainter& P) {
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(2.5, 2.5, 11, 11));
        P.setPen(QPen(Blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.drawPolyline(QPolygonF({{5, 8}, {7, 11}, {11, 5}}));
    });
    Icons[21] = Field([=](QPainter& P) {
        P.fillRect(QRectF(10, 4.5, 5.5, 7.5), QColor(210, 215, 225));
        P.setPen(Qt::NoPen);
        P.setBrush(IconInk);
        P.drawPolygon(QPolygonF({{11, 7}, {15, 7}, {13, 10}}));
    });
    Icons[22] = Field([](QPainter& P) {
        P.setPen(IconInk);
        P.setFont(Font(7, false));
        P.drawText(QRectF(2, 4, 12, 8), Qt::AlignLeft | Qt::AlignVCenter, "ab|");
    });
    Icons[23] = Field([](QPainter& P) {
        P.fillRect(QRectF(9.5, 4.5, 6, 7.5), QColor(210, 215, 225));
        P.setPen(IconInk);
        for (double X : {11.0, 12.5, 14.0}) P.drawPoint(QPointF(X, 10));
    });
    Icons[24] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(160, 60, 60), 1, Qt::DashLine));
        P.setBrush(QColor(255, 246, 240));
        P.drawRect(QRectF(0.5, 0.5, 15, 15));
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(3.5, 3.5, 9, 3));
        P.setBrush(QColor(225, 225, 230));
        P.drawRect(QRectF(3.5, 9.5, 6, 3));
    });
    Icons[25] = Icon([](QPainter& P) {
        P.setPen(QPen(QColor(130, 130, 130), 1, Qt::DotLine));
        P.setBrush(QColor(248, 248, 248));
        P.drawRect(QRectF(0.5, 3.5, 15, 9));
        P.setPen(QColor(110, 110, 110));
        P.setFont(Font(7));
        P.drawText(QRectF(0, 3, 16, 10), Qt::AlignCenter, "hid");
    });
    Icons[26] = Icon([&](QPainter& P) {
        P.setPen(QPen(QColor(90, 90, 100), 1));
        P.setBrush(QColor(225, 225, 230));
        P.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 2, 2);
        P.drawImage(QRectF(3, 4, 10, 8), Icons[9]);
    });
    auto Lines = [](QPainter& P, double Top, double Bottom, double Right) {
        P.setPen(QPen(IconInk, 1));
        for (double Y = Top; Y < Bottom; Y += 3) P.drawLine(QPointF(2.5, Y), QPointF(Right, Y));
    };
    Icons[27] = Icon([&](QPainter& P) {
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(0.5, 0.5, 15, 15));
        P.fillRect(QRectF(1, 4, 10, 3), QColor(150, 180, 230));
        Lines(P, 2.5, 14, 9.5);
        P.fillRect(QRectF(11.5, 1, 4, 14.5), QColor(210, 215, 225));
    });
    Icons[28] = Field([](QPainter& P) {
        P.setPen(IconInk);
        P.setFont(Font(9));
        P.drawText(QRectF(1, 5, 14, 8), Qt::AlignCenter, "***");
    });
    Icons[29] = Icon([=](QPainter& P) {
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        P.drawEllipse(QPointF(8, 8), 6, 6);
        P.setPen(Qt::NoPen);
        P.setBrush(Blue);
        P.drawEllipse(QPointF(8, 8), 2.8, 2.8);
    });
    Icons[30] = Icon([&](QPainter& P) {
        P.setPen(QPen(QColor(90, 100, 120), 1));
        P.setBrush(Qt::white);
        P.drawRect(QRectF(0.5, 0.5, 15, 15));
        Lines(P, 3.5, 14, 10.5);
        P.fillRect(QRectF(12, 1, 3.5, 14.5), QColor(210, 215, 225));
    });
    Icons[31] = Shrunk(ActiveX());
    Icons[32] = Shrunk(Applet());
    Icons[33] = Shrunk(Flash());
    Icons[34] = Shrunk(Marquee());
    Icons[35] = Shrunk(MediaPlayer());
    Icons[36] = Shrunk(Letter(QColor(232, 236, 240), QColor(70, 90, 120), "Q"));
    Icons[37] = Shrunk(Letter(QColor(236, 232, 240), QColor(40, 60, 150), "R"));
    Icons[38] = Shrunk(ScriptFile());

    // Fuchsia marks what is transparent; edges are blended over a light button face.
    QImage Strip(16 * 39, 16, QImage::Format_RGB32);
    Strip.fill(QColor(255, 0, 255));
    for (int I = 0; I < 39; ++I)
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X) {
                const QColor C = Icons[I].pixelColor(X, Y);
                if (C.alpha() < 100) continue;
                const double A = C.alphaF();
                Strip.setPixelColor(16 * I + X, Y,
                                    QColor::fromRgbF(C.redF() * A + 0.94 * (1 - A), C.greenF() * A + 0.94 * (1 - A),
                                                     C.blueF() * A + 0.94 * (1 - A)));
            }
    return Strip.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures FOLDER\n");
        return 2;
    }
    Folder = QString::fromLocal8Bit(argv[1]);
    QDir(Folder).mkpath("edit");
    QDir(Folder).mkpath("GIFS");
    QDir(Folder).mkpath("controls");
    QDir(Folder).mkpath("tools");

    const QColor Ink(40, 40, 40);
    struct TEntry {
        const char* Name;
        QImage Image;
    };
    const TEntry Placeholders[] = {
        {"COMMENT", Chip("<!--", QColor(228, 244, 220), QColor(40, 100, 30))},
        {"PHP", Chip("PHP", QColor(232, 226, 250), QColor(70, 50, 140))},
        {"ASP", Chip("ASP", QColor(222, 234, 250), QColor(30, 70, 140))},
        {"UNKNOWN", Chip("?", QColor(238, 238, 238), Ink)},
        {"SCRIPT", Chip("{ }", QColor(255, 244, 200), QColor(100, 75, 0))},
        {"SCRIPTFILE", ScriptFile()},
        {"MAP", Chip("MAP", QColor(220, 242, 240), QColor(20, 100, 90))},
        {"EMBED", Chip("EMB", QColor(250, 226, 226), QColor(140, 30, 30))},
        {"ISINDEX", Chip("IDX", QColor(236, 236, 228), Ink)},
        {"BASEFONT", Chip("Aa", QColor(236, 236, 228), Ink)},
        {"NOSCRIPT", StruckChip("{ }", QColor(255, 244, 200), QColor(100, 75, 0))},
        {"NOFRAMES", StruckChip("FRM", QColor(236, 236, 228), Ink)},
        {"BGSOUND", Note()},
        {"HIDDEN", Chip("hid", QColor(248, 248, 248), QColor(110, 110, 110), true)},
        {"ANCHOR", Anchor()},
        {"APPLET", Applet()},
        {"FLASH", Flash()},
        {"MPLAYER", MediaPlayer()},
        {"QUICKTIME", Letter(QColor(232, 236, 240), QColor(70, 90, 120), "Q")},
        {"REAL", Letter(QColor(236, 232, 240), QColor(40, 60, 150), "R")},
        {"ACTIVEX", ActiveX()},
        {"MARQUEE", Marquee()},
        {"BROKEN", Broken()},
        {"REMOTE", Remote()},
        {"ABSOLUTE", Absolute()},
        {"TRANS", Canvas(1, 1)},
    };
    for (const TEntry& E : Placeholders) Save(E.Image, QString("edit/%1.png").arg(E.Name));

    struct TGlyph {
        const char* Tag;
        int Width;
    };
    const TGlyph Glyphs[] = {{"address", 59}, {"blockquote", 77}, {"center", 52}, {"del", 32},
                             {"div", 30},     {"form", 41},       {"h1", 26},     {"h2", 26},
                             {"h3", 26},      {"h4", 26},         {"h5", 26},     {"h6", 26},
                             {"ins", 30},     {"p", 20},          {"pre", 33}};
    Save(LineBreak(), "GIFS/BR.png");
    for (const TGlyph& G : Glyphs) {
        const QString Name = QString::fromLatin1(G.Tag).toUpper();
        Save(Glyph(G.Tag, G.Width, 15, false), "GIFS/" + Name + "1.png");
        Save(Glyph(G.Tag, G.Width, 15, true), "GIFS/" + Name + "2.png");
    }
    Save(EntityMap(), "controls/ENTITYMAP.png");
    Save(Dropper(), "controls/INPL_PICK.png");
    Save(PickCross(), "controls/CURSOR_PICK.png");
    Save(DropArrow(), "controls/INPL_TOOLDOWN.png");
    Save(ToolStrip(), "tools/TOOLS.png");
    return Failed ? 1 : 0;
}
