// The device-type editor opened from "Типы устройств (центральный реестр)" by the navigator, with
// the central register's pickers and the department chooser, on the real server.
#include "EError.h"
#include "TDEVICEFilterFrame.h"
#include "TDbUtilsClass.h"
#include "TEditorSet.h"
#include "TFormCodiff.h"
#include "TFormGosReestr.h"
#include "TfrATypes.h"
#include "TfrDEVICE.h"
#include "WorkstationTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class DeviceType : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO MSUL_MEASURE_TYPE (MEASURE_TYPE_CODE_ID, MEASURE_TYPE_CODE, MEASURE_TYPE_NAME) "
             "OVERRIDING SYSTEM VALUE "
             "VALUES "
             "(1, '27', 'Измерения давления'), (2, '34', 'Электрические измерения')");
        exec("INSERT INTO MSUL_CODIFF (ORIGINAL_CODIFF_CODE, CODIFF_CODE, MEASURE_TYPE_NAME) VALUES "
             "('27', '27', 'Измерения давления'), ('27.01', '2701', 'Манометры'), ('99.01', '9901', 'Без "
             "области')");
        exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, DEPARTMENT_NAME) OVERRIDING SYSTEM "
             "VALUE VALUES (1, 1, 'ЦСМ')");
        exec("INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, CENTER_ID, DEVICE_NAME, TYPE_STR, DEVICE_MARK, "
             "PERIOD, MARK_TYPE_ID, MEASURE_TYPE_CODE_ID, ORIGINAL_CODIFF, CODIFF, GOS_NO, "
             "DEFAULT_DEPARTMENT, "
             "LOCAL_FLAG) OVERRIDING SYSTEM VALUE VALUES "
             "(1, 1, 1, 'Манометр', 'МП-100', 'МП-100', 12, 1, 1, '27.01', '2701', '1001-01', NULL, 0), "
             "(2, 2, 2, 'Манометр', 'МП-160', 'МП-160', NULL, 3, 1, '27.01', '2701', '1002-01', NULL, 0), "
             "(6, 6, NULL, 'Мультиметр', 'М-1', 'М-1', 36, 2, 2, '34', '34', NULL, 99, 1)");
        exec("SELECT setval(pg_get_serial_sequence('msul_device_type', 'dt_id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Типы устройств (центральный реестр)"));
        auto* frame = qobject_cast<TDEVICEFilterFrame*>(window->FFilterFrame);
        ASSERT_NE(frame, nullptr);
        frame->choose(TDEVICEFilterFrame::All);
        frame->btApplyFilter->click();
        ASSERT_TRUE(window->FrxmdData.locate("DT_ID", 6));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }
    QString stored(const QString& columns) {
        return value("SELECT concat_ws('/', " + columns + ") FROM v_ADM_MSUL_DEVICE_TYPE WHERE ENTITY_ID=6")
            .toString();
    }
};

} // namespace

