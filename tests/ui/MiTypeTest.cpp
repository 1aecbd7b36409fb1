// The instrument type editor opened from "Типы средств измерений" by the navigator, on the real
// server: the not-an-instrument mark, the search in the central register, binding, editing and
// unbinding a device type, the form type carried down the tree, the documents button.
#include "TDBGrid.h"
#include "TEditorSet.h"
#include "TTitleSort.h"
#include "TfrDEVICE.h"
#include "TfrDocManager.h"
#include "TfrMiType.h"
#include "WorkstationTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;
using Actions = std::function<void(TfrMiType&)>;

const QString notSiWarning = QStringLiteral("Внимание! Установка данного флага для типа блокирует отправку "
                                            "информации в АИС \"Ирвега\" как о самом типе, "
                                            "так и всех связанных с ним данных (паспортах, их поверках и "
                                            "т.д.). Используйте данный флаг только для типов "
                                            "гарантировано не являющихся средствами измерений.");

class MiType : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tFormTypes (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, "
             "'Формуляр')");
        // Давление > Манометры > МП-100 > МП-100 исп. 1; Давление > Барометры; Гири (not an instrument).
        exec("INSERT INTO tMiTypes (id, ParentId, fName, sName, lnkFrmType, DT_ID) OVERRIDING SYSTEM VALUE "
             "VALUES "
             "(10, NULL, 'Давление', NULL, 1, NULL), (11, 10, 'Манометры', NULL, 1, NULL), "
             "(12, 11, 'МП-100', 'МП', 1, 5), (13, 12, 'МП-100 исп. 1', NULL, 1, NULL), "
             "(14, 10, 'Барометры', NULL, 1, NULL), (20, NULL, 'Гири', NULL, 1, -2147483647)");
        exec("SELECT setval(pg_get_serial_sequence('tmitypes', 'id'), 100)");
        exec("INSERT INTO MSUL_MEASURE_TYPE (MEASURE_TYPE_CODE_ID, MEASURE_TYPE_CODE, MEASURE_TYPE_NAME) "
             "OVERRIDING SYSTEM VALUE "
             "VALUES "
             "(1, '27', 'Измерения давления')");
        exec("INSERT INTO MSUL_CODIFF (ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME) VALUES "
             "('27', '27', 'Измерения давления'), ('27.01', '2701', 'Манометры')");
        exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, DEPARTMENT_NAME) OVERRIDING SYSTEM "
             "VALUE VALUES (1, 1, 'ЦСМ')");
        // Central 1 and 2, a central name with a quote, and the local copy 5 of central 1 bound to МП-100.
        exec("INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, CENTER_ID, DEVICE_NAME, TYPE_STR, DEVICE_MARK, "
             "PERIOD, MARK_TYPE_ID, MEASURE_TYPE_CODE_ID, ORIGINAL_CODIFF, CODIFF, DEFAULT_DEPARTMENT, "
             "GOS_NO, "
             "LOCAL_FLAG) OVERRIDING SYSTEM VALUE VALUES "
             "(1, 1, 1, 'Манометр', 'МП-100', 'МП-100', 12, 1, 1, '27.01', '2701', 1, '1001-01', 0), "
             "(2, 2, 2, 'Манометр', 'МП-160', 'МП-160', NULL, 1, 1, '27.01', '2701', NULL, '1002-01', 0), "
             "(3, 3, 3, 'Манометр ab''c', 'МТ', 'МТ-1', 24, 2, 1, '27.01', '2701', NULL, '1003-01', 0), "
             "(5, 5, 1, 'Манометр', 'МП-100', 'МП-100 лок', 12, 1, 1, '27.01', '2701', 1, '1001-01', 1)");
        exec("SELECT setval(pg_get_serial_sequence('msul_device_type', 'dt_id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    // Opens the editor on the type named name, shown among the children of the node parent.
    void edit(const QString& parent, const QString& name, std::deque<std::function<int(QObject*)>> handlers) {
        select(parent);
        ASSERT_TRUE(window->FrxmdData.locate("fName", name)) << name.toStdString();
        ui.modalHandlers = std::move(handlers);
        press(B::nbEdit);
        EXPECT_TRUE(ui.modalHandlers.empty()) << "a window that was expected did not open";
    }

    static void clickTitle(TDBGrid& grid, const char* field) {
        grid.window()->show(); // laid out, as the user sees it
        EXPECT_TRUE(QTest::qWaitForWindowExposed(grid.window()));
        QHeaderView* header = grid.horizontalHeader();
        const int column = grid.columnOfField(QString::fromLatin1(field));
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    static QStringList column(TMemoryData& data, const char* field) {
        QStringList values;
        for (int r = 1; r <= data.recordCount(); ++r)
            values << data.valueAt(r, data.fieldByName(QString::fromLatin1(field))).toString();
        return values;
    }

    static QString linkValue(TfrMiType& e, int row) { return e.lvLink->topLevelItem(row)->text(1); }

    // Searches the central register for name, as the user types it, and makes the row with mark current.
    static void findAndChoose(TfrMiType& e, const QString& name, const QString& mark) {
        e.edtFilterName->setText(name);
        e.ComboBox3->setCurrentIndex(2); // "Центрального ведения"
        e.btnFind->click();
        ASSERT_TRUE(e.FSearchResults.locate("DEVICE_MARK", mark)) << mark.toStdString();
    }
};

} // namespace

