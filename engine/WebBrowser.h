#pragma once
// The browser control of the design view: a web view whose page is edited in place and
// reached through synchronous calls into the layer's page script (application world). The
// page's own scripts never run; the layer supplies undo units, the control selection, resize
// handles, tag glyphs, runtime backgrounds and window.external.Report.

#include <QEventLoop>
#include <QPointer>
#include <QRectF>
#include <QUrl>
#include <QVariant>
#include <QWebEngineView>

class QMimeData;
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "EngineIds.h"
#include "Exceptions.h"
#include "HtmlElements.h"

namespace zv {

// A failed call into the page: no document, a stale handle, a timeout, or an error the page
// reported (an index out of range, say).
class EEngineError : public Exception { using Exception::Exception; };
// A wait for the page that the user stopped.
class ELoadCanceled : public EEngineError { using EEngineError::EEngineError; };

// One mouse or key event of the page.
struct TPageEvent {
    std::string Type;           // "mousedown", "mousemove", "mouseup", "mouseout", "mouseover",
                                // "click", "dblclick", "keydown", "keyup", "keypress"
    THtmlElement srcElement;    // the element the event happened on
    std::string Tag;            // its tag name in upper case, as the page gave it
    int Button = 0;             // the button that changed: 0 left, 1 middle, 2 right
    int Buttons = 0;            // the buttons held: 1 left, 2 right, 4 middle
    QPoint ClientPos;           // viewport pixels of the page
    int KeyCode = 0;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// One row of the tag glyph table.
struct TGlyphEntry {
    QString Tag;
    QString Url;                // what the entry names; resolved by the browser
    bool Closing = false;
    int Width = 0;
    int Height = 0;
};

// Entries "%%tag^^%%url^^%%0 or 1^^%%..^^%%..^^%%..^^%%width^^%%height^^...**", one after
// the other; malformed entries are skipped.
std::vector<TGlyphEntry> ParseGlyphEntries(const QString& Text);

class TWebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    // Which browser profile the page uses: the default one, shared by every browser, or one of
    // its own, off the record, that goes with the page (so its URL scheme handlers are its own).
    enum class TProfile { Shared, Own };
    explicit TWebBrowser(QWidget* Parent = nullptr, TProfile Profile = TProfile::Shared);
    ~TWebBrowser() override;

    // Loads the URL and waits until the document is complete; false when it failed or did not
    // finish in time. DocumentComplete follows once control is back in the event loop.
    bool Navigate(const QUrl& Url, int TimeoutMs = 30000);
    // Starts loading the URL and returns at once: loadFinished tells when it is there.
    void BeginNavigate(const QUrl& Url);
    bool HasDocument() const { return !Token.isEmpty(); }
    // A load started and not yet finished.
    bool Navigating() const;
    // Grows with every load; handles of an earlier generation are stale.
    uint64_t Generation() const { return FGeneration; }
    THtmlDocument Document();

    // Status bits (OLECMDF_*) of one command, 0 for a command the engine does not know.
    int QueryStatus(int Cmd);
    // The status of many commands in one call.
    std::vector<int> QueryStatusList(const std::vector<int>& Cmds);
    // Runs a command. With Output the command's current value is read instead (a null
    // QVariant when there is none or the selection is mixed). IDM_FIND selects the next match
    // of its input: the text, or a map of "text" and "matchCase".
    bool Exec(int Cmd, const QVariant& Input = {}, QVariant* Output = nullptr);

