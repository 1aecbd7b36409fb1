// The roles window and the role dialog on the real server, driven through the menu, the lists and
// the buttons: what each step writes to the server's roles and to tRoles/tUserRoles, and every
// refusal.
#include "SecurityWindowsTest.h"
#include "TDbConnection.h"
#include "TformAddRoleMembers.h"
#include "TformRoleProperties.h"
#include "TformRoles.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Roles : public SecurityWindowsTest {
protected:
    void SetUp() override {
        SecurityWindowsTest::SetUp();
        if (HasFatalFailure())
            return;
        startSecurity();
    }
    static QString quoted(QString text) { return "'" + text.replace("'", "''") + "'"; }
    bool isMember(const QString& role, const QString& member) {
        return value(QString("SELECT pg_has_role(%1, %2, 'MEMBER')").arg(quoted(member), quoted(role)))
            .toBool();
    }
    bool roleExists(const QString& role) {
        return value(QString("SELECT count(*) FROM pg_roles WHERE rolname = %1").arg(quoted(role))).toInt() ==
               1;
    }
    // In the add-members dialog: picks the candidate and presses "Применить".
    static std::function<int(QObject*)> pick(const QString& candidate) {
        return inEditor<TformAddRoleMembers>([candidate](TformAddRoleMembers& dialog) {
            const auto found = dialog.lbUsers->findItems(candidate, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << candidate.toStdString();
            dialog.lbUsers->setCurrentItem(found.first());
            dialog.btnOk->click();
        });
    }
    void addMember(TformRoleProperties& dialog, const QString& candidate) {
        ui.modalHandlers.push_front(pick(candidate));
        dialog.butAddUser->click();
    }
    static void removeMember(TformRoleProperties& dialog, const QString& member) {
        const auto found = dialog.lbRoleMembers->findItems(member, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << member.toStdString();
        dialog.lbRoleMembers->setCurrentItem(found.first());
        dialog.butRemoveUser->click();
    }
};

} // namespace

TEST_F(WorkstationTest, OrdinaryUserCannotReachTheSecurityWindows) {
    start("ivanov", "ivanov");
    const TSecurityAdministration security(*window);
    EXPECT_FALSE(window->N7->menuAction()->isEnabled());
    EXPECT_FALSE(window->actRoles->isEnabled());
}

