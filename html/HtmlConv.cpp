#include "HtmlConv.h"

#include <iconv.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "HtmlEntities.h"
#include "PageMemory.h"
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

// What the attributes of one tag declare: the values of the four attributes that can name a
// character set (a later one of a name replaces an earlier one, an empty value removes it).
// Kept from tag to tag, so that reading a tag allocates nothing once the buffers are grown.
struct TTagAttributes {
    enum { Charset, HttpEquiv, Content, Encoding, Count };
    std::string Value[Count];
    bool Has[Count] = {};
    std::string Name, Text;  // the attribute being read

    void Clear() { std::fill(std::begin(Has), std::end(Has), false); }

    // Takes the attribute read into Name and Text.
    void Take()
    {
        static constexpr std::string_view Names[Count] = {"charset", "http-equiv", "content", "encoding"};
        // The name as compared: lower case, without bytes up to a space at either end.
        std::string_view Trimmed = Name;
        while (!Trimmed.empty() && static_cast<unsigned char>(Trimmed.front()) <= ' ')
            Trimmed.remove_prefix(1);
        while (!Trimmed.empty() && static_cast<unsigned char>(Trimmed.back()) <= ' ')
            Trimmed.remove_suffix(1);
        auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; };
        for (int I = 0; I < Count; ++I) {
            if (!std::equal(Trimmed.begin(), Trimmed.end(), Names[I].begin(), Names[I].end(),
                            [&Lower](char A, char B) { return Lower(A) == B; }))
                continue;
            Has[I] = !Text.empty();
            Value[I] = Text;
        }
    }

    std::string Get(int I) const { return Has[I] ? Value[I] : std::string(); }
};

// Reads the attributes of a tag from C (the byte after its name) to its ">". Answers false
// when the input ends first.
bool ReadAttributes(TByteScanner& In, int C, TTagAttributes& Attributes)
{
    Attributes.Clear();
    for (;;) {
        while (IsBlank(C))
            C = In.Next();
        if (C < 0)
            return false;
        if (C == '>')
            return true;
        std::string& name = Attributes.Name;
        name.clear();
        while (C >= 0 && !IsBlank(C) && C != '=' && C != '>') {
            name += static_cast<char>(C);
            C = In.Next();
        }
        while (IsBlank(C))
            C = In.Next();
        std::string& value = Attributes.Text;
        value.clear();
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
        Attributes.Take();
    }
}

// The character set a META tag declares, or false when it declares none.
bool MetaCharset(const TTagAttributes& Attributes, std::string& Charset)
{
    if (Attributes.Has[TTagAttributes::Charset]) {
        Charset = TrimBytes(Attributes.Value[TTagAttributes::Charset]);
        return true;
    }
    if (LowerAscii(Attributes.Get(TTagAttributes::HttpEquiv)) != "content-type")
        return false;
    const std::string content = LowerAscii(Attributes.Get(TTagAttributes::Content));
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
    // Pages that name the older CJK sets use their extensions, which browsers read by those
    // names too; the older converters drop those characters.
    {"x-euc-jp", "EUC-JP"}, {"x-gbk", "GBK"}, {"gb2312", "GBK"}, {"gb_2312-80", "GBK"}, {"gb_2312", "GBK"},
    {"chinese", "GBK"}, {"iso-ir-58", "GBK"}, {"csgb2312", "GBK"}, {"csiso58gb231280", "GBK"},
    {"euc-kr", "CP949"}, {"cseuckr", "CP949"},
    {"big5", "BIG5-HKSCS"}, {"csbig5", "BIG5-HKSCS"}, {"cn-big5", "BIG5-HKSCS"}, {"x-big5", "BIG5-HKSCS"},
    {"x-x-big5", "BIG5-HKSCS"},
    {"dos-874", "CP874"},
    {"x-cp1250", "CP1250"}, {"x-cp1251", "CP1251"}, {"x-cp1252", "CP1252"},
    {"x-cp1253", "CP1253"}, {"x-cp1254", "CP1254"}, {"x-cp1255", "CP1255"},
    {"x-cp1256", "CP1256"}, {"x-cp1257", "CP1257"}, {"x-cp1258", "CP1258"},
    {"unicode-1-1-utf-8", "UTF-8"}, {"unicode11utf8", "UTF-8"}, {"unicode20utf8", "UTF-8"},
    {"x-unicode20utf8", "UTF-8"},
};