// A marked type opens ticked, without the binding's groups, with the warning, and stays marked; an
// unmarked one opens unticked and quiet. Unticking leaves DT_ID null.
TEST_F(MiType, TheNotAnInstrumentMark) {
    edit(QStringLiteral("Типы средств измерений"), QStringLiteral("Гири"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
             EXPECT_TRUE(e.NotSI->isChecked());
             EXPECT_TRUE(e.GroupBox1->isHidden());
             EXPECT_TRUE(e.GroupBox2->isHidden());
             e.btnOk->click();
         })});
    EXPECT_EQ(ui.texts(), QStringList{notSiWarning});
    EXPECT_EQ(value("SELECT DT_ID FROM tMiTypes WHERE id=20").toInt(), TfrMiType::NOT_SI_MARKER);

    ui.messages.clear();
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"), {inEditor<TfrMiType>([](TfrMiType& e) {
             EXPECT_FALSE(e.NotSI->isChecked());
             EXPECT_FALSE(e.GroupBox1->isHidden());
             e.btnCancel->click();
         })});
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();

    edit(QStringLiteral("Типы средств измерений"), QStringLiteral("Гири"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
             QTest::mouseClick(e.NotSI, Qt::LeftButton, {}, QPoint(5, e.NotSI->height() / 2));
             EXPECT_FALSE(e.NotSI->isChecked());
             EXPECT_FALSE(e.GroupBox1->isHidden());
             e.btnOk->click();
         })});
    EXPECT_TRUE(value("SELECT DT_ID IS NULL FROM tMiTypes WHERE id=20").toBool());
}

