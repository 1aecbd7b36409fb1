#include "TRBAC.h"

#include "EOrtaException.h"
#include "TDbUtilsClass.h"
#include "TPermissionCollection.h"
#include "TextHelpers.h"

namespace {

TDbUtilsClass& db() {
    return *TDbUtilsClass::getInstance();
}

QString joined(const QList<qint32>& ids) {
    QStringList texts;
    for (const qint32 id : ids)
        texts << QString::number(id);
    return texts.join(QLatin1Char(','));
}

QString selectList(TActionSet allowed, TActionSet supported) {
    QString text;
    for (char c = 'z'; c >= 'a'; --c) {
        if (!TActions::has(allowed, c))
            continue;
        const QString letter(QLatin1Char{c});
        text += TActions::has(supported, c)
                    ? QStringLiteral(",sum(cast(") + letter + QStringLiteral(" as int)) as ") + letter
                    : QStringLiteral(", 0 as ") + letter;
    }
    return text;
}

} // namespace

TRBAC::TRBAC() {
    LoadPermissionTables();
}

bool TRBAC::LoadPermissionTables() {
    if (m_loaded)
        return true;
    m_loaded = true;
    try {
        const auto query =
            db().openQuery(QStringLiteral("SELECT id, tablename FROM tDynamicPermissions ORDER by 1"));
        for (; !query->eof(); query->next())
            m_tables.push_back({query->value(1).toString(), 0, query->value(0).toInt()});
        for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it) {
            const auto actions = db().openQuery(
                QStringLiteral("Select PA.name From PermissionActions PA Inner join DynPermActions DPA on "
                               "PA.id=DPA.ActionId where DPA.DynPermId=") +
                QString::number(it->id) + QStringLiteral(" Order by 1"));
            QStringList names;
            for (; !actions->eof(); actions->next())
                names << actions->value(0).toString();
            it->actions = TActions::ofFirstLetters(names);
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

qint32 TRBAC::GetPermissionTable(int index, QString& name) const {
    if (index < 0 || index >= PermissionTableCount())
        return -1;
    name = m_tables[std::size_t(index)].name;
    return m_tables[std::size_t(index)].id;
}

qint32 TRBAC::FindPermissionTable(const QString& tableName) const {
    for (const Table& t : m_tables) {
        if (sameText(t.name, tableName))
            return t.id;
    }
    return -1;
}

const TRBAC::Table* TRBAC::tableById(qint32 id) const {
    for (const Table& t : m_tables) {
        if (t.id == id)
            return &t;
    }
    return nullptr;
}

TActionSet TRBAC::GetTableActions(qint32 tableId) const {
    const Table* t = tableById(tableId);
    return t ? t->actions : 0;
}

QString TRBAC::GetTableName(qint32 tableId) const {
    const Table* t = tableById(tableId);
    return t ? t->name : QString();
}

bool TRBAC::FindUserId(const QString& userName, qint32& id) const {
    id = -1;
    const QString name = userName.trimmed();
    if (name.isEmpty())
        return false;
    try {
        const auto query = db().openQuery(QStringLiteral("SELECT ") + QStringLiteral("id") +
                                          QStringLiteral(" FROM ") + QStringLiteral("UserInfo") +
                                          QStringLiteral(" where ") + QStringLiteral("UserName") +
                                          QLatin1Char('=') + TDbUtilsClass::stringLiteral(name));
        if (!query->eof())
            id = query->value(0).toInt();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool TRBAC::GetUserRoles(qint32 userId, QStringList& roles) const {
    roles.clear();
    try {
        const auto query = db().openQuery(QStringLiteral("SELECT InkRole FROM tUserRoles  WHERE InkUser=") +
                                          QString::number(userId) + QStringLiteral(" ORDER BY 1"));
        for (; !query->eof(); query->next())
            roles << query->value(0).toString();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool TRBAC::LoadUserPermissions(const QString& userName, TPermissionCollection* collection) {
    if (!collection)
        return false;
    collection->clear();
    qint32 userId = -1;
    if (userName.trimmed().isEmpty() || !FindUserId(userName, userId))
        return false;
    QStringList roleTexts;
    if (!GetUserRoles(userId, roleTexts))
        return false;
    QList<qint32> roles;
    for (const QString& text : roleTexts)
        roles << strToIntDef(text, -1);
    if (!LoadRolesPermissions(roles, collection)) {
        collection->clear();
        return false;
    }
    return true;
}

bool TRBAC::LoadRolesPermissions(const QList<qint32>& roleIds, TPermissionCollection* collection) {
    if (!collection)
        return false;
    collection->clear();
    if (!LoadPermissionTables())
        return false;
    if (m_tables.empty() || roleIds.isEmpty())
        return true;
    return ReadPermissions(*collection, BuildPermissionsQuery(roleIds, {}, -1));
}

bool TRBAC::LoadRolesRowPermissions(const QList<qint32>& roleIds, const QList<qint32>& rowIds, qint32 tableId,
                                    TPermissionCollection* collection) {
    if (!collection)
        return false;
    collection->clear();
    if (!LoadPermissionTables())
        return false;
    if (m_tables.empty() || roleIds.isEmpty())
        return true;
    return ReadPermissions(*collection, BuildPermissionsQuery(roleIds, rowIds, tableId));
}

QString TRBAC::BuildPermissionsQuery(const QList<qint32>& roleIds, const QList<qint32>& rowIds,
                                     qint32 tableId) const {
    const QString roles = joined(roleIds);
    QString sql;
    if (tableId != -1) {
        const Table* t = tableById(tableId);
        if (!t)
            throw EOrtaException(QStringLiteral("Таблица разрешений %1 не зарегистрирована").arg(tableId));
        sql = QStringLiteral("SELECT InkId As Id,") + QString::number(tableId) +
              QStringLiteral(" AS TableId") + selectList(t->actions, t->actions) + QStringLiteral(" FROM ") +
              t->name + QStringLiteral(" WHERE inkRole in( ") + roles + QLatin1Char(')');
        if (!rowIds.isEmpty())
            sql += QStringLiteral(" and InkId in(") + joined(rowIds) + QLatin1Char(')');
        sql += QStringLiteral(" group by InkId");
    } else {
        TActionSet all = 0;
        for (const Table& t : m_tables)
            all |= t.actions;
        QStringList members;
        for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it)
            members << QStringLiteral(" SELECT InkId As Id,") + QString::number(it->id) +
                           QStringLiteral(" AS TableId") + selectList(all, it->actions) +
                           QStringLiteral(" FROM ") + it->name + QStringLiteral(" WHERE inkRole in( ") +
                           roles + QStringLiteral(") group by InkId");
        sql = members.join(QStringLiteral("\n union \n"));
    }
    return sql + QStringLiteral(" order by TableId, Id");
}

bool TRBAC::ReadPermissions(TPermissionCollection& collection, const QString& sql) const {
    collection.Loading = true;
    bool ok = true;
    try {
        const auto query = db().openQuery(sql);
        for (; !query->eof(); query->next()) {
            QStringList granted;
            for (int i = 2; i < query->fieldCount(); ++i) {
                if (query->value(i).toInt() > 0)
                    granted << query->field(i).name;
            }
            collection.SetPermission(query->value(1).toInt(), query->value(0).toInt(),
                                     TActions::ofFirstLetters(granted));
        }
    } catch (const std::exception&) {
        ok = false;
    }
    collection.Loading = false;
    return ok;
}

bool TRBAC::SavePermissions(qint32 roleId, const TPermissionCollection* collection) const {
    if (roleId <= 0 || !collection)
        return false;
    try {
        for (const QString& sql : SaveStatements(roleId, *collection))
            db().runSQL(sql);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

QStringList TRBAC::SaveStatements(qint32 roleId, const TPermissionCollection& collection) const {
    QStringList statements;
    QString name;
    qint32 previousTable = 0;
    bool first = true;
    const QString role = QString::number(roleId);
    for (int i = collection.count() - 1; i >= 0; --i) {
        const TPermissionItem& item = collection.items(i);
        if (first || item.TableId != previousTable) {
            name = GetTableName(item.TableId);
            previousTable = item.TableId;
            first = false;
        }
        QString columns, values;
        QStringList assignments;
        for (char c = 'a'; c <= 'z'; ++c) {
            if (TActions::has(item.Actions, c)) {
                columns += QStringLiteral(",") + QLatin1Char(c);
                values += QStringLiteral(",1");
            }
        }
        const TActionSet supported = GetTableActions(item.TableId);
        for (char c = 'a'; c <= 'z'; ++c) {
            if (TActions::has(supported, c))
                assignments << QLatin1Char(c) + (TActions::has(item.Actions, c) ? QStringLiteral("=1")
                                                                                : QStringLiteral("=0"));
        }
        const QString row = QString::number(item.RowId);
        const QString grantOwner = QString::number(item.TableId >> 16);
        const QString where =
            item.isRoleGrant()
                ? QStringLiteral(" where DynPermsId=") + grantOwner + QStringLiteral(" and RoleOwnId=") +
                      role + QStringLiteral(" and RoleId=") + row
                : QStringLiteral(" where InkRole=") + role + QStringLiteral(" and InkId=") + row;
        QString sql;
        switch (item.State) {
        case TPermissionItem::New:
            sql = item.isRoleGrant()
                      ? QStringLiteral("INSERT INTO ") + name +
                            QStringLiteral(" ( DynPermsId, RoleOwnId, RoleId") + columns +
                            QStringLiteral(" ) VALUES (") + grantOwner + QStringLiteral(" ,") + role +
                            QStringLiteral(" ,") + row + values + QLatin1Char(')')
                      : QStringLiteral("INSERT INTO ") + name + QStringLiteral(" ( InkRole, InkID") +
                            columns + QStringLiteral(" ) VALUES (") + role + QStringLiteral(" ,") + row +
                            values + QLatin1Char(')');
            break;
        case TPermissionItem::Changed:
            sql = QStringLiteral("Update ") + name + QStringLiteral(" Set ") +
                  assignments.join(QLatin1Char(',')) + where;
            break;
        case TPermissionItem::Emptied:
            sql = QStringLiteral("delete from ") + name + where;
            break;
        default:
            continue;
        }
        statements << sql;
    }
    return statements;
}
