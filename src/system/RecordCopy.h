#pragma once

#include <QString>

class TMemoryData;

// Copies same-named values (names compared ignoring case) from the current row of source into the
// current row of target, walking target's fields from the last to the first. Nothing happens unless
// source has a row and target is being edited or inserted. Only data fields of target are written.
void copyFields(TMemoryData& target, TMemoryData& source);
// The same for the target fields listed in names (";"-separated); an empty list copies all.
void copyNamedFields(TMemoryData& target, TMemoryData& source, const QString& names);
