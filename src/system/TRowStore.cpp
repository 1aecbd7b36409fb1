#include "TRowStore.h"

#include <QStringDecoder>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum : quint32 {
    CalculatedFlag = 1,
    // Some value of the record holds memory of its own (a date-time, an edited text, another
    // value): releasing the record must look at each.
    HoldsValuesFlag = 2
};

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
        std::launder(reinterpret_cast<QDateTime*>(cell.dateTime))->~QDateTime();
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
        return *std::launder(reinterpret_cast<const QDateTime*>(cell.dateTime));
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

void TRowStore::setDateTime(Row* row, int column, const QDateTime& value) {
    if (!isNull(row, column))
        clear(row, column);
    new (cells(row)[column].dateTime) QDateTime(value);
    markSet(row, column);
    row->flags |= HoldsValuesFlag;
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
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QChar* begin = reinterpret_cast<QChar*>(text->characters());
    const QChar* end = decoder.appendToBuffer(begin, QByteArrayView(utf8, length));
    text->length = qint32(end - begin);
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
