#pragma once

#include <QDialog>

class QCheckBox;
class QListWidget;
class QPushButton;

// "Роли пользователя": the program's roles with a tick for each the user belongs to.
class TformUserRoles : public QDialog {
    Q_OBJECT

public:
    explicit TformUserRoles(QWidget* parent = nullptr);

    int Execute(int userId);

    QListWidget* rxUserRoles;
    QCheckBox* chkOnly;
    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    void fillRoles();
    QStringList tickedNames() const;
    void tick(const QStringList& names);
    void chkOnlyClick();
    void btnOkClick();

    int m_userId = -1;
    QString m_userName;
};
