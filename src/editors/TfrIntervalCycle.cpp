#include "TfrIntervalCycle.h"

#include "EAbort.h"
#include "EError.h"
#include "OrtaUtils.h"
#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TDbUtilsClass.h"
#include "TGridKeys.h"
#include "TUserInteraction.h"
#include "TextHelpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Sets a flag for a scope, whatever way the scope is left.
class Loading {
public:
    explicit Loading(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Loading() { m_flag = false; }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;

private:
    bool& m_flag;
};

void require(TMemoryData& data, const char* name, const QString& label) {
    if (TField* field = data.findField(QString::fromLatin1(name))) {
        field->required = true;
        field->setDisplayLabel(label);
    }
}

// A grid with its own navigator for adding, deleting, editing and posting rows.
TDBGrid* gridWithNavigator(TMemoryData* data, const QString& name, QWidget* parent,
                           TDBNavigator*& navigator) {
    auto* grid = new TDBGrid(data, parent);
    grid->setObjectName(name);
    navigator = new TDBNavigator(data, parent);
    navigator->setVisibleButtons({TDBNavigator::nbInsert, TDBNavigator::nbDelete, TDBNavigator::nbEdit,
                                  TDBNavigator::nbPost, TDBNavigator::nbCancel});
    new TGridKeys(grid, navigator);
    return grid;
}

} // namespace

