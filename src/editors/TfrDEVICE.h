#pragma once

#include "TFrExtraAbstract.h"
#include "TMemoryData.h"

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TDepartmentBox;
class TFormCodiff;
class TFormGosReestr;
class TfrATypes;

// "Информация о СИ": one device-type record held in the record set it is given. It never writes to
// the database: the main window or the instrument type editor writes the record.
class TfrDEVICE : public TFrExtraAbstract {
    Q_OBJECT

public:
    TfrDEVICE(TfrATypes& chooser, TFormGosReestr& gosReestr, TFormCodiff& codiff, QWidget* parent = nullptr);
    ~TfrDEVICE() override;

    void LoadRecord(TMemoryData& record, bool firstShow) override;

    // After OK: the texts of the type and modification boxes.
    QString ResultType;
    QString ResultMark;

    QTabWidget* PageControl1;
    QWidget* tsGeneral;
    QWidget* TabSheet2;
    QWidget* TabSheet3;
    QPushButton* btGos;
    QLineEdit* DBEdit1;  // DEVICE_NAME
    QLineEdit* DBEdit3;  // TYPE_STR
    QLineEdit* DBEdit6;  // DEVICE_MARK
    QLineEdit* DBEdit8;  // DEV_CODE
    QComboBox* DBEdit4;  // MEASURE_TYPE_CODE_ID
    QLineEdit* DBEdit16; // CODIFF, the area's two characters
    QLineEdit* DBEdit17; // CODIFF, the rest
    QPushButton* btnCodiff;
    QLineEdit* DBEdit18; // GOS_NO
    QLineEdit* DBEdit19; // LOCAL_COMMENT
    QLineEdit* DBEdit2;  // TIME_NORMA
    QLineEdit* DBEdit5;  // MASS
    QLineEdit* DBEdit7;  // PERIOD
    QLineEdit* DBEdit9;  // METHOD
    QLineEdit* DBEdit10; // ORIGINAL_PERIOD
    QLineEdit* edtDEPARTMENT;
    QPushButton* bbtSubDivs;
    QComboBox* DBComboBoxEh1; // MARK_TYPE_ID
    QPushButton* btnOk;
    QPushButton* btnCancel;

    TMemoryData FMeasureTypes;

private:
    void btGosClick();
    void btnCodiffClick();
    void DBEdit4Click();
    void bbtSubDivsClick();
    void btnOkClick();

    // The boxes stand for the record's columns: what is typed goes into the record before anything
    // reads it, and the boxes show the record again after anything changed it.
    bool pull();
    void showRecord();
    void UpdateLockState();
    void ShowCodifier();
    QVariant value(const char* column) const;
    void setValue(const char* column, const QVariant& value);

    TFormGosReestr& m_gosReestr;
    TFormCodiff& m_codiff;
    TMemoryData* FRecord = nullptr;
    std::unique_ptr<TDepartmentBox> FDepartment;
    TMemoryData RxMemData; // the codifier, read when an area is chosen
};
