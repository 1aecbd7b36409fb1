#include "TDBGrid.h"
#include "TDEVICEFilterFrame.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TLogin.h"
#include "TORDERSFilterFrame.h"
#include "TProviderConnection.h"
#include "TScriptedInteraction.h"
#include "TUser.h"
#include "TestDatabase.h"
#include "TextHelpers.h"
#include "TfPasswordDlg.h"
#include "TfrMain.h"
#include "WorkstationTest.h"

#include <QDirIterator>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

// A copy of the installation folder, so that a test may change a layout.
void copyFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
}

class BookView : public WorkstationTest {
protected:
    void SetUp() override {
        copyFolder(QStringLiteral(VANTOREL_INSTALLATION_DIR), installation());
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO tFormTypes (id, SName) OVERRIDING SYSTEM VALUE VALUES (1, 'Паспорт'), (2, "
             "'Формуляр')");
        exec("INSERT INTO tMiTypes (id, ParentId, fName, lnkFrmType) OVERRIDING SYSTEM VALUE VALUES (10, "
             "NULL, 'Давление', 1), "
             "(11, 10, 'Манометры', 2), (12, 10, 'Вакуумметры', NULL), (13, NULL, 'Закрытая группа', 1), "
             "(14, NULL, 'Температура', 1)");
        exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 1), (2, 11, 1, 0), (2, 12, "
             "1, 1), "
             "(2, 14, 1, 0)");
    }

    QString installation() const override { return m_copy.path() + "/installation"; }

    // Selects the node captioned so and returns the rows shown, by the given column.
    QStringList open(const QString& caption, const QString& column = "fName") {
        const auto found = window->tvMainTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(found.isEmpty()) << caption.toStdString();
        if (found.isEmpty())
            return {};
        window->tvMainTree->setCurrentItem(found.first());
        return rows(column);
    }

    QStringList rows(const QString& column) const {
        QStringList values;
        const TField* field = window->FrxmdData.findField(column);
        for (int r = 1; field && r <= window->FrxmdData.recordCount(); ++r)
            values << window->FrxmdData.valueAt(r, field).toString();
        return values;
    }

    QStringList visibleColumns() const {
        QStringList titles;
        const QHeaderView* header = window->FGrid->horizontalHeader();
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (!header->isSectionHidden(logical))
                titles << window->FrxmdData.field(logical)->displayLabel();
        }
        return titles;
    }

    QTemporaryDir m_copy;
};

} // namespace

