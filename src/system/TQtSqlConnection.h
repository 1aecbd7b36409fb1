#pragma once

#include "EDBException.h"
#include "TDbConnection.h"

#include <QSqlDatabase>

class QSqlError;
class QSqlRecord;

// The connection through Qt SQL: QPSQL for PostgreSQL, QODBC with FreeTDS for SQL Server (the
// provider part of the connection string decides).
class TQtSqlConnection : public TDbConnection {
public:
    TQtSqlConnection();
    ~TQtSqlConnection() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    std::unique_ptr<TDbQuery> openQuery(const QString& sql) override;
    qint64 execute(const QString& sql) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    static EDBException toException(const QSqlError& error);

private:
    QSqlDatabase database() const;
    // PostgreSQL ends a transaction at its first failed statement; SQL Server, as the program runs
    // it, undoes only that statement and goes on. Inside a transaction each statement on
    // PostgreSQL runs behind a savepoint, so that a failure undoes that statement alone.
    template <typename Statement> auto undoAloneOnFailure(Statement statement);
    void sendPlain(const QString& sql);
    std::unique_ptr<TDbQuery> runQuery(const QString& sql);
    qint64 runStatement(const QString& sql);
    EDBException failure(const QSqlError& error);
    void configurePostgres(QSqlDatabase& db) const;
    void configureOdbc(QSqlDatabase& db) const;

    QString m_name;
    bool m_postgres = false;
    bool m_inTransaction = false;
};
