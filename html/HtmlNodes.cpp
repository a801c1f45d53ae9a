#include "HtmlNodes.h"

#include "NodeArena.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace zv {

static_assert(alignof(THtmlTag) <= 8 && alignof(THtmlText) <= 8 && alignof(THtmlDocType) <= 8,
              "the node arena cuts blocks at steps of 8 bytes");

namespace {

// Count units from From to To (which do not overlap); most texts of a page are short enough to
// go in two overlapping moves, without a call.
[[gnu::always_inline]] inline char16_t* CopyUnits(const char16_t* From, size_t Count, char16_t* To)
{
    // Two moves of one word size, the second ending where the text ends.
    const auto Moves = [&](auto Word) {
        constexpr size_t Units = sizeof(Word) / sizeof(char16_t);
        decltype(Word) Last;
        std::memcpy(&Word, From, sizeof(Word));
        std::memcpy(&Last, From + Count - Units, sizeof(Word));
        std::memcpy(To, &Word, sizeof(Word));
        std::memcpy(To + Count - Units, &Last, sizeof(Word));
    };
    if (Count > 16)
        std::memcpy(To, From, Count * sizeof(char16_t));
    else if (Count >= 8)
        Moves(__uint128_t{});
    else if (Count >= 4)
        Moves(uint64_t{});
    else if (Count >= 2)
        Moves(uint32_t{});
    else if (Count == 1)
        To[0] = From[0];
    return To + Count;
}

// A copy of Node without its children, by the node's class: a root becomes a plain tag.
TLinkNode* CloneShallow(const TLinkNode* Node)
{
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Node)) {
        auto* Copy = new THtmlDocType;
        Copy->SetKind(DocType->Kind());
        Copy->DocKind = DocType->DocKind;
        Copy->Text = DocType->Text;
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
// TNodeText

TNodeText& TNodeText::Assign(WideStringView Text)
{
    if (Text.size() <= Capacity()) {
        if (!Text.empty())
            std::memmove(FData, Text.data(), Text.size() * sizeof(char16_t));
        FSize = static_cast<uint32_t>(Text.size());
        return *this;
    }
    Replace(Text.size(), {}, Text);
    return *this;
}

TNodeText& TNodeText::operator+=(WideStringView Text)
{
    if (Text.size() <= Capacity() - FSize) {
        std::memmove(FData + FSize, Text.data(), Text.size() * sizeof(char16_t));
        FSize += static_cast<uint32_t>(Text.size());
        return *this;
    }
    const size_t Size = size_t(FSize) + Text.size();
    Replace(std::max(Size, Capacity() * 2), View(), Text);
    return *this;
}

// New units for Capacity, holding Head then Tail (either may lie in the old units).
void TNodeText::Replace(size_t Capacity, WideStringView Head, WideStringView Tail)
{
    const size_t Size = Head.size() + Tail.size();
    if (Size > MaxSize)
        TooLong();
    Capacity = std::min(Capacity, MaxSize);
    auto* Units = static_cast<char16_t*>(NodeAllocate(Capacity * sizeof(char16_t)));
    std::copy(Head.begin(), Head.end(), Units);
    std::copy(Tail.begin(), Tail.end(), Units + Head.size());
    Release();
    FData = Units;
    FSize = static_cast<uint32_t>(Size);
    FCapacity = static_cast<uint32_t>(Capacity);
}


THtmlText* THtmlText::Make(THtmlTagId Kind, WideStringView Text, WideStringView More)
{
    const size_t Size = Text.size() + More.size();
    if (Size > TNodeText::MaxSize)
        TNodeText::TooLong();
    void* Memory = NodeAllocate(sizeof(THtmlText) + Size * sizeof(char16_t));
    auto* Units = reinterpret_cast<char16_t*>(static_cast<char*>(Memory) + sizeof(THtmlText));
    CopyUnits(More.data(), More.size(), CopyUnits(Text.data(), Text.size(), Units));
    auto* Node = ::new (Memory) THtmlText(Kind);
    Node->Text.Borrow(Units, Size);
    return Node;
}

void TNodeText::TooLong() { throw std::length_error("text too long"); }

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
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Source)) {
        DocKind = DocType->DocKind;
        Text = DocType->Text;
    }
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

