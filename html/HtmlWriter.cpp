#include "HtmlWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "HtmlConv.h"
#include "HtmlEntities.h"
#include "HtmlUtils.h"
#include "PageMemory.h"

namespace zv {

static_assert(std::endian::native == std::endian::little, "the output is written as UTF-16LE");

namespace {

constexpr int WrapColumn = 80;
constexpr int IndentStep = 2;
// Deeper blocks are written at this indentation, so that the output of a deeply nested tree
// stays linear in its size.
constexpr int MaxIndent = 160;
// Output is handed on in pieces of at most this many code units; output kept in memory is
// gathered in blocks of at most this many bytes.
constexpr size_t FlushUnits = 1024;
constexpr size_t BlockBytes = 64 * 1024;

// The spellings of the tables, widened once.
WideStringView TagName(THtmlTagId Id)
{
    constexpr THtmlTagId First = tagRawText;
    static const std::vector<WideString> Names = [] {
        std::vector<WideString> Out;
        for (THtmlTagId I = First; I < HtmlTagCount; ++I)
            Out.push_back(Latin1ToUtf16(TagNameFromId(I)));
        Out.push_back(Latin1ToUtf16(TagNameFromId(tagClosingOffset - 1)));
        return Out;
    }();
    return Names[Id >= First && Id < HtmlTagCount ? static_cast<size_t>(Id - First) : Names.size() - 1];
}

WideStringView AttributeName(THtmlAttrId Id)
{
    static const std::vector<WideString> Names = [] {
        std::vector<WideString> Out;
        for (THtmlAttrId I = 0; I < HtmlAttrCount; ++I)
            Out.push_back(Latin1ToUtf16(AttrNameFromId(I)));
        return Out;
    }();
    return Id >= 0 && Id < HtmlAttrCount ? WideStringView(Names[static_cast<size_t>(Id)]) : WideStringView();
}

// Elements whose content is written exactly as stored, at any depth.
bool IsPreformatted(THtmlTagId Kind) { return Kind == tagPre || Kind == tagTextArea; }

bool IsAllBlank(WideStringView Text)
{
    return std::all_of(Text.begin(), Text.end(),
                       [](char16_t C) { return C == u' ' || C == u'\t' || C == u'\n' || C == u'\r'; });
}

bool HasNonBlank(WideStringView Text)
{
    return std::any_of(Text.begin(), Text.end(), [](char16_t C) { return C > u' '; });
}

// The class of a node of the tree. The identity of the exact type is tested first, which is
// much cheaper than dynamic_cast on every node; any other type (a class derived elsewhere, or
// type information that is not unique) goes through dynamic_cast.
enum class TClass : uint8_t { Foreign, Node, Text, DocType, Tag };

TClass ClassOf(const TLinkNode* N)
{
    const std::type_info* Type = &typeid(*N);
    if (Type == &typeid(THtmlTag) || Type == &typeid(THtmlRoot))
        return TClass::Tag;
    if (Type == &typeid(THtmlText))
        return TClass::Text;
    if (Type == &typeid(THtmlDocType))
        return TClass::DocType;
    if (Type == &typeid(THtmlNode))
        return TClass::Node;
    if (dynamic_cast<const THtmlText*>(N))
        return TClass::Text;
    if (dynamic_cast<const THtmlDocType*>(N))
        return TClass::DocType;
    if (dynamic_cast<const THtmlTag*>(N))
        return TClass::Tag;
    return dynamic_cast<const THtmlNode*>(N) ? TClass::Node : TClass::Foreign;
}

// The text node N, or nil when N is no text node.
const THtmlText* AsText(const TLinkNode* N)
{
    return N && ClassOf(N) == TClass::Text ? static_cast<const THtmlText*>(N) : nullptr;
}

// A container whose content is the verbatim text of a script or style element.
bool HoldsRawText(const THtmlNode* N)
{
    const THtmlText* Text = AsText(N->First());
    return Text && Text->Kind() == tagRawText && TagIsContainer(N->Kind());
}

// A node written as it stands that may put something on the page: a server block or a tag
// of another vocabulary (a comment puts nothing there).
bool RawMayShow(THtmlTagId Kind)
{
    return Kind == tagPhp || Kind == tagAsp || Kind == tagUnknown || Kind == tagClosingOffset - 1;
}

// Only containers with children have their children written.
bool WritesChildren(const THtmlNode* N) { return N->First() && TagIsContainer(N->Kind()); }

enum class TLayout : uint8_t {
    Block,   // start tag and end tag on lines of their own, children indented between them
    Line,    // the whole element on one line of its own
    Inline,  // inside the line of its parent
};

// Children counts only what will show in the output (see TWriter::HasWrittenChildren).
TLayout LayoutOf(const THtmlNode* N, bool Children)
{
    const THtmlTagId Kind = N->Kind();
    if (TagIndentsChildren(Kind))
        return Children ? TLayout::Block : TLayout::Line;
    if (TagIsInline(Kind))
        return TLayout::Inline;
    if (TagCanHoldText(Kind) || !Children)
        return TLayout::Line;
    return TLayout::Block;
}

void TrimLeftInPlace(TNodeText& S)
{
    size_t I = 0;
    while (I < S.size() && S[I] <= u' ')
        ++I;
    S = S.View().substr(I);
}

void TrimRightInPlace(TNodeText& S)
{
    size_t N = S.size();
    while (N > 0 && S[N - 1] <= u' ')
        --N;
    S = S.View().substr(0, N);
}

// How an element is closed once its children are written.
enum class TClose : uint8_t { Block, Inline, Raw, Verbatim };

struct TFrame {
    THtmlNode* Node;
    TLinkNode* Child;  // the next child to write
    TClose Close;
    bool LineAfter = false;        // a line break follows the end tag
    bool EntersVerbatim = false;   // the content is written exactly as stored
    bool OpensTrimmed = false;     // the subtree's texts were trimmed for this element
    bool IndentAdded = false;
    bool BreakUnlessTouching = false;  // a line break follows unless what follows touches it
};

enum class TEncoding : uint8_t {
    Utf16,   // UTF-16LE code units
    Latin1,  // one byte per character as SaveText makes of it
    Utf8,    // as SaveTextUtf8 makes of the UTF-16 text
};

// The writer's state. Nodes are written without recursion (an explicit stack of open
// elements), so any depth of nesting is fine.
class TWriter {
public:
    // Writes to Stream (nil: into a text for TakeOutput) in the form Encoding says.
    TWriter(TStream* Stream, TEncoding Encoding = TEncoding::Utf16)
        : FStream(Stream), FMemory(dynamic_cast<TMemoryStream*>(Stream)), FEncoding(Encoding)
    {
        FOut.reserve(FlushUnits);
    }

