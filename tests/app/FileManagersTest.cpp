#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <functional>
#include <stdexcept>

#include "FileManagers.h"
#include "IniFile.h"
#include "support/TempFiles.h"

using namespace zv;
using namespace zv::test;

namespace {

std::string Touch(const TempDir& Dir, const std::string& Name)
{
    WriteAll(Dir / Name, "<html></html>");
    return Dir / Name;
}

// Scripted answers; records what was shown.
class FakeUi : public IFileManagerUi {
public:
    std::deque<TSaveAnswer> Answers;
    std::deque<std::string> Chosen;  // an empty entry cancels the dialog
    std::vector<std::string> Prompts, Errors, OpenDirs, SaveDirs;

    bool ExecuteOpenDialog(const std::string& InitialDir, std::string& FileName) override
    {
        OpenDirs.push_back(InitialDir);
        return Take(FileName);
    }
    bool ExecuteSaveDialog(const std::string& InitialDir, std::string& FileName) override
    {
        SaveDirs.push_back(InitialDir);
        return Take(FileName);
    }
    TSaveAnswer AskSave(const std::string& Text) override
    {
        Prompts.push_back(Text);
        const TSaveAnswer a = Answers.empty() ? TSaveAnswer::Cancel : Answers.front();
        if (!Answers.empty())
            Answers.pop_front();
        return a;
    }
    void ShowError(const std::string& Text) override { Errors.push_back(Text); }

private:
    bool Take(std::string& FileName)
    {
        if (Chosen.empty())
            return false;
        FileName = Chosen.front();
        Chosen.pop_front();
        return !FileName.empty();
    }
};

// A manager wired to the fake dialogs, logging its events.
struct Harness {
    FakeUi Ui;
    TFileManager Fm;
    std::vector<std::string> Log;
    bool NewResult = false;
    bool OpenResult = true;
    std::function<bool(const std::string&)> SaveHandler = [](const std::string&) { return true; };

    Harness()
    {
        Fm.Ui = &Ui;
        Fm.OnNew = [this](TFileManager*) { Log.push_back("new"); return NewResult; };
        Fm.OnOpen = [this](TFileManager*, const std::string& n) {
            Log.push_back("open " + n);
            return OpenResult;
        };
        Fm.OnSave = [this](TFileManager*, const std::string& n) {
            Log.push_back("save " + n);
            return SaveHandler(n);
        };
        Fm.OnModified = [this](TFileManager* s) {
            Log.push_back(s->Modified() ? "modified" : "clean");
        };
        Fm.OnChangeFile = [this](TFileManager* s) { Log.push_back("file " + s->FileName()); };
    }
    std::vector<std::string> TakeLog() { return std::exchange(Log, {}); }
};

using Strings = std::vector<std::string>;

QStringList Captions(QMenu& Menu)
{
    QStringList out;
    for (QAction* a : Menu.actions())
        out << a->text();
    return out;
}

}  // namespace

TEST(FileManager, RecentListOrderAndBound)
{
    TFileManager fm;
    for (int i = 1; i <= 11; ++i)
        fm.AddToMRU("/d/f" + std::to_string(i));
    ASSERT_EQ(fm.RecentFiles.size(), 11u);  // trimmed before each insertion
    EXPECT_EQ(fm.RecentFiles.front(), "/d/f11");
    EXPECT_EQ(fm.RecentFiles.back(), "/d/f1");

    fm.AddToMRU("/d/f12");
    ASSERT_EQ(fm.RecentFiles.size(), 11u);
    EXPECT_EQ(fm.RecentFiles.front(), "/d/f12");
    EXPECT_EQ(fm.RecentFiles.back(), "/d/f2");  // the oldest went

    // An entry already listed, in any case, moves to the top in the case now given.
    fm.AddToMRU("/D/F5");
    ASSERT_EQ(fm.RecentFiles.size(), 11u);
    EXPECT_EQ(fm.RecentFiles[0], "/D/F5");
    EXPECT_EQ(fm.RecentFiles[1], "/d/f12");
    EXPECT_EQ(std::count(fm.RecentFiles.begin(), fm.RecentFiles.end(), "/d/f5"), 0);
    EXPECT_EQ(fm.RecentFiles.back(), "/d/f2");

    TFileManager unbounded;
    unbounded.MaxMRUCount = 0;
    for (int i = 0; i < 30; ++i)
        unbounded.AddToMRU("/x" + std::to_string(i));
    EXPECT_EQ(unbounded.RecentFiles.size(), 30u);
}

