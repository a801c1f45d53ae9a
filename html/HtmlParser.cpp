#include "HtmlParser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <unordered_map>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "Exceptions.h"
#include "NameTable.h"
#include "NodeArena.h"
#include "PageMemory.h"
#include "WideText.h"

namespace zv {

namespace {

// What the parser needs to know of a tag id, gathered once.
struct TTagProps {
    bool Container = false;
    bool HoldsText = false;
    bool Inline = false;
    bool HeadTag = false;          // placed into head
    bool StaysPut = false;         // never moves the parser into body
    bool ClosesSame = false;       // a new one closes an open one of its kind
    bool ClosesP = false;          // closes an open paragraph, as browsers do
    bool Bounds = false;           // a paragraph outside it is not closed from inside
    bool ShowsContent = false;     // a blank after it is kept
    bool Special = false;          // a start tag that needs more than OpenTag and its attributes
};

const std::array<TTagProps, HtmlTagCount>& PropTable()
{
    static const std::array<TTagProps, HtmlTagCount> Table = [] {
        std::array<TTagProps, HtmlTagCount> T{};
        for (THtmlTagId Id = 0; Id < HtmlTagCount; ++Id) {
            T[Id].Container = TagIsContainer(Id);
            T[Id].HoldsText = TagCanHoldText(Id);
            T[Id].Inline = TagIsInline(Id);
            T[Id].ShowsContent = TagShowsContent(Id);
        }
        for (THtmlTagId Id : {tagBase, tagLink, tagMeta, tagStyle, tagTitle})
            T[Id].HeadTag = true;
        for (THtmlTagId Id : {tagBase, tagFrame, tagFrameSet, tagLink, tagMeta, tagNoFrames,
                              tagScript, tagStyle, tagTitle})
            T[Id].StaysPut = true;
        for (THtmlTagId Id : {tagColGroup, tagDd, tagDt, tagLi, tagOption, tagTBody, tagTd,
                              tagTFoot, tagTh, tagTHead, tagTr})
            T[Id].ClosesSame = true;
        for (THtmlTagId Id : {tagAddress, tagBlockquote, tagCenter, tagDd, tagDir, tagDiv, tagDl, tagDt,
                              tagFieldSet, tagForm, tagH1, tagH2, tagH3, tagH4, tagH5, tagH6, tagHr,
                              tagLi, tagMenu, tagOl, tagP, tagPre, tagUl})
            T[Id].ClosesP = true;
        for (THtmlTagId Id : {tagApplet, tagButton, tagCaption, tagHtml, tagMarquee, tagObject,
                              tagTable, tagTd, tagTh})
            T[Id].Bounds = true;
        for (THtmlTagId Id : {tagDocType, tagHtml, tagHead, tagBody, tagFrameSet, tagScript, tagStyle,
                              tagTextArea})
            T[Id].Special = true;
        return T;
    }();
    return Table;
}

class TParser {
public:
    // With GiveBack, the parser owns the text's memory and gives it back to the system as it
    // passes, so that a large page is not held twice (as text and as tree) at the end.
    explicit TParser(WideStringView Text, bool GiveBack = false)
        : Buf(Text.data()), Len(Text.size()), GiveBack(GiveBack)
    {
    }

    std::unique_ptr<THtmlRoot> Run()
    {
        auto Result = std::make_unique<THtmlRoot>();
        Root = Result.get();
        Frames.push_back({Root, tagRoot, 0, 0, 0});
        while (Pos < Len) {
            if (Buf[Pos] == u'<')
                Markup();
            else
                Text();
            if (GiveBack && Pos - Given >= GiveBackStep)
                GiveBackBefore(Pos);
        }
        return Result;
    }

private:
    // Nothing before the position is read again once a tag or text is done (nodes hold copies);
    // a margin is kept all the same.
    static constexpr size_t GiveBackStep = 1 << 20;
    static constexpr size_t GiveBackMargin = 1 << 14;

    void GiveBackBefore(size_t Until)
    {
        const size_t To = Until - GiveBackMargin;
        GiveBackPages(const_cast<char16_t*>(Buf + Given), (To - Given) * sizeof(char16_t));
        Given = To;
    }

    char16_t At(size_t I) const { return I < Len ? Buf[I] : u'\0'; }

    const TTagProps& Props(THtmlTagId Id) const
    {
        static constexpr TTagProps None;
        return (Id >= 0 && Id < HtmlTagCount) ? PropsById[Id] : None;
    }

    void SkipBlanks()
    {
        while (Pos < Len && IsBlank(Buf[Pos]))
            ++Pos;
    }

    // The first unit from P on that is A or B, or End. (The units are constants, so that they
    // are never read back from where a caller kept them.)
    template <char16_t A, char16_t B = A>
    static const char16_t* FindUnit(const char16_t* P, const char16_t* End)
    {
#ifdef __SSE2__
        const __m128i UnitA = _mm_set1_epi16(static_cast<short>(A));
        const __m128i UnitB = _mm_set1_epi16(static_cast<short>(B));
        for (; End - P >= 8; P += 8) {
            const __m128i Units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
            const __m128i Hits = _mm_or_si128(_mm_cmpeq_epi16(Units, UnitA), _mm_cmpeq_epi16(Units, UnitB));
            if (const auto Mask = static_cast<unsigned>(_mm_movemask_epi8(Hits)))
                return P + std::countr_zero(Mask) / 2;
        }
#endif
        for (; P < End; ++P)
            if (*P == A || *P == B)
                break;
        return P;
    }

