#include "PageMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace zv {

namespace {

// Ranges shorter than this are left to the faults of first use.
constexpr std::size_t MinPrefault = 64 * 1024;

// The whole pages inside [Begin, Begin + Bytes), or an empty range.
bool InnerPages(void* Begin, std::size_t Bytes, void*& From, std::size_t& Length)
{
    static const auto PageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto Start = reinterpret_cast<std::uintptr_t>(Begin);
    const std::uintptr_t First = (Start + PageSize - 1) & ~(PageSize - 1);
    const std::uintptr_t Last = (Start + Bytes) & ~(PageSize - 1);
    if (Last <= First)
        return false;
    From = reinterpret_cast<void*>(First);
    Length = Last - First;
    return true;
}

}  // namespace

void PrefaultPages(void* Begin, std::size_t Bytes)
{
#ifdef MADV_POPULATE_WRITE
    void* From;
    std::size_t Length;
    if (Bytes >= MinPrefault && InnerPages(Begin, Bytes, From, Length))
        madvise(From, Length, MADV_POPULATE_WRITE);
#else
    (void)Begin;
    (void)Bytes;
#endif
}

void GiveBackPages(void* Begin, std::size_t Bytes)
{
    void* From;
    std::size_t Length;
    if (InnerPages(Begin, Bytes, From, Length))
        madvise(From, Length, MADV_DONTNEED);
}

}  // namespace zv
