#include "EAbort.h"
#include "TATreeDataCollection.h"
#include "TDBGrid.h"
#include "TDbAttrCollection.h"
#include "TEditorRegistry.h"
#include "TFrExtraAbstract.h"

#include "TfrATypes.h"
#include "TfrDeleteDlg.h"
#include "TreeHelpers.h"
#include <QLineEdit>

#include "TDbUtilsClass.h"
#include "TUser.h"
#include "WorkstationTest.h"
#include <QAbstractButton>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidgetItemIterator>

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

QStringList rows_of(const TMemoryData& data) {
    QStringList values;
    const TField* field = data.findField("fName");
    for (int r = 1; field && r <= data.recordCount(); ++r)
        values << const_cast<TMemoryData&>(data).valueAt(r, field).toString();
    return values;
}

class Editing : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры')");
        exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1), (2, 11, 1, 1)");
        exec("SELECT setval(pg_get_serial_sequence('tmitypes', 'id'), 100)");
    }

    // Adds a record through the navigator, as the user would, and posts it.
    void addRecord(const QString& caption) {
        window->FNavigator->click(B::nbInsert);
        ASSERT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
        window->FrxmdData.fieldByName("fName")->setValue(caption);
        window->FNavigator->click(B::nbPost);
    }
};

} // namespace

TEST_F(Editing, NewRecordsTakeTheirParentFromTheSelectedNode) {
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Типы средств измерений")));
    addRecord(QStringLiteral("Температура"));
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE fName='Температура'").toBool());
    ASSERT_NE(node(QStringLiteral("Температура")), nullptr);
    EXPECT_EQ(node(QStringLiteral("Температура"))->parent(), node(QStringLiteral("Типы средств измерений")));
    const int id = value("SELECT id FROM tMiTypes WHERE fName='Температура'").toInt();
    EXPECT_EQ(
        value(QString("SELECT count(*) FROM tRoletMiTypes WHERE InkId=%1 AND r=1 AND w=1").arg(id)).toInt(),
        3);

    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    addRecord(QStringLiteral("Вакуумметры")); // subordinate mode: a child of the node
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Вакуумметры'").toInt(), 10);
    EXPECT_EQ(node(QStringLiteral("Вакуумметры"))->parent(), node(QStringLiteral("Давление")));
    EXPECT_EQ(node(QStringLiteral("Давление"))->indexOfChild(node(QStringLiteral("Вакуумметры"))),
              0); // В before М
    EXPECT_EQ(window->tvMainTree->currentItem(), node(QStringLiteral("Давление")));

    window->tvMainTree->setCurrentItem(node(QStringLiteral("Манометры")));
    window->miProp->trigger(); // own-record mode: a sibling
    addRecord(QStringLiteral("Мановакуумметры"));
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE fName='Мановакуумметры'").toInt(), 10);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

TEST_F(Editing, CancelLeavesNothingAndEditButtonsFollowTheState) {
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    const int rows = window->FrxmdData.recordCount();
    EXPECT_FALSE(window->FGrid->editButtons());
    window->FNavigator->click(B::nbInsert);
    EXPECT_TRUE(window->FGrid->editButtons());
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Отменённая"));
    ASSERT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FNavigator->click(B::nbCancel);
    EXPECT_FALSE(window->FGrid->editButtons());
    EXPECT_EQ(window->FrxmdData.recordCount(), rows);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Отменённая'").toInt(), 0);
}

TEST_F(Editing, ConstraintMessagesAndTheRecordKeptForCorrection) {
    exec("INSERT INTO SpheresGMK (Code, fName) VALUES ('01', 'Здравоохранение')");
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(
        node(QStringLiteral("Сферы государственного метрологического контроля")));
    window->FNavigator->click(B::nbInsert);
    window->FrxmdData.fieldByName("Code")->setValue("01");
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Дубль"));
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(ui.texts(),
              QStringList{QStringLiteral("Недопустимый ввод. Такой код сферы существует в справочнике.")});
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FrxmdData.fieldByName("Code")->setValue("25");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(
        ui.texts().last(),
        QStringLiteral("Недопустимый ввод. Kод сферы должен состоять из двух цифр из диапазона 01-19."));
    window->FrxmdData.fieldByName("Code")->setValue("02");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName FROM SpheresGMK WHERE Code='02'").toString(), QStringLiteral("Дубль"));

    window->FNavigator->click(B::nbInsert);
    window->FNavigator->click(B::nbPost); // required fields first, nothing sent
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Поле \"Код сферы\" не может быть пустым"));
    window->FNavigator->click(B::nbCancel);
}

