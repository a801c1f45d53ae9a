#include "WideText.h"

#include <cstring>

namespace zv {

std::string Utf16ToUtf8(WideStringView Text)
{
    std::string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        uint32_t c = Text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

WideString Utf8ToUtf16(std::string_view Text)
{
    WideString out;
    out.reserve(Text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(Text.data());
    const size_t n = Text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        uint32_t c = 0xFFFD;
        size_t len = 1;
        if (b < 0x80) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xF4) {
            const size_t need = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
            uint32_t v = b & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
            size_t k = 1;
            for (; k < need && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k)
                v = (v << 6) | (s[i + k] & 0x3F);
            const bool overlong = (need == 3 && v < 0x800) || (need == 4 && v < 0x10000);
            if (k == need && !overlong && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                c = v;
                len = need;
            } else {
                len = k;  // skip the broken sequence as one replacement
            }
        }
        AppendCodePoint(out, c);
        i += len;
    }
    return out;
}

bool TUtf8Check::Feed(const uint8_t* Bytes, size_t Count)
{
    for (size_t I = 0; I < Count && !Broken; ++I) {
        // runs of ASCII eight bytes at a time
        uint64_t Eight;
        while (Pending == 0 && I + 8 <= Count && (std::memcpy(&Eight, Bytes + I, 8), (Eight & 0x8080808080808080u) == 0))
            I += 8;
        if (I == Count)
            break;
        const uint8_t B = Bytes[I];
        if (Pending > 0) {
            // the second byte rules out overlong forms, surrogates and code points beyond
            // U+10FFFF
            Broken = (B & 0xC0) != 0x80 || (Lead == 0xE0 && B < 0xA0) || (Lead == 0xED && B >= 0xA0) ||
                     (Lead == 0xF0 && B < 0x90) || (Lead == 0xF4 && B >= 0x90);
            Lead = 0;
            --Pending;
        } else if (B >= 0x80) {
            FWide = true;
            Lead = B;
            Pending = B >= 0xC2 && B <= 0xDF ? 1 : B >= 0xE0 && B <= 0xEF ? 2 : B >= 0xF0 && B <= 0xF4 ? 3 : 0;
            Broken = Pending == 0;
        }
    }
    return !Broken;
}

void AppendCodePoint(WideString& Out, char32_t Code)
{
    if (Code > 0xFFFF) {
        Code -= 0x10000;
        Out += static_cast<char16_t>(0xD800 + (Code >> 10));
        Out += static_cast<char16_t>(0xDC00 + (Code & 0x3FF));
    } else {
        Out += static_cast<char16_t>(Code);
    }
}

std::string PercentDecode(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (size_t K = 0; K < Text.size(); ++K) {
        const int High = Text[K] == '%' && K + 2 < Text.size() ? HexDigit(static_cast<unsigned char>(Text[K + 1])) : -1;
        const int Low = High >= 0 ? HexDigit(static_cast<unsigned char>(Text[K + 2])) : -1;
        if (Low >= 0) {
            Out += static_cast<char>(High * 16 + Low);
            K += 2;
        } else {
            Out += Text[K];
        }
    }
    return Out;
}

bool IsWellFormedUtf8(std::string_view Text)
{
    TUtf8Check Check;
    Check.Feed(reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
    return Check.WellFormed();
}

WideString Latin1ToUtf16(std::string_view Text)
{
    WideString out(Text.size(), u'\0');
    for (size_t i = 0; i < Text.size(); ++i)
        out[i] = static_cast<unsigned char>(Text[i]);
    return out;
}

WideString AsciiLowerCase(WideStringView Text)
{
    WideString out(Text);
    for (auto& c : out)
        c = AsciiLower(c);
    return out;
}

WideString AsciiUpperCase(WideStringView Text)
{
    WideString out(Text);
    for (auto& c : out)
        c = AsciiUpper(c);
    return out;
}

std::string AsciiLowerCase(std::string_view Text)
{
    std::string out(Text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

bool SameTextAscii(WideStringView A, WideStringView B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (AsciiLower(A[i]) != AsciiLower(B[i]))
            return false;
    return true;
}

int CompareTextAscii(WideStringView A, WideStringView B)
{
    const size_t n = A.size() < B.size() ? A.size() : B.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t a = AsciiLower(A[i]), b = AsciiLower(B[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool StartsWithTextAscii(WideStringView Text, WideStringView Prefix)
{
    return Text.size() >= Prefix.size() && SameTextAscii(Text.substr(0, Prefix.size()), Prefix);
}

WideString TrimLeft(WideStringView Text)
{
    size_t i = 0;
    while (i < Text.size() && Text[i] <= u' ')
        ++i;
    return WideString(Text.substr(i));
}

WideString TrimRight(WideStringView Text)
{
    size_t n = Text.size();
    while (n > 0 && Text[n - 1] <= u' ')
        --n;
    return WideString(Text.substr(0, n));
}

WideString Trim(WideStringView Text)
{
    return TrimLeft(TrimRight(Text));
}

WideString IntToWide(int64_t Value)
{
    const std::string s = std::to_string(Value);
    return WideString(s.begin(), s.end());
}

WideString IntToHexWide(uint32_t Value, int Digits)
{
    static const char16_t hex[] = u"0123456789ABCDEF";
    WideString out;
    do {
        out.insert(out.begin(), hex[Value & 0xF]);
        Value >>= 4;
    } while (Value != 0);
    while (static_cast<int>(out.size()) < Digits)
        out.insert(out.begin(), u'0');
    return out;
}

}  // namespace zv
