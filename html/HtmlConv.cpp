#include "HtmlConv.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>

#include "HtmlEntities.h"
#include "WideText.h"

namespace zv {

namespace {

constexpr int64_t BlockSize = 4096;
const char* const DefaultCharset = "ISO-8859-1";

[[noreturn]] void Fail(const char* Message)
{
    throw Exception(Message);
}

std::string LowerAscii(std::string Text)
{
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return Text;
}

std::string TrimBytes(std::string_view Text)
{
    size_t b = 0, e = Text.size();
    while (b < e && static_cast<unsigned char>(Text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(Text[e - 1]) <= ' ')
        --e;
    return std::string(Text.substr(b, e - b));
}

// --- Byte-order marks ----------------------------------------------------------------------

struct TBom {
    const char* Charset = nullptr;
    int Length = 0;
};

// Reads a byte-order mark at the stream's position: leaves the stream after it, or where it
// was when there is none.
TBom ReadBom(TStream& Stream)
{
    const int64_t start = Stream.Position();
    uint8_t b[3] = {0, 0, 0};
    const int64_t n = Stream.Read(b, 3);
    TBom bom;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        bom = {"UTF-8", 3};
    else if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        bom = {"UTF-16LE", 2};
    else if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        bom = {"UTF-16BE", 2};
    Stream.SetPosition(start + bom.Length);
    return bom;
}

// --- Declaration scanner -------------------------------------------------------------------

// Buffered byte reader; a zero byte counts as the end. Finish puts the stream right after
// the last byte taken.
class TByteScanner {
public:
    explicit TByteScanner(TStream& Stream) : Stream(Stream), Start(Stream.Position()) {}

    int Next()
    {
        if (Ended)
            return -1;
        if (Pos == Len) {
            Len = Stream.Read(Buffer, sizeof Buffer);
            Pos = 0;
            if (Len <= 0) {
                Len = 0;
                Ended = true;
                return -1;
            }
        }
        ++Taken;
        const uint8_t b = Buffer[Pos++];
        if (b == 0)
            Ended = true;
        return b == 0 ? -1 : b;
    }

    void Finish() { Stream.SetPosition(Start + Taken); }

private:
    TStream& Stream;
    int64_t Start;
    int64_t Taken = 0;
    uint8_t Buffer[BlockSize];
    int64_t Pos = 0;
    int64_t Len = 0;
    bool Ended = false;
};

// Skips a comment from C, the byte after its "<!--", up to and including the first "-->".
void SkipComment(TByteScanner& In, int C)
{
    int dashes = 0;
    for (int c = C; c >= 0; c = In.Next()) {
        if (c == '>' && dashes >= 2)
            return;
        dashes = c == '-' ? dashes + 1 : 0;
    }
}

using TAttributes = std::map<std::string, std::string>;

// Reads the attributes of a tag from C (the byte after its name) to its ">". Answers false
// when the input ends first.
bool ReadAttributes(TByteScanner& In, int C, TAttributes& Attributes)
{
    for (;;) {
        while (IsBlank(C))
            C = In.Next();
        if (C < 0)
            return false;
        if (C == '>')
            return true;
        std::string name;
        while (C >= 0 && !IsBlank(C) && C != '=' && C != '>') {
            name += static_cast<char>(C);
            C = In.Next();
        }
        while (IsBlank(C))
            C = In.Next();
        std::string value;
        if (C == '=') {
            C = In.Next();
            while (IsBlank(C))
                C = In.Next();
            if (C == '"' || C == '\'') {
                const int quote = C;
                for (C = In.Next(); C >= 0 && C != quote; C = In.Next())
                    value += static_cast<char>(C);
                if (C == quote)
                    C = In.Next();
            } else {
                for (; C >= 0 && !IsBlank(C) && C != '>'; C = In.Next())
                    value += static_cast<char>(C);
            }
        }
        // An attribute without a value ("<meta charset>") declares nothing.
        name = TrimBytes(LowerAscii(name));
        if (value.empty())
            Attributes.erase(name);
        else
            Attributes[name] = value;
    }
}

std::string Attribute(const TAttributes& Attributes, const char* Name)
{
    const auto it = Attributes.find(Name);
    return it == Attributes.end() ? std::string() : it->second;
}

// The character set a META tag declares, or false when it declares none.
bool MetaCharset(const TAttributes& Attributes, std::string& Charset)
{
    if (Attributes.count("charset")) {
        Charset = TrimBytes(Attribute(Attributes, "charset"));
        return true;
    }
    if (LowerAscii(Attribute(Attributes, "http-equiv")) != "content-type")
        return false;
    const std::string content = LowerAscii(Attribute(Attributes, "content"));
    const size_t at = content.find("charset=");
    if (at == std::string::npos)
        return false;
    Charset = TrimBytes(std::string_view(content).substr(at + 8));
    return true;
}

// --- Character-set names -------------------------------------------------------------------

// Common web names that the converter does not know (or maps badly), and what to use.
struct TCharsetAlias {
    const char* Name;
    const char* Charset;
};

const TCharsetAlias CharsetAliases[] = {
    {"ks_c_5601-1987", "CP949"}, {"ks_c_5601-1989", "CP949"}, {"ks_c_5601", "CP949"},
    {"ksc5601", "CP949"}, {"ksc_5601", "CP949"}, {"csksc56011987", "CP949"},
    {"iso-ir-149", "CP949"}, {"korean", "CP949"}, {"windows-949", "CP949"},
    {"iso-8859-8-i", "ISO-8859-8"}, {"iso-8859-8-e", "ISO-8859-8"}, {"csiso88598i", "ISO-8859-8"},
    {"csiso88598e", "ISO-8859-8"}, {"logical", "ISO-8859-8"}, {"visual", "ISO-8859-8"},
    {"iso-8859-6-i", "ISO-8859-6"}, {"iso-8859-6-e", "ISO-8859-6"}, {"csiso88596i", "ISO-8859-6"},
    {"csiso88596e", "ISO-8859-6"},
    {"x-mac-cyrillic", "MAC-CYRILLIC"}, {"x-mac-ukrainian", "MAC-CYRILLIC"},
    {"x-mac-roman", "MACINTOSH"}, {"x-mac", "MACINTOSH"}, {"x-mac-ce", "MAC-CENTRALEUROPE"},
    // The converter's own Shift_JIS reads "\" and "~" as yen and overline signs.
    {"shift_jis", "CP932"}, {"shift-jis", "CP932"}, {"sjis", "CP932"}, {"x-sjis", "CP932"},
    {"ms_kanji", "CP932"}, {"csshiftjis", "CP932"},
    {"x-euc-jp", "EUC-JP"}, {"x-gbk", "GBK"}, {"gb_2312-80", "GB2312"}, {"gb_2312", "GB2312"},
    {"chinese", "GB2312"}, {"iso-ir-58", "GB2312"}, {"x-big5", "BIG5"}, {"x-x-big5", "BIG5"},
    {"dos-874", "CP874"},
    {"x-cp1250", "CP1250"}, {"x-cp1251", "CP1251"}, {"x-cp1252", "CP1252"},
    {"x-cp1253", "CP1253"}, {"x-cp1254", "CP1254"}, {"x-cp1255", "CP1255"},
    {"x-cp1256", "CP1256"}, {"x-cp1257", "CP1257"}, {"x-cp1258", "CP1258"},
    {"unicode-1-1-utf-8", "UTF-8"}, {"unicode11utf8", "UTF-8"}, {"unicode20utf8", "UTF-8"},
    {"x-unicode20utf8", "UTF-8"},
};

// The name to open a converter with: empty means the default, a name that could smuggle
// converter options or is implausibly long is refused.
std::string ConverterName(const std::string& Declared)
{
    if (Declared.empty())
        return DefaultCharset;
    if (Declared.size() > 40)
        Fail("internal error");
    for (char c : Declared) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == ':' || c == '-';
        if (!ok)
            Fail("internal error");
    }
    const std::string lower = LowerAscii(Declared);
    for (const TCharsetAlias& alias : CharsetAliases)
        if (lower == alias.Name)
            return alias.Charset;
    return Declared;
}

// At most how many bytes of UTF-16 the converter makes of Count bytes in the character set.
int64_t MaxTextBytes(const std::string& Charset, int64_t Count)
{
    const std::string Name = LowerAscii(Charset);
    for (const char* Wide : {"utf-16", "utf16", "utf-32", "utf32", "ucs-2", "ucs2", "ucs-4", "ucs4"})
        if (Name.starts_with(Wide))
            return Count;
    return 2 * Count;
}

// The bytes SaveText makes of Count code units: one per unit up to U+00FF, else a reference.
int64_t SavedSize(const char16_t* Units, size_t Count)
{
    size_t Wide = 0;
    for (size_t I = 0; I < Count; ++I)
        Wide += Units[I] > 0xFF;
    if (Wide == 0)
        return static_cast<int64_t>(Count);
    int64_t Size = 0;
    for (size_t I = 0; I < Count; ++I) {
        const char16_t Unit = Units[I];
        if (Unit <= 0xFF) {
            ++Size;
        } else if (Unit >= 0xD800 && Unit <= 0xDBFF && I + 1 < Count && Units[I + 1] >= 0xDC00 &&
                   Units[I + 1] <= 0xDFFF) {
            const char32_t Code = 0x10000 + ((Unit - 0xD800) << 10) + (Units[I + 1] - 0xDC00);
            Size += Code >= 0x100000 ? 10 : 9;
            ++I;
        } else {
            Size += 8;  // "&#xHHHH;", a lone surrogate as U+FFFD
        }
    }
    return Size;
}

class TConverter {
public:
    explicit TConverter(const std::string& From)
        : Handle(iconv_open("UTF-16LE//IGNORE", From.c_str()))
    {
        if (Handle == reinterpret_cast<iconv_t>(-1))
            Fail("internal error");
        iconv(Handle, nullptr, nullptr, nullptr, nullptr);
    }
    ~TConverter() { iconv_close(Handle); }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    // Converts from In, writing every filled output block to Dest. Answers how many bytes at
    // the end of In form an incomplete sequence.
    size_t Convert(const char* In, size_t Count, TStream& Dest)
    {
        char* in = const_cast<char*>(In);
        size_t left = Count;
        while (left > 0) {
            char* out = Out;
            size_t room = sizeof Out;
            const char* before = in;
            errno = 0;
            const size_t r = iconv(Handle, &in, &left, &out, &room);
            const int error = errno;
            Dest.WriteBuffer(Out, out - Out);
            if (r != static_cast<size_t>(-1) || error == E2BIG)
                continue;
            if (error == EINVAL)
                return left;
            // Under //IGNORE an illegal sequence is skipped and still reported; one that was
            // not skipped leaves the input where it was.
            if (error == EILSEQ) {
                if (in == before && out == Out)
                    Fail("cannot convert");
                continue;
            }
            Fail("unknown error");
        }
        return 0;
    }

