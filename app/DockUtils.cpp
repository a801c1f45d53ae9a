#include "DockUtils.h"

#include <QDataStream>
#include <QDockWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "IniFile.h"
#include "ScreenPlaces.h"
#include "WideText.h"

namespace zv {

namespace {

// The stored layout of one site: "ZVDS", a version, then per panel its name, its size, its
// visibility and the index of the panel it shares tabs with (-1 for none).
constexpr quint32 SiteMagic = 0x5A564453;
constexpr quint16 SiteVersion = 1;
constexpr int MaxSitePanels = 16;

struct TStoredPanel {
    QString Name;
    qint32 Width = 0;
    qint32 Height = 0;
    bool Visible = true;
    qint32 TabWith = -1;
};

bool Across(int Site) { return Site == SiteLeft || Site == SiteRight; }

QList<QDockWidget*> AllPanels(const QMainWindow* Window)
{
    return Window->findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

std::string Key(std::string_view Name, const char* Suffix) { return std::string(Name) + Suffix; }

}  // namespace

Qt::DockWidgetArea SiteArea(int Site)
{
    static const Qt::DockWidgetArea Areas[] = {Qt::TopDockWidgetArea, Qt::LeftDockWidgetArea,
                                               Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea};
    return Areas[std::clamp(Site, 0, HighestSite)];
}

int SiteOf(const QMainWindow* Window, const QDockWidget* Panel)
{
    if (Panel->isFloating()) return -1;
    switch (Window->dockWidgetArea(const_cast<QDockWidget*>(Panel))) {
    case Qt::TopDockWidgetArea: return SiteTop;
    case Qt::LeftDockWidgetArea: return SiteLeft;
    case Qt::RightDockWidgetArea: return SiteRight;
    case Qt::BottomDockWidgetArea: return SiteBottom;
    default: return -1;
    }
}

std::string StrToHex(std::string_view Text)
{
    static const char Digits[] = "0123456789ABCDEF";
    std::string Result;
    Result.reserve(Text.size() * 2);
    for (unsigned char C : Text) {
        Result += Digits[C >> 4];
        Result += Digits[C & 15];
    }
    return Result;
}

std::string HexToStr(std::string_view Text)
{
    std::string Result;
    Result.reserve(Text.size() / 2);
    for (size_t I = 0; I + 1 < Text.size(); I += 2) {
        const int High = HexDigit(static_cast<unsigned char>(Text[I]));
        const int Low = HexDigit(static_cast<unsigned char>(Text[I + 1]));
        if (High < 0 || Low < 0)
            throw EConvertError("'$" + std::string(Text.substr(I, 2)) +
                                "' is not a valid integer value");
        Result += static_cast<char>(High * 16 + Low);
    }
    return Result;
}

std::vector<QDockWidget*> SitePanels(const QMainWindow* Window, int Site)
{
    std::vector<QDockWidget*> Panels;
    for (QDockWidget* Panel : AllPanels(Window))
        if (SiteOf(Window, Panel) == Site && !Panel->isHidden()) Panels.push_back(Panel);
    // along the site; hidden panels keep no place, so they go last in creation order
    std::stable_sort(Panels.begin(), Panels.end(), [Site](QDockWidget* A, QDockWidget* B) {
        return Across(Site) ? A->y() < B->y() : A->x() < B->x();
    });
    for (QDockWidget* Panel : AllPanels(Window))
        if (SiteOf(Window, Panel) == Site && Panel->isHidden()) Panels.push_back(Panel);
    return Panels;
}

int SiteSize(const QMainWindow* Window, int Site)
{
    int Size = 0;
    for (QDockWidget* Panel : SitePanels(Window, Site))
        if (!Panel->isHidden()) Size = std::max(Size, Across(Site) ? Panel->width() : Panel->height());
    return Size;
}

void GrowSite(QMainWindow* Window, QDockWidget* Panel, int Wanted)
{
    const int Site = SiteOf(Window, Panel);
    if (Site < 0 || Panel->isHidden()) return;
    int Visible = 0;
    for (QDockWidget* Other : SitePanels(Window, Site)) Visible += !Other->isHidden();
    if (Visible != 1) return;
    const int Own = Across(Site) ? Panel->sizeHint().width() : Panel->sizeHint().height();
    Window->resizeDocks({Panel}, {std::min(Wanted, std::max(Own, Wanted))},
                        Across(Site) ? Qt::Horizontal : Qt::Vertical);
}

// ---------------------------------------------------------------- panels

void SaveDockPanel(TIniFile& Ini, const QMainWindow* Window, const QDockWidget* Panel,
                   std::string_view Section)
{
    const int Site = SiteOf(Window, Panel);
    const bool Docked = !Panel->isFloating();
    const QRect Box = Panel->geometry();
    Ini.WriteBool(Section, "Docked", Docked);
    Ini.WriteInteger(Section, "Parent", Docked ? Site : -1);
    Ini.WriteInteger(Section, "Height", Box.height());
    Ini.WriteInteger(Section, "Width", Box.width());
    Ini.WriteInteger(Section, "Top", Box.top());
    Ini.WriteInteger(Section, "Left", Box.left());
    Ini.WriteBool(Section, "Visible", !Panel->isHidden());
    if (Docked && Site >= 0) {
        // orientation: 1 horizontal, 2 vertical; alignment: 1 top, 3 left
        Ini.WriteInteger(Section, "Orientation", Across(Site) ? 2 : 1);
        Ini.WriteInteger(Section, "Align", Across(Site) ? 1 : 3);
    }
}

bool LoadDockPanel(const TIniFile& Ini, QMainWindow* Window, QDockWidget* Panel,
                   std::string_view Section)
{
    if (!Ini.SectionExists(Section)) return false;
    const int Top = Ini.ReadInteger(Section, "Top", 200);
    const int Left = Ini.ReadInteger(Section, "Left", 200);
    const int Height = std::max(Ini.ReadInteger(Section, "Height", 200), 20);
    const int Width = std::max(Ini.ReadInteger(Section, "Width", 200), 20);
    const int Parent = std::min(Ini.ReadInteger(Section, "Parent", -1), HighestSite);
    const bool Visible = Ini.ReadBool(Section, "Visible", true);
    if (!Ini.ReadBool(Section, "Docked", true)) {
        // placed before it is shown: a window the window manager is still taking on gets the
        // size it was shown with back
        Panel->hide();
        Panel->setFloating(true);
        Panel->setGeometry(ClampToScreen(QRect(Left, Top, Width, Height)));
    } else if (Parent >= 0) {
        Panel->setFloating(false);
        Window->addDockWidget(SiteArea(Parent), Panel);
        Panel->resize(Width, Height);
    }
    Panel->setVisible(Visible);
    return true;
}

// ---------------------------------------------------------------- sites

void SaveDockSite(TIniFile& Ini, const QMainWindow* Window, int Site, std::string_view Section,
                  std::string_view Name)
{
    const std::vector<QDockWidget*> Panels = SitePanels(Window, Site);
    QByteArray Bytes;
    {
        QDataStream Out(&Bytes, QIODevice::WriteOnly);
        Out.setVersion(QDataStream::Qt_6_0);
        Out << SiteMagic << SiteVersion << qint32(Panels.size());
        for (QDockWidget* Panel : Panels) {
            qint32 TabWith = -1;
            const QList<QDockWidget*> Tabbed = Window->tabifiedDockWidgets(Panel);
            for (size_t K = 0; K < Panels.size() && TabWith < 0; ++K)
                if (Panels[K] != Panel && Tabbed.contains(Panels[K])) TabWith = qint32(K);
            Out << Panel->objectName() << qint32(Panel->width()) << qint32(Panel->height())
                << quint8(!Panel->isHidden()) << TabWith;
        }
    }
    Ini.WriteString(Section, Key(Name, " Data"),
                    StrToHex(std::string_view(Bytes.constData(), size_t(Bytes.size()))));
    const int Size = SiteSize(Window, Site);
    Ini.WriteInteger(Section, Key(Name, " Width"), Across(Site) ? Size : Window->width());
    Ini.WriteInteger(Section, Key(Name, " Height"), Across(Site) ? Window->height() : Size);
}

void LoadDockSite(const TIniFile& Ini, QMainWindow* Window, int Site, std::string_view Section,
                  std::string_view Name)
{
    const std::string Hex = Ini.ReadString(Section, Key(Name, " Data"), "");
    std::vector<TStoredPanel> Stored;
    if (!Hex.empty()) {
        const std::string Raw = HexToStr(Hex);
        QDataStream In(QByteArray(Raw.data(), qsizetype(Raw.size())));
        In.setVersion(QDataStream::Qt_6_0);
        quint32 Magic = 0;
        quint16 Version = 0;
        qint32 Count = -1;
        In >> Magic >> Version >> Count;
        if (Magic != SiteMagic || Version != SiteVersion || Count < 0 || Count > MaxSitePanels)
            throw EDockLayoutError("The stored dock site layout is not valid");
        for (int K = 0; K < Count; ++K) {
            TStoredPanel P;
            quint8 Visible = 0;
            In >> P.Name >> P.Width >> P.Height >> Visible >> P.TabWith;
            P.Visible = Visible;
            Stored.push_back(P);
        }
        if (In.status() != QDataStream::Ok)
            throw EDockLayoutError("The stored dock site layout is not valid");
        // every panel named must sit in this site already, each once
        for (size_t K = 0; K < Stored.size(); ++K) {
            QDockWidget* Panel = Window->findChild<QDockWidget*>(Stored[K].Name);
            if (!Panel || SiteOf(Window, Panel) != Site || Stored[K].TabWith >= qint32(K) ||
                Stored[K].TabWith < -1)
                throw EDockLayoutError("The stored dock site layout is not valid");
            for (size_t J = 0; J < K; ++J)
                if (Stored[J].Name == Stored[K].Name)
                    throw EDockLayoutError("The stored dock site layout is not valid");
        }
    }
    // the panels again in their order, then their sizes along the site and across it
    QList<QDockWidget*> Along;
    QList<int> Sizes;
    for (const TStoredPanel& P : Stored) {
        QDockWidget* Panel = Window->findChild<QDockWidget*>(P.Name);
        const bool Hidden = Panel->isHidden();
        if (P.TabWith >= 0) {
            Window->tabifyDockWidget(Window->findChild<QDockWidget*>(Stored[P.TabWith].Name), Panel);
        } else {
            Window->addDockWidget(SiteArea(Site), Panel,
                                  Across(Site) ? Qt::Vertical : Qt::Horizontal);
            if (!Hidden) {
                Along.append(Panel);
                Sizes.append(Across(Site) ? P.Height : P.Width);
            }
        }
        Panel->setHidden(Hidden);
    }
    if (Along.size() > 1)
        Window->resizeDocks(Along, Sizes, Across(Site) ? Qt::Vertical : Qt::Horizontal);
    const int Size = Ini.ReadInteger(Section, Key(Name, Across(Site) ? " Width" : " Height"), 200);
    QList<QDockWidget*> Visible;
    for (QDockWidget* Panel : SitePanels(Window, Site))
        if (!Panel->isHidden()) Visible.append(Panel);
    if (!Visible.isEmpty() && Size > 0)
        Window->resizeDocks({Visible.first()}, {Size}, Across(Site) ? Qt::Horizontal : Qt::Vertical);
}

// ---------------------------------------------------------------- grabber

TFineDockManager::TFineDockManager(QDockWidget* Panel) : QWidget(Panel), Panel(Panel)
{
    connect(Panel, &QDockWidget::featuresChanged, this, [this] { updateGeometry(); });
    // a panel that floats keeps its docked size, which may run off the screen: once it has
    // its place, it is made to fit the screen it is on
    connect(Panel, &QDockWidget::topLevelChanged, this, [this](bool Floating) {
        if (Floating)
            QTimer::singleShot(0, this, [this] {
                if (this->Panel->isFloating()) this->Panel->setGeometry(ClampToScreen(this->Panel->geometry()));
            });
    });
}

bool TFineDockManager::Vertical() const
{
    return Panel->features() & QDockWidget::DockWidgetVerticalTitleBar;
}

QSize TFineDockManager::sizeHint() const
{
    if (Panel->isFloating()) return {60, fontMetrics().height() + 4};
    return Vertical() ? QSize(12, 24) : QSize(24, 12);
}

QRect TFineDockManager::CrossRect() const
{
    if (Vertical()) return {1, 1, 11, 11};
    return {width() - 11, 1, 11, 11};
}

void TFineDockManager::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    DrawGrabber(P, 0, 0, width() - 1, height() - 1);
}

void TFineDockManager::DrawGrabber(QPainter& P, int L, int T, int R, int B)
{
    const QPalette& Pal = palette();
    auto Cross = [&](int X, int Y) {
        P.setPen(Qt::black);
        P.drawLine(X + 3, Y + 3, X + 8, Y + 8);
        P.drawLine(X + 3, Y + 7, X + 8, Y + 2);
    };
    auto Bar = [&](int Left, int Top, int Right, int Bottom) {
        P.setPen(Pal.color(QPalette::Light));
        P.drawLine(Right, Top, Left, Top);
        P.drawLine(Left, Top, Left, Bottom);
        P.setPen(Pal.color(QPalette::Dark));
        P.drawLine(Left, Bottom, Right, Bottom);
        P.drawLine(Right, Bottom, Right, Top - 1);
    };
    if (Panel->isFloating()) {
        // a floating panel shows its caption where the bars would be
        P.fillRect(rect(), Pal.color(QPalette::Window));
        P.setPen(Pal.color(QPalette::WindowText));
        P.drawText(rect().adjusted(4, 0, -14, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   Panel->windowTitle());
        Cross(R - 11, (B - T - 10) / 2);
        return;
    }
    if (Vertical()) {
        Cross(L + 1, T + 1);
        Bar(L + 3, T + 13, L + 5, B - 2);
        Bar(L + 6, T + 13, L + 8, B - 2);
    } else {
        Cross(R - 11, T + 1);
        Bar(L + 2, T + 3, R - 13, T + 5);
        Bar(L + 2, T + 6, R - 13, T + 8);
    }
}

void TFineDockManager::mousePressEvent(QMouseEvent* Event)
{
    QRect Cross = CrossRect();
    if (Panel->isFloating()) Cross = QRect(width() - 12, 0, 12, height());
    CrossPressed = Event->button() == Qt::LeftButton && Cross.contains(Event->position().toPoint());
    if (CrossPressed)
        Event->accept();
    else
        Event->ignore();  // the panel drags and floats
}

void TFineDockManager::mouseReleaseEvent(QMouseEvent* Event)
{
    if (!CrossPressed) {
        Event->ignore();
        return;
    }
    CrossPressed = false;
    Event->accept();
    Panel->close();
}

}  // namespace zv
