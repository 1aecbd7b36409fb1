#include "TCheckBoxDelegate.h"

#include "TControlStringgrid.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

void TCheckBoxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const int state = index.data(StateRole).toInt();
    if (state < TControlStringgrid::Ticked || state > TControlStringgrid::UntickedGrayed) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QStyleOptionButton box;
    box.rect = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, widget);
    box.rect.moveCenter(option.rect.center());
    const bool ticked = state == TControlStringgrid::Ticked || state == TControlStringgrid::TickedGrayed;
    const bool grayed = state >= TControlStringgrid::TickedGrayed;
    box.state = (ticked ? QStyle::State_On : QStyle::State_Off) |
                (grayed ? QStyle::State_None : QStyle::State_Enabled);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
}