    void Document(THtmlTag* Root);
    void Top(THtmlNode* N);
    void WriteTop(THtmlNode* N);
    // Hands the rest of the output on; what was gathered goes to the stream in one piece.
    void Finish();
    WideString TakeOutput();
    // A character above U+00FF was written (as a reference, in one-byte output).
    bool Wide() const { return FWide; }

private:
    // Output and the line primitives.
    void Flush();
    static void Release(std::string& Block);
    void Hand(WideStringView S);
    void Emit(const char* Bytes, size_t Count);
    void Put(WideStringView S);
    void PutBlanks(size_t Count);
    void PutPending();
    void LineBreak();
    void Indentation();
    void Str(WideStringView S);
    void Blank();
    void RawNode(WideStringView Text);
    void WrappedText(WideStringView Text);
    size_t PlainWords(WideStringView Text, size_t From) const;
    // A line is broken at a blank that would come at this column or later.
    bool BreaksAt(int64_t BlankColumn) const { return BlankColumn + 1 >= WrapColumn; }
    void DocTypeText(const THtmlDocType* DocType);
    void StartTag(const THtmlNode* N);
    void EndTag(const THtmlNode* N);
    void AppendAttributeValue(WideStringView Value);
    void AppendQuoted(WideStringView Value);

    // The tree walk.
    void ResetContext();
    void Run();
    void WriteChild(TLinkNode* C);
    void TextChild(const THtmlText* T);
    void OpenElement(THtmlNode* N);
    void OpenInline(THtmlNode* N, bool LineAfter, bool OpensTrimmed);
    void Push(const TFrame& Frame);
    void CloseTop();
    void AfterChild(const THtmlNode* Child);
    bool TouchesNext(const THtmlNode* N) const;
    void TrimLines(THtmlNode* N);
    bool HasWrittenChildren(const THtmlNode* N) const;

    TStream* FStream;
    TMemoryStream* FMemory;  // FStream, when it is one
    WideString FOut;
    // Output kept in memory (for a memory stream or a text) is gathered here, so that it is
    // sized once, exactly, at the end.
    std::vector<std::string> FBlocks;
    size_t FGathered = 0;  // bytes in the blocks before the last
    TEncoding FEncoding;
    // A high surrogate at the end of what was handed on, waiting for its partner.
    char16_t FPendingHigh = 0;
    bool FWide = false;

