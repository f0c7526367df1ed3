// Room at the top of the heap in huge pages, for a short process that builds a large catalogue.
#pragma once

#include <cstddef>

namespace reelkeep {

/// Makes room for about `bytes` more bytes of small blocks at the top of the heap, marked for huge
/// pages, and keeps the heap from giving it back. Returns whether it did: only on Linux with the
/// GNU C library, and only for room of several huge pages (at most 1 GB).
///
/// It changes how the whole process allocates from then on (large blocks come from the heap too,
/// and the heap never shrinks), so only a process that ends soon after should ask for it.
bool prepareHugePageHeap(std::size_t bytes);

} // namespace reelkeep
