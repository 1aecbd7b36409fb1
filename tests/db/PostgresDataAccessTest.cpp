#include "EError.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TPgConnection.h"
#include "TProviderConnection.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>

namespace {

class PostgresDataAccess : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        useAsMainConnection();
        db = TDbUtilsClass::getInstance();
    }

    TDbUtilsClass* db = nullptr;
};

} // namespace

TEST_F(PostgresDataAccess, EveryLiteralRoundTrips) {
    db->runSQL("CREATE TABLE probe (id int, s varchar(200), m text, f float8, i int, d timestamp(3), b "
               "smallint, c money)");
    TMemoryData record;
    record.addField("id", TFieldType::Integer);
    record.addField("s", TFieldType::String, 200);
    record.addField("m", TFieldType::Memo);
    record.addField("f", TFieldType::Float);
    record.addField("i", TFieldType::Integer);
    record.addField("d", TFieldType::DateTime);
    record.addField("b", TFieldType::Boolean);
    record.open();
    const QString text = QStringLiteral("О'Брайен \\ \"ёлка\" ;:x --");
    const QString memo = QStringLiteral("строка 1\r\nстрока 'два'\n\\x00 конец");
    const QDateTime when(QDate(2008, 3, 5), QTime(14, 7, 9, 123));
    record.appendRecord({1, text, memo, 1234.5, -2147483647, when, true});
    record.appendRecord({2, QString(), QString(), QVariant(), QVariant(), QVariant(), false});

    for (int r = 1; r <= 2; ++r) {
        record.setRecNo(r);
        QStringList list;
        db->fieldAssignments(list, record, QString(), false);
        db->runSQL(db->buildWriteSQL(list, QString(), "probe", QString(), QString(), true));
    }

    TMemoryData back;
    db->loadQuery(back, "SELECT id, s, m, f, i, d, b FROM probe ORDER BY id");
    ASSERT_EQ(back.recordCount(), 2);
    EXPECT_EQ(back.valueAt(1, back.fieldByName("s")).toString(), text);
    EXPECT_EQ(back.valueAt(1, back.fieldByName("m")).toString(), memo);
    EXPECT_DOUBLE_EQ(back.valueAt(1, back.fieldByName("f")).toDouble(), 1234.5);
    EXPECT_EQ(back.valueAt(1, back.fieldByName("i")).toInt(), -2147483647);
    EXPECT_EQ(back.valueAt(1, back.fieldByName("d")).toDateTime(), when);
    EXPECT_EQ(back.valueAt(1, back.fieldByName("b")).toInt(), 1);
    EXPECT_EQ(back.valueAt(2, back.fieldByName("b")).toInt(), 0);
    for (const char* name : {"s", "m", "f", "i", "d"})
        EXPECT_FALSE(back.valueAt(2, back.fieldByName(name)).isValid()) << name;

    EXPECT_EQ(
        db->scalarQuery("SELECT " + db->dateLiteral(when) + " = CAST('2008-03-05' AS timestamp)").toBool(),
        true);
    EXPECT_EQ(db->scalarQuery("SELECT " + db->yearsUntilNow("CAST('2000-12-31' AS timestamp)")).toInt(),
              QDate::currentDate().year() - 2000);
    EXPECT_EQ(db->scalarQuery("SELECT " + db->toVarchar("12345", 3)).toString(), "123");
}

TEST_F(PostgresDataAccess, ResultTypesBecomeRecordSetFields) {
    TMemoryData data;
    db->loadQuery(
        data, "SELECT 1::int4 AS a, 2::int8 AS b, 3::int2 AS c, 'x'::varchar(30) AS v, 'long'::text AS t, "
              "1.5::numeric(10,2) AS n, 2.5::float8 AS f, true AS ok, now()::timestamp AS d, "
              "'x'::bytea AS raw, 'y'::char(3) AS fix");
    QStringList names;
    for (int i = 0; i < data.fieldCount(); ++i)
        names << data.field(i)->fieldName();
    EXPECT_EQ(names,
              (QStringList{"a", "b", "c", "v", "t", "f", "ok", "d", "fix"})); // numeric and bytea dropped
    EXPECT_EQ(data.fieldByName("v")->dataType(), TFieldType::String);
    EXPECT_EQ(data.fieldByName("v")->size(), 30);
    EXPECT_EQ(data.fieldByName("t")->dataType(), TFieldType::Memo);
    EXPECT_EQ(data.fieldByName("b")->dataType(), TFieldType::Integer);
    EXPECT_EQ(data.fieldByName("ok")->dataType(), TFieldType::Boolean);
    EXPECT_EQ(data.fieldByName("d")->dataType(), TFieldType::DateTime);
    EXPECT_EQ(data.valueAt(1, data.fieldByName("fix")).toString(), "y  ");
    EXPECT_FALSE(db->scalarQuery("SELECT 1 WHERE false").isValid());
}

