#pragma once

#include "TSecurityAdministration.h"
#include "WorkstationTest.h"

#include <functional>
#include <memory>

class TformPermissions;
class TformRoleProperties;
class TformRoles;
class TControlStringgrid;

// The security windows of a signed-in workstation, driven through the menu and the windows'
// widgets. Roles a test makes carry the test's unique tag, so that parallel tests never meet.
class SecurityWindowsTest : public WorkstationTest {
protected:
    void TearDown() override;

    // Signs in and makes the security windows, as the program does.
    void startSecurity(const QString& user = "admin_test", const QString& password = "admin");
    // A short role name unique to the test.
    QString roleName(const QString& prefix) const { return prefix + "_" + uniqueTag(); }
    // A database role "ORTA-" + shortName, with a tRoles row of that id unless id is 0.
    void createRole(const QString& shortName, int id);
    // "Контроль доступа" → "Роли", with what the user does in the roles window.
    void inRoles(const std::function<void(TformRoles&)>& actions);
    // In the roles window: selects the role and presses "Изменить"; the user then acts in the role
    // dialog (the handler returns after pressing one of its buttons).
    void editRole(const QString& shortName, const std::function<void(TformRoleProperties&)>& actions);
    // Edits the role's permissions: the editor's actions, its "Применить" or "Отменить", then the role
    // dialog's "Применить".
    void editPermissions(const QString& shortName, const std::function<void(TformPermissions&)>& actions,
                         bool confirm = true);
    static bool selectRole(TformRoles& roles, const QString& shortName);
    static int rowOf(const TControlStringgrid& grid, const QString& name);
    static int colOf(const TControlStringgrid& grid, const QString& code);

public:
    // Clicks the centre of a grid cell, as the user does.
    static void click(TControlStringgrid& grid, int col, int row);

protected:
    std::unique_ptr<TSecurityAdministration> security;
};
