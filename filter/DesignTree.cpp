#include "DesignTree.h"

#include "HtmlEntities.h"

#include <set>

namespace zv {

namespace {

// Elements whose text the engine takes as written, without references.
bool IsRawTextElement(THtmlTagId Kind)
{
    return Kind == tagStyle || Kind == tagScript || Kind == tagNoScript || Kind == tagNoFrames ||
           Kind == tagIFrame;
}

// Elements whose leading line break the engine's parser drops.
bool DropsLeadingLineBreak(THtmlTagId Kind) { return Kind == tagPre || Kind == tagTextArea; }

void AppendJson(WideString& Out, WideStringView Text)
{
    static const char Hex[] = "0123456789abcdef";
    Out += u'"';
    // the characters between two escapes go in at once
    size_t From = 0;
    for (size_t K = 0; K < Text.size(); ++K) {
        const char16_t C = Text[K];
        if (C != u'"' && C != u'\\' && C >= 0x20 && C <= 0xFF) continue;
        Out.append(Text.data() + From, K - From);
        From = K + 1;
        if (C == u'"' || C == u'\\') {
            Out += u'\\';
            Out += C;
        } else {
            // control characters, surrogates (lone or paired) and everything beyond Latin-1
            // travel as escapes: the page then holds the text one byte per character
            Out += u"\\u";
            for (int Shift = 12; Shift >= 0; Shift -= 4) Out += static_cast<char16_t>(Hex[(C >> Shift) & 15]);
        }
    }
    Out.append(Text.data() + From, Text.size() - From);
    Out += u'"';
}

// Inside these the document's line ends count; elsewhere writing wraps the text anew.
bool KeepsLineEnds(const THtmlNode& Node)
{
    for (const THtmlNode* N = Node.ParentNode(); N; N = N->ParentNode())
        if (N->Kind() == tagPre || N->Kind() == tagTextArea || IsRawTextElement(N->Kind())) return true;
    return false;
}

WideString LineEnds(WideStringView Text)
{
    WideString Out;
    Out.reserve(Text.size());
    for (size_t K = 0; K < Text.size(); ++K) {
        if (Text[K] == u'\r') {
            Out += u'\n';
            if (K + 1 < Text.size() && Text[K + 1] == u'\n') ++K;
        } else if (Text[K] != 0) {
            Out += Text[K];
        }
    }
    return Out;
}

// Characters that XML cannot carry (some controls, lone surrogates, U+FFFE and U+FFFF) are
// shown as U+FFFD; the spelling keeps them.
bool IsXmlChar(WideStringView Text, size_t K)
{
    const char16_t C = Text[K];
    if (C < 0x20) return C == u'\t' || C == u'\n' || C == u'\r';
    if (C >= 0xD800 && C < 0xDC00) return K + 1 < Text.size() && Text[K + 1] >= 0xDC00 && Text[K + 1] < 0xE000;
    if (C >= 0xDC00 && C < 0xE000) return K > 0 && Text[K - 1] >= 0xD800 && Text[K - 1] < 0xDC00;
    return C != 0xFFFE && C != 0xFFFF;
}

WideString XmlSafe(WideStringView Text)
{
    WideString Out(Text);
    for (size_t K = 0; K < Out.size(); ++K)
        if (!IsXmlChar(Text, K)) Out[K] = 0xFFFD;
    return Out;
}

// Text made XML-safe (see XmlSafe) as XML; beyond Latin-1 as references, as in AppendJson.
void AppendXml(WideString& Out, WideStringView Text, bool Value)
{
    for (size_t K = 0; K < Text.size(); ++K) {
        const char16_t C = Text[K];
        if (C > 0xFF) {
            char32_t Code = C;
            if (C >= 0xD800 && C < 0xDC00 && K + 1 < Text.size() && Text[K + 1] >= 0xDC00 && Text[K + 1] < 0xE000)
                Code = 0x10000 + ((C - 0xD800) << 10) + (Text[++K] - 0xDC00);
            else if (C >= 0xD800 && C < 0xE000)
                Code = 0xFFFD;
            Out += u"&#x" + IntToHexWide(Code, 1) + u";";
            continue;
        }
        switch (C) {
        case u'&': Out += u"&amp;"; break;
        case u'<': Out += u"&lt;"; break;
        case u'>': Out += u"&gt;"; break;
        case u'"': Out += Value ? u"&quot;" : u"\""; break;
        case u'\t': Out += Value ? u"&#9;" : u"\t"; break;
        case u'\n': Out += Value ? u"&#10;" : u"\n"; break;
        case u'\r': Out += Value ? u"&#13;" : u"\r"; break;
        default: Out += C;
        }
    }
}

bool IsXmlName(WideStringView Name)
{
    if (Name.empty() || SameTextAscii(Name.substr(0, std::min<size_t>(Name.size(), 5)), u"xmlns")) return false;
    for (size_t K = 0; K < Name.size(); ++K) {
        const char16_t C = Name[K];
        const bool Letter = (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'_';
        const bool Other = (C >= u'0' && C <= u'9') || C == u'-' || C == u'.';
        if (!Letter && (K == 0 || !Other)) return false;
    }
    return true;
}

// Whether an attribute goes into the page by its name. Others stand as marks that the page
// turns into the attribute from its spelling: names that are no XML names, and the page's own
// names that begin as the page's marks do ("zv-ordered", "zv-odd-0").
bool ByName(WideStringView Name)
{
    return IsXmlName(Name) && !StartsWithTextAscii(Name, u"zv-");
}

// Deeper elements are written as siblings of their parent: the engine draws no deeper.
constexpr int MaxDepth = 512;

class TBodyWriter {
public:
    WideString Xml = u"<div xmlns=\"http://www.w3.org/1999/xhtml\">";
    WideString Texts = u"[";
    WideString AttributeSpellings = u"[";
    int TextCount = 0;
    int AttributeCount = 0;

    // The attributes as [name, value] or [name, value, spelling] for the page's body.
    static void BodyAttributes(WideString& Out, const THtmlTag& Tag)
    {
        Out += u'[';
        ForEachAttribute(Tag, [&](const WideString& Name, const WideString& Shown, const WideString* Spelling) {
            if (Out.back() != u'[') Out += u',';
            Out += u'[';
            AppendJson(Out, Name);
            Out += u',';
            AppendJson(Out, Shown);
            if (Spelling) {
                Out += u',';
                AppendJson(Out, *Spelling);
            }
            Out += u']';
        });
        Out += u']';
    }

    void StartTag(const THtmlTag& Tag, bool Empty)
    {
        int Count = 0;
        Xml += u'<';
        const WideString TagName = Utf8ToUtf16(TagNameFromId(Tag.Kind()));
        Xml += TagName;
        Note(TagName);
        WideString Spelt;
        int SpeltCount = 0;
        ForEachAttribute(Tag, [&](const WideString& Name, const WideString& Shown, const WideString* Spelling) {
            ++Count;
            Xml += u' ';
            Note(Name);
            if (ByName(Name)) {
                Xml += Name;
                Xml += u"=\"";
                AppendXml(Xml, Shown, true);
                Xml += u'"';
            } else {
                Xml += u"zv-odd-" + IntToWide(SpeltCount) + u"=\"\"";  // its place
            }
            if (Spelling) {
                ++SpeltCount;
                Spelt += Spelt.empty() ? u"" : u",";
                AppendJson(Spelt, Name);
                Spelt += u',';
                AppendJson(Spelt, *Spelling);
            }
        });
        if (!Spelt.empty()) {
            Xml += u" zv-spelling=\"" + IntToWide(AttributeCount++) + u"\"";
            AttributeSpellings += AttributeSpellings.size() > 1 ? u",[" : u"[";
            AttributeSpellings += Spelt + u"]";
        }
        if (Count >= 2) Xml += u" zv-ordered=\"\"";
        Xml += Empty ? u"/>" : u">";
    }

    // The element and attribute names written, each once, as a JSON array.
    WideString NamesJson() const
    {
        WideString Out = u"[";
        for (const WideString& Name : Names) {
            if (Out.size() > 1) Out += u',';
            AppendJson(Out, Name);
        }
        return Out + u"]";
    }

    void EndTag(const THtmlTag& Tag) { Xml += u"</" + Utf8ToUtf16(TagNameFromId(Tag.Kind())) + u">"; }

    // A text with pieces the page cannot hold ("&#0;", a control character) goes as several
    // texts, each piece one of its own with its spelling, so that an edit elsewhere in the
    // text keeps them.
    void Text(const THtmlNode& Node, WideStringView Spelling)
    {
        const auto* Parent = dynamic_cast<const THtmlTag*>(Node.ParentNode());
        const THtmlTagId ParentKind = Parent ? Parent->Kind() : tagRoot;
        if (Node.Kind() != tagText || IsRawTextElement(ParentKind))
            return Piece(Node, ParentKind, Spelling, true);
        size_t From = 0;
        for (size_t K = 0; K < Spelling.size(); ++K) {
            const size_t Odd = OddPiece(Spelling, K);
            if (!Odd) continue;
            if (K > From) Piece(Node, ParentKind, Spelling.substr(From, K - From), From == 0);
            Piece(Node, ParentKind, Spelling.substr(K, Odd), K == 0);
            From = K + Odd;
            K = From - 1;
        }
        if (From < Spelling.size() || From == 0) Piece(Node, ParentKind, Spelling.substr(From), From == 0);
    }

private:
    std::set<WideString, std::less<>> Names;
    WideString LastName;

    // most names repeat the one before: the set is asked only when the name changes
    void Note(const WideString& Name)
    {
        if (Name == LastName) return;
        LastName = Name;
        Names.insert(Name);
    }

    // Length of the piece at Text[K] that the page cannot hold, or 0.
    static size_t OddPiece(WideStringView Text, size_t K)
    {
        if (Text[K] == u'&' && K + 1 < Text.size() && Text[K + 1] == u'#') {
            size_t Length = 0;
            const char32_t Code = CharacterReference(Text, K, Length, false);
            const bool Odd = Code == 0xFFFD || (Code < 0x20 && Code != u'\t' && Code != u'\n' && Code != u'\r') ||
                             Code == 0xFFFE || Code == 0xFFFF;
            return Code && Odd ? Length : 0;
        }
        return IsXmlChar(Text, K) ? 0 : 1;
    }

    void Piece(const THtmlNode& Node, THtmlTagId ParentKind, WideStringView Spelling, bool First)
    {
        const bool Raw = IsRawTextElement(ParentKind);
        WideString Shown;
        if (Node.Kind() != tagText) {
            // comments, server blocks and unknown tags show as their text
            Shown = LineEnds(Spelling);
        } else {
            Shown = Raw ? LineEnds(Spelling) : DecodeDocumentText(Spelling, false);
            if (DropsLeadingLineBreak(ParentKind) && First && !Node.PrevNode() && !Shown.empty() &&
                Shown[0] == u'\n')
                Shown.erase(0, 1);
        }
        Shown = XmlSafe(Shown);
        // the spelling goes along only where the page would write the text otherwise
        const WideString Written = Raw ? Shown : EscapeHtmlText(Shown);
        const bool Spelt = !(Written == Spelling || (Written == LineEnds(Spelling) && !KeepsLineEnds(Node)));
        if (Spelt) {
            Xml += u"<?zv " + IntToWide(TextCount++) + u"?>";
            Texts += Texts.size() > 1 ? u"," : u"";
            AppendJson(Texts, Spelling);
        } else if (!First || dynamic_cast<const THtmlText*>(Node.PrevNode())) {
            Xml += u"<?zv?>";   // two texts stay two
        }
        AppendXml(Xml, Shown, false);
    }

    template <class F> static void ForEachAttribute(const THtmlTag& Tag, F&& Each)
    {
        for (int K = 0; K < Tag.GetAttributeCount(); ++K) {
            const WideString Entry = Tag.GetAttributeByIndex(K);
            const THtmlAttrId Id = Tag.GetAttributeId(K);
            WideString Name, Spelling;
            if (Id >= 0) {
                Name = Utf8ToUtf16(AttrNameFromId(Id));
                Spelling = Entry;
            } else {
                const size_t Eq = UnknownNameEnd(Entry);
                Name = Entry.substr(0, Eq);
                Spelling = Eq == WideString::npos ? WideString() : Entry.substr(Eq + 1);
            }
            // a server block among the attributes keeps its case
            if (Name.empty() || Name[0] != u'<') Name = AsciiLowerCase(Name);
            if (Name.empty()) continue;
            // a bare boolean attribute holds "TRUE"; the page has it empty
            const bool Bare = IsBooleanAttribute(Id) && Spelling == u"TRUE";
            const WideString Shown = Bare ? WideString() : XmlSafe(DecodeDocumentText(Spelling));
            // a name that is no XML name ("@click", "x:y") reaches the page by its spelling only
            const bool Spelt = !ByName(Name) ||
                               (Shown.empty() ? !Bare && !Spelling.empty() : EscapeHtmlValue(Shown) != Spelling);
            Each(Name, Shown, Spelt ? &Spelling : nullptr);
        }
    }
};

}  // namespace

WideString DesignBodyJson(const THtmlTag& Body)
{
    TBodyWriter W;
    // a walk without recursion; Closed[k]: the k-th open element was written without content
    std::vector<bool> Flat;
    int Depth = 0;
    const TLinkNode* Node = Body.First();
    while (Node) {
        const auto* Html = static_cast<const THtmlNode*>(Node);
        if (const auto* Tag = dynamic_cast<const THtmlTag*>(Html)) {
            const bool Empty = !Node->First() || Depth >= MaxDepth;
            W.StartTag(*Tag, Empty);
            if (Node->First()) {
                Flat.push_back(Depth >= MaxDepth);
                if (!Flat.back()) ++Depth;
                Node = Node->First();
                continue;
            }
        } else if (const auto* Text = dynamic_cast<const THtmlText*>(Html)) {
            W.Text(*Text, Text->Text);
        }
        while (!Node->Next() && Node->Parent() != &Body) {
            Node = Node->Parent();
            if (!Flat.back()) {
                W.EndTag(*static_cast<const THtmlTag*>(Node));
                --Depth;
            }
            Flat.pop_back();
        }
        Node = Node->Next();
    }
    WideString Out = u"[";
    TBodyWriter::BodyAttributes(Out, Body);
    Out += u',';
    W.Xml += u"</div>";
    Out.reserve(Out.size() + W.Xml.size() + W.Xml.size() / 8 + W.Texts.size() + W.AttributeSpellings.size() + 64);
    AppendJson(Out, W.Xml);
    Out += u',' + W.Texts + u"]," + W.AttributeSpellings + u"]," + W.NamesJson() + u"]";
    return Out;
}

}  // namespace zv
