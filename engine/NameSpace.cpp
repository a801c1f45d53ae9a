#include "NameSpace.h"

#include <QMimeDatabase>
#include <QStringConverter>
#include <QStringList>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <algorithm>
#include <utility>

namespace zv {

namespace {

const char* const SchemeNames[] = {"edit", "idoc"};

// Makes one protocol object per request, with the callback of its profile; the object lives
// until the job is gone.
class TNameSpaceHandler : public QWebEngineUrlSchemeHandler {
public:
    TNameSpaceHandler(TNameSpaceRequestEvent Callback, QObject* Parent)
        : QWebEngineUrlSchemeHandler(Parent), Callback(std::move(Callback))
    {
    }
    void requestStarted(QWebEngineUrlRequestJob* Job) override
    {
        auto* Protocol = new TEditorNameSpace(Callback);
        QObject::connect(Job, &QObject::destroyed, Protocol, [Protocol] {
            Protocol->Terminate();
            Protocol->deleteLater();
        });
        try {
            if (Protocol->Start(Job->requestUrl(), Job) != S_OK)
                Job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        } catch (...) {
            // errors of the callback end the request, they never reach the engine's thread
            Job->fail(QWebEngineUrlRequestJob::RequestFailed);
        }
    }
    TNameSpaceRequestEvent Callback;
};

QWebEngineProfile* ProfileOrDefault(QWebEngineProfile* Profile)
{
    return Profile ? Profile : QWebEngineProfile::defaultProfile();
}

// The handler installed on Profile; null when there is none.
TNameSpaceHandler* HandlerOf(QWebEngineProfile* Profile)
{
    const auto* Handler = dynamic_cast<const TNameSpaceHandler*>(Profile->urlSchemeHandler(SchemeNames[0]));
    return const_cast<TNameSpaceHandler*>(Handler);
}

// The engine decides the type from the name and the bytes; text that is valid UTF-8 is read
// as UTF-8 (the design document carries no charset of its own).
QByteArray ContentType(const QString& Path, const QByteArray& Bytes)
{
    static const QMimeDatabase Database;
    QByteArray Type = Database.mimeTypeForFileNameAndData(Path, Bytes).name().toLatin1();
    if (Type.startsWith("text/")) {
        auto Decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)Decoder.decode(Bytes);
        if (!Decoder.hasError()) Type += ";charset=utf-8";
    }
    return Type;
}

}  // namespace

TEditorNameSpace::TEditorNameSpace(TNameSpaceRequestEvent Callback, QObject* Parent)
    : QIODevice(Parent), Callback(std::move(Callback))
{
}

TEditorNameSpace::~TEditorNameSpace() = default;

HRESULT TEditorNameSpace::Start(const QUrl& URL, QWebEngineUrlRequestJob* Job)
{
    FHasData = false;
    Data.Clear();
    bool Handled = false;
    int Size = 0;
    const std::optional<QString> Name = NormalizeNameSpaceUrl(URL);
    if (Name && Callback) Callback(this, Name->toStdU16String(), Handled, Size, Data);
    if (!Handled) return INET_E_OBJECT_NOT_FOUND;

    Sink = Job;
    FBytesRead = 0;
    Data.SetPosition(0);
    FTotalSize = Data.Size();
    FHasData = true;
    if (!isOpen()) open(QIODevice::ReadOnly);
    if (Job) {
        // the type is told from the bytes where they stay: a large body is not copied for it
        const QByteArray Bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data.Memory()),
                                                         static_cast<qsizetype>(FTotalSize));
        Job->reply(ContentType(URL.path(), Bytes), this);
    }
    return S_OK;
}

HRESULT TEditorNameSpace::Read(void* Buffer, int64_t Count, int64_t& BytesDone)
{
    BytesDone = FHasData ? Data.Read(Buffer, std::max<int64_t>(Count, 0)) : 0;
    FBytesRead += BytesDone;
    return FBytesRead >= FTotalSize ? S_FALSE : E_PENDING;
}

HRESULT TEditorNameSpace::Terminate()
{
    if (FHasData) {
        Sink = nullptr;
        Data.Clear();
        FTotalSize = 0;
        FBytesRead = 0;
        FHasData = false;
        if (isOpen()) close();
    }
    return S_OK;
}

bool TEditorNameSpace::seek(qint64 Pos)
{
    if (!FHasData || Pos < 0 || Pos > FTotalSize || !QIODevice::seek(Pos)) return false;
    Data.SetPosition(Pos);
    FBytesRead = Pos;
    return true;
}

qint64 TEditorNameSpace::readData(char* Buffer, qint64 MaxSize)
{
    if (!FHasData || FBytesRead >= FTotalSize) return -1;
    int64_t Done = 0;
    Read(Buffer, MaxSize, Done);
    return Done;
}

void RegisterNameSpaceSchemes()
{
    for (const char* Name : SchemeNames) {
        QWebEngineUrlScheme Scheme(Name);
        Scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        Scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(Scheme);
    }
}

void RegisterNameSpace(TNameSpaceRequestEvent Callback, QWebEngineProfile* Profile)
{
    Profile = ProfileOrDefault(Profile);
    if (TNameSpaceHandler* Handler = HandlerOf(Profile)) {
        Handler->Callback = std::move(Callback);
        return;
    }
    auto* Handler = new TNameSpaceHandler(std::move(Callback), Profile);
    for (const char* Name : SchemeNames) Profile->installUrlSchemeHandler(Name, Handler);
}

void UnregisterNameSpace(QWebEngineProfile* Profile)
{
    Profile = ProfileOrDefault(Profile);
    if (TNameSpaceHandler* Handler = HandlerOf(Profile)) {
        Profile->removeUrlSchemeHandler(Handler);
        delete Handler;
    }
}

std::optional<QString> NormalizeNameSpaceUrl(const QUrl& URL)
{
    const QString Path = URL.path(QUrl::FullyDecoded);
    if (Path.contains(QChar(0))) return std::nullopt;
    QStringList Segments;
    for (const QString& Segment : Path.split(u'/')) {
        if (Segment.isEmpty() || Segment == u".") continue;
        if (Segment == u"..") {
            if (Segments.isEmpty()) return std::nullopt;
            Segments.removeLast();
        } else {
            Segments.append(Segment);
        }
    }
    return URL.scheme() + u':' + Segments.join(u'/');
}

}  // namespace zv
