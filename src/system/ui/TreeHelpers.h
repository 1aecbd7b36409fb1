#pragma once

#include <QIcon>
#include <QList>
#include <functional>

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Helpers for tree and list controls. A tree node carries its attached item (a pointer) and an
// image index; the tree's "images" property, a QList<QIcon>, turns indexes into icons.
namespace TreeHelpers {

constexpr int ItemRole = Qt::UserRole;
constexpr int ImageIndexRole = Qt::UserRole + 1;

void setImages(QTreeWidget* tree, const QList<QIcon>& images);
void setItemData(QTreeWidgetItem* node, const void* item);
const void* itemData(const QTreeWidgetItem* node);
void setImageIndex(QTreeWidgetItem* node, int index);
int imageIndex(const QTreeWidgetItem* node);

// action on node, then on every descendant in child order.
void forEachNode(QTreeWidgetItem* node, const std::function<void(QTreeWidgetItem*)>& action);
// A copy of node (caption, image, attached item) and its children as the last child of
// parentNode (a top node when null); the source node is marked with image 1. Returns the copy.
QTreeWidgetItem* copySubtree(QTreeWidget* tree, QTreeWidgetItem* node, QTreeWidgetItem* parentNode);
QTreeWidgetItem* findNodeByData(QTreeWidget* tree, const void* item);
// node and its descendants, or every node when node is null.
void setImageIndexDeep(QTreeWidget* tree, QTreeWidgetItem* node, int index);
void selectAllNodes(QTreeWidget* tree);
void clearNodeSelection(QTreeWidget* tree);

void checkAllItems(QListWidget* list);
void uncheckAllItems(QListWidget* list);

// Qt scales windows for the display itself (high-DPI scaling), so windows need no correction of
// their own for large system fonts; kept as the one place to add one.
inline void fixLargeFonts(QWidget*) {}

} // namespace TreeHelpers
