#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "THelpWindow.h"
#include "TLogin.h"
#include "TProviderConnection.h"
#include "TScriptedInteraction.h"
#include "TSingleInstance.h"
#include "TUser.h"
#include "TestDatabase.h"
#include "TestFiles.h"
#include "TfPasswordDlg.h"
#include "TfrErrorMes.h"
#include "TfrMain.h"
#include "TfrProgressBar.h"
#include "TfrWaitingForm.h"
#include "WorkstationTest.h"

#include "TreeHelpers.h"
#include <QTest>

#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

QStringList childCaptions(const QTreeWidgetItem* node) {
    QStringList captions;
    for (int i = 0; i < node->childCount(); ++i)
        captions << node->child(i)->text(0);
    return captions;
}

QTreeWidgetItem* topNode(QTreeWidget* tree, const QString& caption) {
    const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

using MainWindow = WorkstationTest;

} // namespace

TEST_F(MainWindow, StartUpSignsInAndShowsEveryBookWithItsGroup) {
    TfrMain& main = start();
    ASSERT_NE(TUser::current(), nullptr);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("\"ВЕСТАР\" АРМ Администратора"));
    const int files = QDir(QStringLiteral(VANTOREL_INSTALLATION_DIR) + "/BusinessData/ReferenceBooks")
                          .entryList({"*.xml"})
                          .size();
    QTreeWidget* tree = main.tvMainTree;
    EXPECT_EQ(tree->topLevelItemCount(), files - 6); // six books sit in two groups
    QTreeWidgetItem* register_ = topNode(tree, QStringLiteral("Центральный реестр"));
    ASSERT_NE(register_, nullptr);
    EXPECT_EQ(childCaptions(register_),
              (QStringList{QStringLiteral("Типы устройств (центральный реестр)"),
                           QStringLiteral("Заказы на калибровку"), QStringLiteral("Сотрудники"),
                           QStringLiteral("Владельцы СИ")}));
    EXPECT_EQ(childCaptions(topNode(tree, QStringLiteral("Пользователи и роли"))),
              (QStringList{QStringLiteral("Роли"), QStringLiteral("Пользователи")}));
    EXPECT_EQ(TreeHelpers::imageIndex(register_), 2);
    EXPECT_EQ(TreeHelpers::imageIndex(topNode(tree, QStringLiteral("Роли"))), 1);
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Виды поверки")); // CompareText order
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join("\n").toStdString();
    EXPECT_TRUE(ui.errorLists.isEmpty());
}

TEST_F(MainWindow, HierarchicalBooksShowTheRecordsTheUserMayRead) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление'), "
         "(11, 10, 'Манометры'), "
         "(13, NULL, 'Закрытая группа'), (14, 13, 'Открытый тип в закрытой группе'), (15, NULL, 'Чужая "
         "группа')");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 0), (2, 11, 1, 0), (3, 14, 1, "
         "0), (3, 15, 0, 1)");
    TfrMain& main = start();
    QTreeWidgetItem* book = topNode(main.tvMainTree, QStringLiteral("Типы средств измерений"));
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(childCaptions(book),
              (QStringList{QStringLiteral("Давление"), QStringLiteral("Открытый тип в закрытой группе")}));
    EXPECT_EQ(childCaptions(book->child(0)), QStringList{QStringLiteral("Манометры")});
    EXPECT_EQ(TfrMain::FindNodeById(book, 11), book->child(0)->child(0));
    EXPECT_EQ(TfrMain::RootOf(book->child(0)->child(0)), book);
    EXPECT_EQ(TfrMain::level(book->child(0)->child(0)), 2);
    EXPECT_EQ(main.NodeItem(book->child(0))->id(), 10);
    EXPECT_EQ(main.helpTopic(&main), "TfrMain_" + main.NodeBook(main.FCurrentNode)->mainTableName());
    main.tvMainTree->setCurrentItem(book->child(0));
    EXPECT_EQ(main.helpTopic(&main), "TfrMain_tMiTypes");
    TfrErrorMes errorWindow;
    EXPECT_EQ(main.helpTopic(&errorWindow), "TfrErrorMes");

    EXPECT_EQ(main.contextMenuFor(book), nullptr); // book nodes have no menu
    QMenu* menu = main.contextMenuFor(book->child(0));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(main.miProp));
    EXPECT_EQ(main.miSubTrees->text(), QStringLiteral("Подчиненные записи"));
}

