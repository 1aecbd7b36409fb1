#include "TRecordWriter.h"

#include "TField.h"

TRecordWriter::TRecordWriter(TRowStore& store, std::vector<TField*> dataFields)
    : m_store(store), m_fields(std::move(dataFields)) {
    for (const TField* field : m_fields) {
        m_columns.push_back(field->index());
        switch (field->dataType()) {
        case TFieldType::Integer:
        case TFieldType::AutoInc:
            m_targets.push_back(Target::Integer);
            break;
        case TFieldType::Float:
            m_targets.push_back(Target::Float);
            break;
        case TFieldType::Boolean:
            m_targets.push_back(Target::Boolean);
            break;
        case TFieldType::DateTime:
            m_targets.push_back(Target::DateTime);
            break;
        case TFieldType::String:
        case TFieldType::WideString:
            m_targets.push_back(Target::Text);
            break;
        case TFieldType::Memo:
            m_targets.push_back(Target::Memo);
            break;
        default: // a currency is rounded to four places by its conversion
            m_targets.push_back(Target::Other);
            break;
        }
    }
}

void TRecordWriter::setDateTime(int k, const QDateTime& value) {
    if (m_targets[std::size_t(k)] == Target::DateTime && value.isValid())
        m_store.setDateTime(m_row, m_columns[std::size_t(k)], value);
    else
        setValue(k, value);
}

void TRecordWriter::setMoment(int k, qint64 msecs, int offsetSeconds) {
    if (m_targets[std::size_t(k)] == Target::DateTime)
        m_store.setMoment(m_row, m_columns[std::size_t(k)], msecs, offsetSeconds);
    else
        setValue(k, QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, offsetSeconds));
}

void TRecordWriter::setUtf8(int k, const char* text, qsizetype length) {
    const TField* field = m_fields[std::size_t(k)];
    const int column = m_columns[std::size_t(k)];
    switch (m_targets[std::size_t(k)]) {
    case Target::Text: {
        if (length == 0) {
            m_store.setNull(m_row, column);
            return;
        }
        const qsizetype units = m_store.setLoadedText(m_row, column, text, length);
        if (field->size() > 0 && units > field->size())
            m_store.setValue(m_row, column, field->convert(m_store.value(m_row, column))); // refuses
        return;
    }
    case Target::Memo:
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
