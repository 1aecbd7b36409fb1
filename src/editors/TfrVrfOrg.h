#pragma once

#include "TFrExtraAbstract.h"
#include "TMemoryData.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TDBGrid;
class TDBNavigator;

// "Организация-поверитель": a verification organisation's own fields on the main window's record
// and its history of VAT rates, kept in memory and written in AfterSave.
class TfrVrfOrg : public TFrExtraAbstract {
    Q_OBJECT

public:
    explicit TfrVrfOrg(QWidget* parent = nullptr);

    void LoadRecord(TMemoryData& record, bool firstShow) override;
    bool AfterSave(TATreeDataCollectionItem* nodeData) override;

    QLineEdit* DBEdit1;           // sname
    QLineEdit* DBEdit2;           // KOD
    QComboBox* DBLookupComboBox1; // OwnTesting
    QLineEdit* DBEdit3;
    QLineEdit* DBEdit4;
    QLineEdit* DBEdit5;
    QLineEdit* DBEdit6;
    QLineEdit* DBEdit7;
    QPlainTextEdit* DBMemo1;
    TMemoryData rxmdVATHistory;
    TDBGrid* DBGridEh1;
    TDBNavigator* historyNavigator;
    QPushButton* BitBtn1;
    QPushButton* CanselBtn;

private:
    void BitBtn1Click();
    void setHistoryEditing(bool on);

    TMemoryData* FRecord = nullptr;
    int FOrgId = 0;
    TMemoryData FVATList;
    bool FLoading = false;
};
