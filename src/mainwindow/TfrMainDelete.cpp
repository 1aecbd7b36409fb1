// Deleting records with the rules for subordinate records, and moving branches of the tree.
#include "EAbort.h"
#include "EDBException.h"
#include "EOrtaException.h"
#include "ERecordGone.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TLogging.h"
#include "TMainTreeWidget.h"
#include "TTreeMoveCheck.h"
#include "TUser.h"
#include "TextHelpers.h"
#include "TfrATypes.h"
#include "TfrDeleteDlg.h"
#include "TfrMain.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QTimer>
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
        if (dynamic_cast<const ERecordGone*>(&e))
            requestRefreshAfterGone(); // the view and the tree still show it
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
    const QString description = !book->descriptionFile.isEmpty()
                                    ? book->descriptionFile
                                    : installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\") +
                                          table + QStringLiteral(".xml");
    if (frDeleteDlg->ShowFor(description, id, readableIn(node)) != QDialog::Accepted)
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
        // The target may have moved into this branch meanwhile.
        TTreeMoveCheck::check(*book, id, newParent, frDeleteDlg->option() == TfrDeleteDlg::MoveUp);
        // Children of a versioned record link to its entity, which outlives each version's id.
        MoveChildren(table,
                     book->isMsul ? NodeItem(node)->fieldValue(QStringLiteral("ENTITY_ID")).toInt() : id,
                     newParent);
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

bool TfrMain::mayWriteNode(QTreeWidgetItem* node) const {
    const qint32 permissions = node ? permissionTableOf(node) : -1;
    return permissions == -1 ||
           TActions::has(TUser::current()->GetRowPermissions(permissions, NodeItem(node)->id()), 'w');
}

std::function<bool(qint32)> TfrMain::readableIn(QTreeWidgetItem* node) const {
    const qint32 permissions = permissionTableOf(node);
    if (permissions == -1)
        return {};
    return [permissions](qint32 id) {
        return TActions::has(TUser::current()->GetRowPermissions(permissions, id), 'r');
    };
}

void TfrMain::miDeleteClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) == 0 || !mayWriteNode(node))
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
    const std::function<bool(qint32)> readable = readableIn(tvMainTree->currentItem());
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
    frATypes->SetCollection(&tree, readable);
    frATypes->setWindowTitle(tree.root()->firstChild()->caption());
    const int result = frATypes->Execute(-1, -1, false, true);
    frATypes->SetCollection(nullptr);
    return result == QDialog::Accepted ? QString::number(frATypes->SelectedId) : QString();
}

void TfrMain::miMoveClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) == 0 || !FCurrentNode || !mayWriteNode(node))
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
    } else if (sameText(table, QStringLiteral("v_ALL_MSUL_DEPARTMENT"))) {
        chosen = chooseNewParent(QStringLiteral("v_ALL_MSUL_DEPARTMENT.xml"), id);
        statement = QStringLiteral("update MSUL_DEPARTMENT set PARENT_ID=%1 WHERE DEPARTMENT_ID=%2");
    } else {
        return;
    }
    if (chosen.isEmpty() || chosen == QString::number(id))
        return;
    if (runMove(node, chosen.toInt(), statement.arg(chosen).arg(id),
                QStringLiteral("Ошибка доступа к базе данных. Узел переместить не удалось.")))
        reloadAndSelect(root, id);
}

void TfrMain::miExtractToGroupClick() {
    QTreeWidgetItem* node = tvMainTree->currentItem();
    if (!node || level(node) < 2 || !mayWriteNode(node))
        return;
    if (questionBox(QStringLiteral("Вы действительно хотите сделать \"") + node->text(0) +
                        QStringLiteral("\"  отдельной группой приборов?"),
                    TMsgButtons::OkCancel) != TMsgResult::Ok)
        return;
    QTreeWidgetItem* root = RootOf(node);
    const qint32 id = NodeItem(node)->id();
    if (runMove(node, -1, QStringLiteral("update tMitypes set parentid=NULL WHERE id=%1").arg(id),
                QStringLiteral("Ошибка доступа к базе данных. Группу создать не удалось.")))
        reloadAndSelect(root, id);
}

