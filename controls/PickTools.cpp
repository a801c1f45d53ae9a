#include "PickTools.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "HtmlInplace.h"

namespace zv {

namespace {

// The program's windows step aside while the screen is photographed, so that the windows
// below can repaint first.
QImage GrabScreen()
{
    const QString Platform = QGuiApplication::platformName();
    if (Platform == "offscreen" || Platform == "minimal")
        return QImage();
    std::vector<std::pair<QWidget*, Qt::WindowStates>> Hidden;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (W->isVisible() && W->windowType() != Qt::Popup) {
            Hidden.emplace_back(W, W->windowState());
            W->showMinimized();
        }
    QEventLoop Wait;
    QTimer::singleShot(100, &Wait, &QEventLoop::quit);
    Wait.exec(QEventLoop::ExcludeUserInputEvents);
    QImage Picture;
    if (QScreen* Screen = QGuiApplication::primaryScreen())
        Picture = Screen->grabWindow(0).toImage();
    for (auto& [W, State] : Hidden) {
        W->setWindowState(State);
        W->show();
    }
    return Picture;
}

TScreenshotSource& Source()
{
    static TScreenshotSource S;
    return S;
}

}  // namespace

void SetScreenshotSource(TScreenshotSource NewSource)
{
    Source() = std::move(NewSource);
}

std::optional<TColor> PickScreenColor()
{
    TFormPick* Form = TFormPick::Instance();
    const QImage Picture = Source() ? Source()() : GrabScreen();
    if (Picture.isNull()) {
        QMessageBox::information(QApplication::activeWindow(), "Pick",
                                 "The screen cannot be captured in this session.");
        return std::nullopt;
    }
    const bool Picked = Form->Run(Picture);
    Form->Screenshot = QImage();
    if (!Picked)
        return std::nullopt;
    return Form->PickedColor;
}

// ------------------------------------------------------------------ TFormPick

TFormPick* TFormPick::Instance()
{
    static TFormPick* Form = new TFormPick;
    return Form;
}

TFormPick::TFormPick()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setMouseTracking(true);
    InitControlResources();
    setCursor(QCursor(QPixmap(":/controls/CURSOR_PICK.png"), 16, 16));
    FMagnifier = QImage(26, 26, QImage::Format_RGB32);
}

bool TFormPick::Run(const QImage& Picture)
{
    Screenshot = Picture.convertToFormat(QImage::Format_RGB32);
    Screenshot.setDevicePixelRatio(Picture.devicePixelRatio());
    const QScreen* Screen = QGuiApplication::primaryScreen();
    const QPoint Origin = Screen ? Screen->geometry().topLeft() : QPoint();
    setGeometry(QRect(Origin, (QSizeF(Screenshot.size()) / Screenshot.devicePixelRatio()).toSize()));
    exec();
    return Picked;
}

void TFormPick::showEvent(QShowEvent* Event)
{
    Picked = false;
    MagnifierCorner = -1;
    MagnifierRect = QRect();
    QDialog::showEvent(Event);
}

QRect TFormPick::CornerRect(int Corner) const
{
    const int W = width(), H = height(), S = MagnifierSize;
    switch (Corner) {
    case 0: return QRect(W - 111, H - 111, S, S);
    case 1: return QRect(W - 111, 5, S, S);
    case 2: return QRect(5, H - 111, S, S);
    case 3: return QRect(5, 5, S, S);
    default: return QRect((W - S) / 2, (H - S) / 2, S, S);
    }
}

QColor TFormPick::PixelAt(QPoint P) const
{
    const QPoint Pixel = (QPointF(P) * Screenshot.devicePixelRatio()).toPoint();
    if (!Screenshot.rect().contains(Pixel))
        return Qt::white;
    return Screenshot.pixelColor(Pixel);
}

void TFormPick::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    P.drawImage(0, 0, Screenshot);
    if (MagnifierCorner < 0)
        return;
    P.setPen(Qt::black);
    P.setBrush(Qt::white);
    P.drawRect(MagnifierRect.adjusted(0, 0, -1, -1));
    P.drawImage(MagnifierRect.adjusted(1, 1, -1, -1), FMagnifier);
}

void TFormPick::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint M = Event->position().toPoint();
    if (MagnifierCorner < 0 || MagnifierRect.contains(M)) {
        int Corner = MagnifierCorner, Chosen = 4;
        for (int Try = 0; Try < 3; ++Try) {
            Corner = Corner < 0 || Corner >= 3 ? 0 : Corner + 1;
            if (!CornerRect(Corner).contains(M)) {
                Chosen = Corner;
                break;
            }
        }
        if (Chosen != MagnifierCorner) {
            if (MagnifierCorner >= 0)
                update(MagnifierRect.adjusted(-2, -2, 2, 2));
            MagnifierCorner = Chosen;
            MagnifierRect = CornerRect(Chosen);
        }
    }
    // 26 x 26 pixels round the mouse, white past the picture's edges, with an inverted
    // cross-hair whose centre (inverted twice) keeps its own colour.
    for (int Y = 0; Y < 26; ++Y)
        for (int X = 0; X < 26; ++X)
            FMagnifier.setPixelColor(X, Y, PixelAt(M + QPoint(X - 13, Y - 13)));
    auto Invert = [this](int X, int Y) {
        FMagnifier.setPixel(X, Y, FMagnifier.pixel(X, Y) ^ 0x00FFFFFF);
    };
    for (int X = 0; X < 26; ++X)
        Invert(X, 13);
    for (int Y = 0; Y < 26; ++Y)
        Invert(13, Y);
    update(MagnifierRect);
}

void TFormPick::mouseReleaseEvent(QMouseEvent* Event)
{
    Picked = true;
    PickedColor = FromQColor(PixelAt(Event->position().toPoint()));
    accept();
}

}  // namespace zv
