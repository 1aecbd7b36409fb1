#include "TSecurityAdministration.h"

#include "TformPermissions.h"
#include "TformRoleProperties.h"
#include "TformRoles.h"
#include "TformUserInfo.h"
#include "TformUserRoles.h"
#include "TformUsers.h"
#include "TfrMain.h"

#include <QAction>

TSecurityAdministration::TSecurityAdministration(TfrMain& mainWindow)
    : m_permissions(std::make_unique<TformPermissions>(mainWindow, &mainWindow)),
      m_roleProperties(std::make_unique<TformRoleProperties>(*m_permissions, mainWindow, &mainWindow)),
      m_roles(std::make_unique<TformRoles>(*m_roleProperties, &mainWindow)),
      m_userInfo(std::make_unique<TformUserInfo>(&mainWindow)),
      m_userRoles(std::make_unique<TformUserRoles>(&mainWindow)),
      m_users(std::make_unique<TformUsers>(*m_userInfo, *m_userRoles, &mainWindow)) {
    QObject::connect(mainWindow.actUsers, &QAction::triggered, m_users.get(), [this] { m_users->Execute(); });
    QObject::connect(mainWindow.actRoles, &QAction::triggered, m_roles.get(), [this] { m_roles->Execute(); });
}

TSecurityAdministration::~TSecurityAdministration() = default;
