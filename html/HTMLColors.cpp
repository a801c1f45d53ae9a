// Colour text of HTML attributes and style values, read to and written from colour values.

#include "HTMLColors.h"
#include "WideText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace zv {

namespace {

// A colour written in the HTML digit order 0xRRGGBB.
constexpr TColor Html(uint32_t Rrggbb)
{
    return RgbColor(static_cast<uint8_t>(Rrggbb >> 16), static_cast<uint8_t>(Rrggbb >> 8),
                    static_cast<uint8_t>(Rrggbb));
}

}  // namespace

const THtmlColorEntry HtmlColorTable[HtmlColorCount] = {
    {Html(0x000000), u"Black"},
    {Html(0x800000), u"Maroon"},
    {Html(0x8B0000), u"DarkRed"},
    {Html(0xFF0000), u"Red"},
    {Html(0xFF4500), u"OrangeRed"},
    {Html(0x006400), u"DarkGreen"},
    {Html(0x008000), u"Green"},
    {Html(0x808000), u"Olive"},
    {Html(0xFF8C00), u"Darkorange"},
    {Html(0xFFA500), u"Orange"},
    {Html(0xFFD700), u"Gold"},
    {Html(0x7CFC00), u"LawnGreen"},
    {Html(0x00FF00), u"Lime"},
    {Html(0x7FFF00), u"Chartreuse"},
    {Html(0xFFFF00), u"Yellow"},
    {Html(0xB8860B), u"DarkGoldenRod"},
    {Html(0x8B4513), u"SaddleBrown"},
    {Html(0xD2691E), u"Chocolate"},
    {Html(0xDAA520), u"GoldenRod"},
    {Html(0xB22222), u"FireBrick"},
    {Html(0x228B22), u"ForestGreen"},
    {Html(0x6B8E23), u"OliveDrab"},
    {Html(0xA52A2A), u"Brown"},
    {Html(0xA0522D), u"Sienna"},
    {Html(0x556B2F), u"DarkOliveGreen"},
    {Html(0xADFF2F), u"GreenYellow"},
    {Html(0x32CD32), u"LimeGreen"},
    {Html(0x9ACD32), u"YellowGreen"},
    {Html(0xDC143C), u"Crimson"},
    {Html(0xCD853F), u"Peru"},
    {Html(0xFF6347), u"Tomato"},
    {Html(0x2F4F4F), u"DarkSlateGray"},
    {Html(0xFF7F50), u"Coral"},
    {Html(0x2E8B57), u"SeaGreen"},
    {Html(0xCD5C5C), u"IndianRed"},
    {Html(0xF4A460), u"SandyBrown"},
    {Html(0x696969), u"DimGray"},
    {Html(0xBDB76B), u"DarkKhaki"},
    {Html(0x191970), u"MidnightBlue"},
    {Html(0x3CB371), u"MediumSeaGreen"},
    {Html(0xFA8072), u"Salmon"},
    {Html(0xD19275), u"Feldspar"},
    {Html(0xE9967A), u"DarkSalmon"},
    {Html(0xFFA07A), u"LightSalmon"},
    {Html(0x00FF7F), u"SpringGreen"},
    {Html(0x000080), u"Navy"},
    {Html(0x800080), u"Purple"},
    {Html(0x008080), u"Teal"},
    {Html(0x808080), u"Gray"},
    {Html(0xF08080), u"LightCoral"},
    {Html(0x4B0082), u"Indigo"},
    {Html(0xC71585), u"MediumVioletRed"},
    {Html(0xDEB887), u"BurlyWood"},
    {Html(0x00008B), u"DarkBlue"},
    {Html(0x8B008B), u"DarkMagenta"},
    {Html(0x483D8B), u"DarkSlateBlue"},
    {Html(0x008B8B), u"DarkCyan"},
    {Html(0xD2B48C), u"Tan"},
    {Html(0xF0E68C), u"Khaki"},
    {Html(0xBC8F8F), u"RosyBrown"},
    {Html(0x8FBC8F), u"DarkSeaGreen"},
    {Html(0xD02090), u"VioletRed"},
    {Html(0x708090), u"SlateGray"},
    {Html(0x90EE90), u"LightGreen"},
    {Html(0xFF1493), u"DeepPink"},
    {Html(0xD87093), u"PaleVioletRed"},
    {Html(0x98FB98), u"PaleGreen"},
    {Html(0x778899), u"LightSlateGray"},
    {Html(0x00FA9A), u"MediumSpringGreen"},
    {Html(0x5F9EA0), u"CadetBlue"},
    {Html(0xA9A9A9), u"DarkGray"},
    {Html(0x20B2AA), u"LightSeaGreen"},
    {Html(0x66CDAA), u"MediumAquaMarine"},
    {Html(0xEEE8AA), u"PaleGoldenRod"},
    {Html(0xFFDEAD), u"NavajoWhite"},
    {Html(0xF5DEB3), u"Wheat"},
    {Html(0xFF69B4), u"HotPink"},
    {Html(0x4682B4), u"SteelBlue"},
    {Html(0xFFE4B5), u"Moccasin"},
    {Html(0xFFDAB9), u"PeachPuff"},
    {Html(0xC0C0C0), u"Silver"},
    {Html(0xFFB6C1), u"LightPink"},
    {Html(0xFFE4C4), u"Bisque"},
    {Html(0xFFC0CB), u"Pink"},
    {Html(0x9932CC), u"DarkOrchid"},
    {Html(0x48D1CC), u"MediumTurquoise"},
    {Html(0x0000CD), u"MediumBlue"},
    {Html(0x6A5ACD), u"SlateBlue"},
    {Html(0xFFEBCD), u"BlanchedAlmond"},
    {Html(0xFFFACD), u"LemonChiffon"},
    {Html(0x40E0D0), u"Turquoise"},
    {Html(0x00CED1), u"DarkTurquoise"},
    {Html(0xFAFAD2), u"LightGoldenRodYellow"},
    {Html(0x9400D3), u"DarkViolet"},
    {Html(0xBA55D3), u"MediumOrchid"},
    {Html(0xD3D3D3), u"LightGrey"},
    {Html(0x7FFFD4), u"Aquamarine"},
    {Html(0xFFEFD5), u"PapayaWhip"},
    {Html(0xDA70D6), u"Orchid"},
    {Html(0xFAEBD7), u"AntiqueWhite"},
    {Html(0x9370D8), u"MediumPurple"},
    {Html(0xD8BFD8), u"Thistle"},
    {Html(0xDCDCDC), u"Gainsboro"},
    {Html(0xF5F5DC), u"Beige"},
    {Html(0xFFF8DC), u"Cornsilk"},
    {Html(0xDDA0DD), u"Plum"},
    {Html(0xB0C4DE), u"LightSteelBlue"},
    {Html(0xFFFFE0), u"LightYellow"},
    {Html(0x4169E1), u"RoyalBlue"},
    {Html(0xFFE4E1), u"MistyRose"},
    {Html(0x8A2BE2), u"BlueViolet"},
    {Html(0xADD8E6), u"LightBlue"},
    {Html(0xB0E0E6), u"PowderBlue"},
    {Html(0xFAF0E6), u"Linen"},
    {Html(0xFDF5E6), u"OldLace"},
    {Html(0x87CEEB), u"SkyBlue"},
    {Html(0x6495ED), u"CornflowerBlue"},
    {Html(0x7B68EE), u"MediumSlateBlue"},
    {Html(0xEE82EE), u"Violet"},
    {Html(0xAFEEEE), u"PaleTurquoise"},
    {Html(0xFFF5EE), u"SeaShell"},
    {Html(0xFFFAF0), u"FloralWhite"},
    {Html(0xF0FFF0), u"HoneyDew"},
    {Html(0xFFFFF0), u"Ivory"},
    {Html(0xFFF0F5), u"LavenderBlush"},
    {Html(0xF5F5F5), u"WhiteSmoke"},
    {Html(0x87CEFA), u"LightSkyBlue"},
    {Html(0xE6E6FA), u"Lavender"},
    {Html(0xFFFAFA), u"Snow"},
    {Html(0xF5FFFA), u"MintCream"},
    {Html(0x0000FF), u"Blue"},
    {Html(0xFF00FF), u"Fuchsia"},
    {Html(0xFF00FF), u"Magenta"},
    {Html(0x8470FF), u"LightSlateBlue"},
    {Html(0x1E90FF), u"DodgerBlue"},
    {Html(0x00BFFF), u"DeepSkyBlue"},
    {Html(0xF0F8FF), u"AliceBlue"},
    {Html(0xF8F8FF), u"GhostWhite"},
    {Html(0x00FFFF), u"Aqua"},
    {Html(0x00FFFF), u"Cyan"},
    {Html(0xE0FFFF), u"LightCyan"},
    {Html(0xF0FFFF), u"Azure"},
    {Html(0xFFFFFF), u"White"},
    {SysColor(0), u"Scrollbar"},
    {SysColor(1), u"Background"},
    {SysColor(2), u"ActiveCaption"},
    {SysColor(3), u"InactiveCaption"},
    {SysColor(4), u"Menu"},
    {SysColor(5), u"Window"},
    {SysColor(6), u"WindowFrame"},
    {SysColor(7), u"MenuText"},
    {SysColor(8), u"WindowText"},
    {SysColor(9), u"CaptionText"},
    {SysColor(10), u"ActiveBorder"},
    {SysColor(11), u"InactiveBorder"},
    {SysColor(12), u"AppWorkspace"},
    {SysColor(13), u"Highlight"},
    {SysColor(14), u"HighlightText"},
    {SysColor(15), u"ButtonFace"},
    {SysColor(15), u"ThreeDFace"},
    {SysColor(16), u"ButtonShadow"},
    {SysColor(16), u"ThreeDLightShadow"},
    {SysColor(16), u"ThreeDShadow"},
    {SysColor(17), u"GrayText"},
    {SysColor(18), u"ButtonText"},
    {SysColor(19), u"InactiveCaptionText"},
    {SysColor(20), u"ButtonHighlight"},
    {SysColor(21), u"ThreeDDarkShadow"},
    {SysColor(22), u"ThreeDHighlight"},
    {SysColor(23), u"InfoText"},
    {SysColor(24), u"InfoBackground"},
};

