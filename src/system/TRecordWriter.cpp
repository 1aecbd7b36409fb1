#include "TRecordWriter.h"

#include "TField.h"

#include <cmath>

TRecordWriter::TRecordWriter(TRowStore& store, std::vector<TField*> dataFields)
    : m_store(store), m_fields(std::move(dataFields)) {
    for (const TField* field : m_fields)
        m_columns.push_back(field->index());
}

void TRecordWriter::setNull(int k) {
    m_store.setNull(m_row, m_columns[std::size_t(k)]);
}

void TRecordWriter::setInteger(int k, qint32 value) {
    if (isIntegerType(m_fields[std::size_t(k)]->dataType()))
        m_store.setInteger(m_row, m_columns[std::size_t(k)], value);
    else
        setValue(k, value);
}

void TRecordWriter::setFloat(int k, double value) {
    const TFieldType type = m_fields[std::size_t(k)]->dataType();
    if (type == TFieldType::Float)
        m_store.setFloat(m_row, m_columns[std::size_t(k)], value);
    else if (type == TFieldType::Currency)
        m_store.setFloat(m_row, m_columns[std::size_t(k)], std::round(value * 10000.0) / 10000.0);
    else
        setValue(k, value);
}

void TRecordWriter::setBoolean(int k, bool value) {
    if (m_fields[std::size_t(k)]->dataType() == TFieldType::Boolean)
        m_store.setBoolean(m_row, m_columns[std::size_t(k)], value);
    else
        setValue(k, value);
}

void TRecordWriter::setDateTime(int k, const QDateTime& value) {
    if (m_fields[std::size_t(k)]->dataType() == TFieldType::DateTime && value.isValid())
        m_store.setDateTime(m_row, m_columns[std::size_t(k)], value);
    else
        setValue(k, value);
}

void TRecordWriter::setUtf8(int k, const char* text, qsizetype length) {
    const TField* field = m_fields[std::size_t(k)];
    const int column = m_columns[std::size_t(k)];
    switch (field->dataType()) {
    case TFieldType::String:
    case TFieldType::WideString: {
        if (length == 0) {
            m_store.setNull(m_row, column);
            return;
        }
        const qsizetype units = m_store.setLoadedText(m_row, column, text, length);
        if (field->size() > 0 && units > field->size())
            m_store.setValue(m_row, column, field->convert(m_store.value(m_row, column))); // refuses
        return;
    }
    case TFieldType::Memo:
        m_store.setLoadedText(m_row, column, text, length);
        return;
    default:
        setValue(k, QString::fromUtf8(text, length));
        return;
    }
}

void TRecordWriter::setValue(int k, const QVariant& value) {
    const TField* field = m_fields[std::size_t(k)];
    const int column = m_columns[std::size_t(k)];
    if (field->storesAsIs(value))
        m_store.setValue(m_row, column, value);
    else if (value.isValid() && !value.isNull())
        m_store.setValue(m_row, column, field->convert(value));
    else
        m_store.setNull(m_row, column);
}
