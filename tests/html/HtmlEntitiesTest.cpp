#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "EntityData.h"
#include "HtmlEntities.h"

using namespace zv;

TEST(HtmlEntities, EveryEntityConvertsBothWays)
{
    std::map<int, int> names, chars;
    std::set<std::string> texts;
    for (const TEntityInfo& e : EntityTable) {
        EXPECT_EQ(EntityToChar(e.Text), e.Code) << e.Text;
        EXPECT_EQ(CharToEntity(e.Code), e.Text) << int(e.Code);
        texts.insert(e.Text);
        EXPECT_LE(++names[EntityNameHash(e.Text)], 9) << e.Text;
        EXPECT_LE(++chars[e.Code % 100], 6) << e.Text;
    }
    EXPECT_EQ(texts.size(), 252u);
    EXPECT_EQ(names.size(), 86u);
    EXPECT_EQ(chars.size(), 100u);
    EXPECT_EQ(EntityNameHash("&auml;"), EntityNameHash("&AUML;"));
}

TEST(HtmlEntities, EntityTextToCharacters)
{
    const std::pair<const char*, char32_t> cases[] = {
        // Names: HTML 4.01 values, case-sensitive, whole text only.
        {"&thetasym;", 977}, {"&lang;", 9001}, {"&auml;", 228}, {"&Auml;", 196}, {"&AUML;", 0},
        {"&Nbsp;", 0}, {"&apos;", 0}, {"&auml", 0}, {"auml;", 0},
        // Numbers, with the prefixes and blanks of general integer input.
        {"&#65;", 65}, {"&#x41;", 65}, {"&#X41;", 65}, {"&#0x41;", 65}, {"&#$41;", 65},
        {"&# +65;", 65}, {"&#x;", 0}, {"&#;", 0}, {"&#abc;", 0}, {"&#x-41;", 0}, {"&#-65;", 0},
        {"&#0;", 0},
        // Beyond 16 bits the real code point; no character for surrogates, numbers past the
        // last code point or overflowing.
        {"&#65601;", 65601}, {"&#x1F600;", 0x1F600}, {"&#1114111;", 0x10FFFF}, {"&#xD800;", 0},
        {"&#57343;", 0}, {"&#x110000;", 0}, {"&#1114112;", 0},
        {"&#65537000000000000000000001;", 0}, {"&#x10000000041;", 0},
        // Truncated text.
        {"", 0}, {"&", 0}, {"&#", 0}, {"&#x", 0}, {"&#x4", 0}, {"&#6", 0}, {"#", 0}, {";", 0}};
    for (auto [text, code] : cases)
        EXPECT_EQ(EntityToChar(text), code) << text;
}

TEST(HtmlEntities, CharactersToEntityText)
{
    const std::pair<char32_t, const char*> cases[] = {
        {8364, "&euro;"}, {9830, "&diams;"}, {8800, "&ne;"}, {200, "&Egrave;"}, {38, "&amp;"},
        {65, "&#x0041;"}, {133, "&#x0085;"}, {159, "&#x009F;"}, {256, "&#x0100;"},
        {65535, "&#xFFFF;"}, {0x1F600, "&#x1F600;"}, {0x10FFFF, "&#x10FFFF;"}};
    for (auto [code, text] : cases)
        EXPECT_EQ(CharToEntity(code), text) << static_cast<uint32_t>(code);
    for (char32_t c : {char32_t(128), char32_t(0x2FFF), char32_t(0xFFFD), char32_t(0x1F600)})
        EXPECT_EQ(EntityToChar(CharToEntity(c)), c);
}
