#pragma once

#include "TDbQuery.h"

#include <libpq-fe.h>

#include <memory>
#include <vector>

struct PGresultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using TPgResult = std::unique_ptr<PGresult, PGresultDeleter>;

// A PostgreSQL result as libpq holds it, whole, on the client: values are turned into QVariants
// only when read, straight from the server's text.
class TPgQuery : public TDbQuery {
public:
    explicit TPgQuery(TPgResult result);

    int fieldCount() const override { return int(m_fields.size()); }
    const TSourceField& field(int i) const override { return m_fields.at(std::size_t(i)); }
    bool isEmpty() const override { return m_rows == 0; }
    bool eof() const override { return m_row >= m_rows; }
    void first() override { m_row = 0; }
    void next() override;
    int position() const override { return m_row; }
    void setPosition(int row) override { m_row = row; }
    QVariant value(int i) const override;
    void readRow(const std::vector<int>& columns, TRecordWriter& writer) const override;

    // The column type of a result column, from its type oid and modifier.
    static TSourceField columnField(const PGresult* result, int column);
    // A value in PostgreSQL's text output (DateStyle ISO) as the column's type; null as invalid.
    static QVariant textValue(Oid type, const char* text, int length);
    // The same value written as data field k of a record being loaded, without a QVariant for the
    // common types.
    static void writeText(Oid type, const char* text, int length, TRecordWriter& writer, int k);
    // Column i of row r of a result, by writeText; null when the server sent null.
    static void writeValue(const PGresult* result, int r, int i, Oid type, TRecordWriter& writer, int k);
    // Row r of a result by writeValue, column columns[k] as data field k (none for -1).
    static void writeRow(const PGresult* result, int r, const std::vector<int>& columns,
                         const std::vector<Oid>& types, TRecordWriter& writer);

private:
    TPgResult m_result;
    std::vector<TSourceField> m_fields;
    std::vector<Oid> m_types;
    int m_rows = 0;
    int m_row = 0;
};
