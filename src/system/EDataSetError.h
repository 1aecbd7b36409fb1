#pragma once

#include "EError.h"

// Misuse of a record set: unknown field, wrong state, read-only field, missing required value.
class EDataSetError : public EError {
public:
    using EError::EError;
};
