#include "TPermissionCollection.h"

namespace {

bool lessThan(const TPermissionItem& item, qint32 tableId, qint32 rowId) {
    return item.TableId < tableId || (item.TableId == tableId && item.RowId < rowId);
}

} // namespace

bool TPermissionCollection::Find(qint32 tableId, qint32 rowId, int& index) const {
    int low = 0;
    int high = count() - 1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const TPermissionItem& item = m_items[std::size_t(mid)];
        if (lessThan(item, tableId, rowId))
            low = mid + 1;
        else if (item.TableId == tableId && item.RowId == rowId) {
            index = mid;
            return true;
        } else
            high = mid - 1;
    }
    index = low;
    return false;
}

TPermissionItem* TPermissionCollection::FindItem(qint32 tableId, qint32 rowId) {
    int index = 0;
    return Find(tableId, rowId, index) ? &m_items[std::size_t(index)] : nullptr;
}

void TPermissionCollection::SetPermission(qint32 tableId, qint32 rowId, TActionSet actions) {
    if (Loading) {
        if (actions != 0)
            m_items.push_back({TPermissionItem::AsRead, actions, tableId, rowId});
        return;
    }
    int index = 0;
    if (!Find(tableId, rowId, index)) {
        if (actions != 0)
            m_items.insert(m_items.begin() + index, {TPermissionItem::New, actions, tableId, rowId});
        return;
    }
    TPermissionItem& item = m_items[std::size_t(index)];
    if (item.Actions == actions)
        return;
    if (item.State == TPermissionItem::New) {
        if (actions == 0)
            m_items.erase(m_items.begin() + index); // never written: nothing to delete
        else
            item.Actions = actions;
        return;
    }
    item.Actions = actions;
    item.State = actions == 0 ? TPermissionItem::Emptied : TPermissionItem::Changed;
}