TEST_F(MainWindow, BranchesFollowSavedRecordsAndReloads) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление')");
    TfrMain& main = start("admin_test", "admin");
    QTreeWidgetItem* book = topNode(main.tvMainTree, QStringLiteral("Типы средств измерений"));
    ASSERT_NE(book, nullptr);
    QTreeWidgetItem* pressure = book->child(0);
    main.tvMainTree->setCurrentItem(pressure);

    TMemoryData& record = main.FrxmdData;
    record.takeEvents(); // the record set stands for a saved record here, nothing is to be written
    record.close();
    record.clearFields();
    record.addField("id", TFieldType::Integer);
    record.addField("ParentId", TFieldType::Integer);
    record.addField("fName", TFieldType::String, 255);
    record.open();
    record.appendRecord({20, 10, QStringLiteral("Манометры")});
    main.FShowSubordinates = true;
    main.UpdateTreeAfterSave(1, nullptr);
    ASSERT_EQ(childCaptions(pressure), QStringList{QStringLiteral("Манометры")});
    EXPECT_EQ(main.FTreeData->itemById(20)->parent(), main.NodeItem(pressure));

    record.edit();
    record.fieldByName("fName")->setValue(QStringLiteral("Манометры показывающие"));
    record.post();
    main.UpdateTreeAfterSave(0, nullptr);
    EXPECT_EQ(childCaptions(pressure), QStringList{QStringLiteral("Манометры показывающие")});
    EXPECT_EQ(main.FTreeData->itemById(20)->caption(), QStringLiteral("Манометры показывающие"));

    main.UpdateTreeAfterSave(2, pressure->child(0));
    EXPECT_EQ(pressure->childCount(), 0);
    EXPECT_EQ(main.FTreeData->itemById(20), nullptr);

    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (30, 10, 'Вакуумметры'), "
         "(31, 30, 'ВП-1')");
    main.ReloadBranch(pressure);
    pressure = TfrMain::FindNodeById(book, 10);
    ASSERT_NE(pressure, nullptr);
    EXPECT_EQ(childCaptions(pressure), QStringList{QStringLiteral("Вакуумметры")});
    EXPECT_EQ(childCaptions(pressure->child(0)), QStringList{QStringLiteral("ВП-1")});
}

TEST_F(MainWindow, ParentCycleIsReportedOnceAndTheRestShown) {
    exec("ALTER TABLE tMiTypes DROP CONSTRAINT \"FK_tMiTypes_tMiTypes\"");
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, 'Давление'), "
         "(40, 41, 'Петля А'), "
         "(41, 40, 'Петля Б')");
    TfrMain& main = start("admin_test", "admin");
    ASSERT_EQ(ui.errorLists.size(), 1);
    EXPECT_TRUE(ui.errorLists.first().contains(QStringLiteral("\"Петля А\";")));
    QTreeWidgetItem* book = topNode(main.tvMainTree, QStringLiteral("Типы средств измерений"));
    EXPECT_EQ(childCaptions(book), QStringList{QStringLiteral("Давление")});
}

TEST_F(MainWindow, ClosingAsksAndCancelKeepsEverything) {
    TfrMain& main = start();
    main.show();
    const int books = main.tvMainTree->topLevelItemCount();
    ui.answers = {TMsgResult::Cancel};
    EXPECT_FALSE(main.close());
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Завершить работу с программой?")});
    EXPECT_NE(TUser::current(), nullptr);
    EXPECT_TRUE(TdmDataBase::instance().adoOrtaDatabase().isOpen());
    EXPECT_EQ(main.tvMainTree->topLevelItemCount(), books);
    ui.answers = {TMsgResult::Ok};
    EXPECT_TRUE(main.close());
    EXPECT_EQ(TUser::current(), nullptr);
    EXPECT_FALSE(TdmDataBase::instance().adoOrtaDatabase().isOpen());
}