// A database (or role) may turn standard_conforming_strings off; the literals double quotes only,
// so every connection pins it on: a hostile name stays a name, and backslashes stay backslashes.
TEST_F(PostgresDataAccess, LiteralsStaySafeWhateverTheDatabaseSets) {
    exec("ALTER DATABASE \"" + databaseName() + "\" SET standard_conforming_strings = off");
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    connection.close();
    connection.open();
    db->runSQL("CREATE TABLE victim (id int)");
    db->runSQL("INSERT INTO victim VALUES (1)");
    db->runSQL("CREATE TABLE probe (s varchar(100))");
    const QStringList hostile{QStringLiteral("x\\'; DELETE FROM victim; --"),
                              QStringLiteral("C:\\new\\table")};
    for (const QString& text : hostile)
        db->runSQL("INSERT INTO probe VALUES (" + TDbUtilsClass::stringLiteral(text) + ")");
    EXPECT_EQ(db->scalarQuery("SELECT count(*) FROM victim").toInt(), 1);
    TMemoryData rows;
    db->loadQuery(rows, "SELECT s FROM probe ORDER BY s");
    QStringList stored;
    for (int r = 1; r <= rows.recordCount(); ++r)
        stored << rows.valueAt(r, rows.field(0)).toString();
    QStringList expected = hostile;
    expected.sort();
    stored.sort();
    EXPECT_EQ(stored, expected);
}

// As on SQL Server, a failed statement inside a transaction undoes itself alone: the transaction
// goes on and commits what else was written (a lock answered 2, a rejected insert).
TEST_F(PostgresDataAccess, AFailedStatementInATransactionUndoesOnlyItself) {
    db->runSQL("INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт')");
    TDbConnection& main = TdmDataBase::instance().adoOrtaDatabase();
    std::unique_ptr<TDbConnection> other = openProgramConnection();
    main.beginTransaction();
    ASSERT_EQ(db->lockRecord(1, "Doc", nullptr), 0);

    other->beginTransaction();
    EXPECT_EQ(db->lockRecord(1, "Doc", other.get()), 2);
    db->runSQLOn("INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (3, 'после блокировки')",
                 other.get());
    EXPECT_THROW(db->runSQLOn("INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (1, 'дубль')",
                              other.get()),
                 EDBException);
    db->runSQLOn("INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (4, 'после ошибки')",
                 other.get());
    EXPECT_NO_THROW(other->commit());
    main.commit();
    EXPECT_EQ(db->scalarQuery("SELECT string_agg(id::text, ',' ORDER BY id) FROM Doc").toString(), "1,3,4");
}

// Two columns of one name (a join of two tables' "fName") load, the later ones numbered.
TEST_F(PostgresDataAccess, RepeatedColumnNamesAreNumbered) {
    TMemoryData data;
    db->loadQuery(data, "SELECT 1 AS id, 'a' AS fname, 'b' AS fName, 'c' AS FNAME, 'd' AS fname_1");
    ASSERT_EQ(data.fieldCount(), 5);
    EXPECT_EQ(data.field(2)->fieldName(), "fname_1"); // the server folds unquoted names
    EXPECT_EQ(data.field(3)->fieldName(), "fname_2");
    EXPECT_EQ(data.field(4)->fieldName(), "fname_1_1");
    QStringList values;
    for (int i = 1; i < 5; ++i)
        values << data.field(i)->asString();
    EXPECT_EQ(values, (QStringList{"a", "b", "c", "d"}));
}

TEST_F(PostgresDataAccess, ColonsReachTheServerUnchanged) {
    db->runSQL("CREATE TABLE probe (s varchar(20))");
    db->runSQL("INSERT INTO probe VALUES (':x'), ('?'), (':1')");
    EXPECT_EQ(db->scalarQuery("SELECT string_agg(s, ',' ORDER BY s) FROM probe WHERE s LIKE ':%' OR s = '?'")
                  .toString(),
              ":1,:x,?");
}