TfrIntervalCycle::TfrIntervalCycle(QWidget* parent) : TFrExtraAbstract(parent) {
    setObjectName(QStringLiteral("frIntervalCycle"));
    setWindowTitle(QStringLiteral("Ремонтные циклы"));
    dbedInterval = new QLineEdit(this);
    dbedInterval->setObjectName(QStringLiteral("dbedInterval"));
    dbedInterval->setReadOnly(true);
    FCycles.setObjectName(QStringLiteral("FCycles"));
    FCycleItems.setObjectName(QStringLiteral("FCycleItems"));
    IntervalCycleGrid =
        gridWithNavigator(&FCycles, QStringLiteral("IntervalCycleGrid"), this, cyclesNavigator);
    IntervalCycleItemsGrid =
        gridWithNavigator(&FCycleItems, QStringLiteral("IntervalCycleItemsGrid"), this, itemsNavigator);
    BitBtn1 = new QPushButton(QStringLiteral("Применить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    CanselBtn = new QPushButton(QStringLiteral("Отменить"), this);
    CanselBtn->setObjectName(QStringLiteral("CanselBtn"));
    auto* interval = new QFormLayout;
    interval->addRow(QStringLiteral("Межповерочный (межремонтный) интервал"), dbedInterval);
    auto* grids = new QHBoxLayout;
    auto* cycles = new QVBoxLayout;
    cycles->addWidget(IntervalCycleGrid, 1);
    cycles->addWidget(cyclesNavigator);
    auto* items = new QVBoxLayout;
    items->addWidget(IntervalCycleItemsGrid, 1);
    items->addWidget(itemsNavigator);
    grids->addLayout(cycles, 1);
    grids->addLayout(items, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(CanselBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(interval);
    layout->addLayout(grids, 1);
    layout->addLayout(buttons);
    resize(760, 460);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        // Leaving the grids posts what is being typed in them.
        if (FCycles.isEditing())
            FCycles.post();
        if (FCycleItems.active() && FCycleItems.isEditing())
            FCycleItems.post();
        accept();
    });
    connect(CanselBtn, &QPushButton::clicked, this, &QDialog::reject);
    installEvents();
}

void TfrIntervalCycle::installEvents() {
    TDataSetEvents& cycles = FCycles.events();
    cycles.afterScroll = [this](TMemoryData&) {
        if (!FLoading)
            ShowCycleItems();
    };
    cycles.afterInsert = [this](TMemoryData& data) {
        if (FLoading)
            return;
        data.fieldByName(QStringLiteral("id"))->setValue(takeTempId());
        data.fieldByName(QStringLiteral("IntervalID"))
            ->setValue(FRecord->fieldByName(QStringLiteral("id"))->value());
    };
    cycles.beforePost = [this](TMemoryData& data) {
        if (!FLoading && !checkRequiredFields(data))
            throw EAbort();
    };
    cycles.afterPost = [this](TMemoryData&) {
        if (!FLoading)
            ShowCycleItems();
    };
    cycles.beforeDelete = [this](TMemoryData&) {
        if (!FLoading)
            beforeCycleDelete();
    };
    cycles.afterDelete = [this](TMemoryData&) {
        if (!FLoading)
            ShowCycleItems();
    };
    TDataSetEvents& items = FCycleItems.events();
    items.afterInsert = [this](TMemoryData& data) {
        if (FLoading)
            return;
        data.fieldByName(QStringLiteral("id"))->setValue(takeTempId());
        data.fieldByName(QStringLiteral("IntervalCycleID"))->setValue(FCurrentCycleId);
    };
    items.beforePost = [this](TMemoryData& data) {
        if (!FLoading && !checkRequiredFields(data))
            throw EAbort();
    };
    items.afterPost = [this](TMemoryData&) {
        if (!FLoading)
            copyItemToAll();
    };
    items.beforeDelete = [this](TMemoryData&) {
        if (FLoading)
            return;
        if (warningBox(QStringLiteral("Вы действительно хотите удалить запись?"), TMsgButtons::YesNo) !=
            TMsgResult::Yes)
            throw EAbort();
        removeItemFromAll();
    };
}

void TfrIntervalCycle::prepareCycles() {
    require(FCycles, "Description", QStringLiteral("Цикл"));
    for (int i = 0; i < FCycles.fieldCount(); ++i)
        IntervalCycleGrid->setColumnHidden(
            i, !sameText(FCycles.field(i)->fieldName(), QStringLiteral("Description")));
}

void TfrIntervalCycle::prepareItems() {
    require(FCycleItems, "Period", QStringLiteral("Период"));
    require(FCycleItems, "Name", QStringLiteral("Название"));
    for (int i = 0; i < FCycleItems.fieldCount(); ++i) {
        const QString name = FCycleItems.field(i)->fieldName();
        IntervalCycleItemsGrid->setColumnHidden(i, !sameText(name, QStringLiteral("Period")) &&
                                                       !sameText(name, QStringLiteral("Name")));
    }
}

void TfrIntervalCycle::LoadRecord(TMemoryData& record, bool firstShow) {
    if (record.state() != TDataSetState::Edit)
        throw EError(QStringLiteral("Можно только редактировать записи IntervalRef!"));
    dbedInterval->setText(record.fieldByName(QStringLiteral("fname"))->asString());
    FRecord = &record;
    if (!firstShow)
        return; // everything entered so far stays
    FDeletedCycles.clear();
    const QString interval = record.fieldByName(QStringLiteral("id"))->asString();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    {
        const Loading loading(FLoading);
        db->loadQuery(
            FCycles,
            QStringLiteral("SELECT id, IntervalID, Description FROM IntervalCycle where IntervalID=") +
                interval);
        prepareCycles();
        db->loadQuery(FAllItems,
                      QStringLiteral("SELECT ici.* FROM IntervalCycleItems ici INNER JOIN IntervalCycle ic "
                                     "ON ici.IntervalCycleID = ic.id where ic.IntervalID=") +
                          interval + QStringLiteral(" ORDER BY ici.IntervalCycleID"));
        // The steps' own set has the columns of every step, empty.
        db->loadQuery(FCycleItems, db->withoutRows(QStringLiteral("SELECT * FROM IntervalCycleItems")));
        prepareItems();
    }
    FCycles.first();
    ShowCycleItems();
}

void TfrIntervalCycle::ShowCycleItems() {
    const Loading loading(FLoading);
    FCycleItems.emptyTable();
    const bool noCycle = FCycles.isEmpty();
    IntervalCycleItemsGrid->setEnabled(!noCycle);
    itemsNavigator->setEnabled(!noCycle);
    if (noCycle)
        return;
    FCurrentCycleId = FCycles.fieldByName(QStringLiteral("id"))->asInteger();
    const TField* cycle = FAllItems.fieldByName(QStringLiteral("IntervalCycleID"));
    for (int recNo = 1; recNo <= FAllItems.recordCount(); ++recNo) {
        if (FAllItems.valueAt(recNo, cycle).toInt() != FCurrentCycleId)
            continue;
        QVariantList values;
        for (int i = 0; i < FCycleItems.fieldCount(); ++i) {
            const TField* source = FAllItems.findField(FCycleItems.field(i)->fieldName());
            values << (source ? FAllItems.valueAt(recNo, source) : QVariant());
        }
        FCycleItems.appendRecord(values);
    }
    FCycleItems.first();
}

void TfrIntervalCycle::copyItemToAll() {
    const QVariant id = FCycleItems.fieldByName(QStringLiteral("id"))->value();
    if (FAllItems.locate(QStringLiteral("id"), id))
        FAllItems.edit();
    else
        FAllItems.append();
    for (int i = 0; i < FCycleItems.fieldCount(); ++i) {
        if (TField* target = FAllItems.findField(FCycleItems.field(i)->fieldName()))
            target->setValue(FCycleItems.field(i)->value());
    }
    FAllItems.post();
}

void TfrIntervalCycle::removeItemFromAll() {
    if (FAllItems.locate(QStringLiteral("id"), FCycleItems.fieldByName(QStringLiteral("id"))->value()))
        FAllItems.deleteRecord();
}

void TfrIntervalCycle::beforeCycleDelete() {
    if (warningBox(QStringLiteral("Вы действительно хотите удалить запись?"), TMsgButtons::YesNo) !=
        TMsgResult::Yes)
        throw EAbort();
    const int id = FCycles.fieldByName(QStringLiteral("id"))->asInteger();
    if (id <= 0)
        return; // a new cycle is simply dropped
    const QString text = QString::number(id);
    bool referenced = false;
    try {
        referenced =
            !TDbUtilsClass::getInstance()
                 ->openQuery(
                     QStringLiteral("select 1 where exists (  select id from IntervalCycle IC  inner "
                                    "join passport PS On IC.id=PS.VrfIntervalCycle where IC.id=") +
                     text + QStringLiteral(" ) or") + QStringLiteral(" exists ( ") +
                     QStringLiteral(" select id from IntervalCycle IC ") +
                     QStringLiteral(" inner join passportTP PS On IC.id=PS.VrfIntervalCycle where IC.id=") +
                     text + QStringLiteral(" ) "))
                 ->isEmpty();
    } catch (const std::exception& e) {
        errorBoxWith(QStringLiteral("Ошибка удаления записи, не удалось проверить ссылки на данную запись."),
                     e);
        throw EAbort();
    }
    if (referenced) {
        errorBox(QStringLiteral("Невозможно удалить данную запись, существуют паспорта ссылающиеся на нее?"));
        throw EAbort();
    }
    FDeletedCycles.push_back(id);
}

bool TfrIntervalCycle::AfterSave(TATreeDataCollectionItem* /*nodeData*/) {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    for (auto it = FDeletedCycles.rbegin(); it != FDeletedCycles.rend(); ++it)
        db->runSQL(QStringLiteral("DELETE FROM IntervalCycle WHERE ID=") + QString::number(*it));
    const Loading loading(FLoading);
    const TField* cycleOfItem = FAllItems.fieldByName(QStringLiteral("IntervalCycleID"));
    for (int c = 1; c <= FCycles.recordCount(); ++c) {
        FCycles.setRecNo(c);
        const int id = FCycles.fieldByName(QStringLiteral("id"))->asInteger();
        QStringList list;
        db->fieldAssignments(list, FCycles, QStringLiteral("id"), true);
        int written = id;
        if (id > 0) {
            db->runSQL(db->buildWriteSQL(list, QString(), QStringLiteral("IntervalCycle"),
                                         QStringLiteral("id"), QString::number(id), false));
            db->runSQL(QStringLiteral("DELETE FROM IntervalCycleItems where IntervalCycleID=") +
                       QString::number(id));
        } else {
            // The INSERT and SCOPE_IDENTITY() travel together: on SQL Server a scope is a batch.
            written = db->insertReturningIdentity(
                {db->buildWriteSQL(list, QString(), QStringLiteral("IntervalCycle"), QString(), QString(),
                                   true)},
                QStringLiteral("id"));
        }
        for (int recNo = 1; recNo <= FAllItems.recordCount(); ++recNo) {
            if (FAllItems.valueAt(recNo, cycleOfItem).toInt() != id)
                continue;
            FAllItems.setRecNo(recNo);
            QStringList item;
            db->fieldAssignments(item, FAllItems, QStringLiteral("id"), true);
            if (id <= 0) {
                TDbUtilsClass::removeNames(item, QStringLiteral("IntervalCycleID"));
                item << QStringLiteral("IntervalCycleID=") + QString::number(written);
            }
            db->runSQL(db->buildWriteSQL(item, QString(), QStringLiteral("IntervalCycleItems"), QString(),
                                         QString(), true));
        }
    }
    return true;
}

void TfrIntervalCycle::done(int result) {
    if (result != QDialog::Accepted) {
        FCycles.close();
        FCycleItems.close();
    }
    TFrExtraAbstract::done(result);
}
