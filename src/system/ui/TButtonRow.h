#pragma once

#include <QString>

class QBoxLayout;
class QPushButton;
class QWidget;

// A dialog's confirm and cancel buttons at the right of a row added to its layout; the first is the
// default button.
class TButtonRow {
public:
    TButtonRow(QBoxLayout* layout, QWidget* owner, const char* confirmName, const QString& confirmCaption,
               const char* cancelName, const QString& cancelCaption);

    QPushButton* confirm;
    QPushButton* cancel;
};
