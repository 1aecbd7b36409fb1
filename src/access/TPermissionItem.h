#pragma once

#include "TActionSet.h"

// The actions of a role or user on one record of a book with row permissions.
struct TPermissionItem {
    enum StateKind { AsRead = 0, New = 1, Changed = 2, Emptied = 3 };

    qint32 State = AsRead;
    TActionSet Actions = 0;
    // Id of the registered table; with its low 16 bits zero a role-grant item whose high 16 bits
    // hold the table id.
    qint32 TableId = 0;
    // The record id; for a role-grant item the role that receives the rights.
    qint32 RowId = 0;

    bool isRoleGrant() const { return (TableId & 0xFFFF) == 0; }
};
