// Editing in the view: the notifications of FrxmdData, the generic save in one transaction, the
// parent link and row permissions of new records, and readable messages for failed writes.
#include "EAbort.h"
#include "EDBException.h"
#include "ERecordGone.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TDBGrid.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TDetachedEvents.h"
#include "TEditorRegistry.h"
#include "TFrExtraAbstract.h"
#include "TRecordKeyKeeper.h"
#include "TStoredRecordCheck.h"
#include "TUser.h"
#include "TextHelpers.h"
#include "TfrMain.h"

#include <QGroupBox>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kSaveFailed = QStringLiteral("Не удалось внести изменения в базу данных.");
const QString kBreak = QStringLiteral("\n\r\n\r");

bool navigatorShows(const TDBNavigator* navigator, TDBNavigator::Button button) {
    return navigator && navigator->visibleButtons().count(button) > 0;
}

} // namespace

void TfrMain::installDataSetHandlers() {
    m_viewEvents.beforeInsert = [this](TMemoryData&) {
        if (!navigatorShows(FNavigator, TDBNavigator::nbInsert))
            throw EAbort();
        setEditButtons(true);
    };
    m_viewEvents.afterInsert = [this](TMemoryData&) {
        setParentLink();
        editorLoop(true);
        // Typed straight into the new row: once the insert is over, the focus goes there.
        if (FGrid && FrxmdData.state() == TDataSetState::Insert)
            QTimer::singleShot(0, FGrid, [grid = QPointer<TDBGrid>(FGrid)] {
                if (grid && grid->data()->state() == TDataSetState::Insert)
                    grid->editFirstCell();
            });
    };
    m_viewEvents.afterEdit = [this](TMemoryData&) {
        editorLoop(false);
    };
    m_viewEvents.beforeEdit = [this](TMemoryData&) {
        if (!navigatorShows(FNavigator, TDBNavigator::nbEdit))
            throw EAbort();
        setEditButtons(true);
    };
    m_viewEvents.beforePost = [this](TMemoryData&) {
        genericSave();
    };
    m_viewEvents.afterPost = [this](TMemoryData&) {
        setEditButtons(false);
        const TDbAttrCollection* book = FCurrentNode ? NodeBook(FCurrentNode) : nullptr;
        if (book && book->mainTableName() == QLatin1String("IntervalRef")) {
            if (const TField* id = FrxmdData.findField(QStringLiteral("id")))
                RefreshCurrentRecord(NodeBook(FCurrentNode), id->asInteger());
        }
    };
    m_viewEvents.afterCancel = [this](TMemoryData&) {
        setEditButtons(false);
    };
    m_viewEvents.beforeDelete = [this](TMemoryData&) {
        deleteRules(!FShowSubordinates);
    };
    for (TDataSetNotify* handler :
         {&m_viewEvents.beforeInsert, &m_viewEvents.afterInsert, &m_viewEvents.beforeEdit,
          &m_viewEvents.afterEdit, &m_viewEvents.beforePost, &m_viewEvents.afterPost,
          &m_viewEvents.afterCancel, &m_viewEvents.beforeDelete})
        *handler = duringOperation(std::move(*handler));
}

// The tree and the book's cache follow a committed write only: a rollback leaves them as they were.
void TfrMain::updateTreeAfterCommit(int mode) {
    try {
        UpdateTreeAfterSave(mode, nullptr);
        if (FViewBox && FCurrentNode) // a renamed record renames the view's path too
            FViewBox->setTitle(NodeItem(FCurrentNode)->pathText(true));
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка при обновлении дерева.\n\r\n\r") + errorMessage(e));
    }
}

void TfrMain::setEditButtons(bool on) {
    if (FGrid)
        FGrid->setEditButtons(on);
}

void TfrMain::setParentLink() {
    TDbAttrCollection* book = FCurrentNode ? NodeBook(FCurrentNode) : nullptr;
    if (!book || !book->isHierarchical())
        return;
    QVariant parent;
    QTreeWidgetItem* selected = tvMainTree->currentItem();
    if (selected && level(selected) > 0) {
        QTreeWidgetItem* node = FShowSubordinates ? selected : selected->parent();
        const TATreeDataCollectionItem* item = NodeItem(node);
        parent = book->isMsul ? item->fieldValue(QStringLiteral("ENTITY_ID")) : QVariant(item->id());
        if (parent.toInt() == -1)
            parent = QVariant();
    }
    if (TField* field = FrxmdData.findField(QStringLiteral("parentId")))
        field->setValue(parent);
}

