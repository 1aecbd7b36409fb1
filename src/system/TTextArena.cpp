#include "TTextArena.h"

#include "TMemoryBlocks.h"

#include <algorithm>

namespace {

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
        const std::size_t blockSize = TMemoryBlocks::growingSize(m_blocks.size(), size);
        void* block = TMemoryBlocks::take(blockSize);
        m_blocks.emplace_back(block, blockSize);
        m_next = static_cast<char*>(block);
        m_end = m_next + blockSize;
    }
    void* piece = m_next;
    m_next += size;
    return piece;
}

void TTextArena::shrinkLast(void* piece, std::size_t size) {
    m_next = static_cast<char*>(piece) + aligned(size);
}
