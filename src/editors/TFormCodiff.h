#pragma once

#include "TRegisterPicker.h"

// "Центральный справочник СИ": a code of the codifier. One for the program.
class TFormCodiff : public TRegisterPicker {
    Q_OBJECT

public:
    explicit TFormCodiff(QWidget* parent = nullptr);

    int PickCodifier(const QString& code);
};