// A new role: the server role, its tRoles row, the members (a user without a UserInfo row gets
// InkUser 0), the membership in ORTADenyObjects; names with a quote are kept as typed.
TEST_F(Roles, CreatingARoleWithMembers) {
    const QString name = roleName("Лаб'ы");
    const QString dbName = "ORTA-" + name;
    inRoles([&](TformRoles& roles) {
        ui.modalHandlers.push_front(inEditor<TformRoleProperties>([&](TformRoleProperties& dialog) {
            EXPECT_TRUE(dialog.ediRoleName->isEnabled());
            EXPECT_FALSE(dialog.butRolePermissions->isEnabled());
            dialog.ediRoleName->setText(name); // QTest types no Cyrillic
            addMember(dialog, "Иванов");
            addMember(dialog, "ghost");
            dialog.btnOk->click();
        }));
        roles.butAdd->click();
        EXPECT_FALSE(roles.lbRoles->findItems(name, Qt::MatchExactly).isEmpty()) << "the list is refreshed";
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    ASSERT_TRUE(roleExists(dbName));
    const int id = value("SELECT id FROM tRoles WHERE fname = " + quoted(dbName)).toInt();
    ASSERT_GT(id, 0);
    EXPECT_TRUE(isMember(dbName, "ivanov"));
    EXPECT_TRUE(isMember(dbName, "ghost"));
    EXPECT_TRUE(isMember("ORTADenyObjects", dbName));
    EXPECT_EQ(
        value(QString(
                  "SELECT string_agg(InkUser::text, ',' ORDER BY InkUser) FROM tUserRoles WHERE InkRole = %1")
                  .arg(id))
            .toString(),
        "0,2");
}

TEST_F(Roles, AnOrdinaryUserCannotCreateRolesOnTheServer) {
    // Refused by the server itself, whoever asks: the message names the missing right.
    auto member = secondWorkstation("ivanov", "ivanov");
    try {
        member->execute("select * from sp_addrole(rolename => 'ORTA-Вор')");
        FAIL() << "an ordinary user created a role";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("User does not have permission to perform this action"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(roleExists("ORTA-Вор"));
}

TEST_F(Roles, DeletingTheAdministratorsRoleIsRefusedBeforeAnyQuestion) {
    inRoles([&](TformRoles& roles) {
        ASSERT_TRUE(selectRole(roles, "Администраторы"));
        roles.butDelete->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Данная роль не может быть удалена.");
    EXPECT_EQ(ui.messages[0].kind, TMessageKind::Error);
    EXPECT_TRUE(roleExists("ORTA-Администраторы"));
}

// The run role of exactly one system program asks a second time (Cancel by default); with two
// such programs the role is not a system role and one question is asked.
TEST_F(Roles, ASystemRoleAsksTwice) {
    const QString one = roleName("Служба");
    const QString two = roleName("Общая");
    createRole(one, 31);
    createRole(two, 32);
    exec("INSERT INTO com_soft (soft_id, soft_run_role) VALUES (15, 31), (15, 32), (15, 32), (7, 31)");
    ui.answers = {TMsgResult::Yes, TMsgResult::Cancel, TMsgResult::Yes};
    inRoles([&](TformRoles& roles) {
        ASSERT_TRUE(selectRole(roles, one));
        roles.butDelete->click();
        ASSERT_TRUE(selectRole(roles, two));
        roles.butDelete->click();
        EXPECT_TRUE(roles.lbRoles->findItems(two, Qt::MatchExactly).isEmpty());
    });
    ASSERT_EQ(ui.messages.size(), 3u) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(ui.messages[0].text, "Вы уверены что хотите удалить роль \"" + one + "\" ?");
    EXPECT_EQ(ui.messages[0].title, "Удаление роли");
    EXPECT_TRUE(ui.messages[1].text.startsWith("Данная роль является системной"));
    EXPECT_EQ(ui.messages[1].defaultResult, TMsgResult::Cancel);
    EXPECT_EQ(ui.messages[2].text, "Вы уверены что хотите удалить роль \"" + two + "\" ?");
    EXPECT_TRUE(roleExists("ORTA-" + one));
    EXPECT_FALSE(roleExists("ORTA-" + two));
    EXPECT_EQ(value("SELECT count(*) FROM tRoles WHERE id = 32").toInt(), 0);
}

TEST_F(Roles, ARoleWithMembersIsKept) {
    const QString name = roleName("Занятая");
    createRole(name, 33);
    exec(QString("GRANT \"ORTA-%1\" TO ivanov").arg(name));
    ui.answers = {TMsgResult::Yes};
    inRoles([&](TformRoles& roles) {
        ASSERT_TRUE(selectRole(roles, name));
        roles.butDelete->click();
    });
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text,
              "Выбранная роль не может быть удалена потому что содержит пользователей.\r\n"
              "Воспользуйтесь редактированием роли для удаления пользователей из роли");
    EXPECT_TRUE(roleExists("ORTA-" + name));
    EXPECT_EQ(value("SELECT count(*) FROM tRoles WHERE id = 33").toInt(), 1);
}

// A role without its tRoles row: no row permissions are read; saving changed members creates the row.
TEST_F(Roles, AMissingRoleRowIsCreatedByTheMemberSave) {
    const QString name = roleName("БезСтроки");
    createRole(name, 0);
    editRole(name, [&](TformRoleProperties& dialog) {
        EXPECT_FALSE(dialog.ediRoleName->isEnabled());
        EXPECT_TRUE(dialog.butRolePermissions->isEnabled());
        EXPECT_EQ(dialog.FRoleId, 0);
        EXPECT_EQ(dialog.FPermissions.count(), 0);
        addMember(dialog, "Иванов");
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int id = value(QString("SELECT id FROM tRoles WHERE fname = 'ORTA-%1'").arg(name)).toInt();
    ASSERT_GT(id, 0);
    EXPECT_EQ(
        value(QString("SELECT count(*) FROM tUserRoles WHERE InkRole = %1 AND InkUser = 2").arg(id)).toInt(),
        1);
    EXPECT_TRUE(isMember("ORTA-" + name, "ivanov"));
}

// Removing a member and adding it again leaves the list as it was: nothing is written for members
// (the missing tRoles row stays missing), and the member stays.
TEST_F(Roles, RemovedAndAddedAgainWritesNothing) {
    const QString name = roleName("Прежняя");
    createRole(name, 0);
    exec(QString("GRANT \"ORTA-%1\" TO ivanov").arg(name));
    editRole(name, [&](TformRoleProperties& dialog) {
        removeMember(dialog, "Иванов");
        EXPECT_EQ(dialog.lbRoleMembers->count(), 0);
        addMember(dialog, "Иванов");
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value(QString("SELECT count(*) FROM tRoles WHERE fname = 'ORTA-%1'").arg(name)).toInt(), 0);
    EXPECT_TRUE(isMember("ORTA-" + name, "ivanov"));
}

// A removed user leaves the server role and tUserRoles; a role member is listed by its short name.
TEST_F(Roles, RemovingMembers) {
    const QString name = roleName("Смена");
    const QString inner = roleName("Вложенная");
    createRole(name, 34);
    createRole(inner, 35);
    exec(QString("GRANT \"ORTA-%1\" TO ivanov, \"ORTA-%2\"").arg(name, inner));
    exec("INSERT INTO tUserRoles (InkRole, InkUser) VALUES (34, 2)");
    editRole(name, [&](TformRoleProperties& dialog) {
        EXPECT_EQ(dialog.lbRoleMembers->count(), 2);
        removeMember(dialog, "Иванов");
        removeMember(dialog, inner);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_FALSE(isMember("ORTA-" + name, "ivanov"));
    EXPECT_FALSE(isMember("ORTA-" + name, "ORTA-" + inner));
    EXPECT_EQ(value("SELECT count(*) FROM tUserRoles WHERE InkRole = 34").toInt(), 0);
}

TEST_F(Roles, TheAdministratorsPermissionsCannotBeEdited) {
    editRole("Администраторы", [](TformRoleProperties& dialog) {
        EXPECT_EQ(dialog.FRoleId, 1);
        EXPECT_FALSE(dialog.butRolePermissions->isEnabled());
        dialog.btnCansel->click();
    });
}

// A name the server cannot keep whole is refused with the server's reason; nothing is created.
TEST_F(Roles, ATooLongNameIsRefused) {
    const QString name = roleName(QString(40, QChar(0x0416)));
    inRoles([&](TformRoles& roles) {
        ui.modalHandlers.push_front(inEditor<TformRoleProperties>([&](TformRoleProperties& dialog) {
            dialog.ediRoleName->setText(name); // QTest types no Cyrillic
            dialog.btnOk->click();
        }));
        roles.butAdd->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(
        ui.messages[0].text.startsWith("При создании новой роли \"" + name + "\" произошла ошибка\r\n\r\n"))
        << ui.messages[0].text.toStdString();
    EXPECT_TRUE(ui.messages[0].text.contains("too long"));
    EXPECT_EQ(value("SELECT count(*) FROM tRoles WHERE fname LIKE '%" + uniqueTag() + "'").toInt(), 0);
}
