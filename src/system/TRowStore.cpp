#include "TRowStore.h"

#include <QStringDecoder>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

namespace {

enum : quint32 {
    CalculatedFlag = 1,
    // Some value of the record holds memory of its own (a date-time, an edited text, another
    // value): releasing the record must look at each.
    HoldsValuesFlag = 2
};

// A date-time in eight bytes: two bits of kind, fourteen of offset in minutes (signed) and
// forty-eight of milliseconds after the epoch (signed: about 4,400 years either side of 1970).
// What does not fit (a time zone, an offset in seconds, a far date) is kept in a box, whose
// address takes the forty-eight bits.
enum : quint64 { LocalTag = 0, UtcTag = 1, OffsetTag = 2, BoxedTag = 3 };
constexpr int momentBits = 48;
constexpr qint64 momentLimit = qint64(1) << (momentBits - 1);

quint64 momentTag(quint64 packed) {
    return packed >> 62;
}

qint64 momentMsecs(quint64 packed) {
    return qint64(packed << 16) >> 16;
}

int momentOffsetSeconds(quint64 packed) {
    return int(qint64(packed << 2) >> 50) * 60;
}

std::optional<quint64> packMoment(qint64 msecs, quint64 tag, int offsetSeconds) {
    if (msecs <= -momentLimit || msecs >= momentLimit || offsetSeconds % 60 != 0 ||
        std::abs(offsetSeconds / 60) >= 8192)
        return std::nullopt;
    return (tag << 62) | ((quint64(qint64(offsetSeconds / 60)) & 0x3FFF) << momentBits) |
           (quint64(msecs) & ((quint64(1) << momentBits) - 1));
}

quint64 boxedMoment(QDateTime* box) {
    return (BoxedTag << 62) | quint64(reinterpret_cast<quintptr>(box));
}

QDateTime* boxed(quint64 packed) {
    return reinterpret_cast<QDateTime*>(quintptr(packed & ~(quint64(3) << 62)));
}

QDateTime unpackMoment(quint64 packed) {
    switch (momentTag(packed)) {
    case LocalTag:
        return QDateTime::fromMSecsSinceEpoch(momentMsecs(packed), Qt::LocalTime);
    case UtcTag:
        return QDateTime::fromMSecsSinceEpoch(momentMsecs(packed), Qt::UTC);
    case OffsetTag:
        return QDateTime::fromMSecsSinceEpoch(momentMsecs(packed), Qt::OffsetFromUTC,
                                              momentOffsetSeconds(packed));
    default:
        return *boxed(packed);
    }
}

} // namespace

TRowStore::TRowStore(const std::vector<TFieldType>& columnTypes)
    : m_nullWords((columnTypes.size() + 63) / 64),
      m_pieces(sizeof(Row) + (columnTypes.size() + 63) / 64 * sizeof(quint64) +
               columnTypes.size() * sizeof(Cell)) {
    static_assert(sizeof(Cell) == 8 && sizeof(Row) == 8 && sizeof(Text) == 8);
    m_kinds.reserve(columnTypes.size());
    for (const TFieldType type : columnTypes) {
        switch (type) {
        case TFieldType::String:
        case TFieldType::WideString:
        case TFieldType::Memo:
            m_kinds.push_back(Kind::Text);
            break;
        case TFieldType::Integer:
        case TFieldType::AutoInc:
            m_kinds.push_back(Kind::Integer);
            break;
        case TFieldType::Float:
        case TFieldType::Currency:
            m_kinds.push_back(Kind::Float);
            break;
        case TFieldType::Boolean:
            m_kinds.push_back(Kind::Boolean);
            break;
        case TFieldType::DateTime:
            m_kinds.push_back(Kind::DateTime);
            break;
        case TFieldType::Blob:
            m_kinds.push_back(Kind::Other);
            break;
        }
    }
}

TRowStore::~TRowStore() = default;

