// The main window as the user drives it: the navigator's buttons, the keys, the context menu and
// the dialogs' widgets. Nothing crashes, nothing typed is lost, rights hold on every path, and the
// tree follows the database.
#include "TATreeDataCollection.h"
#include "TDBGrid.h"
#include "TDbAttrCollection.h"
#include "TOrtaSettings.h"
#include "TfrATypes.h"
#include "TfrDeleteDlg.h"
#include "TreeHelpers.h"
#include "WorkstationTest.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class MainWindowSafety : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        // 10 Давление > 11 Манометры > 20 МП-100; 10 > 12 Вакуумметры; 30 Температура
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, 10, 'Вакуумметры'), (20, 11, 'МП-100'), (30, NULL, 'Температура')");
        exec("SELECT setval(pg_get_serial_sequence('tmitypes', 'id'), 100)");
    }

    // The window on screen (offscreen platform), so that the grid opens real cell editors.
    void showWindow() {
        window->resize(1000, 700);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // The scripted user at the delete dialog: an option and, for option 2, the target's caption.
    void answerDeleteDialog(int option, const QString& target = {}) {
        ui.modalHandlers.push_back([this, option, target](QObject* shown) {
            auto* dialog = qobject_cast<TfrDeleteDlg*>(shown);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return int(QDialog::Rejected);
            dialog->rGr->button(option)->click();
            if (!target.isEmpty()) {
                ui.modalHandlers.push_front(pickInChooser(target));
                dialog->bbtTree->click();
            }
            dialog->BitBtn3->click();
            return dialog->result();
        });
    }

    // The cell of a field in the current row, with its editor opened as a double click opens it.
    QLineEdit* openCellEditor(const QString& field) {
        TDBGrid* grid = window->FGrid;
        const QModelIndex cell =
            grid->model()->index(window->FrxmdData.recNo() - 1, grid->columnOfField(field));
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        return qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    }

    int nodeCount(const QString& caption) const {
        return int(window->tvMainTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive).size());
    }

    static void type(QWidget* editor, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(editor, &press);
        }
    }
};

} // namespace

