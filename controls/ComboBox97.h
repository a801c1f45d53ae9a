#pragma once
// A combo box that can draw itself flat: a thin border that lights up (sunken, with a raised
// button) while the mouse is over it or it has the focus.

#include <QComboBox>

namespace zv {

class TCustomComboBox97 : public QComboBox {
    Q_OBJECT
public:
    explicit TCustomComboBox97(QWidget* Parent = nullptr);

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

    // The drop-down button's width: the scroll bar's width and 2 pixels.
    int ButtonWidth() const { return FButtonWidth; }
    bool ButtonPressed() const { return FPressed; }
    bool MouseInControl() const { return FMouseInControl; }
    // Lit: under the mouse or focused.
    bool IsActive() const;

    void hidePopup() override;

protected:
    // Draws one item: in the list, or in the closed box's edit part when InList is false.
    virtual void DrawItem(QPainter& Painter, const QRect& Rect, int Index, bool Selected,
                          bool InList) const;

    void paintEvent(QPaintEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    QRect ButtonRect() const;

    bool FFlat = false;
    int FButtonWidth = 0;
    bool FPressed = false;
    bool FTracking = false;
    bool FMouseInControl = false;
};

// The flat combo box of the formatting tool bar (block format, font size).
class TComboBox97 : public TCustomComboBox97 {
    Q_OBJECT
    Q_PROPERTY(bool flat READ Flat WRITE SetFlat)
public:
    using TCustomComboBox97::TCustomComboBox97;
};

}  // namespace zv
