#pragma once
// The document's file: its name, its modified flag, new / open / save / save as with the
// save prompt, and the recent-files list with its menu. The document itself is loaded,
// created and saved by the owner through the events.

#include <QObject>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace zv {

class TIniFile;
class TFileManager;

enum class TSaveAnswer { Yes, No, Cancel };

// The dialogs the file manager shows; TFileManagerDialogs shows them with Qt.
class IFileManagerUi {
public:
    virtual ~IFileManagerUi() = default;
    // Runs the open (save) file dialog in InitialDir; the save dialog offers the name that
    // FileName holds (none when empty). Answers whether the user confirmed, with the chosen
    // full name in FileName.
    virtual bool ExecuteOpenDialog(const std::string& InitialDir, std::string& FileName) = 0;
    virtual bool ExecuteSaveDialog(const std::string& InitialDir, std::string& FileName) = 0;
    // A warning with Yes, No and Cancel; closing it answers Cancel.
    virtual TSaveAnswer AskSave(const std::string& Text) = 0;
    // An error with OK.
    virtual void ShowError(const std::string& Text) = 0;
};

// Modal Qt dialogs for HTML files (default suffix "html").
class TFileManagerDialogs : public IFileManagerUi {
public:
    explicit TFileManagerDialogs(QWidget* Parent = nullptr) : Parent(Parent) {}

    bool ExecuteOpenDialog(const std::string& InitialDir, std::string& FileName) override;
    bool ExecuteSaveDialog(const std::string& InitialDir, std::string& FileName) override;
    TSaveAnswer AskSave(const std::string& Text) override;
    void ShowError(const std::string& Text) override;

private:
    QWidget* Parent;
    bool ExecuteFileDialog(bool Save, const std::string& InitialDir, std::string& FileName);
};

class TFileManager : public QObject {
public:
    using TNotifyEvent = std::function<void(TFileManager* Sender)>;
    // Creates the empty document; the result becomes the modified flag.
    using TOnNewEvent = std::function<bool(TFileManager* Sender)>;
    // Loads or saves the named file; answers success. A handler may also raise an exception
    // derived from std::exception: its message is shown and the operation counts as failed.
    using TOnOpenSaveEvent = std::function<bool(TFileManager* Sender, const std::string& FileName)>;

    // Marks the menu items that BuildMRUMenu adds.
    static constexpr int MRUMarker = 0x19071977;
    // Recent files a menu holds when MaxMRUCount sets no bound.
    static constexpr int MRUMenuLimit = 64;
    // Recent-file names wider than this many average characters are cut in the middle.
    static constexpr int MRUCaptionChars = 70;
    static constexpr const char* SaveFirstText = "File was modified. Do you want to save it first?";
    static constexpr const char* NotFoundText =
        "Unable to locate the file. It might be deleted or moved.";
    static constexpr const char* FolderText = "Unable to open the file. It is a folder, not a regular file.";
    static constexpr const char* PipeText = "Unable to open the file. It is a pipe (FIFO), not a regular file.";
    static constexpr const char* LinkLoopText =
        "Unable to open the file. It is a symbolic link that leads back to itself, not a regular file.";
    static constexpr const char* NotRegularText =
        "Unable to open the file. It is a device or a socket, not a regular file.";

    explicit TFileManager(QObject* Owner = nullptr) : QObject(Owner) {}

    std::vector<std::string> RecentFiles;  // most recent first
    IFileManagerUi* Ui = nullptr;          // not owned; without it dialogs count as cancelled
    TNotifyEvent OnChangeFile;             // after every new, open and save
    TOnOpenSaveEvent OnOpen;
    TOnNewEvent OnNew;
    TOnOpenSaveEvent OnSave;
    TNotifyEvent OnModified;               // when the flag changes, and by NotifyChange
    int MaxMRUCount = 10;                  // 0 or less: no bound

    const std::string& FileName() const { return FFileName; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    void New();
    void Open();
    void OpenFile(const std::string& Name);
    bool Save();
    bool DoSave();
    void SaveAs();
    bool CanClose();
    void NotifyChange();
    bool CheckModified();

    void LoadMRU(const TIniFile& Ini, std::string_view Section);
    void SaveMRU(TIniFile& Ini, std::string_view Section);
    void AddToMRU(const std::string& Name);
    // Replaces the recent-file items this manager added to Parent earlier by the current list.
    void BuildMRUMenu(QMenu* Parent);
    void MRUItemClick(QAction* Sender);

private:
    std::string FFileName;
    bool FModified = false;
    // The open dialog's last confirmed file name: its folder is where the dialog opens next.
    std::string OpenDialogName;
    // The folder of the last page opened or saved, where a new page is saved.
    std::string LastFolder;

    // Why Name cannot be opened as a page (nil when it may be).
    static const char* Refusal(const std::string& Name);
    bool RunSaveDialog(std::string& Chosen);
    // The document is now the file Name, as it stands on disk.
    void TakeName(const std::string& Name);
    // Calls OnOpen / OnSave; an exception is shown and gives false. A file that holds no
    // page is named in the message.
    bool CallHandler(const TOnOpenSaveEvent& Handler, const std::string& Name);
    void ShowError(const std::string& Text);
};

}  // namespace zv
