#pragma once
// The design view: a browser control whose page is the design document of the filter, edited
// in place. It serves the page and its pictures through the "idoc:" and "edit:" schemes, turns
// the page's events into its own, records the engine's undo units as named groups, and reads
// the edited page back into the document.

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "HTMLColors.h"
#include "HtmlElements.h"
#include "Streams.h"
#include "WebBrowser.h"
#include "WideText.h"

namespace zv {

class THtmlFilter;
class THtmlNode;
class THtmlRoot;
class THtmlTag;
class TWideStrings;
class TFormFind;
class TFormHyperlink;
class THtmlDesigner;
class TTableEditor;

// A rectangle of the page with exclusive right and bottom.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect& Other) const = default;
};

// One undo group: the action's name (empty for units the designer did not wrap, such as a
// typed key) and the number of engine undo units it holds.
struct TUndoAction {
    std::string Name;
    int Units = 0;
    // Stored source nodes the action changed beside the page, as they were before it and after.
    struct TStoredState {
        // the design id of the stored node; empty for the document's head
        WideString Id;
        std::shared_ptr<const THtmlNode> Before, After;
    };
    std::vector<TStoredState> Stored;
    // For an action that replaced the whole document in place: the document tree that is not
    // the filter's now (the one before while the action is done, the one it made while it is
    // undone). Undo and redo trade it with the filter's; the page's body is then read into it.
    std::shared_ptr<std::unique_ptr<THtmlRoot>> Tree;
    // For an action that loaded the whole document anew: its source text before and after.
    std::shared_ptr<const WideString> PageBefore = nullptr, PageAfter = nullptr;
};
using TUndoActionList = std::vector<TUndoAction>;

// What is selected: nothing, an element or a caret, or text.
enum TSelectionKind : int { skNone = 0, skElement = 1, skText = 2 };

// Whether a command can run now, and for a toggle whether it is on.
struct TCommandState {
    bool Can = false;
    bool Is = false;
};

// Everything the main window's controls show, read in one round trip to the page.
struct TDesignerState {
    TCommandState Cut, Copy, Paste, Find, Bold, Italic, Underline, AlignLeft, AlignCenter,
        AlignRight, OrderList, UnorderList, Indent, Outdent, Hyperlink, ForeColor, BackColor,
        BlockFormat, FontName, FontSize;
    bool CanUndo = false;
    bool CanRedo = false;
    TSelectionKind SelectionKind = skNone;
    std::string SelectedTagName;
    QString BlockFormatName;    // empty when the command has no value
    QString FontNameValue;
    int FontSizeValue = -1;
    // The page's count of changes to its body; -1 when unknown. Moving the caret counts none.
    int64_t Changes = -1;
    // The state of the command of that engine id in DesignerCommands; a command off the
    // table can never run.
    const TCommandState& Of(int Id) const;
};

// A command of the design view's controls, by its engine id, or one of the designer's own
// (the table commands) by an id of its own.
struct TDesignerCommand {
    int Id;
    // The undo group it makes; nil for a command that changes nothing.
    const char* Name;
    // On or off: it can run while on, even where it could not be turned on.
    bool Toggle;
    // Where GetState reads an engine command's state; nil for the designer's own commands.
    TCommandState TDesignerState::*State;
    // A command of the designer's own: whether it can run now, and running it with its input
    // as the undo group Name (none when it finds nothing to change).
    bool (*Can)(THtmlDesigner& Designer, int Id) = nullptr;
    void (*Run)(THtmlDesigner& Designer, int Id, const char* Name, const QVariant& Input) = nullptr;
};
// The commands of the design view: those of TDesignerState in the order they are read, then
// the designer's own.
std::span<const TDesignerCommand> DesignerCommands();
// The command of that id; nil when it is not on the table.
const TDesignerCommand* FindDesignerCommand(int Id);