    void Flush(TStream& Dest)
    {
        char* out = Out;
        size_t room = sizeof Out;
        iconv(Handle, nullptr, nullptr, &out, &room);
        Dest.WriteBuffer(Out, out - Out);
    }

private:
    iconv_t Handle;
    char Out[BlockSize];
};

}  // namespace

std::string DetectCharset(TStream& Stream)
{
    if (const TBom bom = ReadBom(Stream); bom.Charset)
        return bom.Charset;
    std::string result = DefaultCharset;
    TByteScanner in(Stream);
    int c = in.Next();
    while (c >= 0) {
        if (c != '<') {
            c = in.Next();
            continue;
        }
        std::string name;
        for (c = in.Next(); c >= 0 && !IsBlank(c) && c != '>' && name != "!--"; c = in.Next())
            name += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (name == "!--") {
            SkipComment(in, c);
            c = in.Next();
            continue;
        }
        TAttributes attributes;
        if (!ReadAttributes(in, c, attributes))
            break;
        if (name == "body")
            break;
        if (name == "?xml") {
            result = Attribute(attributes, "encoding");
            if (result.empty())
                result = "utf-8";
        } else if (name == "meta") {
            MetaCharset(attributes, result);
        }
        c = in.Next();
    }
    in.Finish();
    return result;
}

void LoadText(TStream& Source, TStream& Dest)
{
    const std::string name = ConverterName(DetectCharset(Source));
    Source.SetPosition(0);
    ReadBom(Source);
    TConverter converter(name);
    ReserveFor(Dest, MaxTextBytes(name, Source.Size() - Source.Position()));
    // A carried-over incomplete sequence, then a new block.
    char in[2 * BlockSize];
    size_t tail = 0;
    for (;;) {
        const int64_t n = Source.Read(in + tail, BlockSize);
        if (n <= 0)
            break;
        const size_t count = tail + static_cast<size_t>(n);
        tail = converter.Convert(in, count, Dest);
        if (tail > BlockSize)
            Fail("incomplete character or shift sequence");
        std::memmove(in, in + count - tail, tail);
    }
    if (tail > 0)
        Fail("incomplete character or shift sequence");
    converter.Flush(Dest);
    Dest.SetPosition(0);
}

void SaveText(TStream& Source, TStream& Dest)
{
    // Text in memory is measured first, so that a memory stream takes the output in one piece.
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Source)) {
        const int64_t From = Memory->Position();
        if (From % 2 == 0 && From < Memory->Size()) {
            const auto* Units = reinterpret_cast<const char16_t*>(Memory->Memory() + From);
            ReserveFor(Dest, SavedSize(Units, static_cast<size_t>(Memory->Size() - From) / 2));
        }
    }
    uint8_t in[BlockSize + 1];
    // At most eight bytes a code unit, and a U+FFFD for a high surrogate left from before.
    char out[BlockSize * 4 + 16];
    size_t carried = 0;        // an odd byte left from the previous block
    char16_t pendingHigh = 0;  // a high surrogate whose partner may follow
    for (;;) {
        const int64_t n = Source.Read(in + carried, BlockSize);
        if (n <= 0)
            break;
        const size_t count = carried + static_cast<size_t>(n);
        char* o = out;
        auto reference = [&o](char32_t code) {
            const std::string text = NumericEntity(code);
            o = std::copy(text.begin(), text.end(), o);
        };
        size_t i = 0;
        for (; i + 1 < count; i += 2) {
            const char16_t unit = static_cast<char16_t>(in[i] | (in[i + 1] << 8));
            if (unit <= 0xFF && !pendingHigh) {
                *o++ = static_cast<char>(unit);
                continue;
            }
            if (pendingHigh) {
                const char16_t high = pendingHigh;
                pendingHigh = 0;
                if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    reference(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                    continue;
                }
                reference(0xFFFD);
            }
            if (unit <= 0xFF)
                *o++ = static_cast<char>(unit);
            else if (unit >= 0xD800 && unit <= 0xDBFF)
                pendingHigh = unit;
            else if (unit >= 0xDC00 && unit <= 0xDFFF)
                reference(0xFFFD);
            else
                reference(unit);
        }
        carried = count - i;
        if (carried)
            in[0] = in[i];
        Dest.WriteBuffer(out, o - out);
    }
    if (pendingHigh)
        Dest.WriteBuffer("&#xFFFD;", 8);
}

void SaveTextUtf8(TStream& Source, TStream& Dest)
{
    uint8_t in[BlockSize + 2];
    size_t carried = 0;  // an odd byte, or a high surrogate whose partner may follow
    WideString units;
    for (;;) {
        const int64_t n = Source.Read(in + carried, BlockSize);
        const size_t count = carried + static_cast<size_t>(std::max<int64_t>(n, 0));
        units.clear();
        size_t i = 0;
        for (; i + 1 < count; i += 2)
            units += static_cast<char16_t>(in[i] | (in[i + 1] << 8));
        carried = count - i;
        if (n > 0 && !units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
            units.pop_back();
            carried += 2;
            i -= 2;
        }
        std::memmove(in, in + i, carried);
        const std::string bytes = Utf16ToUtf8(units);
        Dest.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        if (n <= 0)
            break;
    }
}

}  // namespace zv
