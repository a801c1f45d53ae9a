#pragma once
// Whole pages of memory handed to the system ahead of use or given back after it. Both act
// only on the pages that lie wholly inside the range, and do nothing where the system cannot.

#include <cstddef>

namespace zv {

// Makes the pages of a range that is about to be written resident in one call, rather than
// one fault at a time as it is first touched.
void PrefaultPages(void* Begin, std::size_t Bytes);

// Gives the pages of a range that is no longer read back to the system; they read as zeros
// afterwards.
void GiveBackPages(void* Begin, std::size_t Bytes);

}  // namespace zv
