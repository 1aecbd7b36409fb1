#pragma once

#include <QTreeWidget>

// The catalogue tree. Its drags carry a mark of this process, so that a drop knows it comes from
// this very tree and not from another program's list.
class TMainTreeWidget : public QTreeWidget {
    Q_OBJECT

public:
    using QTreeWidget::QTreeWidget;

    static bool isOwnDrag(const QMimeData* data);

protected:
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
};
