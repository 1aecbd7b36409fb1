#pragma once

#include <QStyledItemDelegate>

// Draws the check box of a TControlStringgrid cell centred in it: ticked or not, grayed or not.
class TCheckBoxDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The item role holding the cell's state.
    static constexpr int StateRole = Qt::UserRole + 1;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
