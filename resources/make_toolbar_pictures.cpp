// Draws the main window's tool bar pictures (16 by 16) into a folder:
//   toolbar/NAME.png
//
//   make_toolbar_pictures resources/pictures

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

const QColor Ink(40, 40, 48);
const QColor Paper(255, 255, 255);
const QColor Blue(40, 90, 170);

QImage Draw(const std::function<void(QPainter&)>& Paint)
{
    QImage Image(16, 16, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    Paint(P);
    return Image;
}

void Sheet(QPainter& P, double X, double Y, double W, double H)
{
    P.setPen(QPen(Ink, 1));
    P.setBrush(Paper);
    P.drawRect(QRectF(X + 0.5, Y + 0.5, W, H));
}

void Letter(QPainter& P, const QString& Text, bool Bold, bool Italic, bool Underline)
{
    QFont F("DejaVu Serif");
    F.setPixelSize(14);
    F.setBold(Bold);
    F.setItalic(Italic);
    F.setUnderline(Underline);
    P.setFont(F);
    P.setPen(Ink);
    P.drawText(QRectF(0, -1, 16, 16), Qt::AlignCenter, Text);
}

// Lines of text aligned 0 left, 1 centre, 2 right.
void Lines(QPainter& P, int Align)
{
    P.setPen(QPen(Ink, 1.4));
    const int Widths[] = {12, 8, 12, 8, 12};
    for (int K = 0; K < 5; ++K) {
        const double W = Widths[K];
        const double X = Align == 0 ? 2 : Align == 1 ? 8 - W / 2 : 14 - W;
        P.drawLine(QPointF(X, 2.5 + K * 2.8), QPointF(X + W, 2.5 + K * 2.8));
    }
}

void List(QPainter& P, bool Numbered)
{
    for (int K = 0; K < 3; ++K) {
        const double Y = 3.5 + K * 4.5;
        if (Numbered) {
            QFont F("DejaVu Sans");
            F.setPixelSize(5);
            P.setFont(F);
            P.setPen(Blue);
            P.drawText(QRectF(0, Y - 3, 5, 6), Qt::AlignCenter, QString::number(K + 1));
        } else {
            P.setPen(Qt::NoPen);
            P.setBrush(Blue);
            P.drawEllipse(QPointF(2.5, Y), 1.5, 1.5);
        }
        P.setPen(QPen(Ink, 1.4));
        P.drawLine(QPointF(6, Y), QPointF(15, Y));
    }
}

void Indent(QPainter& P, bool In)
{
    P.setPen(QPen(Ink, 1.4));
    for (int K = 0; K < 5; ++K) {
        const double Y = 2.5 + K * 2.8;
        P.drawLine(QPointF(K == 0 || K == 4 ? 1 : 7, Y), QPointF(15, Y));
    }
    QPainterPath Arrow;
    if (In) {
        Arrow.moveTo(1, 5);
        Arrow.lineTo(5, 8);
        Arrow.lineTo(1, 11);
    } else {
        Arrow.moveTo(5, 5);
        Arrow.lineTo(1, 8);
        Arrow.lineTo(5, 11);
    }
    P.setPen(Qt::NoPen);
    P.setBrush(Blue);
    P.drawPath(Arrow);
}

void Turn(QPainter& P, bool Back)
{
    P.save();
    if (!Back) {
        P.translate(16, 0);
        P.scale(-1, 1);
    }
    QPainterPath Curve;
    Curve.moveTo(4, 7);
    Curve.cubicTo(7, 2, 15, 3, 13, 12);
    P.setPen(QPen(Blue, 2));
    P.setBrush(Qt::NoBrush);
    P.drawPath(Curve);
    P.setPen(Qt::NoPen);
    P.setBrush(Blue);
    P.drawPolygon(QPolygonF({{1, 4}, {7, 4}, {3, 10}}));
    P.restore();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_toolbar_pictures FOLDER\n");
        return 2;
    }
    const QString Folder = QString::fromLocal8Bit(argv[1]) + "/toolbar";
    QDir().mkpath(Folder);
    const std::pair<const char*, std::function<void(QPainter&)>> Pictures[] = {
        {"NEW", [](QPainter& P) { Sheet(P, 3, 1, 10, 14); }},
        {"OPEN", [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(QColor(240, 200, 90));
             P.drawPolygon(QPolygonF({{1.5, 3.5}, {6.5, 3.5}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13.5}, {1.5, 13.5}}));
         }},
        {"SAVE", [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(Blue);
             P.drawRect(QRectF(1.5, 1.5, 13, 13));
             P.setBrush(Paper);
             P.drawRect(QRectF(4.5, 1.5, 7, 5));
             P.drawRect(QRectF(3.5, 9.5, 9, 5));
         }},
        {"CUT", [](QPainter& P) {
             P.setPen(QPen(Ink, 1.3));
             P.drawLine(QPointF(4, 1), QPointF(11, 10));
             P.drawLine(QPointF(12, 1), QPointF(5, 10));
             P.setBrush(Qt::NoBrush);
             P.drawEllipse(QPointF(4, 12.5), 2.5, 2.5);
             P.drawEllipse(QPointF(12, 12.5), 2.5, 2.5);
         }},
        {"COPY", [](QPainter& P) {
             Sheet(P, 1, 1, 8, 10);
             Sheet(P, 6, 5, 8, 10);
         }},
        {"PASTE", [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(QColor(190, 140, 80));
             P.drawRect(QRectF(1.5, 2.5, 10, 12));
             Sheet(P, 6, 6, 8, 9);
         }},
        {"UNDO", [](QPainter& P) { Turn(P, true); }},
        {"REDO", [](QPainter& P) { Turn(P, false); }},
        {"FIND", [](QPainter& P) {
             P.setPen(QPen(Ink, 1.5));
             P.setBrush(QColor(220, 235, 250));
             P.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
             P.setPen(QPen(Ink, 2.5));
             P.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
         }},
        {"TAG", [](QPainter& P) {
             QFont F("DejaVu Sans Mono");
             F.setPixelSize(11);
             F.setBold(true);
             P.setFont(F);
             P.setPen(Blue);
             P.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "<>");
         }},
        {"BOLD", [](QPainter& P) { Letter(P, "B", true, false, false); }},
        {"ITALIC", [](QPainter& P) { Letter(P, "I", false, true, false); }},
        {"UNDERLINE", [](QPainter& P) { Letter(P, "U", false, false, true); }},
        {"LINK", [](QPainter& P) {
             P.setPen(QPen(Blue, 1.6));
             P.setBrush(Qt::NoBrush);
             P.drawRoundedRect(QRectF(1, 5, 8, 6), 3, 3);
             P.drawRoundedRect(QRectF(7, 5, 8, 6), 3, 3);
         }},
        {"LEFT", [](QPainter& P) { Lines(P, 0); }},
        {"CENTER", [](QPainter& P) { Lines(P, 1); }},
        {"RIGHT", [](QPainter& P) { Lines(P, 2); }},
        {"ORDER", [](QPainter& P) { List(P, true); }},
        {"UNORDER", [](QPainter& P) { List(P, false); }},
        {"INDENT", [](QPainter& P) { Indent(P, true); }},
        {"OUTDENT", [](QPainter& P) { Indent(P, false); }},
        {"TEXTCOLOR", [](QPainter& P) {
             QFont F("DejaVu Sans");
             F.setPixelSize(12);
             F.setBold(true);
             P.setFont(F);
             P.setPen(Ink);
             P.drawText(QRectF(0, -2, 16, 14), Qt::AlignCenter, "A");
         }},
        {"BACKCOLOR", [](QPainter& P) {
             P.setPen(QPen(Ink, 1));
             P.setBrush(Paper);
             P.drawPolygon(QPolygonF({{4.5, 1.5}, {11.5, 1.5}, {10.5, 7.5}, {5.5, 7.5}}));
             P.setBrush(QColor(150, 150, 150));
             P.drawRect(QRectF(6.5, 7.5, 3, 4));
         }},
    };
    bool Failed = false;
    for (const auto& [Name, Paint] : Pictures)
        if (!Draw(Paint).save(Folder + "/" + Name + ".png", "PNG")) {
            std::fprintf(stderr, "cannot write %s/%s.png\n", qPrintable(Folder), Name);
            Failed = true;
        }
    return Failed ? 1 : 0;
}
