#pragma once

#include "EError.h"

// An error the database server or its client library reported: the server's message and its code
// (a SQL Server error number or a PostgreSQL SQLSTATE; empty when the client gave none).
class EDBException : public EError {
public:
    EDBException(QString message, QString code) : EError(std::move(message)), m_code(std::move(code)) {}
    const QString& code() const noexcept { return m_code; }

private:
    QString m_code;
};
