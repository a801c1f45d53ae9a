#include "WebBrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <csignal>
#include <cstring>
#include <limits>
#include <memory>
#include <sys/types.h>

#include "KeyText.h"

static void InitEngineResources() { Q_INIT_RESOURCE(engine); }

namespace zv {

// Receives the page's notifications through the web channel.
class TLayerBridge : public QObject {
    Q_OBJECT
public:
    explicit TLayerBridge(TWebBrowser* Owner) : QObject(Owner), Browser(Owner) {}
public slots:
    void notify(const QString& Token, const QString& Type, int Target, double Serial,
                const QVariantMap& Info)
    {
        Browser->Enqueue(Token, Type, Target, Serial, Info);
    }

private:
    TWebBrowser* Browser;
};

namespace {

// How long a call waits for its answer with only the engine's own work running.
constexpr int EngineWorkWaitMs = 2000;
// How long a call waits for the page to handle the input sent before it.
constexpr int InputWaitMs = 2000;
// The echo: the release of a key no keyboard has, with every modifier held. The page counts
// it and lets nothing else see it.
constexpr Qt::Key EchoKey = Qt::Key_F24;
constexpr Qt::KeyboardModifiers EchoModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;

// The page of the design view: no dialogs, no console output, no navigation away.
class TEnginePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override
    {
        return false;
    }
    // a file field of the page clicked in the view picks nothing
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override
    {
    }
    bool acceptNavigationRequest(const QUrl&, NavigationType Type, bool IsMainFrame) override
    {
        return !IsMainFrame || (Type != NavigationTypeLinkClicked &&
                                Type != NavigationTypeFormSubmitted &&
                                Type != NavigationTypeBackForward);
    }
};

QString ReadResource(const QString& Name)
{
    QFile File(Name);
    if (!File.open(QIODevice::ReadOnly)) throw EEngineError("Missing resource " + Name.toStdString());
    return QString::fromUtf8(File.readAll());
}

QWebEngineScript ApplicationScript(const QString& Name, const QString& Source,
                                   QWebEngineScript::InjectionPoint Point)
{
    QWebEngineScript Script;
    Script.setName(Name);
    Script.setSourceCode(Source);
    Script.setWorldId(QWebEngineScript::ApplicationWorld);
    Script.setInjectionPoint(Point);
    Script.setRunsOnSubFrames(false);
    return Script;
}

// "res://<program>/<type>/<name>" names a picture compiled into the program: ":/<type>/<name>"
// with or without a picture extension. It goes to the page as a data URL; other URLs stay.
QString ResolveGlyphUrl(const QString& Url)
{
    if (!Url.startsWith(QLatin1String("res://"), Qt::CaseInsensitive)) return Url;
    const QStringList Parts = Url.mid(6).split(u'/', Qt::SkipEmptyParts);
    if (Parts.size() < 3) return {};
    const QString Base = ":/" + Parts[Parts.size() - 2] + "/" + Parts.last();
    for (const QString& Name : {Base, Base + ".gif", Base + ".png", Base.toLower() + ".gif",
                                Base.toLower() + ".png"}) {
        QFile File(Name);
        if (!File.open(QIODevice::ReadOnly)) continue;
        const QByteArray Bytes = File.readAll();
        const QString Type = QMimeDatabase().mimeTypeForFileNameAndData(Name, Bytes).name();
        return "data:" + Type + ";base64," + QString::fromLatin1(Bytes.toBase64());
    }
    return {};
}

// The HTML of the clipboard without the document frame other programs put around it.
QString ClipboardFragment(QString Html)
{
    const int Start = Html.indexOf(QLatin1String("<!--StartFragment-->"));
    const int End = Html.indexOf(QLatin1String("<!--EndFragment-->"));
    if (Start >= 0 && End > Start) return Html.mid(Start + 20, End - Start - 20);
    static const QRegularExpression Body(QStringLiteral("<body[^>]*>(.*)</body>"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch M = Body.match(Html);
    if (M.hasMatch()) return M.captured(1);
    static const QRegularExpression Meta(QStringLiteral("^\\s*<meta[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    return Html.remove(Meta);
}

// The mark the page puts on a drag of its own selection (its type is the layer's dragType).
// The engine carries the page's own types in one record: a count, then each type and its
// value as a length and UTF-16 text, every field on a four-byte boundary.
QString PageDragMark(const QMimeData* Data)
{
    const QByteArray Bytes = Data->data(QStringLiteral("chromium/x-web-custom-data"));
    qsizetype At = 4;  // past the record's size
    const auto Word = [&](quint32& Value) {
        if (At + 4 > Bytes.size()) return false;
        memcpy(&Value, Bytes.constData() + At, 4);
        At += 4;
        return true;
    };
    const auto Text = [&](QString& Value) {
        quint32 Length = 0;
        if (!Word(Length) || Length > (Bytes.size() - At) / 2) return false;
        Value.resize(Length);
        memcpy(Value.data(), Bytes.constData() + At, Length * 2);
        At += (Length * 2 + 3) & ~qsizetype(3);
        return true;
    };
    quint32 Count = 0;
    QString Type, Value;
    for (Word(Count); Count > 0 && Text(Type) && Text(Value); --Count)
        if (Type == QLatin1String("application/x-zandovell-drag")) return Value;
    return {};
}

const char* MouseType(QEvent::Type Type)
{
    switch (Type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return "mousedown";
    case QEvent::MouseButtonRelease:
        return "mouseup";
    default:
        return "mousemove";
    }
}

int DomButtons(Qt::MouseButtons Buttons)
{
    return (Buttons & Qt::LeftButton ? 1 : 0) | (Buttons & Qt::RightButton ? 2 : 0) |
           (Buttons & Qt::MiddleButton ? 4 : 0);
}

int DomButton(Qt::MouseButton Button)
{
    return Button == Qt::RightButton ? 2 : Button == Qt::MiddleButton ? 1 : 0;
}

}  // namespace

std::vector<TGlyphEntry> ParseGlyphEntries(const QString& Text)
{
    std::vector<TGlyphEntry> Result;
    for (const QString& Entry : Text.split(QLatin1String("**"), Qt::SkipEmptyParts)) {
        QStringList Fields;
        qsizetype Pos = 0;
        while ((Pos = Entry.indexOf(QLatin1String("%%"), Pos)) >= 0) {
            const qsizetype End = Entry.indexOf(QLatin1String("^^"), Pos + 2);
            if (End < 0) break;
            Fields.append(Entry.mid(Pos + 2, End - Pos - 2));
            Pos = End + 2;
        }
        if (Fields.size() < 8) continue;
        TGlyphEntry G;
        bool OkState = false, OkWidth = false, OkHeight = false;
        G.Tag = Fields[0].trimmed().toLower();
        G.Url = Fields[1].trimmed();
        const int State = Fields[2].toInt(&OkState);
        G.Width = Fields[6].toInt(&OkWidth);
        G.Height = Fields[7].toInt(&OkHeight);
        static const QRegularExpression TagName(QStringLiteral("^[a-z][a-z0-9]*$"));
        if (!OkState || !OkWidth || !OkHeight || (State != 0 && State != 1) ||
            !TagName.match(G.Tag).hasMatch() || G.Width < 1 || G.Width > 1000 ||
            G.Height < 1 || G.Height > 1000)
            continue;
        G.Closing = State == 1;
        Result.push_back(G);
    }
    return Result;
}

// ---------------------------------------------------------------- construction

TWebBrowser::TWebBrowser(QWidget* Parent, TProfile Profile) : QWebEngineView(Parent)
{
    InitEngineResources();
    qRegisterMetaType<TPageEvent>();
    qRegisterMetaType<THtmlElement>();

    QWebEngineProfile* Own = Profile == TProfile::Own ? new QWebEngineProfile : nullptr;
    auto* Page = new TEnginePage(Own ? Own : QWebEngineProfile::defaultProfile(), this);
    // a child of the page: freed after the page is done with it
    if (Own) Own->setParent(Page);
    QWebEngineSettings* S = Page->settings();
    S->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    S->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    S->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    S->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    Page->scripts().insert(ApplicationScript("zv-channel",
                                             ReadResource(":/qtwebchannel/qwebchannel.js"),
                                             QWebEngineScript::DocumentCreation));
    Page->scripts().insert(ApplicationScript("zv-layer", ReadResource(":/engine/layer.js"),
                                             QWebEngineScript::DocumentReady));
    auto* Channel = new QWebChannel(this);
    Channel->registerObject(QStringLiteral("zvBridge"), new TLayerBridge(this));
    Page->setWebChannel(Channel, QWebEngineScript::ApplicationWorld);
    setPage(Page);

    connect(this, &QWebEngineView::loadStarted, this, &TWebBrowser::LoadStarted);
    connect(this, &QWebEngineView::loadFinished, this, &TWebBrowser::LoadFinished);
    connect(page(), &QWebEnginePage::renderProcessTerminated, this, [this] {
        FPageGone = true;
        Token.clear();
        Outstanding = 0;
    });
    HookFocusProxy();
}

TWebBrowser::~TWebBrowser()
{
    if (Proxy) Proxy->removeEventFilter(this);
    // handles that go from here on release nothing into members that are going too
    ++FGeneration;
    Notices.clear();
}

THtmlDocument TWebBrowser::Document() { return THtmlDocument(this, FGeneration, -1); }

// ---------------------------------------------------------------- loading

bool TWebBrowser::Navigate(const QUrl& Url, int TimeoutMs)
{
    QPointer<TWebBrowser> Self(this);
    QEventLoop Loop;
    QTimer Timer;
    Timer.setSingleShot(true);
    connect(&Timer, &QTimer::timeout, &Loop, &QEventLoop::quit);
    connect(this, &QWebEngineView::loadFinished, &Loop, &QEventLoop::quit);
    ++CallDepth;
    BeginNavigate(Url);
    QCoreApplication::sendPostedEvents();
    Timer.start(TimeoutMs);
    // a load that was still running ends first; ours follows
    while (Self && Timer.isActive() && Navigating())
        Loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!Self) throw EEngineError("The browser was destroyed while loading");
    --CallDepth;
    ScheduleDelivery();
    return !Loading && HasDocument();
}

bool TWebBrowser::Navigating() const { return Loading || page()->isLoading(); }

void TWebBrowser::BeginNavigate(const QUrl& Url)
{
    Loading = true;
    // the load brings a page process of its own
    FPageGone = false;
    load(Url);
}

void TWebBrowser::LoadStarted()
{
    ++FGeneration;
    Token.clear();
    Released.clear();
    Kept.clear();
    NoticesSeen = 0;
    LastHit = {};
    Loading = true;
    FPageGone = false;
    Outstanding = 0;
    InputSent = false;
    EchoesSent = 0;
}

void TWebBrowser::LoadFinished(bool Ok)
{
    Token.clear();
    if (Ok) {
        try {
            const QVariant T = Invoke(QStringLiteral("hello"), {}, {});
            Token = T.toString();
        } catch (const EEngineError&) {
            Token.clear();  // no page script: not an HTML document
        }
    }
    Loading = false;
    HookFocusProxy();
    if (HasDocument()) Enqueue(Token, QStringLiteral("complete"), 0, 0, {});
}

// ---------------------------------------------------------------- synchronous calls

QVariant TWebBrowser::CallLayer(const QString& Function, const QVariantList& Args)
{
    if (Token.isEmpty()) throw EEngineError("No document is loaded");
    if (Function != QLatin1String("hit")) WaitForInput();
    return Invoke(Function, Args, Token);
}

QVariant TWebBrowser::CallLayerFor(uint64_t HandleGeneration, const QString& Function,
                                   const QVariantList& Args)
{
    if (Token.isEmpty()) throw EEngineError("No document is loaded");
    if (HandleGeneration != FGeneration)
        throw EEngineError("The page object belongs to a document that is gone");
    WaitForInput();
    return Invoke(Function, Args, Token);
}

// Input reaches the page on another road than the calls, and may come later than a call made
// after it. An echo sent on the input's road comes back after all input sent before it.
void TWebBrowser::WaitForInput()
{
    if (!InputSent || !Proxy || Token.isEmpty() || Echoing) return;
    InputSent = false;
    const int Echo = ++EchoesSent;
    QKeyEvent Key(QEvent::KeyRelease, EchoKey, EchoModifiers);
    Echoing = true;
    QCoreApplication::sendEvent(Proxy, &Key);
    Echoing = false;
    QElapsedTimer Clock;
    Clock.start();
    while (Invoke(QStringLiteral("echoes"), {}, Token).toInt() < Echo && Clock.elapsed() < InputWaitMs) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::Timer);
        QThread::usleep(100);
    }
}

std::shared_ptr<const void> TWebBrowser::KeepAlive(uint64_t HandleGeneration, int Number)
{
    if (HandleGeneration != FGeneration || Number <= 0) return {};
    std::weak_ptr<const void>& Entry = Kept[Number];
    if (std::shared_ptr<const void> Alive = Entry.lock()) return Alive;
    // a notice may name an object again that was let go and not yet dropped
    Released.removeAll(Number);
    QPointer<TWebBrowser> Self(this);
    std::shared_ptr<const void> Lifetime(
        static_cast<const void*>(this), [Self, HandleGeneration, Number](const void*) {
            if (!Self || Self->FGeneration != HandleGeneration) return;
            Self->Released.append(Number);
            Self->Kept.erase(Number);
        });
    Entry = Lifetime;
    return Lifetime;
}

int TWebBrowser::PageObjectCount() { return CallLayer(QStringLiteral("objectCount")).toInt(); }

QVariant TWebBrowser::AwaitCall(const QString& Function, const QVariantList& Args, int TimeoutMs,
                                bool Cancelable)
{
    if (Token.isEmpty()) throw EEngineError("No document is loaded");
    WaitForInput();
    const std::shared_ptr<TPendingCall> Call = Start(Function, CallArguments(Args), Token);
    AwaitPage([&] { return Call->Done; }, TimeoutMs, Cancelable);
    return TakeAnswer(*Call);
}

QString TWebBrowser::CallArguments(const QVariantList& Args)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(Args)).toJson(QJsonDocument::Compact));
}

