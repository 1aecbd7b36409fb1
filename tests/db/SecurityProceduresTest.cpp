// SQL Server's security procedures over PostgreSQL roles and grants: what they report, what they
// change, and what they refuse, on the real server.
#include "TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {

class SecurityProcedures : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        role = "ORTA-Проба_" + uniqueTag();
        exec(QString("CREATE ROLE \"%1\" NOLOGIN").arg(role));
    }
    // Every row of the query, its columns joined with "|".
    QStringList rows(const QString& sql, QString* error = nullptr) {
        QSqlQuery q(db());
        QStringList result;
        if (!q.exec(sql)) {
            if (error)
                *error = q.lastError().databaseText();
            return result;
        }
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << (q.isNull(i) ? QString("NULL") : q.value(i).toString());
            result << values.join('|');
        }
        return result;
    }
    QStringList grants(const QString& table) {
        return rows(QString("SELECT \"ProtectType\", \"Action\", \"Column\" FROM sp_helprotect('%1', '%2')")
                        .arg(table, role));
    }

    QString role;
};

} // namespace

// Table-wide SELECT/UPDATE show "(All+New)", INSERT/DELETE ".", column grants covering every
// column "(All)", others one row per column; no grant at all is SQL Server's error.
TEST_F(SecurityProcedures, GrantsAreReportedAsSqlServerDoes) {
    QString error;
    EXPECT_TRUE(rows(QString("SELECT * FROM sp_helprotect('tFormTypes', '%1')").arg(role), &error).isEmpty());
    EXPECT_TRUE(error.contains("There are no matching rows on which to report.")) << error.toStdString();
    exec(QString("GRANT SELECT, INSERT ON tFormTypes TO \"%1\"").arg(role));
    EXPECT_EQ(grants("tFormTypes"), QStringList({"Grant|Insert|.", "Grant|Select|(All+New)"}));
    exec(QString(
             "GRANT SELECT (\"АРМ Администратора\", \"Работа со справочниками\", \"Работа с разрешениями\", "
             "\"Поверки\", \"Администрирование прав\"), UPDATE (\"Поверки\") ON StaticPermissions TO \"%1\"")
             .arg(role));
    EXPECT_EQ(grants("StaticPermissions"), QStringList({"Grant|Select|(All)", "Grant|Update|Поверки"}));
    // The owner's own rights are no grants.
    EXPECT_FALSE(rows("SELECT \"Grantee\" FROM sp_helprotect('tFormTypes')").contains(db().userName()));
}

// Revoking one column of a table-wide grant keeps the others, as SQL Server does; a later table
// revoke takes the column grants too. The grants are the owner's, whoever asked.
TEST_F(SecurityProcedures, RevokingAColumnOfATableGrant) {
    exec(QString("GRANT SELECT ON StaticPermissions TO \"%1\"").arg(role));
    exec(QString("SELECT dbo.adm_permission('REVOKE', 'Select', 'StaticPermissions', 'Поверки', '%1')")
             .arg(role));
    auto has = [&](const QString& column) {
        return rows(QString("SELECT has_column_privilege('%1', 'staticpermissions', '%2', 'SELECT')")
                        .arg(role, column))
                   .value(0) == "true";
    };
    EXPECT_FALSE(has("Поверки"));
    EXPECT_TRUE(has("АРМ Администратора"));
    exec(QString("SELECT dbo.adm_permission('REVOKE', 'SELECT', 'StaticPermissions', NULL, '%1')").arg(role));
    EXPECT_FALSE(has("АРМ Администратора"));
}

// Members are listed by their database user name (the person's name for a login with a UserInfo
// row, the login otherwise); a role member has no SID.
TEST_F(SecurityProcedures, MembersOfARole) {
    const QString inner = "ORTA-Внутр_" + uniqueTag();
    exec(QString("CREATE ROLE \"%1\" NOLOGIN").arg(inner));
    exec(QString("GRANT \"%1\" TO ivanov, ghost, \"%2\"").arg(role, inner));
    EXPECT_EQ(
        rows(QString("SELECT \"MemberName\", \"MemberSID\" IS NULL FROM sp_helprolemember('%1') ORDER BY 1")
                 .arg(role)),
        QStringList({inner + "|true", "ghost|false", "Иванов|false"}));
    QString error;
    rows("SELECT * FROM sp_helprolemember('ORTA-Нет такой')", &error);
    EXPECT_TRUE(error.contains("does not exist")) << error.toStdString();
    const QStringList users = rows("SELECT name FROM sysusers WHERE issqlrole = 0");
    EXPECT_TRUE(users.contains("Иванов"));
    EXPECT_FALSE(users.contains("ivanov"));
    EXPECT_FALSE(users.contains(db().userName())) << "a superuser stands for dbo";
}

// The procedures keep only the program's roles: membership of a server role, or dropping a role
// that owns objects, is refused even to a superuser's call.
TEST_F(SecurityProcedures, OnlyTheProgramsRolesAreKept) {
    QString error;
    rows("SELECT sp_addrolemember('pg_read_server_files', 'ivanov')", &error);
    EXPECT_TRUE(error.contains("does not exist")) << error.toStdString();
    EXPECT_EQ(rows("SELECT pg_has_role('ivanov', 'pg_read_server_files', 'MEMBER')"), QStringList({"false"}));
    exec(QString("CREATE TABLE owned (id integer)"));
    exec(QString("ALTER TABLE owned OWNER TO \"%1\"").arg(role));
    rows(QString("SELECT sp_droprole('%1')").arg(role), &error);
    EXPECT_TRUE(error.contains("owns objects")) << error.toStdString();
    EXPECT_EQ(rows("SELECT count(*) FROM owned"), QStringList({"0"}));
}