TEST_F(Editing, AFailureAfterTheRecordsOwnWriteRollsEverythingBack) {
    exec("REVOKE INSERT ON tRoletMiTypes FROM \"ORTA-Метрологи\"");
    start();
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    addRecord(QStringLiteral("Без разрешений"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(
        ui.messages[0].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.\n\r\n\r")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert); // kept for another attempt
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Без разрешений'").toInt(), 0);
    EXPECT_FALSE(TdmDataBase::instance().adoOrtaDatabase().inTransaction());

    exec("GRANT INSERT ON tRoletMiTypes TO \"ORTA-Метрологи\"");
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE fName='Без разрешений'").toInt(), 1);
}

TEST_F(Editing, ALostConnectionFailsTheSaveAndTheNextAttemptReconnects) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Виды поверки")));
    window->FNavigator->click(B::nbInsert);
    window->FrxmdData.fieldByName("fName")->setValue(QStringLiteral("Контрольная"));
    // Only this test's database: the tests running beside it keep their connections.
    exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'admin_test' AND pid <> "
         "pg_backend_pid() AND datname = current_database()");
    window->FNavigator->click(B::nbPost);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.")));
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Insert);
    window->FNavigator->click(B::nbPost);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Контрольная'").toInt(), 1);
    // The new session knows the user again, and keeps literals safe.
    EXPECT_EQ(
        TDbUtilsClass::getInstance()->scalarQuery("SELECT current_setting('vestar.context_info')").toString(),
        TUser::current()->UserSurname);
    EXPECT_FALSE(TUser::current()->UserSurname.isEmpty());
    EXPECT_EQ(TDbUtilsClass::getInstance()->scalarQuery("SHOW standard_conforming_strings").toString(), "on");
}

TEST_F(Editing, WithoutTheInsertRightTheStateChangeIsRefusedSilently) {
    start();
    window->tvMainTree->setCurrentItem(
        node(QStringLiteral("Сферы государственного метрологического контроля")));
    EXPECT_THROW(window->FrxmdData.insert(), EAbort);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_TRUE(ui.messages.empty());
}

namespace {

class Deleting : public Editing {
protected:
    void SetUp() override {
        Editing::SetUp();
        if (HasFatalFailure())
            return;
        // 10 Давление > 11 Манометры > 20 МП-100 > 21 МП-100 исп.1; 10 > 12 Вакуумметры
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (12, 10, "
             "'Вакуумметры'), (20, 11, 'МП-100'), "
             "(21, 20, 'МП-100 исп.1'), (30, NULL, 'Температура')");
    }

    // The scripted user at the delete dialog: picks an option (and a target) and presses OK.
    void answerDeleteDialog(int option, qint32 target = -1) {
        ui.modalHandlers.push_back([this, option, target](QObject* window) {
            auto* dialog = qobject_cast<TfrDeleteDlg*>(window);
            EXPECT_NE(dialog, nullptr);
            if (!dialog)
                return int(QDialog::Rejected);
            EXPECT_EQ(dialog->option(), 0); // preselected on every show
            dialog->rGr->button(option)->setChecked(true);
            if (target != -1) {
                ui.modalHandlers.push_front([target](QObject* chooserWindow) {
                    auto* chooser = qobject_cast<TfrATypes*>(chooserWindow);
                    chooser->TreeView1->expandAll();
                    const QTreeWidgetItem* none = nullptr;
                    EXPECT_EQ(TreeHelpers::findNodeByData(chooser->TreeView1, nullptr), none);
                    for (QTreeWidgetItemIterator it(chooser->TreeView1); *it; ++it) {
                        const auto* item =
                            static_cast<const TATreeDataCollectionItem*>(TreeHelpers::itemData(*it));
                        EXPECT_NE(item->id(), 11) << "the deleted record is offered";
                        EXPECT_NE(item->id(), 20) << "a descendant of the deleted record is offered";
                        if (item->id() == target)
                            chooser->TreeView1->setCurrentItem(*it);
                    }
                    chooser->BitBtn1->click();
                    return chooser->result();
                });
                dialog->chooseTarget();
            }
            dialog->BitBtn3->click();
            return dialog->result();
        });
    }
};

} // namespace

