#include "TSecurityAdministration.h"

#include "TformPermissions.h"
#include "TformRoleProperties.h"
#include "TformRoles.h"
#include "TfrMain.h"

#include <QAction>

TSecurityAdministration::TSecurityAdministration(TfrMain& mainWindow)
    : m_permissions(std::make_unique<TformPermissions>(mainWindow, &mainWindow)),
      m_roleProperties(std::make_unique<TformRoleProperties>(*m_permissions, mainWindow, &mainWindow)),
      m_roles(std::make_unique<TformRoles>(*m_roleProperties, &mainWindow)) {
    QObject::connect(mainWindow.actRoles, &QAction::triggered, m_roles.get(), [this] { m_roles->Execute(); });
}

TSecurityAdministration::~TSecurityAdministration() = default;
