#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

#include "HTMLColors.h"

using namespace zv;

namespace {

// The RGB rows as published, colours in the HTML digit order red, green, blue.
const char* const RgbRows = R"(
Black 000000 Maroon 800000 DarkRed 8B0000 Red FF0000 OrangeRed FF4500 DarkGreen 006400
Green 008000 Olive 808000 Darkorange FF8C00 Orange FFA500 Gold FFD700 LawnGreen 7CFC00
Lime 00FF00 Chartreuse 7FFF00 Yellow FFFF00 DarkGoldenRod B8860B SaddleBrown 8B4513
Chocolate D2691E GoldenRod DAA520 FireBrick B22222 ForestGreen 228B22 OliveDrab 6B8E23
Brown A52A2A Sienna A0522D DarkOliveGreen 556B2F GreenYellow ADFF2F LimeGreen 32CD32
YellowGreen 9ACD32 Crimson DC143C Peru CD853F Tomato FF6347 DarkSlateGray 2F4F4F
Coral FF7F50 SeaGreen 2E8B57 IndianRed CD5C5C SandyBrown F4A460 DimGray 696969
DarkKhaki BDB76B MidnightBlue 191970 MediumSeaGreen 3CB371 Salmon FA8072 Feldspar D19275
DarkSalmon E9967A LightSalmon FFA07A SpringGreen 00FF7F Navy 000080 Purple 800080
Teal 008080 Gray 808080 LightCoral F08080 Indigo 4B0082 MediumVioletRed C71585
BurlyWood DEB887 DarkBlue 00008B DarkMagenta 8B008B DarkSlateBlue 483D8B DarkCyan 008B8B
Tan D2B48C Khaki F0E68C RosyBrown BC8F8F DarkSeaGreen 8FBC8F VioletRed D02090
SlateGray 708090 LightGreen 90EE90 DeepPink FF1493 PaleVioletRed D87093 PaleGreen 98FB98
LightSlateGray 778899 MediumSpringGreen 00FA9A CadetBlue 5F9EA0 DarkGray A9A9A9
LightSeaGreen 20B2AA MediumAquaMarine 66CDAA PaleGoldenRod EEE8AA NavajoWhite FFDEAD
Wheat F5DEB3 HotPink FF69B4 SteelBlue 4682B4 Moccasin FFE4B5 PeachPuff FFDAB9
Silver C0C0C0 LightPink FFB6C1 Bisque FFE4C4 Pink FFC0CB DarkOrchid 9932CC
MediumTurquoise 48D1CC MediumBlue 0000CD SlateBlue 6A5ACD BlanchedAlmond FFEBCD
LemonChiffon FFFACD Turquoise 40E0D0 DarkTurquoise 00CED1 LightGoldenRodYellow FAFAD2
DarkViolet 9400D3 MediumOrchid BA55D3 LightGrey D3D3D3 Aquamarine 7FFFD4 PapayaWhip FFEFD5
Orchid DA70D6 AntiqueWhite FAEBD7 MediumPurple 9370D8 Thistle D8BFD8 Gainsboro DCDCDC
Beige F5F5DC Cornsilk FFF8DC Plum DDA0DD LightSteelBlue B0C4DE LightYellow FFFFE0
RoyalBlue 4169E1 MistyRose FFE4E1 BlueViolet 8A2BE2 LightBlue ADD8E6 PowderBlue B0E0E6
Linen FAF0E6 OldLace FDF5E6 SkyBlue 87CEEB CornflowerBlue 6495ED MediumSlateBlue 7B68EE
Violet EE82EE PaleTurquoise AFEEEE SeaShell FFF5EE FloralWhite FFFAF0 HoneyDew F0FFF0
Ivory FFFFF0 LavenderBlush FFF0F5 WhiteSmoke F5F5F5 LightSkyBlue 87CEFA Lavender E6E6FA
Snow FFFAFA MintCream F5FFFA Blue 0000FF Fuchsia FF00FF Magenta FF00FF
LightSlateBlue 8470FF DodgerBlue 1E90FF DeepSkyBlue 00BFFF AliceBlue F0F8FF
GhostWhite F8F8FF Aqua 00FFFF Cyan 00FFFF LightCyan E0FFFF Azure F0FFFF White FFFFFF)";

const char* const SystemRows = R"(
Scrollbar 0 Background 1 ActiveCaption 2 InactiveCaption 3 Menu 4 Window 5 WindowFrame 6
MenuText 7 WindowText 8 CaptionText 9 ActiveBorder 10 InactiveBorder 11 AppWorkspace 12
Highlight 13 HighlightText 14 ButtonFace 15 ThreeDFace 15 ButtonShadow 16 ThreeDLightShadow 16
ThreeDShadow 16 GrayText 17 ButtonText 18 InactiveCaptionText 19 ButtonHighlight 20
ThreeDDarkShadow 21 ThreeDHighlight 22 InfoText 23 InfoBackground 24
)";

WideString W(const std::string& Text)
{
    return Utf8ToUtf16(Text);
}

TColor Rgb(uint32_t Rrggbb)
{
    return RgbColor(Rrggbb >> 16, (Rrggbb >> 8) & 0xFF, Rrggbb & 0xFF);
}

}  // namespace