    // Index of the first A (or B) at or after From, or Len.
    template <char16_t A, char16_t B = A>
    size_t Find(size_t From) const
    {
        if (From >= Len)
            return Len;
        return static_cast<size_t>(FindUnit<A, B>(Buf + From, Buf + Len) - Buf);
    }
    // Index of the first Quote (a double or single quote), or of the first Or when that comes
    // first, at or after From; Len for none.
    template <char16_t Or = 0>
    size_t FindQuote(char16_t Quote, size_t From) const
    {
        return Quote == u'"' ? Find<u'"', Or ? Or : u'"'>(From) : Find<u'\'', Or ? Or : u'\''>(From);
    }

    WideStringView Slice(size_t From, size_t To) const { return {Buf + From, To - From}; }

    // The element path from the root to Current (Frames), and how many of each kind it holds,
    // so that a closing tag finds its element (or learns there is none) without a climb.
    THtmlTag* Current() const { return Frames.back().Tag; }
    size_t Depth() const { return Frames.size(); }

    void Push(THtmlTag* Tag)
    {
        const THtmlTagId K = Tag->Kind();
        const TTagProps& P = Props(K);
        const TFrame& Top = Frames.back();
        const auto Here = static_cast<uint32_t>(Frames.size());
        const uint32_t Block = P.Inline ? Top.Block : Here;
        const uint32_t LastP = K == tagP ? Here : Top.LastP;
        const uint32_t Bound = P.Bounds ? Here : Top.Bound;
        // Filled in place: a frame built aside and copied in whole would be read back before
        // its parts were written.
        TFrame& New = Frames.emplace_back();
        New.Tag = Tag;
        New.Kind = K;
        New.Block = Block;
        New.LastP = LastP;
        New.Bound = Bound;
        Track(K, 1);
    }

    // Current := its parent. The root is never left.
    void Pop()
    {
        const THtmlTagId K = Frames.back().Kind;
        Track(K, -1);
        if (Props(K).ShowsContent)
            AfterBlank = false;
        Frames.pop_back();
    }

    // Elements that close each other as one of their own kind would.
    static bool Kin(THtmlTagId Open, THtmlTagId New)
    {
        return Open == New || ((Open == tagDd || Open == tagDt) && (New == tagDd || New == tagDt));
    }

    // Depth of the innermost open cell (Row: row) inside the innermost open table; 0 for none.
    size_t OpenInTable(bool Row) const
    {
        if ((Row ? Open[tagTr] : Open[tagTd] + Open[tagTh]) == 0)
            return 0;
        for (size_t D = Frames.size() - 1; D > 0; --D) {
            const THtmlTagId K = Frames[D].Kind;
            if (K == tagTable)
                return 0;
            if (Row ? K == tagTr : (K == tagTd || K == tagTh))
                return D;
        }
        return 0;
    }

    void Track(THtmlTagId K, int Delta)
    {
        if (K >= 0 && K < HtmlTagCount)
            Open[static_cast<size_t>(K)] += Delta;
    }

    // Current := Tag, an element of the frame.
    void MoveTo(THtmlTag* Tag)
    {
        while (Depth() > 1)
            Pop();
        std::vector<THtmlTag*> Chain;
        for (TLinkNode* N = Tag; N != Root; N = N->Parent())
            Chain.push_back(static_cast<THtmlTag*>(N));
        for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
            Push(*It);
    }

    // The frame elements never move once made, so they are looked up only once.
    THtmlTag* EnsureHtml()
    {
        if (!Html)
            Html = Root->EnsureHtml();
        return Html;
    }
    THtmlTag* EnsureHead()
    {
        if (!Head) {
            Head = Root->EnsureHead();
            Html = static_cast<THtmlTag*>(Head->Parent());
        }
        return Head;
    }
    THtmlTag* EnsureBody()
    {
        if (!Body) {
            Body = Root->EnsureBody();
            Html = static_cast<THtmlTag*>(Body->Parent());
        }
        return Body;
    }

    // After "</head>", "</body>" or "</html>" the parser stands outside the section it is in:
    // what follows goes back into the frame.
    bool OutsideSection() const
    {
        return (Depth() == 1 && Section != tagRoot) || (Current() == Html && (Section == tagBody || Section == tagHead));
    }

    void Enter(THtmlTagId NewSection)
    {
        Section = NewSection;
        MoveTo(NewSection == tagHead ? EnsureHead() : NewSection == tagBody ? EnsureBody()
                                                                           : EnsureHtml());
    }

