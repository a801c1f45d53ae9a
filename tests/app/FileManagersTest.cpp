#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <stdexcept>

#include "FileManagers.h"
#include "IniFile.h"
#include "support/TempFiles.h"
#include "support/WaitFor.h"

using namespace zv;
using namespace zv::test;
using Strings = std::vector<std::string>;

namespace {

// Scripted dialogs; an empty chosen name cancels a file dialog. Each dialog's folder and the
// name it offers are noted.
struct FakeUi : IFileManagerUi {
    std::deque<TSaveAnswer> Answers;
    std::deque<std::string> Chosen;
    Strings Prompts, Errors, Dirs;

    bool Choose(const std::string& Dir, std::string& Name)
    {
        Dirs.push_back(Dir + Name);
        Name = Chosen.empty() ? "" : Chosen.front();
        if (!Chosen.empty())
            Chosen.pop_front();
        return !Name.empty();
    }
    bool ExecuteOpenDialog(const std::string& D, std::string& N) override { return Choose(D, N); }
    bool ExecuteSaveDialog(const std::string& D, std::string& N) override { return Choose(D, N); }
    TSaveAnswer AskSave(const std::string& Text) override
    {
        Prompts.push_back(Text);
        const TSaveAnswer a = Answers.empty() ? TSaveAnswer::Cancel : Answers.front();
        if (!Answers.empty())
            Answers.pop_front();
        return a;
    }
    void ShowError(const std::string& Text) override { Errors.push_back(Text); }
};

// A manager wired to the fake dialogs, logging its events.
struct Harness {
    FakeUi Ui;
    TFileManager Fm;
    Strings Log;
    bool Result = true;  // what OnOpen and OnSave answer

    Harness()
    {
        Fm.Ui = &Ui;
        Fm.OnOpen = [this](TFileManager*, const std::string& n) { return Call("open " + n); };
        Fm.OnSave = [this](TFileManager*, const std::string& n) { return Call("save " + n); };
        Fm.OnNew = [this](TFileManager*) { return !Call("new"); };
        Fm.OnModified = [this](TFileManager* s) { Log.push_back(s->Modified() ? "mod" : "clean"); };
        Fm.OnChangeFile = [this](TFileManager* s) { Log.push_back("file " + s->FileName()); };
    }
    bool Call(const std::string& What)
    {
        Log.push_back(What);
        return Result;
    }
    Strings TakeLog() { return std::exchange(Log, {}); }
};

std::string Touch(const TempDir& Dir, const std::string& Name)
{
    WriteAll(Dir / Name, "<html></html>");
    return Dir / Name;
}

const std::string NotFound = "Unable to locate the file. It might be deleted or moved.\n";

// For as long as it lives, the user's home is a new empty folder.
struct TempHome : TempDir {
    QByteArray Old = qgetenv("HOME");
    TempHome() { qputenv("HOME", QByteArray::fromStdString(Path)); }
    ~TempHome() { qputenv("HOME", Old); }
};

}  // namespace