TEST_F(BookView, HierarchicalBookShowsTopRecordsChildrenOrTheRecordItself) {
    start();
    EXPECT_EQ(open(QStringLiteral("Типы средств измерений")),
              (QStringList{QStringLiteral("Давление"), QStringLiteral("Температура")})); // 13 is not readable
    ASSERT_NE(window->FViewBox, nullptr);
    EXPECT_EQ(window->FViewBox->title(), QStringLiteral("Типы средств измерений"));
    EXPECT_EQ(window->FGrid->objectName(), "tMiTypesdfGrid");
    EXPECT_EQ(
        visibleColumns(),
        (QStringList{QStringLiteral("Наименование"), QStringLiteral("Краткое наименование"),
                     QStringLiteral("Код СИ"), QStringLiteral("Примечание"),
                     QStringLiteral("Форма паспорта (из справочника)"), QStringLiteral("Форма паспорта")}));
    EXPECT_EQ(rows("FormType"),
              (QStringList{QStringLiteral("Паспорт"), QStringLiteral("Паспорт")})); // the lookup's text
    EXPECT_EQ(window->NodeBook(window->FCurrentNode)->EditorClass, "frMiType");

    EXPECT_EQ(open(QStringLiteral("Давление")),
              (QStringList{QStringLiteral("Вакуумметры"), QStringLiteral("Манометры")}));
    EXPECT_EQ(window->FViewBox->title(), QStringLiteral("Типы средств измерений - Давление"));
    EXPECT_EQ(rows("FormType"), (QStringList{QString(), QStringLiteral("Формуляр")}));
    window->miProp->trigger();
    EXPECT_EQ(rows("fName"), QStringList{QStringLiteral("Давление")});
    EXPECT_FALSE(window->FShowSubordinates);
    window->miSubTrees->trigger();
    EXPECT_EQ(rows("fName").size(), 2);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

TEST_F(BookView, NavigatorFollowsLayoutTableAndRowRights) {
    start();
    open(QStringLiteral("Давление"));
    ASSERT_NE(window->FNavigator, nullptr);
    // ivanov may insert and update instrument types but not delete them
    EXPECT_EQ(window->FVisibleButtons, (B::Buttons{B::nbFirst, B::nbPrior, B::nbNext, B::nbLast, B::nbInsert,
                                                   B::nbEdit, B::nbPost, B::nbCancel, B::nbRefresh}));
    window->FrxmdData.locate("fName", QStringLiteral("Манометры"));
    EXPECT_EQ(window->FNavigator->visibleButtons().count(B::nbEdit), 0u); // no 'w' on this row
    window->FrxmdData.locate("fName", QStringLiteral("Вакуумметры"));
    EXPECT_EQ(window->FNavigator->visibleButtons().count(B::nbEdit), 1u);

    open(QStringLiteral("Сферы государственного метрологического контроля"), "Code");
    EXPECT_EQ(window->FNavigator->visibleButtons(), (B::Buttons{B::nbFirst, B::nbPrior, B::nbNext, B::nbLast,
                                                                B::nbPost, B::nbCancel, B::nbRefresh}));
}

TEST_F(BookView, ExcludedButtonsAndAUserWhoMayOnlyRead) {
    QFile layout(installation() + QStringLiteral("/DynamicReferenceBooks/Xml/Виды поверки.xml"));
    ASSERT_TRUE(layout.open(QIODevice::ReadWrite));
    QByteArray text = layout.readAll();
    text.replace("excludeButtons=\"\"", "excludeButtons=\"nbInsert,nbDelete\"");
    layout.seek(0);
    layout.write(text);
    layout.resize(text.size());
    layout.close();

    start("admin_test", "admin");
    open(QStringLiteral("Виды поверки"));
    EXPECT_EQ(window->FNavigator->visibleButtons(),
              (B::Buttons{B::nbFirst, B::nbPrior, B::nbNext, B::nbLast, B::nbEdit, B::nbPost, B::nbCancel,
                          B::nbRefresh}));
    window.reset();
    TLogin::Logout();

    const QString reader = createLogin("reader");
    exec(QString("GRANT SELECT (\"АРМ Администратора\", \"Работа со справочниками\") ON StaticPermissions TO "
                 "\"%1\"")
             .arg(reader));
    exec(QString("GRANT SELECT, INSERT, UPDATE, DELETE ON VrfType TO \"%1\"").arg(reader));
    start(reader, "reader");
    open(QStringLiteral("Виды поверки"));
    ASSERT_NE(window->FNavigator, nullptr);
    EXPECT_EQ(window->FNavigator->visibleButtons(),
              (B::Buttons{B::nbFirst, B::nbPrior, B::nbNext, B::nbLast}));
}

// Roles and users are made and deleted only by the security windows, which keep the server's roles
// and logins in step: their books show neither "+" nor "-", and the keys do not do it either.
TEST_F(BookView, TheRolesAndUsersBooksNeitherAddNorDelete) {
    start("admin_test", "admin");
    for (const QString& book : {QStringLiteral("Роли"), QStringLiteral("Пользователи")}) {
        EXPECT_FALSE(open(book, "id").isEmpty()) << book.toStdString();
        ASSERT_NE(window->FNavigator, nullptr);
        EXPECT_EQ(window->FNavigator->visibleButtons().count(B::nbInsert), 0u) << book.toStdString();
        EXPECT_EQ(window->FNavigator->visibleButtons().count(B::nbDelete), 0u) << book.toStdString();
        EXPECT_EQ(window->FNavigator->visibleButtons().count(B::nbEdit), 1u) << book.toStdString();
        const int before = window->FrxmdData.recordCount();
        ui.answers = {TMsgResult::Yes, TMsgResult::Yes};
        QTest::keyClick(window->FGrid, Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(window->FGrid, Qt::Key_Insert);
        EXPECT_EQ(window->FrxmdData.state(), TDataSetState::Browse) << book.toStdString();
        EXPECT_EQ(window->FrxmdData.recordCount(), before) << book.toStdString();
    }
    EXPECT_EQ(value("SELECT count(*) FROM tRoles").toInt(), 3);
    EXPECT_EQ(value("SELECT count(*) FROM UserInfo").toInt(), 3);
}

TEST_F(BookView, FilteredListsStartEmptyUntilTheFilterFrameDelivers) {
    exec("INSERT INTO MSUL_DEVICE_TYPE (DT_ID, ENTITY_ID, DEVICE_NAME, LOCAL_FLAG, CENTER_ID) OVERRIDING "
         "SYSTEM VALUE VALUES "
         "(1, 1, 'Манометр', 1, 7), (2, 2, 'Мультиметр', 1, NULL), (3, 3, 'Центральный', 0, NULL)");
    exec("INSERT INTO MSUL_CALIBRATION_ORDERS (ID, ENTITY_ID, ORDER_NUMBER, CLOSE_DATE) OVERRIDING SYSTEM "
         "VALUE VALUES (1, 1, 'К-1', "
         "NULL), "
         "(2, 2, 'К-2', '2026-01-01')");
    exec("INSERT INTO Tariff (id, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'Поверка манометра')");
    exec("INSERT INTO TariffHistory (TariffId, Price, TariffDate) VALUES (1, 850, '2026-01-01')");
    start("admin_test", "admin");
    EXPECT_TRUE(open(QStringLiteral("Расценки на поверку")).isEmpty());
    EXPECT_TRUE(window->FrxmdData.findField("TariffHistory.Price") != nullptr); // the right columns, no rows

    EXPECT_TRUE(open(QStringLiteral("Типы устройств (центральный реестр)"), "DEVICE_NAME").isEmpty());
    auto* frame = qobject_cast<TDEVICEFilterFrame*>(window->FFilterFrame);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->btApplyFilter->isEnabled());
    frame->choose(TDEVICEFilterFrame::Other);
    frame->btApplyFilter->click();
    EXPECT_EQ(window->FFilterText, "( LOCAL_FLAG=1 ) AND  (CENTER_ID IS NULL) ");
    EXPECT_EQ(rows("DEVICE_NAME"), QStringList{QStringLiteral("Мультиметр")});
    frame->choose(TDEVICEFilterFrame::All);
    frame->btApplyFilter->click();
    EXPECT_EQ(rows("DEVICE_NAME").size(), 2);

    window->FNavigator->click(B::nbRefresh); // rebuilds the view and clears the filter
    EXPECT_TRUE(window->FFilterText.isEmpty());
    EXPECT_TRUE(rows("DEVICE_NAME").isEmpty());
    EXPECT_NE(window->FFilterFrame, frame);

    open(QStringLiteral("Заказы на калибровку"), "ORDER_NUMBER");
    auto* orders = qobject_cast<TORDERSFilterFrame*>(window->FFilterFrame);
    ASSERT_NE(orders, nullptr);
    orders->btApplyFilter->click();
    EXPECT_EQ(window->FFilterText, "( DELETE_DATE IS NULL )");
    EXPECT_EQ(rows("ORDER_NUMBER").size(), 2);
    orders->choose(TORDERSFilterFrame::Active);
    orders->btApplyFilter->click();
    EXPECT_EQ(rows("ORDER_NUMBER"), QStringList{QStringLiteral("К-1")});
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
}

TEST_F(BookView, ComputedColumnsOfUnitsAndIntervals) {
    exec("INSERT INTO ParmName (id, sName, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'P', 'Давление'), (2, "
         "'Pабс', 'Давление "
         "абсолютное')");
    exec("INSERT INTO MsrUnit (id, sName, fName) OVERRIDING SYSTEM VALUE VALUES (1, 'кПа', 'килопаскаль'), "
         "(2, 'мм', 'миллиметр')");
    exec("INSERT INTO MsrUnitParmName (MsrUnitId, ParmNameId) VALUES (1, 1), (1, 2)");
    start("admin_test", "admin");
    open(QStringLiteral("Единицы измерения"));
    EXPECT_EQ(rows("IdParmName"), (QStringList{QStringLiteral("P; Pабс"), QStringLiteral("не определен")}));
    const int column = window->FGrid->columnOfField("IdParmName");
    EXPECT_TRUE(window->FGrid->isColumnRed(column));
    EXPECT_FALSE(window->FGrid->isColumnHidden(column));
}

TEST_F(BookView, ColumnLayoutSurvivesReopening) {
    start("admin_test", "admin");
    open(QStringLiteral("Поверочные организации"), "sName");
    QHeaderView* header = window->FGrid->horizontalHeader();
    const int code = window->FGrid->columnOfField("KOD");
    header->moveSection(header->visualIndex(code), 1);
    header->resizeSection(code, 77);
    open(QStringLiteral("Ставки НДС"));
    open(QStringLiteral("Поверочные организации"), "sName");
    header = window->FGrid->horizontalHeader();
    const int codeAgain = window->FGrid->columnOfField("KOD");
    EXPECT_EQ(header->sectionSize(codeAgain), 77);
    EXPECT_EQ(header->visualIndex(codeAgain), 1);
}

TEST_F(BookView, BadLayoutsAreReportedOrLeaveTheRightHalfEmpty) {
    const QString folder = installation() + QStringLiteral("/DynamicReferenceBooks/Xml/");
    QFile::remove(folder + QStringLiteral("Ставки НДС.xml"));
    QFile bad(folder + QStringLiteral("Виды поверки.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write(toWindows1251(QStringLiteral("<layout><ctrl name=\"gb\" kind=\"TGroupBox\" "
                                           "caption=\"x\"/><ctrl name=\"w\" kind=\"TWhatever\" caption=\"\"/>"
                                           "<ctrl name=\"dfPanelTop\" kind=\"TPanel\" caption=\"\" "
                                           "left=\"0\" top=\"0\" width=\"10\" height=\"abc\"/></layout>")));
    bad.close();
    start("admin_test", "admin");
    ui.messages.clear();
    open(QStringLiteral("Ставки НДС"));
    EXPECT_EQ(window->FViewBox, nullptr); // no layout file: the right half stays empty
    EXPECT_TRUE(ui.messages.empty());
    open(QStringLiteral("Виды поверки"));
    EXPECT_EQ(ui.texts(), QStringList{"'abc' is not a valid integer value"});
    open(QStringLiteral("Формы паспортов")); // the program goes on
    ASSERT_NE(window->FGrid, nullptr);
}
