#pragma once
// The About window: the program's name and version and two links (the feedback address and
// the web site), grey until the mouse is over them.

#include <QDialog>
#include <QUrl>
#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class FormAbout;
}

namespace zv {

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* MailUrl = "mailto:feedback@zandovell.example";
    static constexpr const char* SiteUrl = "https://www.zandovell.example/";

    explicit TFormAbout(QWidget* Parent = nullptr);
    ~TFormAbout() override;

    // Opens a link; the main window's opener.
    std::function<bool(const QUrl&)> OpenUrl;
    QLabel* Link(int Tag) const;
    bool Highlighted(int Tag) const;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Highlight(int Tag);
    std::unique_ptr<Ui::FormAbout> Form;
};

}  // namespace zv
