#include "TRowPermissionPage.h"

#include "EOrtaException.h"
#include "TControlStringgrid.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TPermissionCollection.h"
#include "TUser.h"
#include "TUserInteraction.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTreeWidget>

namespace {

constexpr TActionSet AllLetters = TActions::bit('a') * ((TActionSet(1) << 26) - 1);

void showError(const QString& text) {
    TUserInteraction::instance().messageBox(text, TMessageKind::Error, TMsgButtons::Ok);
}

QString withMessage(const char* format, const std::exception& e) {
    return QString::fromUtf8(format).replace(QStringLiteral("%s"), QString::fromUtf8(e.what()));
}

const char* const BookFailure = "Не удалось получить сведения о справочнике\n\r\n\r%s";

} // namespace

TRowPermissionPage::TRowPermissionPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    DinamoTree = new QTreeWidget(splitter);
    DinamoTree->setObjectName(QStringLiteral("DinamoTree"));
    DinamoTree->setHeaderHidden(true);
    Grid = new TControlStringgrid(splitter);
    Grid->setObjectName(QStringLiteral("sgDinamo"));
    Grid->FixedTextCols = 2;
    Grid->setFixedRows(2);
    Grid->AutoSize = false;
    Grid->OnToggle = [this](TControlStringgrid&, int col, int row) {
        cellToggled(col, row);
    };
    Grid->installEventFilter(this);
    splitter->addWidget(DinamoTree);
    splitter->addWidget(Grid);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 520});
    layout->addWidget(splitter);
    connect(DinamoTree, &QTreeWidget::currentItemChanged, this, &TRowPermissionPage::selectionChanged);
    Clear();
}

TActionSet TRowPermissionPage::actionsOf(const QTreeWidgetItem* node) {
    return node->data(0, ActionsRole).toUInt();
}

TActionSet TRowPermissionPage::mixedOf(const QTreeWidgetItem* node) {
    return node->data(0, MixedRole).toUInt();
}

void TRowPermissionPage::setActions(QTreeWidgetItem* node, TActionSet actions) {
    node->setData(0, ActionsRole, actions);
}

void TRowPermissionPage::setMixed(QTreeWidgetItem* node, TActionSet mixed) {
    node->setData(0, MixedRole, mixed);
}

char TRowPermissionPage::letterOf(const QString& actionCode) {
    return actionCode.isEmpty() ? '\0' : actionCode.at(0).toLower().toLatin1();
}

void TRowPermissionPage::Clear() {
    const QSignalBlocker quiet(DinamoTree);
    DinamoTree->clear();
    m_entries.clear();
    m_constraints.clear();
    m_shownTable = -1;
    Grid->setColCount(2);
    Grid->setRowCount(3);
    Grid->setCell(1, 1, QStringLiteral("имя"));
    Grid->setCell(1, 2, QString());
}

bool TRowPermissionPage::loadTables() {
    try {
        std::unique_ptr<TDbQuery> tables = TDbUtilsClass::getInstance()->openQuery(
            QStringLiteral("SELECT id, tablename, name FROM tDynamicPermissions ORDER by 2"));
        for (; !tables->eof(); tables->next())
            m_entries.push_back(
                {tables->value(0).toInt(), tables->value(1).toString().mid(5), tables->value(2).toString()});
        return true;
    } catch (const std::exception& e) {
        showError(withMessage("Не удалось получить сведения о динамических разрешениях роли.\n\r\n\r%s", e));
        m_entries.clear();
        return false;
    }
}

bool TRowPermissionPage::loadConstraints() {
    try {
        std::unique_ptr<TDbQuery> rows = TDbUtilsClass::getInstance()->openQuery(QStringLiteral(
            "select AC.DynPermsId, PA.name as Act, AC.Oper1, PA1.name as ResAct,AC.Oper2 from "
            "ActionConstraints AC "
            "inner join PermissionActions PA on AC.ActId=PA.id inner join PermissionActions PA1 on "
            "AC.ResActId=PA1.id order by 1,2,3"));
        for (; !rows->eof(); rows->next())
            m_constraints.push_back({rows->value(0).toInt(), rows->value(1).toString(),
                                     rows->value(2).toString(), rows->value(3).toString(),
                                     rows->value(4).toString()});
        return true;
    } catch (const std::exception& e) {
        showError(withMessage("Не удалось получить сведения о динамических разрешениях роли.\n\r\n\r%s", e));
        return false;
    }
}

