// Mapping the edited page back into the document, and writing the document.

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <deque>

#include "HtmlConv.h"
#include "HtmlFilter.h"
#include "HtmlFilterHelpers.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "NodeArena.h"

namespace zv {

using namespace filter;

namespace {

THtmlTag* FirstBody(THtmlRoot* Root) { return AsTag(Root->FindFirstOfKind(tagBody)); }

// For as long as it lives, every character-set declaration of the document's head names
// Charset; without one, a META Content-Type saying so stands first in the head. Then the
// document is as it was.
class TCharsetDeclaration {
public:
    TCharsetDeclaration(THtmlRoot& Root, WideStringView Charset)
    {
        const bool HadHtml = Root.FindChild(tagHtml, false), HadHead = HadHtml && Root.EnsureHtml()->FindChild(tagHead, false);
        THtmlTag* Head = Root.EnsureHead();
        if (!HadHead)
            MadeHead = Head;
        if (!HadHtml)
            MadeHtml = AsTag(Head->ParentNode());
        const WideString Content = u"text/html; charset=" + WideString(Charset);
        for (THtmlNode* N = Head->FirstNode(); N; N = N->NextNode()) {
            THtmlTag* Meta = N->Kind() == tagMeta ? AsTag(N) : nullptr;
            if (Meta && SameTextAscii(Meta->AttributeValue(attrHttpEquiv), u"Content-Type"))
                Change(Meta, attrContent, Content);
            if (Meta && !Meta->AttributeValue(attrCharset).empty())
                Change(Meta, attrCharset, Charset);
        }
        if (!Changes.empty())
            return;
        MadeMeta = new THtmlTag(tagMeta);
        MadeMeta->SetAttribute(attrHttpEquiv, u"Content-Type");
        MadeMeta->SetAttribute(attrContent, Content);
        Head->AddFirst(MadeMeta);
    }
    ~TCharsetDeclaration()
    {
        for (const TChange& C : Changes)
            C.Meta->SetAttribute(C.Id, C.Value);
        for (THtmlTag* Made : {MadeMeta, MadeHead, MadeHtml}) {
            if (Made) {
                Made->Parent()->Remove(Made);
                delete Made;
            }
        }
    }
    TCharsetDeclaration(const TCharsetDeclaration&) = delete;
    TCharsetDeclaration& operator=(const TCharsetDeclaration&) = delete;

private:
    void Change(THtmlTag* Meta, THtmlAttrId Id, WideStringView Value)
    {
        Changes.push_back({Meta, Id, Meta->GetAttribute(Id)});
        Meta->SetAttribute(Id, Value);
    }

