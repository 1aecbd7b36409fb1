#pragma once

#include "EError.h"

#include <QtGlobal>
#include <algorithm>
#include <functional>
#include <vector>

// References ordered ascending by a key the key function computes from each element; keys are unique.
// Elements are not owned.
template <typename T> class TIdentObjectList {
public:
    using KeyFunction = std::function<qint32(const T*)>;

    explicit TIdentObjectList(KeyFunction key) : m_key(std::move(key)) {
        if (!m_key)
            throw EError(QStringLiteral("Не задана функция сравнения."));
    }

    // Index of the element with the same key when there is one (nothing is added), otherwise the
    // position where the element was inserted.
    int add(T* element) {
        int position = 0;
        if (search(m_key(element), position))
            return position;
        m_items.insert(m_items.begin() + position, element);
        return position;
    }

    // The same as adding each element in turn, in O(n log n): on equal keys the element already in
    // the list, then the earlier one, stays.
    void addAll(const std::vector<T*>& elements) {
        m_items.insert(m_items.end(), elements.begin(), elements.end());
        std::stable_sort(m_items.begin(), m_items.end(), [this](T* a, T* b) { return m_key(a) < m_key(b); });
        const auto last =
            std::unique(m_items.begin(), m_items.end(), [this](T* a, T* b) { return m_key(a) == m_key(b); });
        m_items.erase(last, m_items.end());
    }

    int find(qint32 key) const {
        int position = 0;
        return search(key, position) ? position : -1;
    }

    T* item(int i) const { return m_items.at(std::size_t(i)); }
    int count() const { return int(m_items.size()); }
    void clear() { m_items.clear(); }

private:
    // Halving search. Keys are compared, not subtracted: ids far apart (the -2147483647 marker) would
    // overflow a difference.
    bool search(qint32 key, int& position) const {
        int low = 0;
        int high = count() - 1;
        while (low <= high) {
            const int mid = (low + high) / 2;
            const qint32 midKey = m_key(m_items[std::size_t(mid)]);
            if (midKey < key)
                low = mid + 1;
            else if (midKey > key)
                high = mid - 1;
            else {
                position = mid;
                return true;
            }
        }
        position = low;
        return false;
    }

    KeyFunction m_key;
    std::vector<T*> m_items;
};
