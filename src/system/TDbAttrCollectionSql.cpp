// The SQL a description writes for its book: SELECT with joins and order, INSERT and UPDATE of one
// record (versioned books insert a new version and mark the old one), the deletes, lookup lists.
#include "EAbort.h"
#include "EOrtaException.h"
#include "ERecordGone.h"
#include "OrtaUtils.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TLogging.h"
#include "TMemoryData.h"
#include "TStrHashTable.h"
#include "TextHelpers.h"

#include <algorithm>

namespace {

// A write of one record that changed no row did not happen; -1 (the server did not say) passes.
void expectOneRow(qint64 affected) {
    if (affected == 0)
        throw ERecordGone();
}

struct OrderItem {
    int sortOrder;
    QString text;
};

QString crlfLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString lineName(const QString& line) {
    return line.section(QLatin1Char('='), 0, 0);
}

int findLine(const QStringList& lines, const QString& name) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (sameText(lineName(lines.at(i)), name))
            return int(i);
    }
    return -1;
}

void setLine(QStringList& lines, const QString& name, const QString& value) {
    const int i = findLine(lines, name);
    if (i >= 0)
        lines[i] = lineName(lines.at(i)) + QLatin1Char('=') + value;
    else
        lines << name + QLatin1Char('=') + value;
}

// Items of a field list: ";" and blanks separate, double quotes group.
QStringList listItems(const QString& text) {
    QStringList items;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (ch == QLatin1Char(';') || ch.unicode() <= ' ')) {
            if (any || !current.isEmpty())
                items << current;
            current.clear();
            any = false;
        } else {
            current += ch;
        }
    }
    if (any || !current.isEmpty())
        items << current;
    return items;
}

} // namespace

void TDbAttrCollection::buildSelect() {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TStrHashTable aliases;
    int suffix = 0;
    int joins = 0;
    QStringList selectLines{QStringLiteral("SELECT ")};
    QStringList fromLines;
    std::vector<OrderItem> order;

    for (int i = 0; i < count(); ++i) {
        const TDbAttribute& a = *items(i);
        QString table = a.tableName;
        QString qualifier = table;
        if (table.isEmpty() && a.linkPrimary) {
            table = a.linkPrimary->tableName;
            qualifier = aliases.nameOf(QString::number(a.linkPrimary->uid));
        }
        if (a.isPrimary) {
            if (const TDbAttribute* join = a.joinAttr) {
                if (aliases.indexOfName(qualifier) >= 0)
                    qualifier += QString::number(suffix++);
                ++joins;
                const TDbAttribute* joinTableOf = join->isPrimary ? join : join->linkPrimary;
                if (!joinTableOf)
                    throw EOrtaException(
                        QStringLiteral(
                            "Ошибка в описании справочника: ключ \"%1\" присоединяемой таблицы %2 связан со "
                            "столбцом \"%3\", который не является ключом и не относится ни к одной таблице.")
                            .arg(a.name, table, join->name));
                fromLines << QLatin1Char(' ') + a.joinType + QStringLiteral(" JOIN ") + table +
                                 QStringLiteral(" AS ") + qualifier;
                fromLines << QStringLiteral(" ON ") + joinTableOf->tableName + QLatin1Char('.') + join->name +
                                 QStringLiteral(" = ");
                fromLines << (qualifier.trimmed().isEmpty() ? a.name
                                                            : qualifier + QLatin1Char('.') + a.name) +
                                 QLatin1Char(')');
            } else {
                if (!fromLines.isEmpty())
                    fromLines << QStringLiteral(",");
                fromLines << (isMsul && sameText(table, mainTableName()) ? viewName + QLatin1Char(' ') + table
                                                                         : table);
            }
            aliases.put(qualifier, QString::number(a.uid));
        }
        const QString alias =
            a.aliasname.isEmpty() ? QString() : QStringLiteral(" As ") + db->quoteIdentifier(a.aliasname);
        const QString separator = i < count() - 1 ? QStringLiteral(",") : QString();
        if (a.isCalculated() || a.isLookup()) {
            selectLines << QStringLiteral("cast( null as ") + db->sqlType(a.type) + QLatin1Char(')') +
                               (alias.isEmpty() ? QStringLiteral(" as ") + db->quoteIdentifier(a.name)
                                                : alias) +
                               separator;
        } else {
            selectLines << (qualifier.trimmed().isEmpty() ? a.name : qualifier + QLatin1Char('.') + a.name) +
                               alias + separator;
        }
        if (a.sortOrder != 0)
            order.push_back({a.sortOrder, qualifier + QLatin1Char('.') + a.name +
                                              (a.sortAsc ? QString() : QStringLiteral(" DESC"))});
    }
    // A description that names no table (a group of the catalogue) has no SELECT at all.
    if (fromLines.isEmpty()) {
        selectSQL.clear();
        orderByText.clear();
        return;
    }
    selectLines << QStringLiteral(" FROM ") << QString(joins, QLatin1Char('('));
    selectSQL = crlfLines(selectLines + fromLines);

    std::stable_sort(order.begin(), order.end(), [](const OrderItem& x, const OrderItem& y) {
        if (x.sortOrder != y.sortOrder)
            return x.sortOrder < y.sortOrder;
        return compareText(x.text, y.text) < 0; // only Latin letters folded: "UKEY" before "U_ID"
    });
    QStringList orderTexts;
    for (const OrderItem& item : order)
        orderTexts << item.text;
    orderByText =
        orderTexts.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + orderTexts.join(QLatin1Char(','));
}

