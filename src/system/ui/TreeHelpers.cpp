#include "TreeHelpers.h"

#include <QListWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace TreeHelpers {

void setImages(QTreeWidget* tree, const QList<QIcon>& images) {
    tree->setProperty("images", QVariant::fromValue(images));
}

void setItemData(QTreeWidgetItem* node, const void* item) {
    node->setData(0, ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
}

const void* itemData(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<const void*>(node->data(0, ItemRole).value<quintptr>()) : nullptr;
}

void setImageIndex(QTreeWidgetItem* node, int index) {
    node->setData(0, ImageIndexRole, index);
    if (const QTreeWidget* tree = node->treeWidget()) {
        const auto images = tree->property("images").value<QList<QIcon>>();
        if (index >= 0 && index < images.size())
            node->setIcon(0, images.at(index));
    }
}

int imageIndex(const QTreeWidgetItem* node) {
    const QVariant v = node->data(0, ImageIndexRole);
    return v.isValid() ? v.toInt() : -1;
}

void forEachNode(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*)>& action) {
    if (!node)
        return;
    action(node);
    for (int i = 0; i < node->childCount(); ++i)
        forEachNode(node->child(i), action);
}

QTreeWidgetItem* copySubtree(QTreeWidget* tree, QTreeWidgetItem* node, QTreeWidgetItem* parentNode) {
    auto* copy = new QTreeWidgetItem;
    copy->setText(0, node->text(0));
    setItemData(copy, itemData(node));
    if (parentNode)
        parentNode->addChild(copy);
    else
        tree->addTopLevelItem(copy);
    setImageIndex(copy, imageIndex(node));
    setImageIndex(node, 1);
    // Children are read before copying: node may be an ancestor of parentNode.
    QList<QTreeWidgetItem*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children << node->child(i);
    for (QTreeWidgetItem* child : children)
        copySubtree(tree, child, copy);
    return copy;
}

QTreeWidgetItem* findNodeByData(QTreeWidget* tree, const void* item) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (itemData(*it) == item)
            return *it;
    }
    return nullptr;
}

void setImageIndexDeep(QTreeWidget* tree, QTreeWidgetItem* node, int index) {
    if (node) {
        forEachNode(node, [index](QTreeWidgetItem* n) { setImageIndex(n, index); });
        return;
    }
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        setImageIndex(*it, index);
}

void selectAllNodes(QTreeWidget* tree) {
    const auto mode = tree->selectionMode();
    if (mode == QAbstractItemView::MultiSelection || mode == QAbstractItemView::ExtendedSelection)
        tree->selectAll();
}

void clearNodeSelection(QTreeWidget* tree) {
    while (!tree->selectedItems().isEmpty())
        tree->clearSelection();
}

void checkAllItems(QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Checked);
}

void uncheckAllItems(QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
}

} // namespace TreeHelpers
