#pragma once

#include "TListFilterFrame.h"

// The filter of the calibration orders: active, closed or all.
class TORDERSFilterFrame : public TListFilterFrame {
    Q_OBJECT

public:
    enum Option { Active = 0, Closed = 1, All = 2 };
    explicit TORDERSFilterFrame(QWidget* parent = nullptr);

protected:
    QString condition(int option) const override;
};