TEST(FileManager, RecentMenu)
{
    TFileManager fm;
    QMenu menu;
    QAction* other = menu.addAction("Other");
    fm.BuildMRUMenu(&menu);  // an empty list adds nothing
    EXPECT_EQ(Captions(menu), QStringList{"Other"});

    for (int i = 11; i >= 1; --i)
        fm.AddToMRU("/d/f" + std::to_string(i) + ".html");
    fm.AddToMRU("/d/R&D & more.html");
    fm.BuildMRUMenu(&menu);
    fm.BuildMRUMenu(&menu);  // a rebuild replaces the earlier set
    const QStringList captions = Captions(menu);
    ASSERT_EQ(captions.size(), 12);
    EXPECT_EQ(captions[0], "Other");
    EXPECT_EQ(captions[1], "1 - /d/R&&D && more.html");
    EXPECT_EQ(captions[2], "2 - /d/f1.html");
    EXPECT_EQ(captions[9], "9 - /d/f8.html");
    EXPECT_EQ(captions[10], "A - /d/f9.html");
    EXPECT_EQ(captions[11], "B - /d/f10.html");
    EXPECT_EQ(menu.actions()[0], other);
    for (int i = 1; i < 12; ++i) {
        EXPECT_EQ(menu.actions()[i]->data().toInt(), i - 1);
        EXPECT_EQ(menu.actions()[i]->property("HelpContext").toInt(), TFileManager::MRUMarker);
    }

    fm.RecentFiles.resize(1);
    fm.BuildMRUMenu(&menu);
    EXPECT_EQ(Captions(menu), (QStringList{"Other", "1 - /d/R&&D && more.html"}));
}

TEST(FileManager, RecentListInSettings)
{
    TempDir dir;
    TIniFile ini(dir.Path + "/Config.ini");
    TFileManager fm;
    fm.RecentFiles = {"/old"};
    // Gaps: a missing and an empty item are skipped without a hole; Count bounds the reading.
    ini.WriteInteger("Recents", "Count", 5);
    ini.WriteString("Recents", "Item0", "/a.html");
    ini.WriteString("Recents", "Item2", "/c.html");
    ini.WriteString("Recents", "Item3", "");
    ini.WriteString("Recents", "Item4", "/a.html");
    ini.WriteString("Recents", "Item5", "/beyond.html");
    fm.LoadMRU(ini, "recents");
    EXPECT_EQ(fm.RecentFiles, (Strings{"/a.html", "/c.html", "/a.html"}));

    // Saving rewrites the section with exactly the list.
    fm.RecentFiles = {"/x y.html", "/a&b.htm"};
    fm.SaveMRU(ini, "Recents");
    EXPECT_EQ(ReadAll(ini.FileName()), "[Recents]\nCount=2\nItem0=/x y.html\nItem1=/a&b.htm\n");
    TFileManager again;
    again.LoadMRU(ini, "Recents");
    EXPECT_EQ(again.RecentFiles, fm.RecentFiles);

    // Garbage in the section.
    WriteAll(ini.FileName(), "[Recents]\nCount=many\nItem0=/z\n");
    again.LoadMRU(ini, "Recents");
    EXPECT_TRUE(again.RecentFiles.empty());
    WriteAll(ini.FileName(), "[Recents]\nCount=-3\n");
    again.LoadMRU(ini, "Recents");
    EXPECT_TRUE(again.RecentFiles.empty());
}

