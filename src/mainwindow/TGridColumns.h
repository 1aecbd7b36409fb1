#pragma once

#include <QString>
#include <vector>

class TDBGrid;

struct TGridColumn {
    const char* field;
    const char* caption;
    const char* hint = "";
};

// A grid showing only the listed fields of its record set, in the listed order, with their titles
// and hints; fields the record set lacks are passed over.
class TGridColumns {
public:
    static void show(TDBGrid& grid, const std::vector<TGridColumn>& columns);
};
