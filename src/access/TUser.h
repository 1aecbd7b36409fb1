#pragma once

#include "TActionSet.h"
#include "TPermissionCollection.h"
#include "TRBAC.h"

#include <QStringList>
#include <QVariant>
#include <map>
#include <memory>

class TMemoryData;

// The signed-in user: identity, parameters, static, table and row permissions. Created once the
// server accepted the login; owns the permission model RBAC.
class TUser {
public:
    // Reads everything in the fixed order; raises when a step without its own handling fails.
    explicit TUser(const QString& userName);
    ~TUser();
    TUser(const TUser&) = delete;
    TUser& operator=(const TUser&) = delete;

    // The one signed-in user (CurrentUser); null before login and after logout.
    static TUser* current();
    static void setCurrent(std::unique_ptr<TUser> user);

    qint32 UserId = -1;
    QString UserName;
    QString UserSurname;
    bool IsAdmin = false;
    std::unique_ptr<TMemoryData> Params;
    // "table.column=description" or "table=" (case-insensitive) -> permission bits.
    std::map<QString, qint32> ColumnPermissions;
    bool CanRunVerifications = false;
    QVariant EmployeeId;
    QVariant MarkCipher;
    bool RemState = false;
    quint32 EditColor = 0xFF000005;     // the system window colour
    quint32 InactiveColor = 0xFF00000F; // the system button-face colour
    quint32 DifferenceColor = 0x000000FF;
    quint32 GridColor = 0x00B3CEFD;
    bool EditColorUsed = true;
    bool FullsubDivs = true;
    bool ShowReportGen = false;
    bool ReportGenSource = false;
    bool RegexSearch = false;
    qint32 EditTmplMode = 0;
    qint32 ShowWarnings = 255;
    bool GroupChecked = false;
    bool DocLinkForTmpl = false;
    bool AssayLinkForTmpl = false;
    bool CreatePrmsForTmpl = false;
    bool DelLinkForTmpl = false;
    bool FirstParamForTmpl = false;
    TPermissionCollection Permissions;
    quint32 MMStateReadMask = 0;
    quint32 MMStateWriteMask = 0;

    TRBAC* RBAC() const { return m_rbac.get(); }

    bool CanRunWorkstation();
    // Action "run", "read" or "modify" on a program function.
    bool HasStaticPermission(const QString& objectName, const QString& action);
    // Action "INSERT", "UPDATE" or "DELETE" on a table.
    bool HasTablePermission(const QString& tableName, const QString& action);
    QVariant GetParam(const QString& name) const;
    qint32 FindPermissionTable(const QString& tableName) const;
    TActionSet GetRowPermissions(qint32 tableId, qint32 rowId);
    TActionSet GetTableActions(qint32 tableId) const;
    int PermissionTableCount() const;
    qint32 GetPermissionTable(int index, QString& name) const;
    void GrantNewRowPermissions(qint32 tableId, qint32 rowId);
    void InheritNewRowPermissions(qint32 tableId, qint32 rowId, qint32 parentRowId);
    void ReloadPermissions();

    // The document tables whose column permissions are read at creation.
    static const QStringList& documentTables();

private:
    void LoadIdentity(const QString& userName);
    void LoadColumnPermissions();
    void LoadParams();
    // permissions() of the query; the "не найдено" box when the server knows no such object.
    bool checkPermission(const QString& sql, const QString& objectName, const QString& action,
                         const std::map<QString, int>& bits, const QString& failureText);
    // The user's roles with a flag: true for those the user holds.
    std::vector<std::pair<qint32, bool>> rolesWithMembership() const;
    void saveForRole(qint32 roleId, qint32 tableId, qint32 rowId, TActionSet actions);

    std::unique_ptr<TRBAC> m_rbac;
};