TEST(FileManager, ModifiedFlagAndEvents)
{
    Harness h;
    h.Fm.New();
    EXPECT_EQ(h.TakeLog(), (Strings{"new", "clean", "file "}));
    EXPECT_TRUE(h.Ui.Prompts.empty());

    h.Fm.SetModified(true);
    h.Fm.SetModified(true);  // no change, no event
    EXPECT_EQ(h.TakeLog(), Strings{"modified"});
    h.Fm.SetModified(false);
    EXPECT_EQ(h.TakeLog(), Strings{"clean"});

    // OnNew's answer becomes the flag; NotifyChange reports even an unchanged flag.
    h.NewResult = true;
    h.Fm.New();
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_EQ(h.TakeLog(), (Strings{"new", "modified", "file "}));
    h.Fm.OnNew = nullptr;
    h.Ui.Answers = {TSaveAnswer::No};
    h.Fm.New();
    EXPECT_FALSE(h.Fm.Modified());
    EXPECT_EQ(h.Ui.Prompts, Strings{"File was modified. Do you want to save it first?"});
}

TEST(FileManager, SavePromptPaths)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html");
    const std::string b = Touch(dir, "b.html");
    Harness h;
    h.Fm.OpenFile(a);
    EXPECT_EQ(h.Fm.FileName(), a);
    EXPECT_EQ(h.TakeLog(), (Strings{"open " + a, "clean", "file " + a}));
    EXPECT_TRUE(h.Fm.CanClose());  // unmodified: no prompt
    EXPECT_TRUE(h.Ui.Prompts.empty());

    // Cancel: nothing happens.
    h.Fm.SetModified(true);
    h.TakeLog();
    h.Ui.Answers = {TSaveAnswer::Cancel};
    h.Fm.New();
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_EQ(h.Fm.FileName(), a);
    EXPECT_TRUE(h.Fm.Modified());
    h.Ui.Answers = {TSaveAnswer::Cancel};
    EXPECT_FALSE(h.Fm.CanClose());

    // Yes: the named document is saved, then the next one opens.
    h.Ui.Answers = {TSaveAnswer::Yes};
    h.Ui.Chosen = {b};
    h.Fm.Open();
    EXPECT_EQ(h.TakeLog(), (Strings{"save " + a, "clean", "file " + a, "open " + b, "clean",
                                    "file " + b}));
    EXPECT_EQ(h.Ui.OpenDirs, Strings{""});
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, a}));

    // No: changes are dropped.
    h.Fm.SetModified(true);
    h.TakeLog();
    h.Ui.Answers = {TSaveAnswer::No};
    h.Fm.New();
    EXPECT_EQ(h.TakeLog(), (Strings{"new", "clean", "file "}));
    EXPECT_EQ(h.Fm.FileName(), "");

    // Yes on an unnamed document whose save dialog is cancelled: stays unnamed and modified,
    // and the window may not close.
    h.Fm.SetModified(true);
    h.TakeLog();
    h.Ui.Answers = {TSaveAnswer::Yes};
    h.Ui.Chosen = {""};
    EXPECT_FALSE(h.Fm.CanClose());
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_EQ(h.Ui.SaveDirs, Strings{""});

    // Yes, then a name: saved under it, and the open dialog starts in the last folder used.
    const std::string c = dir.Path + "/c.html";
    h.Ui.Answers = {TSaveAnswer::Yes};
    h.Ui.Chosen = {c, ""};
    h.Fm.Open();
    EXPECT_EQ(h.TakeLog(), (Strings{"save " + c, "clean", "file " + c}));
    EXPECT_EQ(h.Fm.FileName(), c);
    EXPECT_EQ(h.Ui.OpenDirs.back(), dir.Path + "/");
    EXPECT_EQ(h.Ui.SaveDirs, (Strings{"", ""}));
}

