// Two workstations on one database: the program and a second connection change, lock and delete
// the same rows; nothing is silently overwritten and no move writes a cycle.
#include "EOrtaException.h"
#include "TATreeDataCollection.h"
#include "TDbConnection.h"
#include "TTreeMoveCheck.h"
#include "TdmDataBase.h"
#include "TfrATypes.h"
#include "WorkstationTest.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class TwoWorkstations : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        // 10 Давление > 11 Манометры; 30 Температура
        exec("INSERT INTO tMiTypes (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление', NULL), "
             "(11, 10, 'Манометры', 'МН'), (30, NULL, 'Температура', NULL)");
        start("admin_test", "admin");
    }

    const TDbAttrCollection& instrumentTypes() const {
        return *window->NodeBook(node(QStringLiteral("Типы средств измерений")));
    }

    static const QString cycleRefused;
};

const QString TwoWorkstations::cycleRefused = QStringLiteral(
    "Перемещение невозможно: новый родитель находится внутри перемещаемой ветви. Вероятно, дерево изменил "
    "другой пользователь; оно будет перечитано.");

} // namespace

// A edits the short name while B changes the full name: A is shown what changed, "Обновить" takes
// B's full name and keeps A's short name, and the next save writes both.
TEST_F(TwoWorkstations, AChangeMadeMeanwhileIsShownAndReloadKeepsWhatWasTyped) {
    select(QStringLiteral("Давление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Манометры")));
    press(B::nbEdit);
    window->FrxmdData.fieldByName("sName")->setValue(QStringLiteral("МНТ"));
    exec("UPDATE tMiTypes SET fName='Манометры показывающие' WHERE id=11"); // B
    ui.answers = {TMsgResult::No};
    press(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].buttons, TMsgButtons::OverwriteReload);
    EXPECT_TRUE(ui.messages[0].text.contains(
        QStringLiteral("«Наименование»: у вас «Манометры», в базе «Манометры показывающие»")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Edit);
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), QStringLiteral("Манометры показывающие"));
    EXPECT_EQ(window->FrxmdData.fieldByName("sName")->asString(), QStringLiteral("МНТ"));
    EXPECT_EQ(value("SELECT sName FROM tMiTypes WHERE id=11").toString(), QStringLiteral("МН"));

    press(B::nbPost); // compared with what was read again: nothing new, no question
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName || '/' || sName FROM tMiTypes WHERE id=11").toString(),
              QStringLiteral("Манометры показывающие/МНТ"));
    EXPECT_NE(node(QStringLiteral("Манометры показывающие")), nullptr);
}

TEST_F(TwoWorkstations, OverwriteWritesTheUsersValues) {
    select(QStringLiteral("Давление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Манометры")));
    press(B::nbEdit);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Манометры A"));
    exec("UPDATE tMiTypes SET fName='Манометры B' WHERE id=11");
    ui.answers = {TMsgResult::Yes};
    press(B::nbPost);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName FROM tMiTypes WHERE id=11").toString(), QStringLiteral("Манометры A"));
}

