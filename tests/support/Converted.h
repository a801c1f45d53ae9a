#pragma once
// What the system converter makes of bytes in a character set, as UTF-16 text: the reference
// that the decoders of our own are held to.

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "WideText.h"

namespace zv::test {

// Bytes in Charset as UTF-16, invalid sequences dropped; Incomplete tells that the bytes end
// inside a sequence. Empty with Opened false when there is no converter for the set.
inline WideString Converted(const char* Charset, const std::string& Bytes, bool& Incomplete, bool* Opened = nullptr)
{
    Incomplete = false;
    const iconv_t handle = iconv_open("UTF-16LE//IGNORE", Charset);
    if (Opened)
        *Opened = handle != reinterpret_cast<iconv_t>(-1);
    if (handle == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(2 * Bytes.size() + 8, '\0');
    char* in = const_cast<char*>(Bytes.data());
    char* o = out.data();
    size_t left = Bytes.size(), room = out.size();
    while (left > 0) {
        if (iconv(handle, &in, &left, &o, &room) != static_cast<size_t>(-1))
            continue;
        if (errno == EINVAL) {
            Incomplete = true;
            break;
        }
    }
    iconv_close(handle);
    WideString text(static_cast<size_t>(o - out.data()) / 2, u'\0');
    std::memcpy(text.data(), out.data(), text.size() * 2);
    return text;
}

}  // namespace zv::test
