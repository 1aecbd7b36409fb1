#pragma once

#include <QString>
#include <vector>

struct TStrHashTableCollectionItem {
    QString name;
    QString value;
};

// An ordered name/value table with unique, case-sensitive names. Despite the name every look-up is a
// linear scan: the tables are a handful of table aliases.
class TStrHashTable {
public:
    void put(const QString& name, const QString& value);
    int indexOfName(const QString& name) const;
    QString valueOf(const QString& name) const;
    // The name of the last item holding value.
    QString nameOf(const QString& value) const;
    const QString& nameAt(int i) const { return m_items.at(std::size_t(i)).name; }
    const QString& valueAt(int i) const { return m_items.at(std::size_t(i)).value; }
    int count() const { return int(m_items.size()); }
    void clear() { m_items.clear(); }

private:
    std::vector<TStrHashTableCollectionItem> m_items;
};
