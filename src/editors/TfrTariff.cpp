#include "TfrTariff.h"

#include "OrtaUtils.h"
#include "TATreeDataCollection.h"
#include "TATreeDataCollectionItem.h"
#include "TDbUtilsClass.h"
#include "TEditorButtons.h"
#include "TMemoryData.h"
#include "TTreeNodeSink.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int IdRole = Qt::UserRole + 1;
constexpr int MarkRole = Qt::UserRole + 2;
const QColor markedColour(0x80, 0x80, 0x80); // the colour value 8421504

class AllTreeSink : public TTreeNodeSink {
public:
    AllTreeSink(QTreeWidget* tree, QHash<qint32, QTreeWidgetItem*>& nodes) : m_tree(tree), m_nodes(nodes) {}
    Node addNode(Node parent, const QString& caption, TATreeDataCollectionItem* item) override {
        auto* node =
            parent ? new QTreeWidgetItem(static_cast<QTreeWidgetItem*>(parent)) : new QTreeWidgetItem(m_tree);
        node->setText(0, caption);
        const qint32 id = item ? item->id() : 0;
        node->setData(0, IdRole, id);
        m_nodes.insert(id, node);
        return node;
    }

private:
    QTreeWidget* m_tree;
    QHash<qint32, QTreeWidgetItem*>& m_nodes;
};

QTreeWidgetItem* copyOf(const QTreeWidgetItem* node) {
    auto* copy = new QTreeWidgetItem;
    copy->setText(0, node->text(0));
    copy->setData(0, IdRole, node->data(0, IdRole));
    for (int i = 0; i < node->childCount(); ++i)
        copy->addChild(copyOf(node->child(i)));
    return copy;
}

bool isUnder(const QTreeWidgetItem* node, const QTreeWidgetItem* ancestor) {
    for (const QTreeWidgetItem* p = node; p; p = p->parent())
        if (p == ancestor)
            return true;
    return false;
}

QList<QTreeWidgetItem*> topLevel(QTreeWidget* tree) {
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        items << tree->topLevelItem(i);
    return items;
}

void addMenu(QListWidget* list) {
    auto* menu = new QMenu(list);
    menu->setObjectName(QStringLiteral("ppMenu"));
    auto markAll = [list](Qt::CheckState state) {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(state);
    };
    menu->addAction(QStringLiteral("&Выделить все"), list, [markAll] { markAll(Qt::Checked); });
    menu->addAction(QStringLiteral("&Сбросить все"), list, [markAll] { markAll(Qt::Unchecked); });
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [menu, list](const QPoint& at) { menu->popup(list->mapToGlobal(at)); });
}

QVariant valueOf(TMemoryData& record, const char* name) {
    const TField* field = record.findField(QString::fromLatin1(name));
    return field ? field->value() : QVariant();
}

} // namespace

