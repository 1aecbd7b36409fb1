// The rights reports of a user into real LibreOffice Calc workbooks (headless here), read back from
// the saved files.
#include "SavedSheet.h"
#include "TReportsWindows.h"
#include "TfrmReportsSelect.h"
#include "WorkstationTest.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class RightsReports : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName, Code) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление', '007'), "
             "(11, 10, 'Манометры', NULL), (13, NULL, 'Масса', NULL)");
        exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 0), (2, 11, 1, 1)");
        exec("INSERT INTO MMState (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'В эксплуатации')");
        start("admin_test", "admin");
        windows = std::make_unique<TReportsWindows>(*window);
    }
    void TearDown() override {
        windows.reset();
        WorkstationTest::TearDown();
    }
    SavedSheet saved(int workbook) {
        const QString file = m_folder.filePath(QString("report%1.xlsx").arg(workbook));
        windows->reportsSelect().Filler.workbooks().at(std::size_t(workbook))->saveCopyAs(file);
        return SavedSheet(file);
    }

    std::unique_ptr<TReportsWindows> windows;
};

} // namespace

// Two reports ticked: two workbooks in the table's order; texts arrive with their leading blank (007
// stays text), levels as numbers; the tree's top rows are coloured and their branches grouped.
TEST_F(RightsReports, TwoReportsTwoWorkbooks) {
    TfrmReportsSelect& reports = windows->reportsSelect();
    reports.UserName = "Иванов";
    ui.modalHandlers = {inEditor<TfrmReportsSelect>([](TfrmReportsSelect& window) {
        window.chkRep_RightsUserForDivisions->setChecked(true);
        window.chkRep_RightsUserForMiTypes->setChecked(true);
        window.btnOk->click();
    })};
    reports.Execute();
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    ASSERT_EQ(reports.Filler.workbooks().size(), 2u);
    const SavedSheet types = saved(0);
    EXPECT_EQ(types.at("A1"), "Права пользователя на типы СИ");
    EXPECT_EQ(types.at("A4"), "0");
    EXPECT_FALSE(types.isText.at("A4"));
    EXPECT_EQ(types.at("B4"), " Давление");
    EXPECT_EQ(types.at("C4"), " 007");
    EXPECT_TRUE(types.isText.at("C4"));
    EXPECT_EQ(QStringList({types.at("B5"), types.at("D5"), types.at("E5")}),
              QStringList({" Манометры", " +", " +"}));
    EXPECT_EQ(types.at("B6"), " Масса");
    EXPECT_EQ(types.at("D6"), " ");
    // The template has no macro: the top rows are not grouped, the branch below "Давление" is.
    EXPECT_EQ(types.outlineLevel.count(4), 0u);
    ASSERT_EQ(types.outlineLevel.count(5), 1u);
    EXPECT_EQ(types.outlineLevel.at(5), 1);
    EXPECT_EQ(types.outlineLevel.count(6), 0u);
    EXPECT_EQ(saved(1).at("A1"), "Права пользователя на подразделения");
}

TEST_F(RightsReports, NoReportTickedKeepsTheWindow) {
    ui.modalHandlers = {inEditor<TfrmReportsSelect>([](TfrmReportsSelect& window) {
        window.btnOk->click();
        EXPECT_EQ(window.result(), 0);
        window.btnCancel->click();
    })};
    window->actRightsReports->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Выберите отчет");
    EXPECT_EQ(ui.messages[0].title, "Ошибка");
}

// A name with an apostrophe is a name: the report is made (for nobody of that name: no rights).
TEST_F(RightsReports, AnApostropheInTheNameIsQuoted) {
    TfrmReportsSelect& reports = windows->reportsSelect();
    reports.UserName = "O'Neil";
    ui.modalHandlers = {inEditor<TfrmReportsSelect>([](TfrmReportsSelect& window) {
        window.chkRep_RightsUserForPassportState->setChecked(true);
        window.btnOk->click();
    })};
    reports.Execute();
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    ASSERT_EQ(reports.Filler.workbooks().size(), 1u);
    const SavedSheet states = saved(0);
    EXPECT_EQ(states.at("B4"), " В эксплуатации");
    EXPECT_EQ(states.at("C4"), " ");
}
