#pragma once

#include "TDbConnection.h"

// The program's connection: the provider named in the connection string decides, at each opening,
// which client library carries it (libpq for PostgreSQL, Qt's ODBC driver for SQL Server).
class TProviderConnection : public TDbConnection {
public:
    void open() override;
    void close() override;
    bool isOpen() const override;
    std::unique_ptr<TDbQuery> openQuery(const QString& sql) override;
    std::unique_ptr<TDbQuery> openForwardQuery(const QString& sql) override;
    qint64 execute(const QString& sql) override;
    qint64 executeWithValues(const QString& sql, const QVariantList& values) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;

private:
    TDbConnection& current();
    // The connection for a statement; raises when the connection carrying the transaction was lost,
    // so that nothing of the transaction's remainder runs outside it.
    TDbConnection& inOpenTransaction();
    bool transactionLost() const;

    std::unique_ptr<TDbConnection> m_connection;
    bool m_postgres = false;
    // Begun and not yet ended by the caller, whatever became of the connection meanwhile.
    bool m_transaction = false;
};
