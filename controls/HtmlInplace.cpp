#include "HtmlInplace.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "PickTools.h"

static void InitResources()
{
    Q_INIT_RESOURCE(controls);
}

namespace zv {

void InitControlResources()
{
    static const bool Done = (InitResources(), true);
    (void)Done;
}

// Components are 00, 33, 66, 99, CC or FF; values as 0xBBGGRR.
const TColor PaletteColors[PaletteColumns * PaletteRows] = {
    0xFFFFFF, 0xCCCCCC, 0xCCCCCC, 0x999999, 0x999999, 0x666666, 0x666666, 0x333333, 0x000000,  // 0
    0xFFFFCC, 0xFFFF99, 0xFFFF66, 0xFFFF33, 0xFFFF00, 0xCCCC00, 0x999900, 0x666600, 0x333300,  // 1
    0xFFCCCC, 0xFFCC99, 0xFFCC66, 0xFFCC33, 0xFFCC00, 0xCCCC00, 0x999900, 0x666600, 0x333300,  // 2
    0xFFCCCC, 0xFF9999, 0xFF9966, 0xFF9933, 0xFF9900, 0xCC9900, 0x999900, 0x666600, 0x333300,  // 3
    0xFFCCCC, 0xFF9999, 0xFF6666, 0xFF6633, 0xFF6600, 0xCC6600, 0x996600, 0x666600, 0x333300,  // 4
    0xFFCCCC, 0xFF9999, 0xFF6666, 0xFF3333, 0xFF0000, 0xCC3300, 0x993300, 0x663300, 0x333300,  // 5
    0xFFCCCC, 0xFF9999, 0xFF6666, 0xFF3333, 0xFF0000, 0xCC0000, 0x990000, 0x660000, 0x330000,  // 6
    0xFFCCCC, 0xFF9999, 0xFF6666, 0xFF3333, 0xFF0000, 0xCC0033, 0x990033, 0x660033, 0x330033,  // 7
    0xFFCCCC, 0xFF9999, 0xFF6666, 0xFF3366, 0xFF0066, 0xCC0066, 0x990066, 0x660066, 0x330033,  // 8
    0xFFCCCC, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099, 0xCC0099, 0x990099, 0x660066, 0x330033,  // 9
    0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF33CC, 0xFF00CC, 0xCC00CC, 0x990099, 0x660066, 0x330033,  // 10
    0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF33FF, 0xFF00FF, 0xCC00CC, 0x990099, 0x660066, 0x330033,  // 11
    0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0xCC00FF, 0xCC00CC, 0x990099, 0x660066, 0x330033,  // 12
    0xCCCCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9900FF, 0x9900CC, 0x990099, 0x660066, 0x330033,  // 13
    0xCCCCFF, 0x9999FF, 0x6666FF, 0x6633FF, 0x6600FF, 0x6600CC, 0x660099, 0x660066, 0x330033,  // 14
    0xCCCCFF, 0x9999FF, 0x6666FF, 0x3333FF, 0x3300FF, 0x3300CC, 0x330099, 0x330066, 0x330033,  // 15
    0xCCCCFF, 0x9999FF, 0x6666FF, 0x3333FF, 0x0000FF, 0x0000CC, 0x000099, 0x000066, 0x000033,  // 16
    0xCCCCFF, 0x9999FF, 0x6666FF, 0x3333FF, 0x0033FF, 0x0033CC, 0x003399, 0x003366, 0x003333,  // 17
    0xCCCCFF, 0x9999FF, 0x6666FF, 0x3366FF, 0x0066FF, 0x0066CC, 0x006699, 0x006666, 0x003333,  // 18
    0xCCCCFF, 0x9999FF, 0x6699FF, 0x3399FF, 0x0099FF, 0x0099CC, 0x009999, 0x006666, 0x003333,  // 19
    0xCCCCFF, 0x99CCFF, 0x66CCFF, 0x33CCFF, 0x00CCFF, 0x00CCCC, 0x009999, 0x006666, 0x003333,  // 20
    0xCCFFFF, 0x99FFFF, 0x66FFFF, 0x33FFFF, 0x00FFFF, 0x00CCCC, 0x009999, 0x006666, 0x003333,  // 21
    0xCCFFCC, 0x99FFCC, 0x66FFCC, 0x33FFCC, 0x00FFCC, 0x00CCCC, 0x009999, 0x006666, 0x003333,  // 22
    0xCCFFCC, 0x99FF99, 0x66FF99, 0x33FF99, 0x00FF99, 0x00CC99, 0x009999, 0x006666, 0x003333,  // 23
    0xCCFFCC, 0x99FF99, 0x66FF66, 0x33FF66, 0x00FF66, 0x00CC66, 0x009966, 0x006666, 0x003333,  // 24
    0xCCFFCC, 0x99FF99, 0x66FF66, 0x33FF33, 0x00FF00, 0x00CC33, 0x009933, 0x006633, 0x003333,  // 25
    0xCCFFCC, 0x99FF99, 0x66FF66, 0x33FF33, 0x00FF00, 0x00CC00, 0x009900, 0x006600, 0x003300,  // 26
    0xCCFFCC, 0x99FF99, 0x66FF66, 0x33FF33, 0x00FF00, 0x33CC00, 0x339900, 0x336600, 0x333300,  // 27
    0xCCFFCC, 0x99FF99, 0x66FF66, 0x66FF33, 0x66FF00, 0x66CC00, 0x669900, 0x666600, 0x333300,  // 28
    0xCCFFCC, 0x99FF99, 0x99FF66, 0x99FF33, 0x99FF00, 0x99CC00, 0x999900, 0x666600, 0x333300,  // 29
    0xCCFFCC, 0xCCFF99, 0xCCFF66, 0xCCFF33, 0xCCFF00, 0xCCCC00, 0x999900, 0x666600, 0x333333,  // 30
    0xCCCC33, 0xCC9933, 0xCC6633, 0xCC3333, 0x993333, 0x999933, 0x996633, 0x666633, 0x663333,  // 31
    0xCCCC66, 0xCC9966, 0xCC6666, 0xCC3366, 0x993366, 0x999966, 0x996666, 0x666666, 0x663366,  // 32
    0xCCCC99, 0xCC9999, 0xCC6699, 0xCC3399, 0x993399, 0x999999, 0x996699, 0x666699, 0x663399,  // 33
    0xCCCCCC, 0xCC99CC, 0xCC66CC, 0xCC33CC, 0x9933CC, 0x9999CC, 0x9966CC, 0x6666CC, 0x6633CC,  // 34
    0x99CCCC, 0x99CC00, 0x66CC99, 0x66CC00, 0x33CC33, 0x339933, 0x669933, 0x336633, 0x333366,  // 35
    0x99CCCC, 0x99CC33, 0x66CC99, 0x66CC33, 0x33CC66, 0x339966, 0x669966, 0x336666, 0x333399,  // 36
    0x99CCFF, 0x99CC66, 0x66CCCC, 0x66CC66, 0x33CC99, 0x339999, 0x669999, 0x336699, 0x3333CC,  // 37
    0x99CCFF, 0x99CC99, 0x66CCCC, 0x66CC99, 0x33CCCC, 0x3399CC, 0x6699CC, 0x3366CC, 0x3366FF,  // 38
};

const TColor NamedColors[NamedColorCount] = {
    clBlack, clSilver, clGray, clWhite, clMaroon, clRed,  clPurple, clFuchsia, clGreen,
    clLime,  clOlive,  clYellow, clNavy, clBlue, clTeal, clAqua,   clWindow};
const char* const NamedColorNames[NamedColorCount] = {
    "Black", "Silver", "Gray", "White", "Maroon", "Red",  "Purple", "Fuchsia", "Green",
    "Lime",  "Olive",  "Yellow", "Navy", "Blue", "Teal", "Aqua",   ""};

std::vector<TColor> RecentColors(RecentColorCount, clWindow);

void AddRecentColor(TColor Color)
{
    std::erase(RecentColors, Color);
    RecentColors.insert(RecentColors.begin(), Color);
    if (RecentColors.size() > RecentColorCount)
        RecentColors.resize(RecentColorCount);
}

QColor ToQColor(TColor Color)
{
    if (IsSysColor(Color) && qApp) {
        const QPalette Palette = QApplication::palette();
        switch (Color) {
        case clWindow: return Palette.color(QPalette::Base);
        case clWindowText: return Palette.color(QPalette::Text);
        case clBtnFace: return Palette.color(QPalette::Button);
        case clBtnText: return Palette.color(QPalette::ButtonText);
        case clBtnShadow: return Palette.color(QPalette::Dark);
        case clBtnHighlight: return Palette.color(QPalette::Light);
        case clHighlight: return Palette.color(QPalette::Highlight);
        case clHighlightText: return Palette.color(QPalette::HighlightedText);
        default: break;
        }
    }
    const uint32_t Rgb = static_cast<uint32_t>(ColorToRGB(Color));
    return QColor(Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& Color)
{
    return RgbColor(Color.red(), Color.green(), Color.blue());
}

QString ColorToHex(TColor Color)
{
    const QColor C = ToQColor(Color);
    return QString::asprintf("#%.2x%.2x%.2x", C.red(), C.green(), C.blue());
}

TColor ContrastTextColor(TColor Color)
{
    const uint32_t V = static_cast<uint32_t>(Color);
    const double L = 0.3 * ((V >> 16) & 0xFF) + 0.59 * ((V >> 8) & 0xFF) + 0.11 * (V & 0xFF);
    return L <= 127.5 ? clWhite : clBlack;
}

QPoint PopupPosition(QPoint P, QSize Control, QSize Popup, QSize Screen)
{
    QPoint Result = P;
    if (Screen.width() <= P.x() + Popup.width())
        Result.setX(P.x() + Control.width() - Popup.width() + 1);
    if (Screen.height() <= P.y() + Popup.height())
        Result.setY(P.y() - Control.height() - Popup.height() + 1);
    return Result;
}

// ------------------------------------------------------------------ TInplacePopup

TInplacePopup::TInplacePopup(QWidget* ControlParent)
    : QWidget(ControlParent, Qt::Popup | Qt::FramelessWindowHint), FControlParent(ControlParent)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void TInplacePopup::CloseUp(bool Accept)
{
    FClosing = true;
    hide();
    FClosing = false;
    if (OnCloseUp)
        OnCloseUp(this, Accept);
}

void TInplacePopup::PlaceUnder(const QWidget* Control)
{
    const QPoint P = Control->mapToGlobal(QPoint(0, Control->height()));
    QScreen* Screen = Control->screen() ? Control->screen() : QGuiApplication::primaryScreen();
    const QRect Area = Screen->geometry();
    const QPoint Pos = PopupPosition(P - Area.topLeft(), Control->size(), size(), Area.size());
    move(Pos + Area.topLeft());
}

void TInplacePopup::UpdatePosition()
{
    if (FControlParent)
        PlaceUnder(FControlParent);
}

void TInplacePopup::mousePressEvent(QMouseEvent* Event)
{
    if (!rect().contains(Event->position().toPoint())) {
        // A click on the control that opened the popup only closes it.
        if (FControlParent &&
            FControlParent->rect().contains(
                FControlParent->mapFromGlobal(Event->globalPosition().toPoint())))
            setAttribute(Qt::WA_NoMouseReplay);
        CloseUp(false);
        setAttribute(Qt::WA_NoMouseReplay, false);
    }
    Event->accept();
}

void TInplacePopup::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape)
        CloseUp(false);
    Event->accept();
}

