#include "TfrMain.h"

#include "DescriptionLoader.h"
#include "EAbort.h"
#include "EOrtaException.h"
#include "FileLookup.h"
#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TConnectionString.h"
#include "TDBGrid.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TDetachedEvents.h"
#include "THelpKeyFilter.h"
#include "THelpWindow.h"
#include "TLogin.h"
#include "TMainTreeWidget.h"
#include "TUser.h"
#include "TWindowPlacement.h"
#include "TXmlDocument.h"
#include "TextHelpers.h"
#include "TfPasswordDlg.h"
#include "TfrATypes.h"
#include "TfrDeleteDlg.h"
#include "TfrWaitingForm.h"
#include <QLabel>
#include <QStatusBar>

#include "TreeHelpers.h"
#include <QGroupBox>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <functional>

namespace {

const QString kCaption = QStringLiteral("\"ВЕСТАР\" АРМ Администратора");

QString bookTable(const TDbAttrCollection* book) {
    return book ? book->mainTableName() : QString();
}

// A grouping entry is a description whose first attribute names no table.
bool namesATable(const TDbAttrCollection* book) {
    return book && book->count() > 0 && !book->items(0)->tableName.isEmpty();
}

// The pages beside the program, else those of the installation folder.
QString helpFolder(const QString& installation) {
    const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/help");
    return QDir(besideProgram).exists() ? besideProgram : resolvePath(installation + QStringLiteral("help"));
}

} // namespace