TEST(FileManager, FailedSavesChangeNothing)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html");
    const std::string b = dir.Path + "/b.html";
    Harness h;
    h.Fm.New();
    h.Fm.SetModified(true);
    h.TakeLog();

    // The handler refuses: the unnamed document stays unnamed.
    h.SaveHandler = [](const std::string&) { return false; };
    h.Ui.Chosen = {b};
    EXPECT_FALSE(h.Fm.Save());
    EXPECT_EQ(h.TakeLog(), Strings{"save " + b});
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_TRUE(h.Fm.RecentFiles.empty());

    // The handler raises: the message is shown, the save answers false.
    h.SaveHandler = [](const std::string& n) -> bool {
        throw std::runtime_error("Cannot create file \"" + n + "\".");
    };
    h.Ui.Chosen = {b};
    h.Ui.Answers = {TSaveAnswer::Yes};
    EXPECT_FALSE(h.Fm.CanClose());
    EXPECT_EQ(h.Ui.Errors, Strings{"Cannot create file \"" + b + "\"."});
    EXPECT_EQ(h.Fm.FileName(), "");
    EXPECT_TRUE(h.Fm.Modified());

    // Save As that fails keeps the old name; one that succeeds takes the new name.
    h.SaveHandler = [](const std::string&) { return true; };
    h.Fm.OpenFile(a);
    h.Fm.SetModified(true);
    h.SaveHandler = [](const std::string&) { return false; };
    h.Ui.Chosen = {b};
    h.Fm.SaveAs();
    EXPECT_EQ(h.Fm.FileName(), a);
    EXPECT_TRUE(h.Fm.Modified());
    EXPECT_EQ(h.Fm.RecentFiles, Strings{a});
    EXPECT_EQ(h.Ui.SaveDirs.back(), dir.Path + "/");  // the folder of the last chosen name
    h.Fm.SaveAs();  // cancelled
    h.SaveHandler = [](const std::string&) { return true; };
    h.TakeLog();
    h.Ui.Chosen = {b};
    h.Fm.SaveAs();
    EXPECT_EQ(h.TakeLog(), (Strings{"save " + b, "clean", "file " + b}));
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, a}));
    EXPECT_TRUE(h.Fm.Save());  // named: no dialog
    EXPECT_TRUE(h.Ui.Chosen.empty());

    // Without a save handler nothing counts as saved.
    h.Fm.OnSave = nullptr;
    h.Fm.SetModified(true);
    EXPECT_FALSE(h.Fm.Save());
    EXPECT_TRUE(h.Fm.Modified());
}

