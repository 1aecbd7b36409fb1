#pragma once

#include <QAbstractTableModel>
#include <functional>

class EError;
class TMemoryData;

// Shows a TMemoryData to Qt views: one column per field, one row per record, titles from the display
// labels. Edits typed into a view go through the field's text input (its input checks). Errors of an
// edit are handed to the error handler, since nothing may escape into Qt's event loop; a silent abort
// just refuses the edit.
class TMemoryDataModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using ErrorHandler = std::function<void(const EError&)>;

    explicit TMemoryDataModel(TMemoryData* dataSet, QObject* parent = nullptr);

    TMemoryData* dataSet() const { return m_dataSet; }
    void setErrorHandler(ErrorHandler handler) { m_errorHandler = std::move(handler); }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Without automatic edit a cell is editable only in the record being edited or inserted.
    void setAutoEdit(bool autoEdit) { m_autoEdit = autoEdit; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    void reset();

    TMemoryData* m_dataSet;
    ErrorHandler m_errorHandler;
    bool m_readOnly = false;
    bool m_autoEdit = true;
    // Counts as last announced: the record set may change while its display updates are suspended.
    int m_rows = 0;
    int m_columns = 0;
};
