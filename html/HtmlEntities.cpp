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

}  // namespace zv
