#include "TGridColumns.h"

#include "TDBGrid.h"
#include "TMemoryData.h"

#include <QHeaderView>

void TGridColumns::show(TDBGrid& grid, const std::vector<TGridColumn>& columns) {
    TMemoryData& list = *grid.data();
    QHeaderView* header = grid.horizontalHeader();
    for (int i = 0; i < list.fieldCount(); ++i)
        grid.setColumnHidden(i, true);
    int visual = 0;
    for (const TGridColumn& column : columns) {
        TField* f = list.findField(QString::fromUtf8(column.field));
        if (!f)
            continue;
        f->setDisplayLabel(QString::fromUtf8(column.caption));
        f->hint = QString::fromUtf8(column.hint);
        grid.setColumnHidden(f->index(), false);
        header->moveSection(header->visualIndex(f->index()), visual++);
    }
    if (list.active())
        list.first();
    if (!grid.restoreLayout())
        grid.sizeColumnsToValues();
}
