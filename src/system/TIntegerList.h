#pragma once

#include <QtGlobal>
#include <vector>

// An ordered list of 32-bit integers (ids of linked records).
class TIntegerList {
public:
    void add(qint32 value) { m_values.push_back(value); }
    // Raises EError for an index outside 0..count-1.
    qint32 valueAt(int i) const;
    int indexOf(qint32 value) const;
    int count() const { return int(m_values.size()); }
    void clear() { m_values.clear(); }

private:
    std::vector<qint32> m_values;
};
