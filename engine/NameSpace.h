#pragma once
// The "idoc:" and "edit:" URL schemes of the design view. Every request is answered from
// memory through the callback of the browser profile that asked; the protocol object itself
// knows nothing of documents.

#include <QIODevice>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>

#include "Streams.h"
#include "WideText.h"

class QWebEngineProfile;
class QWebEngineUrlRequestJob;

namespace zv {

// Result codes of the protocol's Start and Read.
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_PENDING = static_cast<HRESULT>(0x8000000A);
constexpr HRESULT INET_E_OBJECT_NOT_FOUND = static_cast<HRESULT>(0x800C0006);

// Sender, the URL (scheme included), whether the callback answered, the size it gave, and the
// stream that receives the bytes.
using TNameSpaceRequestEvent = std::function<void(QObject* Sender, const WideString& URL,
                                                  bool& Handled, int& Size, TMemoryStream& Stream)>;

// One request, answered by Callback. The engine reads the answer through the QIODevice
// interface, which is Read.
class TEditorNameSpace : public QIODevice {
    Q_OBJECT
public:
    explicit TEditorNameSpace(TNameSpaceRequestEvent Callback = {}, QObject* Parent = nullptr);
    ~TEditorNameSpace() override;

    // Asks the callback for URL; on success hands the data to Job (when given) in one piece.
    HRESULT Start(const QUrl& URL, QWebEngineUrlRequestJob* Job = nullptr);
    // Copies up to Count bytes; S_FALSE once everything was delivered, else E_PENDING.
    HRESULT Read(void* Buffer, int64_t Count, int64_t& BytesDone);
    // Gives up the data and the job.
    HRESULT Terminate();

    bool HasData() const { return FHasData; }
    int64_t BytesRead() const { return FBytesRead; }
    int64_t TotalSize() const { return FTotalSize; }

    bool isSequential() const override { return false; }
    qint64 size() const override { return FTotalSize; }
    bool seek(qint64 Pos) override;

protected:
    qint64 readData(char* Data, qint64 MaxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    TNameSpaceRequestEvent Callback;
    TMemoryStream Data;
    bool FHasData = false;
    int64_t FBytesRead = 0;
    int64_t FTotalSize = 0;
    QPointer<QWebEngineUrlRequestJob> Sink;
};

// Registers the two schemes with the engine; must run before the application object exists.
void RegisterNameSpaceSchemes();
// Installs the schemes' handler with Callback on the profile (the default profile when none is
// given); each profile has its own. A second call for a profile replaces its callback.
void RegisterNameSpace(TNameSpaceRequestEvent Callback, QWebEngineProfile* Profile = nullptr);
// Removes the profile's handler: its pages no longer resolve either scheme.
void UnregisterNameSpace(QWebEngineProfile* Profile = nullptr);

// "scheme:path" with escapes decoded, "." and ".." segments resolved and leading slashes
// dropped; nothing when the path climbs above its root or holds a NUL character.
std::optional<QString> NormalizeNameSpaceUrl(const QUrl& URL);

}  // namespace zv