TEST_F(PostgresDataAccess, RowLockFromAnotherConnectionIsReportedAtOnce) {
    db->runSQL(
        "INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, 'Описание типа')");
    TDbConnection& main = TdmDataBase::instance().adoOrtaDatabase();
    std::unique_ptr<TDbConnection> other = openProgramConnection();

    main.beginTransaction();
    EXPECT_EQ(db->lockRecord(1, "Doc", nullptr), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(db->lockRecord(1, "Doc", other.get()), 2);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(db->lockRecord(2, "Doc", other.get()), 0); // another row is free
    EXPECT_EQ(db->lockRecord(1, "Doc", other.get()), 2); // still held: the lock lasts the transaction
    main.commit();
    EXPECT_EQ(db->lockRecord(1, "Doc", other.get()), 0);
    EXPECT_EQ(db->lockRecord(99, "Doc", nullptr), 1);
}

TEST_F(PostgresDataAccess, UniqueNumbersAndIdentity) {
    EXPECT_EQ(db->lastIdentity(), 0); // nothing inserted yet in this session
    const int first = db->newUniqueId("Tariff");
    EXPECT_EQ(db->newUniqueId("Tariff"), first + 1);
    EXPECT_EQ(db->newUniqueId("O'Brien"), 1);
    EXPECT_THROW(db->newUniqueId(""), EError);

    db->runSQL("INSERT INTO SpheresGMK (Code, fName) VALUES ('01', 'Здравоохранение')");
    db->runSQL("INSERT INTO SpheresGMK (Code, fName) VALUES ('02', 'Ветеринария')");
    EXPECT_EQ(db->lastIdentity(), db->scalarQuery("SELECT max(id) FROM SpheresGMK").toInt());
}

TEST_F(PostgresDataAccess, ServerErrorsAreClassified) {
    auto kindOf = [this](const QString& sql) {
        try {
            db->runSQL(sql);
        } catch (const EDBException& e) {
            return db->classifyError(e);
        }
        ADD_FAILURE() << "no error from " << sql.toStdString();
        return TDbErrorKind::Other;
    };
    EXPECT_EQ(kindOf("INSERT INTO DocLinks (DocId) VALUES (12345)"), TDbErrorKind::IntegrityViolation);
    EXPECT_EQ(kindOf("SELECT * FROM NoSuchTable"), TDbErrorKind::Other);

    const QString login = createLogin("secret");
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(programConnectionString(true));
    connection->setLogin(login, "wrong");
    try {
        connection->open();
        FAIL() << "a wrong password was accepted";
    } catch (const EDBException& e) {
        EXPECT_EQ(e.code(), "28P01");
        EXPECT_TRUE(e.message().contains("password authentication failed")) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains("28P01")) << "the code is not part of the text";
        EXPECT_EQ(db->classifyError(e), TDbErrorKind::LoginFailed) << e.message().toStdString();
    }
    connection->setLogin(login + "x", "secret");
    try {
        connection->open();
        FAIL() << "an unknown login was accepted";
    } catch (const EDBException& e) {
        EXPECT_EQ(db->classifyError(e), TDbErrorKind::LoginFailed) << e.message().toStdString();
    }
    connection->setLogin(login, "secret");
    connection->open();
    try {
        connection->openQuery("SELECT * FROM StaticPermissions");
        FAIL() << "read without a grant";
    } catch (const EDBException& e) {
        EXPECT_EQ(db->classifyError(e), TDbErrorKind::PermissionDenied) << e.message().toStdString();
    }
}

