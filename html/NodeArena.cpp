#include "NodeArena.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <new>
#include <vector>

#include "PageMemory.h"

#ifdef ZV_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#define ZV_POISON(P, N) ASAN_POISON_MEMORY_REGION(P, N)
#define ZV_UNPOISON(P, N) ASAN_UNPOISON_MEMORY_REGION(P, N)
#else
#define ZV_POISON(P, N) ((void)(P), (void)(N))
#define ZV_UNPOISON(P, N) ((void)(P), (void)(N))
#endif

namespace zv {

namespace {

// Nodes and attribute blocks need no more.
constexpr std::size_t Alignment = 8;
constexpr std::size_t MinSegment = 1024;
constexpr std::size_t MaxSegment = 256 * 1024;
// Full-size segments kept for the next tree once freed, up to this many bytes: a page is
// parsed several times while it is open, and memory given back to the system and taken again
// costs a page fault for every 4 KB.
constexpr std::size_t SpareLimit = 8 * 1024 * 1024;

// A segment: this head, then the blocks cut from it one after another.
struct TSegment {
    char* Next;  // only the thread it is current to cuts from it
    char* End;
    // Blocks in use: Cut - Freed. Cut only grows, and only while the segment is current.
    std::atomic<std::size_t> Cut;
    std::atomic<std::size_t> Freed;
    std::size_t Size;  // bytes, head included
    bool Current;  // some thread cuts from it (under the lock): no other thread gives it back

    char* Data() { return reinterpret_cast<char*>(this) + HeadSize(); }
    static constexpr std::size_t HeadSize() { return (sizeof(TSegment) + Alignment - 1) & ~(Alignment - 1); }
};

// What all threads share, under its lock.
struct TArena {
    std::mutex Lock;
    std::vector<TSegment*> Segments;  // by address
    std::atomic<std::size_t> Count{0};  // of Segments, read without the lock
    std::size_t Bytes = 0;
    std::vector<TSegment*> Spare;  // freed full-size segments, not in Segments nor in Bytes

