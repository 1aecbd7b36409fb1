#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// "Добавление пользователей роли": picks one of the users and roles that may still join the role.
class TformAddRoleMembers : public QDialog {
    Q_OBJECT

public:
    explicit TformAddRoleMembers(QWidget* parent = nullptr);

    QListWidget* lbUsers;
    QPushButton* btnOk;
    QPushButton* btnCansel;
};