TEST_F(PostgresDataAccess, PermissionsReportTheCallersRealGrants) {
    const QString login = createLogin("pw");
    db->runSQL(QStringLiteral("GRANT SELECT, INSERT ON UserInfo TO \"%1\"").arg(login));
    db->runSQL(
        QStringLiteral("GRANT SELECT (\"АРМ Администратора\") ON StaticPermissions TO \"%1\"").arg(login));
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(programConnectionString(true));
    connection->setLogin(login, "pw");
    connection->open();
    auto value = [&connection](const QString& sql) {
        const auto query = connection->openQuery(sql);
        return query->value(0);
    };
    EXPECT_EQ(value("select permissions(object_id('UserInfo'))").toInt(), 1 | 8);
    EXPECT_EQ(value("select permissions(object_id('StaticPermissions'),'АРМ Администратора')").toInt(), 1);
    EXPECT_EQ(value("select permissions(object_id('StaticPermissions'),'Поверки')").toInt(), 0);
    EXPECT_FALSE(value("select permissions(object_id('StaticPermissions'),'Нет такой')").isValid());
    EXPECT_EQ(db->scalarQuery("select permissions(object_id('UserInfo'))").toInt(),
              1 | 2 | 8 | 16); // superuser
}

// Every value of PostgreSQL's text output arrives as the column's type; nulls as invalid values.
TEST_F(PostgresDataAccess, ValuesArriveAsTheirColumnsTypes) {
    auto query = db->openQuery(
        "SELECT true AS b, 7::int2 AS s, '-2147483648'::int4 AS i, 9007199254740993::int8 AS l, 0.1::float8 "
        "AS "
        "f, "
        "'NaN'::float8 AS nan, 12.345::numeric(10,3) AS n, '-1234.5'::money AS m, '2008-03-05'::date AS d, "
        "'23:59:58.123456'::time AS t, '2008-03-05 14:07:09.12'::timestamp AS ts, "
        "'2008-03-05 14:07:09+05:30'::timestamptz AS tz, '\\x00ff41'::bytea AS raw, 'ёлка'::varchar(7) AS v, "
        "'a'::char(3) AS c, 'x'::text AS memo, NULL::int4 AS nothing, "
        "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'::uuid AS g");
    ASSERT_FALSE(query->eof());
    EXPECT_EQ(query->value("b"), QVariant(true));
    EXPECT_EQ(query->value("s"), QVariant(7));
    EXPECT_EQ(query->value("i"), QVariant(-2147483647 - 1));
    EXPECT_EQ(query->value("l"), QVariant(qlonglong(9007199254740993LL)));
    EXPECT_EQ(query->value("f"), QVariant(0.1));
    EXPECT_TRUE(std::isnan(query->value("nan").toDouble()));
    EXPECT_DOUBLE_EQ(query->value("n").toDouble(), 12.345);
    EXPECT_DOUBLE_EQ(query->value("m").toDouble(), -1234.5);
    EXPECT_EQ(query->value("d"), QVariant(QDate(2008, 3, 5)));
    EXPECT_EQ(query->value("t"), QVariant(QTime(23, 59, 58, 123)));
    EXPECT_EQ(query->value("ts"), QVariant(QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9, 120))));
    EXPECT_EQ(query->value("tz").toDateTime().toUTC(),
              QDateTime(QDate(2008, 3, 5), QTime(8, 37, 9), Qt::UTC));
    EXPECT_EQ(query->value("raw"), QVariant(QByteArray("\x00\xff"
                                                       "A",
                                                       3)));
    EXPECT_EQ(query->value("v"), QVariant(QStringLiteral("ёлка")));
    EXPECT_EQ(query->value("c"), QVariant(QStringLiteral("a  ")));
    EXPECT_EQ(query->value("memo"), QVariant(QStringLiteral("x")));
    EXPECT_FALSE(query->value("nothing").isValid());
    EXPECT_EQ(query->value("g"), QVariant(QStringLiteral("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11")));
    const std::vector<std::pair<const char*, TSourceFieldType>> types{
        {"b", TSourceFieldType::Boolean},   {"s", TSourceFieldType::SmallInt},
        {"l", TSourceFieldType::LargeInt},  {"m", TSourceFieldType::Currency},
        {"ts", TSourceFieldType::DateTime}, {"c", TSourceFieldType::FixedChar},
        {"memo", TSourceFieldType::Memo},   {"g", TSourceFieldType::Guid}};
    for (const auto& [name, type] : types)
        EXPECT_EQ(query->field(query->fieldIndex(name)).type, type) << name;
    EXPECT_EQ(query->field(query->fieldIndex("v")).size, 7);
    EXPECT_EQ(query->field(query->fieldIndex("c")).size, 3);
}

