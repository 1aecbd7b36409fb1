#pragma once

#include "TActionSet.h"

#include <QHash>
#include <QWidget>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TControlStringgrid;
class TPermissionCollection;

// " Разрешения справочников ": a role's row permissions. The tree has one top node per registered
// row-permission table, with the records of hierarchical books below it; the grid shows the
// actions of the selected node (hierarchical books) or of every record (flat books). Flat-book
// changes go into the collection at once, tree changes on Apply. Nothing is written to the database.
class TRowPermissionPage : public QWidget {
    Q_OBJECT

public:
    explicit TRowPermissionPage(QWidget* parent = nullptr);

    // Builds the page from the role's collection. Raises EOrtaException("Ошибка заполнения дерева")
    // when a book's records do not form a tree; other reading failures are shown and leave the page
    // partly filled.
    void Fill(TPermissionCollection* collection);
    // Writes the actions of every record of the hierarchical books into the collection.
    void Apply();
    void Clear();

    QTreeWidget* DinamoTree;
    TControlStringgrid* Grid;

    // Node data, kept in the tree items.
    enum Role { RowIdRole = Qt::UserRole, TableIdRole, EntryRole, KindRole, ActionsRole, MixedRole };
    enum Kind { Hierarchical = 1, Flat = 2 };
    static TActionSet actionsOf(const QTreeWidgetItem* node);
    static TActionSet mixedOf(const QTreeWidgetItem* node);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        qint32 id;
        QString bookTable;
        QString displayName;
    };
    struct Constraint {
        qint32 tableId;
        QString action;
        QString sign;
        QString resultAction;
        QString resultSign;
    };

    bool loadTables();
    bool loadConstraints();
    void loadRecords(QTreeWidgetItem* top, const QString& bookTable);
    void copyRecords(const QTreeWidgetItem* from, QTreeWidgetItem* to);
    void prepareRecords(QTreeWidgetItem* top);
    // The value a node reports to its parent; sets its mixed set.
    TActionSet updateMixed(QTreeWidgetItem* node);
    void updateTopMixed(QTreeWidgetItem* top);
    void selectionChanged();
    bool rebuildActionColumns(qint32 tableId);
    void showNode(QTreeWidgetItem* node);
    void showFlatBook(QTreeWidgetItem* node);
    void resizeGrid();
    void cellToggled(int col, int row);
    QTreeWidgetItem* topOf(QTreeWidgetItem* node) const;
    static char letterOf(const QString& actionCode);
    static void setActions(QTreeWidgetItem* node, TActionSet actions);
    static void setMixed(QTreeWidgetItem* node, TActionSet mixed);

    TPermissionCollection* m_collection = nullptr;
    std::vector<Entry> m_entries;
    std::vector<Constraint> m_constraints;
    qint32 m_shownTable = -1;
};
