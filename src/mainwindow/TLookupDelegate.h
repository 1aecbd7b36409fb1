#pragma once

#include <QStyledItemDelegate>

class TField;

// The drop-down of a lookup column: the shown values of the field's list; choosing one writes the
// list row's key into the record.
class TLookupDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    TLookupDelegate(TField* field, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    TField* m_field;
};