TfrMain::TfrMain(TfPasswordDlg& passwordDialog, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_passwordDialog(passwordDialog), m_arguments(arguments) {
    setObjectName(QStringLiteral("frMain"));
    setWindowTitle(kCaption);
    resize(1100, 720);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("splitter"));
    tvMainTree = new TMainTreeWidget(splitter);
    tvMainTree->setObjectName(QStringLiteral("tvMainTree"));
    tvMainTree->setHeaderHidden(true);
    tvMainTree->setUniformRowHeights(true);
    tvMainTree->setContextMenuPolicy(Qt::CustomContextMenu);
    TreeHelpers::setImages(tvMainTree, {QIcon(), style()->standardIcon(QStyle::SP_FileIcon),
                                        style()->standardIcon(QStyle::SP_DirIcon)});
    Panel3 = new QWidget(splitter);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* viewLayout = new QVBoxLayout(Panel3);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    splitter->addWidget(tvMainTree);
    splitter->addWidget(Panel3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({330, 770});
    setCentralWidget(splitter);

    FrxmdData.setObjectName(QStringLiteral("FrxmdData"));
    FParamNames.setObjectName(QStringLiteral("FParamNames"));
    FIntervalCycles.setObjectName(QStringLiteral("FIntervalCycles"));
    m_viewEvents.afterScroll = [this](TMemoryData&) {
        showRowButtons();
    };
    installDataSetHandlers();
    // Lookup lists into v_MSUL views hide deleted entries only while a record is being edited.
    connect(&FrxmdData, &TMemoryData::stateChanged, this, [this] {
        if (!FViewBox)
            return;
        for (TMemoryData* list : FViewBox->findChildren<TMemoryData*>(QStringLiteral("msulLookup")))
            list->refilter();
    });
    buildMenus();
    connect(tvMainTree, &QTreeWidget::currentItemChanged, this, [this] { selectionChanged(); });
    connect(tvMainTree, &QWidget::customContextMenuRequested, this, &TfrMain::showContextMenu);
    tvMainTree->installEventFilter(this); // the Delete key
    tvMainTree->setDragEnabled(true);
    tvMainTree->setAcceptDrops(true);
    tvMainTree->setDragDropMode(QAbstractItemView::DragDrop);
    tvMainTree->viewport()->installEventFilter(this);
    FDragTimer = new QTimer(this);
    FDragTimer->setInterval(100);
    connect(FDragTimer, &QTimer::timeout, this, &TfrMain::dragTimerTick);
    frATypes = new TfrATypes(this);
    frDeleteDlg = new TfrDeleteDlg(*frATypes, this);
    // The help key works in every window.
    m_helpKeys = new THelpKeyFilter([this] { showHelp(helpTopic(QApplication::activeWindow())); }, this);
}

TfrMain::~TfrMain() {
    delete FViewBox; // its grid and navigator refer to FrxmdData, which goes before the children
    delete m_helpKeys;
    tvMainTree->clear(); // nodes refer to items of FTreeData
}

TfrMain::TOperation::~TOperation() {
    if (--m_window.m_operationDepth == 0 && m_window.m_reopenPending)
        m_window.reopenWhenIdle();
}

void TfrMain::reopenWhenIdle() {
    QTimer::singleShot(0, this, [this] {
        // A modal window of the operation may have run the event loop: still inside, wait for its end.
        if (m_operationDepth > 0 || !m_reopenPending)
            return;
        m_reopenPending = false;
        if (std::exchange(m_refreshPending, false))
            refreshAfterRecordGone();
        else
            selectionChanged();
    });
}

void TfrMain::requestRefreshAfterGone() {
    m_refreshPending = true;
    m_reopenPending = true;
    if (m_operationDepth == 0)
        reopenWhenIdle();
}

void TfrMain::refreshAfterRecordGone() {
    try {
        if (FrxmdData.active() && FrxmdData.isEditing()) {
            const TDetachedEvents detached(FrxmdData);
            FrxmdData.cancel();
        }
        QTreeWidgetItem* target = FCurrentNode;
        if (target && NodeBook(target)->isHierarchical()) {
            const qint32 id = NodeItem(target)->id();
            QTreeWidgetItem* root = RootOf(target);
            ReloadBranch(root);
            target = FindNodeById(root, id);
            if (!target)
                target = root;
        }
        if (!target || tvMainTree->currentItem() == target)
            OpenSelectedBook();
        else
            tvMainTree->setCurrentItem(target);
    } catch (const std::exception& e) {
        showViewError(e);
    }
}

TDataSetNotify TfrMain::duringOperation(TDataSetNotify handler) {
    if (!handler)
        return handler;
    return [this, handler = std::move(handler)](TMemoryData& data) {
        const TOperation operation(*this);
        handler(data);
    };
}

void TfrMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    miExit = file->addAction(QStringLiteral("Выход"));
    miExit->setObjectName(QStringLiteral("miExit"));
    connect(miExit, &QAction::triggered, this, &QWidget::close);
    N3 = menuBar()->addAction(QStringLiteral("Настройки"));
    N3->setObjectName(QStringLiteral("N3"));
    N7 = menuBar()->addMenu(QStringLiteral("Контроль доступа"));
    N7->setObjectName(QStringLiteral("N7"));
    actRoles = N7->addAction(QStringLiteral("Роли"));
    actRoles->setObjectName(QStringLiteral("actRoles"));
    actUsers = N7->addAction(QStringLiteral("Пользователи"));
    actUsers->setObjectName(QStringLiteral("actUsers"));
    actRightsReports = N7->addAction(QStringLiteral("Отчеты о правах пользователя..."));
    actRightsReports->setObjectName(QStringLiteral("actRightsReports"));
    N7->menuAction()->setEnabled(false);
    actRoles->setEnabled(false);
    actUsers->setEnabled(false);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->setObjectName(QStringLiteral("N4"));
    QAction* contents = help->addAction(QStringLiteral("Содержание  F1"));
    contents->setObjectName(QStringLiteral("N6"));
    connect(contents, &QAction::triggered, this, [this] { showHelp(QString()); });
    N5 = help->addAction(QStringLiteral("О программе"));
    N5->setObjectName(QStringLiteral("N5"));

    popupMenu = new QMenu(this);
    popupMenu->setObjectName(QStringLiteral("popupMenu"));
    miExtractToGroup = popupMenu->addAction(QStringLiteral("Выделить в отдельную группу приборов"));
    miExtractToGroup->setObjectName(QStringLiteral("miExtractToGroup"));
    miMove = popupMenu->addAction(QStringLiteral("Переместить в другой узел дерева."));
    miMove->setObjectName(QStringLiteral("miMove"));
    N2 = popupMenu->addSeparator();
    miDelete = popupMenu->addAction(QStringLiteral("Удалить"));
    miDelete->setObjectName(QStringLiteral("miDelete"));
    connect(miExtractToGroup, &QAction::triggered, this, &TfrMain::miExtractToGroupClick);
    connect(miMove, &QAction::triggered, this, &TfrMain::miMoveClick);
    connect(miDelete, &QAction::triggered, this, &TfrMain::miDeleteClick);
    // The documents of an instrument type; shown when the program provides the document manager.
    miDocuments = popupMenu->addAction(QStringLiteral("Документы типа СИ (СА)..."));
    miDocuments->setObjectName(QStringLiteral("miDocuments"));
    connect(miDocuments, &QAction::triggered, this, [this] {
        QTreeWidgetItem* node = tvMainTree->currentItem();
        if (showTypeDocuments && node && level(node) > 0 && NodeItem(node))
            showTypeDocuments(NodeItem(node)->id());
    });
    miProp = popupMenu->addAction(QStringLiteral("Данные"));
    miProp->setObjectName(QStringLiteral("miProp"));
    miSubTrees = popupMenu->addAction(QStringLiteral("Подчиненные записи"));
    miSubTrees->setObjectName(QStringLiteral("miSubTrees"));
    connect(miProp, &QAction::triggered, this, [this] {
        try {
            if (resolvePendingEdit())
                LoadBookData(true, false);
        } catch (const std::exception& e) {
            showViewError(e);
        }
    });
    connect(miSubTrees, &QAction::triggered, this, [this] {
        try {
            if (resolvePendingEdit())
                LoadBookData(false, false);
        } catch (const std::exception& e) {
            showViewError(e);
        }
    });
}