// No condition: a warning and nothing sent. Typed text goes as typed (a quote included); the
// sort by titles decides the next search's order.
TEST_F(MiType, SearchInTheCentralRegister) {
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"), {inEditor<TfrMiType>([](TfrMiType& e) {
             e.btnFind->click();
             EXPECT_FALSE(e.FSearchResults.active());
             EXPECT_FALSE(e.btnLink->isEnabled());

             e.edtFilterName->setText("ab'c");
             e.btnFind->click();
             EXPECT_EQ(column(e.FSearchResults, "DEVICE_NAME"), QStringList{"Манометр ab'c"});
             EXPECT_TRUE(e.btnLink->isEnabled());

             e.edtFilterName->setText("манометр"); // as SQL Server's usual collation: any case
             e.ComboBox1->setCurrentIndex(1);      // "Начинается с"
             e.ComboBox3->setCurrentIndex(2);      // "Центрального ведения"
             e.btnFind->click();
             EXPECT_EQ(e.FSearchResults.recordCount(), 3);
             EXPECT_EQ(e.FSearchResults.fieldByName("LOCAL_FLAG")->dataType(), TFieldType::Boolean);

             clickTitle(*e.GosReestrGrid, "DEVICE_NAME"); // the sort column already: descending
             EXPECT_EQ(e.FSort->column(), 1);
             EXPECT_EQ(e.FSort->direction(), -1);
             clickTitle(*e.GosReestrGrid, "DEVICE_MARK");
             EXPECT_EQ(e.FSort->column(), 2);
             EXPECT_EQ(e.FSort->direction(), 1);
             EXPECT_EQ(column(e.FSearchResults, "DEVICE_MARK"), (QStringList{"МП-100", "МП-160", "МТ-1"}));
             clickTitle(*e.GosReestrGrid, "DEVICE_MARK");
             EXPECT_EQ(column(e.FSearchResults, "DEVICE_MARK"), (QStringList{"МТ-1", "МП-160", "МП-100"}));
             e.FSearchResults.setSortOrder(QString()); // the server's order alone from here
             e.btnFind->click();                       // "Order By 3 DESC"
             EXPECT_EQ(column(e.FSearchResults, "DEVICE_MARK"), (QStringList{"МТ-1", "МП-160", "МП-100"}));

             e.edtFilterName->clear();
             e.ComboBox3->setCurrentIndex(0);
             e.btnFind->click();
             e.btnCancel->click();
         })});
    EXPECT_EQ(ui.texts(), (QStringList{"Условия для поиска не заданы!", "Условия для поиска не заданы!"}));
}

// Binding a central record opens the device-type editor on a local copy; OK writes the copy as a
// new local record in the type's save, and the unnamed type takes the device type's names.
TEST_F(MiType, BindingACentralRecordWritesALocalCopy) {
    exec("UPDATE tMiTypes SET sName=NULL WHERE id=14");
    TfrMiType* mi = nullptr;
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"),
         {inEditor<TfrMiType>([&mi](TfrMiType& e) {
              mi = &e;
              findAndChoose(e, "Манометр", "МП-160");
              e.btnLink->click();
              EXPECT_EQ(linkValue(e, 7), "Л-77") << "the edited copy is shown";
              EXPECT_EQ(e.DBEdit1->text(), "МП-160");
              e.btnOk->click();
          }),
          inEditor<TfrDEVICE>([&mi](TfrDEVICE& d) {
              TMemoryData& copy = mi->FDeviceType;
              EXPECT_TRUE(copy.fieldByName("LOCAL_FLAG")->asBoolean());
              EXPECT_EQ(copy.fieldByName("CENTER_ID")->asInteger(), 2);
              EXPECT_EQ(copy.fieldByName("ENTITY_ID")->asInteger(), 0);
              EXPECT_TRUE(copy.fieldByName("DT_ID")->isNull());
              EXPECT_TRUE(d.DBEdit1->isReadOnly()) << "a record from the central register keeps its name";
              EXPECT_TRUE(d.btnCodiff->isHidden());
              d.DBEdit8->setText("Л-77");
              d.btnOk->click();
          })});
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int bound = value("SELECT DT_ID FROM tMiTypes WHERE id=14").toInt();
    EXPECT_GT(bound, 100);
    EXPECT_EQ(value(QString("SELECT concat_ws('/', ENTITY_ID, CENTER_ID, LOCAL_FLAG, DEV_CODE, DEVICE_MARK, "
                            "PERIOD IS NULL) FROM MSUL_DEVICE_TYPE WHERE DT_ID=%1")
                        .arg(bound))
                  .toString(),
              QString("%1/2/1/Л-77/МП-160/t").arg(bound));
    EXPECT_EQ(value("SELECT concat_ws('/', sName, fName) FROM tMiTypes WHERE id=14").toString(),
              "МП-160/Барометры");

    // Opened again: the binding is read from the local record by its identity.
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"), {inEditor<TfrMiType>([](TfrMiType& e) {
             EXPECT_EQ(linkValue(e, 8), "МП-160");
             EXPECT_EQ(linkValue(e, 6), "2");
             e.btnCancel->click();
         })});
}

