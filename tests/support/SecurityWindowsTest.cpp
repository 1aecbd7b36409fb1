#include "SecurityWindowsTest.h"

#include "TControlStringgrid.h"
#include "TformAddRoleMembers.h"
#include "TformPermissions.h"
#include "TformRoleProperties.h"
#include "TformRoles.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

void SecurityWindowsTest::TearDown() {
    security.reset();
    WorkstationTest::TearDown();
}

void SecurityWindowsTest::startSecurity(const QString& user, const QString& password) {
    start(user, password);
    security = std::make_unique<TSecurityAdministration>(*window);
}

void SecurityWindowsTest::createRole(const QString& shortName, int id) {
    exec(QString("CREATE ROLE \"ORTA-%1\" NOLOGIN").arg(shortName));
    if (id > 0)
        exec(QString("INSERT INTO tRoles (id, fname) OVERRIDING SYSTEM VALUE VALUES (%1, 'ORTA-%2')")
                 .arg(id)
                 .arg(shortName));
}

void SecurityWindowsTest::inRoles(const std::function<void(TformRoles&)>& actions) {
    ui.modalHandlers.push_front(inEditor<TformRoles>([actions](TformRoles& roles) {
        actions(roles);
        roles.btnOk->click();
    }));
    ASSERT_TRUE(window->actRoles->isEnabled());
    window->actRoles->trigger();
}

bool SecurityWindowsTest::selectRole(TformRoles& roles, const QString& shortName) {
    const auto found = roles.lbRoles->findItems(shortName, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    roles.lbRoles->setCurrentItem(found.first());
    return true;
}

void SecurityWindowsTest::editRole(const QString& shortName,
                                   const std::function<void(TformRoleProperties&)>& actions) {
    inRoles([&](TformRoles& roles) {
        ASSERT_TRUE(selectRole(roles, shortName)) << shortName.toStdString();
        ui.modalHandlers.push_front(inEditor<TformRoleProperties>(actions));
        roles.butEdit->click();
    });
}

void SecurityWindowsTest::editPermissions(const QString& shortName,
                                          const std::function<void(TformPermissions&)>& actions,
                                          bool confirm) {
    editRole(shortName, [&](TformRoleProperties& dialog) {
        ui.modalHandlers.push_front(inEditor<TformPermissions>([&](TformPermissions& editor) {
            actions(editor);
            (confirm ? editor.BtnOk : editor.BtnCancel)->click();
        }));
        dialog.butRolePermissions->click();
        dialog.btnOk->click();
    });
}

int SecurityWindowsTest::rowOf(const TControlStringgrid& grid, const QString& name) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (grid.cell(1, row) == name)
            return row;
    }
    return -1;
}

int SecurityWindowsTest::colOf(const TControlStringgrid& grid, const QString& code) {
    for (int col = 0; col < grid.colCount(); ++col) {
        if (grid.cell(col, 0) == code)
            return col;
    }
    return -1;
}

void SecurityWindowsTest::click(TControlStringgrid& grid, int col, int row) {
    EXPECT_GE(col, 0);
    EXPECT_GE(row, 0);
    if (!grid.isVisible()) {
        grid.window()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(grid.window()));
    }
    grid.scrollTo(grid.model()->index(row, col));
    const QPoint centre = grid.visualRect(grid.model()->index(row, col)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre);
}