    int Indent = 0;
    int64_t Column = 0;
    bool AtLineStart = true;
    bool IndentDone = false;
    // Indentation and blanks are written only once something follows them on the line.
    bool PendingIndent = false;
    int PendingIndentWidth = 0;
    int PendingBlanks = 0;
    // What was written last reads as a blank (a line break, a blank, br or hr, or nothing
    // yet): a blank written now would be lost when the text is read back, so it is left out.
    // After an element that shows content of its own (an image, a control) it is false.
    bool AfterBlank = true;

    // The line ends in something other than a blank: what is written now touches it.
    bool Touching = false;
    int Verbatim = 0;          // open elements whose content is written exactly
    bool Trimmed = false;      // inside an element whose texts were already trimmed
    std::vector<TFrame> Stack;

    TWordBreaker Breaker{bmEncode};
    WideString TagText;
    // Elements that show content, counted where they start and where they end, so that a text
    // is trimmed only where nothing that shows stands between it and the end of the line.
    struct TTextRef {
        THtmlText* Text;
        bool Verbatim;
        uint32_t Started;  // showing elements started before the text
        uint32_t Ended;    // and ended before it
    };
    std::vector<TTextRef> Texts;
    struct TTrimFrame {
        TLinkNode* Child;
        size_t Entry;
        bool Line;
        bool EntersVerbatim;
        bool Shows = false;
        uint32_t Ended = 0;  // showing elements ended when the frame was entered
    };
    std::vector<TTrimFrame> TrimStack;
};

// ---------------------------------------------------------------------------------------------
// Output

void TWriter::Emit(const char* Bytes, size_t Count)
{
    if (FStream && !FMemory)
        return FStream->WriteBuffer(Bytes, static_cast<int64_t>(Count));
    if (FBlocks.empty() || FBlocks.back().size() + Count > FBlocks.back().capacity()) {
        // Blocks grow with the output, so that a short one takes little.
        FGathered += FBlocks.empty() ? 0 : FBlocks.back().size();
        FBlocks.emplace_back();
        FBlocks.back().reserve(std::max(Count, std::clamp(FGathered, FlushUnits, BlockBytes)));
    }
    FBlocks.back().append(Bytes, Count);
}

void TWriter::Hand(WideStringView S)
{
    if (FEncoding == TEncoding::Utf16)
        return Emit(reinterpret_cast<const char*>(S.data()), S.size() * sizeof(char16_t));
    if (FEncoding == TEncoding::Utf8) {
        if (S.empty())
            return;
        WideString Units;
        Units.reserve(S.size() + 1);
        if (FPendingHigh)
            Units += FPendingHigh;
        Units += S;
        FPendingHigh = 0;
        if (Units.back() >= 0xD800 && Units.back() <= 0xDBFF) {
            FPendingHigh = Units.back();
            Units.pop_back();
        }
        const std::string Bytes = Utf16ToUtf8(Units);
        return Emit(Bytes.data(), Bytes.size());
    }
    char Bytes[FlushUnits * MaxLatin1Bytes];
    for (size_t I = 0; I < S.size(); I += FlushUnits) {
        const size_t Count = std::min(FlushUnits, S.size() - I);
        Emit(Bytes, EncodeLatin1(S.data() + I, Count, Bytes, FPendingHigh, FWide));
    }
}

void TWriter::Flush()
{
    Hand(FOut);
    FOut.clear();
}

// A block handed over: its pages go back to the system at once, so that the output is not
// held twice while it is gathered in one piece.
void TWriter::Release(std::string& Block)
{
    GiveBackPages(Block.data(), Block.capacity());
    std::string().swap(Block);
}

void TWriter::Finish()
{
    Flush();
    if (FPendingHigh) {
        if (FEncoding == TEncoding::Utf8) {
            const std::string Bytes = Utf16ToUtf8(WideStringView(&FPendingHigh, 1));
            Emit(Bytes.data(), Bytes.size());
        } else {
            Emit("&#xFFFD;", 8);
        }
        FPendingHigh = 0;
    }
    if (!FMemory)
        return;
    size_t Total = 0;
    for (const std::string& Block : FBlocks)
        Total += Block.size();
    FMemory->Reserve(FMemory->Position() + static_cast<int64_t>(Total));
    for (std::string& Block : FBlocks) {
        FMemory->WriteBuffer(Block.data(), static_cast<int64_t>(Block.size()));
        Release(Block);
    }
    FBlocks.clear();
}

WideString TWriter::TakeOutput()
{
    if (FBlocks.empty())
        return WideString(FOut);
    Finish();
    size_t Total = 0;
    for (const std::string& Block : FBlocks)
        Total += Block.size();
    WideString Text;
    Text.reserve(Total / sizeof(char16_t));
    for (std::string& Block : FBlocks) {
        Text.append(reinterpret_cast<const char16_t*>(Block.data()), Block.size() / sizeof(char16_t));
        Release(Block);
    }
    FBlocks.clear();
    return Text;
}

void TWriter::Put(WideStringView S)
{
    if (FOut.size() + S.size() > FlushUnits) {
        Flush();
        if (S.size() > FlushUnits)
            return Hand(S);
    }
    FOut.append(S);
}

void TWriter::PutBlanks(size_t Count)
{
    if (FOut.size() + Count > FlushUnits)
        Flush();
    FOut.append(Count, u' ');
}

void TWriter::PutPending()
{
    if (PendingIndent) {
        PutBlanks(static_cast<size_t>(PendingIndentWidth));
        PendingIndent = false;
    }
    if (PendingBlanks > 0) {
        PutBlanks(static_cast<size_t>(PendingBlanks));
        PendingBlanks = 0;
    }
}

void TWriter::LineBreak()
{
    if (!AtLineStart) {
        Put(u"\r\n");
        AfterBlank = true;
    }
    AtLineStart = true;
    IndentDone = false;
    PendingIndent = false;
    PendingBlanks = 0;
    Column = 0;
    Touching = false;
}

void TWriter::Indentation()
{
    if (IndentDone)
        return;
    PendingIndentWidth = std::min(Indent, MaxIndent);
    PendingIndent = PendingIndentWidth > 0;
    Column = 0;
    IndentDone = true;
}

void TWriter::Str(WideStringView S)
{
    if (S.empty())
        return;
    PutPending();
    Put(S);
    Column += static_cast<int64_t>(S.size());
    AtLineStart = false;
    IndentDone = true;
    Touching = S.back() > u' ';
}

void TWriter::Blank()
{
    ++PendingBlanks;
    ++Column;
    AfterBlank = true;
    Touching = false;
}

// A raw node stands where it is, with nothing added after it: "a<!--c-->b" stays one word.
void TWriter::RawNode(WideStringView Text)
{
    if (AtLineStart)
        Indentation();
    Str(Text);
}

void TWriter::WrappedText(WideStringView Text)
{
    if (AtLineStart)
        Indentation();
    if (AfterBlank) {
        // Read back, the text would lose these at once.
        size_t Lead = 0;
        while (Lead < Text.size() && Text[Lead] <= u' ')
            ++Lead;
        Text.remove_prefix(Lead);
    }
    for (size_t At = 0; At < Text.size();) {
        if (const size_t Plain = PlainWords(Text, At); Plain > At) {
            Str(Text.substr(At, Plain - At));
            AfterBlank = false;
            At = Plain;
            continue;
        }
        // One token as the word breaker reads it: a word with characters to encode, or blanks.
        Breaker.SetText(Text.substr(At));
        Breaker.Next();
        At += static_cast<size_t>(Breaker.Position() - 1);
        if (Breaker.TokenKind() == tkWord) {
            Str(Breaker.TokenView());
            AfterBlank = false;
        } else if (!AfterBlank) {
            if (BreaksAt(Column)) {
                LineBreak();
                Indentation();
            } else {
                Blank();
            }
        }
    }
}

// The end of the words from From on that are written as they stand (ASCII, nothing to encode)
// with the single spaces between them, up to the first space where the line breaks: what
// the word breaker would give and the writer write there, word by word.
size_t TWriter::PlainWords(WideStringView Text, size_t From) const
{
    auto Plain = [](char16_t C) { return C < 128 && !IsBlank(C); };
    size_t I = From;
    while (I < Text.size()) {
        if (Plain(Text[I])) {
            ++I;
            continue;
        }
        if (Text[I] != u' ' || I == From || I + 1 == Text.size() || !Plain(Text[I + 1]) ||
            BreaksAt(Column + static_cast<int64_t>(I - From)))
            break;
        ++I;
    }
    return I;
}

void TWriter::DocTypeText(const THtmlDocType* DocType)
{
    static constexpr std::u16string_view Lines[3][2] = {
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"",
         u" \"http://www.w3.org/TR/html4/loose.dtd\">"},
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"",
         u" \"http://www.w3.org/TR/html4/strict.dtd\">"},
        {u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"",
         u" \"http://www.w3.org/TR/html4/frameset.dtd\">"},
    };
    LineBreak();
    if (!DocType->Text.empty()) {
        Str(DocType->Text);
        LineBreak();
        return;
    }
    const int Kind = DocType->DocKind <= dkFrameset ? DocType->DocKind : dkTransitional;
    Str(Lines[Kind][0]);
    LineBreak();
    Str(Lines[Kind][1]);
    LineBreak();
}