// Cancelling the device-type editor of a binding leaves the type unbound.
TEST_F(MiType, ACancelledBindingLeavesTheTypeUnbound) {
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
              findAndChoose(e, "Манометр", "МП-100");
              e.btnLink->click();
              EXPECT_TRUE(linkValue(e, 0).isEmpty());
              EXPECT_FALSE(e.FDeviceType.active());
              e.btnOk->click();
          }),
          inEditor<TfrDEVICE>([](TfrDEVICE& d) { d.btnCancel->click(); })});
    EXPECT_TRUE(value("SELECT DT_ID IS NULL FROM tMiTypes WHERE id=14").toBool());
    EXPECT_EQ(value("SELECT count(*) FROM MSUL_DEVICE_TYPE").toInt(), 4);
}

// The bound local record edited: a new version with the same identity, the old one marked deleted,
// the type still bound. Unbinding then clears DT_ID. A newer version written meanwhile by another
// workstation is not overwritten.
TEST_F(MiType, EditingTheBoundRecordWritesANewVersion) {
    edit(QStringLiteral("Манометры"), QStringLiteral("МП-100"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
              EXPECT_EQ(linkValue(e, 8), "МП-100 лок");
              EXPECT_EQ(linkValue(e, 18), "ЦСМ");
              e.btnNewDT->click();
              EXPECT_EQ(linkValue(e, 8), "МП-100 лок2");
              e.btnOk->click();
          }),
          inEditor<TfrDEVICE>([](TfrDEVICE& d) {
              EXPECT_EQ(d.edtDEPARTMENT->text(), "ЦСМ");
              d.DBEdit6->setText("МП-100 лок2");
              d.btnOk->click();
          })});
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT DT_ID FROM tMiTypes WHERE id=12").toInt(), 5);
    EXPECT_EQ(value("SELECT DELETION_ID FROM MSUL_DEVICE_TYPE WHERE DT_ID=5").toInt(), 1);
    EXPECT_EQ(
        value("SELECT string_agg(DEVICE_MARK, ',') FROM v_ADM_MSUL_DEVICE_TYPE WHERE ENTITY_ID=5").toString(),
        "МП-100 лок2");

    // Another workstation writes a newer version while this one edits.
    edit(QStringLiteral("Манометры"), QStringLiteral("МП-100"),
         {inEditor<TfrMiType>([this](TfrMiType& e) {
              e.btnNewDT->click();
              exec("UPDATE MSUL_DEVICE_TYPE SET DELETION_ID=1 WHERE ENTITY_ID=5 AND DELETION_ID IS NULL");
              exec("INSERT INTO MSUL_DEVICE_TYPE (ENTITY_ID, DEVICE_NAME, DEVICE_MARK, LOCAL_FLAG) VALUES "
                   "(5, 'Манометр', 'чужая версия', 1)");
              e.btnOk->click();
          }),
          inEditor<TfrDEVICE>([](TfrDEVICE& d) {
              d.DBEdit6->setText("моя версия");
              d.btnOk->click();
          }),
          inEditor<TfrMiType>([](TfrMiType& e) {
              EXPECT_EQ(linkValue(e, 8), "моя версия") << "shown again with what was typed";
              e.btnCancel->click();
          })});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("изменена или удалена другим пользователем"))
        << ui.texts()[0].toStdString();
    EXPECT_EQ(
        value("SELECT string_agg(DEVICE_MARK, ',') FROM v_ADM_MSUL_DEVICE_TYPE WHERE ENTITY_ID=5").toString(),
        "чужая версия");

    ui.messages.clear();
    edit(QStringLiteral("Манометры"), QStringLiteral("МП-100"), {inEditor<TfrMiType>([](TfrMiType& e) {
             EXPECT_EQ(linkValue(e, 8), "чужая версия");
             e.btnUnLink->click();
             EXPECT_TRUE(linkValue(e, 8).isEmpty());
             e.btnOk->click();
         })});
    EXPECT_TRUE(value("SELECT DT_ID IS NULL FROM tMiTypes WHERE id=12").toBool());
}

