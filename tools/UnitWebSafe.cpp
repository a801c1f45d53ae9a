#include "UnitWebSafe.h"

#include <QPainter>
#include <QShowEvent>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "HtmlInplace.h"
#include "ui_UnitWebSafe.h"

namespace zv {

namespace {

// 0xRRGGBB as a colour value.
constexpr TColor Rgb(uint32_t Hex) { return RgbColor(Hex >> 16, (Hex >> 8) & 0xFF, Hex & 0xFF); }

}  // namespace

const TWebSafeGroup WebSafeGroups[WebSafeGroupCount] = {
    {2, "Black", Rgb(0x000000)},  {5, "Blue", Rgb(0x0000CC)},    {6, "Brown", Rgb(0x663300)},
    {7, "Green", Rgb(0x00FF00)},  {3, "Grey", Rgb(0x666666)},    {8, "Magenta", Rgb(0xCC33CC)},
    {9, "Orange", Rgb(0xFF9900)}, {10, "Purple", Rgb(0x993399)}, {11, "Red", Rgb(0xFF0000)},
    {1, "White", Rgb(0xFFFFFF)},  {4, "Yellow", Rgb(0xFFFF66)},
};

#define ZV_SCHEME(Key, Name, Bg, Text, Link, VLink, ALink) \
    {Key, Name, Rgb(Bg), Rgb(Text), Rgb(Link), Rgb(VLink), Rgb(ALink)}

const TWebSafeScheme WebSafeSchemes[WebSafeSchemeCount] = {
    ZV_SCHEME(1, "Brown - Red - Orange", 0xFFFFFF, 0x996666, 0xFF0000, 0x663333, 0xFF9999),
    ZV_SCHEME(1, "Brown - Yellow", 0xFFFFFF, 0x999966, 0xCCCC00, 0x666633, 0xFFFF66),
    ZV_SCHEME(1, "Olive - Green", 0xFFFFFF, 0x669966, 0x009900, 0x336633, 0x00FF00),
    ZV_SCHEME(1, "Purple - Blue", 0xFFFFFF, 0x996699, 0x3333FF, 0x333366, 0x0000CC),
    ZV_SCHEME(1, "Purple - Orange", 0xFFFFFF, 0x996699, 0xF99009, 0x663366, 0xFF00FF),
    ZV_SCHEME(1, "Turquoise - Aqua", 0xFFFFFF, 0x336666, 0x009999, 0x66CCCC, 0x00FFFF),
    ZV_SCHEME(2, "Blue", 0x000000, 0x669999, 0x00FFFF, 0x006666, 0x003333),
    ZV_SCHEME(2, "Brown - Red", 0x000000, 0xCC6666, 0xFF0000, 0xCC3333, 0x990000),
    ZV_SCHEME(2, "Green - Grey", 0x000000, 0x339933, 0x33FF00, 0x666666, 0x666600),
    ZV_SCHEME(2, "Green - Yellow", 0x000000, 0x999966, 0xFFFF00, 0x999933, 0xFFFF99),
    ZV_SCHEME(2, "Purple - Blue", 0x000000, 0xCCCCFF, 0x00FFFF, 0x6666FF, 0x000066),
    ZV_SCHEME(2, "Purple - Pink", 0x000000, 0x996699, 0xFF00FF, 0x663366, 0xFF99FF),
    ZV_SCHEME(3, "Blue", 0x666666, 0x99CCCC, 0x00FFFF, 0x66CCCC, 0xCCFFFF),
    ZV_SCHEME(3, "Brown - Olive - Yellow", 0x666666, 0xCCCC99, 0xFFFF00, 0xFFFF99, 0x999900),
    ZV_SCHEME(3, "Brown - Yellow", 0x999999, 0x333300, 0xFFFF00, 0xCCCC33, 0xFFFF99),
    ZV_SCHEME(3, "Green", 0x333333, 0x669966, 0x33CC33, 0x99CC99, 0xCCFFCC),
    ZV_SCHEME(3, "Grey - White", 0x333333, 0xCCCCCC, 0x666666, 0x999999, 0xFFFFFF),
    ZV_SCHEME(3, "Pink - Red - Brown", 0x666666, 0xFF9999, 0xCC0000, 0x663333, 0x330000),
    ZV_SCHEME(3, "White - Orange - Brown", 0x333333, 0xFFFFFF, 0xFFCC00, 0x999966, 0xFFFF00),
    ZV_SCHEME(3, "White - Pink - Purple", 0x999999, 0xFFFFFF, 0xFF00FF, 0x993399, 0xFF66FF),
    ZV_SCHEME(4, "Brown - Red", 0xFFCC99, 0x663300, 0xCC6600, 0x666666, 0xFF3300),
    ZV_SCHEME(4, "Green - Blue - Purple", 0xFFFF66, 0x336666, 0x0000FF, 0x33CCCC, 0x990099),
    ZV_SCHEME(4, "Green - Red - Orange", 0xFFFF33, 0x336600, 0xCC3300, 0xFF6633, 0x660000),
    ZV_SCHEME(4, "Purple - Pink - Green", 0xFFFFCC, 0x660099, 0xFF3399, 0x669966, 0xCC3333),
    ZV_SCHEME(5, "Blue - White", 0x0099FF, 0x99FFFF, 0x00FFFF, 0x99CCCC, 0xFFFFFF),
    ZV_SCHEME(5, "Green - White", 0x3333FF, 0x99CC99, 0x00FF00, 0x339933, 0xFFFFFF),
    ZV_SCHEME(5, "Green - Yellow - White", 0x0000CC, 0x99CC99, 0xFFFF00, 0x669900, 0xFFFFFF),
    ZV_SCHEME(5, "Grey - Orange - Purple", 0x0000CC, 0xCCCCCC, 0xCC6666, 0x6633CC, 0xFF0000),
    ZV_SCHEME(5, "White - Green - Yellow", 0x6666FF, 0xFFFFFF, 0x99FF33, 0xFFFF00, 0x00CC00),
    ZV_SCHEME(6, "Purple - Grey", 0x663300, 0xCCCCFF, 0x6666FF, 0x666666, 0x0000FF),
    ZV_SCHEME(6, "Purple - Olive - Red", 0x663300, 0x9999CC, 0x999900, 0xCC6600, 0x66CC00),
    ZV_SCHEME(6, "Yellow - Orange - Blue", 0x663300, 0xFFCC99, 0xFF6600, 0x666699, 0xFF3300),
    ZV_SCHEME(7, "Black - Yellow - Brown", 0x66CC66, 0x003300, 0xFFFF99, 0x666600, 0xCCCC99),
    ZV_SCHEME(7, "Blue - Brown - Green", 0x99FFCC, 0x336666, 0x999900, 0x339900, 0x009999),
    ZV_SCHEME(7, "Brown - Green - Blue", 0xCCFFCC, 0x666600, 0x009900, 0x006600, 0x00FF00),
    ZV_SCHEME(7, "Brown - White - Green", 0xCCCC99, 0x663300, 0xFFFFFF, 0x669966, 0x996666),
    ZV_SCHEME(7, "Brown - Yellow - Red", 0x99CC66, 0x663333, 0xFFFF00, 0xFF6666, 0x996666),
    ZV_SCHEME(8, "Green - Yellow - Orange", 0xCC33CC, 0xCCCC99, 0xFFFF00, 0xFF9900, 0xFFFFCC),
    ZV_SCHEME(8, "Purple - Blue", 0xCC00FF, 0xCCCCFF, 0x00FFFF, 0x9999FF, 0xCCFFFF),
    ZV_SCHEME(8, "White - Green - Blue", 0xCC33CC, 0xFFFFFF, 0x66FF66, 0x66FFFF, 0xCCCCCC),
    ZV_SCHEME(9, "Blue - Green - Yellow", 0xFF9933, 0x003300, 0x006666, 0x336633, 0xFFFF00),
    ZV_SCHEME(9, "Grey - Yellow - Orange", 0xFF9900, 0x333333, 0xFFFF00, 0xFFCC66, 0x666600),
    ZV_SCHEME(9, "Grey - Yellow", 0xFF9933, 0x333333, 0xFFFFCC, 0xCCCCCC, 0xFFFF00),
    ZV_SCHEME(10, "Blue - Grey - Purple", 0x9966FF, 0xCCFFFF, 0x0000FF, 0x333333, 0x9999FF),
    ZV_SCHEME(10, "Blue - Purple - Green", 0xCCCCFF, 0x006666, 0x666633, 0x009933, 0x666699),
    ZV_SCHEME(10, "Green - Brown - Black", 0x666600, 0x99FF99, 0x999900, 0x009966, 0x000000),
    ZV_SCHEME(10, "Grey - Pink - Orange", 0x663366, 0xCCCCCC, 0xFF66FF, 0xFF6666, 0xFFFFFF),
    ZV_SCHEME(10, "Pink - Blue", 0x996699, 0xFFCCFF, 0x3399FF, 0x00CCFF, 0x00FFFF),
    ZV_SCHEME(10, "Purple - White", 0x9999FF, 0x333300, 0xFFFFFF, 0xCCFFFF, 0x6666FF),
    ZV_SCHEME(10, "White - Green - Yellow", 0x9966FF, 0xFFFFFF, 0x99FF33, 0xFFFF00, 0x00CC00),
    ZV_SCHEME(10, "White - Yellow - Green", 0xCC00CC, 0xFFFFFF, 0xFFFF00, 0xCCCC33, 0xFF0000),
    ZV_SCHEME(10, "Yellow - Orange - Olive", 0x993399, 0xFFFF66, 0xFF9900, 0x999966, 0xFF00FF),
    ZV_SCHEME(11, "Brown - Pink - Purple", 0xFFCCCC, 0x660033, 0xFF0066, 0xCC9999, 0xFF0000),
    ZV_SCHEME(11, "Pink - Yellow - Green", 0x993300, 0xFFCCFF, 0xFFFF00, 0xCCCC33, 0xCCCC99),
    ZV_SCHEME(11, "Yellow - Brown", 0xCC3333, 0xFFFF99, 0xFFFF00, 0x999966, 0x666600),
    ZV_SCHEME(11, "Yellow - Olive", 0xCC6666, 0xFFFF00, 0xFFFF99, 0xCCCC99, 0xFFFFCC),
};

#undef ZV_SCHEME

namespace {

// What an item of either list is painted with.
constexpr int FillRole = Qt::UserRole;
constexpr int TextRole = Qt::UserRole + 1;
constexpr int FrameRole = Qt::UserRole + 2;
// Index of the scheme in WebSafeSchemes, on scheme items.
constexpr int SchemeRole = Qt::UserRole + 3;

// Items 24 pixels high filled with their colour and named in the centre; the chosen item has
// bold text, a 2-pixel frame and, while the list has the focus, the focus rectangle.
class TSwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QRect R = Option.rect;
        Painter->save();
        Painter->fillRect(R, ToQColor(Index.data(FillRole).toInt()));
        const bool Chosen = Option.state & QStyle::State_Selected;
        QFont Font = Option.font;
        Font.setBold(Chosen);
        Painter->setFont(Font);
        Painter->setPen(ToQColor(Index.data(TextRole).toInt()));
        Painter->drawText(R, Qt::AlignCenter, Index.data(Qt::DisplayRole).toString());
        if (Chosen) {
            QPen Frame(ToQColor(Index.data(FrameRole).toInt()), 2);
            Frame.setJoinStyle(Qt::MiterJoin);
            Painter->setPen(Frame);
            Painter->setBrush(Qt::NoBrush);
            Painter->drawRect(QRectF(R).adjusted(1, 2, -1, -1));
            if (Option.state & QStyle::State_HasFocus) {
                QStyleOptionFocusRect Focus;
                Focus.rect = R.adjusted(3, 4, -3, -3);
                Focus.state = Option.state;
                Focus.backgroundColor = ToQColor(Index.data(FillRole).toInt());
                if (const QWidget* W = Option.widget)
                    W->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter, W);
            }
        }
        Painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex&) const override
    {
        return QSize(Option.rect.width(), 24);
    }
};