// The name to open a converter with; empty when nothing usable is declared: no name, one the
// converter does not know, or one that could smuggle converter options or is implausibly long.
std::string ConverterName(const std::string& Declared)
{
    if (Declared.empty() || Declared.size() > 40)
        return {};
    for (char c : Declared) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '_' || c == ':' || c == '-';
        if (!ok)
            return {};
    }
    const std::string lower = LowerAscii(Declared);
    // UTF-7 would make markup of text ("+ADw-script+AD4-"); browsers do not read it either.
    if (lower.find("utf-7") != std::string::npos || lower.find("utf7") != std::string::npos)
        return {};
    for (const TCharsetAlias& alias : CharsetAliases)
        if (lower == alias.Name)
            return alias.Charset;
    const iconv_t Handle = iconv_open("UTF-16LE", Declared.c_str());
    if (Handle == reinterpret_cast<iconv_t>(-1))
        return {};
    iconv_close(Handle);
    return Declared;
}

// Whether the rest of the stream is well-formed UTF-8 holding at least one character beyond
// ASCII. Leaves the stream at its end.
bool IsUtf8Text(TStream& Stream)
{
    uint8_t Buffer[BlockSize];
    TUtf8Check Check;
    for (int64_t N; (N = Stream.Read(Buffer, sizeof Buffer)) > 0;)
        if (!Check.Feed(Buffer, static_cast<size_t>(N)))
            return false;
    return Check.WellFormed() && Check.Wide();
}

// UTF-16 without a byte-order mark: the first two characters are ASCII, each with a zero
// byte beside it; nil otherwise. Leaves the stream where it was.
const char* Utf16WithoutMark(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    uint8_t B[4] = {1, 1, 1, 1};
    const int64_t N = Stream.Read(B, 4);
    Stream.SetPosition(Start);
    if (N == 4 && B[0] && !B[1] && B[2] && !B[3] && B[0] < 0x80 && B[2] < 0x80)
        return "UTF-16LE";
    if (N == 4 && !B[0] && B[1] && !B[2] && B[3] && B[1] < 0x80 && B[3] < 0x80)
        return "UTF-16BE";
    return nullptr;
}

// The set of a page that declares none: UTF-16 as above, UTF-8 when its bytes are
// well-formed UTF-8, else the default. Reads from the stream's position; leaves it there.
std::string UndeclaredCharset(TStream& Stream)
{
    if (const char* Wide = Utf16WithoutMark(Stream))
        return Wide;
    const int64_t Start = Stream.Position();
    const bool Utf8 = IsUtf8Text(Stream);
    Stream.SetPosition(Start);
    return Utf8 ? "UTF-8" : DefaultCharset;
}

// Sets of two or four bytes a character.
bool IsWideSet(const std::string& Charset)
{
    const std::string Name = LowerAscii(Charset);
    for (const char* Wide : {"utf-16", "utf16", "utf-32", "utf32", "ucs-2", "ucs2", "ucs-4", "ucs4"})
        if (Name.starts_with(Wide))
            return true;
    return false;
}

// At most how many bytes of UTF-16 the converter makes of Count bytes in the character set.
int64_t MaxTextBytes(const std::string& Charset, int64_t Count)
{
    return IsWideSet(Charset) ? Count : 2 * Count;
}

// --- Decoders of their own --------------------------------------------------------------
// For UTF-8 and the common one-byte sets the bytes are decoded straight into the text, with
// exactly the result the converter gives: the same characters, the same bytes dropped.

