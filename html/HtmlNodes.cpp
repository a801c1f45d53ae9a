#include "HtmlNodes.h"

namespace zv {

namespace {

// A copy of Node without its children, by the node's class: a root becomes a plain tag.
TLinkNode* CloneShallow(const TLinkNode* Node)
{
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Node)) {
        auto* Copy = new THtmlDocType;
        Copy->SetKind(DocType->Kind());
        Copy->DocKind = DocType->DocKind;
        return Copy;
    }
    if (auto* Text = dynamic_cast<const THtmlText*>(Node))
        return new THtmlText(Text->Kind(), Text->Text);
    if (auto* Tag = dynamic_cast<const THtmlTag*>(Node)) {
        auto* Copy = new THtmlTag(Tag->Kind());
        Copy->AssignAttributes(Tag);
        return Copy;
    }
    if (auto* Html = dynamic_cast<const THtmlNode*>(Node))
        return new THtmlNode(Html->Kind());
    return new TLinkNode;
}

// Copies the subtree below Source under Dest, in pre-order without recursion. Only tags pass
// their children on; other nodes are copied without theirs.
void CopyChildren(const TLinkNode* Source, TLinkNode* Dest)
{
    const TLinkNode* S = Source->First();
    TLinkNode* D = Dest;
    while (S) {
        TLinkNode* Copy = CloneShallow(S);
        D->AddLast(Copy);
        if (S->First() && dynamic_cast<const THtmlTag*>(S)) {
            D = Copy;
            S = S->First();
            continue;
        }
        while (S != Source && !S->Next()) {
            S = S->Parent();
            D = D->Parent();
        }
        S = (S == Source) ? nullptr : S->Next();
    }
}

// Pre-order successor of Node below Root, entering only tags with children.
const TLinkNode* NextTagWalk(const TLinkNode* Root, const TLinkNode* Node)
{
    if (Node->First() && dynamic_cast<const THtmlTag*>(Node))
        return Node->First();
    while (Node != Root && !Node->Next())
        Node = Node->Parent();
    return Node == Root ? nullptr : Node->Next();
}

// The mirror walk: children last to first, each node before its own subtree.
const TLinkNode* PrevTagWalk(const TLinkNode* Root, const TLinkNode* Node)
{
    if (Node->Last() && dynamic_cast<const THtmlTag*>(Node))
        return Node->Last();
    while (Node != Root && !Node->Prev())
        Node = Node->Parent();
    return Node == Root ? nullptr : Node->Prev();
}

THtmlNode* MatchKind(const TLinkNode* Node, THtmlTagId Kind)
{
    auto* Html = dynamic_cast<const THtmlNode*>(Node);
    return (Html && Html->Kind() == Kind) ? const_cast<THtmlNode*>(Html) : nullptr;
}

THtmlTag* DirectTagChild(const TLinkNode* Parent, THtmlTagId Kind)
{
    for (TLinkNode* N = Parent->First(); N; N = N->Next())
        if (auto* Tag = dynamic_cast<THtmlTag*>(N); Tag && Tag->Kind() == Kind)
            return Tag;
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// THtmlNode

bool THtmlNode::CanAssignFrom(const THtmlNode* Source) const
{
    return Source && Source != this && !Source->HasAncestor(this);
}

bool THtmlNode::Assign(const THtmlNode* Source)
{
    if (!CanAssignFrom(Source))
        return false;
    FKind = Source->FKind;
    return true;
}

bool THtmlDocType::Assign(const THtmlNode* Source)
{
    if (!THtmlNode::Assign(Source))
        return false;
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Source))
        DocKind = DocType->DocKind;
    return true;
}

bool THtmlText::Assign(const THtmlNode* Source)
{
    if (!THtmlNode::Assign(Source))
        return false;
    if (auto* Other = dynamic_cast<const THtmlText*>(Source))
        Text = Other->Text;
    return true;
}

// ---------------------------------------------------------------------------------------------
// THtmlTag

THtmlTag::~THtmlTag()
{
    Clear();
    FAttributes.reset();
}

bool THtmlTag::Assign(const THtmlNode* Source)
{
    if (!CanAssignFrom(Source))
        return false;
    auto* Tag = dynamic_cast<const THtmlTag*>(Source);
    if (!Tag)
        return THtmlNode::Assign(Source);
    if (HasAncestor(Source)) {
        // Self lies inside Source: copy Source aside first, then take the copy over.
        THtmlTag Copy(Source->Kind());
        Copy.Assign(Source);
        Clear();
        SetKind(Copy.Kind());
        FAttributes = std::move(Copy.FAttributes);
        TakeChildren(Copy);
        return true;
    }
    THtmlNode::Assign(Source);
    Clear();
    AssignAttributes(Tag);
    CopyChildren(Tag, this);
    return true;
}

void THtmlTag::AssignAttributes(const THtmlTag* Source)
{
    if (!Source || Source == this)
        return;
    SetKind(Source->Kind());
    FAttributes.reset();
    if (Source->FAttributes) {
        FAttributes = std::make_unique<TWideStringList>();
        FAttributes->Assign(*Source->FAttributes);
    }
}

