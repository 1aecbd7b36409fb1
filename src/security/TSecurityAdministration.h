#pragma once

#include <memory>

class TfrMain;
class TformPermissions;
class TformRoleProperties;
class TformRoles;
class TformUserInfo;
class TformUserRoles;
class TformUsers;

// The security windows of the program, made once and reused, and their place in the main menu
// ("Контроль доступа").
class TSecurityAdministration {
public:
    explicit TSecurityAdministration(TfrMain& mainWindow);
    ~TSecurityAdministration();

    TformPermissions& permissions() { return *m_permissions; }
    TformRoleProperties& roleProperties() { return *m_roleProperties; }
    TformRoles& roles() { return *m_roles; }
    TformUsers& users() { return *m_users; }

private:
    std::unique_ptr<TformPermissions> m_permissions;
    std::unique_ptr<TformRoleProperties> m_roleProperties;
    std::unique_ptr<TformRoles> m_roles;
    std::unique_ptr<TformUserInfo> m_userInfo;
    std::unique_ptr<TformUserRoles> m_userRoles;
    std::unique_ptr<TformUsers> m_users;
};
