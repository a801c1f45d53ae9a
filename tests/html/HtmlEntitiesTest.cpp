#include <gtest/gtest.h>

#include <map>
#include <set>

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
        ++names[EntityNameHash(e.Text)];
        ++chars[e.Code % 100];
    }
    EXPECT_EQ(texts.size(), 252u);
    EXPECT_EQ(names.size(), 86u);
    EXPECT_EQ(chars.size(), 100u);
    for (auto [bucket, count] : names)
        EXPECT_LE(count, 9) << bucket;
    for (auto [bucket, count] : chars)
        EXPECT_LE(count, 6) << bucket;

    // A few that must be there with their HTML 4.01 values.
    EXPECT_EQ(EntityToChar("&nbsp;"), 160u);
    EXPECT_EQ(EntityToChar("&yuml;"), 255u);
    EXPECT_EQ(EntityToChar("&OElig;"), 338u);
    EXPECT_EQ(EntityToChar("&thetasym;"), 977u);
    EXPECT_EQ(EntityToChar("&rsaquo;"), 8250u);
    EXPECT_EQ(EntityToChar("&lang;"), 9001u);
    EXPECT_EQ(EntityToChar("&apos;"), 0u);

    // Names are case-sensitive.
    EXPECT_EQ(EntityToChar("&auml;"), 228u);
    EXPECT_EQ(EntityToChar("&Auml;"), 196u);
    EXPECT_EQ(EntityToChar("&AUML;"), 0u);
    EXPECT_EQ(EntityToChar("&Nbsp;"), 0u);
    EXPECT_EQ(EntityNameHash("&auml;"), EntityNameHash("&AUML;"));
    EXPECT_EQ(EntityToChar("&auml"), 0u);
    EXPECT_EQ(EntityToChar("auml;"), 0u);
}

TEST(HtmlEntities, NumericReferences)
{
    EXPECT_EQ(EntityToChar("&#65;"), 65u);
    EXPECT_EQ(EntityToChar("&#x41;"), 65u);
    EXPECT_EQ(EntityToChar("&#X41;"), 65u);
    EXPECT_EQ(EntityToChar("&#0x41;"), 65u);
    EXPECT_EQ(EntityToChar("&#$41;"), 65u);
    EXPECT_EQ(EntityToChar("&# +65;"), 65u);
    EXPECT_EQ(EntityToChar("&#x00e9;"), 0xE9u);
    EXPECT_EQ(EntityToChar("&#x;"), 0u);
    EXPECT_EQ(EntityToChar("&#;"), 0u);
    EXPECT_EQ(EntityToChar("&#abc;"), 0u);
    EXPECT_EQ(EntityToChar("&#x4G;"), 0u);
    EXPECT_EQ(EntityToChar("&#x-41;"), 0u);
    EXPECT_EQ(EntityToChar("&#-65;"), 0u);
    EXPECT_EQ(EntityToChar("&#0;"), 0u);

    // Beyond 16 bits: the real code point, not its low bits.
    EXPECT_EQ(EntityToChar("&#65601;"), 65601u);
    EXPECT_EQ(EntityToChar("&#x1F600;"), 0x1F600u);
    EXPECT_EQ(EntityToChar("&#1114111;"), 0x10FFFFu);
    // No character: surrogates, past the last code point, overflowing numbers.
    EXPECT_EQ(EntityToChar("&#xD800;"), 0u);
    EXPECT_EQ(EntityToChar("&#57343;"), 0u);
    EXPECT_EQ(EntityToChar("&#x110000;"), 0u);
    EXPECT_EQ(EntityToChar("&#1114112;"), 0u);
    EXPECT_EQ(EntityToChar("&#65537000000000000000000001;"), 0u);
    EXPECT_EQ(EntityToChar("&#x10000000041;"), 0u);

    // Truncated text.
    for (const char* text : {"", "&", "&#", "&#x", "&#x4", "&#6", "#", ";"})
        EXPECT_EQ(EntityToChar(text), 0u) << text;
}

TEST(HtmlEntities, CharactersToEntityText)
{
    EXPECT_EQ(CharToEntity(8364), "&euro;");
    EXPECT_EQ(CharToEntity(9830), "&diams;");
    EXPECT_EQ(CharToEntity(8800), "&ne;");
    EXPECT_EQ(CharToEntity(200), "&Egrave;");
    EXPECT_EQ(CharToEntity(160), "&nbsp;");
    EXPECT_EQ(CharToEntity(38), "&amp;");
    EXPECT_EQ(CharToEntity(65), "&#x0041;");
    EXPECT_EQ(CharToEntity(0), "&#x0000;");
    EXPECT_EQ(CharToEntity(133), "&#x0085;");
    EXPECT_EQ(CharToEntity(159), "&#x009F;");
    EXPECT_EQ(CharToEntity(256), "&#x0100;");
    EXPECT_EQ(CharToEntity(257), "&#x0101;");
    EXPECT_EQ(CharToEntity(65535), "&#xFFFF;");
    // A character beyond 16 bits is one reference and reads back whole.
    EXPECT_EQ(CharToEntity(0x1F600), "&#x1F600;");
    EXPECT_EQ(CharToEntity(0x10FFFF), "&#x10FFFF;");
    EXPECT_EQ(EntityToChar(CharToEntity(0x1F600)), 0x1F600u);
    for (char32_t c = 128; c < 0x3000; ++c)
        EXPECT_EQ(EntityToChar(CharToEntity(c)), c) << static_cast<uint32_t>(c);
}