    // Pos is at "<".
    void Markup()
    {
        const size_t Start = Pos;
        const char16_t Next = At(Pos + 1);
        if (Next == u'\0' || IsBlank(Next) || Next == u'<' || Next == u'>')
            return Text();
        size_t NameEnd;
        if (Next == u'!') {
            if (At(Pos + 2) == u'-') {
                if (At(Pos + 3) == u'-')
                    return Comment();
                NameEnd = NameFrom(Pos + 3, false);
            } else {
                NameEnd = NameFrom(Pos + 2, false);
            }
        } else if (Next == u'?') {
            return ServerBlock(tagPhp);
        } else if (Next == u'%') {
            return ServerBlock(tagAsp);
        } else {
            return Tag(Start);
        }
        const THtmlTagId Id = TagIdFromName(Slice(Start + 1, NameEnd));
        Pos = NameEnd;
        Element(Start, Id);
    }

    // Pos is at the "<" of a start or end tag. The name is packed for the lookup as it is read.
    void Tag(size_t Start)
    {
        const bool Closing = Buf[Pos + 1] == u'/';
        const size_t NameStart = Pos + 1 + Closing;
        TPackedName Packed;
        // The first character of a start tag's name belongs to it whatever it is.
        const size_t I = ReadName<u'/'>(NameStart, !Closing, Packed);
        THtmlTagId Id = TagNames.Find(Packed, Slice(NameStart, I));
        if (Closing)
            Id += tagClosingOffset;
        Pos = I;
        Element(Start, Id);
    }

    // Reads the name at Start (before Len) up to a blank, ">" or Stop, the first character
    // whatever it is when TakeFirst, into Packed; answers where the name ends.
    template <char16_t Stop>
    size_t ReadName(size_t Start, bool TakeFirst, TPackedName& Packed) const
    {
        size_t I = Start;
        if (TakeFirst)
            Packed.Add(0, Buf[I++]);
        for (; I < Len; ++I) {
            const char16_t C = Buf[I];
            if (IsBlank(C) || C == u'>' || C == Stop)
                break;
            Packed.Add(I - Start, C);
        }
        return I;
    }

    // Pos is just after the name of the tag at Start, which has the id Id.
    void Element(size_t Start, THtmlTagId Id)
    {
        if (Id >= 0 && Id < HtmlTagCount && !PropsById[Id].Special) {
            THtmlTag* Tag = OpenTag(Id);
            if (Pos < Len && Buf[Pos] == u'>')
                ++Pos;
            else
                ReadAttributes(Tag);
            return;
        }
        if (Id >= tagClosingOffset && Id != tagClosingOffset + tagBr)
            return ClosingTag(Id - tagClosingOffset);
        OtherElement(Start, Id);
    }

    // The start tags that need more than Element does, and what is no element.
    [[gnu::noinline]] void OtherElement(size_t Start, THtmlTagId Id)
    {
        if (Id == tagUnknown || Id == tagClosingOffset + tagUnknown)
            return UnknownTag(Start);
        // "</br>" is read as a line break, as browsers do.
        if (Id >= tagClosingOffset && Id != tagClosingOffset + tagBr)
            return ClosingTag(Id - tagClosingOffset);
        if (Id == tagDocType)
            return DocType(Start);
        THtmlTag* Tag;
        if (Id == tagClosingOffset + tagBr)
            Tag = OpenTag(tagBr);
        else if (Id == tagHtml || Id == tagHead || Id == tagBody || Id == tagFrameSet)
            Tag = FrameTag(Id);
        else
            Tag = OpenTag(Id);
        ReadAttributes(Tag);
        if (Id == tagScript || Id == tagStyle)
            RawContent(Id == tagScript ? WideStringView(u"script") : WideStringView(u"style"));
        else if (Id == tagTextArea)
            RawContent(u"textarea", tagText);
    }

    // End of a tag name that starts at From: a blank, ">" or, when asked, "/".
    size_t NameFrom(size_t From, bool SlashEnds) const
    {
        size_t I = From;
        while (I < Len) {
            const char16_t C = Buf[I];
            if (IsBlank(C) || C == u'>' || (SlashEnds && C == u'/'))
                break;
            ++I;
        }
        return I;
    }

    // Pos is at "<!--".
    void Comment()
    {
        const size_t End = WideStringView(Buf, Len).find(u"-->", Pos + 4);
        if (End == WideStringView::npos)
            throw Exception("Unterminated Comment");
        Current()->AddLast(THtmlText::Make(tagComment, Slice(Pos, End + 3)));
        Pos = End + 3;
    }

    // Pos is at "<?" or "<%"; the block ends at the first "?>" or "%>".
    void ServerBlock(THtmlTagId Kind)
    {
        const size_t End = ServerBlockAt(Pos);
        if (End == 0)
            throw Exception("Unterminated Script");
        Current()->AddLast(THtmlText::Make(Kind, Slice(Pos, End)));
        Pos = End;
        // What the server writes there shows: a blank after it is kept.
        AfterBlank = false;
    }

    // The tag as written, up to its ">" (supplied when the input ends first). An svg or math
    // element holds markup of another vocabulary (its "title" is no page title): it is kept
    // whole, as written, up to its end tag when it has one.
    void UnknownTag(size_t Start)
    {
        const size_t Gt = Find<u'>'>(Pos);
        size_t End = std::min(Gt + 1, Len);
        if (const WideStringView Name = Slice(Start + 1, Pos);
            Gt < Len && Buf[Gt - 1] != u'/' && (SameTextAscii(Name, u"svg") || SameTextAscii(Name, u"math"))) {
            if (const size_t Close = ForeignEnd(Start, Name, End))
                End = Close;
        }
        auto* Node = THtmlText::Make(tagUnknown, Slice(Start, End));
        if (Gt == Len)
            Node->Text += u'>';
        Current()->AddLast(Node);
        Pos = End;
        if (RawNodeShows(tagUnknown, Node->Text))
            AfterBlank = false;
    }

