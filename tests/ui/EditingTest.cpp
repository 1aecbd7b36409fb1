#include "EAbort.h"
#include "TDBGrid.h"
#include "TDbUtilsClass.h"
#include "TUser.h"
#include "WorkstationTest.h"

#include <QSqlQuery>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class Editing : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName) VALUES (10, NULL, 'Давление'), (11, 10, "
             "'Манометры')");
        exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1), (2, 11, 1, 1)");
        exec("SELECT setval(pg_get_serial_sequence('tmitypes', 'id'), 100)");
    }

    QTreeWidgetItem* node(const QString& caption) const {
        const auto found = window->tvMainTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    // Adds a record through the navigator, as the user would, and posts it.
    void addRecord(const QString& caption) {
        window->FNavigator->click(B::nbInsert);
        ASSERT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
        window->FrxmdData.fieldByName("fName")->setValue(caption);
        window->FNavigator->click(B::nbPost);
    }

    QVariant value(const QString& sql) {
        QSqlQuery q(db());
        q.exec(sql);
        return q.next() ? q.value(0) : QVariant();
    }
};

} // namespace

TEST_F(Editing, NewRecordsTakeTheirParentFromTheSelectedNode) {
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Типы средств измерений")));
    addRecord(QStringLiteral("Температура"));
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE fName='Температура'").toBool());
    ASSERT_NE(node(QStringLiteral("Температура")), nullptr);
    EXPECT_EQ(node(QStringLiteral("Температура"))->parent(), node(QStringLiteral("Типы средств измерений")));
    const int id = value("SELECT id FROM tMiTypes WHERE fName='Температура'").toInt();
    EXPECT_EQ(
        value(QString("SELECT count(*) FROM tRoletMiTypes WHERE InkId=%1 AND r=1 AND w=1").arg(id)).toInt(),
        3);

    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    addRecord(QStringLiteral("Вакуумметры")); // subordinate mode: a child of the node
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Вакуумметры'").toInt(), 10);
    EXPECT_EQ(node(QStringLiteral("Вакуумметры"))->parent(), node(QStringLiteral("Давление")));

    window->tvMainTree->setCurrentItem(node(QStringLiteral("Манометры")));
    window->miProp->trigger(); // own-record mode: a sibling
    addRecord(QStringLiteral("Мановакуумметры"));
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Мановакуумметры'").toInt(), 10);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

TEST_F(Editing, CancelLeavesNothingAndEditButtonsFollowTheState) {
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    const int rows = window->FrxmdData.recordCount();
    EXPECT_FALSE(window->FGrid->editButtons());
    window->FNavigator->click(B::nbInsert);
    EXPECT_TRUE(window->FGrid->editButtons());
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Отменённая"));
    ASSERT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FNavigator->click(B::nbCancel);
    EXPECT_FALSE(window->FGrid->editButtons());
    EXPECT_EQ(window->FrxmdData.recordCount(), rows);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Отменённая'").toInt(), 0);
}

TEST_F(Editing, ConstraintMessagesAndTheRecordKeptForCorrection) {
    exec("INSERT INTO SpheresGMK (Code, fName) VALUES ('01', 'Здравоохранение')");
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(
        node(QStringLiteral("Сферы государственного метрологического контроля")));
    window->FNavigator->click(B::nbInsert);
    window->FrxmdData.fieldByName("Code")->setValue("01");
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Дубль"));
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(ui.texts(),
              QStringList{QStringLiteral("Недопустимый ввод. Такой код сферы существует в справочнике.")});
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FrxmdData.fieldByName("Code")->setValue("25");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(
        ui.texts().last(),
        QStringLiteral("Недопустимый ввод. Kод сферы должен состоять из двух цифр из диапазона 01-19."));
    window->FrxmdData.fieldByName("Code")->setValue("02");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName FROM SpheresGMK WHERE Code='02'").toString(), QStringLiteral("Дубль"));

    window->FNavigator->click(B::nbInsert);
    window->FNavigator->click(B::nbPost); // required fields first, nothing sent
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Поле \"Код сферы\" не может быть пустым"));
    window->FNavigator->click(B::nbCancel);
}

TEST_F(Editing, AFailureAfterTheRecordsOwnWriteRollsEverythingBack) {
    exec("REVOKE INSERT ON tRoletMiTypes FROM \"ORTA-Метрологи\"");
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    addRecord(QStringLiteral("Без разрешений"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(
        ui.messages[0].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.\n\r\n\r")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert); // kept for another attempt
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Без разрешений'").toInt(), 0);
    EXPECT_FALSE(TdmDataBase::instance().adoOrtaDatabase().inTransaction());

    exec("GRANT INSERT ON tRoletMiTypes TO \"ORTA-Метрологи\"");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Без разрешений'").toInt(), 1);
}

TEST_F(Editing, ALostConnectionFailsTheSaveAndTheNextAttemptReconnects) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Виды поверки")));
    window->FNavigator->click(B::nbInsert);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Контрольная"));
    exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'admin_test' AND pid <> "
         "pg_backend_pid()");
    window->FNavigator->click(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.")));
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Контрольная'").toInt(), 1);
}

TEST_F(Editing, WithoutTheInsertRightTheStateChangeIsRefusedSilently) {
    start();
    window->tvMainTree->setCurrentItem(
        node(QStringLiteral("Сферы государственного метрологического контроля")));
    EXPECT_THROW(window->FrxmdData.insert(), EAbort);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_TRUE(ui.messages.empty());
}
