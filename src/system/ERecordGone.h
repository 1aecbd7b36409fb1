#pragma once

#include "EOrtaException.h"

// A write of one record found no row to change: another workstation deleted it meanwhile. Callers
// that can show the book again catch it by type.
class ERecordGone : public EOrtaException {
public:
    ERecordGone()
        : EOrtaException(
              QStringLiteral("Запись не найдена в базе данных: вероятно, её удалил другой пользователь.")) {}
};
