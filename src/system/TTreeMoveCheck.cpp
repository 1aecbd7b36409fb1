#include "TTreeMoveCheck.h"

#include "EOrtaException.h"
#include "ERecordGone.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"

#include <unordered_set>

void TTreeMoveCheck::check(const TDbAttrCollection& book, qint32 movedId, qint32 newParent,
                           bool parentIsEntity, TDbConnection* connection) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString table = book.mainTableName();
    const QString key = book.keyFieldName();
    // Records of a versioned book are linked through their entity, which outlives each version.
    const QString link = book.isMsul ? QStringLiteral("ENTITY_ID") : key;
    const QString live = book.isMsul ? QStringLiteral(" AND DELETION_ID IS NULL") : QString();
    const QString columns = link + QStringLiteral(", ParentId");

    const auto moved = db->openQueryOn(
        db->lockingSelect(link, table, key + QLatin1Char('=') + QString::number(movedId)), connection);
    if (moved->eof())
        throw ERecordGone();
    const QVariant movedLink = moved->value(0);
    if (newParent < 1)
        return;

    auto row =
        db->openQueryOn(db->lockingSelect(columns, table,
                                          parentIsEntity && book.isMsul
                                              ? link + QLatin1Char('=') + QString::number(newParent) + live
                                              : key + QLatin1Char('=') + QString::number(newParent)),
                        connection);
    if (row->eof())
        throw EOrtaException(QStringLiteral(
            "Узел, в который перемещается запись, удалил другой пользователь. Дерево будет перечитано."));
    std::unordered_set<qint64> seen;
    while (!row->eof()) {
        const QVariant here = row->value(0);
        if (here.toLongLong() == movedLink.toLongLong())
            throw EOrtaException(QStringLiteral(
                "Перемещение невозможно: новый родитель находится внутри перемещаемой ветви. Вероятно, "
                "дерево изменил другой пользователь; оно будет перечитано."));
        const QVariant parent = row->value(1);
        if (parent.isNull() || !seen.insert(here.toLongLong()).second)
            return; // the top, or a cycle written before: not ours to close
        row = db->openQueryOn(
            db->lockingSelect(columns, table, link + QLatin1Char('=') + parent.toString() + live),
            connection);
    }
}
