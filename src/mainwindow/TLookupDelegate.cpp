#include "TLookupDelegate.h"

#include "TMemoryData.h"

#include <QComboBox>

TLookupDelegate::TLookupDelegate(TField* field, QObject* parent)
    : QStyledItemDelegate(parent), m_field(field) {}

QWidget* TLookupDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("lookupEditor"));
    box->addItem(QString());
    TMemoryData* list = m_field->lookupDataSet;
    const TField* result = list ? list->findField(m_field->lookupResultField) : nullptr;
    for (int r = 1; result && r <= list->recordCount(); ++r)
        box->addItem(list->valueAt(r, result).toString());
    return box;
}

void TLookupDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(std::max(box->findText(index.data(Qt::DisplayRole).toString()), 0));
}

void TLookupDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}
