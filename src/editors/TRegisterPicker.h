#pragma once

#include "TMemoryData.h"

#include <QDialog>
#include <QVariant>

class QPushButton;
class TDBGrid;
struct TGridColumn;

// A window choosing one row of a list of the central register: the list is read on each use, the
// row with the given key is made current, and "Выбрать" (or a double click) takes the current row.
// The list stays filled after the window closes, for the caller to read the chosen row.
class TRegisterPicker : public QDialog {
    Q_OBJECT

public:
    TMemoryData RxMemData;
    TDBGrid* grid;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    TRegisterPicker(const QString& gridName, const QString& cancelName, QWidget* parent);
    // Reads the list, makes the row whose keyField is key current and shows the window modally.
    int pick(const QString& sql, const QString& keyField, const QVariant& key,
             const std::vector<TGridColumn>& columns);
};