void TInplacePopup::closeEvent(QCloseEvent* Event)
{
    // Closed by the system (another window activated, say): no choice.
    if (!FClosing && isVisible()) {
        Event->ignore();
        CloseUp(false);
        return;
    }
    QWidget::closeEvent(Event);
}

// ------------------------------------------------------------------ TPopupColor

TPopupColor::TPopupColor(QWidget* ControlParent) : TInplacePopup(ControlParent)
{
    InitControlResources();
    FPickCursor = QCursor(QPixmap(":/controls/INPL_PICK.png"), 1, 30);
    setFixedSize(403, 153);
    setMouseTracking(true);
    setAutoFillBackground(false);
    auto MakeButton = [this](const QString& Caption, int X) {
        auto* Button = new QToolButton(this);
        Button->setText(Caption);
        Button->setGeometry(X, 125, 60, 21);
        Button->setAutoRaise(true);
        Button->setFocusPolicy(Qt::NoFocus);
        Button->setCursor(Qt::ArrowCursor);
        return Button;
    };
    FPickButton = MakeButton("Pick", 273);
    FOtherButton = MakeButton("Other", 335);
    connect(FPickButton, &QToolButton::clicked, this, &TPopupColor::Pick);
    connect(FOtherButton, &QToolButton::clicked, this, &TPopupColor::Other);
}

