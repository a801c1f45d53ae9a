#pragma once
// The font name box of the formatting tool bar: a flat combo box listing the system's
// scalable fonts, each in its own face, with a floating preview of the font under the
// cursor while the list is open and the five fonts chosen last at the top.

#include <QPixmap>
#include <QWidget>

#include "ComboBox97.h"

class QLabel;

namespace zv {

// The preview: a borderless window that stays on top and never takes the focus.
class TFormExampleFont : public QWidget {
    Q_OBJECT
public:
    explicit TFormExampleFont(QWidget* Parent = nullptr);
    // The sample text in Face, the font's name in the bar above it.
    void ShowFont(const QString& Name, const QFont& Face);

    QLabel* PanelFontName;
    QLabel* PanelPreview;
};

class TFontComboBox97 : public TCustomComboBox97 {
    Q_OBJECT
    Q_PROPERTY(QString fontName READ FontName WRITE SetFontName)
public:
    static constexpr int MaxRecent = 5;
    static constexpr int MinItemHeight = 15;

    explicit TFontComboBox97(QWidget* Parent = nullptr);

    QString FontName() const { return FFontName; }
    // Selects the font of that name; a listed one then moves to the top like a user's choice.
    void SetFontName(const QString& Name);

    // Number of recent fonts at the top of the list.
    int RecentCount() const { return FRecentCount; }
    // Whether the list is open.
    bool Dropped() const { return FDropped; }
    TFormExampleFont* Preview() const { return FPreview; }

    // Fills the list with every scalable font, sorted by name; the recent section is dropped.
    void Loaded();

    void showPopup() override;
    void hidePopup() override;

    // Where the preview of size Preview goes for a box at Box on Screen (screen
    // coordinates): at the box's bottom-right corner, kept on the screen by going to the box's
    // left or above it.
    static QPoint PreviewPosition(const QRect& Box, const QSize& Preview, const QRect& Screen);

    // A font of symbols rather than letters (its list entry and sample use the box's face).
    bool IsSymbolFont(int Index) const;

signals:
    // The user chose a font: from the list or with the keys on the closed box.
    void Click();

protected:
    void DrawItem(QPainter& Painter, const QRect& Rect, int Index, bool Selected,
                  bool InList) const override;

private:
    friend class TFontItemDelegate;
    // The item's own face; the box's font for symbol fonts, so their names stay readable.
    QFont ItemFont(int Index) const;
    int MeasureItem(int Index) const;
    void ItemActivated();
    void ItemHighlighted(int Index);
    // Moves the selected font to the top of the recent section.
    void Promote();

    TFormExampleFont* FPreview;
    QPixmap TrueTypeGlyph;
    int FRecentCount = 0;
    bool FDropped = false;
    QString FFontName;
};

}  // namespace zv