using TDesignerEvent = std::function<void(QObject* Sender)>;
// X and Y: the mouse cursor on the screen.
using TOnPopupMenu = std::function<void(QObject* Sender, int X, int Y)>;
using TOnSpellCheck =
    std::function<void(QObject* Sender, const WideString& WordToCheck, bool& NeedCorrection)>;
using TOnSpellSuggest = std::function<void(QObject* Sender, const QRect& Rc, WideString& WordToCheck,
                                           bool& Corrected, bool& Canceled)>;
// Reads a template file for ApplyTemplate: writes the template's files into Folder (never
// outside it, never over ProtectedFile) and answers the template's page text (UTF-8). A damaged
// file raises before anything is written.
using TOnLoadTemplate = std::function<std::string(
    const std::string& FileName, const std::string& Folder, const std::string& ProtectedFile)>;

// What a spell check went through: every word, the words that needed correction, and the
// corrections made.
struct TSpellCheckCounts {
    int Words = 0;
    int Misspelled = 0;
    int Corrected = 0;
    bool operator==(const TSpellCheckCounts&) const = default;
};

class THtmlDesigner : public TWebBrowser {
    Q_OBJECT
public:
    explicit THtmlDesigner(QWidget* Parent = nullptr);
    ~THtmlDesigner() override;

    // The document model behind the page.
    const std::unique_ptr<THtmlFilter> Filter;

    // ------------------------------------------------------------ document
    // Errors of the file, the character set or the parser pass to the caller; the design view
    // then still shows the previous document. So it does when the engine fails to show the
    // new one: the previous document and its name come back before the error passes on, which
    // then names the file and the reason. The file is read and prepared aside and the page
    // built while the event loop runs, input included (OnLoadProgress tells each stage, and
    // the end of the load as an empty stage); CancelLoad stops it with ELoadCanceled, the
    // previous document kept. Putting the previous document back cannot be stopped.
    void LoadFromFile(const std::string& FileName);
    void CancelLoad() { CancelWait(); }
    bool IsLoading() const { return Waiting(); }
    // Whether the stage last told can be stopped.
    bool CanCancelLoad() const { return StageCancelable; }
    std::function<void(QObject* Sender, const QString& Stage)> OnLoadProgress;
    // A loaded page is there and answers at once; what is done to it here is drawn before the
    // load ends.
    TDesignerEvent OnPageShown;
    // How long a load waits for the engine to build and lay out the page; putting the previous
    // document back after a failed load waits the default.
    static constexpr int DefaultLoadTimeout = 300000;
    int LoadTimeout = DefaultLoadTimeout;
    // The deepest nesting of elements inside the body that the engine keeps; deeper pages are
    // refused at load (measured: 513 levels stay, from 514 on the engine flattens them).
    static constexpr int MaxNesting = 512;
    // The most attributes of one element that the engine takes in time: it reads and looks up
    // an element's attributes in a time that grows with the square of their count (measured:
    // 10,000 read in 25 ms, 80,000 in 2.4 s). Pages with more are refused at load.
    static constexpr int MaxAttributes = 10000;
    // Writes the document through a temporary file; on failure the old file is untouched.
    void SaveToFile(const std::string& FileName);
    // Without Wait the empty page loads in the background: HasDocument and DocumentComplete
    // tell when it is there.
    void NewDocument(bool Wait = true);
    // Source text in and out (the source view and the tag tree). The text goes in as a file
    // does (see LoadFromFile); the file name stays.
    void SetHtml(const WideString& Text);
    WideString GetHtml();
    // The document tree that GetHtml's text stands for, without writing and parsing it.
    std::unique_ptr<THtmlRoot> GetSourceTree();
    // The page's count of body changes when the document last took the page's body (a save
    // or any other read); -1 when the page has changed documents since.
    int64_t ChangesRead() const { return ReadGeneration == Generation() ? ReadChanges : -1; }
    // The title of the document's head.
    WideString GetTitle() const;
    // The file last loaded or saved (UTF-8); empty for a new document.
    const std::string& FileName() const { return FFileName; }

