#pragma once

#include "TActionSet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class TPermissionCollection;

// The program's row-level permission model: the registered row-permission tables, the queries that
// read the rights of roles, and the statements that write changed rights back. It shows nothing:
// every failed statement is a false result for the caller to report.
class TRBAC {
public:
    TRBAC();

    bool LoadPermissionTables();
    int PermissionTableCount() const { return int(m_tables.size()); }
    // The id at index and its table name; -1 (name unchanged) outside the list.
    qint32 GetPermissionTable(int index, QString& name) const;
    qint32 FindPermissionTable(const QString& tableName) const;
    TActionSet GetTableActions(qint32 tableId) const;
    QString GetTableName(qint32 tableId) const;

    bool FindUserId(const QString& userName, qint32& id) const;
    bool GetUserRoles(qint32 userId, QStringList& roles) const;
    bool LoadUserPermissions(const QString& userName, TPermissionCollection* collection);
    bool LoadRolesPermissions(const QList<qint32>& roleIds, TPermissionCollection* collection);
    bool LoadRolesRowPermissions(const QList<qint32>& roleIds, const QList<qint32>& rowIds, qint32 tableId,
                                 TPermissionCollection* collection);
    // tableId -1: every registered table. An unregistered table id raises EOrtaException.
    QString BuildPermissionsQuery(const QList<qint32>& roleIds, const QList<qint32>& rowIds,
                                  qint32 tableId) const;
    bool ReadPermissions(TPermissionCollection& collection, const QString& sql) const;
    bool SavePermissions(qint32 roleId, const TPermissionCollection* collection) const;
    // The statements SavePermissions sends, in their order.
    QStringList SaveStatements(qint32 roleId, const TPermissionCollection& collection) const;

private:
    struct Table {
        QString name;
        TActionSet actions = 0;
        qint32 id = 0;
    };
    const Table* tableById(qint32 id) const;

    bool m_loaded = false;
    std::vector<Table> m_tables;
};
