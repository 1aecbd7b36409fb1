#pragma once

#include "TSourceField.h"

#include <QVariant>
#include <vector>

class TRecordWriter;

// An open query result: the columns and a cursor over the rows. A fresh result stands on its first
// row (eof when it has none). Null values are returned as an invalid QVariant. A result opened to be
// read forward (TDbConnection::openForwardQuery) cannot go back: first() only at its start,
// setPosition only to where it stands.
class TDbQuery {
public:
    virtual ~TDbQuery() = default;

    virtual int fieldCount() const = 0;
    virtual const TSourceField& field(int i) const = 0;
    virtual bool isEmpty() const = 0;
    virtual bool eof() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    // 0-based row of the cursor; setPosition returns to a remembered one.
    virtual int position() const = 0;
    virtual void setPosition(int row) = 0;
    virtual bool forwardOnly() const { return false; }
    virtual QVariant value(int i) const = 0;
    // The current row as a record being loaded: column columns[k] as data field k, none for -1.
    virtual void readRow(const std::vector<int>& columns, TRecordWriter& writer) const;

    // Case-insensitive; -1 when absent.
    int fieldIndex(const QString& name) const;
    // Raises EDataSetError when the result has no such column.
    QVariant value(const QString& name) const;
};
