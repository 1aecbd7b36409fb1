// The settings window, the parameter merge and the about window on the real server, reached from
// the main menu and the optional parameters' book as the user reaches them.
#include "TAboutForm.h"
#include "TDbConnection.h"
#include "TReportsWindows.h"
#include "TfrATypes.h"
#include "TfrSettings.h"
#include "Tfr_option_params.h"
#include "WorkstationTest.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class SystemWindows : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление', 'Дав'), "
             "(11, 10, 'Дифманометры', 'ДМ'), (12, 10, 'Манометры', 'МН')");
    }
    void startWindows() {
        start("admin_test", "admin");
        windows = std::make_unique<TReportsWindows>(*window);
    }
    void TearDown() override {
        windows.reset();
        WorkstationTest::TearDown();
    }
    // "Настройки" with what the user does in the window.
    void inSettings(const std::function<void(TfrSettings&)>& actions) {
        ui.modalHandlers.push_front(inEditor<TfrSettings>(actions));
        window->N3->trigger();
    }

    std::unique_ptr<TReportsWindows> windows;
};

} // namespace

// Milliseconds shown as whole minutes and stored back; the type of differential manometers chosen
// in the type chooser; the boxes written as "+" and "-".
TEST_F(SystemWindows, SettingsShowAndStoreTheRow) {
    exec("UPDATE Settings SET RefInterval = 90000, DifmanomID = '12', NewTech = '+'");
    startWindows();
    inSettings([&](TfrSettings& settings) {
        EXPECT_EQ(settings.SpinEdit1->value(), 1);
        EXPECT_EQ(settings.Edit1->text(), "МН");
        EXPECT_TRUE(settings.DBCheckBox1->isChecked());
        settings.SpinEdit1->setValue(2);
        settings.DBCheckBox1->click();
        settings.AutoMoveOn->click();
        ui.modalHandlers.push_front(pickInChooser("Дифманометры"));
        settings.bbtSubDivs->click();
        EXPECT_EQ(settings.Edit1->text(), "ДМ");
        settings.BitBtn1->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT RefInterval FROM Settings").toInt(), 120000);
    EXPECT_EQ(value("SELECT DifmanomID FROM Settings").toString(), "11");
    EXPECT_EQ(value("SELECT NewTech || AutoMoveSI FROM Settings").toString(), "-+");
}

TEST_F(SystemWindows, AnUnknownTypeLeavesTheBoxEmptyAndCancelWritesNothing) {
    exec("UPDATE Settings SET DifmanomID = 'abc'");
    startWindows();
    inSettings([&](TfrSettings& settings) {
        EXPECT_EQ(settings.Edit1->text(), "");
        settings.DBCheckBox3->click();
        settings.CanselBtn->click();
    });
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(value("SELECT CreatePos FROM Settings").toString(), "-");
}

// An option another workstation saved meanwhile is not overwritten: the save is refused, the
// window stays open.
TEST_F(SystemWindows, AnOptionChangedMeanwhileIsNotOverwritten) {
    startWindows();
    inSettings([&](TfrSettings& settings) {
        secondWorkstation("admin_test", "admin")->execute("UPDATE Settings SET NewTech = '+'");
        settings.DBCheckBox1->click();
        settings.DBCheckBox2->click();
        settings.BitBtn1->click();
        EXPECT_EQ(settings.result(), 0);
        settings.CanselBtn->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith("Ошибка сохранения настроек."))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(value("SELECT NewTech || NoPos FROM Settings").toString(), "+-");
}

// Merging parameter 7 into parameter 3 from the book's "Обьеденить": the passports' values move,
// parameter 7 goes; a parameter is not merged into itself.
TEST_F(SystemWindows, MergingParameters) {
    exec("INSERT INTO optnl_parameters (optyp_id, optyp_name) OVERRIDING SYSTEM VALUE VALUES (3, 'Класс "
         "точности'), (7, 'Кл. "
         "точности')");
    exec("INSERT INTO passport_optnl_parameters (passport_id, optyp_id, optyp_value) VALUES (1, 7, '0,6'), "
         "(2, 3, '1,0'), (3, 7, '1,5')");
    startWindows();
    select("Дополнительные параметры");
    auto* merge = window->findChild<QPushButton*>("btnMerge");
    ASSERT_NE(merge, nullptr);
    auto choose = [](QComboBox* box, int id) {
        box->setCurrentIndex(box->findData(id));
    };
    ui.modalHandlers = {inEditor<Tfr_option_params>([&](Tfr_option_params& dialog) {
        choose(dialog.DBParams1, 3);
        choose(dialog.DBParams2, 3);
        dialog.btn1->click();
        EXPECT_EQ(dialog.result(), 0) << "the window stays";
        choose(dialog.DBParams2, 7);
        dialog.btn1->click();
    })};
    merge->click();
    settle();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Основной и удаляемый параметры совпадают.");
    EXPECT_EQ(
        value("SELECT string_agg(optyp_id::text, ',' ORDER BY id) FROM passport_optnl_parameters").toString(),
        "3,3,3");
    EXPECT_EQ(value("SELECT count(*) FROM optnl_parameters WHERE optyp_id = 7").toInt(), 0);
}

// A parameter that cannot be deleted leaves the passports' values where they were.
TEST_F(SystemWindows, AFailedMergeMovesNothing) {
    exec("INSERT INTO optnl_parameters (optyp_id, optyp_name) OVERRIDING SYSTEM VALUE VALUES (3, 'Класс "
         "точности'), (7, 'Кл. "
         "точности')");
    exec("INSERT INTO passport_optnl_parameters (passport_id, optyp_id) VALUES (1, 7)");
    exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'занят'; END "
         "$$");
    exec("CREATE TRIGGER keep BEFORE DELETE ON optnl_parameters FOR EACH ROW EXECUTE FUNCTION refuse()");
    startWindows();
    select("Дополнительные параметры");
    ui.modalHandlers = {inEditor<Tfr_option_params>([&](Tfr_option_params& dialog) {
        dialog.DBParams1->setCurrentIndex(dialog.DBParams1->findData(3));
        dialog.DBParams2->setCurrentIndex(dialog.DBParams2->findData(7));
        dialog.btn1->click();
        dialog.btn2->click();
    })};
    window->findChild<QPushButton*>("btnMerge")->click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("занят"));
    EXPECT_EQ(value("SELECT optyp_id FROM passport_optnl_parameters").toInt(), 7);
}

TEST_F(SystemWindows, AboutShowsBothVersions) {
    exec("UPDATE infoVersion SET DBVersion = '2.4', DBVersionIndex = 24");
    startWindows();
    ui.modalHandlers = {inEditor<TAboutForm>([](TAboutForm& about) {
        EXPECT_EQ(about.lblPK->text(), "2.4");
        EXPECT_EQ(about.lblDBVer->text(), "24");
        EXPECT_EQ(about.ProgramNameLabel->text(), "Версия АРМ: 1.0.0.1");
        about.OkButton->click();
    })};
    window->N5->trigger();
    EXPECT_TRUE(ui.modalHandlers.empty());
}