// The navigator's delete of a record with children reloads the branch and selects another node;
// the view holding the navigator must outlive the click.
TEST_F(MainWindowSafety, NavigatorDeleteOfARecordWithChildrenKeepsTheWindowAlive) {
    start("admin_test", "admin");
    select(QStringLiteral("Давление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Манометры")));
    answerDeleteDialog(TfrDeleteDlg::MoveUp);
    press(B::nbDelete);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=11").toInt(), 0);
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=20").toInt(), 10);
    ASSERT_NE(window->FNavigator, nullptr);
    EXPECT_EQ(window->FCurrentNode, node(QStringLiteral("Давление")));
    EXPECT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("МП-100"))) << "the view was read again";

    answerDeleteDialog(TfrDeleteDlg::MoveTo, QStringLiteral("Температура"));
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("МП-100")));
    exec(
        "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (21, 20, 'МП-100 исп.1')");
    window->ReloadBranch(node(QStringLiteral("Давление")));
    select(QStringLiteral("Давление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("МП-100")));
    press(B::nbDelete);
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=21").toInt(), 30);
    EXPECT_EQ(node(QStringLiteral("МП-100 исп.1"))->parent(), node(QStringLiteral("Температура")));
    EXPECT_TRUE(ui.modalHandlers.empty());
    EXPECT_EQ(ui.texts(),
              (QStringList{QStringLiteral("Удалить запись?"), QStringLiteral("Удалить запись?")}));
}

TEST_F(MainWindowSafety, NavigatorDeleteInTheRecordsOwnView) {
    start("admin_test", "admin");
    select(QStringLiteral("Вакуумметры"));
    window->miProp->trigger(); // "Данные"
    ASSERT_EQ(window->FrxmdData.recordCount(), 1);
    press(B::nbDelete);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=12").toInt(), 0);
    EXPECT_EQ(node(QStringLiteral("Вакуумметры")), nullptr);
    ASSERT_NE(window->FNavigator, nullptr);
    EXPECT_EQ(window->FCurrentNode, window->tvMainTree->currentItem());
}

TEST_F(MainWindowSafety, OnePressOfDeleteAsksOnceAndDeletesOnce) {
    start("admin_test", "admin");
    showWindow();
    select(QStringLiteral("Вакуумметры"));
    window->tvMainTree->setFocus();
    QTest::keyClick(window->tvMainTree, Qt::Key_Delete);
    settle();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Удалить запись?")});
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes").toInt(), 4) << "exactly one record deleted";
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=12").toInt(), 0);
}

// Every way to delete or move follows the write right, and the choosers show only what the main
// tree shows.
TEST_F(MainWindowSafety, DeletesAndMovesFollowTheRowRights) {
    // ivanov reads and writes 10 and 11, only reads 12, 20 and 30, and does not see 13.
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (13, 10, 'Секретные')");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1), (2, 11, 1, 1), (2, 12, 1, "
         "0), "
         "(2, 20, 1, 0), (2, 30, 1, 0)");
    exec("GRANT DELETE ON tMiTypes TO \"ORTA-Метрологи\"");
    start();
    showWindow();
    EXPECT_EQ(node(QStringLiteral("Секретные")), nullptr);

    select(QStringLiteral("Вакуумметры"));
    window->tvMainTree->setFocus();
    QTest::keyClick(window->tvMainTree, Qt::Key_Delete);
    settle();
    window->miMoveClick();
    window->contextMenuFor(node(QStringLiteral("Вакуумметры")));
    EXPECT_FALSE(window->miDelete->isEnabled());
    EXPECT_FALSE(window->miMove->isEnabled());
    window->dragStart(node(QStringLiteral("Вакуумметры")));
    EXPECT_FALSE(window->dropAllowed(node(QStringLiteral("Температура"))));
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=12").toInt(), 10);

    // Moving a writable record: the chooser leaves out the unreadable record.
    QStringList offered;
    ui.modalHandlers = {[&offered](QObject* shown) {
        auto* chooser = qobject_cast<TfrATypes*>(shown);
        for (QTreeWidgetItemIterator it(chooser->TreeView1); *it; ++it)
            offered << (*it)->text(0);
        return int(QDialog::Rejected);
    }};
    select(QStringLiteral("Манометры"));
    window->miMoveClick();
    EXPECT_TRUE(offered.contains(QStringLiteral("Температура")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Секретные")));
}

TEST_F(MainWindowSafety, PostWritesTheCellBeingTypedAndCancelDropsIt) {
    start("admin_test", "admin");
    showWindow();
    select(QStringLiteral("Давление"));
    const int rows = window->FrxmdData.recordCount();
    press(B::nbInsert);
    QLineEdit* editor = openCellEditor("fName");
    ASSERT_NE(editor, nullptr);
    type(editor, QStringLiteral("Барометры"));
    press(B::nbPost);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Барометры'").toInt(), 10);
    EXPECT_NE(node(QStringLiteral("Барометры")), nullptr);

    press(B::nbInsert);
    editor = openCellEditor("fName");
    ASSERT_NE(editor, nullptr);
    type(editor, QStringLiteral("Отменённые"));
    press(B::nbCancel);
    EXPECT_FALSE(window->FGrid->isEditingCell());
    EXPECT_EQ(window->FrxmdData.recordCount(), rows + 1);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Отменённые'").toInt(), 0);
}

TEST_F(MainWindowSafety, ACellTakesNoMoreThanItsFieldHolds) {
    start("admin_test", "admin");
    showWindow();
    select(QStringLiteral("Давление"));
    press(B::nbInsert);
    QLineEdit* editor = openCellEditor("sName"); // varchar(100)
    ASSERT_NE(editor, nullptr);
    const QString tooLong(120, QChar(u'ж'));
    editor->insert(tooLong); // a paste that does not fit is refused whole
    EXPECT_EQ(editor->text(), QString());
    const QString fits = QString(99, QChar(u'ж')) + QString::fromUcs4(U"\U0001F600");
    editor->insert(fits); // 100 characters, 101 UTF-16 units
    EXPECT_EQ(editor->text(), fits);
    type(editor, QStringLiteral("ж"));
    EXPECT_EQ(editor->text(), fits);
    window->FGrid->commitEditor();
    EXPECT_EQ(window->FrxmdData.fieldByName("sName")->asString(), fits);
    press(B::nbCancel);
}

// The user leaves a record being edited: save, discard or stay, and "stay" changes nothing.
TEST_F(MainWindowSafety, LeavingAnUnsavedRecordAsks) {
    start("admin_test", "admin");
    select(QStringLiteral("Давление"));
    press(B::nbInsert);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Тягомеры"));

    ui.answers = {TMsgResult::Cancel};
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Температура")));
    settle();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Новая запись не сохранена. Сохранить её?")});
    EXPECT_EQ(ui.messages.back().buttons, TMsgButtons::SaveDiscardCancel);
    EXPECT_EQ(window->tvMainTree->currentItem(), node(QStringLiteral("Давление")));
    EXPECT_EQ(window->FCurrentNode, node(QStringLiteral("Давление")));
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), QStringLiteral("Тягомеры"));

    ui.answers = {TMsgResult::Yes};
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Температура")));
    settle();
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Тягомеры'").toInt(), 10)
        << "saved where typed";
    EXPECT_EQ(node(QStringLiteral("Тягомеры"))->parent(), node(QStringLiteral("Давление")));
    EXPECT_EQ(window->FCurrentNode, node(QStringLiteral("Температура")));

    ASSERT_TRUE(window->FrxmdData.isEmpty() || window->FrxmdData.active());
    press(B::nbInsert);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Пирометры"));
    ui.answers = {TMsgResult::No};
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    settle();
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Пирометры'").toInt(), 0);
    EXPECT_EQ(window->FCurrentNode, node(QStringLiteral("Давление")));

    // Closing: the question about the record comes first, "stay" keeps the window and the record.
    press(B::nbEdit);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Барометры"));
    ui.messages.clear();
    ui.answers = {TMsgResult::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Изменения записи не сохранены. Сохранить их?")});
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Edit);
    ui.answers = {TMsgResult::No, TMsgResult::Ok};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Завершить работу с программой?"));
}

