#include "TestDatabase.h"

#include "TDbUtilsClass.h"
#include "TProviderConnection.h"
#include "TdmDataBase.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

TestServer TestServer::fromEnvironment() {
    TestServer server;
    server.host = qEnvironmentVariable("VANTOREL_TEST_PGHOST");
    server.port = qEnvironmentVariableIntValue("VANTOREL_TEST_PGPORT");
    server.user = qEnvironmentVariable("VANTOREL_TEST_PGUSER");
    server.templateName = qEnvironmentVariable("VANTOREL_TEST_TEMPLATE");
    return server;
}

QSqlDatabase TestServer::connect(const QString& connectionName, const QString& database) const {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(host);
    db.setPort(port);
    db.setUserName(user);
    db.setDatabaseName(database);
    db.open();
    return db;
}

void DbTest::SetUp() {
    m_server = TestServer::fromEnvironment();
    ASSERT_TRUE(m_server.isValid())
        << "No test database server: run the tests with scripts/test, which starts one and sets "
           "VANTOREL_TEST_PGHOST, VANTOREL_TEST_PGPORT, VANTOREL_TEST_PGUSER and VANTOREL_TEST_TEMPLATE.";

    const QString id = QUuid::createUuid().toString(QUuid::Id128).left(16);
    m_databaseName = QStringLiteral("t_") + id;
    m_adminConnection = QStringLiteral("admin_") + id;
    m_connectionName = QStringLiteral("test_") + id;

    QSqlDatabase admin = m_server.connect(m_adminConnection, QStringLiteral("postgres"));
    ASSERT_TRUE(admin.isOpen()) << admin.lastError().text().toStdString();
    QSqlQuery create(admin);
    bool created = false;
    // A template being copied by a parallel test is briefly "accessed by other users".
    for (int attempt = 0; attempt < 50 && !created; ++attempt) {
        created = create.exec(
            QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_databaseName, m_server.templateName));
        if (!created)
            QThread::msleep(100);
    }
    ASSERT_TRUE(created) << create.lastError().text().toStdString();

    const QSqlDatabase connection = m_server.connect(m_connectionName, m_databaseName);
    ASSERT_TRUE(connection.isOpen()) << connection.lastError().text().toStdString();
}

void DbTest::TearDown() {
    if (m_mainConnection) {
        TDbUtilsClass::setInstance(nullptr);
        TdmDataBase::instance().setConnection(nullptr);
    }
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    if (QSqlDatabase::contains(m_adminConnection)) {
        {
            QSqlDatabase admin = QSqlDatabase::database(m_adminConnection, false);
            if (admin.isOpen() && !m_databaseName.isEmpty())
                QSqlQuery(admin).exec(
                    QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_databaseName));
            QStringList roles = m_logins;
            QSqlQuery tagged(admin);
            tagged.exec(QStringLiteral("SELECT rolname FROM pg_roles WHERE strpos(rolname, '%1') > 0")
                            .arg(uniqueTag()));
            while (tagged.next())
                roles << tagged.value(0).toString();
            for (QString role : roles)
                QSqlQuery(admin).exec(QStringLiteral("DROP ROLE IF EXISTS \"%1\"")
                                          .arg(role.replace('"', QStringLiteral("\"\""))));
            admin.close();
        }
        QSqlDatabase::removeDatabase(m_adminConnection);
    }
}

void DbTest::exec(const QString& sql) {
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(sql)) << sql.toStdString() << "\n" << query.lastError().text().toStdString();
}

void DbTest::auditInserts(const QString& table, int firstAuditId) {
    exec(QStringLiteral("CREATE TABLE audit_rows (id integer GENERATED ALWAYS AS IDENTITY (START WITH %1) "
                        "PRIMARY KEY, tab text)")
             .arg(firstAuditId));
    exec(QStringLiteral(
        "CREATE FUNCTION audit_insert() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$ "
        "BEGIN INSERT INTO audit_rows (tab) VALUES (TG_TABLE_NAME); RETURN NULL; END $$"));
    exec(
        QStringLiteral("CREATE TRIGGER audit AFTER INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION audit_insert()")
            .arg(table));
}

QString DbTest::programConnectionString(bool overTcp) const {
    const QString host = overTcp ? QStringLiteral("127.0.0.1") : m_server.host;
    return QStringLiteral("APP=Vantorel tests;Provider=PostgreSQL;Initial Catalog=%1;Data Source=%2,%3")
        .arg(m_databaseName, host)
        .arg(m_server.port);
}

std::unique_ptr<TDbConnection> DbTest::openProgramConnection() const {
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(programConnectionString());
    connection->setLogin(m_server.user, QString());
    connection->open();
    return connection;
}

void DbTest::useAsMainConnection() {
    TdmDataBase::instance().setConnection(openProgramConnection());
    TDbUtilsClass::setInstance(TDbUtilsClass::create(TDbProvider::PostgreSQL));
    m_mainConnection = true;
}

QString DbTest::createLogin(const QString& password) {
    const QString name = QStringLiteral("login_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QSqlQuery query(QSqlDatabase::database(m_adminConnection, false));
    const bool ok = query.exec(QStringLiteral("CREATE ROLE \"%1\" LOGIN PASSWORD '%2'").arg(name, password));
    EXPECT_TRUE(ok) << query.lastError().text().toStdString();
    m_logins << name;
    return name;
}
