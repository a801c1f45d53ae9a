// Draws the icon packs that ship with the program and writes them as ".icp" files:
//   make_iconpacks FOLDER      writes FOLDER/Arrows.icp and FOLDER/Bullets.icp
// Each icon is a 24 x 24 PNG file; the pack's image list shows them in 32 x 32 cells.

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

#include "IconPacks.h"

using namespace zv;

namespace {

constexpr int IconSize = 24, CellSize = 32, Columns = 8;

std::vector<uint8_t> Encode(const QImage& Image, const char* Format)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, Format);
    return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

struct TIcon {
    std::string Name;
    std::function<void(QPainter&)> Draw;
};

bool WritePack(const std::string& FileName, const std::vector<TIcon>& Icons)
{
    TIconPackWriter Writer;
    const int Rows = (static_cast<int>(Icons.size()) + Columns - 1) / Columns;
    QImage Grid(Columns * CellSize, Rows * CellSize, QImage::Format_RGB888);
    Grid.fill(QColor(255, 0, 255));  // transparent in the image list
    for (size_t I = 0; I < Icons.size(); ++I) {
        QImage Icon(IconSize, IconSize, QImage::Format_ARGB32);
        Icon.fill(Qt::transparent);
        QPainter P(&Icon);
        P.setRenderHint(QPainter::Antialiasing);
        Icons[I].Draw(P);
        P.end();
        Writer.AddIcon(Icons[I].Name, Encode(Icon, "PNG"));
        // Cells are masked by colour, so edges are blended over white first.
        QImage Opaque(IconSize, IconSize, QImage::Format_ARGB32);
        Opaque.fill(Qt::white);
        QPainter(&Opaque).drawImage(0, 0, Icon);
        const int X = static_cast<int>(I) % Columns * CellSize + (CellSize - IconSize) / 2;
        const int Y = static_cast<int>(I) / Columns * CellSize + (CellSize - IconSize) / 2;
        for (int Py = 0; Py < IconSize; ++Py)
            for (int Px = 0; Px < IconSize; ++Px)
                if (Icon.pixelColor(Px, Py).alpha() >= 60)
                    Grid.setPixelColor(X + Px, Y + Py, Opaque.pixelColor(Px, Py));
    }
    Writer.SetImageList(Encode(Grid, "BMP"), CellSize, CellSize, static_cast<int>(Icons.size()), Columns);
    try {
        Writer.SaveToFile(FileName);
    } catch (const Exception& E) {
        std::fprintf(stderr, "%s\n", E.what());
        return false;
    }
    return true;
}

std::function<void(QPainter&)> Arrow(double Angle, QColor Color)
{
    return [=](QPainter& P) {
        P.translate(12, 12);
        P.rotate(Angle);
        QPainterPath Path;
        Path.moveTo(-9, -3.5);
        Path.lineTo(2, -3.5);
        Path.lineTo(2, -9);
        Path.lineTo(10.5, 0);
        Path.lineTo(2, 9);
        Path.lineTo(2, 3.5);
        Path.lineTo(-9, 3.5);
        Path.closeSubpath();
        P.setPen(QPen(Color.darker(150), 1.2, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        QLinearGradient Fill(0, -9, 0, 9);
        Fill.setColorAt(0, Color.lighter(140));
        Fill.setColorAt(1, Color);
        P.setBrush(Fill);
        P.drawPath(Path);
    };
}

std::function<void(QPainter&)> Ball(QColor Color)
{
    return [=](QPainter& P) {
        QRadialGradient Fill(QPointF(9, 8), 11);
        Fill.setColorAt(0, Color.lighter(180));
        Fill.setColorAt(1, Color);
        P.setPen(QPen(Color.darker(160), 1));
        P.setBrush(Fill);
        P.drawEllipse(QPointF(12, 12), 8.5, 8.5);
    };
}

std::function<void(QPainter&)> Square(QColor Color)
{
    return [=](QPainter& P) {
        P.setPen(QPen(Color.darker(160), 1));
        P.setBrush(Color);
        P.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 2, 2);
        P.setPen(Qt::NoPen);
        P.setBrush(QColor(255, 255, 255, 110));
        P.drawRoundedRect(QRectF(7, 7, 10, 4), 1.5, 1.5);
    };
}

std::function<void(QPainter&)> Star(QColor Color)
{
    return [=](QPainter& P) {
        QPolygonF Points;
        for (int K = 0; K < 10; ++K) {
            const double R = K % 2 ? 4.5 : 10.5, A = (K * 36 - 90) * 3.14159265358979 / 180;
            Points << QPointF(12 + R * std::cos(A), 12.5 + R * std::sin(A));
        }
        P.setPen(QPen(Color.darker(160), 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
        P.setBrush(Color);
        P.drawPolygon(Points);
    };
}

std::function<void(QPainter&)> Check(QColor Color)
{
    return [=](QPainter& P) {
        P.setPen(QPen(Color, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.drawPolyline(QPolygonF({{4, 13}, {9.5, 18.5}, {20, 5.5}}));
    };
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_iconpacks FOLDER\n");
        return 2;
    }
    const std::string Folder = argv[1];
    const QColor Blue(40, 110, 210), Green(40, 160, 60), Red(210, 50, 40), Orange(240, 150, 20),
        Gray(120, 125, 135), Purple(130, 60, 180);

    std::vector<TIcon> Arrows;
    const std::pair<const char*, double> Directions[] = {{"right", 0}, {"down", 90}, {"left", 180}, {"up", 270}};
    for (const auto& [Colour, Name] : {std::pair{Blue, "blue"}, {Green, "green"}, {Red, "red"}, {Gray, "gray"}})
        for (const auto& [Direction, Angle] : Directions)
            Arrows.push_back({std::string("arrow-") + Name + "-" + Direction + ".png", Arrow(Angle, Colour)});

    std::vector<TIcon> Bullets;
    for (const auto& [Colour, Name] : {std::pair{Blue, "blue"}, {Green, "green"}, {Red, "red"},
                                       {Orange, "orange"}, {Purple, "purple"}, {Gray, "gray"}}) {
        Bullets.push_back({std::string("ball-") + Name + ".png", Ball(Colour)});
        Bullets.push_back({std::string("square-") + Name + ".png", Square(Colour)});
    }
    for (const auto& [Colour, Name] : {std::pair{Orange, "gold"}, {Blue, "blue"}})
        Bullets.push_back({std::string("star-") + Name + ".png", Star(Colour)});
    Bullets.push_back({"check-green.png", Check(Green)});
    Bullets.push_back({"check-red.png", Check(Red)});

    const bool Ok = WritePack(Folder + "/Arrows.icp", Arrows) && WritePack(Folder + "/Bullets.icp", Bullets);
    return Ok ? 0 : 1;
}
