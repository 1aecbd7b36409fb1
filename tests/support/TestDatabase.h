#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// Where scripts/test started the private PostgreSQL cluster.
struct TestServer {
    QString host; // unix-socket folder or address
    int port = 0;
    QString user; // the cluster's superuser
    QString templateName;

    // Empty when the environment names no server.
    static TestServer fromEnvironment();
    bool isValid() const { return !host.isEmpty() && port > 0 && !user.isEmpty() && !templateName.isEmpty(); }
    QSqlDatabase connect(const QString& connectionName, const QString& database) const;
};

// Gives each test its own database copied from the template, and an open connection to it.
// Without a server the test fails: a database test must never pass by not running.
class TDbConnection;

class DbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QSqlDatabase db() const { return QSqlDatabase::database(m_connectionName, false); }
    const QString& databaseName() const { return m_databaseName; }
    const TestServer& server() const { return m_server; }
    // Runs a statement on the test's connection; a failure fails the test.
    void exec(const QString& sql);
    // An audit trigger: after every row inserted into table, a row of another table takes the next
    // value of its own identity, from firstAuditId on (what lastval() then answers). Once per test.
    void auditInserts(const QString& table, int firstAuditId);
    // Makes the program's main connection a real one to the test's database, with the PostgreSQL
    // dialect; undone when the test ends.
    void useAsMainConnection();
    // The program's connection string for the test's database.
    QString programConnectionString(bool overTcp = false) const;
    // Another program connection to the test's database, open, as the cluster's superuser.
    std::unique_ptr<TDbConnection> openProgramConnection() const;
    // A login role of the cluster (roles are shared by all test databases: the name is unique),
    // dropped when the test ends.
    QString createLogin(const QString& password);
    // A text unique to this test; every role whose name contains it is dropped when the test ends
    // (roles belong to the whole cluster).
    QString uniqueTag() const { return m_databaseName.mid(2, 8); }

private:
    TestServer m_server;
    QString m_databaseName;
    QString m_connectionName;
    QString m_adminConnection;
    QStringList m_logins;
    bool m_mainConnection = false;
};
