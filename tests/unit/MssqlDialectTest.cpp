#include "EError.h"
#include "RecordingDatabase.h"
#include "TMemoryData.h"

#include <gtest/gtest.h>

namespace {

class MssqlDialect : public ::testing::Test {
protected:
    RecordingDatabase database{TDbProvider::SqlServer};
    TDbUtilsClass& db = database.db();
    TRecordingConnection& connection = database.connection();
};

// A record set with one field of the given type holding value.
QString literalOf(TDbUtilsClass& db, TFieldType type, const QVariant& value) {
    TMemoryData data;
    TField* field = data.addField("F", type, 8000);
    data.open();
    data.append();
    field->setValue(value);
    return db.fieldLiteral(*field);
}

} // namespace

TEST_F(MssqlDialect, StringLiteralsDoubleQuotesOnly) {
    EXPECT_EQ(TDbUtilsClass::stringLiteral("it's"), "'it''s'");
    EXPECT_EQ(TDbUtilsClass::stringLiteral(""), "''");
    EXPECT_EQ(TDbUtilsClass::stringLiteral("a\\b\"c"), "'a\\b\"c'");
    EXPECT_EQ(TDbUtilsClass::stringLiteral(QStringLiteral("О'Брайен")), QStringLiteral("'О''Брайен'"));
}

struct LiteralCase {
    TFieldType type;
    QVariant value;
    const char* literal;
};

class MssqlFieldLiteral : public MssqlDialect, public ::testing::WithParamInterface<LiteralCase> {};

TEST_P(MssqlFieldLiteral, WritesTheValueAsSqlServerReadsIt) {
    EXPECT_EQ(literalOf(db, GetParam().type, GetParam().value), QString::fromUtf8(GetParam().literal));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MssqlFieldLiteral,
    ::testing::Values(
        LiteralCase{TFieldType::String, QString("it's"), "'it''s'"},
        LiteralCase{TFieldType::String, QVariant(), "NULL"}, LiteralCase{TFieldType::Boolean, false, "0"},
        LiteralCase{TFieldType::Boolean, true, "1"}, LiteralCase{TFieldType::Boolean, QVariant(), "NULL"},
        LiteralCase{TFieldType::Float, 1234.5, "1234.5"}, LiteralCase{TFieldType::Float, -0.25, "-0.25"},
        LiteralCase{TFieldType::Float, 1e20, "1E20"}, LiteralCase{TFieldType::Float, 1.5e-7, "1.5E-7"},
        LiteralCase{TFieldType::Currency, 12.5, "12.5"}, LiteralCase{TFieldType::Integer, -42, "-42"},
        LiteralCase{TFieldType::DateTime, QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 123)),
                    "CONVERT (DATETIME,'05.03.2008 14:07:09.123',104)"},
        LiteralCase{TFieldType::Memo, QString("AB"), "CAST(CAST( 0x4142 as varchar(8000)) as TEXT)"},
        LiteralCase{TFieldType::Memo, QString("Я'"), "CAST(CAST( 0xDF27 as varchar(8000)) as TEXT)"},
        LiteralCase{TFieldType::Memo, QString(""), "NULL"},
        LiteralCase{TFieldType::Blob, QByteArray("\x01\xff", 2), "0x01FF"}));

TEST_F(MssqlDialect, LongMemoIsNotCutToEightThousandBytes) {
    const QString text(8001, QLatin1Char('x'));
    const QString literal = literalOf(db, TFieldType::Memo, text);
    EXPECT_TRUE(literal.endsWith(" as varchar(max)) as TEXT)")) << literal.right(40).toStdString();
    EXPECT_EQ(literal.count(QLatin1String("78")), 8001);
}

