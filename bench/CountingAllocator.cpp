// The counting allocator: malloc, calloc and realloc that count, then hand over to the C library.
#include "CountingAllocator.h"

#include <atomic>
#include <cstddef>

namespace {

std::atomic<long> allocations{0};

} // namespace

long reelkeep::allocationCount()
{
    return allocations.load();
}

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);

void* malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void* realloc(void* memory, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(memory, size);
}
}
