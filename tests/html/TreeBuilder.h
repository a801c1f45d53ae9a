#pragma once
// Small helpers that build node trees and compare texts in the tests.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "HtmlNodes.h"

namespace zv::test {

using TAttrs = std::vector<std::pair<THtmlAttrId, WideString>>;

inline THtmlTag* El(THtmlTagId Kind, const TAttrs& Attrs, std::initializer_list<THtmlNode*> Children = {})
{
    auto* Tag = Kind == tagRoot ? new THtmlRoot : new THtmlTag(Kind);
    for (THtmlNode* C : Children)
        Tag->AddLast(C);
    for (const auto& [Id, Value] : Attrs)
        Tag->SetAttribute(Id, Value);
    return Tag;
}

inline THtmlTag* El(THtmlTagId Kind, std::initializer_list<THtmlNode*> Children = {}) { return El(Kind, {}, Children); }

inline THtmlRoot* Root(std::initializer_list<THtmlNode*> Children)
{
    return static_cast<THtmlRoot*>(El(tagRoot, Children));
}

inline THtmlText* Tx(WideStringView Text, THtmlTagId Kind = tagText) { return new THtmlText(Kind, Text); }

inline std::string U8(WideStringView Text) { return Utf16ToUtf8(Text); }

// The lines, each followed by CR LF, as UTF-8.
inline std::string Lines(std::initializer_list<WideStringView> Items)
{
    WideString Out;
    for (WideStringView Line : Items)
        (Out += Line) += u"\r\n";
    return U8(Out);
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
