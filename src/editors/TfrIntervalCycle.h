#pragma once

#include "TFrExtraAbstract.h"
#include "TMemoryData.h"

#include <vector>

class QLineEdit;
class QPushButton;
class TDBGrid;
class TDBNavigator;

// "Ремонтные циклы": the cycles of one stored interval and the steps of each, edited in two grids
// and kept in memory until AfterSave writes them inside the main window's transaction. New rows
// carry negative temporary ids until then.
class TfrIntervalCycle : public TFrExtraAbstract {
    Q_OBJECT

public:
    explicit TfrIntervalCycle(QWidget* parent = nullptr);

    void LoadRecord(TMemoryData& record, bool firstShow) override;
    bool AfterSave(TATreeDataCollectionItem* nodeData) override;

    QLineEdit* dbedInterval;
    TMemoryData FCycles;
    TMemoryData FCycleItems;
    TDBGrid* IntervalCycleGrid;
    TDBGrid* IntervalCycleItemsGrid;
    TDBNavigator* cyclesNavigator;
    TDBNavigator* itemsNavigator;
    QPushButton* BitBtn1;
    QPushButton* CanselBtn;

    const std::vector<int>& deletedCycles() const { return FDeletedCycles; }

protected:
    void done(int result) override;

private:
    void installEvents();
    void ShowCycleItems();
    void prepareCycles();
    void prepareItems();
    void beforeCycleDelete();
    void copyItemToAll();
    void removeItemFromAll();
    int takeTempId() { return FNextTempId--; }

    TMemoryData* FRecord = nullptr;
    TMemoryData FAllItems;
    int FCurrentCycleId = 0;
    std::vector<int> FDeletedCycles;
    int FNextTempId = -1;
    bool FLoading = false;
};
