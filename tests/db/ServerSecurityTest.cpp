#include "TProviderConnection.h"
#include "TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

// An ordinary login may not make a function of the workstation's database run his own code with
// its owner's rights, and may not create objects in the public schema at all.
TEST_F(DbTest, FunctionsWithTheirOwnersRightsIgnoreTheCallersSearchPath) {
    const QString login = createLogin("secret");
    auto asRole = [this](const QString& sql) {
        QSqlQuery q(db());
        return q.exec(sql) && q.next() ? q.value(0) : QVariant();
    };
    EXPECT_FALSE(
        asRole(QString("SELECT has_schema_privilege('%1', 'public', 'CREATE')").arg(login)).toBool());

    // A database upgraded from an older server still lets everybody create in public.
    exec("GRANT CREATE ON SCHEMA public TO PUBLIC");
    QSqlDatabase attacker = QSqlDatabase::addDatabase("QPSQL", "attacker");
    attacker.setHostName(server().host);
    attacker.setPort(server().port);
    attacker.setDatabaseName(databaseName());
    attacker.setUserName(login);
    attacker.setPassword("secret");
    ASSERT_TRUE(attacker.open()) << attacker.lastError().text().toStdString();
    {
        QSqlQuery q(attacker);
        ASSERT_TRUE(
            q.exec(QString("CREATE FUNCTION public.lastval() RETURNS bigint LANGUAGE plpgsql AS $$ BEGIN "
                           "EXECUTE 'ALTER ROLE \"%1\" SUPERUSER'; RETURN 1; END $$")
                       .arg(login)))
            << q.lastError().text().toStdString();
        ASSERT_TRUE(q.exec("SET search_path = public, pg_catalog"));
        q.exec("SELECT scope_identity()");
        q.exec("SELECT * FROM dbo.up_GetID('probe')");
    }
    attacker.close();
    QSqlDatabase::removeDatabase("attacker");
    EXPECT_FALSE(asRole(QString("SELECT rolsuper FROM pg_roles WHERE rolname = '%1'").arg(login)).toBool());
}

// Names and passwords reach the driver as typed: a blank inside a login name, blanks around a
// password, quotes and backslashes.
TEST_F(DbTest, LoginsWithBlanksAndQuotesSignIn) {
    struct Login {
        QString name;
        QString password;
    };
    const std::vector<Login> logins{{QStringLiteral("иван петров"), QStringLiteral(" с пробелами ")},
                                    {QStringLiteral("o'brien\\x"), QStringLiteral("pa'ss\\ word;x=1")}};
    for (const Login& login : logins) {
        QString quotedPassword = login.password;
        quotedPassword.replace('\'', "''");
        exec(QString("DROP ROLE IF EXISTS \"%1\"").arg(login.name));
        exec(QString("CREATE ROLE \"%1\" LOGIN PASSWORD '%2'").arg(login.name, quotedPassword));
        TProviderConnection connection;
        connection.setConnectionString(programConnectionString(true));
        connection.setLogin(login.name, login.password);
        EXPECT_NO_THROW(connection.open()) << login.name.toStdString();
        if (connection.isOpen()) {
            EXPECT_EQ(connection.openQuery("SELECT current_user")->value(0).toString(), login.name);
        }
        connection.close();
        exec(QString("DROP ROLE \"%1\"").arg(login.name));
    }
}
