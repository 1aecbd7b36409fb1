// The users windows' and the rights reports' statements as SQL Server receives them (a recording
// connection): the user list, saving a security administrator, his server role, the reports.
#include "RecordingDatabase.h"
#include "SecurityWindowsTest.h"
#include "TformUserInfo.h"
#include "TformUsers.h"
#include "TfrmReportsSelect.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const TScriptedResult Offline = TScriptedResult::failure("offline", "08S01");

class UserStatements : public ::testing::Test {
protected:
    RecordingDatabase sql{TDbProvider::SqlServer};
    TScriptedInteraction ui;
    QStringList& sent = sql.connection().statements;
};

} // namespace

TEST_F(UserStatements, TheUserListWithAndWithoutTheDeleted) {
    TfPasswordDlg passwordDialog;
    TfrMain mainWindow{passwordDialog, {}};
    TSecurityAdministration security{mainWindow};
    TformUsers& users = security.users();
    ui.modalHandlers.push_back([&users](QObject*) {
        users.chkDeleted->click();
        return int(QDialog::Accepted);
    });
    users.Execute();
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.first(), "exec adm_get_user_list \r\n");
    EXPECT_EQ(sent.last(), "exec adm_get_user_list \r\n 1 \r\n");
}

TEST_F(UserStatements, SavingANewSecurityAdministrator) {
    TformUserInfo dialog;
    ui.modalHandlers.push_back([&](QObject*) {
        dialog.edLogin->setText("o'neil");
        dialog.edUser->setText(QStringLiteral("О'Нил Пётр"));
        dialog.edPassword->setText("secret");
        dialog.edPassword2->setText("secret");
        dialog.cbSecurityAdmin->setChecked(true);
        dialog.cbPolicy->setChecked(true);
        dialog.btnOk->click();
        return dialog.result();
    });
    dialog.Execute(-1, 0, {}, {});
    EXPECT_TRUE(dialog.Saved) << ui.texts().join("\n").toStdString();
    const QString save = QStringLiteral(
        "exec adm_UserInfoSave @usr_id = '-1', @usr_UserName = 'o''neil', @usr_UserSurnameNP = 'О''Нил "
        "Пётр', "
        "@usr_IsSecurityAdmin= -1, @usr_IsEnforcePasswordExpiration = 0, @usr_IsEnforcePasswordPolicy = -1");
    EXPECT_TRUE(sent.contains(save)) << sent.join("\n").toStdString();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.last(), "exec sp_addsrvrolemember 'o''neil', 'securityadmin'");
}

TEST_F(UserStatements, TheSecurityAdministratorFlagIsReadFromTheServerRole) {
    const TSourceField text{"", TSourceFieldType::String, 128};
    auto field = [&text](const char* name) {
        TSourceField f = text;
        f.name = name;
        return f;
    };
    sql.connection().results = {
        TScriptedResult{{field("UserName"), field("GroupName"), field("LoginName")},
                        {{QStringLiteral("Иванов"), "ORTASecurityAdmin", "ivanov"}},
                        {}},
        TScriptedResult{{field("ServerRole"), field("MemberName")}, {{"securityadmin", "IVANOV"}}, {}}};
    TformUserInfo dialog;
    bool ticked = false;
    ui.modalHandlers.push_back([&](QObject*) {
        ticked = dialog.cbSecurityAdmin->isChecked();
        return int(QDialog::Rejected);
    });
    dialog.Execute(5, 1, "ivanov", QStringLiteral("Иванов"));
    EXPECT_TRUE(ticked);
    EXPECT_TRUE(sent.contains("exec sp_helpsrvrolemember 'securityadmin'\r\n"))
        << sent.join("\n").toStdString();
}

TEST_F(UserStatements, AReportNamesTheUserAsAPlainQuotedLiteral) {
    TfrmReportsSelect reports;
    reports.UserName = QStringLiteral("О'Нил Пётр");
    reports.chkRep_RightsUserForMiTypes->setChecked(true);
    reports.chkRep_RightsUserForDivisions->setChecked(false);
    reports.chkRep_RightsUserForPassportState->setChecked(false);
    sql.connection().results = {Offline};
    reports.btnOk->click();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first(), QStringLiteral("exec Rep_RightsUserForMiTypes 'О''Нил Пётр'"));
}
