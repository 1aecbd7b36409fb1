#pragma once

#include "EError.h"

// A text that does not convert to the number or date asked for.
class EConvertError : public EError {
public:
    using EError::EError;
};