// The move statement travels in a transaction of its own, so that the check against cycles and
// the statement see and hold the same rows.
bool TfrMain::runMove(QTreeWidgetItem* node, qint32 newParent, const QString& sql,
                      const QString& failureText) {
    QTreeWidgetItem* root = RootOf(node);
    const qint32 id = NodeItem(node)->id();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    try {
        connection.beginTransaction();
        TTreeMoveCheck::check(*NodeBook(node), id, newParent);
        TDbUtilsClass::getInstance()->runSQL(sql);
        connection.commit();
    } catch (const EOrtaException& e) {
        // Another workstation changed the tree meanwhile: nothing is written, the branch is read again.
        TdmDataBase::instance().rollbackIfActive();
        errorBox(e.message());
        reloadAndSelect(root, id);
        return false;
    } catch (const std::exception&) {
        TdmDataBase::instance().rollbackIfActive();
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
    miDocuments->setVisible(showTypeDocuments && sameText(table, QStringLiteral("tMiTypes")) &&
                            level(node) >= 1);
    const QString shown =
        FCurrentNode && NodeBook(FCurrentNode) ? NodeBook(FCurrentNode)->items(0)->tableName : QString();
    const bool movable = isMovableTable(shown);
    miMove->setVisible(movable);
    N2->setVisible(movable);
    if (permissionTableOf(node) != -1) {
        const bool mayWrite = mayWriteNode(node);
        miDelete->setEnabled(mayWrite);
        miExtractToGroup->setEnabled(mayWrite);
        miMove->setEnabled(mayWrite); // a move changes the record as much as a delete does
    }
}

// ---- dragging ----

void TfrMain::dragStart(QTreeWidgetItem* node) {
    FScrollDirection = 0;
    FDragNode = FDragRoot = nullptr;
    if (!node)
        return;
    if (!mayWriteNode(node))
        return; // nothing of this node may be moved
    FDragNode = node;
    FDragRoot = RootOf(node);
}

bool TfrMain::dropAllowed(QTreeWidgetItem* target) const {
    if (!target || !FDragNode || target == FDragNode || target == FDragNode->parent())
        return false;
    const TDbAttrCollection* dragged = NodeBook(FDragNode);
    const TDbAttrCollection* onto = NodeBook(target);
    if (!dragged || !onto || dragged->count() == 0 || onto->count() == 0)
        return false;
    const QString table = dragged->items(0)->tableName;
    if (!isMovableTable(table))
        return false;
    if (onto->items(0)->tableName != table || RootOf(target) != FDragRoot)
        return false;
    for (const QTreeWidgetItem* p = target; p; p = p->parent()) {
        if (p == FDragNode)
            return false; // not into its own branch
    }
    return true;
}

void TfrMain::dropOn(QTreeWidgetItem* target) {
    FDragTimer->stop();
    if (!dropAllowed(target))
        return;
    if (questionBox(QStringLiteral("Переместить ветвь \"") + FDragNode->text(0) + QStringLiteral("\" в \"") +
                        target->text(0) + QStringLiteral("\" ?"),
                    TMsgButtons::YesNo) != TMsgResult::Yes)
        return;
    const qint32 id = NodeItem(FDragNode)->id();
    const qint32 parent = NodeItem(target)->id();
    QTreeWidgetItem* root = FDragRoot;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    try {
        connection.beginTransaction();
        for (const QString& sql :
             db->noWaitUpdate(NodeBook(root)->mainTableName(),
                              QStringLiteral("parentId=") +
                                  (parent < 0 ? QStringLiteral("NULL") : QString::number(parent)),
                              QStringLiteral("id=") + QString::number(id)))
            db->runSQL(sql);
        // After the no-wait write, which holds the moved row: a locked row still fails at once.
        TTreeMoveCheck::check(*NodeBook(root), id, parent);
        connection.commit();
    } catch (const EOrtaException& e) {
        TdmDataBase::instance().rollbackIfActive();
        errorBox(e.message());
        FDragNode = nullptr;
        reloadAndSelect(root, id);
        return;
    } catch (const std::exception& e) {
        TdmDataBase::instance().rollbackIfActive();
        errorBox(QStringLiteral("Не удалось внести изменения в базу данных.") + kBreak + errorMessage(e));
        return;
    }
    FDragNode = nullptr;
    reloadAndSelect(root, id);
}

bool TfrMain::treeDragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter: {
        // A drag enters where it began, over the dragged node itself, which is no place to drop:
        // refusing the enter would refuse every move after it, so the enter only says whether
        // this tree takes part at all; each move then says whether its place is allowed.
        auto* enter = static_cast<QDragEnterEvent*>(event);
        const bool own = enter->source() == tvMainTree || TMainTreeWidget::isOwnDrag(enter->mimeData());
        dragStart(own ? tvMainTree->currentItem() : nullptr);
        enter->setDropAction(Qt::MoveAction);
        enter->setAccepted(FDragNode != nullptr);
        return true;
    }
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const QPoint at = drag->position().toPoint();
        const int height = tvMainTree->viewport()->height();
        // Near the edges the tree scrolls: within a row's height, since a pointer seldom rests on
        // the edge pixel itself.
        const int edge = std::max(2, tvMainTree->fontMetrics().height() / 2);
        FScrollDirection = at.y() < edge ? -1 : (at.y() > height - edge ? 1 : 0);
        QTreeWidgetItem* target = tvMainTree->itemAt(at);
        const bool allowed = dropAllowed(target);
        FExpandNode = allowed && target && !target->isExpanded() ? target : nullptr;
        if (FScrollDirection != 0 || FExpandNode)
            FDragTimer->start();
        else
            FDragTimer->stop();
        markDropTarget(allowed ? target : nullptr);
        drag->setDropAction(Qt::MoveAction);
        drag->setAccepted(allowed); // refused: the forbidden cursor, and the moves go on
        return true;
    }
    case QEvent::DragLeave:
        FDragTimer->stop();
        markDropTarget(nullptr);
        return true;
    case QEvent::Drop: {
        markDropTarget(nullptr);
        auto* drop = static_cast<QDropEvent*>(event);
        // The tree itself moves nothing: the database does, then the branch is read again.
        drop->setDropAction(Qt::IgnoreAction);
        drop->accept();
        QTreeWidgetItem* target = tvMainTree->itemAt(drop->position().toPoint());
        QTimer::singleShot(0, this, [this, target] {
            try {
                dropOn(target);
            } catch (const std::exception& e) {
                showViewError(e);
            }
        });
        return true;
    }
    default:
        return false;
    }
}

