#include "TQtSqlConnection.h"

#include "TConnectionString.h"
#include "TMemoryQuery.h"
#include "TQtSqlQuery.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QAtomicInt connectionCounter;

// Braces keep ';', '=' and outer blanks of a typed value. FreeTDS ends a braced value at the first
// "}" followed by ";" or the end and takes everything before it as written ("}}" stays two
// characters), so the one thing it cannot carry is "};" inside a value.
QString odbcValue(const QString& value) {
    if (value.contains(QLatin1String("};")))
        // The value itself stays out of the text: it may be a password.
        throw EDBException(
            QStringLiteral("Имя пользователя, пароль или параметр подключения содержит сочетание "
                           "символов \"};\", которое драйвер SQL Server передать не может."),
            QString());
    return QLatin1Char('{') + value + QLatin1Char('}');
}

// libpq reads an option value up to the next blank unless it is quoted.
QString libpqValue(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('\''), QLatin1String("\\'"));
    escaped.remove(QLatin1Char(';')); // Qt turns ';' into the separator of options
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

constexpr int loginTimeoutSeconds = 15;

} // namespace

TQtSqlConnection::TQtSqlConnection()
    : m_name(QStringLiteral("vantorel_%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {}

TQtSqlConnection::~TQtSqlConnection() {
    if (QSqlDatabase::contains(m_name)) {
        database().close();
        QSqlDatabase::removeDatabase(m_name);
    }
}

QSqlDatabase TQtSqlConnection::database() const {
    return QSqlDatabase::database(m_name, false);
}

namespace {

// A statement that failed because the connection is gone: the next statement connects anew.
bool connectionLost(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText() + error.driverText();
    return code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
           text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("terminating connection"));
}

} // namespace

EDBException TQtSqlConnection::failure(const QSqlError& error) {
    if (connectionLost(error))
        close();
    return toException(error);
}

EDBException TQtSqlConnection::toException(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return EDBException(text, error.nativeErrorCode());
}

void TQtSqlConnection::configurePostgres(QSqlDatabase& db) const {
    const TConnectionString cs = TConnectionString::parse(connectionString());
    db.setHostName(cs.host());
    if (cs.port() > 0)
        db.setPort(cs.port());
    db.setDatabaseName(cs.database);
    db.setUserName(userName());
    db.setPassword(password());
    db.setConnectOptions(
        QStringLiteral("connect_timeout=%1;application_name=%2")
            .arg(loginTimeoutSeconds)
            .arg(libpqValue(cs.application.isEmpty() ? QStringLiteral("Vantorel") : cs.application)));
}

void TQtSqlConnection::configureOdbc(QSqlDatabase& db) const {
    const TConnectionString cs = TConnectionString::parse(connectionString());
    QString text = QStringLiteral("DRIVER={FreeTDS};SERVER=%1;").arg(odbcValue(cs.host()));
    if (cs.port() > 0)
        text += QStringLiteral("PORT=%1;").arg(cs.port());
    // Timeout is FreeTDS's time-out of every statement: it cancels the statement and reports HYT00.
    text += QStringLiteral("DATABASE=%1;UID=%2;PWD=%3;TDS_Version=7.4;ClientCharset=UTF-8;Timeout=%4;")
                .arg(odbcValue(cs.database), odbcValue(userName()), odbcValue(password()))
                .arg(commandTimeout());
    if (!cs.application.isEmpty())
        text += QStringLiteral("APP=%1;").arg(odbcValue(cs.application));
    db.setDatabaseName(text);
    // Without a login time-out a dead listener hangs the connect.
    db.setConnectOptions(
        QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(loginTimeoutSeconds));
}

void TQtSqlConnection::open() {
    close();
    m_postgres = TConnectionString::parse(connectionString()).isPostgres();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
    QSqlDatabase db =
        QSqlDatabase::addDatabase(m_postgres ? QStringLiteral("QPSQL") : QStringLiteral("QODBC"), m_name);
    if (!db.isValid())
        throw EDBException(QStringLiteral("Драйвер базы данных %1 не установлен").arg(db.driverName()),
                           QString());
    if (m_postgres)
        configurePostgres(db);
    else
        configureOdbc(db);
    if (!db.open())
        throw toException(db.lastError());
    if (m_postgres) {
        // The dialect's literals double quotes and nothing else: that is safe only while backslashes
        // are ordinary characters, whatever the database or the role sets by default.
        execute(QStringLiteral("SET standard_conforming_strings = on"));
        execute(QStringLiteral("SET statement_timeout = '%1s'").arg(commandTimeout()));
    }
    if (!sessionQuery().isEmpty())
        openQuery(sessionQuery());
}

void TQtSqlConnection::close() {
    m_inTransaction = false;
    if (QSqlDatabase::contains(m_name))
        database().close();
}

bool TQtSqlConnection::isOpen() const {
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

void TQtSqlConnection::sendPlain(const QString& sql) {
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw failure(query.lastError());
}

template <typename Statement> auto TQtSqlConnection::undoAloneOnFailure(Statement statement) {
    if (!m_postgres || !m_inTransaction)
        return statement();
    sendPlain(QStringLiteral("SAVEPOINT vantorel_statement"));
    try {
        auto result = statement();
        sendPlain(QStringLiteral("RELEASE SAVEPOINT vantorel_statement"));
        return result;
    } catch (...) {
        try {
            if (isOpen())
                sendPlain(QStringLiteral("ROLLBACK TO SAVEPOINT vantorel_statement"));
        } catch (...) {
            // The statement's own error is the one to report.
        }
        throw;
    }
}

std::unique_ptr<TDbQuery> TQtSqlConnection::openQuery(const QString& sql) {
    return undoAloneOnFailure([this, &sql] { return runQuery(sql); });
}

std::unique_ptr<TDbQuery> TQtSqlConnection::runQuery(const QString& sql) {
    QSqlQuery query(database());
    query.setForwardOnly(!m_postgres); // ODBC results are read once, into memory
    if (!query.exec(sql))
        throw failure(query.lastError());
    // A batch may answer with row counts before the result that has columns.
    while (!query.isSelect() && query.nextResult()) {
    }
    if (query.lastError().isValid())
        throw failure(query.lastError());
    if (m_postgres)
        return std::make_unique<TQtSqlQuery>(std::move(query));

    const QSqlRecord record = query.record();
    std::vector<TSourceField> fields;
    for (int i = 0; i < record.count(); ++i)
        fields.push_back(TQtSqlQuery::odbcField(record.field(i)));
    std::vector<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << query.value(i);
        rows.push_back(std::move(row));
    }
    return std::make_unique<TMemoryQuery>(std::move(fields), std::move(rows));
}

qint64 TQtSqlConnection::execute(const QString& sql) {
    return undoAloneOnFailure([this, &sql] { return runStatement(sql); });
}

qint64 TQtSqlConnection::runStatement(const QString& sql) {
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw failure(query.lastError());
    const qint64 affected = query.isSelect() ? -1 : query.numRowsAffected();
    while (query.nextResult()) {
    }
    if (query.lastError().isValid())
        throw failure(query.lastError());
    return affected;
}

void TQtSqlConnection::beginTransaction() {
    if (!isOpen())
        open(); // a connection lost earlier is made anew when work starts again
    QSqlDatabase db = database();
    if (!db.transaction())
        throw failure(db.lastError());
    m_inTransaction = true;
}

void TQtSqlConnection::commit() {
    QSqlDatabase db = database();
    const bool ok = db.commit();
    m_inTransaction = false;
    if (!ok)
        throw failure(db.lastError());
}

void TQtSqlConnection::rollback() {
    QSqlDatabase db = database();
    const bool ok = db.rollback();
    m_inTransaction = false;
    if (!ok)
        throw failure(db.lastError());
}
