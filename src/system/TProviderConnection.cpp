#include "TProviderConnection.h"

#include "TConnectionString.h"
#include "TPgConnection.h"
#include "TQtSqlConnection.h"

void TProviderConnection::open() {
    const bool postgres = TConnectionString::parse(connectionString()).isPostgres();
    if (!m_connection || postgres != m_postgres) {
        m_connection.reset();
        if (postgres)
            m_connection = std::make_unique<TPgConnection>();
        else
            m_connection = std::make_unique<TQtSqlConnection>();
        m_postgres = postgres;
    }
    m_connection->setConnectionString(connectionString());
    m_connection->setLogin(userName(), password());
    m_connection->setSessionQuery(sessionQuery());
    m_connection->setCommandTimeout(commandTimeout());
    m_connection->open();
}

void TProviderConnection::close() {
    if (m_connection)
        m_connection->close();
}

bool TProviderConnection::isOpen() const {
    return m_connection && m_connection->isOpen();
}

bool TProviderConnection::inTransaction() const {
    return m_connection && m_connection->inTransaction();
}

// A statement before the first opening opens, as a lost connection does.
TDbConnection& TProviderConnection::current() {
    if (!m_connection)
        open();
    return *m_connection;
}

std::unique_ptr<TDbQuery> TProviderConnection::openQuery(const QString& sql) {
    return current().openQuery(sql);
}

qint64 TProviderConnection::execute(const QString& sql) {
    return current().execute(sql);
}

qint64 TProviderConnection::executeWithValues(const QString& sql, const QVariantList& values) {
    return current().executeWithValues(sql, values);
}

void TProviderConnection::beginTransaction() {
    if (!isOpen())
        open(); // the session settings of this connection go with the new one
    m_connection->beginTransaction();
}

void TProviderConnection::commit() {
    current().commit();
}

void TProviderConnection::rollback() {
    current().rollback();
}
