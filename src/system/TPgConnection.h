#pragma once

#include "EDBException.h"
#include "TDbConnection.h"
#include "TPgQuery.h"

class TPgRowStream;

#include <libpq-fe.h>

#include <QByteArray>
#include <mutex>
#include <optional>

// The connection to PostgreSQL through libpq. Every error carries its SQLSTATE, a refused login's
// included. A statement runs at most the command time-out: the server cancels it, and a server that
// stops answering is asked to cancel and then left.
class TPgConnection : public TDbConnection {
public:
    TPgConnection() = default;
    ~TPgConnection() override;
    TPgConnection(const TPgConnection&) = delete;
    TPgConnection& operator=(const TPgConnection&) = delete;

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
    bool inTransaction() const override { return m_inTransaction; }

    // Asks the server to stop the statement that runs now; safe from any thread.
    void cancel();

private:
    friend class TPgRowStream;
    struct Outcome {
        TPgResult rows;       // the first result that has columns
        qint64 affected = -1; // the rows the first statement changed, when it says
        QByteArray command;   // the tag of the last statement without rows ("COMMIT", "ROLLBACK" …)
    };
    Outcome run(const QString& sql, const QVariantList* values = nullptr);
    Outcome collect();
    // The next result of the statements sent, waited for; null when they are done.
    TPgResult nextResult();
    // The next result with rows of the open stream; null at its end, once the results of every
    // statement sent with it have been read. Raises the first failure among them.
    TPgResult streamResult();
    // Has the open stream, if any, read its remaining rows, so that the connection is free.
    void freeFromStream();
    void connect();
    void waitReadable(int milliseconds);
    void sendPlain(const QString& sql);
    // PostgreSQL ends a transaction at its first failed statement; SQL Server, as the program runs
    // it, undoes only that statement and goes on. Inside a transaction each statement runs behind a
    // savepoint, so that a failure undoes that statement alone.
    template <typename Statement> auto undoAloneOnFailure(Statement statement);
    EDBException connectionFailure(const QString& fallbackCode);
    EDBException lost();

    PGconn* m_connection = nullptr;
    PGcancel* m_cancel = nullptr;
    std::mutex m_cancelLock;
    bool m_inTransaction = false;
    TPgRowStream* m_stream = nullptr;
    bool m_streamRowsEnded = false;
    TPgResult m_streamHeader; // the end of the rows, carrying the columns of a result without any
    std::optional<EDBException> m_streamFailure;
};