std::shared_ptr<TWebBrowser::TPendingCall> TWebBrowser::Start(const QString& Function,
                                                              const QString& Arguments,
                                                              const QString& UseToken)
{
    QJsonObject Request{{"f", Function}, {"t", UseToken}};
    if (!Released.isEmpty() && UseToken == Token) {
        Request.insert("r", QJsonArray::fromVariantList(Released));
        Request.insert("s", NoticesSeen);
        Released.clear();
    }
    ++FRoundTrips;
    // a call may change the page, and what lies under the pointer with it
    if (Function != QLatin1String("hit")) LastHit.Valid = false;
    QString Head = QString::fromUtf8(QJsonDocument(Request).toJson(QJsonDocument::Compact));
    Head.chop(1);   // the closing brace: the arguments go in front of it
    const QString Script = QStringLiteral("zvLayer.call(") + Head + QStringLiteral(",\"a\":") +
                           Arguments + QStringLiteral("})");
    // the answer may come after its caller gave up: it then lands in state nobody waits for
    auto Call = std::make_shared<TPendingCall>();
    QPointer<TWebBrowser> Self(this);
    ++Outstanding;
    const uint64_t Of = FGeneration;
    page()->runJavaScript(Script, QWebEngineScript::ApplicationWorld, [Call, Self, Of](const QVariant& V) {
        Call->Done = true;
        Call->Result = V;
        if (Self && Self->FGeneration == Of) --Self->Outstanding;
        if (Call->Loop) Call->Loop->quit();
        if (Self && Self->WaitCheck) Self->WaitCheck();
    });
    return Call;
}

