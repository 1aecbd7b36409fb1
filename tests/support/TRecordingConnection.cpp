#include "TRecordingConnection.h"

#include "TMemoryQuery.h"

void TRecordingConnection::open() {
    if (openError)
        throw *openError;
    m_open = true;
    ++opened;
}

TScriptedResult TRecordingConnection::next(const QString& sql) {
    statements << sql;
    if (results.empty())
        return {};
    TScriptedResult result = std::move(results.front());
    results.pop_front();
    if (result.error)
        throw *result.error;
    return result;
}

std::unique_ptr<TDbQuery> TRecordingConnection::openQuery(const QString& sql) {
    TScriptedResult result = next(sql);
    return std::make_unique<TMemoryQuery>(std::move(result.fields), std::move(result.rows));
}

qint64 TRecordingConnection::execute(const QString& sql) {
    return next(sql).rowsAffected;
}

qint64 TRecordingConnection::executeWithValues(const QString& sql, const QVariantList& values) {
    boundValues.push_back(values);
    return next(sql).rowsAffected;
}

void TRecordingConnection::beginTransaction() {
    transactions << QStringLiteral("begin");
    m_inTransaction = true;
}

void TRecordingConnection::commit() {
    transactions << QStringLiteral("commit");
    m_inTransaction = false;
}

void TRecordingConnection::rollback() {
    transactions << QStringLiteral("rollback");
    m_inTransaction = false;
}
