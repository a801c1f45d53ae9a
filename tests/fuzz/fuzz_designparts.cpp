// The partial read of an edited page: a page is made from the input and read as the design
// view holds it; one to three of its elements change (attributes, children), and the page
// reports them as the design view does (source, way from the body, texts around). Reading
// only those parts gives the same tree as reading the whole edited body, or declines and
// leaves the tree as it was.
//
// Input: a byte with the number of parts (and whether the body's attributes change), two
// bytes per part (which element, which change), then the page; pieces after NUL bytes are
// fragments that the changes put into elements. Bytes are Latin-1 characters.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzFiles.h"
#include "HtmlFilter.h"
#include "HtmlFilterHelpers.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"

using namespace zv;
using filter::AsTag;
using zv::fuzz::Require;

namespace {

bool IsElement(const THtmlNode* N) { return N->Kind() >= 0 && N->Kind() < HtmlTagCount; }

WideString TagName(THtmlTagId Kind)
{
    const std::string_view Name = TagNameFromId(Kind);
    return WideString(Name.begin(), Name.end());
}

// The start tag of Tag as the writer spells it.
WideString StartTag(const THtmlTag* Tag)
{
    THtmlTag Shallow(Tag->Kind());
    Shallow.AssignAttributes(Tag);
    WideString Start = NodeToHtml(&Shallow);
    Start = TrimRight(Start);
    Start.erase(0, Start.find(u'<'));
    if (TagIsContainer(Tag->Kind())) {
        const WideString End = u"</" + TagName(Tag->Kind()) + u">";
        Require(Start.size() >= End.size() && SameTextAscii(WideStringView(Start).substr(Start.size() - End.size()), End));
        Start.resize(Start.size() - End.size());
        Start = TrimRight(Start);
    }
    return Start;
}

// The body as the page writes it: each node where it stands, tags in the writer's spelling
// but without line breaks of their own.
void Source(THtmlNode* N, WideString& Out)
{
    THtmlTag* Tag = AsTag(N);
    if (!Tag || !IsElement(N)) {
        auto* Text = dynamic_cast<THtmlText*>(N);
        if (Text && (Text->Kind() == tagText || Text->Kind() == tagRawText)) {
            Out += Text->Text.View();
        } else {
            WideString Written = NodeToHtml(N);
            Written = TrimRight(Written);
            Out += Written;
        }
        return;
    }
    Out += StartTag(Tag);
    for (THtmlNode* C = N->FirstNode(); C; C = C->NextNode())
        Source(C, Out);
    if (TagIsContainer(Tag->Kind()))
        Out += u"</" + TagName(Tag->Kind()) + u">";
}

WideString SourceOf(THtmlNode* N)
{
    WideString Out;
    Source(N, Out);
    return Out;
}

THtmlTag* BodyOf(const THtmlFilter& Filter)
{
    return Filter.Root() ? AsTag(Filter.Root()->FindFirstOfKind(tagBody)) : nullptr;
}

// Kinds, attributes and texts alike, all the way down.
bool SameTree(const THtmlNode* A, const THtmlNode* B)
{
    if (A->Kind() != B->Kind())
        return false;
    auto* TextA = dynamic_cast<const THtmlText*>(A);
    auto* TextB = dynamic_cast<const THtmlText*>(B);
    if (!TextA != !TextB || (TextA && TextA->Text.View() != TextB->Text.View()))
        return false;
    auto* TagA = dynamic_cast<const THtmlTag*>(A);
    auto* TagB = dynamic_cast<const THtmlTag*>(B);
    if (!TagA != !TagB)
        return false;
    if (TagA) {
        const int Count = TagA->GetAttributeCount();
        if (Count != TagB->GetAttributeCount())
            return false;
        for (int K = 0; K < Count; ++K)
            if (TagA->GetAttributeId(K) != TagB->GetAttributeId(K) || TagA->AttributeText(K) != TagB->AttributeText(K))
                return false;
    }
    const THtmlNode *CA = A->FirstNode(), *CB = B->FirstNode();
    for (; CA && CB; CA = CA->NextNode(), CB = CB->NextNode())
        if (!SameTree(CA, CB))
            return false;
    return !CA && !CB;
}

// The page as the design view holds it after a read of its whole body: false for pages the
// filter does not take, or whose body does not read back as itself (nothing a partial read
// can be measured against).
bool ReadPage(THtmlFilter& Filter, WideStringView Page)
{
    try {
        Filter.LoadFromString(Page);
        THtmlTag* Body = BodyOf(Filter);
        if (!Body)
            return false;
        Filter.ReadDesign(SourceOf(Body));
        Body = BodyOf(Filter);
        const WideString Again = SourceOf(Body);
        std::unique_ptr<THtmlTag> Copy(new THtmlTag(tagBody));
        Copy->Assign(Body);
        Filter.ReadDesign(Again);
        return SameTree(Copy.get(), BodyOf(Filter));
    } catch (const Exception&) {
        return false;
    }
}

// What the page's script treats as holding no markup, or read its own way.
bool ReadAsWritten(THtmlTagId Kind)
{
    switch (Kind) {
    case tagPre: case tagTextArea: case tagScript: case tagStyle: case tagIFrame:
    case tagNoFrames: case tagNoScript: case tagIsIndex:
        return true;
    default:
        return false;
    }
}

bool InPre(const THtmlNode* N, const THtmlNode* Body)
{
    for (const THtmlNode* P = N->ParentNode(); P && P != Body; P = P->ParentNode())
        if (ReadAsWritten(P->Kind()))
            return true;
    return false;
}

// The next node after N in document order within Body, N's children first unless Skip.
THtmlNode* Following(THtmlNode* N, bool Skip, const THtmlNode* Body)
{
    if (!Skip && N->FirstNode())
        return N->FirstNode();
    for (; N != Body; N = N->ParentNode())
        if (N->NextNode())
            return N->NextNode();
    return nullptr;
}

// Whether what is read from N on may lose a leading blank or keep it by what came before it
// (the page sends the whole body then).
bool HangsOnBefore(THtmlNode* N, const THtmlNode* Body)
{
    for (int K = 0; N && K < 64; N = Following(N, false, Body), ++K) {
        const THtmlTagId Kind = N->Kind();
        if (Kind == tagBr || Kind == tagHr || Kind == tagImg || Kind == tagInput)
            return false;
        if (Kind != tagText || InPre(N, Body))
            continue;
        const WideStringView Text = static_cast<THtmlText*>(N)->Text.View();
        if (!Text.empty())
            return Text[0] <= u' ';
    }
    return N != nullptr;
}

bool ShowsContent(THtmlTagId Kind)
{
    switch (Kind) {
    case tagApplet: case tagButton: case tagEmbed: case tagIFrame: case tagObject: case tagSelect:
    case tagTextArea:
        return true;
    default:
        return false;
    }
}

// The source of the texts right before (Forward false) or after N.
WideString TextsBeside(THtmlNode* N, bool Forward)
{
    std::vector<THtmlNode*> Texts;
    for (THtmlNode* S = Forward ? N->NextNode() : N->PrevNode(); S && S->Kind() == tagText;
         S = Forward ? S->NextNode() : S->PrevNode())
        Texts.push_back(S);
    if (!Forward)
        std::reverse(Texts.begin(), Texts.end());
    WideString Out;
    for (THtmlNode* T : Texts)
        Out += static_cast<THtmlText*>(T)->Text.View();
    return Out;
}

bool NamesContext(WideStringView Text)
{
    static const char16_t* const Names[] = {u"style", u"link", u"meta", u"title", u"base", u"script",
                                            u"frame", u"frameset", u"noframes", u"html", u"head",
                                            u"body", u"xmp", u"plaintext"};
    for (size_t At = Text.find(u'<'); At != WideStringView::npos; At = Text.find(u'<', At + 1)) {
        for (const char16_t* Name : Names) {
            const WideStringView N(Name);
            if (At + 1 + N.size() >= Text.size() || !SameTextAscii(Text.substr(At + 1, N.size()), N))
                continue;
            const char16_t C = Text[At + 1 + N.size()];
            if (C == u'>' || C == u'/' || C == u' ' || C == u'\t' || C == u'\n' || C == u'\r' || C == u'\f')
                return true;
        }
    }
    return false;
}

// The report of the changed element El, as the page makes it; false where the page would send
// the whole body instead.
bool Report(THtmlNode* El, const THtmlNode* Body, THtmlFilter::TDesignPart& Part)
{
    if (InPre(El, Body) || El->Kind() == tagIsIndex || El->Kind() == tagNoScript)
        return false;
    for (THtmlNode* N = El; N != Body; N = N->ParentNode()) {
        int Index = 0, Count = 0;
        for (THtmlNode* S = N->ParentNode()->FirstNode(); S; S = S->NextNode()) {
            if (!IsElement(S))
                continue;
            if (S == N)
                Index = Count;
            ++Count;
        }
        Part.Path.insert(Part.Path.begin(), THtmlFilter::TDesignPart::TStep{Index, Count, TagName(N->Kind())});
    }
    THtmlNode* End = El;
    bool Settled = false;
    while (!End->NextNode() && End->ParentNode() != Body && !Settled) {
        End = End->ParentNode();
        ++Part.Up;
        Settled = ShowsContent(End->Kind());
    }
    Part.Before = TextsBeside(El, false);
    Part.After = Settled ? WideString() : TextsBeside(End, true);
    if ((Part.Before.empty() && HangsOnBefore(El, Body)) ||
        (Part.After.empty() && !Settled && HangsOnBefore(Following(End, true, Body), Body)))
        return false;
    Part.Source = SourceOf(El);
    return !NamesContext(Part.Source) && !NamesContext(Part.Before) && !NamesContext(Part.After);
}

// The nodes of Fragment read as the children of a body.
std::vector<THtmlNode*> Parsed(WideStringView Fragment, std::unique_ptr<THtmlRoot>& Keep)
{
    Keep = ParseHtml(u"<body>" + WideString(Fragment));
    std::vector<THtmlNode*> Nodes;
    if (THtmlTag* Body = AsTag(Keep->FindFirstOfKind(tagBody)))
        for (THtmlNode* N = Body->FirstNode(); N; N = N->NextNode())
            Nodes.push_back(N);
    return Nodes;
}

// One change of an element, as editing in the page makes them.
void Change(THtmlTag* El, int How, WideStringView Fragment)
{
    std::unique_ptr<THtmlRoot> Keep;
    const bool Container = TagIsContainer(El->Kind());
    switch (How % 6) {
    case 0:
        El->SetAttribute(attrTitle, Fragment.empty() ? WideStringView(u"changed") : Fragment.substr(0, 40));
        break;
    case 1:
        if (Container)
            El->AddLast(new THtmlText(tagText, u" more text"));
        break;
    case 2:
        if (Container) {
            El->Clear();
            for (THtmlNode* N : Parsed(Fragment, Keep))
                El->Append(N);
        }
        break;
    case 3:
        if (THtmlNode* First = El->FirstNode()) {
            El->Remove(First);
            delete First;
        }
        break;
    case 4:
        if (Container)
            for (THtmlNode* N : Parsed(Fragment, Keep))
                El->Append(N);
        break;
    default:
        El->ClearAttributes();
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 3)
        return 0;
    const size_t PartCount = 1 + Data[0] % 3;
    const size_t Head = 1 + 2 * PartCount;
    if (Size < Head)
        return 0;
    std::vector<WideString> Pieces(1);
    for (size_t K = Head; K < Size; ++K) {
        if (Data[K] == 0)
            Pieces.emplace_back();
        else
            Pieces.back() += static_cast<char16_t>(Data[K]);
    }

    THtmlFilter Partial, Whole, Edited;
    if (!ReadPage(Partial, Pieces[0]) || !ReadPage(Whole, Pieces[0]) || !ReadPage(Edited, Pieces[0]))
        return 0;
    THtmlTag* Body = BodyOf(Edited);
    std::vector<THtmlNode*> Elements;
    for (THtmlNode* N = Body->FirstNode(); N; N = Following(N, false, Body))
        if (IsElement(N))
            Elements.push_back(N);
    if (Elements.empty())
        return 0;

    // the elements the page reports: none inside another
    std::vector<THtmlNode*> Changed;
    std::vector<int> Hows;
    for (size_t K = 0; K < PartCount; ++K) {
        THtmlNode* El = Elements[Data[1 + 2 * K] % Elements.size()];
        bool Apart = true;
        for (THtmlNode* Other : Changed)
            Apart = Apart && Other != El && !El->HasAncestor(Other) && !Other->HasAncestor(El);
        if (Apart) {
            Changed.push_back(El);
            Hows.push_back(Data[2 + 2 * K]);
        }
    }
    try {
        for (size_t K = 0; K < Changed.size(); ++K)
            Change(AsTag(Changed[K]), Hows[K], Pieces[(K + 1) % Pieces.size()]);
    } catch (const Exception&) {
        return 0;  // a fragment that does not parse
    }
    std::vector<THtmlFilter::TDesignPart> Parts;
    for (THtmlNode* El : Changed)
        if (!Report(El, Body, Parts.emplace_back()))
            return 0;
    // the body's own attributes changed too: its start tag comes along
    WideString BodyTag;
    if (Data[0] & 0x10) {
        Body->SetAttribute(attrBgcolor, Pieces.back().substr(0, 20));
        BodyTag = StartTag(Body);
    }

    const WideString Before = SourceOf(BodyOf(Partial));
    bool Read = false;
    try {
        Read = Partial.ReadDesignParts(BodyTag, Parts);
    } catch (const Exception&) {
        std::abort();  // the partial read declines, it does not raise
    }
    if (!Read) {
        Require(SourceOf(BodyOf(Partial)) == Before);
        return 0;
    }
    try {
        Whole.ReadDesign(SourceOf(Body));
    } catch (const Exception&) {
        std::abort();  // what was read in parts reads as a whole
    }
    Require(SameTree(BodyOf(Partial), BodyOf(Whole)));
    return 0;
}