void TWriter::AppendAttributeValue(WideStringView Value)
{
    // A server block begun in the value and not ended there would, read again, take in what
    // follows the value up to some later end: its "<" is written as a reference, which the
    // browser reads alike.
    if (Value.find(u'<') != WideStringView::npos) {
        WideString Safe;
        bool Unended = false;
        for (size_t I = 0; I < Value.size(); ++I) {
            if (Value[I] == u'<' && I + 1 < Value.size() && (Value[I + 1] == u'?' || Value[I + 1] == u'%')) {
                if (const size_t Block = ServerBlockLength(Value.substr(I))) {
                    Safe += Value.substr(I, Block);
                    I += Block - 1;
                    continue;
                }
                Safe += u"&lt;";
                Unended = true;
                continue;
            }
            Safe += Value[I];
        }
        if (Unended)
            return AppendQuoted(Safe);
    }
    AppendQuoted(Value);
}

void TWriter::AppendQuoted(WideStringView Value)
{
    // Double quotes, or single quotes around a value holding a double quote; a value holding
    // both kinds gets its double quotes as references.
    const bool HasDouble = Value.find(u'"') != WideStringView::npos;
    if (HasDouble && Value.find(u'\'') == WideStringView::npos) {
        TagText += u'\'';
        TagText += Value;
        TagText += u'\'';
        return;
    }
    TagText += u'"';
    if (!HasDouble) {
        TagText += Value;
    } else {
        for (char16_t C : Value) {
            if (C == u'"')
                TagText += u"&quot;";
            else
                TagText += C;
        }
    }
    TagText += u'"';
}

