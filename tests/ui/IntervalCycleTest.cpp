// The interval-cycle editor opened from "Межповерочные интервалы" by the navigator, on the real
// server: cycles and steps edited in memory with temporary ids and written at the save.
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TDbConnection.h"
#include "TEditorSet.h"
#include "TfrIntervalCycle.h"
#include "WorkstationTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class IntervalCycles : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO IntervalRef (id, fName, Months) OVERRIDING SYSTEM VALUE VALUES (1, '1 год', 12), "
             "(2, '2 года', 24)");
        exec("INSERT INTO IntervalCycle (id, IntervalId, Description) OVERRIDING SYSTEM VALUE VALUES (7, 1, "
             "'Поверка'), (8, 1, "
             "'Калибровка')");
        exec("INSERT INTO IntervalCycleItems (id, IntervalCycleID, Period, Name) OVERRIDING SYSTEM VALUE "
             "VALUES (1, 7, 12, 'ТО'), "
             "(2, 7, 24, 'ТР'), (3, 8, 6, 'Калибровка')");
        exec("SELECT setval(pg_get_serial_sequence('intervalcycle', 'id'), 100)");
        exec("SELECT setval(pg_get_serial_sequence('intervalcycleitems', 'id'), 100)");
        exec("INSERT INTO passportTP (VrfIntervalCycle) VALUES (8)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Межповерочные интервалы"));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    // A row added with the navigator and posted.
    static void addRow(TDBNavigator* navigator, TMemoryData& data,
                       const QList<QPair<QString, QVariant>>& values) {
        navigator->click(B::nbInsert);
        for (const auto& [name, value] : values)
            data.fieldByName(name)->setValue(value);
        navigator->click(B::nbPost);
    }
    QString steps(const QString& where) {
        QStringList rows;
        const auto connection = openProgramConnection();
        for (auto q = connection->openQuery("SELECT Period, Name FROM IntervalCycleItems WHERE " + where +
                                            " ORDER BY Period");
             !q->eof(); q->next())
            rows << q->value(0).toString() + " " + q->value(1).toString();
        return rows.join(", ");
    }
};

} // namespace