QString TDbAttrCollection::sqlSelectWhere(const QString& condition) {
    if (selectSQL.isEmpty())
        buildSelect();
    if (selectSQL.isEmpty())
        return {};
    QString text = selectSQL;
    if (!condition.isEmpty())
        text += QStringLiteral(" WHERE ") + condition;
    return text + orderByText;
}

void TDbAttrCollection::sqlSelect() {
    buildSelect();
    if (selectSQL.isEmpty())
        throw EOrtaException(
            QStringLiteral("В описании справочника не указана таблица: его записи не читаются."));
    QString statement = selectSQL + QStringLiteral("\r\n");
    if (!orderByText.isEmpty())
        statement += orderByText + QStringLiteral("\r\n");
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    std::unique_ptr<TDbQuery> query;
    try {
        query = db->openForwardQuery(statement);
    } catch (const std::exception& e) {
        TLogging::logException(QStringLiteral("EDbException - ") + errorMessage(e) +
                               QStringLiteral(". TDbAttrCollection.sqlSelect. openQuery."));
        throw;
    }
    try {
        TDbUtilsClass::loadFromDataSet(&ensureRecords(), query.get());
    } catch (...) {
        TLogging::logException(QStringLiteral(
            "Quillon. EDBException. TDbAttrCollection.sqlSelect. TDBUtilsClass.getInstance.loadFromDataSet"));
        throw;
    }
    rebuildIndex();
}

bool TDbAttrCollection::checkRequired(TMemoryData& record) const {
    for (const auto& a : m_items) {
        if (a->isIntegerKey() || a->nullAllowed)
            continue;
        if (record.fieldByName(a->fieldName())->isNull()) {
            errorBox(QStringLiteral("Поле \"") + a->fname + QStringLiteral("\" не может быть пустым"));
            return false;
        }
    }
    return true;
}

// The main key is written by no statement: keys are identity columns, which refuse a given value
// in an INSERT and any UPDATE, even to the value they hold. An INSERT leaves the key to the server,
// an UPDATE names it only in its WHERE. So a description may link its key to itself (which makes
// it writable) without harm.
QStringList TDbAttrCollection::writeLines(TMemoryData& record) const {
    const TDbAttribute* key = keyAttribute();
    const std::vector<TDbAttribute*> writable = writableAttributes();
    if (!key || writable.empty())
        throw EAbort();
    QStringList lines;
    TDbUtilsClass::getInstance()->fieldAssignments(lines, record, key->name, true);
    for (const TDbAttribute* a : writable) {
        if (a->aliasname.isEmpty())
            continue;
        const int i = findLine(lines, a->aliasname);
        if (i >= 0)
            lines[i] = a->name + QLatin1Char('=') + lines.at(i).section(QLatin1Char('='), 1);
    }
    // The key under its alias has just got its name back; it goes like the rest that is not written.
    lines.removeIf([&writable, key](const QString& line) {
        const QString name = lineName(line);
        return sameText(name, key->name) ||
               std::none_of(writable.begin(), writable.end(),
                            [&name](const TDbAttribute* a) { return sameText(name, a->name); });
    });
    return lines;
}