// A statement longer than the command time-out is stopped and reported; so is one cancelled from
// another thread. The connection goes on working after both.
TEST_F(PostgresDataAccess, StatementsStopAtTheTimeoutOrWhenCancelled) {
    TPgConnection connection;
    connection.setConnectionString(programConnectionString());
    connection.setLogin(server().user, QString());
    connection.setCommandTimeout(1);
    connection.open();
    QElapsedTimer clock;
    clock.start();
    try {
        connection.execute("SELECT pg_sleep(5)");
        ADD_FAILURE() << "the statement was not stopped";
    } catch (const EDBException& e) {
        EXPECT_EQ(e.code(), "57014") << e.message().toStdString();
    }
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(connection.openQuery("SELECT 2")->value(0).toInt(), 2);

    connection.setCommandTimeout(1000);
    connection.open();
    std::thread canceller([&connection] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        connection.cancel();
    });
    clock.restart();
    try {
        connection.execute("SELECT pg_sleep(5)");
        ADD_FAILURE() << "the statement was not cancelled";
    } catch (const EDBException& e) {
        EXPECT_EQ(e.code(), "57014") << e.message().toStdString();
    }
    canceller.join();
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(connection.openQuery("SELECT 3")->value(0).toInt(), 3);
}

// A server that goes away is reported as a lost connection, and the next opening works again.
TEST_F(PostgresDataAccess, ALostConnectionIsReportedAndOpensAgain) {
    TPgConnection connection;
    connection.setConnectionString(programConnectionString());
    connection.setLogin(server().user, QString());
    connection.open();
    const int pid = connection.openQuery("SELECT pg_backend_pid()")->value(0).toInt();
    exec(QString("SELECT pg_terminate_backend(%1)").arg(pid));
    try {
        connection.execute("SELECT 1");
        ADD_FAILURE() << "a terminated connection answered";
    } catch (const EDBException& e) {
        EXPECT_TRUE(e.code().startsWith("08") || e.code() == "57P01") << e.code().toStdString();
    }
    EXPECT_FALSE(connection.isOpen());
    connection.open();
    EXPECT_EQ(connection.openQuery("SELECT 4")->value(0).toInt(), 4);
}

// Times without a zone are local times, also around the local zone's changes of offset. (A wall
// time the clocks pass twice is ambiguous, and the C library answers it by its own history: only
// its wall time is certain.)
TEST_F(PostgresDataAccess, LocalTimesAroundAChangeOfTheZonesOffset) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    auto query =
        db->openQuery("SELECT '2021-03-28 01:59:59'::timestamp AS a, '2021-03-28 03:00:00'::timestamp AS b, "
                      "'2021-10-31 02:30:00'::timestamp AS c, '2021-07-01 12:00:00'::timestamp AS d");
    const std::vector<std::pair<const char*, QDateTime>> expected{
        {"a", QDateTime(QDate(2021, 3, 28), QTime(1, 59, 59))},
        {"b", QDateTime(QDate(2021, 3, 28), QTime(3, 0))},
        {"c", QDateTime(QDate(2021, 10, 31), QTime(2, 30))},
        {"d", QDateTime(QDate(2021, 7, 1), QTime(12, 0))}};
    for (const auto& [name, when] : expected) {
        const QDateTime got = query->value(name).toDateTime();
        EXPECT_EQ(got.toString("yyyy-MM-dd hh:mm:ss"), when.toString("yyyy-MM-dd hh:mm:ss")) << name;
        if (std::string(name) != "c") {
            EXPECT_EQ(got.toUTC(), when.toUTC()) << name;
        }
    }
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();
}

