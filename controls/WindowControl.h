#pragma once
// A panel whose client area is a scrollable, owner-drawn surface: a descendant sets the size
// of its content in UpdateScrollRange and draws it in PaintContent, shifted by the scroll
// position. Nothing is drawn between BeginUpdate and EndUpdate.

#include <QAbstractScrollArea>

#include "HTMLColors.h"

class QPainter;

namespace zv {

class TWindowControl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TWindowControl(QWidget* Parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    bool ShowScrollBars() const { return FShowScrollBars; }
    void SetShowScrollBars(bool Show);
    bool Updating() const { return FUpdating; }

    int ScrollX = 0, ScrollY = 0;  // content point shown at the client's top-left corner
    int SmallStep = 20;            // a scroll-bar arrow
    int LargeStep = 100;           // a click in the scroll-bar track
    int ContentWidth = 0, ContentHeight = 0;
    int MaxScrollX = 0, MaxScrollY = 0;

    void BeginUpdate();
    // Ends any number of BeginUpdate calls; recomputes the range and repaints once.
    void EndUpdate();

    // Clamps the scroll position to the content; a descendant sets ContentWidth and
    // ContentHeight first.
    virtual void UpdateScrollRange();

    QSize sizeHint() const override { return QSize(200, 200); }

protected:
    // Draws the content on the client area, shifted by -ScrollX, -ScrollY.
    virtual void PaintContent(QPainter& Painter) {}
    void SetScrollPos(int X, int Y);

    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    TColor FColor = clWindow;
    bool FShowScrollBars = true;
    bool FUpdating = false;
    bool FSettingBars = false;
};

}  // namespace zv