    // ------------------------------------------------------------ stored document
    // The document tree behind the page; null before the first document.
    THtmlRoot* StoredRoot() const;
    // The body of the document tree; null when it has none.
    THtmlTag* StoredBody() const;
    // The node of the document tree a design element stands for; null for an element that
    // stands for none.
    THtmlNode* StoredNode(const THtmlElement& Element) const;
    // The folder the document's relative links resolve against (UTF-8, closing slash); empty
    // for a new document.
    const std::string& BasePath() const;
    // The names of the document's image maps, the page's changes read first.
    void GetMapNames(TWideStrings& Names);

    // Never raises.
    TSelectionKind GetSelectionKind();
    // An element is selected as a whole: skElement, but no caret. Never raises.
    bool HasControlSelection();
    // For an element or a caret, the tag of CurrentElement in upper case (the stored element's
    // tag for a placeholder); "Text" for text; empty without a selection.
    std::string GetSelectedTagName();
    // Replaces the selection or inserts at the caret as one undo group "Insert"; with an
    // element selected the HTML goes in front of it. The HTML saves as it is written.
    void InsertHtml(const WideString& Html);
    // The element of the last page event, context menu or resize report; after a key, the
    // element that holds the caret.
    const THtmlElement& CurrentElement() const { return FCurrentElement; }

    const std::string& Generator() const { return FGenerator; }
    void SetGenerator(const std::string& Value);
    bool ShowTagGlyphs() const { return FShowTagGlyphs; }
    void SetShowTagGlyphs(bool Value);

    // A placeholder or table was resized in the page: its stored node takes the new size.
    void ElementResized(const THtmlElement& Element);
    // Answers the "idoc:" and "edit:" requests of the page.
    void NameSpaceRequest(QObject* Sender, const WideString& URL, bool& Handled, int& Size,
                          TMemoryStream& Stream);

    // ------------------------------------------------------------ commands
    int QueryCommandStatus(int Cmd);
    bool ExecCommand(int Cmd);
    bool ExecCommandEx(int Cmd, const QVariant& Input, QVariant* Output = nullptr);

    // The commands of DesignerCommands by engine id: whether one can run now, whether a
    // toggle is on, and running one, as an undo group of its name when it has one.
    bool CanRun(int Id);
    bool IsOn(int Id);
    void Run(int Id, const QVariant& Input = {});
    void Copy();
    void Cut();
    void Paste();
    // Opens the find dialog; its Find Next selects the next match.
    void Find();
    // The search of the find dialog; false when there is no further match.
    bool FindNext(const QString& Text, bool MatchCase);
    // False while the named-anchor placeholder is selected.
    bool CanHyperlink();
    // Asks for an address. With the selection inside one link, the link's own address is
    // offered and a new one goes onto that link, which keeps everything else; otherwise the
    // selection is linked to it. True when the page changed.
    bool Hyperlink();
    // Links the selection to Url without asking.
    void SetHyperlink(const QString& Url);
    void Unlink();
    // No colour (clNone) or a system colour takes the colour off the selection.
    void SetBackColor(TColor Color);
    void SetForeColor(TColor Color);
    void SetBlockFormat(const QString& Name);
    QString GetBlockFormat();
    void GetBlockFormats(QStringList& Strings);
    void SetFontName(const QString& Name);
    QString GetFontName();
    // Clamped to 1..7.
    void SetFontSize(int Size);
    // -1 when the selection has no single size.
    int GetFontSize();

    // The state of every control of the main window in one call.
    TDesignerState GetState();

