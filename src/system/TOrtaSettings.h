#pragma once

#include <QString>

// The settings store: the key "\Software\VELMARK\ORTA" in the current user's and the machine's scope.
// On Windows this is the registry itself; elsewhere QSettings keeps both scopes in its native files.
class TOrtaSettings {
public:
    enum class Scope { User, Machine };

    // Values the program reads in the user scope first, then in the machine scope when the user's
    // value is missing or empty; with machineOnly only the machine scope is read.
    static QString server(bool machineOnly = false);
    static QString dbName(bool machineOnly = false);
    static QString path();
    // The kind of database server: empty or anything but "PostgreSQL" means SQL Server.
    static QString provider();

    static QString value(Scope scope, const QString& name);
    static bool contains(Scope scope, const QString& name);
    // Raises EError when the store cannot be written.
    static void setValue(Scope scope, const QString& name, const QString& value);
    static bool userKeyExists();

private:
    static QString userThenMachine(const QString& name, bool machineOnly);
};