// Attributes packed into one block of exactly their size: a head, an entry per attribute (its id
// and where its text ends), then the texts end to end. A change builds a new block: attributes
// are few and rarely change once parsed, and a tag pays a few bytes per attribute instead of a
// whole list.
struct THtmlTag::TPacked {
    struct TEntry {
        int32_t Id;
        uint32_t End;
    };
    uint32_t Count;
    uint32_t Units;

    TEntry* Entries() { return reinterpret_cast<TEntry*>(this + 1); }
    const TEntry* Entries() const { return reinterpret_cast<const TEntry*>(this + 1); }
    char16_t* Texts() { return reinterpret_cast<char16_t*>(Entries() + Count); }
    const char16_t* Texts() const { return reinterpret_cast<const char16_t*>(Entries() + Count); }

    WideStringView Text(uint32_t I) const
    {
        const uint32_t Begin = I ? Entries()[I - 1].End : 0;
        return {Texts() + Begin, Entries()[I].End - Begin};
    }

    static size_t Bytes(size_t Count, size_t Units)
    {
        return sizeof(TPacked) + Count * sizeof(TEntry) + Units * sizeof(char16_t);
    }

    static TPacked* Make(size_t Count, size_t Units)
    {
        if (Count > UINT32_MAX || Units > UINT32_MAX)
            throw Exception("Attribute text too long");
        auto* Block = static_cast<TPacked*>(NodeAllocate(Bytes(Count, Units)));
        Block->Count = static_cast<uint32_t>(Count);
        Block->Units = static_cast<uint32_t>(Units);
        return Block;
    }

    static void Free(TPacked* Block)
    {
        if (Block)
            NodeFree(Block, Bytes(Block->Count, Block->Units));
    }

    TPacked* Copy() const
    {
        TPacked* Block = Make(Count, Units);
        std::memcpy(static_cast<void*>(Block), this, Bytes(Count, Units));
        return Block;
    }
};

size_t ServerBlockLength(WideStringView Text)
{
    if (Text.size() < 2 || Text[0] != u'<' || (Text[1] != u'?' && Text[1] != u'%'))
        return 0;
    const char16_t Closer[] = {Text[1], u'>'};
    const size_t End = Text.find(WideStringView(Closer, 2), 2);
    return End == WideStringView::npos ? 0 : End + 2;
}

bool RawNodeShows(THtmlTagId Kind, WideStringView Text)
{
    if (Kind == tagPhp || Kind == tagAsp)
        return true;
    if (Kind != tagUnknown)
        return false;
    for (const WideStringView Name : {WideStringView(u"svg"), WideStringView(u"math")}) {
        if (Text.size() > Name.size() + 1 && Text[0] == u'<' && SameTextAscii(Text.substr(1, Name.size()), Name)) {
            const char16_t After = Text[Name.size() + 1];
            if (IsBlank(After) || After == u'>' || After == u'/')
                return true;
        }
    }
    return false;
}

size_t UnknownNameEnd(WideStringView Entry) { return Entry.find(u'=', ServerBlockLength(Entry)); }

namespace {

// The entry text of an attribute: the value of a known one, name=value of another.
size_t EntryUnits(const THtmlAttribute& A)
{
    return A.Id == attrUnknown ? A.Name.size() + 1 + A.Value.size() : A.Value.size();
}

char16_t* PutEntry(char16_t* Out, const THtmlAttribute& A)
{
    if (A.Id == attrUnknown) {
        Out = CopyUnits(A.Name.data(), A.Name.size(), Out);
        *Out++ = u'=';
    }
    return CopyUnits(A.Value.data(), A.Value.size(), Out);
}

// Stands in for a missing list, so that an index into it raises the list's own error.
const TWideStringList& NoAttributes()
{
    static const TWideStringList Empty;
    return Empty;
}

}  // namespace

