#pragma once

#include "TRowStore.h"

#include <QDateTime>
#include <QVariant>
#include <vector>

class TField;

// Writes the values of a record being loaded straight into the record set's store, by the rules of
// TField::convert, without a QVariant for the common column types: a value of the field's own type
// is stored as it is, any other is converted. Field k is the k-th data field.
class TRecordWriter {
public:
    TRecordWriter(TRowStore& store, std::vector<TField*> dataFields);

    int fieldCount() const { return int(m_fields.size()); }
    void setRow(TRowStore::Row* row) { m_row = row; }

    void setNull(int k) { m_store.setNull(m_row, m_columns[std::size_t(k)]); }
    void setInteger(int k, qint32 value) {
        if (m_targets[std::size_t(k)] == Target::Integer)
            m_store.setInteger(m_row, m_columns[std::size_t(k)], value);
        else
            setValue(k, value);
    }
    void setFloat(int k, double value) {
        if (m_targets[std::size_t(k)] == Target::Float)
            m_store.setFloat(m_row, m_columns[std::size_t(k)], value);
        else
            setValue(k, value);
    }
    void setBoolean(int k, bool value) {
        if (m_targets[std::size_t(k)] == Target::Boolean)
            m_store.setBoolean(m_row, m_columns[std::size_t(k)], value);
        else
            setValue(k, value);
    }
    void setDateTime(int k, const QDateTime& value);
    // The moment msecs after the epoch at a fixed offset from UTC (QDateTime's OffsetFromUTC).
    void setMoment(int k, qint64 msecs, int offsetSeconds);
    // Text in UTF-8; as in every string field of the record sets, empty text is null.
    void setUtf8(int k, const char* text, qsizetype length);
    void setValue(int k, const QVariant& value);

private:
    // The field types whose values are stored without a conversion; Other converts.
    enum class Target : quint8 { Integer, Float, Boolean, DateTime, Text, Memo, Other };

    TRowStore& m_store;
    std::vector<TField*> m_fields;
    std::vector<int> m_columns;
    std::vector<Target> m_targets;
    TRowStore::Row* m_row = nullptr;
};
