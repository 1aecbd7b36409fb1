// The role windows' statements as SQL Server receives them (a recording connection): deleting a
// role, creating one with a member, and saving a role's functions.
#include "RecordingDatabase.h"
#include "SecurityWindowsTest.h"
#include "TControlStringgrid.h"
#include "TStatementSink.h"
#include "TformAddRoleMembers.h"
#include "TformPermissions.h"
#include "TformRoleProperties.h"
#include "TformRoles.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TScriptedResult rows(const std::vector<TSourceField>& fields, const std::vector<QVariantList>& values) {
    return TScriptedResult{fields, values, {}};
}

const TSourceField Text{"name", TSourceFieldType::String, 128};

class RoleStatements : public ::testing::Test {
protected:
    RecordingDatabase sql{TDbProvider::SqlServer};
    TScriptedInteraction ui;
    TfPasswordDlg passwordDialog;
    TfrMain mainWindow{passwordDialog, {}};
    TSecurityAdministration security{mainWindow};
    QStringList& sent = sql.connection().statements;
};

} // namespace

TEST_F(RoleStatements, DeletingARole) {
    sql.connection().results = {rows({{"RoleName", TSourceFieldType::String, 128},
                                      {"RoleId", TSourceFieldType::Integer, 0},
                                      {"IsAppRole", TSourceFieldType::Integer, 0}},
                                     {{"ORTA-Лаборанты", 7, 0}, {"db_owner", 16384, 0}})};
    TformRoles& roles = security.roles();
    roles.RefreshRoles();
    ASSERT_EQ(roles.lbRoles->count(), 1);
    roles.lbRoles->setCurrentRow(0);
    sent.clear();
    sql.connection().results = {rows({{"id", TSourceFieldType::Integer, 0}}, {{5}}),
                                rows({{"", TSourceFieldType::Integer, 0}}, {{0}})};
    ui.answers = {TMsgResult::Yes};
    roles.butDelete->click();
    EXPECT_EQ(sent,
              QStringList({"select id from tRoles where fname='ORTA-Лаборанты'",
                           "select Count(*) from com_soft where soft_id= 15 and soft_run_role=5",
                           "exec sp_droprole @rolename = N'ORTA-Лаборанты'",
                           "delete from tRoles where fname='ORTA-Лаборанты'",
                           "select 'RoleName' = name, 'RoleId' = uid, 'IsAppRole' = isapprole from sysusers "
                           "where issqlrole = 1 or isapprole = 1 order by 'RoleName'"}));
}

TEST_F(RoleStatements, CreatingARoleWithAMember) {
    TformRoleProperties& dialog = security.roleProperties();
    sql.connection().results = {rows({Text, {"issqlrole", TSourceFieldType::Integer, 0}}, {{"Иванов", 0}}),
                                {},
                                {},
                                rows({{"id", TSourceFieldType::Integer, 0}}, {{7}}),
                                rows({{"id", TSourceFieldType::Integer, 0}}, {{2}})};
    ui.modalHandlers = {WorkstationTest::inEditor<TformRoleProperties>([&](TformRoleProperties& shown) {
                            shown.ediRoleName->setText("Лаб'ы");
                            shown.butAddUser->click();
                            shown.btnOk->click();
                        }),
                        WorkstationTest::inEditor<TformAddRoleMembers>([](TformAddRoleMembers& add) {
                            add.lbUsers->setCurrentRow(0);
                            add.btnOk->click();
                        })};
    dialog.Execute(QString());
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(
        sent,
        QStringList({"select name, issqlrole from sysusers where issqlrole=0 and name not in ('dbo','guest')",
                     "exec sp_addrole @rolename = N'ORTA-Лаб''ы'",
                     "insert into tRoles(fname) values('ORTA-Лаб''ы')",
                     "select id from tRoles where fName='ORTA-Лаб''ы'",
                     "select id from UserInfo where UserSurnameNP='Иванов'",
                     "exec sp_addrolemember @rolename = N'ORTA-Лаб''ы', @membername = N'Иванов'",
                     "insert into tUserRoles(InkRole,InkUser) values (7,2)",
                     "exec sp_addrolemember @rolename = N'ORTADenyObjects', @membername = N'ORTA-Лаб''ы'"}));
}

// A membership row that stays ticked is sent again; a ticked run box becomes a column grant; a
// function without grants reads as unticked when the server finds no grants.
TEST_F(RoleStatements, SavingFunctions) {
    TformPermissions& editor = security.permissions();
    const TSourceField sid{"MemberSID", TSourceFieldType::Bytes, 85};
    sql.connection().results = {
        rows({{"Поверки", TSourceFieldType::String, 50}, {"Права", TSourceFieldType::String, 50}},
             {{"e", "[ORTASecurityAdmin]"}}),
        rows({{"DbRole", TSourceFieldType::String, 128}, {"MemberName", TSourceFieldType::String, 128}, sid},
             {{"ORTASecurityAdmin", "ORTA-Лаборанты", QVariant()}}),
        TScriptedResult::failure("There are no matching rows on which to report.", "15330"),
        rows({{"id", TSourceFieldType::Integer, 0}, Text, Text}, {})};
    TPermissionCollection permissions;
    ui.modalHandlers = {WorkstationTest::inEditor<TformPermissions>([](TformPermissions& shown) {
        TControlStringgrid& grid = *shown.sgStatic;
        EXPECT_TRUE(grid.IsChecked(4, 3)) << "the membership";
        EXPECT_EQ(grid.state(4, 2), TControlStringgrid::Unticked);
        SecurityWindowsTest::click(grid, 4, 2);
        shown.BtnOk->click();
    })};
    ASSERT_EQ(editor.EditRolePermissions("Лаборанты", &permissions), QDialog::Accepted)
        << ui.texts().join('\n').toStdString();
    EXPECT_EQ(
        sent.mid(0, 3),
        QStringList({"select * from StaticPermissions",
                     "exec sp_helprolemember @rolename = N'ORTASecurityAdmin'",
                     "exec sp_helprotect @name = N'StaticPermissions', @username = N'ORTA-Лаборанты'"}));
    sent.clear();
    TStatementSink server;
    ASSERT_TRUE(editor.SaveStaticPermissions(server));
    EXPECT_EQ(
        sent,
        QStringList(
            {"GRANT Select\r\n([Поверки])\r\nON StaticPermissions TO [ORTA-Лаборанты]\r\n",
             "exec sp_addrolemember @rolename = N'ORTASecurityAdmin', @membername = N'ORTA-Лаборанты'"}));
}