TEST(FileManager, OpeningAndRecentItems)
{
    TempDir dir;
    const std::string a = Touch(dir, "a.html");
    const std::string b = Touch(dir, "b.html");
    const std::string gone = dir.Path + "/gone.html";
    Harness h;

    h.Fm.OpenFile(gone);
    h.Fm.OpenFile(dir.Path);  // a folder is no file
    EXPECT_EQ(h.Ui.Errors,
              (Strings{"Unable to locate the file. It might be deleted or moved.\n" + gone,
                       "Unable to locate the file. It might be deleted or moved.\n" + dir.Path}));
    EXPECT_TRUE(h.TakeLog().empty());

    // A refused or failing open changes nothing.
    h.OpenResult = false;
    h.Fm.OpenFile(a);
    EXPECT_EQ(h.TakeLog(), Strings{"open " + a});
    EXPECT_EQ(h.Fm.FileName(), "");
    h.Fm.OnOpen = [](TFileManager*, const std::string&) -> bool {
        throw std::runtime_error("Unreadable");
    };
    h.Fm.OpenFile(a);
    EXPECT_EQ(h.Ui.Errors.back(), "Unreadable");
    EXPECT_TRUE(h.Fm.RecentFiles.empty());

    h.Fm.OnOpen = [&](TFileManager*, const std::string& n) {
        h.Log.push_back("open " + n);
        return true;
    };
    h.Fm.RecentFiles = {gone, b, a};
    QMenu menu;
    h.Fm.BuildMRUMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 3);
    QAction* first = menu.actions()[0];
    QAction* second = menu.actions()[1];
    QAction* third = menu.actions()[2];

    // A missing recent file is reported and dropped from the list.
    first->trigger();
    EXPECT_EQ(h.Ui.Errors.back(), "Unable to locate the file. It might be deleted or moved.\n" + gone);
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{b, a}));
    // The menu is stale now: the third item points past the end and does nothing.
    third->trigger();
    EXPECT_TRUE(h.TakeLog().empty());
    second->trigger();  // index 1 is now a
    EXPECT_EQ(h.TakeLog(), (Strings{"open " + a, "clean", "file " + a}));
    EXPECT_EQ(h.Fm.RecentFiles, (Strings{a, b}));

    // A modified document asks first; Cancel stops the click.
    h.Fm.BuildMRUMenu(&menu);
    h.Fm.SetModified(true);
    h.TakeLog();
    h.Ui.Answers = {TSaveAnswer::Cancel};
    menu.actions()[1]->trigger();
    EXPECT_TRUE(h.TakeLog().empty());
    EXPECT_EQ(h.Fm.FileName(), a);
}

// The Qt dialogs, driven from a timer while they run modally.
namespace {

void WhenModal(std::function<void(QWidget*)> Act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, Act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> guard(w);
            Act(w);
            // A dialog the action failed to close would block the test: close it.
            if (auto* d = qobject_cast<QDialog*>(guard.data()); d && d->isVisible())
                d->reject();
        }
    });
    timer->start();
}

}  // namespace

TEST(FileManagerDialogs, MessageBoxes)
{
    TFileManagerDialogs ui;
    const std::pair<QMessageBox::StandardButton, TSaveAnswer> cases[] = {
        {QMessageBox::Yes, TSaveAnswer::Yes},
        {QMessageBox::No, TSaveAnswer::No},
        {QMessageBox::Cancel, TSaveAnswer::Cancel}};
    for (const auto& [button, answer] : cases) {
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModal([&, button = button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            text = box->text();
            icon = box->icon();
            box->button(button)->click();
        });
        EXPECT_EQ(ui.AskSave(TFileManager::SaveFirstText), answer);
        EXPECT_EQ(text, "File was modified. Do you want to save it first?");
        EXPECT_EQ(icon, QMessageBox::Warning);
    }
    // Escape counts as Cancel.
    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(ui.AskSave("?"), TSaveAnswer::Cancel);

    QString shown;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->button(QMessageBox::Ok)->click();
    });
    ui.ShowError("Unable to locate the file.");
    EXPECT_EQ(shown, "Unable to locate the file.");
}

TEST(FileManagerDialogs, FileDialogs)
{
    TempDir dir;
    const std::string existing = Touch(dir, "page.htm");
    TFileManagerDialogs ui;
    std::string name;

    QString startDir;
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        startDir = dialog->directory().absolutePath();
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->nameFilters().size(), 4);
        dialog->selectFile(QString::fromStdString(existing));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(ui.ExecuteOpenDialog(dir.Path + "/", name));
    EXPECT_EQ(name, existing);
    EXPECT_EQ(startDir, QString::fromStdString(dir.Path));

    // The save dialog adds the default suffix.
    WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        // The focused name field is what a user types into.
        const auto edits = dialog->findChildren<QLineEdit*>();
        ASSERT_EQ(edits.size(), 1);
        edits.front()->setText(QStringLiteral("new"));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(ui.ExecuteSaveDialog(dir.Path, name));
    EXPECT_EQ(name, dir.Path + "/new.html");

    name = "unchanged";
    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(ui.ExecuteSaveDialog(dir.Path, name));
    EXPECT_EQ(name, "unchanged");
}