TEST(HtmlColors, TableHoldsThePublishedRowsInValueOrder)
{
    std::vector<THtmlColorEntry> expected;
    std::vector<WideString> names;
    std::istringstream rgb(RgbRows);
    std::string name, digits;
    while (rgb >> name >> digits) {
        names.push_back(W(name));
        expected.push_back({Rgb(std::stoul(digits, nullptr, 16)), nullptr});
    }
    std::istringstream sys(SystemRows);
    int index;
    while (sys >> name >> index) {
        names.push_back(W(name));
        expected.push_back({SysColor(index), nullptr});
    }
    ASSERT_EQ(expected.size(), size_t(HtmlColorCount));
    for (int i = 0; i < HtmlColorCount; ++i) {
        EXPECT_EQ(HtmlColorTable[i].Name, names[i]) << "row " << i;
        EXPECT_EQ(HtmlColorTable[i].Value, expected[i].Value) << Utf16ToUtf8(names[i]);
        if (i > 0) {
            EXPECT_LE(uint32_t(HtmlColorTable[i - 1].Value), uint32_t(HtmlColorTable[i].Value));
        }
    }
}

TEST(HtmlColors, EveryNameReadsAndEveryValueWritesItsFirstName)
{
    for (const auto& row : HtmlColorTable) {
        const WideString name = row.Name;
        EXPECT_EQ(HtmlColorToColor(name), row.Value) << Utf16ToUtf8(name);
        EXPECT_EQ(HtmlColorToColor(AsciiUpperCase(name)), row.Value);
        EXPECT_EQ(HtmlColorToColor(AsciiLowerCase(name)), row.Value);
        const auto first = std::find_if(std::begin(HtmlColorTable), std::end(HtmlColorTable),
                                        [&](const auto& e) { return e.Value == row.Value; });
        EXPECT_EQ(ColorToHtmlName(row.Value), first->Name);
    }
    EXPECT_EQ(ColorToHtmlName(HtmlColorToColor(u"Magenta")), u"Fuchsia");
    EXPECT_EQ(ColorToHtmlName(HtmlColorToColor(u"cyan")), u"Aqua");
    EXPECT_EQ(ColorToHtmlName(HtmlColorToColor(u"ThreeDFace")), u"ButtonFace");
    EXPECT_EQ(ColorToHtmlName(HtmlColorToColor(u"ThreeDShadow")), u"ButtonShadow");
    EXPECT_EQ(ColorToHtmlName(HtmlColorToColor(u"threedlightshadow")), u"ButtonShadow");
    EXPECT_EQ(ColorToHtmlName(SysColor(15)), u"ButtonFace");
    EXPECT_EQ(ColorToHtmlName(Rgb(0x8B0000)), u"DarkRed");
    EXPECT_EQ(ColorToHtmlName(Rgb(0xD3D3D3)), u"LightGrey");
    EXPECT_EQ(ColorToHtmlName(Rgb(0x9370D8)), u"MediumPurple");
}

TEST(HtmlColors, NamesFillEightyOneBuckets)
{
    std::map<int, int> fill;
    for (const auto& row : HtmlColorTable)
        ++fill[ColorNameHash(row.Name)];
    EXPECT_EQ(fill.size(), 81u);
    for (const auto& [bucket, count] : fill) {
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 5);
    }
    EXPECT_EQ(ColorNameHash(u"Red"), (82 + 69 + 68) % 100);
    EXPECT_EQ(ColorNameHash(u"red"), ColorNameHash(u"RED"));
    EXPECT_EQ(ColorNameHash(u""), 0);
    const WideString noise(200000, u'\uFFFF');
    EXPECT_GE(ColorNameHash(noise), 0);
    EXPECT_LT(ColorNameHash(noise), 100);
}

TEST(HtmlColors, HashFormsAndTheirFailures)
{
    const TColor red = Rgb(0xFF0000);
    EXPECT_EQ(HtmlColorToColor(u"red"), red);
    EXPECT_EQ(HtmlColorToColor(u"#ff0000"), red);
    EXPECT_EQ(HtmlColorToColor(u"#F00"), red);
    EXPECT_EQ(HtmlColorToColor(u"#FF8000"), RgbColor(0xFF, 0x80, 0x00));
    EXPECT_EQ(HtmlColorToColor(u"#F80"), HtmlColorToColor(u"#FF8800"));
    EXPECT_EQ(HtmlColorToColor(u"#a1B2c3"), RgbColor(0xA1, 0xB2, 0xC3));
    for (const char16_t* bad : {u"#", u"#1", u"#12", u"#12345", u"#1234567", u"#GG0000", u"#12345G",
                                u"#F0G", u"# F00", u"#-12345", u"#+FFFFF"})
        EXPECT_EQ(HtmlColorToColor(bad), 0) << Utf16ToUtf8(bad);
    EXPECT_EQ(HtmlColorToColor(u"#" + WideString(100000, u'F')), 0);
}

