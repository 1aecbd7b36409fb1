#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Создание пользователя" / "Информация о пользователе …": the login, the person's name, the
// password and the security-administrator flag of one user.
class TformUserInfo : public QDialog {
    Q_OBJECT

public:
    explicit TformUserInfo(QWidget* parent = nullptr);

    // userId -1: a new user; otherwise the users window's current row gives pic, UserName and
    // UserSurnameNP.
    int Execute(int userId, int pic, const QString& userName, const QString& fullName);

    QLineEdit* edLogin;
    QLineEdit* edPassword;
    QLineEdit* edPassword2;
    QLineEdit* edUser;
    QCheckBox* cbSecurityAdmin;
    QCheckBox* cbPolicy;
    QCheckBox* cbEnforse;
    QCheckBox* chbShowRoles;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    int UserId = -1;
    bool Saved = false;

private:
    bool validate();
    void btnOkClick();
    // The step's failure shown as the Part says; false when it failed.
    static bool report(const std::exception& error);
};
