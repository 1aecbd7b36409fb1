#include "TControlStringgrid.h"

#include "TCheckBoxDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

TControlStringgrid::TControlStringgrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setItemDelegate(new TCheckBoxDelegate(this));
    setWordWrap(false);
}

void TControlStringgrid::setColCount(int count) {
    setColumnCount(count);
    for (int col = 0; col < count; ++col)
        setColumnWidth(col, col == 0 ? 0 : columnWidth(col) > 0 ? columnWidth(col) : DefaultColWidth);
    if (count > 0)
        setColumnHidden(0, true);
    styleFixedCells();
}

void TControlStringgrid::setRowCount(int count) {
    QTableWidget::setRowCount(count);
    if (count > 0)
        setRowHidden(0, true);
}

void TControlStringgrid::setFixedRows(int count) {
    FixedRows = count;
    styleFixedCells();
}

QTableWidgetItem* TControlStringgrid::itemAt(int col, int row) {
    QTableWidgetItem* cellItem = item(row, col);
    if (!cellItem) {
        cellItem = new QTableWidgetItem;
        cellItem->setFlags(Qt::ItemIsEnabled);
        setItem(row, col, cellItem);
        styleCell(cellItem, col, row);
    }
    return cellItem;
}

QString TControlStringgrid::cell(int col, int row) const {
    const QTableWidgetItem* cellItem = item(row, col);
    return cellItem ? cellItem->text() : QString();
}

void TControlStringgrid::setCell(int col, int row, const QString& text) {
    itemAt(col, row)->setText(text);
}

int TControlStringgrid::state(int col, int row) const {
    const QTableWidgetItem* cellItem = item(row, col);
    return cellItem ? cellItem->data(TCheckBoxDelegate::StateRole).toInt() : NoBox;
}

void TControlStringgrid::setState(int col, int row, int value) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    if (state(col, row) != value || !item(row, col))
        itemAt(col, row)->setData(TCheckBoxDelegate::StateRole, value);
}

bool TControlStringgrid::HasCheckBox(int col, int row) const {
    const int value = state(col, row);
    return value >= Ticked && value <= UntickedGrayed;
}

void TControlStringgrid::SetGrayed(int col, int row, bool normal) {
    const int value = state(col, row);
    if (value == Ticked || value == TickedGrayed)
        setState(col, row, normal ? Ticked : TickedGrayed);
    else if (value == Unticked || value == UntickedGrayed)
        setState(col, row, normal ? Unticked : UntickedGrayed);
}

void TControlStringgrid::Toggle(int col, int row) {
    const int before = state(col, row);
    const int after = before == Ticked || before == TickedGrayed ? Unticked : Ticked;
    setState(col, row, after);
    if (after != before && OnToggle)
        OnToggle(*this, col, row);
}

bool TControlStringgrid::isDataCell(int col, int row) const {
    return col >= FixedTextCols && row >= FixedRows && HasCheckBox(col, row);
}

void TControlStringgrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex under = indexAt(event->position().toPoint());
    if (under.isValid() && under == currentIndex() && isDataCell(under.column(), under.row()))
        Toggle(under.column(), under.row());
}

void TControlStringgrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && current.isValid()) {
        if (isDataCell(current.column(), current.row()))
            Toggle(current.column(), current.row());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TControlStringgrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    layoutColumns();
}

void TControlStringgrid::layoutColumns() {
    if (!AutoSize || columnCount() <= FixedTextCols)
        return;
    int leading = 0;
    for (int col = 0; col < FixedTextCols; ++col)
        leading += isColumnHidden(col) ? 0 : columnWidth(col);
    const int boxes = columnCount() - FixedTextCols;
    const int free = viewport()->width() - leading;
    if (free < boxes * 8)
        return;
    // Equal default widths: each box column takes its share, the last one the remainder.
    int used = 0;
    for (int col = FixedTextCols; col < columnCount(); ++col) {
        const int width = col == columnCount() - 1 ? free - used : free / boxes;
        setColumnWidth(col, width);
        used += width;
    }
}

void TControlStringgrid::styleCell(QTableWidgetItem* cellItem, int col, int row) {
    const bool fixed = row < FixedRows || col < FixedTextCols;
    cellItem->setBackground(fixed ? palette().button() : palette().base());
    QFont font = this->font();
    font.setBold(row < FixedRows);
    cellItem->setFont(font);
}

void TControlStringgrid::styleFixedCells() {
    for (int row = 0; row < rowCount(); ++row) {
        const int cols = row < FixedRows + 1 ? columnCount() : std::min(columnCount(), FixedTextCols);
        for (int col = 0; col < cols; ++col) {
            if (QTableWidgetItem* cellItem = item(row, col))
                styleCell(cellItem, col, row);
        }
    }
}
