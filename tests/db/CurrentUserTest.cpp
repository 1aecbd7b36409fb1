#include "TDbUtilsClass.h"
#include "TProviderConnection.h"
#include "TScriptedInteraction.h"
#include "TUser.h"
#include "TdmDataBase.h"
#include "TestDatabase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

constexpr TActionSet R = TActions::Read;
constexpr TActionSet W = TActions::Write;

// The current user built on a connection signed in with the user's own login.
class CurrentUser : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        useAsMainConnection();
        // Instrument types with row permissions: metrologists (2) see 10 and 11 and may change 10,
        // verifiers (3) see 12 and may change 11. Nobody has 13.
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, NULL, 'Температура'), (13, NULL, 'Закрытая группа')");
        exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1), (2, 11, 1, 0), (3, 12, "
             "1, 0), "
             "(3, 11, 0, 1)");
    }

    // Reconnects the main connection as login and creates the user object there.
    std::unique_ptr<TUser> signIn(const QString& login, const QString& password) {
        auto connection = std::make_unique<TProviderConnection>();
        connection->setConnectionString(programConnectionString(true));
        connection->setLogin(login, password);
        connection->open();
        TdmDataBase::instance().setConnection(std::move(connection));
        return std::make_unique<TUser>(login);
    }

    TScriptedInteraction ui;
};

} // namespace

TEST_F(CurrentUser, OrdinaryUserFromTheServersGrants) {
    const auto user = signIn("ivanov", "ivanov");
    EXPECT_EQ(user->UserId, 2);
    EXPECT_EQ(user->UserSurname, QStringLiteral("Иванов"));
    EXPECT_FALSE(user->IsAdmin);
    EXPECT_EQ(user->EmployeeId.toInt(), 501);
    EXPECT_EQ(user->MarkCipher.toString(), QStringLiteral("ИВ-01"));
    EXPECT_EQ(user->ShowWarnings, 12);       // the user's own value
    EXPECT_FALSE(user->FullsubDivs);         // the type's default
    EXPECT_EQ(user->GridColor, 0x00B3CEFDu); // no value and no default: the program's
    EXPECT_TRUE(user->RemState);             // another type: taken as stored ("1")
    EXPECT_EQ(user->GetParam("ShowWarnings").toInt(), 12);
    EXPECT_FALSE(user->GetParam("showwarnings").isValid());

    EXPECT_TRUE(user->CanRunWorkstation());
    EXPECT_TRUE(user->CanRunVerifications);
    EXPECT_TRUE(user->HasStaticPermission(QStringLiteral("Работа со справочниками"), "read"));
    EXPECT_TRUE(user->HasStaticPermission(QStringLiteral("Работа со справочниками"), "modify"));
    EXPECT_FALSE(user->HasStaticPermission(QStringLiteral("Работа с разрешениями"), "read"));
    EXPECT_TRUE(user->HasTablePermission("tMiTypes", "INSERT"));
    EXPECT_TRUE(user->HasTablePermission("tMiTypes", "UPDATE"));
    EXPECT_FALSE(user->HasTablePermission("tMiTypes", "DELETE"));
    EXPECT_FALSE(user->HasTablePermission("SpheresGMK", "UPDATE"));
    EXPECT_TRUE(ui.messages.empty());

    const qint32 types = user->FindPermissionTable("TROLETMITYPES");
    ASSERT_EQ(types, 1);
    EXPECT_EQ(user->GetRowPermissions(types, 10), R | W);
    EXPECT_EQ(user->GetRowPermissions(types, 11), R | W); // r from one role, w from the other
    EXPECT_EQ(user->GetRowPermissions(types, 12), R);
    EXPECT_EQ(user->GetRowPermissions(types, 13), 0u);
    EXPECT_TRUE(user->ColumnPermissions.count("doc.descript=")) << "the document tables' columns";
}

