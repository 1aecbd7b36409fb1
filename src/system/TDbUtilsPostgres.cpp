#include "TDbUtilsPostgres.h"

#include "TextHelpers.h"

#include <QHash>
#include <QRegularExpression>

// No table hint: PostgreSQL locks the rows it writes anyway.
TDbUtilsPostgres::TDbUtilsPostgres() {
    writeHint = QStringLiteral(" ");
}

QString TDbUtilsPostgres::dateLiteral(const QDateTime& date) const {
    return QStringLiteral("CAST('%1' AS timestamp)").arg(date.date().toString(QStringLiteral("yyyy-MM-dd")));
}

QString TDbUtilsPostgres::dateOnly(const QString& expr) const {
    return QStringLiteral("date_trunc('day', ") + expr + QLatin1Char(')');
}

QString TDbUtilsPostgres::dateTimeLiteral(const QDateTime& value) const {
    return QStringLiteral("CAST('%1' AS timestamp)")
        .arg(value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
}

QString TDbUtilsPostgres::addMonthsToNow(int months) const {
    return QLatin1Char('(') + currentDate() + QStringLiteral(" + interval '%1 month')").arg(months);
}

// Like SQL Server's dateDiff(yy, …): the year boundaries crossed, not whole years.
QString TDbUtilsPostgres::yearsUntilNow(const QString& expr) const {
    return QStringLiteral("CAST(extract(year from ") + currentDate() +
           QStringLiteral(") - extract(year from ") + expr + QStringLiteral(") AS integer)");
}

void TDbUtilsPostgres::parametersSelect(QStringList* lines) const {
    if (!lines)
        return;
    *lines = QStringList{
        QStringLiteral("SELECT  PrmN,"),
        QStringLiteral(" MMIdN,"),
        QStringLiteral(
            " (SELECT SName FROM ParmType WHERE ParmType.Id = Parameters_F1.Type) AS ParmTypeSName,"),
        QStringLiteral(" (SELECT SName FROM ParmName WHERE ParmName.Id = Parameters_F1.Name) AS ParmSName,"),
        QStringLiteral(
            " (SELECT SName FROM MsrUnit WHERE MsrUnit.Id = Parameters_F1.MesUnit) AS MsrUnitSName,"),
        QStringLiteral(
            " (SELECT SName FROM GradType WHERE GradType.Id = Parameters_F1.Grad) AS GradTypeSName,"),
    };
    *lines += parameterColumn(QStringLiteral("diap"));
    lines->last() += QStringLiteral(" AS Interval,");
    *lines += parameterColumn(QStringLiteral("precise"));
    lines->last() += QStringLiteral(" AS Precis,");
    *lines += QStringList{
        QStringLiteral(" (SELECT SName FROM tParamSignalsType WHERE tParamSignalsType.SignalTypeId = "
                       "Parameters_F1.SignalType)"),
        QStringLiteral(" AS OutSignalType "),
        QStringLiteral(" FROM Parameters_F1"),
    };
}

QStringList TDbUtilsPostgres::parameterColumn(const QString& kind) const {
    if (sameText(kind, QStringLiteral("precise")))
        return {QStringLiteral(" CASE COALESCE(Parameters_F1.PrcsType, '3')  WHEN '1' THEN "),
                QStringLiteral(" COALESCE(Parameters_F1.PrcsClass, '')  WHEN '2' THEN "),
                QStringLiteral(" COALESCE(Parameters_F1.PrcsErr, '')  ELSE '-?-' END")};
    if (sameText(kind, QStringLiteral("diap")))
        return {
            QStringLiteral(" CASE COALESCE(Parameters_F1.IntType, '3')  "),
            QStringLiteral(" WHEN '1' THEN COALESCE(Parameters_F1.IntStr, '')  "),
            QStringLiteral(
                " WHEN '2' THEN (trim(COALESCE(CAST(Parameters_F1.IntLwrBnd AS varchar(10)), '???'))"),
            QStringLiteral(
                "     || ' -- ' || trim(COALESCE(CAST(Parameters_F1.IntUppBnd AS varchar(10)), '???'))) "),
            QStringLiteral(" ELSE '-?-' END")};
    return {};
}

QString TDbUtilsPostgres::toVarchar(const QString& expr, int length) const {
    if (length == -1)
        return QStringLiteral("CAST(") + expr + QStringLiteral(" AS varchar)");
    return QStringLiteral("CAST(") + expr + QStringLiteral(" AS varchar(%1))").arg(length);
}

QString TDbUtilsPostgres::memoLiteral(const QString& text) const {
    return QStringLiteral("convert_from('\\x") + QString::fromLatin1(text.toUtf8().toHex()) +
           QStringLiteral("'::bytea, 'UTF8')");
}

QString TDbUtilsPostgres::binaryLiteral(const QByteArray& bytes) const {
    return QStringLiteral("'\\x") + QString::fromLatin1(bytes.toHex()) + QStringLiteral("'::bytea");
}

QString TDbUtilsPostgres::quoteIdentifier(const QString& name) const {
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

TDbErrorKind TDbUtilsPostgres::classifyError(const EDBException& error) const {
    const QString& code = error.code();
    // A refused login comes with its SQLSTATE like every other error.
    if (code == QLatin1String("28P01") || code == QLatin1String("28000"))
        return TDbErrorKind::LoginFailed;
    if (code == QLatin1String("55P03"))
        return TDbErrorKind::LockTimeout;
    if (code == QLatin1String("23503"))
        return TDbErrorKind::IntegrityViolation;
    if (code == QLatin1String("42501"))
        return TDbErrorKind::PermissionDenied;
    return TDbErrorKind::Other;
}

TDbUtilsClass::LockStatements TDbUtilsPostgres::lockStatements(int id, const QString& table) const {
    return {QString(),
            QStringLiteral("SELECT id FROM ") + table + QStringLiteral(" WHERE id=") + QString::number(id) +
                QStringLiteral(" FOR UPDATE NOWAIT"),
            QString()};
}

QString TDbUtilsPostgres::uniqueIdQuery(const QString& table) const {
    return QStringLiteral("select * from dbo.up_GetID(pstablename => ") + stringLiteral(table) +
           QLatin1Char(')');
}

QString TDbUtilsPostgres::sqlType(const QString& type) const {
    const QString trimmed = type.trimmed();
    const qsizetype paren = trimmed.indexOf(QLatin1Char('('));
    const QString base = (paren < 0 ? trimmed : trimmed.left(paren)).trimmed().toLower();
    const QString modifier = paren < 0 ? QString() : trimmed.mid(paren);
    static const QHash<QString, QString> plain{
        {QStringLiteral("datetime"), QStringLiteral("timestamp")},
        {QStringLiteral("smalldatetime"), QStringLiteral("timestamp")},
        {QStringLiteral("datetime2"), QStringLiteral("timestamp")},
        {QStringLiteral("bit"), QStringLiteral("smallint")},
        {QStringLiteral("tinyint"), QStringLiteral("smallint")},
        {QStringLiteral("ntext"), QStringLiteral("text")},
        {QStringLiteral("image"), QStringLiteral("bytea")},
        {QStringLiteral("varbinary"), QStringLiteral("bytea")},
        {QStringLiteral("uniqueidentifier"), QStringLiteral("uuid")},
        {QStringLiteral("money"), QStringLiteral("float8")},
        {QStringLiteral("smallmoney"), QStringLiteral("float8")},
        {QStringLiteral("float"), QStringLiteral("float8")},
    };
    if (const auto it = plain.constFind(base); it != plain.constEnd())
        return *it;
    if (base == QLatin1String("nvarchar"))
        return QStringLiteral("varchar") + modifier;
    if (base == QLatin1String("nchar"))
        return QStringLiteral("char") + modifier;
    return trimmed.isEmpty() ? QStringLiteral("varchar") : trimmed;
}

QString TDbUtilsPostgres::contextInfoQuery(const QString& text) const {
    return QStringLiteral("SELECT set_config('vestar.context_info', ") + stringLiteral(text) +
           QStringLiteral(", false)");
}

QString TDbUtilsPostgres::columnPermissionsQuery(const QStringList& tables) const {
    QStringList parts;
    QStringList ids;
    for (const QString& table : tables) {
        parts << QStringLiteral(
                     "select c.relname || '.' || a.attname || '=' || coalesce(col_description(c.oid, "
                     "a.attnum), '') "
                     "as Name, permissions(c.oid::integer, a.attname::text) as Perm from pg_attribute a join "
                     "pg_class c on c.oid = a.attrelid where a.attnum > 0 and not a.attisdropped and c.oid = "
                     "object_id(") +
                     stringLiteral(table) + QStringLiteral(")::oid");
        ids << QStringLiteral("object_id(") + stringLiteral(table) + QStringLiteral(")::oid");
    }
    return parts.join(QStringLiteral(" union ")) +
           QStringLiteral(" union select c.relname || '=', permissions(c.oid::integer) as Perm from pg_class "
                          "c where c.oid in (") +
           ids.join(QLatin1Char(',')) + QStringLiteral(")");
}

QString TDbUtilsPostgres::compatibilityQuery(int major, int minor, int release, int build) const {
    return QStringLiteral(
               "select Permision from com_CheckCompatibility(soft_name => 'Quillon', sftrls_ver1 => %1, "
               "sftrls_ver2 => %2, sftrls_ver3 => %3, sftrls_ver4 => %4)")
        .arg(major)
        .arg(minor)
        .arg(release)
        .arg(build);
}

QString TDbUtilsPostgres::withoutRows(const QString& select) const {
    return select + QStringLiteral(" LIMIT 0");
}

QString TDbUtilsPostgres::topZero(const QString& select) const {
    static const QRegularExpression top(QStringLiteral("^(\\s*select\\s+)top\\s+0\\s+"),
                                        QRegularExpression::CaseInsensitiveOption);
    return withoutRows(QString(select).replace(top, QStringLiteral("\\1")));
}

namespace {

// Every SCOPE_IDENTITY() of the statement outside its string literals replaced by the key.
QString withIdentity(const QString& statement, const QString& key) {
    static const QString call = QStringLiteral("SCOPE_IDENTITY()");
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < statement.size(); ++i) {
        if (statement.at(i) == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && statement.mid(i, call.size()).compare(call, Qt::CaseInsensitive) == 0) {
            result += key;
            i += call.size() - 1;
        } else {
            result += statement.at(i);
        }
    }
    return result;
}

QString callOf(const QString& name, const QStringList& arguments) {
    return QStringLiteral("select * from ") + name + QLatin1Char('(') + arguments.join(", ") +
           QLatin1Char(')');
}

QString argumentOf(const QString& parameter, const QString& literal) {
    return parameter.isEmpty() ? literal : parameter.toLower() + QStringLiteral(" => ") + literal;
}

// The pieces of a text between commas outside string literals, trimmed.
QStringList commaPieces(const QString& text) {
    QStringList pieces;
    QString piece;
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (ch == QLatin1Char(',') && !quoted) {
            pieces << piece.trimmed();
            piece.clear();
        } else {
            piece += ch;
        }
    }
    if (!piece.trimmed().isEmpty() || !pieces.isEmpty())
        pieces << piece.trimmed();
    return pieces;
}

} // namespace