void TWriter::StartTag(const THtmlNode* N)
{
    TagText.clear();
    TagText += u'<';
    TagText += TagName(N->Kind());
    auto* Tag = ClassOf(N) == TClass::Tag ? static_cast<const THtmlTag*>(N) : nullptr;
    const int Count = Tag ? Tag->GetAttributeCount() : 0;
    for (int I = 0; I < Count; ++I) {
        const THtmlAttrId Id = Tag->GetAttributeId(I);
        const WideStringView Entry = Tag->AttributeText(I);
        if (Id != attrUnknown) {
            const WideStringView AttrName = AttributeName(Id);
            if (AttrName.empty())
                continue;
            TagText += u' ';
            TagText += AttrName;
            if (Entry == u"TRUE" && IsBooleanAttribute(Id))
                continue;
            TagText += u'=';
            AppendAttributeValue(Entry);
        } else {
            const size_t Eq = UnknownNameEnd(Entry);
            const WideStringView AttrName = Entry.substr(0, Eq);
            if (AttrName.empty())
                continue;
            TagText += u' ';
            TagText += AttrName;
            if (Eq == WideStringView::npos || Eq + 1 == Entry.size())
                continue;
            TagText += u'=';
            AppendAttributeValue(Entry.substr(Eq + 1));
        }
    }
    TagText += u'>';
    Str(TagText);
    if (N->Kind() == tagBr || N->Kind() == tagHr)
        AfterBlank = true;
    else if (TagShowsContent(N->Kind()) && !TagIsContainer(N->Kind()))
        AfterBlank = false;
}

void TWriter::EndTag(const THtmlNode* N)
{
    TagText.clear();
    TagText += u"</";
    TagText += TagName(N->Kind());
    TagText += u'>';
    Str(TagText);
    if (TagShowsContent(N->Kind()))
        AfterBlank = false;
}

// ---------------------------------------------------------------------------------------------
// The tree walk

void TWriter::ResetContext()
{
    Indent = 0;
    Column = 0;
    AtLineStart = true;
    IndentDone = false;
    PendingIndent = false;
    PendingBlanks = 0;
    AfterBlank = true;
    Verbatim = 0;
    Trimmed = false;
    Touching = false;
    Stack.clear();
}

void TWriter::Document(THtmlTag* Root)
{
    for (TLinkNode* C = Root->First(); C; C = C->Next()) {
        if (ClassOf(C) == TClass::Foreign)
            continue;
        auto* N = static_cast<THtmlNode*>(C);
        if (const THtmlText* Text = AsText(N); Text && Text->Kind() == tagText && IsAllBlank(Text->Text))
            continue;
        ResetContext();
        WriteTop(N);
        LineBreak();
    }
}

void TWriter::Top(THtmlNode* N)
{
    if (ClassOf(N) == TClass::Tag && N->Kind() == tagRoot)
        return Document(static_cast<THtmlTag*>(N));
    ResetContext();
    WriteTop(N);
}

