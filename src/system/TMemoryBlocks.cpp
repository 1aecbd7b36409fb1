#include "TMemoryBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <vector>

namespace {

std::mutex& poolLock() {
    static std::mutex lock;
    return lock;
}

std::vector<void*>& pool() {
    static std::vector<void*> blocks;
    return blocks;
}

std::size_t pages(std::size_t size) {
    return (size + 4095) / 4096 * 4096;
}

} // namespace

void* TMemoryBlocks::take(std::size_t size) {
    size = pages(size);
    if (size == hugeBlock) {
        std::lock_guard lock(poolLock());
        if (!pool().empty()) {
            void* block = pool().back();
            pool().pop_back();
            return block;
        }
    }
    void* block = std::aligned_alloc(size >= hugeBlock ? hugeBlock : 4096, size);
    if (!block)
        throw std::bad_alloc();
    if (size >= hugeBlock)
        madvise(block, size, MADV_HUGEPAGE);
    return block;
}

std::size_t TMemoryBlocks::growingSize(std::size_t blocksSoFar, std::size_t need) {
    return pages(
        std::max(need, std::min(hugeBlock, std::size_t(4096) << std::min<std::size_t>(blocksSoFar, 9))));
}

void TMemoryBlocks::give(void* block, std::size_t size) {
    if (pages(size) == hugeBlock) {
        std::lock_guard lock(poolLock());
        if (pool().size() < keptBlocks) {
            pool().push_back(block);
            return;
        }
    }
    std::free(block);
}