bool TfrMain::saveRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree, bool isNew) {
    TBusyCursor busy;
    try {
        if (isNew)
            book->sqlInsert(FrxmdData);
        else
            book->sqlUpdate(FrxmdData);
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception& e) {
        if (raiseErrors)
            throw;
        ShowErrorTextForConstraints(e);
        return false;
    }
    if (updateTree && book->isHierarchical()) {
        try {
            UpdateTreeAfterSave(isNew ? 1 : 0, nullptr);
        } catch (const std::exception& e) {
            errorBox(QStringLiteral("Ошибка при обновлении дерева.\n\r\n\r") + errorMessage(e));
        }
    }
    return true;
}

bool TfrMain::SaveEditedRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree) {
    return saveRecord(book, raiseErrors, updateTree, false);
}

bool TfrMain::SaveNewRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree) {
    return saveRecord(book, raiseErrors, updateTree, true);
}

void TfrMain::GrantRowPermissions(TDbAttrCollection* book, qint32 newId) {
    TUser* user = TUser::current();
    if (!user)
        return;
    for (int i = 0; i < user->PermissionTableCount(); ++i) {
        QString name;
        const qint32 table = user->GetPermissionTable(i, name);
        if (table == -1 || !sameText(name.mid(5), book->mainTableName()))
            continue;
        if (book->isHierarchical())
            user->InheritNewRowPermissions(table, newId,
                                           FrxmdData.fieldByName(QStringLiteral("parentId"))->asInteger());
        else
            user->GrantNewRowPermissions(table, newId);
    }
}

void TfrMain::beginSaveTransaction(TDbAttrCollection* book, bool editing) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    for (;;) {
        connection.beginTransaction();
        if (!editing)
            return;
        TStoredRecordCheck stored(*book, FrxmdData);
        if (!stored.changedMeanwhile())
            return; // the stored row stays locked until the save ends
        TdmDataBase::instance().rollbackIfActive();
        QStringList lines{QStringLiteral("Запись изменил другой пользователь, пока вы её редактировали.")};
        for (const TStoredRecordCheck::Difference& d : stored.differences())
            lines << QStringLiteral("«%1»: у вас «%2», в базе «%3»").arg(d.field, d.mine, d.stored);
        if (stored.newerVersion() && stored.differences().empty())
            lines << QStringLiteral("В базе сохранена её новая версия.");
        lines << QString()
              << QStringLiteral("Записать ваши значения поверх сохранённых? «Обновить» покажет сохранённые "
                                "значения и оставит то, что вы изменили.");
        const bool overwrite =
            questionBox(lines.join(QLatin1Char('\n')), TMsgButtons::OverwriteReload) == TMsgResult::Yes;
        stored.takeStoredAsBaseline(!overwrite);
        if (!overwrite)
            throw EAbort();
        // Overwriting: checked again, since the record may have changed once more meanwhile.
    }
}

void TfrMain::genericSave() {
    TDbAttrCollection* book = NodeBook(FCurrentNode);
    const bool inserting = FrxmdData.state() == TDataSetState::Insert;
    if (!book->checkRequired(FrxmdData))
        throw EAbort();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    const TRecordKeyKeeper key(FrxmdData, book->keyFieldName());
    try {
        beginSaveTransaction(book, !inserting);
        if (inserting) {
            if (!SaveNewRecord(book, false, false))
                throw EAbort();
            GrantRowPermissions(book, FrxmdData.fieldByName(QStringLiteral("id"))->asInteger());
        } else if (!SaveEditedRecord(book, false, false)) {
            throw EAbort();
        }
        connection.commit();
    } catch (const EAbort&) {
        TdmDataBase::instance().rollbackIfActive();
        key.restore();
        throw;
    } catch (const ERecordGone& e) {
        TdmDataBase::instance().rollbackIfActive();
        errorBox(e.message() + QStringLiteral(" Справочник будет перечитан."));
        requestRefreshAfterGone();
        throw EAbort();
    } catch (const std::exception& e) {
        TdmDataBase::instance().rollbackIfActive();
        key.restore();
        errorBox(kSaveFailed + kBreak + errorMessage(e));
        throw EAbort();
    }
    if (book->isHierarchical())
        updateTreeAfterCommit(inserting ? 1 : 0);
}

void TfrMain::ShowErrorTextForConstraints(const std::exception& error) {
    const QString message = errorMessage(error);
    static const std::vector<std::pair<QStringList, QString>> rules{
        {{"CK_MMState_CheckTP", "CK_MMState_SetOnTP", "CK_MMState_Longterm"},
         QStringLiteral("Недопустимый ввод. Можно использовать только символы '-' или '+'.")},
        {{"IX_MoveStates_State_UNQ"},
         QStringLiteral("Недопустимый ввод. На данное состояние СИ уже определено правило движения.")},
        {{"IX_SpheresGMK_Code_UNQ"},
         QStringLiteral("Недопустимый ввод. Такой код сферы существует в справочнике.")},
        // "Kод" begins with a Latin K, as the program has always written it.
        {{"CK_SpheresGMK_Code"},
         QStringLiteral("Недопустимый ввод. Kод сферы должен состоять из двух цифр из диапазона 01-19.")},
        {{"IX_Tariff"},
         QStringLiteral("Недопустимый ввод. Расценка с таким наименованием уже существует в справочнике.")},
    };
    for (const auto& [names, text] : rules) {
        for (const QString& name : names) {
            if (message.contains(name)) {
                errorBox(text);
                return;
            }
        }
    }
    const auto* server = dynamic_cast<const EDBException*>(&error);
    if (server && TDbUtilsClass::getInstance()->classifyError(*server) == TDbErrorKind::IntegrityViolation) {
        errorBox(QStringLiteral(
            "Невозможно удалить/редактировать данную запись, т.к. на неё есть ссылки в таблице "
            "паспортов или другом справочнике."));
        return;
    }
    errorBox(kSaveFailed + kBreak + message);
}

