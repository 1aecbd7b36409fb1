#pragma once

#include "TFrExtraAbstract.h"

#include <QStringList>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TMemoryData;

// "Реквизиты владельца СИ": an owner of instruments with its codes, addresses and contacts, all in
// the record.
class TfrCUSTOMER : public TFrExtraAbstract {
    Q_OBJECT

public:
    explicit TfrCUSTOMER(QWidget* parent = nullptr);

    void LoadRecord(TMemoryData& record, bool firstShow) override;

    QTabWidget* PageControl1;
    QComboBox* DBEdit5; // CUSTOMER_TYPE_ID
    QComboBox* DBEdit7; // OKATO
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The text box bound to a field of the record.
    QLineEdit* edit(const QString& field) const;

private:
    void btnOkClick();

    TMemoryData* FRecord = nullptr;
    std::vector<std::pair<QString, QLineEdit*>> m_edits;
};
