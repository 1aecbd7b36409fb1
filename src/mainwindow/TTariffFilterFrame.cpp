#include "TTariffFilterFrame.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TTreeNodeSink.h"
#include "TUserInteraction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int IdRole = Qt::UserRole + 1;

class TreeSink : public TTreeNodeSink {
public:
    explicit TreeSink(QTreeWidget* tree) : m_tree(tree) {}
    Node addNode(Node parent, const QString& caption, TATreeDataCollectionItem* item) override {
        auto* node =
            parent ? new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(parent)) : new QTreeWidgetItem(m_tree);
        node->setText(0, caption);
        node->setData(0, IdRole, item ? item->id() : 0);
        return node;
    }

private:
    QTreeWidget* m_tree;
};

void selectSubtree(QTreeWidgetItem* item, bool selected) {
    item->setSelected(selected);
    for (int i = 0; i < item->childCount(); ++i)
        selectSubtree(item->child(i), selected);
}

} // namespace

TTariffFilterFrame::TTariffFilterFrame(QWidget* parent)
    : TListFilterFrame(
          QStringLiteral(" Статус расценки "),
          {QStringLiteral("действительные"), QStringLiteral("недействительные"), QStringLiteral("все")}, All,
          parent),
      FMiTypesTree(std::make_unique<TATreeDataCollection>()) {
    setObjectName(QStringLiteral("TariffFilterFrame"));
    TBusyCursor busy;
    auto* filter = new QGroupBox(QStringLiteral(" Фильтрация списка расценок "), this);
    auto* filterLayout = new QHBoxLayout(filter);

    auto* kinds = new QGroupBox(QStringLiteral("       по виду МО "), filter);
    ckbxVrfType = new QCheckBox(kinds);
    ckbxVrfType->setObjectName(QStringLiteral("ckbxVrfType"));
    lvVrfType = new QListWidget(kinds);
    lvVrfType->setObjectName(QStringLiteral("lvVrfType"));
    lvVrfType->setEnabled(false);
    auto* kindsLayout = new QVBoxLayout(kinds);
    kindsLayout->addWidget(ckbxVrfType);
    kindsLayout->addWidget(lvVrfType, 1);

    auto* types = new QGroupBox(QStringLiteral("       по типам СИ "), filter);
    ckbxMiTypes = new QCheckBox(types);
    ckbxMiTypes->setObjectName(QStringLiteral("ckbxMiTypes"));
    tvAllTree = new QTreeWidget(types);
    tvAllTree->setObjectName(QStringLiteral("tvAllTree"));
    tvAllTree->setHeaderHidden(true);
    tvAllTree->setSelectionMode(QAbstractItemView::MultiSelection);
    tvAllTree->setEnabled(false);
    auto* typesLayout = new QVBoxLayout(types);
    typesLayout->addWidget(ckbxMiTypes);
    typesLayout->addWidget(tvAllTree, 1);

    auto* orgs = new QGroupBox(QStringLiteral(" Список организаций-поверителей "), filter);
    cmbxVrfOgr = new QComboBox(orgs);
    cmbxVrfOgr->setObjectName(QStringLiteral("cmbxVrfOgr"));
    auto* orgsLayout = new QVBoxLayout(orgs);
    orgsLayout->addWidget(cmbxVrfOgr);
    orgsLayout->addStretch();
    filterLayout->addWidget(kinds, 1);
    filterLayout->addWidget(types, 2);
    filterLayout->addWidget(orgs, 1);

    btClearFilter = new QPushButton(QStringLiteral("Очистить фильтр"), this);
    btClearFilter->setObjectName(QStringLiteral("btClearFilter"));
    // The frame's own row: the filter groups, then the status and the buttons of the list filter.
    auto* row = static_cast<QHBoxLayout*>(layout());
    auto* buttons = new QVBoxLayout;
    row->removeWidget(btApplyFilter);
    buttons->addWidget(btApplyFilter);
    buttons->addWidget(btClearFilter);
    buttons->addStretch();
    row->insertWidget(0, filter, 3);
    row->setStretchFactor(rdgrpStatus, 0);
    // The statuses one under another: the lists get the width.
    if (auto* statuses = qobject_cast<QBoxLayout*>(rdgrpStatus->layout()))
        statuses->setDirection(QBoxLayout::TopToBottom);
    row->addLayout(buttons);
    setMaximumHeight(190);
    // The view decides the width: the filter's lists shrink rather than widen the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TMemoryData kindsList;
    db->loadQuery(kindsList, QStringLiteral("SELECT id,fName FROM VrfType Order By FName"));
    for (kindsList.first(); !kindsList.eof(); kindsList.next()) {
        auto* item =
            new QListWidgetItem(kindsList.fieldByName(QStringLiteral("fName"))->asString(), lvVrfType);
        item->setData(IdRole, kindsList.fieldByName(QStringLiteral("id"))->asInteger());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    FMiTypesTree->loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\tMiTypes.xml"),
                           true);
    if (TATreeDataCollectionItem* book =
            FMiTypesTree->root() ? FMiTypesTree->root()->firstChild() : nullptr) {
        TreeSink sink(tvAllTree);
        FMiTypesTree->fillTreeView(book, sink, nullptr, true);
    }
    tvAllTree->sortItems(0, Qt::AscendingOrder);
    TMemoryData orgList;
    db->loadQuery(orgList, QStringLiteral("SELECT id, sName FROM VrfOrg Order By sName"));
    cmbxVrfOgr->addItem(QStringLiteral("(все организации)"), 0);
    for (orgList.first(); !orgList.eof(); orgList.next())
        cmbxVrfOgr->addItem(orgList.fieldByName(QStringLiteral("sName"))->asString(),
                            orgList.fieldByName(QStringLiteral("id"))->asInteger());

    addMenu(lvVrfType, [this](bool mark) {
        for (int i = 0; i < lvVrfType->count(); ++i)
            lvVrfType->item(i)->setCheckState(mark ? Qt::Checked : Qt::Unchecked);
    });
    addMenu(tvAllTree, [this](bool mark) {
        const QSignalBlocker quiet(tvAllTree);
        for (QTreeWidgetItemIterator it(tvAllTree); *it; ++it)
            (*it)->setSelected(mark);
    });
    connect(ckbxVrfType, &QCheckBox::toggled, lvVrfType, &QWidget::setEnabled);
    connect(ckbxMiTypes, &QCheckBox::toggled, tvAllTree, &QWidget::setEnabled);
    connect(tvAllTree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                QList<QTreeWidgetItem*> on, off;
                for (const QModelIndex& index : selected.indexes())
                    on << tvAllTree->itemFromIndex(index);
                for (const QModelIndex& index : deselected.indexes())
                    off << tvAllTree->itemFromIndex(index);
                tvAllTreeChange(on, off);
            });
    connect(btClearFilter, &QPushButton::clicked, this, &TTariffFilterFrame::btClearFilterClick);
    btClearFilterClick();
}

