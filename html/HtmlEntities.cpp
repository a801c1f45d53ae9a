#include "HtmlEntities.h"

#include <array>
#include <cstdint>
#include <vector>

#include "EntityData.h"
#include "WideText.h"

namespace zv {

namespace {

constexpr int BucketCount = 100;
constexpr uint32_t MaxCodePoint = 0x10FFFF;

struct TEntityTables {
    std::array<std::vector<const TEntityInfo*>, BucketCount> Names;
    std::array<std::vector<const TEntityInfo*>, BucketCount> Chars;
};

const TEntityTables& Tables()
{
    static const TEntityTables tables = [] {
        TEntityTables t;
        for (const TEntityInfo& e : EntityTable)
            t.Names[EntityNameHash(e.Text)].push_back(&e);
        for (const TEntityInfo& e : EntityTable)
            t.Chars[e.Code % BucketCount].push_back(&e);
        return t;
    }();
    return tables;
}

// Parses a whole run of digits in the given base; false when it is empty, holds anything
// else, or exceeds the code point range.
bool ParseDigits(std::string_view Digits, int Base, uint32_t& Value)
{
    if (Digits.empty())
        return false;
    Value = 0;
    for (char c : Digits) {
        const int d = HexDigit(c);
        if (d < 0 || d >= Base)
            return false;
        Value = Value * Base + d;
        if (Value > MaxCodePoint)
            return false;
    }
    return true;
}

// Integer text as general number input takes it: leading blanks, a sign, and the hexadecimal
// prefixes "$", "x", "X", "0x", "0X".
bool ParseInteger(std::string_view Text, bool& Negative, uint32_t& Value)
{
    size_t i = 0;
    while (i < Text.size() && (Text[i] == ' ' || Text[i] == '\t'))
        ++i;
    Negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
        Negative = Text[i++] == '-';
    int base = 10;
    if (i < Text.size() && (Text[i] == '$' || Text[i] == 'x' || Text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < Text.size() && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    return ParseDigits(Text.substr(i), base, Value);
}

char32_t ValidCode(uint32_t Value)
{
    if (Value == 0 || Value > MaxCodePoint || (Value >= 0xD800 && Value <= 0xDFFF))
        return 0;
    return static_cast<char32_t>(Value);
}

}  // namespace

int EntityNameHash(std::string_view Text)
{
    unsigned sum = 0;
    for (char c : Text) {
        const unsigned char b = static_cast<unsigned char>(c);
        sum += (b >= 'a' && b <= 'z') ? b - 32 : b;
    }
    return static_cast<int>(sum % BucketCount);
}

char32_t EntityToChar(std::string_view Text)
{
    uint32_t value = 0;
    if (Text.size() >= 3 && Text.substr(0, 3) == "&#x") {
        if (!ParseDigits(Text.substr(3, Text.size() > 3 ? Text.size() - 4 : 0), 16, value))
            return 0;
        return ValidCode(value);
    }
    if (Text.size() >= 2 && Text.substr(0, 2) == "&#") {
        bool negative = false;
        if (Text.size() < 3 || !ParseInteger(Text.substr(2, Text.size() - 3), negative, value) ||
            negative)
            return 0;
        return ValidCode(value);
    }
    for (const TEntityInfo* e : Tables().Names[EntityNameHash(Text)])
        if (Text == e->Text)
            return e->Code;
    return 0;
}

std::string CharToEntity(char32_t Code)
{
    if (Code <= 0xFFFF)
        for (const TEntityInfo* e : Tables().Chars[Code % BucketCount])
            if (e->Code == Code)
                return e->Text;
    return NumericEntity(Code);
}

std::string NumericEntity(char32_t Code)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string digits;
    for (uint32_t v = Code; v != 0 || digits.size() < 4; v >>= 4)
        digits.insert(digits.begin(), Hex[v & 15]);
    return "&#x" + digits + ";";
}

namespace {

WideString Escaped(WideStringView Text, bool Value)
{
    WideString Out;
    Out.reserve(Text.size());
    for (const char16_t C : Text) {
        if (C == u'&') Out += u"&amp;";
        else if (C == 0xA0) Out += u"&nbsp;";
        else if (C == u'<' && !Value) Out += u"&lt;";
        else if (C == u'>' && !Value) Out += u"&gt;";
        else if (C == u'"' && Value) Out += u"&quot;";
        else Out += C;
    }
    return Out;
}

}  // namespace

WideString EscapeHtmlText(WideStringView Text) { return Escaped(Text, false); }
WideString EscapeHtmlValue(WideStringView Text) { return Escaped(Text, true); }

char32_t CharacterReference(WideStringView Text, size_t Pos, size_t& Length, bool InValue)
{
    std::string Ref = "&";
    size_t K = Pos + 1;
    const bool Numeric = K < Text.size() && Text[K] == u'#';
    if (Numeric) {
        Ref += '#';
        ++K;
        const bool Hex = K < Text.size() && (Text[K] == u'x' || Text[K] == u'X');
        if (Hex) Ref += static_cast<char>(Text[K++]);
        const size_t Digits = K;
        while (K < Text.size() && K - Digits < 8 &&
               ((Text[K] >= u'0' && Text[K] <= u'9') ||
                (Hex && ((Text[K] >= u'a' && Text[K] <= u'f') || (Text[K] >= u'A' && Text[K] <= u'F')))))
            Ref += static_cast<char>(Text[K++]);
        if (K == Digits) return 0;
    } else {
        auto Alnum = [](char16_t C) {
            return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || (C >= u'0' && C <= u'9');
        };
        const size_t Start = K;
        while (K < Text.size() && K - Start < 32 && Alnum(Text[K]))
            Ref += static_cast<char>(Text[K++]);
        if (K == Start) return 0;
        if (K >= Text.size() || Text[K] != u';' || !EntityToChar(Ref + ';')) {
            // the longest name of the Latin-1 set the text starts with
            for (size_t End = K; End > Start; --End) {
                const char32_t Code = EntityToChar(Ref.substr(0, End - Pos) + ';');
                if (!Code || Code > 0xFF) continue;
                if (InValue && End < Text.size() && (Alnum(Text[End]) || Text[End] == u'=')) return 0;
                Length = End - Pos;
                return Code;
            }
            return 0;
        }
    }
    const bool Semicolon = K < Text.size() && Text[K] == u';';
    Ref += ';';
    char32_t Code = EntityToChar(Ref);
    if (!Code && Numeric) Code = 0xFFFD;   // a number that is no character (0, a surrogate, past U+10FFFF)
    if (!Code) return 0;
    Length = K - Pos + (Semicolon ? 1 : 0);
    return Code;
}

WideString DecodeDocumentText(WideStringView Text, bool Value)
{
    WideString Out;
    Out.reserve(Text.size());
    for (size_t K = 0; K < Text.size(); ++K) {
        const char16_t C = Text[K];
        size_t Length = 0;
        if (C == u'&') {
            if (const char32_t Code = CharacterReference(Text, K, Length, Value)) {
                AppendCodePoint(Out, Code);
                K += Length - 1;
                continue;
            }
        }
        if (C == u'\r') {
            Out += u'\n';
            if (K + 1 < Text.size() && Text[K + 1] == u'\n') ++K;
        } else if (C != 0) {
            Out += C;
        }
    }
    return Out;
}

WideString MarkupToField(WideStringView Markup, TMarkupPlace Place)
{
    return DecodeDocumentText(Markup, Place == TMarkupPlace::Value);
}

WideString FieldToMarkup(WideStringView Field, TMarkupPlace Place)
{
    return Place == TMarkupPlace::Value ? EscapeHtmlValue(Field) : EscapeHtmlText(Field);
}

}  // namespace zv
