#pragma once

class TDBGrid;

// The columns of a document list, with the titles and hints both document windows give them; the
// other fields of the list stay hidden.
class TDocumentColumns {
public:
    static void show(TDBGrid& grid);
};