QVariant TWebBrowser::TakeAnswer(const TPendingCall& Call)
{
    if (!Call.Done) throw EEngineError("The page did not answer in time");
    const QVariantMap Answer = Call.Result.toMap();
    if (!Answer.value("ok").toBool()) {
        const QString Message = Answer.contains("e") ? Answer.value("e").toString()
                                                      : QStringLiteral("The page script is not ready");
        throw EEngineError(Message.toStdString());
    }
    return Answer.value("v");
}

bool TWebBrowser::AbandonPage()
{
    const qint64 Pid = page()->renderProcessPid();
    const bool Busy = Outstanding > 0 && Pid > 0 && !FPageGone;
    if (!Busy && !Navigating()) return false;
    Token.clear();
    QEventLoop Loop;
    QTimer Timer;
    Timer.setSingleShot(true);
    connect(&Timer, &QTimer::timeout, &Loop, &QEventLoop::quit);
    Timer.start(5000);
    if (Busy) {
        // a page busy in a script answers nothing until the script ends: only its end stops it
        connect(page(), &QWebEnginePage::renderProcessTerminated, &Loop, &QEventLoop::quit);
        ::kill(static_cast<pid_t>(Pid), SIGKILL);
        if (!FPageGone) Loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        // a load under way ends before the next one starts, or the two run into one
        connect(this, &QWebEngineView::loadFinished, &Loop, &QEventLoop::quit);
        page()->triggerAction(QWebEnginePage::Stop);
        while (Timer.isActive() && Navigating()) Loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void TWebBrowser::AwaitPage(const std::function<bool()>& Done, int TimeoutMs, bool Cancelable)
{
    Await(Done, TimeoutMs, true, Cancelable);
}

void TWebBrowser::AwaitWork(const std::function<bool()>& Done, bool Cancelable)
{
    Await(Done, std::numeric_limits<int>::max(), false, Cancelable);
}

void TWebBrowser::Await(const std::function<bool()>& Done, int TimeoutMs, bool OnPage, bool Cancelable)
{
    if (WaitLoop) throw EEngineError("The design view is busy");
    QPointer<TWebBrowser> Self(this);
    QEventLoop Loop;
    WaitLoop = &Loop;
    WaitCanceled = false;
    WaitCancelable = Cancelable;
    QElapsedTimer Clock;
    Clock.start();
    const auto Check = [&] {
        if (!Self || WaitCanceled || (OnPage && FPageGone) || Done() || Clock.elapsed() >= TimeoutMs)
            Loop.quit();
    };
    // answers and loads end the wait as they arrive; short ticks for what comes without a
    // signal (helper threads, the timeout)
    WaitCheck = Check;
    connect(this, &QWebEngineView::loadFinished, &Loop, Check);
    QTimer Tick;
    connect(&Tick, &QTimer::timeout, &Loop, Check);
    ++CallDepth;
    Tick.start(10);
    if (!Done()) Loop.exec(HoldInput ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    if (!Self) throw EEngineError("The browser was destroyed while loading");
    --CallDepth;
    WaitLoop = nullptr;
    WaitCheck = nullptr;
    ScheduleDelivery();
    // a stop asked for counts even when what it waited for came at the same time
    if (WaitCanceled) throw ELoadCanceled("The load was canceled");
    if (Done()) return;
    if (FPageGone) throw EEngineError("The engine's page process ended");
    throw EEngineError("The page did not answer in time");
}

void TWebBrowser::CancelWait()
{
    if (!CanCancelWait()) return;
    WaitCanceled = true;
    WaitLoop->quit();
}

QVariant TWebBrowser::Invoke(const QString& Function, const QVariantList& Args,
                             const QString& UseToken)
{
    const std::shared_ptr<TPendingCall> Call = Start(Function, CallArguments(Args), UseToken);
    QPointer<TWebBrowser> Self(this);
    ++CallDepth;
    // Only the engine's own work runs while the call waits: the engine posts it to itself as
    // timer events, which nothing else of the program posts. Queued slots, timers and
    // notices of the program wait until the call is over, so no handler runs inside another
    // (a posted event that is being handled does not hold these back either).
    QElapsedTimer Clock;
    Clock.start();
    while (!Call->Done && Clock.elapsed() < EngineWorkWaitMs) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::Timer);
        if (!Call->Done) QThread::usleep(Clock.elapsed() < 5 ? 20 : 200);
    }
    // An answer that needs more of the engine than that (work it put off with a timer of its
    // own) is waited for in a loop that leaves out input.
    if (!Call->Done && Self) {
        QEventLoop Loop;
        Call->Loop = &Loop;
        QTimer Timer;
        Timer.setSingleShot(true);
        connect(&Timer, &QTimer::timeout, &Loop, &QEventLoop::quit);
        Timer.start(std::max<qint64>(0, FCallTimeout - Clock.elapsed()));
        if (!Call->Done) Loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!Self) throw EEngineError("The browser was destroyed during a call");
    --CallDepth;
    ScheduleDelivery();
    return TakeAnswer(*Call);
}

// ---------------------------------------------------------------- notifications

void TWebBrowser::Enqueue(const QString& NoticeToken, const QString& Type, int Target,
                          double Serial, const QVariantMap& Info)
{
    // the pointer passing over elements moves nothing; anything else may have
    if (Type != QLatin1String("mousemove") && Type != QLatin1String("mouseover") &&
        Type != QLatin1String("mouseout"))
        LastHit.Valid = false;
    if (Type == QLatin1String("moved")) return;
    TNotice Notice{NoticeToken, Type, Target, {}, Info};
    if (NoticeToken == Token) {
        NoticesSeen = std::max(NoticesSeen, Serial);
        Notice.Held = THtmlElement(this, FGeneration, Target);
    } else if (!Token.isEmpty()) {
        return;   // from a document that is gone
    }
    Notices.push_back(std::move(Notice));
    ScheduleDelivery();
}

void TWebBrowser::ScheduleDelivery()
{
    if (DeliveryScheduled || Notices.empty() || CallDepth > 0 || InHandler) return;
    DeliveryScheduled = true;
    QTimer::singleShot(0, this, &TWebBrowser::Deliver);
}

// Runs the handlers one after the other, never inside a call or inside another handler.
void TWebBrowser::Deliver()
{
    DeliveryScheduled = false;
    if (CallDepth > 0 || InHandler) return;
    QPointer<TWebBrowser> Self(this);
    while (Self && !Notices.empty() && !Token.isEmpty() && CallDepth == 0) {
        const TNotice N = std::move(Notices.front());
        Notices.pop_front();
        if (N.Token != Token) continue;   // from a document that is gone
        InHandler = true;
        try {
            Emit(N);
        } catch (...) {
            // a failing handler must not take the event loop down with it
        }
        if (Self) InHandler = false;
    }
}

void TWebBrowser::Emit(const TNotice& N)
{
    if (N.Type == QLatin1String("complete")) {
        emit DocumentComplete();
        return;
    }
    // a notice that came before the page's token was known is held from here on
    const THtmlElement Target = N.Held ? N.Held : THtmlElement(this, FGeneration, N.Target);
    if (N.Type == QLatin1String("report")) {
        emit Report(Target);
    } else if (N.Type == QLatin1String("contextmenu")) {
        emit PopupMenu(Target, ScreenPos(QPointF(N.Info.value("x").toDouble(),
                                                   N.Info.value("y").toDouble())));
    } else {
        emit PageEvent(MakeEvent(N.Type, Target, N.Info));
    }
}

TPageEvent TWebBrowser::MakeEvent(const QString& Type, const THtmlElement& Target,
                                  const QVariantMap& Info) const
{
    TPageEvent E;
    E.Type = Type.toStdString();
    E.srcElement = Target;
    E.Tag = Info.value("tag").toString().toStdString();
    E.Button = Info.value("button").toInt();
    E.Buttons = Info.value("buttons").toInt();
    E.ClientPos = QPoint(qRound(Info.value("x").toDouble()), qRound(Info.value("y").toDouble()));
    E.KeyCode = Info.value("keyCode").toInt();
    E.Shift = Info.value("shift").toBool();
    E.Ctrl = Info.value("ctrl").toBool();
    E.Alt = Info.value("alt").toBool();
    return E;
}

QPoint TWebBrowser::ScreenPos(const QPointF& ClientPos) const
{
    const QPointF Local = ClientPos * page()->zoomFactor();
    const QWidget* W = Proxy ? Proxy.data() : static_cast<const QWidget*>(this);
    return W->mapToGlobal(Local.toPoint());
}

// ---------------------------------------------------------------- input before the page

void TWebBrowser::HookFocusProxy()
{
    QWidget* Current = focusProxy();
    if (Current == Proxy) return;
    if (Proxy) Proxy->removeEventFilter(this);
    Proxy = Current;
    if (Proxy) Proxy->installEventFilter(this);
}

bool TWebBrowser::event(QEvent* Event)
{
    if (Event->type() == QEvent::Resize) LastHit.Valid = false;
    if (Event->type() == QEvent::Drop && DropEvent(Event)) return true;
    if (Event->type() == QEvent::ChildAdded || Event->type() == QEvent::ChildPolished)
        QTimer::singleShot(0, this, &TWebBrowser::HookFocusProxy);
    return QWebEngineView::event(Event);
}

bool TWebBrowser::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != Proxy) return QWebEngineView::eventFilter(Watched, Event);
    switch (Event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        TakePendingDrop();
        LastHit.Valid = false;
        if (EditKey(static_cast<QKeyEvent*>(Event))) return true;
        if (CommitKeyText(Proxy, static_cast<QKeyEvent*>(Event))) return true;
        InputSent |= Event->type() == QEvent::KeyPress;
        break;
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
        InputSent |= !Echoing;
        break;
    case QEvent::Wheel:
        LastHit.Valid = false;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // The release that ended the engine's drag is the engine's before the drop goes in: a
        // call made before it reaches the page leaves the page one event late ever after.
        if (Event->type() != QEvent::MouseButtonRelease)
            TakePendingDrop();
        else if (PendingDrop)
            QMetaObject::invokeMethod(this, &TWebBrowser::TakePendingDrop, Qt::QueuedConnection);
        if (DropEvent(Event)) return true;
        PreHandleMouse(static_cast<QMouseEvent*>(Event));
        InputSent = true;
        break;
    case QEvent::MouseMove:
        PreHandleMouse(static_cast<QMouseEvent*>(Event));
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(Watched, Event);
}

