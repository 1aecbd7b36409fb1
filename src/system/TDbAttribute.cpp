#include "TDbAttribute.h"

#include "TextHelpers.h"

bool TDbAttribute::isIntegerKey() const {
    return isPrimary && sameText(type, QStringLiteral("int"));
}
