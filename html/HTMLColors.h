#pragma once
// Colour values and the colour text of HTML attributes and style values: "#RRGGBB", "#RGB",
// "rgb(r, g, b)" with numbers or percentages, and the colour names of HtmlColorTable.

#include <cstdint>

#include "WideText.h"

namespace zv {

// The platform colour value. With a top byte of 0 it is an RGB colour laid out as 0x00BBGGRR
// (red in the lowest byte); with a top byte of 0xFF the low byte is a system colour index.
using TColor = int32_t;

constexpr TColor RgbColor(uint8_t Red, uint8_t Green, uint8_t Blue)
{
    return static_cast<TColor>(Red | (Green << 8) | (Blue << 16));
}
constexpr TColor SysColor(uint8_t Index)
{
    return static_cast<TColor>(0xFF000000u | Index);
}
constexpr bool IsSysColor(TColor Color)
{
    return (static_cast<uint32_t>(Color) >> 24) == 0xFF;
}

constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clBlack = RgbColor(0x00, 0x00, 0x00);
constexpr TColor clMaroon = RgbColor(0x80, 0x00, 0x00);
constexpr TColor clGreen = RgbColor(0x00, 0x80, 0x00);
constexpr TColor clOlive = RgbColor(0x80, 0x80, 0x00);
constexpr TColor clNavy = RgbColor(0x00, 0x00, 0x80);
constexpr TColor clPurple = RgbColor(0x80, 0x00, 0x80);
constexpr TColor clTeal = RgbColor(0x00, 0x80, 0x80);
constexpr TColor clGray = RgbColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = RgbColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RgbColor(0xFF, 0x00, 0x00);
constexpr TColor clLime = RgbColor(0x00, 0xFF, 0x00);
constexpr TColor clYellow = RgbColor(0xFF, 0xFF, 0x00);
constexpr TColor clBlue = RgbColor(0x00, 0x00, 0xFF);
constexpr TColor clFuchsia = RgbColor(0xFF, 0x00, 0xFF);
constexpr TColor clAqua = RgbColor(0x00, 0xFF, 0xFF);
constexpr TColor clWhite = RgbColor(0xFF, 0xFF, 0xFF);

// System colours by their index.
constexpr TColor clScrollBar = SysColor(0);
constexpr TColor clBackground = SysColor(1);
constexpr TColor clActiveCaption = SysColor(2);
constexpr TColor clInactiveCaption = SysColor(3);
constexpr TColor clMenu = SysColor(4);
constexpr TColor clWindow = SysColor(5);
constexpr TColor clWindowFrame = SysColor(6);
constexpr TColor clMenuText = SysColor(7);
constexpr TColor clWindowText = SysColor(8);
constexpr TColor clCaptionText = SysColor(9);
constexpr TColor clActiveBorder = SysColor(10);
constexpr TColor clInactiveBorder = SysColor(11);
constexpr TColor clAppWorkSpace = SysColor(12);
constexpr TColor clHighlight = SysColor(13);
constexpr TColor clHighlightText = SysColor(14);
constexpr TColor clBtnFace = SysColor(15);
constexpr TColor clBtnShadow = SysColor(16);
constexpr TColor clGrayText = SysColor(17);
constexpr TColor clBtnText = SysColor(18);
constexpr TColor clInactiveCaptionText = SysColor(19);
constexpr TColor clBtnHighlight = SysColor(20);
constexpr TColor cl3DDkShadow = SysColor(21);
constexpr TColor cl3DLight = SysColor(22);
constexpr TColor clInfoText = SysColor(23);
constexpr TColor clInfoBk = SysColor(24);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);
constexpr TColor clMenuHighlight = SysColor(29);
constexpr TColor clMenuBar = SysColor(30);

// A system colour resolved to its RGB value (fixed desktop defaults; an unknown index gives
// black); any other value comes back unchanged.
TColor ColorToRGB(TColor Color);

struct THtmlColorEntry {
    TColor Value;
    const char16_t* Name;
};

// 143 RGB colours, then 28 system colours, in ascending order of the value read unsigned.
// Where names share a value the first one is written back.
constexpr int HtmlColorCount = 171;
extern const THtmlColorEntry HtmlColorTable[HtmlColorCount];

// Never fails: text that cannot be read gives 0 (black).
TColor HtmlColorToColor(WideStringView Text);

// The first table name of the value, else "#RRGGBB" in upper case from the low three bytes.
WideString ColorToHtmlName(TColor Value);

// One component of the "rgb(" form as two hexadecimal digits: an integer 0..255 or a
// percentage 0..100 (with "%"), clamped to that range; text that does not parse gives "00".
WideString ColorComponentToHex(WideStringView Text);

// Bucket of the name index, 0..99: the sum of the code units, "a".."z" folded to upper case.
int ColorNameHash(WideStringView Text);

}  // namespace zv