void TWriter::WriteTop(THtmlNode* N)
{
    const TClass Class = ClassOf(N);
    if (Class == TClass::Text) {
        auto* Text = static_cast<const THtmlText*>(N);
        if (Text->Kind() == tagText) {
            WrappedText(Text->Text);
            LineBreak();
        } else if (Text->Kind() == tagRawText) {
            Str(Text->Text);
            LineBreak();
        } else {
            RawNode(Text->Text);
        }
    } else if (Class == TClass::DocType) {
        DocTypeText(static_cast<const THtmlDocType*>(N));
    } else if (Class == TClass::Tag && N->Kind() == tagRoot) {
        Document(static_cast<THtmlTag*>(N));
    } else {
        OpenElement(N);
        Run();
    }
}

void TWriter::Run()
{
    while (!Stack.empty()) {
        TFrame& Frame = Stack.back();
        if (TLinkNode* C = Frame.Child) {
            Frame.Child = C->Next();
            WriteChild(C);
        } else {
            CloseTop();
        }
    }
}

void TWriter::WriteChild(TLinkNode* C)
{
    switch (ClassOf(C)) {
    case TClass::Foreign:
        return;
    case TClass::Text:
        TextChild(static_cast<const THtmlText*>(C));
        return;
    case TClass::DocType:
        DocTypeText(static_cast<const THtmlDocType*>(C));
        return;
    default:
        break;
    }
    auto* N = static_cast<THtmlNode*>(C);
    const size_t Depth = Stack.size();
    OpenElement(N);
    if (Stack.size() == Depth)
        AfterChild(N);
}

void TWriter::TextChild(const THtmlText* T)
{
    switch (T->Kind()) {
    case tagText:
        if (Verbatim > 0)
            Str(T->Text);
        else
            WrappedText(T->Text);
        break;
    case tagRawText:
        Str(T->Text);
        break;
    default:  // comments, server blocks, unknown tags
        if (Verbatim > 0) {
            Str(T->Text);
            break;
        }
        const THtmlTagId Parent = Stack.back().Node->Kind();
        if (T->Kind() == tagComment && (Parent == tagScript || Parent == tagStyle)) {
            // The comment starts the next line, unindented.
            LineBreak();
            AtLineStart = false;
        }
        RawNode(T->Text);
        // (As the parser reads it: a blank after what shows is kept.)
        if (RawNodeShows(T->Kind(), T->Text))
            AfterBlank = false;
        // Where the parent holds no text (a head, a table, a list), nothing runs on after it.
        if (!TagCanHoldText(Parent))
            LineBreak();
        break;
    }
}

void TWriter::Push(const TFrame& Frame)
{
    Stack.push_back(Frame);
    if (Frame.EntersVerbatim)
        ++Verbatim;
    if (Frame.OpensTrimmed)
        Trimmed = true;
}

void TWriter::OpenElement(THtmlNode* N)
{
    const THtmlTagId Kind = N->Kind();
    if (Kind == tagDocType || Kind == tagHtml)
        Indent = 0;
    else if (Kind == tagBody || Kind == tagHead)
        Indent = IndentStep;
    const bool Container = TagIsContainer(Kind);

    if (Verbatim > 0) {
        StartTag(N);
        if (WritesChildren(N))
            Push({N, N->First(), TClose::Verbatim, false, IsPreformatted(Kind)});
        else if (Container)
            EndTag(N);
        return;
    }
    if (TagRunsInline(Kind) && !Stack.empty() && Stack.back().Close == TClose::Inline) {
        // In a line: it stays there, as an inline element does.
        if (AtLineStart)
            Indentation();
        return OpenInline(N, false, false);
    }
    // A script or style made with its content in a comment keeps the comment on lines of its
    // own, unless it touches what stands before it.
    const bool CommentContent = (Kind == tagScript || Kind == tagStyle) && N->First() && !HoldsRawText(N);
    if (TagRunsInline(Kind) && (Touching || !CommentContent)) {
        // Outside running text it starts a line of its own, its content indented; it stays in
        // the line of what it touches, and a line break follows only where nothing touches.
        const bool Own = !Touching;
        if (Own)
            LineBreak();
        if (AtLineStart)
            Indentation();
        StartTag(N);
        if (WritesChildren(N)) {
            if (Own)
                Indent += IndentStep;
            TFrame Frame{N, N->First(), TClose::Inline, false, HoldsRawText(N), false, Own};
            Frame.BreakUnlessTouching = true;
            Push(Frame);
            return;
        }
        if (Container)
            EndTag(N);
        if (!TouchesNext(N))
            LineBreak();
        return;
    }
    if (HoldsRawText(N)) {
        LineBreak();
        Indentation();
        StartTag(N);
        Push({N, N->First(), TClose::Raw, true, true});
        return;
    }
    switch (LayoutOf(N, HasWrittenChildren(N))) {
    case TLayout::Block:
        LineBreak();
        Indentation();
        StartTag(N);
        if (Container) {
            Indent += IndentStep;
            LineBreak();
            // Block layout is chosen only with children.
            Push({N, N->First(), TClose::Block, false, false, false, true});
            return;
        }
        LineBreak();
        break;
    case TLayout::Line: {
        LineBreak();
        Indentation();
        const bool Trim = !Trimmed && WritesChildren(N);
        if (Trim)
            TrimLines(N);
        OpenInline(N, true, Trim);
        break;
    }
    case TLayout::Inline:
        if (AtLineStart)
            Indentation();
        OpenInline(N, false, false);
        break;
    }
}

