#pragma once

#include "TRegisterPicker.h"

#include <memory>

class TTitleSort;

// "Центральный справочник СИ": a central device type to take data from. One for the program.
class TFormGosReestr : public TRegisterPicker {
    Q_OBJECT

public:
    explicit TFormGosReestr(QWidget* parent = nullptr);
    ~TFormGosReestr() override;

    int PickCentralRecord(int selectedId);

    std::unique_ptr<TTitleSort> sort;
};
