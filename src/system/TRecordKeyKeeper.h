#pragma once

#include "TMemoryData.h"

// The key of the record being saved, as it was before the save: a versioned book's save moves the
// record's key to the new version's row, which a rollback takes away again.
class TRecordKeyKeeper {
public:
    TRecordKeyKeeper(TMemoryData& data, const QString& keyField)
        : m_field(data.findField(keyField)), m_value(m_field ? m_field->value() : QVariant()) {}

    void restore() const {
        if (m_field && m_field->dataSet()->isEditing() && m_field->value() != m_value)
            m_field->setValue(m_value);
    }

private:
    TField* m_field;
    QVariant m_value;
};
