// Arbitrary bytes through charset detection, loading, saving and entity references; where a
// decoder of our own loads the bytes, it gives what the system converter gives.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "HtmlConv.h"
#include "HtmlEntities.h"
#include "Streams.h"
#include "../support/Converted.h"

using namespace zv;

namespace {

void CheckEntities(std::string_view Bytes)
{
    for (size_t at = Bytes.find('&'); at != std::string_view::npos; at = Bytes.find('&', at + 1)) {
        const size_t end = Bytes.find(';', at);
        const std::string_view text =
            Bytes.substr(at, end == std::string_view::npos ? 16 : end - at + 1);
        const char32_t code = EntityToChar(text);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            std::abort();
        if (code != 0 && EntityToChar(CharToEntity(code)) != code)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream source;
    source.WriteBuffer(Data, static_cast<int64_t>(Size));
    source.SetPosition(0);
    const std::string charset = DetectCharset(source);
    if (source.Position() > source.Size())
        std::abort();

    source.SetPosition(0);
    TMemoryStream text;
    bool failed = false;
    try {
        LoadText(source, text);
    } catch (const Exception&) {
        failed = true;
    }
    if (text.Size() % 2 != 0)
        std::abort();
    for (const char* plain : {"UTF-8", "utf-8", "ISO-8859-1", "iso-8859-1", "windows-1252", "koi8-r"}) {
        if (charset != plain)
            continue;
        const bool marked = Size >= 3 && Data[0] == 0xEF && Data[1] == 0xBB && Data[2] == 0xBF;
        const size_t mark = marked ? 3 : 0;
        bool incomplete = false;
        const WideString want = test::Converted(plain, std::string(reinterpret_cast<const char*>(Data) + mark, Size - mark), incomplete);
        if (incomplete != failed || want.size() * 2 != static_cast<size_t>(text.Size()) ||
            (!want.empty() && std::memcmp(want.data(), text.Memory(), want.size() * 2) != 0))
            std::abort();
    }

    text.SetPosition(0);
    TMemoryStream saved;
    SaveText(text, saved);

    CheckEntities(std::string_view(reinterpret_cast<const char*>(Data), Size));
    return 0;
}
