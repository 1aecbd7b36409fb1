// The permission editor on the real server, through the role dialog: the function grid (column
// grants and memberships), the books' table grants, the row-permission page with its tree, mixed
// marks and constraints, and what the server then lets a member do.
#include "SecurityWindowsTest.h"
#include "TControlStringgrid.h"
#include "TDbConnection.h"
#include "TProviderConnection.h"
#include "TRowPermissionPage.h"
#include "TformPermissions.h"
#include "TformRoleProperties.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using State = TControlStringgrid::State;

class PermissionEditor : public SecurityWindowsTest {
protected:
    void SetUp() override {
        SecurityWindowsTest::SetUp();
        if (HasFatalFailure())
            return;
        role = roleName("Лаборанты");
        dbRole = "ORTA-" + role;
        createRole(role, 40);
        exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (10, NULL, "
             "'Давление'), (11, 10, "
             "'Манометры'), "
             "(12, 11, 'Манометры точные'), (13, NULL, 'Масса')");
    }
    // Granted to the role itself (not through a role it belongs to).
    bool columnGranted(const QString& column, const QString& privilege) {
        return value(QString(
                         "SELECT count(*) FROM information_schema.column_privileges WHERE grantee = '%1' AND "
                         "table_name = 'staticpermissions' AND column_name = '%2' AND privilege_type = '%3'")
                         .arg(dbRole, column, privilege))
                   .toInt() == 1;
    }
    // The statements the role dialog's "Применить" would send, as its "SQL..." window lists them.
    QString plannedStatements(TformRoleProperties& dialog) {
        QString text;
        ui.modalHandlers.push_front([&text](QObject* shown) {
            auto* view = qobject_cast<QDialog*>(shown);
            EXPECT_NE(view, nullptr);
            if (view)
                text = view->findChild<QPlainTextEdit*>("memScript")->toPlainText();
            return int(QDialog::Rejected);
        });
        dialog.butScript->click();
        return text;
    }
    static QTreeWidgetItem* treeNode(TformPermissions& editor, const QString& caption, int nth = 0) {
        const auto found =
            editor.RowPage->DinamoTree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() > nth ? found.at(nth) : nullptr;
    }
    // Selects the node on the row-permission page as the user does.
    static void selectNode(TformPermissions& editor, QTreeWidgetItem* node) {
        ASSERT_NE(node, nullptr);
        editor.PageControl->setCurrentWidget(editor.RowPage);
        editor.RowPage->DinamoTree->setCurrentItem(node);
    }
    int rowPermission(int row, const char* action) {
        return value(QString("SELECT %1 FROM tRoletMiTypes WHERE InkRole = 40 AND InkId = %2")
                         .arg(action)
                         .arg(row))
            .toInt();
    }

    QString role;
    QString dbRole;
};

} // namespace

