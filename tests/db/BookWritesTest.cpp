#include "DescriptionLoader.h"
#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TScriptedInteraction.h"
#include "TXMLDBAttributeCollection.h"
#include "TestDatabase.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

QString bookFile(const QString& table) {
    return QStringLiteral(VANTOREL_INSTALLATION_DIR) + "/BusinessData\\ReferenceBooks\\" + table + ".xml";
}

// The books of the installation folder written through their descriptions on the real server.
class BookWrites : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (HasFatalFailure())
            return;
        useAsMainConnection();
        db = TDbUtilsClass::getInstance();
    }

    // The record as the main window holds it: the book's SELECT for one row, in edit state.
    std::unique_ptr<TMemoryData> openRecord(TDbAttrCollection& book, const QString& where) {
        auto record = std::make_unique<TMemoryData>();
        db->loadQuery(*record, book.sqlSelectWhere(where));
        return record;
    }

    QVariant value(const QString& sql) { return db->scalarQuery(sql); }

    TScriptedInteraction ui;
    TDbUtilsClass* db = nullptr;
};

} // namespace

TEST_F(BookWrites, VersionedBookInsertsVersionsAndOnlyMarksDeletes) {
    auto book =
        TDescriptionLoader::loadDescription(bookFile("v_all_msul_department")); // asked in another case
    ASSERT_TRUE(book);
    ASSERT_TRUE(book->isMsul);

    auto record = openRecord(*book, "1=0");
    record->append();
    record->fieldByName("fName")->setValue(QStringLiteral("Лаборатория давления"));
    record->fieldByName("CODE")->setValue("ЛД");
    book->sqlInsert(*record);
    record->post();
    const int first = record->fieldByName("ID")->asInteger();
    EXPECT_GT(first, 0);
    EXPECT_EQ(record->fieldByName("ENTITY_ID")->asInteger(), first);
    EXPECT_EQ(
        value(QString("SELECT ENTITY_ID FROM MSUL_DEPARTMENT WHERE DEPARTMENT_ID=%1").arg(first)).toInt(),
        first);
    EXPECT_FALSE(
        value(QString("SELECT CREATE_DATE FROM MSUL_DEPARTMENT WHERE DEPARTMENT_ID=%1").arg(first)).isNull());

    record->edit();
    record->fieldByName("fName")->setValue(QStringLiteral("Лаборатория давления и вакуума"));
    book->sqlUpdate(*record);
    record->post();
    const int second = record->fieldByName("ID")->asInteger();
    EXPECT_NE(second, first);
    EXPECT_EQ(value("SELECT count(*) FROM MSUL_DEPARTMENT").toInt(), 2);
    EXPECT_EQ(
        value(QString("SELECT DELETION_ID FROM MSUL_DEPARTMENT WHERE DEPARTMENT_ID=%1").arg(first)).toInt(),
        1);
    EXPECT_EQ(
        value(QString("SELECT ENTITY_ID FROM MSUL_DEPARTMENT WHERE DEPARTMENT_ID=%1").arg(second)).toInt(),
        first);
    EXPECT_EQ(value("SELECT fName FROM v_ALL_MSUL_DEPARTMENT").toString(),
              QStringLiteral("Лаборатория давления и вакуума"));

    book->sqlDelete(*record);
    EXPECT_EQ(value("SELECT count(*) FROM MSUL_DEPARTMENT").toInt(), 2); // nothing is removed
    EXPECT_EQ(value("SELECT count(*) FROM v_ALL_MSUL_DEPARTMENT").toInt(), 0);
}