// A type bound to a central record (older data): editing its binding right after opening looks
// for a local record, finds none and shows nothing.
TEST_F(MiType, EditingABindingToACentralRecordFindsNoLocalRecord) {
    exec("UPDATE tMiTypes SET DT_ID=1 WHERE id=14");
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"), {inEditor<TfrMiType>([](TfrMiType& e) {
             e.btnNewDT->click(); // no device-type editor: an unexpected window would fail the test
             EXPECT_TRUE(e.FDeviceType.isEmpty());
             e.btnCancel->click();
         })});
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

// A new type bound to a new local device type: the device type is named after the group and the
// type; the unnamed type takes the modification as its names.
// Its key is the INSERT's own, whatever a trigger of the register's table draws meanwhile.
TEST_F(MiType, ANewTypeWithANewLocalDeviceType) {
    auditInserts("MSUL_DEVICE_TYPE", 5000);
    select(QStringLiteral("Манометры"));
    ui.modalHandlers = {inEditor<TfrMiType>([](TfrMiType& e) {
                            e.DBLookupComboBox1->setCurrentIndex(e.DBLookupComboBox1->findText("Формуляр"));
                            e.btnPassports->click();
                            e.btnNewDT->click();
                            e.btnOk->click();
                        }),
                        inEditor<TfrDEVICE>([](TfrDEVICE& d) {
                            EXPECT_EQ(d.DBEdit1->text(), "Манометры");
                            EXPECT_FALSE(d.DBEdit1->isReadOnly());
                            d.DBEdit6->setText("МТИ-1216");
                            d.DBEdit4->setCurrentIndex(0);
                            emit d.DBEdit4->activated(0);
                            EXPECT_EQ(d.DBEdit16->text(), "27");
                            d.DBComboBoxEh1->setCurrentIndex(3);
                            d.btnOk->click();
                        })};
    press(B::nbInsert);
    EXPECT_EQ(ui.texts(),
              QStringList{"Операции по управлению связанными документами недоступны в режиме создания "
                          "типа СИ."});
    const QVariantList row{
        value("SELECT concat_ws('/', t.sName, t.fName, t.lnkFrmType, d.DEVICE_NAME, d.DEVICE_MARK, "
              "d.CODIFF, d.MARK_TYPE_ID, d.ENTITY_ID = d.DT_ID) FROM tMiTypes t JOIN "
              "MSUL_DEVICE_TYPE d ON d.DT_ID = t.DT_ID WHERE t.ParentId=11 AND t.id > 100")};
    EXPECT_EQ(row[0].toString(), "МТИ-1216/МТИ-1216/2/Манометры/МТИ-1216/27/4/t");
}

// The form type of a saved group goes to every type below it, one UPDATE each; an empty form type
// keeps the editor open.
TEST_F(MiType, TheFormTypeIsCarriedDownTheTree) {
    edit(QStringLiteral("Типы средств измерений"), QStringLiteral("Давление"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
             e.DBLookupComboBox1->setCurrentIndex(-1);
             e.btnOk->click();
             EXPECT_NE(e.result(), int(QDialog::Accepted));
             e.DBLookupComboBox1->setCurrentIndex(e.DBLookupComboBox1->findText("Формуляр"));
             e.btnOk->click();
         })});
    EXPECT_EQ(ui.texts(), QStringList{"Поле тип формы не может быть пустым. Выберите значение."});
    EXPECT_EQ(value("SELECT string_agg(id || '=' || lnkFrmType, ',' ORDER BY id) FROM tMiTypes").toString(),
              "10=2,11=2,12=2,13=2,14=2,20=1");
}

