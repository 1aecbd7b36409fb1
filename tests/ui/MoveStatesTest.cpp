// The movement-rule editor opened from its book by the navigator, on the real server.
#include "TEditorSet.h"
#include "TfrATypes.h"
#include "TfrMoveStates.h"
#include "WorkstationTest.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class MoveStates : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO MMState (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'В эксплуатации'), (2, 'На "
             "поверке'), (3, 'В "
             "ремонте')");
        exec("INSERT INTO tSubDivs (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES (1, NULL, "
             "'Лаборатория', 'Лаб'), "
             "(2, 1, 'Цех ремонта', 'Цех')");
        exec("INSERT INTO MoveStates (id, State, ChangeSubdivHow, NewSubdivId, ChangeStateHow, NewStateId) "
             "OVERRIDING SYSTEM VALUE "
             "VALUES "
             "(1, 1, '+', 2, '+', 2)");
        exec("SELECT setval(pg_get_serial_sequence('movestates', 'id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
        select(QStringLiteral("Правила движения состояний СИ"));
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    // The editor as the user sees it, with what he does in it; returns its result.
    QVariantList rule(int state) {
        const QString where = QString(" FROM MoveStates WHERE State=%1").arg(state);
        return {value("SELECT ChangeSubdivHow" + where), value("SELECT NewSubdivId" + where),
                value("SELECT ChangeStateHow" + where), value("SELECT NewStateId" + where)};
    }
};

} // namespace

// An existing rule opens with its choices; "не менять" and "менять на устанавливаемое" store nulls
// and "-".
TEST_F(MoveStates, EditingARuleStoresTheChoices) {
    ASSERT_TRUE(window->FrxmdData.locate("State", 1));
    ui.modalHandlers = {inEditor<TfrMoveStates>([](TfrMoveStates& e) {
        EXPECT_FALSE(e.DBLookupComboBox2->isEnabled()) << "the state of a stored rule stays";
        EXPECT_EQ(e.DBLookupComboBox2->currentText(), "В эксплуатации");
        EXPECT_EQ(e.RadioGroup1->checkedId(), TfrMoveStates::FixedSubdiv);
        EXPECT_EQ(e.ComboEdit1->text(), "Цех");
        EXPECT_EQ(e.DBLookupComboBox1->currentText(), "На поверке");
        e.RadioGroup1->button(TfrMoveStates::KeepSubdiv)->click();
        EXPECT_TRUE(e.ComboEdit1->isHidden());
        e.RadioGroup2->button(TfrMoveStates::InstalledState)->click();
        EXPECT_TRUE(e.DBLookupComboBox1->isHidden());
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const QVariantList stored = rule(1);
    EXPECT_TRUE(stored[0].isNull());
    EXPECT_TRUE(stored[1].isNull());
    EXPECT_EQ(stored[2].toString(), "-");
    EXPECT_TRUE(stored[3].isNull());
}

// A new rule: the state can be chosen; a fixed subdivision must be picked before OK.
TEST_F(MoveStates, ANewRuleNeedsItsSubdivisionChosen) {
    ui.modalHandlers = {inEditor<TfrMoveStates>([this](TfrMoveStates& e) {
                            EXPECT_TRUE(e.DBLookupComboBox2->isEnabled());
                            e.DBLookupComboBox2->setCurrentIndex(e.DBLookupComboBox2->findText("В ремонте"));
                            e.RadioGroup1->button(TfrMoveStates::FixedSubdiv)->click();
                            e.BitBtn1->click();
                            EXPECT_EQ(ui.texts(), QStringList{"Выберите значение"});
                            EXPECT_NE(e.result(), int(QDialog::Accepted));
                            e.bbtSubDivs->click();
                            EXPECT_EQ(e.ComboEdit1->text(), "Цех");
                            e.RadioGroup2->button(TfrMoveStates::FixedState)->click();
                            e.DBLookupComboBox1->setCurrentIndex(
                                e.DBLookupComboBox1->findText("В эксплуатации"));
                            e.BitBtn1->click();
                        }),
                        pickInChooser("Цех ремонта")};
    press(B::nbInsert);
    const QVariantList stored = rule(3);
    EXPECT_EQ(stored[0].toString(), "+");
    EXPECT_EQ(stored[1].toInt(), 2);
    EXPECT_EQ(stored[2].toString(), "+");
    EXPECT_EQ(stored[3].toInt(), 1);
}

// Where the database lets a rule keep a subdivision that is gone, the rule opens on "менять на:"
// with nothing chosen, and OK asks for a choice.
TEST_F(MoveStates, AMissingSubdivisionIsNotShown) {
    exec("ALTER TABLE MoveStates DROP CONSTRAINT \"FK_MoveStates_tSubDivs\"");
    exec("UPDATE MoveStates SET NewSubdivId=99 WHERE id=1");
    press(B::nbRefresh);
    ASSERT_TRUE(window->FrxmdData.locate("State", 1));
    ui.modalHandlers = {inEditor<TfrMoveStates>([this](TfrMoveStates& e) {
        EXPECT_EQ(e.RadioGroup1->checkedId(), TfrMoveStates::FixedSubdiv);
        EXPECT_TRUE(e.ComboEdit1->text().isEmpty());
        EXPECT_EQ(e.chosenSubdiv(), 0);
        e.BitBtn1->click();
        EXPECT_EQ(ui.texts(), QStringList{"Выберите значение"});
        e.CanselBtn->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(value("SELECT NewSubdivId FROM MoveStates WHERE id=1").toInt(), 99);
}
