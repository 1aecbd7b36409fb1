#include "TDbUtilsMSSQL.h"

#include "TextHelpers.h"

TDbUtilsMSSQL::TDbUtilsMSSQL() {
    writeHint = QStringLiteral(" WITH (ROWLOCK) ");
}

QString TDbUtilsMSSQL::dateLiteral(const QDateTime& date) const {
    const QDate d = date.date();
    return QStringLiteral("CONVERT (DATETIME,'%1.%2.%3',104)").arg(d.day()).arg(d.month()).arg(d.year());
}

QString TDbUtilsMSSQL::dateOnly(const QString& expr) const {
    return QStringLiteral("CONVERT(datetime, CONVERT (varchar,") + expr + QStringLiteral(",104), 104)");
}

QString TDbUtilsMSSQL::dateTimeLiteral(const QDateTime& value) const {
    return QStringLiteral("CONVERT (DATETIME,'") + value.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss.zzz")) +
           QStringLiteral("',104)");
}

QString TDbUtilsMSSQL::addMonthsToNow(int months) const {
    return QStringLiteral("dateadd(mm,%1,").arg(months) + currentDate() + QLatin1Char(')');
}

QString TDbUtilsMSSQL::yearsUntilNow(const QString& expr) const {
    return QStringLiteral("dateDiff(yy,") + expr + QLatin1Char(',') + currentDate() + QLatin1Char(')');
}

void TDbUtilsMSSQL::parametersSelect(QStringList* lines) const {
    if (!lines)
        return;
    *lines = QStringList{
        QStringLiteral("SELECT  PrmN,"),
        QStringLiteral(" MMIdN,"),
        QStringLiteral(" (SELECT SName FROM ParmType WHERE ParmType.Id = Parameters_F1.Type)"),
        QStringLiteral("        AS ParmTypeSName,"),
        QStringLiteral(" (SELECT SName FROM ParmName WHERE ParmName.Id = Parameters_F1.Name)"),
        QStringLiteral("        AS ParmSName,"),
        QStringLiteral(" (SELECT SName FROM MsrUnit WHERE MsrUnit.Id = Parameters_F1.MesUnit)"),
        QStringLiteral("        AS MsrUnitSName,"),
        QStringLiteral(" (SELECT SName FROM GradType "),
        QStringLiteral(" WHERE GradType.Id = Parameters_F1.Grad) "),
        QStringLiteral("   AS GradTypeSName, "),
        QStringLiteral(" Interval = CASE ISNULL(Parameters_F1.IntType, '3') "),
        QStringLiteral("                 WHEN '1' THEN ISNULL(Parameters_F1.IntStr, '')"),
        QStringLiteral(
            "                 WHEN '2' THEN ('' + LTRIM(RTRIM(ISNULL(CAST(Parameters_F1.IntLwrBnd"),
        QStringLiteral("                     AS varchar(20)), '???')))"),
        QStringLiteral("     + ' -- ' + LTRIM(RTRIM(ISNULL(CAST(Parameters_F1.IntUppBnd AS varchar(20)),"),
        QStringLiteral(" '???'))) + '') ELSE '-?-' END,"),
        QStringLiteral(" Precis = CASE ISNULL(Parameters_F1.PrcsType, '3')"),
        QStringLiteral("   WHEN '1' THEN ISNULL(Parameters_F1.MsrPrecisClass, '')"),
        QStringLiteral("   WHEN '2' THEN ISNULL(Parameters_F1.PrcsErr, '')"),
        QStringLiteral("   ELSE '-?-' END, "),
        QStringLiteral(" (SELECT SName FROM tParamSignalsType "),
        QStringLiteral(" WHERE tParamSignalsType.SignalTypeId = Parameters_F1.SignalType)"),
        QStringLiteral(" AS OutSignalType "),
        QStringLiteral(" FROM Parameters_F1"),
    };
}

QStringList TDbUtilsMSSQL::parameterColumn(const QString& kind) const {
    if (sameText(kind, QStringLiteral("precise")))
        return {QStringLiteral(" CASE ISNULL(Parameters_F1.PrcsType, '3')  WHEN '1' THEN "),
                QStringLiteral(" ISNULL(Parameters_F1.PrcsClass, '')  WHEN '2' THEN "),
                QStringLiteral(" ISNULL(Parameters_F1.PrcsErr, '')  ELSE '-?-' END")};
    if (sameText(kind, QStringLiteral("diap")))
        return {QStringLiteral(" CASE ISNULL(Parameters_F1.IntType, '3')  "),
                QStringLiteral(" WHEN '1' THEN ISNULL(Parameters_F1.IntStr, '')  "),
                QStringLiteral(" WHEN '2' THEN ('' +LTRIM(RTRIM(ISNULL(CAST(Parameters_F1.IntLwrBnd  AS "
                               "varchar(10)), '???')))"),
                QStringLiteral("     + ' -- ' + LTRIM(RTRIM(ISNULL(CAST(Parameters_F1.IntUppBnd AS "
                               "varchar(10)), '???'))) + '') "),
                QStringLiteral(" ELSE '-?-' END")};
    return {};
}

