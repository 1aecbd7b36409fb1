#pragma once

#include "TPermissionItem.h"

#include <vector>

// Row permissions kept in ascending (TableId, RowId) order, one item per pair; while Loading the
// items are appended as the reading query delivers them, already in that order.
class TPermissionCollection {
public:
    bool Loading = false;

    // Halving search; when absent, index is the insertion position.
    bool Find(qint32 tableId, qint32 rowId, int& index) const;
    TPermissionItem* FindItem(qint32 tableId, qint32 rowId);
    // Sets the actions of a pair, keeping each item's state for saving (see the transitions).
    void SetPermission(qint32 tableId, qint32 rowId, TActionSet actions);

    int count() const { return int(m_items.size()); }
    const TPermissionItem& items(int i) const { return m_items.at(std::size_t(i)); }
    void clear() { m_items.clear(); }
    void assign(const TPermissionCollection& other) { m_items = other.m_items; }

private:
    std::vector<TPermissionItem> m_items;
};
