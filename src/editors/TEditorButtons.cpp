#include "TEditorButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* TEditorButtons::row(QWidget* owner, QPushButton*& apply, const QString& applyName,
                                 QPushButton*& cancel, const QString& cancelName) {
    apply = new QPushButton(QStringLiteral("Применить"), owner);
    apply->setObjectName(applyName);
    apply->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Отменить"), owner);
    cancel->setObjectName(cancelName);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    return buttons;
}
