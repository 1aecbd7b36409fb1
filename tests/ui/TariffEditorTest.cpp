// The tariff editor opened from "Расценки на поверку" by the navigator, on the real server: the
// price history, the kinds and organisations, and the choice of instrument types by groups.
#include "TDbConnection.h"
#include "TEditorSet.h"
#include "TTariffFilterFrame.h"
#include "TfrTariff.h"
#include "WorkstationTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class TariffEditor : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, 10, 'Барометры'), (30, NULL, 'Температура')");
        exec("INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Первичная'), (2, "
             "'Периодическая')");
        exec("INSERT INTO VrfOrg (id, sName) OVERRIDING SYSTEM VALUE VALUES (1, 'ЦСМ'), (2, 'Ростест')");
        exec("INSERT INTO Tariff (id, fName, Status) OVERRIDING SYSTEM VALUE VALUES (1, 'Манометр', '+')");
        exec("SELECT setval(pg_get_serial_sequence('tariff', 'id'), 100)");
        exec("INSERT INTO TariffHistory (TariffId, Price, TariffDate) VALUES (1, 100, '2026-01-01')");
        exec("INSERT INTO TariffVrfType (TariffId, VrfTypeId) VALUES (1, 2)");
        exec("INSERT INTO TarifftMiTypes (TariffId, MITypeId) VALUES (1, 11)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Расценки на поверку"));
        auto* filter = qobject_cast<TTariffFilterFrame*>(window->FFilterFrame);
        ASSERT_NE(filter, nullptr);
        ui.answers = {TMsgResult::Yes};
        filter->btApplyFilter->click(); // everything
        ui.messages.clear();
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    static QTreeWidgetItem* find(QTreeWidget* tree, const QString& caption) {
        const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static QStringList top(QTreeWidget* tree) {
        QStringList names;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            names << tree->topLevelItem(i)->text(0);
        return names;
    }
    QString rows(const QString& sql) {
        QStringList result;
        const auto connection = openProgramConnection();
        for (auto q = connection->openQuery(sql); !q->eof(); q->next()) {
            QStringList row;
            for (int i = 0; i < q->fieldCount(); ++i)
                row << q->value(i).toString();
            result << row.join('/');
        }
        return result.join(", ");
    }
};

} // namespace

// A new price on the same date corrects the history row; a new price on a new date adds one.
TEST_F(TariffEditor, ThePriceHistory) {
    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.modalHandlers = {inEditor<TfrTariff>([](TfrTariff& e) {
        EXPECT_EQ(e.DBEdit2->text(), "100");
        EXPECT_TRUE(e.DBCheckBox1->isChecked());
        e.DBEdit2->setText("120");
        e.btOk->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(rows("SELECT Price, to_char(TariffDate, 'YYYY-MM-DD') FROM TariffHistory ORDER BY 2"),
              "120/2026-01-01");

    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.modalHandlers = {inEditor<TfrTariff>([](TfrTariff& e) {
        EXPECT_EQ(e.DBEdit2->text(), "120");
        e.DBEdit2->setText("150");
        e.DBDateEdit1->setText("01.07.2026");
        e.btOk->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(rows("SELECT Price, to_char(TariffDate, 'YYYY-MM-DD') FROM TariffHistory ORDER BY 2"),
              "120/2026-01-01, 150/2026-07-01");
    EXPECT_EQ(window->FrxmdData.fieldByName("TariffHistory.Price")->value().toDouble(), 150.0);
}

// A new tariff: its first history row and its links; at least one kind must be ticked.
TEST_F(TariffEditor, ANewTariffWithItsLinks) {
    ui.modalHandlers = {inEditor<TfrTariff>([this](TfrTariff& e) {
        EXPECT_TRUE(e.DBCheckBox1->isChecked()) << "a new tariff is valid";
        e.DBEdit1->setText("Барометр");
        e.DBEdit2->setText("900");
        e.DBDateEdit1->setText("01.02.2026");
        e.btOk->click();
        EXPECT_EQ(ui.texts(), QStringList{"Должен быть выбран хотя бы один Вид МО"});
        e.lvVrfType->findItems("Первичная", Qt::MatchExactly).first()->setCheckState(Qt::Checked);
        e.lvVrfOgr->findItems("Ростест", Qt::MatchExactly).first()->setCheckState(Qt::Checked);
        find(e.tvAllTree, "Барометры")->setSelected(true);
        e.btSel->click();
        e.btOk->click();
    })};
    press(B::nbInsert);
    const QString id = value("SELECT id FROM Tariff WHERE fName='Барометр'").toString();
    ASSERT_FALSE(id.isEmpty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(rows("SELECT Price FROM TariffHistory WHERE TariffId=" + id), "900");
    EXPECT_EQ(rows("SELECT VrfTypeId FROM TariffVrfType WHERE TariffId=" + id), "1");
    EXPECT_EQ(rows("SELECT VrfOrgId FROM TariffVrfOrg WHERE TariffId=" + id), "2");
    EXPECT_EQ(rows("SELECT MITypeId FROM TarifftMiTypes WHERE TariffId=" + id), "12");
}

// A group chosen after one of its types replaces it; taking one type out of a chosen group leaves
// the others chosen one by one and the group unmarked.
TEST_F(TariffEditor, ChoosingTypesByGroups) {
    ASSERT_TRUE(window->FrxmdData.locate("id", 1));
    ui.modalHandlers = {inEditor<TfrTariff>([](TfrTariff& e) {
        EXPECT_EQ(top(e.tvSelTree), QStringList{"Манометры"});
        EXPECT_TRUE(e.isMarked(find(e.tvAllTree, "Манометры")));
        find(e.tvAllTree, "Давление")->setSelected(true);
        e.btSel->click();
        EXPECT_EQ(top(e.tvSelTree), QStringList{"Давление"});
        EXPECT_TRUE(e.isMarked(find(e.tvAllTree, "Барометры")));

        QTreeWidgetItem* barometers = find(e.tvSelTree, "Барометры");
        ASSERT_NE(barometers, nullptr);
        e.tvSelTree->setCurrentItem(barometers);
        e.btDel->click();
        EXPECT_EQ(top(e.tvSelTree), QStringList{"Манометры"});
        EXPECT_FALSE(e.isMarked(find(e.tvAllTree, "Давление")));
        EXPECT_FALSE(e.isMarked(find(e.tvAllTree, "Барометры")));
        EXPECT_TRUE(e.isMarked(find(e.tvAllTree, "Манометры")));

        find(e.tvAllTree, "Давление")->setSelected(true);
        e.btSel->click();
        e.btOk->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(rows("SELECT MITypeId FROM TarifftMiTypes WHERE TariffId=1"), "10") << "only the group's id";
}
