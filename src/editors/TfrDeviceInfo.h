#pragma once

#include <QWidget>

class QTableWidget;
class TMemoryData;

// The values of one device type under a search list: a borderless window that goes away when it
// loses the focus or is closed.
class TfrDeviceInfo : public QWidget {
    Q_OBJECT

public:
    // Placed under anchor (above it when the screen ends first); shown at once, not blocking.
    TfrDeviceInfo(TMemoryData& values, QWidget* anchor);

    QTableWidget* grid;
};
