#pragma once

#include <QString>

// Column types of a query result as the client library reports them, before they become record-set
// fields (loadFromDataSet maps them; the types without a record-set counterpart are dropped).
enum class TSourceFieldType {
    String,
    WideString,
    FixedChar,
    SmallInt,
    Integer,
    Word,
    AutoInc,
    LargeInt,
    Float,
    Memo,
    FmtMemo,
    Date,
    Time,
    DateTime,
    Currency,
    Boolean,
    Decimal,
    Bytes,
    Guid,
    Other
};

struct TSourceField {
    QString name;
    TSourceFieldType type = TSourceFieldType::Other;
    int size = 0;
};