QListWidgetItem* SwatchItem(const char* Name, TColor Fill, TColor Text)
{
    auto* Item = new QListWidgetItem(QString::fromLatin1(Name));
    Item->setData(FillRole, Fill);
    Item->setData(TextRole, Text);
    Item->setData(FrameRole, ContrastTextColor(Fill));
    return Item;
}

void Recolour(QWidget* Widget, QPalette::ColorRole Role, TColor Color)
{
    QPalette Palette = Widget->palette();
    Palette.setColor(Role, ToQColor(Color));
    Widget->setPalette(Palette);
}

}  // namespace

TFormWebSafe::TFormWebSafe(QWidget* Parent) : QDialog(Parent), Form(std::make_unique<Ui::FormWebSafe>())
{
    Form->setupUi(this);
    Form->Buttons->button(QDialogButtonBox::Ok)->setText(tr("&OK"));
    Form->Buttons->button(QDialogButtonBox::Cancel)->setText(tr("&Cancel"));
    Form->Buttons->button(QDialogButtonBox::Reset)->setText(tr("&Reset"));
    Form->Buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(Form->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Form->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Form->Buttons->button(QDialogButtonBox::Reset), &QAbstractButton::clicked, this, &TFormWebSafe::Reset);

    for (QListWidget* List : {Form->ListBox1, Form->ListBox2})
        List->setItemDelegate(new TSwatchDelegate(List));
    for (const TWebSafeGroup& G : WebSafeGroups)
        Form->ListBox1->addItem(SwatchItem(G.Name, G.Swatch, ContrastTextColor(G.Swatch)));
    connect(Form->ListBox1, &QListWidget::currentRowChanged, this, &TFormWebSafe::ChooseGroup);
    // A scheme is chosen by selecting it: the list makes its first row current (without
    // selecting it) when it takes the focus, and that must not choose anything.
    connect(Form->ListBox2, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> Chosen = Form->ListBox2->selectedItems();
        if (!Chosen.isEmpty()) ChooseScheme(Form->ListBox2->row(Chosen.first()));
    });

    for (QLabel* Link : {Form->LabelLink, Form->LabelVLink, Form->LabelALink}) {
        QFont Font = Link->font();
        Font.setUnderline(true);
        Link->setFont(Font);
    }
    // the preview starts in the initial colours
    Recolour(Form->Panel1, QPalette::Window, FBgColor);
    Recolour(Form->LabelParagraph1, QPalette::WindowText, FTextColor);
    Recolour(Form->LabelParagraph2, QPalette::WindowText, FTextColor);
    Recolour(Form->LabelLink, QPalette::WindowText, FLinkColor);
    Recolour(Form->LabelVLink, QPalette::WindowText, FVLinkColor);
    Recolour(Form->LabelALink, QPalette::WindowText, FALinkColor);
}

