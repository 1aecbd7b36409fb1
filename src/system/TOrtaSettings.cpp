#include "TOrtaSettings.h"

#include "EError.h"

#include <QSettings>

namespace {

QSettings::Scope qtScope(TOrtaSettings::Scope scope) {
    return scope == TOrtaSettings::Scope::User ? QSettings::UserScope : QSettings::SystemScope;
}

QSettings store(TOrtaSettings::Scope scope) {
    return QSettings(QSettings::NativeFormat, qtScope(scope), QStringLiteral("VELMARK"),
                     QStringLiteral("ORTA"));
}

} // namespace

// The INI files of QSettings read "host,port" as a list of two; the store holds plain texts.
QString TOrtaSettings::value(Scope scope, const QString& name) {
    const QVariant v = store(scope).value(name);
    const bool list = v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList;
    return list ? v.toStringList().join(QLatin1Char(',')) : v.toString();
}

bool TOrtaSettings::contains(Scope scope, const QString& name) {
    return store(scope).contains(name);
}

void TOrtaSettings::setValue(Scope scope, const QString& name, const QString& value) {
    QSettings settings = store(scope);
    settings.setValue(name, value);
    settings.sync();
    if (settings.status() != QSettings::NoError || !settings.isWritable())
        throw EError(QStringLiteral("Нет доступа к хранилищу настроек %1").arg(settings.fileName()));
}

bool TOrtaSettings::userKeyExists() {
    return !store(Scope::User).allKeys().isEmpty();
}

QString TOrtaSettings::userThenMachine(const QString& name, bool machineOnly) {
    if (!machineOnly) {
        const QString user = value(Scope::User, name);
        if (!user.isEmpty())
            return user;
    }
    return value(Scope::Machine, name);
}

QString TOrtaSettings::server(bool machineOnly) {
    return userThenMachine(QStringLiteral("server"), machineOnly);
}

QString TOrtaSettings::dbName(bool machineOnly) {
    return userThenMachine(QStringLiteral("dbname"), machineOnly);
}

QString TOrtaSettings::path() {
    return userThenMachine(QStringLiteral("path"), false);
}

QString TOrtaSettings::provider() {
    return userThenMachine(QStringLiteral("provider"), false);
}
