#include "HtmlParser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <unordered_map>
#include <vector>

#include "Exceptions.h"
#include "NodeArena.h"
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
    bool DroppedWhenEmpty = false; // removed by the clean-up when childless
    bool KeepsUnknown = false;     // keeps attributes outside the table
    bool ShowsContent = false;     // a blank after it is kept
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
        for (THtmlTagId Id : {tagAddress, tagBlockquote, tagCenter, tagDel, tagDiv, tagH1, tagH2,
                              tagH3, tagH4, tagH5, tagH6, tagIns, tagNoFrames, tagNoScript, tagP,
                              tagPre})
            T[Id].DroppedWhenEmpty = true;
        for (THtmlTagId Id : {tagApplet, tagEmbed, tagObject, tagParam})
            T[Id].KeepsUnknown = true;
        return T;
    }();
    return Table;
}

const TTagProps& Props(THtmlTagId Id)
{
    static const TTagProps None;
    return (Id >= 0 && Id < HtmlTagCount) ? PropTable()[static_cast<size_t>(Id)] : None;
}

// True when Text, without its leading and trailing blanks, is one complete comment.
bool IsOneComment(WideStringView Text)
{
    size_t B = 0, E = Text.size();
    while (B < E && IsBlank(Text[B]))
        ++B;
    while (E > B && IsBlank(Text[E - 1]))
        --E;
    const WideStringView T = Text.substr(B, E - B);
    return T.size() >= 7 && T.starts_with(u"<!--") && T.find(u"-->", 4) == T.size() - 3;
}

bool IsBlankOnly(WideStringView Text)
{
    return std::all_of(Text.begin(), Text.end(), IsBlank);
}

class TParser {
public:
    explicit TParser(WideStringView Text) : Buf(Text.data()), Len(Text.size()) {}

    std::unique_ptr<THtmlRoot> Run()
    {
        auto Result = std::make_unique<THtmlRoot>();
        Root = Result.get();
        Path.push_back(Root);
        while (Pos < Len) {
            if (Buf[Pos] == u'<')
                Markup();
            else
                Text();
        }
        CleanUp();
        return Result;
    }

private:
    char16_t At(size_t I) const { return I < Len ? Buf[I] : u'\0'; }

    void SkipBlanks()
    {
        while (Pos < Len && IsBlank(Buf[Pos]))
            ++Pos;
    }

    // Index of the first C at or after From, or Len.
    size_t Find(char16_t C, size_t From) const
    {
        if (From >= Len)
            return Len;
        const char16_t* P = std::char_traits<char16_t>::find(Buf + From, Len - From, C);
        return P ? static_cast<size_t>(P - Buf) : Len;
    }

    WideStringView Slice(size_t From, size_t To) const { return {Buf + From, To - From}; }

    // The element path from the root to Current, and how many of each kind it holds, so that
    // a closing tag finds its element (or learns there is none) without a climb.
    THtmlTag* Current() const { return Path.back(); }

    void Push(THtmlTag* Tag)
    {
        Path.push_back(Tag);
        Track(Tag, 1);
    }

    // Current := its parent. The root is never left.
    void Pop()
    {
        const THtmlTag* Tag = Path.back();
        Track(Tag, -1);
        if (Props(Tag->Kind()).ShowsContent)
            AfterBlank = false;
        Path.pop_back();
    }

    void Track(const THtmlTag* Tag, int Delta)
    {
        if (const THtmlTagId K = Tag->Kind(); K >= 0 && K < HtmlTagCount)
            Open[static_cast<size_t>(K)] += Delta;
    }