TFormWebSafe::~TFormWebSafe() = default;

void TFormWebSafe::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    // kept from one showing to the next: the keyboard starts in the groups every time
    if (!Event->spontaneous()) Form->ListBox1->setFocus(Qt::OtherFocusReason);
}

void TFormWebSafe::SetBgColor(TColor Color)
{
    if (Color == FBgColor) return;
    FBgColor = Color;
    Recolour(Form->Panel1, QPalette::Window, Color);
}

void TFormWebSafe::SetTextColor(TColor Color)
{
    if (Color == FTextColor) return;
    FTextColor = Color;
    Recolour(Form->LabelParagraph1, QPalette::WindowText, Color);
    Recolour(Form->LabelParagraph2, QPalette::WindowText, Color);
}

void TFormWebSafe::SetLinkColor(TColor Color)
{
    if (Color == FLinkColor) return;
    FLinkColor = Color;
    Recolour(Form->LabelLink, QPalette::WindowText, Color);
}

void TFormWebSafe::SetVLinkColor(TColor Color)
{
    if (Color == FVLinkColor) return;
    FVLinkColor = Color;
    Recolour(Form->LabelVLink, QPalette::WindowText, Color);
}

void TFormWebSafe::SetALinkColor(TColor Color)
{
    if (Color == FALinkColor) return;
    FALinkColor = Color;
    Recolour(Form->LabelALink, QPalette::WindowText, Color);
}

