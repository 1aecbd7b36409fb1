// Deleting records with the rules for subordinate records, and moving branches of the tree.
#include "EAbort.h"
#include "EDBException.h"
#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TLogging.h"
#include "TUser.h"
#include "TextHelpers.h"
#include "TfrATypes.h"
#include "TfrDeleteDlg.h"
#include "TfrMain.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace {

const QString kBreak = QStringLiteral("\n\r\n\r");

bool isMovableTable(const QString& table) {
    return sameText(table, QStringLiteral("tSubDivs")) || sameText(table, QStringLiteral("tMiTypes")) ||
           sameText(table, QStringLiteral("v_ALL_MSUL_DEPARTMENT"));
}

QString deleteErrorText(const std::exception& error) {
    const auto* server = dynamic_cast<const EDBException*>(&error);
    if (server && TDbUtilsClass::getInstance()->classifyError(*server) == TDbErrorKind::IntegrityViolation)
        return QStringLiteral(
            "Невозможно удалить/редактировать данную запись, т.к. на неё есть ссылки в таблице "
            "паспортов или другом справочнике.");
    return QStringLiteral("Ошибка при удалении записи из базы.") + kBreak + errorMessage(error);
}

} // namespace

bool TfrMain::DeleteOne(QTreeWidgetItem* node, QString& error, bool byId, bool updateTree) {
    TDbAttrCollection* book = NodeBook(node);
    try {
        if (byId)
            book->sqlDeleteById(book->keyFieldName(), NodeItem(node)->id());
        else
            book->sqlDelete(FrxmdData);
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception& e) {
        error = deleteErrorText(e);
        return false;
    }
    if (byId && updateTree) {
        try {
            UpdateTreeAfterSave(2, node);
        } catch (const std::exception& e) {
            errorBox(QStringLiteral("Ошибка при обновлении дерева.") + kBreak + errorMessage(e));
        }
    }
    return true;
}

bool TfrMain::DeleteSubtree(QTreeWidgetItem* node, QStringList& messages) {
    bool all = true;
    QList<QTreeWidgetItem*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children << node->child(i);
    for (QTreeWidgetItem* child : children)
        all = DeleteSubtree(child, messages) && all;
    const QString caption = QStringLiteral("Элемент \"") + node->text(0) + QStringLiteral("\" ");
    if (!all) {
        messages << caption + QStringLiteral("удалить не удалось.")
                 << QStringLiteral("Существуют подчиненные записи.");
        return false;
    }
    QString error;
    if (DeleteOne(node, error, true, true))
        return true;
    messages << caption + QStringLiteral("удалить не удалось из-за ошибки:") << error;
    return false;
}

void TfrMain::MoveChildren(const QString& table, qint32 oldParent, qint32 newParent) {
    TDbUtilsClass::getInstance()->runSQL(
        QStringLiteral("UPDATE ") + table + QStringLiteral(" set parentId=") +
        (newParent > 0 ? QString::number(newParent) : QStringLiteral("null")) +
        QStringLiteral(" WHERE parentId=") +
        (oldParent > 0 ? QString::number(oldParent) : QStringLiteral("null")));
}

// The delete rules; throwing EAbort abandons the delete of the grid row.
void TfrMain::deleteRules(bool popupMode) {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    TDbAttrCollection* book = NodeBook(node);
    qint32 id = NodeItem(node)->id();
    const bool hierarchical = book->isHierarchical();
    if (!hierarchical && (!FNavigator || !FNavigator->visibleButtons().count(TDBNavigator::nbDelete)))
        throw EAbort();
    if (questionBox(QStringLiteral("Удалить запись?"), TMsgButtons::OkCancel) != TMsgResult::Ok)
        throw EAbort();
    QString error;
    if (!hierarchical) {
        if (!DeleteOne(node, error, false, true)) {
            errorBox(error);
            throw EAbort();
        }
        return;
    }
    if (!popupMode) {
        id = FrxmdData.fieldByName(book->keyFieldName())->asInteger();
        QTreeWidgetItem* child = nullptr;
        for (int i = 0; i < node->childCount() && !child; ++i) {
            if (NodeItem(node->child(i))->id() == id)
                child = node->child(i);
        }
        if (!child) {
            errorBox(QStringLiteral("Не удалось найти данную запись в дереве"));
            throw EAbort();
        }
        node = child;
    }
    if (node->childCount() == 0) {
        if (!DeleteOne(node, error, true, true)) {
            errorBox(error);
            throw EAbort();
        }
        if (popupMode)
            throw EAbort();
        return;
    }
    const QString table = book->mainTableName();
    if (frDeleteDlg->ShowFor(table, id) != QDialog::Accepted)
        throw EAbort();
    if (frDeleteDlg->option() == TfrDeleteDlg::DeleteAll) {
        QStringList messages;
        if (!DeleteSubtree(node, messages)) {
            TUserInteraction::instance().showErrors(messages.join(QStringLiteral("\r\n")));
            throw EAbort();
        }
        if (popupMode)
            throw EAbort();
        return;
    }
    qint32 newParent = frDeleteDlg->target();
    if (frDeleteDlg->option() == TfrDeleteDlg::MoveUp) {
        QTreeWidgetItem* parent = node->parent();
        newParent = book->isMsul ? NodeItem(parent)->fieldValue(QStringLiteral("ENTITY_ID")).toInt()
                                 : NodeItem(parent)->id();
    }
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    try {
        connection.beginTransaction();
        MoveChildren(table, id, newParent);
        if (!DeleteOne(node, error, true, false))
            throw EOrtaException(error);
        connection.commit();
    } catch (const std::exception& e) {
        TdmDataBase::instance().rollbackIfActive();
        errorBox(QStringLiteral("Ошибка при удалении записи из базы.") + kBreak + errorMessage(e));
        throw EAbort();
    }
    try {
        QTreeWidgetItem* root = RootOf(node);
        ReloadBranch(node);
        QTreeWidgetItem* target = FindNodeById(root, newParent);
        tvMainTree->setCurrentItem(target ? target : root);
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Элемент удален, но обновить дерево не удалось."));
    }
    throw EAbort(); // the view was reloaded
}

