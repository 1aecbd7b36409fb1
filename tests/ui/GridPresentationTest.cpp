// The grid and the view as a desktop tool presents them: columns sized to what they show, header
// clicks that sort, the keys of the navigator, check boxes, a caption that follows a rename.
#include "TDBGrid.h"
#include "TOrtaSettings.h"
#include "TextHelpers.h"
#include "WorkstationTest.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class GridPresentation : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES "
             "(10, NULL, 'Давление', NULL), "
             "(11, 10, 'Манометры показывающие избыточного давления с дистанционной передачей', 'МП'), "
             "(12, 10, 'вакуумметры', 'ВМ'), (13, 10, 'Барометры', NULL), (14, 10, 'Zeta', NULL)");
        exec("INSERT INTO VrfOrg (id, sName, OwnTesting) OVERRIDING SYSTEM VALUE VALUES (1, 'ЦСМ', 1), (2, "
             "'Лаборатория', 0)");
        start("admin_test", "admin");
        window->resize(1400, 800);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        select(QStringLiteral("Давление"));
    }

    QStringList names() const {
        QStringList shown;
        const TField* name = window->FrxmdData.findField("fName");
        for (int r = 1; r <= window->FrxmdData.recordCount(); ++r)
            shown << window->FrxmdData.valueAt(r, name).toString();
        return shown;
    }

    void clickHeader(int column) {
        QHeaderView* header = window->FGrid->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        settle();
    }

    void key(int key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window->FGrid,
                        Qt::Key(key), modifiers);
        settle();
    }
};

} // namespace

TEST_F(GridPresentation, ColumnsFitTheirTitlesAndValuesUnlessALayoutWasKept) {
    TDBGrid* grid = window->FGrid;
    const int name = grid->columnOfField("fName");
    const int shortName = grid->columnOfField("sName");
    const QFontMetrics cells(grid->font());
    EXPECT_GE(grid->columnWidth(name), cells.horizontalAdvance(QStringLiteral("Барометры")) + 10);
    EXPECT_LE(grid->columnWidth(name), 420); // the long name is bounded
    const QFontMetrics titles(grid->horizontalHeader()->font());
    EXPECT_GE(grid->columnWidth(shortName), titles.horizontalAdvance(QStringLiteral("Краткое наименование")));
    EXPECT_EQ(grid->horizontalHeader()->textElideMode(), Qt::ElideRight);

    grid->horizontalHeader()->resizeSection(shortName, 77);
    select(QStringLiteral("Типы средств измерений"));
    select(QStringLiteral("Давление"));
    EXPECT_EQ(window->FGrid->columnWidth(window->FGrid->columnOfField("sName")), 77) << "a kept layout wins";
}

TEST_F(GridPresentation, HeaderClicksSortAscendingDescendingAndBack) {
    const QStringList bookOrder = names();
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Барометры")));
    const int name = window->FGrid->columnOfField("fName");
    clickHeader(name);
    QStringList ascending = bookOrder;
    std::sort(ascending.begin(), ascending.end(),
              [](const QString& a, const QString& b) { return compareText(a, b) < 0; });
    EXPECT_EQ(names(), ascending); // CompareText: "вакуумметры" among the capitals, Latin first
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), QStringLiteral("Барометры"));
    EXPECT_TRUE(window->FGrid->horizontalHeader()->isSortIndicatorShown());
    clickHeader(name);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(names(), descending);
    EXPECT_EQ(window->FGrid->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(name);
    EXPECT_EQ(names(), bookOrder);
    EXPECT_FALSE(window->FGrid->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), QStringLiteral("Барометры"));
}

TEST_F(GridPresentation, TheNavigatorsKeys) {
    window->FGrid->setFocus();
    const int rows = window->FrxmdData.recordCount();
    key(Qt::Key_Insert);
    ASSERT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    EXPECT_TRUE(window->FGrid->isEditingCell()) << "the new row's first cell is open for typing";
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->insert(QStringLiteral("Тягомеры"));
    key(Qt::Key_Escape); // closes the cell
    EXPECT_FALSE(window->FGrid->isEditingCell());
    key(Qt::Key_Escape); // cancels the record
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(window->FrxmdData.recordCount(), rows);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Тягомеры'").toInt(), 0);

    // Ctrl+Delete asks the usual question; the row now at the deleted row's place is current.
    window->FrxmdData.setRecNo(2);
    const QString next = window->FrxmdData.valueAt(3, window->FrxmdData.findField("fName")).toString();
    window->FGrid->setFocus();
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Удалить запись?")});
    EXPECT_EQ(window->FrxmdData.recordCount(), rows - 1);
    EXPECT_EQ(window->FrxmdData.recNo(), 2);
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), next);
    EXPECT_EQ(window->FGrid->currentIndex().row(), 1);
}

TEST_F(GridPresentation, BitColumnsAreCheckBoxes) {
    select(QStringLiteral("Поверочные организации"));
    ASSERT_TRUE(window->FrxmdData.locate("sName", QStringLiteral("ЦСМ")));
    const int column = window->FGrid->columnOfField("OwnTesting");
    const QModelIndex cell = window->FGrid->model()->index(window->FrxmdData.recNo() - 1, column);
    EXPECT_EQ(cell.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_FALSE(cell.data(Qt::DisplayRole).isValid());
}

TEST_F(GridPresentation, TheViewsPathFollowsARename) {
    select(QStringLiteral("Барометры"));
    window->miProp->trigger(); // "Данные": the record's own view
    press(B::nbEdit);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Барометры-анероиды"));
    press(B::nbPost);
    EXPECT_TRUE(window->FViewBox->title().endsWith(QStringLiteral("Давление - Барометры-анероиды")))
        << window->FViewBox->title().toStdString();
}

TEST_F(GridPresentation, AGroupNamesItsBooksAndTheStatusBarTheSession) {
    select(QStringLiteral("Пользователи и роли"));
    auto* books = window->findChild<QListWidget*>(QStringLiteral("lbGroupBooks"));
    ASSERT_NE(books, nullptr);
    ASSERT_GT(books->count(), 0);
    const QString first = books->item(0)->text();
    Q_EMIT books->itemActivated(books->item(0));
    settle();
    EXPECT_EQ(window->tvMainTree->currentItem()->text(0), first);
    const auto* session = window->statusBar()->findChild<QLabel*>(QStringLiteral("lbSession"));
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(session->text().contains(QStringLiteral("admin_test"))) << session->text().toStdString();
    EXPECT_TRUE(session->text().contains(databaseName()));
}