TfrTariff::TfrTariff(QWidget* parent)
    : TFrExtraAbstract(parent), FMiTypesTree(std::make_unique<TATreeDataCollection>()) {
    setObjectName(QStringLiteral("frTariff"));
    setWindowTitle(QStringLiteral("Расценка"));
    auto* params = new QGroupBox(QStringLiteral(" Параметры расценки "), this);
    auto* form = new QFormLayout(params);
    DBEdit1 = new QLineEdit(params);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit2 = new QLineEdit(params);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBDateEdit1 = new QLineEdit(params);
    DBDateEdit1->setObjectName(QStringLiteral("DBDateEdit1"));
    DBDateEdit1->setPlaceholderText(QStringLiteral("ДД.ММ.ГГГГ"));
    DBCheckBox1 = new QCheckBox(QStringLiteral("Расценка действительна"), params);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    form->addRow(QStringLiteral("Наименование*"), DBEdit1);
    form->addRow(QStringLiteral("Стоимость без НДС*"), DBEdit2);
    form->addRow(QStringLiteral("Дата введения*"), DBDateEdit1);
    form->addRow(QString(), DBCheckBox1);

    auto* kinds = new QGroupBox(QStringLiteral(" Список видов МО к которым относится расценка "), this);
    lvVrfType = new QListWidget(kinds);
    lvVrfType->setObjectName(QStringLiteral("lvVrfType"));
    (new QVBoxLayout(kinds))->addWidget(lvVrfType);

    auto* types = new QGroupBox(QStringLiteral(" Список типов СИ к которым относится расценка "), this);
    tvAllTree = new QTreeWidget(types);
    tvAllTree->setObjectName(QStringLiteral("tvAllTree"));
    tvAllTree->setHeaderLabels({QStringLiteral(" Все типы СИ ")});
    tvAllTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvSelTree = new QTreeWidget(types);
    tvSelTree->setObjectName(QStringLiteral("tvSelTree"));
    tvSelTree->setHeaderLabels({QStringLiteral(" Выбранные типы СИ ")});
    tvSelTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    btSel = new QPushButton(QStringLiteral(">"), types);
    btSelAll = new QPushButton(QStringLiteral(">>"), types);
    btDelAll = new QPushButton(QStringLiteral("<<"), types);
    btDel = new QPushButton(QStringLiteral("<"), types);
    auto* centre = new QVBoxLayout;
    centre->addStretch();
    for (QPushButton* b : {btSel, btSelAll, btDelAll, btDel})
        centre->addWidget(b);
    centre->addStretch();
    auto* typesLayout = new QHBoxLayout(types);
    typesLayout->addWidget(tvAllTree, 1);
    typesLayout->addLayout(centre);
    typesLayout->addWidget(tvSelTree, 1);

    auto* orgs =
        new QGroupBox(QStringLiteral(" Список организаций-поверителей к которым относится расценка "), this);
    lvVrfOgr = new QListWidget(orgs);
    lvVrfOgr->setObjectName(QStringLiteral("lvVrfOgr"));
    (new QVBoxLayout(orgs))->addWidget(lvVrfOgr);
    addMenu(lvVrfType);
    addMenu(lvVrfOgr);

    auto* buttons =
        TEditorButtons::row(this, btOk, QStringLiteral("btOk"), CanselBtn, QStringLiteral("CanselBtn"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(kinds, 1);
    lists->addWidget(orgs, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addLayout(lists, 1);
    layout->addWidget(types, 2);
    layout->addLayout(buttons);
    resize(760, 680);
    connect(btSel, &QPushButton::clicked, this, &TfrTariff::btSelClick);
    connect(btSelAll, &QPushButton::clicked, this, &TfrTariff::btSelAllClick);
    connect(btDelAll, &QPushButton::clicked, this, &TfrTariff::btDelAllClick);
    connect(btDel, &QPushButton::clicked, this, &TfrTariff::btDelClick);
    connect(btOk, &QPushButton::clicked, this, &TfrTariff::btOkClick);
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TfrTariff::~TfrTariff() = default;

void TfrTariff::fillChecks(QListWidget* list, const QString& sql, const QString& chosenSql) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TMemoryData rows;
    db->loadQuery(rows, sql);
    list->clear();
    for (rows.first(); !rows.eof(); rows.next()) {
        auto* item = new QListWidgetItem(rows.field(1)->asString(), list);
        item->setData(IdRole, rows.field(0)->asInteger());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    TMemoryData chosen;
    db->loadQuery(chosen, chosenSql);
    for (chosen.first(); !chosen.eof(); chosen.next()) {
        const int id = chosen.field(0)->asInteger();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(IdRole).toInt() == id)
                list->item(i)->setCheckState(Qt::Checked);
    }
}

void TfrTariff::LoadRecord(TMemoryData& record, bool firstShow) {
    FRecord = &record;
    FTariffId = valueOf(record, "id").toInt();
    DBEdit1->setText(valueOf(record, "fname").toString());
    if (const TField* price = record.findField(QStringLiteral("TariffHistory.Price")))
        DBEdit2->setText(price->displayText());
    if (const TField* date = record.findField(QStringLiteral("TariffHistory.TariffDate")))
        DBDateEdit1->setText(date->displayText());
    DBCheckBox1->setChecked(valueOf(record, "Status").toString().trimmed() != QLatin1String("-"));
    if (!firstShow)
        return;
    FOrigPrice = valueOf(record, "TariffHistory.Price");
    FOrigDate = valueOf(record, "TariffHistory.TariffDate");
    const QString tariff = QString::number(FTariffId);
    fillChecks(lvVrfType, QStringLiteral("SELECT id,fName FROM VrfType Order By FName"),
               QStringLiteral("SELECT VrfTypeId FROM TariffVrfType where TariffId=") + tariff);
    tvAllTree->clear();
    tvSelTree->clear();
    m_allNodes.clear();
    FMiTypesTree = std::make_unique<TATreeDataCollection>();
    if (!FMiTypesTree->loadBook(installPath() + QStringLiteral("BusinessData\\ReferenceBooks\\tMiTypes.xml"),
                                true))
        errorBox(QStringLiteral("Ошибка при загрузке справочника типов СИ."));
    if (TATreeDataCollectionItem* book =
            FMiTypesTree->root() ? FMiTypesTree->root()->firstChild() : nullptr) {
        AllTreeSink sink(tvAllTree, m_allNodes);
        FMiTypesTree->fillTreeView(book, sink, nullptr, true);
    }
    tvAllTree->sortItems(0, Qt::AscendingOrder);
    TMemoryData chosenTypes;
    TDbUtilsClass::getInstance()->loadQuery(
        chosenTypes, QStringLiteral("SELECT MITypeId FROM TarifftMiTypes where TariffId=") + tariff);
    for (chosenTypes.first(); !chosenTypes.eof(); chosenTypes.next())
        if (QTreeWidgetItem* node = allNode(chosenTypes.field(0)->asInteger()))
            copyToSelection(node);
    tvSelTree->sortItems(0, Qt::AscendingOrder);
    fillChecks(lvVrfOgr, QStringLiteral("SELECT id, sName FROM VrfOrg Order By sName"),
               QStringLiteral("SELECT VrfOrgId FROM TariffVrfOrg where TariffId=") + tariff);
    if (FTariffId == 0)
        DBCheckBox1->setChecked(true);
}

bool TfrTariff::isMarked(QTreeWidgetItem* node) const {
    return node && node->data(0, MarkRole).toBool();
}

void TfrTariff::setMarked(QTreeWidgetItem* node, bool marked, bool withSubtree) {
    node->setData(0, MarkRole, marked);
    node->setForeground(0, marked ? QBrush(markedColour) : QBrush());
    if (withSubtree)
        for (int i = 0; i < node->childCount(); ++i)
            setMarked(node->child(i), marked, true);
}

void TfrTariff::copyToSelection(QTreeWidgetItem* node) {
    tvSelTree->addTopLevelItem(copyOf(node));
    setMarked(node, true, true);
}

void TfrTariff::btSelClick() {
    const QList<QTreeWidgetItem*> selected = tvAllTree->selectedItems();
    // A group replaces the types and groups below it that were chosen one by one.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        for (QTreeWidgetItem* top : topLevel(tvSelTree)) {
            QTreeWidgetItem* bound = allNode(top->data(0, IdRole).toInt());
            if (bound && isUnder(bound, *it) && !isMarked(*it))
                delete top;
        }
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (!isMarked(*it))
            copyToSelection(*it);
    tvSelTree->sortItems(0, Qt::AscendingOrder);
}

void TfrTariff::btSelAllClick() {
    tvSelTree->clear();
    for (QTreeWidgetItem* top : topLevel(tvAllTree))
        copyToSelection(top);
    tvSelTree->sortItems(0, Qt::AscendingOrder);
}

void TfrTariff::btDelAllClick() {
    tvSelTree->clear();
    for (QTreeWidgetItem* top : topLevel(tvAllTree))
        setMarked(top, false, true);
}

void TfrTariff::btDelClick() {
    QList<QTreeWidgetItem*> selected = tvSelTree->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* s = tvSelTree->currentItem() && selected.contains(tvSelTree->currentItem())
                             ? tvSelTree->currentItem()
                             : selected.first();
    QTreeWidgetItem* bound = allNode(s->data(0, IdRole).toInt());
    QTreeWidgetItem* p = bound ? bound->parent() : nullptr;
    QTreeWidgetItem* q = s->parent();
    if (bound)
        setMarked(bound, false, true);
    selected.removeAll(s);
    delete s;
    for (QTreeWidgetItem* other : selected) {
        if (QTreeWidgetItem* b = allNode(other->data(0, IdRole).toInt()))
            setMarked(b, false, true);
        delete other;
    }
    // A group no longer chosen as a whole: its remaining members stay chosen one by one.
    for (QTreeWidgetItem* a = p; a; a = a->parent())
        setMarked(a, false, false);
    while (q) {
        QTreeWidgetItem* parent = q->parent();
        const QList<QTreeWidgetItem*> children = q->takeChildren();
        tvSelTree->addTopLevelItems(children);
        delete q;
        q = parent;
    }
    tvSelTree->sortItems(0, Qt::AscendingOrder);
}

QList<qint32> TfrTariff::ticked(QListWidget* list) {
    QList<qint32> ids;
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->item(i)->checkState() == Qt::Checked)
            ids << list->item(i)->data(IdRole).toInt();
    return ids;
}

void TfrTariff::btOkClick() {
    if (!FRecord || !FRecord->isEditing()) {
        accept();
        return;
    }
    if (ticked(lvVrfType).isEmpty()) {
        errorBox(QStringLiteral("Должен быть выбран хотя бы один Вид МО"));
        lvVrfType->setFocus();
        return;
    }
    if (!writeRecord([&] {
            if (TField* name = FRecord->findField(QStringLiteral("fname")))
                name->setText(DBEdit1->text());
            if (TField* price = FRecord->findField(QStringLiteral("TariffHistory.Price")))
                price->setText(DBEdit2->text());
            if (TField* date = FRecord->findField(QStringLiteral("TariffHistory.TariffDate")))
                date->setText(DBDateEdit1->text());
            if (TField* status = FRecord->findField(QStringLiteral("Status")))
                status->setValue(DBCheckBox1->isChecked() ? QStringLiteral("+") : QStringLiteral("-"));
        }))
        return;
    accept();
}

bool TfrTariff::AfterSave(TATreeDataCollectionItem* /*nodeData*/) {
    if (FTariffId < 1)
        FTariffId = FRecord->fieldByName(QStringLiteral("id"))->asInteger();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString tariff = QString::number(FTariffId);
    QStringList list;
    db->fieldAssignments(list, *FRecord, QString(), true);
    TDbUtilsClass::removeNames(list, QStringLiteral("TariffHistory.TariffId"));
    list << QStringLiteral("TariffHistory.TariffId=") + tariff;
    const QVariant price = valueOf(*FRecord, "TariffHistory.Price");
    const QVariant date = valueOf(*FRecord, "TariffHistory.TariffDate");
    const bool noHistory = !FOrigPrice.isValid() || FOrigPrice.isNull();
    if (noHistory || (price != FOrigPrice && date != FOrigDate)) {
        db->runSQL(db->buildWriteSQL(list, QStringLiteral("TariffHistory"), QStringLiteral("TariffHistory"),
                                     QString(), QString(), true));
    } else {
        // The price or the date stays: the history row of the remembered date is corrected.
        db->runSQL(db->buildWriteSQL(list, QStringLiteral("TariffHistory"), QStringLiteral("TariffHistory"),
                                     QStringLiteral("TariffId"), tariff, false) +
                   QStringLiteral(" AND TariffDate=") + db->dateLiteral(FOrigDate.toDateTime()));
    }
    // One batch a table: SQL Server ends its statements at the line breaks, PostgreSQL at ";".
    const QString end = db->statementEnd();
    auto saveLinks = [&](const QString& table, const QString& column, const QList<qint32>& ids) {
        QStringList statements{QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE TariffId=") +
                               tariff + end};
        for (const qint32 id : ids)
            statements << QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (TariffId, ") + column +
                              QStringLiteral(") VALUES(") + tariff + QLatin1Char(',') + QString::number(id) +
                              QLatin1Char(')') + end;
        db->runSQL(statements);
    };
    saveLinks(QStringLiteral("TariffVrfType"), QStringLiteral("VrfTypeId"), ticked(lvVrfType));
    saveLinks(QStringLiteral("TariffVrfOrg"), QStringLiteral("VrfOrgId"), ticked(lvVrfOgr));
    QList<qint32> types;
    for (QTreeWidgetItem* top : topLevel(tvSelTree))
        types << top->data(0, IdRole).toInt();
    saveLinks(QStringLiteral("TarifftMITypes"), QStringLiteral("MITypeId"), types);
    return true;
}