TEST_F(CurrentUser, MessagesForUnknownObjectsAndActions) {
    const auto user = signIn("ivanov", "ivanov");
    EXPECT_FALSE(user->HasStaticPermission(QStringLiteral("Отчёты"), "run"));
    EXPECT_FALSE(user->HasStaticPermission(QStringLiteral("Работа со справочниками"), "delete"));
    EXPECT_FALSE(user->HasTablePermission("NoSuchTable", "INSERT"));
    EXPECT_FALSE(user->HasTablePermission("tMiTypes", "SELECT"));
    EXPECT_EQ(ui.texts(),
              (QStringList{
                  QStringLiteral("Разрешение для объекта \"Отчёты\" не найдено"),
                  QStringLiteral("Действие \"delete\" для объекта \"Работа со справочниками\" не допустимо"),
                  QStringLiteral("Разрешение для объекта \"NoSuchTable\" не найдено"),
                  QStringLiteral("Действие \"SELECT\" для объекта \"tMiTypes\" не допустимо")}));
}

TEST_F(CurrentUser, AdministratorPassesEveryCheck) {
    const auto user = signIn("admin_test", "admin");
    EXPECT_TRUE(user->IsAdmin);
    EXPECT_TRUE(user->HasStaticPermission(QStringLiteral("Работа с разрешениями"), "modify"));
    EXPECT_TRUE(user->HasTablePermission("UserInfo", "DELETE")); // no grant needed
    EXPECT_EQ(user->GetRowPermissions(1, 13), R | W);            // everything the table supports
    EXPECT_EQ(user->Permissions.count(), 0);                     // not loaded
    EXPECT_FALSE(
        user->HasStaticPermission(QStringLiteral("Нет такого"), "run")); // still unknown to the server
}

TEST_F(CurrentUser, RefusedAndUnknownUsers) {
    EXPECT_FALSE(signIn("norun", "norun")->CanRunWorkstation());
    const auto ghost = signIn("ghost", "ghost");
    EXPECT_EQ(ghost->UserId, -1);
    EXPECT_FALSE(ghost->EmployeeId.isValid());
    EXPECT_EQ(ghost->Permissions.count(), 0);
    EXPECT_TRUE(ghost->CanRunWorkstation()); // the server's grants still count
    EXPECT_EQ(ghost->GetRowPermissions(1, 10), 0u);
}

TEST_F(CurrentUser, NamesWithApostrophesAreQuoted) {
    // A row of UserInfo names a login of the server.
    const QString login = QStringLiteral("д'Артаньян_") + uniqueTag();
    exec("CREATE ROLE \"" + login + "\" LOGIN");
    exec("INSERT INTO UserInfo (id, UserName, userSurnameNP) OVERRIDING SYSTEM VALUE VALUES (9, "
         "'д''Артаньян_" +
         uniqueTag() + "', 'д''Артаньян-Гасконский')");
    exec("INSERT INTO tUserRoles (InkUser, InkRole) VALUES (9, 2)");
    TUser user(login); // on the superuser's connection: only the statements matter here
    EXPECT_EQ(user.UserId, 9);
    EXPECT_EQ(user.UserSurname, QStringLiteral("д'Артаньян-Гасконский"));
    EXPECT_EQ(user.GetRowPermissions(1, 10), R | W);
}

TEST_F(CurrentUser, NewRecordsGetTheirRowPermissionsPerRole) {
    const auto user = signIn("ivanov", "ivanov");
    TDbUtilsClass* data = TDbUtilsClass::getInstance();
    // As a save does it: the record and its rights in one transaction (the server lets an ordinary
    // user write rights only for records his transaction has just made).
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    connection.beginTransaction();
    data->runSQL(
        "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (20, 10, 'МП-60')");
    user->InheritNewRowPermissions(1, 20, 10);
    data->runSQL(
        "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (21, NULL, 'Вакуум')");
    user->GrantNewRowPermissions(1, 21);
    connection.commit();
    EXPECT_EQ(user->GetRowPermissions(1, 20), R | W);

    auto rights = [this](int row) {
        QSqlQuery q(db());
        q.exec(QString("SELECT InkRole, r, w FROM tRoletMiTypes WHERE InkId=%1 ORDER BY InkRole").arg(row));
        QStringList result;
        while (q.next())
            result
                << QString("%1:%2%3").arg(q.value(0).toInt()).arg(q.value(1).toInt()).arg(q.value(2).toInt());
        return result;
    };
    EXPECT_EQ(rights(20), (QStringList{"1:11", "2:11", "3:11"})); // role 1 always gets everything
    EXPECT_EQ(rights(21), (QStringList{"2:11", "3:11"}));         // no role-grant rights for role 1
}
