#pragma once

#include "TLinkListEditor.h"

// "Единицы измерения": a unit and the measured parameters it belongs to.
class TfrMsrUnit : public TLinkListEditor {
    Q_OBJECT

public:
    explicit TfrMsrUnit(QWidget* parent = nullptr);

protected:
    void loadChoices() override;
};
