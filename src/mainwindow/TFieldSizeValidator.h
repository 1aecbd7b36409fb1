#pragma once

#include <QValidator>

// Keeps a cell editor within its field's size, counted in characters (a character outside the
// Basic Multilingual Plane is one, not two): typing stops at the limit and a text pasted that
// does not fit is refused whole instead of being cut.
class TFieldSizeValidator : public QValidator {
    Q_OBJECT

public:
    TFieldSizeValidator(int size, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    int m_size;
};
