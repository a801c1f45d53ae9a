#pragma once
// Taking a colour from anywhere on the screen: the program steps aside, the screen is
// photographed, and the frozen picture is shown full-screen with a magnifier until the user
// clicks a pixel (or presses Escape).

#include <QDialog>
#include <QImage>
#include <functional>
#include <optional>

#include "HTMLColors.h"

namespace zv {

// Where the picture of the screen comes from; returns a null image when the session refuses.
using TScreenshotSource = std::function<QImage()>;
// An empty source restores the real screen.
void SetScreenshotSource(TScreenshotSource Source);

// The colour of the clicked pixel on the screen under the mouse; nothing when the user
// cancels or the screen cannot be captured, a picture of one colour all over included (the
// user is told).
std::optional<TColor> PickScreenColor();

class TFormPick : public QDialog {
    Q_OBJECT
public:
    // Made on first use; lives until the program ends.
    static TFormPick* Instance();

    static constexpr int MagnifierSize = 106;

    QImage Screenshot;
    int MagnifierCorner = -1;  // -1 none yet, 0 bottom right, 1 top right, 2 bottom left,
                               // 3 top left, 4 centre
    QRect MagnifierRect;
    bool Picked = false;
    TColor PickedColor = 0;

    // Shows Picture modally over the screen whose top left corner is Origin; true when a
    // pixel was clicked.
    bool Run(const QImage& Picture, QPoint Origin);
    QRect CornerRect(int Corner) const;

protected:
    void showEvent(QShowEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    TFormPick();
    QColor PixelAt(QPoint P) const;

    QImage FMagnifier;  // 26 x 26, cross-hair inverted
};

}  // namespace zv