TRowStore::Row* TRowStore::newRow() {
    Row* row = new (m_pieces.take()) Row{0, 0};
    std::memset(nullBits(row), 0xFF, m_nullWords * sizeof(quint64));
    return row;
}

void TRowStore::destroyValues(Row* row) {
    if (!(row->flags & HoldsValuesFlag))
        return;
    for (int column = 0; column < int(m_kinds.size()); ++column)
        clear(row, column);
    row->flags &= ~quint32(HoldsValuesFlag);
}

void TRowStore::release(Row* row) {
    destroyValues(row);
    m_pieces.give(row);
}

bool TRowStore::calculated(const Row* row) const {
    return row->flags & CalculatedFlag;
}

void TRowStore::setCalculated(Row* row, bool calculated) {
    row->flags = calculated ? row->flags | CalculatedFlag : row->flags & ~quint32(CalculatedFlag);
}

void TRowStore::clear(Row* row, int column) {
    if (isNull(row, column))
        return;
    Cell& cell = cells(row)[column];
    switch (m_kinds[std::size_t(column)]) {
    case Kind::DateTime:
        if (momentTag(cell.dateTime) == BoxedTag)
            delete boxed(cell.dateTime);
        break;
    case Kind::Text:
        if (cell.text->owned)
            std::free(cell.text);
        break;
    case Kind::Other:
        delete cell.other;
        break;
    default:
        break;
    }
    nullBits(row)[column / 64] |= quint64(1) << (column % 64);
}

QVariant TRowStore::value(const Row* row, int column) const {
    if (isNull(row, column))
        return {};
    const Cell& cell = cells(row)[column];
    switch (m_kinds[std::size_t(column)]) {
    case Kind::Integer:
        return cell.integer;
    case Kind::Float:
        return cell.real;
    case Kind::Boolean:
        return cell.flag;
    case Kind::DateTime:
        return unpackMoment(cell.dateTime);
    case Kind::Text:
        return QString(cell.text->chars(), cell.text->length);
    case Kind::Other:
        return *cell.other;
    }
    return {};
}

QStringView TRowStore::text(const Row* row, int column) const {
    if (m_kinds[std::size_t(column)] != Kind::Text || isNull(row, column))
        return {};
    const Text* text = cells(row)[column].text;
    return QStringView(text->chars(), text->length);
}

void TRowStore::setNull(Row* row, int column) {
    if (!isNull(row, column))
        clear(row, column);
}

void TRowStore::setMoment(Row* row, int column, qint64 msecs, int offsetSeconds) {
    if (const std::optional<quint64> packed =
            packMoment(msecs, offsetSeconds == 0 ? UtcTag : OffsetTag, offsetSeconds)) {
        if (!isNull(row, column))
            clear(row, column);
        cells(row)[column].dateTime = *packed;
        markSet(row, column);
        return;
    }
    setDateTime(row, column, QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, offsetSeconds));
}

qint64 TRowStore::moment(const Row* row, int column) const {
    if (isNull(row, column))
        return 0;
    const quint64 packed = cells(row)[column].dateTime;
    return momentTag(packed) == BoxedTag ? boxed(packed)->toMSecsSinceEpoch() : momentMsecs(packed);
}

void TRowStore::setDateTime(Row* row, int column, const QDateTime& value) {
    std::optional<quint64> packed;
    switch (value.timeSpec()) {
    case Qt::LocalTime:
        packed = packMoment(value.toMSecsSinceEpoch(), LocalTag, 0);
        break;
    case Qt::UTC:
        packed = packMoment(value.toMSecsSinceEpoch(), UtcTag, 0);
        break;
    case Qt::OffsetFromUTC:
        packed = packMoment(value.toMSecsSinceEpoch(), OffsetTag, value.offsetFromUtc());
        break;
    default:
        break;
    }
    if (!value.isValid())
        packed.reset();
    auto* box = packed ? nullptr : new QDateTime(value);
    if (!isNull(row, column))
        clear(row, column);
    if (packed) {
        cells(row)[column].dateTime = *packed;
    } else {
        cells(row)[column].dateTime = boxedMoment(box);
        row->flags |= HoldsValuesFlag;
    }
    markSet(row, column);
}