// Boxes follow the function's letters, a membership row has only "выполнение", an empty value no
// box; existing grants and memberships are ticked; the changes become grants and memberships.
TEST_F(PermissionEditor, FunctionsGridShowsAndSavesGrants) {
    exec("ALTER TABLE StaticPermissions ADD COLUMN \"Пустая\" varchar(50)");
    exec(
        QString(
            "GRANT SELECT (\"Поверки\"), UPDATE (\"Работа со справочниками\") ON StaticPermissions TO \"%1\"")
            .arg(dbRole));
    startSecurity();
    QString planned;
    editRole(role, [&](TformRoleProperties& dialog) {
        ui.modalHandlers.push_front(inEditor<TformPermissions>([&](TformPermissions& editor) {
            EXPECT_EQ(editor.windowTitle(), "  Разрешения роли - \"" + role + "\"");
            TControlStringgrid& grid = *editor.sgStatic;
            const int r = colOf(grid, "r"), w = colOf(grid, "w"), e = colOf(grid, "e");
            const int books = rowOf(grid, "Работа со справочниками");
            const int checks = rowOf(grid, "Поверки");
            const int run = rowOf(grid, "АРМ Администратора");
            const int admin = rowOf(grid, "Администрирование прав");
            const int empty = rowOf(grid, "Пустая");
            ASSERT_TRUE(books > 1 && checks > 1 && run > 1 && admin > 1 && empty > 1);
            EXPECT_EQ(grid.state(r, books), State::Unticked);
            EXPECT_EQ(grid.state(w, books), State::Ticked);
            EXPECT_EQ(grid.state(e, books), State::NoBox);
            EXPECT_EQ(grid.state(r, checks), State::NoBox);
            EXPECT_EQ(grid.state(e, checks), State::Ticked);
            EXPECT_EQ(grid.state(e, run), State::Unticked);
            EXPECT_EQ(grid.state(r, admin), State::NoBox);
            EXPECT_EQ(grid.state(e, admin), State::Unticked);
            for (int col : {r, w, e})
                EXPECT_EQ(grid.state(col, empty), State::NoBox);
            click(grid, e, run);
            click(grid, r, books);
            grid.setCurrentCell(checks, e);
            QTest::keyClick(&grid, Qt::Key_Space);
            click(grid, e, admin);
            editor.BtnOk->click();
        }));
        dialog.butRolePermissions->click();
        EXPECT_TRUE(dialog.FPermissionsConfirmed);
        planned = plannedStatements(dialog);
        dialog.btnOk->click();
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_TRUE(columnGranted("АРМ Администратора", "SELECT"));
    EXPECT_TRUE(columnGranted("Работа со справочниками", "SELECT"));
    EXPECT_TRUE(columnGranted("Работа со справочниками", "UPDATE"));
    EXPECT_FALSE(columnGranted("Поверки", "SELECT"));
    EXPECT_TRUE(
        value(QString("SELECT pg_has_role('%1', 'ORTASecurityAdmin', 'MEMBER')").arg(dbRole)).toBool());
    EXPECT_FALSE(planned.contains("Пустая")) << planned.toStdString();
    EXPECT_TRUE(planned.contains(
        "select dbo.adm_permission('REVOKE', 'Select', 'StaticPermissions', 'Поверки', '" + dbRole + "')"))
        << planned.toStdString();
}

// "(All)" for Select ticks every read and run box; a membership that stays ticked is sent again.
TEST_F(PermissionEditor, AllColumnsGrantTicksEveryReadAndRunBox) {
    exec(QString(
             "GRANT SELECT (\"АРМ Администратора\", \"Работа со справочниками\", \"Работа с разрешениями\", "
             "\"Поверки\", \"Администрирование прав\") ON StaticPermissions TO \"%1\"")
             .arg(dbRole));
    exec(QString("GRANT \"ORTASecurityAdmin\" TO \"%1\"").arg(dbRole));
    startSecurity();
    QString planned;
    editRole(role, [&](TformRoleProperties& dialog) {
        ui.modalHandlers.push_front(inEditor<TformPermissions>([&](TformPermissions& editor) {
            TControlStringgrid& grid = *editor.sgStatic;
            for (int row = 2; row < grid.rowCount(); ++row) {
                for (const char* code : {"r", "w", "e"}) {
                    const int col = colOf(grid, code);
                    if (grid.HasCheckBox(col, row)) {
                        EXPECT_EQ(grid.IsChecked(col, row), QString(code) != "w")
                            << grid.cell(1, row).toStdString() << " " << code;
                    }
                }
            }
            editor.BtnOk->click();
        }));
        dialog.butRolePermissions->click();
        planned = plannedStatements(dialog);
        dialog.btnCansel->click();
    });
    EXPECT_TRUE(planned.contains(
        "select * from sp_addrolemember(rolename => 'ORTASecurityAdmin', membername => '" + dbRole + "')"))
        << planned.toStdString();
}

// What the editor grants the server enforces: a member may read books and add instrument types,
// and after the revoke may do neither.
TEST_F(PermissionEditor, TheServerEnforcesWhatIsGranted) {
    const QString login = createLogin("pw");
    exec(QString("GRANT \"%1\" TO \"%2\"").arg(dbRole, login));
    startSecurity();
    auto grant = [&](bool on) {
        editPermissions(role, [&](TformPermissions& editor) {
            TControlStringgrid& functions = *editor.sgStatic;
            const int books = rowOf(functions, "Работа со справочниками");
            if (functions.IsChecked(colOf(functions, "r"), books) != on)
                click(functions, colOf(functions, "r"), books);
            TControlStringgrid& tables = *editor.sgBooks;
            editor.PageControl->setCurrentWidget(&tables);
            const int types = rowOf(tables, "Типы средств измерений");
            ASSERT_GT(types, 1);
            EXPECT_EQ(tables.cell(0, types).toLower(), "tmitypes");
            if (tables.IsChecked(colOf(tables, "INSERT"), types) != on)
                click(tables, colOf(tables, "INSERT"), types);
        });
        EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    };
    auto member = [&]() {
        auto connection = std::make_unique<TProviderConnection>();
        connection->setConnectionString(programConnectionString(true));
        connection->setLogin(login, "pw");
        connection->open();
        return connection;
    };
    grant(true);
    {
        auto connection = member();
        EXPECT_EQ(
            connection
                ->openQuery("select permissions(object_id('StaticPermissions'),'Работа со справочниками')")
                ->value(0)
                .toInt(),
            1);
        EXPECT_NO_THROW(connection->execute(
            "INSERT INTO tMiTypes (id, fName) OVERRIDING SYSTEM VALUE VALUES (90, 'Новый')"));
    }
    grant(false);
    auto connection = member();
    EXPECT_EQ(
        connection->openQuery("select permissions(object_id('StaticPermissions'),'Работа со справочниками')")
            ->value(0)
            .toInt(),
        0);
    EXPECT_ANY_THROW(
        connection->execute("INSERT INTO tMiTypes (id, fName) OVERRIDING SYSTEM VALUE VALUES (91, 'Ещё')"));
}

// Cancel in the editor leaves nothing confirmed: the role dialog saves no permissions.
TEST_F(PermissionEditor, CancelKeepsTheRolesPermissions) {
    startSecurity();
    editPermissions(
        role,
        [&](TformPermissions& editor) {
            TControlStringgrid& grid = *editor.sgStatic;
            click(grid, colOf(grid, "e"), rowOf(grid, "Поверки"));
        },
        false);
    EXPECT_FALSE(columnGranted("Поверки", "SELECT"));
}

// The tree of a hierarchical book; ticking its table node gives the action to every record, and
// the constraints of the table tick and untick the related action once.
TEST_F(PermissionEditor, TableNodeAndConstraints) {
    exec("INSERT INTO PermissionActions (id, name, notes) OVERRIDING SYSTEM VALUE VALUES (3, 'execute', "
         "'Запуск')");
    exec("INSERT INTO ActionConstraints (DynPermsId, ActId, Oper1, ResActId, Oper2) VALUES (1, 1, '+', 3, "
         "'+')");
    startSecurity();
    editPermissions(role, [&](TformPermissions& editor) {
        QTreeWidgetItem* top = treeNode(editor, "Типы СИ");
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->childCount(), 2);
        ASSERT_NE(treeNode(editor, "Манометры точные"), nullptr);
        selectNode(editor, top);
        TControlStringgrid& grid = *editor.RowPage->Grid;
        const int r = colOf(grid, "read"), w = colOf(grid, "write");
        ASSERT_TRUE(r > 1 && w > 1);
        EXPECT_EQ(grid.state(r, 2), State::Unticked) << "no record has it: not grayed";
        click(grid, w, 2);
        EXPECT_EQ(grid.state(w, 2), State::Ticked);
        EXPECT_EQ(grid.state(r, 2), State::Ticked) << "write needs read";
        click(grid, r, 2);
        EXPECT_EQ(grid.state(w, 2), State::Unticked) << "no write without read";
        click(grid, r, 2);
        EXPECT_EQ(grid.state(w, 2), State::Unticked) << "a constraint's change does not trigger others";
        selectNode(editor, treeNode(editor, "Масса"));
        EXPECT_EQ(grid.state(r, 2), State::Ticked);
        selectNode(editor, top);
        EXPECT_EQ(grid.state(r, 2), State::Ticked) << "every record alike: not grayed";
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    for (int id : {10, 11, 12, 13}) {
        EXPECT_EQ(rowPermission(id, "r"), 1) << id;
        EXPECT_EQ(rowPermission(id, "w"), 0) << id;
    }
}

// A record node's change reaches its children; the parent shows the difference grayed.
TEST_F(PermissionEditor, MixedMarksOfARecordBranch) {
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (40, 10, 1, 0), (40, 11, 1, 1), (40, 12, "
         "1, 0)");
    startSecurity();
    editPermissions(role, [&](TformPermissions& editor) {
        TControlStringgrid& grid = *editor.RowPage->Grid;
        selectNode(editor, treeNode(editor, "Давление"));
        const int r = colOf(grid, "read"), w = colOf(grid, "write");
        EXPECT_EQ(grid.state(r, 2), State::Ticked);
        EXPECT_EQ(grid.state(w, 2), State::UntickedGrayed) << "a child may write";
        selectNode(editor, treeNode(editor, "Манометры"));
        click(grid, w, 2);
        EXPECT_EQ(grid.state(w, 2), State::Unticked);
    });
    EXPECT_EQ(rowPermission(11, "w"), 0);
    EXPECT_EQ(rowPermission(12, "w"), 0);
    EXPECT_EQ(rowPermission(10, "r"), 1);
}

// Two registered tables over one book show its records twice, each with its own permissions; a
// flat book lists its records in the grid, and ticking a record adds it to the role.
TEST_F(PermissionEditor, SharedAndFlatBooks) {
    exec("CREATE TABLE tRolAtMiTypes (InkRole integer, InkId integer, r smallint DEFAULT 0, w smallint "
         "DEFAULT 0)");
    exec("CREATE TABLE tFlat (id integer PRIMARY KEY, fName varchar(50))");
    exec("CREATE TABLE tRoletFlat (InkRole integer, InkId integer, r smallint DEFAULT 0, w smallint DEFAULT "
         "0)");
    exec("INSERT INTO tFlat VALUES (1, 'Бета'), (2, 'Альфа')");
    exec("GRANT SELECT, INSERT, UPDATE, DELETE ON tFlat, tRoletFlat, tRolAtMiTypes TO "
         "\"ORTA-Администраторы\"");
    exec("INSERT INTO tDynamicPermissions (id, tablename, name) OVERRIDING SYSTEM VALUE VALUES (5, "
         "'tRolAtMiTypes', 'Типы СИ "
         "(аудит)'), "
         "(6, 'tRoletFlat', 'Плоский')");
    exec("INSERT INTO DynPermActions (DynPermId, ActionId) VALUES (5, 1), (6, 1), (6, 2)");
    exec("INSERT INTO tRolAtMiTypes (InkRole, InkId, r) VALUES (40, 11, 1)");
    startSecurity();
    editPermissions(role, [&](TformPermissions& editor) {
        TControlStringgrid& grid = *editor.RowPage->Grid;
        ASSERT_NE(treeNode(editor, "Типы СИ (аудит)"), nullptr) << ui.texts().join('\n').toStdString();
        ASSERT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
        selectNode(editor, treeNode(editor, "Манометры", 0));
        const QTreeWidgetItem* first = editor.RowPage->DinamoTree->currentItem();
        selectNode(editor, treeNode(editor, "Манометры", 1));
        const QTreeWidgetItem* second = editor.RowPage->DinamoTree->currentItem();
        EXPECT_NE(first, second);
        EXPECT_NE(TRowPermissionPage::actionsOf(first), TRowPermissionPage::actionsOf(second));
        selectNode(editor, treeNode(editor, "Плоский"));
        ASSERT_EQ(grid.rowCount(), 4);
        EXPECT_EQ(grid.cell(1, 2), "Альфа");
        EXPECT_EQ(grid.cell(1, 3), "Бета");
        const int w = colOf(grid, "write");
        EXPECT_EQ(grid.state(w, 3), State::Unticked);
        click(grid, w, 3);
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(value("SELECT w FROM tRoletFlat WHERE InkRole = 40 AND InkId = 1").toInt(), 1);
}

// Records that never reach a root: the editor does not open.
TEST_F(PermissionEditor, ABrokenTreeStopsTheEditor) {
    exec("INSERT INTO tMiTypes (id, ParentId, fName) OVERRIDING SYSTEM VALUE VALUES (20, 21, 'Петля А'), "
         "(21, 20, 'Петля Б')");
    startSecurity();
    editRole(role, [&](TformRoleProperties& dialog) {
        dialog.butRolePermissions->click();
        EXPECT_FALSE(dialog.FPermissionsConfirmed);
        dialog.btnCansel->click();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Ошибка заполнения дерева");
}

// A record the administrator may not read is not shown; its children move up and stay editable.
TEST_F(PermissionEditor, UnreadableRecordsAreSkipped) {
    const QString login = createLogin("pw");
    exec(QString("GRANT \"ORTASecurityAdmin\", \"ORTA-Метрологи\" TO \"%1\"").arg(login));
    exec(QString("INSERT INTO UserInfo (id, UserName, userSurnameNP) OVERRIDING SYSTEM VALUE VALUES (50, "
                 "'%1', 'Безопасный')")
             .arg(login));
    exec("INSERT INTO tUserRoles (InkUser, InkRole) VALUES (50, 2)");
    exec("INSERT INTO tRoletMiTypes (InkRole, InkId, r, w) VALUES (2, 10, 1, 0), (2, 12, 1, 0), (2, 13, 1, "
         "0)");
    startSecurity(login, "pw");
    editPermissions(role, [&](TformPermissions& editor) {
        EXPECT_EQ(treeNode(editor, "Манометры"), nullptr);
        QTreeWidgetItem* moved = treeNode(editor, "Манометры точные");
        ASSERT_NE(moved, nullptr);
        EXPECT_EQ(moved->parent()->text(0), "Давление");
        selectNode(editor, moved);
        TControlStringgrid& grid = *editor.RowPage->Grid;
        click(grid, colOf(grid, "read"), 2);
    });
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join('\n').toStdString();
    EXPECT_EQ(rowPermission(12, "r"), 1);
}
