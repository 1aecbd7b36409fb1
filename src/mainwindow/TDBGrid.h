#pragma once

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

    TMemoryData* data() const { return m_data; }
    // The column of a field name (searched from the last column), -1 when none.
    int columnOfField(const QString& fieldName) const;
    void setColumnRed(int column, bool red);
    bool isColumnRed(int column) const { return m_redColumns.count(column) > 0; }
    void clearColumnMarks() { m_redColumns.clear(); }

    // The drop-downs of lookup columns, on only while a record is edited or inserted.
    void setEditButtons(bool on);
    bool editButtons() const { return m_editButtons; }

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
};