TEST_F(MssqlDialect, DateExpressions) {
    EXPECT_EQ(db.dateLiteral(QDateTime(QDate(2009, 1, 1), QTime(23, 59))),
              "CONVERT (DATETIME,'1.1.2009',104)");
    EXPECT_EQ(db.dateLiteral(QDateTime(QDate(2008, 3, 5), QTime())), "CONVERT (DATETIME,'5.3.2008',104)");
    EXPECT_EQ(db.dateOnly("X"), "CONVERT(datetime, CONVERT (varchar,X,104), 104)");
    EXPECT_EQ(db.dateOnlyLiteral(QDateTime(QDate(2008, 3, 5), QTime(1, 2))),
              "CONVERT(datetime, CONVERT (varchar,CONVERT (DATETIME,'5.3.2008',104),104), 104)");
    EXPECT_EQ(db.dateTimeLiteral(QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 123))),
              "CONVERT (DATETIME,'05.03.2008 14:07:09.123',104)");
    EXPECT_EQ(db.addMonthsToNow(-3), "dateadd(mm,-3,GetDate())");
    EXPECT_EQ(db.yearsUntilNow("p.Made"), "dateDiff(yy,p.Made,GetDate())");
    EXPECT_EQ(db.currentDate(), "GetDate()");
    EXPECT_EQ(db.toVarchar("id", -1), "CONVERT(VARCHAR,id)");
    EXPECT_EQ(db.toVarchar("id", 10), "CONVERT(VARCHAR(10),id)");
}

TEST_F(MssqlDialect, ParameterQueries) {
    QStringList lines{"old"};
    db.parametersSelect(&lines);
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines.first(), "SELECT  PrmN,");
    EXPECT_EQ(lines.at(11), " Interval = CASE ISNULL(Parameters_F1.IntType, '3') ");
    EXPECT_EQ(lines.at(16), " '???'))) + '') ELSE '-?-' END,");
    EXPECT_EQ(lines.last(), " FROM Parameters_F1");
    db.parametersSelect(nullptr);

    const QStringList precise = db.parameterColumn("PRECISE");
    ASSERT_EQ(precise.size(), 3);
    EXPECT_EQ(precise.at(1), " ISNULL(Parameters_F1.PrcsClass, '')  WHEN '2' THEN ");
    EXPECT_EQ(db.parameterColumn("diap").size(), 5);
    EXPECT_TRUE(db.parameterColumn("other").isEmpty());
}

TEST_F(MssqlDialect, BuildWriteSqlInsertAndUpdate) {
    QStringList list{"A=1", "B='x'"};
    EXPECT_EQ(db.buildWriteSQL(list, "", "T", "", "", true),
              "INSERT INTO T WITH (ROWLOCK) ( A,B) select 1,'x'");
    EXPECT_TRUE(list.isEmpty());

    list = {"A=1", "B='x'"};
    EXPECT_EQ(db.buildWriteSQL(list, "", "T", "ID", "5", false),
              "UPDATE T WITH (ROWLOCK)  SET \r\nB='x', A=1\r\n WHERE ID=5\r\n");

    list = {"A=1", "B='x'"};
    EXPECT_EQ(db.buildWriteSQL(list, "", "T", "ID", "5", true),
              "INSERT INTO T WITH (ROWLOCK) ( ID,A,B) select 5,1,'x'");

    list = {"A='a\nb'"};
    EXPECT_EQ(db.buildWriteSQL(list, "", "T", "", "", false),
              "UPDATE T WITH (ROWLOCK)  SET \r\nA='a\r\nb'\r\n");
}

TEST_F(MssqlDialect, BuildWriteSqlTakesOnlyTheLinesOfItsPrefix) {
    QStringList list{"tarIFFhistory.Price=10", "Name='n'", "TariffHistory.TariffId=3", "Other.X=1"};
    EXPECT_EQ(db.buildWriteSQL(list, "TariffHistory", "TariffHistory", "", "", true),
              "INSERT INTO TariffHistory WITH (ROWLOCK) ( Price,TariffId) select 10,3");
    EXPECT_EQ(list, (QStringList{"Name='n'", "Other.X=1"}));
    EXPECT_EQ(db.buildWriteSQL(list, "", "Tariff", "id", "7", false),
              "UPDATE Tariff WITH (ROWLOCK)  SET \r\nName='n'\r\n WHERE id=7\r\n");
    EXPECT_EQ(list, QStringList{"Other.X=1"});
}

