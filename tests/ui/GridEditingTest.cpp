#include "TMemoryData.h"
#include "TMemoryDataModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// QTest::keyClicks aborts on Cyrillic: send key events that carry the text.
void typeText(QWidget* target, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

} // namespace

TEST(GridEditing, TypingIntoACellEditsTheRecordSet) {
    TMemoryData ds;
    ds.addField("id", TFieldType::Integer);
    ds.addField("fName", TFieldType::String, 40)->setDisplayLabel("Наименование");
    ds.open();
    ds.appendRecord({1, "Вольтметр"});
    ds.appendRecord({2, "Омметр"});

    TMemoryDataModel model(&ds);
    QTableView view;
    view.setModel(&model);
    view.resize(400, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    const QModelIndex cell = model.index(1, 1);
    view.setCurrentIndex(cell);
    view.edit(cell);
    auto* editor = view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    typeText(editor, QStringLiteral("Мегаомметр"));
    EXPECT_EQ(editor->text(), QStringLiteral("Мегаомметр"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits through a queued call

    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(ds.state(), TDataSetState::Edit);
    ds.post();
    EXPECT_EQ(ds.valueAt(2, ds.fieldByName("fname")).toString(), QStringLiteral("Мегаомметр"));
    EXPECT_EQ(view.model()->data(cell).toString(), QStringLiteral("Мегаомметр"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Наименование"));

    const QImage picture = view.grab().toImage();
    EXPECT_FALSE(picture.isNull());
}
