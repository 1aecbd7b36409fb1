#pragma once

#include "TDbUtilsClass.h"

// PostgreSQL: the same operations in PostgreSQL terms. The database provides the SQL Server
// functions the program calls by name (getdate(), scope_identity(), isnull(), …).
class TDbUtilsPostgres : public TDbUtilsClass {
public:
    TDbUtilsPostgres();

    TDbProvider provider() const override { return TDbProvider::PostgreSQL; }
    QString dateLiteral(const QDateTime& date) const override;
    QString dateOnly(const QString& expr) const override;
    QString dateTimeLiteral(const QDateTime& value) const override;
    QString addMonthsToNow(int months) const override;
    QString yearsUntilNow(const QString& expr) const override;
    QString currentDate() const override { return QStringLiteral("getdate()"); }
    void parametersSelect(QStringList* lines) const override;
    QStringList parameterColumn(const QString& kind) const override;
    QString toVarchar(const QString& expr, int length) const override;
    QString memoLiteral(const QString& text) const override;
    QString binaryLiteral(const QByteArray& bytes) const override;
    QString quoteIdentifier(const QString& name) const override;
    QString likeOperator() const override;
    QString databaseRolesQuery() const override;
    QString procedureCall(const QString& name,
                          const QList<QPair<QString, QVariant>>& arguments) const override;
    QStringList permissionStatement(bool grant, const QString& action, const QString& table,
                                    const QString& column, const QString& grantee) const override;
    QString sqlType(const QString& type) const override;
    QString withoutRows(const QString& select) const override;
    QString topZero(const QString& select) const override;
    QString execText(const QString& exec) const override;
    QString statementEnd() const override { return QStringLiteral(";"); }
    int insertReturningIdentity(const QStringList& statements, const QString& keyColumn) override;
    QString lockingSelect(const QString& columns, const QString& table,
                          const QString& condition) const override;
    QStringList noWaitUpdate(const QString& table, const QString& assignments,
                             const QString& condition) const override;
    TDbErrorKind classifyError(const EDBException& error) const override;
    QString contextInfoQuery(const QString& text) const override;
    QString columnPermissionsQuery(const QStringList& tables) const override;
    QString compatibilityQuery(int major, int minor, int release, int build) const override;

protected:
    LockStatements lockStatements(int id, const QString& table) const override;
    QString uniqueIdQuery(const QString& table) const override;
    QString textPointer(const QString& keyColumn, const QString& column) const override;
    QString updateTextStatement() const override;
};