TEST(FileManager, RecentFilesListMenuAndSettings)
{
    TFileManager fm;
    for (int i = 1; i <= 12; ++i)
        fm.AddToMRU("/d/f" + std::to_string(i));
    // Trimmed to the bound before each insertion: 11 names, most recent first.
    ASSERT_EQ(fm.RecentFiles.size(), 11u);
    EXPECT_EQ(fm.RecentFiles.front(), "/d/f12");
    EXPECT_EQ(fm.RecentFiles.back(), "/d/f2");
    fm.AddToMRU("/D/F5");  // moves to the top in the case now given
    EXPECT_EQ(fm.RecentFiles[0], "/D/F5");
    EXPECT_EQ(std::count(fm.RecentFiles.begin(), fm.RecentFiles.end(), "/d/f5"), 0);
    EXPECT_EQ(fm.RecentFiles.size(), 11u);

    QMenu menu;
    menu.addAction("Other");
    fm.AddToMRU("/d/R&D & more.html");
    fm.BuildMRUMenu(&menu);
    fm.BuildMRUMenu(&menu);  // a rebuild replaces the earlier set only
    QStringList captions;
    for (QAction* a : menu.actions())
        captions << a->text();
    ASSERT_EQ(captions.size(), 12);
    EXPECT_EQ(captions[0], "Other");
    EXPECT_EQ(captions[1], "1 - /d/R&&D && more.html");
    EXPECT_EQ(captions[9], "9 - /d/f6");
    EXPECT_EQ(captions[10], "A - /d/f4");
    EXPECT_EQ(captions[11], "B - /d/f3");
    // a deep path shows where it starts and the file's name, within the screen
    std::string deep = "/home/user";
    for (int i = 0; i < 12; ++i)
        deep += "/a-rather-long-folder-name-" + std::to_string(i);
    fm.AddToMRU(deep + "/R&D.html");
    fm.BuildMRUMenu(&menu);
    QAction* top = menu.actions()[1];
    EXPECT_TRUE(top->text().startsWith("1 - /home/user/a-rather")) << top->text().toStdString();
    EXPECT_TRUE(top->text().endsWith("/R&&D.html")) << top->text().toStdString();
    EXPECT_EQ(top->toolTip().toStdString(), deep + "/R&D.html");
    EXPECT_FALSE(menu.actions()[2]->text().contains(QChar(0x2026)));
    EXPECT_LT(menu.sizeHint().width(), 800);

    // Loading skips missing and empty items without leaving a hole; Count bounds it.
    TempDir dir;
    TIniFile ini(dir / "Config.ini");
    WriteAll(ini.FileName(), "[Recents]\nCount=5\nItem0=/a\nItem2=/c\nItem3=\nItem4=/a\nItem5=/x\n");
    fm.LoadMRU(ini, "recents");
    EXPECT_EQ(fm.RecentFiles, (Strings{"/a", "/c", "/a"}));
    // a count no menu can show reads as many names as the menu holds, at once
    std::string many = "[Recents]\nCount=2147483647\n";
    for (int i = 0; i < 40; ++i)
        many += "Item" + std::to_string(i) + "=/m" + std::to_string(i) + "\n";
    WriteAll(ini.FileName(), many);
    fm.LoadMRU(ini, "Recents");
    EXPECT_EQ(fm.RecentFiles.size(), 11u);
    EXPECT_EQ(fm.RecentFiles.back(), "/m10");
    fm.RecentFiles = {"/x y.html", "/a&b.htm"};
    fm.SaveMRU(ini, "Recents");
    EXPECT_EQ(ReadAll(ini.FileName()), "[Recents]\nCount=2\nItem0=/x y.html\nItem1=/a&b.htm\n");
}

TEST(FileManager, SavePromptAndModifiedFlag)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html"), b = Touch(dir, "b.html"), c = dir / "c.html";
    TempHome home;
    Harness h;
    h.Fm.New();  // OnNew answers the flag
    EXPECT_EQ(h.TakeLog(), (Strings{"new", "clean", "file "}));
    h.Fm.SetModified(true);
    h.Fm.SetModified(true);
    EXPECT_EQ(h.TakeLog(), Strings{"mod"});  // one event for one change

    // Cancel keeps everything; the window may not close.
    h.Ui.Answers = {TSaveAnswer::Cancel, TSaveAnswer::Cancel};
    h.Fm.New();
    EXPECT_FALSE(h.Fm.CanClose());
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_EQ(h.Ui.Prompts[0], "File was modified. Do you want to save it first?");

    // Yes with the save dialog cancelled: still unnamed and modified, the open is abandoned.
    h.Ui.Answers = {TSaveAnswer::Yes};
    h.Fm.Open();
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.Modified());

    // Yes with a name: saved under it, then the chosen file opens.
    h.Ui.Answers = {TSaveAnswer::Yes};
    h.Ui.Chosen = {c, a};
    h.Fm.Open();
    EXPECT_EQ(h.TakeLog(), (Strings{"save " + c, "clean", "file " + c, "open " + a, "clean",
                                    "file " + a}));
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{a, c}));

    // No drops the changes. Yes on a named document saves without a dialog.
    h.Fm.SetModified(true);
    h.Ui.Answers = {TSaveAnswer::No, TSaveAnswer::Yes};
    EXPECT_TRUE(h.Fm.CanClose());
    EXPECT_TRUE(h.Fm.Modified());
    h.TakeLog();
    h.Ui.Chosen = {b};
    h.Fm.Open();
    EXPECT_EQ(h.TakeLog(), (Strings{"save " + a, "clean", "file " + a, "open " + b, "clean",
                                    "file " + b}));
    // A new page is saved first in the user's home; then each dialog opens in the folder of
    // the page last opened or saved.
    EXPECT_EQ(h.Ui.Dirs, (Strings{home.Path + "/", home.Path + "/", dir.Path + "/", dir.Path + "/"}));
}