void TRowPermissionPage::Fill(TPermissionCollection* collection) {
    TBusyCursor busy;
    Clear();
    m_collection = collection;
    const QSignalBlocker quiet(DinamoTree);
    if (!loadTables() || (!m_entries.empty() && !loadConstraints()))
        return;
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    QHash<QString, QTreeWidgetItem*> firstOfBook;
    std::vector<QTreeWidgetItem*> tops;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        const QString bookKey = entry.bookTable.toLower();
        int kind = Flat;
        if (const auto first = firstOfBook.constFind(bookKey); first != firstOfBook.cend()) {
            kind = first.value()->data(0, KindRole).toInt();
        } else {
            try {
                std::unique_ptr<TDbQuery> empty =
                    db->openQuery(db->topZero(QStringLiteral("SELECT TOP 0 * FROM ") + entry.bookTable));
                kind = empty->fieldIndex(QStringLiteral("ParentId")) >= 0 ? Hierarchical : Flat;
            } catch (const std::exception&) {
                showError(
                    QStringLiteral("Ошибка связи с базой данных. Не удалось получить сведения о таблице ") +
                    entry.bookTable);
                return;
            }
        }
        auto* top = new QTreeWidgetItem(DinamoTree,
                                        {entry.displayName.isEmpty() ? entry.bookTable : entry.displayName});
        top->setData(0, RowIdRole, -1);
        top->setData(0, TableIdRole, entry.id);
        top->setData(0, EntryRole, int(i));
        top->setData(0, KindRole, kind);
        setActions(top, 0);
        setMixed(top, 0);
        if (!firstOfBook.contains(bookKey))
            firstOfBook.insert(bookKey, top);
        tops.push_back(top);
    }
    for (QTreeWidgetItem* top : tops) {
        if (top->data(0, KindRole).toInt() != Hierarchical)
            continue;
        QTreeWidgetItem* first =
            firstOfBook.value(m_entries[std::size_t(top->data(0, EntryRole).toInt())].bookTable.toLower());
        if (first == top)
            loadRecords(top, m_entries[std::size_t(top->data(0, EntryRole).toInt())].bookTable);
        else
            copyRecords(first, top);
    }
    for (QTreeWidgetItem* top : tops) {
        if (top->data(0, KindRole).toInt() != Hierarchical)
            continue;
        prepareRecords(top);
        updateTopMixed(top);
        top->setExpanded(false);
    }
    DinamoTree->sortItems(0, Qt::AscendingOrder);
}

void TRowPermissionPage::loadRecords(QTreeWidgetItem* top, const QString& bookTable) {
    struct Record {
        qint32 id;
        qint32 parentId;
        QString name;
    };
    std::vector<Record> records;
    try {
        std::unique_ptr<TDbQuery> rows =
            TDbUtilsClass::getInstance()->openQuery(QStringLiteral("Select id, ParentId, fName from ") +
                                                    bookTable + QStringLiteral(" Order By ParentId Desc"));
        for (; !rows->eof(); rows->next())
            records.push_back({rows->value(0).toInt(), rows->value(1).toInt(), rows->value(2).toString()});
    } catch (const std::exception& e) {
        showError(withMessage(BookFailure, e));
        return;
    }
    const qint32 tableId = top->data(0, TableIdRole).toInt();
    const int entry = top->data(0, EntryRole).toInt();
    auto place = [&](QTreeWidgetItem* parent, const Record& record) {
        auto* node = new QTreeWidgetItem(parent, {record.name});
        node->setData(0, RowIdRole, record.id);
        node->setData(0, TableIdRole, tableId);
        node->setData(0, EntryRole, entry);
        node->setData(0, KindRole, int(Hierarchical));
        setActions(node, 0);
        setMixed(node, 0);
        return node;
    };
    QHash<qint32, QTreeWidgetItem*> placed;
    for (auto i = records.size(); i-- > 0;) {
        if (records[i].parentId == 0) {
            placed.insert(records[i].id, place(top, records[i]));
            records.erase(records.begin() + std::ptrdiff_t(i));
        }
    }
    while (!records.empty() && !placed.isEmpty()) {
        QHash<qint32, QTreeWidgetItem*> candidates;
        candidates.swap(placed);
        for (auto i = records.size(); i-- > 0;) {
            QTreeWidgetItem* parent = candidates.value(records[i].parentId);
            if (!parent)
                continue;
            placed.insert(records[i].id, place(parent, records[i]));
            records.erase(records.begin() + std::ptrdiff_t(i));
        }
    }
    if (!records.empty())
        throw EOrtaException(QStringLiteral("Ошибка заполнения дерева"));
}

