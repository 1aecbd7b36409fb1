// What a login may do with any SQL client, on the real server: a security administrator keeps the
// program's logins and roles through its procedures and gets no power over the server itself; a
// login changes its own password only with the old one; role 1 stays.
#include "TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class ServerEscalation : public DbTest {
protected:
    void TearDown() override {
        for (const QString& name : m_sessions)
            QSqlDatabase::removeDatabase(name);
        DbTest::TearDown();
    }

    // A login of the program with its UserInfo row (the person's name carries the test's tag).
    QString programLogin(const QString& password) {
        const QString login = createLogin(password);
        exec(QString("INSERT INTO UserInfo (UserName, userSurnameNP) VALUES ('%1', 'Проба %1')").arg(login));
        return login;
    }
    // Makes the login a security administrator as the user dialog does.
    void makeSecurityAdmin(const QString& login) {
        exec(QString("SELECT sp_addrolemember('ORTASecurityAdmin', 'Проба %1')").arg(login));
        exec(QString("SELECT sp_addsrvrolemember('%1', 'securityadmin')").arg(login));
    }
    // Runs the statement signed in as the login; the server's refusal, or empty text when it ran.
    QString as(const QString& login, const QString& password, const QString& sql) {
        const QString name = "as_" + login;
        if (!QSqlDatabase::contains(name)) {
            QSqlDatabase session = QSqlDatabase::addDatabase("QPSQL", name);
            session.setHostName("127.0.0.1"); // over TCP the password is checked
            session.setPort(server().port);
            session.setDatabaseName(databaseName());
            session.setUserName(login);
            m_sessions << name;
        }
        QSqlDatabase session = QSqlDatabase::database(name, false);
        if (!session.isOpen())
            session.setPassword(password);
        if (!session.isOpen() && !session.open())
            return "cannot sign in: " + session.lastError().text();
        QSqlQuery q(session);
        return q.exec(sql) ? QString() : q.lastError().databaseText();
    }
    bool value(const QString& sql) {
        QSqlQuery q(db());
        return q.exec(sql) && q.next() && q.value(0).toBool();
    }

private:
    QStringList m_sessions;
};

} // namespace

TEST_F(ServerEscalation, ASecurityAdministratorHasNoPowerOverTheServer) {
    const QString admin = programLogin("admin1");
    const QString other = programLogin("other1");
    makeSecurityAdmin(admin);
    EXPECT_FALSE(value(QString("SELECT rolcreaterole FROM pg_roles WHERE rolname = '%1'").arg(admin)));

    // What a plain SQL client would try: every one refused.
    for (const QString& attempt :
         {QString("GRANT pg_execute_server_program TO \"%1\"").arg(admin),
          QString("COPY (SELECT 1) TO PROGRAM 'id'"), QString("SELECT pg_read_file('/etc/hostname')"),
          QString("CREATE ROLE \"x_%1\" LOGIN CREATEDB").arg(uniqueTag()),
          QString("ALTER ROLE \"%1\" PASSWORD 'taken'").arg(other),
          QString("SELECT sp_password(NULL, 'taken', 'postgres')"),
          QString("SELECT sp_password(NULL, 'taken', 'ORTASecurityAdmin')"),
          QString("SELECT sp_addsrvrolemember('%1', 'sysadmin')").arg(other),
          QString("SELECT sp_addrolemember('ORTA-Метрологи', 'pg_monitor')"),
          QString("SELECT sp_addrolemember('ORTA-Метрологи', 'postgres')")})
        EXPECT_FALSE(as(admin, "admin1", attempt).isEmpty()) << attempt.toStdString();
    EXPECT_FALSE(value("SELECT pg_has_role('pg_monitor', 'ORTA-Метрологи', 'MEMBER')"));
    EXPECT_FALSE(
        value(QString("SELECT pg_has_role('%1', 'pg_execute_server_program', 'MEMBER')").arg(admin)));

    // What the program's procedures do for him, he may do.
    EXPECT_EQ(as(admin, "admin1", QString("SELECT sp_password(NULL, 'other2', '%1')").arg(other)), "");
    EXPECT_EQ(as(other, "other2", "SELECT 1"), "");

    // Unticked in the user dialog: the server role goes with the database role.
    exec(QString("SELECT sp_droprolemember('ORTASecurityAdmin', 'Проба %1')").arg(admin));
    EXPECT_FALSE(value(QString("SELECT pg_has_role('%1', 'vestar_securityadmin', 'MEMBER')").arg(admin)));
    EXPECT_FALSE(
        as(admin, "admin1", QString("SELECT sp_password(NULL, 'other3', '%1')").arg(other)).isEmpty());
}

TEST_F(ServerEscalation, ALoginChangesItsOwnPasswordOnlyWithTheOldOne) {
    const QString login = programLogin("first");
    for (const QString& attempt : {QString("SELECT sp_password(NULL, 'second', NULL)"),
                                   QString("SELECT sp_password('wrong', 'second', NULL)"),
                                   QString("SELECT sp_password('first', 'second', 'ivanov')")})
        EXPECT_FALSE(as(login, "first", attempt).isEmpty()) << attempt.toStdString();
    EXPECT_EQ(as(login, "first", "SELECT sp_password('first', 'second', NULL)"), "");
    QSqlDatabase::database("as_" + login, false).close();
    EXPECT_EQ(as(login, "second", "SELECT 1"), "");
}