void TfrMain::miDeleteClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) == 0)
        return;
    FShowSubordinates = false;
    try {
        deleteRules(true);
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        showViewError(e);
    }
}

// ---- moves ----

QString TfrMain::chooseNewParent(const QString& descriptionFile, qint32 id) {
    TATreeDataCollection tree;
    try {
        tree.loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\") + descriptionFile,
                      true);
        if (!tree.root()->firstChild())
            throw EOrtaException(QStringLiteral("no book"));
        if (TATreeDataCollectionItem* item = tree.itemById(id))
            item->clearChildren(); // its own branch is no place to go
    } catch (const std::exception&) {
        errorBox(QStringLiteral("Ошибка при загрузке справочника."));
        return {};
    }
    frATypes->SetCollection(&tree);
    frATypes->setWindowTitle(tree.root()->firstChild()->caption());
    const int result = frATypes->Execute(-1, -1, false, true);
    frATypes->SetCollection(nullptr);
    return result == QDialog::Accepted ? QString::number(frATypes->SelectedId) : QString();
}

void TfrMain::miMoveClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) == 0 || !FCurrentNode)
        return;
    if (questionBox(QStringLiteral("Вы действительно хотите переместить \"") + node->text(0) +
                        QStringLiteral("\"  в другой узел дерева?"),
                    TMsgButtons::OkCancel) != TMsgResult::Ok)
        return;
    QTreeWidgetItem* root = RootOf(node);
    const qint32 id = NodeItem(node)->id();
    const QString table = NodeBook(FCurrentNode)->mainTableName();
    QString statement;
    QString chosen;
    if (sameText(table, QStringLiteral("tSubDivs"))) {
        chosen = chooseNewParent(QStringLiteral("tSubDivs.xml"), id);
        statement = QStringLiteral("update tSubDivs set parentid=%1 WHERE id=%2");
    } else if (sameText(table, QStringLiteral("tMiTypes"))) {
        chosen = chooseNewParent(QStringLiteral("tmitypes.xml"), id);
        statement = QStringLiteral("update tMitypes set parentid=%1 WHERE id=%2");
    } else if (sameText(table, QStringLiteral("MSUL_DEPARTMENT"))) {
        chosen = chooseNewParent(QStringLiteral("v_ALL_MSUL_DEPARTMENT.xml"), id);
        statement = QStringLiteral("update MSUL_DEPARTMENT set PARENTID=%1 WHERE ID=%2");
    } else {
        return;
    }
    if (chosen.isEmpty() || chosen == QString::number(id))
        return;
    if (!runMoveStatement(statement.arg(chosen).arg(id),
                          QStringLiteral("Ошибка доступа к базе данных. Узел переместить не удалось.")))
        return;
    ReloadBranch(root);
    if (QTreeWidgetItem* moved = FindNodeById(root, id))
        tvMainTree->setCurrentItem(moved);
}

void TfrMain::miExtractToGroupClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) < 2)
        return;
    if (questionBox(QStringLiteral("Вы действительно хотите сделать \"") + node->text(0) +
                        QStringLiteral("\"  отдельной группой приборов?"),
                    TMsgButtons::OkCancel) != TMsgResult::Ok)
        return;
    QTreeWidgetItem* root = RootOf(node);
    const qint32 id = NodeItem(node)->id();
    if (!runMoveStatement(QStringLiteral("update tMitypes set parentid=NULL WHERE id=%1").arg(id),
                          QStringLiteral("Ошибка доступа к базе данных. Группу создать не удалось.")))
        return;
    ReloadBranch(root);
    if (QTreeWidgetItem* moved = FindNodeById(root, id))
        tvMainTree->setCurrentItem(moved);
}

bool TfrMain::runMoveStatement(const QString& sql, const QString& failureText) {
    try {
        TDbUtilsClass::getInstance()->runSQL(sql);
    } catch (const std::exception&) {
        errorBox(failureText);
        try {
            TLogging::logException(QStringLiteral("Quillon. EDBException. TfrMain.N1Click"));
        } catch (const std::exception&) {
        }
        return false;
    }
    return true;
}

void TfrMain::updateContextMenu(QTreeWidgetItem* node) {
    const TDbAttrCollection* book = NodeBook(node);
    const QString table = book ? book->mainTableName() : QString();
    miExtractToGroup->setVisible(sameText(table, QStringLiteral("tMiTypes")) && level(node) >= 2);
    const QString shown =
        FCurrentNode && NodeBook(FCurrentNode) ? NodeBook(FCurrentNode)->items(0)->tableName : QString();
    const bool movable = isMovableTable(shown) || sameText(shown, QStringLiteral("MSUL_DEPARTMENT"));
    miMove->setVisible(movable);
    N2->setVisible(movable);
    const qint32 permissions = permissionTableOf(node);
    if (permissions != -1) {
        const bool mayWrite =
            TActions::has(TUser::current()->GetRowPermissions(permissions, NodeItem(node)->id()), 'w');
        miDelete->setEnabled(mayWrite);
        miExtractToGroup->setEnabled(mayWrite);
    }
}
