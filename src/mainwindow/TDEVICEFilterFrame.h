#pragma once

#include "TListFilterFrame.h"

// The filter of the device-type list: local types, by whether they come from the central register.
class TDEVICEFilterFrame : public TListFilterFrame {
    Q_OBJECT

public:
    enum Option { LocalFromCentral = 0, Other = 1, All = 2 };
    explicit TDEVICEFilterFrame(QWidget* parent = nullptr);

protected:
    QString condition(int option) const override;
};
