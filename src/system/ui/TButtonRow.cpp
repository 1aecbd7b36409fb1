#include "TButtonRow.h"

#include <QBoxLayout>
#include <QPushButton>

TButtonRow::TButtonRow(QBoxLayout* layout, QWidget* owner, const char* confirmName,
                       const QString& confirmCaption, const char* cancelName, const QString& cancelCaption) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    confirm = new QPushButton(confirmCaption, owner);
    confirm->setObjectName(QString::fromLatin1(confirmName));
    confirm->setDefault(true);
    cancel = new QPushButton(cancelCaption, owner);
    cancel->setObjectName(QString::fromLatin1(cancelName));
    row->addWidget(confirm);
    row->addWidget(cancel);
    layout->addLayout(row);
}
