#pragma once

#include <QString>
#include <exception>

// Base of every error the program raises: a message text, shown to the user as it stands.
class EError : public std::exception {
public:
    explicit EError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
