#pragma once

class TDBGrid;

// Sorting a read-only list by its titles: a click on the sorted column turns the direction, a click
// on another column sorts it ascending; case-insensitive, the sorted column marked. The column is
// the field's index in the list, so a caller may also put it into the ORDER BY of its next query.
class TTitleSort {
public:
    // column -1: unsorted until the first click.
    TTitleSort(TDBGrid& grid, int column, int direction);

    int column() const { return m_column; }
    // +1 ascending, -1 descending.
    int direction() const { return m_direction; }
    void click(int column);
    // Back to a starting order (before the list is read again).
    void reset(int column, int direction);
    // Marks the sorted column (after the list was loaded again).
    void showMark();

private:
    TDBGrid& m_grid;
    int m_column;
    int m_direction;
};
