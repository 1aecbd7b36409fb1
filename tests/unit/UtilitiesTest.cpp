#include "EAbort.h"
#include "OrtaUtils.h"
#include "SettingsSandbox.h"
#include "TMemoryData.h"
#include "TScriptedInteraction.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class Utilities : public ::testing::Test {
protected:
    void SetUp() override {
        data.addField("Count", TFieldType::Integer)->setDisplayLabel("Количество");
        data.addField("Price", TFieldType::Float)->setDisplayLabel("Цена");
        data.addField("Name", TFieldType::String, 20)->setDisplayLabel("Наименование");
        data.open();
        data.appendRecord({3, 1.5, "a"});
        data.edit();
    }

    TScriptedInteraction ui;
    TMemoryData data;
};

} // namespace

TEST_F(Utilities, MessageBoxesGoThroughTheServiceWithTheirKind) {
    ui.answers = {TMsgResult::No};
    EXPECT_EQ(questionBox("Удалить?", TMsgButtons::YesNo), TMsgResult::No);
    EXPECT_EQ(errorBox("ошибка"), TMsgResult::Ok);
    warningBox("внимание");
    infoBox("сведения");
    errorBoxWith(QStringLiteral("Не удалось подгрузить справочник."), EError("server says no"));
    ASSERT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(ui.messages[0].kind, TMessageKind::Question);
    EXPECT_EQ(ui.messages[0].buttons, TMsgButtons::YesNo);
    EXPECT_EQ(ui.messages[1].kind, TMessageKind::Error);
    EXPECT_EQ(ui.messages[2].kind, TMessageKind::Warning);
    EXPECT_EQ(ui.messages[3].kind, TMessageKind::Information);
    EXPECT_EQ(ui.messages[4].text, QStringLiteral("Не удалось подгрузить справочник.\n\nserver says no"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("АРМ Администратора"));
}

TEST_F(Utilities, IntegerInputRejectsBadTextAndKeepsTheOldValue) {
    TField& count = *data.fieldByName("Count");
    EXPECT_THROW(setIntegerFromText(count, "12a"), EAbort);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Ошибка при вводе целочисленного значения")});
    EXPECT_EQ(count.asInteger(), 3);
    setIntegerFromText(count, "-7");
    EXPECT_EQ(count.asInteger(), -7);
    setIntegerFromText(count, "");
    EXPECT_TRUE(count.isNull());
}

TEST_F(Utilities, FloatInputAcceptsTheDecimalComma) {
    TField& price = *data.fieldByName("Price");
    setFloatFromText(price, "2,75");
    EXPECT_DOUBLE_EQ(price.asFloat(), 2.75);
    EXPECT_THROW(setFloatFromText(price, "2,7,5"), EAbort);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Ошибка при вводе числового значения")});
    EXPECT_DOUBLE_EQ(price.asFloat(), 2.75);
    price.onSetText = setFloatFromText; // as editors install it
    price.setText("");
    EXPECT_TRUE(price.isNull());
}

TEST_F(Utilities, CheckRequiredFieldsReportsOnlyTheFirstAndFocusesIt) {
    data.fieldByName("Count")->clear();
    data.fieldByName("Name")->clear();
    data.fieldByName("Name")->required = true;
    data.fieldByName("Count")->required = true;
    QSignalSpy focus(&data, &TMemoryData::focusControlRequested);
    EXPECT_FALSE(checkRequiredFields(data));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Поле \"Количество\" должно быть заполненно!")});
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus.at(0).at(0).value<TField*>(), data.fieldByName("Count"));
    data.fieldByName("Count")->setValue(1);
    data.fieldByName("Name")->setValue("x");
    EXPECT_TRUE(checkRequiredFields(data));
}

TEST_F(Utilities, GridSortFollowsTheMarkedColumns) {
    data.post();
    data.appendRecord({1, 9.0, "b"});
    data.appendRecord({1, 2.0, "c"});
    gridSortToTable(&data, {});
    EXPECT_EQ(data.sortOrder(), QString());
    gridSortToTable(&data, {{"Count", false}, {"Price", true}});
    EXPECT_EQ(data.sortOrder(), "Count,Price DESC");
    EXPECT_EQ(data.valueAt(1, data.fieldByName("Name")).toString(), "b");
    EXPECT_EQ(data.valueAt(3, data.fieldByName("Name")).toString(), "a");
    EXPECT_EQ(ui.busyCalls, 1);
}

TEST(UtilitiesSettings, InstallPathFromTheMachineWhenTheUserHasNone) {
    SettingsSandbox settings;
    EXPECT_EQ(installPath(), QString());
    settings.setMachine("path", "/opt/vantorel/");
    EXPECT_EQ(installPath(), "/opt/vantorel/");
    settings.setUser("path", "/home/u/vantorel/");
    EXPECT_EQ(installPath(), "/home/u/vantorel/");
    EXPECT_TRUE(tempPath().endsWith('/'));
    EXPECT_FALSE(exeFileName().isEmpty());
}

TEST(UserInteraction, WithoutAServiceNothingIsAnsweredForTheUser) {
    EXPECT_THROW(errorBox("x"), EError);
}