// Decodes UTF-8 as the converter does, which still knows sequences of five and six bytes: a
// sequence that is cut short by a byte that cannot continue it is dropped up to that byte; an
// overlong form, a surrogate or a code point beyond U+10FFFF is dropped whole; a byte that
// cannot start a sequence is dropped with the continuation bytes after it (at most four).
// Answers the code units written; Used is how many bytes were taken, fewer than Count when
// the input ends inside a sequence. A U+0000 comes only from a zero byte.
size_t DecodeUtf8(const uint8_t* In, size_t Count, char16_t* Out, size_t& Used)
{
    auto Continues = [](uint8_t B) { return (B & 0xC0) == 0x80; };
    char16_t* O = Out;
    size_t I = 0;
    while (I < Count) {
#ifdef __SSE2__
        // Runs of ASCII sixteen bytes at a time.
        const __m128i Zero = _mm_setzero_si128();
        while (I + 16 <= Count) {
            const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(In + I));
            if (_mm_movemask_epi8(Bytes))
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(O), _mm_unpacklo_epi8(Bytes, Zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(O + 8), _mm_unpackhi_epi8(Bytes, Zero));
            O += 16;
            I += 16;
        }
        if (I == Count)
            break;
#endif
        char32_t C = In[I];
        if (C < 0x80) {
            *O++ = static_cast<char16_t>(C);
            ++I;
            continue;
        }
        size_t Length;
        if (C >= 0xC2 && C < 0xE0) {
            Length = 2;
            C &= 0x1F;
        } else if ((C & 0xF0) == 0xE0) {
            Length = 3;
            C &= 0x0F;
        } else if ((C & 0xF8) == 0xF0) {
            Length = 4;
            C &= 0x07;
        } else if (C >= 0xF8 && C < 0xFE) {
            Length = C < 0xFC ? 5 : 6;  // never valid, but taken whole
            C &= 0x03;
        } else {
            size_t Skip = 1;
            while (I + Skip < Count && Continues(In[I + Skip]) && Skip < 5)
                ++Skip;
            I += Skip;
            continue;
        }
        size_t K = 1;
        for (; K < Length && I + K < Count && Continues(In[I + K]); ++K)
            C = (C << 6) | (In[I + K] & 0x3F);
        if (K < Length) {
            if (I + K == Count)
                break;  // cut short by the end of the input
            I += K;
            continue;
        }
        I += Length;
        if ((Length > 2 && (C >> (5 * Length - 4)) == 0) || (C >= 0xD800 && C <= 0xDFFF) || C > 0x10FFFF)
            continue;
        if (C < 0x10000) {
            *O++ = static_cast<char16_t>(C);
        } else {
            *O++ = static_cast<char16_t>(0xD800 + ((C - 0x10000) >> 10));
            *O++ = static_cast<char16_t>(0xDC00 + ((C - 0x10000) & 0x3FF));
        }
    }
    Used = I;
    return static_cast<size_t>(O - Out);
}

// What the converter makes of each byte of a one-byte set: a code unit, or -1 where the byte
// is dropped.
using TByteTable = std::array<int32_t, 256>;

// One-byte sets whose converter reads every byte on its own (no state, no combining).
bool IsPlainOneByteSet(const std::string& Charset)
{
    const std::string Name = LowerAscii(Charset);
    for (const char* Prefix : {"iso-8859-", "iso8859-", "iso_8859-", "latin", "koi8-"})
        if (Name.starts_with(Prefix))
            return true;
    for (const char* Plain : {"us-ascii", "ascii", "windows-1250", "windows-1251", "windows-1252",
                              "windows-1253", "windows-1254", "windows-1256", "windows-1257",
                              "cp1250", "cp1251", "cp1252", "cp1253", "cp1254", "cp1256", "cp1257"})
        if (Name == Plain)
            return true;
    return false;
}

