#pragma once

#include "TDbQuery.h"
#include "TPgQuery.h"

#include <deque>
#include <exception>
#include <vector>

class TPgConnection;

// A PostgreSQL result read forward as its rows arrive (libpq's single-row mode), so that a big
// result is never held whole. The connection is busy until the last row has been read; a statement
// sent on it meanwhile first has the stream read its remaining rows ahead (detach). A stream left
// before its end reads and drops the rest, so the connection is free again.
class TPgRowStream : public TDbQuery {
public:
    // first: the result carrying the columns and the first row (or all of them).
    TPgRowStream(TPgConnection& connection, TPgResult first);
    ~TPgRowStream() override;
    TPgRowStream(const TPgRowStream&) = delete;
    TPgRowStream& operator=(const TPgRowStream&) = delete;

    int fieldCount() const override { return int(m_fields.size()); }
    const TSourceField& field(int i) const override { return m_fields.at(std::size_t(i)); }
    bool isEmpty() const override { return m_empty; }
    bool eof() const override { return !m_current; }
    void first() override;
    void next() override;
    int position() const override { return m_position; }
    void setPosition(int row) override;
    bool forwardOnly() const override { return true; }
    QVariant value(int i) const override;
    void readRow(const std::vector<int>& columns, TRecordWriter& writer) const override;

    // Called by the connection before it sends another statement, or when it closes.
    void detach();
    void connectionGone();

private:
    // The next result with rows from the connection or from the rows read ahead; null at the end.
    TPgResult take();

    TPgConnection* m_connection; // null once the connection is no longer read
    TPgResult m_current;         // holds the current row; null past the last
    int m_row = 0;               // the current row within m_current
    std::deque<TPgResult> m_readAhead;
    std::exception_ptr m_failure; // met while reading ahead, raised when its place is reached
    std::vector<TSourceField> m_fields;
    std::vector<Oid> m_types;
    int m_position = 0;
    bool m_empty = true;
};
