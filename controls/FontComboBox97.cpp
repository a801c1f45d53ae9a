#include "FontComboBox97.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

namespace zv {

namespace {

constexpr int PreviewWidth = 301;
constexpr int PreviewHeight = 85;
constexpr int NameBarHeight = 15;
constexpr int PreviewPixels = 37;
constexpr int GlyphX = 2;
constexpr int NameX = 20;
const QColor RecentColor(0, 0, 128);  // navy

// The mark of a scalable font: two overlapping letters T.
QPixmap MakeTrueTypeGlyph()
{
    QPixmap Glyph(14, 12);
    Glyph.fill(Qt::transparent);
    QPainter Painter(&Glyph);
    const auto DrawT = [&Painter](int X, int Y, const QColor& Color) {
        Painter.fillRect(X, Y, 8, 2, Color);
        Painter.fillRect(X + 3, Y, 2, 8, Color);
    };
    DrawT(0, 0, QColor(128, 128, 128));
    DrawT(5, 4, Qt::black);
    return Glyph;
}

}  // namespace

// One row of the list, drawn and measured by the box.
class TFontItemDelegate : public QStyledItemDelegate {
public:
    explicit TFontItemDelegate(TFontComboBox97* Combo) : QStyledItemDelegate(Combo), Combo(Combo) {}

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override
    {
        Painter->save();
        Combo->DrawItem(*Painter, Option.rect, Index.row(),
                        Option.state & QStyle::State_Selected, true);
        Painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        return {Option.rect.width(), Combo->MeasureItem(Index.row())};
    }

private:
    TFontComboBox97* Combo;
};

// ---------------------------------------------------------------- preview

TFormExampleFont::TFormExampleFont(QWidget* Parent)
    : QWidget(Parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(PreviewWidth, PreviewHeight);
    PanelFontName = new QLabel(this);
    PanelFontName->setFixedHeight(NameBarHeight);
    PanelFontName->setAutoFillBackground(true);
    PanelFontName->setIndent(2);
    PanelPreview = new QLabel(this);
    PanelPreview->setAlignment(Qt::AlignCenter);
    PanelPreview->setAutoFillBackground(true);
    PanelPreview->setFrameShape(QFrame::Box);
    QPalette White = PanelPreview->palette();
    White.setColor(QPalette::Window, Qt::white);
    White.setColor(QPalette::WindowText, Qt::black);
    PanelPreview->setPalette(White);
    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(PanelFontName);
    Layout->addWidget(PanelPreview);
}

void TFormExampleFont::ShowFont(const QString& Name, const QFont& Face)
{
    PanelFontName->setText(Name);
    QFont Sample = Face;
    Sample.setBold(true);
    Sample.setPixelSize(PreviewPixels);
    PanelPreview->setFont(Sample);
    PanelPreview->setText(QStringLiteral("AaBbYyZz"));
}

// ---------------------------------------------------------------- the box

TFontComboBox97::TFontComboBox97(QWidget* Parent)
    : TCustomComboBox97(Parent), FPreview(new TFormExampleFont(this)),
      TrueTypeGlyph(MakeTrueTypeGlyph())
{
    setMaxVisibleItems(12);
    setItemDelegate(new TFontItemDelegate(this));
    connect(this, qOverload<int>(&QComboBox::activated), this, &TFontComboBox97::ItemActivated);
    connect(this, qOverload<int>(&QComboBox::highlighted), this, &TFontComboBox97::ItemHighlighted);
    Loaded();
}

void TFontComboBox97::Loaded()
{
    QStringList Names;
    for (const QString& Family : QFontDatabase::families()) {
        if (!QFontDatabase::isScalable(Family) || QFontDatabase::isPrivateFamily(Family)) continue;
        // generic names ("Serif", "Monospace") stand for another font
        if (QFontInfo(QFont(Family)).family() != Family) continue;
        Names.append(Family);
    }
    std::sort(Names.begin(), Names.end(), [](const QString& A, const QString& B) {
        return QString::compare(A, B, Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker Blocker(this);
    FRecentCount = 0;
    clear();
    for (const QString& Name : Names) {
        const bool Symbol = QFontDatabase::writingSystems(Name).contains(QFontDatabase::Symbol);
        addItem(Name, Symbol ? 1 : 0);
    }
    setCurrentIndex(findText(FFontName, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

bool TFontComboBox97::IsSymbolFont(int Index) const { return itemData(Index).toInt() == 1; }

QFont TFontComboBox97::ItemFont(int Index) const
{
    QFont Face = font();
    if (!IsSymbolFont(Index)) Face.setFamilies({itemText(Index)});
    return Face;
}

int TFontComboBox97::MeasureItem(int Index) const
{
    return std::max(MinItemHeight, QFontMetrics(ItemFont(Index)).boundingRect("Mg").height() + 3);
}

void TFontComboBox97::DrawItem(QPainter& Painter, const QRect& Rect, int Index, bool Selected,
                               bool InList) const
{
    const QPalette& Pal = palette();
    Painter.fillRect(Rect, Selected ? Pal.color(QPalette::Highlight)
                                    : Pal.color(isEnabled() ? QPalette::Base : QPalette::Button));
    if (Index < 0 || Index >= count()) return;
    Painter.drawPixmap(Rect.left() + GlyphX, Rect.top() + (Rect.height() - TrueTypeGlyph.height()) / 2,
                       TrueTypeGlyph);
    const bool Recent = InList && FDropped && Index < FRecentCount;
    Painter.setPen(!isEnabled() ? Pal.color(QPalette::Dark)
                   : Selected   ? Pal.color(QPalette::HighlightedText)
                   : Recent     ? RecentColor
                                : Pal.color(QPalette::Text));
    const QFont Face = ItemFont(Index);
    Painter.setFont(Face);
    const QFontMetrics Metrics(Face);
    const int Top = Rect.top() + (Rect.height() - Metrics.boundingRect("Mg").height()) / 2;
    const QRect TextRect(Rect.left() + NameX, Top, Rect.width() - NameX - 2, Rect.bottom() - Top + 1);
    Painter.drawText(TextRect, Qt::AlignLeft | Qt::AlignTop,
                     Metrics.elidedText(itemText(Index), Qt::ElideRight, TextRect.width()));
    if (InList && FDropped && Index == FRecentCount - 1) {
        Painter.setPen(Pal.color(QPalette::Text));
        Painter.drawLine(Rect.bottomLeft(), Rect.bottomRight());
    }
}

QPoint TFontComboBox97::PreviewPosition(const QRect& Box, const QSize& Preview, const QRect& Screen)
{
    QPoint Pos(Box.right() + 1, Box.bottom() + 1);
    if (Pos.x() + Preview.width() > Screen.right() + 1) Pos.setX(Box.left() - Preview.width());
    if (Pos.y() + Preview.height() > Screen.bottom() + 1) Pos.setY(Box.top() - Preview.height());
    return Pos;
}

void TFontComboBox97::showPopup()
{
    FDropped = true;
    TCustomComboBox97::showPopup();
    const QRect Box(mapToGlobal(QPoint(0, 0)), size());
    const QRect Screen = screen() ? screen()->availableGeometry() : QRect();
    FPreview->move(PreviewPosition(Box, FPreview->size(), Screen));
    ItemHighlighted(currentIndex());
    FPreview->show();
}

void TFontComboBox97::hidePopup()
{
    FPreview->hide();
    FDropped = false;
    TCustomComboBox97::hidePopup();
}

void TFontComboBox97::ItemHighlighted(int Index)
{
    if (Index >= 0 && Index < count()) FPreview->ShowFont(itemText(Index), ItemFont(Index));
}

void TFontComboBox97::ItemActivated()
{
    Promote();
    emit Click();
}

void TFontComboBox97::SetFontName(const QString& Name)
{
    FFontName = Name;
    {
        const QSignalBlocker Blocker(this);
        setCurrentIndex(findText(Name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    Promote();
}

void TFontComboBox97::Promote()
{
    const int Index = currentIndex();
    if (Index < 0) return;
    const QString Name = itemText(Index);
    const QVariant Symbol = itemData(Index);
    FFontName = Name;
    FDropped = false;
    if (Index == 0) return;
    const QSignalBlocker Blocker(this);
    int Found = -1;
    for (int K = 0; K < FRecentCount && Found < 0; ++K)
        if (itemText(K) == Name) Found = K;
    if (Found >= 0) {
        removeItem(Found);
    } else if (++FRecentCount > MaxRecent) {
        removeItem(MaxRecent - 1);
        --FRecentCount;
    }
    insertItem(0, Name, Symbol);
    setCurrentIndex(0);
}

}  // namespace zv