// A newer version saved by someone else counts as a change; overwriting replaces the live version,
// so the record keeps exactly one.
TEST_F(TwoWorkstations, ANewerVersionOfAVersionedRecord) {
    exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, DEPARTMENT_NAME) OVERRIDING "
         "SYSTEM VALUE VALUES (1, 1, "
         "NULL, 'Управление'), "
         "(2, 2, 1, 'Отдел')");
    exec("SELECT setval(pg_get_serial_sequence('msul_department', 'department_id'), 100)");
    window->ReloadBranch(node(QStringLiteral("Подразделения (центральный реестр)")));
    select(QStringLiteral("Управление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Отдел")));
    press(B::nbEdit);
    window->FrxmdData.fieldByName("CODE")->setValue(QStringLiteral("A-1"));
    // B saves a newer version of the same department.
    exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, DEPARTMENT_NAME) OVERRIDING "
         "SYSTEM VALUE VALUES (50, 2, "
         "1, 'Отдел кадров')");
    exec("UPDATE MSUL_DEPARTMENT SET DELETION_ID=1, DELETE_DATE=getdate() WHERE DEPARTMENT_ID=2");
    ui.answers = {TMsgResult::Yes};
    press(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(
        ui.messages[0].text.contains(QStringLiteral("«Наименование»: у вас «Отдел», в базе «Отдел кадров»")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT count(*) FROM MSUL_DEPARTMENT WHERE ENTITY_ID=2 AND DELETION_ID IS NULL").toInt(),
              1);
    EXPECT_EQ(value("SELECT CODE FROM MSUL_DEPARTMENT WHERE ENTITY_ID=2 AND DELETION_ID IS NULL").toString(),
              QStringLiteral("A-1"));
}

// A opens the move chooser; meanwhile B moves "Температура" under "Манометры"; A's move of
// "Давление" under "Температура" would close a cycle: refused, nothing written, the tree read again.
TEST_F(TwoWorkstations, AMoveThatWouldCloseACycleIsRefused) {
    ui.modalHandlers = {[this](QObject* shown) {
        exec("UPDATE tMiTypes SET ParentId=11 WHERE id=30"); // B, while A chooses
        return pickInChooser(QStringLiteral("Температура"))(shown);
    }};
    select(QStringLiteral("Давление"));
    window->miMoveClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, cycleRefused);
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=10").toBool());
    EXPECT_EQ(node(QStringLiteral("Температура"))->parent(), node(QStringLiteral("Манометры")));

    // The same by dragging: A drags "Температура" onto "Манометры" after B put "Давление" under
    // "Температура".
    exec("UPDATE tMiTypes SET ParentId=NULL WHERE id=30");
    window->ReloadBranch(node(QStringLiteral("Давление")));
    window->dragStart(node(QStringLiteral("Температура")));
    QTreeWidgetItem* manometers = node(QStringLiteral("Манометры"));
    ASSERT_TRUE(window->dropAllowed(manometers));
    exec("UPDATE tMiTypes SET ParentId=30 WHERE id=10"); // B
    ui.messages.clear();
    ui.answers = {TMsgResult::Yes};
    window->dropOn(manometers);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, cycleRefused);
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=30").toBool());
    EXPECT_FALSE(TdmDataBase::instance().adoOrtaDatabase().inTransaction());
}

// The other order: A's move is written first; B's reverse move, checked on B's own connection,
// is refused. And while A's move is not yet committed, B's check waits for A's locks and then
// sees A's move.
TEST_F(TwoWorkstations, MovesOfTwoWorkstationsInEitherOrderWriteNoCycle) {
    ui.modalHandlers = {pickInChooser(QStringLiteral("Температура"))};
    select(QStringLiteral("Давление"));
    window->miMoveClick();
    ASSERT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=10").toInt(), 30);

    const std::unique_ptr<TDbConnection> b = secondWorkstation("admin_test", "admin");
    b->beginTransaction();
    try {
        TTreeMoveCheck::check(instrumentTypes(), 30, 11, false, b.get());
        ADD_FAILURE() << "B moved Температура under its own descendant";
    } catch (const EOrtaException& e) {
        EXPECT_EQ(e.message(), cycleRefused);
    }
    b->rollback();

    // B holds its locks on the way of a move of Давление (10) back to the top and Манометры (11)
    // under Температура: A's move of Температура under Манометры must not pass B's locks unseen.
    b->beginTransaction();
    TTreeMoveCheck::check(instrumentTypes(), 11, 30, false, b.get());
    b->execute("UPDATE tMiTypes SET ParentId=30 WHERE id=11");
    // The program's connection (A) waits for B's lock on 30 and gives up after the time-out,
    // instead of reading the chain past it.
    TDbConnection& a = TdmDataBase::instance().adoOrtaDatabase();
    a.execute("SET lock_timeout = '300ms'");
    a.beginTransaction();
    EXPECT_ANY_THROW(TTreeMoveCheck::check(instrumentTypes(), 30, 11, false, &a));
    a.rollback();
    b->commit();
    a.execute("SET lock_timeout = 0");
    a.beginTransaction();
    EXPECT_THROW(TTreeMoveCheck::check(instrumentTypes(), 30, 11, false, &a), EOrtaException);
    a.rollback();
}
