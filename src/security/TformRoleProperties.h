#pragma once

#include "TPermissionCollection.h"
#include "TSecurityQueries.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class TStatementSink;
class TformAddRoleMembers;
class TformPermissions;
class TfrMain;

// "Управление ролью": the role's name (when it is created), its members and, through the permission
// editor, its permissions. Nothing is written before "Применить".
class TformRoleProperties : public QDialog {
    Q_OBJECT

public:
    TformRoleProperties(TformPermissions& permissions, TfrMain& mainWindow, QWidget* parent = nullptr);
    ~TformRoleProperties() override;

    // Fills the dialog for the role (empty: a new role) and shows it modally.
    int Execute(const QString& shortName);
    // The statements "Применить" would send now, produced by the code that sends them; the reads
    // it needs are made. A refusal it would meet is the last line.
    QStringList plannedStatements();

    QLineEdit* ediRoleName;
    QListWidget* lbRoleMembers;
    QPushButton* butAddUser;
    QPushButton* butRemoveUser;
    QPushButton* butRolePermissions;
    QPushButton* butScript;
    QPushButton* btnOk;
    QPushButton* btnCansel;
    TformAddRoleMembers* formAddRoleMembers;

    TPermissionCollection FPermissions;
    bool FPermissionsConfirmed = false;
    qint32 FRoleId = 0;

private:
    using Member = TSecurityQueries::Member;

    void butAddUserClick();
    void butRemoveUserClick();
    void butRolePermissionsClick();
    void butScriptClick();
    void btnOkClick();
    // Raises EOrtaException with the text to show when a step fails.
    void save(TStatementSink& sink);
    void createRole(TStatementSink& sink, const QString& roleName);
    void saveMembers(TStatementSink& sink, const QString& roleName);
    void changeMembership(TStatementSink& sink, const QString& roleName, qint32 roleId, const Member& member,
                          bool add);
    void savePermissions(TStatementSink& sink);
    QList<Member> currentMembers() const;
    void addListEntry(const Member& member);
    static qint32 roleIdOf(const QString& roleName);
    static qint32 userIdOf(const QString& userName);
    static void sortMembers(QList<Member>& members);

    TformPermissions& m_permissions;
    TfrMain& m_mainWindow;
    QList<Member> m_membersAtOpen;
    QList<Member> m_candidates;
};
