// Statements of the editors, the document dialog and the permission editor as SQL Server receives
// them (a recording connection), where their texts are fixed to the letter: the TOP 0 reads, the
// VAT history's dates, the tariff's link batches.
#include "RecordingDatabase.h"
#include "TPermissionCollection.h"
#include "TRowPermissionPage.h"
#include "TScriptedInteraction.h"
#include "TfrSelectSourceDoc.h"
#include "TfrTariff.h"
#include "TfrVrfOrg.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

TSourceField column(const char* name, TSourceFieldType type) {
    return {QString::fromLatin1(name), type, type == TSourceFieldType::String ? 100 : 0};
}

const TSourceFieldType Int = TSourceFieldType::Integer;
const TSourceFieldType Text = TSourceFieldType::String;
const TScriptedResult Offline = TScriptedResult::failure("offline", "08S01");

// A record of a book with one current row being edited.
void openRecord(TMemoryData& record, const std::vector<std::pair<const char*, TFieldType>>& fields,
                const QVariantList& values) {
    for (const auto& [name, type] : fields)
        record.addField(QString::fromLatin1(name), type, type == TFieldType::String ? 100 : 0);
    record.open();
    record.appendRecord(values);
    record.edit();
}

class SqlServerTexts : public ::testing::Test {
protected:
    RecordingDatabase sql{TDbProvider::SqlServer};
    TScriptedInteraction ui;
    QStringList& sent = sql.connection().statements;
    std::deque<TScriptedResult>& results = sql.connection().results;
};

} // namespace

TEST_F(SqlServerTexts, TheRowPermissionPageProbesABookWithTopZero) {
    results = {TScriptedResult{{column("id", Int), column("tablename", Text), column("name", Text)},
                               {{1, "tRoletMiTypes", QStringLiteral("Типы СИ")}},
                               {}},
               TScriptedResult{}, Offline};
    TRowPermissionPage page;
    TPermissionCollection permissions;
    page.Fill(&permissions);
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[2], "SELECT TOP 0 * FROM tMiTypes");
}

TEST_F(SqlServerTexts, TheAttachedDocumentsRecordIsReadWithTopZero) {
    const TScriptedResult types{
        {column("id", Int), column("name", Text)}, {{1, QStringLiteral("Паспорт")}}, {}};
    results = {types, types, Offline};
    TfrSelectSourceDoc dialog;
    dialog.AttachDocument(11);
    EXPECT_TRUE(sent.contains("Select Top 0 id, Descript, Type, FileName, Format, Doc From Doc"))
        << sent.join("\n").toStdString();
}

TEST_F(SqlServerTexts, TheVatHistorysDatesGoOutAsDates) {
    results = {
        TScriptedResult{{column("BId", Int), column("SName", Text)}, {{1, QStringLiteral("Да")}}, {}},
        TScriptedResult{{column("id", Int), column("VATValue", TSourceFieldType::Float)}, {{2, 20.0}}, {}},
        TScriptedResult{{column("VATId", Int), column("VATDate", TSourceFieldType::DateTime)},
                        {{2, QDateTime(QDate(2004, 1, 1), QTime(13, 45))}},
                        {}}};
    TMemoryData record;
    openRecord(record, {{"id", TFieldType::Integer}, {"sName", TFieldType::String}},
               {7, QStringLiteral("ЦСМ")});
    TfrVrfOrg editor;
    editor.LoadRecord(record, true);
    sent.clear();
    EXPECT_TRUE(editor.AfterSave(nullptr));
    EXPECT_EQ(sent, QStringList({"DELETE FROM VATHistory WHERE VrfOrgId=7",
                                 "INSERT INTO VATHistory ( VrfOrgId,VATId,VATDate) VALUES(7,2,"
                                 "CONVERT (DATETIME,'1.1.2004',104))"}));
}

TEST_F(SqlServerTexts, TheTariffsLinksAreOneBatchATableWithoutSemicolons) {
    results = {TScriptedResult{
                   {column("id", Int), column("fName", Text)}, {{2, QStringLiteral("Периодическая")}}, {}},
               TScriptedResult{{column("VrfTypeId", Int)}, {{2}}, {}},
               TScriptedResult{{column("MITypeId", Int)}, {}, {}},
               TScriptedResult{{column("id", Int), column("sName", Text)}, {{3, QStringLiteral("ЦСМ")}}, {}},
               TScriptedResult{{column("VrfOrgId", Int)}, {{3}}, {}}};
    TMemoryData record;
    openRecord(record,
               {{"id", TFieldType::Integer},
                {"fName", TFieldType::String},
                {"TariffHistory.Price", TFieldType::Float},
                {"TariffHistory.TariffDate", TFieldType::DateTime}},
               {4, QStringLiteral("Манометр"), 100.0, QDateTime(QDate(2026, 1, 1), QTime(0, 0))});
    TfrTariff editor;
    editor.LoadRecord(record, true);
    ASSERT_EQ(editor.lvVrfType->count(), 1);
    ASSERT_EQ(editor.lvVrfOgr->count(), 1);
    sent.clear();
    EXPECT_TRUE(editor.AfterSave(nullptr));
    ASSERT_EQ(sent.size(), 4) << sent.join("\n").toStdString();
    EXPECT_EQ(sent[1], "DELETE FROM TariffVrfType WHERE TariffId=4\r\n"
                       "INSERT INTO TariffVrfType (TariffId, VrfTypeId) VALUES(4,2)\r\n");
    EXPECT_EQ(sent[2], "DELETE FROM TariffVrfOrg WHERE TariffId=4\r\n"
                       "INSERT INTO TariffVrfOrg (TariffId, VrfOrgId) VALUES(4,3)\r\n");
    EXPECT_EQ(sent[3], "DELETE FROM TarifftMITypes WHERE TariffId=4\r\n");
}