    // Current := Tag, an element of the frame.
    void MoveTo(THtmlTag* Tag)
    {
        while (Path.size() > 1)
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
            return ServerBlock(u'?', tagPhp);
        } else if (Next == u'%') {
            return ServerBlock(u'%', tagAsp);
        } else {
            NameEnd = NameFrom(Pos + 2, true);
        }
        const THtmlTagId Id = TagIdFromName(Slice(Start + 1, NameEnd));
        Pos = NameEnd;
        if (Id == tagUnknown || Id == tagClosingOffset + tagUnknown)
            return UnknownTag(Start);
        if (Id >= tagClosingOffset)
            return ClosingTag(Id - tagClosingOffset);
        if (Id == tagDocType)
            return DocType();
        THtmlTag* Tag;
        if (Id == tagHtml || Id == tagHead || Id == tagBody || Id == tagFrameSet)
            Tag = FrameTag(Id);
        else
            Tag = OpenTag(Id);
        ReadAttributes(Tag);
        if (Id == tagScript || Id == tagStyle)
            RawContent(Id == tagScript ? WideStringView(u"script") : WideStringView(u"style"));
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
        Current()->AddLast(new THtmlText(tagComment, Slice(Pos, End + 3)));
        Pos = End + 3;
    }

    // Pos is at "<?" or "<%"; the block ends at the first "?>" or "%>".
    void ServerBlock(char16_t Mark, THtmlTagId Kind)
    {
        const char16_t Close[] = {Mark, u'>'};
        const size_t End = WideStringView(Buf, Len).find(WideStringView(Close, 2), Pos + 2);
        if (End == WideStringView::npos)
            throw Exception("Unterminated Script");
        Current()->AddLast(new THtmlText(Kind, Slice(Pos, End + 2)));
        Pos = End + 2;
    }

    // The tag as written, up to its ">" (supplied when the input ends first).
    void UnknownTag(size_t Start)
    {
        const size_t Gt = Find(u'>', Pos);
        auto* Node = new THtmlText(tagUnknown, Slice(Start, std::min(Gt + 1, Len)));
        if (Gt == Len)
            Node->Text += u'>';
        Current()->AddLast(Node);
        Pos = std::min(Gt + 1, Len);
    }

    void ClosingTag(THtmlTagId Kind)
    {
        Pos = std::min(Find(u'>', Pos) + 1, Len);
        if (Open[static_cast<size_t>(Kind)] > 0) {
            while (Current()->Kind() != Kind)
                Pop();
            Pop();
        }
        if (Kind == tagPre || Kind == tagTextArea)
            Preformatted = false;
    }

    void DocType()
    {
        const size_t Gt = Find(u'>', Pos);
        const WideString Rest = AsciiUpperCase(Slice(Pos, Gt));
        Pos = std::min(Gt + 1, Len);
        auto* Node = new THtmlDocType;
        if (Rest.find(u"STRICT") != WideString::npos)
            Node->DocKind = dkStrict;
        else if (Rest.find(u"FRAMESET") != WideString::npos)
            Node->DocKind = dkFrameset;
        if (Section == tagRoot)
            Root->AddLast(Node);
        else
            Root->AddFirst(Node);
    }

    THtmlTag* FrameTag(THtmlTagId Id)
    {
        if (Id != tagFrameSet) {
            Enter(Id);
            return Current();
        }
        if (Section == tagBody || Section == tagHead)
            MoveTo(EnsureHtml());
        auto* Tag = new THtmlTag(tagFrameSet);
        Current()->AddLast(Tag);
        Push(Tag);
        Section = tagFrameSet;
        return Tag;
    }

    THtmlTag* OpenTag(THtmlTagId Id)
    {
        const TTagProps& P = Props(Id);
        if (P.HeadTag) {
            if (Section != tagHead)
                Enter(tagHead);
        } else if (!P.StaysPut && Section != tagBody && Section != tagFrameSet) {
            Enter(tagBody);
        }
        const THtmlTagId Cur = Current()->Kind();
        if (Cur == tagP && (Id == tagP || Id == tagDiv))
            Pop();
        else if (Cur == Id && P.ClosesSame)
            Pop();
        if (!P.Inline) {
            // The root is never inline, so the climb ends at the latest there.
            while (Props(Current()->Kind()).Inline)
                Pop();
        }
        if (Id == tagBr || Id == tagHr)
            AfterBlank = true;
        auto* Tag = new THtmlTag(Id);
        Current()->AddLast(Tag);
        if (P.Container)
            Push(Tag);
        else if (P.ShowsContent)
            AfterBlank = false;
        if (P.DroppedWhenEmpty)
            Droppable.push_back(Tag);
        if (Id == tagPre || Id == tagTextArea)
            Preformatted = true;
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
        Attrs.clear();
        ++Stamp;
        UsedUnknown = false;
        const bool KeepUnknown = Props(Tag->Kind()).KeepsUnknown;
        while (Pos < Len && Buf[Pos] != u'>') {
            const size_t NameStart = Pos++;
            while (Pos < Len && !IsBlank(Buf[Pos]) && Buf[Pos] != u'=' && Buf[Pos] != u'>')
                ++Pos;
            const WideStringView Name = Slice(NameStart, Pos);
            SkipBlanks();
            bool HasValue = false;
            WideStringView Value;
            if (At(Pos) == u'=') {
                HasValue = true;
                ++Pos;
                SkipBlanks();
                const char16_t Quote = At(Pos);
                if (Quote == u'"' || Quote == u'\'') {
                    const size_t Close = Find(Quote, Pos + 1);
                    Value = Slice(Pos + 1, Close);
                    Pos = std::min(Close + 1, Len);
                } else {
                    const size_t From = Pos;
                    while (Pos < Len && !IsBlank(Buf[Pos]) && Buf[Pos] != u'>')
                        ++Pos;
                    Value = Slice(From, Pos);
                }
            }
            AddAttr(Name, HasValue, Value, KeepUnknown);
            SkipBlanks();
        }
        if (Pos < Len)
            ++Pos;
        StoreAttrs(Tag);
    }

    // Collects one attribute; a repeated one keeps its first place and takes the last value.
    void AddAttr(WideStringView Name, bool HasValue, WideStringView Value, bool KeepUnknown)
    {
        if (Name == u"/")
            return;
        const THtmlAttrId Id = AttrIdFromName(Name);
        if (Id >= 0) {
            if (HasValue && Value.empty())
                return;
            if (!HasValue)
                Value = u"TRUE";
            const auto I = static_cast<size_t>(Id);
            if (KnownStamp[I] == Stamp) {
                Attrs[KnownSlot[I]].Value = Value;
            } else {
                KnownStamp[I] = Stamp;
                KnownSlot[I] = Attrs.size();
                Attrs.push_back({Id, Name, Value});
            }
            return;
        }
        if (!KeepUnknown)
            return;
        if (!UsedUnknown) {
            UnknownSlot.clear();
            UsedUnknown = true;
        }
        const auto [It, Added] = UnknownSlot.try_emplace(AsciiLowerCase(Name), Attrs.size());
        if (Added)
            Attrs.push_back({attrUnknown, Name, Value});
        else
            Attrs[It->second] = {attrUnknown, Name, Value};
    }

    void StoreAttrs(THtmlTag* Tag)
    {
        if (Attrs.empty())
            return;
        if (Tag->GetAttributeCount() == 0) {
            // The entries are already unique, so they are added in one go.
            Tag->AddAttributes(Attrs.data(), Attrs.size());
            return;
        }
        // An html, head or body met before: its values are replaced one by one.
        for (const THtmlAttribute& A : Attrs) {
            if (A.Id >= 0)
                Tag->SetAttribute(A.Id, A.Value);
            else
                Tag->SetUnknownAttribute(A.Name, A.Value);
        }
    }

    // Pos is just after the start tag of a script or style element, which is Current. Its
    // content up to the closing tag is kept as one raw text, unless it is only blanks or one
    // comment between blanks: those go through the ordinary rules.
    void RawContent(WideStringView Name)
    {
        size_t End = Len;
        for (size_t I = Find(u'<', Pos); I < Len; I = Find(u'<', I + 1)) {
            const size_t After = I + 2 + Name.size();
            if (After > Len || Buf[I + 1] != u'/' ||
                !SameTextAscii(Slice(I + 2, After), Name))
                continue;
            const char16_t C = At(After);
            if (After == Len || IsBlank(C) || C == u'/' || C == u'>') {
                End = I;
                break;
            }
        }
        const WideStringView Content = Slice(Pos, End);
        if (IsBlankOnly(Content) || IsOneComment(Content))
            return;
        Current()->AddLast(new THtmlText(tagRawText, Content));
        Pos = End;
    }

    void Text()
    {
        Buffer.clear();
        const bool Pre = Preformatted;
        bool InBlank = false;
        while (Pos < Len) {
            const size_t RunStart = Pos;
            while (Pos < Len) {
                const char16_t C = Buf[Pos];
                if (C == u'<' || (!Pre && IsBlank(C)))
                    break;
                ++Pos;
            }
            if (Pos > RunStart) {
                Buffer.append(Buf + RunStart, Pos - RunStart);
                InBlank = false;
            }
            if (Pos == Len)
                break;
            if (Buf[Pos] != u'<') {
                if (!InBlank)
                    Buffer += u' ';
                InBlank = true;
                ++Pos;
                continue;
            }
            const char16_t Next = At(Pos + 1);
            if (Next == u'>') {
                Buffer += u"&lt;&gt;";
                Pos += 2;
            } else if (Next == u'\0' || Next == u'<' || IsBlank(Next)) {
                Buffer += u"&lt;";
                ++Pos;
            } else {
                break;
            }
            InBlank = false;
        }
        if (!Pre) {
            if (AfterBlank) {
                size_t Lead = 0;
                while (Lead < Buffer.size() && Buffer[Lead] <= u' ')
                    ++Lead;
                Buffer.erase(0, Lead);
            }
            if (!Buffer.empty())
                AfterBlank = Buffer.back() == u' ';
        }
        if (Buffer.empty())
            return;
        if (Section == tagRoot || Section == tagHtml)
            Enter(tagBody);
        // A style, link or meta standing in the body takes the parser into the head; text
        // after it belongs to the body again rather than being lost.
        else if (Section == tagHead && Body && Current() == Head)
            Enter(tagBody);
        if (Props(Current()->Kind()).HoldsText)
            Current()->AddLast(new THtmlText(tagText, Buffer));
    }

    // Removes the paragraph-like elements left without children, once: a parent emptied by
    // the removal stays. A parent is always made before its children, so going through the
    // elements in the order they were made tests each parent before its children, as a walk
    // of the tree in document order would.
    void CleanUp()
    {
        for (THtmlTag* Tag : Droppable) {
            if (!Tag->First()) {
                Tag->Parent()->Remove(Tag);
                delete Tag;
            }
        }
    }

    const char16_t* Buf;
    size_t Len;
    size_t Pos = 0;

    THtmlRoot* Root = nullptr;
    THtmlTag* Html = nullptr;
    THtmlTag* Head = nullptr;
    THtmlTag* Body = nullptr;
    std::vector<THtmlTag*> Path;
    std::array<int, HtmlTagCount> Open{};
    std::vector<THtmlTag*> Droppable;  // in the order made
    THtmlTagId Section = tagRoot;
    bool Preformatted = false;
    // The last text ended with a blank (or nothing was read yet, or a br or hr came last): the
    // next text loses its leading blank. An element that shows content of its own clears it
    // once it is done (after its start tag, or when a container of that kind is closed).
    bool AfterBlank = true;

    WideString Buffer;
    std::vector<THtmlAttribute> Attrs;
    std::array<uint32_t, HtmlAttrCount> KnownStamp{};
    std::array<size_t, HtmlAttrCount> KnownSlot{};
    uint32_t Stamp = 0;
    std::unordered_map<WideString, size_t> UnknownSlot;
    bool UsedUnknown = false;
};

}  // namespace

std::unique_ptr<THtmlRoot> ParseHtml(WideStringView Text)
{
    // A large tree is built in the node arena.
    const TNodeArenaScope Arena(Text.size() >= NodeArenaText);
    if (Text.find(u'\0') == WideStringView::npos)
        return TParser(Text).Run();
    WideString Clean(Text);
    std::erase(Clean, u'\0');
    return TParser(Clean).Run();
}

std::unique_ptr<THtmlRoot> ParseHtml(TStream& Stream)
{
    // Text in memory is parsed where it lies, when it starts on a code unit.
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream); Memory && std::endian::native == std::endian::little) {
        const int64_t From = Memory->Position();
        const int64_t Size = Memory->Size();
        if (From % 2 == 0 && From < Size) {
            const auto* Units = reinterpret_cast<const char16_t*>(Memory->Memory() + From);
            Memory->SetPosition(Size);
            return ParseHtml(WideStringView(Units, static_cast<size_t>(Size - From) / 2));
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
    const TNodeArenaScope Arena(Text.size() >= NodeArenaText);
    return TParser(Text).Run();
}

}  // namespace zv
