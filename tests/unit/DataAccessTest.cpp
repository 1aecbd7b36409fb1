#include "EError.h"
#include "RecordingDatabase.h"
#include "SettingsSandbox.h"
#include "TMemoryData.h"
#include "TMemoryQuery.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

class DataAccess : public ::testing::Test {
protected:
    RecordingDatabase database;
    TDbUtilsClass& db = database.db();
    TRecordingConnection& connection = database.connection();
};

QStringList fieldNames(const TMemoryData& data) {
    QStringList names;
    for (int i = 0; i < data.fieldCount(); ++i)
        names << data.field(i)->fieldName();
    return names;
}

using T = TSourceFieldType;

} // namespace

TEST_F(DataAccess, ConnectsOnDemandWithFixedFailureTexts) {
    connection.openError = EDBException("server unreachable", "08001");
    try {
        db.openQuery("select 1");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "db.TDBUtilsClass.openQuery() Cannot connect to the database");
    }
    try {
        db.runSQL("delete from T");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "db.TDBUtilsClass.runSQL() Cannot connect to the database");
    }
    EXPECT_TRUE(connection.statements.isEmpty());

    connection.openError.reset();
    db.runSQL("update T set a = ':x'");
    EXPECT_EQ(connection.opened, 1);
    db.openQuery(QStringList{"select 1", "from T"});
    EXPECT_EQ(connection.opened, 1); // stays open
    EXPECT_EQ(connection.statements, (QStringList{"update T set a = ':x'", "select 1\r\nfrom T\r\n"}));
}

TEST_F(DataAccess, ServerErrorsPassUnchanged) {
    connection.results.push_back(TScriptedResult::failure("Invalid object name 'X'.", "208"));
    try {
        db.runSQL("select * from X");
        FAIL();
    } catch (const EDBException& e) {
        EXPECT_EQ(e.message(), "Invalid object name 'X'.");
        EXPECT_EQ(e.code(), "208");
    }
}

TEST_F(DataAccess, ScalarQueryOfNoRowsIsNull) {
    EXPECT_FALSE(db.scalarQuery("select id from T where 1=0").isValid());
    connection.results.push_back({{{"n", T::Integer, 0}}, {{7}, {8}}, {}});
    EXPECT_EQ(db.scalarQuery("select n from T").toInt(), 7);
}

TEST_F(DataAccess, LoadFromDataSetMapsTypesAndDropsTheRest) {
    TMemoryQuery source({{"id", T::AutoInc, 0},
                         {"name", T::WideString, 40},
                         {"price", T::Decimal, 0},
                         {"made", T::Date, 0},
                         {"big", T::LargeInt, 0},
                         {"note", T::Memo, 0},
                         {"sum", T::Currency, 0},
                         {"guid", T::Guid, 0},
                         {"ok", T::Boolean, 0}},
                        {{1, "Манометр", 1.5, QDate(2026, 1, 2), 5, "м", 2.5, "{x}", true},
                         {2, "Вакуумметр", 2.5, QVariant(), 6, QVariant(), 3.5, "{y}", false}});
    source.next(); // the remembered position comes back
    TMemoryData target;
    TDbUtilsClass::loadFromDataSet(&target, &source);
    EXPECT_EQ(fieldNames(target), (QStringList{"id", "name", "made", "big", "note", "sum", "ok"}));
    EXPECT_EQ(target.fieldByName("id")->dataType(), TFieldType::Integer);
    EXPECT_EQ(target.fieldByName("name")->dataType(), TFieldType::String);
    EXPECT_EQ(target.fieldByName("name")->size(), 40);
    EXPECT_EQ(target.fieldByName("made")->dataType(), TFieldType::DateTime);
    EXPECT_EQ(target.fieldByName("note")->dataType(), TFieldType::Memo);
    EXPECT_EQ(target.fieldByName("sum")->dataType(), TFieldType::Currency);
    ASSERT_EQ(target.recordCount(), 2);
    EXPECT_EQ(target.valueAt(2, target.fieldByName("name")).toString(), QStringLiteral("Вакуумметр"));
    EXPECT_EQ(target.valueAt(1, target.fieldByName("made")).toDateTime(),
              QDateTime(QDate(2026, 1, 2), QTime(0, 0)));
    EXPECT_EQ(source.position(), 1);
    TDbUtilsClass::loadFromDataSet(nullptr, &source); // nothing happens
}

TEST_F(DataAccess, LoadQueryPutsReplacedFieldsLast) {
    connection.results.push_back({{{"ID", T::AutoInc, 0}, {"NAME", T::WideString, 30}, {"X", T::Integer, 0}},
                                  {{1, "a", 10}, {2, "b", 20}},
                                  {}});
    TMemoryData target;
    target.addField("stale", TFieldType::Integer);
    db.loadQuery(target, "select ID, NAME, X from T");
    EXPECT_EQ(fieldNames(target), (QStringList{"X", "NAME", "ID"}));
    EXPECT_EQ(target.fieldByName("ID")->dataType(), TFieldType::Integer);
    EXPECT_EQ(target.fieldByName("NAME")->dataType(), TFieldType::String);
    EXPECT_EQ(target.fieldByName("NAME")->size(), 30);
    ASSERT_EQ(target.recordCount(), 2);
    EXPECT_EQ(target.valueAt(2, target.fieldByName("ID")).toInt(), 2);
    EXPECT_EQ(target.valueAt(2, target.fieldByName("NAME")).toString(), "b");
    EXPECT_FALSE(target.controlsDisabled());
}