    // ------------------------------------------------------------ undo groups
    // Every change made to the page through the engine goes inside a TUndoGroup.
    // Within a group: the stored node of design id Id is about to change. Undoing the group
    // puts it back as it is now; redoing it brings back what the group left.
    void KeepStoredNode(const std::string& Id);
    // The same for the head of the document tree.
    void KeepHead();
    void ClearUndo();
    // Replaces the whole document by Text as one undo step among the others (a page typed in
    // another view); false, and no step, when Text writes as the page already does. See
    // TUndoGroup::ReplacePage.
    bool ReplacePage(const std::string& Name, const WideString& Text);
    // The question asked before a change that clears the undo history.
    static constexpr const char* ClearsHistoryText = "This change clears the undo history";
    bool CanUndo();
    void Undo();
    bool CanRedo();
    void Redo();
    const TUndoActionList& UndoList() const { return FUndoList; }
    int UndoIndex() const { return FUndoIndex; }

    // ------------------------------------------------------------ events
    TOnPopupMenu OnPopupMenu;
    TDesignerEvent OnDocumentComplete;
    TDesignerEvent OnMouseDown;
    TDesignerEvent OnMouseMove;
    TDesignerEvent OnMouseUp;
    TDesignerEvent OnMouseOut;
    TDesignerEvent OnMouseOver;
    TDesignerEvent OnClick;
    TDesignerEvent OnDblClick;
    TDesignerEvent OnKeyDown;
    TDesignerEvent OnKeyPress;
    TDesignerEvent OnKeyUp;
    TDesignerEvent OnResized;
    // The page changed by a drop or the middle button's paste.
    TDesignerEvent OnChange;
    // The document's head changed without a load: a whole-page step, or its undo or redo.
    TDesignerEvent OnHeadChange;
    TOnSpellCheck OnSpellCheck;
    TOnSpellSuggest OnSpellSuggest;
    TOnLoadTemplate OnLoadTemplate;

    // ------------------------------------------------------------ spelling and templates
    // Walks the page's text word by word: OnSpellCheck for every word of more than one
    // character, OnSpellSuggest (with the word's rectangle in the view) for every word that
    // needs correction. Each correction replaces the word in place as one undo group; a
    // cancel ends the walk. The counts are shown in a message at the end. Does nothing
    // without both handlers or a document.
    TSpellCheckCounts SpellCheck();
    // Makes the selection the content of the template's page: the template's files go into
    // the document's folder (through OnLoadTemplate), every "{CONTENT}" of its page becomes
    // the selection's HTML (without an enclosing body, table, row group, row or cell; the
    // whole body's when nothing is selected), and that page replaces the document as one undo
    // group among the others (see TUndoGroup::ReplacePage). Raises, leaving the page and the
    // folder as they were, for a document without a folder, an element selected as a whole
    // or a damaged template.
    void ApplyTemplate(const std::string& FileName);

    // The dialogs of Find and Hyperlink, made on first use.
    TFormFind* FindDialog();
    TFormHyperlink* HyperlinkDialog();

    // ------------------------------------------------------------ tables
    // The cell selection and the table commands (on DesignerCommands).
    TTableEditor& Tables() { return *FTables; }