// Nothing of a failed save stays in the tree: a retry adds one node, not two.
TEST_F(MainWindowSafety, AFailedSaveLeavesTheTreeAsItWas) {
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1)");
    exec("REVOKE INSERT ON tRoletMiTypes FROM \"ORTA-Метрологи\"");
    start();
    select(QStringLiteral("Давление"));
    press(B::nbInsert);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Без разрешений"));
    press(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(node(QStringLiteral("Без разрешений")), nullptr);
    EXPECT_EQ(nodeCount(QStringLiteral("Без разрешений")), 0);

    exec("GRANT INSERT ON tRoletMiTypes TO \"ORTA-Метрологи\"");
    press(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(nodeCount(QStringLiteral("Без разрешений")), 1);
    const TDbAttrCollection* book = window->NodeBook(node(QStringLiteral("Давление")));
    EXPECT_EQ(book->records()->recordCount(), int(value("SELECT count(*) FROM tMiTypes").toInt()))
        << "the book's cache holds the record once";
}

TEST_F(MainWindowSafety, AWriteThatChangesNoRowIsNotReportedAsDone) {
    start("admin_test", "admin");
    select(QStringLiteral("Давление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Вакуумметры")));
    press(B::nbEdit);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Вакуумметры новые"));
    exec("DELETE FROM tMiTypes WHERE id=12"); // another workstation
    press(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Запись не найдена в базе данных: вероятно, её удалил "
                                                  "другой пользователь. Справочник будет перечитан."));
    EXPECT_EQ(node(QStringLiteral("Вакуумметры новые")), nullptr);
    EXPECT_EQ(node(QStringLiteral("Вакуумметры")), nullptr) << "the branch was read again";
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_FALSE(window->FrxmdData.locate("fName", QStringLiteral("Вакуумметры")))
        << "the view was read again";

    ui.messages.clear();
    select(QStringLiteral("Температура"));
    exec("DELETE FROM tMiTypes WHERE id=30");
    window->miDeleteClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(ui.messages[1].text.startsWith(QStringLiteral("Ошибка при удалении записи из базы.\n\r\n\r")))
        << ui.messages[1].text.toStdString();
    settle();
    EXPECT_EQ(node(QStringLiteral("Температура")), nullptr) << "the tree was read again";
}

