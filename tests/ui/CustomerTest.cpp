// The owner editor opened from "Владельцы СИ" by the navigator, on the real server.
#include "TEditorSet.h"
#include "TfrCUSTOMER.h"
#include "WorkstationTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class Customers : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO MSUL_CUSTOMER_TYPE (ID, SName, DELETION_ID) OVERRIDING SYSTEM VALUE VALUES (1, "
             "'Юридическое лицо', NULL), "
             "(2, 'Физическое лицо', NULL), (3, 'Упразднённый', 1)");
        exec("INSERT INTO MSUL_OKATO (OKATO_CODE, OKATO_NAME) VALUES ('40000000000', 'г. Санкт-Петербург'), "
             "('45000000000', 'г. Москва')");
        exec("INSERT INTO MSUL_CUSTOMER (ID, ENTITY_ID, LOCAL_CODE, CUSTOMER_NAME, CUSTOMER_TYPE_ID, INN, "
             "OKATO) OVERRIDING SYSTEM VALUE "
             "VALUES (1, 1, '001', 'АО «Завод»', 1, '7805012345', '40000000000')");
        exec("SELECT setval(pg_get_serial_sequence('msul_customer', 'id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Владельцы СИ"));
        ASSERT_TRUE(window->FrxmdData.locate("ENTITY_ID", 1));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }
};

} // namespace

TEST_F(Customers, EditingAnOwnersDetails) {
    ui.modalHandlers = {[](QObject* shown) {
        auto* e = qobject_cast<TfrCUSTOMER*>(shown);
        EXPECT_NE(e, nullptr);
        if (!e)
            return int(QDialog::Rejected);
        EXPECT_EQ(e->PageControl1->currentIndex(), 0);
        EXPECT_EQ(e->edit("CUSTOMER_NAME")->text(), "АО «Завод»");
        EXPECT_EQ(e->DBEdit5->currentText(), "Юридическое лицо");
        EXPECT_EQ(e->DBEdit5->findText("Упразднённый"), -1) << "a deleted owner type is not offered";
        EXPECT_EQ(e->DBEdit7->currentText(), "40000000000");
        e->DBEdit5->setCurrentIndex(e->DBEdit5->findText("Физическое лицо"));
        e->DBEdit7->setCurrentIndex(e->DBEdit7->findText("45000000000"));
        e->PageControl1->setCurrentIndex(1);
        e->edit("PHONE")->setText("+7 495 000-00-00");
        e->edit("ADDRESS_FACT")->setText("Москва");
        e->btnOk->click();
        return e->result();
    }};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const QString live = " FROM MSUL_CUSTOMER WHERE ENTITY_ID=1 AND DELETION_ID IS NULL";
    EXPECT_EQ(value("SELECT CUSTOMER_TYPE_ID" + live).toInt(), 2);
    EXPECT_EQ(value("SELECT OKATO" + live).toString(), "45000000000");
    EXPECT_EQ(value("SELECT PHONE" + live).toString(), "+7 495 000-00-00");
    EXPECT_EQ(value("SELECT ADDRESS_FACT" + live).toString(), "Москва");
    EXPECT_EQ(value("SELECT INN" + live).toString(), "7805012345");
}
