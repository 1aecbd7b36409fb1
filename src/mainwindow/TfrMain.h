#pragma once

#include "TDBNavigator.h"
#include "TMemoryData.h"

#include <QMainWindow>
#include <memory>

class QGroupBox;
class QLineEdit;
class QMenu;
class QTimer;
class TDbAttribute;
class TDBGrid;
class TListFilterFrame;
class TfrATypes;
class TfrDeleteDlg;
class QAction;
class QTreeWidget;
#include <QTreeWidgetItem>
class TATreeDataCollection;
class TATreeDataCollectionItem;
class TDbAttrCollection;
class THelpKeyFilter;
class THelpWindow;
class TfPasswordDlg;

// "ВЕСТАР" АРМ Администратора: the catalogue of reference books on the left, the view of the
// selected book on the right.
class TfrMain : public QMainWindow {
    Q_OBJECT

public:
    TfrMain(TfPasswordDlg& passwordDialog, const QStringList& arguments, QWidget* parent = nullptr);
    ~TfrMain() override;

    // The show sequence: login, then the catalogue. Runs once, on the first show.
    void FormShow();
    // Loads the catalogue tree; raises on a missing installation path or description files.
    void LoadTree();

    TATreeDataCollectionItem* NodeItem(QTreeWidgetItem* node) const;
    TDbAttrCollection* NodeBook(QTreeWidgetItem* node) const;
    static QTreeWidgetItem* RootOf(QTreeWidgetItem* node);
    static QTreeWidgetItem* FindNodeById(QTreeWidgetItem* node, qint32 id);
    static int level(const QTreeWidgetItem* node);
    void ReloadBranch(QTreeWidgetItem* node);
    // mode 0: the current record of FrxmdData changed, 1: added, 2: node deleted.
    void UpdateTreeAfterSave(int mode, QTreeWidgetItem* node);
    void ReloadPermittedBranches();
    // The row-permission table of a hierarchical book's node, -1 for none.
    qint32 permissionTableOf(QTreeWidgetItem* node) const;

    // ---- the view of the selected book ----
    void OpenSelectedBook();
    bool BuildBookView(QTreeWidgetItem* node);
    void LoadBookData(bool ownRecord, bool keepPosition);
    void RefreshCurrentRecord(TDbAttrCollection* book, qint32 id);
    void LoadLinkRef(const QString& table);
    // A record in edit or insert state before the view moves on (another node, closing): asks
    // whether to save it, discard it or stay. True when it was saved or discarded, or there was none.
    bool resolvePendingEdit();
    // The callback of the filter frames: the condition the list is read with.
    void applyFilter(const QString& condition);
    // The specialised editor named by a layout's added_ctrl; empty for an unknown name.
    static QString editorByName(const QString& name);

    QGroupBox* FViewBox = nullptr;
    TDBGrid* FGrid = nullptr;
    TDBNavigator* FNavigator = nullptr;
    QLineEdit* FTemplateEdit = nullptr;
    TListFilterFrame* FFilterFrame = nullptr;
    TDBNavigator::Buttons FVisibleButtons;
    TMemoryData FParamNames;
    TMemoryData FIntervalCycles;

    // ---- editing ----
    bool SaveEditedRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree);
    bool SaveNewRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree);
    void GrantRowPermissions(TDbAttrCollection* book, qint32 newId);
    void ShowErrorTextForConstraints(const std::exception& error);

    // ---- deletion and moves ----
    bool DeleteOne(QTreeWidgetItem* node, QString& error, bool byId, bool updateTree);
    bool DeleteSubtree(QTreeWidgetItem* node, QStringList& messages);
    void MoveChildren(const QString& table, qint32 oldParent, qint32 newParent);
    void miDeleteClick();
    // The user's write right on a record node (letter w), as the context menu follows it.
    bool mayWriteNode(QTreeWidgetItem* node) const;
    void miMoveClick();
    void miExtractToGroupClick();
    TfrATypes* frATypes;
    TfrDeleteDlg* frDeleteDlg;
    QAction* miDocuments;
    // Opens the document manager of an instrument type (set by the program).
    std::function<void(qint32 typeId)> showTypeDocuments;
    QAction* miExtractToGroup;
    QAction* miMove;
    QAction* N2;
    QAction* miDelete;

    // Dragging a branch in the tree.
    void dragStart(QTreeWidgetItem* node);
    bool dropAllowed(QTreeWidgetItem* target) const;
    void dropOn(QTreeWidgetItem* target);
    QTreeWidgetItem* FDragNode = nullptr;
    QTreeWidgetItem* FDragRoot = nullptr;
    QTreeWidgetItem* FExpandNode = nullptr;
    int FScrollDirection = 0;
    QTimer* FDragTimer;

    // The context menu a node gets, null for none (book nodes).
    QMenu* contextMenuFor(QTreeWidgetItem* node);
    // The help topic for the window that is active.
    QString helpTopic(const QWidget* activeWindow) const;
    THelpWindow* helpWindow() const { return m_help.get(); }

    QTreeWidget* tvMainTree;
    QWidget* Panel3;
    QAction* miExit;
    // "Контроль доступа": the security windows connect to these; they are enabled for a user who
    // may work with permissions.
    QAction* N3; // "Настройки"
    QAction* N5; // "О программе"
    // Merges two optional parameters (set by the program); the book is read again afterwards.
    std::function<int()> mergeParameters;
    // Fills a spreadsheet with the book shown (set by the program).
    std::function<void()> printBook;
    QMenu* N7;
    QAction* actRoles;
    QAction* actUsers;
    // The rights reports of the signed-in user (until the users window offers them for anyone).
    QAction* actRightsReports;
    QAction* miProp;
    QAction* miSubTrees;
    QMenu* popupMenu;

    QString FAppPath;
    std::unique_ptr<TATreeDataCollection> FTreeData;
    QTreeWidgetItem* FCurrentNode = nullptr;
    bool FShowSubordinates = true;
    bool FShownOnce = false;
    bool FTerminating = false;
    bool FFatal = false;
    QString FFilterText;
    TMyRxMemoryData FrxmdData;

