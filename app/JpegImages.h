#pragma once
// A JPEG picture kept as its encoded bytes and decoded with libjpeg when drawn.

#include <cstdint>
#include <vector>

#include <QImage>

#include "Streams.h"

namespace zv {

class TJpegImage {
public:
    TJpegImage() = default;
    explicit TJpegImage(std::vector<uint8_t> Data) : Bytes(std::move(Data)) {}
    // Takes the bytes from the stream's position to its end.
    void LoadFromStream(TStream& Stream);
    void Clear() { Bytes.clear(); }
    bool Empty() const { return Bytes.empty(); }
    const std::vector<uint8_t>& Data() const { return Bytes; }

    // The decoded picture; a null image when the bytes are no JPEG that can be read or the
    // picture is unreasonably large.
    QImage ToImage() const;

private:
    std::vector<uint8_t> Bytes;
};

}  // namespace zv