// ---- show and close ----

void TfrMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FShownOnce)
        QTimer::singleShot(0, this, &TfrMain::FormShow);
}

void TfrMain::FormShow() {
    if (FShownOnce)
        return;
    FShownOnce = true;
    try {
        if (!TLogin::RunLogin(m_passwordDialog, m_arguments)) {
            FTerminating = true;
            close();
            return;
        }
    } catch (const std::exception& e) {
        TLogin::FatalError(QStringLiteral("TfrMain.FormShow"), QStringLiteral("activateSession"), e);
        FFatal = true;
        close();
        return;
    }
    showSession();
    try {
        LoadTree();
    } catch (const std::exception& e) {
        TLogin::FatalError(QStringLiteral("TfrMain.FormShow"), QStringLiteral("loadTreeData"), e);
        FFatal = true;
        close();
    }
}

void TfrMain::showSession() {
    TWindowPlacement::restore(objectName(), this, findChild<QSplitter*>(QStringLiteral("splitter")));
    const TConnectionString connection = TConnectionString::parse(TDbUtilsClass::connectionString());
    TUser* user = TUser::current();
    // Roles and users are kept by those who may work with permissions; others never reach them.
    const bool mayAdminister =
        user && (user->IsAdmin ||
                 user->HasStaticPermission(QStringLiteral("Работа с разрешениями"), QStringLiteral("read")));
    N7->menuAction()->setEnabled(mayAdminister);
    actRoles->setEnabled(mayAdminister);
    actUsers->setEnabled(mayAdminister);
    QString who = user ? user->UserName : QString();
    if (user && !user->UserSurname.isEmpty())
        who += QStringLiteral(" (") + user->UserSurname + QLatin1Char(')');
    auto* session = new QLabel(QStringLiteral("Пользователь: %1    Сервер: %2    База данных: %3")
                                   .arg(who, connection.host(), connection.database),
                               this);
    session->setObjectName(QStringLiteral("lbSession"));
    statusBar()->addPermanentWidget(session);
}