TEST_F(Deleting, ALeafFromTheGridGoesFromDatabaseTreeAndGrid) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Вакуумметры")));
    window->FNavigator->click(B::nbDelete);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Удалить запись?")});
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=12").toInt(), 0);
    EXPECT_EQ(node(QStringLiteral("Вакуумметры")), nullptr);
    EXPECT_EQ(rows_of(window->FrxmdData), QStringList{QStringLiteral("Манометры")});
}

TEST_F(Deleting, OptionZeroMovesTheChildrenUpAndOptionTwoUnderTheTarget) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Манометры")));
    answerDeleteDialog(TfrDeleteDlg::MoveUp);
    window->miDeleteClick();
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=11").toInt(), 0);
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=20").toInt(), 10);
    ASSERT_NE(node(QStringLiteral("МП-100")), nullptr);
    EXPECT_EQ(node(QStringLiteral("МП-100"))->parent(), node(QStringLiteral("Давление")));

    window->tvMainTree->setCurrentItem(node(QStringLiteral("МП-100")));
    answerDeleteDialog(TfrDeleteDlg::MoveTo, 30);
    window->miDeleteClick();
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=21").toInt(), 30);
    EXPECT_EQ(node(QStringLiteral("МП-100 исп.1"))->parent(), node(QStringLiteral("Температура")));
    EXPECT_TRUE(ui.modalHandlers.empty());
}

TEST_F(Deleting, OptionZeroDirectlyUnderTheBookMovesChildrenToTheTop) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    answerDeleteDialog(TfrDeleteDlg::MoveUp);
    window->miDeleteClick();
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=11").toBool());
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=12").toBool());
}

TEST_F(Deleting, OptionOneDeletesWhatItCanAndListsTheRest) {
    exec("INSERT INTO Doc (id, Descript) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт МП-100 исп.1')");
    exec("ALTER TABLE DocLinks ADD CONSTRAINT \"FK_DocLinks_tMiTypes\" FOREIGN KEY (MITypeId) REFERENCES "
         "tMiTypes (id)");
    exec("INSERT INTO DocLinks (DocId, MITypeId) VALUES (1, 21)");
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Давление")));
    answerDeleteDialog(TfrDeleteDlg::DeleteAll);
    window->miDeleteClick();
    EXPECT_EQ(value("SELECT count(*) FROM tMiTypes WHERE id=12").toInt(), 0); // deletable: gone
    EXPECT_EQ(value("SELECT string_agg(id::text, ',' ORDER BY id) FROM tMiTypes WHERE id IN (10, 11, 20, 21)")
                  .toString(),
              "10,11,20,21");
    ASSERT_EQ(ui.errorLists.size(), 1);
    const QStringList lines = ui.errorLists.first().split("\r\n");
    EXPECT_EQ(lines.at(0), QStringLiteral("Элемент \"МП-100 исп.1\" удалить не удалось из-за ошибки:"));
    EXPECT_EQ(lines.at(1),
              QStringLiteral("Невозможно удалить/редактировать данную запись, т.к. на неё есть ссылки в "
                             "таблице паспортов или другом справочнике."));
    EXPECT_TRUE(lines.contains(QStringLiteral("Элемент \"Давление\" удалить не удалось.")));
    EXPECT_EQ(lines.count(QStringLiteral("Существуют подчиненные записи.")), 3);
}

TEST_F(Deleting, MovingByMenuAndMakingATopGroup) {
    start("admin_test", "admin");
    window->tvMainTree->setCurrentItem(node(QStringLiteral("МП-100")));
    QMenu* menu = window->contextMenuFor(node(QStringLiteral("МП-100")));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(window->miMove->isVisible());
    EXPECT_TRUE(window->miExtractToGroup->isVisible()); // level 3 of tMiTypes
    EXPECT_FALSE(
        (window->contextMenuFor(node(QStringLiteral("Давление"))), window->miExtractToGroup->isVisible()));

    ui.modalHandlers = {pickInChooser(QStringLiteral("Температура"))};
    window->tvMainTree->setCurrentItem(node(QStringLiteral("МП-100")));
    window->miMoveClick();
    EXPECT_EQ(ui.texts().first(),
              QStringLiteral("Вы действительно хотите переместить \"МП-100\"  в другой узел дерева?"));
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=20").toInt(), 30);
    EXPECT_EQ(window->tvMainTree->currentItem()->text(0), QStringLiteral("МП-100"));

    window->miExtractToGroupClick();
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=20").toBool());
    EXPECT_EQ(window->tvMainTree->currentItem()->parent(), node(QStringLiteral("Типы средств измерений")));
}

