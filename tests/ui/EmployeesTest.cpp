// The employee editor opened from "Сотрудники" by the navigator, on the real server.
#include "TEditorSet.h"
#include "TfrATypes.h"
#include "TfrEmployees.h"
#include "WorkstationTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class Employees : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        // Users: 1 Администратов (free), 2 Иванов (employee 1), 3 Петров (employee 2).
        exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, DEPARTMENT_NAME) OVERRIDING "
             "SYSTEM VALUE VALUES "
             "(1, 1, NULL, 'Управление'), (2, 2, 1, 'Отдел')");
        exec("SELECT setval(pg_get_serial_sequence('msul_department', 'department_id'), 100)");
        exec("UPDATE MSUL_EMPLOYEES SET DEPARTMENT_ID=2, LOCAL_CODE='501', HIRED='2015-03-01' WHERE ID=1");
        exec(
            "INSERT INTO MSUL_EMPLOYEES (ID, ENTITY_ID, EMPLOYEE_ID, LASTNAME, FIRSTNAME, LOCAL_CODE, HIRED, "
            "USER_INFO_ID, DEPARTMENT_ID) OVERRIDING SYSTEM VALUE VALUES (2, 2, 502, 'Петров', 'Пётр', "
            "'502', '2016-01-01', 3, 99), "
            "(3, 3, 503, 'Сидоров', 'Сидор', '503', '2017-01-01', NULL, NULL)");
        exec("SELECT setval(pg_get_serial_sequence('msul_employees', 'id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Сотрудники"));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    static QStringList offered(TfrEmployees& e) {
        QStringList users;
        for (int i = 0; i < e.dblkupUserInfo->count(); ++i)
            users << e.dblkupUserInfo->itemText(i);
        return users;
    }
};

} // namespace

// The employee's own user is offered and chosen; a user of another current employee is not. A
// department picked in the chooser is stored as its entity.
TEST_F(Employees, TheOwnUserAndTheFreeOnesAreOffered) {
    ASSERT_TRUE(window->FrxmdData.locate("LASTNAME", QStringLiteral("Иванов")));
    ui.modalHandlers = {inEditor<TfrEmployees>([](TfrEmployees& e) {
                            EXPECT_EQ(offered(e), (QStringList{"Администратов", "Иванов"}));
                            EXPECT_EQ(e.dblkupUserInfo->currentText(), "Иванов");
                            EXPECT_EQ(e.edtDEPARTMENT->text(), "Отдел");
                            EXPECT_EQ(e.DBEdit9->text(), "01.03.2015");
                            e.DBEdit5->setText("Поверитель");
                            e.bbtSubDivs->click();
                            EXPECT_EQ(e.edtDEPARTMENT->text(), "Управление");
                            e.btnOk->click();
                        }),
                        pickInChooser("Управление")};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(
        value("SELECT POSITION FROM v_MSUL_EMPLOYEES WHERE ENTITY_ID=1 AND DELETION_ID IS NULL").toString(),
        "Поверитель");
    EXPECT_EQ(
        value("SELECT DEPARTMENT_ID FROM v_MSUL_EMPLOYEES WHERE ENTITY_ID=1 AND DELETION_ID IS NULL").toInt(),
        1);
}

// Without a user: the free users only and nothing chosen. A department that is gone: an empty box.
TEST_F(Employees, AnEmployeeWithoutAUserAndOneWithAMissingDepartment) {
    ASSERT_TRUE(window->FrxmdData.locate("LASTNAME", QStringLiteral("Сидоров")));
    ui.modalHandlers = {inEditor<TfrEmployees>([](TfrEmployees& e) {
        EXPECT_EQ(offered(e), QStringList{"Администратов"});
        EXPECT_EQ(e.dblkupUserInfo->currentIndex(), -1);
        e.btnCancel->click();
    })};
    press(B::nbEdit);
    ASSERT_TRUE(window->FrxmdData.locate("LASTNAME", QStringLiteral("Петров")));
    ui.modalHandlers = {inEditor<TfrEmployees>([](TfrEmployees& e) {
        EXPECT_TRUE(e.edtDEPARTMENT->text().isEmpty());
        e.DBEdit9->setText("не дата");
        e.btnOk->click();
        EXPECT_NE(e.result(), int(QDialog::Accepted)) << "a date that is no date keeps the form open";
        e.btnCancel->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(ui.messages.size(), 1u) << ui.texts().join('\n').toStdString();
}