TEST_F(BookWrites, OrdinaryUpdateWritesOnlyTheMainTablesColumns) {
    db->runSQL(
        "INSERT INTO tFormTypes (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, 'Формуляр')");
    db->runSQL(
        "INSERT INTO tMiTypes (id, fName, lnkFrmType) OVERRIDING SYSTEM VALUE VALUES (10, 'Манометры', 1)");
    auto book = TDescriptionLoader::loadDescription(bookFile("tMiTypes"));
    ASSERT_TRUE(book);
    auto record = openRecord(*book, "tMiTypes.id=10");
    ASSERT_EQ(record->recordCount(), 1);
    EXPECT_EQ(record->fieldByName("FormTypeName")->asString(), QStringLiteral("Паспорт"));
    record->edit();
    record->fieldByName("sName")->setValue(QStringLiteral("Ман. О'Нил"));
    record->fieldByName("FormTypeName")->setValue(QStringLiteral("Чужое")); // a joined column: not written
    book->sqlUpdate(*record);
    record->post();
    EXPECT_EQ(value("SELECT sName FROM tMiTypes WHERE id=10").toString(), QStringLiteral("Ман. О'Нил"));
    EXPECT_EQ(value("SELECT SName FROM tFormTypes WHERE id=1").toString(), QStringLiteral("Паспорт"));

    record->append();
    record->fieldByName("fName")->setValue(QStringLiteral("МП-100"));
    record->fieldByName("ParentId")->setValue(10);
    ASSERT_TRUE(book->checkRequired(*record));
    book->sqlInsert(*record);
    const int id = record->fieldByName("id")->asInteger();
    EXPECT_EQ(value(QString("SELECT ParentId FROM tMiTypes WHERE id=%1").arg(id)).toInt(), 10);

    TMemoryData lookup;
    db->loadQuery(lookup, TDbAttrCollection::lookupSelect(*book->items(9)));
    EXPECT_EQ(lookup.recordCount(), 2);
}

TEST_F(BookWrites, ARequiredEmptyFieldStopsTheSave) {
    auto book = TDescriptionLoader::loadDescription(bookFile("tMiTypes"));
    ASSERT_TRUE(book);
    auto record = openRecord(*book, "1=0");
    record->append();
    EXPECT_FALSE(book->checkRequired(*record));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Поле \"Наименование\" не может быть пустым")});
}

TEST_F(BookWrites, TreeOfTheRealBookWithAnOrphanReport) {
    db->runSQL("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (1, NULL, "
               "'Давление'), (2, 1, 'Манометры'), "
               "(3, 2, 'МП-100'), (4, NULL, 'Температура')");
    db->runSQL("ALTER TABLE tMiTypes DROP CONSTRAINT \"FK_tMiTypes_tMiTypes\"");
    db->runSQL(
        "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (5, 77, 'Без группы')");
    TATreeDataCollection tree;
    EXPECT_FALSE(tree.loadBook(bookFile("TMITYPES"), true));
    ASSERT_NE(tree.itemById(3), nullptr);
    EXPECT_EQ(tree.itemById(3)->pathText(true),
              QStringLiteral("Типы средств измерений - Давление - Манометры - МП-100"));
    ASSERT_EQ(ui.errorLists.size(), 1);
    // Record numbers are row positions of the book's ordered SELECT: "Без группы" sorts first.
    EXPECT_TRUE(ui.errorLists.first().endsWith(":\r\n1, \"Без группы\"."))
        << ui.errorLists.first().toStdString();
}