void TfrMain::closeEvent(QCloseEvent* event) {
    if (FGrid)
        FGrid->saveLayout();
    if (!FTerminating && !FFatal && !resolvePendingEdit()) {
        event->ignore();
        return;
    }
    if (!FTerminating && !FFatal &&
        questionBox(QStringLiteral("Завершить работу с программой?"), TMsgButtons::OkCancel) !=
            TMsgResult::Ok) {
        event->ignore();
        return;
    }
    tvMainTree->setFocus();
    TWindowPlacement::save(objectName(), this, findChild<QSplitter*>(QStringLiteral("splitter")));
    TLogin::Logout();
    event->accept();
}

// ---- the catalogue ----

void TfrMain::LoadTree() {
    TfrWaitingForm waiting;
    waiting.setWindowTitle(kCaption);
    waiting.show();
    waiting.SetStepCount(100);

    FAppPath = installPath();
    if (FAppPath.isEmpty())
        throw EOrtaException(
            QStringLiteral("Не указан путь к приложению в реестре. Ошибка при инсталляции программы."));
    // The path is a prefix: without its trailing separator nothing is found.
    const QDir folder(resolvePath(FAppPath + QStringLiteral("BusinessData\\ReferenceBooks\\")));
    QStringList files;
    if (folder.exists()) {
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
            if (name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                files << folder.filePath(name);
        }
    }
    if (files.isEmpty())
        throw EOrtaException(QStringLiteral("Нет информации о справочниках."));

    if (!FTreeData) {
        FTreeData = std::make_unique<TATreeDataCollection>();
        FTreeData->setSortMode(TATreeDataCollection::Ascending);
    }
    for (int i = 0; i < files.size(); ++i) {
        waiting.Step();
        FTreeData->loadBook(files.at(i), true);
        if (i > 0)
            waiting.Step();
    }

    tvMainTree->setUpdatesEnabled(false);
    for (TATreeDataCollectionItem* book = FTreeData->root()->firstChild(); book; book = book->nextSibling()) {
        const qint32 table =
            book->attrs() && book->attrs()->isHierarchical()
                ? TUser::current()->FindPermissionTable(QStringLiteral("tRole") + bookTable(book->attrs()))
                : -1;
        if (QTreeWidgetItem* node = addSubtree(book, table, false, nullptr))
            tvMainTree->addTopLevelItem(node);
    }
    applyImagesAndGrouping();
    tvMainTree->collapseAll();
    tvMainTree->setUpdatesEnabled(true);
    waiting.Step();
    if (tvMainTree->topLevelItemCount() > 0)
        tvMainTree->setCurrentItem(tvMainTree->topLevelItem(0));
}

// Builds the nodes detached from the tree: adding 10,000 nodes one by one to a shown tree stalls.
QTreeWidgetItem* TfrMain::addSubtree(TATreeDataCollectionItem* item, qint32 permissionTable, bool skipSelf,
                                     QTreeWidgetItem* parent) {
    QTreeWidgetItem* node = nullptr;
    if (!skipSelf) {
        const bool readable =
            permissionTable == -1 || item->id() == -1 ||
            TActions::has(TUser::current()->GetRowPermissions(permissionTable, item->id()), 'r');
        if (readable) {
            node = new QTreeWidgetItem(QStringList{item->caption()});
            TreeHelpers::setItemData(node, item);
            if (parent)
                parent->addChild(node);
        }
    }
    QTreeWidgetItem* under = node ? node : parent;
    for (TATreeDataCollectionItem* child : item->children()) {
        QTreeWidgetItem* childNode = addSubtree(child, permissionTable, false, under);
        if (childNode && !under)
            tvMainTree->addTopLevelItem(childNode); // a readable record below an unreadable top
    }
    return node;
}

