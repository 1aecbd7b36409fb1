// The editors that write side tables in AfterSave, with the connection killed at each of their
// statements in turn: nothing of the save stays, and the editor comes back with what was entered.
#include "TDBNavigator.h"
#include "TDbConnection.h"
#include "TEditorSet.h"
#include "TTariffFilterFrame.h"
#include "TfrIntervalCycle.h"
#include "TfrTariff.h"
#include "TfrVrfOrg.h"
#include "WorkstationTest.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

struct Fault {
    const char* book;
    const char* statement; // where the connection dies
    const char* state;     // what the database holds, before and after the failed save
};

class EditorFaults : public WorkstationTest, public ::testing::WithParamInterface<Fault> {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO VAT (id, fName, VATValue) OVERRIDING SYSTEM VALUE VALUES (1, 'Без НДС', 0), (2, "
             "'НДС 20%', 20)");
        exec(
            "INSERT INTO VrfOrg (id, sName, Director) OVERRIDING SYSTEM VALUE VALUES (1, 'Центр', 'Иванов')");
        exec("INSERT INTO VATHistory (VrfOrgId, VATId, VATDate) VALUES (1, 1, '2004-01-01')");
        exec("INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Первичная'), (2, "
             "'Периодическая')");
        exec("INSERT INTO Tariff (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Манометр')");
        exec("INSERT INTO TariffHistory (TariffId, Price, TariffDate) VALUES (1, 100, '2026-01-01')");
        exec("INSERT INTO TariffVrfType (TariffId, VrfTypeId) VALUES (1, 2)");
        exec("INSERT INTO IntervalRef (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, '1 год')");
        exec("INSERT INTO IntervalCycle (id, IntervalId, Description) OVERRIDING SYSTEM VALUE VALUES (7, 1, "
             "'Поверка')");
        exec("INSERT INTO IntervalCycleItems (IntervalCycleID, Period, Name) VALUES (7, 12, 'ТО')");
        exec("CREATE FUNCTION die() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
             "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }
    QString state() {
        const auto connection = openProgramConnection();
        QStringList rows;
        for (auto q = connection->openQuery(QString::fromUtf8(GetParam().state)); !q->eof(); q->next()) {
            QStringList row;
            for (int i = 0; i < q->fieldCount(); ++i)
                row << q->value(i).toString();
            rows << row.join('/');
        }
        return rows.join(", ");
    }
};

} // namespace

TEST_P(EditorFaults, NothingOfTheSaveStays) {
    const Fault& f = GetParam();
    const QString book = QString::fromUtf8(f.book);
    select(book);
    if (book == QStringLiteral("Расценки на поверку")) {
        ui.answers = {TMsgResult::Yes};
        qobject_cast<TTariffFilterFrame*>(window->FFilterFrame)->btApplyFilter->click();
        ui.messages.clear();
    }
    ASSERT_TRUE(window->FrxmdData.locate(window->FrxmdData.findField("id") ? "id" : "ID", 1))
        << "the record to edit";
    const QString before = state();
    exec("CREATE TRIGGER die " + QString::fromUtf8(f.statement) + " FOR EACH ROW EXECUTE FUNCTION die()");
    QString shownAgain;
    // What the user enters, per editor; the second showing reads it back.
    auto enter = [](QObject* shown) {
        if (auto* e = qobject_cast<TfrVrfOrg*>(shown)) {
            e->DBEdit3->setText("Петров");
            e->historyNavigator->click(B::nbInsert);
            e->rxmdVATHistory.fieldByName("VATId")->setValue(2);
            e->rxmdVATHistory.fieldByName("VATDate")->setValue(QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
            e->BitBtn1->click();
            return e->result();
        }
        if (auto* e = qobject_cast<TfrTariff*>(shown)) {
            e->DBEdit2->setText("120");
            e->lvVrfType->findItems("Первичная", Qt::MatchExactly).first()->setCheckState(Qt::Checked);
            e->btOk->click();
            return e->result();
        }
        if (auto* e = qobject_cast<TfrIntervalCycle*>(shown)) {
            e->FCycles.first();
            e->cyclesNavigator->click(B::nbEdit);
            e->FCycles.fieldByName("Description")->setValue("Поверка*");
            e->cyclesNavigator->click(B::nbPost);
            e->BitBtn1->click();
            return e->result();
        }
        ADD_FAILURE() << "unexpected window";
        return int(QDialog::Rejected);
    };
    auto readBack = [&shownAgain](QObject* shown) {
        if (auto* e = qobject_cast<TfrVrfOrg*>(shown))
            shownAgain = e->DBEdit3->text() + "/" + QString::number(e->rxmdVATHistory.recordCount());
        else if (auto* e = qobject_cast<TfrTariff*>(shown))
            shownAgain = e->DBEdit2->text();
        else if (auto* e = qobject_cast<TfrIntervalCycle*>(shown))
            shownAgain = (e->FCycles.first(), e->FCycles.fieldByName("Description")->asString());
        return int(QDialog::Rejected);
    };
    ui.modalHandlers = {enter, readBack};
    press(B::nbEdit);
    EXPECT_FALSE(ui.messages.empty()) << f.statement;
    EXPECT_FALSE(shownAgain.isEmpty()) << "the editor came back: " << f.statement;
    EXPECT_TRUE(shownAgain == "Петров/2" || shownAgain == "120" || shownAgain == "Поверка*")
        << shownAgain.toStdString();
    EXPECT_EQ(state(), before) << f.statement;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, EditorFaults,
    ::testing::Values(
        Fault{"Поверочные организации", "BEFORE UPDATE ON VrfOrg",
              "SELECT Director, (SELECT count(*) FROM VATHistory) FROM VrfOrg"},
        Fault{"Поверочные организации", "BEFORE DELETE ON VATHistory",
              "SELECT Director, (SELECT count(*) FROM VATHistory) FROM VrfOrg"},
        Fault{"Поверочные организации", "BEFORE INSERT ON VATHistory",
              "SELECT Director, (SELECT count(*) FROM VATHistory) FROM VrfOrg"},
        Fault{"Расценки на поверку", "BEFORE UPDATE ON TariffHistory",
              "SELECT Price, (SELECT count(*) FROM TariffVrfType) FROM TariffHistory"},
        Fault{"Расценки на поверку", "BEFORE DELETE ON TariffVrfType",
              "SELECT Price, (SELECT count(*) FROM TariffVrfType) FROM TariffHistory"},
        Fault{"Расценки на поверку", "BEFORE INSERT ON TariffVrfType",
              "SELECT Price, (SELECT count(*) FROM TariffVrfType) FROM TariffHistory"},
        Fault{"Межповерочные интервалы", "BEFORE UPDATE ON IntervalCycle",
              "SELECT Description, (SELECT count(*) FROM IntervalCycleItems) FROM IntervalCycle"},
        Fault{"Межповерочные интервалы", "BEFORE DELETE ON IntervalCycleItems",
              "SELECT Description, (SELECT count(*) FROM IntervalCycleItems) FROM IntervalCycle"},
        Fault{"Межповерочные интервалы", "BEFORE INSERT ON IntervalCycleItems",
              "SELECT Description, (SELECT count(*) FROM IntervalCycleItems) FROM IntervalCycle"}));
