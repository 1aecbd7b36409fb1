#pragma once

#include <functional>

class TMemoryData;

using TDataSetNotify = std::function<void(TMemoryData&)>;

// The notifications of a record set. They are kept together so that a window can detach its whole set
// while it loads or writes records itself, and attach it again afterwards. A handler cancels the
// operation by throwing EAbort.
struct TDataSetEvents {
    TDataSetNotify beforeInsert;
    TDataSetNotify afterInsert;
    TDataSetNotify beforeEdit;
    TDataSetNotify afterEdit;
    TDataSetNotify beforePost;
    TDataSetNotify afterPost;
    TDataSetNotify beforeCancel;
    TDataSetNotify afterCancel;
    TDataSetNotify beforeDelete;
    TDataSetNotify afterDelete;
    TDataSetNotify beforeScroll;
    TDataSetNotify afterScroll;
    // Fills the calculated fields of the record being calculated.
    TDataSetNotify onCalcFields;
};
