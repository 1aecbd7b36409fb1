#pragma once

#include <QString>

class TMemoryData;

// The 20 device-type columns shown for a binding, with their captions, and the read of one device
// type with its department's and area's names.
class TLinkInfoFields {
public:
    static constexpr int count = 20;
    static const char* column(int i);
    static QString caption(int i);
    // The value of column i in the current row of source, as text; empty when source has no row.
    static QString text(TMemoryData& source, int i);
    // "Select …" of one record of view, to be followed by its DT_ID.
    static QString select(const QString& view);
};