    TArena() { Spare.reserve(SpareLimit / MaxSegment); }
};

// Never destroyed, so that nodes freed during program end still find it.
TArena& Arena()
{
    static TArena* const Instance = new TArena;
    return *Instance;
}

// The thread's own: its scopes and the segment it cuts from.
struct TLocal {
    TSegment* Current = nullptr;
    int Depth = 0;
};
constinit thread_local TLocal Local;

std::size_t RoundUp(std::size_t Size) { return (Size + Alignment - 1) & ~(Alignment - 1); }

// The cursor is the current segment's end to cut from while a scope is open; the segment's own
// Next is brought up to date from it before anything else looks at the segment.
void SaveCursor(TLocal& L)
{
    if (NodeArenaCursor.Next)
        L.Current->Next = NodeArenaCursor.Next;
}

void LoadCursor(TLocal& L)
{
    TNodeArenaCursor& C = NodeArenaCursor;
    if (L.Depth > 0 && L.Current) {
        C.Next = L.Current->Next;
        C.End = L.Current->End;
        C.Cut = &L.Current->Cut;
    } else {
        C.Next = C.End = nullptr;
        C.Cut = nullptr;
    }
}

// Under the lock.
TSegment* Find(TArena& A, const void* P)
{
    const auto* Address = static_cast<const char*>(P);
    TNodeArenaCursor& C = NodeArenaCursor;
    const std::uint64_t Epoch = NodeArenaEpoch.load(std::memory_order_relaxed);
    if (C.FreedEpoch == Epoch && C.FreedBegin && !std::less<const char*>()(Address, C.FreedBegin) &&
        std::less<const char*>()(Address, C.FreedEnd))
        return reinterpret_cast<TSegment*>(const_cast<char*>(C.FreedBegin));
    auto It = std::upper_bound(A.Segments.begin(), A.Segments.end(), Address,
                               [](const char* X, const TSegment* S) {
                                   return std::less<const char*>()(X, reinterpret_cast<const char*>(S));
                               });
    if (It == A.Segments.begin())
        return nullptr;
    TSegment* S = *(It - 1);
    if (!std::less<const char*>()(Address, S->End))
        return nullptr;
    C.FreedBegin = reinterpret_cast<const char*>(S);
    C.FreedEnd = S->End;
    C.FreedCut = &S->Cut;
    C.Freed = &S->Freed;
    C.FreedEpoch = Epoch;
    return S;
}

// Under the lock, for a segment nothing is in use in and no thread cuts from.
void Drop(TArena& A, TSegment* S)
{
    // Before the memory can be taken again: every thread's freed-segment cache is now stale.
    NodeArenaEpoch.store(NodeArenaEpoch.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    const auto It = std::lower_bound(A.Segments.begin(), A.Segments.end(), S, std::less<TSegment*>());
    A.Segments.erase(It);
    A.Count.store(A.Segments.size(), std::memory_order_relaxed);
    A.Bytes -= S->Size;
    ZV_UNPOISON(S, S->Size);
    const std::size_t Size = S->Size;
    S->~TSegment();
    if (Size == MaxSegment && A.Spare.size() < A.Spare.capacity()) {
        A.Spare.push_back(S);  // (room was made when the arena was)
        ZV_POISON(reinterpret_cast<char*>(S) + TSegment::HeadSize(), MaxSegment - TSegment::HeadSize());
        return;
    }
    ::operator delete(static_cast<void*>(S));
}

// Under the lock: the thread no longer cuts from its current segment.
void Leave(TArena& A, TLocal& L)
{
    TSegment* S = L.Current;
    L.Current = nullptr;
    S->Current = false;
    if (S->Freed.load(std::memory_order_acquire) == S->Cut.load(std::memory_order_relaxed))
        Drop(A, S);
}

TSegment* NewSegment(TLocal& L, std::size_t Need)
{
    TArena& A = Arena();
    void* Memory = nullptr;
    std::size_t Size;
    {
        const std::lock_guard Guard(A.Lock);
        // Segments grow with what the arena holds, so that a small tree takes little.
        Size = std::max(Need + TSegment::HeadSize(), std::clamp(A.Bytes / 4, MinSegment, MaxSegment));
        if (Size == MaxSegment && !A.Spare.empty()) {
            Memory = A.Spare.back();
            A.Spare.pop_back();
        }
    }
    if (!Memory) {
        Memory = ::operator new(Size);
        PrefaultPages(Memory, Size);
    }
    auto* S = new (Memory) TSegment{nullptr, static_cast<char*>(Memory) + Size, 0, 0, Size, true};
    S->Next = S->Data();
    ZV_POISON(S->Next, static_cast<std::size_t>(S->End - S->Next));
    const std::lock_guard Guard(A.Lock);
    try {
        A.Segments.insert(std::upper_bound(A.Segments.begin(), A.Segments.end(), S, std::less<TSegment*>()), S);
    } catch (...) {
        S->~TSegment();
        ::operator delete(Memory);
        throw;
    }
    A.Count.store(A.Segments.size(), std::memory_order_relaxed);
    A.Bytes += Size;
    if (L.Current)
        Leave(A, L);
    L.Current = S;
    return S;
}

}  // namespace

constinit thread_local TNodeArenaCursor NodeArenaCursor;
constinit std::atomic<std::uint64_t> NodeArenaEpoch{0};

void* NodeAllocateSlow(std::size_t Size)
{
    TLocal& L = Local;
    if (L.Depth == 0)
        return ::operator new(Size);
    SaveCursor(L);
    Size = RoundUp(Size ? Size : 1);
    TSegment* S = L.Current;
    if (!S || static_cast<std::size_t>(S->End - S->Next) < Size)
        S = NewSegment(L, Size);
    void* P = S->Next;
    S->Next += Size;
    S->Cut.store(S->Cut.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    ZV_UNPOISON(P, Size);
    LoadCursor(L);
    return P;
}

void NodeFreeSlow(void* P, std::size_t Size) noexcept
{
    if (!P)
        return;
    TArena& A = Arena();
    // A block of a segment was cut after the segment was listed, so none is listed when none
    // is counted.
    if (A.Count.load(std::memory_order_relaxed) == 0) {
        ::operator delete(P);
        return;
    }
    std::unique_lock Guard(A.Lock);
    TSegment* S = Find(A, P);
    if (!S) {
        Guard.unlock();
        ::operator delete(P);
        return;
    }
    ZV_POISON(P, RoundUp(Size ? Size : 1));
    // Another thread may still cut from it, but then the segment stays whatever the counts say.
    if (S->Freed.fetch_add(1, std::memory_order_acq_rel) + 1 < S->Cut.load(std::memory_order_relaxed))
        return;
    TLocal& L = Local;
    if (S == L.Current && L.Depth > 0) {
        SaveCursor(L);
        S->Next = S->Data();
        LoadCursor(L);
    } else if (S == L.Current) {
        Leave(A, L);
    } else if (!S->Current) {
        Drop(A, S);
    }
}

TNodeArenaScope::TNodeArenaScope(bool Open) : FOpen(Open)
{
    if (!FOpen)
        return;
    TLocal& L = Local;
    SaveCursor(L);
    ++L.Depth;
    LoadCursor(L);
}

TNodeArenaScope::~TNodeArenaScope()
{
    if (!FOpen)
        return;
    TLocal& L = Local;
    SaveCursor(L);
    // Once the thread's last scope closes its segment is left to the trees in it, which may
    // be freed on any thread.
    if (--L.Depth == 0 && L.Current) {
        const std::lock_guard Guard(Arena().Lock);
        Leave(Arena(), L);
    }
    LoadCursor(L);
}

TNodeHeapScope::TNodeHeapScope() : FDepth(Local.Depth)
{
    TLocal& L = Local;
    SaveCursor(L);
    L.Depth = 0;
    LoadCursor(L);
}

TNodeHeapScope::~TNodeHeapScope()
{
    TLocal& L = Local;
    SaveCursor(L);
    L.Depth = FDepth;
    LoadCursor(L);
}

std::size_t NodeArenaBytes()
{
    TArena& A = Arena();
    const std::lock_guard Guard(A.Lock);
    return A.Bytes;
}

void NodeArenaRelease()
{
    TArena& A = Arena();
    const std::lock_guard Guard(A.Lock);
    for (TSegment* S : A.Spare) {
        ZV_UNPOISON(S, MaxSegment);
        ::operator delete(static_cast<void*>(S));
    }
    A.Spare.clear();
}

}  // namespace zv
