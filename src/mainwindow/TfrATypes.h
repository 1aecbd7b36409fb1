#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TATreeDataCollection;

// The shared chooser of a node of a hierarchical book (a target for moves, a department, a group).
class TfrATypes : public QDialog {
    Q_OBJECT

public:
    explicit TfrATypes(QWidget* parent = nullptr);

    void SetCollection(TATreeDataCollection* collection);
    // Shows the tree below rootId (-1: the children of the first top item) with selectId selected;
    // returns the modal result. Without a collection nothing is shown and the result is 0.
    int Execute(qint32 rootId, qint32 selectId, bool rebuild, bool allowChange);
    qint32 SelectedId = -1;
    QString SelectedPath() const;

    QTreeWidget* TreeView1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void addSubtree(QTreeWidgetItem* parent, const class TATreeDataCollectionItem* item);
    void okClicked();

    TATreeDataCollection* m_collection = nullptr;
    bool m_built = false;
    bool m_allowChange = true;
    QTreeWidgetItem* m_allowed = nullptr;
};
