// The entity palette's content: group sizes, glyph order and hint texts.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "EntityData.h"
#include "EntityPaletteData.h"

using namespace zv;

TEST(EntityPaletteData, GroupsGlyphsAndDescriptions)
{
    const int Sizes[] = {60, 26, 68, 49};
    int Next = 0;
    for (int G = 0; G < EntityGroupCount; ++G) {
        EXPECT_EQ(EntityGroups[G].First, Next);
        EXPECT_EQ(EntityGroups[G].Count, Sizes[G]);
        Next += Sizes[G];
    }
    EXPECT_EQ(Next, EntityPaletteCount);
    EXPECT_STREQ(EntityPalette[60].Entity, "&minus;");
    EXPECT_STREQ(EntityPalette[85].Entity, "&int;");
    EXPECT_STREQ(EntityPalette[202].Entity, "&omega;");  // the third cell of the eleventh row
    EXPECT_EQ(202 / EntityGlyphColumns, 10);
    EXPECT_EQ(202 % EntityGlyphColumns, 2);

    // Every entity is an HTML 4.01 one, none twice, each with a description.
    std::set<std::string_view> Known, Seen;
    for (const TEntityInfo& E : EntityTable)
        Known.insert(E.Text);
    for (const TEntityPaletteEntry& E : EntityPalette) {
        EXPECT_TRUE(Known.count(E.Entity)) << E.Entity;
        EXPECT_TRUE(Seen.insert(E.Entity).second) << E.Entity;
        EXPECT_GT(std::string_view(E.Description).size(), 3u) << E.Entity;
    }

    auto Description = [](std::string_view Entity) {
        for (const TEntityPaletteEntry& E : EntityPalette)
            if (Entity == E.Entity) return std::string(E.Description);
        return std::string();
    };
    EXPECT_EQ(Description("&macr;"), "macron\rspacing macron\roverline\rAPL overbar");
    EXPECT_EQ(Description("&nbsp;"), "no-break space\rnon-breaking space");
    EXPECT_EQ(Description("&Agrave;"), "Latin capital letter A with grave\rLatin capital letter A grave");
    EXPECT_EQ(Description("&ETH;"), "Latin capital letter ETH");
    EXPECT_EQ(Description("&oelig;"), "Latin small ligature oe");
    EXPECT_EQ(Description("&fnof;"), "Latin small f with hook\rfunction\rflorin");
    EXPECT_EQ(Description("&Lambda;"), "Greek capital letter lambda");
    EXPECT_EQ(Description("&sigmaf;"), "Greek small letter final sigma");
    EXPECT_EQ(Description("&sum;"), "n-ary sumation");
    EXPECT_EQ(Description("&middot;"), "middle dot\rGeorgian comma\rGreek middle dot");
}
