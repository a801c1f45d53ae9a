#include "NodeArena.h"

#include <algorithm>
#include <functional>
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
    char* Next;
    char* End;
    std::size_t Live;  // blocks in use
    std::size_t Size;  // bytes, head included

    char* Data() { return reinterpret_cast<char*>(this) + HeadSize(); }
    static constexpr std::size_t HeadSize() { return (sizeof(TSegment) + Alignment - 1) & ~(Alignment - 1); }
};

struct TArena {
    std::vector<TSegment*> Segments;  // by address
    TSegment* Current = nullptr;
    TSegment* LastFreed = nullptr;  // where the last block freed lay: a tree is freed in runs
    std::size_t Bytes = 0;
    int Depth = 0;
    std::vector<TSegment*> Spare;  // freed full-size segments, not in Segments nor in Bytes

    TArena() { Spare.reserve(SpareLimit / MaxSegment); }
};

// Never destroyed, so that nodes freed during program end still find it.
TArena& Arena()
{
    static TArena* const Instance = new TArena;
    return *Instance;
}

std::size_t RoundUp(std::size_t Size) { return (Size + Alignment - 1) & ~(Alignment - 1); }

// The cursor is the current segment's end to cut from while a scope is open; the segment's own
// Next is brought up to date from it before anything else looks at the segment.
void SaveCursor(TArena& A)
{
    if (NodeArenaCursor.Next)
        A.Current->Next = NodeArenaCursor.Next;
}

void LoadCursor(TArena& A)
{
    TNodeArenaCursor& C = NodeArenaCursor;
    if (A.Depth > 0 && A.Current) {
        C.Next = A.Current->Next;
        C.End = A.Current->End;
        C.Live = &A.Current->Live;
    } else {
        C.Next = C.End = nullptr;
        C.Live = nullptr;
    }
}

void SetLastFreed(TArena& A, TSegment* S)
{
    A.LastFreed = S;
    TNodeArenaCursor& C = NodeArenaCursor;
    C.FreedBegin = reinterpret_cast<const char*>(S);
    C.FreedEnd = S ? S->End : nullptr;
    C.FreedLive = S ? &S->Live : nullptr;
}

TSegment* Find(TArena& A, const void* P)
{
    const auto* Address = static_cast<const char*>(P);
    if (TSegment* S = A.LastFreed; S && !std::less<const char*>()(Address, reinterpret_cast<const char*>(S)) &&
                                   std::less<const char*>()(Address, S->End))
        return S;
    auto It = std::upper_bound(A.Segments.begin(), A.Segments.end(), Address,
                               [](const char* X, const TSegment* S) {
                                   return std::less<const char*>()(X, reinterpret_cast<const char*>(S));
                               });
    if (It == A.Segments.begin())
        return nullptr;
    TSegment* S = *(It - 1);
    if (!std::less<const char*>()(Address, S->End))
        return nullptr;
    SetLastFreed(A, S);
    return S;
}

void Drop(TArena& A, TSegment* S)
{
    const auto It = std::lower_bound(A.Segments.begin(), A.Segments.end(), S, std::less<TSegment*>());
    A.Segments.erase(It);
    if (A.LastFreed == S)
        SetLastFreed(A, nullptr);
    A.Bytes -= S->Size;
    ZV_UNPOISON(S, S->Size);
    if (S->Size == MaxSegment && A.Spare.size() < A.Spare.capacity()) {
        A.Spare.push_back(S);  // (room was made when the arena was)
        ZV_POISON(S->Data(), static_cast<std::size_t>(S->End - S->Data()));
        return;
    }
    ::operator delete(static_cast<void*>(S));
}

TSegment* NewSegment(TArena& A, std::size_t Need)
{
    // Segments grow with what the arena holds, so that a small tree takes little.
    const std::size_t Size = std::max(Need + TSegment::HeadSize(), std::clamp(A.Bytes / 4, MinSegment, MaxSegment));
    void* Memory;
    if (Size == MaxSegment && !A.Spare.empty()) {
        Memory = A.Spare.back();
        A.Spare.pop_back();
    } else {
        Memory = ::operator new(Size);
        PrefaultPages(Memory, Size);
    }
    auto* S = new (Memory) TSegment{nullptr, static_cast<char*>(Memory) + Size, 0, Size};
    S->Next = S->Data();
    ZV_POISON(S->Next, static_cast<std::size_t>(S->End - S->Next));
    try {
        A.Segments.insert(std::upper_bound(A.Segments.begin(), A.Segments.end(), S, std::less<TSegment*>()), S);
    } catch (...) {
        ::operator delete(Memory);
        throw;
    }
    A.Bytes += Size;
    if (TSegment* Old = A.Current; Old && Old->Live == 0)
        Drop(A, Old);
    A.Current = S;
    return S;
}

}  // namespace

constinit TNodeArenaCursor NodeArenaCursor;

void* NodeAllocateSlow(std::size_t Size)
{
    TArena& A = Arena();
    if (A.Depth == 0)
        return ::operator new(Size);
    SaveCursor(A);
    Size = RoundUp(Size ? Size : 1);
    TSegment* S = A.Current;
    if (!S || static_cast<std::size_t>(S->End - S->Next) < Size)
        S = NewSegment(A, Size);
    void* P = S->Next;
    S->Next += Size;
    ++S->Live;
    ZV_UNPOISON(P, Size);
    LoadCursor(A);
    return P;
}

void NodeFreeSlow(void* P, std::size_t Size) noexcept
{
    if (!P)
        return;
    TArena& A = Arena();
    TSegment* S = A.Segments.empty() ? nullptr : Find(A, P);
    if (!S) {
        ::operator delete(P);
        return;
    }
    ZV_POISON(P, RoundUp(Size ? Size : 1));
    if (--S->Live > 0)
        return;
    SaveCursor(A);
    if (S == A.Current && A.Depth > 0) {
        S->Next = S->Data();
    } else {
        if (S == A.Current)
            A.Current = nullptr;
        Drop(A, S);
    }
    LoadCursor(A);
}

TNodeArenaScope::TNodeArenaScope(bool Open) : FOpen(Open)
{
    if (!FOpen)
        return;
    TArena& A = Arena();
    SaveCursor(A);
    ++A.Depth;
    LoadCursor(A);
}

TNodeArenaScope::~TNodeArenaScope()
{
    if (!FOpen)
        return;
    TArena& A = Arena();
    SaveCursor(A);
    if (--A.Depth == 0 && A.Current && A.Current->Live == 0) {
        Drop(A, A.Current);
        A.Current = nullptr;
    }
    LoadCursor(A);
}

TNodeHeapScope::TNodeHeapScope() : FDepth(Arena().Depth)
{
    TArena& A = Arena();
    SaveCursor(A);
    A.Depth = 0;
    LoadCursor(A);
}

TNodeHeapScope::~TNodeHeapScope()
{
    TArena& A = Arena();
    SaveCursor(A);
    A.Depth = FDepth;
    LoadCursor(A);
}

std::size_t NodeArenaBytes() { return Arena().Bytes; }

void NodeArenaRelease()
{
    TArena& A = Arena();
    for (TSegment* S : A.Spare) {
        ZV_UNPOISON(S, S->Size);
        ::operator delete(static_cast<void*>(S));
    }
    A.Spare.clear();
}

}  // namespace zv