TPopupColor::THit TPopupColor::HitTest(int X, int Y) const
{
    THit Result;
    const QPoint P(X, Y);
    if (PaletteRect.contains(P)) {
        Result.Color = PaletteColors[(X - 5) / 10 * PaletteRows + (Y - 5) / 10];
        Result.Text = ColorToHex(Result.Color);
    } else if (NamedRect.contains(P)) {
        const int I = (X - 55) / 20;
        Result.Color = NamedColors[I];
        Result.Text = QString::fromLatin1(NamedColorNames[I]);
    } else if (RecentRect.contains(P)) {
        const int I = (X - 55) / 20;
        Result.Color = RecentColors[I];
        if (Result.Color != clWindow)
            Result.Text = ColorToHex(Result.Color);
    } else {
        return Result;
    }
    Result.Hit = true;
    return Result;
}

void TPopupColor::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    P.fillRect(rect(), ToQColor(clWindow));
    P.setPen(ToQColor(clBtnShadow));  // the thin window border
    P.drawRect(rect().adjusted(0, 0, -1, -1));
    P.setPen(Qt::black);
    for (int C = 0; C < PaletteColumns; ++C)
        for (int R = 0; R < PaletteRows; ++R) {
            P.setBrush(ToQColor(PaletteColors[C * PaletteRows + R]));
            P.drawRect(5 + 10 * C, 5 + 10 * R, 10, 10);
        }
    for (int I = 0; I < NamedColorCount; ++I) {
        const QRect Cell(55 + 20 * I, 100, 20, 20);
        P.setBrush(ToQColor(NamedColors[I]));
        P.drawRect(Cell);
        if (I == NamedColorCount - 1) {
            P.drawLine(Cell.topLeft(), Cell.bottomRight());
            P.drawLine(Cell.topRight(), Cell.bottomLeft());
        }
    }
    for (int I = 0; I < RecentColorCount; ++I) {
        P.setBrush(ToQColor(RecentColors[I]));
        P.drawRect(55 + 20 * I, 125, 20, 20);
    }
    P.setBrush(ToQColor(PreviewColor));
    P.drawRect(PreviewRect.adjusted(0, 0, -1, -1));
    if (!FPreviewText.isEmpty()) {
        QFont Font("Monospace");
        Font.setStyleHint(QFont::TypeWriter);
        Font.setPointSize(7);
        P.setFont(Font);
        P.setPen(ToQColor(ContrastTextColor(PreviewColor)));
        const QFontMetrics M(Font);
        P.setClipRect(PreviewRect);
        P.drawText(PreviewRect.left() + (45 - M.horizontalAdvance(FPreviewText)) / 2,
                   PreviewRect.top() + (45 - M.height()) / 2 + M.ascent(), FPreviewText);
    }
}

