#include "TStrHashTable.h"

void TStrHashTable::put(const QString& name, const QString& value) {
    const int i = indexOfName(name);
    if (i >= 0)
        m_items[std::size_t(i)].value = value;
    else
        m_items.push_back({name, value});
}

int TStrHashTable::indexOfName(const QString& name) const {
    for (int i = count() - 1; i >= 0; --i) {
        if (m_items[std::size_t(i)].name == name)
            return i;
    }
    return -1;
}

QString TStrHashTable::valueOf(const QString& name) const {
    const int i = indexOfName(name);
    return i >= 0 ? m_items[std::size_t(i)].value : QString();
}

QString TStrHashTable::nameOf(const QString& value) const {
    for (int i = count() - 1; i >= 0; --i) {
        if (m_items[std::size_t(i)].value == value)
            return m_items[std::size_t(i)].name;
    }
    return {};
}
