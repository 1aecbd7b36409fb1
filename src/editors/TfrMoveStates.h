#pragma once

#include "TFrExtraAbstract.h"
#include "TMemoryData.h"

#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TATreeDataCollection;
class TfrATypes;

// "Движения СИ по позициям": one movement rule — what becomes of an instrument's subdivision and
// state when it takes the rule's state. Everything lies in the rule's own record.
class TfrMoveStates : public TFrExtraAbstract {
    Q_OBJECT

public:
    TfrMoveStates(TfrATypes& chooser, QWidget* parent = nullptr);
    ~TfrMoveStates() override;

    void LoadRecord(TMemoryData& record, bool firstShow) override;

    enum SubdivChoice { KeepSubdiv = 0, FixedSubdiv = 1, InstalledSubdiv = 2 };
    enum StateChoice { FixedState = 0, InstalledState = 1 };

    QComboBox* DBLookupComboBox2; // the rule's state
    QButtonGroup* RadioGroup1;
    QLineEdit* ComboEdit1;
    QPushButton* bbtSubDivs;
    QButtonGroup* RadioGroup2;
    QComboBox* DBLookupComboBox1; // the fixed new state
    QPushButton* BitBtn1;
    QPushButton* CanselBtn;

    qint32 chosenSubdiv() const { return m_subdivId; }
    void bbtSubDivsClick();

private:
    void updateVisibility();
    void BitBtn1Click();
    void showSubdiv(qint32 id);

    TfrATypes& m_chooser;
    TMemoryData* FRecord = nullptr;
    TMemoryData m_subdivs;
    std::unique_ptr<TATreeDataCollection> FSubdivTree;
    qint32 m_subdivId = 0;
};
