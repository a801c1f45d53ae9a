#include "HtmlDesigner.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <map>
#include <atomic>
#include <limits>
#include <thread>
#include <QThread>
#include <malloc.h>
#include <sys/stat.h>

#include "DesignTree.h"
#include "HtmlFilter.h"
#include "HtmlParser.h"
#include "HtmlUtils.h"
#include "HtmlWriter.h"
#include "NameSpace.h"
#include "UnitFind.h"
#include "UnitHyperlink.h"
#include "Streams.h"
#include "TableEditor.h"

static void InitDesignResources() { Q_INIT_RESOURCE(design); }

namespace zv {

namespace {

// The pictures that "edit:" + name + ".gif" serves.
const char* const PictureNames[] = {
    "absolute", "activex", "anchor",   "applet",   "asp",      "basefont",  "bgsound",
    "broken",   "comment", "embed",    "flash",    "hidden",   "isindex",   "map",
    "marquee",  "mplayer", "noframes", "noscript", "php",      "quicktime", "real",
    "remote",   "script",  "scriptfile", "trans",  "unknown"};

// Tag glyphs: tag, height, width; every tag but br also has a closing glyph.
struct TGlyphRow {
    const char* Tag;
    int Height;
    int Width;
};
const TGlyphRow GlyphRows[] = {
    {"br", 14, 14},  {"address", 15, 59}, {"blockquote", 15, 77}, {"center", 15, 52},
    {"del", 15, 32}, {"div", 15, 30},     {"form", 15, 41},       {"h1", 15, 26},
    {"h2", 15, 26},  {"h3", 15, 26},      {"h4", 15, 26},         {"h5", 15, 26},
    {"h6", 15, 26},  {"ins", 15, 30},     {"p", 15, 20},          {"pre", 15, 33}};

std::string UpperAscii(std::string_view Text)
{
    std::string Result(Text);
    for (char& C : Result)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Result;
}

std::string FolderOf(const std::string& FileName)
{
    return std::filesystem::absolute(std::filesystem::path(FileName)).parent_path().string();
}

// The command's input for a colour: its HTML name; empty, which takes the colour off, for no
// colour or a system colour (the default of the colour buttons).
QString ColorCommandValue(TColor Color)
{
    if (Color == clNone || IsSysColor(Color)) return {};
    return QString::fromStdU16String(ColorToHtmlName(Color));
}

// Why the design view's engine cannot show the elements from Top down as they are: they nest
// deeper than it keeps, or one has more attributes than it takes in time; empty when nothing
// keeps it.
std::string Unshowable(const THtmlNode& Top)
{
    int Depth = 0;
    const auto Check = [&](const TLinkNode& N) -> std::string {
        const auto* Tag = dynamic_cast<const THtmlTag*>(&N);
        if (!Tag) return {};
        if (Depth > THtmlDesigner::MaxNesting)
            return "its elements nest more than " + std::to_string(THtmlDesigner::MaxNesting) +
                   " levels deep";
        if (Tag->GetAttributeCount() > THtmlDesigner::MaxAttributes)
            return "an element of it has more than " + std::to_string(THtmlDesigner::MaxAttributes) +
                   " attributes";
        return {};
    };
    std::string Reason = Check(Top);
    // Top's children are at 1
    Depth = 1;
    for (const TLinkNode* N = Top.First(); N && Reason.empty();) {
        Reason = Check(*N);
        if (N->First()) {
            N = N->First();
            ++Depth;
            continue;
        }
        while (N != &Top && !N->Next()) {
            N = N->Parent();
            --Depth;
        }
        N = N == &Top ? nullptr : N->Next();
    }
    return Reason;
}

bool IsKeyEvent(const std::string& Type) { return Type.rfind("key", 0) == 0; }
bool IsHoverEvent(const std::string& Type)
{
    return Type == "mousemove" || Type == "mouseover" || Type == "mouseout";
}

}  // namespace

// ---------------------------------------------------------------- construction

THtmlDesigner::THtmlDesigner(QWidget* Parent)
    : TWebBrowser(Parent, TProfile::Own),
      Filter(std::make_unique<THtmlFilter>()),
      FTables(std::make_unique<TTableEditor>(*this))
{
    InitDesignResources();
    RegisterNameSpace(
        [this](QObject* Sender, const WideString& URL, bool& Handled, int& Size,
               TMemoryStream& Stream) { NameSpaceRequest(Sender, URL, Handled, Size, Stream); },
        page()->profile());
    connect(this, &TWebBrowser::PreHandleEvent, this, &THtmlDesigner::EditDesignerHook);
    connect(this, &TWebBrowser::PageEvent, this, &THtmlDesigner::DocumentEvent);
    connect(this, &TWebBrowser::PopupMenu, this, &THtmlDesigner::DocumentPopupMenu);
    connect(this, &TWebBrowser::Report, this, &THtmlDesigner::ElementResized);
    connect(this, &TWebBrowser::DocumentComplete, this, &THtmlDesigner::DocumentCompleted);
    connect(this, &TWebBrowser::UndoKey, this, &THtmlDesigner::Undo);
    connect(this, &TWebBrowser::RedoKey, this, &THtmlDesigner::Redo);
    connect(this, &TWebBrowser::PasteKey, this, &THtmlDesigner::Paste);
    connect(this, &TWebBrowser::CopyKey, this, &THtmlDesigner::Copy);
    connect(this, &TWebBrowser::CutKey, this, &THtmlDesigner::Cut);
    // after the browser's own handler: the page has its token by then
    connect(this, &QWebEngineView::loadFinished, this, &THtmlDesigner::BackgroundLoadFinished);
}

THtmlDesigner::~THtmlDesigner() { UnregisterNameSpace(page()->profile()); }

// ---------------------------------------------------------------- page events

void THtmlDesigner::AttachDocumentEvents()
{
    // events of an earlier document no longer reach the handlers
    EventsGeneration = Generation();
    if (FShowTagGlyphs) FillGlyphTable();
}

void THtmlDesigner::DocumentCompleted()
{
    if (OnDocumentComplete) OnDocumentComplete(this);
}

THtmlElement THtmlDesigner::CaretElement(const THtmlElement& Fallback)
{
    try {
        const THtmlSelection Sel = Document().selection();
        THtmlElement Element =
            Sel.type() == "Control" ? Sel.controlElement() : Sel.createRange().parentElement();
        if (Element) return Element;
    } catch (const EEngineError&) {
    }
    return Fallback;
}

void THtmlDesigner::DocumentEvent(const TPageEvent& Event)
{
    if (!Event.srcElement || Event.srcElement.Generation() != EventsGeneration) return;
    // a key names the editing host: the element that holds the caret counts; the pointer
    // passing over elements does not move the place where tools insert
    if (IsKeyEvent(Event.Type)) {
        FCurrentElement = CaretElement(Event.srcElement);
        FTables->KeyEvent();
    }
    else if (!IsHoverEvent(Event.Type))
        FCurrentElement = Event.srcElement;

    static const std::pair<const char*, TDesignerEvent THtmlDesigner::*> Routes[] = {
        {"mousedown", &THtmlDesigner::OnMouseDown}, {"mousemove", &THtmlDesigner::OnMouseMove},
        {"mouseup", &THtmlDesigner::OnMouseUp},     {"mouseout", &THtmlDesigner::OnMouseOut},
        {"mouseover", &THtmlDesigner::OnMouseOver}, {"click", &THtmlDesigner::OnClick},
        {"dblclick", &THtmlDesigner::OnDblClick},   {"keydown", &THtmlDesigner::OnKeyDown},
        {"keyup", &THtmlDesigner::OnKeyUp},         {"keypress", &THtmlDesigner::OnKeyPress}};
    for (const auto& [Type, Handler] : Routes)
        if (Event.Type == Type) {
            if (this->*Handler) (this->*Handler)(this);
            return;
        }
}

void THtmlDesigner::DocumentPopupMenu(const THtmlElement& Element, const QPoint& ScreenPos)
{
    if (Element.Generation() != EventsGeneration) return;
    FCurrentElement = Element;
    if (OnPopupMenu) OnPopupMenu(this, ScreenPos.x(), ScreenPos.y());
}

void THtmlDesigner::EditDesignerHook(const TPageEvent& Event)
{
    if (!Event.srcElement || Event.srcElement.Generation() != EventsGeneration) return;
    FTables->MouseEvent(Event);
}

// ---------------------------------------------------------------- loading and saving

THtmlDesigner::TDesignPage THtmlDesigner::MakeDesignPage(THtmlFilter& From)
{
    // The head goes to the engine as HTML, the body as the tree itself: the engine's parser
    // would rearrange it (see DesignTree.h).
    const THtmlNode* Body = From.Root() ? From.Root()->FindFirstOfKind(tagBody) : nullptr;
    TDesignPage Page;
    Page.Data = QString::fromStdU16String(From.GetDesignShell()).toUtf8();
    if (Body)
        Page.BodyJson = QString::fromStdU16String(DesignBodyJson(*static_cast<const THtmlTag*>(Body)));
    return Page;
}

void THtmlDesigner::ResetForLoad(TDesignPage Page)
{
    BackgroundBody.reset();
    FTables->Reset();
    ClearUndo();
    ResizedIds.clear();
    EventsGeneration = 0;
    FCurrentElement = {};
    DocumentData = std::move(Page.Data);
    ReadChanges = -1;
}

void THtmlDesigner::LoadDesignHtml(bool Wait)
{
    TDesignPage Page = MakeDesignPage(*Filter);
    const QString BodyJson = std::move(Page.BodyJson);
    ResetForLoad(std::move(Page));
    if (!Wait) {
        BackgroundBody = BodyJson;
        BeginNavigate(QUrl(QStringLiteral("idoc:index.html")));
        return;
    }
    if (!Navigate(QUrl(QStringLiteral("idoc:index.html"))))
        throw EEngineError("The design view could not show the document");
    FinishLoading(BodyJson);
}

void THtmlDesigner::Stage(const char* Text, bool Cancelable)
{
    StageShown = true;
    StageCancelable = Cancelable;
    if (OnLoadProgress) OnLoadProgress(this, QString::fromLatin1(Text));
}

namespace {
// Where the page of a load fetches its body from: the body travels as bytes, not inside the
// script of a call.
const char16_t* const LoadingBodyUrl = u"idoc:index.body.json";
}  // namespace

// A page built and laid out in less time than this is drawn as quickly.
constexpr qint64 QuickPageMs = 100;

// The end of a load that told its stages is told as an empty stage.
struct THtmlDesigner::TLoadScope {
    THtmlDesigner& Designer;
    explicit TLoadScope(THtmlDesigner& D) : Designer(D) { Designer.StageShown = false; }
    ~TLoadScope()
    {
        if (!Designer.StageShown) return;
        Designer.StageShown = false;
        if (Designer.OnLoadProgress) Designer.OnLoadProgress(&Designer, QString());
    }
};

void THtmlDesigner::ShowPageAwaiting(TDesignPage Page, std::vector<uint8_t> Body, bool Restoring)
{
    const bool Cancelable = !Restoring;
    const int Timeout = Restoring ? DefaultLoadTimeout : LoadTimeout;
    const auto Ask = [&](const char* Function, const QVariantList& Args = {}) {
        return AwaitCall(QString::fromLatin1(Function), Args, Timeout, Cancelable);
    };
    ResetForLoad(std::move(Page));
    QElapsedTimer Building;
    Stage("Loading the page", Cancelable);
    BeginNavigate(QUrl(QStringLiteral("idoc:index.html")));
    AwaitPage([this] { return !Navigating(); }, Timeout, Cancelable);
    if (!HasDocument()) throw EEngineError("The design view could not show the document");
    Building.start();
    if (!Body.empty()) {
        Stage("Building the page", Cancelable);
        LoadingBody = std::move(Body);
        const auto Served = qScopeGuard([this] { LoadingBody.clear(); });
        BodyTaken(Ask("fetchBody", {QString::fromUtf16(LoadingBodyUrl)}).toList(),
                  [&] { return Ask("moreBody"); });
    }
    Stage("Laying out the page", Cancelable);
    Ask("laidOut");
    AttachDocumentEvents();
    // Drawing a big page, and drawing it again after a change of its selection, keeps it from
    // answering for a long time: calls made meanwhile would wait for it without input. A page
    // built and laid out in a moment draws in one too, and goes on at once.
    if (Building.elapsed() < QuickPageMs) {
        if (OnPageShown) OnPageShown(this);
        return;
    }
    const auto AwaitDrawn = [&] {
        while (!Ask("drawn").toBool()) {
            QElapsedTimer Pause;
            Pause.start();
            AwaitWork([&] { return Pause.elapsed() >= 5; }, Cancelable);
        }
    };
    Stage("Drawing the page", Cancelable);
    AwaitDrawn();
    if (OnPageShown) {
        OnPageShown(this);
        AwaitDrawn();
    }
}

void THtmlDesigner::FinishLoading(const QString& BodyJson)
{
    if (!BodyJson.isEmpty()) {
        BodyTaken(CallLayer("setBody", {BodyJson}).toList(), [this] { return CallLayer("moreBody"); });
    }
    AttachDocumentEvents();
}

void THtmlDesigner::BodyTaken(const QVariantList& Answer, const std::function<QVariant()>& More)
{
    for (bool Left = Answer.value(1).toBool(); Left;) Left = More().toBool();
    // the tree holds the body as the page now shows it
    ReadChanges = Answer.value(0).toLongLong();
    ReadGeneration = Generation();
}

void THtmlDesigner::BackgroundLoadFinished()
{
    if (!BackgroundBody || !HasDocument()) return;
    const QString BodyJson = *BackgroundBody;
    BackgroundBody.reset();
    try {
        FinishLoading(BodyJson);
    } catch (const std::exception&) {
        // the page went while its body was on the way: the next load starts afresh
    }
}

namespace {

// The changed parts of the body as the layer gives them (see bodySource) into Filter; false
// where they do not fit its tree.
bool ReadChangedParts(THtmlFilter& Filter, const QVariantList& Parts)
{
    std::vector<THtmlFilter::TDesignPart> List;
    for (qsizetype I = 1; I < Parts.size(); ++I) {
        const QVariantList Item = Parts[I].toList();
        if (Item.size() < 7 || (Item.size() - 4) % 3 != 0) return false;
        THtmlFilter::TDesignPart& Part = List.emplace_back();
        Part.Source = Item[0].toString().toStdU16String();
        Part.Before = Item[1].toString().toStdU16String();
        Part.After = Item[2].toString().toStdU16String();
        Part.Up = Item[3].toInt();
        for (qsizetype K = 4; K + 2 < Item.size(); K += 3)
            Part.Path.push_back({Item[K].toInt(), Item[K + 1].toInt(), Item[K + 2].toString().toStdU16String()});
    }
    return Filter.ReadDesignParts(Parts.value(0).toString().toStdU16String(), List);
}

}  // namespace

void THtmlDesigner::ReadPage(bool Await, bool Cancelable)
{
    if (!HasDocument()) return;
    // Await: the answer goes into the tree on a thread, which is not stopped half way
    const auto Call = [&](const char* Function, const QVariantList& Args) {
        return (Await ? AwaitCall(Function, Args, DefaultLoadTimeout, Cancelable) : CallLayer(Function, Args)).toList();
    };
    const auto Ask = [&](qlonglong Seen) { return Call("bodySource", {Seen}); };
    const auto Take = [&](std::function<void()> Work) {
        if (Await) RunAside(std::move(Work), false);
        else Work();
    };
    // a body the page has not changed since the last read is in the tree already; one changed
    // in a few places comes as those places, or whole where they do not fit the tree
    QVariantList Read = Ask(ReadGeneration == Generation() ? ReadChanges : -1);
    if (Read.size() == 2 && Read[1].typeId() == QMetaType::QVariantList) {
        bool Fits = false;
        Take([&] { Fits = ReadChangedParts(*Filter, Read[1].toList()); });
        if (!Fits) Read = Ask(-1);
    }
    if (Read.size() < 2) throw EEngineError("The design view did not give its body");
    if (Read[1].typeId() == QMetaType::QString) {
        // the whole body, in pieces put together with the tree's work
        WideString Source;
        for (QVariantList Piece = Read.mid(1);; Piece = Call("moreSource", {})) {
            const QString Text = Piece.value(0).toString();
            Source.append(reinterpret_cast<const char16_t*>(Text.utf16()), Text.size());
            if (!Piece.value(1).toBool()) break;
        }
        Take([&] { Filter->ReadDesign(Source); });
    }
    ReadChanges = Read[0].toLongLong();
    ReadGeneration = Generation();
}

// What a load prepares on a thread of its own. The thread shares it: a load given up leaves it
// to the thread, which ends on its own.
struct THtmlDesigner::TLoadWork {
    THtmlFilter Next;
    TDesignPage Page;
    std::vector<uint8_t> Body;   // JSON, UTF-8
};

// A run of RunAside: whether it ended, and how.
struct THtmlDesigner::TAsideRun {
    std::atomic<bool> Done = false;
    std::exception_ptr Error;
};

THtmlDesigner::TFormerRun::~TFormerRun()
{
    if (Thread.joinable()) Thread.join();
}

void THtmlDesigner::RunAside(std::function<void()> Work, bool Cancelable)
{
    std::erase_if(FormerRuns, [](TFormerRun& Former) {
        if (!Former.Run->Done) return false;
        Former.Thread.join();
        return true;
    });
    const auto Run = std::make_shared<TAsideRun>();
    std::thread Worker([Run, Work = std::move(Work)] {
        try {
            Work();
        } catch (...) {
            Run->Error = std::current_exception();
        }
        Run->Done = true;
    });
    try {
        AwaitWork([&] { return Run->Done.load(); }, Cancelable);
    } catch (...) {
        // a wait given up goes on at once; the thread ends with what it works on
        if (Cancelable)
            FormerRuns.push_back({std::move(Worker), Run});
        else
            Worker.join();
        throw;
    }
    Worker.join();
    if (Run->Error) std::rethrow_exception(Run->Error);
}

void THtmlDesigner::Prepare(const std::shared_ptr<TLoadWork>& Work, TLoad Load, bool Cancelable)
{
    // the thread holds Work: a load given up leaves it there
    RunAside([Work, Load = std::move(Load)] {
        if (Load) Load(Work->Next);
        TDesignPage& Page = Work->Page;
        Page = MakeDesignPage(Work->Next);
        const QByteArray Utf8 = Page.BodyJson.toUtf8();
        Page.BodyJson.clear();
        Work->Body.assign(Utf8.cbegin(), Utf8.cend());
    }, Cancelable);
}

void THtmlDesigner::ReplaceDocument(TLoad Load, const std::string& FileName)
{
    if (Waiting()) throw EEngineError("The design view is busy");
    // what a load that did not end well made goes when it ends, and back to the system
    auto Trim = qScopeGuard([] { malloc_trim(0); });
    const TLoadScope Scope(*this);
    const bool NewFile = !FileName.empty();
    auto Work = std::make_shared<TLoadWork>();
    THtmlFilter& Next = Work->Next;
    Next.Generator = Filter->Generator;
    Next.SetBasePath(NewFile ? FolderOf(FileName) : BasePath());
    // The new document and its page are prepared aside, while the document shown stays as
    // it is.
    Stage(NewFile ? "Reading the file" : "Preparing the page");
    const std::string Named = NewFile ? FileName : std::string("The page");
    Prepare(Work, [Load = std::move(Load), Named](THtmlFilter& Next) {
        Load(Next);
        const THtmlNode* Body = Next.Root() ? Next.Root()->FindFirstOfKind(tagBody) : nullptr;
        if (const std::string Reason = Body ? Unshowable(*Body) : std::string(); !Reason.empty())
            throw EEngineError(Named + ": " + Reason + ", more than the design view can show.");
    }, true);

    try {
        ReadPage(true, true);
    } catch (const ELoadCanceled&) {
        throw;
    } catch (const EEngineError&) {
        // a page that cannot give its body: the document as last read
    }
    // the new document takes the filter; the one it replaces waits aside until the new one
    // shows: the new one half in the filter would save as a mix of the two
    Filter->SwapDocument(Next);
    const std::string OldName = FFileName, OldBase = BasePath();
    if (NewFile) {
        Filter->SetBasePath(FolderOf(FileName));
        FFileName = FileName;
    }
    try {
        ShowPageAwaiting(std::move(Work->Page), std::move(Work->Body), false);
    } catch (const std::exception& Failure) {
        FFileName = OldName;
        Filter->SetBasePath(OldBase);
        Filter->SwapDocument(Next);
        // a page still busy with the new document is ended; the previous one comes back
        AbandonPage();
        RestorePage();
        if (dynamic_cast<const ELoadCanceled*>(&Failure)) throw;
        throw EEngineError("The design view could not show " + (NewFile ? FileName : "the page") +
                           ": " + Failure.what());
    }
    // The document replaced, and the texts made for the page, go on a thread while the designer
    // waits: freeing a large document takes a while. What they held goes back to the system
    // instead of staying with the program.
    Trim.dismiss();
    RunAside([Old = std::move(Work)]() mutable {
        Old.reset();
        malloc_trim(0);
    }, false);
}

void THtmlDesigner::RestorePage()
{
    // Not to be stopped: without its page the document could not be edited. It waits aside
    // while its page is prepared, so that the thread has it to itself.
    Stage("Restoring the previous document", false);
    const auto Work = std::make_shared<TLoadWork>();
    Work->Next.SwapDocument(*Filter);
    bool Prepared = false;
    try {
        Prepare(Work, nullptr, false);
        Prepared = true;
    } catch (const std::exception&) {
    }
    Filter->SwapDocument(Work->Next);
    if (!Prepared) return;
    try {
        ShowPageAwaiting(std::move(Work->Page), std::move(Work->Body), true);
    } catch (const std::exception&) {
        // the page stays without a document; the filter holds it for saving
    }
}

void THtmlDesigner::LoadFromFile(const std::string& FileName)
{
    const auto File = std::make_shared<TFileStream>(FileName, TFileMode::OpenRead);
    ReplaceDocument([File](THtmlFilter& Next) { Next.LoadFromStream(*File); }, FileName);
}

void THtmlDesigner::SetHtml(const WideString& Text)
{
    ReplaceDocument([Text](THtmlFilter& Next) { Next.LoadFromString(Text); }, {});
}

void THtmlDesigner::NewDocument(bool Wait)
{
    Filter->NewDocument();
    FFileName.clear();
    LoadDesignHtml(Wait);
}

WideString THtmlDesigner::GetHtml()
{
    ReadPage();
    return Filter->GetSourceText();
}

std::unique_ptr<THtmlRoot> THtmlDesigner::GetSourceTree()
{
    ReadPage();
    return Filter->RebuildSource();
}

void THtmlDesigner::SaveToFile(const std::string& FileName)
{
    if (Waiting()) throw EEngineError("The design view is busy");
    // read and written while the event loop runs, not to be stopped half way; the user's input
    // waits until the end, so that the page and the document stay as read
    HoldInput = true;
    const auto Held = qScopeGuard([this] { HoldInput = false; });
    ReadPage(true, false);
    // straight into the temporary file: no second copy of the page in memory
    RunAside([&] { SaveFileAtomically(FileName, [this](TStream& File) { Filter->SaveToStream(File); }); }, false);
    FFileName = FileName;
    Filter->SetBasePath(FolderOf(FileName));
}

WideString THtmlDesigner::GetTitle() const
{
    // the design document's head has no title: it lives in the document tree
    const THtmlRoot* Root = Filter->Root();
    const THtmlNode* Title = Root ? Root->FindFirstOfKind(tagTitle) : nullptr;
    return Title ? GetPlainText(Title, false) : WideString();
}

THtmlRoot* THtmlDesigner::StoredRoot() const { return Filter->Root(); }

THtmlTag* THtmlDesigner::StoredBody() const
{
    THtmlRoot* Root = Filter->Root();
    return Root ? dynamic_cast<THtmlTag*>(Root->FindFirstOfKind(tagBody)) : nullptr;
}

THtmlNode* THtmlDesigner::StoredNode(const THtmlElement& Element) const
{
    return Element ? Filter->FindObject(Utf8ToUtf16(Element.id())) : nullptr;
}

const std::string& THtmlDesigner::BasePath() const { return Filter->BasePath(); }

void THtmlDesigner::GetMapNames(TWideStrings& Names)
{
    ReadPage();
    Filter->GetMapNames(Names);
}

void THtmlDesigner::NameSpaceRequest(QObject*, const WideString& URL, bool& Handled, int& Size,
                                     TMemoryStream& Stream)
{
    if (URL.size() < 5) return;
    const WideStringView Scheme = WideStringView(URL).substr(0, 4);
    if (Scheme == u"edit") {
        if (URL.size() < 6) return;
        for (const char* Name : PictureNames) {
            if (URL[5] != static_cast<char16_t>(Name[0])) continue;
            if (!SameTextAscii(URL, u"edit:" + Utf8ToUtf16(Name) + u".gif")) continue;
            QFile Picture(":/edit/" + QString::fromLatin1(Name).toUpper() + ".png");
            if (!Picture.open(QIODevice::ReadOnly)) return;
            const QByteArray Bytes = Picture.readAll();
            Stream.WriteBuffer(Bytes.constData(), Bytes.size());
            Size = static_cast<int>(Bytes.size());
            Handled = true;
            return;
        }
    } else if (Scheme == u"idoc") {
        const bool Shell = SameTextAscii(URL, u"idoc:index.html");
        if (Shell) {
            Stream.WriteBuffer(DocumentData.constData(), DocumentData.size());
            Size = static_cast<int>(DocumentData.size());
            Handled = true;
            return;
        }
        // the body is asked for once: it goes as it is, without a copy
        if (!LoadingBody.empty() && SameTextAscii(URL, LoadingBodyUrl)) {
            Stream.Bytes() = std::move(LoadingBody);
            LoadingBody = {};
            Size = static_cast<int>(Stream.Size());
            Handled = true;
            return;
        }
        // files next to the document; a document without a folder has none
        if (BasePath().empty()) return;
        const std::string Path = BasePath() + Utf16ToUtf8(WideStringView(URL).substr(5));
        if (!IsRegularFile(Path)) return;
        Stream.LoadFromFile(Path);
        Size = static_cast<int>(Stream.Size());
        Handled = true;
    }
}

// ---------------------------------------------------------------- selection

TSelectionKind THtmlDesigner::GetSelectionKind()
{
    try {
        if (!HasDocument()) return skNone;
        const THtmlSelection Sel = Document().selection();
        const std::string Type = Sel.type();
        if (Type == "Control") return skElement;
        if (Type == "Text") return Sel.createRange().text().empty() ? skElement : skText;
    } catch (const std::exception&) {
    }
    return skNone;
}

bool THtmlDesigner::HasControlSelection()
{
    try {
        return HasDocument() && Document().selection().type() == "Control";
    } catch (const std::exception&) {
        return false;
    }
}

std::string THtmlDesigner::TagNameOf(const std::string& Id, const std::string& OwnTag) const
{
    if (const THtmlNode* Stored = Filter->FindObject(Utf8ToUtf16(Id)))
        return UpperAscii(TagNameFromId(Stored->Kind()));
    return UpperAscii(OwnTag);
}

std::string THtmlDesigner::GetSelectedTagName()
{
    switch (GetSelectionKind()) {
    case skElement:
        try {
            if (FCurrentElement.IsCurrent())
                return TagNameOf(FCurrentElement.id(), FCurrentElement.tagName());
        } catch (const EEngineError&) {
        }
        return {};
    case skText:
        return "Text";
    default:
        return {};
    }
}

void THtmlDesigner::InsertHtml(const WideString& Html)
{
    TUndoGroup Group(*this, "Insert");
    InsertAtSelection(Html, false);
}

QString THtmlDesigner::PageBody(const WideString& Html)
{
    // read by the document's own parser and handed over as the loaded body is (see
    // DesignTree.h): the engine's parser would save it in its own spelling
    const std::unique_ptr<THtmlRoot> Tree = ParseHtml(u"<body>" + Html + u"</body>");
    const THtmlNode* Body = Tree->FindFirstOfKind(tagBody);
    if (!Body) return {};
    return QString::fromStdU16String(DesignBodyJson(*static_cast<const THtmlTag*>(Body)));
}

namespace {

// The stored nodes behind the design elements last copied from a design view, as they were
// then, and the HTML they came with: one for the clipboard, one for a drag.
struct TCopiedObjects {
    QString Html;
    std::map<WideString, std::shared_ptr<const THtmlNode>> Nodes;
};
TCopiedObjects& CopiedObjects(bool Dragged)
{
    static TCopiedObjects Copied[2];
    return Copied[Dragged];
}

const QRegularExpression& DesignIdAttribute()
{
    static const QRegularExpression Id(QStringLiteral(R"re( id="(dsgn_:::_\d+)")re"));
    return Id;
}

}  // namespace

void THtmlDesigner::Copied(const QString& Html, bool Dragged)
{
    TCopiedObjects& C = CopiedObjects(Dragged);
    C.Html = Html;
    C.Nodes.clear();
    for (const QRegularExpressionMatch& M : DesignIdAttribute().globalMatch(Html)) {
        const WideString Id = M.captured(1).toStdU16String();
        if (auto Node = Filter->CopyObject(Id)) C.Nodes[Id] = std::move(Node);
    }
}

WideString THtmlDesigner::PastedHtml(const WideString& Fragment, const QString& Html)
{
    const TCopiedObjects& Dragged = CopiedObjects(true);
    const TCopiedObjects& C = Dragged.Html == Html ? Dragged : CopiedObjects(false);
    const bool Ours = C.Html == Html;
    QString S = QString::fromStdU16String(Fragment), Out;
    qsizetype From = 0;
    for (const QRegularExpressionMatch& M : DesignIdAttribute().globalMatch(S)) {
        Out += S.mid(From, M.capturedStart() - From);
        From = M.capturedEnd();
        // an element whose node did not come along goes in without an id: it cannot stand for
        // a node of this document
        const auto Kept = Ours ? C.Nodes.find(M.captured(1).toStdU16String()) : C.Nodes.end();
        if (Kept != C.Nodes.end())
            Out += QStringLiteral(" id=\"%1\"").arg(QString::fromStdU16String(Filter->AddObjectCopy(*Kept->second)));
    }
    Out += S.mid(From);
    return Out.toStdU16String();
}

void THtmlDesigner::ElementResized(const THtmlElement& Element)
{
    FCurrentElement = Element;
    const std::string Id = Element.id();
    StoreSize(Element, Id, true);
    ResizedIds.insert(Id);
    if (OnResized) OnResized(this);
}

void THtmlDesigner::StoreSize(const THtmlElement& Element, const std::string& Id, bool Measure)
{
    // The width and height attributes the drag left; an img's offset size would also count
    // its border, and the saved picture would grow by it with every resize.
    std::optional<WideString> Width = Element.getAttribute("width");
    std::optional<WideString> Height = Element.getAttribute("height");
    if (Measure && (!Width || !Height)) {
        const QRect Box = Element.offsetRect();
        if (!Width) Width = IntToWide(Box.width());
        if (!Height) Height = IntToWide(Box.height());
    }
    Filter->SetObjectSize(Utf8ToUtf16(Id), Width.value_or(WideString()),
                          Height.value_or(WideString()));
}

void THtmlDesigner::RestoreResizedSizes()
{
    // the stored size follows the page when a resize is undone or redone
    if (ResizedIds.empty() || !HasDocument()) return;
    const THtmlDocument Doc = Document();
    for (const std::string& Id : ResizedIds)
        if (const THtmlElement Element = Doc.getElementById(Id)) StoreSize(Element, Id, false);
}

void THtmlDesigner::SetGenerator(const std::string& Value)
{
    if (Value == FGenerator) return;
    FGenerator = Value;
    Filter->Generator = Value;
}

// ---------------------------------------------------------------- tag glyphs

void THtmlDesigner::SetShowTagGlyphs(bool Value)
{
    if (Value == FShowTagGlyphs) return;
    FShowTagGlyphs = Value;
    if (!HasDocument()) return;
    if (Value)
        FillGlyphTable();
    else
        ClearGlyphTable();
}

void THtmlDesigner::FillGlyphTable()
{
    for (const TGlyphRow& Row : GlyphRows) {
        const QString Tag = QString::fromLatin1(Row.Tag);
        AddGlyph(Tag, Tag.toUpper() + (Tag == "br" ? "" : "1"), Row.Height, Row.Width, 4, 3, 3, 0);
    }
    for (const TGlyphRow& Row : GlyphRows) {
        const QString Tag = QString::fromLatin1(Row.Tag);
        if (Tag != "br") AddGlyph(Tag, Tag.toUpper() + "2", Row.Height, Row.Width, 4, 3, 3, 1);
    }
}

void THtmlDesigner::AddGlyph(const QString& Tag, const QString& Picture, int Height, int Width,
                             int A, int B, int C, int Closing)
{
    const QString Url = "res://" + QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
                        "/GIFS/" + Picture;
    QString Entry;
    for (const QString& Field :
         {Tag, Url, QString::number(Closing), QString::number(C), QString::number(B),
          QString::number(A), QString::number(Width), QString::number(Height),
          QString::number(Width), QString::number(Height)})
        Entry += "%%" + Field + "^^";
    ExecCommandEx(IDM_ADDTOGLYPHTABLE, Entry + "**");
}

void THtmlDesigner::ClearGlyphTable() { ExecCommandEx(IDM_EMPTYGLYPHTABLE, false); }

// ---------------------------------------------------------------- commands

int THtmlDesigner::QueryCommandStatus(int Cmd)
{
    try {
        return QueryStatus(Cmd);
    } catch (const EEngineError&) {
        return 0;
    }
}

bool THtmlDesigner::ExecCommand(int Cmd) { return Exec(Cmd); }

bool THtmlDesigner::ExecCommandEx(int Cmd, const QVariant& Input, QVariant* Output)
{
    return Exec(Cmd, Input, Output);
}

namespace {

bool TableCan(THtmlDesigner& D, int Id) { return D.Tables().Can(Id); }
void TableRun(THtmlDesigner& D, int Id, const char* Name, const QVariant& Input) { D.Tables().Run(Id, Name, Input); }

using S = TDesignerState;
const TDesignerCommand Commands[] = {
    {IDM_CUT, "Cut", false, &S::Cut},
    {IDM_COPY, nullptr, false, &S::Copy},
    {IDM_PASTE, "Paste", false, &S::Paste},
    {IDM_FIND, nullptr, false, &S::Find},
    {IDM_BOLD, "Bold", true, &S::Bold},
    {IDM_ITALIC, "Italic", true, &S::Italic},
    {IDM_UNDERLINE, "Underline", true, &S::Underline},
    {IDM_JUSTIFYLEFT, "Left", true, &S::AlignLeft},
    {IDM_JUSTIFYCENTER, "Center", true, &S::AlignCenter},
    {IDM_JUSTIFYRIGHT, "Right", true, &S::AlignRight},
    {IDM_ORDERLIST, "Order List", true, &S::OrderList},
    {IDM_UNORDERLIST, "Unorder List", true, &S::UnorderList},
    {IDM_INDENT, "Indent", false, &S::Indent},
    {IDM_OUTDENT, "Outdent", false, &S::Outdent},
    {IDM_HYPERLINK, "Hyperlink", false, &S::Hyperlink},
    {IDM_FORECOLOR, "Fore Color", false, &S::ForeColor},
    {IDM_BACKCOLOR, "Back Color", false, &S::BackColor},
    {IDM_BLOCKFMT, "Block Format", false, &S::BlockFormat},
    {IDM_FONTNAME, "Font Name", false, &S::FontName},
    {IDM_FONTSIZE, "Font Size", false, &S::FontSize},
    // the table commands
    {IDT_INSERTROWABOVE, "Insert Row Above", false, nullptr, TableCan, TableRun},
    {IDT_INSERTROWBELOW, "Insert Row Below", false, nullptr, TableCan, TableRun},
    {IDT_DELETEROWS, "Delete Rows", false, nullptr, TableCan, TableRun},
    {IDT_INSERTCOLUMNBEFORE, "Insert Column Before", false, nullptr, TableCan, TableRun},
    {IDT_INSERTCOLUMNAFTER, "Insert Column After", false, nullptr, TableCan, TableRun},
    {IDT_DELETECOLUMNS, "Delete Column", false, nullptr, TableCan, TableRun},
    {IDT_MERGECELLS, "Merge Cells", false, nullptr, TableCan, TableRun},
    {IDT_UNMERGECELLS, "Unmerge Cells", false, nullptr, TableCan, TableRun},
    {IDT_FIXTABLE, "Fix Table", false, nullptr, TableCan, TableRun},
    {IDT_CELLHALIGN, "Cell Horizontal Alignment", false, nullptr, TableCan, TableRun},
    {IDT_CELLVALIGN, "Cell Vertical Alignment", false, nullptr, TableCan, TableRun}};

// The flags of a command that say it can run.
int CanFlags(const TDesignerCommand* Command)
{
    return Command && Command->Toggle ? OLECMDF_ENABLED | OLECMDF_LATCHED : OLECMDF_ENABLED;
}

bool IsEngineCommand(const TDesignerCommand& Command) { return Command.State != nullptr; }

}  // namespace

std::span<const TDesignerCommand> DesignerCommands() { return Commands; }

const TDesignerCommand* FindDesignerCommand(int Id)
{
    for (const TDesignerCommand& Command : Commands)
        if (Command.Id == Id) return &Command;
    return nullptr;
}

const TCommandState& TDesignerState::Of(int Id) const
{
    static const TCommandState Never;
    const TDesignerCommand* Command = FindDesignerCommand(Id);
    return Command && IsEngineCommand(*Command) ? this->*(Command->State) : Never;
}

bool THtmlDesigner::CanDo(int Cmd) { return QueryCommandStatus(Cmd) & OLECMDF_ENABLED; }

bool THtmlDesigner::CanRun(int Id)
{
    const TDesignerCommand* Command = FindDesignerCommand(Id);
    if (Command && Command->Can) return HasDocument() && Command->Can(*this, Id);
    return QueryCommandStatus(Id) & CanFlags(Command);
}

bool THtmlDesigner::IsOn(int Id)
{
    const TDesignerCommand* Command = FindDesignerCommand(Id);
    return (!Command || IsEngineCommand(*Command)) && (QueryCommandStatus(Id) & OLECMDF_LATCHED);
}

void THtmlDesigner::Run(int Id, const QVariant& Input)
{
    const TDesignerCommand* Command = FindDesignerCommand(Id);
    if (Command && Command->Run) {
        if (!HasDocument()) return;
        Command->Run(*this, Id, Command->Name, Input);
        FollowReplacedElement();
    } else if (Command && Command->Name) {
        Perform(Command->Name, Id, Input);
    } else {
        ExecCommandEx(Id, Input);
    }
}

template <class F> void THtmlDesigner::Act(const char* Name, F&& Change)
{
    {
        TUndoGroup Group(*this, Name);
        Change();
    }
    FollowReplacedElement();
}

void THtmlDesigner::FollowReplacedElement()
{
    try {
        if (FCurrentElement.IsCurrent() && CallLayer("connected", {FCurrentElement.Number()}).toBool()) return;
    } catch (const EEngineError&) {
    }
    FCurrentElement = CaretElement(FCurrentElement);
}

void THtmlDesigner::Perform(const char* Name, int Cmd, const QVariant& Input)
{
    Act(Name, [&] { ExecCommandEx(Cmd, Input); });
}

QString THtmlDesigner::CommandValue(int Cmd)
{
    QVariant Output;
    if (!(QueryCommandStatus(Cmd) & OLECMDF_SUPPORTED) || !ExecCommandEx(Cmd, {}, &Output) ||
        Output.isNull())
        return {};
    return Output.toString();
}

bool THtmlDesigner::DropData(const QMimeData* Data, const QPointF& ClientPos, bool Move)
{
    bool Moved = false;
    {
        TUndoGroup Group(*this, "Paste");
        Moved = TWebBrowser::DropData(Data, ClientPos, Move);
    }
    if (OnChange) OnChange(this);
    return Moved;
}

void THtmlDesigner::Copy() { Run(IDM_COPY); }
void THtmlDesigner::Cut() { Run(IDM_CUT); }
void THtmlDesigner::Paste() { Run(IDM_PASTE); }
void THtmlDesigner::Find() { FindDialog()->Execute(); }

bool THtmlDesigner::FindNext(const QString& Text, bool MatchCase)
{
    return ExecCommandEx(IDM_FIND, QVariantMap{{"text", Text}, {"matchCase", MatchCase}});
}

bool THtmlDesigner::IsAnchorPlaceholder(const std::string& Id) const
{
    const THtmlNode* Stored = Filter->FindObject(Utf8ToUtf16(Id));
    return Stored && Stored->Kind() == tagA;
}

bool THtmlDesigner::CanHyperlink()
{
    if (!CanDo(IDM_HYPERLINK)) return false;
    if (GetSelectionKind() != skElement || !FCurrentElement.IsCurrent()) return true;
    try {
        return !IsAnchorPlaceholder(FCurrentElement.id());
    } catch (const EEngineError&) {
        return true;
    }
}

THtmlElement THtmlDesigner::SelectionLink()
{
    try {
        THtmlElement Element = CaretElement({});
        for (int Depth = 0; Element && Depth < 256; ++Depth) {
            const std::string Tag = UpperAscii(Element.tagName());
            // selected text in a named anchor is linked on its own; a caret there stands for it
            if (Tag == "A" && (Element.getAttribute("href") || GetSelectionKind() != skText)) return Element;
            if (Tag == "BODY") break;
            Element = Element.parentElement();
        }
    } catch (const EEngineError&) {
    }
    return {};
}

bool THtmlDesigner::Hyperlink()
{
    const THtmlElement Link = SelectionLink();
    const QString Old =
        Link ? QString::fromStdU16String(Link.getAttribute("href").value_or(WideString())) : QString();
    QString Url = Old.isEmpty() ? QStringLiteral("http://") : Old;
    if (!HyperlinkDialog()->Execute(Url)) return false;
    if (!Link) {
        SetHyperlink(Url);
        return true;
    }
    // the link is edited where it stands: the same address writes nothing
    if (Url == Old.trimmed() || !Link.IsCurrent()) return false;
    Act("Hyperlink", [&] { Link.setAttribute("href", Url.toStdU16String()); });
    return true;
}

void THtmlDesigner::SetHyperlink(const QString& Url) { Run(IDM_HYPERLINK, Url); }
void THtmlDesigner::Unlink() { Perform("Unlink", IDM_UNLINK); }

void THtmlDesigner::SetBackColor(TColor Color)
{
    Run(IDM_BACKCOLOR, ColorCommandValue(Color));
}
void THtmlDesigner::SetForeColor(TColor Color)
{
    Run(IDM_FORECOLOR, ColorCommandValue(Color));
}

void THtmlDesigner::SetBlockFormat(const QString& Name) { Run(IDM_BLOCKFMT, Name); }
QString THtmlDesigner::GetBlockFormat() { return CommandValue(IDM_BLOCKFMT); }

void THtmlDesigner::GetBlockFormats(QStringList& Strings)
{
    Strings.clear();
    QVariant Output;
    if (!ExecCommandEx(IDM_GETBLOCKFMTS, {}, &Output)) return;
    for (const QVariant& Name : Output.toList()) Strings.append(Name.toString());
}

void THtmlDesigner::SetFontName(const QString& Name) { Run(IDM_FONTNAME, Name); }
QString THtmlDesigner::GetFontName() { return CommandValue(IDM_FONTNAME); }

void THtmlDesigner::SetFontSize(int Size)
{
    Run(IDM_FONTSIZE, std::clamp(Size, 1, 7));
}

int THtmlDesigner::GetFontSize()
{
    bool Ok = false;
    const int Size = CommandValue(IDM_FONTSIZE).toInt(&Ok);
    return Ok ? Size : -1;
}

TDesignerState THtmlDesigner::GetState()
{
    TDesignerState S;
    if (!HasDocument()) return S;
    QVariantList IdList;
    for (const TDesignerCommand& Command : Commands)
        if (IsEngineCommand(Command)) IdList.append(Command.Id);
    const QVariantList Values{IDM_BLOCKFMT, IDM_FONTNAME, IDM_FONTSIZE};
    const int Current = FCurrentElement.IsCurrent() ? FCurrentElement.Number() : 0;
    QVariantList Answer;
    try {
        Answer = CallLayer("state", {IdList, Values, Current}).toList();
    } catch (const EEngineError&) {
        return S;
    }
    const QVariantList Flags = Answer.value(0).toList();
    for (size_t K = 0; K < std::size(Commands) && IsEngineCommand(Commands[K]); ++K) {
        const TDesignerCommand& Command = Commands[K];
        int F = Flags.value(static_cast<qsizetype>(K)).toInt();
        if (Command.Id == IDM_PASTE && (F & OLECMDF_ENABLED)) {
            const QMimeData* Clip = QApplication::clipboard()->mimeData();
            if (!Clip || !(Clip->hasHtml() || Clip->hasText())) F &= ~OLECMDF_ENABLED;
        }
        TCommandState& State = S.*(Command.State);
        State.Can = F & CanFlags(&Command);
        State.Is = F & OLECMDF_LATCHED;
    }
    const QVariantList Read = Answer.value(1).toList();
    S.BlockFormatName = Read.value(0).isNull() ? QString() : Read.value(0).toString();
    S.FontNameValue = Read.value(1).isNull() ? QString() : Read.value(1).toString();
    bool Ok = false;
    const int Size = Read.value(2).toString().toInt(&Ok);
    S.FontSizeValue = Read.value(2).isNull() || !Ok ? -1 : Size;

    S.SelectionKind = static_cast<TSelectionKind>(Answer.value(2).toInt());
    S.Changes = Answer.value(5).toLongLong();
    SyncUndoList(Answer.value(3).toInt());
    S.CanUndo = FUndoIndex >= 0;
    S.CanRedo = FUndoIndex < static_cast<int>(FUndoList.size()) - 1;
    const QVariantList Element = Answer.value(4).toList();
    const std::string Id = Element.value(0).toString().toStdString();
    if (S.SelectionKind == skElement && !Element.isEmpty()) {
        S.SelectedTagName = TagNameOf(Id, Element.value(1).toString().toStdString());
        if (IsAnchorPlaceholder(Id)) S.Hyperlink.Can = false;
    } else if (S.SelectionKind == skText) {
        S.SelectedTagName = "Text";
    }
    return S;
}

// ---------------------------------------------------------------- undo groups

int THtmlDesigner::CountUndoUnits()
{
    return HasDocument() ? Document().UndoManager().CountUndoable() : 0;
}

int THtmlDesigner::ExpectedUndoUnits() const
{
    int Sum = 0;
    for (int K = 0; K <= FUndoIndex; ++K) Sum += FUndoList[K].Units;
    return Sum;
}

void THtmlDesigner::SyncUndoList() { SyncUndoList(CountUndoUnits()); }

void THtmlDesigner::SyncUndoList(int EngineUnits)
{
    const int Expected = ExpectedUndoUnits();
    if (EngineUnits == Expected) return;
    if (EngineUnits > Expected) {
        // units the designer did not wrap, such as typing: one group each
        FUndoList.resize(FUndoIndex + 1);
        FUndoList.insert(FUndoList.end(), EngineUnits - Expected, TUndoAction{{}, 1});
    } else {
        FUndoList.assign(EngineUnits, TUndoAction{{}, 1});
    }
    FUndoIndex = static_cast<int>(FUndoList.size()) - 1;
}

void THtmlDesigner::BeginAction(const std::string& Name)
{
    const int Units = CountUndoUnits();
    SyncUndoList(Units);
    PendingAction = Name;
    PendingUnits = Units;
    PendingStored.clear();
}

void THtmlDesigner::KeepStoredNode(const std::string& Id)
{
    const WideString Key = Utf8ToUtf16(Id);
    for (const TUndoAction::TStoredState& S : PendingStored)
        if (S.Id == Key) return;
    if (auto Before = Filter->CopyObject(Key)) PendingStored.push_back({Key, std::move(Before), nullptr});
}

void THtmlDesigner::KeepHead()
{
    for (const TUndoAction::TStoredState& S : PendingStored)
        if (S.Id.empty()) return;
    if (auto Before = Filter->CopyHead()) PendingStored.push_back({{}, std::move(Before), nullptr});
}

void THtmlDesigner::RestoreKept(const TUndoAction::TStoredState& State, const THtmlNode& Copy)
{
    if (!State.Id.empty()) {
        Filter->RestoreObject(State.Id, Copy);
        return;
    }
    Filter->RestoreHead(Copy);
    if (OnHeadChange) OnHeadChange(this);
}

bool THtmlDesigner::EndAction()
{
    const int Units = std::max(0, CountUndoUnits() - PendingUnits);
    bool StoredChanged = false;
    for (TUndoAction::TStoredState& S : PendingStored) {
        S.After = S.Id.empty() ? Filter->CopyHead() : Filter->CopyObject(S.Id);
        if (!S.After || NodeToHtml(const_cast<THtmlNode*>(S.Before.get())) != NodeToHtml(const_cast<THtmlNode*>(S.After.get())))
            StoredChanged = true;
    }
    std::vector<TUndoAction::TStoredState> Stored = std::move(PendingStored);
    PendingStored.clear();
    std::shared_ptr<std::unique_ptr<THtmlRoot>> Tree = std::exchange(PendingTree, nullptr);
    if (PendingPageAfter) {
        TUndoAction Action;
        Action.Name = PendingAction;
        Action.PageBefore = std::exchange(PendingPageBefore, nullptr);
        Action.PageAfter = std::exchange(PendingPageAfter, nullptr);
        FUndoList = {std::move(Action)};
        FUndoIndex = 0;
        return true;
    }
    if (Units == 0 && !StoredChanged && !Tree) return false;
    FUndoList.resize(FUndoIndex + 1);
    FUndoList.push_back({PendingAction, Units, std::move(Stored), std::move(Tree)});
    ++FUndoIndex;
    return true;
}

TUndoGroup::TUndoGroup(THtmlDesigner& Designer, const std::string& Name) : Designer(Designer)
{
    if (Designer.OpenGroups > 0) InnerUnits = Designer.CountUndoUnits();
    else Designer.BeginAction(Name);
    ++Designer.OpenGroups;
}

TUndoGroup::~TUndoGroup()
{
    try {
        Close();
    } catch (...) {
        // an engine failure while unwinding leaves the units ungrouped
    }
}

bool TUndoGroup::Close()
{
    if (Open) {
        Open = false;
        --Designer.OpenGroups;
        Changed = InnerUnits >= 0 ? Designer.CountUndoUnits() != InnerUnits : Designer.EndAction();
    }
    return Changed;
}

void TUndoGroup::ReplacePage(const WideString& Before, const WideString& After)
{
    if (Designer.ReplaceInPlace(After)) return;
    if (!Designer.ConfirmClearUndo()) throw ELoadCanceled("The page was left as it was");
    Designer.SetHtml(After);
    Designer.PendingPageBefore = std::make_shared<const WideString>(Before);
    Designer.PendingPageAfter = std::make_shared<const WideString>(After);
}

bool THtmlDesigner::ReplaceInPlace(const WideString& Text)
{
    if (Waiting()) throw EEngineError("The design view is busy");
    if (!HasDocument()) return false;
    const TLoadScope Scope(*this);
    // the new document's design ids follow those of the stored nodes: the elements of the
    // page before, which undo may bring back, keep leading to theirs
    const int FirstId = Filter->ObjectCount();
    auto Work = std::make_shared<TLoadWork>();
    Work->Next.Generator = Filter->Generator;
    Work->Next.SetBasePath(BasePath());
    Stage("Preparing the page");
    Prepare(Work, [Text, FirstId](THtmlFilter& Next) {
        Next.LoadFromString(Text, FirstId);
        const THtmlNode* Body = Next.Root() ? Next.Root()->FindFirstOfKind(tagBody) : nullptr;
        if (const std::string Reason = Body ? Unshowable(*Body) : std::string(); !Reason.empty())
            throw EEngineError("The page: " + Reason + ", more than the design view can show.");
    }, true);
    if (Work->Body.empty()) return false;
    if (Filter->ObjectCount() != FirstId) throw EEngineError("The page changed while the text was read");
    // the tree set aside holds the page as it is (a template may have put the selection there)
    ReadPage();
    HoldInput = true;
    const auto Held = qScopeGuard([this] { HoldInput = false; });
    std::unique_ptr<THtmlRoot> Before = Filter->TakeDocument(Work->Next);
    try {
        LoadingBody = std::move(Work->Body);
        const auto Served = qScopeGuard([this] { LoadingBody.clear(); });
        AwaitCall(QStringLiteral("replaceBody"), {QString::fromUtf16(LoadingBodyUrl)}, LoadTimeout, false);
    } catch (const std::exception& Failure) {
        // the page may still be taking the body: the document before comes back by a load
        Filter->SwapTree(std::move(Before));
        AbandonPage();
        RestorePage();
        throw EEngineError(std::string("The design view could not show the page: ") + Failure.what());
    }
    PendingTree = std::make_shared<std::unique_ptr<THtmlRoot>>(std::move(Before));
    // the tree's body is the filter's own reading of Text until the page's is read
    ReadChanges = -1;
    FTables->Reset();
    FollowReplacedElement();
    if (OnHeadChange) OnHeadChange(this);
    return true;
}

void THtmlDesigner::TradeTree(const TUndoAction& Action)
{
    *Action.Tree = Filter->SwapTree(std::move(*Action.Tree));
    ReadChanges = -1;
    ReadPage();
    if (OnHeadChange) OnHeadChange(this);
}

bool THtmlDesigner::ConfirmClearUndo()
{
    SyncUndoList();
    if (FUndoList.empty()) return true;
    QMessageBox Box(QMessageBox::Question, QStringLiteral("Confirm"), QString::fromLatin1(ClearsHistoryText),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    Box.setDefaultButton(QMessageBox::Ok);
    Box.setEscapeButton(QMessageBox::Cancel);
    return Box.exec() == QMessageBox::Ok;
}

bool THtmlDesigner::ReplacePage(const std::string& Name, const WideString& Text)
{
    const WideString Before = GetHtml();
    if (Text == Before) return false;
    TUndoGroup Group(*this, Name);
    Group.ReplacePage(Before, Text);
    return Group.Close();
}

void THtmlDesigner::ClearUndo()
{
    FUndoList.clear();
    FUndoIndex = -1;
    PendingUnits = 0;
}

bool THtmlDesigner::CanUndo()
{
    SyncUndoList();
    return FUndoIndex >= 0;
}

void THtmlDesigner::LoadActionPage(const TUndoAction& Action, bool After)
{
    const TUndoAction Kept = Action;  // the load clears the list that holds Action
    SetHtml(After ? *Kept.PageAfter : *Kept.PageBefore);
    FUndoList = {Kept};
    FUndoIndex = After ? 0 : -1;
}

void THtmlDesigner::Undo()
{
    SyncUndoList();
    if (FUndoIndex < 0) return;
    const TUndoAction& Action = FUndoList[FUndoIndex];
    if (Action.PageBefore) {
        LoadActionPage(Action, false);
        return;
    }
    for (int K = 0; K < Action.Units; ++K) ExecCommand(IDM_UNDO);
    for (auto S = Action.Stored.rbegin(); S != Action.Stored.rend(); ++S) RestoreKept(*S, *S->Before);
    if (Action.Tree) TradeTree(Action);
    --FUndoIndex;
    RestoreResizedSizes();
    FollowReplacedElement();
}

bool THtmlDesigner::CanRedo()
{
    SyncUndoList();
    return FUndoIndex < static_cast<int>(FUndoList.size()) - 1;
}

void THtmlDesigner::Redo()
{
    SyncUndoList();
    if (FUndoIndex > static_cast<int>(FUndoList.size()) - 2) return;
    if (FUndoList[FUndoIndex + 1].PageAfter) {
        LoadActionPage(FUndoList[FUndoIndex + 1], true);
        return;
    }
    ++FUndoIndex;
    const TUndoAction& Action = FUndoList[FUndoIndex];
    for (int K = 0; K < Action.Units; ++K) ExecCommand(IDM_REDO);
    for (const TUndoAction::TStoredState& S : Action.Stored)
        if (S.After) RestoreKept(S, *S.After);
    if (Action.Tree) TradeTree(Action);
    RestoreResizedSizes();
    FollowReplacedElement();
}

// ---------------------------------------------------------------- dialogs

TFormFind* THtmlDesigner::FindDialog()
{
    if (!FFindDialog) {
        FFindDialog = new TFormFind(this);
        FFindDialog->OnFindNext = [this](const QString& Text, bool MatchCase) {
            return FindNext(Text, MatchCase);
        };
    }
    return FFindDialog;
}

TFormHyperlink* THtmlDesigner::HyperlinkDialog()
{
    if (!FHyperlinkDialog) FHyperlinkDialog = new TFormHyperlink(this);
    return FHyperlinkDialog;
}

}  // namespace zv
