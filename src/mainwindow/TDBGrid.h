#pragma once

#include <QPointer>
#include <QTableView>
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
    bool isEditingCell() const { return state() == QAbstractItemView::EditingState; }

    // The layout is stored under the grid's name.
    void saveLayout() const;
    void restoreLayout();

private:
    void followRecordSet(int recNo);

    TMemoryData* m_data;
    TMemoryDataModel* m_model;
    std::set<int> m_redColumns;
    bool m_following = false;
    bool m_editButtons = false;
    bool m_writeRefused = false;
    // The record set may go first when both die with their window.
    QPointer<TMemoryData> m_registeredWith;
};
