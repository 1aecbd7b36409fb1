#include "TPieceStore.h"

#include "TMemoryBlocks.h"

#include <algorithm>

namespace {

constexpr std::size_t pieceAlignment = 8; // records of eight-byte values

} // namespace

TPieceStore::TPieceStore(std::size_t pieceSize)
    : m_pieceSize((pieceSize + pieceAlignment - 1) / pieceAlignment * pieceAlignment) {}

TPieceStore::~TPieceStore() {
    for (const auto& [block, size] : m_blocks)
        TMemoryBlocks::give(block, size);
}

void* TPieceStore::take() {
    if (!m_free.empty()) {
        void* piece = m_free.back();
        m_free.pop_back();
        return piece;
    }
    if (m_next == nullptr || std::size_t(m_end - m_next) < m_pieceSize) {
        const std::size_t size = TMemoryBlocks::growingSize(m_blocks.size(), m_pieceSize);
        void* block = TMemoryBlocks::take(size);
        m_blocks.emplace_back(block, size);
        m_next = static_cast<char*>(block);
        m_end = m_next + size;
    }
    void* piece = m_next;
    m_next += m_pieceSize;
    return piece;
}

void TPieceStore::give(void* piece) {
    m_free.push_back(piece);
}