void TDbAttrCollection::sqlInsert(TMemoryData& record) {
    if (m_items.empty())
        return;
    QStringList lines = writeLines(record);
    const TDbAttribute* key = keyAttribute();
    const QString table = key->tableName;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    if (isMsul) {
        lines << QStringLiteral("CREATE_DATE=GETDATE()") << QStringLiteral("CREATION_ID=1");
        setLine(lines, QStringLiteral("ENTITY_ID"), QStringLiteral("-1"));
    }
    QStringList batch{db->buildWriteSQL(lines, QString(), table, QString(), QString(), true)};
    if (isMsul) {
        QStringList entity{QStringLiteral("ENTITY_ID=SCOPE_IDENTITY()")};
        batch << db->buildWriteSQL(entity, QString(), table, key->name, QStringLiteral("SCOPE_IDENTITY()"),
                                   false);
    }
    const int id = db->insertReturningIdentity(batch, key->name);
    TField* keyField = record.fieldByName(key->name);
    keyField->setValue(id);
    if (isMsul)
        record.fieldByName(QStringLiteral("ENTITY_ID"))->setValue(keyField->value());
}

void TDbAttrCollection::sqlUpdate(TMemoryData& record) {
    if (m_items.empty())
        return;
    QStringList lines = writeLines(record);
    const TDbAttribute* key = keyAttribute();
    const QString table = key->tableName;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    int newVersion = 0;
    if (isMsul) {
        lines << QStringLiteral("CREATE_DATE=GETDATE()") << QStringLiteral("CREATION_ID=1");
        newVersion = db->insertReturningIdentity(
            {db->buildWriteSQL(lines, QString(), table, QString(), QString(), true)}, key->name);
        lines = QStringList{QStringLiteral("DELETE_DATE=GETDATE()"), QStringLiteral("DELETION_ID=1")};
    }
    QString keyValue = record.fieldByName(key->name)->asString();
    if (key->type != QLatin1String("int"))
        keyValue = QLatin1Char('\'') + keyValue + QLatin1Char('\'');
    expectOneRow(db->runSQL(db->buildWriteSQL(lines, QString(), table, key->name, keyValue, false)));
    if (isMsul)
        record.fieldByName(key->name)->setValue(newVersion);
}

void TDbAttrCollection::sqlDeleteById(const QString& fieldName, qint32 id) {
    const QString table = mainTableName();
    if (!findAttribute(table, fieldName))
        return;
    const QString where = QStringLiteral(" WHERE ") + fieldName + QLatin1Char('=') + QString::number(id);
    expectOneRow(TDbUtilsClass::getInstance()->runSQL(
        isMsul ? QStringLiteral("UPDATE ") + table +
                     QStringLiteral(" SET DELETE_DATE=GETDATE(), DELETION_ID=1") + where
               : QStringLiteral("DELETE FROM ") + table + where));
}

void TDbAttrCollection::sqlDelete(TMemoryData& record) {
    const TDbAttribute* key = keyAttribute();
    if (!key)
        throw EAbort();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString where = QStringLiteral(" WHERE ") + key->name + QLatin1Char('=') +
                          db->fieldLiteral(*record.fieldByName(key->name));
    expectOneRow(db->runSQL(isMsul ? QStringLiteral("UPDATE ") + key->tableName +
                                         QStringLiteral(" SET DELETE_DATE=GETDATE(), DELETION_ID=1") + where
                                   : QStringLiteral("DELETE FROM ") + key->tableName + where));
}

QString TDbAttrCollection::lookupSelect(const TDbAttribute& attribute) {
    if (!attribute.isLookup())
        return {};
    QStringList written;
    for (const QString& item : listItems(attribute.LookupKey + QLatin1Char(';') + attribute.LookupResult)) {
        const bool quote = item.contains(QLatin1Char(' ')) || item.contains(QLatin1Char(',')) ||
                           item.contains(QLatin1Char('"'));
        written << (quote ? QLatin1Char('"') + item + QLatin1Char('"') : item);
    }
    return QStringLiteral("SELECT ") + written.join(QLatin1Char(',')) + QStringLiteral(" FROM ") +
           attribute.LookupTable;
}
