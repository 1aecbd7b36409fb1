#include "TTextArena.h"

#include "TMemoryBlocks.h"

#include <algorithm>

namespace {

constexpr std::size_t blockSize = TMemoryBlocks::hugeBlock;
constexpr std::size_t alignment = 8;

std::size_t aligned(std::size_t size) {
    return (size + alignment - 1) / alignment * alignment;
}

} // namespace

TTextArena::~TTextArena() {
    for (const auto& [block, size] : m_blocks)
        TMemoryBlocks::give(block, size);
}

void* TTextArena::take(std::size_t size) {
    size = aligned(size);
    if (m_next == nullptr || std::size_t(m_end - m_next) < size) {
        // Blocks double from a small one, so that a small record set stays small; a big one gets
        // huge pages.
        const std::size_t wanted = std::max(
            size, std::min(blockSize, std::size_t(16384) << std::min<std::size_t>(m_blocks.size(), 7)));
        const std::size_t rounded = (wanted + 4095) / 4096 * 4096;
        void* block = TMemoryBlocks::take(rounded);
        m_blocks.emplace_back(block, rounded);
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
