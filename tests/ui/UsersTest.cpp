// The users window, the user dialog and the user-roles dialog on the real server, through the menu
// and the windows' widgets: what the server then lets the login do.
#include "SavedSheet.h"
#include "SecurityWindowsTest.h"
#include "TProviderConnection.h"
#include "TReportsWindows.h"
#include "TformUserInfo.h"
#include "TformUserRoles.h"
#include "TformUsers.h"
#include "TfrmReportsSelect.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class Users : public SecurityWindowsTest {
protected:
    void SetUp() override {
        SecurityWindowsTest::SetUp();
        if (HasFatalFailure())
            return;
        login = "user_" + uniqueTag();
        startSecurity();
    }
    // Signs in over TCP as the login does; the server's refusal as false.
    bool signsIn(const QString& password) {
        auto connection = std::make_unique<TProviderConnection>();
        connection->setConnectionString(programConnectionString(true));
        connection->setLogin(login, password);
        try {
            connection->open();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    void inUsers(const std::function<void(TformUsers&)>& actions) {
        ui.modalHandlers.push_front(inEditor<TformUsers>([actions](TformUsers& users) {
            actions(users);
            users.btnOk->click();
        }));
        ASSERT_TRUE(window->actUsers->isEnabled());
        window->actUsers->trigger();
    }
    static bool selectUser(TformUsers& users, const QString& caption) {
        const auto found = users.tvListUser->findItems(caption, Qt::MatchStartsWith | Qt::MatchRecursive);
        if (found.isEmpty())
            return false;
        users.tvListUser->setCurrentItem(found.first());
        return true;
    }
    static std::function<int(QObject*)> fillUser(const QString& loginName, const QString& fullName,
                                                 const QString& password) {
        return inEditor<TformUserInfo>([=](TformUserInfo& dialog) {
            dialog.edLogin->setText(loginName);
            dialog.edUser->setText(fullName);
            dialog.edPassword->setText(password);
            dialog.edPassword2->setText(password);
            dialog.chbShowRoles->setChecked(false);
            dialog.btnOk->click();
        });
    }
    void createUser(const QString& password) {
        inUsers([&](TformUsers& users) {
            ui.modalHandlers.push_front(fillUser(login, "Сидоров " + uniqueTag(), password));
            users.butAddUser->click();
        });
    }

    QString login;
};

} // namespace

// A user made in the window signs in with the password given there; a changed password works and
// the old one does not; a deleted user cannot sign in, is listed as deleted and restored by editing.
TEST_F(Users, CreateChangeDeleteAndRestore) {
    createUser("first1");
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int id = value("SELECT id FROM UserInfo WHERE UserName = '" + login + "'").toInt();
    ASSERT_GT(id, 0);
    EXPECT_TRUE(signsIn("first1"));
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Сидоров"));
        ui.modalHandlers.push_front(inEditor<TformUserInfo>([&](TformUserInfo& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Информация о пользователе " + login);
            EXPECT_EQ(dialog.edPassword->text(), "") << "a new password is always required";
            dialog.edPassword->setText("second2");
            dialog.edPassword2->setText("second2");
            dialog.btnOk->click();
        }));
        users.butEditUser->click();
    });
    EXPECT_TRUE(signsIn("second2"));
    EXPECT_FALSE(signsIn("first1"));
    ui.answers = {TMsgResult::Ok};
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Сидоров"));
        users.butDelete->click();
        users.chkDeleted->click();
        ASSERT_TRUE(selectUser(users, "Сидоров"));
        EXPECT_FALSE(users.butDelete->isEnabled());
        EXPECT_FALSE(users.btnPrint->isEnabled());
        EXPECT_FALSE(users.butChPassword->isEnabled());
    });
    EXPECT_FALSE(signsIn("second2"));
    ui.answers = {TMsgResult::Ok};
    inUsers([&](TformUsers& users) {
        EXPECT_TRUE(users.chkDeleted->isChecked()) << "as the window was left";
        ASSERT_TRUE(selectUser(users, "Сидоров"));
        ui.modalHandlers.push_front(fillUser(login, "Сидоров " + uniqueTag(), "third3"));
        users.butEditUser->click();
    });
    EXPECT_EQ(ui.messages.back().text,
              "Этот пользователь отмечен как удаленный. Восстановить этого пользователя?");
    EXPECT_TRUE(signsIn("third3"));
}

