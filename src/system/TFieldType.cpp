#include "TFieldType.h"

bool isStringType(TFieldType type) {
    return type == TFieldType::String || type == TFieldType::WideString || type == TFieldType::Memo;
}

bool isIntegerType(TFieldType type) {
    return type == TFieldType::Integer || type == TFieldType::AutoInc;
}

bool isNumericType(TFieldType type) {
    return isIntegerType(type) || type == TFieldType::Float || type == TFieldType::Currency;
}
