#include "TProviderConnection.h"

#include "EDBException.h"
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
    m_transaction = false;
    if (m_connection)
        m_connection->close();
}

bool TProviderConnection::isOpen() const {
    return m_connection && m_connection->isOpen();
}

bool TProviderConnection::inTransaction() const {
    return m_transaction;
}

bool TProviderConnection::transactionLost() const {
    return m_transaction && !(m_connection && m_connection->isOpen() && m_connection->inTransaction());
}

TDbConnection& TProviderConnection::inOpenTransaction() {
    if (transactionLost())
        throw EDBException(
            QStringLiteral("Соединение с сервером потеряно, транзакция прервана: изменения не сохранены"),
            QStringLiteral("08006"));
    return current();
}

// A statement before the first opening opens, as a lost connection does.
TDbConnection& TProviderConnection::current() {
    if (!m_connection)
        open();
    return *m_connection;
}

std::unique_ptr<TDbQuery> TProviderConnection::openQuery(const QString& sql) {
    return inOpenTransaction().openQuery(sql);
}

std::unique_ptr<TDbQuery> TProviderConnection::openForwardQuery(const QString& sql) {
    return inOpenTransaction().openForwardQuery(sql);
}

qint64 TProviderConnection::execute(const QString& sql) {
    return inOpenTransaction().execute(sql);
}

qint64 TProviderConnection::executeWithValues(const QString& sql, const QVariantList& values) {
    return inOpenTransaction().executeWithValues(sql, values);
}

void TProviderConnection::beginTransaction() {
    if (!isOpen())
        open(); // the session settings of this connection go with the new one
    m_connection->beginTransaction();
    m_transaction = true;
}

void TProviderConnection::commit() {
    inOpenTransaction();
    m_transaction = false;
    current().commit();
}

// The server has undone a transaction whose connection it lost; there is nothing left to roll back.
void TProviderConnection::rollback() {
    const bool lost = transactionLost();
    m_transaction = false;
    if (!lost)
        current().rollback();
}