void TPopupColor::showEvent(QShowEvent* Event)
{
    // the preview opens with the colour the popup was given, not the one shown last
    PreviewColor = Color;
    FPreviewText.clear();
    TInplacePopup::showEvent(Event);
}

void TPopupColor::DrawPreview(TColor NewColor, const QString& Text)
{
    if (NewColor == PreviewColor)
        return;
    PreviewColor = NewColor;
    FPreviewText = Text;
    update(PreviewRect);
}

void TPopupColor::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    const THit Hit = HitTest(P.x(), P.y());
    if (Hit.Hit) {
        DrawPreview(Hit.Color, Hit.Text);
        setCursor(FPickCursor);
    } else {
        DrawPreview(Color, ColorText);
        unsetCursor();
    }
}

void TPopupColor::mousePressEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    const THit Hit = HitTest(P.x(), P.y());
    if (Hit.Hit) {
        Color = Hit.Color;
        ColorText = Hit.Text;
        if (!ColorText.isEmpty())
            AddRecentColor(Color);
        CloseUp(true);
    }
    TInplacePopup::mousePressEvent(Event);
}

void TPopupColor::Choose(TColor NewColor)
{
    Color = NewColor;
    ColorText = ColorToHex(NewColor);
    AddRecentColor(NewColor);
    CloseUp(true);
}

