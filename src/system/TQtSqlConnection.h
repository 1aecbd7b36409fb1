#pragma once

#include "EDBException.h"
#include "TDbConnection.h"

#include <QSqlDatabase>

class QSqlError;
class QSqlRecord;

// The connection to SQL Server through Qt SQL's ODBC driver and FreeTDS.
class TQtSqlConnection : public TDbConnection {
public:
    TQtSqlConnection();
    ~TQtSqlConnection() override;

    void open() override;
    void close() override;
    bool isOpen() const override;
    std::unique_ptr<TDbQuery> openQuery(const QString& sql) override;
    qint64 execute(const QString& sql) override;
    qint64 executeWithValues(const QString& sql, const QVariantList& values) override;
    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return m_inTransaction; }

    static EDBException toException(const QSqlError& error);

private:
    QSqlDatabase database() const;
    EDBException failure(const QSqlError& error);
    void configureOdbc(QSqlDatabase& db) const;

    QString m_name;
    bool m_inTransaction = false;
};
