#pragma once

#include "TTypesSULinkEditor.h"

class QCheckBox;
class QComboBox;

// "Типы модулей СУ": a module type with its channels and spark protection, and the types of СУ it
// belongs to.
class TfrModuleType : public TTypesSULinkEditor {
    Q_OBJECT

public:
    explicit TfrModuleType(QWidget* parent = nullptr);

    QLineEdit* DBEdit2;           // ChannelCount
    QComboBox* DBLookupComboBox1; // ChannelType2
    QCheckBox* DBCheckBox1;       // ISFlag

protected:
    void loadOwnFields(TMemoryData& record) override;
    bool saveOwnFields(TMemoryData& record) override;
    bool mayCollect(TMemoryData& record) const override;
};
