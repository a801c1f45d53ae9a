#pragma once
// What the property inspector offers for each tag: the tag's two captions and its rows
// (attribute, editing kind, deprecated or not, description, pick list), in order.

#include "HTMLTags.h"
#include "AttributeRows.h"

namespace zv {

struct TInspectorRowData {
    const char* Attr;  // the attribute's name; a category row has none
    uint8_t Kind;
    bool Deprecated;   // the name is shown in grey
    const char* Description;  // for a category row, its caption
    const char* PickList;     // comma text for ikPickList rows
};

struct TInspectorTagData {
    THtmlTagId Tag;
    const char* LongTitle;
    const char* ShortTitle;
    int FirstRow, RowCount;
};

constexpr int InspectorTagCount = 93;  // every tag from a to var but marquee
constexpr int InspectorRowCount = 263;  // tags with the same rows share them
extern const TInspectorTagData InspectorTags[InspectorTagCount];
extern const TInspectorRowData InspectorRows[InspectorRowCount];

// Fills Inspector with the captions and rows of Tag; a tag without data adds nothing.
void FillInspector(TInspector& Inspector, THtmlTagId Tag);

}  // namespace zv
