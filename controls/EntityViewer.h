#pragma once
// The grid of character-entity cells of the Entities panel: a glyph over a caption band with
// the entity text; resting the mouse on a cell shows the character's names; a click selects a
// cell, a second click, a double click, Enter or Space chooses it through OnSelect. Other
// typing goes on to the view TypingTarget names.

#include <QImage>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "WindowControl.h"

namespace zv {

class TEntityView : public TWindowControl {
    Q_OBJECT
public:
    explicit TEntityView(QWidget* Parent = nullptr);
    ~TEntityView() override;

    struct TItem {
        int GlyphX, GlyphY;   // the glyph's corner in the glyph bitmap
        QString Entity;       // "&copy;"
        QString Description;  // names separated by "\r"
    };

    // Sender and the chosen entity text.
    std::function<void(TEntityView*, const QString&)> OnSelect;
    // The view that takes the keys the palette does not use (letters, digits, Backspace ...),
    // and the keyboard with them; none keeps them here.
    std::function<QWidget*(TEntityView*)> TypingTarget;

    // Removes every item, the hint, the selection and the scroll position, without repainting.
    void Clear();
    int Add(const QString& Entity, const QString& Description, int GlyphIndex);
    int Count() const { return static_cast<int>(FItems.size()); }
    const TItem& Item(int Index) const { return FItems[Index]; }

    QRect ItemRect(int Index) const;
    int ItemAt(int X, int Y) const;
    // Scrolls vertically until the selected cell is whole in view.
    void MakeVisible();
    void DoSelect();
    void ShowItemHint(int Index);

    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Index);
    int ItemWidth() const { return FItemWidth; }
    int ItemHeight() const { return FItemHeight; }
    void SetItemWidth(int Width);
    void SetItemHeight(int Height);
    TColor ViewColor() const { return FViewColor; }
    void SetViewColor(TColor Color);
    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor Color);
    int HintIndex() const { return FHintIndex; }

    int Columns = 1, Rows = 0;
    int CaptionHeight = 17, GlyphAreaHeight = 0, GlyphOffsetX = 0, GlyphOffsetY = 0;

    void UpdateScrollRange() override;

protected:
    void PaintContent(QPainter& Painter) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    void DrawItem(QPainter& Painter, int Index, const QRect& Cell);
    // Sends a typed key on to TypingTarget; false when it is no typing or there is none.
    bool HandOnTyping(QKeyEvent* Event);

    std::vector<TItem> FItems;
    int FItemWidth = 48, FItemHeight = 64;
    TColor FViewColor = clWhite;
    TColor FCaptionColor = 0xFFEBD9;
    int FItemIndex = -1;
    bool FPressChose = false;         // the last press chose its cell
    QPointer<QWidget> FChoiceFocus;  // where the keyboard went after that choice
    int FHintIndex = -1;
    QImage FGlyphs;
};

// Fills View with one group of the entity palette (0 general, 1 mathematical, 2 Latin,
// 3 Greek); another number leaves it empty.
void FillEntityView(TEntityView& View, int Group);

}  // namespace zv
