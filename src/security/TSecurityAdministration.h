#pragma once

#include <memory>

class TfrMain;
class TformPermissions;
class TformRoleProperties;
class TformRoles;

// The security windows of the program, made once and reused, and their place in the main menu
// ("Контроль доступа").
class TSecurityAdministration {
public:
    explicit TSecurityAdministration(TfrMain& mainWindow);
    ~TSecurityAdministration();

    TformPermissions& permissions() { return *m_permissions; }
    TformRoleProperties& roleProperties() { return *m_roleProperties; }
    TformRoles& roles() { return *m_roles; }

private:
    std::unique_ptr<TformPermissions> m_permissions;
    std::unique_ptr<TformRoleProperties> m_roleProperties;
    std::unique_ptr<TformRoles> m_roles;
};
