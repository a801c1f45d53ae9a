#pragma once
// Memory for the nodes of parsed trees. A tree is made of a great many small blocks that are
// allocated in document order and mostly freed together; taken from the general heap they
// cost an allocation each and end up scattered, and every later walk over the tree pays for
// it. While a TNodeArenaScope is open (the parser opens one for every page), nodes and
// attribute blocks are cut one after another from big segments instead; a segment goes back
// to the heap once nothing in it is in use. Single-threaded.

#include <cstddef>

namespace zv {

// Memory for a node or an attribute block (nothing that needs more than 8-byte alignment):
// from the arena while a scope is open, otherwise from the heap.
void* NodeAllocate(std::size_t Size);
// Frees what NodeAllocate gave for Size bytes, wherever it came from.
void NodeFree(void* P, std::size_t Size) noexcept;

// Opens the arena for the scope's lifetime when Open is true (scopes may nest).
class TNodeArenaScope {
public:
    explicit TNodeArenaScope(bool Open);
    ~TNodeArenaScope();
    TNodeArenaScope(const TNodeArenaScope&) = delete;
    TNodeArenaScope& operator=(const TNodeArenaScope&) = delete;

private:
    bool FOpen;
};

// While it lives, nodes come from the heap even within an open scope: for what is made
// while a large tree is built but outlives it.
class TNodeHeapScope {
public:
    TNodeHeapScope();
    ~TNodeHeapScope();
    TNodeHeapScope(const TNodeHeapScope&) = delete;
    TNodeHeapScope& operator=(const TNodeHeapScope&) = delete;

private:
    int FDepth;
};

// Segment bytes the arena holds, for measurements.
std::size_t NodeArenaBytes();

}  // namespace zv
