#include "TformAddRoleMembers.h"

#include "TButtonRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TformAddRoleMembers::TformAddRoleMembers(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formAddRoleMembers"));
    setWindowTitle(QStringLiteral("Добавление пользователей роли"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Выберите пользователей:"), this));
    lbUsers = new QListWidget(this);
    lbUsers->setObjectName(QStringLiteral("lbUsers"));
    lbUsers->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(lbUsers);
    const TButtonRow buttons(layout, this, "btnOk", QStringLiteral("Применить"), "btnCansel",
                             QStringLiteral("Отменить"));
    btnOk = buttons.confirm;
    btnCansel = buttons.cancel;
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCansel, &QPushButton::clicked, this, &QDialog::reject);
    // A double click picks, as OK does.
    connect(lbUsers, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    setFixedSize(320, 360);
}