    // HTML for the page is read by the document's own parser (see DesignTree.h).
    QString PageBody(const WideString& Html) override;
    // A copied element with a stored node takes a copy of that node along; pasted, it gets a
    // new design id of its own with that copy, so it is no second view of the original (nor,
    // in another document, of whatever stands under its old id there).
    void Copied(const QString& Html, bool Dragged) override;
    WideString PastedHtml(const WideString& Fragment, const QString& Html) override;
    // One undo group "Paste".
    bool DropData(const QMimeData* Data, const QPointF& ClientPos, bool Move) override;

private:
    // Shows the filter's design document; every load of a text or a new page ends here.
    void LoadDesignHtml(bool Wait = true);
    // The design document of From as served and its body for the page (see DesignTree.h).
    struct TDesignPage {
        QByteArray Data;
        QString BodyJson;
    };
    static TDesignPage MakeDesignPage(THtmlFilter& From);
    // The state of the view for a new page.
    void ResetForLoad(TDesignPage Page);
    // Tells OnLoadProgress the stage a load has reached.
    void Stage(const char* Text, bool Cancelable = true);
    // Shows Page while the event loop runs; Body is its body (empty for none) as JSON in UTF-8,
    // which the page fetches from the URL scheme. Restoring: the previous document after a
    // failed load, which cannot be stopped.
    void ShowPageAwaiting(TDesignPage Page, std::vector<uint8_t> Body, bool Restoring);
    // Puts a document into a filter.
    using TLoad = std::function<void(THtmlFilter& Next)>;
    struct TLoadWork;
    struct TLoadScope;
    // Runs Load (when given) into Work's filter and makes its page, on a thread of its own
    // while the event loop runs.
    void Prepare(const std::shared_ptr<TLoadWork>& Work, TLoad Load, bool Cancelable);
    // Runs Work on a thread of its own while the event loop runs (see AwaitWork); its error
    // passes on. A wait stopped leaves the thread to end on its own: Work must own what it
    // works on then.
    struct TAsideRun;
    void RunAside(std::function<void()> Work, bool Cancelable);
    // Load, on a thread, gives the new document, which is then shown; with a FileName it is
    // that file's. See LoadFromFile.
    void ReplaceDocument(TLoad Load, const std::string& FileName);
    // Shows the filter's document again after a load that failed; a failure leaves the view
    // without a page and the document in the filter.
    void RestorePage();
    bool StageShown = false;
    bool StageCancelable = true;
    // The body into the page just loaded, and the page's events to the designer.
    void FinishLoading(const QString& BodyJson);
    // The rest of a body that setBody or fetchBody Answer began, through More (moreBody);
    // the tree then holds the body as the page shows it.
    void BodyTaken(const QVariantList& Answer, const std::function<QVariant()>& More);
    void BackgroundLoadFinished();
    // The edited body back into the filter's tree; Await: while the event loop runs, to be
    // stopped when Cancelable.
    void ReadPage(bool Await = false, bool Cancelable = true);
    void EditDesignerHook(const TPageEvent& Event);
    void AttachDocumentEvents();
    void DocumentEvent(const TPageEvent& Event);
    void DocumentPopupMenu(const THtmlElement& Element, const QPoint& ScreenPos);
    void DocumentCompleted();
    THtmlElement CaretElement(const THtmlElement& Fallback);
    // The stored node's tag, or the element's own, in upper case.
    std::string TagNameOf(const std::string& Id, const std::string& OwnTag) const;
    bool IsAnchorPlaceholder(const std::string& Id) const;
    // The link that holds the whole selection; null outside links.
    THtmlElement SelectionLink();
    // Puts the element's size into its stored node; Measure takes the offset size where the
    // element has no width or height attribute.
    void StoreSize(const THtmlElement& Element, const std::string& Id, bool Measure);
    void RestoreResizedSizes();

    bool CanDo(int Cmd);
    // Runs one command as the undo group Name.
    void Perform(const char* Name, int Cmd, const QVariant& Input = {});
    // Runs Change as one undo group, also when it raises.
    template <class F> void Act(const char* Name, F&& Change);
    // A change that took the current element out of the page (a paragraph made a heading)
    // leaves the element that holds the caret current.
    void FollowReplacedElement();
    QString CommandValue(int Cmd);

    // Shows the document an action replaced (Before) or the one it made; that action is then
    // the only undo group.
    void LoadActionPage(const TUndoAction& Action, bool After);
    // Text in place of the document, its body in place of the page's as one change of the
    // page's undo history; the tree it replaced goes to PendingTree. False, with nothing
    // changed, for a document the page can only take by a load (one without a body).
    bool ReplaceInPlace(const WideString& Text);
    // Trades the tree an action keeps with the filter's, and reads the page's body into it.
    void TradeTree(const TUndoAction& Action);
    // Whether the user lets a change clear the undo history; true when there is none.
    bool ConfirmClearUndo();
    // Puts back what KeepStoredNode or KeepHead kept.
    void RestoreKept(const TUndoAction::TStoredState& State, const THtmlNode& Copy);
    int CountUndoUnits();
    int ExpectedUndoUnits() const;
    void SyncUndoList();
    void SyncUndoList(int EngineUnits);

