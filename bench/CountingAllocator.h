// Counts the heap allocations of a whole program, Qt's own included. Only a program that compiles
// CountingAllocator.cpp into itself counts; it replaces malloc, calloc and realloc for that program.
#pragma once

namespace reelkeep {

/// The number of allocations the program has made so far.
long allocationCount();

} // namespace reelkeep