// HTML dropped into the page and the middle button's paste go in as the page's own paste does:
// the engine would read them with its parser and its computed styles.
bool TWebBrowser::DropEvent(QEvent* Event)
{
    if (!HasDocument()) return false;
    // The engine's own drag may have begun inside a call or a handler: its drop waits for the
    // drag's end, and then for them.
    QDrag* Engine = Event->type() == QEvent::Drop ? findChild<QDrag*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!Engine && (CallDepth > 0 || InHandler)) return false;
    if (Event->type() == QEvent::Drop) {
        auto* Drop = static_cast<QDropEvent*>(Event);
        const QMimeData* Data = Drop->mimeData();
        if (!Data || !(Data->hasHtml() || Data->hasText())) return false;
        Drop->setDropAction(Qt::CopyAction);
        Drop->accept();
        // the engine followed the drag this far: it leaves without a drop
        QDragLeaveEvent Leave;
        QWebEngineView::event(&Leave);
        // the page's own drag moves what it dragged unless Ctrl copies it
        const bool Move = !(Drop->modifiers() & Qt::ControlModifier) && (Drop->possibleActions() & Qt::MoveAction);
        const QPointF Pos = Drop->position() / page()->zoomFactor();
        // The engine's own drag is under way until the window system's drag loop sees this
        // event return; the page holds every key and echo sent to it meanwhile, and comes one
        // event late ever after. The drop goes in once the drag is over.
        if (Engine) {
            auto Copy = std::make_shared<QMimeData>();
            for (const QString& Format : Data->formats()) Copy->setData(Format, Data->data(Format));
            PendingDrop = {Copy, Pos, Move, FGeneration};
            connect(Engine, &QObject::destroyed, this, &TWebBrowser::TakePendingDrop, Qt::QueuedConnection);
            return true;
        }
        if (PasteData(Data, Pos, Move, true)) Drop->setDropAction(Qt::MoveAction);
        return true;
    }
    auto* Mouse = static_cast<QMouseEvent*>(Event);
    if (Mouse->button() != Qt::MiddleButton || !(PrimarySelection || QApplication::clipboard()->supportsSelection()))
        return false;
    Event->accept();
    // the press pastes; the release must not paste again
    if (Event->type() != QEvent::MouseButtonPress) return true;
    TakePendingDrop();
    PasteData(PrimarySelection ? PrimarySelection() : QApplication::clipboard()->mimeData(QClipboard::Selection),
              Mouse->position() / page()->zoomFactor(), false, false);
    return true;
}