TTariffFilterFrame::~TTariffFilterFrame() = default;

void TTariffFilterFrame::addMenu(QWidget* target, std::function<void(bool)> markAll) {
    auto* menu = new QMenu(target);
    menu->setObjectName(QStringLiteral("ppMenu"));
    menu->addAction(QStringLiteral("&Выделить все"), this, [markAll] { markAll(true); });
    menu->addAction(QStringLiteral("&Сбросить все"), this, [markAll] { markAll(false); });
    target->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(target, &QWidget::customContextMenuRequested, menu,
            [menu, target](const QPoint& at) { menu->popup(target->mapToGlobal(at)); });
}

// A group selected or deselected takes everything below it along.
void TTariffFilterFrame::tvAllTreeChange(const QList<QTreeWidgetItem*>& selected,
                                         const QList<QTreeWidgetItem*>& deselected) {
    if (m_following)
        return;
    m_following = true;
    for (QTreeWidgetItem* item : selected)
        if (item && item->childCount() > 0)
            selectSubtree(item, true);
    for (QTreeWidgetItem* item : deselected)
        if (item && item->childCount() > 0)
            selectSubtree(item, false);
    m_following = false;
}

void TTariffFilterFrame::btClearFilterClick() {
    for (int i = 0; i < lvVrfType->count(); ++i)
        lvVrfType->item(i)->setCheckState(Qt::Unchecked);
    {
        const QSignalBlocker quiet(tvAllTree);
        tvAllTree->clearSelection();
    }
    cmbxVrfOgr->setCurrentIndex(0);
    choose(All);
}

QString TTariffFilterFrame::condition(int option) const {
    QStringList parts;
    auto add = [&parts](const QString& part) {
        if (!parts.isEmpty())
            parts << QStringLiteral(" AND ");
        parts << part;
    };
    if (ckbxVrfType->isChecked()) {
        QStringList ids;
        for (int i = lvVrfType->count() - 1; i >= 0; --i)
            if (lvVrfType->item(i)->checkState() == Qt::Checked)
                ids << lvVrfType->item(i)->data(IdRole).toString();
        if (!ids.isEmpty())
            add(QStringLiteral(" (Tariff.id in (select Tariffid from TariffVrfType where VrfTypeid in(") +
                ids.join(QLatin1Char(',')) + QStringLiteral(")))"));
    }
    if (ckbxMiTypes->isChecked()) {
        QStringList ids;
        const QList<QTreeWidgetItem*> selected = tvAllTree->selectedItems();
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            ids << (*it)->data(0, IdRole).toString();
        if (!ids.isEmpty())
            add(QStringLiteral(" (Tariff.id in (select Tariffid from TarifftMiTypes where MiTypeId in(") +
                ids.join(QLatin1Char(',')) + QStringLiteral(")))"));
    }
    if (const int org = cmbxVrfOgr->currentData().toInt(); org > 0)
        add(QStringLiteral(" (Tariff.id in (select Tariffid from TariffVrfOrg where VrfOrgid=") +
            QString::number(org) + QStringLiteral("))"));
    if (option == Valid)
        add(QStringLiteral(" (Tariff.status='") + QStringLiteral("+") + QStringLiteral("')"));
    else if (option == NotValid)
        add(QStringLiteral(" (Tariff.status='") + QStringLiteral("-") + QStringLiteral("')"));
    if (parts.isEmpty()) {
        if (questionBox(QStringLiteral("Ни одно из условий фильтра не задано. Показать все записи?"),
                        TMsgButtons::YesNo) != TMsgResult::Yes)
            return QString();
        return QStringLiteral("(1=1)");
    }
    return parts.join(QStringLiteral("\r\n"));
}