// A versioned department: after an edit its node is the new version; it opens and deletes as one.
TEST_F(MainWindowSafety, AnEditedVersionedRecordOpensAndDeletes) {
    exec("INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, DEPARTMENT_NAME) OVERRIDING "
         "SYSTEM VALUE VALUES (1, 1, "
         "NULL, 'Управление'), "
         "(2, 2, 1, 'Отдел'), (3, 3, 2, 'Сектор')");
    exec("SELECT setval(pg_get_serial_sequence('msul_department', 'department_id'), 100)");
    start("admin_test", "admin");
    select(QStringLiteral("Управление"));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Отдел")));
    press(B::nbEdit);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Отдел кадров"));
    press(B::nbPost);
    ASSERT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int version = value("SELECT ID FROM v_ALL_MSUL_DEPARTMENT WHERE ENTITY_ID=2").toInt();
    ASSERT_GT(version, 100);
    QTreeWidgetItem* edited = node(QStringLiteral("Отдел кадров"));
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(window->NodeItem(edited)->id(), version);

    select(QStringLiteral("Отдел кадров"));
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Сектор")));

    answerDeleteDialog(TfrDeleteDlg::MoveUp);
    window->miDeleteClick();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Удалить запись?")});
    EXPECT_EQ(value("SELECT count(*) FROM v_ALL_MSUL_DEPARTMENT WHERE ENTITY_ID=2").toInt(), 0);
    EXPECT_EQ(value("SELECT ParentId FROM v_ALL_MSUL_DEPARTMENT WHERE ID=3").toInt(), 1);
    EXPECT_EQ(node(QStringLiteral("Сектор"))->parent(), node(QStringLiteral("Управление")));
}

TEST_F(MainWindowSafety, ClosingKeepsTheColumnLayout) {
    start("admin_test", "admin");
    showWindow();
    select(QStringLiteral("Давление"));
    const int column = window->FGrid->columnOfField("sName");
    window->FGrid->horizontalHeader()->resizeSection(column, 217);
    const QString key = QStringLiteral("Grids/") + window->FGrid->objectName();
    ui.answers = {TMsgResult::Ok};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(TOrtaSettings::value(TOrtaSettings::Scope::User, key)
                    .contains(QStringLiteral("sName:217"), Qt::CaseInsensitive))
        << TOrtaSettings::value(TOrtaSettings::Scope::User, key).toStdString();
}

// The events a real drag delivers, through the viewport: the enter over the dragged node itself,
// moves across other nodes (refused ones show the forbidden cursor), hovering, the drop.
TEST_F(MainWindowSafety, ARealDragSequenceMovesTheBranch) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (31, 30, 'Термометры')");
    start("admin_test", "admin");
    showWindow();
    window->resize(700, 320);
    settle();
    QTreeWidget* tree = window->tvMainTree;
    tree->expandItem(node(QStringLiteral("Типы средств измерений")));
    tree->expandItem(node(QStringLiteral("Давление")));
    tree->expandItem(node(QStringLiteral("Манометры")));
    select(QStringLiteral("Манометры"));
    QWidget* viewport = tree->viewport();
    auto at = [&](const QString& caption) {
        return tree->visualItemRect(node(caption)).center();
    };
    const std::unique_ptr<QMimeData> mime(tree->model()->mimeData({tree->currentIndex()}));
    QDragEnterEvent enter(at(QStringLiteral("Манометры")), Qt::MoveAction, mime.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted()) << "a drag refused on enter gets no moves and no drop";
    auto moveTo = [&](const QPoint& point) {
        QDragMoveEvent move(point, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        return move.isAccepted();
    };
    EXPECT_FALSE(moveTo(at(QStringLiteral("Манометры"))));    // itself
    EXPECT_FALSE(moveTo(at(QStringLiteral("Давление"))));     // its parent
    EXPECT_FALSE(moveTo(at(QStringLiteral("МП-100"))));       // its branch
    EXPECT_FALSE(moveTo(at(QStringLiteral("Виды поверки")))); // another book

    // Near the bottom edge the tree scrolls, near the top edge back.
    moveTo(QPoint(20, viewport->height() - 1));
    QTest::qWait(350);
    EXPECT_GT(tree->verticalScrollBar()->value(), 0);
    moveTo(QPoint(20, 0));
    QTRY_COMPARE_WITH_TIMEOUT(tree->verticalScrollBar()->value(), 0, 3000);
    tree->scrollToItem(node(QStringLiteral("Температура")));

    EXPECT_TRUE(moveTo(at(QStringLiteral("Температура"))));
    EXPECT_FALSE(node(QStringLiteral("Температура"))->isExpanded());
    QTest::qWait(250); // hovering opens the branch
    EXPECT_TRUE(node(QStringLiteral("Температура"))->isExpanded());

    ui.answers = {TMsgResult::Yes};
    QDropEvent drop(QPointF(at(QStringLiteral("Температура"))), Qt::MoveAction, mime.get(), Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    settle();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Переместить ветвь \"Манометры\" в \"Температура\" ?")});
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=11").toInt(), 30);
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Манометры"));
    EXPECT_EQ(tree->currentItem()->parent(), node(QStringLiteral("Температура")));
}