void TRowPermissionPage::copyRecords(const QTreeWidgetItem* from, QTreeWidgetItem* to) {
    for (int i = 0; i < from->childCount(); ++i) {
        QTreeWidgetItem* copy = from->child(i)->clone();
        to->addChild(copy);
        // Every copied node belongs to its new top node and starts without actions.
        std::vector<QTreeWidgetItem*> pending{copy};
        while (!pending.empty()) {
            QTreeWidgetItem* node = pending.back();
            pending.pop_back();
            node->setData(0, TableIdRole, to->data(0, TableIdRole));
            node->setData(0, EntryRole, to->data(0, EntryRole));
            setActions(node, 0);
            setMixed(node, 0);
            for (int c = 0; c < node->childCount(); ++c)
                pending.push_back(node->child(c));
        }
    }
}

void TRowPermissionPage::prepareRecords(QTreeWidgetItem* top) {
    const qint32 tableId = top->data(0, TableIdRole).toInt();
    TUser* user = TUser::current();
    const bool checkRead = user && TActions::has(user->GetTableActions(tableId), 'r');
    // Children before their parent, so that children moved up have been looked at already.
    std::function<void(QTreeWidgetItem*)> visit = [&](QTreeWidgetItem* node) {
        for (int i = node->childCount() - 1; i >= 0; --i)
            visit(node->child(i));
        if (node == top)
            return;
        const qint32 rowId = node->data(0, RowIdRole).toInt();
        if (checkRead && !TActions::has(user->GetRowPermissions(tableId, rowId), 'r')) {
            QTreeWidgetItem* parent = node->parent();
            const QList<QTreeWidgetItem*> children = node->takeChildren();
            parent->addChildren(children);
            delete node;
            return;
        }
        const TPermissionItem* item = m_collection ? m_collection->FindItem(tableId, rowId) : nullptr;
        setActions(node, item ? item->Actions : 0);
    };
    visit(top);
}

TActionSet TRowPermissionPage::updateMixed(QTreeWidgetItem* node) {
    const TActionSet own = actionsOf(node);
    TActionSet reported = own;
    TActionSet childrenMixed = 0;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        const TActionSet childReports = updateMixed(child);
        reported &= ~(own & ~childReports);
        reported |= childReports & ~own;
        childrenMixed |= mixedOf(child);
    }
    setMixed(node, (own ^ reported) | childrenMixed);
    return reported;
}

void TRowPermissionPage::updateTopMixed(QTreeWidgetItem* top) {
    TActionSet common = AllLetters;
    TActionSet any = 0;
    TActionSet childrenMixed = 0;
    for (int i = 0; i < top->childCount(); ++i) {
        QTreeWidgetItem* child = top->child(i);
        const TActionSet reported = updateMixed(child);
        common &= reported;
        any |= reported;
        childrenMixed |= mixedOf(child);
    }
    setMixed(top, (common ^ any) | childrenMixed);
    setActions(top, common & any);
}

QTreeWidgetItem* TRowPermissionPage::topOf(QTreeWidgetItem* node) const {
    while (node && node->parent())
        node = node->parent();
    return node;
}