QString TDbUtilsMSSQL::toVarchar(const QString& expr, int length) const {
    if (length == -1)
        return QStringLiteral("CONVERT(VARCHAR,") + expr + QLatin1Char(')');
    return QStringLiteral("CONVERT(VARCHAR(%1),").arg(length) + expr + QLatin1Char(')');
}

QString TDbUtilsMSSQL::memoLiteral(const QString& text) const {
    const QByteArray bytes = toWindows1251(text);
    // varchar(8000) would cut longer texts short; varchar(max) keeps them whole.
    const QString type = bytes.size() > 8000 ? QStringLiteral("max") : QStringLiteral("8000");
    return QStringLiteral("CAST(CAST( 0x") + QString::fromLatin1(bytes.toHex().toUpper()) +
           QStringLiteral(" as varchar(%1)) as TEXT)").arg(type);
}

QString TDbUtilsMSSQL::binaryLiteral(const QByteArray& bytes) const {
    return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex().toUpper());
}

QString TDbUtilsMSSQL::quoteIdentifier(const QString& name) const {
    QString escaped = name;
    escaped.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

TDbErrorKind TDbUtilsMSSQL::classifyError(const EDBException& error) const {
    const QString& code = error.code();
    if (code == QLatin1String("18456") || error.message().contains(QLatin1String("Login failed for user")))
        return TDbErrorKind::LoginFailed;
    if (code == QLatin1String("1222"))
        return TDbErrorKind::LockTimeout;
    if (code == QLatin1String("547"))
        return TDbErrorKind::IntegrityViolation;
    if (code == QLatin1String("229") || code == QLatin1String("230") || code == QLatin1String("262"))
        return TDbErrorKind::PermissionDenied;
    return TDbErrorKind::Other;
}

TDbUtilsClass::LockStatements TDbUtilsMSSQL::lockStatements(int id, const QString& table) const {
    return {QStringLiteral("SET LOCK_TIMEOUT 0"),
            QStringLiteral("SELECT identitycol FROM ") + table +
                QStringLiteral(" WITH (UPDLOCK) WHERE identitycol=") + QString::number(id),
            QStringLiteral("SET LOCK_TIMEOUT -1")};
}

QString TDbUtilsMSSQL::uniqueIdQuery(const QString& table) const {
    return QStringLiteral(
               "declare @RETURN_VALUE int, @rnNewID int exec @RETURN_VALUE = dbo.up_GetID @psTableName = ") +
           stringLiteral(table) +
           QStringLiteral(
               ", @rnNewID = @rnNewID output select @RETURN_VALUE as RETURN_VALUE, @rnNewID as rnNewID");
}

QString TDbUtilsMSSQL::sqlType(const QString& type) const {
    return type;
}

QString TDbUtilsMSSQL::contextInfoQuery(const QString& text) const {
    return QStringLiteral("DECLARE @BinVar varbinary(128) \r\nSET @BinVar = CAST(") + stringLiteral(text) +
           QStringLiteral(" AS varbinary(128)) ") + QStringLiteral("\r\n") +
           QStringLiteral("SET CONTEXT_INFO @BinVar ") + QStringLiteral("\r\n") +
           QStringLiteral("SELECT @BinVar");
}

QString TDbUtilsMSSQL::columnPermissionsQuery(const QStringList& tables) const {
    QStringList parts;
    QStringList ids;
    for (const QString& table : tables) {
        parts << QStringLiteral(
                     "select object_name(c.id)+'.'+c.[name]+'='+isnull(CONVERT(nvarchar(128),f.value),'') as "
                     "Name, PERMISSIONS(c.id,c.[name]) as Perm from syscolumns c") +
                     QStringLiteral(" join sysobjects o on c.id=o.id") +
                     QStringLiteral(
                         " left outer join ::fn_listextendedproperty(NULL, 'user', 'dbo', 'table','") +
                     table +
                     QStringLiteral("' ,'column' , null) f ON c.[name]=f.objname collate database_default ") +
                     QStringLiteral(" where c.id=object_id('") + table + QStringLiteral("')");
        ids << QStringLiteral("object_id('") + table + QStringLiteral("')");
    }
    return parts.join(QStringLiteral(" union ")) + QStringLiteral("  union") +
           QStringLiteral(" select Name+'=', PERMISSIONS(id) as Perm from sysobjects where id in (") +
           ids.join(QLatin1Char(',')) + QStringLiteral(")");
}

QString TDbUtilsMSSQL::compatibilityQuery(int major, int minor, int release, int build) const {
    return QStringLiteral(
               "declare @sftcmp_id as integer  exec com_CheckCompatibility @soft_name = 'Quillon',  "
               "@sftrls_ver1 = ") +
           QString::number(major) + QStringLiteral(",@sftrls_ver2 = ") + QString::number(minor) +
           QStringLiteral(",@sftrls_ver3 = ") + QString::number(release) +
           QStringLiteral(",@sftrls_ver4 = ") + QString::number(build) + QStringLiteral(", ") +
           QStringLiteral(" @sftcmp_id = @sftcmp_id output ") +
           QStringLiteral(" select @sftcmp_id as Permision ");
}

QString TDbUtilsMSSQL::withoutRows(const QString& select) const {
    const qsizetype at = select.indexOf(QLatin1String("select"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return select;
    QString text = select;
    return text.replace(at, 6, QStringLiteral("select top 0"));
}

// A scope is a batch: the INSERT, the statements that read SCOPE_IDENTITY() and its final read
// travel as one, and a trigger's inserts are another scope.
int TDbUtilsMSSQL::insertReturningIdentity(const QStringList& statements, const QString& /*keyColumn*/) {
    return identityValue(
        scalarQuery(statements.join(QStringLiteral("\r\n")) + QStringLiteral("\r\nSELECT SCOPE_IDENTITY()")));
}

QString TDbUtilsMSSQL::lockingSelect(const QString& columns, const QString& table,
                                     const QString& condition) const {
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table +
           QStringLiteral(" WITH (UPDLOCK, ROWLOCK) WHERE ") + condition;
}

QStringList TDbUtilsMSSQL::noWaitUpdate(const QString& table, const QString& assignments,
                                        const QString& condition) const {
    return {QStringLiteral("UPDATE ") + table + QStringLiteral(" With(NOWAIT) set ") + assignments +
            QStringLiteral(" where ") + condition};
}

QString TDbUtilsMSSQL::textPointer(const QString& /*keyColumn*/, const QString& column) const {
    return QStringLiteral("TEXTPTR(") + column + QLatin1Char(')');
}

QString TDbUtilsMSSQL::updateTextStatement() const {
    return QStringLiteral("updatetext DOC.Doc :PTR :OFFSET :LENGTH :BUFFER");
}

QString TDbUtilsMSSQL::likeOperator() const {
    return QStringLiteral(" LIKE ");
}

QString TDbUtilsMSSQL::databaseRolesQuery() const {
    return QStringLiteral(
        "select 'RoleName' = name, 'RoleId' = uid, 'IsAppRole' = isapprole from sysusers where "
        "issqlrole = 1 or isapprole = 1 order by 'RoleName'");
}

QString TDbUtilsMSSQL::procedureCall(const QString& name,
                                     const QList<QPair<QString, QVariant>>& arguments) const {
    QStringList assigned;
    for (const auto& [parameter, value] : arguments) {
        const QString literal = value.typeId() == QMetaType::QString
                                    ? QLatin1Char('N') + stringLiteral(value.toString())
                                    : argumentLiteral(value);
        assigned << (parameter.isEmpty() ? literal
                                         : QLatin1Char('@') + parameter + QStringLiteral(" = ") + literal);
    }
    return QStringLiteral("exec ") + name +
           (assigned.isEmpty() ? QString() : QLatin1Char(' ') + assigned.join(", "));
}

QStringList TDbUtilsMSSQL::permissionStatement(bool grant, const QString& action, const QString& table,
                                               const QString& column, const QString& grantee) const {
    const QString verb = (grant ? QStringLiteral("GRANT ") : QStringLiteral("REVOKE ")) + action;
    if (column.isEmpty())
        return {verb, QStringLiteral(" ON ") + table + QStringLiteral(" TO ") + quoteIdentifier(grantee)};
    return {verb, QLatin1Char('(') + quoteIdentifier(column) + QLatin1Char(')'),
            QStringLiteral("ON ") + table + QStringLiteral(" TO ") + quoteIdentifier(grantee)};
}