void TWriter::OpenInline(THtmlNode* N, bool LineAfter, bool OpensTrimmed)
{
    const THtmlTagId Kind = N->Kind();
    if (Kind == tagHr) {
        LineBreak();
        Indentation();
        StartTag(N);
        LineBreak();
    } else {
        StartTag(N);
    }
    if (WritesChildren(N)) {
        Push({N, N->First(), TClose::Inline, LineAfter, IsPreformatted(Kind) || HoldsRawText(N), OpensTrimmed});
        return;
    }
    if (TagIsContainer(Kind)) {
        if (AtLineStart)
            Indentation();
        EndTag(N);
    }
    if (LineAfter)
        LineBreak();
}

void TWriter::CloseTop()
{
    const TFrame Frame = Stack.back();
    Stack.pop_back();
    if (Frame.EntersVerbatim)
        --Verbatim;
    if (Frame.OpensTrimmed)
        Trimmed = false;
    switch (Frame.Close) {
    case TClose::Block:
        if (Frame.IndentAdded)
            Indent = std::max(0, Indent - IndentStep);
        LineBreak();
        Indentation();
        EndTag(Frame.Node);
        LineBreak();
        break;
    case TClose::Inline:
        if (Frame.IndentAdded) {
            Indent = std::max(0, Indent - IndentStep);
            IndentDone = IndentDone && !AtLineStart;
        }
        if (AtLineStart)
            Indentation();
        EndTag(Frame.Node);
        if (Frame.LineAfter || (Frame.BreakUnlessTouching && !TouchesNext(Frame.Node)))
            LineBreak();
        break;
    case TClose::Raw:
        EndTag(Frame.Node);
        LineBreak();
        break;
    case TClose::Verbatim:
        EndTag(Frame.Node);
        break;
    }
    if (!Stack.empty())
        AfterChild(Frame.Node);
}

// Whether what follows N in its parent stands in the same line as N's end: text that starts
// with no blank, a raw node, an inline element. Where the parent holds no text, nothing
// does.
bool TWriter::TouchesNext(const THtmlNode* N) const
{
    const auto* Parent = static_cast<const THtmlNode*>(N->Parent());
    if (!Parent || !TagCanHoldText(Parent->Kind()))
        return false;
    for (const TLinkNode* C = N->Next(); C; C = C->Next()) {
        const TClass Class = ClassOf(C);
        if (Class == TClass::Foreign)
            continue;
        if (Class == TClass::DocType)
            return false;
        auto* Next = static_cast<const THtmlNode*>(C);
        if (Class == TClass::Text) {
            auto* Text = static_cast<const THtmlText*>(Next);
            if (Text->Kind() != tagText)
                return true;
            // After a blank, the blanks that start the text are not written (nor read back).
            if (!AfterBlank)
                return !Text->Text.empty() && Text->Text[0] > u' ';
            if (HasNonBlank(Text->Text))
                return true;
            continue;
        }
        const THtmlTagId Kind = Next->Kind();
        return (TagIsInline(Kind) || TagRunsInline(Kind)) && Kind != tagBr && Kind != tagHr;
    }
    return false;
}

void TWriter::AfterChild(const THtmlNode* Child)
{
    if (Verbatim > 0 || Stack.back().Close != TClose::Inline)
        return;
    if (Child->Kind() == tagBr)
        LineBreak();
    else if (AtLineStart)
        Indentation();
}