void TPopupColor::Pick()
{
    hide();
    if (const std::optional<TColor> Picked = PickScreenColor())
        Choose(*Picked);
    else
        CloseUp(false);
}

TPopupColor::~TPopupColor()
{
    delete FColorDialog;
}

void TPopupColor::Other()
{
    // Parented to the host's window, so it stays over it.
    if (!FColorDialog)
        FColorDialog = new QColorDialog(ControlParent() ? ControlParent()->window() : nullptr);
    FColorDialog->setOptions(QColorDialog::ColorDialogOptions());
    FColorDialog->setCurrentColor(ToQColor(Color));
    hide();
    if (FColorDialog->exec() == QDialog::Accepted)
        Choose(FromQColor(FColorDialog->currentColor()));
    else
        CloseUp(false);
}

// ------------------------------------------------------------------ TColorToolButton

TColorToolButton::TColorToolButton(QWidget* Parent) : QWidget(Parent)
{
    InitControlResources();
    setFixedSize(36, 22);
    setMouseTracking(true);
    FDropArrow = QPixmap(":/controls/INPL_TOOLDOWN.png");
    FPopup = new TPopupColor(this);
    FPopup->hide();
    FPopup->OnCloseUp = [this](TInplacePopup*, bool Accepted) {
        SetDropped(false);
        if (FDrawState == dsArrowDown)
            SetDrawState(underMouse() ? dsHot : dsNormal);
        if (Accepted) {
            SetColor(FPopup->Color);
            if (OnColorChange)
                OnColorChange(this);
        }
    };
}

void TColorToolButton::SetColor(TColor NewColor)
{
    if (NewColor == FColor)
        return;
    FColor = NewColor;
    update();
}

void TColorToolButton::SetButtonEnabled(bool Enabled)
{
    if (Enabled == FButtonEnabled)
        return;
    FButtonEnabled = Enabled;
    if (!Enabled)
        SetDropped(false);
    SetDrawState(Enabled ? dsNormal : dsDisabled);
}

void TColorToolButton::SetDropped(bool NewDropped)
{
    if (NewDropped == FDropped)
        return;
    FDropped = NewDropped;
    if (NewDropped) {
        FPopup->Color = FColor;
        FPopup->UpdatePosition();
        FPopup->show();
    } else {
        FPopup->hide();
    }
}

void TColorToolButton::SetGlyph(const QPixmap& NewGlyph)
{
    FGlyph = NewGlyph;
    FGlyphImage = QPixmap();
    if (!NewGlyph.isNull()) {
        FGlyphImage = QPixmap(NewGlyph.size());
        FGlyphImage.fill(Qt::transparent);
        QPainter P(&FGlyphImage);
        P.drawPixmap(0, 0, NewGlyph);
    }
    update();
}

void TColorToolButton::SetDrawState(int State)
{
    if (State == FDrawState)
        return;
    FDrawState = State;
    update();
}

