#include "RecordCopy.h"

#include "TMemoryData.h"

void copyNamedFields(TMemoryData& target, TMemoryData& source, const QString& names) {
    if (source.isEmpty() || !target.isEditing())
        return;
    const QStringList wanted = names.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = target.fieldCount() - 1; i >= 0; --i) {
        TField* to = target.field(i);
        if (to->fieldKind() != TFieldKind::Data)
            continue;
        if (!wanted.isEmpty() && !wanted.contains(to->fieldName(), Qt::CaseInsensitive))
            continue;
        if (const TField* from = source.findField(to->fieldName()))
            to->setValue(from->value());
    }
}

void copyFields(TMemoryData& target, TMemoryData& source) {
    copyNamedFields(target, source, QString());
}