void TWebBrowser::TakePendingDrop()
{
    if (!PendingDrop) return;
    if (CallDepth > 0 || InHandler) {
        QTimer::singleShot(10, this, &TWebBrowser::TakePendingDrop);
        return;
    }
    const TPendingDrop Drop = *PendingDrop;
    PendingDrop.reset();
    if (HasDocument() && Drop.Generation == FGeneration) PasteData(Drop.Data.get(), Drop.Pos, Drop.Move, true);
}

bool TWebBrowser::PasteData(const QMimeData* Data, const QPointF& ClientPos, bool Move, bool Drop)
{
    QMimeData Own;
    bool Moved = false;
    Dropping = Drop;
    try {
        // the engine puts only the text of the page's selection there: the page has its markup
        if (!Drop && Data && !Data->hasHtml() && Data->hasText()) {
            const QString Html = CallLayer("selectedMarkup", {Data->text()}).toString();
            if (!Html.isEmpty()) {
                Own.setHtml(Html);
                Own.setText(Data->text());
                Copied(Html, true);
                Data = &Own;
            }
        }
        if (Data) Moved = DropData(Data, ClientPos, Move);
    } catch (...) {
        // dropped like any failure that reaches the event loop
    }
    Dropping = false;
    return Moved;
}

// The undo, redo and clipboard keys go to the browser's receivers, never to the engine.
bool TWebBrowser::EditKey(QKeyEvent* Key)
{
    using TSignal = void (TWebBrowser::*)();
    struct TEditKey {
        QKeySequence::StandardKey Standard;
        TSignal Signal;
        int Cmd;
    };
    static const TEditKey Keys[] = {{QKeySequence::Undo, &TWebBrowser::UndoKey, IDM_UNDO},
                                    {QKeySequence::Redo, &TWebBrowser::RedoKey, IDM_REDO},
                                    {QKeySequence::Paste, &TWebBrowser::PasteKey, IDM_PASTE},
                                    {QKeySequence::Copy, &TWebBrowser::CopyKey, IDM_COPY},
                                    {QKeySequence::Cut, &TWebBrowser::CutKey, IDM_CUT}};
    const TEditKey* Found = nullptr;
    for (const TEditKey& K : Keys)
        if (Key->matches(K.Standard)) Found = &K;
    if (!Found && Key->key() == Qt::Key_Y && Key->modifiers() == Qt::ControlModifier) Found = &Keys[1];
    if (!Found) return false;
    Key->accept();
    if (Key->type() == QEvent::ShortcutOverride) return true;
    try {
        if (isSignalConnected(QMetaMethod::fromSignal(Found->Signal)))
            (this->*Found->Signal)();
        else if (HasDocument())
            Exec(Found->Cmd);
    } catch (...) {
        // dropped like any failure that reaches the event loop
    }
    return true;
}