void TfrMain::markDropTarget(QTreeWidgetItem* target) {
    if (m_dropMark == target)
        return;
    if (m_dropMark)
        m_dropMark->setData(0, Qt::BackgroundRole, QVariant());
    m_dropMark = target;
    if (m_dropMark) {
        QColor mark = tvMainTree->palette().color(QPalette::Highlight);
        mark.setAlpha(90);
        m_dropMark->setBackground(0, mark);
    }
}

void TfrMain::dragTimerTick() {
    if (FExpandNode) {
        FExpandNode->setExpanded(true);
        FExpandNode = nullptr;
    }
    if (FScrollDirection == 0) {
        FDragTimer->stop();
        return;
    }
    if (QTreeWidgetItem* top = tvMainTree->itemAt(0, 0)) {
        QTreeWidgetItem* next =
            FScrollDirection < 0 ? tvMainTree->itemAbove(top) : tvMainTree->itemBelow(top);
        if (next)
            tvMainTree->scrollToItem(next, QAbstractItemView::PositionAtTop);
    }
}

void TfrMain::reloadAndSelect(QTreeWidgetItem* root, qint32 id) {
    ReloadBranch(root);
    if (QTreeWidgetItem* moved = FindNodeById(root, id))
        tvMainTree->setCurrentItem(moved);
}
