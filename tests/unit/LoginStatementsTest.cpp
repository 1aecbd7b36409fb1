#include "RecordingDatabase.h"
#include "TLogin.h"
#include "TUser.h"

#include <gtest/gtest.h>

TEST(LoginStatements, SqlServerTextsToTheLetter) {
    RecordingDatabase database(TDbProvider::SqlServer);
    TDbUtilsClass& db = database.db();
    EXPECT_EQ(db.contextInfoQuery(QStringLiteral("Иванов")),
              QStringLiteral(
                  "DECLARE @BinVar varbinary(128) \r\nSET @BinVar = CAST('Иванов' AS varbinary(128)) \r\nSET "
                  "CONTEXT_INFO @BinVar \r\nSELECT @BinVar"));
    EXPECT_EQ(db.contextInfoQuery("O'Hara"), "DECLARE @BinVar varbinary(128) \r\nSET @BinVar = "
                                             "CAST('O''Hara' AS varbinary(128)) \r\nSET CONTEXT_INFO "
                                             "@BinVar \r\nSELECT @BinVar");
    EXPECT_EQ(
        db.compatibilityQuery(1, 2, 3, 4),
        "declare @sftcmp_id as integer  exec com_CheckCompatibility @soft_name = 'Quillon',  @sftrls_ver1 = "
        "1,@sftrls_ver2 = 2,@sftrls_ver3 = 3,@sftrls_ver4 = 4,  @sftcmp_id = @sftcmp_id output  select "
        "@sftcmp_id "
        "as Permision ");
    EXPECT_EQ(
        db.columnPermissionsQuery({"Doc", "DocLinks"}),
        "select object_name(c.id)+'.'+c.[name]+'='+isnull(CONVERT(nvarchar(128),f.value),'') as Name, "
        "PERMISSIONS(c.id,c.[name]) as Perm from syscolumns c join sysobjects o on c.id=o.id left outer join "
        "::fn_listextendedproperty(NULL, 'user', 'dbo', 'table','Doc' ,'column' , null) f ON "
        "c.[name]=f.objname collate database_default  where c.id=object_id('Doc') union select "
        "object_name(c.id)+'.'+c.[name]+'='+isnull(CONVERT(nvarchar(128),f.value),'') as Name, "
        "PERMISSIONS(c.id,c.[name]) as Perm from syscolumns c join sysobjects o on c.id=o.id left outer join "
        "::fn_listextendedproperty(NULL, 'user', 'dbo', 'table','DocLinks' ,'column' , null) f ON "
        "c.[name]=f.objname collate database_default  where c.id=object_id('DocLinks')  union select "
        "Name+'=', "
        "PERMISSIONS(id) as Perm from sysobjects where id in (object_id('Doc'),object_id('DocLinks'))");
    EXPECT_EQ(TUser::documentTables().size(), 24);
    EXPECT_EQ(TUser::documentTables().first(), "Passport");
    EXPECT_EQ(TUser::documentTables().last(), "Assay_passports");
}

TEST(LoginStatements, RecentNamesMoveToTheTopAndStayTen) {
    QStringList names;
    for (int i = 1; i <= 10; ++i)
        names << QStringLiteral("user%1").arg(i);
    names = TLogin::withRecentName(names, "new");
    EXPECT_EQ(names.size(), 10);
    EXPECT_EQ(names.first(), "new");
    EXPECT_EQ(names.last(), "user9");
    names = TLogin::withRecentName(names, "USER5");
    EXPECT_EQ(names.size(), 10);
    EXPECT_EQ(names.first(), "USER5"); // the letter case typed last
    EXPECT_EQ(names.filter(QStringLiteral("user5"), Qt::CaseInsensitive).size(), 1);
}
