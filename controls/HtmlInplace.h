#pragma once
// The colour chooser the whole program shares: a pop-up palette (TPopupColor) with fixed,
// named and recently chosen colours, a preview, "Pick" (a colour from the screen) and "Other"
// (the colour dialog); hosted by the tool-bar colour button (TColorToolButton) and by
// TColorPopupDialog, which runs the popup under any control until the user has chosen.
//
// The popup is a Qt popup window: it holds the mouse while open, so a click anywhere outside
// it (also on another window) or Escape closes it without a choice.

#include <QColor>
#include <QColorDialog>
#include <QCursor>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "HTMLColors.h"

class QToolButton;

namespace zv {

constexpr int PaletteColumns = 39;
constexpr int PaletteRows = 9;
// Column by column: entry = column * 9 + row.
extern const TColor PaletteColors[PaletteColumns * PaletteRows];
// The 16 named colours and, last, the "default" cell (clWindow, empty name).
constexpr int NamedColorCount = 17;
extern const TColor NamedColors[NamedColorCount];
extern const char* const NamedColorNames[NamedColorCount];

// The colours chosen last, newest first; empty slots hold clWindow. Shared by every popup.
constexpr int RecentColorCount = 10;
extern std::vector<TColor> RecentColors;
void AddRecentColor(TColor Color);

// "#rrggbb" in lower case, system colours resolved first.
QString ColorToHex(TColor Color);
// White or black, whichever reads better on Color (its raw bytes weighed, not resolved).
TColor ContrastTextColor(TColor Color);

QColor ToQColor(TColor Color);  // system colours resolved
// The pictures of the controls (glyph map, cursors) compiled into the program.
void InitControlResources();
TColor FromQColor(const QColor& Color);

// Where a popup of PopupSize opens under a control whose bottom-left corner is at the screen
// point P: below it, left-aligned; right-aligned when it would reach the right screen edge,
// above the control when it would reach the bottom edge.
QPoint PopupPosition(QPoint P, QSize Control, QSize Popup, QSize Screen);

// A control that shows itself as a top-level popup window placed under its control parent.
class TInplacePopup : public QWidget {
    Q_OBJECT
public:
    explicit TInplacePopup(QWidget* ControlParent);

    // Sender and whether a colour was accepted.
    std::function<void(TInplacePopup*, bool)> OnCloseUp;

    QWidget* ControlParent() const { return FControlParent; }
    void SetControlParent(QWidget* Parent) { FControlParent = Parent; }

    // Hides the popup, then reports through OnCloseUp.
    void CloseUp(bool Accept);
    // Places the popup under its control parent.
    virtual void UpdatePosition();
    // Places the popup under Control.
    void PlaceUnder(const QWidget* Control);

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    QPointer<QWidget> FControlParent;
    bool FClosing = false;
};

class TPopupColor : public TInplacePopup {
    Q_OBJECT
public:
    explicit TPopupColor(QWidget* ControlParent);
    ~TPopupColor() override;

    static constexpr QRect NamedRect{QPoint(55, 100), QPoint(394, 119)};
    static constexpr QRect RecentRect{QPoint(55, 125), QPoint(254, 144)};
    static constexpr QRect PaletteRect{QPoint(5, 5), QPoint(394, 94)};
    static constexpr QRect PreviewRect{QPoint(5, 100), QPoint(50, 145)};

    TColor Color = clWindow;  // the current or chosen colour
    QString ColorText;        // its text; empty for "no colour"
    TColor PreviewColor = 0;  // the colour last drawn in the preview box; Color when it opens

    struct THit {
        bool Hit = false;
        TColor Color = 0;
        QString Text;
    };
    THit HitTest(int X, int Y) const;

    QToolButton* PickButton() const { return FPickButton; }
    QToolButton* OtherButton() const { return FOtherButton; }
    QColorDialog* ColorDialog() const { return FColorDialog; }  // null before "Other"

    void Pick();
    void Other();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    void DrawPreview(TColor Color, const QString& Text);
    void Choose(TColor Color);

    QToolButton* FPickButton;
    QToolButton* FOtherButton;
    QPointer<QColorDialog> FColorDialog;
    QString FPreviewText;
    QCursor FPickCursor;
};

// The tool-bar button with a colour bar under its glyph and a drop-down arrow that opens the
// colour popup.
class TColorToolButton : public QWidget {
    Q_OBJECT
public:
    explicit TColorToolButton(QWidget* Parent = nullptr);

    enum TDrawState { dsNormal, dsHot, dsButtonDown, dsArrowDown, dsDisabled };

    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    bool ButtonEnabled() const { return FButtonEnabled; }
    void SetButtonEnabled(bool Enabled);
    bool Dropped() const { return FDropped; }
    void SetDropped(bool Dropped);
    const QPixmap& Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap& Glyph);
    int DrawState() const { return FDrawState; }
    TPopupColor* Popup() const { return FPopup; }

    std::function<void(TColorToolButton*)> OnColorChange;  // a colour was chosen in the popup
    std::function<void(TColorToolButton*)> OnButtonClick;   // the button part was pressed

    QSize sizeHint() const override { return QSize(36, 22); }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    void SetDrawState(int State);

    QPixmap FGlyph;
    QPixmap FGlyphImage;
    QPixmap FDropArrow;
    int FDrawState = dsNormal;
    TPopupColor* FPopup;
    TColor FColor = clNone;
    bool FButtonEnabled = true;
    bool FDropped = false;
};

// Runs the colour popup under a control and waits (a nested event loop) until the user has
// chosen or closed it.
class TColorPopupDialog : public QObject {
    Q_OBJECT
public:
    explicit TColorPopupDialog(QObject* Owner = nullptr);
    ~TColorPopupDialog() override;

    QWidget* PopupParent = nullptr;  // becomes the popup's control parent

    void SetColor(TColor Color);
    void SetColorText(const QString& Text);
    QString GetColorText() const;
    TColor GetColor() const;
    TPopupColor* Popup() const { return FPopup; }
    bool Running() const { return FRunning; }

    // True when the user chose a colour.
    bool Execute(QWidget* Control);

private:
    QPointer<TPopupColor> FPopup;
    bool FRunning = false;
    bool FAccepted = false;
};

}  // namespace zv
