#pragma once
// The nodes of an HTML document tree: elements with their attributes, text and verbatim
// blocks, the DOCTYPE and the document root. A node owns its children.

#include <cstdint>
#include <memory>

#include "HTMLAttributes.h"
#include "HTMLTags.h"
#include "NodeArena.h"
#include "TreeLists.h"
#include "WStrList.h"
#include "WideText.h"

namespace zv {

class THtmlNode : public TLinkNode {
public:
    explicit THtmlNode(THtmlTagId Kind) : FKind(Kind) {}

    THtmlTagId Kind() const { return FKind; }
    void SetKind(THtmlTagId Kind) { FKind = Kind; }

    // Copies what Source holds into Self (each class copies its own part). Refused, returning
    // false with nothing changed, for nil, Self, or a node inside Self's subtree.
    virtual bool Assign(const THtmlNode* Source);

    // The links, typed; nil where the linked node is not an HTML node.
    THtmlNode* ParentNode() const { return dynamic_cast<THtmlNode*>(Parent()); }
    THtmlNode* PrevNode() const { return dynamic_cast<THtmlNode*>(Prev()); }
    THtmlNode* NextNode() const { return dynamic_cast<THtmlNode*>(Next()); }
    THtmlNode* FirstNode() const { return dynamic_cast<THtmlNode*>(First()); }
    THtmlNode* LastNode() const { return dynamic_cast<THtmlNode*>(Last()); }

protected:
    bool CanAssignFrom(const THtmlNode* Source) const;

private:
    THtmlTagId FKind;
};

enum THtmlDocKind : uint8_t { dkTransitional = 0, dkStrict = 1, dkFrameset = 2 };

class THtmlDocType : public THtmlNode {
public:
    THtmlDocType() : THtmlNode(tagDocType) {}
    bool Assign(const THtmlNode* Source) override;

    THtmlDocKind DocKind = dkTransitional;
    // The DOCTYPE as written, for one that is none of the three HTML 4.01 kinds (those are
    // written in their canonical form); empty otherwise.
    WideString Text;
};

// The text a node holds. Its units come from NodeAllocate, so that the texts of a parsed
// tree lie in the node arena beside their nodes and go with them, or lie in the node's own
// block (see THtmlText::Make); it reads as a WideStringView.
class TNodeText {
public:
    TNodeText() = default;
    TNodeText(WideStringView Text) { Assign(Text); }
    TNodeText(const TNodeText& Other) : TNodeText(Other.View()) {}
    ~TNodeText() { Release(); }
    TNodeText& operator=(const TNodeText& Other) { return Assign(Other.View()); }
    TNodeText& operator=(WideStringView Text) { return Assign(Text); }
    TNodeText& operator=(const WideString& Text) { return Assign(Text); }
    TNodeText& operator=(const char16_t* Text) { return Assign(Text); }

    static constexpr size_t MaxSize = 0x7FFFFFFF;
    [[noreturn]] static void TooLong();
    // Takes Size units at Units, which stay the owner's, as the text.
    void Borrow(char16_t* Units, size_t Size)
    {
        Release();
        FData = Units;
        FSize = static_cast<uint32_t>(Size);
        FCapacity = static_cast<uint32_t>(Size) | Borrowed;
    }

    // Text may lie inside this text itself.
    TNodeText& Assign(WideStringView Text);
    TNodeText& operator+=(WideStringView Text);
    TNodeText& operator+=(char16_t C) { return *this += WideStringView(&C, 1); }
    void clear() { FSize = 0; }

    WideStringView View() const { return {FData, FSize}; }
    operator WideStringView() const { return View(); }
    WideString Str() const { return WideString(View()); }
    const char16_t* data() const { return FData; }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    char16_t operator[](size_t I) const { return FData[I]; }
    char16_t front() const { return FData[0]; }
    char16_t back() const { return FData[FSize - 1]; }
    const char16_t* begin() const { return FData; }
    const char16_t* end() const { return FData + FSize; }

    friend bool operator==(const TNodeText& A, WideStringView B) { return A.View() == B; }
    friend bool operator==(const TNodeText& A, const TNodeText& B) { return A.View() == B.View(); }

private:
    void Replace(size_t Capacity, WideStringView Head, WideStringView Tail);
    static constexpr uint32_t Borrowed = 0x80000000u;  // in FCapacity: the units are not ours
    size_t Capacity() const { return FCapacity & ~Borrowed; }
    void Release() noexcept
    {
        if (FData && !(FCapacity & Borrowed))
            NodeFree(FData, size_t(FCapacity) * sizeof(char16_t));
    }

