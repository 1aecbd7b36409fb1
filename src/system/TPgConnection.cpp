#include "TPgConnection.h"

#include "TConnectionString.h"
#include "TPgRowStream.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <cerrno>
#include <optional>
#include <poll.h>
#include <vector>

namespace {

constexpr int loginTimeoutSeconds = 15;
// How long a server that ignores a cancel request is waited for before the connection is left.
constexpr int cancelGraceMilliseconds = 5000;

const QString lostCode = QStringLiteral("08006");
const QString timeoutCode = QStringLiteral("57014");

QString text(const char* utf8) {
    return QString::fromUtf8(utf8).trimmed();
}

// libpq's message of a failed login starts "FATAL:  28P01: …" at verbose error verbosity: the code
// is taken out and the text kept as the server wrote it.
EDBException splitCode(const QString& message, const QString& fallbackCode) {
    static const QStringList severities{QStringLiteral("FATAL:  "), QStringLiteral("ERROR:  ")};
    for (const QString& severity : severities) {
        const qsizetype at = message.indexOf(severity);
        if (at < 0)
            continue;
        const qsizetype codeAt = at + severity.size();
        if (message.size() >= codeAt + 7 && message.at(codeAt + 5) == QLatin1Char(':')) {
            const QString code = message.mid(codeAt, 5);
            QString rest = message.left(codeAt) + message.mid(codeAt + 7);
            const qsizetype location = rest.indexOf(QLatin1String("\nLOCATION:"));
            if (location >= 0)
                rest.truncate(location);
            return EDBException(rest.trimmed(), code);
        }
    }
    return EDBException(message, fallbackCode);
}

EDBException resultFailure(const PGresult* result) {
    const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    return EDBException(text(PQresultErrorMessage(result)), code ? QString::fromLatin1(code) : QString());
}

} // namespace

TPgConnection::~TPgConnection() {
    close();
}

void TPgConnection::close() {
    m_inTransaction = false;
    if (m_stream)
        std::exchange(m_stream, nullptr)->connectionGone();
    std::lock_guard lock(m_cancelLock);
    if (m_cancel)
        PQfreeCancel(m_cancel);
    m_cancel = nullptr;
    if (m_connection)
        PQfinish(m_connection);
    m_connection = nullptr;
}

bool TPgConnection::isOpen() const {
    return m_connection && PQstatus(m_connection) == CONNECTION_OK;
}

void TPgConnection::open() {
    close();
    connect();
    // The dialect's literals double quotes and nothing else: that is safe only while backslashes
    // are ordinary characters, whatever the database or the role sets by default. Dates are read
    // in ISO form.
    sendPlain(QStringLiteral("SET standard_conforming_strings = on; SET DateStyle = ISO, YMD; "
                             "SET statement_timeout = '%1s'")
                  .arg(commandTimeout()));
    if (!sessionQuery().isEmpty())
        openQuery(sessionQuery());
}

void TPgConnection::connect() {
    const TConnectionString cs = TConnectionString::parse(connectionString());
    const QByteArray host = cs.host().toUtf8();
    const QByteArray port = cs.port() > 0 ? QByteArray::number(cs.port()) : QByteArray();
    const QByteArray database = cs.database.toUtf8();
    const QByteArray user = userName().toUtf8();
    const QByteArray password = this->password().toUtf8();
    const QByteArray application =
        (cs.application.isEmpty() ? QStringLiteral("Vantorel") : cs.application).toUtf8();
    std::vector<const char*> keys, values;
    auto add = [&](const char* key, const QByteArray& value) {
        if (!value.isEmpty()) {
            keys.push_back(key);
            values.push_back(value.constData());
        }
    };
    add("host", host);
    add("port", port);
    add("dbname", database);
    add("user", user);
    add("password", password);
    add("application_name", application);
    add("client_encoding", QByteArrayLiteral("UTF8"));
    keys.push_back(nullptr);
    values.push_back(nullptr);

    // Started without blocking, so that the login's own messages come with their SQLSTATE and the
    // login time-out is ours to keep.
    m_connection = PQconnectStartParams(keys.data(), values.data(), 0);
    if (!m_connection)
        throw EDBException(QStringLiteral("Недостаточно памяти для подключения к серверу"), QString());
    PQsetErrorVerbosity(m_connection, PQERRORS_VERBOSE);
    const QDeadlineTimer deadline(loginTimeoutSeconds * 1000);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK) {
        if (state == PGRES_POLLING_FAILED || PQstatus(m_connection) == CONNECTION_BAD)
            throw connectionFailure(lostCode);
        pollfd socket{PQsocket(m_connection), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int ready = poll(&socket, 1, int(deadline.remainingTime()));
        if (ready == 0) {
            close();
            throw EDBException(QStringLiteral("Время ожидания подключения к серверу истекло"), lostCode);
        }
        state = PQconnectPoll(m_connection);
    }
    PQsetErrorVerbosity(m_connection, PQERRORS_DEFAULT);
    // The server's notices ("there is no transaction in progress" and the like) are not the user's
    // business; libpq would print them on the standard error.
    PQsetNoticeProcessor(
        m_connection, [](void*, const char*) {}, nullptr);
    std::lock_guard lock(m_cancelLock);
    m_cancel = PQgetCancel(m_connection);
}