// A new cycle with two steps: one INSERT of the cycle, its identity in both steps' INSERTs, even
// when a trigger of the cycle's table draws another sequence (here up to the existing cycle 8).
TEST_F(IntervalCycles, ANewCycleWithTwoStepsIsWrittenWithItsIdentity) {
    auditInserts("IntervalCycle", 8);
    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.modalHandlers = {inEditor<TfrIntervalCycle>([](TfrIntervalCycle& e) {
        EXPECT_EQ(e.dbedInterval->text(), "1 год");
        EXPECT_EQ(e.FCycles.recordCount(), 2);
        addRow(e.cyclesNavigator, e.FCycles, {{"Description", "Ремонт"}});
        EXPECT_EQ(e.FCycles.fieldByName("id")->asInteger(), -1);
        EXPECT_TRUE(e.IntervalCycleItemsGrid->isEnabled());
        addRow(e.itemsNavigator, e.FCycleItems, {{"Period", 6}, {"Name", "Осмотр"}});
        EXPECT_EQ(e.FCycleItems.fieldByName("id")->asInteger(), -2);
        addRow(e.itemsNavigator, e.FCycleItems, {{"Period", 36}, {"Name", "Капремонт"}});
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int id = value("SELECT id FROM IntervalCycle WHERE Description='Ремонт'").toInt();
    EXPECT_GT(id, 100);
    EXPECT_EQ(steps(QString("IntervalCycleID=%1").arg(id)), "6 Осмотр, 36 Капремонт");
    EXPECT_EQ(steps("IntervalCycleID=7"), "12 ТО, 24 ТР");
    EXPECT_EQ(steps("IntervalCycleID=8"), "6 Калибровка");
}

// A changed step of a stored cycle: the cycle keeps its id, its steps are written anew.
TEST_F(IntervalCycles, AChangedStepRewritesTheStepsOfItsCycle) {
    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.modalHandlers = {inEditor<TfrIntervalCycle>([](TfrIntervalCycle& e) {
        ASSERT_TRUE(e.FCycles.locate("id", 7));
        ASSERT_EQ(e.FCycleItems.recordCount(), 2);
        ASSERT_TRUE(e.FCycleItems.locate("Name", QStringLiteral("ТР")));
        e.itemsNavigator->click(B::nbEdit);
        e.FCycleItems.fieldByName("Period")->setValue(36);
        e.itemsNavigator->click(B::nbPost);
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(steps("IntervalCycleID=7"), "12 ТО, 36 ТР");
    EXPECT_EQ(steps("IntervalCycleID=8"), "6 Калибровка");
}

// A cycle a technological passport follows cannot be deleted; another one goes at the save.
TEST_F(IntervalCycles, DeletingCycles) {
    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.answers = {TMsgResult::Yes, TMsgResult::Yes, TMsgResult::Yes};
    ui.modalHandlers = {inEditor<TfrIntervalCycle>([this](TfrIntervalCycle& e) {
        ASSERT_TRUE(e.FCycles.locate("id", 8));
        e.cyclesNavigator->click(B::nbDelete);
        EXPECT_TRUE(e.FCycles.locate("id", 8)) << "a referenced cycle stays";
        EXPECT_EQ(ui.texts().last(),
                  "Невозможно удалить данную запись, существуют паспорта ссылающиеся на нее?");
        ASSERT_TRUE(e.FCycles.locate("id", 7));
        e.cyclesNavigator->click(B::nbDelete);
        EXPECT_FALSE(e.FCycles.locate("id", 7));
        EXPECT_EQ(e.deletedCycles(), std::vector<int>{7});
        addRow(e.cyclesNavigator, e.FCycles, {{"Description", "Временный"}});
        e.cyclesNavigator->click(B::nbDelete); // a new cycle is simply dropped
        EXPECT_EQ(e.deletedCycles(), std::vector<int>{7});
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(value("SELECT count(*) FROM IntervalCycle WHERE id=7").toInt(), 0);
    EXPECT_EQ(value("SELECT count(*) FROM IntervalCycle WHERE id=8").toInt(), 1);
    EXPECT_EQ(value("SELECT count(*) FROM IntervalCycle WHERE Description='Временный'").toInt(), 0);
}

// An interval without cycles: the steps grid waits for a cycle. A new interval cannot be opened.
TEST_F(IntervalCycles, AnIntervalWithoutCyclesAndANewOne) {
    ASSERT_TRUE(window->FrxmdData.locate("id", 2));
    ui.modalHandlers = {inEditor<TfrIntervalCycle>([](TfrIntervalCycle& e) {
        EXPECT_EQ(e.FCycles.recordCount(), 0);
        EXPECT_FALSE(e.IntervalCycleItemsGrid->isEnabled());
        e.cyclesNavigator->click(B::nbInsert);
        e.cyclesNavigator->click(B::nbPost); // a cycle without its name is refused
        EXPECT_TRUE(e.FCycles.isEditing());
        e.FCycles.fieldByName("Description")->setValue("Поверка");
        e.cyclesNavigator->click(B::nbPost);
        EXPECT_TRUE(e.IntervalCycleItemsGrid->isEnabled());
        e.CanselBtn->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(ui.texts(), QStringList{"Поле \"Цикл\" должно быть заполненно!"});
    EXPECT_EQ(value("SELECT count(*) FROM IntervalCycle WHERE IntervalId=2").toInt(), 0);

    ui.messages.clear();
    ui.modalHandlers.clear();
    press(B::nbInsert);
    EXPECT_EQ(ui.texts(),
              QStringList{"Не удалось отобразить форму ввода данных\n\nМожно только редактировать "
                          "записи IntervalRef!"});
}
