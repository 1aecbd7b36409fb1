#include "TPgQuery.h"

#include "TRecordWriter.h"

#include <QDateTime>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <unordered_map>

namespace {

// Type oids of pg_type.
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    NameOid = 19,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    MoneyOid = 790,
    BpcharOid = 1042,
    VarcharOid = 1043,
    DateOid = 1082,
    TimeOid = 1083,
    TimestampOid = 1114,
    TimestampTzOid = 1184,
    NumericOid = 1700,
    UuidOid = 2950,
};

template <typename T> T number(const char* text, int length) {
    T value{};
    std::from_chars(text, text + length, value);
    return value;
}

// Digits at [at, at + count) as a number; the text's shape is PostgreSQL's ISO output.
int digits(const char* text, int at, int count) {
    int value = 0;
    for (int i = at; i < at + count; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

QDate isoDate(const char* text, int length) {
    if (length < 10 || text[4] != '-')
        return QDate::fromString(QString::fromLatin1(text, length), Qt::ISODate); // BC dates, infinity
    return QDate(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
}

// "hh:mm:ss[.ffffff]": milliseconds rounded down, as the record set keeps them.
QTime isoTime(const char* text, int length, int* end) {
    int ms = 0;
    int i = 8;
    if (i < length && text[i] == '.') {
        int scale = 100;
        for (++i; i < length && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
            ms += (text[i] - '0') * scale;
    }
    *end = i;
    return QTime(digits(text, 0, 2), digits(text, 3, 2), digits(text, 6, 2), ms);
}

// The local zone's offset from UTC during one hour of one day, when it is the same all that hour.
// Working it out costs the C library a look at the zone's file; a result holds many times of the
// same hours.
std::optional<int> steadyLocalOffset(const QDate& date, int hour) {
    thread_local std::unordered_map<qint64, std::optional<int>> known;
    const qint64 key = date.toJulianDay() * 24 + hour;
    const auto found = known.find(key);
    if (found != known.end())
        return found->second;
    if (known.size() > 4096)
        known.clear();
    // The hours either side must have the same offset too: a wall hour repeated when the clocks go
    // back has a steady offset on each of its two passes.
    const QDateTime before = QDateTime(date, QTime(0, 0)).addSecs(3600 * (hour - 1));
    const QDateTime start(date, QTime(hour, 0));
    const QDateTime end = QDateTime(date, QTime(0, 0)).addSecs(3600 * (hour + 1));
    std::optional<int> offset;
    if (before.isValid() && start.isValid() && end.isValid() &&
        before.offsetFromUtc() == start.offsetFromUtc() && start.offsetFromUtc() == end.offsetFromUtc() &&
        start.toSecsSinceEpoch() - before.toSecsSinceEpoch() == 3600 &&
        end.toSecsSinceEpoch() - start.toSecsSinceEpoch() == 3600)
        offset = start.offsetFromUtc();
    return known[key] = offset;
}

// A time without a zone is local time. Within an hour the zone does not change, the moment is
// given by its offset (the same wall time, and equal to the local date-time); in the hour of a
// change of the zone's offset the local time works it out.
struct Moment {
    qint64 msecs;
    int offsetSeconds;
};

// The moment of a local date and time within an hour of a steady offset, worked out here: Qt's own
// conversion of a date and a time costs more than the rest of reading the value.
std::optional<Moment> steadyLocalMoment(const QDate& date, const QTime& time) {
    const std::optional<int> offset = steadyLocalOffset(date, time.hour());
    if (!offset)
        return std::nullopt;
    constexpr qint64 unixEpochDay = 2440588;
    return Moment{(date.toJulianDay() - unixEpochDay) * 86400000 + time.msecsSinceStartOfDay() -
                      qint64(*offset) * 1000,
                  *offset};
}

QDateTime localDateTime(const QDate& date, const QTime& time) {
    if (const std::optional<Moment> moment = steadyLocalMoment(date, time))
        return QDateTime::fromMSecsSinceEpoch(moment->msecs, Qt::OffsetFromUTC, moment->offsetSeconds);
    return QDateTime(date, time);
}

QDateTime timestamp(const char* text, int length, bool withZone) {
    if (length < 19 || text[10] != ' ')
        return QDateTime::fromString(QString::fromLatin1(text, length), Qt::ISODate);
    int end = 0;
    const QDate date = isoDate(text, 10);
    const QTime time = isoTime(text + 11, length - 11, &end);
    if (!withZone)
        return localDateTime(date, time);
    // "+03", "+05:30" or "-01:00:00" after the time: the moment shown in the local zone.
    const char* zone = text + 11 + end;
    const int zoneLength = length - 11 - end;
    int offset = 0;
    if (zoneLength >= 3) {
        offset = digits(zone, 1, 2) * 3600;
        if (zoneLength >= 6)
            offset += digits(zone, 4, 2) * 60;
        if (zone[0] == '-')
            offset = -offset;
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offset).toLocalTime();
}

// PostgreSQL's hex output of bytea: two digits a byte, nothing else; documents run to megabytes.
QByteArray fromHex(const char* digits, int length) {
    static const auto values = [] {
        std::array<signed char, 256> table{};
        table.fill(-1);
        for (int i = 0; i < 10; ++i)
            table['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i)
            table['a' + i] = table['A' + i] = static_cast<signed char>(10 + i);
        return table;
    }();
    QByteArray bytes(length / 2, Qt::Uninitialized);
    char* out = bytes.data();
    for (int i = 0; i + 1 < length; i += 2)
        *out++ = char((values[uchar(digits[i])] << 4) | values[uchar(digits[i + 1])]);
    return bytes;
}

QVariant money(const char* text, int length) {
    QByteArray plain;
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || c == '.' || c == '-')
            plain.append(c);
    }
    return plain.toDouble();
}

} // namespace

TPgQuery::TPgQuery(TPgResult result) : m_result(std::move(result)) {
    const int columns = PQnfields(m_result.get());
    for (int i = 0; i < columns; ++i) {
        m_fields.push_back(columnField(m_result.get(), i));
        m_types.push_back(PQftype(m_result.get(), i));
    }
    m_rows = PQntuples(m_result.get());
}

void TPgQuery::next() {
    if (m_row < m_rows)
        ++m_row;
}

QVariant TPgQuery::value(int i) const {
    if (m_row >= m_rows || PQgetisnull(m_result.get(), m_row, i))
        return {};
    return textValue(m_types[std::size_t(i)], PQgetvalue(m_result.get(), m_row, i),
                     PQgetlength(m_result.get(), m_row, i));
}

void TPgQuery::readRow(const std::vector<int>& columns, TRecordWriter& writer) const {
    if (m_row < m_rows)
        writeRow(m_result.get(), m_row, columns, m_types, writer);
}

void TPgQuery::writeRow(const PGresult* result, int r, const std::vector<int>& columns,
                        const std::vector<Oid>& types, TRecordWriter& writer) {
    for (int k = 0; k < int(columns.size()); ++k) {
        const int i = columns[std::size_t(k)];
        if (i >= 0)
            writeValue(result, r, i, types[std::size_t(i)], writer, k);
    }
}

void TPgQuery::writeValue(const PGresult* result, int r, int i, Oid type, TRecordWriter& writer, int k) {
    // Only an empty text can be a null: the flag is asked for those alone.
    const int length = PQgetlength(result, r, i);
    if (length == 0 && PQgetisnull(result, r, i))
        writer.setNull(k);
    else
        writeText(type, PQgetvalue(result, r, i), length, writer, k);
}

void TPgQuery::writeText(Oid type, const char* text, int length, TRecordWriter& writer, int k) {
    switch (type) {
    case BoolOid:
        writer.setBoolean(k, text[0] == 't');
        return;
    case Int2Oid:
    case Int4Oid:
        writer.setInteger(k, number<int>(text, length));
        return;
    case Float4Oid:
    case Float8Oid: {
        const bool word = length > 0 && (text[0] == 'N' || text[0] == 'I' ||
                                         (text[0] == '-' && length > 1 && text[1] == 'I'));
        if (word)
            writer.setValue(k, textValue(type, text, length));
        else
            writer.setFloat(k, number<double>(text, length));
        return;
    }
    case TimestampOid:
        if (length >= 19 && text[10] == ' ') {
            int end = 0;
            const QDate date = isoDate(text, 10);
            const QTime time = isoTime(text + 11, length - 11, &end);
            if (const std::optional<Moment> moment = steadyLocalMoment(date, time)) {
                writer.setMoment(k, moment->msecs, moment->offsetSeconds);
                return;
            }
        }
        writer.setDateTime(k, timestamp(text, length, false));
        return;
    case OidOid:
    case Int8Oid:
    case NumericOid:
    case MoneyOid:
    case DateOid:
    case TimeOid:
    case TimestampTzOid:
    case ByteaOid:
        writer.setValue(k, textValue(type, text, length));
        return;
    default: // every other type is read as its text, as textValue does
        writer.setUtf8(k, text, length);
        return;
    }
}

TSourceField TPgQuery::columnField(const PGresult* result, int column) {
    TSourceField field{QString::fromUtf8(PQfname(result, column)), TSourceFieldType::String, 0};
    const int modifier = PQfmod(result, column); // the declared length + 4 for character types
    switch (PQftype(result, column)) {
    case BoolOid:
        field.type = TSourceFieldType::Boolean;
        break;
    case Int8Oid:
        field.type = TSourceFieldType::LargeInt;
        break;
    case Int2Oid:
        field.type = TSourceFieldType::SmallInt;
        break;
    case Int4Oid:
    case OidOid:
        field.type = TSourceFieldType::Integer;
        break;
    case NameOid:
        field.size = 64;
        break;
    case TextOid: // the counterpart of SQL Server's text columns
        field.type = TSourceFieldType::Memo;
        break;
    case BpcharOid:
        field.type = TSourceFieldType::FixedChar;
        field.size = std::max(modifier - 4, 1);
        break;
    case Float4Oid:
    case Float8Oid:
        field.type = TSourceFieldType::Float;
        break;
    case MoneyOid:
        field.type = TSourceFieldType::Currency;
        break;
    case NumericOid:
        field.type = TSourceFieldType::Decimal;
        break;
    case DateOid:
        field.type = TSourceFieldType::Date;
        break;
    case TimeOid:
        field.type = TSourceFieldType::Time;
        break;
    case TimestampOid:
    case TimestampTzOid:
        field.type = TSourceFieldType::DateTime;
        break;
    case ByteaOid:
        field.type = TSourceFieldType::Bytes;
        break;
    case UuidOid:
        field.type = TSourceFieldType::Guid;
        break;
    default: // varchar and every type without a counterpart reads as text
        field.size = modifier > 4 ? modifier - 4 : 8000;
        break;
    }
    return field;
}

QVariant TPgQuery::textValue(Oid type, const char* text, int length) {
    switch (type) {
    case BoolOid:
        return text[0] == 't';
    case Int2Oid:
    case Int4Oid:
        return number<int>(text, length);
    case OidOid:
        return int(number<unsigned>(text, length));
    case Int8Oid:
        return number<qlonglong>(text, length);
    case Float4Oid:
    case Float8Oid:
    case NumericOid: {
        // PostgreSQL writes the special values as words ("NaN", "Infinity", "-Infinity").
        if (length > 0 && text[0] == 'N')
            return std::numeric_limits<double>::quiet_NaN();
        if (length > 0 && (text[0] == 'I' || (text[0] == '-' && length > 1 && text[1] == 'I')))
            return text[0] == '-' ? -std::numeric_limits<double>::infinity()
                                  : std::numeric_limits<double>::infinity();
        return number<double>(text, length);
    }
    case MoneyOid:
        return money(text, length);
    case DateOid:
        return isoDate(text, length);
    case TimeOid: {
        int end = 0;
        return isoTime(text, length, &end);
    }
    case TimestampOid:
        return timestamp(text, length, false);
    case TimestampTzOid:
        return timestamp(text, length, true);
    case ByteaOid: { // hex output: "\x" and two digits a byte
        if (length >= 2 && text[0] == '\\' && text[1] == 'x')
            return fromHex(text + 2, length - 2);
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        QByteArray result(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return result;
    }
    default:
        return QString::fromUtf8(text, length);
    }
}
