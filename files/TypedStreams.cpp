#include "TypedStreams.h"

namespace zv {

int32_t TTypedStreamAdapter::ReadInteger()
{
    uint8_t bytes[4] = {0, 0, 0, 0};
    Stream.Read(bytes, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
}

int64_t TTypedStreamAdapter::ReadLength()
{
    const int64_t n = ReadInteger();
    if (n < 0)
        throw ETypedStreamError("Negative length in typed stream");
    if (n > Stream.Size() - Stream.Position())
        throw ETypedStreamError("Length past the end of the typed stream");
    return n;
}

std::string TTypedStreamAdapter::ReadString()
{
    std::string result(static_cast<size_t>(ReadLength()), '\0');
    Stream.ReadBuffer(result.data(), static_cast<int64_t>(result.size()));
    return result;
}

void TTypedStreamAdapter::ReadStream(TStream& Dest)
{
    const int64_t n = ReadLength();
    // CopyFrom takes a count of 0 as "everything", so an empty block must not reach it.
    if (n > 0)
        Dest.CopyFrom(Stream, n);
}

void TTypedStreamAdapter::SkipStream()
{
    const int64_t n = ReadLength();
    Stream.Seek(n, TSeekOrigin::Current);
}

}  // namespace zv
