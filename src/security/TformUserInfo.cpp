#include "TformUserInfo.h"

#include "OrtaUtils.h"
#include "TButtonRow.h"
#include "TDbQuery.h"
#include "TDbUtilsClass.h"
#include "TSecurityQueries.h"
#include "TStatementSink.h"
#include "TUserInteraction.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString NoRights = QStringLiteral("У Вас не достаточно прав для выполнения этого действия");

void failure(const QString& text, QWidget* focus) {
    TUserInteraction::instance().titledMessageBox(text, TMessageKind::Error, TMsgButtons::Ok,
                                                  QStringLiteral("Ошибка"), 0);
    if (focus)
        focus->setFocus();
}

} // namespace

TformUserInfo::TformUserInfo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formUserInfo"));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    auto edit = [this, fields](const char* name, const char* label, bool password) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QString::fromUtf8(name));
        line->setMaxLength(128);
        if (password)
            line->setEchoMode(QLineEdit::Password);
        fields->addRow(QString::fromUtf8(label), line);
        return line;
    };
    edLogin = edit("edLogin", "Логин *", false);
    edPassword = edit("edPassword", "Пароль *", true);
    edPassword2 = edit("edPassword2", "Подтверждение *", true);
    edUser = edit("edUser", "ФИО *", false);
    layout->addLayout(fields);
    auto box = [this, layout](const char* name, const char* caption) {
        auto* check = new QCheckBox(QString::fromUtf8(caption), this);
        check->setObjectName(QString::fromUtf8(name));
        layout->addWidget(check);
        return check;
    };
    cbSecurityAdmin = box("cbSecurityAdmin", "Администратор ролей и пользователей");
    cbPolicy = box("cbPolicy", "Использовать парольную политику");
    cbEnforse = box("cbEnforse", "Включить устаревание пароля");
    chbShowRoles = box("chbShowRoles", "Показать роли пользователя по применении.");
    const TButtonRow buttons(layout, this, "btnOk", QStringLiteral("Применить"), "btnCancel",
                             QStringLiteral("Отменить"));
    btnOk = buttons.confirm;
    btnCancel = buttons.cancel;
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cbPolicy, &QCheckBox::toggled, this, [this](bool on) {
        if (!on)
            cbEnforse->setChecked(false);
        cbEnforse->setEnabled(on);
    });
    connect(btnOk, &QPushButton::clicked, this, &TformUserInfo::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        chbShowRoles->setChecked(false);
        reject();
    });
}

int TformUserInfo::Execute(int userId, int pic, const QString& userName, const QString& fullName) {
    cbSecurityAdmin->setChecked(false);
    cbPolicy->setChecked(false);
    cbEnforse->setChecked(false);
    cbEnforse->setEnabled(false);
    for (QLineEdit* line : {edLogin, edPassword, edPassword2, edUser})
        line->clear();
    Saved = false;
    UserId = userId;
    chbShowRoles->setChecked(true);
    setWindowTitle(QStringLiteral("Создание пользователя"));
    if (userId > 0) {
        chbShowRoles->setChecked(false);
        edUser->setText(fullName);
        TDbUtilsClass* db = TDbUtilsClass::getInstance();
        try {
            if (pic == 1) {
                std::unique_ptr<TDbQuery> user =
                    TSecurityQueries::open(QStringLiteral("sp_helpuser"), {{"name_in_db", fullName}});
                const QString column = user->fieldIndex(QStringLiteral("GroupName")) >= 0
                                           ? QStringLiteral("GroupName")
                                           : QStringLiteral("RoleName");
                bool inRole = false;
                QString login;
                for (; !user->eof(); user->next()) {
                    login = user->value(QStringLiteral("LoginName")).toString();
                    edUser->setText(user->value(QStringLiteral("UserName")).toString());
                    inRole = inRole || user->value(column).toString().compare(
                                           QStringLiteral("ORTASecurityAdmin"), Qt::CaseInsensitive) == 0;
                }
                bool server = false;
                if (inRole) {
                    std::unique_ptr<TDbQuery> admins = TSecurityQueries::openExec(
                        {QStringLiteral("exec sp_helpsrvrolemember 'securityadmin'")});
                    for (; !admins->eof(); admins->next())
                        server = server || admins->value(QStringLiteral("MemberName"))
                                                   .toString()
                                                   .compare(login, Qt::CaseInsensitive) == 0;
                }
                cbSecurityAdmin->setChecked(inRole && server);
            }
        } catch (const std::exception& e) {
            errorBox(QString::fromUtf8(e.what()));
        }
        edLogin->setText(userName);
        setWindowTitle(QStringLiteral("Информация о пользователе ") + userName);
        edUser->setText(fullName);
        try {
            std::unique_ptr<TDbQuery> login =
                db->openQuery(QStringLiteral("Select * from sys.sql_logins where name =") +
                              TDbUtilsClass::stringLiteral(userName));
            if (!login->eof()) {
                cbPolicy->setChecked(login->value(QStringLiteral("is_policy_checked")).toBool());
                cbEnforse->setChecked(login->value(QStringLiteral("is_expiration_checked")).toBool());
            }
        } catch (const std::exception&) {
            // The policy boxes stay unticked.
        }
    }
    return TUserInteraction::instance().showModal(this);
}

