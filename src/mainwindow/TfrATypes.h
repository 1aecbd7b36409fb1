#pragma once

#include <QDialog>
#include <functional>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TATreeDataCollection;

// The shared chooser of a node of a hierarchical book (a target for moves, a department, a group).
class TfrATypes : public QDialog {
    Q_OBJECT

public:
    explicit TfrATypes(QWidget* parent = nullptr);

    // Which records the user may see (by id); none = all. Records he may not see are left out of
    // the tree and their visible descendants hang under the nearest visible ancestor, as in the
    // main tree.
    using Readable = std::function<bool(qint32 id)>;
    void SetCollection(TATreeDataCollection* collection, Readable readable = {});
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
    Readable m_readable;
    bool m_built = false;
    bool m_allowChange = true;
    QTreeWidgetItem* m_allowed = nullptr;
};
