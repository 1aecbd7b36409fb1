#pragma once

#include <QTemporaryDir>

// Points both scopes of the settings store at fresh folders for the life of the object.
class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    void setUser(const QString& name, const QString& value);
    void setMachine(const QString& name, const QString& value);

private:
    QTemporaryDir m_user;
    QTemporaryDir m_machine;
};