// A big result is read forward as its rows arrive. A statement sent on the connection meanwhile
// finds it free (the rest is read ahead); an abandoned result leaves it free too; statements
// around the rows are passed over; an error among the rows is raised and no part of them stays.
TEST_F(PostgresDataAccess, ResultsReadAsTheyArriveKeepTheConnectionWorking) {
    const auto connection = openProgramConnection();
    auto rows = connection->openForwardQuery("SET application_name = 'x'; SELECT g AS n, 'имя ' || g AS name "
                                             "FROM generate_series(1, 5) g; SELECT 99");
    ASSERT_TRUE(rows->forwardOnly());
    ASSERT_EQ(rows->fieldCount(), 2);
    EXPECT_EQ(rows->value("name").toString(), QStringLiteral("имя 1"));
    rows->next();
    EXPECT_EQ(connection->openQuery("SELECT 7")->value(0).toInt(), 7); // meanwhile
    QList<int> seen;
    for (; !rows->eof(); rows->next())
        seen << rows->value("n").toInt();
    EXPECT_EQ(seen, (QList<int>{2, 3, 4, 5}));
    EXPECT_THROW(rows->first(), EError);

    auto abandoned = connection->openForwardQuery("SELECT g FROM generate_series(1, 100000) g");
    abandoned->next();
    abandoned.reset();
    EXPECT_EQ(connection->openQuery("SELECT 8")->value(0).toInt(), 8);
    auto none = connection->openForwardQuery("SELECT 1 AS one WHERE false");
    EXPECT_TRUE(none->isEmpty());
    EXPECT_EQ(none->fieldCount(), 1);

    TMemoryData data;
    db->loadQuery(data, "SELECT 1 AS n");
    try {
        db->loadQuery(data, "SELECT g AS n, 1 / (g - 3000) AS q FROM generate_series(1, 5000) g");
        ADD_FAILURE() << "a division by zero among the rows was not reported";
    } catch (const EDBException& e) {
        EXPECT_EQ(e.code(), "22012") << e.message().toStdString();
    }
    EXPECT_EQ(data.recordCount(), 0);
    db->loadQuery(data, "SELECT g AS n FROM generate_series(1, 3) g");
    EXPECT_EQ(data.recordCount(), 3);
}

// Inside a transaction a result is read whole: each statement there runs behind its savepoint.
TEST_F(PostgresDataAccess, AResultInsideATransactionIsReadWhole) {
    const auto connection = openProgramConnection();
    connection->beginTransaction();
    auto rows = connection->openForwardQuery("SELECT g FROM generate_series(1, 3) g");
    EXPECT_FALSE(rows->forwardOnly());
    EXPECT_THROW(connection->openForwardQuery("SELECT 1 / 0"), EDBException);
    EXPECT_EQ(connection->openQuery("SELECT 5")->value(0).toInt(), 5); // the transaction goes on
    connection->commit();
    int count = 0;
    for (; !rows->eof(); rows->next())
        ++count;
    EXPECT_EQ(count, 3);
}

// A result still arriving stops when cancelled from another thread: next() reports it, and the
// connection works on. (Rows wider than the server's output buffer are sent as they are made.)
TEST_F(PostgresDataAccess, AResultArrivingIsStoppedByACancel) {
    TPgConnection connection;
    connection.setConnectionString(programConnectionString());
    connection.setLogin(server().user, QString());
    connection.open();
    auto rows = connection.openForwardQuery("SELECT g, repeat('x', 20000) AS pad, CASE WHEN g > 1 THEN "
                                            "pg_sleep(0.05) END AS pause FROM generate_series(1, 200) g");
    ASSERT_FALSE(rows->eof());
    std::thread canceller([&connection] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        connection.cancel();
    });
    QElapsedTimer clock;
    clock.start();
    int read = 0;
    try {
        for (; !rows->eof(); rows->next())
            ++read;
        ADD_FAILURE() << "the result was read to its end";
    } catch (const EDBException& e) {
        EXPECT_EQ(e.code(), "57014") << e.message().toStdString();
    }
    canceller.join();
    EXPECT_GT(read, 1);
    EXPECT_LT(read, 200);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(rows->eof());
    rows.reset();
    EXPECT_EQ(connection.openQuery("SELECT 6")->value(0).toInt(), 6);
}

// A statement with a character 0 in it is refused before anything goes to the server, which would
// otherwise run it cut at that character.
TEST_F(PostgresDataAccess, AStatementWithACharacterZeroIsNotSent) {
    const QString cut = QStringLiteral("INSERT INTO SpheresGMK (Code, fName) VALUES ('01', 'a')") + QChar(0) +
                        QStringLiteral("; DELETE FROM SpheresGMK");
    try {
        db->runSQL(cut);
        FAIL() << "the statement was sent";
    } catch (const EDBException& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("символ с кодом 0"))) << e.message().toStdString();
    }
    EXPECT_THROW(db->openForwardQuery(QStringLiteral("SELECT 1") + QChar(0)), EDBException);
    EXPECT_EQ(db->scalarQuery("SELECT count(*) FROM SpheresGMK").toInt(), 0);
}