TEST_F(MssqlDialect, RemoveNamesAndFieldAssignments) {
    QStringList list{"A=1", "b c=2", "D=3", "a=4", "E=5"};
    TDbUtilsClass::removeNames(list, "a, \"B C\" ,d");
    EXPECT_EQ(list, (QStringList{"a=4", "E=5"}));

    TMemoryData record;
    record.addField("ID", TFieldType::Integer);
    record.addField("Name", TFieldType::String, 20);
    record.addField("Code", TFieldType::Integer);
    record.open();
    record.appendRecord({5, "O'K", QVariant()});
    record.fieldByName("ID")->readOnly = true;
    QStringList assignments;
    db.fieldAssignments(assignments, record, "", false);
    EXPECT_EQ(assignments, (QStringList{"Code=NULL", "Name='O''K'", "ID=5"}));
    assignments.clear();
    db.fieldAssignments(assignments, record, "code", true);
    EXPECT_EQ(assignments, QStringList{"Name='O''K'"});
}

TEST_F(MssqlDialect, LockRecordAnswersAtOnce) {
    const TSourceField id{"identitycol", TSourceFieldType::Integer, 0};
    connection.results = {TScriptedResult{}, TScriptedResult{{id}, {{12}}, {}}};
    EXPECT_EQ(db.lockRecord(12, "Doc", nullptr), 0);
    EXPECT_EQ(
        connection.statements,
        (QStringList{"SET LOCK_TIMEOUT 0", "SELECT identitycol FROM Doc WITH (UPDLOCK) WHERE identitycol=12",
                     "SET LOCK_TIMEOUT -1"}));

    connection.statements.clear();
    EXPECT_EQ(db.lockRecord(13, "Doc", nullptr), 1); // no row: deleted

    connection.statements.clear();
    connection.results = {TScriptedResult{},
                          TScriptedResult::failure("Lock request time out period exceeded.", "1222")};
    EXPECT_EQ(db.lockRecord(12, "Doc", nullptr), 2);
    EXPECT_EQ(connection.statements.last(), "SET LOCK_TIMEOUT -1"); // reset after the failed open too

    connection.results = {TScriptedResult{}, TScriptedResult::failure("Invalid object name 'Doc'.", "208")};
    try {
        db.lockRecord(12, "Doc", nullptr);
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Ошибка установки блокировки.\n\r\n\rInvalid object name 'Doc'."));
    }
}

TEST_F(MssqlDialect, UniqueNumbersAndIdentity) {
    connection.results = {TScriptedResult{
        {{"RETURN_VALUE", TSourceFieldType::Integer, 0}, {"rnNewID", TSourceFieldType::Integer, 0}},
        {{0, 41}},
        {}}};
    EXPECT_EQ(db.newUniqueId("O'Tab"), 41);
    EXPECT_EQ(
        connection.statements.last(),
        "declare @RETURN_VALUE int, @rnNewID int exec @RETURN_VALUE = dbo.up_GetID @psTableName = 'O''Tab', "
        "@rnNewID = @rnNewID output select @RETURN_VALUE as RETURN_VALUE, @rnNewID as rnNewID");

    connection.results = {TScriptedResult{
        {{"RETURN_VALUE", TSourceFieldType::Integer, 0}, {"rnNewID", TSourceFieldType::Integer, 0}},
        {{-1, QVariant()}},
        {}}};
    try {
        db.newUniqueId("Tariff");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Не удалось получить уникальный номер для таблицы \"Tariff\""));
    }

    const TSourceField column{"", TSourceFieldType::Decimal, 0};
    connection.results = {TScriptedResult{{column}, {{12.0}}, {}}};
    EXPECT_EQ(db.lastIdentity(), 12);
    EXPECT_EQ(connection.statements.last(), "SELECT SCOPE_IDENTITY()");
    connection.results = {TScriptedResult{{column}, {{QVariant()}}, {}}};
    EXPECT_EQ(db.lastIdentity(), 0);
}

struct ErrorCase {
    const char* message;
    const char* code;
    TDbErrorKind kind;
};