    // Whether the tag name Name, in any letter case, stands at I, ended by a blank, "/", ">" or
    // the end of the text.
    bool NameAt(size_t I, WideStringView Name) const
    {
        const size_t After = I + Name.size();
        if (After > Len || !SameTextAscii(Slice(I, After), Name))
            return false;
        const char16_t C = At(After);
        return After == Len || IsBlank(C) || C == u'/' || C == u'>';
    }

    // Where the element named Name that starts at Start, its content at From, ends: after the
    // ">" of its end tag, elements of the same name inside it counted; 0 when it has none.
    // When one has none, the search went to the end of the text; the ends of the elements it
    // met are kept, so that no later one searches again.
    size_t ForeignEnd(size_t Start, WideStringView Name, size_t From)
    {
        TForeignScan& Scan = ForeignScans[SameTextAscii(Name, u"svg") ? 0 : 1];
        if (Scan.Done && Start > Scan.From) {
            const auto It = Scan.Ends.find(Start);
            return It == Scan.Ends.end() ? 0 : It->second;
        }
        std::vector<size_t> Open{Start};
        std::vector<std::pair<size_t, size_t>> Met;  // inner elements: start, end
        for (size_t I = Find<u'<'>(From); I < Len; I = Find<u'<'>(I + 1)) {
            const bool Closing = I + 1 < Len && Buf[I + 1] == u'/';
            if (!NameAt(I + 1 + Closing, Name))
                continue;
            const size_t Gt = Find<u'>'>(I + 1 + Closing + Name.size());
            if (Gt == Len)
                break;
            if (!Closing) {
                if (Buf[Gt - 1] != u'/')
                    Open.push_back(I);
            } else if (Open.size() == 1) {
                return Gt + 1;
            } else {
                Met.emplace_back(Open.back(), Gt + 1);
                Open.pop_back();
            }
            I = Gt;
        }
        Scan.Done = true;
        Scan.From = Start;
        Scan.Ends.clear();
        Scan.Ends.insert(Met.begin(), Met.end());
        return 0;
    }

    void ClosingTag(THtmlTagId Kind)
    {
        Pos = (Pos < Len && Buf[Pos] == u'>' ? Pos : Find<u'>'>(Pos)) + 1;
        Pos = std::min(Pos, Len);
        if (Open[static_cast<size_t>(Kind)] > 0) {
            while (Frames.back().Kind != Kind)
                Pop();
            Pop();
        } else if (Kind == tagP && Section == tagBody && !OutsideSection()) {
            // A "</p>" with no paragraph open is an empty paragraph, as browsers read it.
            OpenTag(tagP);
            Pop();
        }
    }

    void DocType(size_t Start)
    {
        const size_t Gt = Find<u'>'>(Pos);
        const WideString Rest = AsciiUpperCase(Slice(Pos, Gt));
        auto* Node = new THtmlDocType;
        if (Rest.find(u"STRICT") != WideString::npos)
            Node->DocKind = dkStrict;
        else if (Rest.find(u"FRAMESET") != WideString::npos)
            Node->DocKind = dkFrameset;
        // The three HTML 4.01 kinds get their canonical lines, which put the browser into the
        // same mode (a transitional or frameset one without its DTD's address does not). Any
        // other DOCTYPE puts the browser into a mode of its own: it is kept as written.
        const bool Html401 = Rest.find(u"//DTD HTML 4.01") != WideString::npos;
        const bool Loose = Rest.find(u"TRANSITIONAL") != WideString::npos || Rest.find(u"FRAMESET") != WideString::npos;
        if (Html401 && !Loose)
            Node->DocKind = dkStrict;
        if (!Html401 || (Loose && Rest.find(u".DTD") == WideString::npos)) {
            Node->Text = Slice(Start, std::min(Gt, Len));
            Node->Text += u'>';
        }
        Pos = std::min(Gt + 1, Len);
        // Before the page starts it stays in place; inside an element at the top (a noframes
        // before any frame element) or later it goes first.
        if (Section == tagRoot && Depth() == 1)
            Root->AddLast(Node);
        else
            Root->AddFirst(Node);
    }

    THtmlTag* FrameTag(THtmlTagId Id)
    {
        // A body inside a noframes stays there, or the saved page would show it, not the
        // frames.
        if (Id == tagBody && Open[tagNoFrames] > 0)
            return OpenTag(Id);
        if (Id != tagFrameSet) {
            Enter(Id);
            return Current();
        }
        // Inside a noframes it stays where it stands, as it does before the page starts, and
        // the section stays as it was.
        if (Open[tagNoFrames] == 0 &&
            (Section == tagBody || Section == tagHead || (Depth() == 1 && Section != tagRoot)))
            MoveTo(EnsureHtml());
        auto* Tag = new THtmlTag(tagFrameSet);
        Current()->AddLast(Tag);
        Push(Tag);
        if (Open[tagNoFrames] == 0)
            Section = tagFrameSet;
        return Tag;
    }