void TfrMain::applyImagesAndGrouping() {
    for (QTreeWidgetItemIterator it(tvMainTree); *it; ++it)
        TreeHelpers::setImageIndex(*it, namesATable(NodeBook(*it)) ? 1 : 2);

    TXmlDocument grouping;
    if (!TXmlDocument::read(FAppPath + QStringLiteral("BusinessData\\ParamsField.xml"), grouping))
        return;
    QTreeWidgetItem* group = nullptr;
    for (const TXmlElement& rule : grouping.children) {
        const QString groupName = TDescriptionLoader::xmlAttr(rule.attributes, QStringLiteral("GroupByName"));
        const QString bookName = TDescriptionLoader::xmlAttr(rule.attributes, QStringLiteral("LookUpName"));
        for (QTreeWidgetItemIterator it(tvMainTree); *it; ++it) {
            if (!namesATable(NodeBook(*it)) && (*it)->text(0) == groupName)
                group = *it;
        }
        std::vector<QTreeWidgetItem*> books;
        for (QTreeWidgetItemIterator it(tvMainTree); *it; ++it) {
            const TDbAttrCollection* book = NodeBook(*it);
            if ((*it)->text(0) == bookName && book && !book->isHierarchical() && *it != group)
                books.push_back(*it);
        }
        for (QTreeWidgetItem* book : books) {
            if (QTreeWidgetItem* parent = book->parent())
                parent->removeChild(book);
            else
                tvMainTree->takeTopLevelItem(tvMainTree->indexOfTopLevelItem(book));
            if (group)
                group->addChild(book);
            else
                tvMainTree->addTopLevelItem(book);
        }
    }
}

TATreeDataCollectionItem* TfrMain::NodeItem(QTreeWidgetItem* node) const {
    if (!FTreeData)
        throw EOrtaException(QStringLiteral("Нет данных о справочниках"));
    if (!node)
        throw EOrtaException(QStringLiteral("Выберите какой-нибудь справочник"));
    return static_cast<TATreeDataCollectionItem*>(const_cast<void*>(TreeHelpers::itemData(node)));
}

TDbAttrCollection* TfrMain::NodeBook(QTreeWidgetItem* node) const {
    const TATreeDataCollectionItem* item = node ? NodeItem(node) : nullptr;
    if (!item)
        throw EOrtaException(QStringLiteral("Выберите какой-нибудь справочник"));
    return item->attrs();
}

QTreeWidgetItem* TfrMain::RootOf(QTreeWidgetItem* node) {
    while (node && node->parent())
        node = node->parent();
    return node;
}

int TfrMain::level(const QTreeWidgetItem* node) {
    int depth = 0;
    for (const QTreeWidgetItem* p = node ? node->parent() : nullptr; p; p = p->parent())
        ++depth;
    return depth;
}

QTreeWidgetItem* TfrMain::FindNodeById(QTreeWidgetItem* node, qint32 id) {
    if (!node)
        return nullptr;
    const auto* item = static_cast<const TATreeDataCollectionItem*>(TreeHelpers::itemData(node));
    if (item && item->id() == id)
        return node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QTreeWidgetItem* found = FindNodeById(node->child(i), id))
            return found;
    }
    return nullptr;
}

qint32 TfrMain::permissionTableOf(QTreeWidgetItem* node) const {
    const TDbAttrCollection* book = NodeBook(node);
    if (!book || !book->isHierarchical() || !TUser::current())
        return -1;
    return TUser::current()->FindPermissionTable(QStringLiteral("tRole") + bookTable(book));
}