EDBException TPgConnection::connectionFailure(const QString& fallbackCode) {
    const QString message = text(PQerrorMessage(m_connection));
    close();
    return splitCode(message, fallbackCode);
}

EDBException TPgConnection::lost() {
    const QString message = m_connection ? text(PQerrorMessage(m_connection)) : QString();
    close(); // the next statement connects anew
    return EDBException(message.isEmpty() ? QStringLiteral("Соединение с сервером потеряно") : message,
                        lostCode);
}

void TPgConnection::cancel() {
    std::lock_guard lock(m_cancelLock);
    if (!m_cancel)
        return;
    char error[256];
    PQcancel(m_cancel, error, sizeof error);
}

// Waits until the server answers. The server stops a statement at the command time-out itself;
// one that does not answer by then (a dead link, a stopped server) is asked to cancel, and after a
// grace period the connection is given up.
void TPgConnection::waitReadable(int milliseconds) {
    pollfd socket{PQsocket(m_connection), POLLIN, 0};
    int ready = 0;
    const QDeadlineTimer deadline(milliseconds);
    while ((ready = poll(&socket, 1, int(deadline.remainingTime()))) < 0 && errno == EINTR) {
    }
    if (ready > 0)
        return;
    cancel();
    socket.revents = 0;
    if (poll(&socket, 1, cancelGraceMilliseconds) > 0)
        return; // the server answers the cancel with the statement's error
    close();
    throw EDBException(QStringLiteral("Время ожидания ответа сервера истекло"), timeoutCode);
}

namespace {

// libpq sends a statement as a C string: a NUL inside it would cut it there and send the rest of
// it as if it were all. Such a text is refused before anything goes out.
QByteArray statementText(const QString& text) {
    if (text.contains(QChar(0)))
        throw EDBException(QStringLiteral("Текст содержит символ с кодом 0, который сервер не принимает. "
                                          "Ничего не отправлено на сервер."),
                           QStringLiteral("22021"));
    return text.toUtf8();
}

} // namespace

TPgConnection::Outcome TPgConnection::run(const QString& sql, const QVariantList* values) {
    if (!isOpen())
        throw lost();
    freeFromStream();
    const QByteArray text = statementText(sql);
    if (!values) {
        if (!PQsendQuery(m_connection, text.constData()))
            throw lost();
        return collect();
    }
    // Bytes are sent in binary form, everything else as text the server reads by the parameter's
    // inferred type.
    std::vector<QByteArray> data;
    std::vector<const char*> pointers;
    std::vector<int> lengths, formats;
    data.reserve(std::size_t(values->size()));
    for (const QVariant& value : *values) {
        const bool isNull = !value.isValid() || value.isNull();
        const bool binary = value.typeId() == QMetaType::QByteArray;
        data.push_back(isNull   ? QByteArray()
                       : binary ? value.toByteArray()
                                : statementText(value.toString()));
        pointers.push_back(isNull ? nullptr : data.back().constData());
        lengths.push_back(int(data.back().size()));
        formats.push_back(binary ? 1 : 0);
    }
    if (!PQsendQueryParams(m_connection, text.constData(), int(values->size()), nullptr, pointers.data(),
                           lengths.data(), formats.data(), 0))
        throw lost();
    return collect();
}

TPgConnection::Outcome TPgConnection::collect() {
    Outcome outcome;
    std::optional<EDBException> failure;
    bool first = true;
    for (;;) {
        TPgResult result = nextResult();
        if (!result)
            break;
        switch (PQresultStatus(result.get())) {
        case PGRES_TUPLES_OK:
            if (!outcome.rows)
                outcome.rows = std::move(result);
            break;
        case PGRES_COMMAND_OK:
            outcome.command = QByteArray(PQcmdStatus(result.get()));
            if (first && *PQcmdTuples(result.get()))
                outcome.affected = QByteArray(PQcmdTuples(result.get())).toLongLong();
            break;
        case PGRES_EMPTY_QUERY:
            break;
        default:
            if (!failure)
                failure = resultFailure(result.get());
            break;
        }
        first = false;
    }
    if (PQstatus(m_connection) == CONNECTION_BAD)
        throw lost();
    if (failure)
        throw *failure;
    return outcome;
}

