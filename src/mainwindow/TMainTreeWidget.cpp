#include "TMainTreeWidget.h"

#include <QCoreApplication>
#include <QMimeData>

namespace {

const QString kOwnDrag = QStringLiteral("application/x-vantorel-tree-node");

QByteArray processMark() {
    return QByteArray::number(QCoreApplication::applicationPid());
}

} // namespace

bool TMainTreeWidget::isOwnDrag(const QMimeData* data) {
    return data && data->data(kOwnDrag) == processMark();
}

QMimeData* TMainTreeWidget::mimeData(const QList<QTreeWidgetItem*>& items) const {
    QMimeData* data = QTreeWidget::mimeData(items);
    if (data)
        data->setData(kOwnDrag, processMark());
    return data;
}