void TfrMain::ReloadBranch(QTreeWidgetItem* node) {
    TBusyCursor busy;
    tvMainTree->setUpdatesEnabled(false);
    struct Resume {
        QTreeWidget* tree;
        ~Resume() { tree->setUpdatesEnabled(true); }
    } resume{tvMainTree};
    QTreeWidgetItem* root = RootOf(node);
    const bool currentInside = FCurrentNode && RootOf(FCurrentNode) == root && FCurrentNode != root;
    qDeleteAll(root->takeChildren());
    if (currentInside)
        FCurrentNode = root;
    TATreeDataCollectionItem* item = NodeItem(root);
    item->clearChildren();
    FTreeData->buildRecords(item, true);
    if (item->attrs() && item->attrs()->isHierarchical())
        addSubtree(item, permissionTableOf(root), true, root);
    for (QTreeWidgetItemIterator it(root); *it && RootOf(*it) == root; ++it)
        TreeHelpers::setImageIndex(*it, namesATable(NodeBook(*it)) ? 1 : 2);
}

void TfrMain::UpdateTreeAfterSave(int mode, QTreeWidgetItem* node) {
    QTreeWidgetItem* affected = mode == 2 ? node : tvMainTree->currentItem();
    if (!affected)
        return;
    TDbAttrCollection* book = NodeBook(affected);
    qint32 id = NodeItem(affected)->id();
    QString caption;
    QVariant entity;
    if (mode != 2) {
        caption = FrxmdData.fieldByName(QStringLiteral("fName"))->asString();
        id = FrxmdData.fieldByName(book->keyFieldName())->asInteger();
        if (book->isMsul)
            entity = FrxmdData.fieldByName(QStringLiteral("ENTITY_ID"))->value();
    }
    QTreeWidgetItem* parent = FShowSubordinates ? affected : affected->parent();
    auto firstChildWhere =
        [parent](const std::function<bool(TATreeDataCollectionItem*)>& match) -> QTreeWidgetItem* {
        for (int i = 0; parent && i < parent->childCount(); ++i) {
            auto* item = static_cast<TATreeDataCollectionItem*>(
                const_cast<void*>(TreeHelpers::itemData(parent->child(i))));
            if (item && match(item))
                return parent->child(i);
        }
        return nullptr;
    };
    if (mode == 0 && FShowSubordinates && book->isMsul)
        affected = firstChildWhere([&entity](TATreeDataCollectionItem* item) {
            return item->fieldValue(QStringLiteral("ENTITY_ID")) == entity;
        });
    if (mode == 0 && FShowSubordinates && !book->isMsul)
        affected = firstChildWhere([id](TATreeDataCollectionItem* item) { return item->id() == id; });
    const qint32 affectedId = affected ? NodeItem(affected)->id() : -1;
    book->syncCache(mode == 1 ? id : affectedId, FrxmdData, TDbAttrCollection::TSyncAction(mode));

    switch (mode) {
    case 1: {
        if (!parent)
            return;
        TATreeDataCollectionItem* item = FTreeData->addItem(NodeItem(parent), caption, id, book);
        auto* added = new QTreeWidgetItem(QStringList{caption});
        TreeHelpers::setItemData(added, item);
        parent->addChild(added);
        TreeHelpers::setImageIndex(added, 1);
        placeSorted(parent, added);
        break;
    }
    case 2:
        if (affected) {
            FTreeData->deleteItem(FTreeData->indexOfId(affectedId));
            if (FCurrentNode == affected)
                FCurrentNode = nullptr;
            delete affected;
        }
        break;
    default:
        if (affected) {
            affected->setText(0, caption);
            TATreeDataCollectionItem* item = NodeItem(affected);
            item->setCaption(caption);
            if (book->isMsul)
                item->setId(id); // the saved version is a new row
            if (parent)
                placeSorted(parent, affected);
        }
        break;
    }
}

// Puts a node where the tree data has its item: CompareText order among its siblings. The view
// must not reopen the book in the middle of a save, so the tree keeps quiet meanwhile.
void TfrMain::placeSorted(QTreeWidgetItem* parent, QTreeWidgetItem* node) {
    const QSignalBlocker quiet(tvMainTree);
    QTreeWidgetItem* current = tvMainTree->currentItem();
    parent->removeChild(node);
    int position = 0;
    while (position < parent->childCount() &&
           compareText(parent->child(position)->text(0), node->text(0)) < 0)
        ++position;
    parent->insertChild(position, node);
    if (current)
        tvMainTree->setCurrentItem(current);
}

