#include "TPieceStore.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

constexpr std::size_t blockSize = std::size_t(2) << 20; // one huge page
constexpr std::size_t pieceAlignment = 8;               // records of eight-byte values

} // namespace

TPieceStore::TPieceStore(std::size_t pieceSize)
    : m_pieceSize((pieceSize + pieceAlignment - 1) / pieceAlignment * pieceAlignment) {}

TPieceStore::~TPieceStore() {
    for (void* block : m_blocks)
        std::free(block);
}

void* TPieceStore::take() {
    if (!m_free.empty()) {
        void* piece = m_free.back();
        m_free.pop_back();
        return piece;
    }
    if (m_next == nullptr || std::size_t(m_end - m_next) < m_pieceSize) {
        // Blocks double from a small one, so that a small record set stays small; a big one gets
        // huge pages.
        const std::size_t size = std::max(
            m_pieceSize, std::min(blockSize, std::size_t(4096) << std::min<std::size_t>(m_blocks.size(), 9)));
        void* block = std::aligned_alloc(size >= blockSize ? blockSize : 4096, (size + 4095) / 4096 * 4096);
        if (!block)
            throw std::bad_alloc();
        if (size >= blockSize)
            madvise(block, size, MADV_HUGEPAGE);
        m_blocks.push_back(block);
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