    THtmlTag* OpenTag(THtmlTagId Id)
    {
        const TTagProps& P = Props(Id);
        if (P.HeadTag) {
            if (Section != tagHead || Open[tagHead] == 0)
                Enter(tagHead);
        } else if (!P.StaysPut && Open[tagNoFrames] == 0 &&
                   ((Section != tagBody && Section != tagFrameSet) || OutsideSection())) {
            // (A noframes keeps what it holds, wherever it stands.)
            Enter(tagBody);
        }
        // A paragraph is closed by the blocks that browsers close it for, also from inside
        // other elements ("<p><b>a<p>b" gives two paragraphs), but not from inside a table cell
        // or a button: a paragraph holds no such block, since a written one would not read
        // back inside it. An element closed by a new one of its kind is closed also from
        // inside inline elements. Any other element goes where it stands, inline or not
        // ("<a href=x><h2>T</h2></a>").
        if (const TFrame& Top = Frames.back(); P.ClosesP && Top.LastP > Top.Bound) {
            const size_t Para = Top.LastP;
            while (Depth() > Para)
                Pop();
        }
        if (P.ClosesSame) {
            const size_t At = Frames.back().Block;
            if (At > 0 && Kin(Frames[At].Kind, Id)) {
                while (Depth() > At)
                    Pop();
            }
        }
        // A cell closes the open cell of its table, a row its open row, whatever is open
        // inside them ("<tr><th>a<td><p>b<tr>" gives two rows of two cells).
        if (Id == tagTd || Id == tagTh || Id == tagTr) {
            if (const size_t At = OpenInTable(Id == tagTr); At > 0) {
                while (Depth() > At)
                    Pop();
            }
        }
        if (Id == tagBr || Id == tagHr)
            AfterBlank = true;
        auto* Tag = new THtmlTag(Id);
        Current()->AddLast(Tag);
        if (P.Container)
            Push(Tag);
        else if (P.ShowsContent)
            AfterBlank = false;
        return Tag;
    }

    // Pos is just after the tag name; reads up to and past the tag's ">".
    void ReadAttributes(THtmlTag* Tag)
    {
        SkipBlanks();
        if (Pos < Len && Buf[Pos] == u'>') {
            ++Pos;
            return;
        }
        AttrCount = 0;
        ++Stamp;
        UnknownCount = 0;
        UnknownMapped = false;
        while (Pos < Len && Buf[Pos] != u'>') {
            // A server block among the attributes ("<body <?php body_class(); ?>>") is kept
            // whole, as a name, with the value that may follow it ("<?= $name ?>="v"").
            if (const size_t End = Buf[Pos] == u'<' ? ServerBlockAt(Pos) : 0) {
                const WideStringView Block = Slice(Pos, End);
                Pos = End;
                WideStringView Value;
                ReadValue(Value);
                // server blocks are kept each as written, however alike
                AddEntry({attrUnknown, Block, Value});
                SkipBlanks();
                continue;
            }
            const size_t NameStart = Pos;
            TPackedName Packed;
            Pos = ReadName<u'='>(NameStart, true, Packed);
            const WideStringView Name = Slice(NameStart, Pos);
            WideStringView Value;
            const bool HasValue = ReadValue(Value);
            AddAttr(Name, AttrNames.Find(Packed, Name), HasValue, Value);
            SkipBlanks();
        }
        if (Pos < Len)
            ++Pos;
        StoreAttrs(Tag);
    }

    // Pos is just after an attribute's name: reads the "=" and value that may follow into
    // Value, answering whether there was one.
    bool ReadValue(WideStringView& Value)
    {
        SkipBlanks();
        if (At(Pos) != u'=')
            return false;
        ++Pos;
        SkipBlanks();
        const char16_t Quote = At(Pos);
        if (Quote == u'"' || Quote == u'\'') {
            const size_t Close = QuoteEnd(Quote, Pos + 1);
            Value = Slice(Pos + 1, Close);
            Pos = std::min(Close + 1, Len);
        } else {
            const size_t From = Pos;
            while (Pos < Len && !IsBlank(Buf[Pos]) && Buf[Pos] != u'>') {
                const size_t End = Buf[Pos] == u'<' ? ServerBlockAt(Pos) : 0;
                Pos = End ? End : Pos + 1;
            }
            Value = Slice(From, Pos);
        }
        return true;
    }

    // Where a server block ("<?php ... ?>", "<% ... %>") that starts at I ends: after its
    // closing mark; 0 when none starts there or it has no end.
    size_t ServerBlockAt(size_t I) const
    {
        const size_t Length = ServerBlockLength(Slice(I, Len));
        return Length ? I + Length : 0;
    }

