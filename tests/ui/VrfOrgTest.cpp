// The verification-organisation editor opened from its book by the navigator, on the real server.
#include "TDBNavigator.h"
#include "TDbConnection.h"
#include "TEditorSet.h"
#include "TfrVrfOrg.h"
#include "WorkstationTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class VrfOrgs : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO VAT (id, fName, VATValue) OVERRIDING SYSTEM VALUE VALUES (1, 'Без НДС', 0), (2, "
             "'НДС 20%', 20)");
        exec("INSERT INTO VrfOrg (id, sName, OwnTesting, Director) OVERRIDING SYSTEM VALUE VALUES (1, "
             "'Центр', 1, 'Иванов')");
        exec("INSERT INTO VATHistory (VrfOrgId, VATId, VATDate) VALUES (1, 1, '2004-01-01')");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Поверочные организации"));
        ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    QString history() {
        QStringList rows;
        const auto connection = openProgramConnection();
        for (auto q = connection->openQuery("SELECT VATId, to_char(VATDate, 'YYYY-MM-DD') FROM VATHistory "
                                            "WHERE VrfOrgId=1 ORDER BY VATDate");
             !q->eof(); q->next())
            rows << q->value(0).toString() + "@" + q->value(1).toString();
        return rows.join(", ");
    }
};

} // namespace

// The organisation's fields and a second VAT rate: one DELETE and an INSERT per history row.
TEST_F(VrfOrgs, EditingTheOrganisationAndItsVatHistory) {
    ui.modalHandlers = {inEditor<TfrVrfOrg>([](TfrVrfOrg& e) {
        EXPECT_EQ(e.DBEdit1->text(), "Центр");
        EXPECT_EQ(e.DBLookupComboBox1->currentText(), "Да");
        EXPECT_EQ(e.rxmdVATHistory.recordCount(), 1);
        EXPECT_DOUBLE_EQ(e.rxmdVATHistory.fieldByName("VATValue")->value().toDouble(), 0.0);
        e.DBEdit3->setText("Петров");
        e.DBLookupComboBox1->setCurrentIndex(e.DBLookupComboBox1->findText("Нет"));
        e.historyNavigator->click(B::nbInsert);
        e.rxmdVATHistory.fieldByName("VATId")->setValue(2);
        e.rxmdVATHistory.fieldByName("VATDate")->setValue(QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
        e.BitBtn1->click(); // posts the pending row
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(history(), "1@2004-01-01, 2@2019-01-01");
    EXPECT_EQ(value("SELECT Director FROM VrfOrg WHERE id=1").toString(), "Петров");
    EXPECT_EQ(value("SELECT OwnTesting FROM VrfOrg WHERE id=1").toInt(), 0);
}

// A rate without its date cannot be posted: the form stays open and nothing is written.
TEST_F(VrfOrgs, ARateWithoutADateKeepsTheFormOpen) {
    ui.modalHandlers = {inEditor<TfrVrfOrg>([this](TfrVrfOrg& e) {
        e.historyNavigator->click(B::nbInsert);
        e.rxmdVATHistory.fieldByName("VATId")->setValue(2);
        e.BitBtn1->click();
        EXPECT_EQ(ui.texts(), QStringList{"Поле \"Дата\" должно быть заполненно!"});
        EXPECT_NE(e.result(), int(QDialog::Accepted));
        e.CanselBtn->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(history(), "1@2004-01-01");
}