void TfrMain::ReloadPermittedBranches() {
    for (int i = 0; i < tvMainTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tvMainTree->topLevelItem(i);
        const TDbAttrCollection* book = NodeBook(node);
        if (book && book->isHierarchical() && permissionTableOf(node) != -1)
            ReloadBranch(node);
    }
    if (tvMainTree->currentItem())
        OpenSelectedBook();
}

void TfrMain::selectionChanged() {
    if (m_operationDepth > 0) {
        m_reopenPending = true;
        return;
    }
    QTreeWidgetItem* wanted = tvMainTree->currentItem();
    if (wanted != FCurrentNode && FrxmdData.active() && FrxmdData.isEditing()) {
        // The record belongs to the node shown: it is saved there, or the user stays there.
        const QSignalBlocker quiet(tvMainTree);
        tvMainTree->setCurrentItem(FCurrentNode);
        if (!resolvePendingEdit()) {
            // The press that changed the selection is still being handled: put it back after it too.
            QTimer::singleShot(0, this, [this] {
                const QSignalBlocker quietAgain(tvMainTree);
                if (FCurrentNode)
                    tvMainTree->setCurrentItem(FCurrentNode);
            });
            return;
        }
        tvMainTree->setCurrentItem(wanted);
    }
    try {
        OpenSelectedBook();
    } catch (const std::exception& e) {
        showViewError(e);
    }
}

bool TfrMain::resolvePendingEdit() {
    if (!FrxmdData.active() || !FrxmdData.isEditing())
        return true;
    const int answer = questionBox(FrxmdData.state() == TDataSetState::Insert
                                       ? QStringLiteral("Новая запись не сохранена. Сохранить её?")
                                       : QStringLiteral("Изменения записи не сохранены. Сохранить их?"),
                                   TMsgButtons::SaveDiscardCancel);
    try {
        if (answer == TMsgResult::Yes)
            FrxmdData.post();
        else if (answer == TMsgResult::No)
            FrxmdData.cancel();
        else
            return false;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
    }
    return !FrxmdData.isEditing(); // a save that failed keeps the user with his record
}

void TfrMain::showViewError(const std::exception& error) {
    errorBox(errorMessage(error));
}

// ---- context menu, keys, help ----

QMenu* TfrMain::contextMenuFor(QTreeWidgetItem* node) {
    if (!node || level(node) == 0)
        return nullptr;
    updateContextMenu(node);
    return popupMenu;
}

void TfrMain::showContextMenu(const QPoint& position) {
    QTreeWidgetItem* node = tvMainTree->itemAt(position);
    if (node)
        tvMainTree->setCurrentItem(node);
    if (QMenu* menu = contextMenuFor(node))
        menu->popup(tvMainTree->viewport()->mapToGlobal(position));
}

QString TfrMain::helpTopic(const QWidget* activeWindow) const {
    if (!activeWindow)
        return QString();
    if (activeWindow == this) {
        QString table;
        try {
            table = FCurrentNode ? bookTable(NodeBook(FCurrentNode)) : QString();
        } catch (const EOrtaException&) {
        }
        return QStringLiteral("TfrMain_") + table;
    }
    return QString::fromLatin1(activeWindow->metaObject()->className());
}

void TfrMain::showHelp(const QString& topic) {
    if (!m_help)
        m_help = std::make_unique<THelpWindow>(helpFolder(FAppPath));
    if (topic.isEmpty())
        m_help->showContents();
    else
        m_help->showTopic(topic);
}

bool TfrMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tvMainTree->viewport() && treeDragEvent(event))
        return true;
    if (watched == tvMainTree && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats its release: one press, one question.
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat() && tvMainTree->currentItem() &&
            level(tvMainTree->currentItem()) > 0) {
            miDeleteClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
