// The filter under the tariffs' list, used as the user uses it: ticks, selections, the status and
// "Применить фильтр"; the list fills with what the condition selects on the real server.
#include "TTariffFilterFrame.h"
#include "WorkstationTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class TariffFilter : public WorkstationTest {
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
        exec("INSERT INTO Tariff (id, fName, Status) OVERRIDING SYSTEM VALUE VALUES (1, 'Манометр', '+'), "
             "(2, 'Барометр', '+'), "
             "(3, 'Термометр', '-')");
        exec("INSERT INTO TariffHistory (TariffId, Price, TariffDate) VALUES (1, 800, '2024-01-01'), "
             "(1, 850, '2026-01-01'), (2, 900, '2025-01-01'), (3, 700, '2025-01-01')");
        exec("INSERT INTO TariffVrfType (TariffId, VrfTypeId) VALUES (1, 2), (2, 1), (3, 2)");
        exec("INSERT INTO TarifftMiTypes (TariffId, MITypeId) VALUES (1, 11), (2, 12), (3, 30)");
        exec("INSERT INTO TariffVrfOrg (TariffId, VrfOrgId) VALUES (1, 2), (3, 1)");
        start("admin_test", "admin");
        select(QStringLiteral("Расценки на поверку"));
        frame = qobject_cast<TTariffFilterFrame*>(window->FFilterFrame);
        ASSERT_NE(frame, nullptr);
    }

    QStringList rows() {
        QStringList names;
        for (window->FrxmdData.first(); !window->FrxmdData.eof(); window->FrxmdData.next())
            names << window->FrxmdData.fieldByName("fName")->asString();
        names.sort();
        return names;
    }
    QTreeWidgetItem* type(const QString& caption) const {
        const auto found = frame->tvAllTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    TTariffFilterFrame* frame = nullptr;
};

} // namespace

TEST_F(TariffFilter, EachConditionSelectsItsTariffs) {
    EXPECT_TRUE(rows().isEmpty()) << "the list waits for the filter";

    frame->choose(TTariffFilterFrame::NotValid);
    frame->btApplyFilter->click();
    EXPECT_EQ(window->FFilterText, " (Tariff.status='-')");
    EXPECT_EQ(rows(), QStringList{"Термометр"});
    EXPECT_DOUBLE_EQ(window->FrxmdData.fieldByName("TariffHistory.Price")->value().toDouble(), 700.0);

    frame->btClearFilter->click();
    frame->ckbxVrfType->click();
    EXPECT_TRUE(frame->lvVrfType->isEnabled());
    frame->lvVrfType->findItems("Первичная", Qt::MatchExactly).first()->setCheckState(Qt::Checked);
    frame->btApplyFilter->click();
    EXPECT_EQ(window->FFilterText,
              " (Tariff.id in (select Tariffid from TariffVrfType where VrfTypeid in(1)))");
    EXPECT_EQ(rows(), QStringList{"Барометр"});

    // A group selected takes its types along; with the organisation both must hold.
    frame->btClearFilter->click();
    frame->ckbxVrfType->click();
    frame->ckbxMiTypes->click();
    type("Давление")->setSelected(true);
    EXPECT_TRUE(type("Манометры")->isSelected());
    EXPECT_TRUE(type("Барометры")->isSelected());
    frame->btApplyFilter->click();
    EXPECT_EQ(rows(), (QStringList{"Барометр", "Манометр"}));
    frame->cmbxVrfOgr->setCurrentIndex(frame->cmbxVrfOgr->findText("Ростест"));
    frame->btApplyFilter->click();
    EXPECT_EQ(rows(), QStringList{"Манометр"});
    EXPECT_DOUBLE_EQ(window->FrxmdData.fieldByName("TariffHistory.Price")->value().toDouble(), 850.0)
        << "the latest price";
    type("Давление")->setSelected(false);
    EXPECT_FALSE(type("Манометры")->isSelected());
}

TEST_F(TariffFilter, NoConditionAsksBeforeShowingEverything) {
    ui.answers = {TMsgResult::No};
    frame->btApplyFilter->click();
    EXPECT_EQ(ui.texts(), QStringList{"Ни одно из условий фильтра не задано. Показать все записи?"});
    EXPECT_TRUE(window->FFilterText.isEmpty());
    EXPECT_TRUE(rows().isEmpty());
    ui.answers = {TMsgResult::Yes};
    frame->btApplyFilter->click();
    EXPECT_EQ(window->FFilterText, "(1=1)");
    EXPECT_EQ(rows().size(), 3);
}
