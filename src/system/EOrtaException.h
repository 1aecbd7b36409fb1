#pragma once

#include "EError.h"

// The program's own error class: a message text and nothing else.
class EOrtaException : public EError {
public:
    using EError::EError;
};