TEST(FileManager, FailedSavesChangeNothing)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html"), b = dir / "b.html";
    Harness h;
    h.Fm.SetModified(true);
    h.Result = false;
    h.Ui.Chosen = {b};
    EXPECT_FALSE(h.Fm.Save());
    EXPECT_EQ(h.Fm.FileName(), "");  // not named after a file it was never saved to
    EXPECT_TRUE(h.Fm.Modified());

    // A raising handler: its message is shown and the close is refused.
    h.Fm.OnSave = [](TFileManager*, const std::string& n) -> bool {
        throw std::runtime_error("Cannot create file \"" + n + "\".");
    };
    h.Ui.Chosen = {b};
    h.Ui.Answers = {TSaveAnswer::Yes};
    EXPECT_FALSE(h.Fm.CanClose());
    EXPECT_EQ(h.Ui.Errors, Strings{"Cannot create file \"" + b + "\"."});
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.Modified());

    // A failed Save As keeps the old name and flag; a good one takes the new name.
    h.Result = true;
    h.Fm.OnSave = [&h](TFileManager*, const std::string& n) { return h.Call("save " + n); };
    h.Fm.OpenFile(a);
    h.Fm.SetModified(true);
    h.Result = false;
    h.Ui.Chosen = {b};
    h.Fm.SaveAs();
    EXPECT_EQ(h.Fm.FileName(), a);
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_EQ(h.Fm.RecentFiles, Strings{a});
    h.Result = true;
    h.Ui.Chosen = {b};
    h.Fm.SaveAs();
    EXPECT_EQ(h.Fm.FileName(), b);
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, a}));
    // Save As offers the page's own folder and name
    EXPECT_EQ(h.Ui.Dirs.back(), a);
}

TEST(FileManager, OpeningFilesAndRecentItems)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html"), b = Touch(dir, "b.html"), gone = dir / "gone";
    Harness h;
    h.Fm.OpenFile(gone);
    h.Fm.OpenFile(dir.Path);  // a folder is no file
    EXPECT_EQ(h.Ui.Errors, (Strings{NotFound + gone, TFileManager::FolderText + ("\n" + dir.Path)}));
    h.Result = false;
    h.Fm.OpenFile(a);
    EXPECT_EQ(h.TakeLog(), Strings{"open " + a});
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.RecentFiles.empty());

    h.Result = true;
    h.Fm.RecentFiles = {gone, b, a};
    QMenu menu;
    h.Fm.BuildMRUMenu(&menu);
    const QList<QAction*> items = menu.actions();
    items[0]->trigger();  // missing: reported and dropped
    EXPECT_EQ(h.Ui.Errors.back(), NotFound + gone);
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, a}));
    items[2]->trigger();  // the stale menu points past the end now
    items[1]->trigger();  // index 1 is a now
    EXPECT_EQ(h.TakeLog(), (Strings{"open " + a, "clean", "file " + a}));
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{a, b}));

    h.Fm.SetModified(true);
    h.TakeLog();
    items[1]->trigger();  // the prompt answers Cancel
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_EQ(h.Ui.Prompts.size(), 1u);

    // A click on a recent file of the open menu while the document is modified: saving it at
    // the prompt moves its own name to the top, and the clicked file still opens.
    const std::string c = Touch(dir, "c.html");
    h.Fm.OpenFile(c);
    h.Fm.RecentFiles = {a, b, c};
    h.Fm.SetModified(true);
    h.TakeLog();
    h.Fm.BuildMRUMenu(&menu);
    menu.popup(QPoint(10, 10));
    QTRY_VERIFY(menu.isVisible());
    QAction* clicked = menu.actions()[1];
    ASSERT_TRUE(clicked->text().endsWith("b.html"));
    h.Ui.Answers = {TSaveAnswer::Yes};
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(clicked).center());
    EXPECT_EQ(h.TakeLog(),
              (Strings{"save " + c, "clean", "file " + c, "open " + b, "clean", "file " + b}));
    EXPECT_EQ(h.Fm.FileName(), b);
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, c, a}));
}

