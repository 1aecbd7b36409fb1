#pragma once

#include "TDbQuery.h"

#include <QVariantList>
#include <vector>

// A query result held entirely in memory: for client libraries whose cursors only go forward, and
// for scripted results in tests.
class TMemoryQuery : public TDbQuery {
public:
    TMemoryQuery(std::vector<TSourceField> fields, std::vector<QVariantList> rows);

    int fieldCount() const override { return int(m_fields.size()); }
    const TSourceField& field(int i) const override { return m_fields.at(std::size_t(i)); }
    bool isEmpty() const override { return m_rows.empty(); }
    bool eof() const override { return m_row >= int(m_rows.size()); }
    void first() override { m_row = 0; }
    void next() override;
    int position() const override { return m_row; }
    void setPosition(int row) override { m_row = row; }
    QVariant value(int i) const override;

private:
    std::vector<TSourceField> m_fields;
    std::vector<QVariantList> m_rows;
    int m_row = 0;
};
