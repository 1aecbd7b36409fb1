#include "EAbort.h"
#include "EConvertError.h"
#include "TMemoryData.h"
#include "TMemoryDataModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class MemoryDataModel : public ::testing::Test {
protected:
    void SetUp() override {
        ds.addField("id", TFieldType::Integer);
        ds.addField("name", TFieldType::String, 30)->setDisplayLabel("Наименование");
        ds.addField("price", TFieldType::Currency);
        ds.addField("active", TFieldType::Boolean);
        ds.addField("sum", TFieldType::Float, 0, TFieldKind::Calculated);
        ds.events().onCalcFields = [](TMemoryData& d) {
            d.fieldByName("sum")->setValue(d.fieldByName("price")->asFloat() * 2);
        };
        ds.open();
        ds.appendRecord({1, "Поверка манометра", 1250.5, true});
        ds.appendRecord({2, "Калибровка", 300, false});
    }

    TMemoryData ds;
    TMemoryDataModel model{&ds};
    // Checks the model's consistency on every signal it sends.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(MemoryDataModel, ShowsFieldsAsColumnsAndRecordsAsRows) {
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Наименование"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "id");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("Поверка манометра"));
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), QStringLiteral("1\u00A0250,50"));
    EXPECT_EQ(model.data(model.index(0, 3), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), QStringLiteral("600"));
    EXPECT_FALSE(model.flags(model.index(0, 4)) & Qt::ItemIsEditable); // calculated
    EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
}

TEST_F(MemoryDataModel, FollowsInsertsDeletesAndResets) {
    ds.append();
    EXPECT_EQ(model.rowCount(), 3);
    ds.cancel();
    EXPECT_EQ(model.rowCount(), 2);
    ds.first();
    ds.deleteRecord();
    EXPECT_EQ(model.rowCount(), 1);

    ds.disableControls();
    for (int i = 0; i < 100; ++i)
        ds.appendRecord({10 + i, QString::number(i), i, false});
    EXPECT_EQ(model.rowCount(), 1); // nothing announced yet
    ds.enableControls();
    EXPECT_EQ(model.rowCount(), 101);

    ds.close();
    ds.clearFields();
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(MemoryDataModel, EditsGoThroughTheFieldsTextInput) {
    ASSERT_TRUE(model.setData(model.index(1, 1), QStringLiteral("Ремонт")));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(ds.state(), TDataSetState::Edit);
    ds.post();
    EXPECT_EQ(ds.valueAt(2, ds.fieldByName("name")).toString(), QStringLiteral("Ремонт"));

    QStringList errors;
    model.setErrorHandler([&errors](const EError& e) { errors << e.message(); });
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("12a")));
    EXPECT_EQ(errors, QStringList{"'12a' is not a valid integer value"});
    ds.cancel();

    ds.fieldByName("price")->onSetText = [](TField&, const QString&) {
        throw EAbort();
    };
    EXPECT_FALSE(model.setData(model.index(0, 2), QStringLiteral("5")));
    EXPECT_EQ(errors.size(), 1); // a silent abort shows nothing
    ds.cancel();

    ASSERT_TRUE(model.setData(model.index(1, 3), Qt::Checked, Qt::CheckStateRole));
    ds.post();
    EXPECT_TRUE(ds.valueAt(2, ds.fieldByName("active")).toBool());
}
