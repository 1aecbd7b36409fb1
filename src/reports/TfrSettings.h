#pragma once

#include <QDialog>
#include <QVariantMap>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TATreeDataCollection;
class TfrATypes;

// "Настройки": the one row of Settings, the system-wide options other programs of the system act on.
// The boxes change the row at once; the numbers on "Применить", which writes the row.
class TfrSettings : public QDialog {
    Q_OBJECT

public:
    TfrSettings(TfrATypes& typeChooser, QWidget* parent = nullptr);
    ~TfrSettings() override;

    // Reads the row (load errors leave the window as it is) and shows the window modally.
    int Execute();

    QCheckBox* DBCheckBox1;
    QCheckBox* DBCheckBox2;
    QRadioButton* AutoMoveOn;
    QRadioButton* AutoMoveOff;
    QLineEdit* Edit1;
    QPushButton* bbtSubDivs;
    QRadioButton* MoveIntervalCopy;
    QRadioButton* MoveIntervalMinimum;
    QCheckBox* DBCheckBox3;
    QSpinBox* SpinEdit1;
    QSpinBox* SpinEdit2;
    QSpinBox* SpinEdit3;
    QPushButton* BitBtn1;
    QPushButton* CanselBtn;

    // The row as edited, by column name (lower case), and as read.
    QVariantMap Settings;

private:
    void load();
    void showRow();
    void setFlag(const char* column, bool on);
    void bbtSubDivsClick();
    void BitBtn1Click();
    // Writes the changed columns, provided nobody changed them meanwhile.
    void post();

    TfrATypes& m_typeChooser;
    std::unique_ptr<TATreeDataCollection> m_types;
    QVariantMap m_original;
    bool m_showing = false;
};
