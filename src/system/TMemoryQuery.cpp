#include "TMemoryQuery.h"

TMemoryQuery::TMemoryQuery(std::vector<TSourceField> fields, std::vector<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows)) {}

void TMemoryQuery::next() {
    if (!eof())
        ++m_row;
}

QVariant TMemoryQuery::value(int i) const {
    if (eof() || m_row < 0 || i < 0 || i >= m_rows[std::size_t(m_row)].size())
        return {};
    const QVariant& v = m_rows[std::size_t(m_row)].at(i);
    return v.isNull() ? QVariant() : v;
}