void TFormWebSafe::Reset()
{
    SetBgColor(clWhite);
    SetTextColor(clBlack);
    SetLinkColor(clBlue);
    SetVLinkColor(clPurple);
    SetALinkColor(clPurple);
}

void TFormWebSafe::ChooseGroup(int Row)
{
    QListWidget* Schemes = Form->ListBox2;
    const QSignalBlocker Quiet(Schemes);
    Schemes->clear();
    if (Row < 0 || Row >= WebSafeGroupCount) return;
    const int Key = WebSafeGroups[Row].Key;
    for (int K = 0; K < WebSafeSchemeCount; ++K) {
        const TWebSafeScheme& S = WebSafeSchemes[K];
        if (S.Key != Key) continue;
        QListWidgetItem* Item = SwatchItem(S.Name, S.Background, S.Text);
        Item->setData(SchemeRole, K);
        Schemes->addItem(Item);
    }
    Schemes->setCurrentRow(-1);
}

void TFormWebSafe::ChooseScheme(int Row)
{
    const QListWidgetItem* Item = Form->ListBox2->item(Row);
    if (!Item) return;
    const TWebSafeScheme& S = WebSafeSchemes[Item->data(SchemeRole).toInt()];
    SetBgColor(S.Background);
    SetTextColor(S.Text);
    SetLinkColor(S.Link);
    SetVLinkColor(S.VLink);
    SetALinkColor(S.ALink);
}

TFormWebSafe* WebSafeForm()
{
    static TFormWebSafe* Form = new TFormWebSafe(nullptr);
    return Form;
}

}  // namespace zv
