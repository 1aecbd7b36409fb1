#pragma once

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

// The editors' "Применить" (the default button) and "Отменить" at the right of a row.
class TEditorButtons {
public:
    static QHBoxLayout* row(QWidget* owner, QPushButton*& apply, const QString& applyName,
                            QPushButton*& cancel, const QString& cancelName);
};
