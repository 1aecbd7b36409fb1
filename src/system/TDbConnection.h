#pragma once

#include "TDbQuery.h"

#include <QString>
#include <QVariantList>
#include <memory>

// One connection to the database server. Statements are sent as written: no placeholder parsing,
// so a ":x" in the text reaches the server unchanged. Failures raise EDBException.
class TDbConnection {
public:
    virtual ~TDbConnection() = default;

    // The program's connection string ("Provider=…;Initial Catalog=…;Data Source=…") without the
    // login; the login is kept apart so that no typed character can alter the other settings.
    void setConnectionString(const QString& text) { m_connectionString = text; }
    const QString& connectionString() const { return m_connectionString; }
    void setLogin(const QString& userName, const QString& password) {
        m_userName = userName;
        m_password = password;
    }
    const QString& userName() const { return m_userName; }
    // A query every opening of the connection sends once it is open, the automatic reconnect
    // included: what the session needs besides the connection's own settings (the context value
    // naming the user to the server). Empty for none.
    void setSessionQuery(const QString& sql) { m_sessionQuery = sql; }
    const QString& sessionQuery() const { return m_sessionQuery; }
    const QString& password() const { return m_password; }

    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual std::unique_ptr<TDbQuery> openQuery(const QString& sql) = 0;
    // A result read forward once, its rows taken as they arrive, so that a big one is never held
    // whole besides its copy. Until its last row is read the connection is still busy with it: a
    // statement sent meanwhile first reads the remaining rows into it. Errors met among the rows
    // are raised by next().
    virtual std::unique_ptr<TDbQuery> openForwardQuery(const QString& sql) { return openQuery(sql); }
    // The rows the statement changed, -1 when the server does not say (SET NOCOUNT ON, DDL).
    virtual qint64 execute(const QString& sql) = 0;
    // A statement with values bound to its parameters in order (":NAME" on SQL Server, "$1"… on
    // PostgreSQL): large binary values travel as they are, not as text. A null QVariant is NULL.
    virtual qint64 executeWithValues(const QString& sql, const QVariantList& values) = 0;

    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    // Seconds a statement may run before the driver cancels it; applies from the next opening.
    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }
    int commandTimeout() const { return m_commandTimeout; }

private:
    QString m_connectionString;
    QString m_userName;
    QString m_password;
    QString m_sessionQuery;
    int m_commandTimeout = 1000;
};