void TRowPermissionPage::selectionChanged() {
    QTreeWidgetItem* node = DinamoTree->currentItem();
    if (!node) {
        Grid->setRowCount(3);
        Grid->setColCount(2);
        Grid->setCell(1, 2, QString());
        m_shownTable = -1;
        return;
    }
    const qint32 tableId = node->data(0, TableIdRole).toInt();
    if (tableId != m_shownTable) {
        m_shownTable = tableId;
        if (!rebuildActionColumns(tableId))
            return;
    }
    if (node->data(0, KindRole).toInt() == Hierarchical)
        showNode(node);
    else
        showFlatBook(node);
}

bool TRowPermissionPage::rebuildActionColumns(qint32 tableId) {
    Grid->setColCount(2);
    try {
        std::unique_ptr<TDbQuery> actions = TDbUtilsClass::getInstance()->openQuery(
            QStringLiteral(
                "Select PA.id,PA.name,PA.notes From PermissionActions PA Inner join DynPermActions DPA on "
                "PA.id=DPA.ActionId where DPA.DynPermId=") +
            QString::number(tableId) + QStringLiteral(" Order by 1"));
        for (; !actions->eof(); actions->next()) {
            const int col = Grid->colCount();
            Grid->setColCount(col + 1);
            Grid->setCell(col, 0, actions->value(1).toString());
            const QString caption = actions->value(2).toString();
            Grid->setCell(col, 1, caption);
            Grid->DefaultColWidth =
                std::max(Grid->DefaultColWidth, Grid->fontMetrics().horizontalAdvance(caption) + 5);
        }
    } catch (const std::exception& e) {
        showError(withMessage(BookFailure, e));
        return false;
    }
    for (int col = 2; col < Grid->colCount(); ++col)
        Grid->setColumnWidth(col, Grid->DefaultColWidth);
    resizeGrid();
    return true;
}

void TRowPermissionPage::showNode(QTreeWidgetItem* node) {
    Grid->setRowCount(3);
    Grid->setCell(0, 2, node->data(0, RowIdRole).toString());
    Grid->setCell(1, 2, node->text(0));
    const TActionSet actions = actionsOf(node);
    const TActionSet mixed = mixedOf(node);
    for (int col = 2; col < Grid->colCount(); ++col) {
        const char letter = letterOf(Grid->cell(col, 0));
        Grid->SetChecked(col, 2, TActions::has(actions, letter));
        Grid->SetGrayed(col, 2, !TActions::has(mixed, letter));
    }
}

void TRowPermissionPage::showFlatBook(QTreeWidgetItem* node) {
    const qint32 tableId = node->data(0, TableIdRole).toInt();
    const Entry& entry = m_entries[std::size_t(node->data(0, EntryRole).toInt())];
    std::unique_ptr<TDbQuery> records;
    try {
        records = TDbUtilsClass::getInstance()->openQuery(QStringLiteral("Select * From ") + entry.bookTable +
                                                          QStringLiteral(" Order BY fname"));
    } catch (const std::exception& e) {
        showError(withMessage(BookFailure, e));
        return;
    }
    Grid->setRowCount(3);
    for (int col = 0; col < Grid->colCount(); ++col) {
        Grid->setState(col, 2, TControlStringgrid::NoBox);
        Grid->setCell(col, 2, QString());
    }
    TUser* user = TUser::current();
    const bool checkRead = user && TActions::has(user->GetTableActions(tableId), 'r');
    const int idField = records->fieldIndex(QStringLiteral("Id"));
    const int nameField = records->fieldIndex(QStringLiteral("fName"));
    int row = 2;
    for (; !records->eof(); records->next()) {
        const qint32 id = records->value(idField).toInt();
        if (checkRead && !TActions::has(user->GetRowPermissions(tableId, id), 'r'))
            continue;
        if (row >= Grid->rowCount())
            Grid->setRowCount(row + 1);
        Grid->setCell(0, row, QString::number(id));
        Grid->setCell(1, row, records->value(nameField).toString());
        const TPermissionItem* item = m_collection ? m_collection->FindItem(tableId, id) : nullptr;
        const TActionSet actions = item ? item->Actions : 0;
        for (int col = 2; col < Grid->colCount(); ++col)
            Grid->SetChecked(col, row, TActions::has(actions, letterOf(Grid->cell(col, 0))));
        ++row;
    }
}

