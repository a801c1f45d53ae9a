// The main window driven as a user drives it: mouse and keys on the real window and engine.
#include <gtest/gtest.h>

#include <QDockWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTreeView>
#include <Qsci/qsciscintilla.h>

#include "MainWindowHost.h"
#include "TagTreeModel.h"

using namespace zv;
using namespace zv::test;

TEST(MainWindow, Explore)
{
    TempDir Config, Docs;
    TMainWindowHost H(Config.Path);
    H.Shot("first-run");
    WriteAll(Docs / "page.html",
             "<html><head><title>Trip</title></head><body><p id=\"a\">Hello world</p>"
             "<p>Greek \xCE\xB1\xCE\xB2\xCE\xB3 CJK \xE6\xBC\xA2\xE5\xAD\x97 emoji \xF0\x9F\x98\x80</p></body></html>");
    H.Ui.OpenNames.push_back(Docs / "page.html");
    H.Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return H.W().windowTitle() == "Zandovell - Trip"; }));
    std::cout << H.Body().toStdString() << "\n";
    std::cout << QString::fromStdU16String(H.D().GetHtml()).toStdString() << "\n";
}
