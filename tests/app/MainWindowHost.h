#pragma once
// The main window under test: its own settings folder, scripted dialogs, and helpers that
// drive it with mouse and key events.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ComboBox97.h"
#include "EntityViewer.h"
#include "FontComboBox97.h"
#include "HtmlInplace.h"
#include "IniUtils.h"
#include "ToolManager.h"
#include "UnitMain.h"
#include "support/PageDriver.h"
#include "support/TempFiles.h"
#include "ui_UnitMain.h"

namespace zv::test {

// Answers queued by the test; an empty queue cancels.
struct TScriptedUi : IMainWindowUi {
    std::deque<std::string> OpenNames, SaveNames;
    std::deque<TSaveAnswer> SaveAnswers, InfoAnswers;
    std::vector<std::string> Prompts, Errors;

    static bool Take(std::deque<std::string>& Queue, std::string& Name)
    {
        Name = Queue.empty() ? std::string() : Queue.front();
        if (!Queue.empty()) Queue.pop_front();
        return !Name.empty();
    }
    static TSaveAnswer Take(std::deque<TSaveAnswer>& Queue)
    {
        const TSaveAnswer A = Queue.empty() ? TSaveAnswer::Cancel : Queue.front();
        if (!Queue.empty()) Queue.pop_front();
        return A;
    }
    bool ExecuteOpenDialog(const std::string&, std::string& N) override { return Take(OpenNames, N); }
    bool ExecuteSaveDialog(const std::string&, std::string& N) override { return Take(SaveNames, N); }
    TSaveAnswer AskSave(const std::string& Text) override
    {
        Prompts.push_back(Text);
        return Take(SaveAnswers);
    }
    TSaveAnswer AskInformation(const std::string& Text) override
    {
        Prompts.push_back(Text);
        return Take(InfoAnswers);
    }
    void ShowError(const std::string& Text) override { Errors.push_back(Text); }
};

// Clicks the palette button of the first tool with that hint.
inline void ClickTool(TFormMain& W, const std::string& Hint)
{
    for (const auto& Tool : W.ToolManager->AllTools()) {
        if (Tool->Hint != Hint) continue;
        const QPoint At((Tool->ButtonRect.Left + Tool->ButtonRect.Right) / 2,
                        (Tool->ButtonRect.Top + Tool->ButtonRect.Bottom) / 2);
        QTest::mousePress(W.ToolManager, Qt::LeftButton, {}, At);
        QTest::mouseRelease(W.ToolManager, Qt::LeftButton, {}, At);
        return;
    }
    ADD_FAILURE() << "no tool " << Hint;
}

class TMainWindowHost {
public:
    // Settings in Config (a folder holding "Zandovell/Config.ini" or not).
    explicit TMainWindowHost(const std::string& Config)
    {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Config));
        InitializeIniUtils();
        Window = std::make_unique<TFormMain>();
        Window->SetUi(&Ui);
        Window->OpenUrl = [this](const QUrl& Url) {
            Opened.push_back(Url.toString().toStdString());
            return true;
        };
        Window->show();
        QApplication::setActiveWindow(Window.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        WaitFor([this] { return Window->Designer->HasDocument(); });
    }
    ~TMainWindowHost()
    {
        if (Window) Window->hide();
        Window.reset();
    }

    TFormMain& W() { return *Window; }
    Ui::FormMain& F() { return Window->Form(); }
    THtmlDesigner& D() { return *Window->Designer; }

    QWidget* Button(QAction* Action)
    {
        for (QToolBar* Bar : {F().ToolStandard, F().ToolFormatting, F().ToolBlock})
            if (QWidget* B = Bar->widgetForAction(Action)) return B;
        return nullptr;
    }
    void Click(QAction* Action) { QTest::mouseClick(Button(Action), Qt::LeftButton); }
    void Tab(int Index)
    {
        QTabBar* Tabs = F().TabControl1;
        QTest::mouseClick(Tabs, Qt::LeftButton, {}, Tabs->tabRect(Index).center());
    }
    void Key(int Key, Qt::KeyboardModifiers Mods = {})
    {
        QWidget* Focus = QApplication::focusWidget();
        QTest::keyClick(Focus ? Focus : static_cast<QWidget*>(Window.get()), Qt::Key(Key), Mods);
    }
    // Types into the design view and waits until the page saw every key.
    void TypeInDesigner(const QString& Text)
    {
        // a dialog that closed leaves no window active offscreen
        QApplication::setActiveWindow(Window.get());
        D().focusProxy()->setFocus();
        WaitFor([&] { return D().focusProxy()->hasFocus(); });
        // keys reach the page only once the page itself has the focus, which under load
        // comes a while after the widget's
        WaitFor([&] { return PageEval(D(), "document.hasFocus()").toBool(); });
        EXPECT_TRUE(PageType(D(), Text)) << "typing " << Text.toStdString();
    }
    QString Body() { return PageEval(D(), "document.body.innerHTML").toString(); }
    // Opens Menu of the menu bar with a click on its title.
    QMenu* OpenMenu(QMenu* Menu)
    {
        QMenuBar* Bar = Window->menuBar();
        QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(Menu->menuAction()).center());
        EXPECT_TRUE(WaitFor([&] { return Menu->isVisible(); }));
        return Menu;
    }
    // Clicks Entry of the open Menu, through its submenu Sub when given.
    void Choose(QMenu* Menu, QAction* Entry, QMenu* Sub = nullptr)
    {
        QMenu* Open = Menu;
        if (Sub) {
            const QPoint At = Open->actionGeometry(Sub->menuAction()).center();
            QTest::mouseMove(Open, At);
            QTest::mouseClick(Open, Qt::LeftButton, {}, At);
            ASSERT_TRUE(WaitFor([&] { return Sub->isVisible(); }));
            Open = Sub;
        }
        QTest::mouseClick(Open, Qt::LeftButton, {}, Open->actionGeometry(Entry).center());
        EXPECT_TRUE(WaitFor([&] { return !Menu->isVisible(); }));
    }
    // The window as shown, with a popup open over it.
    void Shot(const QString& Name, QWidget* Popup = nullptr)
    {
        QApplication::processEvents();
        QPixmap Picture = Window->grab();
        if (Popup) QPainter(&Picture).drawPixmap(Window->mapFromGlobal(Popup->pos()), Popup->grab());
        Picture.save("/tmp/zv-mainwin-" + Name + ".png");
    }

    TScriptedUi Ui;
    std::vector<std::string> Opened;

private:
    std::unique_ptr<TFormMain> Window;
};

}  // namespace zv::test
