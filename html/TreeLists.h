#pragma once
// The tree link: a node with a parent, siblings and an ordered list of children that it owns.

#include <cstddef>
#include <new>

#include "NodeArena.h"

namespace zv {

class TLinkNode {
public:
    TLinkNode() = default;
    // Destroys the subtree (without recursion, however deep or wide) and unlinks the node
    // from its parent, if it still has one.
    virtual ~TLinkNode()
    {
        if (FFirst)
            Clear();
        if (FParent)
            Unlink();
    }
    TLinkNode(const TLinkNode&) = delete;
    // Nodes come from NodeAllocate (see NodeArena.h); a class that needs more alignment than
    // that gives, from the heap.
    static void* operator new(std::size_t Size) { return NodeAllocate(Size); }
    static void operator delete(void* P, std::size_t Size) noexcept { NodeFree(P, Size); }
    static void* operator new(std::size_t Size, std::align_val_t Align) { return ::operator new(Size, Align); }
    static void operator delete(void* P, std::size_t, std::align_val_t Align) noexcept { ::operator delete(P, Align); }
    TLinkNode& operator=(const TLinkNode&) = delete;

    int Count() const { return FCount; }
    TLinkNode* Parent() const { return FParent; }
    TLinkNode* Prev() const { return FParent && FParent->FFirst != this ? FPrev : nullptr; }
    TLinkNode* Next() const { return FNext; }
    TLinkNode* First() const { return FFirst; }
    TLinkNode* Last() const { return FFirst ? FFirst->FPrev : nullptr; }

    // Destroys every child, first to last, each before its subtree.
    void Clear();

    // Moves Node (out of its old parent, if any) to the end / the front of the children.
    // False, with nothing changed, for nil, Self, or an ancestor of Self.
    bool Append(TLinkNode* Node);
    bool Prepend(TLinkNode* Node);
    // Moves Node in front of Self under Self's parent. False, with nothing changed, for nil,
    // Self, an ancestor of Self, or when Self has no parent.
    bool InsertBefore(TLinkNode* Node);
    // Link a new node as first / last child; the same checks and moves as Prepend / Append.
    void AddFirst(TLinkNode* Node);
    void AddLast(TLinkNode* Node)
    {
        // A node that is new to the tree needs none of Append's checks.
        if (Node && !Node->FParent && !Node->FFirst && Node != this)
            LinkLast(Node);
        else
            Append(Node);
    }
    // Unlinks a child without destroying it; the caller owns it then. False when Node is not
    // a child of Self.
    bool Remove(TLinkNode* Node);

    // Pre-order successor of Node within the subtree of Self; NextInTree(nullptr) is the first
    // child. The walk never leaves the subtree.
    TLinkNode* NextInTree(const TLinkNode* Node) const;

    // True when Node is Self's parent, grandparent and so on.
    bool HasAncestor(const TLinkNode* Node) const;

protected:
    // Moves every child of From, in order, to the end of Self's children. From must not be
    // Self or an ancestor of Self.
    void TakeChildren(TLinkNode& From);

private:
    bool CanAdopt(const TLinkNode* Node) const;
    void Unlink();
    void LinkFirst(TLinkNode* Node);
    void LinkLast(TLinkNode* Node)
    {
        Node->FParent = this;
        Node->FNext = nullptr;
        if (FFirst) {
            TLinkNode* Last = FFirst->FPrev;
            Last->FNext = Node;
            Node->FPrev = Last;
            FFirst->FPrev = Node;
        } else {
            Node->FPrev = Node;
            FFirst = Node;
        }
        ++FCount;
    }
    void LinkBefore(TLinkNode* Node);

    // The first child's FPrev is the last child, which saves a link per node; Prev and Last
    // read the chain accordingly. FCount comes last so that a derived class's first field
    // can share its word.
    TLinkNode* FParent = nullptr;
    TLinkNode* FPrev = nullptr;
    TLinkNode* FNext = nullptr;
    TLinkNode* FFirst = nullptr;
    int FCount = 0;
};

}  // namespace zv
