#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Equal pieces of raw memory taken from large blocks, for the many small records of a big record
// set: one allocation per block instead of one per record, and blocks the kernel may back with huge
// pages, so that loading a million records does not fault in a million small pages. A piece given
// back is reused; the blocks are freed with the store.
class TPieceStore {
public:
    explicit TPieceStore(std::size_t pieceSize);
    ~TPieceStore();
    TPieceStore(const TPieceStore&) = delete;
    TPieceStore& operator=(const TPieceStore&) = delete;

    std::size_t pieceSize() const { return m_pieceSize; }
    // Uninitialised memory for one piece, aligned to eight bytes.
    void* take();
    void give(void* piece);

private:
    std::size_t m_pieceSize;
    std::vector<std::pair<void*, std::size_t>> m_blocks;
    std::vector<void*> m_free;
    char* m_next = nullptr;
    char* m_end = nullptr;
};