namespace {

// One installed book: the rows its new record needs first, the values a user types for it, and the
// field he then changes.
struct BookCase {
    const char* book;
    const char* before;
    std::vector<std::pair<const char*, QVariant>> typed;
    const char* changed;
    QVariant newValue;
};

const QDateTime Hired(QDate(2020, 2, 17), QTime(0, 0));

const std::vector<BookCase>& bookCases() {
    static const std::vector<BookCase> cases = {
        {"BlockType", "", {{"sName", "Блок питания"}}, "sName", "Блок индикации"},
        {"DocType", "", {{"name", "Паспорт"}}, "name", "Методика поверки"},
        {"IntervalRef", "", {{"fName", "Год"}, {"Months", 12}}, "Months", 24},
        {"MMState", "", {{"SName", "В эксплуатации"}}, "SName", "На поверке"},
        {"MSUL_CALIBRATION_ORDERS", "", {{"ORDER_NUMBER", "К-1"}}, "ORDER_NUMBER", "К-2"},
        {"MSUL_CUSTOMER", "", {{"CUSTOMER_NAME", "ООО «Манометр»"}}, "INN", "7801234567"},
        {"MSUL_DEVICE_TYPE", "", {{"DEVICE_NAME", "Манометр"}}, "DEVICE_MARK", "МП-100"},
        {"MSUL_EMPLOYEES",
         "",
         {{"LASTNAME", "Петров"},
          {"FIRSTNAME", "Пётр"},
          {"LOCAL_CODE", "77"},
          {"HIRED", Hired},
          {"USER_INFO_ID", 3},
          {"DEPARTMENT_ID", 1}},
         "POSITION",
         "Поверитель"},
        {"ModuleType", "", {{"sName", "Модуль ввода"}}, "ChannelCount", 8},
        {"MoveStates",
         "INSERT INTO MMState (SName) VALUES ('В эксплуатации')",
         {{"State", 1}},
         "ChangeSubdivHow",
         "+"},
        {"MsrUnit", "", {{"sName", "кПа"}, {"fName", "килопаскаль"}}, "Code", "325"},
        {"ParmName", "", {{"sName", "P"}, {"fName", "Давление"}}, "fName", "Давление абсолютное"},
        {"SpheresGMK", "", {{"Code", "01"}, {"fName", "Здравоохранение"}}, "fName", "Ветеринария"},
        {"Tariff", "", {{"fName", "Поверка манометра"}, {"Status", "+"}}, "Status", "-"},
        {"TypesSU", "", {{"fName", "АСУ ТП"}}, "fName", "АСУ ТП котельной"},
        // Their rows name a login and a role of the server (the test's tag makes them its own).
        {"UserInfo", "CREATE ROLE sidorov_%TAG% LOGIN", {{"UserName", "sidorov_%TAG%"}}, "Post", "Инженер"},
        {"VAT", "", {{"fName", "НДС 20%"}, {"VATValue", 20.0}}, "VATValue", 18.0},
        {"VrfOrg", "", {{"sName", "ЦСМ"}}, "Director", "Иванов И. И."},
        {"VrfType", "", {{"fName", "Первичная"}}, "fName", "Периодическая"},
        {"optnl_parameters", "", {{"optyp_name", "Класс точности"}}, "ParamType", "string"},
        {"tFormTypes", "", {{"SName", "Паспорт"}}, "SName", "Формуляр"},
        {"tMiTypes", "", {{"fName", "Манометры"}}, "sName", "Ман."},
        {"tRoles",
         "CREATE ROLE \"ORTA-Проба_%TAG%\" NOLOGIN",
         {{"fname", "ORTA-Проба_%TAG%"}},
         "Notes",
         "Проверка"},
        {"tSubDivs", "", {{"fName", "Лаборатория давления"}}, "Code", "ЛД"},
        {"v_ALL_MSUL_DEPARTMENT", "", {{"fName", "Отдел"}}, "CODE", "О-1"},
    };
    return cases;
}

class InstalledBookWrites : public BookWrites, public ::testing::WithParamInterface<BookCase> {
protected:
    // The book's record of that key as the main window reads it.
    std::unique_ptr<TMemoryData> stored(TDbAttrCollection& book, int id) {
        return openRecord(book, book.mainTableName() + '.' + book.keyFieldName() + '=' + QString::number(id));
    }
};

} // namespace

