#include "UnitMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>
#include <algorithm>
#include <tuple>
#include <utility>

#include "ComboBox97.h"
#include "DataFiles.h"
#include "DockUtils.h"
#include "EngineIds.h"
#include "EntityViewer.h"
#include "Folders.h"
#include "FontComboBox97.h"
#include "HtmlFilter.h"
#include "HtmlInplace.h"
#include "IconPackManager.h"
#include "IniUtils.h"
#include "ScreenPlaces.h"
#include "SpellCheckers.h"
#include "TableEditor.h"
#include "TemplateFiles.h"
#include "ToolLoader.h"
#include "ToolManager.h"
#include "UnitAbout.h"
#include "UnitCodeEditor.h"
#include "UnitFind.h"
#include "UnitSpellCheck.h"
#include "UnitTemplate.h"
#include "ui_UnitMain.h"

static void InitAppResources() { Q_INIT_RESOURCE(app); }

namespace zv {

TFormMain* FormMain = nullptr;
int DesignerTab = 0, CodeTab = 1, TreeTab = 2;

namespace {

const char* const PanelSections[] = {"PanelObjects", "PanelEntities", "PanelIcons"};
const char* const SiteNames[] = {"Top", "Left", "Right", "Bottom"};

enum TEditCommand { ecCut, ecCopy, ecPaste, ecUndo, ecRedo, ecFind };

QString ToQString(const std::string& Text) { return QString::fromStdString(Text); }

QIcon Picture(const char* Name) { return QIcon(QStringLiteral(":/toolbar/%1.png").arg(Name)); }
}  // namespace

TSaveAnswer TMainWindowDialogs::AskInformation(const std::string& Text)
{
    QMessageBox Box(QMessageBox::Information, QStringLiteral("Information"), ToQString(Text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Parent);
    Box.setEscapeButton(QMessageBox::Cancel);
    switch (Box.exec()) {
    case QMessageBox::Yes: return TSaveAnswer::Yes;
    case QMessageBox::No: return TSaveAnswer::No;
    default: return TSaveAnswer::Cancel;
    }
}

// ---------------------------------------------------------------- creation

TFormMain::TFormMain(QWidget* Parent)
    : QMainWindow(Parent), FForm(std::make_unique<Ui::FormMain>())
{
    FormMain = this;
    OwnDialogs = std::make_unique<TMainWindowDialogs>(this);
    Dialogs = OwnDialogs.get();
    OpenUrl = [](const QUrl& Url) { return QDesktopServices::openUrl(Url); };
    InitAppResources();
    FForm->setupUi(this);
    FormCreate();
}

TFormMain::~TFormMain()
{
    delete FileManager;
    FileManager = nullptr;
    if (FormMain == this) FormMain = nullptr;
}

QDockWidget* TFormMain::PanelObjects() const { return FForm->PanelObjects; }
QDockWidget* TFormMain::PanelEntities() const { return FForm->PanelEntities; }
QDockWidget* TFormMain::PanelIcons() const { return FForm->PanelIcons; }
QDockWidget* TFormMain::PanelProps() const { return FForm->PanelProps; }

void TFormMain::SetUi(IMainWindowUi* Value)
{
    Dialogs = Value ? Value : OwnDialogs.get();
    FileManager->Ui = Dialogs;
}

void TFormMain::FormCreate()
{
    SetCaption({});
    // status bar: modified state, tag of the selection, file name
    for (int K = 0; K < 3; ++K) {
        StatusPanels[K] = new QLabel(this);
        StatusPanels[K]->setObjectName(QStringLiteral("StatusPanel%1").arg(K));
        StatusPanels[K]->setFrameShape(QFrame::StyledPanel);
        StatusPanels[K]->setFrameShadow(QFrame::Sunken);
        if (K < 2) {
            StatusPanels[K]->setAlignment(Qt::AlignCenter);
            StatusPanels[K]->setFixedWidth(80);
            statusBar()->addWidget(StatusPanels[K]);
        } else {
            StatusPanels[K]->setMinimumWidth(500);
            statusBar()->addWidget(StatusPanels[K], 1);
        }
    }
    StatusPanels[1]->setText(QStringLiteral("BODY"));

    // the views, and the first page on its way into the design view
    CreateViews();

    const std::pair<QAction*, const char*> Pictures[] = {
        {FForm->BtnNew, "NEW"},       {FForm->BtnOpen, "OPEN"},       {FForm->BtnSave, "SAVE"},
        {FForm->BtnCut, "CUT"},       {FForm->BtnCopy, "COPY"},       {FForm->BtnPaste, "PASTE"},
        {FForm->BtnUndo, "UNDO"},     {FForm->BtnRedo, "REDO"},       {FForm->BtnFind, "FIND"},
        {FForm->BtnTag, "TAG"},       {FForm->BtnBold, "BOLD"},       {FForm->BtnItalic, "ITALIC"},
        {FForm->BtnUnderline, "UNDERLINE"}, {FForm->BtnLink, "LINK"}, {FForm->BtnLeft, "LEFT"},
        {FForm->BtnCenter, "CENTER"}, {FForm->BtnRight, "RIGHT"},     {FForm->BtnOrder, "ORDER"},
        {FForm->BtnUnorder, "UNORDER"}, {FForm->BtnIndent, "INDENT"}, {FForm->BtnOutdent, "OUTDENT"}};
    for (const auto& [Action, Name] : Pictures) Action->setIcon(Picture(Name));
    for (QAction* A : {FForm->MenuNew, FForm->MenuOpen, FForm->MenuSave, FForm->MenuUndo,
                       FForm->MenuRedo, FForm->MenuCut, FForm->MenuCopy, FForm->MenuPaste, FForm->MenuFind})
        A->setIcon(Picture(A->objectName().mid(4).toUpper().toLatin1().constData()));

    WireDocking();
    RestorePanels();

    CreateFormattingControls();
    // one entity palette, moved onto the tab shown
    EntityView = new TEntityView(FForm->TabCommon);
    EntityView->setObjectName(QStringLiteral("EntityView"));
    FForm->TabCommon->layout()->addWidget(EntityView);
    FillEntityView(*EntityView, 0);
    EntityView->OnSelect = [this](TEntityView*, const QString& Entity) {
        Guard([&] { EntitySelect(Entity); });
    };
    EntityView->TypingTarget = [this](TEntityView*) { return TypingView(); };
    connect(FForm->PageControl2, &QTabWidget::currentChanged, this, &TFormMain::EntityTabChange);
    WireCommands();

    CreateToolPalette();

    IconPackManager = std::make_unique<TIconPackManager>(FForm->PageControlIcons);
    const std::string Icons = FindDataFolder("Icons");
    if (!Icons.empty()) IconPackManager->LoadFolder(Icons);
    IconPackManager->OnIconSelect = [this](TIconPackManager*, TIconPack* Pack, const QString& Name,
                                           int Index) { Guard([&] { IconSelect(Pack, Name, Index); }); };

    FForm->MenuViewProperties->setVisible(false);
    PanelProps()->hide();
    SpellChecker = std::make_unique<TSpellChecker>();
    SpellPrompt = new TFormSpellCheck(this);
    Designer->OnSpellCheck = [this](QObject*, const WideString& Word, bool& NeedCorrection) {
        NeedCorrection = !SpellChecker->IsKnownWord(Utf16ToUtf8(Word));
    };
    Designer->OnSpellSuggest = [this](QObject*, const QRect& Rc, WideString& Word, bool& Corrected,
                                      bool& Canceled) {
        SpellPrompt->Execute(Designer, Rc, *SpellChecker, Word, Corrected, Canceled);
    };
    Designer->OnLoadTemplate = [](const std::string& File, const std::string& Folder,
                                  const std::string& ProtectedFile) {
        TTemplateReader Reader(File);
        Reader.ReadHeader();
        Reader.ExtractTo(Folder, ProtectedFile);
        return Reader.PageText;
    };
}

void TFormMain::RestorePanels()
{
    // the panels where the settings put them, else in their first-run places
    TIniFile& Ini = SettingsFile();
    const bool FirstRun = !Ini.SectionExists("PanelObjects");
    QDockWidget* Panels[] = {PanelObjects(), PanelEntities(), PanelIcons()};
    const Qt::DockWidgetArea Defaults[] = {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea,
                                           Qt::RightDockWidgetArea};
    for (int K = 0; K < 3; ++K) {
        bool Restored = false;
        // a panel that floats makes the window: the window is placed before it is made
        if (Ini.ValueExists(PanelSections[K], "Docked") && !Ini.ReadBool(PanelSections[K], "Docked", true))
            RestoreWindowPlace();
        try {
            Restored = LoadDockPanel(Ini, this, Panels[K], PanelSections[K]);
        } catch (const std::exception&) {
        }
        if (!Restored) {
            Panels[K]->setFloating(false);
            addDockWidget(Defaults[K], Panels[K], Qt::Vertical);
        }
    }
    // a damaged site layout is ignored
    for (int Site = 0; Site <= HighestSite; ++Site) {
        try {
            LoadDockSite(Ini, this, Site, "Dock Sites", SiteNames[Site]);
        } catch (const std::exception&) {
        }
    }
    if (FirstRun) resizeDocks({PanelObjects()}, {65}, Qt::Horizontal);
    FitPaletteOnShow = FirstRun;
}

void TFormMain::CreateToolPalette()
{
    TImageList ImgBar;
    ImgBar.CellSize = QSize(16, 16);
    LoadImageList(ImgBar, 1000);
    // the palette scrolls where its panel is too short for it
    auto* ToolScroller = new QScrollArea(FForm->PanelObjectsContents);
    ToolScroller->setObjectName(QStringLiteral("ToolScroller"));
    ToolScroller->setFrameShape(QFrame::NoFrame);
    ToolScroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ToolScroller->setWidgetResizable(true);
    ToolManager = new TToolManager;
    ToolManager->setObjectName(QStringLiteral("ToolManager"));
    ToolScroller->setWidget(ToolManager);
    FForm->PanelObjectsContents->layout()->addWidget(ToolScroller);
    ToolManager->SetDesigner(Designer);
    ToolManager->OnChange = [this](QObject*) {
        SetModified();
        // the other views show what the tool did, the buttons what can be undone now; a view
        // entered since shows it already
        QMetaObject::invokeMethod(this, [this, View = CurrentView] { Guard([this, View] {
            if (CurrentView == View) RefreshView();
            UpdateControls();
        }); }, Qt::QueuedConnection);
    };
    // a tool used from another view works on that view's edits
    ToolManager->installEventFilter(this);
    ToolManager->Host.EnsureSaved = [this] { return EnsureSaved(); };
    ToolManager->Host.FileName = [this] { return FileManager ? FileManager->FileName() : std::string(); };
    ToolManager->SetImages(std::vector<QPixmap>(ImgBar.Images.begin(), ImgBar.Images.end()));
    RegisterTools(*ToolManager);
    Designer->OnDblClick = [this](QObject*) {
        if (Designer->CurrentElement()) Guard([this] { ToolManager->EditElement(Designer->CurrentElement()); });
    };
}

void TFormMain::CreateFormattingControls()
{
    QToolBar* Bar = FForm->ToolFormatting;
    BlockFormatCombo = new TComboBox97(Bar);
    BlockFormatCombo->setObjectName(QStringLiteral("BlockFormatCombo"));
    BlockFormatCombo->setFixedWidth(120);
    FontNameCombo = new TFontComboBox97(Bar);
    FontNameCombo->setObjectName(QStringLiteral("FontNameCombo"));
    FontNameCombo->setFixedWidth(150);
    FontSizeCombo = new TComboBox97(Bar);
    FontSizeCombo->setObjectName(QStringLiteral("FontSizeCombo"));
    FontSizeCombo->addItems({"1", "2", "3", "4", "5", "6", "7"});
    FontSizeCombo->setFixedWidth(40);
    for (TCustomComboBox97* Combo : {static_cast<TCustomComboBox97*>(BlockFormatCombo),
                                     static_cast<TCustomComboBox97*>(FontNameCombo),
                                     static_cast<TCustomComboBox97*>(FontSizeCombo)}) {
        Combo->SetFlat(true);
        Combo->setCurrentIndex(-1);
        Bar->insertWidget(FForm->Sep1, Combo);
    }
    TextColorButton = new TColorToolButton(Bar);
    TextColorButton->setObjectName(QStringLiteral("TextColorButton"));
    TextColorButton->setToolTip(QStringLiteral("Text color"));
    TextColorButton->SetGlyph(QPixmap(QStringLiteral(":/toolbar/TEXTCOLOR.png")));
    TextColorButton->SetColor(clBlack);
    BackColorButton = new TColorToolButton(Bar);
    BackColorButton->setObjectName(QStringLiteral("BackColorButton"));
    BackColorButton->setToolTip(QStringLiteral("Background color"));
    BackColorButton->SetGlyph(QPixmap(QStringLiteral(":/toolbar/BACKCOLOR.png")));
    BackColorButton->SetColor(clYellow);
    for (TColorToolButton* Button : {TextColorButton, BackColorButton}) Bar->addWidget(Button);
}

void TFormMain::CreateFileManager()
{
    FileManager = new TFileManager(this);
    FileManager->Ui = Dialogs;
    // the page goes, with what the other views hold of it: the save prompt came first
    FileManager->OnNew = [this](TFileManager*) {
        ViewModified = false;
        TitleKept = false;
        SelectView(DesignerTab);
        ShownSource.clear();
        // the first page loads while the window is built and shown
        Designer->NewDocument(Shown);
        return false;
    };
    FileManager->OnOpen = [this](TFileManager*, const std::string& Name) {
        ViewModified = false;
        TitleKept = false;
        SelectView(DesignerTab);
        ShownSource.clear();
        try {
            Designer->LoadFromFile(Name);
        } catch (const ELoadCanceled&) {
            return false;   // the user stopped it: the previous document stays, nothing to say
        }
        return true;
    };
    FileManager->OnSave = [this](TFileManager*, const std::string& Name) {
        CommitView(CurrentView);
        ViewModified = false;
        Designer->SaveToFile(Name);
        UpdateControls();
        // what the page holds beyond what was saved is an edit
        ChangesSeen = Designer->ChangesRead();
        ChangesGeneration = Designer->Generation();
        TitleKept = true;
        return true;
    };
    FileManager->OnModified = [this](TFileManager* Sender) {
        StatusPanels[0]->setText(Sender->Modified() ? QStringLiteral("Modified") : QString());
    };
    FileManager->OnChangeFile = [this](TFileManager* Sender) {
        StatusPanels[2]->setText(QString::fromStdString(Sender->FileName()));
        // a new or opened page names itself once it has loaded; a saved one keeps its name
        SetCaption(TitleKept ? QString::fromStdU16String(Designer->GetTitle()) : QString());
        TitleKept = false;
    };
    FileManager->New();
}

namespace {

// Swallows the input meant for the widgets inside Area; Escape anywhere in its window calls
// OnEscape.
class TInputBlocker : public QObject {
public:
    TInputBlocker(QWidget* Area, std::function<void()> OnEscape)
        : Area(Area), OnEscape(std::move(OnEscape))
    {
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        auto* Widget = qobject_cast<QWidget*>(Watched);
        if (Event->type() == QEvent::KeyPress && Area && Widget &&
            Widget->window() == Area->window() &&
            static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Escape) {
            OnEscape();
            return true;
        }
        switch (Event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu: {
            return Area && Widget && (Widget == Area || Area->isAncestorOf(Widget));
        }
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> Area;
    std::function<void()> OnEscape;
};

}  // namespace

// Everything but the status bar waits: no command may run on a document half loaded. The
// views take no input either; they stay enabled, as the page loses its focus otherwise.
struct TFormMain::TLoadLock {
    TFormMain& Window;
    std::vector<QPointer<QWidget>> Locked;
    TInputBlocker Blocker;
    QLabel* Stage = nullptr;
    QPushButton* Cancel = nullptr;

    explicit TLoadLock(TFormMain& W)
        : Window(W), Blocker(W.centralWidget(), [&W] { W.Designer->CancelLoad(); })
    {
        for (QWidget* Child : W.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (Child != W.statusBar() && Child != W.centralWidget() && Child->isEnabled() && !Child->isWindow()) {
                Child->setEnabled(false);
                Locked.emplace_back(Child);
            }
        qApp->installEventFilter(&Blocker);
        // the stage of the load, and the button that stops it
        W.FLoadProgress = new QWidget(W.statusBar());
        W.FLoadProgress->setObjectName(QStringLiteral("LoadProgress"));
        auto* Layout = new QHBoxLayout(W.FLoadProgress);
        Layout->setContentsMargins(0, 0, 0, 0);
        Stage = new QLabel(W.FLoadProgress);
        auto* Bar = new QProgressBar(W.FLoadProgress);
        Bar->setRange(0, 0);   // busy: the engine tells no share of its work
        Bar->setFixedSize(100, 14);
        Cancel = new QPushButton(QStringLiteral("Cancel"), W.FLoadProgress);
        Cancel->setObjectName(QStringLiteral("LoadCancel"));
        Cancel->setFocusPolicy(Qt::NoFocus);
        QObject::connect(Cancel, &QPushButton::clicked, &W, [&W] { W.Designer->CancelLoad(); });
        // the stage takes the room the bar leaves; the button keeps its own size
        Layout->addWidget(Stage, 1);
        Layout->addWidget(Bar);
        Layout->addWidget(Cancel);
        for (QLabel* Panel : W.StatusPanels) Panel->hide();
        W.statusBar()->addWidget(W.FLoadProgress, 1);
    }
    ~TLoadLock()
    {
        delete Window.FLoadProgress;
        Window.FLoadProgress = nullptr;
        for (QLabel* Panel : Window.StatusPanels) Panel->show();
        for (const QPointer<QWidget>& W : Locked)
            if (W) W->setEnabled(true);
    }
};

void TFormMain::ShowLoadStage(const QString& Stage)
{
    if (Stage.isEmpty()) {
        FLoadLock.reset();
        return;
    }
    if (!FLoadLock) FLoadLock = std::make_unique<TLoadLock>(*this);
    FLoadLock->Stage->setText(Stage + QStringLiteral("..."));
    FLoadLock->Cancel->setEnabled(Designer->CanCancelLoad());
}

void TFormMain::CreateViews()
{
    QTabBar* Tabs = FForm->TabControl1;
    while (Tabs->count()) Tabs->removeTab(0);
    DesignerTab = Tabs->addTab(QStringLiteral("Designer"));
    CodeTab = Tabs->addTab(QStringLiteral("HTML Code"));
    TreeTab = Tabs->addTab(QStringLiteral("Tag Tree"));
    Tabs->setCurrentIndex(DesignerTab);
    Tabs->setExpanding(false);
    Tabs->setDrawBase(false);

    QStackedWidget* Stack = FForm->ViewStack;
    Designer = new THtmlDesigner(Stack);
    Designer->setObjectName(QStringLiteral("Designer"));
    Designer->SetGenerator(Generator);
    Stack->addWidget(Designer);
    Stack->setCurrentWidget(Designer);
    Designer->OnDocumentComplete = [this](QObject*) { DocumentComplete(); };
    Designer->OnLoadProgress = [this](QObject*, const QString& Stage) { ShowLoadStage(Stage); };
    Designer->OnPageShown = [this](QObject*) { CaretToStart(); };
    Designer->OnMouseUp = [this](QObject*) { UpdateControls(); };
    // keys and clicks that only move the caret edit nothing: UpdateControls sees changes
    Designer->OnKeyUp = [this](QObject*) { UpdateControls(); };
    Designer->OnChange = Designer->OnKeyUp;
    Designer->OnHeadChange = [this](QObject*) { SetCaption(QString::fromStdU16String(Designer->GetTitle())); };
    Designer->OnPopupMenu = [this](QObject*, int X, int Y) { Guard([&] { DesignPopupMenu(QPoint(X, Y)); }); };
    Designer->OnResized = [this](QObject*) {
        UpdateControls();
        SetModified();
    };

    // the first page loads while the rest is built
    CreateFileManager();

    Highlighter = new QsciLexerHTML(this);
    SourceEditor = new QsciScintilla(Stack);
    SourceEditor->setObjectName(QStringLiteral("SourceEditor"));
    LoadHtmlHighlighterColors(*Highlighter, nullptr, {});
    SourceEditor->setLexer(Highlighter);
    SetupCodeEditor(*SourceEditor);
    Stack->addWidget(SourceEditor);
    connect(SourceEditor, &QsciScintilla::textChanged, this, &TFormMain::SourceChanged);

    CreateTagTree();
}

void TFormMain::WireDocking()
{
    for (QDockWidget* Panel : {PanelObjects(), PanelEntities(), PanelIcons(), PanelProps()}) {
        Panel->setTitleBarWidget(new TFineDockManager(Panel));
        auto Orient = [this, Panel] {
            const int Site = SiteOf(this, Panel);
            QDockWidget::DockWidgetFeatures F = Panel->features();
            F.setFlag(QDockWidget::DockWidgetVerticalTitleBar, Site == SiteTop || Site == SiteBottom);
            Panel->setFeatures(F);
        };
        Orient();
        connect(Panel, &QDockWidget::dockLocationChanged, this, [this, Panel, Orient] {
            Orient();
            if (Shown) GrowSite(this, Panel);
        });
        connect(Panel, &QDockWidget::topLevelChanged, Panel, [Panel] {
            if (QWidget* Grabber = Panel->titleBarWidget()) Grabber->updateGeometry();
        });
    }
}

// ---------------------------------------------------------------- commands

void TFormMain::Guard(const std::function<void()>& Command)
{
    try {
        Command();
    } catch (const std::exception& Error) {
        Dialogs->ShowError(Error.what());
    }
}

void TFormMain::Apply(const std::function<bool()>& Command)
{
    PushPendingEdits();
    if (Command()) SetModified();
    RefreshView();
    UpdateControls();
}

void TFormMain::WireCommands()
{
    Ui::FormMain& F = *FForm;
    auto On = [this](QAction* Action, std::function<void()> Command) {
        connect(Action, &QAction::triggered, this, [this, Command] { Guard(Command); });
    };
    // commands that leave the document as it is, or mark it themselves
    const std::pair<std::vector<QAction*>, std::function<void()>> Plain[] = {
        {{F.MenuNew, F.BtnNew}, [this] { FileManager->New(); }},
        {{F.MenuOpen, F.BtnOpen}, [this] { FileManager->Open(); }},
        {{F.MenuSave, F.BtnSave}, [this] { FileManager->Save(); UpdateControls(); }},
        {{F.MenuSaveAs}, [this] { FileManager->SaveAs(); }},
        {{F.MenuExit}, [this] { close(); }},
        {{F.MenuViewObjects}, [this] { TogglePanel(PanelObjects()); }},
        {{F.MenuViewProperties}, [this] { TogglePanel(PanelProps()); }},
        {{F.MenuViewEntities}, [this] { TogglePanel(PanelEntities()); }},
        {{F.MenuViewIcons}, [this] { TogglePanel(PanelIcons()); }},
        {{F.MenuSpellCheck}, [this] { SpellCheckClick(); }},
        {{F.MenuPreview}, [this] { PreviewClick(); }},
        {{F.MenuTemplates}, [this] { TemplatesClick(); }},
        {{F.MenuAbout}, [this] { AboutClick(); }},
        {{F.MenuHomePage}, [this] { OpenUrl(QUrl(QString::fromLatin1(HomePageUrl))); }},
        {{F.MenuHotStuff}, [this] { OpenUrl(QUrl(QString::fromLatin1(HotStuffUrl))); }}};
    for (const auto& [Actions, Command] : Plain)
        for (QAction* Action : Actions) On(Action, Command);
    // edit, routed by view
    for (const auto& [Actions, Which] : std::initializer_list<std::pair<std::vector<QAction*>, TEditCommand>>{
             {{F.MenuCut, F.BtnCut}, ecCut},     {{F.MenuCopy, F.BtnCopy}, ecCopy}, {{F.MenuPaste, F.BtnPaste}, ecPaste},
             {{F.MenuUndo, F.BtnUndo}, ecUndo}, {{F.MenuRedo, F.BtnRedo}, ecRedo}, {{F.MenuFind, F.BtnFind}, ecFind}})
        for (QAction* Action : Actions) On(Action, [this, W = Which] { EditCommand(W); });
    // commands on the document: true when they changed it
    for (const auto& [Action, Command] : DocumentCommands())
        connect(Action, &QAction::triggered, this, [this, C = Command] { Guard([&] { Apply(C); }); });
    WireMenus();
    WireFormatControls();
    connect(FForm->TabControl1, &QTabBar::currentChanged, this, &TFormMain::TabChanged);
}

std::vector<std::pair<QAction*, std::function<bool()>>> TFormMain::DocumentCommands()
{
    Ui::FormMain& F = *FForm;
    std::vector<std::pair<QAction*, std::function<bool()>>> Commands;
    for (const auto& [Action, Id] : FormatActions())
        Commands.emplace_back(Action, [this, Id] {
            Designer->Run(Id);
            return true;
        });
    for (const auto& [Action, Id, Input] : TableActions())
        Commands.emplace_back(Action, [this, Id, Input] {
            Designer->Run(Id, Input);
            return true;
        });
    // the tools edit the document themselves; the design view's page tells of the change
    Commands.emplace_back(F.MenuInsertTable, [this] {
        for (const auto& Tool : ToolManager->AllTools())
            if (QString::fromStdString(Tool->TagName).compare("TABLE", Qt::CaseInsensitive) == 0) {
                ToolManager->Execute(Tool.get());
                break;
            }
        return false;
    });
    // the table of the cell selection opens in the table tool
    Commands.emplace_back(F.MenuTableProperties, [this] {
        if (const THtmlTable Table = Designer->Tables().SelectedTable(); Table && Table.IsCurrent())
            ToolManager->EditElement(Table);
        return false;
    });
    // the link dialog left unchanged or cancelled edits nothing
    for (QAction* Link : {F.BtnLink, F.PopupLink})
        Commands.emplace_back(Link, [this] { return Designer->Hyperlink(); });
    // the design view's page tells whether a link was there to remove
    Commands.emplace_back(F.PopupUnlink, [this] {
        Designer->Unlink();
        return false;
    });
    Commands.emplace_back(F.BtnTag, [this] {
        Designer->SetShowTagGlyphs(!Designer->ShowTagGlyphs());
        return false;
    });
    Commands.emplace_back(F.MenuPageProperties, [this] {
        if (!Designer->HasDocument() || !ToolManager->EditElement(Designer->Document().body())) return false;
        // the title may have changed without a reload of the page
        SetCaption(QString::fromStdU16String(Designer->GetTitle()));
        return true;
    });
    return Commands;
}

std::vector<std::pair<QAction*, int>> TFormMain::FormatActions() const
{
    Ui::FormMain& F = *FForm;
    return {{F.BtnLeft, IDM_JUSTIFYLEFT},  {F.BtnCenter, IDM_JUSTIFYCENTER}, {F.BtnRight, IDM_JUSTIFYRIGHT},
            {F.BtnOrder, IDM_ORDERLIST},   {F.BtnUnorder, IDM_UNORDERLIST}, {F.BtnIndent, IDM_INDENT},
            {F.BtnOutdent, IDM_OUTDENT},   {F.BtnBold, IDM_BOLD},           {F.BtnItalic, IDM_ITALIC},
            {F.BtnUnderline, IDM_UNDERLINE}};
}

std::vector<std::tuple<QAction*, int, QVariant>> TFormMain::TableActions() const
{
    Ui::FormMain& F = *FForm;
    return {{F.MenuInsertRowAbove, IDT_INSERTROWABOVE, {}},
            {F.MenuInsertRowBelow, IDT_INSERTROWBELOW, {}},
            {F.MenuDeleteRows, IDT_DELETEROWS, {}},
            {F.MenuInsertColumnBefore, IDT_INSERTCOLUMNBEFORE, {}},
            {F.MenuInsertColumnAfter, IDT_INSERTCOLUMNAFTER, {}},
            {F.MenuDeleteColumns, IDT_DELETECOLUMNS, {}},
            {F.MenuMergeCells, IDT_MERGECELLS, {}},
            {F.MenuUnmergeCells, IDT_UNMERGECELLS, {}},
            {F.MenuFixTable, IDT_FIXTABLE, {}},
            {F.MenuHAlignLeft, IDT_CELLHALIGN, "left"},
            {F.MenuHAlignCenter, IDT_CELLHALIGN, "center"},
            {F.MenuHAlignRight, IDT_CELLHALIGN, "right"},
            {F.MenuVAlignTop, IDT_CELLVALIGN, "top"},
            {F.MenuVAlignMiddle, IDT_CELLVALIGN, "middle"},
            {F.MenuVAlignBottom, IDT_CELLVALIGN, "bottom"}};
}

void TFormMain::WireMenus()
{
    Ui::FormMain& F = *FForm;
    // Find takes the platform's Find key (Ctrl+F) as well as F3, which the menu shows
    QList<QKeySequence> FindKeys = F.MenuFind->shortcuts();
    for (const QKeySequence& Key : QKeySequence::keyBindings(QKeySequence::Find))
        if (!FindKeys.contains(Key)) FindKeys.append(Key);
    F.MenuFind->setShortcuts(FindKeys);
    connect(F.MenuFile, &QMenu::aboutToShow, this, [this] {
        FileManager->BuildMRUMenu(FForm->MenuRecent);
        FForm->MenuSave->setEnabled(FileManager->Modified());
        FForm->MenuSaveAs->setEnabled(true);
    });
    // entries a menu disabled while it showed still take their shortcuts
    connect(F.MenuFile, &QMenu::aboutToHide, this, [this] { FForm->MenuSave->setEnabled(true); });
    PopupRecent = new QMenu(this);
    PopupRecent->setObjectName(QStringLiteral("PopupRecent"));
    connect(PopupRecent, &QMenu::aboutToShow, this, [this] { FileManager->BuildMRUMenu(PopupRecent); });
    F.BtnOpen->setMenu(PopupRecent);
    if (auto* Button = qobject_cast<QToolButton*>(F.ToolStandard->widgetForAction(F.BtnOpen)))
        Button->setPopupMode(QToolButton::MenuButtonPopup);
    connect(F.MenuEdit, &QMenu::aboutToShow, this, &TFormMain::EditMenuShow);
    connect(F.MenuEdit, &QMenu::aboutToHide, this, [this] {
        for (QAction* A : FForm->MenuEdit->actions()) A->setEnabled(true);
    });
    connect(F.MenuView, &QMenu::aboutToShow, this, &TFormMain::ViewMenuShow);
    connect(F.MenuTables, &QMenu::aboutToShow, this, &TFormMain::TablesMenuShow);
    PopupDesign = new QMenu(this);
    PopupDesign->setObjectName(QStringLiteral("PopupDesign"));
    PopupDesign->addActions({F.PopupLink, F.PopupUnlink});
}

void TFormMain::DesignPopupMenu(const QPoint& ScreenPos)
{
    // the press that asked for the menu may have moved the caret
    UpdateControls();
    FForm->PopupLink->setEnabled(FForm->BtnLink->isEnabled());
    FForm->PopupUnlink->setEnabled(Designer->CanRun(IDM_UNLINK));
    PopupDesign->popup(ScreenPos);
}

void TFormMain::WireFormatControls()
{
    // a choice in a box goes to the page, and so does the keyboard after it: the next letters
    // are the user's text, not the box's type-ahead
    auto Choose = [this](const std::function<void()>& Command) {
        if (UpdatingControls) return;
        Guard([&] {
            Apply([&] {
                Command();
                return true;
            });
        });
        Designer->setFocus();
    };
    connect(FontNameCombo, &TFontComboBox97::Click, this, [this, Choose] {
        Choose([this] { Designer->SetFontName(FontNameCombo->currentText()); });
    });
    connect(BlockFormatCombo, &QComboBox::textActivated, this, [this, Choose](const QString& Name) {
        Choose([this, Name] { Designer->SetBlockFormat(Name); });
    });
    connect(FontSizeCombo, &QComboBox::activated, this, [this, Choose](int Index) {
        Choose([this, Index] { Designer->SetFontSize(Index + 1); });
    });
    // the button part applies the button's colour, the popup a new one
    for (TColorToolButton* Button : {TextColorButton, BackColorButton}) {
        const bool Back = Button == BackColorButton;
        Button->OnButtonClick = [this, Back](TColorToolButton*) { Guard([&] { ColorButtonClick(Back); }); };
        Button->OnColorChange = Button->OnButtonClick;
    }
}

void TFormMain::SetModified() { FileManager->SetModified(true); }

void TFormMain::NoteChanges(int64_t Changes)
{
    if (Changes < 0) return;
    if (Designer->Generation() == ChangesGeneration && Changes != ChangesSeen) SetModified();
    ChangesSeen = Changes;
    ChangesGeneration = Designer->Generation();
}

void TFormMain::SetCaption(const QString& Title)
{
    FApplicationTitle = Title.isEmpty() ? QString::fromLatin1(AppTitle)
                                        : QString::fromLatin1(AppTitle) + " - " + Title;
    setWindowTitle(FApplicationTitle);
}

void TFormMain::CaretToStart()
{
    // the view the window goes to: a page handed over from another view loads before it shows
    if (FForm->TabControl1->currentIndex() != DesignerTab) return;
    try {
        const THtmlSelection Selection = Designer->Document().selection();
        if (Selection.type() == "None") Selection.createRange().select();
    } catch (const EEngineError&) {
    }
}

void TFormMain::DocumentComplete()
{
    SetCaption(QString::fromStdU16String(Designer->GetTitle()));
    CaretToStart();
    // the formats first: the box then shows the one of the caret's block
    QStringList Formats;
    Designer->GetBlockFormats(Formats);
    const bool Was = UpdatingControls;
    UpdatingControls = true;
    BlockFormatCombo->clear();
    BlockFormatCombo->addItems(Formats);
    BlockFormatCombo->setCurrentIndex(-1);
    UpdatingControls = Was;
    UpdateControls();
}

void TFormMain::EditCommand(int Which)
{
    if (Which == ecFind) {
        // each view finds in its own text; the Tag Tree view has no search
        if (CurrentView == DesignerTab) Designer->Find();
        if (CurrentView != CodeTab) return;
        // the HTML Code view searches its own text
        if (!SourceFind) {
            SourceFind = new TFormFind(this);
            SourceFind->OnFindNext = [this](const QString& Text, bool MatchCase) {
                return SourceEditor->findFirst(Text, false, MatchCase, false, true);
            };
        }
        SourceFind->Execute();
        return;
    }
    // only a change of the content marks the document: the design view's page tells it in
    // UpdateControls, the source editor by its change handler
    if (CurrentView == DesignerTab) {
        const int Undone = Designer->UndoIndex();
        switch (Which) {
        case ecCut: Designer->Cut(); break;
        case ecCopy: Designer->Copy(); break;
        case ecPaste: Designer->Paste(); break;
        case ecUndo: Designer->Undo(); break;
        case ecRedo: Designer->Redo(); break;
        }
        // an undo may put back what lies outside the page (the head)
        if ((Which == ecUndo || Which == ecRedo) && Designer->UndoIndex() != Undone) SetModified();
        UpdateControls();
    } else if (CurrentView == CodeTab) {
        switch (Which) {
        case ecCut: SourceEditor->cut(); break;
        case ecCopy: SourceEditor->copy(); break;
        case ecPaste: SourceEditor->paste(); break;
        case ecUndo: SourceEditor->undo(); break;
        case ecRedo: SourceEditor->redo(); break;
        }
    }
}

void TFormMain::EditMenuShow()
{
    Ui::FormMain& F = *FForm;
    F.MenuUndo->setEnabled(F.BtnUndo->isEnabled());
    F.MenuRedo->setEnabled(F.BtnRedo->isEnabled());
    F.MenuCut->setEnabled(F.BtnCut->isEnabled());
    F.MenuCopy->setEnabled(F.BtnCopy->isEnabled());
    F.MenuPaste->setEnabled(F.BtnPaste->isEnabled());
    F.MenuFind->setEnabled(CurrentView == DesignerTab || CurrentView == CodeTab);
}

void TFormMain::ViewMenuShow()
{
    Ui::FormMain& F = *FForm;
    F.MenuViewObjects->setChecked(!PanelObjects()->isHidden());
    F.MenuViewProperties->setChecked(!PanelProps()->isHidden());
    F.MenuViewEntities->setChecked(!PanelEntities()->isHidden());
    F.MenuViewIcons->setChecked(!PanelIcons()->isHidden());
}

void TFormMain::TogglePanel(QDockWidget* Panel)
{
    Panel->setVisible(Panel->isHidden());
    if (!Panel->isHidden() && !Panel->isFloating()) GrowSite(this, Panel);
}

void TFormMain::TablesMenuShow()
{
    for (const auto& [Action, Id, Input] : TableActions()) Action->setEnabled(Designer->CanRun(Id));
    // a submenu with its entries
    for (QMenu* Sub : {FForm->MenuHorizontalAlignment, FForm->MenuVerticalAlignment})
        Sub->setEnabled(Sub->actions().value(0) && Sub->actions().value(0)->isEnabled());
}

void TFormMain::ColorButtonClick(bool Back)
{
    Apply([&] {
        // the default colour takes the colour off
        const TColor Value = (Back ? BackColorButton : TextColorButton)->Color();
        if (Back)
            Designer->SetBackColor(Value);
        else
            Designer->SetForeColor(Value);
        return true;
    });
}

void TFormMain::EntitySelect(const QString& Entity)
{
    // the keyboard goes back to the view: the next keys are the user's text
    if (CurrentView == DesignerTab) {
        Designer->InsertHtml(Entity.toStdU16String());
        SetModified();
        UpdateControls();
        Designer->setFocus();
    } else if (CurrentView == CodeTab) {
        // the entity replaces the selection; the caret goes after it
        int Line = 0, Index = 0;
        SourceEditor->removeSelectedText();
        SourceEditor->getCursorPosition(&Line, &Index);
        SourceEditor->insert(Entity);
        SourceEditor->setCursorPosition(Line, Index + int(Entity.size()));
        SourceEditor->setFocus();
    }
}

QWidget* TFormMain::TypingView() const
{
    if (CurrentView == DesignerTab) return Designer;
    if (CurrentView == CodeTab) return SourceEditor;
    return nullptr;   // the Tag Tree view's text is typed into its grid
}

void TFormMain::EntityTabChange(int Index)
{
    QWidget* Page = FForm->PageControl2->widget(Index);
    if (!Page) return;
    Page->layout()->addWidget(EntityView);
    FillEntityView(*EntityView, Page->property("tag").toInt());
}

void TFormMain::IconSelect(TIconPack* Pack, const QString& Name, int Index)
{
    if (CurrentView != DesignerTab || !EnsureSaved()) return;
    const std::string Folder = ExtractFilePath(FileManager->FileName()) + "images";
    Pack->ExtractIcon(Index, Folder, FileManager->FileName());
    const TDesignObject Image = Designer->Filter->NewImageObject(u"images/" + Name.toStdU16String());
    Designer->InsertHtml(Image.Html + u">");
    SetModified();
    UpdateControls();
}

void TFormMain::SpellCheckClick()
{
    PushPendingEdits();
    [this] {
        if (!WordListLoaded) {
            if (!LoadEnglishWordList(*SpellChecker, this)) return;
            WordListLoaded = true;
        }
        // corrections are edits of the document
        if (Designer->SpellCheck().Corrected > 0) SetModified();
    }();
    RefreshView();
    UpdateControls();
}

void TFormMain::PreviewClick()
{
    // a failed save would show the page as it was before
    if (FileManager->Modified() && !FileManager->Save()) return;
    const std::string& Name = FileManager->FileName();
    if (!Name.empty() && FileExists(Name)) OpenUrl(QUrl::fromLocalFile(QString::fromStdString(Name)));
}

void TFormMain::TemplatesClick()
{
    PushPendingEdits();
    [this] {
        if (!EnsureSaved()) return;
        if (Designer->GetSelectionKind() == skNone) {
            Dialogs->ShowError(NoSelectionText);
            return;
        }
        if (!TemplateChooser) TemplateChooser = new TFormTemplate(this);
        TemplateChooser->exec();
        if (!TemplateChooser->Accepted) return;
        Designer->ApplyTemplate(TemplateChooser->TemplateFile);
        SetModified();
    }();
    RefreshView();
    UpdateControls();
}

void TFormMain::AboutClick()
{
    if (!About) About = new TFormAbout(this);
    About->OpenUrl = OpenUrl;
    About->exec();
}

void TFormMain::OpenCommandLine(const QStringList& Arguments)
{
    for (const QString& Argument : Arguments) {
        if (Argument.isEmpty() || Argument.startsWith('-')) continue;
        const QUrl Url(Argument);
        const QString Path = Url.isLocalFile() ? Url.toLocalFile() : Argument;
        Guard([&] { FileManager->OpenFile(QFileInfo(Path).absoluteFilePath().toStdString()); });
        return;  // one document at a time
    }
}

bool TFormMain::EnsureSaved()
{
    if (!FileManager->FileName().empty()) return true;
    if (Dialogs->AskInformation(EnsureSavedText) != TSaveAnswer::Yes) return false;
    FileManager->Save();
    return !FileManager->FileName().empty();
}

// ---------------------------------------------------------------- controls

void TFormMain::UpdateControls()
{
    const bool Design = CurrentView == DesignerTab;
    if (Design && Designer->IsLoading()) return;   // the page being loaded answers nothing yet
    Ui::FormMain& F = *FForm;
    F.ToolFormatting->setEnabled(Design);
    F.ToolBlock->setEnabled(Design);
    for (QWidget* W : std::initializer_list<QWidget*>{BlockFormatCombo, FontNameCombo, FontSizeCombo,
                                                      TextColorButton, BackColorButton})
        W->setEnabled(Design);

    TDesignerState S;
    if (Design) {
        S = Designer->GetState();
        NoteChanges(S.Changes);
    }
    if (Design) {
        F.BtnCut->setEnabled(S.Cut.Can);
        F.BtnCopy->setEnabled(S.Copy.Can);
        F.BtnPaste->setEnabled(S.Paste.Can);
        F.BtnUndo->setEnabled(S.CanUndo);
        F.BtnRedo->setEnabled(S.CanRedo);
        F.BtnFind->setEnabled(S.Find.Can);
        F.BtnTag->setEnabled(true);
        F.BtnTag->setChecked(Designer->ShowTagGlyphs());
    } else if (CurrentView == CodeTab) {
        F.BtnCut->setEnabled(true);
        F.BtnCopy->setEnabled(true);
        F.BtnFind->setEnabled(true);
        F.BtnPaste->setEnabled(SourceEditor->SendScintilla(QsciScintilla::SCI_CANPASTE) != 0);
        F.BtnUndo->setEnabled(SourceEditor->isUndoAvailable());
        F.BtnRedo->setEnabled(SourceEditor->isRedoAvailable());
        F.BtnTag->setEnabled(false);
    } else {
        for (QAction* A : {F.BtnCut, F.BtnCopy, F.BtnPaste, F.BtnUndo, F.BtnRedo, F.BtnFind, F.BtnTag})
            A->setEnabled(false);
    }
    if (!Design) return;

    StatusPanels[1]->setText(QString::fromStdString(S.SelectedTagName));
    UpdatingControls = true;
    F.BtnLink->setEnabled(S.Hyperlink.Can);
    for (const auto& [Action, Id] : FormatActions()) {
        Action->setEnabled(S.Of(Id).Can);
        Action->setChecked(S.Of(Id).Is);
    }
    TextColorButton->SetButtonEnabled(S.ForeColor.Can);
    BackColorButton->SetButtonEnabled(S.BackColor.Can);
    BlockFormatCombo->setEnabled(S.BlockFormat.Can);
    BlockFormatCombo->setCurrentIndex(S.BlockFormat.Can ? BlockFormatCombo->findText(S.BlockFormatName) : -1);
    FontNameCombo->setEnabled(S.FontName.Can);
    if (S.FontName.Can && !S.FontNameValue.isEmpty())
        FontNameCombo->SetFontName(S.FontNameValue);
    else
        FontNameCombo->setCurrentIndex(-1);
    FontSizeCombo->setEnabled(S.FontSize.Can);
    FontSizeCombo->setCurrentIndex(S.FontSize.Can && S.FontSizeValue >= 1 && S.FontSizeValue <= 7
                                       ? S.FontSizeValue - 1
                                       : -1);
    UpdatingControls = false;
}

// ---------------------------------------------------------------- show and close

void TFormMain::setVisible(bool Visible)
{
    if (Visible) RestoreWindowPlace();
    QMainWindow::setVisible(Visible);
}

void TFormMain::showEvent(QShowEvent* Event)
{
    const bool First = !Shown;
    if (First) {
        Shown = true;
        FormShow();
    }
    QMainWindow::showEvent(Event);
    // panels restored floating were shown before the window they belong to: they stay over it
    if (First) QMetaObject::invokeMethod(this, [this] {
        for (QDockWidget* Panel : {PanelObjects(), PanelEntities(), PanelIcons()}) {
            if (!Panel->isFloating() || Panel->isHidden() || !Panel->windowHandle()) continue;
            Panel->windowHandle()->setTransientParent(windowHandle());
            Panel->raise();
        }
    }, Qt::QueuedConnection);
    if (FitPaletteOnShow) {
        FitPaletteOnShow = false;
        QMetaObject::invokeMethod(this, [this] { FitPalette(); }, Qt::QueuedConnection);
    }
}

void TFormMain::FitPalette()
{
    QDockWidget* Panel = PanelObjects();
    const Qt::DockWidgetArea Area = dockWidgetArea(Panel);
    if (Panel->isFloating() || Panel->isHidden() ||
        (Area != Qt::LeftDockWidgetArea && Area != Qt::RightDockWidgetArea))
        return;
    auto* Scroller = qobject_cast<QScrollArea*>(ToolManager->parentWidget()->parentWidget());
    const int Step = ToolManager->ButtonSize(), Height = Scroller->viewport()->height();
    if (ToolManager->LayoutHeight(Scroller->width()) <= Height) return;
    // a window too short even for a few columns scrolls instead
    int Width = std::max(Scroller->width() / Step, 1) * Step;
    for (int Columns = Width / Step; Columns < 6 && ToolManager->LayoutHeight(Width) > Height; ++Columns)
        Width += Step;
    if (ToolManager->LayoutHeight(Width) > Height) return;
    // room for the scroll bar too, which the scroll area weighs while it is still shown
    Width += Scroller->verticalScrollBar()->sizeHint().width();
    resizeDocks({Panel}, {Panel->width() + Width - Scroller->width()}, Qt::Horizontal);
}

void TFormMain::RestoreWindowPlace()
{
    TIniFile& Ini = SettingsFile();
    const bool FirstStart = !Ini.ValueExists("Form", "Width") && !Ini.ValueExists("Form", "Height");
    // the first start is placed when the window is shown, and knows the size it needs
    if (PlaceRestored || (FirstStart && !Shown)) return;
    PlaceRestored = true;
    // Left and Top are the frame's place, Width and Height the client area's size
    QRect Frame(FramePosition(this), size());
    // the first start takes three quarters of the screen (no less than the window needs),
    // centred
    const QScreen* Screen = screen() ? screen() : QGuiApplication::primaryScreen();
    if (Screen && FirstStart) {
        const QRect Area = Screen->availableGeometry();
        Frame.setSize((Area.size() * 3 / 4).expandedTo(minimumSizeHint()).boundedTo(Area.size()));
        Frame.moveCenter(Area.center());
    }
    if (Ini.ValueExists("Form", "Left")) Frame.moveLeft(Ini.ReadInteger("Form", "Left", 100));
    if (Ini.ValueExists("Form", "Top")) Frame.moveTop(Ini.ReadInteger("Form", "Top", 100));
    if (Ini.ValueExists("Form", "Width"))
        Frame.setWidth(std::max(Ini.ReadInteger("Form", "Width", 600), 200));
    if (Ini.ValueExists("Form", "Height"))
        Frame.setHeight(std::max(Ini.ReadInteger("Form", "Height", 400), 150));
    Frame = ClampToScreen(Frame);
    resize(Frame.size());
    MoveFrame(this, Frame.topLeft());
    if (Ini.ReadBool("Form", "Maximized", false))
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TFormMain::FormShow()
{
    TIniFile& Ini = SettingsFile();
    RestoreWindowPlace();
    if (Ini.SectionExists("Toolbar")) LoadToolbars();
    FileManager->LoadMRU(Ini, "Recents");
    UpdateControls();
    if (Ini.TooLarge())
        QMetaObject::invokeMethod(this, [this, Name = Ini.FileName()] {
            Dialogs->ShowError(std::string(SettingsTooLargeText) + "\n" + Name);
        }, Qt::QueuedConnection);
    // typing goes into the page from the start
    Designer->setFocus();
}

void TFormMain::LoadToolbars()
{
    TIniFile& Ini = SettingsFile();
    struct TBar {
        QToolBar* Bar;
        int Left, Top;
    };
    std::vector<TBar> Bars = {
        {FForm->ToolStandard, Ini.ReadInteger("Toolbar", "Standard Left", 0),
         Ini.ReadInteger("Toolbar", "Standard Top", 0)},
        {FForm->ToolBlock, Ini.ReadInteger("Toolbar", "Block Left", 0),
         Ini.ReadInteger("Toolbar", "Block Top", 0)},
        {FForm->ToolFormatting, Ini.ReadInteger("Toolbar", "Format Left", 0),
         Ini.ReadInteger("Toolbar", "Format Top", 0)}};
    // rows from top to bottom, each from left to right
    std::stable_sort(Bars.begin(), Bars.end(), [](const TBar& A, const TBar& B) {
        return A.Top != B.Top ? A.Top < B.Top : A.Left < B.Left;
    });
    for (const TBar& B : Bars) removeToolBar(B.Bar);
    for (size_t K = 0; K < Bars.size(); ++K) {
        if (K > 0 && Bars[K].Top != Bars[K - 1].Top) addToolBarBreak(Qt::TopToolBarArea);
        addToolBar(Qt::TopToolBarArea, Bars[K].Bar);
        Bars[K].Bar->show();
    }
}

void TFormMain::SaveToolbars()
{
    TIniFile& Ini = SettingsFile();
    const std::pair<QToolBar*, const char*> Bars[] = {
        {FForm->ToolStandard, "Standard"}, {FForm->ToolBlock, "Block"}, {FForm->ToolFormatting, "Format"}};
    for (const auto& [Bar, Name] : Bars) {
        Ini.WriteInteger("Toolbar", std::string(Name) + " Left", Bar->x());
        Ini.WriteInteger("Toolbar", std::string(Name) + " Top", Bar->y());
    }
}

bool TFormMain::FormClose()
{
    if (!FileManager->CanClose()) return false;
    Guard([this] {
        TIniFile& Ini = SettingsFile();
        const bool Maximized = isMaximized();
        Ini.WriteBool("Form", "Maximized", Maximized);
        if (!Maximized) {
            const QPoint Frame = FramePosition(this);
            Ini.WriteInteger("Form", "Left", Frame.x());
            Ini.WriteInteger("Form", "Top", Frame.y());
            Ini.WriteInteger("Form", "Width", width());
            Ini.WriteInteger("Form", "Height", height());
        }
        QDockWidget* Panels[] = {PanelObjects(), PanelEntities(), PanelIcons()};
        for (int K = 0; K < 3; ++K) SaveDockPanel(Ini, this, Panels[K], PanelSections[K]);
        for (int Site = 0; Site <= HighestSite; ++Site)
            SaveDockSite(Ini, this, Site, "Dock Sites", SiteNames[Site]);
        SaveToolbars();
        FileManager->SaveMRU(Ini, "Recents");
    });
    return true;
}

bool TFormMain::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == ToolManager && Event->type() == QEvent::MouseButtonPress && CurrentView != DesignerTab) {
        try {
            PushPendingEdits();
        } catch (const std::exception& Error) {
            Dialogs->ShowError(Error.what());
            return true;  // the tool does not run on a page without the typed text
        }
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TFormMain::closeEvent(QCloseEvent* Event)
{
    if (Designer->IsLoading()) {
        // the load stops first; the window closes on the next request
        Designer->CancelLoad();
        Event->ignore();
        return;
    }
    if (FormClose())
        Event->accept();
    else
        Event->ignore();
}

}  // namespace zv
