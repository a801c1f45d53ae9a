#include "TreeLists.h"

#include "NodeArena.h"

namespace zv {

void TLinkNode::Clear()
{
    // Without recursion and without unlinking node by node. A node with children waits, on a
    // stack threaded through its parent link, until they are gone; the walk then goes on with
    // its next sibling. Each node is read where it lies, in document order.
    TLinkNode* Node = FFirst;
    FFirst = nullptr;
    FCount = 0;
    TLinkNode* Waiting = nullptr;
    while (Node) {
        if (TLinkNode* Child = Node->FFirst) {
            Node->FFirst = nullptr;
            Node->FParent = Waiting;
            Waiting = Node;
            Node = Child;
            continue;
        }
        TLinkNode* Next = Node->FNext;
        // Nothing left for its destructor to clear or unlink.
        Node->FParent = nullptr;
        delete Node;
        while (!Next && Waiting) {
            TLinkNode* Done = Waiting;
            Waiting = Done->FParent;
            Next = Done->FNext;
            Done->FParent = nullptr;
            delete Done;
        }
        Node = Next;
    }
}

bool TLinkNode::HasAncestor(const TLinkNode* Node) const
{
    if (!Node)
        return false;
    for (const TLinkNode* P = FParent; P; P = P->FParent)
        if (P == Node)
            return true;
    return false;
}

bool TLinkNode::CanAdopt(const TLinkNode* Node) const
{
    if (!Node || Node == this)
        return false;
    // Only a node with children can be an ancestor of Self.
    return !Node->FFirst || !HasAncestor(Node);
}

void TLinkNode::Unlink()
{
    TLinkNode* P = FParent;
    if (P->FFirst == this)
        P->FFirst = FNext;
    else
        FPrev->FNext = FNext;
    // The successor takes over the predecessor, which for a first child is the last one.
    if (FNext)
        FNext->FPrev = FPrev;
    else if (P->FFirst)
        P->FFirst->FPrev = FPrev;
    --P->FCount;
    FParent = FPrev = FNext = nullptr;
}

void TLinkNode::LinkFirst(TLinkNode* Node)
{
    Node->FParent = this;
    Node->FNext = FFirst;
    if (FFirst) {
        Node->FPrev = FFirst->FPrev;
        FFirst->FPrev = Node;
    } else {
        Node->FPrev = Node;
    }
    FFirst = Node;
    ++FCount;
}


void TLinkNode::LinkBefore(TLinkNode* Node)
{
    TLinkNode* P = FParent;
    Node->FParent = P;
    Node->FNext = this;
    Node->FPrev = FPrev;
    if (P->FFirst == this)
        P->FFirst = Node;
    else
        FPrev->FNext = Node;
    FPrev = Node;
    ++P->FCount;
}

bool TLinkNode::Append(TLinkNode* Node)
{
    if (!CanAdopt(Node))
        return false;
    if (Node->FParent)
        Node->Unlink();
    LinkLast(Node);
    return true;
}

bool TLinkNode::Prepend(TLinkNode* Node)
{
    if (!CanAdopt(Node))
        return false;
    if (Node->FParent)
        Node->Unlink();
    LinkFirst(Node);
    return true;
}

bool TLinkNode::InsertBefore(TLinkNode* Node)
{
    if (!FParent || !CanAdopt(Node))
        return false;
    if (Node->FParent)
        Node->Unlink();
    LinkBefore(Node);
    return true;
}

void TLinkNode::AddFirst(TLinkNode* Node) { Prepend(Node); }


void TLinkNode::TakeChildren(TLinkNode& From)
{
    while (TLinkNode* Node = From.FFirst) {
        Node->Unlink();
        LinkLast(Node);
    }
}

bool TLinkNode::Remove(TLinkNode* Node)
{
    if (!Node || Node->FParent != this)
        return false;
    Node->Unlink();
    return true;
}

TLinkNode* TLinkNode::NextInTree(const TLinkNode* Node) const
{
    if (!Node)
        return FFirst;
    if (Node->FFirst)
        return Node->FFirst;
    if (Node == this)
        return nullptr;
    if (Node->FNext)
        return Node->FNext;
    for (const TLinkNode* P = Node->FParent; P && P != this; P = P->FParent)
        if (P->FNext)
            return P->FNext;
    return nullptr;
}

}  // namespace zv
