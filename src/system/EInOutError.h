#pragma once

#include "EError.h"

// A file that cannot be opened or written.
class EInOutError : public EError {
public:
    using EError::EError;
};
