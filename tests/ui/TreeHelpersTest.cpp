#include "TreeHelpers.h"

#include <QListWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace TreeHelpers;

namespace {

QTreeWidgetItem* node(QTreeWidgetItem* parent, const QString& caption, const void* item) {
    auto* n = new QTreeWidgetItem(parent, QStringList{caption});
    setItemData(n, item);
    return n;
}

} // namespace

TEST(TreeHelpers, CopyFindAndImages) {
    int a = 0, b = 0, c = 0, target = 0;
    QTreeWidget tree;
    setImages(&tree, {QIcon(), QIcon()});
    auto* root = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Типы СИ")});
    setItemData(root, &a);
    QTreeWidgetItem* child = node(root, QStringLiteral("Манометры"), &b);
    node(child, QStringLiteral("МП-100"), &c);
    auto* other = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Группы")});
    setItemData(other, &target);
    setImageIndexDeep(&tree, nullptr, 0);

    QStringList visited;
    forEachNode(root, [&visited](QTreeWidgetItem* n) { visited << n->text(0); });
    EXPECT_EQ(visited, (QStringList{QStringLiteral("Типы СИ"), QStringLiteral("Манометры"),
                                    QStringLiteral("МП-100")}));

    QTreeWidgetItem* copy = copySubtree(&tree, child, other);
    ASSERT_EQ(other->childCount(), 1);
    EXPECT_EQ(copy->text(0), QStringLiteral("Манометры"));
    EXPECT_EQ(itemData(copy), &b);
    ASSERT_EQ(copy->childCount(), 1);
    EXPECT_EQ(itemData(copy->child(0)), &c);
    EXPECT_EQ(imageIndex(copy), 0);
    EXPECT_EQ(imageIndex(child), 1);                       // the source is marked
    EXPECT_EQ(findNodeByData(&tree, &c), child->child(0)); // the first in tree order
    EXPECT_EQ(findNodeByData(&tree, &visited), nullptr);

    setImageIndexDeep(&tree, other, 1);
    EXPECT_EQ(imageIndex(copy->child(0)), 1);
    EXPECT_EQ(imageIndex(root), 0);
}

TEST(TreeHelpers, SelectionAndCheckBoxes) {
    QTreeWidget tree;
    new QTreeWidgetItem(&tree, QStringList{"a"});
    new QTreeWidgetItem(&tree, QStringList{"b"});
    selectAllNodes(&tree); // single selection: nothing
    EXPECT_TRUE(tree.selectedItems().isEmpty());
    tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
    selectAllNodes(&tree);
    EXPECT_EQ(tree.selectedItems().size(), 2);
    clearNodeSelection(&tree);
    EXPECT_TRUE(tree.selectedItems().isEmpty());

    QListWidget list;
    for (const char* text : {"r", "w"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(text), &list);
        item->setCheckState(Qt::Unchecked);
    }
    checkAllItems(&list);
    EXPECT_EQ(list.item(1)->checkState(), Qt::Checked);
    uncheckAllItems(&list);
    EXPECT_EQ(list.item(0)->checkState(), Qt::Unchecked);
}