// The INSERT answers its own key; lastval() would answer whatever sequence a trigger drew last.
// The statements after it read that key where SQL Server's batch reads SCOPE_IDENTITY().
int TDbUtilsPostgres::insertReturningIdentity(const QStringList& statements, const QString& keyColumn) {
    if (statements.isEmpty())
        return 0;
    const int id = identityValue(scalarQuery(statements.first() + QStringLiteral(" RETURNING ") + keyColumn));
    const QString key = QString::number(id);
    for (qsizetype i = 1; i < statements.size(); ++i)
        runSQL(withIdentity(statements.at(i), key));
    return id;
}

QString TDbUtilsPostgres::lockingSelect(const QString& columns, const QString& table,
                                        const QString& condition) const {
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table +
           QStringLiteral(" WHERE ") + condition + QStringLiteral(" FOR UPDATE");
}

QStringList TDbUtilsPostgres::noWaitUpdate(const QString& table, const QString& assignments,
                                           const QString& condition) const {
    return {QStringLiteral("SELECT 1 FROM ") + table + QStringLiteral(" where ") + condition +
                QStringLiteral(" FOR UPDATE NOWAIT"),
            QStringLiteral("UPDATE ") + table + QStringLiteral(" set ") + assignments +
                QStringLiteral(" where ") + condition};
}

