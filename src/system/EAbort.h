#pragma once

#include "EError.h"

// The silent abort: cancels the operation in progress; every caller treats it as a cancellation
// and shows nothing.
class EAbort : public EError {
public:
    EAbort() : EError(QString()) {}
};