TEST(FileManagerDialogs, QtDialogs)
{
    TFileManagerDialogs ui;
    for (auto [button, answer] : {std::pair{QMessageBox::Yes, TSaveAnswer::Yes},
                                  std::pair{QMessageBox::No, TSaveAnswer::No},
                                  std::pair{QMessageBox::Cancel, TSaveAnswer::Cancel}}) {
        WhenModal([button = button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_TRUE(box && box->icon() == QMessageBox::Warning);
            EXPECT_EQ(box->text(), "File was modified. Do you want to save it first?");
            box->button(button)->click();
        });
        EXPECT_EQ(ui.AskSave(TFileManager::SaveFirstText), answer);
    }
    WhenModal([](QWidget*) {});  // closed without an answer
    EXPECT_EQ(ui.AskSave("?"), TSaveAnswer::Cancel);
    WhenModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box && box->icon() == QMessageBox::Critical);
        EXPECT_EQ(box->text(), "Gone");
    });
    ui.ShowError("Gone");

    TempDir dir;
    const std::string page = Touch(dir, "page.htm");
    std::string name;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog && dialog->fileMode() == QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), dir.Path);
        // typed, as selectFile() leaves the name field alone while it has the focus
        dialog->findChild<QLineEdit*>()->setText(QString::fromStdString(page));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(ui.ExecuteOpenDialog(dir.Path + "/", name));
    EXPECT_EQ(name, page);
    WhenModal([&](QWidget* w) {  // the save dialog adds the default suffix
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(dialog && dialog->acceptMode() == QFileDialog::AcceptSave);
        dialog->findChild<QLineEdit*>()->setText("new");
        static_cast<QDialog*>(dialog)->accept();
    });
    name.clear();
    EXPECT_TRUE(ui.ExecuteSaveDialog(dir.Path, name));
    EXPECT_EQ(name, dir / "new.html");
}

TEST(FileManagerDialogs, StartInTheUsersFolderThenWhereThePageIs)
{
    TempHome home;
    std::filesystem::create_directory(home / "Documents");
    TempDir dir;
    const std::string page = Touch(dir, "page.htm");
    TFileManagerDialogs ui;
    TFileManager fm;
    fm.Ui = &ui;
    fm.OnOpen = fm.OnSave = [](TFileManager*, const std::string&) { return true; };
    // where the next dialog opens and the name it offers; then the user cancels
    const auto Expect = [](const std::string& Folder, const std::string& Offered) {
        WhenModal([=](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->directory().absolutePath().toStdString(), Folder);
            EXPECT_EQ(dialog->findChild<QLineEdit*>()->text().toStdString(), Offered);
        });
    };

    // the first Open and the first save of a new page: the user's documents, no name
    Expect(home / "Documents", "");
    fm.Open();
    Expect(home / "Documents", "");
    EXPECT_FALSE(fm.Save());
    // once a page was opened, a new page is saved first in its folder
    fm.OpenFile(page);
    fm.New();
    Expect(dir.Path, "");
    EXPECT_FALSE(fm.Save());
    // Save As of a named page, twice in a row: its folder and its name
    fm.OpenFile(page);
    for (int K = 0; K < 2; ++K) {
        Expect(dir.Path, "page.htm");
        fm.SaveAs();
    }
    EXPECT_EQ(fm.FileName(), page);
}
