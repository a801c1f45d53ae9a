#pragma once
// Small pieces shared by the parts of the design filter.

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "HtmlNodes.h"

namespace zv::filter {

// Prefix of every design id.
constexpr std::u16string_view IdPrefix = u"dsgn_:::_";
// The script a resizable design element reports a new size with.
constexpr std::u16string_view ReportResize = u"external.Report(this);";
// The picture shown over a design class's background.
constexpr std::u16string_view TransparentSrc = u"edit:trans.gif";

// The design class of an object by its classid (compared ignoring case).
WideString ObjectDesignClass(WideStringView ClassId);

// The pre-order successor of Node below Root that lies outside Node's own subtree.
inline TLinkNode* NextOutside(const TLinkNode* Root, TLinkNode* Node)
{
    while (Node != Root && !Node->Next())
        Node = Node->Parent();
    return Node == Root ? nullptr : Node->Next();
}

inline THtmlTag* AsTag(THtmlNode* Node)
{
    // The exact class is tested first: much cheaper than a cast that searches.
    if (Node && typeid(*Node) == typeid(THtmlTag))
        return static_cast<THtmlTag*>(Node);
    return dynamic_cast<THtmlTag*>(Node);
}

// A copy of a stored node: a text or block as it is, anything else as a tag with its subtree.
inline THtmlNode* CopyOf(const THtmlNode* Node)
{
    if (auto* Text = dynamic_cast<const THtmlText*>(Node))
        return new THtmlText(Text->Kind(), Text->Text);
    auto* Copy = new THtmlTag(Node->Kind());
    Copy->Assign(Node);
    return Copy;
}

// Sets an attribute; an empty value removes it (and adds no empty entry).
inline void PutAttribute(THtmlTag* Tag, THtmlAttrId Id, WideStringView Value)
{
    if (Value.empty())
        Tag->DeleteAttribute(Id);
    else
        Tag->SetAttribute(Id, Value);
}

// Attributes gathered as views and put on a tag at once, in place of all it had: one new
// block instead of one for each change. The views may point into that tag's own attributes.
// The room for them is lent by the caller, so that it is reused.
class TAttributeBuilder {
public:
    explicit TAttributeBuilder(std::vector<THtmlAttribute>& Room) : FItems(Room) { FItems.clear(); }
    void Clear() { FItems.clear(); }
    // Every entry of Tag as it stands, but those whose id is one of Skipped.
    void AddEntries(const THtmlTag* Tag, std::initializer_list<THtmlAttrId> Skipped = {})
    {
        const int Count = Tag->GetAttributeCount();
        for (int I = 0; I < Count; ++I) {
            const THtmlAttrId Id = Tag->GetAttributeId(I);
            if (std::find(Skipped.begin(), Skipped.end(), Id) != Skipped.end())
                continue;
            const WideStringView Text = Tag->AttributeText(I);
            if (Id != attrUnknown) {
                FItems.push_back({Id, {}, Text});
            } else {
                const size_t Eq = std::min(UnknownNameEnd(Text), Text.size());
                FItems.push_back({Id, Text.substr(0, Eq), Text.substr(std::min(Eq + 1, Text.size()))});
            }
        }
    }
    // As THtmlTag::SetAttribute: in place when present (an empty value removes it), else last.
    void Set(THtmlAttrId Id, WideStringView Value)
    {
        const auto It = std::find_if(FItems.begin(), FItems.end(),
                                     [Id](const THtmlAttribute& A) { return A.Id == Id; });
        if (It == FItems.end())
            FItems.push_back({Id, {}, Value});
        else if (Value.empty())
            FItems.erase(It);
        else
            It->Value = Value;
    }
    // Those of Ids that Source has, in the order given, each with its first value there.
    void CopyPresent(const THtmlTag* Source, std::initializer_list<THtmlAttrId> Ids)
    {
        constexpr size_t MaxIds = 16;
        WideStringView Values[MaxIds];
        bool Found[MaxIds] = {};
        const int Count = Source->GetAttributeCount();
        for (int I = 0; I < Count; ++I) {
            const auto At = std::find(Ids.begin(), Ids.end(), Source->GetAttributeId(I));
            const auto K = static_cast<size_t>(At - Ids.begin());
            if (At != Ids.end() && K < MaxIds && !Found[K]) {
                Values[K] = Source->AttributeText(I);
                Found[K] = true;
            }
        }
        for (size_t K = 0; K < Ids.size() && K < MaxIds; ++K)
            if (Found[K])
                Set(Ids.begin()[K], Values[K]);
    }
    // Tag's attributes become the gathered ones.
    void PutOn(THtmlTag* Tag) const
    {
        THtmlTag Fresh(Tag->Kind());
        Fresh.AddAttributes(FItems.data(), FItems.size());
        Tag->SwapAttributes(Fresh);
    }

private:
    std::vector<THtmlAttribute>& FItems;
};

// Each of Ids takes Source's value, in the order given; a value absent from Source removes
// the attribute from Dest.
inline void TakeAttributes(THtmlTag* Dest, const THtmlTag* Source,
                           std::initializer_list<THtmlAttrId> Ids)
{
    for (THtmlAttrId Id : Ids)
        PutAttribute(Dest, Id, Source->GetAttribute(Id));
}

}  // namespace zv::filter
