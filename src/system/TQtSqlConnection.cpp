#include "TQtSqlConnection.h"

#include "TConnectionString.h"
#include "TMemoryQuery.h"

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

constexpr int loginTimeoutSeconds = 15;

TSourceFieldType fromMetaType(int typeId) {
    switch (typeId) {
    case QMetaType::QString:
        return TSourceFieldType::String;
    case QMetaType::Int:
    case QMetaType::UInt:
        return TSourceFieldType::Integer;
    case QMetaType::Short:
    case QMetaType::UShort:
        return TSourceFieldType::SmallInt;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return TSourceFieldType::LargeInt;
    case QMetaType::Double:
    case QMetaType::Float:
        return TSourceFieldType::Float;
    case QMetaType::Bool:
        return TSourceFieldType::Boolean;
    case QMetaType::QDate:
        return TSourceFieldType::Date;
    case QMetaType::QTime:
        return TSourceFieldType::Time;
    case QMetaType::QDateTime:
        return TSourceFieldType::DateTime;
    case QMetaType::QByteArray:
        return TSourceFieldType::Bytes;
    default:
        return TSourceFieldType::Other;
    }
}

// Column types of an ODBC result, from the SQL type codes QODBC reports.
TSourceField odbcField(const QSqlField& field) {
    TSourceField result{field.name(), fromMetaType(field.metaType().id()), std::max(field.length(), 0)};
    switch (field.typeID()) { // ODBC SQL type codes
    case 1:                   // SQL_CHAR
    case -8:                  // SQL_WCHAR
        result.type = TSourceFieldType::FixedChar;
        break;
    case 12: // SQL_VARCHAR
        result.type = TSourceFieldType::String;
        break;
    case -9: // SQL_WVARCHAR
        result.type = TSourceFieldType::WideString;
        break;
    case -1:  // SQL_LONGVARCHAR
    case -10: // SQL_WLONGVARCHAR
        result.type = TSourceFieldType::Memo;
        break;
    case 2: // SQL_NUMERIC
    case 3: // SQL_DECIMAL: money and smallmoney come as decimal(19,4) and decimal(10,4)
        result.type = field.precision() == 4 && (field.length() == 19 || field.length() == 10)
                          ? TSourceFieldType::Currency
                          : TSourceFieldType::Decimal;
        break;
    case 4:
        result.type = field.isAutoValue() ? TSourceFieldType::AutoInc : TSourceFieldType::Integer;
        break;
    case 5:
        result.type = TSourceFieldType::SmallInt;
        break;
    case -6:
        result.type = TSourceFieldType::Word;
        break;
    case -5:
        result.type = TSourceFieldType::LargeInt;
        break;
    case 6:
    case 7:
    case 8:
        result.type = TSourceFieldType::Float;
        break;
    case -7:
        result.type = TSourceFieldType::Boolean;
        break;
    case 91:
        result.type = TSourceFieldType::Date;
        break;
    case 92:
        result.type = TSourceFieldType::Time;
        break;
    case 9:
    case 93:
        result.type = TSourceFieldType::DateTime;
        break;
    case -2:
    case -3:
    case -4:
        result.type = TSourceFieldType::Bytes;
        break;
    case -11:
        result.type = TSourceFieldType::Guid;
        break;
    default:
        break;
    }
    return result;
}

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
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    if (!db.isValid())
        throw EDBException(QStringLiteral("Драйвер базы данных %1 не установлен").arg(db.driverName()),
                           QString());
    configureOdbc(db);
    if (!db.open())
        throw toException(db.lastError());
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

// ODBC results are read once, forward, into memory.
std::unique_ptr<TDbQuery> TQtSqlConnection::openQuery(const QString& sql) {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw failure(query.lastError());
    // A batch may answer with row counts before the result that has columns.
    while (!query.isSelect() && query.nextResult()) {
    }
    if (query.lastError().isValid())
        throw failure(query.lastError());
    const QSqlRecord record = query.record();
    std::vector<TSourceField> fields;
    for (int i = 0; i < record.count(); ++i)
        fields.push_back(odbcField(record.field(i)));
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

qint64 TQtSqlConnection::executeWithValues(const QString& sql, const QVariantList& values) {
    QSqlQuery query(database());
    if (!query.prepare(sql))
        throw failure(query.lastError());
    for (const QVariant& value : values)
        query.addBindValue(value,
                           value.typeId() == QMetaType::QByteArray ? QSql::In | QSql::Binary : QSql::In);
    if (!query.exec())
        throw failure(query.lastError());
    const qint64 affected = query.numRowsAffected();
    while (query.nextResult()) {
    }
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
