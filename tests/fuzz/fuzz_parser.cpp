// Arbitrary bytes through loading and parsing: once as a file (charset detection and
// conversion first), once taken as UTF-16LE text directly. Checks the shape of every tree,
// and that writing a parsed tree gives text that parses and writes to the same text again,
// with every comment, server block and script or style content as it was.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "HtmlConv.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "Streams.h"

using namespace zv;

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

// Links agree, every node is an HTML node, text is never empty, raw content sits only in
// script and style, and a DOCTYPE only on the root.
void CheckTree(const THtmlRoot& Root)
{
    for (const TLinkNode* N = Root.NextInTree(nullptr); N; N = Root.NextInTree(N)) {
        const TLinkNode* Parent = N->Parent();
        Require(Parent != nullptr);
        Require(N->Prev() ? N->Prev()->Next() == N : Parent->First() == N);
        Require(N->Next() ? N->Next()->Prev() == N : Parent->Last() == N);
        const auto* Node = dynamic_cast<const THtmlNode*>(N);
        Require(Node != nullptr);
        const THtmlTagId ParentKind = static_cast<const THtmlNode*>(Parent)->Kind();
        if (auto* Text = dynamic_cast<const THtmlText*>(N)) {
            Require(!Text->Text.empty());
            if (Text->Kind() == tagRawText)
                Require(ParentKind == tagScript || ParentKind == tagStyle);
        }
        if (Node->Kind() == tagDocType)
            Require(Parent == &Root);
    }
}

// Comments, server blocks and script or style content, in document order.
std::vector<WideString> VerbatimTexts(const THtmlRoot& Root)
{
    std::vector<WideString> Texts;
    for (const TLinkNode* N = Root.NextInTree(nullptr); N; N = Root.NextInTree(N))
        if (auto* Text = dynamic_cast<const THtmlText*>(N); Text && Text->Kind() != tagText && Text->Kind() != tagUnknown)
            Texts.emplace_back(Text->Text);
    return Texts;
}

// Whether parsing the text taken over raises Message.
bool ParseRaises(TMemoryStream&& Text, const std::string& Message)
{
    try {
        ParseHtml(std::move(Text));
    } catch (const Exception& E) {
        return E.Message() == Message;
    }
    return false;
}

// Written, read back and written again, the tree gives the same text.
void CheckFixedPoint(THtmlRoot& Root)
{
    const std::vector<WideString> Verbatim = VerbatimTexts(Root);
    const WideString First = NodeToHtml(&Root);
    std::unique_ptr<THtmlRoot> Again = ParseHtml(First);
    CheckTree(*Again);
    Require(NodeToHtml(Again.get()) == First);
    Require(VerbatimTexts(*Again) == Verbatim);
}

// Written in UTF-8 as it is made, the tree gives what the UTF-16 text makes in UTF-8.
void CheckUtf8(THtmlRoot& Root)
{
    TMemoryStream Wide, Want, Utf8;
    WriteDocument(Wide, &Root);
    Wide.SetPosition(0);
    SaveTextUtf8(Wide, Want);
    WriteDocumentUtf8(Utf8, &Root);
    Require(Utf8.Bytes() == Want.Bytes());
}

void Parse(TMemoryStream& Text)
{
    // The same text taken over by the parser gives the same tree.
    TMemoryStream Copy;
    Copy.Bytes() = Text.Bytes();
    Copy.SetPosition(Text.Position());
    std::unique_ptr<THtmlRoot> Root, Taken;
    try {
        Root = ParseHtml(Text);
    } catch (const Exception& E) {
        Require(E.Message() == "Unterminated Comment" || E.Message() == "Unterminated Script");
        Require(ParseRaises(std::move(Copy), E.Message()));
        return;
    }
    Taken = ParseHtml(std::move(Copy));
    CheckTree(*Root);
    CheckFixedPoint(*Root);
    Require(NodeToHtml(Taken.get()) == NodeToHtml(Root.get()));
    CheckUtf8(*Root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream Raw;
    Raw.WriteBuffer(Data, static_cast<int64_t>(Size));
    Raw.SetPosition(0);
    Parse(Raw);

    Raw.SetPosition(0);
    TMemoryStream Text;
    try {
        LoadText(Raw, Text);
    } catch (const Exception&) {
        return 0;
    }
    Parse(Text);
    return 0;
}
