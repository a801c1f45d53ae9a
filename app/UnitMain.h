#pragma once
// The main window: the three views of the open document ("Designer", "HTML Code", "Tag
// Tree") over one stacked area, the menus, tool bars and formatting controls, the dockable
// panels and the status bar. The design view holds the document; the other two views are
// filled from it when entered and push their edits back when left.

#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FileManagers.h"
#include "HtmlDesigner.h"
#include "HtmlNodes.h"

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QToolButton;
class QsciLexerHTML;
class QsciScintilla;

namespace Ui {
class FormMain;
}

namespace zv {

class TColorToolButton;
class TComboBox97;
class TEntityView;
class TFontComboBox97;
class TFormAbout;
class TFormFind;
class TFormSpellCheck;
class TFormTemplate;
class TIconPack;
class TIconPackManager;
class TSpellChecker;
class TToolManager;
class TTagTreeView;

// The dialogs of the main window: those of the file manager, and the information prompt of
// EnsureSaved. Tests put answers of their own in its place.
class IMainWindowUi : public IFileManagerUi {
public:
    // An information dialog with Yes, No and Cancel; closing it answers Cancel.
    virtual TSaveAnswer AskInformation(const std::string& Text) = 0;
};

class TMainWindowDialogs : public IMainWindowUi {
public:
    explicit TMainWindowDialogs(QWidget* Parent) : Parent(Parent), Files(Parent) {}
    bool ExecuteOpenDialog(const std::string& InitialDir, std::string& FileName) override
    {
        return Files.ExecuteOpenDialog(InitialDir, FileName);
    }
    bool ExecuteSaveDialog(const std::string& InitialDir, std::string& FileName) override
    {
        return Files.ExecuteSaveDialog(InitialDir, FileName);
    }
    TSaveAnswer AskSave(const std::string& Text) override { return Files.AskSave(Text); }
    void ShowError(const std::string& Text) override { Files.ShowError(Text); }
    TSaveAnswer AskInformation(const std::string& Text) override;

private:
    QWidget* Parent;
    TFileManagerDialogs Files;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* AppTitle = "Zandovell";
    static constexpr const char* Generator = "Zandovell v1.00";
    static constexpr const char* EnsureSavedText =
        "To insert this element, you need to save the document first. This is to ensure "
        "correct relative-path calculation and to avoid absolute paths which will not always "
        "work, i.e. missing images, incorrect links, etc. Save the document first?";
    static constexpr const char* NoSelectionText =
        "To apply a template to the current document, you need to select the text that you "
        "want to be preserved as the main content.";
    static constexpr const char* SettingsTooLargeText =
        "The settings file is too large to be read whole. It is left as it is: the settings "
        "of this run are kept until the program closes, and not saved.";
    static constexpr const char* HomePageUrl = "https://www.zandovell.example/";
    static constexpr const char* HotStuffUrl = "https://www.zandovell.example/hot";

    explicit TFormMain(QWidget* Parent = nullptr);
    ~TFormMain() override;

    TFileManager* FileManager = nullptr;
    THtmlDesigner* Designer = nullptr;
    QsciScintilla* SourceEditor = nullptr;
    QsciLexerHTML* Highlighter = nullptr;
    TFontComboBox97* FontNameCombo = nullptr;
    TComboBox97* FontSizeCombo = nullptr;
    TComboBox97* BlockFormatCombo = nullptr;
    TColorToolButton* TextColorButton = nullptr;
    TColorToolButton* BackColorButton = nullptr;
    TToolManager* ToolManager = nullptr;
    TEntityView* EntityView = nullptr;
    std::unique_ptr<TSpellChecker> SpellChecker;
    std::unique_ptr<TIconPackManager> IconPackManager;
    TFormSpellCheck* SpellPrompt = nullptr;
    bool WordListLoaded = false;

    TTagTreeView* TagTree = nullptr;

    int CurrentView = 0;
    bool ViewModified = false;
    bool UpdatingControls = false;

    // The window's dialogs; not owned. Defaults to Qt's message boxes.
    void SetUi(IMainWindowUi* Value);
    IMainWindowUi* UiDialogs() const { return Dialogs; }
    // Opens a page or a file in the user's browser.
    std::function<bool(const QUrl&)> OpenUrl;

    // The window's parts by name, for the commands and for tests.
    Ui::FormMain& Form() const { return *FForm; }
    QDockWidget* PanelObjects() const;
    QDockWidget* PanelEntities() const;
    QDockWidget* PanelIcons() const;
    QDockWidget* PanelProps() const;
    QLabel* StatusPanel(int Index) const { return StatusPanels[Index]; }
    // In the status bar while a file loads: its stage and the button that stops it.
    QWidget* LoadProgress() const { return FLoadProgress; }
    QString ApplicationTitle() const { return FApplicationTitle; }

