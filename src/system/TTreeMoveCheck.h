#pragma once

#include <QtGlobal>

class TDbAttrCollection;
class TDbConnection;

// A move of a record under a new parent, inside the move's transaction: locks the moved row and
// every row from the new parent up to the top of the tree, and refuses a parent that is the moved
// record itself or lies in its branch. The locks make moves of several workstations wait for each
// other, and the chain is read after the wait, so no interleaving of them can close a cycle.
class TTreeMoveCheck {
public:
    // Raises EOrtaException (cycle or parent gone) or ERecordGone (the moved record is gone).
    // newParent below 1 is the top level; it is a key, or for a versioned book with parentIsEntity
    // an entity (what children link to). connection null = the main connection.
    static void check(const TDbAttrCollection& book, qint32 movedId, qint32 newParent,
                      bool parentIsEntity = false, TDbConnection* connection = nullptr);
};
