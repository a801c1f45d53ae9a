#pragma once
// Splitting text into words and blanks (decoding or encoding character entities on the way),
// and small helpers over trees and fragments: plain text, the content of a one-element
// fragment, a node addressed by a dotted path.

#include <cstdint>

#include "HtmlNodes.h"
#include "WideText.h"

namespace zv {

enum TBreakMode : uint8_t {
    bmDecode = 0,  // entity references inside words become their characters
    bmEncode = 1,  // characters at or above 128 become entity text
};

enum TTokenKind : uint8_t { tkBlank = 0, tkWord = 1, tkLineBreak = 2, tkTab = 3 };

class TWordBreaker {
public:
    explicit TWordBreaker(TBreakMode Mode) : Mode(Mode) {}

    // Reads S where it lies: S must stay as it is while the breaker reads it.
    void SetText(WideStringView S);
    // The next token into Token and TokenKind; false when the text is used up.
    bool Next();

    WideStringView Text() const { return FText; }
    int Length() const { return static_cast<int>(FText.size()); }
    // 1-based index of the next code unit to examine.
    int Position() const { return static_cast<int>(FPos) + 1; }
    const WideString& Token() const;
    // The same token without a copy; valid until the next SetText or Next.
    WideStringView TokenView() const { return FTokenView; }
    TTokenKind TokenKind() const { return FTokenKind; }

    TBreakMode Mode;
    // False: a line break comes back as a blank " "; true: as a line-break token as written.
    bool LineBreaks = false;
    // True: blank and tab tokens come back as one " "; false: as written.
    bool CollapseBlanks = true;

private:
    void ReadWord();
    void ReadBlank();
    void AddReference(WideStringView Reference);

    WideStringView FText;
    size_t FPos = 0;
    // The token: a piece of the text where it passes unchanged, else built in FToken.
    WideStringView FTokenView;
    mutable WideString FToken;
    mutable bool FTokenBuilt = false;
    TTokenKind FTokenKind = tkBlank;
};

// The text content of Node's subtree (Node itself excluded): entity references decoded,
// blanks collapsed unless KeepWhitespace, CR LF for br and hr, an empty line between blocks.
// Leading and trailing characters up to U+0020 are removed.
WideString GetPlainText(const THtmlNode* Node, bool KeepWhitespace);

// The content of a one-element fragment such as "<div class=a> x </div>" (" x "); text that
// does not begin with "<" (after trimming) comes back trimmed.
WideString StripOuterTag(WideStringView S);

// The node that a path such as "body.table[1].tr[0].td[2]" addresses: the first step names a
// tag found anywhere below Root, each further step the index-th child element of that kind
// (counting from 0). Nil when a step fails.
THtmlNode* FindNodeByPath(const THtmlTag* Root, WideStringView Path);

}  // namespace zv
