#include "DesignTree.h"

#include "HtmlEntities.h"

namespace zv {

namespace {

bool IsBooleanAttribute(WideStringView Name)
{
    static const char16_t* const Names[] = {u"checked",  u"compact", u"declare",  u"defer",
                                            u"disabled", u"ismap",   u"multiple", u"nohref",
                                            u"noresize", u"noshade", u"nowrap",   u"readonly",
                                            u"selected"};
    for (const char16_t* N : Names)
        if (SameTextAscii(Name, N)) return true;
    return false;
}

// Elements whose text the engine takes as written, without references.
bool IsRawTextElement(THtmlTagId Kind)
{
    return Kind == tagStyle || Kind == tagScript || Kind == tagNoScript || Kind == tagNoFrames ||
           Kind == tagIFrame;
}

// Elements whose leading line break the engine's parser drops.
bool DropsLeadingLineBreak(THtmlTagId Kind) { return Kind == tagPre || Kind == tagTextArea; }

void AppendCode(WideString& Out, char32_t Code)
{
    if (Code < 0x10000) {
        Out += static_cast<char16_t>(Code);
    } else {
        Code -= 0x10000;
        Out += static_cast<char16_t>(0xD800 + (Code >> 10));
        Out += static_cast<char16_t>(0xDC00 + (Code & 0x3FF));
    }
}

// The reference at Text[Pos] ("&..."): its code and length, or 0 when it is none.
char32_t Reference(WideStringView Text, size_t Pos, size_t& Length)
{
    std::string Ref = "&";
    size_t K = Pos + 1;
    const bool Numeric = K < Text.size() && Text[K] == u'#';
    if (Numeric) {
        Ref += '#';
        ++K;
        const bool Hex = K < Text.size() && (Text[K] == u'x' || Text[K] == u'X');
        if (Hex) Ref += static_cast<char>(Text[K++]);
        const size_t Digits = K;
        while (K < Text.size() && K - Digits < 8 &&
               ((Text[K] >= u'0' && Text[K] <= u'9') ||
                (Hex && ((Text[K] >= u'a' && Text[K] <= u'f') || (Text[K] >= u'A' && Text[K] <= u'F')))))
            Ref += static_cast<char>(Text[K++]);
        if (K == Digits) return 0;
    } else {
        const size_t Start = K;
        while (K < Text.size() && K - Start < 32 &&
               ((Text[K] >= u'a' && Text[K] <= u'z') || (Text[K] >= u'A' && Text[K] <= u'Z') ||
                (Text[K] >= u'0' && Text[K] <= u'9')))
            Ref += static_cast<char>(Text[K++]);
        if (K == Start || K >= Text.size() || Text[K] != u';') return 0;
    }
    const bool Semicolon = K < Text.size() && Text[K] == u';';
    Ref += ';';
    const char32_t Code = EntityToChar(Ref);
    if (!Code) return 0;
    Length = K - Pos + (Semicolon ? 1 : 0);
    return Code;
}

void AppendJson(WideString& Out, WideStringView Text)
{
    static const char Hex[] = "0123456789abcdef";
    Out += u'"';
    for (size_t K = 0; K < Text.size(); ++K) {
        const char16_t C = Text[K];
        const bool High = C >= 0xD800 && C < 0xDC00, Low = C >= 0xDC00 && C < 0xE000;
        const bool Paired = High && K + 1 < Text.size() && Text[K + 1] >= 0xDC00 && Text[K + 1] < 0xE000;
        if (C == u'"' || C == u'\\') {
            Out += u'\\';
            Out += C;
        } else if (C < 0x20 || (High && !Paired) || Low) {
            // control characters and lone surrogates travel as escapes
            Out += u"\\u";
            for (int Shift = 12; Shift >= 0; Shift -= 4) Out += static_cast<char16_t>(Hex[(C >> Shift) & 15]);
        } else {
            Out += C;
            if (Paired) Out += Text[++K];
        }
    }
    Out += u'"';
}

// Shown value, spelling: the spelling only where it differs.
void AppendValue(WideString& Out, WideStringView Shown, WideStringView Spelling)
{
    AppendJson(Out, Shown);
    if (Shown != Spelling) {
        Out += u',';
        AppendJson(Out, Spelling);
    }
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

void AppendAttributes(WideString& Out, const THtmlTag& Tag)
{
    Out += u'[';
    for (int K = 0; K < Tag.GetAttributeCount(); ++K) {
        const WideString Entry = Tag.GetAttributeByIndex(K);
        const THtmlAttrId Id = Tag.GetAttributeId(K);
        WideString Name, Spelling;
        if (Id >= 0) {
            Name = Utf8ToUtf16(AttrNameFromId(Id));
            Spelling = Entry;
        } else {
            const size_t Eq = Entry.find(u'=');
            Name = Entry.substr(0, Eq);
            Spelling = Eq == WideString::npos ? WideString() : Entry.substr(Eq + 1);
        }
        if (Name.empty()) continue;
        // a bare boolean attribute holds "TRUE"; the page has it empty
        const WideString Shown = IsBooleanAttribute(Name) && Spelling == u"TRUE"
                                     ? WideString()
                                     : DecodeDocumentText(Spelling);
        if (Out.back() != u'[') Out += u',';
        Out += u'[';
        AppendJson(Out, Name);
        Out += u',';
        AppendValue(Out, Shown, Spelling);
        Out += u']';
    }
    Out += u']';
}

void AppendNode(WideString& Out, const THtmlNode& Node)
{
    const auto* Parent = dynamic_cast<const THtmlTag*>(Node.ParentNode());
    const THtmlTagId ParentKind = Parent ? Parent->Kind() : tagRoot;
    const auto* Text = dynamic_cast<const THtmlText*>(&Node);
    if (!Text) {
        Out += u"[2,\"\"]";
        return;
    }
    const WideString& Spelling = Text->Text;
    switch (Node.Kind()) {
    case tagText: {
        WideString Shown = IsRawTextElement(ParentKind) ? LineEnds(Spelling) : DecodeDocumentText(Spelling);
        if (DropsLeadingLineBreak(ParentKind) && !Node.PrevNode() && !Shown.empty() && Shown[0] == u'\n')
            Shown.erase(0, 1);
        if (Shown == Spelling) {
            AppendJson(Out, Shown);
        } else {
            Out += u"[0,";
            AppendValue(Out, Shown, Spelling);
            Out += u']';
        }
        return;
    }
    case tagComment: {
        WideStringView Data = Spelling;
        if (Data.substr(0, 4) == u"<!--") Data.remove_prefix(4);
        if (Data.size() >= 3 && Data.substr(Data.size() - 3) == u"-->") Data.remove_suffix(3);
        Out += u"[1,";
        AppendJson(Out, LineEnds(Data));
        Out += u',';
        AppendJson(Out, Spelling);
        Out += u']';
        return;
    }
    default:
        Out += u"[2,";
        AppendJson(Out, Spelling);
        Out += u']';
        return;
    }
}

}  // namespace

WideString DecodeDocumentText(WideStringView Text)
{
    WideString Out;
    Out.reserve(Text.size());
    for (size_t K = 0; K < Text.size(); ++K) {
        const char16_t C = Text[K];
        size_t Length = 0;
        if (C == u'&') {
            if (const char32_t Code = Reference(Text, K, Length)) {
                AppendCode(Out, Code);
                K += Length - 1;
                continue;
            }
        }
        if (C == u'\r') {
            Out += u'\n';
            if (K + 1 < Text.size() && Text[K + 1] == u'\n') ++K;
        } else if (C != 0) {
            Out += C;
        }
    }
    return Out;
}

WideString DesignTreeJson(const THtmlTag& Body)
{
    WideString Out = u"[";
    AppendAttributes(Out, Body);
    Out += u",[";
    // a walk without recursion: an element opens its array, the way back closes it
    const TLinkNode* Node = Body.First();
    bool First = true;
    while (Node) {
        if (!First) Out += u',';
        First = false;
        const auto* Html = static_cast<const THtmlNode*>(Node);
        const auto* Tag = dynamic_cast<const THtmlTag*>(Html);
        if (Tag) {
            Out += u'[';
            AppendJson(Out, Utf8ToUtf16(TagNameFromId(Tag->Kind())));
            Out += u',';
            AppendAttributes(Out, *Tag);
            Out += u",[";
            if (Node->First()) {
                Node = Node->First();
                First = true;
                continue;
            }
            Out += u"]]";
        } else {
            AppendNode(Out, *Html);
        }
        while (!Node->Next() && Node->Parent() != &Body) {
            Node = Node->Parent();
            Out += u"]]";
        }
        Node = Node->Next();
    }
    Out += u"]]";
    return Out;
}

}  // namespace zv
