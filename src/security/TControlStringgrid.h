#pragma once

#include <QTableWidget>
#include <functional>

// A string grid whose cells may hold a check box. Column 0 and row 0 are hidden and carry keys and
// action codes; row 1 holds the captions and column 1 the names, both drawn as fixed cells.
class TControlStringgrid : public QTableWidget {
    Q_OBJECT

public:
    // The state of a cell.
    enum State { NoBox = 0, Ticked = 1, Unticked = 2, TickedGrayed = 3, UntickedGrayed = 4 };

    explicit TControlStringgrid(QWidget* parent = nullptr);

    // Leading text columns (keys and names) that keep their width.
    int FixedTextCols = 2;
    int FixedRows = 1;
    void setFixedRows(int count);
    // The check-box columns share the width the leading columns leave.
    bool AutoSize = false;
    int DefaultColWidth = 64;
    std::function<void(TControlStringgrid& grid, int col, int row)> OnToggle;

    void setColCount(int count);
    void setRowCount(int count);
    int colCount() const { return columnCount(); }
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    int state(int col, int row) const;
    void setState(int col, int row, int state);

    bool IsChecked(int col, int row) const { return state(col, row) == Ticked; }
    void SetChecked(int col, int row, bool checked) { setState(col, row, checked ? Ticked : Unticked); }
    bool HasCheckBox(int col, int row) const;
    void SetCheckBox(int col, int row, bool withBox) { setState(col, row, withBox ? Unticked : NoBox); }
    // normal false shows the box grayed; cells without a box stay as they are.
    void SetGrayed(int col, int row, bool normal);
    void Toggle(int col, int row);
    // Applies AutoSize to the current width.
    void layoutColumns();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableWidgetItem* itemAt(int col, int row);
    bool isDataCell(int col, int row) const;
    void styleCell(QTableWidgetItem* cellItem, int col, int row);
    void styleFixedCells();
};
