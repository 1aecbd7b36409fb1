#pragma once

#include "TDbQuery.h"

#include <QSqlField>
#include <QSqlQuery>
#include <vector>

// A PostgreSQL result read through QSqlQuery with random access (libpq holds the whole result on the
// client). The column type mappings of both Qt SQL drivers live here too.
class TQtSqlQuery : public TDbQuery {
public:
    explicit TQtSqlQuery(QSqlQuery query);

    int fieldCount() const override { return int(m_fields.size()); }
    const TSourceField& field(int i) const override { return m_fields.at(std::size_t(i)); }
    bool isEmpty() const override { return m_empty; }
    bool eof() const override { return m_eof; }
    void first() override { m_eof = !m_query.first(); }
    void next() override;
    int position() const override { return m_query.at(); }
    void setPosition(int row) override { m_eof = !m_query.seek(row); }
    QVariant value(int i) const override;

    // Column types of a PostgreSQL result, from the type ids QPSQL reports.
    static TSourceField postgresField(const QSqlField& field);
    // Column types of an ODBC result, from the SQL type codes QODBC reports.
    static TSourceField odbcField(const QSqlField& field);

private:
    QSqlQuery m_query;
    std::vector<TSourceField> m_fields;
    bool m_empty = true;
    bool m_eof = true;
};
