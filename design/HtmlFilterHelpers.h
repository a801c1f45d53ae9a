#pragma once
// Small pieces shared by the parts of the design filter.

#include <initializer_list>
#include <string_view>

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

inline THtmlTag* AsTag(THtmlNode* Node) { return dynamic_cast<THtmlTag*>(Node); }

// Sets an attribute; an empty value removes it (and adds no empty entry).
inline void PutAttribute(THtmlTag* Tag, THtmlAttrId Id, WideStringView Value)
{
    if (Value.empty())
        Tag->DeleteAttribute(Id);
    else
        Tag->SetAttribute(Id, Value);
}

// Each of Ids takes Source's value, in the order given; a value absent from Source removes
// the attribute from Dest.
inline void TakeAttributes(THtmlTag* Dest, const THtmlTag* Source,
                           std::initializer_list<THtmlAttrId> Ids)
{
    for (THtmlAttrId Id : Ids)
        PutAttribute(Dest, Id, Source->GetAttribute(Id));
}

}  // namespace zv::filter
