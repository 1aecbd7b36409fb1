#include "SettingsSandbox.h"

#include "TOrtaSettings.h"

#include <QSettings>

SettingsSandbox::SettingsSandbox() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_user.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_machine.path());
}

SettingsSandbox::~SettingsSandbox() {
    // Nothing written after the test may reach a real settings file.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/nonexistent/user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                       QStringLiteral("/nonexistent/machine"));
}

void SettingsSandbox::setUser(const QString& name, const QString& value) {
    TOrtaSettings::setValue(TOrtaSettings::Scope::User, name, value);
}

void SettingsSandbox::setMachine(const QString& name, const QString& value) {
    TOrtaSettings::setValue(TOrtaSettings::Scope::Machine, name, value);
}