TEST_F(ServerEscalation, RowsOfUsersAndRolesNameTheServersOwn) {
    const QString tag = uniqueTag();
    QSqlQuery q(db());
    // A row naming a group role as a deleted user's login, as a client with rights on UserInfo
    // would write it; a role row for no role of the server; renames away from them.
    EXPECT_FALSE(
        q.exec("INSERT INTO UserInfo (UserName, userSurnameNP, Deleted) VALUES ('ORTASecurityAdmin', "
               "'Группа " +
               tag + "', 1)"));
    EXPECT_FALSE(q.exec("INSERT INTO tRoles (fname) VALUES ('ORTA-Призрак_" + tag + "')"));
    EXPECT_FALSE(q.exec("UPDATE tRoles SET fname = 'ORTA-Призрак_" + tag + "' WHERE id = 2"));
    EXPECT_FALSE(q.exec("UPDATE UserInfo SET UserName = 'postgres' WHERE id = 2"));
    EXPECT_TRUE(value("SELECT count(*) = 0 FROM UserInfo WHERE UserName = 'ORTASecurityAdmin'"));
    EXPECT_TRUE(value("SELECT fname = 'ORTA-Метрологи' FROM tRoles WHERE id = 2"));
    // Nor do the procedures take a group role for a login.
    EXPECT_FALSE(q.exec("SELECT sp_password(NULL, 'x', 'ORTASecurityAdmin')"));
    EXPECT_FALSE(q.exec("SELECT sp_password(NULL, 'x', 'ORTA-Метрологи')"));
    EXPECT_TRUE(
        value("SELECT count(*) = 1 FROM pg_roles WHERE rolname = 'ORTASecurityAdmin' AND NOT rolcanlogin"));
}

TEST_F(ServerEscalation, TheAdministratorsRoleIsNeverDeleted) {
    QSqlQuery q(db());
    EXPECT_FALSE(q.exec("DELETE FROM tRoles WHERE id = 1"));
    EXPECT_TRUE(q.lastError().databaseText().contains("cannot be deleted"))
        << q.lastError().text().toStdString();
    EXPECT_TRUE(value("SELECT count(*) = 1 FROM tRoles WHERE id = 1"));
    EXPECT_TRUE(value("SELECT count(*) = 2 FROM tUserRoles WHERE InkRole IN (1, 2)"));
}

// An ordinary user writes row permissions only for a record his own transaction has just made,
// under a parent he may change; other records' rights he neither gives, changes nor takes away.
TEST_F(ServerEscalation, RowPermissionsAreWrittenOnlyForOnesOwnNewRecords) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление'), "
         "(11, NULL, 'Электрические'), (12, NULL, 'Без прав')");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (1, 10, 1, 1), (2, 10, 1, 1), (2, 11, 1, "
         "0)");
    const auto rightsRows = [this] {
        QSqlQuery q(db());
        q.exec("SELECT string_agg(concat(InkRole, ':', InkId, ':', r, w), ' ' ORDER BY InkRole, InkId) FROM "
               "tRoletMiTypes");
        return q.next() ? q.value(0).toString() : QString();
    };
    const QString before = rightsRows();
    for (const QString& attempt :
         {QString("UPDATE tRoletMiTypes SET w = 1 WHERE InkId = 11"),
          QString("DELETE FROM tRoletMiTypes WHERE InkRole = 1"),
          QString("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 12, 1, 1)"),
          QString("UPDATE tRoletMiTypes SET InkId = 12 WHERE InkId = 11")})
        EXPECT_FALSE(as("ivanov", "ivanov", attempt).isEmpty()) << attempt.toStdString();
    // A list of new records of his own making is not taken for the server's.
    as("ivanov", "ivanov", "CREATE TEMP TABLE vestar_new_records (book text, id integer)");
    as("ivanov", "ivanov", "INSERT INTO vestar_new_records VALUES ('tmitypes', 12)");
    EXPECT_FALSE(
        as("ivanov", "ivanov", "INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 12, 1, 1)")
            .isEmpty());
    as("ivanov", "ivanov", "DROP TABLE vestar_new_records");
    // A new record under a parent he may only read (statements one by one: a driver may report only
    // the first of several).
    as("ivanov", "ivanov", "BEGIN");
    EXPECT_EQ(as("ivanov", "ivanov",
                 "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (31, 11, "
                 "'Вольтметры')"),
              "");
    EXPECT_FALSE(
        as("ivanov", "ivanov", "INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 31, 1, 1)")
            .isEmpty());
    as("ivanov", "ivanov", "ROLLBACK");
    EXPECT_EQ(rightsRows(), before);

    // His own new record under a parent he may change: its rights are written with it.
    as("ivanov", "ivanov", "BEGIN");
    EXPECT_EQ(
        as("ivanov", "ivanov",
           "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (30, 10, 'Манометры')"),
        "");
    EXPECT_EQ(as("ivanov", "ivanov",
                 "INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (1, 30, 1, 1), (2, 30, 1, 1)"),
              "");
    EXPECT_EQ(as("ivanov", "ivanov", "COMMIT"), "");
    EXPECT_EQ(rightsRows(), "1:10:11 1:30:11 2:10:11 2:11:10 2:30:11");
    // Once committed, the record is like any other.
    EXPECT_FALSE(as("ivanov", "ivanov", "DELETE FROM tRoletMiTypes WHERE InkId = 30").isEmpty());
}
