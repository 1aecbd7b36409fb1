#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class TformRoleProperties;

// "Роли": the program's roles ("ORTA-…" database roles) with create, edit and delete.
class TformRoles : public QDialog {
    Q_OBJECT

public:
    TformRoles(TformRoleProperties& roleDialog, QWidget* parent = nullptr);

    // Refreshes the list and shows the window modally.
    int Execute();
    void RefreshRoles();

    QListWidget* lbRoles;
    QPushButton* butAdd;
    QPushButton* butEdit;
    QPushButton* butDelete;
    QPushButton* btnOk;

private:
    void butAddClick();
    void butEditClick();
    void butDeleteClick();
    QString selectedRole() const;

    TformRoleProperties& m_roleDialog;
};
