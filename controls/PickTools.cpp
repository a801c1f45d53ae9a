#include "PickTools.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
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

// The screen the user works on: the one under the mouse, else the primary one.
QScreen* WorkScreen()
{
    QScreen* Screen = QGuiApplication::screenAt(QCursor::pos());
    return Screen ? Screen : QGuiApplication::primaryScreen();
}

// Processes what is not the user's input for a while.
void Pause(int Ms)
{
    QEventLoop Wait;
    QTimer::singleShot(Ms, &Wait, &QEventLoop::quit);
    Wait.exec(QEventLoop::ExcludeUserInputEvents);
}

// Waits until each of Windows is on the screen (Shown) or gone from it, for up to a second.
void AwaitWindows(const std::vector<QWidget*>& Windows, bool Shown)
{
    const auto Done = [&] {
        for (QWidget* W : Windows)
            if (W->windowHandle() && W->windowHandle()->isExposed() != Shown) return false;
        return true;
    };
    QElapsedTimer Clock;
    Clock.start();
    while (!Done() && Clock.elapsed() < 1000)
        Pause(10);
}

// One colour all over: what a session that does not let programs photograph the screen gives
// (X servers answer black), and no picture to pick from either way.
bool IsBlank(const QImage& Picture)
{
    const QImage Pixels = Picture.convertToFormat(QImage::Format_RGB32);
    if (Pixels.isNull()) return true;
    const QRgb First = Pixels.pixel(0, 0);
    for (int Y = 0; Y < Pixels.height(); ++Y) {
        const auto* Line = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
        for (int X = 0; X < Pixels.width(); ++X)
            if (Line[X] != First) return false;
    }
    return true;
}

// A picture of Screen once it stops changing (windows repainted, a window manager's animation
// over), or the last one taken after about a second.
QImage SettledPicture(QScreen* Screen)
{
    QImage Last = Screen->grabWindow(0).toImage();
    QElapsedTimer Clock;
    Clock.start();
    while (Clock.elapsed() < 1000) {
        Pause(50);
        QImage Now = Screen->grabWindow(0).toImage();
        if (Now == Last) break;
        Last = std::move(Now);
    }
    return Last;
}

// The program's windows step aside while Screen is photographed. Where that leaves nothing
// but a bare desktop, the screen is taken as it is, with them.
QImage GrabScreen(QScreen* Screen)
{
    const QString Platform = QGuiApplication::platformName();
    if (!Screen || Platform == "offscreen" || Platform == "minimal")
        return QImage();
    std::vector<std::pair<QWidget*, Qt::WindowStates>> Hidden;
    std::vector<QWidget*> Windows;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (W->isVisible() && W->windowType() != Qt::Popup) {
            Hidden.emplace_back(W, W->windowState());
            Windows.push_back(W);
            W->showMinimized();
        }
    AwaitWindows(Windows, false);
    QImage Picture = SettledPicture(Screen);
    for (auto& [W, State] : Hidden) {
        W->setWindowState(State);
        W->show();
    }
    if (IsBlank(Picture) && !Windows.empty()) {
        AwaitWindows(Windows, true);
        Picture = SettledPicture(Screen);
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
    QScreen* Screen = WorkScreen();
    const QImage Picture = Source() ? Source()() : GrabScreen(Screen);
    if (IsBlank(Picture)) {
        QMessageBox::information(QApplication::activeWindow(), "Pick",
                                 "The screen cannot be captured in this session.");
        return std::nullopt;
    }
    const bool Picked = Form->Run(Picture, Screen ? Screen->geometry().topLeft() : QPoint());
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

bool TFormPick::Run(const QImage& Picture, QPoint Origin)
{
    Screenshot = Picture.convertToFormat(QImage::Format_RGB32);
    Screenshot.setDevicePixelRatio(Picture.devicePixelRatio());
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
