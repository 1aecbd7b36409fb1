#include "TLogin.h"

#include "EOrtaException.h"
#include "OrtaUtils.h"
#include "TDbUtilsClass.h"
#include "TLogging.h"
#include "TOrtaSettings.h"
#include "TProgramVersion.h"
#include "TUser.h"
#include "TextHelpers.h"
#include "TfPasswordDlg.h"

#include <QRegularExpression>

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

constexpr int kRecentNames = 10;

QString versionText() {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(TProgramVersion::major)
        .arg(TProgramVersion::minor)
        .arg(TProgramVersion::release)
        .arg(TProgramVersion::build);
}

// The compatibility answer of the database for this program version; unrecoverable answers raise.
void checkVersion() {
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const auto query = db->openQuery(db->compatibilityQuery(
        TProgramVersion::major, TProgramVersion::minor, TProgramVersion::release, TProgramVersion::build));
    const int answer = query->eof() ? 0 : query->value(QStringLiteral("Permision")).toInt();
    const QString version = QStringLiteral("Данная версия (") + versionText();
    switch (answer) {
    case 400:
        return;
    case 300:
        infoBox(version +
                QStringLiteral(") программы устарела, но Вы можете продолжать работу в ней. Обратитесь к "
                               "разработчикам для получения новой версии."));
        return;
    case 200:
        throw EOrtaException(
            QStringLiteral("Ошибка версии программы.\n\r\n\r") + version +
            QStringLiteral(") программы устарела. Обратитесь к разработчикам для получения новой версии."));
    default:
        throw EOrtaException(
            QStringLiteral("Ошибка версии программы.\n\r\n\r") + version +
            QStringLiteral(") программы не совместима с Базой данных. Обратитесь к разработчикам для "
                           "получения новой версии."));
    }
}

// Connects the main connection with the typed login; false when the server refused the login.
bool connect(const QString& userName, const QString& password) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    connection.close();
    connection.setConnectionString(TDbUtilsClass::connectionString());
    connection.setLogin(userName, password);
    try {
        connection.open();
    } catch (const EDBException& e) {
        if (TDbUtilsClass::getInstance()->classifyError(e) == TDbErrorKind::LoginFailed) {
            errorBox(QStringLiteral("Ошибка подключения для \"") + userName + QStringLiteral("\""));
            return false;
        }
        throw EOrtaException(
            QStringLiteral("Возникла ошибка при попытке подключения к базе данных. Обратитесь к "
                           "администратору.\n\r\n\r") +
            e.message());
    }
    return true;
}

} // namespace

QString TLogin::recentNamesFile() {
    return tempPath() + QStringLiteral("Vantorel.txt");
}

QStringList TLogin::loadRecentNames() {
    QFile file(recentNamesFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The file may have been written by another program: any line break ends a name.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList names = fromWindows1251(file.readAll()).split(lineBreak);
    while (!names.isEmpty() && names.last().isEmpty())
        names.removeLast();
    return names;
}

void TLogin::saveRecentNames(const QStringList& names) {
    QFile file(recentNamesFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const QString& name : names)
        file.write(toWindows1251(name) + "\r\n");
}

QStringList TLogin::withRecentName(QStringList names, const QString& typed) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (sameText(names.at(i), typed)) {
            names.removeAt(i);
            break;
        }
    }
    names.prepend(typed);
    while (names.size() > kRecentNames)
        names.removeLast();
    return names;
}

bool TLogin::RunLogin(TfPasswordDlg& dialog, const QStringList& arguments) {
    const QString lastUserValue = exeFileName();
    if (TOrtaSettings::userKeyExists()) {
        if (QFile::exists(recentNamesFile()))
            dialog.setRecentNames(loadRecentNames());
        dialog.setUserName(TOrtaSettings::value(TOrtaSettings::Scope::User, lastUserValue));
    }

    bool userGiven = false;
    bool passwordGiven = false;
    for (const QString& raw : arguments) {
        const QString parameter = raw.trimmed();
        if (const qsizetype u = parameter.indexOf(QLatin1String("-U")); u >= 0) {
            dialog.setUserName(parameter.mid(u + 2).trimmed());
            userGiven = true;
        } else if (const qsizetype p = parameter.indexOf(QLatin1String("-P")); p >= 0) {
            dialog.edPassword->setText(parameter.mid(p + 2).trimmed());
            passwordGiven = true;
        }
    }

    for (;;) {
        if (!(userGiven && passwordGiven)) {
            if (TUserInteraction::instance().showModal(&dialog) != QDialog::Accepted) {
                if (questionBox(QStringLiteral("Завершить работу с программой?"), TMsgButtons::OkCancel) ==
                    TMsgResult::Ok)
                    return false;
                dialog.setResult(0);
                continue;
            }
        }
        userGiven = passwordGiven = false;

        const QString userName = dialog.userName();
        if (!connect(userName, dialog.edPassword->text()))
            continue;
        checkVersion();

        std::unique_ptr<TUser> user;
        try {
            user = std::make_unique<TUser>(userName);
        } catch (const std::exception& e) {
            throw EOrtaException(QStringLiteral("Ошибка при инициализации пользователя.\n\r\n\r") +
                                 errorMessage(e));
        }

        const QStringList names = withRecentName(dialog.recentNames(), userName);
        dialog.setRecentNames(names);
        dialog.setUserName(userName);
        saveRecentNames(names);

        if (user->CanRunWorkstation()) {
            TUser::setCurrent(std::move(user));
            try {
                TOrtaSettings::setValue(TOrtaSettings::Scope::User, lastUserValue, userName);
            } catch (const std::exception&) {
                // The last name is a convenience; a read-only settings store must not stop the login.
            }
            return true;
        }
        errorBox(QStringLiteral("Недостаточно прав для запуска АРМ"));
    }
}

void TLogin::FatalError(const QString& where, const QString& what, const std::exception& error) {
    const QString message = errorMessage(error);
    errorBox(
        QStringLiteral("Произошла ошибка! Продолжение работы невозможно! Приложение будет закрыто!\r\n\r\n") +
        message);
    try {
        TLogging::logException(where + QLatin1Char(' ') + what + QStringLiteral("[ ") + message +
                               QStringLiteral("] "));
    } catch (const std::exception&) {
        // The user has been told; an unwritable log must not keep the program alive.
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

void TLogin::Logout() {
    try {
        TUser::setCurrent(nullptr);
        TdmDataBase::instance().adoOrtaDatabase().setSessionQuery(QString());
        TdmDataBase::instance().adoOrtaDatabase().close();
    } catch (...) {
        // Ending the work: nothing left to tell the user.
    }
}