// The table of a plain one-byte set, made by the converter itself, byte by byte; nil for any
// other set, or when a byte does not give at most one code unit, or a byte other than zero
// gives U+0000.
const TByteTable* ByteTable(const std::string& Charset)
{
    if (!IsPlainOneByteSet(Charset))
        return nullptr;
    static std::mutex Lock;
    static std::map<std::string, std::unique_ptr<TByteTable>> Tables;
    const std::lock_guard<std::mutex> Guard(Lock);
    const auto [It, Added] = Tables.try_emplace(LowerAscii(Charset));
    if (!Added)
        return It->second.get();
    const iconv_t Handle = iconv_open("UTF-16LE", Charset.c_str());
    if (Handle == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto Table = std::make_unique<TByteTable>();
    bool Plain = true;
    for (int B = 0; B < 256 && Plain; ++B) {
        char Byte = static_cast<char>(B);
        char Unit[8];
        char* In = &Byte;
        char* O = Unit;
        size_t Left = 1, Room = sizeof Unit;
        iconv(Handle, nullptr, nullptr, nullptr, nullptr);
        if (iconv(Handle, &In, &Left, &O, &Room) != static_cast<size_t>(-1) && Left == 0 && O - Unit == 2 &&
            (B == 0 || Unit[0] || Unit[1]))
            (*Table)[B] = static_cast<uint8_t>(Unit[0]) | (static_cast<uint8_t>(Unit[1]) << 8);
        else if (errno == EILSEQ && O == Unit)
            (*Table)[B] = -1;
        else
            Plain = false;
    }
    iconv_close(Handle);
    if (Plain)
        It->second = std::move(Table);
    return It->second.get();
}

size_t DecodeBytes(const TByteTable& Table, const uint8_t* In, size_t Count, char16_t* Out)
{
    char16_t* O = Out;
    for (size_t I = 0; I < Count; ++I) {
        const int32_t Unit = Table[In[I]];
        *O = static_cast<char16_t>(Unit);
        O += Unit >= 0;
    }
    return static_cast<size_t>(O - Out);
}

bool IsUtf8(const std::string& Charset)
{
    const std::string Name = LowerAscii(Charset);
    return Name == "utf-8" || Name == "utf8";
}

// Decodes the rest of Source into Dest with a decoder of our own, when there is one for the
// set; false otherwise, with nothing read or written. HoldsNul tells whether the text holds a
// U+0000.
bool DecodeDirectly(const std::string& Charset, TStream& Source, TStream& Dest, bool& HoldsNul)
{
    const TByteTable* Table = IsUtf8(Charset) ? nullptr : ByteTable(Charset);
    if (!Table && !IsUtf8(Charset))
        return false;
    // The bytes where they lie when in memory, else read in one piece.
    std::vector<uint8_t> Read;
    const uint8_t* In;
    size_t Count;
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Source)) {
        const int64_t From = std::min(Source.Position(), Source.Size());
        In = Memory->Memory() + From;
        Count = static_cast<size_t>(Source.Size() - From);
    } else {
        const auto Size = static_cast<size_t>(std::max<int64_t>(Source.Size() - Source.Position(), 0));
        Read.reserve(Size);
        PrefaultPages(Read.data(), Size);
        Read.resize(Size);
        Read.resize(static_cast<size_t>(std::max<int64_t>(Source.Read(Read.data(), static_cast<int64_t>(Read.size())), 0)));
        In = Read.data();
        Count = Read.size();
    }
    Source.Seek(0, TSeekOrigin::End);
    HoldsNul = Count > 0 && std::memchr(In, 0, Count) != nullptr;
    // The text is written into Dest's own memory when it can hold it.
    TMemoryStream Spare;
    auto* Out = dynamic_cast<TMemoryStream*>(&Dest);
    if (!Out)
        Out = &Spare;
    const int64_t At = Out->Position();
    const int64_t Size = Out->Size();
    Out->Reserve(At + 2 * static_cast<int64_t>(Count));
    if (At + 2 * static_cast<int64_t>(Count) > Size)
        PrefaultPages(Out->Memory() + Size, static_cast<size_t>(At + 2 * static_cast<int64_t>(Count) - Size));
    Out->SetSize(std::max(Size, At + 2 * static_cast<int64_t>(Count)));
    auto* Units = reinterpret_cast<char16_t*>(Out->Memory() + At);
    size_t Used = Count;
    const size_t Written = Table ? DecodeBytes(*Table, In, Count, Units) : DecodeUtf8(In, Count, Units, Used);
    const int64_t End = At + 2 * static_cast<int64_t>(Written);
    Out->SetSize(std::max(End, Size));
    Out->SetPosition(End);
    if (Out == &Spare)
        Dest.WriteBuffer(Spare.Memory(), Spare.Size());
    if (Used < Count)
        Fail("incomplete character or shift sequence");
    return true;
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
    if (const char* Wide = Utf16WithoutMark(Stream))
        return Wide;
    const int64_t Start = Stream.Position();
    bool declared = false;
    std::string result = DefaultCharset;
    TByteScanner in(Stream);
    TTagAttributes attributes;
    std::string name;
    int c = in.Next();
    while (c >= 0) {
        if (c != '<') {
            c = in.Next();
            continue;
        }
        name.clear();
        for (c = in.Next(); c >= 0 && !IsBlank(c) && c != '>' && name != "!--"; c = in.Next())
            name += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (name == "!--") {
            SkipComment(in, c);
            c = in.Next();
            continue;
        }
        if (!ReadAttributes(in, c, attributes))
            break;
        if (name == "body")
            break;
        if (name == "?xml") {
            result = attributes.Get(TTagAttributes::Encoding);
            if (result.empty())
                result = "utf-8";
            declared = true;
        } else if (name == "meta") {
            declared = MetaCharset(attributes, result) || declared;
        }
        c = in.Next();
    }
    in.Finish();
    // A declaration read byte by byte cannot be in a set of two bytes a character: the page
    // is in another, as browsers take it.
    if (declared && IsWideSet(result))
        declared = false;
    if (!declared) {
        const int64_t End = Stream.Position();
        Stream.SetPosition(Start);
        result = UndeclaredCharset(Stream);
        Stream.SetPosition(End);
    }
    return result;
}

bool LoadText(TStream& Source, TStream& Dest)
{
    std::string name = ConverterName(DetectCharset(Source));
    Source.SetPosition(0);
    ReadBom(Source);
    // A declaration that names no set the converter knows is read as none.
    if (name.empty())
        name = UndeclaredCharset(Source);
    if (bool HoldsNul; DecodeDirectly(name, Source, Dest, HoldsNul)) {
        Dest.SetPosition(0);
        return HoldsNul;
    }
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
    return true;
}