bool TWebBrowser::PreHandleMouse(QMouseEvent* Event)
{
    if (Event->type() != QEvent::MouseMove || Event->buttons() != Qt::NoButton)
        LastHit.Valid = false;   // a press may scroll, select or drag
    if (!HasDocument() || CallDepth > 0 || InHandler ||
        !isSignalConnected(QMetaMethod::fromSignal(&TWebBrowser::PreHandleEvent)))
        return false;
    const QPointF Client = Event->position() / page()->zoomFactor();
    InHandler = true;
    QPointer<TWebBrowser> Self(this);
    try {
        // a move that stays on the element found last needs no trip to the page
        if (!LastHit.Valid || !LastHit.Area.contains(Client)) {
            const QVariantList Hit =
                CallLayer("hit", {qRound(Client.x()), qRound(Client.y())}).toList();
            const QVariantList Area = Hit.value(2).toList();
            LastHit.Target = Hit.value(0).toInt();
            LastHit.Tag = Hit.value(1).toString();
            LastHit.Area = Area.size() == 4 ? QRectF(Area[0].toDouble(), Area[1].toDouble(),
                                                     Area[2].toDouble(), Area[3].toDouble())
                                                  .adjusted(1, 1, -1, -1)
                                            : QRectF();
            LastHit.Valid = !LastHit.Area.isEmpty() && Event->buttons() == Qt::NoButton;
        }
        TPageEvent E = MakeEvent(QString::fromLatin1(MouseType(Event->type())),
                                 THtmlElement(this, FGeneration, LastHit.Target),
                                 {{"tag", LastHit.Tag}});
        E.Button = DomButton(Event->button());
        E.Buttons = DomButtons(Event->buttons());
        E.ClientPos = Client.toPoint();
        E.Shift = Event->modifiers() & Qt::ShiftModifier;
        E.Ctrl = Event->modifiers() & Qt::ControlModifier;
        E.Alt = Event->modifiers() & Qt::AltModifier;
        emit PreHandleEvent(E);
    } catch (...) {
        // the page goes on with the event whatever happened here
    }
    if (!Self) return false;
    InHandler = false;
    ScheduleDelivery();
    return true;
}