void TRowStore::setText(Row* row, int column, QStringView value) {
    auto* text = static_cast<Text*>(std::malloc(sizeof(Text) + std::size_t(value.size()) * sizeof(char16_t)));
    if (!text)
        throw std::bad_alloc();
    text->length = qint32(value.size());
    text->owned = 1;
    if (!value.isEmpty())
        std::memcpy(text->characters(), value.utf16(), std::size_t(value.size()) * sizeof(char16_t));
    if (!isNull(row, column))
        clear(row, column);
    cells(row)[column].text = text;
    markSet(row, column);
    row->flags |= HoldsValuesFlag;
}

qsizetype TRowStore::setLoadedText(Row* row, int column, const char* utf8, qsizetype length) {
    // A UTF-8 byte gives at most one UTF-16 unit: decode into that much room, then give back the rest.
    const std::size_t room = sizeof(Text) + std::size_t(length) * sizeof(char16_t);
    auto* text = static_cast<Text*>(m_texts.take(room));
    char16_t* out = text->characters();
    // One- and two-byte characters (Latin and Cyrillic text) are decoded here; from the first other
    // byte on, Qt's decoder takes the rest.
    const auto* in = reinterpret_cast<const unsigned char*>(utf8);
    qsizetype i = 0;
    while (i < length) {
        const unsigned char c = in[i];
        if (c < 0x80) {
            *out++ = c;
            ++i;
        } else if (c >= 0xC2 && c < 0xE0 && i + 1 < length && (in[i + 1] & 0xC0) == 0x80) {
            *out++ = char16_t(((c & 0x1F) << 6) | (in[i + 1] & 0x3F));
            i += 2;
        } else {
            // A byte-order mark opening the text is dropped, as QString::fromUtf8 drops it.
            QStringDecoder decoder(QStringDecoder::Utf8, i == 0
                                                             ? QStringDecoder::Flag::Stateless
                                                             : QStringDecoder::Flag::Stateless |
                                                                   QStringDecoder::Flag::ConvertInitialBom);
            QChar* rest = reinterpret_cast<QChar*>(out);
            out = reinterpret_cast<char16_t*>(
                decoder.appendToBuffer(rest, QByteArrayView(utf8 + i, length - i)));
            break;
        }
    }
    text->length = qint32(out - text->characters());
    text->owned = 0;
    m_texts.shrinkLast(text, sizeof(Text) + std::size_t(text->length) * sizeof(char16_t));
    if (!isNull(row, column))
        clear(row, column);
    cells(row)[column].text = text;
    markSet(row, column);
    return text->length;
}

void TRowStore::setValue(Row* row, int column, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        if (!isNull(row, column))
            clear(row, column);
        return;
    }
    switch (m_kinds[std::size_t(column)]) {
    case Kind::Integer:
        setInteger(row, column, value.toInt());
        break;
    case Kind::Float:
        setFloat(row, column, value.toDouble());
        break;
    case Kind::Boolean:
        setBoolean(row, column, value.toBool());
        break;
    case Kind::DateTime:
        setDateTime(row, column, value.toDateTime());
        break;
    case Kind::Text:
        if (value.typeId() == QMetaType::QString)
            setText(row, column, *static_cast<const QString*>(value.constData()));
        else
            setText(row, column, value.toString());
        break;
    case Kind::Other: {
        auto* copy = new QVariant(value);
        if (!isNull(row, column))
            clear(row, column);
        cells(row)[column].other = copy;
        markSet(row, column);
        row->flags |= HoldsValuesFlag;
        break;
    }
    }
}
