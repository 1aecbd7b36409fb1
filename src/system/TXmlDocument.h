#pragma once

#include "TXmlElement.h"

#include <vector>

// An XML file of the installation folder read whole: the document element and its child elements.
// The declared encoding is honoured, blank text is dropped, a declared DTD is validated against.
struct TXmlDocument {
    TXmlElement root;
    std::vector<TXmlElement> children;
    // The document element has child nodes of any kind (elements, comments, text).
    bool rootHasChildNodes = false;

    // False when the file is missing or has no document element; a file that is not well-formed or
    // fails its DTD raises EXmlError. The name is found whatever its letter case.
    static bool read(const QString& fileName, TXmlDocument& document);
};