namespace {

// Every hierarchical book of the installation: a record with children deleted (children move up)
// and, for the movable books, a record moved by the menu.
struct HierarchicalBook {
    const char* book;     // caption of the book node
    const char* insert;   // parent 1, child 2 under it, grandchild 3 under the child, other top 4
    const char* parentOf; // SELECT the parent of record 3 (the entity for versioned books)
    bool movable;
};

class EveryHierarchicalBook : public MainWindowSafety,
                              public ::testing::WithParamInterface<HierarchicalBook> {};

} // namespace

TEST_P(EveryHierarchicalBook, DeleteWithChildrenAndMove) {
    const HierarchicalBook& b = GetParam();
    exec(QString::fromUtf8(b.insert));
    start("admin_test", "admin");
    ASSERT_NE(node(QStringLiteral("Верх")), nullptr) << b.book;
    select(QStringLiteral("Середина"));
    answerDeleteDialog(TfrDeleteDlg::MoveUp);
    window->miDeleteClick();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Удалить запись?")}) << b.book;
    EXPECT_EQ(value(QString::fromUtf8(b.parentOf)).toInt(), 1) << b.book;
    ASSERT_NE(node(QStringLiteral("Низ")), nullptr);
    EXPECT_EQ(node(QStringLiteral("Низ"))->parent(), node(QStringLiteral("Верх"))) << b.book;

    select(QStringLiteral("Низ"));
    window->contextMenuFor(node(QStringLiteral("Низ")));
    EXPECT_EQ(window->miMove->isVisible(), b.movable) << b.book;
    if (!b.movable)
        return;
    ui.modalHandlers = {pickInChooser(QStringLiteral("Другой"))};
    window->miMoveClick();
    EXPECT_EQ(value(QString::fromUtf8(b.parentOf)).toInt(), 4) << b.book;
    EXPECT_EQ(node(QStringLiteral("Низ"))->parent(), node(QStringLiteral("Другой"))) << b.book;
}

namespace {

std::string bookName(const ::testing::TestParamInfo<HierarchicalBook>& info) {
    static const char* names[] = {"InstrumentTypes", "Subdivisions", "Departments", "AccountingSystemTypes"};
    return names[info.index];
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Books, EveryHierarchicalBook,
    ::testing::Values(HierarchicalBook{"Типы средств измерений",
                                       "INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE "
                                       "VALUES (1, NULL, 'Верх'), (2, 1, 'Середина'), "
                                       "(3, 2, 'Низ'), (4, NULL, 'Другой')",
                                       "SELECT ParentId FROM tMiTypes WHERE id=3", true},
                      HierarchicalBook{"Подразделения",
                                       "INSERT INTO tSubDivs (id, ParentId, fName) OVERRIDING SYSTEM VALUE "
                                       "VALUES (1, NULL, 'Верх'), (2, 1, 'Середина'), "
                                       "(3, 2, 'Низ'), (4, NULL, 'Другой')",
                                       "SELECT ParentId FROM tSubDivs WHERE id=3", true},
                      HierarchicalBook{"Подразделения (центральный реестр)",
                                       "INSERT INTO MSUL_DEPARTMENT (DEPARTMENT_ID, ENTITY_ID, PARENT_ID, "
                                       "DEPARTMENT_NAME) OVERRIDING SYSTEM VALUE "
                                       "VALUES (1, 1, NULL, 'Верх'), "
                                       "(2, 2, 1, 'Середина'), (3, 3, 2, 'Низ'), (4, 4, NULL, 'Другой')",
                                       "SELECT ParentId FROM v_ALL_MSUL_DEPARTMENT WHERE ID=3", true},
                      HierarchicalBook{"Типы систем учёта",
                                       "INSERT INTO TypesSU (id, ParentId, fName) OVERRIDING SYSTEM VALUE "
                                       "VALUES (1, NULL, 'Верх'), (2, 1, 'Середина'), "
                                       "(3, 2, 'Низ'), (4, NULL, 'Другой')",
                                       "SELECT ParentId FROM TypesSU WHERE id=3", false}),
    bookName);
