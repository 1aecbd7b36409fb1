// Texts written in SQL Server's words as the PostgreSQL dialect sends them, and the new key of an
// INSERT as PostgreSQL gives it (a recording connection).
#include "RecordingDatabase.h"

#include <gtest/gtest.h>

TEST(DialectTexts, SqlServerKeepsItsWordsPostgresTranslatesThem) {
    const auto ms = TDbUtilsClass::create(TDbProvider::SqlServer);
    const auto pg = TDbUtilsClass::create(TDbProvider::PostgreSQL);
    const struct {
        QString sqlServer;
        QString postgres;
    } calls[] = {
        {"exec adm_UserInfoSave @usr_id = '-1', @usr_UserName = 'o''ne, il', @usr_IsSecurityAdmin= -1",
         "select * from adm_UserInfoSave(usr_id => '-1', usr_username => 'o''ne, il', usr_issecurityadmin => "
         "-1)"},
        {"exec adm_get_user_list \r\n", "select * from adm_get_user_list()"},
        {"exec adm_get_user_list \r\n 1 \r\n", "select * from adm_get_user_list(1)"},
        {"exec sp_addsrvrolemember 'o''neil', 'securityadmin'",
         "select * from sp_addsrvrolemember('o''neil', 'securityadmin')"},
        {QStringLiteral("exec Rep_RightsUserForMiTypes 'О''Нил'"),
         QStringLiteral("select * from Rep_RightsUserForMiTypes('О''Нил')")},
    };
    for (const auto& call : calls) {
        EXPECT_EQ(ms->execText(call.sqlServer), call.sqlServer);
        EXPECT_EQ(pg->execText(call.sqlServer), call.postgres);
    }
    const struct {
        QString sqlServer;
        QString postgres;
    } selects[] = {
        {"SELECT TOP 0 * FROM tMiTypes", "SELECT * FROM tMiTypes LIMIT 0"},
        {"Select Top 0 id, Descript From Doc", "Select id, Descript From Doc LIMIT 0"},
    };
    for (const auto& select : selects) {
        EXPECT_EQ(ms->topZero(select.sqlServer), select.sqlServer);
        EXPECT_EQ(pg->topZero(select.sqlServer), select.postgres);
    }
    EXPECT_EQ(ms->statementEnd(), "");
    EXPECT_EQ(pg->statementEnd(), ";");
}

// The key is what the INSERT itself answers; the statements after it get that key where SQL
// Server's batch reads SCOPE_IDENTITY(), never inside a literal.
TEST(PostgresIdentity, TheNewKeyIsTheInsertsOwn) {
    RecordingDatabase database{TDbProvider::PostgreSQL};
    TRecordingConnection& connection = database.connection();
    connection.results = {TScriptedResult{{{"id", TSourceFieldType::Integer, 0}}, {{31}}, {}}};
    const int id = database.db().insertReturningIdentity(
        {"INSERT INTO T ( NAME) select 'SCOPE_IDENTITY()'",
         "UPDATE T SET ENTITY_ID=SCOPE_IDENTITY(), NOTE='scope_identity()' WHERE ID=scope_identity()"},
        "ID");
    EXPECT_EQ(id, 31);
    EXPECT_EQ(connection.statements,
              QStringList({"INSERT INTO T ( NAME) select 'SCOPE_IDENTITY()' RETURNING ID",
                           "UPDATE T SET ENTITY_ID=31, NOTE='scope_identity()' WHERE ID=31"}));
}
