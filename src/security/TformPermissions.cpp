#include "TformPermissions.h"

#include "EDBException.h"
#include "TControlStringgrid.h"
#include "TDbAttrCollection.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TRowPermissionPage.h"
#include "TSecurityQueries.h"
#include "TStatementSink.h"
#include "TUserInteraction.h"
#include "TfrMain.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString NoRights = QStringLiteral("У вас недостаточно прав для выполнения данного действия");

// The statement action of a static action column.
QString statementAction(const QString& code) {
    return code == QStringLiteral("w") ? QStringLiteral("Update") : QStringLiteral("Select");
}

} // namespace

TformPermissions::TformPermissions(TfrMain& mainWindow, QWidget* parent)
    : QDialog(parent), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("formPermissions"));
    setMinimumSize(600, 450);
    resize(820, 560);
    auto* layout = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    sgStatic = new TControlStringgrid(PageControl);
    sgStatic->setObjectName(QStringLiteral("sgStatic"));
    RowPage = new TRowPermissionPage(PageControl);
    RowPage->setObjectName(QStringLiteral("RowPage"));
    sgBooks = new TControlStringgrid(PageControl);
    sgBooks->setObjectName(QStringLiteral("sgBooks"));
    PageControl->addTab(sgStatic, QStringLiteral(" Разрешения объектов "));
    PageControl->addTab(RowPage, QStringLiteral(" Разрешения справочников "));
    PageControl->addTab(sgBooks, QStringLiteral(" Редактирование справочников "));
    layout->addWidget(PageControl, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnOk = new QPushButton(QStringLiteral("Применить"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnCancel = new QPushButton(QStringLiteral("Отменить"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnOk, &QPushButton::clicked, this, &TformPermissions::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TformPermissions::reject);
}

TformPermissions::~TformPermissions() = default;

void TformPermissions::prepareGrid(TControlStringgrid& grid, int nameWidth, const QString& corner) {
    grid.clearContents();
    grid.setFixedRows(1);
    grid.setRowCount(2);
    grid.setColCount(2);
    grid.setColumnWidth(1, nameWidth);
    grid.setCell(1, 1, corner);
    grid.AutoSize = true;
}

void TformPermissions::addActionColumn(TControlStringgrid& grid, const QString& code,
                                       const QString& caption) {
    const int col = grid.colCount();
    grid.setColCount(col + 1);
    grid.setCell(col, 0, code);
    grid.setCell(col, 1, caption);
}

bool TformPermissions::isMembershipRow(const QString& key) {
    return key.contains(QLatin1Char('[')) || key.contains(QLatin1Char(']'));
}

QString TformPermissions::withoutBrackets(QString key) {
    return key.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
}

int TformPermissions::EditRolePermissions(const QString& shortName, TPermissionCollection* collection) {
    m_roleName = TSecurityQueries::databaseName(shortName);
    setWindowTitle(QStringLiteral("  Разрешения роли - \"") + shortName + QLatin1Char('"'));
    PageControl->setCurrentIndex(0);
    RowPage->Clear();
    m_collection = collection;
    try {
        TBusyCursor busy;
        if (!fillStatic())
            return 0;
        fillBooks();
        RowPage->Fill(collection);
    } catch (const std::exception& e) {
        TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                TMsgButtons::Ok);
        return 0;
    }
    if (collection)
        m_undo.assign(*collection);
    sgStatic->layoutColumns();
    sgBooks->layoutColumns();
    const int result = TUserInteraction::instance().showModal(this);
    m_undo.clear();
    return result;
}

bool TformPermissions::fillStatic() {
    prepareGrid(*sgStatic, 200, QStringLiteral(" объект \\ действие"));
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    std::unique_ptr<TDbQuery> functions;
    try {
        functions = db->openQuery(QStringLiteral("select * from StaticPermissions"));
    } catch (const EDBException& e) {
        if (TSecurityQueries::errorHas(e, {QStringLiteral("permission denied on column")}) ||
            db->classifyError(e) == TDbErrorKind::PermissionDenied) {
            TUserInteraction::instance().messageBox(NoRights, TMessageKind::Error, TMsgButtons::Ok);
            return false;
        }
        throw;
    }
    for (int i = 0; i < functions->fieldCount(); ++i) {
        const int row = sgStatic->rowCount();
        sgStatic->setRowCount(row + 1);
        sgStatic->setCell(0, row, functions->eof() ? QString() : functions->value(i).toString());
        sgStatic->setCell(1, row, functions->field(i).name);
    }
    if (sgStatic->rowCount() > 2)
        sgStatic->setFixedRows(2);
    addActionColumn(*sgStatic, QStringLiteral("r"), QStringLiteral("чтение"));
    addActionColumn(*sgStatic, QStringLiteral("w"), QStringLiteral("изменение"));
    addActionColumn(*sgStatic, QStringLiteral("e"), QStringLiteral("выполнение"));
    const int last = sgStatic->colCount() - 1;
    for (int row = 2; row < sgStatic->rowCount(); ++row) {
        const QString key = sgStatic->cell(0, row);
        if (isMembershipRow(key)) {
            bool member = false;
            for (const auto& m : TSecurityQueries::roleMembers(withoutBrackets(key)))
                member = member || m.name.compare(m_roleName, Qt::CaseInsensitive) == 0;
            sgStatic->SetCheckBox(last, row, true);
            sgStatic->SetChecked(last, row, member);
            continue;
        }
        for (int col = 2; col <= last; ++col)
            sgStatic->SetCheckBox(col, row, key.contains(sgStatic->cell(col, 0)));
    }
    tickStaticGrants();
    return true;
}

void TformPermissions::tickStaticGrants() {
    const std::unique_ptr<TDbQuery> grants =
        TSecurityQueries::grants(QStringLiteral("StaticPermissions"), m_roleName);
    struct Grant {
        QString protectType, action, column;
    };
    QList<Grant> rows;
    for (; grants && !grants->eof(); grants->next())
        rows.append({grants->value(QStringLiteral("ProtectType")).toString(),
                     grants->value(QStringLiteral("Action")).toString(),
                     grants->value(QStringLiteral("Column")).toString()});
    for (int col = 2; col < sgStatic->colCount(); ++col) {
        const QString action = statementAction(sgStatic->cell(col, 0));
        const auto granted = [&](const QString& column) {
            return std::any_of(rows.cbegin(), rows.cend(), [&](const Grant& g) {
                return g.protectType.trimmed().compare(QStringLiteral("Grant"), Qt::CaseInsensitive) == 0 &&
                       g.action.compare(action, Qt::CaseInsensitive) == 0 &&
                       g.column.compare(column, Qt::CaseInsensitive) == 0;
            });
        };
        const bool whole = granted(QStringLiteral("(All)")) || granted(QStringLiteral("(All+New)"));
        for (int row = 2; row < sgStatic->rowCount(); ++row) {
            if (isMembershipRow(sgStatic->cell(0, row)) || !sgStatic->HasCheckBox(col, row))
                continue;
            if (rows.isEmpty() || whole) {
                sgStatic->SetChecked(col, row, whole);
                continue;
            }
            const QString name = sgStatic->cell(1, row);
            const auto first = std::find_if(rows.cbegin(), rows.cend(), [&](const Grant& g) {
                return g.action.compare(action, Qt::CaseInsensitive) == 0 && g.column == name;
            });
            sgStatic->SetChecked(
                col, row, first != rows.cend() && first->protectType.trimmed() == QStringLiteral("Grant"));
        }
    }
}

void TformPermissions::fillBooks() {
    prepareGrid(*sgBooks, 250, QStringLiteral(" справочник \\ действие"));
    addActionColumn(*sgBooks, QStringLiteral("UPDATE"), QStringLiteral("изменение"));
    addActionColumn(*sgBooks, QStringLiteral("INSERT"), QStringLiteral("добавление"));
    addActionColumn(*sgBooks, QStringLiteral("DELETE"), QStringLiteral("удаление"));
    // Books at the top and in groups; records below a book are not catalogue nodes.
    std::function<void(QTreeWidgetItem*)> visit = [&](QTreeWidgetItem* node) {
        const TDbAttrCollection* book = m_mainWindow.NodeBook(node);
        const QString table = book ? book->mainTableName() : QString();
        if (!table.isEmpty()) {
            const int row = sgBooks->rowCount();
            sgBooks->setRowCount(row + 1);
            sgBooks->setCell(0, row, table);
            sgBooks->setCell(1, row, node->text(0));
            for (int col = 2; col < sgBooks->colCount(); ++col)
                sgBooks->SetCheckBox(col, row, true);
            return;
        }
        for (int i = 0; i < node->childCount(); ++i)
            visit(node->child(i));
    };
    QTreeWidget* tree = m_mainWindow.tvMainTree;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        visit(tree->topLevelItem(i));
    if (sgBooks->rowCount() > 2)
        sgBooks->setFixedRows(2);
    for (int row = 2; row < sgBooks->rowCount(); ++row) {
        const std::unique_ptr<TDbQuery> grants = TSecurityQueries::grants(sgBooks->cell(0, row), m_roleName);
        for (int col = 2; col < sgBooks->colCount(); ++col) {
            bool granted = false;
            for (grants ? grants->first() : void(); grants && !grants->eof(); grants->next()) {
                granted = granted || (grants->value(QStringLiteral("ProtectType")).toString().trimmed() ==
                                          QStringLiteral("Grant") &&
                                      grants->value(QStringLiteral("Action"))
                                              .toString()
                                              .compare(sgBooks->cell(col, 0), Qt::CaseInsensitive) == 0);
            }
            sgBooks->SetChecked(col, row, granted);
        }
    }
}

bool TformPermissions::SaveStaticPermissions(TStatementSink& sink) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    try {
        for (int row = 2; row < sgStatic->rowCount(); ++row) {
            const QString key = sgStatic->cell(0, row);
            if (key.contains(QLatin1Char('[')) && key.contains(QLatin1Char(']'))) {
                const bool member = sgStatic->IsChecked(sgStatic->colCount() - 1, row);
                sink.call(member ? QStringLiteral("sp_addrolemember") : QStringLiteral("sp_droprolemember"),
                          {{"rolename", withoutBrackets(key)}, {"membername", m_roleName}});
                continue;
            }
            for (int col = 2; col < sgStatic->colCount(); ++col) {
                if (!sgStatic->HasCheckBox(col, row))
                    continue;
                sink.write(db->permissionStatement(
                    sgStatic->IsChecked(col, row), statementAction(sgStatic->cell(col, 0)),
                    QStringLiteral("StaticPermissions"), sgStatic->cell(1, row), m_roleName));
            }
        }
    } catch (const std::exception& e) {
        if (!TSecurityQueries::errorHas(
                e, {QStringLiteral("Grantor does not have GRANT permission"),
                    QStringLiteral("User does not have permission to perform this action"),
                    QStringLiteral("permission denied")}))
            throw;
        TUserInteraction::instance().messageBox(NoRights, TMessageKind::Error, TMsgButtons::Ok);
        return false;
    }
    return true;
}

bool TformPermissions::SaveBookGrants(TStatementSink& sink) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    for (int row = 2; row < sgBooks->rowCount(); ++row) {
        for (int col = 2; col < sgBooks->colCount(); ++col)
            sink.write(db->permissionStatement(sgBooks->IsChecked(col, row), sgBooks->cell(col, 0),
                                               sgBooks->cell(0, row), QString(), m_roleName));
    }
    return true;
}

void TformPermissions::BtnOkClick() {
    RowPage->Apply();
    accept();
}

void TformPermissions::reject() {
    // Esc and the window's close button cancel too.
    if (m_collection)
        m_collection->assign(m_undo);
    QDialog::reject();
}
