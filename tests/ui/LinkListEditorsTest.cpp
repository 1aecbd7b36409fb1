// The link-list editors opened from their books by the navigator, on the real server: the ticks
// they open with, what a save writes, and a connection lost at each statement of a save.
#include "TDbConnection.h"
#include "TEditorSet.h"
#include "TfrBlockType.h"
#include "TfrModuleType.h"
#include "TfrMsrUnit.h"
#include "WorkstationTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using B = TDBNavigator;

class LinkListEditors : public WorkstationTest {
protected:
    void SetUp() override {
        WorkstationTest::SetUp();
        if (HasFatalFailure())
            return;
        exec("INSERT INTO ParmName (id, sName, fName) OVERRIDING SYSTEM VALUE VALUES (7, 'Давление', "
             "'Давление'), (9, 'Разрежение', "
             "'Разрежение'), (11, 'Расход', 'Расход')");
        exec("INSERT INTO MsrUnit (id, sName, fName) OVERRIDING SYSTEM VALUE VALUES (5, 'кПа', "
             "'килопаскаль')");
        exec("INSERT INTO MsrUnitParmName (MsrUnitId, ParmNameId) VALUES (5, 7), (5, 9)");
        exec("INSERT INTO TypesSU (id, ParentId, fName, sName) OVERRIDING SYSTEM VALUE VALUES (1, NULL, "
             "'Учёт энергоресурсов', 'УЭ'), "
             "(2, 1, 'Теплоснабжение', 'Тепло'), (3, 1, 'Водоснабжение', 'Вода')");
        exec("INSERT INTO ChannelType2 (id, sName) OVERRIDING SYSTEM VALUE VALUES (1, 'Аналоговый'), (2, "
             "'Дискретный')");
        exec("SELECT setval(pg_get_serial_sequence('blocktype', 'id'), 100)");
        start("admin_test", "admin");
        TEditorSet::registerAll(*window->frATypes);
    }
    void TearDown() override {
        TEditorSet::unregisterAll();
        WorkstationTest::TearDown();
    }

    static QTreeWidgetItem* choice(TLinkListEditor& editor, const QString& caption) {
        const auto found = editor.choices()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_FALSE(found.isEmpty()) << caption.toStdString();
        return found.isEmpty() ? nullptr : found.first();
    }
    static QStringList ticked(TLinkListEditor& editor) {
        QStringList result;
        for (QTreeWidgetItemIterator it(editor.choices()); *it; ++it)
            if ((*it)->checkState(0) == Qt::Checked)
                result << (*it)->text(0);
        return result;
    }
    QString links(const QString& sql) {
        QStringList ids;
        const auto connection = openProgramConnection();
        for (auto query = connection->openQuery(sql); !query->eof(); query->next())
            ids << query->value(0).toString();
        return ids.join(',');
    }
};

} // namespace