TEST_F(MainWindow, GivingUpAtLoginClosesWithoutTheQuestion) {
    window = std::make_unique<TfrMain>(dialog, QStringList{});
    window->show();
    ui.modalHandlers = {[](QObject*) {
        return int(QDialog::Rejected);
    }};
    ui.answers = {TMsgResult::Ok};
    window->FormShow();
    EXPECT_TRUE(window->FTerminating);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.texts(),
              QStringList{QStringLiteral("Завершить работу с программой?")}); // the login's own question only
    EXPECT_EQ(window->tvMainTree->topLevelItemCount(), 0);
}

TEST_F(MainWindow, InstallationProblemsEndTheStartUp) {
    TestFolder empty;
    QDir().mkpath(empty.path() + "/BusinessData/ReferenceBooks");
    const QString fatal =
        QStringLiteral("Произошла ошибка! Продолжение работы невозможно! Приложение будет закрыто!\r\n\r\n");
    for (const auto& [path, message] : std::vector<std::pair<QString, QString>>{
             {QString(),
              QStringLiteral("Не указан путь к приложению в реестре. Ошибка при инсталляции программы.")},
             {empty.path() + "/", QStringLiteral("Нет информации о справочниках.")},
             {QStringLiteral(VANTOREL_INSTALLATION_DIR), QStringLiteral("Нет информации о справочниках.")}}) {
        settings.setUser("path", path);
        ui.messages.clear();
        TfrMain& main = start();
        EXPECT_EQ(ui.texts(), QStringList{fatal + message}) << path.toStdString();
        EXPECT_TRUE(main.FFatal);
        TLogin::Logout();
    }
}

TEST(WaitingForm, PercentOfTheSteps) {
    TfrWaitingForm waiting;
    waiting.SetStepCount(18);
    EXPECT_EQ(waiting.percentText(), "6");
    for (int i = 0; i < 30; ++i)
        waiting.Step();
    EXPECT_EQ(waiting.percentText(), "100");
}

TEST(SingleInstance, OneCopyPerExecutableName) {
    const TSingleInstance first("vantorel-test-copy");
    ASSERT_TRUE(first.acquired());
    EXPECT_FALSE(TSingleInstance("vantorel-test-copy").acquired());
    EXPECT_TRUE(TSingleInstance("vantorel-renamed-copy").acquired());
}

TEST_F(MainWindow, F1OpensTheTopicOfTheShownBook) {
    TfrMain& main = start();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTreeWidgetItem* book = topNode(main.tvMainTree, QStringLiteral("Расценки на поверку"));
    ASSERT_NE(book, nullptr);
    main.tvMainTree->setCurrentItem(book);
    QTest::keyClick(main.tvMainTree, Qt::Key_F1);
    ASSERT_NE(main.helpWindow(), nullptr);
    EXPECT_EQ(main.helpWindow()->shownTopic(), "TfrMain_Tariff");
    main.helpWindow()->hide();
    ui.answers = {TMsgResult::Ok};
}

TEST(ProgressWindow, TheJobAdvancesTheBarAndClosesTheWindow) {
    TfrProgressBar progress;
    progress.setCaption(QStringLiteral("Загрузка документа"));
    progress.setRange(0, 5);
    int steps = 0;
    progress.setJob([&steps](TfrProgressBar& window) {
        for (int i = 0; i < 5; ++i, ++steps)
            window.StepProgress();
    });
    EXPECT_EQ(progress.exec(), QDialog::Accepted);
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(progress.position(), 5);
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Загрузка выборки паспортов"));
}