TEST(HtmlColors, RgbFormReadsNumbersAndPercentages)
{
    const TColor red = Rgb(0xFF0000);
    EXPECT_EQ(HtmlColorToColor(u"rgb(255,0,0)"), red);
    EXPECT_EQ(HtmlColorToColor(u"RGB(100%,0%,0%)"), red);
    EXPECT_EQ(HtmlColorToColor(u"rgb(255, 0, 0)"), red);
    EXPECT_EQ(HtmlColorToColor(u"rgb(+255,-0,0"), red);  // no closing bracket needed
    EXPECT_EQ(HtmlColorToColor(u"rgb(50%,50%,50%)"), Rgb(0x808080));
    EXPECT_EQ(HtmlColorToColor(u"rgb(30%,10%,1%)"), RgbColor(76, 26, 3));
    EXPECT_EQ(HtmlColorToColor(u"rgb(1,2,3)"), RgbColor(1, 2, 3));
    // A trailing blank spoils a component; a missing comma empties the one before it.
    EXPECT_EQ(HtmlColorToColor(u"rgb(255 ,7,9)"), RgbColor(0, 7, 9));
    EXPECT_EQ(HtmlColorToColor(u"rgb(255)"), RgbColor(0, 0, 255));
    EXPECT_EQ(HtmlColorToColor(u"rgb(1,2)"), RgbColor(1, 0, 2));
    EXPECT_EQ(HtmlColorToColor(u"rgb(1,2,3,4)"), RgbColor(1, 2, 0));
    EXPECT_EQ(HtmlColorToColor(u"rgb("), 0);
    EXPECT_EQ(HtmlColorToColor(u"rgb()"), 0);
    EXPECT_EQ(HtmlColorToColor(u"rgb"), 0);
    // Out of range components are clamped, never wrapped into a neighbour byte.
    EXPECT_EQ(HtmlColorToColor(u"rgb(256,-1,1000)"), RgbColor(255, 0, 255));
    EXPECT_EQ(HtmlColorToColor(u"rgb(150%,-20%,100%)"), RgbColor(255, 0, 255));
    EXPECT_EQ(HtmlColorToColor(u"rgb(2147483647,-2147483648,9)"), RgbColor(255, 0, 9));
    // Numbers beyond 32 bits do not parse.
    EXPECT_EQ(HtmlColorToColor(u"rgb(99999999999,2147483648,9)"), RgbColor(0, 0, 9));
    EXPECT_EQ(HtmlColorToColor(u"rgb(" + WideString(100000, u'9') + u",1,1)"), RgbColor(0, 1, 1));

    EXPECT_EQ(ColorComponentToHex(u"255"), u"FF");
    EXPECT_EQ(ColorComponentToHex(u"  +7"), u"07");
    EXPECT_EQ(ColorComponentToHex(u"1%0%"), u"1A");
    EXPECT_EQ(ColorComponentToHex(u"300"), u"FF");
    EXPECT_EQ(ColorComponentToHex(u"-3"), u"00");
    for (const char16_t* bad : {u"", u"x", u"%", u"-", u" ", u"1 ", u"1.5", u"0x10"})
        EXPECT_EQ(ColorComponentToHex(bad), u"00") << Utf16ToUtf8(bad);
}

TEST(HtmlColors, UnknownTextReadsAsBlack)
{
    for (const char16_t* bad : {u"", u" red", u"red ", u"Redd", u"Grey", u"transparent", u"\u00e9"})
        EXPECT_EQ(HtmlColorToColor(bad), 0) << Utf16ToUtf8(bad);
    EXPECT_EQ(HtmlColorToColor(WideString(100000, u'z')), 0);
}

TEST(HtmlColors, NamelessValuesWriteTheirLowThreeBytes)
{
    EXPECT_EQ(ColorToHtmlName(Rgb(0x123456)), u"#123456");
    EXPECT_EQ(ColorToHtmlName(Rgb(0x0A0B0C)), u"#0A0B0C");
    EXPECT_EQ(ColorToHtmlName(clNone), u"#FFFFFF");
    EXPECT_EQ(ColorToHtmlName(SysColor(25)), u"#190000");
    EXPECT_EQ(ColorToHtmlName(TColor(0x7F00FF00)), u"#00FF00");
    // Every RGB value written out reads back the same.
    for (uint32_t r = 0; r < 256; ++r)
        for (uint32_t g = 0; g < 256; g += 3) {
            const TColor c = RgbColor(r, g, (r * 7 + g * 13) & 0xFF);
            ASSERT_EQ(HtmlColorToColor(ColorToHtmlName(c)), c) << Utf16ToUtf8(ColorToHtmlName(c));
        }
}

TEST(HtmlColors, SystemColoursResolveToFixedRgbValues)
{
    for (int i = 0; i <= 30; ++i) {
        const TColor c = ColorToRGB(SysColor(i));
        EXPECT_FALSE(IsSysColor(c));
        EXPECT_EQ(uint32_t(c) >> 24, 0u);
    }
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_NE(ColorToRGB(clBtnFace), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(SysColor(255)), clBlack);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(clBtnFace, HtmlColorToColor(u"ButtonFace"));
    EXPECT_EQ(clBlue, HtmlColorToColor(u"#0000FF"));
}
