#pragma once

#include <cstddef>

// Large blocks of memory for the record stores. A block of a huge page's size is backed by a huge
// page where the system allows. A block of 128 KB or more, when given back, is kept for the next
// record set (up to keptBytes in all) rather than returned to the system: on a virtual machine,
// faulting fresh memory in costs more than reading the rows that fill it.
class TMemoryBlocks {
public:
    static constexpr std::size_t hugeBlock = std::size_t(2) << 20;
    static constexpr std::size_t keptBytes = std::size_t(64) << 20;

    // At least size bytes, rounded up to whole pages; aligned to a huge page when that big.
    static void* take(std::size_t size);
    static void give(void* block, std::size_t size);
    // The size of a store's next block after blocksSoFar: doubling from a page, so that a small
    // record set stays small, up to a huge page; whole pages, never less than need.
    static std::size_t growingSize(std::size_t blocksSoFar, std::size_t need);
};
