#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Memory for many texts of varying length that all live as long as the arena: pieces are taken from
// large blocks one after another and are freed only with the arena. The last piece taken may be
// shortened, so that a text can be decoded into room for its longest form first.
class TTextArena {
public:
    TTextArena() = default;
    ~TTextArena();
    TTextArena(const TTextArena&) = delete;
    TTextArena& operator=(const TTextArena&) = delete;

    // Room for size bytes, aligned to eight.
    void* take(std::size_t size);
    // Gives back the end of the last piece taken, which now needs only size bytes.
    void shrinkLast(void* piece, std::size_t size);

private:
    std::vector<std::pair<void*, std::size_t>> m_blocks;
    char* m_next = nullptr;
    char* m_end = nullptr;
};
