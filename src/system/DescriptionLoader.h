#pragma once

#include "TXMLDBAttributeCollection.h"
#include "TXmlElement.h"

#include <memory>

class TDbAttrCollection;

// Reads reference-book description files into attribute collections.
class TDescriptionLoader {
public:
    // Returns null when the file is missing, has no document
    // element, or the document element has no children. A file that is not well-formed or fails the
    // DTD it declares raises EXmlError; a uid or reference that is not an integer raises
    // EConvertError. rootAttributes, when given, receives the document element's attributes.
    static std::unique_ptr<TXMLDBAttributeCollection>
    loadDescription(const QString& fileName, TXmlAttributes* rootAttributes = nullptr);

    // Appends the attribute a dbAttr element describes; null when the element is not a dbAttr.
    static TDbAttribute* readDbAttr(const TXmlElement& element, TDbAttrCollection& collection);

    // The value of the first attribute named exactly name, or empty.
    static QString xmlAttr(const TXmlAttributes& attributes, const QString& name);
};