// Added and then edited as a user does, on a server whose keys refuse to be given or changed.
TEST_P(InstalledBookWrites, ANewRecordIsSavedAndThenEdited) {
    const BookCase& c = GetParam();
    const auto tagged = [this](const QVariant& v) {
        return v.typeId() == QMetaType::QString ? QVariant(v.toString().replace("%TAG%", uniqueTag())) : v;
    };
    if (*c.before)
        db->runSQL(QString::fromUtf8(c.before).replace("%TAG%", uniqueTag()));
    auto book = TDescriptionLoader::loadDescription(installedBookFile(c.book));
    ASSERT_TRUE(book);
    const QString key = book->keyFieldName();

    auto record = openRecord(*book, "1=0");
    record->append();
    for (const auto& [field, value] : c.typed)
        record->fieldByName(field)->setValue(tagged(value));
    ASSERT_TRUE(book->checkRequired(*record)) << ui.texts().join("\n").toStdString();
    book->sqlInsert(*record);
    record->post();
    const int id = record->fieldByName(key)->asInteger();
    ASSERT_GT(id, 0);

    auto saved = stored(*book, id);
    ASSERT_EQ(saved->recordCount(), 1);
    EXPECT_EQ(saved->fieldByName(c.typed.front().first)->value(), tagged(c.typed.front().second));
    saved->edit();
    saved->fieldByName(c.changed)->setValue(c.newValue);
    book->sqlUpdate(*saved);
    saved->post();

    auto edited = stored(*book, saved->fieldByName(key)->asInteger());
    ASSERT_EQ(edited->recordCount(), 1);
    EXPECT_EQ(edited->fieldByName(c.changed)->value(), c.newValue);
    for (const auto& [field, value] : c.typed)
        if (qstrcmp(field, c.changed) != 0)
            EXPECT_EQ(edited->fieldByName(field)->value(), tagged(value)) << field;
}

INSTANTIATE_TEST_SUITE_P(Installed, InstalledBookWrites, ::testing::ValuesIn(bookCases()),
                         [](const ::testing::TestParamInfo<BookCase>& info) {
                             return std::string(info.param.book);
                         });

TEST(InstalledBookCases, CoverEveryBookTheInstallationWrites) {
    QStringList covered;
    for (const BookCase& c : bookCases())
        covered << QString::fromLatin1(c.book);
    QStringList installed = installedWrittenBooks();
    covered.sort(Qt::CaseInsensitive);
    installed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(covered, installed);
}

// A trigger that draws another sequence after the INSERT does not change the key a save reads, for
// an ordinary book and for a versioned one (whose ENTITY_ID is set from that key).
TEST_F(BookWrites, ANewRecordsKeyIsTheInsertsOwn) {
    auditInserts("tMiTypes", 40);
    exec("CREATE TRIGGER audit AFTER INSERT ON MSUL_DEPARTMENT FOR EACH ROW EXECUTE FUNCTION audit_insert()");
    auto types = TDescriptionLoader::loadDescription(installedBookFile("tMiTypes"));
    ASSERT_TRUE(types);
    auto type = openRecord(*types, "1=0");
    type->append();
    type->fieldByName("fName")->setValue(QStringLiteral("Манометры"));
    types->sqlInsert(*type);
    EXPECT_EQ(type->fieldByName("id")->asInteger(),
              value("SELECT id FROM tMiTypes WHERE fName='Манометры'").toInt());

    auto departments = TDescriptionLoader::loadDescription(installedBookFile("v_ALL_MSUL_DEPARTMENT"));
    ASSERT_TRUE(departments);
    auto department = openRecord(*departments, "1=0");
    department->append();
    department->fieldByName("fName")->setValue(QStringLiteral("Отдел"));
    departments->sqlInsert(*department);
    const int id = department->fieldByName("ID")->asInteger();
    EXPECT_EQ(id, value("SELECT DEPARTMENT_ID FROM MSUL_DEPARTMENT WHERE DEPARTMENT_NAME='Отдел'").toInt());
    EXPECT_EQ(value(QString("SELECT ENTITY_ID FROM MSUL_DEPARTMENT WHERE DEPARTMENT_ID=%1").arg(id)).toInt(),
              id);
    EXPECT_EQ(department->fieldByName("ENTITY_ID")->asInteger(), id);
    EXPECT_EQ(value("SELECT count(*) FROM audit_rows").toInt(), 2);
}
