#include "TTextArena.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::size_t blockSize = std::size_t(2) << 20; // one huge page
constexpr std::size_t alignment = 8;

std::size_t aligned(std::size_t size) {
    return (size + alignment - 1) / alignment * alignment;
}

} // namespace

TTextArena::~TTextArena() {
    for (void* block : m_blocks)
        std::free(block);
}

void* TTextArena::take(std::size_t size) {
    size = aligned(size);
    if (m_next == nullptr || std::size_t(m_end - m_next) < size) {
        // Blocks double from a small one, so that a small record set stays small; a big one gets
        // huge pages.
        const std::size_t wanted = std::max(
            size, std::min(blockSize, std::size_t(16384) << std::min<std::size_t>(m_blocks.size(), 7)));
        const std::size_t rounded = (wanted + 4095) / 4096 * 4096;
        void* block = std::aligned_alloc(rounded >= blockSize ? blockSize : 4096, rounded);
        if (!block)
            throw std::bad_alloc();
        if (rounded >= blockSize)
            madvise(block, rounded, MADV_HUGEPAGE);
        m_blocks.push_back(block);
        m_next = static_cast<char*>(block);
        m_end = m_next + rounded;
    }
    void* piece = m_next;
    m_next += size;
    return piece;
}

void TTextArena::shrinkLast(void* piece, std::size_t size) {
    m_next = static_cast<char*>(piece) + aligned(size);
}
