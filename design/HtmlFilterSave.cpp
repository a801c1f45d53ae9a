// Mapping the edited page back into the document, and writing the document.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlFilterHelpers.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"

namespace zv {

using namespace filter;

namespace {

THtmlTag* FirstBody(THtmlRoot* Root) { return AsTag(Root->FindFirstOfKind(tagBody)); }

}  // namespace

void THtmlFilter::ReadDesign(WideStringView Html)
{
    if (!FRoot)
        return;
    std::unique_ptr<THtmlRoot> Page = ParseHtml(Html);
    THtmlTag* Source = FirstBody(Page.get());
    if (!Source)
        Source = Page->EnsureBody();
    THtmlTag* Body = FirstBody(FRoot.get());
    if (!Body) {
        // A page without a body (a frameset) gains none unless something was put into it.
        if (!Source->First())
            return;
        Body = FRoot->EnsureBody();
    }
    Body->Clear();
    Body->AssignAttributes(Source);
    // The parsed page is thrown away, so its nodes move over instead of being copied.
    while (TLinkNode* Child = Source->First())
        Body->Append(Child);
}

// What MapToSource changed in the tree, undone in reverse order by UnmapSource: a source
// node put in place of a design element, or (for the body) the source attributes put on it.
struct THtmlFilter::TSourceMapping {
    struct TChange {
        THtmlTag* Design;
        THtmlNode* Source = nullptr;
        // The source node is a stand-in made for the mapping (or a copy of a stored node).
        bool Owned = false;
        // The design element's children went over to its stand-in.
        bool MovedChildren = false;
        // The design element's own kind and attributes, kept aside.
        std::unique_ptr<THtmlTag> Attributes;
    };
    std::vector<TChange> Changes;
};

// Undoes the mapping however the scope is left.
class THtmlFilter::TSourceScope {
public:
    explicit TSourceScope(THtmlFilter& Filter) : FFilter(Filter)
    {
        try {
            Filter.MapToSource(FMapping);
        } catch (...) {
            Filter.UnmapSource(FMapping);
            throw;
        }
    }
    ~TSourceScope() { FFilter.UnmapSource(FMapping); }
    TSourceScope(const TSourceScope&) = delete;
    TSourceScope& operator=(const TSourceScope&) = delete;

private:
    THtmlFilter& FFilter;
    TSourceMapping FMapping;
};

namespace {

THtmlNode* CopyOf(const THtmlNode* Node)
{
    if (auto* Text = dynamic_cast<const THtmlText*>(Node))
        return new THtmlText(Text->Kind(), Text->Text);
    auto* Copy = new THtmlTag(Node->Kind());
    Copy->Assign(Node);
    return Copy;
}

void MoveChildren(TLinkNode* From, TLinkNode* To)
{
    while (TLinkNode* Child = From->First())
        To->Append(Child);
}

// Restored attributes of a design element, in the order they are taken from its stored node.
constexpr std::initializer_list<THtmlAttrId> RestoredImage = {
    attrId, attrClass, attrSrc, attrStyle, attrOnResizeEnd, attrWidth, attrHeight};
constexpr std::initializer_list<THtmlAttrId> RestoredImageInput = {
    attrId, attrClass, attrType, attrName, attrSrc, attrStyle, attrOnResizeEnd, attrWidth,
    attrHeight};
constexpr std::initializer_list<THtmlAttrId> RestoredTable = {
    attrId, attrClass, attrStyle, attrOnResizeEnd, attrWidth, attrHeight};

bool Contains(std::initializer_list<THtmlAttrId> Ids, THtmlAttrId Id)
{
    return std::find(Ids.begin(), Ids.end(), Id) != Ids.end();
}

}  // namespace

std::unique_ptr<THtmlTag> THtmlFilter::SourceElement(const THtmlTag* Design,
                                                     const THtmlTag* Stored, THtmlTagId Kind,
                                                     std::initializer_list<THtmlAttrId> Restored,
                                                     int Index) const
{
    // The design element's attributes, the restored ones taking the stored values in place
    // (an empty stored value drops the attribute); restored ones it lacks come last.
    struct TEntry {
        THtmlAttrId Id;
        WideString Text;
        size_t Rank;
    };
    std::vector<TEntry> Entries;
    const int Count = Design->GetAttributeCount();
    Entries.reserve(Count + Restored.size());
    for (int I = 0; I < Count; ++I) {
        const THtmlAttrId Id = Design->GetAttributeId(I);
        if (!Contains(Restored, Id))
            Entries.push_back({Id, Design->GetAttributeByIndex(I), 0});
        else if (WideString Value = Stored->GetAttribute(Id); !Value.empty())
            Entries.push_back({Id, std::move(Value), 0});
    }
    for (THtmlAttrId Id : Restored) {
        if (Design->HasAttribute(Id))
            continue;
        if (WideString Value = Stored->GetAttribute(Id); !Value.empty())
            Entries.push_back({Id, std::move(Value), 0});
    }
    // The attributes the loaded page had take their order there among themselves; others
    // (added in the page since) keep their places.
    const std::vector<THtmlAttrId>& Order = FObjects[Index].SourceOrder;
    constexpr size_t Unranked = SIZE_MAX;
    for (TEntry& E : Entries) {
        const auto At = std::find(Order.begin(), Order.end(), E.Id);
        const bool Ranked = E.Id != attrUnknown && At != Order.end();
        E.Rank = Ranked ? static_cast<size_t>(At - Order.begin()) : Unranked;
    }
    for (size_t I = 0; I < Entries.size(); ++I) {
        if (Entries[I].Rank == Unranked)
            continue;
        size_t Least = I;
        for (size_t J = I + 1; J < Entries.size(); ++J)
            if (Entries[J].Rank < Entries[Least].Rank)
                Least = J;
        if (Least != I)
            std::swap(Entries[I], Entries[Least]);
    }

    auto Source = std::make_unique<THtmlTag>(Kind);
    for (const TEntry& E : Entries) {
        if (E.Id != attrUnknown) {
            Source->SetAttribute(E.Id, E.Text);
        } else {
            const WideStringView Text = E.Text;
            const size_t Eq = Text.find(u'=');
            Source->SetUnknownAttribute(Text.substr(0, Eq), Eq == Text.npos ? WideStringView()
                                                                           : Text.substr(Eq + 1));
        }
    }
    return Source;
}

void THtmlFilter::MapToSource(TSourceMapping& Mapping)
{
    THtmlRoot* Root = FRoot.get();
    TLinkNode* N = Root->NextInTree(nullptr);
    while (N) {
        auto* Node = static_cast<THtmlNode*>(N);
        const THtmlTagId Kind = Node->Kind();
        THtmlTag* Tag = (Kind == tagImg || Kind == tagTable || Kind == tagBody) ? AsTag(Node)
                                                                               : nullptr;
        const int Index = Tag ? IndexOfId(Tag->GetAttribute(attrId)) : -1;
        THtmlNode* Stored = Object(Index);
        if (!Stored) {
            N = Root->NextInTree(N);
            continue;
        }
        const THtmlTag* StoredTag = AsTag(Stored);
        const THtmlTagId StoredKind = Stored->Kind();
        const bool StoredInput = StoredTag && StoredKind == tagInput &&
                                 SameTextAscii(StoredTag->GetAttribute(attrType), u"image");
        if (Kind == tagImg && !(StoredTag && StoredKind == tagImg) && !StoredInput) {
            // A placeholder: its source takes its place (a copy when an earlier copy of the
            // placeholder already took it) and is written as it stands.
            std::unique_ptr<THtmlNode> Copy(Stored->Parent() ? CopyOf(Stored) : nullptr);
            THtmlNode* Source = Copy ? Copy.get() : Stored;
            Mapping.Changes.push_back({Tag, Source, Copy != nullptr, false, nullptr});
            Copy.release();
            Tag->InsertBefore(Source);
            Tag->Parent()->Remove(Tag);
            N = NextOutside(Root, Source);
            continue;
        }
        if (Kind == tagBody && StoredKind == tagBody && StoredTag) {
            // The body keeps its place and children; it takes the stored attributes.
            auto Own = std::make_unique<THtmlTag>(tagBody);
            Own->AssignAttributes(Tag);
            Mapping.Changes.push_back({Tag, nullptr, false, false, std::move(Own)});
            Tag->AssignAttributes(StoredTag);
        }
        // An image, image input or table: a stand-in with the source attributes takes the
        // design element's place and children.
        std::unique_ptr<THtmlTag> Source;
        if (Kind == tagImg)
            Source = SourceElement(Tag, StoredTag, StoredKind,
                                   StoredInput ? RestoredImageInput : RestoredImage, Index);
        else if (Kind == tagTable && StoredKind == tagTable && StoredTag)
            Source = SourceElement(Tag, StoredTag, tagTable, RestoredTable, Index);
        if (Source) {
            Mapping.Changes.push_back({Tag, Source.get(), true, true, nullptr});
            N = Source.release();
            Tag->InsertBefore(N);
            Tag->Parent()->Remove(Tag);
            MoveChildren(Tag, N);
        }
        N = Root->NextInTree(N);
    }
}

void THtmlFilter::UnmapSource(TSourceMapping& Mapping)
{
    for (auto It = Mapping.Changes.rbegin(); It != Mapping.Changes.rend(); ++It) {
        if (It->Attributes) {
            It->Design->AssignAttributes(It->Attributes.get());
            continue;
        }
        It->Source->InsertBefore(It->Design);
        if (It->MovedChildren)
            MoveChildren(It->Source, It->Design);
        It->Source->Parent()->Remove(It->Source);
        if (It->Owned)
            delete It->Source;
    }
    Mapping.Changes.clear();
}

std::unique_ptr<THtmlRoot> THtmlFilter::RebuildSource()
{
    auto Copy = std::make_unique<THtmlRoot>();
    if (FRoot) {
        TSourceScope Scope(*this);
        Copy->Assign(FRoot.get());
    }
    return Copy;
}

WideString THtmlFilter::GetSourceText()
{
    if (!FRoot)
        return {};
    TMemoryStream Stream;
    {
        TSourceScope Scope(*this);
        WriteDocument(Stream, FRoot.get());
    }
    WideString Text(static_cast<size_t>(Stream.Size() / 2), u'\0');
    if (!Text.empty())
        std::memcpy(Text.data(), Stream.Memory(), Text.size() * sizeof(char16_t));
    return Text;
}

void THtmlFilter::SaveToStream(TStream& Stream)
{
    if (!FRoot)
        return;
    TMemoryStream Text;
    {
        TSourceScope Scope(*this);
        WriteDocument(Text, FRoot.get());
    }
    Text.SetPosition(0);
    SaveText(Text, Stream);
}

}  // namespace zv