bool TRowPermissionPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Grid && event->type() == QEvent::Resize)
        resizeGrid();
    return QWidget::eventFilter(watched, event);
}

void TRowPermissionPage::resizeGrid() {
    const int actions = Grid->colCount() - 2;
    const int width = Grid->viewport()->width();
    Grid->AutoSize = width >= Grid->DefaultColWidth * actions + 190;
    Grid->setColumnWidth(1, std::max(width - Grid->DefaultColWidth * actions - 10, 200));
    Grid->layoutColumns();
}

void TRowPermissionPage::cellToggled(int col, int row) {
    QTreeWidgetItem* node = DinamoTree->currentItem();
    if (!node || row < 2 || col < 2)
        return;
    const qint32 tableId = node->data(0, TableIdRole).toInt();
    const QString action = Grid->cell(col, 0);
    TActionSet added = 0;
    TActionSet removed = 0;
    const bool ticked = Grid->IsChecked(col, row);
    (ticked ? added : removed) |= TActions::bit(letterOf(action));
    const QString sign = ticked ? QStringLiteral("+") : QStringLiteral("-");
    auto rule = std::find_if(m_constraints.cbegin(), m_constraints.cend(), [&](const Constraint& c) {
        return c.tableId == tableId && c.action == action && c.sign == sign;
    });
    for (; rule != m_constraints.cend() && rule->tableId == tableId && rule->action == action &&
           rule->sign == sign;
         ++rule) {
        for (int target = Grid->colCount() - 1; target >= 2; --target) {
            if (Grid->cell(target, 0) != rule->resultAction)
                continue;
            const bool set = rule->resultSign == QStringLiteral("+");
            Grid->SetChecked(target, row, set);
            (set ? added : removed) |= TActions::bit(letterOf(rule->resultAction));
            break;
        }
    }
    if (node->data(0, KindRole).toInt() == Hierarchical) {
        std::vector<QTreeWidgetItem*> pending{node};
        while (!pending.empty()) {
            QTreeWidgetItem* current = pending.back();
            pending.pop_back();
            setActions(current, (actionsOf(current) | added) & ~removed);
            for (int i = 0; i < current->childCount(); ++i)
                pending.push_back(current->child(i));
        }
        updateTopMixed(topOf(node));
        return;
    }
    if (!m_collection)
        return;
    const qint32 rowId = Grid->cell(0, row).toInt();
    const TPermissionItem* item = m_collection->FindItem(tableId, rowId);
    TActionSet actions = item ? item->Actions : 0;
    for (int c = 2; c < Grid->colCount(); ++c) {
        const TActionSet bit = TActions::bit(letterOf(Grid->cell(c, 0)));
        actions = Grid->IsChecked(c, row) ? actions | bit : actions & ~bit;
    }
    m_collection->SetPermission(tableId, rowId, actions);
}

void TRowPermissionPage::Apply() {
    if (!m_collection)
        return;
    for (int i = 0; i < DinamoTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = DinamoTree->topLevelItem(i);
        if (top->data(0, KindRole).toInt() != Hierarchical)
            continue;
        const qint32 tableId = top->data(0, TableIdRole).toInt();
        std::vector<QTreeWidgetItem*> pending;
        for (int c = 0; c < top->childCount(); ++c)
            pending.push_back(top->child(c));
        while (!pending.empty()) {
            QTreeWidgetItem* node = pending.back();
            pending.pop_back();
            m_collection->SetPermission(tableId, node->data(0, RowIdRole).toInt(), actionsOf(node));
            for (int c = 0; c < node->childCount(); ++c)
                pending.push_back(node->child(c));
        }
    }
}
