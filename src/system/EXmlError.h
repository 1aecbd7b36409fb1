#pragma once

#include "EError.h"

// The XML parser's own report: a file that is not well-formed or fails its declared DTD.
class EXmlError : public EError {
public:
    using EError::EError;
};
