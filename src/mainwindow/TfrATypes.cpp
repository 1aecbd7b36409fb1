#include "TfrATypes.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TUserInteraction.h"
#include "TreeHelpers.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrATypes::TfrATypes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frATypes"));
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setMinimumSize(100, 100);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BitBtn1 = new QPushButton(QStringLiteral("Применить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отменить"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TreeView1, 1);
    layout->addLayout(buttons);
    resize(420, 480);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrATypes::okClicked);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // While change is not allowed the selection goes back to where Execute put it.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_allowChange && current != m_allowed)
            TreeView1->setCurrentItem(m_allowed);
    });
}

void TfrATypes::SetCollection(TATreeDataCollection* collection, Readable readable) {
    m_readable = std::move(readable);
    if (collection == m_collection)
        return;
    m_built = false;
    TreeView1->clear();
    m_collection = collection;
}

void TfrATypes::addSubtree(QTreeWidgetItem* parent, const TATreeDataCollectionItem* item) {
    QTreeWidgetItem* node = parent;
    if (!m_readable || item->id() == -1 || m_readable(item->id())) {
        node = new QTreeWidgetItem(QStringList{item->caption()});
        TreeHelpers::setItemData(node, item);
        if (parent)
            parent->addChild(node);
        else
            TreeView1->addTopLevelItem(node);
    }
    for (const TATreeDataCollectionItem* child : item->children())
        addSubtree(node, child);
}

int TfrATypes::Execute(qint32 rootId, qint32 selectId, bool rebuild, bool allowChange) {
    if (!m_collection)
        return 0;
    if (rebuild || !m_built) {
        m_allowChange = true;
        TreeView1->clear();
        const TATreeDataCollectionItem* root = rootId == -1 ? nullptr : m_collection->itemById(rootId);
        if (root) {
            addSubtree(nullptr, root);
        } else if (const TATreeDataCollectionItem* top = m_collection->root()->firstChild()) {
            for (const TATreeDataCollectionItem* child : top->children())
                addSubtree(nullptr, child);
        }
        TreeView1->sortItems(0, Qt::AscendingOrder);
        m_built = true;
    }
    TreeView1->collapseAll();
    m_allowChange = true;
    const TATreeDataCollectionItem* selected = m_collection->itemById(selectId);
    m_allowed = selected ? TreeHelpers::findNodeByData(TreeView1, selected) : nullptr;
    TreeView1->setCurrentItem(m_allowed);
    if (!m_allowed)
        TreeView1->clearSelection();
    m_allowChange = allowChange;
    BitBtn1->setEnabled(allowChange);
    return TUserInteraction::instance().showModal(this);
}

void TfrATypes::okClicked() {
    QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node) {
        infoBox(QStringLiteral("Выберите узел дерева"));
        return;
    }
    SelectedId = static_cast<const TATreeDataCollectionItem*>(TreeHelpers::itemData(node))->id();
    accept();
}

QString TfrATypes::SelectedPath() const {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node)
        return {};
    return node->parent() ? node->text(0) + QStringLiteral("»") + node->parent()->text(0) : node->text(0);
}