bool TformUserInfo::validate() {
    if (edLogin->text().isEmpty()) {
        failure(QStringLiteral("Введите регистрационное имя"), edLogin);
        return false;
    }
    if (edUser->text().isEmpty()) {
        failure(QStringLiteral("Введите ФИО пользователя"), edUser);
        return false;
    }
    if (edPassword->text().isEmpty()) {
        failure(QStringLiteral("Введите пароль"), edPassword);
        return false;
    }
    if (edPassword2->text().isEmpty() || edPassword2->text() != edPassword->text()) {
        failure(QStringLiteral("Пароль и подтверждение не совпадают"), edPassword2);
        return false;
    }
    if (edPassword->text().contains(QLatin1Char('\'')) || edPassword->text().contains(QLatin1Char('"'))) {
        failure(QStringLiteral("Недопустимый символ\r\nНе используйте в пароле символы ' и \""), edPassword);
        edPassword->selectAll();
        return false;
    }
    return true;
}

bool TformUserInfo::report(const std::exception& error) {
    failure(TSecurityQueries::errorHas(
                error, {QStringLiteral("User does not have permission to perform this action")})
                ? NoRights
                : QStringLiteral("Произошла ошибка\r\n\r\n") + QString::fromUtf8(error.what()),
            nullptr);
    return false;
}

void TformUserInfo::btnOkClick() {
    if (!validate())
        return;
    const bool creating = windowTitle() == QStringLiteral("Создание пользователя");
    const QString login = edLogin->text();
    const QString fullName = edUser->text();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TStatementSink server;
    try {
        QStringList roles;
        if (UserId > 0) {
            std::unique_ptr<TDbQuery> names = db->openQuery(
                QStringLiteral(
                    "Select Fname from tRoles where id in (Select InkRole From tUserRoles where InkUser= ") +
                QString::number(UserId) + QLatin1Char(')'));
            for (; !names->eof(); names->next())
                roles << names->value(0).toString();
        }
        const auto flag = [](const QCheckBox* box) {
            return box->isChecked() ? QStringLiteral("-1") : QStringLiteral("0");
        };
        server.exec(QStringLiteral("exec adm_UserInfoSave @usr_id = '") +
                    QString::number(UserId > 0 ? UserId : -1) + QStringLiteral("', @usr_UserName = ") +
                    TDbUtilsClass::stringLiteral(login) + QStringLiteral(", @usr_UserSurnameNP = ") +
                    TDbUtilsClass::stringLiteral(fullName) + QStringLiteral(", @usr_IsSecurityAdmin= ") +
                    flag(cbSecurityAdmin) + QStringLiteral(", @usr_IsEnforcePasswordExpiration = ") +
                    flag(cbEnforse) + QStringLiteral(", @usr_IsEnforcePasswordPolicy = ") + flag(cbPolicy));
        UserId = db->scalarQuery(QStringLiteral("select id from UserInfo where UserName=") +
                                 TDbUtilsClass::stringLiteral(login))
                     .toInt();
        // The memberships are renewed for the database user of the (maybe new) name.
        for (const QString& role : roles)
            server.call(QStringLiteral("sp_addrolemember"), {{"rolename", role}, {"membername", fullName}});
    } catch (const std::exception& e) {
        report(e);
        return;
    }
    try {
        server.call(QStringLiteral("sp_password"),
                    {{"old", QVariant()}, {"new", edPassword2->text()}, {"loginame", login}});
    } catch (const std::exception& e) {
        if (TSecurityQueries::errorHas(e, {QStringLiteral("Only members of the sysadmin role")})) {
            failure(NoRights + QStringLiteral("\r\n\r\nПароль не был изменен"), nullptr);
        } else if (creating) {
            failure(QStringLiteral("Пароль не был задан: \r\n\r\n") + QString::fromUtf8(e.what()), nullptr);
        } else {
            failure(QStringLiteral("Пароль не был изменен: \r\n\r\n") + QString::fromUtf8(e.what()), nullptr);
            return;
        }
    }
    try {
        if (cbSecurityAdmin->isChecked()) {
            server.call(QStringLiteral("sp_addrolemember"),
                        {{"rolename", QStringLiteral("ORTASecurityAdmin")}, {"membername", fullName}});
            server.exec(QStringLiteral("exec sp_addsrvrolemember ") + TDbUtilsClass::stringLiteral(login) +
                        QStringLiteral(", 'securityadmin'"));
        } else {
            server.call(QStringLiteral("sp_droprolemember"),
                        {{"rolename", QStringLiteral("ORTASecurityAdmin")}, {"membername", fullName}});
        }
    } catch (const std::exception& e) {
        report(e);
        return;
    }
    Saved = true;
    accept();
}
