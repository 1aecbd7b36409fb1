#include "TStoredRecordCheck.h"

#include "ERecordGone.h"
#include "TDbAttrCollection.h"
#include "TDbAttribute.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TextHelpers.h"

namespace {

bool sameValue(const QVariant& a, const QVariant& b) {
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    return a == b;
}

QString shown(const QVariant& value) {
    return !value.isValid() || value.isNull() ? QStringLiteral("(пусто)") : value.toString();
}

} // namespace

TStoredRecordCheck::TStoredRecordCheck(TDbAttrCollection& book, TMemoryData& record)
    : m_book(book), m_record(record) {}

bool TStoredRecordCheck::changedMeanwhile() {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString table = m_book.mainTableName();
    const QString key = m_book.keyFieldName();
    TField* keyField = m_record.fieldByName(key);
    m_id = m_liveId = m_record.oldValue(keyField).toInt();
    const QString ownRow = key + QLatin1Char('=') + QString::number(m_id);
    if (m_book.isMsul) {
        const auto own =
            db->openQuery(db->lockingSelect(QStringLiteral("ENTITY_ID, DELETION_ID"), table, ownRow));
        if (own->eof() || !own->value(QStringLiteral("DELETION_ID")).isNull()) {
            // Someone saved a newer version, or deleted the record: the live version decides. A book
            // read through a view of live versions no longer sees the superseded row at all.
            const QVariant entity = own->eof()
                                        ? m_record.oldValue(m_record.fieldByName(QStringLiteral("ENTITY_ID")))
                                        : own->value(QStringLiteral("ENTITY_ID"));
            if (!entity.isValid() || entity.isNull())
                throw ERecordGone();
            const auto live = db->openQuery(
                db->lockingSelect(key, table,
                                  QStringLiteral("ENTITY_ID=") + QString::number(entity.toInt()) +
                                      QStringLiteral(" AND DELETION_ID IS NULL")));
            if (live->eof())
                throw ERecordGone();
            m_liveId = live->value(0).toInt();
        }
    } else if (db->openQuery(db->lockingSelect(key, table, ownRow))->eof()) {
        throw ERecordGone();
    }

    const auto stored = db->openQuery(
        m_book.sqlSelectWhere(table + QLatin1Char('.') + key + QLatin1Char('=') + QString::number(m_liveId)));
    if (stored->eof())
        throw ERecordGone();
    m_stored.clear();
    m_differences.clear();
    for (int i = 0; i < m_book.count(); ++i) {
        const TDbAttribute& a = *m_book.items(i);
        if (!sameText(a.tableName, table) || a.isCalculated() || a.isLookup() || sameText(a.name, key) ||
            (m_book.isMsul && sameText(a.name, QStringLiteral("ENTITY_ID"))))
            continue;
        TField* field = m_record.findField(a.fieldName());
        const int column = stored->fieldIndex(a.fieldName());
        if (!field || field->fieldKind() != TFieldKind::Data || column < 0)
            continue;
        const QVariant value = field->convert(stored->value(column));
        m_stored.emplace_back(field, value);
        if (!sameValue(m_record.oldValue(field), value))
            m_differences.push_back({field->displayLabel(), shown(field->value()), shown(value)});
    }
    return newerVersion() || !m_differences.empty();
}

void TStoredRecordCheck::takeStoredAsBaseline(bool keepOnlyMine) {
    for (const auto& [field, value] : m_stored) {
        const bool mine = !sameValue(m_record.oldValue(field), field->value());
        if (keepOnlyMine && !mine)
            field->setValue(value);
        m_record.setOldValue(field, value);
    }
    if (newerVersion()) {
        TField* keyField = m_record.fieldByName(m_book.keyFieldName());
        keyField->setValue(m_liveId);
        m_record.setOldValue(keyField, m_liveId);
    }
}