    // A synchronous call into the page script of the current document.
    QVariant CallLayer(const QString& Function, const QVariantList& Args = {});
    // The same, its answer waited for as AwaitPage waits (the event loop running).
    QVariant AwaitCall(const QString& Function, const QVariantList& Args, int TimeoutMs,
                       bool Cancelable = true);
    // Ends the page's process when it is busy, so that a page that does not answer can be
    // replaced by the next load, or stops a load under way; answers whether it did either.
    bool AbandonPage();
    // Whether the page's process ended since the last load started.
    bool PageGone() const { return FPageGone; }
    // Waits until Done gives true with the event loop running, input included; the page's
    // notices are held meanwhile. Raises ELoadCanceled after CancelWait (when Cancelable),
    // EEngineError when the page's process ends or TimeoutMs pass.
    void AwaitPage(const std::function<bool()>& Done, int TimeoutMs, bool Cancelable = true);
    // The same for work that does not depend on the page (a thread of the program's own):
    // the page's process may end meanwhile, and there is no timeout.
    void AwaitWork(const std::function<bool()>& Done, bool Cancelable = true);
    // Ends the wait of AwaitPage or AwaitWork under way, if any and if it may be ended.
    void CancelWait();
    bool Waiting() const { return WaitLoop != nullptr; }
    bool CanCancelWait() const { return WaitLoop && WaitCancelable; }
    // The primary selection that the middle button pastes; empty: the window system's, where
    // it has one.
    std::function<const QMimeData*()> PrimarySelection;
    // The synchronous calls made since the browser was created.
    uint64_t RoundTrips() const { return FRoundTrips; }
    // How many elements, ranges and pointers the page holds for handles of this side.
    int PageObjectCount();
    // The same, for a handle of the given document generation.
    QVariant CallLayerFor(uint64_t HandleGeneration, const QString& Function,
                          const QVariantList& Args);
    // Holds a page object for every handle of it; when the last copy of the result is gone,
    // the page may drop the object.
    std::shared_ptr<const void> KeepAlive(uint64_t HandleGeneration, int Number);
    void SetCallTimeout(int Ms) { FCallTimeout = Ms; }
    // HTML that goes into the page (inserted, pasted, put into an element) as the page should
    // read it: a body in the form of DesignBodyJson, or empty to let the engine parse the
    // HTML. The designer reads it with the document's own parser.
    virtual QString PageBody(const WideString& Html) { return {}; }
    // The selection has just gone to the clipboard as Html, or the page's own drag of it has
    // come back as Html (Dragged).
    virtual void Copied(const QString& Html, bool Dragged) {}
    // The HTML Fragment of a paste or drop of Html as it goes in: as it is here.
    virtual WideString PastedHtml(const WideString& Fragment, const QString& Html) { return Fragment; }
    int CallTimeout() const { return FCallTimeout; }
    // HTML or text dropped into the page at ClientPos, or pasted there with the middle button:
    // the caret goes there and the data goes in as a paste does. The page's own drag, when
    // Move, is taken from where it was first, as a cut does; the answer is whether it was.
    virtual bool DropData(const QMimeData* Data, const QPointF& ClientPos, bool Move);

signals:
    void DocumentComplete();
    // Mouse down (a double click's second press too), move and up before the page handles
    // them, with the element under the pointer (a null handle outside the page's elements).
    // Skipped while a call or a handler of this browser runs.
    void PreHandleEvent(const zv::TPageEvent& Event);
    // Page events after the page saw them.
    void PageEvent(const zv::TPageEvent& Event);
    // A right click: the element under it and the screen position; no menu of the engine shows.
    void PopupMenu(const zv::THtmlElement& Element, const QPoint& ScreenPos);
    // window.external.Report(element) of the page, and the end of a handle drag on an element
    // that carries an onresizeend handler.
    void Report(const zv::THtmlElement& Element);
    // The undo and redo keys; the engine's own undo never runs. Without a receiver the browser
    // undoes or redoes one unit itself.
    void UndoKey();
    void RedoKey();
    // The clipboard keys; the engine's own copy, cut and paste never run. Without a receiver
    // the browser does the command itself.
    void PasteKey();
    void CopyKey();
    void CutKey();

protected:
    // Html in place of the selection (Replace) or at the caret, in front of a selected element;
    // read as PageBody says.
    void InsertAtSelection(const WideString& Html, bool Replace);
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    bool event(QEvent* Event) override;
    // While set, the waits of AwaitPage and AwaitWork hold the user's input back until they
    // end instead of passing it on.
    bool HoldInput = false;

private:
    struct TNotice {
        QString Token;
        QString Type;
        int Target = 0;
        THtmlElement Held;       // the target, held from arrival on so that the page keeps it
        QVariantMap Info;
    };
    // The element under the pointer as the last hit test found it, and the rectangle of the
    // viewport over which that answer holds.
    struct THit {
        bool Valid = false;
        QRectF Area;
        int Target = 0;
        QString Tag;
    };