THtmlTag::TPacked* THtmlTag::Packed() const
{
    return (FAttributes & 1) ? nullptr : reinterpret_cast<TPacked*>(FAttributes);
}

TWideStringList* THtmlTag::List() const
{
    return (FAttributes & 1) ? reinterpret_cast<TWideStringList*>(FAttributes & ~uintptr_t(1)) : nullptr;
}

void THtmlTag::SetPacked(TPacked* Block)
{
    FreeAttributes();
    FAttributes = reinterpret_cast<uintptr_t>(Block);
}

void THtmlTag::FreeAttributes()
{
    if (TWideStringList* L = List())
        delete L;
    else
        TPacked::Free(Packed());
    FAttributes = 0;
}

TWideStringList* THtmlTag::Attributes() const
{
    if (!FAttributes || (FAttributes & 1))
        return List();
    // Callers may change the entries through the list, so from now on they live there.
    TPacked* Block = Packed();
    auto Made = std::make_unique<TWideStringList>();
    for (uint32_t I = 0; I < Block->Count; ++I)
        Made->AddObject(Block->Text(I), Block->Entries()[I].Id);
    TPacked::Free(Block);
    FAttributes = reinterpret_cast<uintptr_t>(Made.release()) | 1;
    return List();
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
        std::swap(FAttributes, Copy.FAttributes);
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
    FreeAttributes();
    if (const TPacked* Block = Source->Packed()) {
        FAttributes = reinterpret_cast<uintptr_t>(Block->Copy());
    } else if (const TWideStringList* From = Source->List()) {
        auto Made = std::make_unique<TWideStringList>();
        Made->Assign(*From);
        FAttributes = reinterpret_cast<uintptr_t>(Made.release()) | 1;
    }
}

int THtmlTag::IndexOfAttribute(THtmlAttrId Id) const
{
    if (const TPacked* Block = Packed()) {
        for (uint32_t I = 0; I < Block->Count; ++I)
            if (Block->Entries()[I].Id == Id)
                return static_cast<int>(I);
    } else if (const TWideStringList* L = List()) {
        const int N = L->GetCount();
        for (int I = 0; I < N; ++I)
            if (L->GetObject(I) == Id)
                return I;
    }
    return -1;
}

// Packed entries only: entry Index becomes Entry, or goes when Entry is nil.
void THtmlTag::ReplaceEntry(int Index, const THtmlAttribute* Entry)
{
    const TPacked* Old = Packed();
    const auto At = static_cast<uint32_t>(Index);
    const size_t OldUnits = Old->Text(At).size();
    TPacked* Block = TPacked::Make(Old->Count - (Entry ? 0 : 1),
                                   Old->Units - OldUnits + (Entry ? EntryUnits(*Entry) : 0));
    char16_t* Out = Block->Texts();
    uint32_t K = 0;
    for (uint32_t I = 0; I < Old->Count; ++I) {
        if (I == At && !Entry)
            continue;
        if (I == At) {
            Out = PutEntry(Out, *Entry);
        } else {
            const WideStringView Text = Old->Text(I);
            Out = std::copy(Text.begin(), Text.end(), Out);
        }
        Block->Entries()[K].Id = Old->Entries()[I].Id;
        Block->Entries()[K].End = static_cast<uint32_t>(Out - Block->Texts());
        ++K;
    }
    SetPacked(Block);
}

void THtmlTag::AddAttributes(const THtmlAttribute* Items, size_t Count)
{
    if (TWideStringList* L = List()) {
        for (size_t I = 0; I < Count; ++I) {
            const THtmlAttribute& A = Items[I];
            WideString Entry(EntryUnits(A), u'\0');
            PutEntry(Entry.data(), A);
            L->AddObject(Entry, A.Id);
        }
        return;
    }
    const TPacked* Old = Packed();
    const size_t OldCount = Old ? Old->Count : 0;
    size_t Units = Old ? Old->Units : 0;
    for (size_t I = 0; I < Count; ++I)
        Units += EntryUnits(Items[I]);
    TPacked* Block = TPacked::Make(OldCount + Count, Units);
    char16_t* const Texts = Block->Texts();
    char16_t* Out = Texts;
    if (Old) {
        std::copy_n(Old->Entries(), OldCount, Block->Entries());
        Out = std::copy_n(Old->Texts(), Old->Units, Out);
    }
    for (size_t I = 0; I < Count; ++I) {
        Out = PutEntry(Out, Items[I]);
        Block->Entries()[OldCount + I] = {Items[I].Id, static_cast<uint32_t>(Out - Texts)};
    }
    SetPacked(Block);
}

