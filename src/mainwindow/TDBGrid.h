#pragma once

#include <QPointer>
#include <QTableView>
#include <functional>
#include <set>

class TMemoryData;
class TMemoryDataModel;

// The grid of a book: the record set through the shared model, rows of one height, the current row
// following the record set both ways, column order and widths kept in the settings store.
class TDBGrid : public QTableView {
    Q_OBJECT

public:
    explicit TDBGrid(TMemoryData* data, QWidget* parent = nullptr);
    ~TDBGrid() override;

    TMemoryData* data() const { return m_data; }
    // The column of a field name (searched from the last column), -1 when none.
    int columnOfField(const QString& fieldName) const;
    void setColumnRed(int column, bool red);
    bool isColumnRed(int column) const { return m_redColumns.count(column) > 0; }
    void clearColumnMarks() { m_redColumns.clear(); }

    // The drop-downs of lookup columns, on only while a record is edited or inserted.
    void setEditButtons(bool on);
    bool editButtons() const { return m_editButtons; }

    // Writes the open cell editor into the record and closes it; raises EAbort when the record
    // refused the value (the user has been told why). The record set calls it before a post.
    void commitEditor();
    // Closes the open cell editor without writing it.
    void discardEditor();
    // Puts the focus into the first visible cell of the current row that may be typed into, with
    // its editor open.
    void editFirstCell();
    bool isEditingCell() const { return state() == QAbstractItemView::EditingState; }

    // A click on a header: ascending, descending, then the book's own order again; the current
    // record stays current. Not while a record is being edited.
    void cycleSort(int column);
    int sortColumn() const { return m_sortColumn; }
    // A window with its own rule for title clicks puts it here in place of cycleSort.
    void setTitleClickHandler(std::function<void(int column)> handler) { m_titleClick = std::move(handler); }

    // The layout is stored under the grid's name.
    void saveLayout() const;
    // False when none was kept.
    bool restoreLayout();
    // Without a kept layout: each column as wide as its title and a sample of its values need,
    // within bounds.
    void sizeColumnsToValues();

private:
    void followRecordSet(int recNo);

    TMemoryData* m_data;
    TMemoryDataModel* m_model;
    std::set<int> m_redColumns;
    bool m_following = false;
    bool m_editButtons = false;
    bool m_writeRefused = false;
    int m_sortColumn = -1;
    // The widths are the grid's own choice, not the user's: nothing to keep.
    bool m_autoSized = false;
    bool m_sizing = false;
    int m_sortStep = 0; // 0 the book's order, 1 ascending, 2 descending
    std::function<void(int column)> m_titleClick;
    // The record set may go first when both die with their window.
    QPointer<TMemoryData> m_registeredWith;
};