// The server's textptr() makes the pointer from the row's key: a bytea value does not know its row.
QString TDbUtilsPostgres::textPointer(const QString& keyColumn, const QString& column) const {
    return QStringLiteral("textptr(") + keyColumn + QStringLiteral(", ") + column + QLatin1Char(')');
}

QString TDbUtilsPostgres::updateTextStatement() const {
    return QStringLiteral("SELECT updatetext($1, $2, $3, $4)");
}

QString TDbUtilsPostgres::likeOperator() const {
    return QStringLiteral(" ILIKE ");
}

QString TDbUtilsPostgres::databaseRolesQuery() const {
    return QStringLiteral(
        "select name as \"RoleName\", uid as \"RoleId\", isapprole as \"IsAppRole\" from sysusers "
        "where issqlrole = 1 or isapprole = 1 order by 1");
}

QString TDbUtilsPostgres::procedureCall(const QString& name,
                                        const QList<QPair<QString, QVariant>>& arguments) const {
    QStringList assigned;
    for (const auto& [parameter, value] : arguments)
        assigned << argumentOf(parameter, argumentLiteral(value));
    return callOf(name, assigned);
}

QString TDbUtilsPostgres::execText(const QString& exec) const {
    static const QRegularExpression call(QStringLiteral("^\\s*exec(?:ute)?\\s+(\\S+)(.*)$"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = call.match(exec);
    if (!match.hasMatch())
        return exec;
    QStringList arguments;
    for (const QString& piece : commaPieces(match.captured(2))) {
        const qsizetype equals = piece.indexOf(QLatin1Char('='));
        if (piece.startsWith(QLatin1Char('@')) && equals > 0)
            arguments << argumentOf(piece.mid(1, equals - 1).trimmed(), piece.mid(equals + 1).trimmed());
        else
            arguments << piece;
    }
    return callOf(match.captured(1), arguments);
}

// Grants go through the server, which makes them as the owner of the table: a revoke then always
// meets the grant it undoes, whoever granted it.
QStringList TDbUtilsPostgres::permissionStatement(bool grant, const QString& action, const QString& table,
                                                  const QString& column, const QString& grantee) const {
    return {QStringLiteral("select dbo.adm_permission(") +
            (grant ? QStringLiteral("'GRANT', ") : QStringLiteral("'REVOKE', ")) + stringLiteral(action) +
            QStringLiteral(", ") + stringLiteral(table) + QStringLiteral(", ") +
            (column.isEmpty() ? QStringLiteral("NULL") : stringLiteral(column)) + QStringLiteral(", ") +
            stringLiteral(grantee) + QLatin1Char(')')};
}
