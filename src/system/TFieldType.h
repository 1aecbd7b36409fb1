#pragma once

// Types of record-set fields. AutoInc and WideString appear only in structures copied from query
// results; plainFieldTypes turns them into Integer and String.
enum class TFieldType {
    String,
    WideString,
    Integer,
    AutoInc,
    Float,
    Currency,
    Boolean,
    DateTime,
    Memo,
    Blob
};

enum class TFieldKind { Data, Calculated, Lookup };

enum class TDataSetState { Inactive, Browse, Edit, Insert };

bool isStringType(TFieldType type);
bool isIntegerType(TFieldType type);
bool isNumericType(TFieldType type);
