#pragma once

#include "TFrExtraAbstract.h"

#include <memory>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class TDepartmentBox;
class TfrATypes;
class TMemoryData;

// "Сотрудник": an employee bound to a system user and a department; everything lies in the record.
class TfrEmployees : public TFrExtraAbstract {
    Q_OBJECT

public:
    TfrEmployees(TfrATypes& chooser, QWidget* parent = nullptr);
    ~TfrEmployees() override;

    void LoadRecord(TMemoryData& record, bool firstShow) override;

    QComboBox* dblkupUserInfo;
    QLineEdit* DBEdit1;  // LASTNAME
    QLineEdit* DBEdit2;  // FIRSTNAME
    QLineEdit* DBEdit3;  // MIDDLENAME
    QLineEdit* DBEdit4;  // LOCAL_CODE
    QLineEdit* DBEdit5;  // POSITION
    QLineEdit* DBEdit6;  // MARK_CIPHER
    QLineEdit* DBEdit7;  // CERT_DATE
    QLineEdit* DBEdit8;  // CERT_PROTOCOL
    QLineEdit* DBEdit9;  // HIRED
    QLineEdit* DBEdit10; // FIRED
    QLineEdit* edtDEPARTMENT;
    QPushButton* bbtSubDivs;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    void bbtSubDivsClick();

private:
    void btnOkClick();

    TMemoryData* FRecord = nullptr;
    std::unique_ptr<TDepartmentBox> FDepartment;
};
