#pragma once
// Small helpers that build node trees for the tests.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "HtmlNodes.h"

namespace zv::test {

using TAttrs = std::vector<std::pair<THtmlAttrId, WideString>>;

inline THtmlTag* El(THtmlTagId Kind, std::initializer_list<THtmlNode*> Children = {})
{
    auto* Tag = new THtmlTag(Kind);
    for (THtmlNode* C : Children)
        Tag->AddLast(C);
    return Tag;
}

inline THtmlTag* El(THtmlTagId Kind, const TAttrs& Attrs, std::initializer_list<THtmlNode*> Children = {})
{
    THtmlTag* Tag = El(Kind, Children);
    for (const auto& [Id, Value] : Attrs)
        Tag->SetAttribute(Id, Value);
    return Tag;
}

inline THtmlText* Tx(WideStringView Text, THtmlTagId Kind = tagText) { return new THtmlText(Kind, Text); }

inline THtmlRoot* Root(std::initializer_list<THtmlNode*> Children)
{
    auto* R = new THtmlRoot;
    for (THtmlNode* C : Children)
        R->AddLast(C);
    return R;
}

// The lines, each followed by CR LF.
inline WideString Lines(std::initializer_list<const char16_t*> Items)
{
    WideString Out;
    for (const char16_t* Line : Items) {
        Out += Line;
        Out += u"\r\n";
    }
    return Out;
}

// Splits text at CR LF (a last piece without CR LF is kept too).
inline std::vector<WideString> SplitLines(WideStringView Text)
{
    std::vector<WideString> Out;
    size_t Start = 0;
    for (size_t At; (At = Text.find(u"\r\n", Start)) != WideStringView::npos; Start = At + 2)
        Out.emplace_back(Text.substr(Start, At - Start));
    if (Start < Text.size())
        Out.emplace_back(Text.substr(Start));
    return Out;
}

}  // namespace zv::test

namespace zv::test {

// UTF-8 for readable test failures.
inline std::string U8(WideStringView Text) { return Utf16ToUtf8(Text); }

}  // namespace zv::test
