#pragma once

#include "TDbAttrCollection.h"

// A description read from its XML file; it adds nothing to the collection.
class TXMLDBAttributeCollection : public TDbAttrCollection {};
