#pragma once

#include "TFieldType.h"
#include "TPieceStore.h"
#include "TTextArena.h"

#include <QDateTime>
#include <QStringView>
#include <QVariant>
#include <vector>

// The records of a record set with typed values: a value takes eight bytes of its record and a null
// one bit; a text takes its characters and eight bytes besides, in large blocks when it was loaded
// (freed with the store) or in a block of its own when an edit gave it (freed when replaced); a
// date-time is kept as its moment and kind of time (local, UTC, a fixed offset in whole minutes),
// any other in a block of its own. A value reads back as the QVariant its field's conversion makes:
// int, double, bool, QDateTime, QString, or the value itself for other types.
class TRowStore {
    union Cell;

public:
    struct Row {
        quint32 flags;
        quint32 unused;
    };

    explicit TRowStore(const std::vector<TFieldType>& columnTypes);
    ~TRowStore();
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;

    // A record with every value null.
    Row* newRow();
    void release(Row* row);
    // Frees what the record's values hold besides the record, for a store about to go whole.
    void destroyValues(Row* row);

    bool calculated(const Row* row) const;
    void setCalculated(Row* row, bool calculated);

    bool isNull(const Row* row, int column) const {
        return (reinterpret_cast<const quint64*>(row + 1)[column / 64] >> (column % 64)) & 1;
    }
    QVariant value(const Row* row, int column) const;
    // A text column's characters without a copy, valid until the value changes; empty for null.
    QStringView text(const Row* row, int column) const;

    // A value already of the column's type (TField::convert); anything else is converted plainly.
    void setValue(Row* row, int column, const QVariant& value);
    void setNull(Row* row, int column);
    void setInteger(Row* row, int column, qint32 value) { cellToSet(row, column).integer = value; }
    void setFloat(Row* row, int column, double value) { cellToSet(row, column).real = value; }
    void setBoolean(Row* row, int column, bool value) { cellToSet(row, column).flag = value; }
    void setDateTime(Row* row, int column, const QDateTime& value);
    // The moment msecs after the epoch, shown at a fixed offset from UTC: what QDateTime's
    // OffsetFromUTC gives, without making one.
    void setMoment(Row* row, int column, qint64 msecs, int offsetSeconds);
    // A date-time column's moment, milliseconds after the epoch; 0 for null.
    qint64 moment(const Row* row, int column) const;
    // Decodes UTF-8 text into a text column, in the blocks kept until the store goes; returns the
    // number of UTF-16 units stored.
    qsizetype setLoadedText(Row* row, int column, const char* utf8, qsizetype length);

private:
    enum class Kind : quint8 { Integer, Float, Boolean, DateTime, Text, Other };
    struct Text {
        qint32 length;
        quint32 owned; // allocated alone, freed when replaced
        char16_t* characters() { return reinterpret_cast<char16_t*>(this + 1); }
        const QChar* chars() const { return reinterpret_cast<const QChar*>(this + 1); }
    };
    union Cell {
        qint32 integer;
        double real;
        bool flag;
        quint64 dateTime; // see packMoment
        QDateTime* boxedDateTime;
        Text* text;
        QVariant* other;
    };

    quint64* nullBits(Row* row) const { return reinterpret_cast<quint64*>(row + 1); }
    Cell* cells(Row* row) const { return reinterpret_cast<Cell*>(nullBits(row) + m_nullWords); }
    const Cell* cells(const Row* row) const { return cells(const_cast<Row*>(row)); }
    // Destroys what a non-null value holds besides its cell, and marks it null.
    void clear(Row* row, int column);
    void markSet(Row* row, int column) { nullBits(row)[column / 64] &= ~(quint64(1) << (column % 64)); }
    // The cell of a value of a plain type about to be written: what it held is gone, it is not null.
    Cell& cellToSet(Row* row, int column) {
        if (!isNull(row, column))
            clear(row, column);
        markSet(row, column);
        return cells(row)[column];
    }
    void setText(Row* row, int column, QStringView text);

    std::vector<Kind> m_kinds;
    std::size_t m_nullWords;
    TPieceStore m_pieces;
    TTextArena m_texts;
};