TPgResult TPgConnection::nextResult() {
    while (PQisBusy(m_connection)) {
        waitReadable((commandTimeout() + 5) * 1000);
        if (!PQconsumeInput(m_connection))
            throw lost();
    }
    return TPgResult(PQgetResult(m_connection));
}

TPgResult TPgConnection::streamResult() {
    for (;;) {
        TPgResult result = nextResult();
        if (!result) {
            m_stream = nullptr;
            if (PQstatus(m_connection) == CONNECTION_BAD)
                throw lost();
            if (m_streamFailure)
                throw *std::exchange(m_streamFailure, std::nullopt);
            return {};
        }
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            if (!m_streamRowsEnded)
                return result;
            break; // rows of a later statement of the text, which nobody reads
        case PGRES_TUPLES_OK:
            if (!m_streamRowsEnded) {
                m_streamRowsEnded = true;
                if (PQntuples(result.get()) > 0)
                    return result; // not read row by row: the rows come whole
                m_streamHeader = std::move(result);
            }
            break;
        case PGRES_COMMAND_OK:
        case PGRES_EMPTY_QUERY:
            break;
        default:
            if (!m_streamFailure)
                m_streamFailure = resultFailure(result.get());
            break;
        }
    }
}

void TPgConnection::freeFromStream() {
    if (m_stream)
        m_stream->detach();
    m_stream = nullptr;
}

std::unique_ptr<TDbQuery> TPgConnection::openForwardQuery(const QString& sql) {
    if (m_inTransaction)
        return openQuery(sql); // each statement of a transaction runs behind its savepoint
    if (!isOpen())
        throw lost();
    freeFromStream();
    if (!PQsendQuery(m_connection, statementText(sql).constData()))
        throw lost();
    PQsetSingleRowMode(m_connection);
    m_streamRowsEnded = false;
    m_streamFailure.reset();
    m_streamHeader.reset();
    // The statements before the first one with rows are passed over, as openQuery does.
    TPgResult first = streamResult();
    if (!first) { // no rows: the columns of the statement that had none, if any
        if (!m_streamHeader)
            m_streamHeader.reset(PQmakeEmptyPGresult(m_connection, PGRES_TUPLES_OK));
        return std::make_unique<TPgQuery>(std::move(m_streamHeader));
    }
    auto stream = std::make_unique<TPgRowStream>(*this, std::move(first));
    m_stream = stream.get();
    return stream;
}

void TPgConnection::sendPlain(const QString& sql) {
    run(sql);
}

template <typename Statement> auto TPgConnection::undoAloneOnFailure(Statement statement) {
    if (!m_inTransaction)
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

std::unique_ptr<TDbQuery> TPgConnection::openQuery(const QString& sql) {
    return undoAloneOnFailure([this, &sql]() -> std::unique_ptr<TDbQuery> {
        Outcome outcome = run(sql);
        if (!outcome.rows) // a statement without rows reads as an empty result without columns
            outcome.rows.reset(PQmakeEmptyPGresult(m_connection, PGRES_TUPLES_OK));
        return std::make_unique<TPgQuery>(std::move(outcome.rows));
    });
}

qint64 TPgConnection::execute(const QString& sql) {
    return undoAloneOnFailure([this, &sql] { return run(sql).affected; });
}

qint64 TPgConnection::executeWithValues(const QString& sql, const QVariantList& values) {
    return undoAloneOnFailure([this, &sql, &values] { return run(sql, &values).affected; });
}

void TPgConnection::beginTransaction() {
    if (!isOpen())
        open(); // a connection lost earlier is made anew when work starts again
    sendPlain(QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

void TPgConnection::commit() {
    m_inTransaction = false;
    // A transaction the server had already aborted answers COMMIT with ROLLBACK, and no error.
    if (run(QStringLiteral("COMMIT")).command == "ROLLBACK")
        throw EDBException(QStringLiteral("Транзакция прервана сервером, изменения не сохранены"),
                           QStringLiteral("25P02"));
}

void TPgConnection::rollback() {
    m_inTransaction = false;
    sendPlain(QStringLiteral("ROLLBACK"));
}