    struct TChange {
        THtmlTag* Meta;
        THtmlAttrId Id;
        WideString Value;
    };
    std::vector<TChange> Changes;
    THtmlTag* MadeMeta = nullptr;
    THtmlTag* MadeHead = nullptr;
    THtmlTag* MadeHtml = nullptr;
};

// For as long as it lives, the encoding that an XML declaration before the page names is
// Charset; then it is as it was. A declaration without one is left alone.
class TXmlEncoding {
public:
    TXmlEncoding(THtmlRoot& Root, WideStringView Charset)
    {
        for (THtmlNode* N = Root.FirstNode(); N; N = N->NextNode()) {
            if (N->Kind() == tagHtml)
                return;
            auto* Text = N->Kind() == tagPhp ? static_cast<THtmlText*>(N) : nullptr;
            if (!Text || !SameTextAscii(WideStringView(Text->Text).substr(0, 6), u"<?xml "))
                continue;
            // encoding = "value" or 'value'
            const WideString Lower = AsciiLowerCase(Text->Text);
            size_t At = Lower.find(u"encoding");
            if (At == WideString::npos)
                return;
            At += 8;
            while (At < Lower.size() && IsBlank(Lower[At]))
                ++At;
            if (At >= Lower.size() || Lower[At] != u'=')
                return;
            ++At;
            while (At < Lower.size() && IsBlank(Lower[At]))
                ++At;
            if (At >= Lower.size() || (Lower[At] != u'"' && Lower[At] != u'\''))
                return;
            const size_t End = Lower.find(Lower[At], At + 1);
            if (End == WideString::npos || SameTextAscii(WideStringView(Lower).substr(At + 1, End - At - 1), Charset))
                return;
            Declaration = Text;
            Old = Text->Text.Str();
            WideString Changed = Old;
            Changed.replace(At + 1, End - At - 1, Charset);
            Text->Text = Changed;
            return;
        }
    }
    ~TXmlEncoding()
    {
        if (Declaration)
            Declaration->Text = Old;
    }
    bool Changed() const { return Declaration; }
    TXmlEncoding(const TXmlEncoding&) = delete;
    TXmlEncoding& operator=(const TXmlEncoding&) = delete;

private:
    THtmlText* Declaration = nullptr;
    WideString Old;
};

// Bytes of a page written one byte per character read back as Latin-1: no declaration that
// the loading pass leaves alone (an XML one, say) names another set.
bool ReadsAsLatin1(TStream& Stream)
{
    return SameTextAscii(Utf8ToUtf16(DetectCharset(Stream)), u"ISO-8859-1");
}

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

namespace {

// Element Index of the Count elements of Parent; nil where Parent holds another count.
THtmlTag* NthElement(THtmlNode* Parent, int Index, int Count)
{
    THtmlTag* Found = nullptr;
    int K = 0;
    for (THtmlNode* N = Parent->FirstNode(); N; N = N->NextNode()) {
        if (N->Kind() < 0 || N->Kind() >= HtmlTagCount)
            continue;
        if (K++ == Index)
            Found = AsTag(N);
    }
    return K == Count ? Found : nullptr;
}

// The only child of Parent when it is an element of kind Kind; nil otherwise.
THtmlTag* OnlyChild(THtmlNode* Parent, THtmlTagId Kind)
{
    THtmlNode* Child = Parent ? Parent->FirstNode() : nullptr;
    return Child && !Child->NextNode() && Child->Kind() == Kind ? AsTag(Child) : nullptr;
}

}  // namespace

bool THtmlFilter::ReadDesignParts(WideStringView BodyTag, const std::vector<TDesignPart>& Parts)
{
    THtmlTag* Body = FRoot ? FirstBody(FRoot.get()) : nullptr;
    if (!Body)
        return false;
    // Every part is found and read before the tree changes.
    struct TRead {
        THtmlTag* Old;
        std::unique_ptr<THtmlRoot> Page;
        THtmlTag* New;
    };
    std::vector<TRead> Reads;
    std::vector<THtmlTagId> Kinds;
    std::unique_ptr<THtmlRoot> Tag;
    try {
        for (const TDesignPart& Part : Parts) {
            // the element, and the text that reads the part inside the elements it stands in:
            // the text before it, the part, the ends of the Up elements it is the last of, the
            // text after them and a line break that must end up beside them
            const size_t Depth = Part.Path.size();
            if (Depth == 0 || Part.Up < 0 || static_cast<size_t>(Part.Up) >= Depth)
                return false;
            THtmlTag* Old = Body;
            WideString Text = u"<body>";
            Kinds.clear();
            for (const TDesignPart::TStep& Step : Part.Path) {
                if (Old != Body)
                    Text += u'<' + Utf8ToUtf16(TagNameFromId(Old->Kind())) + u'>';
                Old = NthElement(Old, Step.Index, Step.Count);
                Kinds.push_back(TagIdFromName(Step.Name));
                if (!Old || Old->Kind() != Kinds.back())
                    return false;
            }
            for (const TRead& Other : Reads)
                if (Other.Old == Old || Old->HasAncestor(Other.Old) || Other.Old->HasAncestor(Old))
                    return false;
            const size_t EndLevel = Depth - 1 - static_cast<size_t>(Part.Up);
            THtmlNode* OldEnd = Old;
            for (int K = 0; K < Part.Up; ++K) {
                if (OldEnd->NextNode())
                    return false;
                OldEnd = OldEnd->ParentNode();
            }
            Text += Part.Before;
            Text += Part.Source;
            for (size_t K = Depth - 1; K-- > EndLevel;)
                Text += u"</" + Utf8ToUtf16(TagNameFromId(Kinds[K])) + u'>';
            Text += Part.After;
            Text += u"<br>";
            std::unique_ptr<THtmlRoot> Page = ParseHtml(Text);
            THtmlNode* Parent = FirstBody(Page.get());
            for (size_t K = 0; Parent && K < EndLevel; ++K)
                Parent = OnlyChild(Parent, Kinds[K]);
            // the text before is read only for how it leaves the reader
            auto AfterBefore = [&](THtmlNode* N) {
                return N && N->Kind() == tagText && !Part.Before.empty() ? N->NextNode() : N;
            };
            THtmlNode* End = Parent ? Parent->FirstNode() : nullptr;
            if (Part.Up == 0)
                End = AfterBefore(End);
            THtmlNode* New = End;
            if (Part.Up > 0) {
                for (size_t K = EndLevel + 1; New && K + 1 < Depth; ++K)
                    New = OnlyChild(New, Kinds[K]);
                New = New ? AfterBefore(New->FirstNode()) : nullptr;
                if (New && New->NextNode())
                    return false;
            }
            if (!End || End->Kind() != Kinds[EndLevel] || !New || New->Kind() != Kinds.back() || !AsTag(New))
                return false;
            // the text after reads as the tree has it
            THtmlNode* Next = End->NextNode();
            const auto* OldText = dynamic_cast<const THtmlText*>(OldEnd->NextNode());
            if (OldText && OldText->Kind() != tagText)
                OldText = nullptr;
            if (Next && Next->Kind() == tagText) {
                if (!OldText || WideStringView(static_cast<THtmlText*>(Next)->Text) != WideStringView(OldText->Text))
                    return false;
                Next = Next->NextNode();
            } else if (OldText) {
                return false;
            }
            if (!Next || Next->Kind() != tagBr || Next->NextNode())
                return false;
            Reads.push_back({Old, std::move(Page), AsTag(New)});
        }
        if (!BodyTag.empty()) {
            Tag = ParseHtml(BodyTag);
            if (!FirstBody(Tag.get()))
                return false;
        }
    } catch (const Exception&) {
        // a read of the whole body says what is wrong
        return false;
    }
    for (TRead& Read : Reads) {
        Read.Old->InsertBefore(Read.New);
        Read.Old->Parent()->Remove(Read.Old);
        delete Read.Old;
    }
    if (Tag)
        Body->AssignAttributes(FirstBody(Tag.get()));
    return true;
}

// What MapToSource changed in the tree, undone in reverse order by UnmapSource: a source
// node put in place of a design element, or the source attributes (and kind) put on a design
// element while its own wait aside.
struct THtmlFilter::TSourceMapping {
    struct TChange {
        THtmlTag* Design;
        THtmlNode* Source = nullptr;
        // The source node is a copy of a stored node made for the mapping.
        bool Owned = false;
        // The design element's own attributes, and its kind.
        THtmlTag* Aside = nullptr;
        THtmlTagId Kind = tagImg;
        // The design element taken out of Parent, where it stood before Next.
        THtmlNode* Parent = nullptr;
        TLinkNode* Next = nullptr;
    };
    std::vector<TChange> Changes;
    std::deque<THtmlTag> Asides;
};

// Undoes the mapping however the scope is left.
class THtmlFilter::TSourceScope {
public:
    // What the mapping makes for a page with many design elements comes from the node arena.
    explicit TSourceScope(THtmlFilter& Filter)
        : FFilter(Filter), FArena(Filter.ObjectCount() >= ArenaObjects)
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
    static constexpr int ArenaObjects = 1024;
    THtmlFilter& FFilter;
    TNodeArenaScope FArena;
    TSourceMapping FMapping;
};

namespace {

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

void THtmlFilter::SourceAttributes(const THtmlTag* Design, const THtmlTag* Stored,
                                   std::initializer_list<THtmlAttrId> Restored, int Index,
                                   THtmlTag& Out) const
{
    // The design element's attributes, the restored ones taking the stored values in place
    // (one the stored node lacks is dropped; an empty one stays empty); restored ones it
    // lacks come last.
    using TEntry = TSourceEntry;
    std::vector<TEntry>& Entries = FEntries;
    Entries.clear();
    const int Count = Design->GetAttributeCount();
    for (int I = 0; I < Count; ++I) {
        const THtmlAttrId Id = Design->GetAttributeId(I);
        if (!Contains(Restored, Id))
            Entries.push_back({Id, Design->AttributeText(I), 0});
        else if (Stored->HasAttribute(Id))
            Entries.push_back({Id, Stored->AttributeValue(Id), 0});
    }
    for (THtmlAttrId Id : Restored) {
        if (!Design->HasAttribute(Id) && Stored->HasAttribute(Id))
            Entries.push_back({Id, Stored->AttributeValue(Id), 0});
    }
    // The attributes the loaded page had (unknown ones known by name) take their order there
    // among themselves; others (added in the page since) keep their places.
    const TStoredObject& Object = FObjects[Index];
    const std::vector<THtmlAttrId>& Order = Object.SourceOrder;
    constexpr size_t Unranked = SIZE_MAX;
    for (TEntry& E : Entries) {
        const WideStringView Name = E.Id == attrUnknown ? E.Text.substr(0, UnknownNameEnd(E.Text)) : WideStringView();
        E.Rank = Unranked;
        for (size_t P = 0, Unknown = 0; P < Order.size() && E.Rank == Unranked; ++P) {
            if (Order[P] != attrUnknown)
                E.Rank = Order[P] == E.Id ? P : Unranked;
            else if (E.Id == attrUnknown && SameTextAscii(Object.SourceUnknownNames[Unknown++], Name))
                E.Rank = P;
        }
    }
    std::vector<TEntry>& Ranked = FRanked;
    Ranked.clear();
    for (const TEntry& E : Entries)
        if (E.Rank != Unranked)
            Ranked.push_back(E);
    std::stable_sort(Ranked.begin(), Ranked.end(),
                     [](const TEntry& A, const TEntry& B) { return A.Rank < B.Rank; });
    auto Next = Ranked.begin();
    for (TEntry& E : Entries)
        if (E.Rank != Unranked)
            E = *Next++;

    // Entries of distinct known ids go in as one block; anything else one by one, so that
    // repeats merge.
    std::vector<THtmlAttribute>& Items = FItems;
    Items.clear();
    std::bitset<HtmlAttrCount> Seen;
    for (const TEntry& E : Entries) {
        if (E.Id < 0 || E.Id >= HtmlAttrCount || Seen.test(static_cast<size_t>(E.Id))) {
            Items.clear();
            break;
        }
        Seen.set(static_cast<size_t>(E.Id));
        Items.push_back({E.Id, {}, E.Text});
    }
    if (Items.size() == Entries.size()) {
        Out.AddAttributes(Items.data(), Items.size());
        return;
    }
    for (const TEntry& E : Entries) {
        if (E.Id != attrUnknown && (!E.Text.empty() || Out.HasAttribute(E.Id))) {
            Out.SetAttribute(E.Id, E.Text);
        } else if (E.Id != attrUnknown) {
            const THtmlAttribute Empty{E.Id, {}, {}};
            Out.AddAttributes(&Empty, 1);
        } else {
            const size_t Eq = UnknownNameEnd(E.Text);
            Out.SetUnknownAttribute(E.Text.substr(0, Eq),
                                    Eq == WideStringView::npos ? WideStringView() : E.Text.substr(Eq + 1));
        }
    }
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
        const int Index = Tag ? IndexOfId(Tag->AttributeValue(attrId)) : -1;
        THtmlNode* Stored = Object(Index);
        if (!Stored) {
            N = Root->NextInTree(N);
            continue;
        }
        const THtmlTag* StoredTag = AsTag(Stored);
        const THtmlTagId StoredKind = Stored->Kind();
        const bool StoredInput = StoredTag && StoredKind == tagInput &&
                                 SameTextAscii(StoredTag->AttributeValue(attrType), u"image");
        THtmlTag* Anchor = Kind == tagImg && StoredTag && StoredKind == tagA && !Stored->First()
                               ? AsTag(Tag->ParentNode())
                               : nullptr;
        if (Anchor && Anchor->Kind() == tagA) {
            // The picture of a named anchor around text: the anchor takes the stored name
            // (its dialog changes it there), and the picture goes.
            THtmlTag* Aside = &Mapping.Asides.emplace_back(tagA);
            Aside->AssignAttributes(Anchor);
            Aside->SetAttribute(attrName, StoredTag->AttributeValue(attrName));
            Mapping.Changes.push_back({Anchor, nullptr, false, Aside, tagA});
            Anchor->SwapAttributes(*Aside);
            N = Root->NextInTree(Tag);
            Mapping.Changes.push_back({Tag, nullptr, false, nullptr, tagImg, Anchor, Tag->Next()});
            Anchor->Remove(Tag);
            continue;
        }
        if (Kind == tagImg && !(StoredTag && StoredKind == tagImg) && !StoredInput) {
            // A placeholder: its source takes its place (a copy when an earlier copy of the
            // placeholder already took it) and is written as it stands.
            std::unique_ptr<THtmlNode> Copy(Stored->Parent() ? CopyOf(Stored) : nullptr);
            THtmlNode* Source = Copy ? Copy.get() : Stored;
            Mapping.Changes.push_back({Tag, Source, Copy != nullptr});
            Copy.release();
            Tag->InsertBefore(Source);
            Tag->Parent()->Remove(Tag);
            N = NextOutside(Root, Source);
            continue;
        }
        // The body keeps its place and children and takes the stored attributes; an image,
        // image input or table takes the source kind and attributes. The design element's
        // own attributes wait aside.
        THtmlTagId SourceKind = Kind;
        THtmlTag* Aside = nullptr;
        if (Kind == tagBody && StoredKind == tagBody && StoredTag) {
            Aside = &Mapping.Asides.emplace_back(tagBody);
            Aside->AssignAttributes(StoredTag);
        } else if (Kind == tagImg || (Kind == tagTable && StoredKind == tagTable && StoredTag)) {
            Aside = &Mapping.Asides.emplace_back(Kind);
            SourceKind = StoredKind;
            SourceAttributes(Tag, StoredTag,
                             Kind == tagTable ? RestoredTable
                             : StoredInput    ? RestoredImageInput
                                              : RestoredImage,
                             Index, *Aside);
        }
        if (Aside) {
            Mapping.Changes.push_back({Tag, nullptr, false, Aside, Kind});
            Tag->SwapAttributes(*Aside);
            Tag->SetKind(SourceKind);
        }
        N = Root->NextInTree(N);
    }
}

void THtmlFilter::UnmapSource(TSourceMapping& Mapping)
{
    for (auto It = Mapping.Changes.rbegin(); It != Mapping.Changes.rend(); ++It) {
        if (It->Aside) {
            It->Design->SwapAttributes(*It->Aside);
            It->Design->SetKind(It->Kind);
            continue;
        }
        if (It->Parent) {
            if (It->Next)
                It->Next->InsertBefore(It->Design);
            else
                It->Parent->Append(It->Design);
            continue;
        }
        It->Source->InsertBefore(It->Design);
        It->Source->Parent()->Remove(It->Source);
        if (It->Owned)
            delete It->Source;
    }
    Mapping.Changes.clear();
    Mapping.Asides.clear();
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
    TSourceScope Scope(*this);
    WideString Text = NodeToHtml(FRoot.get());
    // the declarations say what SaveToStream writes: a character beyond Latin-1 is written
    // as itself only where the save turns to UTF-8
    if (std::all_of(Text.begin(), Text.end(), [](char16_t C) { return C <= 0xFF; })) {
        TMemoryStream Bytes;
        Bytes.SetSize(static_cast<int64_t>(Text.size()));
        std::transform(Text.begin(), Text.end(), Bytes.Memory(), [](char16_t C) { return static_cast<uint8_t>(C); });
        Bytes.SetPosition(0);
        if (ReadsAsLatin1(Bytes)) {
            const TXmlEncoding Xml(*FRoot, u"ISO-8859-1");
            return Xml.Changed() ? NodeToHtml(FRoot.get()) : Text;
        }
    }
    const TCharsetDeclaration Declaration(*FRoot, u"UTF-8");
    const TXmlEncoding Xml(*FRoot, u"UTF-8");
    return NodeToHtml(FRoot.get());
}

void THtmlFilter::SaveToStream(TStream& Stream)
{
    if (!FRoot)
        return;
    TSourceScope Scope(*this);
    // One byte per character, when every character fits in one and the file reads back as
    // Latin-1 (a declaration the loading pass does not rewrite, such as an XML one, may say
    // otherwise). The page is written straight into Stream, which must be readable, and read
    // back from there; a page that needs another form is written again in its place.
    const int64_t Start = Stream.Position();
    bool Wide = false;
    WriteDocumentLatin1(Stream, FRoot.get(), Wide);
    const int64_t End = Stream.Position();
    auto Restart = [&] {
        Stream.SetSize(Start);
        Stream.SetPosition(Start);
    };
    if (!Wide) {
        Stream.SetPosition(Start);
        const bool Latin1 = ReadsAsLatin1(Stream);
        Stream.SetPosition(End);
        if (Latin1) {
            // an XML declaration before the page that names another set is made to agree
            if (const TXmlEncoding Xml(*FRoot, u"ISO-8859-1"); Xml.Changed()) {
                Restart();
                WriteDocumentLatin1(Stream, FRoot.get(), Wide);
            }
            return;
        }
    }
    Restart();
    // Otherwise (characters beyond Latin-1 in a script, a style, a comment or a server block,
    // where a reference would not read as one) the page is saved in UTF-8 and says so.
    const TCharsetDeclaration Declaration(*FRoot, u"UTF-8");
    const TXmlEncoding Xml(*FRoot, u"UTF-8");
    WriteDocumentUtf8(Stream, FRoot.get());
}

}  // namespace zv
