#include "TDepartmentBox.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TfrATypes.h"

#include <QLineEdit>

namespace {

// The first item at or below item whose ENTITY_ID is entity, depth first.
const TATreeDataCollectionItem* findEntity(const TATreeDataCollectionItem* item, qint32 entity) {
    if (!item)
        return nullptr;
    const QVariant value = item->fieldValue(QStringLiteral("ENTITY_ID"));
    if (value.isValid() && !value.isNull() && value.toInt() == entity)
        return item;
    for (const TATreeDataCollectionItem* child : item->children()) {
        if (const TATreeDataCollectionItem* found = findEntity(child, entity))
            return found;
    }
    return nullptr;
}

} // namespace

TDepartmentBox::TDepartmentBox(TfrATypes& chooser, QLineEdit& box) : m_chooser(chooser), m_box(box) {}

TDepartmentBox::~TDepartmentBox() {
    if (m_departments)
        m_chooser.SetCollection(nullptr); // the tree goes with its editor
}

void TDepartmentBox::load(const QVariant& entity) {
    m_departments = std::make_unique<TATreeDataCollection>();
    m_departments->loadBook(
        installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\v_ALL_MSUL_DEPARTMENT.xml"), true);
    m_itemId = -1;
    m_box.clear();
    if (entity.isValid() && !entity.isNull() && m_departments->count() > 0)
        show(findEntity(m_departments->items(0), entity.toInt()));
    m_chooser.SetCollection(m_departments.get());
    m_chooser.setWindowTitle(QStringLiteral("Подразделения"));
}

const TATreeDataCollectionItem* TDepartmentBox::choose() {
    if (!m_departments || m_chooser.Execute(-1, m_itemId, true, true) != QDialog::Accepted)
        return nullptr;
    m_itemId = m_chooser.SelectedId;
    const TATreeDataCollectionItem* item = m_departments->itemById(m_itemId);
    show(item);
    return item;
}

void TDepartmentBox::show(const TATreeDataCollectionItem* item) {
    if (!item)
        return;
    m_itemId = item->id();
    m_box.setText(item->fieldValue(QStringLiteral("fname")).toString());
    m_box.setCursorPosition(0); // a long name shows its beginning
}
