// The inspector's per-tag data, checked by counts, and the rows it fills in.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "HtmlAttrDataDHTML.h"

using namespace zv;

TEST(InspectorData, CountsAndFilling)
{
    std::set<THtmlTagId> Tags;
    int Rows = 0, Categories = 0, Deprecated = 0;
    std::map<int, int> Kinds;
    for (const TInspectorTagData& T : InspectorTags) {
        EXPECT_TRUE(Tags.insert(T.Tag).second);
        EXPECT_LE(T.FirstRow + T.RowCount, InspectorRowCount);
        // "A - Anchor": the captions begin with the tag's name.
        EXPECT_EQ(std::string(T.LongTitle).find(" - "), std::string(TagNameFromId(T.Tag)).size()) << T.LongTitle;
        for (int I = T.FirstRow; I < T.FirstRow + T.RowCount; ++I) {
            const TInspectorRowData& R = InspectorRows[I];
            if (!R.Attr) {
                ++Categories;
                continue;
            }
            ++Rows;
            ++Kinds[R.Kind];
            Deprecated += R.Deprecated;
            EXPECT_NE(AttrIdFromName(R.Attr), attrUnknown) << R.Attr;
            EXPECT_EQ(R.Kind == ikPickList, *R.PickList != 0) << T.LongTitle << " " << R.Attr;
            EXPECT_EQ(R.Deprecated, std::string(R.Description).ends_with(" (Deprecated)")) << R.Attr;
        }
    }
    EXPECT_EQ(Tags.size(), 93u);
    EXPECT_FALSE(Tags.count(tagMarquee));
    EXPECT_EQ(*Tags.begin(), 1);
    EXPECT_EQ(*Tags.rbegin(), 94);
    EXPECT_EQ(Rows, 301);
    EXPECT_EQ(Categories, 2);
    EXPECT_EQ(Kinds[ikText], 200);
    EXPECT_EQ(Kinds[ikPickList], 66);
    EXPECT_EQ(Kinds[ikColor], 11);
    EXPECT_EQ(Kinds[ikCheck], 24);
    EXPECT_EQ(Deprecated, 77);

    // Tags without data add nothing.
    TInspector Inspector;
    FillInspector(Inspector, tagMarquee);
    FillInspector(Inspector, tagDocType);
    EXPECT_TRUE(Inspector.Items.empty());

    // No element: empty values, unchecked boxes.
    FillInspector(Inspector, tagA);
    EXPECT_EQ(Inspector.LongTitle, "A - Anchor");
    EXPECT_EQ(Inspector.ShortTitle, "Anchor");
    ASSERT_EQ(Inspector.Items.size(), 14u);
    const TInspectorItem& Target = *Inspector.Items[5];
    EXPECT_EQ(Target.Name(), "target");
    EXPECT_EQ(Target.AttrId, attrTarget);
    EXPECT_EQ(Target.NameColor(), InspectorDeprecatedColor);
    EXPECT_EQ(Target.Description, "frame to render link in (Deprecated)");
    EXPECT_EQ(Target.PickList, (std::vector<std::string>{"_blank", "_self", "_parent", "_top"}));
    EXPECT_EQ(Inspector.Items[0]->NameColor(), clBlack);
    EXPECT_EQ(Inspector.Items[12]->Name(), "onFocus");
    for (const auto& Item : Inspector.Items)
        EXPECT_TRUE(Item->Value().empty() && !Item->BoolValue());

    // An attached element supplies the values; categories come collapsed.
    TInspector Input;
    int Repaints = 0;
    Input.OnItemChanged = [&](TInspectorItem*) { ++Repaints; };
    Input.ElementAttribute = [](const std::string& Name) -> std::string {
        if (Name == "type") return "checkbox";
        if (Name == "checked") return "true";
        if (Name == "disabled") return "false";
        return {};
    };
    Input.Updating = true;
    FillInspector(Input, tagInput);
    Input.Updating = false;
    EXPECT_EQ(Repaints, 0);
    ASSERT_EQ(Input.Items.size(), 21u);
    EXPECT_TRUE(Input.Items[0]->IsCategory);
    EXPECT_FALSE(Input.Items[0]->Expanded);
    EXPECT_EQ(Input.Items[0]->Name(), "Attributes");
    EXPECT_EQ(Input.Items[1]->Value(), "checkbox");
    EXPECT_EQ(Input.Items[4]->Name(), "checked");
    EXPECT_TRUE(Input.Items[4]->BoolValue());
    EXPECT_TRUE(Input.Items[4]->Value().empty());
    EXPECT_EQ(Input.Items[11]->Name(), "disabled");
    EXPECT_FALSE(Input.Items[11]->BoolValue());
    EXPECT_EQ(Input.Items[16]->Name(), "Events");
    Input.Items[2]->SetValue("q");
    Input.Items[2]->SetValue("q");
    EXPECT_EQ(Repaints, 1);
}
