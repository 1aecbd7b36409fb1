#pragma once

#include <QtGlobal>

// One cached row of a book: its 1-based record number and its key id.
struct TRecordIndexEntry {
    int recNo = 0;
    qint32 id = 0;

    bool operator==(const TRecordIndexEntry&) const = default;
};
