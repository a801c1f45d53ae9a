#pragma once
// Helpers of the design filter tests.

#include <string>

#include "HtmlNodes.h"
#include "WideText.h"

namespace zv::test {

inline std::string U8(WideStringView Text) { return Utf16ToUtf8(Text); }

// A node and its subtree as compact text: tags with their attributes in list order (empty
// values too, as name=), text and blocks as stored, a DOCTYPE as <!DOCTYPE n>.
inline std::string Dump(const THtmlNode* Node)
{
    if (auto* Text = dynamic_cast<const THtmlText*>(Node))
        return U8(Text->Text);
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Node))
        return "<!DOCTYPE " + std::to_string(DocType->DocKind) + ">";
    auto* Tag = dynamic_cast<const THtmlTag*>(Node);
    std::string Out;
    const bool Named = Tag->Kind() >= 0;
    if (Named) {
        Out = "<" + std::string(TagNameFromId(Tag->Kind()));
        for (int I = 0; I < Tag->GetAttributeCount(); ++I) {
            Out += " ";
            if (Tag->GetAttributeId(I) != attrUnknown)
                Out += std::string(AttrNameFromId(Tag->GetAttributeId(I))) + "=";
            Out += U8(Tag->GetAttributeByIndex(I));
        }
        Out += ">";
    }
    for (const THtmlNode* C = Tag->FirstNode(); C; C = C->NextNode())
        Out += Dump(C);
    if (Named && Tag->Count())
        Out += "</" + std::string(TagNameFromId(Tag->Kind())) + ">";
    return Out;
}

}  // namespace zv::test