// The documents button shows the count and opens the manager; the count is read again after it.
TEST_F(MiType, TheDocumentsButtonCountsAndOpensTheManager) {
    exec("INSERT INTO Doc (id, Descript, FileName, Format, Doc) OVERRIDING SYSTEM VALUE VALUES (1, "
         "'Паспорт', 'p.txt', 'txt', 'x'), "
         "(2, 'РЭ', 'r.txt', 'txt', 'y')");
    exec("INSERT INTO DocLinks (DocId, MITypeId) VALUES (1, 14)");
    edit(QStringLiteral("Давление"), QStringLiteral("Барометры"),
         {inEditor<TfrMiType>([this](TfrMiType& e) {
              EXPECT_EQ(e.btnPassports->text(), "1");
              e.btnPassports->click();
              EXPECT_EQ(e.btnPassports->text(), "2");
              e.btnCancel->click();
          }),
          inEditor<TfrDocManager>([this](TfrDocManager& m) {
              EXPECT_EQ(m.list.recordCount(), 1);
              exec("INSERT INTO DocLinks (DocId, MITypeId) VALUES (2, 14)");
              m.btnCancel->click();
          })});
}

// The save of a bound and re-typed group with the connection killed at each of its statements:
// nothing of it stays, and the editor comes back with the binding and the form type chosen.
class MiTypeFaults : public MiType, public ::testing::WithParamInterface<const char*> {};

TEST_P(MiTypeFaults, NothingOfTheSaveStays) {
    exec("CREATE FUNCTION die() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
         "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$");
    const QString state =
        "SELECT (SELECT count(*) FROM MSUL_DEVICE_TYPE) || '/' || "
        "(SELECT string_agg(id || '=' || lnkFrmType || ':' || coalesce(DT_ID, 0), ',' ORDER BY id) "
        "FROM tMiTypes)";
    const QString before = value(state).toString();
    exec(QString("CREATE TRIGGER die %1 EXECUTE FUNCTION die()").arg(GetParam()));
    QString shownAgain;
    edit(QStringLiteral("Давление"), QStringLiteral("Манометры"),
         {inEditor<TfrMiType>([](TfrMiType& e) {
              findAndChoose(e, "Манометр", "МП-160");
              e.btnLink->click();
              e.DBLookupComboBox1->setCurrentIndex(e.DBLookupComboBox1->findText("Формуляр"));
              e.btnOk->click();
          }),
          inEditor<TfrDEVICE>([](TfrDEVICE& d) { d.btnOk->click(); }),
          inEditor<TfrMiType>([&shownAgain](TfrMiType& e) {
              shownAgain = linkValue(e, 8) + "/" + e.DBLookupComboBox1->currentText();
              e.btnCancel->click();
          })});
    EXPECT_FALSE(ui.messages.empty());
    EXPECT_EQ(shownAgain, "МП-160/Формуляр");
    EXPECT_EQ(value(state).toString(), before);
}

INSTANTIATE_TEST_SUITE_P(Statements, MiTypeFaults,
                         ::testing::Values("BEFORE INSERT ON MSUL_DEVICE_TYPE FOR EACH ROW",
                                           "BEFORE UPDATE ON MSUL_DEVICE_TYPE FOR EACH ROW",
                                           "BEFORE UPDATE ON tMiTypes FOR EACH ROW WHEN (OLD.id = 11)",
                                           "BEFORE UPDATE ON tMiTypes FOR EACH ROW WHEN (OLD.id = 13)"));