TEST_F(DataAccess, MergeRecordChangesTheKeyedRowOrAddsOne) {
    TMemoryData target;
    target.addField("id", TFieldType::Integer);
    target.addField("name", TFieldType::String, 20);
    target.open();
    target.appendRecord({1, "a"});
    target.appendRecord({2, "b"});
    target.appendRecord({3, "c"});
    target.fieldByName("name")->readOnly = true;
    target.setRecNo(2);

    TMemoryQuery changed({{"ID", T::Integer, 0}, {"NAME", T::String, 20}}, {{2, "B2"}});
    TDbUtilsClass::mergeRecord(target, changed, "id", true);
    EXPECT_EQ(target.recordCount(), 3);
    EXPECT_EQ(target.valueAt(2, target.fieldByName("name")).toString(), "B2");
    EXPECT_TRUE(target.fieldByName("name")->readOnly);

    TMemoryQuery added({{"id", T::Integer, 0}, {"name", T::String, 20}}, {{9, "new"}});
    target.setRecNo(2);
    TDbUtilsClass::mergeRecord(target, added, "id", true);
    ASSERT_EQ(target.recordCount(), 4);
    EXPECT_EQ(target.valueAt(2, target.fieldByName("id")).toInt(), 9); // inserted at the current row

    TMemoryQuery appended({{"id", T::Integer, 0}}, {{10}});
    target.last();
    TDbUtilsClass::mergeRecord(target, appended, "id", false);
    EXPECT_EQ(target.valueAt(5, target.fieldByName("id")).toInt(), 10);
    EXPECT_EQ(target.recNo(), 5);

    TMemoryQuery readOnly({{"id", T::Integer, 0}, {"name", T::String, 20}}, {{1, "x"}});
    EXPECT_THROW(TDbUtilsClass::mergeRecord(target, readOnly, "id", false), EError);
    EXPECT_EQ(target.state(), TDataSetState::Browse); // nothing left half-edited
    EXPECT_EQ(target.valueAt(1, target.fieldByName("name")).toString(), "a");
}

TEST_F(DataAccess, RefreshRecordDropsARowTheServerNoLongerHas) {
    TMemoryData table;
    table.addField("id", TFieldType::Integer);
    table.open();
    table.appendRecord({1});
    table.appendRecord({2});
    db.refreshRecord(table, "select id from T where id=1", "id", 1);
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.valueAt(1, table.fieldByName("id")).toInt(), 2);
}

TEST(Settings, ServerAndDatabaseComeFromTheUserThenTheMachine) {
    SettingsSandbox settings;
    settings.setMachine("server", "machine-srv");
    EXPECT_EQ(TdmDataBase::registryServer(false), "machine-srv");
    settings.setUser("server", "user-srv");
    EXPECT_EQ(TdmDataBase::registryServer(false), "user-srv");
    EXPECT_EQ(TdmDataBase::registryServer(true), "machine-srv");
    settings.setUser("dbname", "");
    settings.setMachine("dbname", "ORTA");
    EXPECT_EQ(TdmDataBase::registryDbName(false), "ORTA"); // an empty user value does not count
    EXPECT_EQ(TdmDataBase::provider(), TDbProvider::SqlServer);
}

TEST(Settings, ConnectionStringFollowsTheSettings) {
    SettingsSandbox settings;
    settings.setMachine("server", "SRV\\SQL2019");
    EXPECT_EQ(
        TDbUtilsClass::connectionString(),
        "APP=Lumbrex;Provider=SQLOLEDB.1;Persist Security Info=True;Initial Catalog=;Data "
        "Source=SRV\\SQL2019;"
        "Use Procedure for Prepare=1;Auto Translate=True;Packet Size=4096;Use Encryption for Data=False;"
        "Tag with column collation when possible=False");
    settings.setUser("provider", "PostgreSQL");
    settings.setUser("dbname", "vestar");
    EXPECT_TRUE(TDbUtilsClass::connectionString().startsWith(
        "APP=Lumbrex;Provider=PostgreSQL;Persist Security Info=True;Initial Catalog=vestar;Data "
        "Source=SRV\\SQL2019;"));
    EXPECT_EQ(TdmDataBase::provider(), TDbProvider::PostgreSQL);
}

TEST(Settings, AServerWithAPortSurvivesTheSettingsFile) {
    SettingsSandbox settings;
    settings.setUser("server", "127.0.0.1,25141");
    settings.setUser("vantorel", "admin"); // the file is written again
    EXPECT_EQ(TdmDataBase::registryServer(false), "127.0.0.1,25141");
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, "VELMARK", "ORTA");
        raw.setValue("server",
                     QStringList{"db.lab.local", "1433"}); // as a hand-written "db.lab.local, 1433" reads
    }
    EXPECT_EQ(TdmDataBase::registryServer(false), "db.lab.local,1433");
}