void TColorToolButton::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    const int W = width(), H = height();
    const QRect ButtonPart(0, 0, W - 13, H), ArrowPart(W - 13, 0, 13, H);
    const QColor Light = ToQColor(clBtnHighlight), Shadow = ToQColor(clBtnShadow);
    auto Frame = [&](const QRect& R, bool Sunken) {
        P.setPen(Sunken ? Shadow : Light);
        P.drawLine(R.topLeft(), R.topRight());
        P.drawLine(R.topLeft(), R.bottomLeft());
        P.setPen(Sunken ? Light : Shadow);
        P.drawLine(R.bottomLeft(), R.bottomRight());
        P.drawLine(R.topRight(), R.bottomRight());
    };
    auto Arrow = [&](int X, int Y) { P.drawPixmap(X, Y, FDropArrow); };
    const int GlyphX = (W - 13 - FGlyphImage.width()) / 2, GlyphY = (H - FGlyphImage.height()) / 2;
    const int ArrowX = W - 10, ArrowY = (H - 3) / 2;

    // greyed also while the tool bar that holds it is disabled
    if (FDrawState == dsDisabled || !isEnabled()) {
        if (!FGlyphImage.isNull())
            P.drawPixmap(GlyphX, GlyphY,
                         QIcon(FGlyphImage).pixmap(FGlyphImage.size(), QIcon::Disabled));
        P.drawPixmap(W - 9, ArrowY, QIcon(FDropArrow).pixmap(FDropArrow.size(), QIcon::Disabled));
        return;
    }
    int Shift = 0;
    switch (FDrawState) {
    case dsHot:
        Frame(ButtonPart, false);
        Frame(ArrowPart, false);
        Arrow(ArrowX, ArrowY);
        break;
    case dsButtonDown:
        Frame(ButtonPart, true);
        Frame(ArrowPart, true);
        Arrow(ArrowX + 1, ArrowY + 1);
        Shift = 1;
        break;
    case dsArrowDown:
        Frame(ButtonPart, false);
        Frame(ArrowPart, true);
        Arrow(ArrowX + 1, ArrowY + 1);
        break;
    default:
        Arrow(ArrowX, ArrowY);
        break;
    }
    if (!FGlyphImage.isNull())
        P.drawPixmap(GlyphX + Shift, GlyphY + Shift, FGlyphImage);
    const QRect Bar = QRect(QPoint(4, H - 7), QPoint(W - 18, H - 4)).translated(Shift, Shift);
    if (FColor == clNone) {
        P.setBrush(ToQColor(clBtnFace));
        P.setPen(Shadow);
        P.drawRect(Bar.adjusted(0, 0, -1, -1));
    } else {
        P.fillRect(Bar, ToQColor(FColor));
    }
}

void TColorToolButton::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton || !FButtonEnabled)
        return;
    if (Event->position().x() >= width() - 13) {
        SetDrawState(dsArrowDown);
        SetDropped(!FDropped);
    } else {
        SetDrawState(dsButtonDown);
        if (OnButtonClick)
            OnButtonClick(this);
    }
}

void TColorToolButton::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && FButtonEnabled)
        SetDrawState(dsHot);
}

void TColorToolButton::mouseMoveEvent(QMouseEvent*)
{
    if (FButtonEnabled && FDrawState == dsNormal)
        SetDrawState(dsHot);
}

void TColorToolButton::leaveEvent(QEvent*)
{
    if (FButtonEnabled && !FDropped)
        SetDrawState(dsNormal);
}

// ------------------------------------------------------------------ TColorPopupDialog

TColorPopupDialog::TColorPopupDialog(QObject* Owner) : QObject(Owner), FPopup(new TPopupColor(nullptr))
{
    FPopup->OnCloseUp = [this](TInplacePopup*, bool Accepted) {
        FAccepted = Accepted;
        FRunning = false;
    };
}

TColorPopupDialog::~TColorPopupDialog()
{
    delete FPopup.data();
}

void TColorPopupDialog::SetColor(TColor Color)
{
    FPopup->Color = Color;
}

void TColorPopupDialog::SetColorText(const QString& Text)
{
    FPopup->ColorText = Text;
}

QString TColorPopupDialog::GetColorText() const
{
    return FPopup->ColorText;
}

TColor TColorPopupDialog::GetColor() const
{
    return FPopup->Color;
}

bool TColorPopupDialog::Execute(QWidget* Control)
{
    if (FRunning)
        return false;
    // A window of the host keeps the popup above it and reachable from a modal dialog.
    QWidget* Host = PopupParent ? PopupParent : Control;
    FPopup->setParent(Host ? Host->window() : nullptr, FPopup->windowFlags());
    FPopup->SetControlParent(Host);
    FPopup->PlaceUnder(Control);
    FAccepted = false;
    FRunning = true;
    FPopup->show();
    QEventLoop Loop;
    while (FRunning && FPopup)
        Loop.processEvents(QEventLoop::WaitForMoreEvents);
    FRunning = false;
    if (FPopup)
        FPopup->setParent(nullptr, FPopup->windowFlags());
    return FAccepted;
}

}  // namespace zv
