// Mapping the edited page back into the document, and writing the document.

#include <algorithm>
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

std::unique_ptr<THtmlRoot> THtmlFilter::RebuildSource() const
{
    auto Copy = std::make_unique<THtmlRoot>();
    if (!FRoot)
        return Copy;
    Copy->Assign(FRoot.get());
    TLinkNode* N = Copy->NextInTree(nullptr);
    while (N) {
        TLinkNode* InPlace = N;
        auto* Tag = dynamic_cast<THtmlTag*>(N);
        const int Index = Tag ? IndexOfId(Tag->GetAttribute(attrId)) : -1;
        THtmlNode* Stored = Object(Index);
        if (Stored) {
            auto* StoredTag = AsTag(Stored);
            switch (Tag->Kind()) {
            case tagImg:
                if (!StoredTag) {
                    // A comment, server block or unknown tag comes back in place of its picture.
                    auto* Text = new THtmlText(Stored->Kind());
                    Text->Assign(Stored);
                    Tag->InsertBefore(Text);
                    delete Tag;
                    InPlace = Text;
                } else if (StoredTag->Kind() == tagImg) {
                    TakeAttributes(Tag, StoredTag,
                                   {attrId, attrClass, attrSrc, attrStyle, attrOnResizeEnd,
                                    attrWidth, attrHeight});
                    RestoreAttributeOrder(Tag, Index);
                } else if (StoredTag->Kind() == tagInput &&
                           SameTextAscii(StoredTag->GetAttribute(attrType), u"image")) {
                    Tag->SetKind(tagInput);
                    TakeAttributes(Tag, StoredTag,
                                   {attrId, attrClass, attrType, attrName, attrSrc, attrStyle,
                                    attrOnResizeEnd, attrWidth, attrHeight});
                    RestoreAttributeOrder(Tag, Index);
                } else {
                    Tag->Assign(StoredTag);
                }
                break;
            case tagTable:
                if (StoredTag && StoredTag->Kind() == tagTable) {
                    TakeAttributes(Tag, StoredTag,
                                   {attrId, attrClass, attrStyle, attrOnResizeEnd, attrWidth,
                                    attrHeight});
                    RestoreAttributeOrder(Tag, Index);
                }
                break;
            case tagBody:
                if (StoredTag && StoredTag->Kind() == tagBody)
                    Tag->AssignAttributes(StoredTag);
                break;
            default:
                break;
            }
        }
        N = Copy->NextInTree(InPlace);
    }
    return Copy;
}

void THtmlFilter::RestoreAttributeOrder(THtmlTag* Node, int Index) const
{
    const std::vector<THtmlAttrId>& Order = FObjects[Index].SourceOrder;
    TWideStringList* List = Node->Attributes();
    if (Order.empty() || !List)
        return;
    // The attributes the page had keep the slots they hold now but take the page's order
    // among themselves; attributes added since stay where they are.
    struct TEntry {
        size_t Rank;
        WideString Text;
        THtmlAttrId Id;
    };
    std::vector<TEntry> Ranked;
    std::vector<int> Slots;
    const int Count = List->GetCount();
    for (int I = 0; I < Count; ++I) {
        const auto Id = static_cast<THtmlAttrId>(List->GetObject(I));
        const auto At = std::find(Order.begin(), Order.end(), Id);
        if (Id == attrUnknown || At == Order.end())
            continue;
        Ranked.push_back({static_cast<size_t>(At - Order.begin()), List->Get(I), Id});
        Slots.push_back(I);
    }
    std::stable_sort(Ranked.begin(), Ranked.end(),
                     [](const TEntry& A, const TEntry& B) { return A.Rank < B.Rank; });
    for (size_t K = 0; K < Slots.size(); ++K) {
        List->Put(Slots[K], Ranked[K].Text);
        List->PutObject(Slots[K], Ranked[K].Id);
    }
}

WideString THtmlFilter::GetSourceText() const
{
    if (!FRoot)
        return {};
    std::unique_ptr<THtmlRoot> Source = RebuildSource();
    TMemoryStream Stream;
    WriteDocument(Stream, Source.get());
    WideString Text(static_cast<size_t>(Stream.Size() / 2), u'\0');
    if (!Text.empty())
        std::memcpy(Text.data(), Stream.Memory(), Text.size() * sizeof(char16_t));
    return Text;
}

void THtmlFilter::SaveToStream(TStream& Stream) const
{
    if (!FRoot)
        return;
    std::unique_ptr<THtmlRoot> Source = RebuildSource();
    TMemoryStream Text;
    WriteDocument(Text, Source.get());
    Text.SetPosition(0);
    SaveText(Text, Stream);
}

}  // namespace zv
