// The instrument type editor's statements as SQL Server receives them (a recording connection):
// the search's condition and order, and the device type's writes with the identity read in the
// batch of its INSERT.
#include "RecordingDatabase.h"
#include "TFormCodiff.h"
#include "TFormGosReestr.h"
#include "TScriptedInteraction.h"
#include "TfrATypes.h"
#include "TfrMiType.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class MiTypeStatements : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"id", "parentId", "lnkFrmType", "DT_ID"})
            type.addField(name, TFieldType::Integer);
        for (const char* name : {"sname", "fname", "code"})
            type.addField(name, TFieldType::String, 100);
        type.open();
        type.append();
        type.fieldByName("id")->setValue(14);
        type.fieldByName("fname")->setValue("Барометры");
        sql.connection().results = {
            TScriptedResult{{{"Co", TSourceFieldType::Integer, 0}}, {{0}}, {}},
            TScriptedResult{{{"Id", TSourceFieldType::Integer, 0}, {"SName", TSourceFieldType::String, 100}},
                            {{1, QStringLiteral("Паспорт")}},
                            {}}};
        editor.LoadRecord(type, true);
        sql.connection().statements.clear();
    }
    // The bound device type as the device-type editor leaves it.
    void editedDeviceType(const QVariant& dt) {
        TMemoryData& d = editor.FDeviceType;
        for (const char* name : {"DT_ID", "ENTITY_ID", "CENTER_ID", "LOCAL_FLAG"})
            d.addField(name, TFieldType::Integer);
        for (const char* name : {"DEVICE_NAME", "DEPARTMENT_NAME", "MEASURE_TYPE_NAME"})
            d.addField(name, TFieldType::String, 100);
        d.open();
        d.append();
        d.fieldByName("DT_ID")->setValue(dt);
        d.fieldByName("ENTITY_ID")->setValue(dt.isNull() ? 0 : 7);
        d.fieldByName("CENTER_ID")->setValue(2);
        d.fieldByName("LOCAL_FLAG")->setValue(1);
        d.fieldByName("DEVICE_NAME")->setValue("Барометр O'Neil");
        d.fieldByName("DEPARTMENT_NAME")->setValue("ЦСМ");
        d.post();
    }

    RecordingDatabase sql{TDbProvider::SqlServer};
    TScriptedInteraction ui;
    TfrATypes chooser;
    TFormGosReestr gosReestr;
    TFormCodiff codiff;
    TfrMiType editor{chooser, gosReestr, codiff};
    TMemoryData type;
};

} // namespace

TEST_F(MiTypeStatements, TheSearchSendsTheTypedTextQuotedAndTheSortAsItsOrder) {
    editor.edtFilterName->setText("ab'c");
    editor.ComboBox2->setCurrentIndex(0);
    editor.edtFilterType->setText("МП");
    editor.ComboBox3->setCurrentIndex(1);
    editor.btnFind->click();
    ASSERT_EQ(sql.connection().statements.size(), 1);
    const QString& search = sql.connection().statements.first();
    EXPECT_TRUE(search.endsWith("WHERE (v.DELETION_ID IS NULL) AND (DEVICE_NAME LIKE '%ab''c%') AND "
                                "(TYPE_STR='МП') AND (LOCAL_FLAG=1) Order By 2"))
        << search.toStdString();
    EXPECT_TRUE(search.startsWith("Select DT_ID,DEVICE_NAME,DEVICE_MARK,TYPE_STR,")) << search.toStdString();
}

TEST_F(MiTypeStatements, ANewLocalDeviceTypeTakesItsIdentityInTheBatchOfItsInsert) {
    editedDeviceType(QVariant());
    sql.connection().results = {TScriptedResult{{{"", TSourceFieldType::Decimal, 0}}, {{31.0}}, {}}};
    EXPECT_TRUE(editor.BeforeSave(nullptr));
    ASSERT_EQ(sql.connection().statements.size(), 1);
    const QString& batch = sql.connection().statements.first();
    EXPECT_TRUE(batch.contains("INSERT INTO MSUL_DEVICE_TYPE")) << batch.toStdString();
    EXPECT_TRUE(batch.contains("'Барометр O''Neil'")) << batch.toStdString();
    EXPECT_FALSE(batch.contains("ЦСМ")) << "a joined column is not written";
    EXPECT_TRUE(batch.contains("CREATE_DATE")) << batch.toStdString();
    EXPECT_TRUE(batch.endsWith("\r\nSELECT SCOPE_IDENTITY()")) << batch.toStdString();
    EXPECT_TRUE(
        batch.simplified().endsWith("UPDATE MSUL_DEVICE_TYPE WITH (ROWLOCK) SET ENTITY_ID=SCOPE_IDENTITY() "
                                    "WHERE DT_ID=SCOPE_IDENTITY() SELECT SCOPE_IDENTITY()"))
        << batch.toStdString();
    EXPECT_EQ(type.fieldByName("DT_ID")->asInteger(), 31);
}