TWideStringList& THtmlTag::AttributeList()
{
    if (!FAttributes)
        FAttributes = std::make_unique<TWideStringList>();
    return *FAttributes;
}

int THtmlTag::IndexOfAttribute(THtmlAttrId Id) const
{
    if (!FAttributes)
        return -1;
    const int N = FAttributes->GetCount();
    for (int I = 0; I < N; ++I)
        if (FAttributes->GetObject(I) == Id)
            return I;
    return -1;
}

void THtmlTag::SetAttribute(THtmlAttrId Id, WideStringView Value)
{
    TWideStringList& List = AttributeList();
    const int Index = IndexOfAttribute(Id);
    if (Index < 0)
        List.AddObject(Value, Id);
    else if (Value.empty())
        List.Delete(Index);
    else
        List.Put(Index, Value);
}

void THtmlTag::SetUnknownAttribute(WideStringView Name, WideStringView Value)
{
    TWideStringList& List = AttributeList();
    WideString Prefix(Name);
    Prefix += u'=';
    const WideString Entry = Prefix + WideString(Value);
    const int N = List.GetCount();
    for (int I = 0; I < N; ++I) {
        if (List.GetObject(I) == attrUnknown && StartsWithTextAscii(List.Get(I), Prefix)) {
            List.Put(I, Entry);
            return;
        }
    }
    List.AddObject(Entry, attrUnknown);
}

bool THtmlTag::HasAttribute(THtmlAttrId Id) const { return IndexOfAttribute(Id) >= 0; }

WideString THtmlTag::GetAttribute(THtmlAttrId Id) const
{
    const int Index = IndexOfAttribute(Id);
    return Index < 0 ? WideString() : FAttributes->Get(Index);
}

void THtmlTag::DeleteAttribute(THtmlAttrId Id)
{
    const int Index = IndexOfAttribute(Id);
    if (Index >= 0)
        FAttributes->Delete(Index);
}

int THtmlTag::GetAttributeCount() const { return FAttributes ? FAttributes->GetCount() : 0; }

namespace {
// Stands in for a missing list, so that an index into it raises the list's own error.
const TWideStringList& NoAttributes()
{
    static const TWideStringList Empty;
    return Empty;
}
}  // namespace

WideString THtmlTag::GetAttributeByIndex(int Index) const
{
    return (FAttributes ? *FAttributes : NoAttributes()).Get(Index);
}

THtmlAttrId THtmlTag::GetAttributeId(int Index) const
{
    return static_cast<THtmlAttrId>((FAttributes ? *FAttributes : NoAttributes()).GetObject(Index));
}

void THtmlTag::ClearAttributes() { FAttributes.reset(); }

THtmlNode* THtmlTag::FindChild(THtmlTagId Kind, bool Recursive) const
{
    for (const TLinkNode* N = First(); N; N = Recursive ? NextTagWalk(this, N) : N->Next())
        if (THtmlNode* Match = MatchKind(N, Kind))
            return Match;
    return nullptr;
}

THtmlNode* THtmlTag::FindFirstOfKind(THtmlTagId Kind) const { return FindChild(Kind, true); }

THtmlNode* THtmlTag::FindLastOfKind(THtmlTagId Kind) const
{
    for (const TLinkNode* N = Last(); N; N = PrevTagWalk(this, N))
        if (THtmlNode* Match = MatchKind(N, Kind))
            return Match;
    return nullptr;
}

void THtmlTag::TrimText()
{
    if (auto* Text = dynamic_cast<THtmlText*>(FindFirstOfKind(tagText)))
        Text->Text = TrimLeft(Text->Text);
    if (auto* Text = dynamic_cast<THtmlText*>(FindLastOfKind(tagText)))
        Text->Text = TrimRight(Text->Text);
}

// ---------------------------------------------------------------------------------------------
// THtmlRoot

THtmlTag* THtmlRoot::EnsureHtml()
{
    if (THtmlTag* Html = DirectTagChild(this, tagHtml))
        return Html;
    auto* Html = new THtmlTag(tagHtml);
    AddLast(Html);
    return Html;
}

THtmlTag* THtmlRoot::EnsureHead()
{
    THtmlTag* Html = EnsureHtml();
    if (THtmlTag* Head = DirectTagChild(Html, tagHead))
        return Head;
    auto* Head = new THtmlTag(tagHead);
    if (THtmlTag* Body = DirectTagChild(Html, tagBody))
        Body->InsertBefore(Head);
    else
        Html->AddLast(Head);
    return Head;
}

THtmlTag* THtmlRoot::EnsureBody()
{
    THtmlTag* Html = EnsureHtml();
    if (THtmlTag* Body = DirectTagChild(Html, tagBody))
        return Body;
    auto* Body = new THtmlTag(tagBody);
    Html->AddLast(Body);
    return Body;
}

}  // namespace zv