class MssqlErrors : public MssqlDialect, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(MssqlErrors, AreClassifiedByNumber) {
    EXPECT_EQ(db.classifyError(EDBException(GetParam().message, GetParam().code)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MssqlErrors,
    ::testing::Values(
        ErrorCase{"[FreeTDS][SQL Server]Login failed for user 'ivanov'.", "18456", TDbErrorKind::LoginFailed},
        ErrorCase{"Login failed for user 'x'.", "", TDbErrorKind::LoginFailed},
        ErrorCase{"Lock request time out period exceeded.", "1222", TDbErrorKind::LockTimeout},
        ErrorCase{"The DELETE statement conflicted with the REFERENCE constraint", "547",
                  TDbErrorKind::IntegrityViolation},
        ErrorCase{"The SELECT permission was denied on the object", "229", TDbErrorKind::PermissionDenied},
        ErrorCase{"Invalid column name", "207", TDbErrorKind::Other}));

TEST_F(MssqlDialect, QuotesIdentifiersInBrackets) {
    EXPECT_EQ(db.quoteIdentifier(QStringLiteral("АРМ Администратора")),
              QStringLiteral("[АРМ Администратора]"));
    EXPECT_EQ(db.quoteIdentifier("a]b"), "[a]]b]");
}

TEST_F(MssqlDialect, StatementsThatOnlySqlServerSyntaxExpresses) {
    EXPECT_EQ(db.withoutRows("SELECT \r\nT.ID FROM T ORDER BY T.ID"),
              "select top 0 \r\nT.ID FROM T ORDER BY T.ID");
    EXPECT_EQ(db.noWaitUpdate("tMiTypes", "parentId=5", "id=7"),
              QStringList{"UPDATE tMiTypes With(NOWAIT) set parentId=5 where id=7"});
    EXPECT_EQ(db.sqlType("datetime"), "datetime");
    // The read that locks a stored record for a save or a move: an update lock, so that two
    // workstations reading the same row for writing wait for each other instead of deadlocking.
    EXPECT_EQ(db.lockingSelect("ENTITY_ID, ParentId", "MSUL_DEPARTMENT", "ID=5"),
              "SELECT ENTITY_ID, ParentId FROM MSUL_DEPARTMENT WITH (UPDLOCK, ROWLOCK) WHERE ID=5");
}

// The security statements as SQL Server receives them: procedures with Unicode names, grants with
// bracketed names (a bracket in a name doubled), the roles query to the letter.
TEST_F(MssqlDialect, SecurityStatements) {
    EXPECT_EQ(db.procedureCall("sp_addrolemember", {{"rolename", "ORTA-Лаб'ы"}, {"membername", "Иванов"}}),
              "exec sp_addrolemember @rolename = N'ORTA-Лаб''ы', @membername = N'Иванов'");
    EXPECT_EQ(db.procedureCall("adm_get_user_list", {}), "exec adm_get_user_list");
    EXPECT_EQ(db.procedureCall("Rep_RightsUserForMiTypes", {{"", "O'Neil"}}),
              "exec Rep_RightsUserForMiTypes N'O''Neil'");
    EXPECT_EQ(db.procedureCall("p", {{"id", 5}, {"old", QVariant()}}), "exec p @id = 5, @old = NULL");
    db.runSQL(db.permissionStatement(true, "Select", "StaticPermissions", "Поверки", "ORTA-Лаборанты"));
    db.runSQL(db.permissionStatement(false, "DELETE", "tMiTypes", "", "ORTA-a]b"));
    EXPECT_EQ(connection.statements,
              QStringList({"GRANT Select\r\n([Поверки])\r\nON StaticPermissions TO [ORTA-Лаборанты]\r\n",
                           "REVOKE DELETE\r\n ON tMiTypes TO [ORTA-a]]b]\r\n"}));
    EXPECT_EQ(db.databaseRolesQuery(),
              "select 'RoleName' = name, 'RoleId' = uid, 'IsAppRole' = isapprole from "
              "sysusers where issqlrole = 1 or isapprole = 1 order by 'RoleName'");
}
