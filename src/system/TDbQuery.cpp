#include "TDbQuery.h"

#include "EDataSetError.h"
#include "TRecordWriter.h"

int TDbQuery::fieldIndex(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (field(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant TDbQuery::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw EDataSetError(QStringLiteral("Поле '%1' не найдено").arg(name));
    return value(i);
}

void TDbQuery::readRow(const std::vector<int>& columns, TRecordWriter& writer) const {
    for (int k = 0; k < int(columns.size()); ++k) {
        if (columns[std::size_t(k)] >= 0)
            writer.setValue(k, value(columns[std::size_t(k)]));
    }
}