void TWebBrowser::contextMenuEvent(QContextMenuEvent* Event)
{
    // the application's menu comes through PopupMenu; the engine shows none
    Event->accept();
}

// ---------------------------------------------------------------- commands

int TWebBrowser::QueryStatus(int Cmd) { return QueryStatusList({Cmd}).front(); }

std::vector<int> TWebBrowser::QueryStatusList(const std::vector<int>& Cmds)
{
    if (!HasDocument()) return std::vector<int>(Cmds.size(), 0);
    QVariantList Ids;
    for (int Cmd : Cmds) Ids.append(Cmd);
    const QVariantList Answer = CallLayer("status", {QVariant(Ids)}).toList();
    std::vector<int> Result;
    const QMimeData* Clip = nullptr;
    for (qsizetype I = 0; I < Answer.size(); ++I) {
        int Flags = Answer[I].toInt();
        if (Cmds[I] == IDM_PASTE && (Flags & OLECMDF_ENABLED)) {
            if (!Clip) Clip = QApplication::clipboard()->mimeData();
            if (!Clip || !(Clip->hasHtml() || Clip->hasText())) Flags &= ~OLECMDF_ENABLED;
        }
        Result.push_back(Flags);
    }
    return Result;
}

bool TWebBrowser::Exec(int Cmd, const QVariant& Input, QVariant* Output)
{
    if (Output) *Output = QVariant();
    if (!HasDocument()) return false;
    if (Output) {
        if (!(QueryStatus(Cmd) & OLECMDF_SUPPORTED)) return false;
        *Output = CallLayer("value", {Cmd});
        return true;
    }
    switch (Cmd) {
    case IDM_COPY: return CopySelection(false);
    case IDM_CUT: return CopySelection(true);
    case IDM_PASTE: return PasteClipboard();
    case IDM_FIND: return Find(Input);
    case IDM_HYPERLINK: return Hyperlink(Input);
    case IDM_UNDO: return CallLayer("undo").toBool();
    case IDM_REDO: return CallLayer("redo").toBool();
    case IDM_EMPTYGLYPHTABLE: CallLayer("emptyGlyphs"); return true;
    case IDM_ADDTOGLYPHTABLE: return AddGlyphs(Input.toString());
    case IDM_GETBLOCKFMTS: return true;
    default:
        break;
    }
    if (!(QueryStatus(Cmd) & OLECMDF_SUPPORTED)) return false;
    return CallLayer("exec", {Cmd, Input}).toBool();
}

