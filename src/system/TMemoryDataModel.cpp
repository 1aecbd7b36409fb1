#include "TMemoryDataModel.h"

#include "EAbort.h"
#include "TMemoryData.h"

TMemoryDataModel::TMemoryDataModel(TMemoryData* dataSet, QObject* parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet) {
    m_rows = dataSet->recordCount();
    m_columns = dataSet->fieldCount();
    connect(dataSet, &TMemoryData::structureChanged, this, &TMemoryDataModel::reset);
    connect(dataSet, &TMemoryData::dataReset, this, &TMemoryDataModel::reset);
    connect(dataSet, &TMemoryData::rowChanged, this, [this](int recNo) {
        if (recNo >= 1 && recNo <= m_rows && m_columns > 0)
            Q_EMIT dataChanged(index(recNo - 1, 0), index(recNo - 1, m_columns - 1));
    });
    connect(dataSet, &TMemoryData::rowAboutToBeInserted, this,
            [this](int recNo) { beginInsertRows({}, recNo - 1, recNo - 1); });
    connect(dataSet, &TMemoryData::rowInserted, this, [this](int) {
        ++m_rows;
        endInsertRows();
    });
    connect(dataSet, &TMemoryData::rowAboutToBeRemoved, this,
            [this](int recNo) { beginRemoveRows({}, recNo - 1, recNo - 1); });
    connect(dataSet, &TMemoryData::rowRemoved, this, [this](int) {
        --m_rows;
        endRemoveRows();
    });
}

void TMemoryDataModel::reset() {
    beginResetModel();
    m_rows = m_dataSet->recordCount();
    m_columns = m_dataSet->fieldCount();
    endResetModel();
}

int TMemoryDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TMemoryDataModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant TMemoryDataModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= m_dataSet->fieldCount() ||
        index.row() >= m_dataSet->recordCount())
        return {};
    const TField* field = m_dataSet->field(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (field->dataType() == TFieldType::Boolean)
            return {};
        const QVariant v = m_dataSet->valueAt(index.row() + 1, field);
        return field->displayTextOf(v);
    }
    case Qt::EditRole:
        return field->textOf(m_dataSet->valueAt(index.row() + 1, field));
    case Qt::CheckStateRole:
        if (field->dataType() == TFieldType::Boolean)
            return m_dataSet->valueAt(index.row() + 1, field).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (isNumericType(field->dataType()))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant TMemoryDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_dataSet->fieldCount())
        return {};
    const TField* field = m_dataSet->field(section);
    if (role == Qt::ToolTipRole)
        return field->hint.isEmpty() ? QVariant() : QVariant(field->hint);
    return field->displayLabel();
}

Qt::ItemFlags TMemoryDataModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.column() >= m_dataSet->fieldCount())
        return result;
    const TField* field = m_dataSet->field(index.column());
    const bool editingThisRow = m_dataSet->isEditing() && m_dataSet->recNo() == index.row() + 1;
    const bool writable = !m_readOnly && !field->readOnly && field->fieldKind() != TFieldKind::Calculated &&
                          (m_autoEdit || editingThisRow);
    if (writable)
        result |= field->dataType() == TFieldType::Boolean ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return result;
}

bool TMemoryDataModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    TField* field = m_dataSet->field(index.column());
    try {
        if (m_dataSet->recNo() != index.row() + 1)
            m_dataSet->setRecNo(index.row() + 1);
        m_dataSet->edit();
        if (role == Qt::CheckStateRole)
            field->setValue(value.toInt() == Qt::Checked);
        else if (role == Qt::EditRole)
            field->setText(value.toString());
        else
            return false;
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const EError& e) {
        if (m_errorHandler)
            m_errorHandler(e);
        return false;
    }
}