    // The closing quote of a value that starts at From; a quote inside a server block
    // ("<?php echo $a["k"] ?>", "<%= f("q") %>") does not close it. A block counts as inside
    // the value only when the value's quote follows its end before any other markup: an
    // unended "<%" in a value does not run on to some "%>" further down the page.
    size_t QuoteEnd(char16_t Quote, size_t From) const
    {
        // Mostly no "<" comes first.
        if (const size_t First = FindQuote<u'<'>(Quote, From); First == Len || Buf[First] == Quote)
            return First;
        size_t Close = FindQuote(Quote, From);
        for (size_t Lt = From;; ++Lt) {
            Lt = static_cast<size_t>(FindUnit<u'<'>(Buf + Lt, Buf + Close) - Buf);
            if (Lt == Close)
                return Close;
            const size_t End = ServerBlockAt(Lt);
            if (End == 0)
                continue;
            if (End > Close) {
                const size_t Next = FindQuote(Quote, End);
                const WideStringView Between = Slice(End, Next);
                if (Next == Len || Between.find_first_of(u"<>") != WideStringView::npos)
                    return Close;
                Close = Next;
            }
            Lt = End - 1;
        }
    }

    // Collects one attribute; a repeated one keeps its first place and takes the last value.
    // Attributes outside the table are kept by name, empty values as empty values.
    // Id is the attribute's id for Name.
    void AddAttr(WideStringView Name, THtmlAttrId Id, bool HasValue, WideStringView Value)
    {
        // "/" of "<br/>", and names that begin with "=" (which nothing reads) or with a "<" of
        // no whole server block are left out.
        if (Name == u"/" || Name[0] == u'=' || Name[0] == u'<')
            return;
        if (Id >= 0) {
            if (!HasValue && IsBooleanAttribute(Id))
                Value = u"TRUE";
            const auto I = static_cast<size_t>(Id);
            if (KnownStamp[I] == Stamp) {
                Attrs[KnownSlot[I]].Value = Value;
            } else {
                KnownStamp[I] = Stamp;
                KnownSlot[I] = AttrCount;
                AddEntry({Id, Name, Value});
            }
            return;
        }
        // A tag has few attributes outside the table, so an earlier one of the name is looked
        // for among the entries; only a tag with many goes through a map of their names.
        size_t Slot = AttrCount;
        if (!UnknownMapped && UnknownCount < ManyUnknown) {
            for (size_t I = 0; I < AttrCount; ++I) {
                if (Attrs[I].Id == attrUnknown && SameTextAscii(Attrs[I].Name, Name)) {
                    Slot = I;
                    break;
                }
            }
        } else {
            if (!UnknownMapped) {
                UnknownSlot.clear();
                for (size_t I = 0; I < AttrCount; ++I)
                    if (Attrs[I].Id == attrUnknown && Attrs[I].Name[0] != u'<')  // (no server block)
                        UnknownSlot.try_emplace(AsciiLowerCase(Attrs[I].Name), I);
                UnknownMapped = true;
            }
            Slot = UnknownSlot.try_emplace(AsciiLowerCase(Name), AttrCount).first->second;
        }
        if (Slot == AttrCount) {
            ++UnknownCount;
            AddEntry({attrUnknown, Name, Value});
        } else {
            Attrs[Slot] = {attrUnknown, Name, Value};
        }
    }

    void AddEntry(const THtmlAttribute& Entry)
    {
        if (AttrCount == Attrs.size())
            Attrs.resize(std::max<size_t>(8, Attrs.size() * 2));
        Attrs[AttrCount++] = Entry;
    }

    void StoreAttrs(THtmlTag* Tag)
    {
        if (AttrCount == 0)
            return;
        if (Tag->GetAttributeCount() == 0) {
            // The entries are already unique, so they are added in one go.
            Tag->AddAttributes(Attrs.data(), AttrCount);
            return;
        }
        // An html, head or body met before: its values are replaced one by one.
        for (size_t I = 0; I < AttrCount; ++I) {
            const THtmlAttribute& A = Attrs[I];
            if (A.Id >= 0)
                Tag->SetAttribute(A.Id, A.Value);
            else
                Tag->SetUnknownAttribute(A.Name, A.Value);
        }
    }

    // Pos is just after the start tag of a script or style element, which is Current. Its
    // content up to the closing tag is kept as one raw text, exactly as written. With no
    // closing tag ahead the element is empty and parsing goes on after its start tag.
    // A textarea's content is one text as written, references and all, but no markup.
    void RawContent(WideStringView Name, THtmlTagId Kind = tagRawText)
    {
        size_t End = Len;
        for (size_t I = Find<u'<'>(Pos); I < Len; I = Find<u'<'>(I + 1)) {
            if (I + 1 < Len && Buf[I + 1] == u'/' && NameAt(I + 2, Name)) {
                End = I;
                break;
            }
        }
        if (End == Len) {
            Pop();
            return;
        }
        if (End > Pos)
            Current()->AddLast(THtmlText::Make(Kind, Slice(Pos, End)));
        Pos = End;
    }