// A record made from scratch is free; taking a central record's data locks its name and area, and
// a central row without a period keeps the record's own. A department that is gone shows nothing
// and the chooser opens with nothing selected. The save writes a new version.
TEST_F(DeviceType, TakingDataFromTheCentralRegister) {
    ui.modalHandlers = {inEditor<TfrDEVICE>([](TfrDEVICE& d) {
                            EXPECT_FALSE(d.DBEdit1->isReadOnly());
                            EXPECT_FALSE(d.btnCodiff->isHidden());
                            EXPECT_TRUE(d.DBEdit4->isEnabled());
                            EXPECT_TRUE(d.edtDEPARTMENT->text().isEmpty());
                            d.DBEdit19->setText("проверено");
                            d.bbtSubDivs->click();
                            d.btGos->click();
                            EXPECT_TRUE(d.DBEdit1->isReadOnly());
                            EXPECT_TRUE(d.btnCodiff->isHidden());
                            EXPECT_FALSE(d.DBEdit4->isEnabled());
                            EXPECT_EQ(d.DBEdit3->text(), "МП-160");
                            EXPECT_EQ(d.DBEdit7->text(), "36");
                            EXPECT_EQ(d.DBEdit19->text(), "проверено") << "typed before the pick";
                            EXPECT_EQ(d.DBComboBoxEh1->currentText(), "Наклейка на документацию");
                            d.btnOk->click();
                        }),
                        [](QObject* shown) {
                            auto* chooser = qobject_cast<TfrATypes*>(shown);
                            EXPECT_NE(chooser, nullptr);
                            if (chooser) {
                                EXPECT_EQ(chooser->TreeView1->currentItem(), nullptr);
                            }
                            return int(QDialog::Rejected);
                        },
                        inEditor<TFormGosReestr>([](TFormGosReestr& g) {
                            EXPECT_EQ(g.RxMemData.recordCount(), 2) << "central records only";
                            EXPECT_TRUE(g.btnOk->isEnabled());
                            ASSERT_TRUE(g.RxMemData.locate("DEVICE_MARK", QStringLiteral("МП-160")));
                            g.btnOk->click();
                        })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(
        stored("CENTER_ID, DEVICE_NAME, TYPE_STR, GOS_NO, PERIOD, MARK_TYPE_ID, LOCAL_COMMENT, LOCAL_FLAG"),
        "2/Манометр/МП-160/1002-01/36/3/проверено/1");
    EXPECT_EQ(value("SELECT DELETION_ID FROM MSUL_DEVICE_TYPE WHERE DT_ID=6").toInt(), 1);
}

// An area without a codifier row clears the codifier; a code picked in the codifier sets its area,
// or is refused with a message when no area has its first two characters. OK with the name and the
// modification empty names only the name.
TEST_F(DeviceType, AreaCodifierAndRequiredColumns) {
    ui.modalHandlers = {inEditor<TfrDEVICE>([](TfrDEVICE& d) {
                            EXPECT_EQ(d.DBEdit16->text(), "34");
                            d.DBEdit4->setCurrentIndex(d.DBEdit4->findText("Электрические измерения"));
                            emit d.DBEdit4->activated(d.DBEdit4->currentIndex());
                            EXPECT_TRUE(d.DBEdit16->text().isEmpty());
                            EXPECT_TRUE(d.DBEdit17->text().isEmpty());
                            d.btnCodiff->click();
                            EXPECT_EQ(d.DBEdit4->currentText(), "Измерения давления");
                            EXPECT_EQ(d.DBEdit17->text(), "01");
                            d.btnCodiff->click();
                            EXPECT_EQ(d.DBEdit16->text(), "99");
                            EXPECT_EQ(d.DBEdit4->currentText(), "Измерения давления") << "left as it was";
                            d.DBEdit1->clear();
                            d.DBEdit6->clear();
                            d.btnOk->click();
                            EXPECT_EQ(d.PageControl1->currentWidget(), d.tsGeneral);
                            EXPECT_NE(d.result(), int(QDialog::Accepted));
                            d.btnCancel->click();
                        }),
                        inEditor<TFormCodiff>([](TFormCodiff& c) {
                            EXPECT_EQ(c.RxMemData.recordCount(), 3);
                            EXPECT_TRUE(c.RxMemData.locate("CODIFF_CODE", QStringLiteral("2701")));
                            c.btnOk->click();
                        }),
                        inEditor<TFormCodiff>([](TFormCodiff& c) {
                            EXPECT_EQ(c.RxMemData.fieldByName("CODIFF_CODE")->asString(), "2701")
                                << "the record's code is current";
                            EXPECT_TRUE(c.RxMemData.locate("CODIFF_CODE", QStringLiteral("9901")));
                            c.btnOk->click();
                        })};
    press(B::nbEdit);
    EXPECT_EQ(ui.texts(),
              (QStringList{"Поле \"Область измерений\" не может быть сопоставленно с кодификатором.",
                           "Поле \"Наименование СИ\" должно быть заполнено!"}));
    EXPECT_EQ(stored("DEVICE_NAME, CODIFF"), "Мультиметр/34") << "nothing written";
}

// A central record is not edited: the editor refuses to load it.
TEST_F(DeviceType, ACentralRecordIsNotEdited) {
    TMemoryData central;
    TDbUtilsClass::getInstance()->loadQuery(central, "SELECT * FROM v_ADM_MSUL_DEVICE_TYPE WHERE DT_ID=1");
    central.edit();
    TfrDEVICE editor(*window->frATypes, *window->findChild<TFormGosReestr*>(),
                     *window->findChild<TFormCodiff*>());
    try {
        editor.LoadRecord(central, true);
        ADD_FAILURE() << "loaded";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "Нельзя редактировать записи центрального справочника!");
    }
}
