#include "TMemoryBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <vector>

namespace {

// Blocks from this size up come from the C library as fresh mappings: they are the ones kept.
constexpr std::size_t keptFrom = std::size_t(128) << 10;

struct Pool {
    std::mutex lock;
    std::map<std::size_t, std::vector<void*>> blocks; // by size
    std::size_t bytes = 0;
};

// Never destroyed: record sets held by the program's singletons give their blocks back while the
// program's statics are being destroyed.
Pool& pool() {
    static Pool* const instance = new Pool;
    return *instance;
}

std::size_t pages(std::size_t size) {
    return (size + 4095) / 4096 * 4096;
}

} // namespace

void* TMemoryBlocks::take(std::size_t size) {
    size = pages(size);
    if (size >= keptFrom) {
        Pool& p = pool();
        std::lock_guard lock(p.lock);
        const auto kept = p.blocks.find(size);
        if (kept != p.blocks.end() && !kept->second.empty()) {
            void* block = kept->second.back();
            kept->second.pop_back();
            p.bytes -= size;
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
    size = pages(size);
    if (size >= keptFrom && size <= hugeBlock) {
        Pool& p = pool();
        std::lock_guard lock(p.lock);
        if (p.bytes + size <= keptBytes) {
            p.blocks[size].push_back(block);
            p.bytes += size;
            return;
        }
    }
    std::free(block);
}
