#include "TFieldSizeValidator.h"

TFieldSizeValidator::TFieldSizeValidator(int size, QObject* parent) : QValidator(parent), m_size(size) {}

QValidator::State TFieldSizeValidator::validate(QString& input, int&) const {
    if (input.size() <= m_size)
        return Acceptable;
    return input.toUcs4().size() <= m_size ? Acceptable : Invalid;
}
