#pragma once
// UTF-16 text helpers shared by the document model: conversion to and from UTF-8, ASCII case
// folding and comparison, and number formatting.

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

using WideString = std::u16string;
using WideStringView = std::u16string_view;

// Lossless for well-formed text; an unpaired surrogate becomes U+FFFD in UTF-8, and an
// invalid UTF-8 sequence becomes U+FFFD in UTF-16.
std::string Utf16ToUtf8(WideStringView Text);
WideString Utf8ToUtf16(std::string_view Text);

// Widens ASCII (or Latin-1) bytes one to one.
WideString Latin1ToUtf16(std::string_view Text);

// Checks UTF-8 that comes in pieces: whether it is well-formed (no overlong form, surrogate or
// code point beyond U+10FFFF, nothing cut off) and whether it holds more than ASCII.
class TUtf8Check {
public:
    // False once the bytes so far are not UTF-8.
    bool Feed(const uint8_t* Bytes, size_t Count);
    bool WellFormed() const { return !Broken && Pending == 0; }
    bool Wide() const { return FWide; }

private:
    int Pending = 0;   // continuation bytes still wanted
    uint8_t Lead = 0;  // the lead byte, while its second byte is wanted
    bool Broken = false;
    bool FWide = false;
};

bool IsWellFormedUtf8(std::string_view Text);

constexpr char16_t AsciiLower(char16_t C)
{
    return (C >= u'A' && C <= u'Z') ? static_cast<char16_t>(C + 32) : C;
}
constexpr char16_t AsciiUpper(char16_t C)
{
    return (C >= u'a' && C <= u'z') ? static_cast<char16_t>(C - 32) : C;
}
// The blanks of HTML and of the files the program reads: space, tab, line feed, return.
constexpr bool IsBlank(char32_t C) { return C == U' ' || C == U'\t' || C == U'\n' || C == U'\r'; }

// The value of a hexadecimal digit in either case; -1 for any other character.
constexpr int HexDigit(char32_t C)
{
    if (C >= U'0' && C <= U'9')
        return static_cast<int>(C - U'0');
    if (C >= U'a' && C <= U'f')
        return static_cast<int>(C - U'a' + 10);
    if (C >= U'A' && C <= U'F')
        return static_cast<int>(C - U'A' + 10);
    return -1;
}

// Code as one or two UTF-16 units at the end of Out.
void AppendCodePoint(WideString& Out, char32_t Code);

// Each "%" followed by two hexadecimal digits made the byte they stand for; the rest as it is.
std::string PercentDecode(std::string_view Text);

WideString AsciiLowerCase(WideStringView Text);
WideString AsciiUpperCase(WideStringView Text);
std::string AsciiLowerCase(std::string_view Text);

// Equality and ordering without regard to ASCII letter case (other characters compare by code).
bool SameTextAscii(WideStringView A, WideStringView B);
int CompareTextAscii(WideStringView A, WideStringView B);
bool StartsWithTextAscii(WideStringView Text, WideStringView Prefix);

// Removes characters up to U+0020 from both ends (or one end).
WideString Trim(WideStringView Text);
WideString TrimLeft(WideStringView Text);
WideString TrimRight(WideStringView Text);

WideString IntToWide(int64_t Value);
// Upper-case hexadecimal with at least Digits digits.
WideString IntToHexWide(uint32_t Value, int Digits);

}  // namespace zv