    // The first unit from P on that may end a run of text as written: "<" or, unless Pre, a
    // blank or control character other than a space that follows something else (a space at
    // P counts as following a space).
    static const char16_t* PlainEnd(const char16_t* P, const char16_t* End, bool Pre)
    {
#ifdef __SSE2__
        const __m128i Lt = _mm_set1_epi16(u'<');
        const __m128i Space = _mm_set1_epi16(u' ');
        const __m128i Control = _mm_set1_epi16(0x1F);
        const __m128i Zero = _mm_setzero_si128();
        unsigned SpaceBefore = 3;  // movemask bits of a space just before the eight units
        for (; End - P >= 8; P += 8) {
            const __m128i Units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
            auto Stop = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(Units, Lt)));
            if (!Pre) {
                const auto Spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(Units, Space)));
                Stop |= static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(Units, Control), Zero)));
                Stop |= Spaces & ((Spaces << 2) | SpaceBefore);
                SpaceBefore = (Spaces >> 14) & 3;
            }
            if (Stop)
                return P + std::countr_zero(Stop) / 2;
        }
        bool AfterSpace = SpaceBefore != 0;
#else
        bool AfterSpace = true;
#endif
        for (; P < End; ++P) {
            const char16_t C = *P;
            if (C == u'<' || (!Pre && (C < u' ' || (C == u' ' && AfterSpace))))
                break;
            AfterSpace = C == u' ';
        }
        return P;
    }

    // Text up to the next markup. Outside pre and textarea each run of blanks becomes one
    // space; a "<" that starts no markup is kept as "&lt;". The text is taken where it lies
    // when it needs neither.
    void Text()
    {
        // Text inside a pre or textarea, at any depth, is taken as written.
        const bool Pre = Open[tagPre] > 0 || Open[tagTextArea] > 0;
        const char16_t* const End = Buf + Len;
        const char16_t* P = Buf + Pos;
        const char16_t* Run = P;  // written as it stands, from here to P
        bool Changed = false;     // Buffer holds the text before Run
        bool InBlank = false;     // what came before Run ends in a space made of blanks
        const char16_t* Stop = nullptr;  // where the text ends, when before P
        WideStringView Tail;             // what follows the text taken: a space or nothing
        auto Flush = [&](const char16_t* To) {
            if (!Changed)
                Buffer.clear();
            Changed = true;
            if (To > Run)
                InBlank = To[-1] == u' ';
            Buffer.append(Run, static_cast<size_t>(To - Run));
        };
        while ((P = PlainEnd(P, End, Pre)) < End) {
            const char16_t C = *P;
            if (C != u'<') {
                // A single space stays in the run; any other blanks become one space.
                if (!IsBlank(C) || (C == u' ' && (P == Run || P[-1] != u' '))) {
                    ++P;
                    continue;
                }
                const char16_t* const Blanks = P;
                while (P < End && IsBlank(*P))
                    ++P;
                if (!Changed && (P == End || StartsMarkup(P, End))) {
                    // The blanks end the text: it is taken where it lies, with its space.
                    Stop = Blanks;
                    if (Blanks == Run || Blanks[-1] != u' ')
                        Tail = u" ";
                    break;
                }
                Flush(Blanks);
                if (!InBlank)
                    Buffer += u' ';
                InBlank = true;
                Run = P;
                continue;
            }
            const char16_t Next = P + 1 < End ? P[1] : u'\0';
            if (Next == u'>') {
                Flush(P);
                Buffer += u"&lt;&gt;";
                P += 2;
            } else if (Next == u'\0' || Next == u'<' || IsBlank(Next)) {
                Flush(P);
                Buffer += u"&lt;";
                ++P;
            } else {
                break;
            }
            InBlank = false;
            Run = P;
        }
        WideStringView Taken(Run, static_cast<size_t>((Stop ? Stop : P) - Run));
        if (Changed) {
            Buffer.append(Taken);
            Taken = Buffer;
        }
        Pos = static_cast<size_t>(P - Buf);
        if (!Pre) {
            if (AfterBlank) {
                size_t Lead = 0;
                while (Lead < Taken.size() && Taken[Lead] <= u' ')
                    ++Lead;
                Taken.remove_prefix(Lead);
                if (Taken.empty())
                    Tail = {};
            }
            if (!Tail.empty())
                AfterBlank = true;
            else if (!Taken.empty())
                AfterBlank = Taken.back() == u' ';
        }
        if (Taken.empty() && Tail.empty())
            return;
        if (Open[tagNoFrames] == 0 && (Section == tagRoot || Section == tagHtml || OutsideSection())) {
            // Blanks between the sections make no body: one made before a frameset would
            // take the frameset's noframes content and hide the frames.
            if (std::all_of(Taken.begin(), Taken.end(), IsBlank))
                return;
            Enter(tagBody);
        }
        // A style, link or meta standing in the body takes the parser into the head; text
        // after it belongs to the body again rather than being lost.
        else if (Section == tagHead && Body && Current() == Head)
            Enter(tagBody);
        if (Props(Frames.back().Kind).HoldsText)
            Current()->AddLast(THtmlText::Make(tagText, Taken, Tail));
    }

    // Whether the "<" at P (before End) starts markup, rather than being text.
    static bool StartsMarkup(const char16_t* P, const char16_t* End)
    {
        const char16_t Next = P + 1 < End ? P[1] : u'\0';
        return *P == u'<' && Next != u'>' && Next != u'\0' && Next != u'<' && !IsBlank(Next);
    }

    const char16_t* Buf;
    size_t Len;
    size_t Pos = 0;
    bool GiveBack;
    size_t Given = 0;  // the text before this was given back
    const TTagProps* const PropsById = PropTable().data();
    const TNameTable& TagNames = TagNameTable();
    const TNameTable& AttrNames = AttrNameTable();

    THtmlRoot* Root = nullptr;
    THtmlTag* Html = nullptr;
    THtmlTag* Head = nullptr;
    THtmlTag* Body = nullptr;
    // The open elements from the root to Current. For each, the place in the path of the
    // nearest element at or above it that is not inline, that is a paragraph (0: none), and
    // that bounds the closing of paragraphs.
    struct TFrame {
        THtmlTag* Tag;
        THtmlTagId Kind;
        uint32_t Block;
        uint32_t LastP;
        uint32_t Bound;
    };
    std::vector<TFrame> Frames;
    std::array<int, HtmlTagCount> Open{};
    THtmlTagId Section = tagRoot;
    // The last text ended with a blank (or nothing was read yet, or a br or hr came last): the
    // next text loses its leading blank. An element that shows content of its own clears it
    // once it is done (after its start tag, or when a container of that kind is closed).
    bool AfterBlank = true;

    WideString Buffer;
    std::vector<THtmlAttribute> Attrs;  // the first AttrCount
    size_t AttrCount = 0;
    std::array<uint32_t, HtmlAttrCount> KnownStamp{};
    std::array<size_t, HtmlAttrCount> KnownSlot{};
    uint32_t Stamp = 0;
    // The last search for the end of an svg (0) or math (1) element that found none.
    struct TForeignScan {
        bool Done = false;
        size_t From = 0;
        std::unordered_map<size_t, size_t> Ends;
    };
    std::array<TForeignScan, 2> ForeignScans;

    // The attributes outside the table that the tag has so far; when there are many, where
    // each name stands.
    static constexpr size_t ManyUnknown = 16;
    size_t UnknownCount = 0;
    bool UnknownMapped = false;
    std::unordered_map<WideString, size_t> UnknownSlot;
};

}  // namespace