Q_SIGNALS:
    // A book's view was built and loaded.
    void bookOpened();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // An operation started by a button, a key or a notification of FrxmdData is on the stack: a
    // selection change it makes rebuilds the view after it, from the event loop, so that no widget
    // of the view is destroyed while one of its own handlers runs.
    class TOperation {
    public:
        explicit TOperation(TfrMain& window) : m_window(window) { ++m_window.m_operationDepth; }
        ~TOperation();
        TOperation(const TOperation&) = delete;
        TOperation& operator=(const TOperation&) = delete;

    private:
        TfrMain& m_window;
    };

    void buildMenus();
    void showGroupContents(QTreeWidgetItem* node);
    // The signed-in session in the status bar; the window where the user left it.
    void showSession();
    void retireView();
    void reopenWhenIdle();
    TDataSetNotify duringOperation(TDataSetNotify handler);
    // Which records of a book the user may see, for the node choosers; empty = all.
    std::function<bool(qint32)> readableIn(QTreeWidgetItem* node) const;
    void updateTreeAfterCommit(int mode);
    // Begins a save's transaction; for an edited record first makes sure nobody changed it
    // meanwhile, asking the user when someone did (no transaction spans the question). Raises
    // EAbort when he chose to see the stored record, ERecordGone when it is gone.
    void beginSaveTransaction(TDbAttrCollection* book, bool editing);
    // The record was gone from the database: once the operation is over, the edit is dropped and
    // the view and the branch are read again.
    void requestRefreshAfterGone();
    void refreshAfterRecordGone();
    // A move of a record in its own transaction, refused when it would close a cycle.
    bool runMove(QTreeWidgetItem* node, qint32 newParent, const QString& sql, const QString& failureText);
    QTreeWidgetItem* addSubtree(TATreeDataCollectionItem* item, qint32 permissionTable, bool skipSelf,
                                QTreeWidgetItem* parent);
    void applyImagesAndGrouping();
    void placeSorted(QTreeWidgetItem* parent, QTreeWidgetItem* node);
    void selectionChanged();
    void showContextMenu(const QPoint& position);
    void showHelp(const QString& topic);
    void installFieldChecks();
    // A lookup field's list, read now; owned by the view box.
    TMemoryData* lookupList(const TDbAttribute& a);
    void installDataSetHandlers();
    void setEditButtons(bool on);
    void setParentLink();
    bool saveRecord(TDbAttrCollection* book, bool raiseErrors, bool updateTree, bool isNew);
    void genericSave();
    void editorLoop(bool inserting);
    void deleteRules(bool popupMode);
    QString chooseNewParent(const QString& descriptionFile, qint32 id);
    void updateContextMenu(QTreeWidgetItem* node);
    bool treeDragEvent(QEvent* event);
    // The branch read again with the moved record selected.
    void reloadAndSelect(QTreeWidgetItem* root, qint32 id);
    void dragTimerTick();
    // The row a drop would land on, shown while the pointer is over an allowed place.
    void markDropTarget(QTreeWidgetItem* target);
    QTreeWidgetItem* m_dropMark = nullptr;
    void showRowButtons();
    qint32 rowPermissionTable(const TDbAttrCollection* book) const;
    void showViewError(const std::exception& error);

    TfPasswordDlg& m_passwordDialog;
    QStringList m_arguments;
    std::unique_ptr<THelpWindow> m_help;
    THelpKeyFilter* m_helpKeys;
    int m_operationDepth = 0;
    bool m_reopenPending = false;
    bool m_refreshPending = false;
    // The view's own notifications of FrxmdData (the row change), detached while it loads.
    TDataSetEvents m_viewEvents;
};
