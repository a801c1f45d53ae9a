#pragma once
// Record encoding of template and icon-pack files: little-endian 32-bit integers, and strings
// and blocks that are a length followed by that many bytes.

#include <cstdint>
#include <string>

#include "Exceptions.h"
#include "Streams.h"

namespace zv {

// A length that is negative or runs past the end of the data.
class ETypedStreamError : public EReadError { using EReadError::EReadError; };

class TTypedStreamAdapter {
public:
    // Keeps Stream (not owned) and reads from its current position.
    explicit TTypedStreamAdapter(TStream& Stream) : Stream(Stream) {}

    // Four bytes, little-endian; bytes the stream cannot supply read as zero.
    int32_t ReadInteger();
    // A length n, then n bytes.
    std::string ReadString();
    // A length n, then n bytes copied into Dest at its position.
    void ReadStream(TStream& Dest);
    // A length n; moves the position n bytes forward.
    void SkipStream();
    // Reads a length and checks that it is not negative and that the data holds that many
    // more bytes; raises ETypedStreamError otherwise.
    int64_t ReadLength();

private:
    TStream& Stream;
};

}  // namespace zv