namespace {

std::unique_ptr<THtmlRoot> Parse(WideStringView Text, bool MayHoldNul)
{
    const TNodeArenaScope Arena(true);
    if (!MayHoldNul || Text.find(u'\0') == WideStringView::npos)
        return TParser(Text).Run();
    WideString Clean(Text);
    std::erase(Clean, u'\0');
    return TParser(Clean).Run();
}

}  // namespace

std::unique_ptr<THtmlRoot> ParseHtml(WideStringView Text)
{
    return Parse(Text, true);
}

std::unique_ptr<THtmlRoot> ParseHtml(TMemoryStream&& Stream, bool MayHoldNul)
{
    const int64_t From = Stream.Position();
    std::vector<uint8_t> Bytes = std::move(Stream.Bytes());
    Stream.Clear();
    if (From < 0 || From % 2 != 0 || From >= static_cast<int64_t>(Bytes.size()) || std::endian::native != std::endian::little) {
        TMemoryStream Rest;
        Rest.Bytes() = std::move(Bytes);
        Rest.SetPosition(From);
        return ParseHtml(Rest, MayHoldNul);
    }
    auto* Units = reinterpret_cast<char16_t*>(Bytes.data() + From);
    size_t Count = (Bytes.size() - static_cast<size_t>(From)) / 2;
    if (MayHoldNul)
        Count = static_cast<size_t>(std::remove(Units, Units + Count, u'\0') - Units);
    const TNodeArenaScope Arena(true);
    return TParser(WideStringView(Units, Count), true).Run();
}

std::unique_ptr<THtmlRoot> ParseHtml(TStream& Stream, bool MayHoldNul)
{
    // Text in memory is parsed where it lies, when it starts on a code unit.
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream); Memory && std::endian::native == std::endian::little) {
        const int64_t From = Memory->Position();
        const int64_t Size = Memory->Size();
        if (From % 2 == 0 && From < Size) {
            const auto* Units = reinterpret_cast<const char16_t*>(Memory->Memory() + From);
            Memory->SetPosition(Size);
            return Parse(WideStringView(Units, static_cast<size_t>(Size - From) / 2), MayHoldNul);
        }
    }
    // Read into the text itself: whole code units; an odd last byte is left out.
    WideString Text;
    size_t Bytes = 0;
    const int64_t Hint = Stream.Size() - Stream.Position();
    Text.resize(Hint > 0 ? static_cast<size_t>(Hint) / 2 + 1 : 4096);
    for (;;) {
        if (Bytes / 2 + 1 > Text.size())
            Text.resize(Text.size() * 2);
        auto* Dest = reinterpret_cast<uint8_t*>(Text.data()) + Bytes;
        const int64_t Got = Stream.Read(Dest, static_cast<int64_t>(Text.size() * 2 - Bytes));
        if (Got <= 0)
            break;
        Bytes += static_cast<size_t>(Got);
    }
    Text.resize(Bytes / 2);
    if constexpr (std::endian::native == std::endian::big) {
        for (char16_t& C : Text)
            C = static_cast<char16_t>((C >> 8) | (C << 8));
    }
    std::erase(Text, u'\0');
    const TNodeArenaScope Arena(true);
    return TParser(Text).Run();
}

}  // namespace zv
