// Room at the top of the heap in huge pages, for a short process that builds a large catalogue.
#include "cli/HugePageHeap.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace reelkeep {

// A catalogue of thousands of films is hundreds of thousands of small blocks in fresh memory. The
// kernel hands fresh memory out one 4 KB page at a time, a fault each, and on a large catalogue
// those faults take about as long as reading the list. Memory marked for huge pages comes 2 MB at
// a time, and the films then also sit in far fewer pages when the page is made in title order.
//
// malloc serves small blocks from the top of one heap. A block of the whole size, taken from the
// heap, marked and given back, leaves that much marked room at the top for the blocks to come.
bool prepareHugePageHeap(std::size_t bytes)
{
#if defined(__linux__) && defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t HugePage = std::uintptr_t(2) << 20;
    if (bytes < 4 * HugePage)
        return false;
    if (bytes > std::size_t(INT_MAX) / 2)
        bytes = std::size_t(INT_MAX) / 2;
    // The block must come from the heap rather than a mapping of its own (blocks from the
    // threshold up get one), and its room must stay in the heap once it is given back (the heap
    // gives back a top from the threshold up).
    const int threshold = int(bytes) * 2;
    if (mallopt(M_MMAP_THRESHOLD, threshold) == 0 || mallopt(M_TRIM_THRESHOLD, threshold) == 0)
        return false;
    void* room = std::malloc(bytes);
    if (room == nullptr)
        return false;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(room);
    const std::uintptr_t first = (start + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(HugePage - 1);
    const bool marked = madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE) == 0;
    std::free(room);
    return marked;
#else
    (void)bytes;
    return false;
#endif
}

} // namespace reelkeep