    void FillGlyphTable();
    void AddGlyph(const QString& Tag, const QString& Picture, int Height, int Width, int A, int B,
                  int C, int Closing);
    void ClearGlyphTable();

    std::string FFileName;
    QByteArray DocumentData;
    std::vector<uint8_t> LoadingBody;   // "idoc:index.body.json" while a load waits for the page to take it
    TUndoActionList FUndoList;
    friend class TUndoGroup;
    void BeginAction(const std::string& Name);
    // Records the group begun; false when it changed nothing and was dropped.
    bool EndAction();
    std::string PendingAction;
    int PendingUnits = 0;
    int OpenGroups = 0;
    std::vector<TUndoAction::TStoredState> PendingStored;
    // the page before and after when the group loaded the whole page anew
    std::shared_ptr<const WideString> PendingPageBefore, PendingPageAfter;
    // the tree before when the group replaced the whole document in place
    std::shared_ptr<std::unique_ptr<THtmlRoot>> PendingTree;
    int FUndoIndex = -1;
    std::string FGenerator;
    bool FShowTagGlyphs = false;
    THtmlElement FCurrentElement;
    uint64_t EventsGeneration = 0;
    // The page's count of body changes when the filter's tree last took its body, and the
    // document it was counted in; -1 when the tree may differ from the page.
    int64_t ReadChanges = -1;
    uint64_t ReadGeneration = 0;
    // The body that a load in the background puts into its page once it is there.
    std::optional<QString> BackgroundBody;
    // Runs given up while their thread still worked (a load reading the file): each thread
    // ends on its own and is joined when the next run starts or with the designer.
    struct TFormerRun {
        std::thread Thread;
        std::shared_ptr<const TAsideRun> Run;
        TFormerRun(std::thread T, std::shared_ptr<const TAsideRun> R) : Thread(std::move(T)), Run(std::move(R)) {}
        TFormerRun(TFormerRun&&) = default;
        TFormerRun& operator=(TFormerRun&&) = default;
        ~TFormerRun();
    };
    std::vector<TFormerRun> FormerRuns;
    // design ids of the elements resized in the page since the load
    std::set<std::string> ResizedIds;
    QPointer<TFormFind> FFindDialog;
    QPointer<TFormHyperlink> FHyperlinkDialog;
    const std::unique_ptr<TTableEditor> FTables;
};

// One undo group, from its making to Close or its end (also when the change raises). A group
// that changed nothing (no engine unit, no kept node that differs) is dropped: it leaves no
// step on the undo list. A group made inside another is part of the outer one.
class TUndoGroup {
public:
    TUndoGroup(THtmlDesigner& Designer, const std::string& Name);
    ~TUndoGroup();
    TUndoGroup(const TUndoGroup&) = delete;
    TUndoGroup& operator=(const TUndoGroup&) = delete;
    // Ends the group; true when it changed something. Later calls answer the same.
    bool Close();
    // After in place of the whole document, Before being its text as it was. The page's body
    // is replaced in place, as one change of the page's history, and the rest of the document
    // (head, declarations) is kept beside it: the steps before and after it stay. A document
    // the page can only take by a load (one without a body) is loaded, after the user agreed
    // to lose the history (ClearsHistoryText; ELoadCanceled when not); Undo and Redo of that
    // step load Before and After again.
    void ReplacePage(const WideString& Before, const WideString& After);

private:
    THtmlDesigner& Designer;
    bool Open = true;
    bool Changed = false;
    // the engine's units when an inner group began
    int InnerUnits = -1;
};

}  // namespace zv