void THtmlTag::SetAttribute(THtmlAttrId Id, WideStringView Value)
{
    const int Index = IndexOfAttribute(Id);
    const THtmlAttribute Entry{Id, {}, Value};
    if (Index < 0 && Value.empty())
        return;
    if (TWideStringList* L = List()) {
        if (Index < 0)
            L->AddObject(Value, Id);
        else if (Value.empty())
            L->Delete(Index);
        else
            L->Put(Index, Value);
    } else if (Index < 0) {
        AddAttributes(&Entry, 1);
    } else {
        ReplaceEntry(Index, Value.empty() ? nullptr : &Entry);
    }
}

void THtmlTag::SetUnknownAttribute(WideStringView Name, WideStringView Value)
{
    const THtmlAttribute Entry{attrUnknown, Name, Value};
    const int N = GetAttributeCount();
    for (int I = 0; I < N; ++I) {
        const WideStringView Text = AttributeText(I);
        if (GetAttributeId(I) == attrUnknown && Text.size() > Name.size() && Text[Name.size()] == u'=' &&
            SameTextAscii(Text.substr(0, Name.size()), Name)) {
            if (TWideStringList* L = List()) {
                WideString Made(EntryUnits(Entry), u'\0');
                PutEntry(Made.data(), Entry);
                L->Put(I, Made);
            } else {
                ReplaceEntry(I, &Entry);
            }
            return;
        }
    }
    AddAttributes(&Entry, 1);
}

bool THtmlTag::HasAttribute(THtmlAttrId Id) const { return IndexOfAttribute(Id) >= 0; }

WideString THtmlTag::GetAttribute(THtmlAttrId Id) const { return WideString(AttributeValue(Id)); }

WideStringView THtmlTag::AttributeValue(THtmlAttrId Id) const
{
    const int Index = IndexOfAttribute(Id);
    return Index < 0 ? WideStringView() : AttributeText(Index);
}

void THtmlTag::SwapAttributes(THtmlTag& Other) { std::swap(FAttributes, Other.FAttributes); }

void THtmlTag::DeleteAttribute(THtmlAttrId Id)
{
    const int Index = IndexOfAttribute(Id);
    if (Index < 0)
        return;
    if (TWideStringList* L = List())
        L->Delete(Index);
    else
        ReplaceEntry(Index, nullptr);
}

int THtmlTag::GetAttributeCount() const
{
    if (const TPacked* Block = Packed())
        return static_cast<int>(Block->Count);
    const TWideStringList* L = List();
    return L ? L->GetCount() : 0;
}

WideString THtmlTag::GetAttributeByIndex(int Index) const { return WideString(AttributeText(Index)); }

WideStringView THtmlTag::AttributeText(int Index) const
{
    if (const TPacked* Block = Packed(); Block && Index >= 0 && static_cast<uint32_t>(Index) < Block->Count)
        return Block->Text(static_cast<uint32_t>(Index));
    if (const TWideStringList* L = List())
        return L->GetView(Index);
    NoAttributes().Get(Index);  // raises the list's index error
    return {};
}

THtmlAttrId THtmlTag::GetAttributeId(int Index) const
{
    if (const TPacked* Block = Packed(); Block && Index >= 0 && static_cast<uint32_t>(Index) < Block->Count)
        return Block->Entries()[Index].Id;
    const TWideStringList* L = List();
    return static_cast<THtmlAttrId>((L ? *L : NoAttributes()).GetObject(Index));
}

void THtmlTag::ClearAttributes() { FreeAttributes(); }

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