bool TWebBrowser::CopySelection(bool Cut)
{
    const QVariantList Content = CallLayer("selectionContent").toList();
    if (Content.size() < 2) return false;
    auto* Data = new QMimeData;
    Data->setHtml(Content[0].toString());
    if (!Content[1].toString().isEmpty()) Data->setText(Content[1].toString());
    QApplication::clipboard()->setMimeData(Data);
    Copied(Content[0].toString(), false);
    return !Cut || CallLayer("deleteSelection").toBool();
}

bool TWebBrowser::PasteClipboard() { return InsertData(QApplication::clipboard()->mimeData()); }

bool TWebBrowser::DropData(const QMimeData* Data, const QPointF& ClientPos, bool Move)
{
    const int At = CallLayer("dropAt", {ClientPos.x(), ClientPos.y(), PageDragMark(Data), Move, Dropping}).toInt();
    if (!At) return false;
    // the page's own markup: its elements stand for nodes of this document
    if (At == 2 && Data->hasHtml()) Copied(Data->html(), true);
    InsertData(Data);
    if (Dropping) CallLayer("droppedIn");
    return At == 2 && Move;
}

bool TWebBrowser::InsertData(const QMimeData* Data)
{
    if (!Data) return false;
    if (Data->hasHtml()) {
        const QString Html = Data->html();
        InsertAtSelection(PastedHtml(ClipboardFragment(Html).toStdU16String(), Html), true);
        return true;
    }
    if (Data->hasText()) return CallLayer("insertText", {Data->text()}).toBool();
    return false;
}

void TWebBrowser::InsertAtSelection(const WideString& Html, bool Replace)
{
    const QString Body = PageBody(Html);
    if (!Body.isEmpty())
        CallLayer("insertBody", {Body, Replace});
    else
        CallLayer("insertHtml", {QString::fromStdU16String(Html), Replace});
}

bool TWebBrowser::Find(const QVariant& Input)
{
    // the text alone, or a map of "text" and "matchCase"
    const QVariantMap Options = Input.toMap();
    QString Text = Options.isEmpty() ? Input.toString() : Options.value("text").toString();
    const bool MatchCase = Options.value("matchCase").toBool();
    if (Input.isNull()) {
        bool Ok = false;
        Text = QInputDialog::getText(this, tr("Find"), tr("Find what:"), QLineEdit::Normal, {}, &Ok);
        if (!Ok) return false;
    }
    if (Text.isEmpty()) return false;
    return CallLayer("find", {Text, MatchCase}).toBool();
}

bool TWebBrowser::Hyperlink(const QVariant& Input)
{
    QString Url = Input.toString();
    if (Input.isNull()) {
        bool Ok = false;
        Url = QInputDialog::getText(this, tr("Hyperlink"), tr("URL:"), QLineEdit::Normal,
                                    QStringLiteral("http://"), &Ok);
        if (!Ok) return false;
    }
    Url = Url.trimmed();
    if (Url.isEmpty()) return false;
    return CallLayer("exec", {IDM_HYPERLINK, Url}).toBool();
}

bool TWebBrowser::AddGlyphs(const QString& Text)
{
    QVariantList List;
    for (const TGlyphEntry& G : ParseGlyphEntries(Text))
        List.append(QVariantMap{{"tag", G.Tag}, {"url", ResolveGlyphUrl(G.Url)},
                                {"close", G.Closing}, {"width", G.Width}, {"height", G.Height}});
    if (List.isEmpty()) return false;
    CallLayer("addGlyphs", {QVariant(List)});
    return true;
}

}  // namespace zv

#include "WebBrowser.moc"
