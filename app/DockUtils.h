#pragma once
// The dock sites of the main window and the panels docked into them: the placement of each
// panel and the inner layout of each site are stored in the settings file, and a docked
// panel carries a flat grabber with a close cross instead of a title bar.

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "Exceptions.h"

class QDockWidget;
class QPainter;
class QMainWindow;

namespace zv {

class TIniFile;

// A stored site layout that cannot be applied.
class EDockLayoutError : public Exception { using Exception::Exception; };

// The four sites by their index: 0 top, 1 left, 2 right, 3 bottom.
constexpr int SiteTop = 0, SiteLeft = 1, SiteRight = 2, SiteBottom = 3, HighestSite = 3;
Qt::DockWidgetArea SiteArea(int Site);
// -1 for a floating panel or no area.
int SiteOf(const QMainWindow* Window, const QDockWidget* Panel);

// Each byte as two upper-case hexadecimal digits.
std::string StrToHex(std::string_view Text);
// Each pair of digits as one byte; an odd last character is ignored; a pair that is not
// hexadecimal raises EConvertError.
std::string HexToStr(std::string_view Text);

// The panels docked into Site, in their order along the site (tabbed panels by tab group).
std::vector<QDockWidget*> SitePanels(const QMainWindow* Window, int Site);
// The size of the site across its side (width of the left and right sites, height of the
// others); 0 when no panel is visible there.
int SiteSize(const QMainWindow* Window, int Site);
// Makes a site that just got its only visible panel 200 pixels deep (at most Wanted).
void GrowSite(QMainWindow* Window, QDockWidget* Panel, int Wanted = 200);

void SaveDockPanel(TIniFile& Ini, const QMainWindow* Window, const QDockWidget* Panel,
                   std::string_view Section);
// False, with nothing changed, when the section does not exist.
bool LoadDockPanel(const TIniFile& Ini, QMainWindow* Window, QDockWidget* Panel,
                   std::string_view Section);
void SaveDockSite(TIniFile& Ini, const QMainWindow* Window, int Site, std::string_view Section,
                  std::string_view Name);
// A damaged " Data" value raises (EConvertError, EDockLayoutError) before anything changes.
void LoadDockSite(const TIniFile& Ini, QMainWindow* Window, int Site, std::string_view Section,
                  std::string_view Name);

// The flat grabber of a docked panel, in place of its title bar: two raised bars and a close
// cross, along the top of the panel in the left and right sites and along its left side in
// the top and bottom ones. A floating panel shows its caption and the cross.
class TFineDockManager : public QWidget {
    Q_OBJECT
public:
    explicit TFineDockManager(QDockWidget* Panel);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Where the close cross is drawn, in the grabber's coordinates.
    QRect CrossRect() const;

protected:
    // Draws the grabber into the strip L, T, R, B.
    void DrawGrabber(QPainter& Painter, int L, int T, int R, int B);
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    bool Vertical() const;
    QDockWidget* Panel;
    bool CrossPressed = false;
};

}  // namespace zv
