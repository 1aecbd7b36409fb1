#include "TfrDeviceInfo.h"

#include "TLinkInfoFields.h"

#include <QHeaderView>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

TfrDeviceInfo::TfrDeviceInfo(TMemoryData& values, QWidget* anchor) : QWidget(anchor, Qt::Popup) {
    setObjectName(QStringLiteral("frDeviceInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    grid = new QTableWidget(TLinkInfoFields::count, 3, this);
    grid->setObjectName(QStringLiteral("InfoGrid"));
    grid->setHorizontalHeaderLabels({QString(), QStringLiteral("Имя"), QStringLiteral("Значение")});
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(true);
    grid->setColumnWidth(0, 10);
    grid->setColumnWidth(1, 200);
    grid->setColumnWidth(2, 400);
    // One line per row, at least as high as the font needs.
    grid->verticalHeader()->setMinimumSectionSize(15);
    grid->verticalHeader()->setDefaultSectionSize(qMax(15, fontMetrics().height() + 2));
    for (int i = 0; i < TLinkInfoFields::count; ++i) {
        grid->setItem(i, 1, new QTableWidgetItem(TLinkInfoFields::caption(i)));
        auto* value = new QTableWidgetItem(TLinkInfoFields::text(values, i));
        value->setToolTip(value->text());
        grid->setItem(i, 2, value);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid);
    resize(650, 400);
    const QPoint top = anchor->mapToGlobal(QPoint(0, 0));
    const QScreen* screen = anchor->screen();
    const QRect available =
        screen ? screen->availableGeometry() : QRect(0, 0, 0, top.y() + anchor->height() + 400);
    const int y = available.bottom() + 1 < top.y() + anchor->height() + 400 ? top.y() - 400
                                                                            : top.y() + anchor->height();
    move(top.x(), qMax(available.top(), y)); // never above the screen's top
    show();
    grid->setFocus();
}
