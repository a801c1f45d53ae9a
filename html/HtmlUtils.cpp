#include "HtmlUtils.h"

#include <charconv>
#include <string>
#include <vector>

#include "HtmlEntities.h"
#include "WideText.h"

namespace zv {

namespace {

constexpr bool IsHighSurrogate(char32_t C) { return C >= 0xD800 && C <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

void AppendAscii(WideString& Out, std::string_view Text) { Out.append(Text.begin(), Text.end()); }

// The reference of a character, those of Latin-1 made once.
void AppendEntity(WideString& Out, char32_t Code)
{
    static const std::vector<WideString> Latin1 = [] {
        std::vector<WideString> Table;
        for (char32_t C = 0; C < 256; ++C)
            Table.push_back(Latin1ToUtf16(CharToEntity(C)));
        return Table;
    }();
    if (Code < Latin1.size())
        Out += Latin1[Code];
    else
        AppendAscii(Out, CharToEntity(Code));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TWordBreaker

void TWordBreaker::SetText(WideStringView S)
{
    FText = S;
    FPos = 0;
    FTokenView = {};
    FToken.clear();
    FTokenBuilt = true;
}

const WideString& TWordBreaker::Token() const
{
    if (!FTokenBuilt) {
        FToken.assign(FTokenView);
        FTokenBuilt = true;
    }
    return FToken;
}

bool TWordBreaker::Next()
{
    if (FPos >= FText.size())
        return false;
    if (IsBlank(FText[FPos]))
        ReadBlank();
    else
        ReadWord();
    return true;
}

// A reference as written ("&name;" or "&#123;") becomes its character; one that is not
// recognised stays as written.
void TWordBreaker::AddReference(WideStringView Reference)
{
    char32_t Code = 0;
    std::string Narrow;
    Narrow.reserve(Reference.size());
    bool Ascii = true;
    for (char16_t C : Reference) {
        if (C >= 128) {
            Ascii = false;
            break;
        }
        Narrow += static_cast<char>(C);
    }
    if (Ascii)
        Code = EntityToChar(Narrow);
    if (Code == 0)
        FToken.append(Reference);
    else
        AppendCodePoint(FToken, Code);
}

void TWordBreaker::ReadWord()
{
    FTokenKind = tkWord;
    const size_t Start = FPos;
    const size_t End = FText.size();
    // Most words pass unchanged: the token is then a piece of the text.
    size_t Plain = FPos;
    while (Plain < End && !IsBlank(FText[Plain]) && (Mode == bmDecode ? FText[Plain] != u'&' : FText[Plain] < 128))
        ++Plain;
    if (Plain == End || IsBlank(FText[Plain])) {
        FPos = Plain;
        FTokenView = FText.substr(Start, Plain - Start);
        FTokenBuilt = false;
        return;
    }
    FToken.clear();
    while (FPos < End && !IsBlank(FText[FPos])) {
        // The run of characters that pass unchanged.
        size_t Run = FPos;
        if (Mode == bmDecode) {
            while (Run < End && FText[Run] != u'&' && !IsBlank(FText[Run]))
                ++Run;
        } else {
            while (Run < End && FText[Run] < 128 && !IsBlank(FText[Run]))
                ++Run;
        }
        FToken.append(FText.substr(FPos, Run - FPos));
        FPos = Run;
        if (FPos >= End || IsBlank(FText[FPos]))
            break;
        if (Mode == bmDecode) {
            // A reference runs from "&" to ";"; a blank, the end of the text or another "&"
            // ends it unfinished, and it is kept as written.
            size_t Stop = FPos + 1;
            while (Stop < End && FText[Stop] != u';' && FText[Stop] != u'&' && !IsBlank(FText[Stop]))
                ++Stop;
            if (Stop < End && FText[Stop] == u';') {
                AddReference(FText.substr(FPos, Stop + 1 - FPos));
                FPos = Stop + 1;
            } else {
                FToken.append(FText.substr(FPos, Stop - FPos));
                FPos = Stop;
            }
        } else {
            char32_t Code = FText[FPos++];
            if (IsHighSurrogate(Code) && FPos < End && IsLowSurrogate(FText[FPos]))
                Code = 0x10000 + ((Code - 0xD800) << 10) + (FText[FPos++] - 0xDC00);
            AppendEntity(FToken, Code);
        }
    }
    FTokenView = FToken;
    FTokenBuilt = true;
}

void TWordBreaker::ReadBlank()
{
    const size_t Start = FPos;
    const size_t End = FText.size();
    const char16_t C = FText[FPos++];
    auto TakeBlanks = [&] {
        while (FPos < End && IsBlank(FText[FPos]))
            ++FPos;
    };
    switch (C) {
    case u'\t':
        FTokenKind = tkTab;
        break;
    case u'\n':
        FTokenKind = tkLineBreak;
        if (!LineBreaks)
            TakeBlanks();
        break;
    case u'\r':
        FTokenKind = tkLineBreak;
        if (!LineBreaks)
            TakeBlanks();
        else if (FPos < End && FText[FPos] == u'\n')
            ++FPos;
        break;
    default:
        FTokenKind = tkBlank;
        while (FPos < End && FText[FPos] == u' ')
            ++FPos;
        break;
    }
    if ((FTokenKind == tkLineBreak && !LineBreaks) || (FTokenKind != tkLineBreak && CollapseBlanks)) {
        FTokenKind = tkBlank;
        FTokenView = u" ";
    } else {
        FTokenView = FText.substr(Start, FPos - Start);
    }
    FTokenBuilt = false;
}

// ---------------------------------------------------------------------------------------------
// Tree helpers

WideString GetPlainText(const THtmlNode* Node, bool KeepWhitespace)
{
    WideString Result;
    if (!Node)
        return Result;
    TWordBreaker Breaker(bmDecode);
    if (KeepWhitespace) {
        Breaker.CollapseBlanks = false;
        Breaker.LineBreaks = true;
    }
    bool BreakPending = true;
    for (const TLinkNode* L = Node->NextInTree(nullptr); L; L = Node->NextInTree(L)) {
        auto* N = dynamic_cast<const THtmlNode*>(L);
        if (!N)
            continue;
        const THtmlTagId Kind = N->Kind();
        if (Kind == tagText) {
            if (auto* Text = dynamic_cast<const THtmlText*>(N)) {
                Breaker.SetText(Text->Text);
                while (Breaker.Next())
                    Result += Breaker.TokenView();
            }
            BreakPending = false;
        } else if (Kind == tagBr || Kind == tagHr) {
            Result += u"\r\n";
            BreakPending = false;
        } else if (!TagIsInline(Kind) && !BreakPending) {
            Result += u"\r\n\r\n";
            BreakPending = true;
        }
    }
    return Trim(Result);
}

WideString StripOuterTag(WideStringView S)
{
    WideString R = Trim(S);
    if (R.empty() || R[0] != u'<')
        return R;
    const size_t Open = R.find(u'>');
    if (Open == WideString::npos)
        return R;
    WideString Rest = R.substr(Open + 1);
    if (!Rest.empty() && Rest.back() == u'>') {
        const size_t Close = Rest.rfind(u'<');
        if (Close != WideString::npos)
            Rest.resize(Close);
    }
    return Rest;
}

namespace {

// The number of a path index; 0 when it is missing or no number.
int PathIndex(WideStringView Text)
{
    std::string Narrow;
    for (char16_t C : Text) {
        if (C >= 128)
            return 0;
        Narrow += static_cast<char>(C);
    }
    const char* First = Narrow.data();
    const char* Last = First + Narrow.size();
    if (First != Last && *First == '+')
        ++First;
    int Value = 0;
    const auto [End, Error] = std::from_chars(First, Last, Value);
    return (Error != std::errc() || End != Last) ? 0 : Value;
}

}  // namespace

THtmlNode* FindNodeByPath(const THtmlTag* Root, WideStringView Path)
{
    if (!Root)
        return nullptr;
    std::vector<WideStringView> Steps;
    for (size_t Start = 0;;) {
        const size_t Dot = Path.find(u'.', Start);
        Steps.push_back(Path.substr(Start, Dot == WideStringView::npos ? WideStringView::npos : Dot - Start));
        if (Dot == WideStringView::npos)
            break;
        Start = Dot + 1;
    }
    if (Path.empty())
        return nullptr;

    const THtmlTagId FirstKind = TagIdFromName(Steps[0]);
    if (FirstKind == tagUnknown)
        return nullptr;
    THtmlNode* Current = Root->FindChild(FirstKind, true);

    for (size_t I = 1; I < Steps.size() && Current; ++I) {
        const WideStringView Step = Steps[I];
        const size_t Open = Step.find(u'[');
        const WideString Name = Trim(Step.substr(0, Open));
        int Index = 0;
        if (Open != WideStringView::npos) {
            const size_t Close = Step.find(u']', Open + 1);
            const size_t Count = Close == WideStringView::npos ? WideStringView::npos : Close - Open - 1;
            Index = PathIndex(Trim(Step.substr(Open + 1, Count)));
        }
        const THtmlTagId Kind = TagIdFromName(Name);
        if (Kind == tagUnknown || Name.empty())
            return nullptr;
        THtmlNode* Found = nullptr;
        for (TLinkNode* C = Current->First(); C && !Found; C = C->Next()) {
            auto* Tag = dynamic_cast<THtmlTag*>(C);
            if (Tag && Tag->Kind() == Kind && Index-- == 0)
                Found = Tag;
        }
        Current = Found;
    }
    return Current;
}

}  // namespace zv