    char16_t* FData = nullptr;
    uint32_t FSize = 0;
    uint32_t FCapacity = 0;
};

// Text (tagText) and the verbatim blocks: comments, PHP and ASP blocks, unknown tags.
class THtmlText : public THtmlNode {
public:
    explicit THtmlText(THtmlTagId Kind) : THtmlNode(Kind) {}
    THtmlText(THtmlTagId Kind, WideStringView Text) : THtmlNode(Kind), Text(Text) {}
    // A new text node whose text (Text, then More) lies in the node's own block, for one
    // allocation instead of two; the text moves out when it grows.
    static THtmlText* Make(THtmlTagId Kind, WideStringView Text, WideStringView More = {});
    bool Assign(const THtmlNode* Source) override;

    TNodeText Text;
};

// One attribute as the parser reads it: a known one by its id, one outside the table by its
// name (Id is attrUnknown).
struct THtmlAttribute {
    THtmlAttrId Id;
    WideStringView Name;
    WideStringView Value;
};

// The length of the server block ("<?php ... ?>", "<% ... %>") that Text starts with, up to and
// with its closing mark; 0 when Text starts none or it has no end.
size_t ServerBlockLength(WideStringView Text);

// Whether a node written as it stands (a server block, an unknown tag) puts something on the
// page, so that a blank after it shows: server blocks and svg and math elements.
bool RawNodeShows(THtmlTagId Kind, WideStringView Text);

// The "=" that ends the name in an unknown attribute's "name=value" entry; npos when there is
// none. A server block kept as a name ("<?= $a == 1 ? 'x' : '' ?>") may hold "=" itself.
size_t UnknownNameEnd(WideStringView Entry);

class THtmlTag : public THtmlNode {
public:
    explicit THtmlTag(THtmlTagId Kind) : THtmlNode(Kind) {}
    ~THtmlTag() override
    {
        if (First())
            Clear();
        if (FAttributes)
            FreeAttributes();
    }

    // Deep copy of a tag (kind, attributes, every descendant); from any other node only the
    // kind. Copying from an ancestor copies the ancestor as it was before the call.
    bool Assign(const THtmlNode* Source) override;
    // Copies kind and attributes, not the children.
    void AssignAttributes(const THtmlTag* Source);

    // Entries: a known attribute is (value, id); one outside the table is (name=value, -1).
    // nil until the first attribute is set. The list stays the tag's; changes made through it
    // are the tag's attributes.
    TWideStringList* Attributes() const;

    // An empty value removes the attribute (and adds none); an attribute written with an
    // empty value ("alt=\"\"") is stored through AddAttributes.
    void SetAttribute(THtmlAttrId Id, WideStringView Value);
    void SetUnknownAttribute(WideStringView Name, WideStringView Value);
    bool HasAttribute(THtmlAttrId Id) const;
    WideString GetAttribute(THtmlAttrId Id) const;
    void DeleteAttribute(THtmlAttrId Id);
    int GetAttributeCount() const;
    // The entry text / id at Index; EStringListError for an index out of range (also when
    // the tag has no attributes).
    WideString GetAttributeByIndex(int Index) const;
    THtmlAttrId GetAttributeId(int Index) const;
    // The entry text at Index without a copy, valid until the attributes change; the same
    // errors as GetAttributeByIndex.
    WideStringView AttributeText(int Index) const;
    // What GetAttribute answers, without a copy: valid until the attributes change.
    WideStringView AttributeValue(THtmlAttrId Id) const;
    // Exchanges the attributes of Self and Other; kinds and children stay.
    void SwapAttributes(THtmlTag& Other);
    void ClearAttributes();
    // Appends the attributes in order without looking for entries of the same id or name:
    // for attributes known to be unique, as the parser collects them.
    void AddAttributes(const THtmlAttribute* Items, size_t Count);

    // First direct child of that kind; with Recursive, the first in pre-order below Self.
    THtmlNode* FindChild(THtmlTagId Kind, bool Recursive) const;
    THtmlNode* FindFirstOfKind(THtmlTagId Kind) const;
    // The last in pre-order's mirror: children last to first, each before its own subtree.
    THtmlNode* FindLastOfKind(THtmlTagId Kind) const;
    // Trims the leading blanks of the first text below Self and the trailing ones of the last.
    void TrimText();

private:
    struct TPacked;
    TPacked* Packed() const;
    TWideStringList* List() const;
    void SetPacked(TPacked* Block);
    void FreeAttributes();
    int IndexOfAttribute(THtmlAttrId Id) const;
    void ReplaceEntry(int Index, const THtmlAttribute* Entry);

    // The attributes, in one word: 0 until the first is set; else a packed block of entries
    // (see TPacked), or, once Attributes() has handed out a list, that list with the low bit
    // set.
    mutable uintptr_t FAttributes = 0;
};

class THtmlRoot : public THtmlTag {
public:
    THtmlRoot() : THtmlTag(tagRoot) {}

    // The html, head and body elements, made where missing.
    THtmlTag* EnsureHtml();
    THtmlTag* EnsureHead();
    THtmlTag* EnsureBody();
};

}  // namespace zv