TEST_F(Deleting, ChoosingTheMovedNodeItselfDoesNothing) {
    start("admin_test", "admin");
    ui.modalHandlers = {[](QObject* window) {
        auto* chooser = qobject_cast<TfrATypes*>(window);
        const auto found =
            chooser->TreeView1->findItems(QStringLiteral("Манометры"), Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(found.isEmpty());
        chooser->TreeView1->setCurrentItem(found.first());
        EXPECT_EQ(found.first()->childCount(), 0); // its own branch is not offered
        chooser->BitBtn1->click();
        return chooser->result();
    }};
    window->tvMainTree->setCurrentItem(node(QStringLiteral("Манометры")));
    window->miMoveClick();
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=11").toInt(), 10);
}

namespace {

// A small editor of the contract: the name of a record, and save steps a test can make fail.
class TestEditor : public TFrExtraAbstract {
public:
    explicit TestEditor(QWidget* parent) : TFrExtraAbstract(parent), edName(new QLineEdit(this)) {
        setObjectName("TestEditor");
        // bound to the record as typed, like the editors' data controls
        connect(edName, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (m_record && m_record->isEditing())
                m_record->fieldByName("fName")->setValue(text);
        });
    }
    void LoadRecord(TMemoryData& record, bool firstShow) override {
        m_record = &record;
        if (shows)
            *shows << firstShow;
        edName->setText(record.fieldByName("fName")->asString());
    }
    bool BeforeSave(TATreeDataCollectionItem*) override {
        if (failBefore-- > 0)
            TDbUtilsClass::getInstance()->runSQL(
                "INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'занято')");
        return true;
    }
    bool AfterSave(TATreeDataCollectionItem*) override {
        if (!reportAfter)
            return true;
        FMessages = std::make_unique<QStringList>(QStringList{"первая часть не записана", "вторая тоже"});
        return false;
    }

    QLineEdit* edName;
    QList<bool>* shows = nullptr; // kept by the test: the editor is gone when the loop ends
    int failBefore = 0;
    bool reportAfter = false;

private:
    TMemoryData* m_record = nullptr;
};

class EditorLoops : public Editing {
protected:
    void SetUp() override {
        Editing::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO VrfType (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Первичная')");
        exec("SELECT setval(pg_get_serial_sequence('vrftype', 'id'), 100)");
        TEditorRegistry::registerEditor("frTestEditor", [this](QWidget* owner) {
            auto editor = std::make_unique<TestEditor>(owner);
            editor->failBefore = failBefore;
            editor->reportAfter = reportAfter;
            editor->shows = &shows;
            return editor;
        });
        start("admin_test", "admin");
        window->tvMainTree->setCurrentItem(node(QStringLiteral("Виды поверки")));
        window->NodeBook(window->FCurrentNode)->EditorClass = "frTestEditor";
    }
    void TearDown() override {
        TEditorRegistry::unregisterEditor("frTestEditor");
        Editing::TearDown();
    }

    // The user types a name in the editor and presses OK (or Cancel).
    std::function<int(QObject*)> typeAndClose(const QString& name, bool ok = true) {
        return [name, ok](QObject* window) {
            auto* editor = dynamic_cast<TestEditor*>(window);
            EXPECT_NE(editor, nullptr);
            if (!editor)
                return int(QDialog::Rejected);
            editor->edName->setText(name);
            Q_EMIT editor->edName->textEdited(name);
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        };
    }

    int failBefore = 0;
    bool reportAfter = false;
    QList<bool> shows;
};

} // namespace

TEST_F(EditorLoops, InsertThroughTheEditorAndCancel) {
    ui.modalHandlers = {typeAndClose(QStringLiteral("Внеочередная"))};
    window->FNavigator->click(B::nbInsert);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Внеочередная'").toInt(), 1);
    EXPECT_EQ(window->FrxmdData.fieldByName("fName")->asString(), QStringLiteral("Внеочередная"));

    const int rows = window->FrxmdData.recordCount();
    ui.modalHandlers = {typeAndClose(QStringLiteral("Отменённая"), false)};
    window->FNavigator->click(B::nbInsert);
    EXPECT_EQ(window->FrxmdData.recordCount(), rows);
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Отменённая'").toInt(), 0);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

TEST_F(EditorLoops, AFailingBeforeSaveRollsBackAndShowsTheEditorAgain) {
    failBefore = 1;
    QString shownAgain;
    ui.modalHandlers = {typeAndClose(QStringLiteral("Повторная")), [&shownAgain](QObject* window) {
                            shownAgain = static_cast<TestEditor*>(window)->edName->text();
                            return int(QDialog::Accepted);
                        }};
    window->FNavigator->click(B::nbInsert);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.")));
    EXPECT_EQ(shownAgain, QStringLiteral("Повторная")); // the values entered stay
    EXPECT_EQ(shows, (QList<bool>{true, false}));
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Повторная'").toInt(), 1);
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='занято'").toInt(), 0);
}

TEST_F(EditorLoops, AfterSaveFalseListsTheMessagesAndKeepsTheRecord) {
    reportAfter = true;
    ui.modalHandlers = {typeAndClose(QStringLiteral("Частичная"))};
    window->FNavigator->click(B::nbInsert);
    EXPECT_EQ(value("SELECT count(*) FROM VrfType WHERE fName='Частичная'").toInt(), 1);
    EXPECT_EQ(ui.errorLists, QStringList{QStringLiteral("первая часть не записана\r\nвторая тоже")});
}

TEST_F(EditorLoops, EditThroughTheEditor) {
    ASSERT_TRUE(window->FrxmdData.locate("fName", QStringLiteral("Первичная")));
    ui.modalHandlers = {typeAndClose(QStringLiteral("Первичная поверка"))};
    window->FNavigator->click(B::nbEdit);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName FROM VrfType WHERE id=1").toString(), QStringLiteral("Первичная поверка"));
    ui.modalHandlers = {typeAndClose(QStringLiteral("Не сохранится"), false)};
    window->FNavigator->click(B::nbEdit);
    EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse);
    EXPECT_EQ(value("SELECT fName FROM VrfType WHERE id=1").toString(), QStringLiteral("Первичная поверка"));
}

TEST_F(Deleting, DraggingRefusesItselfItsParentAndItsBranch) {
    start("admin_test", "admin");
    QTreeWidgetItem* manometers = node(QStringLiteral("Манометры"));
    window->dragStart(manometers);
    ASSERT_EQ(window->FDragNode, manometers);
    EXPECT_FALSE(window->dropAllowed(manometers));
    EXPECT_FALSE(window->dropAllowed(node(QStringLiteral("Давление"))));     // its parent
    EXPECT_FALSE(window->dropAllowed(node(QStringLiteral("МП-100"))));       // its descendant
    EXPECT_FALSE(window->dropAllowed(node(QStringLiteral("Виды поверки")))); // another book
    EXPECT_TRUE(window->dropAllowed(node(QStringLiteral("Температура"))));
    EXPECT_TRUE(
        window->dropAllowed(node(QStringLiteral("Типы средств измерений")))); // the book: a top record

    ui.answers = {TMsgResult::Yes};
    window->dropOn(node(QStringLiteral("Температура")));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Переместить ветвь \"Манометры\" в \"Температура\" ?")});
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=11").toInt(), 30);
    EXPECT_EQ(window->tvMainTree->currentItem()->parent(), node(QStringLiteral("Температура")));

    window->dragStart(node(QStringLiteral("Манометры")));
    ui.answers = {TMsgResult::Yes};
    window->dropOn(node(QStringLiteral("Типы средств измерений")));
    EXPECT_TRUE(value("SELECT ParentId IS NULL FROM tMiTypes WHERE id=11").toBool());
}

TEST_F(Deleting, ADropOntoALockedRowFailsAtOnce) {
    start("admin_test", "admin");
    QSqlQuery lock(db());
    ASSERT_TRUE(lock.exec("BEGIN"));
    ASSERT_TRUE(lock.exec("SELECT id FROM tMiTypes WHERE id=12 FOR UPDATE"));
    window->dragStart(node(QStringLiteral("Вакуумметры")));
    ui.answers = {TMsgResult::Yes};
    QElapsedTimer timer;
    timer.start();
    window->dropOn(node(QStringLiteral("Температура")));
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_TRUE(
        ui.messages[1].text.startsWith(QStringLiteral("Не удалось внести изменения в базу данных.\n\r\n\r")))
        << ui.messages[1].text.toStdString();
    lock.exec("ROLLBACK");
    EXPECT_EQ(value("SELECT ParentId FROM tMiTypes WHERE id=12").toInt(), 10);
    EXPECT_FALSE(TdmDataBase::instance().adoOrtaDatabase().inTransaction());
}