// A unit linked to 7 and 9 opens with both ticked; unticking 9 leaves the link to 7 only.
TEST_F(LinkListEditors, UntickingALinkRewritesTheUnitsLinks) {
    select(QStringLiteral("Единицы измерения"));
    ASSERT_TRUE(window->FrxmdData.locate("id", 5));
    ui.modalHandlers = {inEditor<TfrMsrUnit>([](TfrMsrUnit& e) {
        EXPECT_EQ(e.DBEdit1->text(), "кПа");
        EXPECT_EQ(ticked(e), (QStringList{"Давление", "Разрежение"}));
        choice(e, "Разрежение")->setCheckState(0, Qt::Unchecked);
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(links("SELECT ParmNameId FROM MsrUnitParmName WHERE MsrUnitId=5 ORDER BY 1"), "7");
}

// Nothing ticked: the form stays open with the message.
TEST_F(LinkListEditors, AnEmptyChoiceKeepsTheFormOpen) {
    select(QStringLiteral("Единицы измерения"));
    ASSERT_TRUE(window->FrxmdData.locate("id", 5));
    ui.modalHandlers = {inEditor<TfrMsrUnit>([this](TfrMsrUnit& e) {
        choice(e, "Давление")->setCheckState(0, Qt::Unchecked);
        choice(e, "Разрежение")->setCheckState(0, Qt::Unchecked);
        e.BitBtn1->click();
        EXPECT_EQ(ui.texts(), QStringList{"Должен быть выбран хотя бы один измеряемый параметр"});
        EXPECT_NE(e.result(), int(QDialog::Accepted));
        e.CanselBtn->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(links("SELECT ParmNameId FROM MsrUnitParmName WHERE MsrUnitId=5 ORDER BY 1"), "7,9");
}

// A new block type's links carry the id the main window's INSERT gave it.
TEST_F(LinkListEditors, ANewBlockTypesLinksCarryItsNewId) {
    select(QStringLiteral("Типы блоков"));
    ui.modalHandlers = {inEditor<TfrBlockType>([](TfrBlockType& e) {
        EXPECT_EQ(e.choices()->topLevelItemCount(), 1) << "the book item itself is not shown";
        e.DBEdit1->setText("Блок питания");
        choice(e, "Водоснабжение")->setCheckState(0, Qt::Checked);
        e.BitBtn1->click();
    })};
    press(B::nbInsert);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    const int id = value("SELECT id FROM BlockType WHERE sName='Блок питания'").toInt();
    EXPECT_GT(id, 100);
    EXPECT_EQ(links(QString("SELECT IdTypesSU FROM BlockSULink WHERE IdBlock=%1").arg(id)), "3");
}

// The module type's own fields: the channel type from the lookup, the spark protection as "+"/"-".
TEST_F(LinkListEditors, AModuleTypesOwnFields) {
    select(QStringLiteral("Типы модулей"));
    ui.modalHandlers = {inEditor<TfrModuleType>([](TfrModuleType& e) {
        e.DBEdit1->setText("Модуль ввода");
        e.DBEdit2->setText("8");
        e.DBLookupComboBox1->setCurrentIndex(e.DBLookupComboBox1->findText("Дискретный"));
        e.DBCheckBox1->setChecked(true);
        choice(e, "Теплоснабжение")->setCheckState(0, Qt::Checked);
        e.BitBtn1->click();
    })};
    press(B::nbInsert);
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT ChannelType2 FROM ModuleType WHERE sName='Модуль ввода'").toInt(), 2);
    EXPECT_EQ(value("SELECT ChannelCount FROM ModuleType WHERE sName='Модуль ввода'").toInt(), 8);
    EXPECT_EQ(value("SELECT ISFlag FROM ModuleType WHERE sName='Модуль ввода'").toString(), "+");

    ASSERT_TRUE(window->FrxmdData.locate("sName", QStringLiteral("Модуль ввода")));
    ui.modalHandlers = {inEditor<TfrModuleType>([](TfrModuleType& e) {
        EXPECT_TRUE(e.DBCheckBox1->isChecked());
        EXPECT_EQ(ticked(e), QStringList{"Теплоснабжение"});
        e.DBCheckBox1->setChecked(false);
        e.BitBtn1->click();
    })};
    press(B::nbEdit);
    EXPECT_EQ(value("SELECT ISFlag FROM ModuleType WHERE sName='Модуль ввода'").toString(), "-");
}

// The connection dies at each statement of a save in turn (the record's UPDATE, the links'
// DELETE, an INSERT), or the server refuses an INSERT after the DELETE went through: nothing is
// half-written and the editor comes back with what was chosen.
TEST_F(LinkListEditors, AConnectionLostAtAnyStatementOfASaveWritesNothing) {
    exec("CREATE FUNCTION die() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
         "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$");
    exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
         "RAISE EXCEPTION 'refused'; END $$");
    const QList<QPair<QString, QString>> statements{{"BEFORE UPDATE ON MsrUnit", "die"},
                                                    {"BEFORE DELETE ON MsrUnitParmName", "die"},
                                                    {"BEFORE INSERT ON MsrUnitParmName", "die"},
                                                    {"BEFORE INSERT ON MsrUnitParmName", "refuse"}};
    select(QStringLiteral("Единицы измерения"));
    for (const auto& [statement, action] : statements) {
        exec("CREATE TRIGGER die " + statement + " FOR EACH ROW EXECUTE FUNCTION " + action + "()");
        ASSERT_TRUE(window->FrxmdData.locate("id", 5));
        QStringList shownAgain;
        ui.messages.clear();
        ui.modalHandlers = {inEditor<TfrMsrUnit>([](TfrMsrUnit& e) {
                                e.DBEdit1->setText("кПа*");
                                choice(e, "Разрежение")->setCheckState(0, Qt::Unchecked);
                                choice(e, "Расход")->setCheckState(0, Qt::Checked);
                                e.BitBtn1->click();
                            }),
                            inEditor<TfrMsrUnit>([&shownAgain](TfrMsrUnit& e) {
                                shownAgain = ticked(e);
                                EXPECT_EQ(e.DBEdit1->text(), "кПа*");
                                e.CanselBtn->click();
                            })};
        press(B::nbEdit);
        EXPECT_FALSE(ui.messages.empty()) << statement.toStdString();
        EXPECT_EQ(shownAgain, (QStringList{"Давление", "Расход"})) << statement.toStdString();
        EXPECT_EQ(value("SELECT sName FROM MsrUnit WHERE id=5").toString(), "кПа") << statement.toStdString();
        EXPECT_EQ(links("SELECT ParmNameId FROM MsrUnitParmName WHERE MsrUnitId=5 ORDER BY 1"), "7,9")
            << statement.toStdString();
        exec("DROP TRIGGER die ON " + statement.section(' ', 3));
    }
}
