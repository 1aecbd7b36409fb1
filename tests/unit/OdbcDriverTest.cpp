// What the SQL Server driver (FreeTDS over ODBC) is given, seen on the wire by a stand-in server:
// no SQL Server runs here, so the login packet and the statement's cancellation are what can be
// checked.
#include "EDBException.h"
#include "TFakeTdsServer.h"
#include "TQtSqlConnection.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

QString connectionString(int port) {
    return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;Initial Catalog=Вестар тест;"
                          "Data Source=127.0.0.1,%1")
        .arg(port);
}

} // namespace

TEST(OdbcDriver, LoginsReachTheServerAsTyped) {
    struct Case {
        QString user;
        QString password;
    };
    const std::vector<Case> cases{
        {QStringLiteral("иван петров"), QStringLiteral(" с пробелами ")},
        {QStringLiteral("o'brien"), QStringLiteral("a}b;c=d}}")},
        {QStringLiteral("{user}"), QStringLiteral("}")},
    };
    for (const Case& c : cases) {
        TFakeTdsServer server(false);
        TQtSqlConnection connection;
        connection.setConnectionString(connectionString(server.port()));
        connection.setLogin(c.user, c.password);
        EXPECT_THROW(connection.open(), EDBException); // the stand-in closes after the login packet
        const TFakeTdsServer::Login login = server.login();
        EXPECT_EQ(login.user, c.user);
        EXPECT_EQ(login.password, c.password);
        EXPECT_EQ(login.database, QStringLiteral("Вестар тест"));
    }
}

TEST(OdbcDriver, APasswordTheDriverCannotCarryIsRefusedBeforeConnecting) {
    TFakeTdsServer server(false);
    TQtSqlConnection connection;
    connection.setConnectionString(connectionString(server.port()));
    connection.setLogin(QStringLiteral("user"), QStringLiteral("a};PWD=b"));
    try {
        connection.open();
        FAIL() << "opened";
    } catch (const EDBException& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"};\""))) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains(QStringLiteral("PWD=b")));
    }
    EXPECT_TRUE(server.login().user.isEmpty()) << "nothing was sent";
}

// A statement the server does not answer is cancelled after the command time-out and reported.
TEST(OdbcDriver, AStatementIsCancelledAfterTheCommandTimeout) {
    TFakeTdsServer server(true);
    TQtSqlConnection connection;
    connection.setConnectionString(connectionString(server.port()));
    connection.setLogin(QStringLiteral("user"), QStringLiteral("secret"));
    connection.setCommandTimeout(2);
    ASSERT_NO_THROW(connection.open());
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(connection.execute(QStringLiteral("WAITFOR DELAY '00:10:00'")), EDBException);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(server.cancelled());
}