// Refused before anything is sent: a password with an apostrophe; unticking the policy unticks
// and disables the expiry box.
TEST_F(Users, ChecksBeforeSaving) {
    inUsers([&](TformUsers& users) {
        ui.modalHandlers.push_front(inEditor<TformUserInfo>([&](TformUserInfo& dialog) {
            EXPECT_FALSE(dialog.cbEnforse->isEnabled());
            dialog.cbPolicy->click();
            dialog.cbEnforse->click();
            dialog.cbPolicy->click();
            EXPECT_FALSE(dialog.cbEnforse->isChecked());
            EXPECT_FALSE(dialog.cbEnforse->isEnabled());
            dialog.edLogin->setText(login);
            dialog.edUser->setText("Кто-то");
            dialog.edPassword->setText("a'b");
            dialog.edPassword2->setText("a'b");
            dialog.btnOk->click();
            EXPECT_FALSE(dialog.Saved);
            dialog.btnCancel->click();
        }));
        users.butAddUser->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Недопустимый символ\r\nНе используйте в пароле символы ' и \"");
    EXPECT_EQ(value("SELECT count(*) FROM pg_roles WHERE rolname = '" + login + "'").toInt(), 0);
}

// The roles ticked in the user-roles dialog are exactly the user's memberships and tUserRoles rows.
// (A login and roles of the test's own: memberships belong to the whole cluster.)
TEST_F(Users, RolesOfAUser) {
    const QString member = createLogin("pw");
    const QString fullName = "Тестов " + uniqueTag();
    exec("INSERT INTO UserInfo (id, UserName, userSurnameNP) OVERRIDING SYSTEM VALUE VALUES (60, '" + member +
         "', '" + fullName + "')");
    const QString kept = roleName("Прежняя");
    const QString added = roleName("Новая");
    createRole(kept, 46);
    createRole(added, 47);
    exec("GRANT \"ORTA-" + kept + "\" TO \"" + member + "\"");
    exec("INSERT INTO tUserRoles (InkUser, InkRole) VALUES (60, 46)");
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Тестов"));
        ui.modalHandlers.push_front(inEditor<TformUserRoles>([&](TformUserRoles& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Роли пользователя " + fullName);
            const auto find = [&dialog](const QString& name) {
                const auto found = dialog.rxUserRoles->findItems(name, Qt::MatchExactly);
                return found.isEmpty() ? nullptr : found.first();
            };
            ASSERT_NE(find(kept), nullptr);
            EXPECT_EQ(find(kept)->checkState(), Qt::Checked);
            EXPECT_EQ(find(added)->checkState(), Qt::Unchecked);
            dialog.chkOnly->click();
            EXPECT_EQ(find(added), nullptr) << "only the user's roles";
            dialog.chkOnly->click();
            ASSERT_NE(find(added), nullptr);
            EXPECT_EQ(find(kept)->checkState(), Qt::Checked);
            find(added)->setCheckState(Qt::Checked);
            find(kept)->setCheckState(Qt::Unchecked);
            dialog.btnOk->click();
        }));
        users.butChPassword->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_TRUE(value("SELECT pg_has_role('" + member + "', 'ORTA-" + added + "', 'MEMBER')").toBool());
    EXPECT_FALSE(value("SELECT pg_has_role('" + member + "', 'ORTA-" + kept + "', 'MEMBER')").toBool());
    EXPECT_EQ(
        value("SELECT string_agg(InkRole::text, ',' ORDER BY InkRole) FROM tUserRoles WHERE InkUser = 60")
            .toString(),
        "47");
}

// "Печать" hands the chosen user's name to the reports; without a user chosen it says so.
TEST_F(Users, PrintNamesTheUser) {
    QString printed;
    security->users().printReports = [&printed](const QString& name) {
        printed = name;
    };
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Пользователи"));
        users.btnPrint->click();
        ASSERT_TRUE(selectUser(users, "Иванов"));
        users.btnPrint->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Выберите пользователя");
    EXPECT_EQ(printed, "Иванов");
}

// The security-administrator box: the user joins ORTASecurityAdmin and may create roles; the box
// reads ticked when the dialog opens again; a changed full name keeps the user's roles.
TEST_F(Users, SecurityAdministratorAndRenamedUser) {
    const QString fullName = "Сидоров " + uniqueTag();
    inUsers([&](TformUsers& users) {
        ui.modalHandlers.push_front(inEditor<TformUserInfo>([&](TformUserInfo& dialog) {
            dialog.edLogin->setText(login);
            dialog.edUser->setText(fullName);
            dialog.edPassword->setText("pw1");
            dialog.edPassword2->setText("pw1");
            dialog.cbSecurityAdmin->click();
            dialog.chbShowRoles->setChecked(false);
            dialog.btnOk->click();
        }));
        users.butAddUser->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_TRUE(value("SELECT pg_has_role('" + login + "', 'ORTASecurityAdmin', 'MEMBER')").toBool());
    // SQL Server's securityadmin, with no server attribute beside it.
    EXPECT_TRUE(value("SELECT pg_has_role('" + login + "', 'vestar_securityadmin', 'MEMBER')").toBool());
    EXPECT_FALSE(value("SELECT rolcreaterole FROM pg_roles WHERE rolname = '" + login + "'").toBool());
    exec("GRANT \"ORTA-Метрологи\" TO \"" + login + "\"");
    exec("INSERT INTO tUserRoles (InkUser, InkRole) SELECT id, 2 FROM UserInfo WHERE UserName = '" + login +
         "'");
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Сидоров"));
        ui.modalHandlers.push_front(inEditor<TformUserInfo>([&](TformUserInfo& dialog) {
            EXPECT_TRUE(dialog.cbSecurityAdmin->isChecked());
            dialog.edUser->setText("Петрова " + uniqueTag());
            dialog.edPassword->setText("pw2");
            dialog.edPassword2->setText("pw2");
            dialog.btnOk->click();
        }));
        users.butEditUser->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT userSurnameNP FROM UserInfo WHERE UserName = '" + login + "'").toString(),
              "Петрова " + uniqueTag());
    EXPECT_TRUE(value("SELECT pg_has_role('" + login + "', 'ORTA-Метрологи', 'MEMBER')").toBool());

    // Unticked: both rights go.
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Петрова"));
        ui.modalHandlers.push_front(inEditor<TformUserInfo>([&](TformUserInfo& dialog) {
            EXPECT_TRUE(dialog.cbSecurityAdmin->isChecked());
            dialog.cbSecurityAdmin->click();
            dialog.edPassword->setText("pw3");
            dialog.edPassword2->setText("pw3");
            dialog.btnOk->click();
        }));
        users.butEditUser->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_FALSE(value("SELECT pg_has_role('" + login + "', 'ORTASecurityAdmin', 'MEMBER')").toBool());
    EXPECT_FALSE(value("SELECT pg_has_role('" + login + "', 'vestar_securityadmin', 'MEMBER')").toBool());
}

// "Печать" as the program wires it: the chosen user's rights report in a real workbook.
TEST_F(Users, PrintOpensTheRightsReport) {
    TReportsWindows reports(*window);
    security->users().printReports = [&reports](const QString& name) {
        reports.reportsSelect().UserName = name;
        reports.reportsSelect().Execute();
    };
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление')");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 0)");
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Иванов"));
        ui.modalHandlers.push_front(inEditor<TfrmReportsSelect>([](TfrmReportsSelect& select) {
            select.chkRep_RightsUserForMiTypes->setChecked(true);
            select.btnOk->click();
        }));
        users.btnPrint->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    ASSERT_EQ(reports.reportsSelect().Filler.workbooks().size(), 1u);
    const QString file = m_folder.filePath("rights.xlsx");
    reports.reportsSelect().Filler.workbooks().front()->saveCopyAs(file);
    const SavedSheet sheet(file);
    EXPECT_EQ(QStringList({sheet.at("B4"), sheet.at("D4"), sheet.at("E4")}),
              QStringList({" Давление", " +", " "}));
}

// The effective rights of a user: each function, book right and record right with its role.
TEST_F(Users, EffectiveRightsNameTheirRoles) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление')");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1)");
    QStringList rows;
    inUsers([&](TformUsers& users) {
        ASSERT_TRUE(selectUser(users, "Иванов"));
        ui.modalHandlers.push_front([&rows](QObject* shown) {
            auto* view = qobject_cast<QDialog*>(shown);
            auto* tree = view ? view->findChild<QTreeWidget*>("tvRights") : nullptr;
            EXPECT_NE(tree, nullptr);
            for (int i = 0; tree && i < tree->topLevelItemCount(); ++i) {
                for (int c = 0; c < tree->topLevelItem(i)->childCount(); ++c) {
                    const QTreeWidgetItem* row = tree->topLevelItem(i)->child(c);
                    rows << row->text(0) + "|" + row->text(1) + "|" + row->text(2);
                }
            }
            return int(QDialog::Rejected);
        });
        users.butRights->click();
    });
    EXPECT_TRUE(rows.contains("Поверки|чтение, выполнение|Поверители")) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.contains("Работа со справочниками|изменение|Метрологи"))
        << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.contains("tmitypes|добавление|Метрологи")) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.contains("tMiTypes: Давление|просмотр, изменение|Метрологи"))
        << rows.join('\n').toStdString();
}