// An element written on one line loses the leading blanks of its first text and the trailing
// blanks of its last text (texts of blanks only at its end are emptied on the way); the same
// holds for every such element below it. Texts inside pre, textarea and the verbatim content
// of script and style are never trimmed, and when one of them is the first (or last) text,
// nothing is trimmed at that end. Nor is a text trimmed at an end where an element that
// shows content (an image, a control, a server block) stands between it and that end: the
// blank between them shows.
void TWriter::TrimLines(THtmlNode* N)
{
    Texts.clear();
    TrimStack.clear();
    uint32_t Started = 0, Ended = 0;
    int Verb = IsPreformatted(N->Kind()) ? 1 : 0;
    TrimStack.push_back({N->First(), 0, true, Verb > 0});
    while (!TrimStack.empty()) {
        TTrimFrame& Frame = TrimStack.back();
        if (TLinkNode* C = Frame.Child) {
            Frame.Child = C->Next();
            const TClass Class = ClassOf(C);
            if (Class == TClass::Text) {
                auto* Text = static_cast<THtmlText*>(C);
                if (Text->Kind() == tagText) {
                    Texts.push_back({Text, Verb > 0, Started, Ended});
                } else if (RawMayShow(Text->Kind())) {
                    ++Started;
                    ++Ended;
                }
                continue;
            }
            if (Class != TClass::Tag && Class != TClass::Node)
                continue;
            auto* H = static_cast<THtmlNode*>(C);
            const bool Shows = TagShowsContent(H->Kind());
            Started += Shows;
            if (!WritesChildren(H)) {
                Ended += Shows;
                continue;
            }
            const bool Raw = Verb == 0 && HoldsRawText(H);
            // Inside a line, an element that runs inline is written in that line.
            const bool Line = Verb == 0 && !Raw && !TagRunsInline(H->Kind()) &&
                              LayoutOf(H, HasWrittenChildren(H)) == TLayout::Line;
            const bool Enters = Raw || IsPreformatted(H->Kind());
            if (Enters)
                ++Verb;
            TrimStack.push_back({H->First(), Texts.size(), Line, Enters, Shows, Ended});
        } else {
            const TTrimFrame Done = Frame;
            TrimStack.pop_back();
            if (Done.EntersVerbatim)
                --Verb;
            Ended += Done.Shows;
            if (!Done.Line || Texts.size() <= Done.Entry)
                continue;
            const TTextRef& First = Texts[Done.Entry];
            if (!First.Verbatim && First.Ended == Done.Ended)
                TrimLeftInPlace(First.Text->Text);
            // Texts of blanks only at the end are emptied as well, up to the last one with
            // something else, so that the line ends with no blank wherever it stood.
            while (Texts.size() > Done.Entry && !Texts.back().Verbatim && Texts.back().Started == Started) {
                TNodeText& Last = Texts.back().Text->Text;
                if (HasNonBlank(Last)) {
                    TrimRightInPlace(Last);
                    break;
                }
                Last.clear();
                Texts.pop_back();
            }
        }
    }
}

// Whether an element laid out on lines of its own has children that show in the output: text
// of blanks only is not written at the start of a line (nor read back from there).
bool TWriter::HasWrittenChildren(const THtmlNode* N) const
{
    for (const TLinkNode* C = N->First(); C; C = C->Next()) {
        const TClass Class = ClassOf(C);
        if (Class == TClass::Foreign)
            continue;
        auto* Text = Class == TClass::Text ? static_cast<const THtmlText*>(C) : nullptr;
        if (!Text || Text->Kind() != tagText || HasNonBlank(Text->Text))
            return true;
    }
    return false;
}

}  // namespace

bool WriteDocument(TStream& Stream, THtmlRoot* Root)
{
    if (!Root)
        return false;
    TWriter Writer(&Stream);
    Writer.Document(Root);
    Writer.Finish();
    return true;
}

bool WriteDocumentLatin1(TStream& Stream, THtmlRoot* Root, bool& Wide)
{
    Wide = false;
    if (!Root)
        return false;
    TWriter Writer(&Stream, TEncoding::Latin1);
    Writer.Document(Root);
    Writer.Finish();
    Wide = Writer.Wide();
    return true;
}

bool WriteDocumentUtf8(TStream& Stream, THtmlRoot* Root)
{
    if (!Root)
        return false;
    TWriter Writer(&Stream, TEncoding::Utf8);
    Writer.Document(Root);
    Writer.Finish();
    return true;
}

void WriteHtml(TStream& Stream, THtmlNode* Node)
{
    if (!Node)
        return;
    TWriter Writer(&Stream);
    Writer.Top(Node);
    Writer.Finish();
}

WideString NodeToHtml(THtmlNode* Node)
{
    if (!Node)
        return WideString();
    TWriter Writer(nullptr);
    Writer.Top(Node);
    return Writer.TakeOutput();
}

}  // namespace zv
