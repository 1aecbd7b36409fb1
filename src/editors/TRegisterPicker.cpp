#include "TRegisterPicker.h"

#include "TDBGrid.h"
#include "TDbUtilsClass.h"
#include "TGridColumns.h"
#include "TUserInteraction.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TRegisterPicker::TRegisterPicker(const QString& gridName, const QString& cancelName, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Центральный справочник СИ"));
    grid = new TDBGrid(&RxMemData, this);
    grid->setObjectName(gridName);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    btnOk = new QPushButton(QStringLiteral("Выбрать"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отменить"), this);
    btnCancel->setObjectName(cancelName);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(900, 520);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && btnOk->isEnabled())
            accept();
    });
}

int TRegisterPicker::pick(const QString& sql, const QString& keyField, const QVariant& key,
                          const std::vector<TGridColumn>& columns) {
    {
        TBusyCursor busy;
        TDbUtilsClass::getInstance()->loadQuery(RxMemData, sql);
    }
    TGridColumns::show(*grid, columns);
    if (key.isValid() && !key.isNull())
        RxMemData.locate(keyField, key);
    btnOk->setEnabled(!RxMemData.isEmpty());
    return TUserInteraction::instance().showModal(this);
}