    friend class TLayerBridge;
    // A call into the current document: Done is set when its answer came; TakeAnswer gives it
    // as CallLayer would.
    struct TPendingCall {
        bool Done = false;
        QVariant Result;
        QPointer<QEventLoop> Loop;   // quit when the answer comes
    };
    static QString CallArguments(const QVariantList& Args);
    static QVariant TakeAnswer(const TPendingCall& Call);
    std::shared_ptr<TPendingCall> Start(const QString& Function, const QString& Arguments,
                                        const QString& UseToken);
    QVariant Invoke(const QString& Function, const QVariantList& Args, const QString& UseToken);
    // AwaitPage and AwaitWork; OnPage: the page's process ending ends the wait.
    void Await(const std::function<bool()>& Done, int TimeoutMs, bool OnPage, bool Cancelable);
    void LoadStarted();
    void LoadFinished(bool Ok);
    void HookFocusProxy();
    void Enqueue(const QString& NoticeToken, const QString& Type, int Target, double Serial,
                 const QVariantMap& Info);
    void ScheduleDelivery();
    void Deliver();
    void Emit(const TNotice& Notice);
    bool PreHandleMouse(QMouseEvent* Event);
    TPageEvent MakeEvent(const QString& Type, const THtmlElement& Target, const QVariantMap& Info) const;
    QPoint ScreenPos(const QPointF& ClientPos) const;
    bool CopySelection(bool Cut);
    bool PasteClipboard();
    bool InsertData(const QMimeData* Data);
    bool DropEvent(QEvent* Event);
    // Puts Data in at ClientPos: a drop, or the middle button's paste (not Drop); answers
    // whether the page's own drag was moved.
    bool PasteData(const QMimeData* Data, const QPointF& ClientPos, bool Move, bool Drop);
    void TakePendingDrop();
    bool Find(const QVariant& Input);
    bool Hyperlink(const QVariant& Input);
    bool AddGlyphs(const QString& Text);
    // Returns once the page has handled every key and click sent to it before.
    void WaitForInput();
    bool EditKey(QKeyEvent* Key);

    QString Token;              // of the current document's page script; empty while loading
    uint64_t FGeneration = 1;
    int FCallTimeout = 10000;
    int CallDepth = 0;
    bool InHandler = false;
    bool DeliveryScheduled = false;
    bool Loading = false;
    bool FPageGone = false;
    int Outstanding = 0;        // calls started whose answer has not come
    QPointer<QEventLoop> WaitLoop;
    bool WaitCanceled = false;
    bool WaitCancelable = true;
    // Ends the wait of AwaitPage when it is over; run when an answer or a load arrives.
    std::function<void()> WaitCheck;
    std::deque<TNotice> Notices;
    QVariantList Released;      // page objects to drop with the next call
    std::unordered_map<int, std::weak_ptr<const void>> Kept;   // page objects held here
    double NoticesSeen = 0;     // serial of the last notice that arrived
    uint64_t FRoundTrips = 0;
    THit LastHit;
    QPointer<QWidget> Proxy;
    bool Dropping = false;      // a drop, not the middle button's paste, is going in
    struct TPendingDrop {
        std::shared_ptr<QMimeData> Data;
        QPointF Pos;
        bool Move = false;
        uint64_t Generation = 0;
    };
    std::optional<TPendingDrop> PendingDrop;   // dropped while the engine's drag was under way
    bool InputSent = false;     // input went to the page after the last echo came back
    bool Echoing = false;
    int EchoesSent = 0;         // to the current document
};

}  // namespace zv

Q_DECLARE_METATYPE(zv::TPageEvent)
Q_DECLARE_METATYPE(zv::THtmlElement)
