#pragma once

#include "EDBException.h"
#include "TDbConnection.h"
#include "TSourceField.h"

#include <QStringList>
#include <QVariantList>
#include <deque>
#include <optional>
#include <vector>

// What the recording connection answers to one statement.
struct TScriptedResult {
    std::vector<TSourceField> fields;
    std::vector<QVariantList> rows;
    std::optional<EDBException> error;
    qint64 rowsAffected = -1; // a statement: the rows the server says it changed

    static TScriptedResult failure(const QString& message, const QString& code) {
        TScriptedResult r;
        r.error = EDBException(message, code);
        return r;
    }
};

// A connection for unit tests: lists every statement sent and answers each with the next scripted
// result (an empty result when none is queued).
class TRecordingConnection : public TDbConnection {
public:
    void open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    std::unique_ptr<TDbQuery> openQuery(const QString& sql) override;
    qint64 execute(const QString& sql) override;
    qint64 executeWithValues(const QString& sql, const QVariantList& values) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    QStringList statements;
    std::vector<QVariantList> boundValues; // of each statement sent with values, in order
    QStringList transactions;
    std::deque<TScriptedResult> results;
    std::optional<EDBException> openError;
    int opened = 0;

private:
    TScriptedResult next(const QString& sql);

    bool m_open = false;
    bool m_inTransaction = false;
};
