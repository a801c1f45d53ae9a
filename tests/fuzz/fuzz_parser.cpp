// Arbitrary bytes through loading and parsing: once as a file (charset detection and
// conversion first), once taken as UTF-16LE text directly. Checks the shape of every tree.

#include <cstdint>
#include <cstdlib>

#include "HtmlConv.h"
#include "HtmlParser.h"
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

void Parse(TStream& Text)
{
    try {
        CheckTree(*ParseHtml(Text));
    } catch (const Exception& E) {
        Require(E.Message() == "Unterminated Comment" || E.Message() == "Unterminated Script");
    }
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
