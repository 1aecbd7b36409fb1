#pragma once

#include <QVariant>
#include <memory>

class QLineEdit;
class TATreeDataCollection;
class TATreeDataCollectionItem;
class TfrATypes;

// A department of the central register shown in a read-only box and chosen in the department
// tree. The tree belongs to the editor holding the box; the shared chooser sees it only meanwhile.
class TDepartmentBox {
public:
    TDepartmentBox(TfrATypes& chooser, QLineEdit& box);
    ~TDepartmentBox();
    TDepartmentBox(const TDepartmentBox&) = delete;
    TDepartmentBox& operator=(const TDepartmentBox&) = delete;

    // Loads the tree and shows the department whose ENTITY_ID is entity; hands the tree to the
    // chooser.
    void load(const QVariant& entity);
    // The chooser opened on the shown department; the chosen one is shown and returned (null when
    // the user cancelled).
    const TATreeDataCollectionItem* choose();
    // The tree item shown, -1 when none.
    qint32 itemId() const { return m_itemId; }

private:
    void show(const TATreeDataCollectionItem* item);

    TfrATypes& m_chooser;
    QLineEdit& m_box;
    std::unique_ptr<TATreeDataCollection> m_departments;
    qint32 m_itemId = -1;
};