namespace {

// Default desktop colours of the system colour indexes 0..30 (index 25 is unused).
constexpr TColor SysColorDefaults[] = {
    Html(0xC8C8C8),  // scroll bar
    Html(0x000000),  // desktop background
    Html(0x99B4D1),  // active caption
    Html(0xBFCDDB),  // inactive caption
    Html(0xF0F0F0),  // menu
    Html(0xFFFFFF),  // window
    Html(0x646464),  // window frame
    Html(0x000000),  // menu text
    Html(0x000000),  // window text
    Html(0x000000),  // caption text
    Html(0xB4B4B4),  // active border
    Html(0xF4F7FC),  // inactive border
    Html(0xABABAB),  // application workspace
    Html(0x3399FF),  // highlight
    Html(0xFFFFFF),  // highlight text
    Html(0xF0F0F0),  // button face
    Html(0xA0A0A0),  // button shadow
    Html(0x6D6D6D),  // grey text
    Html(0x000000),  // button text
    Html(0x000000),  // inactive caption text
    Html(0xFFFFFF),  // button highlight
    Html(0x696969),  // 3D dark shadow
    Html(0xE3E3E3),  // 3D light
    Html(0x000000),  // tooltip text
    Html(0xFFFFE1),  // tooltip background
    Html(0x000000),  // unused
    Html(0x0066CC),  // hot-tracked item
    Html(0xB9D1EA),  // gradient of the active caption
    Html(0xD7E4F2),  // gradient of the inactive caption
    Html(0x3399FF),  // highlighted menu item
    Html(0xF0F0F0),  // menu bar
};

constexpr int NameBuckets = 100;

// The name index: table rows by bucket, in table order.
const std::array<std::vector<int>, NameBuckets>& NameIndex()
{
    static const auto index = [] {
        std::array<std::vector<int>, NameBuckets> buckets;
        for (int i = 0; i < HtmlColorCount; ++i)
            buckets[ColorNameHash(HtmlColorTable[i].Name)].push_back(i);
        return buckets;
    }();
    return index;
}

// "#RRGGBB" or "#RGB"; nothing for any other length or a digit that is not hexadecimal.
std::optional<TColor> ParseHash(WideStringView Text)
{
    std::array<int, 6> d{};
    if (Text.size() == 7) {
        for (int i = 0; i < 6; ++i)
            d[i] = HexDigit(Text[i + 1]);
    } else if (Text.size() == 4) {
        for (int i = 0; i < 6; ++i)
            d[i] = HexDigit(Text[i / 2 + 1]);
    } else {
        return std::nullopt;
    }
    if (std::find(d.begin(), d.end(), -1) != d.end())
        return std::nullopt;
    return RgbColor(static_cast<uint8_t>(d[0] * 16 + d[1]), static_cast<uint8_t>(d[2] * 16 + d[3]),
                    static_cast<uint8_t>(d[4] * 16 + d[5]));
}

// Decimal integer with leading blanks and a sign; nothing for trailing text or a value
// outside the 32-bit range.
std::optional<int64_t> ParseInt(WideStringView Text)
{
    size_t i = 0;
    while (i < Text.size() && Text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < Text.size() && (Text[i] == u'+' || Text[i] == u'-'))
        negative = Text[i++] == u'-';
    if (i == Text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < Text.size(); ++i) {
        if (Text[i] < u'0' || Text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (Text[i] - u'0');
        if (value > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return value;
}

// One "rgb(" component as 0..255.
uint8_t ColorComponent(WideStringView Text)
{
    if (Text.find(u'%') == WideStringView::npos)
        return static_cast<uint8_t>(std::clamp<int64_t>(ParseInt(Text).value_or(0), 0, 255));
    WideString digits;
    for (char16_t c : Text)
        if (c != u'%')
            digits += c;
    const int64_t scaled = std::clamp<int64_t>(ParseInt(digits).value_or(0), 0, 100) * 255;
    int64_t value = scaled / 100;
    const int64_t rest = scaled % 100;
    if (rest > 50 || (rest == 50 && value % 2 != 0))
        ++value;
    return static_cast<uint8_t>(value);
}

// Splits off the text before the first comma; without a comma that part is empty and the
// text stays whole.
WideStringView TakeComponent(WideStringView& Rest)
{
    const size_t comma = Rest.find(u',');
    if (comma == WideStringView::npos)
        return {};
    const WideStringView part = Rest.substr(0, comma);
    Rest.remove_prefix(comma + 1);
    return part;
}

TColor ParseRgb(WideStringView Rest)
{
    if (!Rest.empty() && Rest.back() == u')')
        Rest.remove_suffix(1);
    const uint8_t red = ColorComponent(TakeComponent(Rest));
    const uint8_t green = ColorComponent(TakeComponent(Rest));
    const uint8_t blue = ColorComponent(Rest);
    return RgbColor(red, green, blue);
}

TColor FindName(WideStringView Text)
{
    for (int row : NameIndex()[ColorNameHash(Text)])
        if (SameTextAscii(HtmlColorTable[row].Name, Text))
            return HtmlColorTable[row].Value;
    return 0;
}

}  // namespace

TColor ColorToRGB(TColor Color)
{
    if (!IsSysColor(Color))
        return Color;
    const size_t index = static_cast<uint32_t>(Color) & 0xFF;
    return index < std::size(SysColorDefaults) ? SysColorDefaults[index] : clBlack;
}

int ColorNameHash(WideStringView Text)
{
    int sum = 0;
    for (char16_t c : Text)
        sum = (sum + AsciiUpper(c)) % NameBuckets;
    return sum;
}

TColor HtmlColorToColor(WideStringView Text)
{
    if (Text.empty())
        return 0;
    if (Text[0] == u'#')
        return ParseHash(Text).value_or(0);
    if (StartsWithTextAscii(Text, u"rgb("))
        return ParseRgb(Text.substr(4));
    return FindName(Text);
}

WideString ColorToHtmlName(TColor Value)
{
    const uint32_t key = static_cast<uint32_t>(Value);
    const auto row = std::lower_bound(
        std::begin(HtmlColorTable), std::end(HtmlColorTable), key,
        [](const THtmlColorEntry& e, uint32_t v) { return static_cast<uint32_t>(e.Value) < v; });
    if (row != std::end(HtmlColorTable) && static_cast<uint32_t>(row->Value) == key)
        return row->Name;
    return u"#" + IntToHexWide(key & 0xFF, 2) + IntToHexWide((key >> 8) & 0xFF, 2) +
           IntToHexWide((key >> 16) & 0xFF, 2);
}

WideString ColorComponentToHex(WideStringView Text)
{
    return IntToHexWide(ColorComponent(Text), 2);
}

}  // namespace zv
