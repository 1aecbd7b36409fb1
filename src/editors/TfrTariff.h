#pragma once

#include "TFrExtraAbstract.h"

#include <QHash>
#include <QVariant>
#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TATreeDataCollection;
class TMemoryData;

// "Расценка": a tariff's name, price from a date on (its history), validity, and what it applies to:
// verification kinds, instrument types (a group stands for everything below it) and verification
// organisations. The links and the history are written in AfterSave.
class TfrTariff : public TFrExtraAbstract {
    Q_OBJECT

public:
    explicit TfrTariff(QWidget* parent = nullptr);
    ~TfrTariff() override;

    void LoadRecord(TMemoryData& record, bool firstShow) override;
    bool AfterSave(TATreeDataCollectionItem* nodeData) override;

    QLineEdit* DBEdit1;     // fname
    QLineEdit* DBEdit2;     // TariffHistory.Price
    QLineEdit* DBDateEdit1; // TariffHistory.TariffDate
    QCheckBox* DBCheckBox1; // Status
    QListWidget* lvVrfType;
    QTreeWidget* tvAllTree;
    QTreeWidget* tvSelTree;
    QPushButton* btSel;
    QPushButton* btSelAll;
    QPushButton* btDelAll;
    QPushButton* btDel;
    QListWidget* lvVrfOgr;
    QPushButton* btOk;
    QPushButton* CanselBtn;

    bool isMarked(QTreeWidgetItem* allNode) const;
    QTreeWidgetItem* allNode(qint32 id) const { return m_allNodes.value(id); }

    void btSelClick();
    void btSelAllClick();
    void btDelClick();
    void btDelAllClick();

private:
    void btOkClick();
    void copyToSelection(QTreeWidgetItem* allNode);
    void setMarked(QTreeWidgetItem* allNode, bool marked, bool withSubtree);
    void fillChecks(QListWidget* list, const QString& sql, const QString& chosenSql);
    static QList<qint32> ticked(QListWidget* list);

    TMemoryData* FRecord = nullptr;
    qint32 FTariffId = 0;
    QVariant FOrigPrice;
    QVariant FOrigDate;
    std::unique_ptr<TATreeDataCollection> FMiTypesTree;
    QHash<qint32, QTreeWidgetItem*> m_allNodes;
};