void CheckPageText(const char16_t* Units, size_t Count)
{
    size_t I = 0;
    bool Nul = false;
    for (; I < Count; ++I) {
        const char16_t C = Units[I];
        if (C == 0)
            Nul = true;
        else if (C != ' ' && C != '\t' && C != '\n' && C != '\r' && C != '\f')
            break;
    }
    if (I == Count && Nul)
        throw ENotAPage("The file holds no text.");
    // Tab, line ends, vertical tab, form feed, the end-of-file mark and escape are met in text.
    const size_t Sample = std::min<size_t>(Count, 1024);
    size_t Odd = 0;
    for (I = 0; I < Sample; ++I) {
        const char16_t C = Units[I];
        if ((C < 0x20 && (C < 0x09 || C > 0x0D) && C != 0x1A && C != 0x1B) || C == 0x7F)
            ++Odd;
    }
    if (Odd * 32 > Sample)
        throw ENotAPage("The file does not look like an HTML page: it holds binary data.");
}

size_t EncodeLatin1(const char16_t* Units, size_t Count, char* Out, char16_t& PendingHigh, bool& Wide)
{
    char* O = Out;
    auto Reference = [&O](char32_t Code) {
        const std::string Text = NumericEntity(Code);
        O = std::copy(Text.begin(), Text.end(), O);
    };
    size_t I = 0;
    while (I < Count) {
#ifdef __SSE2__
        // Runs of characters up to U+00FF eight at a time.
        if (!PendingHigh) {
            const __m128i Zero = _mm_setzero_si128();
            for (; I + 8 <= Count; I += 8, O += 8) {
                const __m128i Eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Units + I));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_srli_epi16(Eight, 8), Zero)) != 0xFFFF)
                    break;
                _mm_storel_epi64(reinterpret_cast<__m128i*>(O), _mm_packus_epi16(Eight, Zero));
            }
            if (I == Count)
                break;
        }
#endif
        const char16_t Unit = Units[I++];
        if (Unit <= 0xFF && !PendingHigh) {
            *O++ = static_cast<char>(Unit);
            continue;
        }
        Wide = true;
        if (PendingHigh) {
            const char16_t High = PendingHigh;
            PendingHigh = 0;
            if (Unit >= 0xDC00 && Unit <= 0xDFFF) {
                Reference(0x10000 + ((High - 0xD800) << 10) + (Unit - 0xDC00));
                continue;
            }
            Reference(0xFFFD);
        }
        if (Unit <= 0xFF)
            *O++ = static_cast<char>(Unit);
        else if (Unit >= 0xD800 && Unit <= 0xDBFF)
            PendingHigh = Unit;
        else if (Unit >= 0xDC00 && Unit <= 0xDFFF)
            Reference(0xFFFD);
        else
            Reference(Unit);
    }
    return static_cast<size_t>(O - Out);
}

void SaveText(TStream& Source, TStream& Dest)
{
    char Out[BlockSize / 2 * MaxLatin1Bytes + MaxLatin1Bytes];
    // Text in memory is measured first, so that a memory stream takes the output in one piece.
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Source)) {
        const int64_t From = Memory->Position();
        if (From % 2 == 0 && From < Memory->Size()) {
            const auto* Units = reinterpret_cast<const char16_t*>(Memory->Memory() + From);
            const size_t Count = static_cast<size_t>(Memory->Size() - From) / 2;
            char16_t PendingHigh = 0;
            bool Wide = false;
            int64_t Size = 0;
            for (size_t I = 0; I < Count; I += BlockSize / 2)
                Size += static_cast<int64_t>(EncodeLatin1(Units + I, std::min<size_t>(BlockSize / 2, Count - I), Out, PendingHigh, Wide));
            ReserveFor(Dest, Size + (PendingHigh ? 8 : 0));
        }
    }
    uint8_t In[BlockSize + 1];
    size_t Carried = 0;  // an odd byte left from the previous block
    char16_t PendingHigh = 0;
    bool Wide = false;
    for (;;) {
        const int64_t N = Source.Read(In + Carried, BlockSize);
        if (N <= 0)
            break;
        const size_t Count = Carried + static_cast<size_t>(N);
        char16_t Units[BlockSize / 2];
        std::memcpy(Units, In, Count / 2 * 2);
        Dest.WriteBuffer(Out, static_cast<int64_t>(EncodeLatin1(Units, Count / 2, Out, PendingHigh, Wide)));
        Carried = Count % 2;
        if (Carried)
            In[0] = In[Count - 1];
    }
    if (PendingHigh)
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