// The insert and edit loops of a book with a specialised editor: show, check, save in one
// transaction, and show the editor again with the values entered when anything fails. No
// transaction spans the modal show.
void TfrMain::editorLoop(bool inserting) {
    TDbAttrCollection* book = FCurrentNode ? NodeBook(FCurrentNode) : nullptr;
    if (!book || !TEditorRegistry::has(book->EditorClass))
        return;
    std::unique_ptr<TFrExtraAbstract> editor = TEditorRegistry::create(book->EditorClass, this);
    TATreeDataCollectionItem* nodeData = inserting ? nullptr : NodeItem(tvMainTree->currentItem());
    const QString key = book->keyFieldName();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    bool first = true;
    bool done = false;
    while (!done) {
        if (!inserting && !FrxmdData.isEditing()) {
            {
                const TDetachedEvents detached(FrxmdData);
                FrxmdData.edit();
            }
        }
        int result = QDialog::Rejected;
        try {
            editor->LoadRecord(FrxmdData, first);
            result = TUserInteraction::instance().showModal(editor.get());
        } catch (const std::exception& e) {
            // The editor's reason (a central record, a record it cannot edit) goes with the message.
            const QString reason = errorMessage(e);
            const QString text = QStringLiteral("Не удалось отобразить форму ввода данных");
            errorBox(reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason);
            {
                const TDetachedEvents detached(FrxmdData);
                FrxmdData.cancel();
            }
            return;
        }
        if (result != QDialog::Accepted) {
            if (FrxmdData.isEditing() || !inserting) {
                {
                    const TDetachedEvents detached(FrxmdData);
                    FrxmdData.cancel();
                }
                return;
            }
            break; // the editor finished the record itself
        }
        first = false;
        if (!book->checkRequired(FrxmdData))
            continue;
        bool afterOk = true;
        bool beforeOk = true;
        const TRecordKeyKeeper keptKey(FrxmdData, key);
        try {
            beginSaveTransaction(book, !inserting);
            beforeOk = editor->BeforeSave(nodeData);
            if (!(inserting ? SaveNewRecord(book, false, false) : SaveEditedRecord(book, false, false)))
                throw EAbort();
            afterOk = editor->AfterSave(nodeData);
            if (inserting)
                GrantRowPermissions(book, FrxmdData.fieldByName(key)->asInteger());
            connection.commit();
        } catch (const ERecordGone& e) {
            TdmDataBase::instance().rollbackIfActive();
            errorBox(e.message() + QStringLiteral(" Справочник будет перечитан."));
            {
                const TDetachedEvents detached(FrxmdData);
                FrxmdData.cancel();
            }
            requestRefreshAfterGone();
            return;
        } catch (const std::exception& e) {
            TdmDataBase::instance().rollbackIfActive();
            if (inserting && FrxmdData.isEditing())
                FrxmdData.fieldByName(key)->clear();
            else
                keptKey.restore(); // a versioned save moved the key to a row that is gone again
            if (!dynamic_cast<const EAbort*>(&e))
                errorBox(kSaveFailed + kBreak + errorMessage(e));
            continue;
        }
        // Committed: now the view, the side lists and the tree follow.
        done = true;
        {
            const TDetachedEvents detached(FrxmdData);
            FrxmdData.post();
        }
        LoadLinkRef(book->mainTableName());
        if (book->isHierarchical())
            updateTreeAfterCommit(inserting ? 1 : 0);
        if (!(afterOk && beforeOk) && editor->FMessages)
            TUserInteraction::instance().showErrors(editor->FMessages->join(QStringLiteral("\r\n")));
        if (sameText(book->mainTableName(), QStringLiteral("Tariff")))
            LoadBookData(false, true);
    }
    editor.reset();
    try {
        if (const TField* keyField = FrxmdData.findField(key))
            RefreshCurrentRecord(book, keyField->asInteger());
    } catch (const std::exception& e) {
        errorBox(QStringLiteral("Ошибка обновления данных.\n\r\n\r") + errorMessage(e));
    }
}