TEST_F(MiTypeStatements, AnEditedLocalDeviceTypeBecomesANewVersionOfTheSameRecord) {
    type.fieldByName("DT_ID")->setValue(7);
    editedDeviceType(40);
    // The version edited is still the current one.
    sql.connection().results = {
        TScriptedResult{{{"DELETION_ID", TSourceFieldType::Integer, 0}}, {{QVariant()}}, {}}};
    EXPECT_TRUE(editor.BeforeSave(nullptr));
    const QStringList& sent = sql.connection().statements;
    ASSERT_EQ(sent.size(), 3) << sent.join("\n").toStdString();
    EXPECT_EQ(sent[0], "SELECT DELETION_ID FROM MSUL_DEVICE_TYPE WITH (UPDLOCK, ROWLOCK) WHERE DT_ID=40");
    EXPECT_TRUE(sent[1].startsWith("INSERT INTO MSUL_DEVICE_TYPE")) << sent[1].toStdString();
    EXPECT_TRUE(sent[1].contains("7")) << "the new row keeps the identity of the record";
    EXPECT_TRUE(sent[2].startsWith("UPDATE MSUL_DEVICE_TYPE")) << sent[2].toStdString();
    EXPECT_TRUE(sent[2].contains("DELETION_ID=1")) << sent[2].toStdString();
    EXPECT_TRUE(sent[2].simplified().endsWith("WHERE DT_ID=40")) << sent[2].toStdString();
    EXPECT_EQ(type.fieldByName("DT_ID")->asInteger(), 7);
}

// The device type's record is read as the two texts SQL Server gets: its columns alone for a new
// local type, its rows for a bound one.
TEST_F(MiTypeStatements, TheDeviceTypeIsReadWithTopZeroOrItsRows) {
    const QString columns = QStringLiteral(
        " v.DT_ID, v.ENTITY_ID, v.CENTER_ID, v.DEVICE_NAME, v.DEVICE_MARK, v.TYPE_STR, v.DEV_CODE, "
        "v.ORIGINAL_CODIFF, v.CODIFF, cast(TIME_NORMA as float) TIME_NORMA, v.PERIOD, v.ORIGINAL_PERIOD, "
        "v.GOS_NO, "
        "v.METHOD, v.MARK_TYPE_ID, v.MEASURE_TYPE_CODE_ID, v.LOCAL_COMMENT, v.DEFAULT_DEPARTMENT, v.MASS, "
        "v.LOCAL_FLAG, v.GRADE_OF_ACCURACY, v.MEASUREMENT_RANGE, v.CERTIFICATION_NUMBER, "
        "v.CERTIFICATION_FINISH_DATE, v.MANUFACTURER, v.METROLOGICAL_BEHAVIOURS, v.DEPRECATED, "
        "DEPARTMENT_NAME, "
        "MEAS.MEASURE_TYPE_NAME FROM v_ADM_MSUL_DEVICE_TYPE v  left join v_MSUL_DEPARTMENT DEP on "
        "DEP.DEPARTMENT_ID=v.DEFAULT_DEPARTMENT   left join v_MSUL_MEASURE_TYPE MEAS on "
        "v.MEASURE_TYPE_CODE_ID=MEAS.MEASURE_TYPE_CODE_ID ");
    // A failed read ends each attempt after its statement: only the text matters here.
    sql.connection().results = {TScriptedResult::failure("offline", "08S01")};
    editor.btnNewDT->click();
    ASSERT_FALSE(sql.connection().statements.isEmpty());
    EXPECT_EQ(sql.connection().statements.first(), "SELECT TOP 0" + columns);

    sql.connection().statements.clear();
    type.fieldByName("DT_ID")->setValue(7);
    sql.connection().results = {TScriptedResult::failure("offline", "08S01")};
    editor.btnNewDT->click();
    ASSERT_FALSE(sql.connection().statements.isEmpty());
    EXPECT_EQ(sql.connection().statements.first(),
              "SELECT " + columns + " Where v.ENTITY_ID=7 AND (LOCAL_FLAG=1)");
}
