#include "TTitleSort.h"

#include "OrtaUtils.h"
#include "TDBGrid.h"
#include "TMemoryData.h"
#include "TUserInteraction.h"

#include <QHeaderView>

TTitleSort::TTitleSort(TDBGrid& grid, int column, int direction)
    : m_grid(grid), m_column(column), m_direction(direction) {
    grid.setTitleClickHandler([this](int clicked) { click(clicked); });
}

void TTitleSort::click(int column) {
    TMemoryData& list = *m_grid.data();
    if (!list.active() || column < 0 || column >= list.fieldCount())
        return;
    if (column == m_column) {
        m_direction = -m_direction;
    } else {
        m_column = column;
        m_direction = 1;
    }
    try {
        TBusyCursor busy;
        list.setSortOrder(
            list.field(column)->fieldName() + (m_direction < 0 ? QStringLiteral(" DESC") : QString()), true);
    } catch (const std::exception& e) {
        errorBox(errorMessage(e));
    }
    showMark();
}

void TTitleSort::reset(int column, int direction) {
    m_column = column;
    m_direction = direction;
    m_grid.data()->setSortOrder(QString());
    showMark();
}

void TTitleSort::showMark() {
    QHeaderView* header = m_grid.horizontalHeader();
    header->setSortIndicatorShown(m_column >= 0);
    if (m_column >= 0)
        header->setSortIndicator(m_column, m_direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}
