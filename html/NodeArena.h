#pragma once
// Memory for the nodes of parsed trees. A tree is made of a great many small blocks that are
// allocated in document order and mostly freed together; taken from the general heap they
// cost an allocation each and end up scattered, and every later walk over the tree pays for
// it. While a TNodeArenaScope is open (the parser opens one for every page), nodes and
// attribute blocks are cut one after another from big segments instead; a segment goes back
// to the heap once nothing in it is in use. Each thread has its own scopes and cuts only from
// segments it made; a tree may be freed on any thread.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace zv {

// Under AddressSanitizer every block goes the long way, which poisons what is not in use.
#if defined(__SANITIZE_ADDRESS__)
#define ZV_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZV_ARENA_ASAN 1
#endif
#endif

// Where the thread cuts its next block, and the segment it last freed a block in: the two ends
// a parse and a tree's destruction work at, so that most calls take a few instructions inline.
struct TNodeArenaCursor {
    char* Next = nullptr;     // in the thread's current segment while a scope is open, else nil
    char* End = nullptr;
    std::atomic<std::size_t>* Cut = nullptr;  // the current segment's count of blocks cut
    const char* FreedBegin = nullptr;
    const char* FreedEnd = nullptr;
    const std::atomic<std::size_t>* FreedCut = nullptr;
    std::atomic<std::size_t>* Freed = nullptr;  // that segment's count of blocks freed
    std::uint64_t FreedEpoch = 0;  // the segment is still there while NodeArenaEpoch is this
};
extern constinit thread_local TNodeArenaCursor NodeArenaCursor;
// Counts the segments given back, by any thread.
extern constinit std::atomic<std::uint64_t> NodeArenaEpoch;

void* NodeAllocateSlow(std::size_t Size);
void NodeFreeSlow(void* P, std::size_t Size) noexcept;

// Memory for a node, a node's text or an attribute block (nothing that needs more than 8-byte
// alignment): from the arena while a scope is open, otherwise from the heap.
inline void* NodeAllocate(std::size_t Size)
{
#ifndef ZV_ARENA_ASAN
    TNodeArenaCursor& C = NodeArenaCursor;
    const std::size_t Rounded = (Size + 7) & ~std::size_t(7);
    if (Rounded != 0 && Rounded <= static_cast<std::size_t>(C.End - C.Next)) {
        void* P = C.Next;
        C.Next += Rounded;
        // (Only this thread writes the count of the segment it cuts from.)
        C.Cut->store(C.Cut->load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        return P;
    }
#endif
    return NodeAllocateSlow(Size);
}

// Frees what NodeAllocate gave for Size bytes, wherever it came from.
inline void NodeFree(void* P, std::size_t Size) noexcept
{
#ifndef ZV_ARENA_ASAN
    TNodeArenaCursor& C = NodeArenaCursor;
    const auto* Address = static_cast<const char*>(P);
    // (Addresses compared as integers: they may lie in different blocks.) The last block of a
    // segment goes the long way, which decides under the lock whether the segment goes back.
    if (reinterpret_cast<std::uintptr_t>(Address) - reinterpret_cast<std::uintptr_t>(C.FreedBegin) <
            static_cast<std::uintptr_t>(C.FreedEnd - C.FreedBegin) &&
        C.FreedEpoch == NodeArenaEpoch.load(std::memory_order_relaxed)) {
        std::size_t Freed = C.Freed->load(std::memory_order_relaxed);
        if (Freed + 1 < C.FreedCut->load(std::memory_order_relaxed) &&
            C.Freed->compare_exchange_weak(Freed, Freed + 1, std::memory_order_release, std::memory_order_relaxed))
            return;
    }
#endif
    NodeFreeSlow(P, Size);
}

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

// Segment bytes the arena holds for trees, for measurements.
std::size_t NodeArenaBytes();
// Gives the segments kept for reuse back to the heap (for measurements from a clean start).
void NodeArenaRelease();

}  // namespace zv