    // Opens the first file the program was started with, as File > Open does; options
    // (starting with "-") are skipped, a "file:" URL names its file.
    void OpenCommandLine(const QStringList& Arguments);
    // True when the document has a file name, possibly after saving it now.
    bool EnsureSaved();
    void UpdateControls();
    // Switches to the view of that tab index (DesignerTab, CodeTab, TreeTab).
    void SelectView(int Tab);

    void FormShow();
    // The window's stored place and size ("Form"), given once, before the window system makes
    // the window where it can, so that the stored place is the frame's.
    void RestoreWindowPlace();
    // Asks to save a modified document; false keeps the window open. On true the settings
    // are written.
    bool FormClose();

    // View changes.
    void ShowView();
    void CommitView(int View);

protected:
    void setVisible(bool Visible) override;
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void CreateFormattingControls();
    // The panels where the settings put them, else in their first-run places.
    void RestorePanels();
    void CreateToolPalette();
    void CreateViews();
    void CreateFileManager();
    void CreateTagTree();
    // While the design view loads, the window is locked but for the load's stage and Cancel;
    // an empty stage ends the load.
    struct TLoadLock;
    void ShowLoadStage(const QString& Stage);
    // A page new in the design view takes typing at once: the caret goes to its start.
    void CaretToStart();
    void WireCommands();
    void WireMenus();
    void WireFormatControls();
    // The commands on the document with the action that runs each; a command answers true
    // when it changed the document.
    std::vector<std::pair<QAction*, std::function<bool()>>> DocumentCommands();
    // The formatting buttons with the design view's command each runs and shows.
    std::vector<std::pair<QAction*, int>> FormatActions() const;
    // The Tables menu's entries with the design view's command each runs, and its input.
    std::vector<std::tuple<QAction*, int, QVariant>> TableActions() const;
    void WireDocking();

    void DocumentComplete();
    void SetModified();
    // Marks the document modified when the design view's page changed since last seen.
    void NoteChanges(int64_t Changes);
    void SetCaption(const QString& Title);
    void TabChanged(int Index);
    void EnterView(int View);
    // Loads the design view's text into the source editor without firing its change handler.
    void FillSourceEditor();
    void SourceChanged();

    // Commands from a view other than the design view first push its pending edits into the
    // design view; afterwards that view shows the result.
    void PushPendingEdits();
    void RefreshView();
    // Runs a command on the document: the pending edits of the view go in first, the document
    // is marked modified when the command answers that it changed it, and the view and the
    // controls show the result.
    void Apply(const std::function<bool()>& Command);
    // Runs a command; an exception is shown to the user and the program goes on.
    void Guard(const std::function<void()>& Command);

    void EditCommand(int Which);
    void TablesMenuShow();
    // The design view's menu of Link and Unlink, at a point of the screen.
    void DesignPopupMenu(const QPoint& ScreenPos);
    void EditMenuShow();
    void ViewMenuShow();
    void TogglePanel(QDockWidget* Panel);
    void SpellCheckClick();
    void PreviewClick();
    void TemplatesClick();
    void AboutClick();
    void ColorButtonClick(bool Back);
    void EntitySelect(const QString& Entity);
    // The view shown that takes typed text: the design view or the HTML Code view.
    QWidget* TypingView() const;
    void EntityTabChange(int Index);
    void IconSelect(TIconPack* Pack, const QString& Name, int Index);

    void SaveToolbars();
    void LoadToolbars();
    // Widens the docked palette until the window's height shows every button.
    void FitPalette();

    std::unique_ptr<Ui::FormMain> FForm;
    std::unique_ptr<TMainWindowDialogs> OwnDialogs;
    IMainWindowUi* Dialogs = nullptr;
    QLabel* StatusPanels[3] = {};
    QWidget* FLoadProgress = nullptr;
    std::unique_ptr<TLoadLock> FLoadLock;
    QString FApplicationTitle;
    QPointer<TFormAbout> About;
    QPointer<TFormTemplate> TemplateChooser;
    QPointer<TFormFind> SourceFind;  // Find in the HTML Code view
    bool Shown = false;
    bool PlaceRestored = false;
    bool FitPaletteOnShow = false;
    // The design view's count of changes last seen, and the page it counts in: a count that
    // moves in the same page is an edit.
    int64_t ChangesSeen = -1;
    uint64_t ChangesGeneration = 0;
    bool LoadingSource = false;
    bool TitleKept = false;  // the document stays after the next file change: a save
    QString ShownSource;  // what the source editor was last filled with or gave the page
    QMenu* PopupRecent = nullptr;
    QMenu* PopupDesign = nullptr;  // Link and Unlink, opened in the design view
};

// The main window, set while it exists.
extern TFormMain* FormMain;
// The tab indexes of the three views.
extern int DesignerTab, CodeTab, TreeTab;

}  // namespace zv
