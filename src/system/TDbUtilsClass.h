#pragma once

#include "EDBException.h"
#include "TDbErrorKind.h"
#include "TDbQuery.h"
#include "TdmDataBase.h"

#include <QDateTime>
#include <QStringList>
#include <memory>

class TDbConnection;
class TField;
class TMemoryData;

// Data access and the server dialect. One instance serves the whole run (getInstance); its kind
// follows the server the settings name. Statements that run unchanged on both servers are plain
// text at their callers; this class supplies only what SQL syntax cannot bridge.
class TDbUtilsClass {
public:
    virtual ~TDbUtilsClass();

    static TDbUtilsClass* getInstance();
    // Replaces the single instance (a test choosing its dialect); null lets getInstance choose again.
    static void setInstance(std::unique_ptr<TDbUtilsClass> instance);
    static std::unique_ptr<TDbUtilsClass> create(TDbProvider provider);

    // The program's connection string from the settings store, without the login.
    static QString connectionString();

    // ---- queries on the main connection ----
    std::unique_ptr<TDbQuery> openQuery(const QString& sql);
    std::unique_ptr<TDbQuery> openQuery(const QStringList& lines);
    std::unique_ptr<TDbQuery> openQueryOn(const QString& sql, TDbConnection* connection);
    // A result read forward as its rows arrive, to be copied into a record set (see
    // TDbConnection::openForwardQuery).
    std::unique_ptr<TDbQuery> openForwardQuery(const QString& sql);
    static void closeQuery(std::unique_ptr<TDbQuery>& query) { query.reset(); }
    // Each returns the rows the statement changed, -1 when the server does not say.
    qint64 runSQL(const QString& sql);
    qint64 runSQL(const QStringList& lines);
    qint64 runSQLOn(const QString& sql, TDbConnection* connection);
    QVariant scalarQuery(const QString& sql);

    // ---- record sets ----
    static void loadFromDataSet(TMemoryData* target, TDbQuery* source);
    void loadQuery(TMemoryData& target, const QString& sql);
    // Grids keep their own tables in the same record-set type.
    void loadQueryToTable(TMemoryData& table, const QString& sql) { loadQuery(table, sql); }
    static void plainFieldTypes(TMemoryData& target);
    // The two halves of loadQuery, for callers that turn some fields into calculated or lookup
    // fields in between: the closed target gets the query's structure with plain field types, then
    // the open target gets every row.
    static void copyQueryStructure(TMemoryData& target, const TDbQuery& query);
    static void appendQueryRows(TMemoryData& target, TDbQuery& query);
    static void mergeRecord(TMemoryData& target, TDbQuery& source, const QString& keyField,
                            bool overrideReadOnly);
    void refreshRecord(TMemoryData& table, const QString& sql, const QString& keyField, const QVariant& id);

    // ---- literals and statement builders ----
    static QString stringLiteral(const QString& text);
    QString fieldLiteral(const TField& field) const;
    void fieldAssignments(QStringList& list, TMemoryData& record, const QString& excludeNames,
                          bool skipReadOnly) const;
    static void removeNames(QStringList& list, const QString& names);
    QString buildWriteSQL(QStringList& list, const QString& prefix, const QString& table,
                          const QString& keyField, const QString& keyValue, bool isInsert) const;
    // Put after the table name of every INSERT and UPDATE buildWriteSQL builds.
    QString writeHint;

    // 0 = locked by this connection until its transaction ends, 1 = the row is gone, 2 = locked by
    // someone else (answered at once, never waited for). connection null = the main connection.
    int lockRecord(int id, const QString& table, TDbConnection* connection);
    int newUniqueId(const QString& table);
    int lastIdentity();
    // Runs an INSERT (the first statement) and the statements that read its SCOPE_IDENTITY(), and
    // answers the new row's key, the identity column keyColumn (0 when none). The key is the
    // INSERT's own, whatever a trigger inserts meanwhile.
    virtual int insertReturningIdentity(const QStringList& statements, const QString& keyColumn) = 0;

    // ---- the dialect ----
    virtual TDbProvider provider() const = 0;
    virtual QString dateLiteral(const QDateTime& date) const = 0;
    QString dateOnlyLiteral(const QDateTime& date) const { return dateOnly(dateLiteral(date)); }
    virtual QString dateOnly(const QString& expr) const = 0;
    virtual QString dateTimeLiteral(const QDateTime& value) const = 0;
    virtual QString addMonthsToNow(int months) const = 0;
    virtual QString yearsUntilNow(const QString& expr) const = 0;
    virtual QString currentDate() const = 0;
    virtual void parametersSelect(QStringList* lines) const = 0;
    virtual QStringList parameterColumn(const QString& kind) const = 0;
    virtual QString toVarchar(const QString& expr, int length) const = 0;
    virtual QString memoLiteral(const QString& text) const = 0;
    virtual QString binaryLiteral(const QByteArray& bytes) const = 0;
    virtual QString quoteIdentifier(const QString& name) const = 0;
    // " LIKE " matching as SQL Server's usual case-insensitive collation does.
    virtual QString likeOperator() const = 0;
    // A call of a stored procedure with named arguments (texts, numbers, null): SQL Server's
    // "exec p @a = N'x'", the server's own call elsewhere. Its result, if any, is a row set. An
    // argument without a name is passed by position.
    virtual QString procedureCall(const QString& name,
                                  const QList<QPair<QString, QVariant>>& arguments) const = 0;
    // The statement lines granting (or revoking) action on a table, or on one of its columns when
    // column is not empty, to a database role.
    virtual QStringList permissionStatement(bool grant, const QString& action, const QString& table,
                                            const QString& column, const QString& grantee) const = 0;
    // The database's roles with the columns RoleName, RoleId and IsAppRole, by name.
    virtual QString databaseRolesQuery() const = 0;
    // A type of the descriptions (written for SQL Server) as this server names it.
    virtual QString sqlType(const QString& type) const = 0;
    // The statements of an UPDATE that fails at once instead of waiting for a row another
    // connection has locked.
    virtual QStringList noWaitUpdate(const QString& table, const QString& assignments,
                                     const QString& condition) const = 0;
    // A SELECT of rows that locks them for writing until the transaction ends, waiting for a lock
    // another connection holds.
    virtual QString lockingSelect(const QString& columns, const QString& table,
                                  const QString& condition) const = 0;
    // The same SELECT answering no rows but all its columns: its first "select" becomes SQL
    // Server's "select top 0".
    virtual QString withoutRows(const QString& select) const = 0;
    // A SELECT written as SQL Server's "SELECT TOP 0 …" (any letter case) as this server says it.
    virtual QString topZero(const QString& select) const = 0;
    // A procedure call written in SQL Server's words ("exec p @a = 1, @b= 'x'", or arguments by
    // position; the values literals) as this server calls it.
    virtual QString execText(const QString& exec) const = 0;
    // What ends each statement of a batch sent as one text (SQL Server needs nothing).
    virtual QString statementEnd() const = 0;
    // The pointer through which a large column of a row is written in chunks: SQL Server's
    // "TEXTPTR(column)"; keyColumn names the row's key where the server needs it.
    virtual QString textPointer(const QString& keyColumn, const QString& column) const = 0;
    // The statement writing one chunk of Doc.Doc, with the values pointer, offset, length (null:
    // to the end) and the chunk's bytes bound in that order.
    virtual QString updateTextStatement() const = 0;
    virtual TDbErrorKind classifyError(const EDBException& error) const = 0;
    // Puts the text into the connection's context value, where the server's own code reads it.
    virtual QString contextInfoQuery(const QString& text) const = 0;
    // Names "table.column=description" and "table=" with the caller's permission bits, for tables.
    virtual QString columnPermissionsQuery(const QStringList& tables) const = 0;
    // The database's answer (column Permision) on whether it accepts this program version.
    virtual QString compatibilityQuery(int major, int minor, int release, int build) const = 0;

protected:
    struct LockStatements {
        QString before;
        QString select;
        QString after;
    };
    virtual LockStatements lockStatements(int id, const QString& table) const = 0;
    // A query answering the columns RETURN_VALUE and rnNewID of dbo.up_GetID.
    virtual QString uniqueIdQuery(const QString& table) const = 0;

    // A procedure's argument: NULL, a number, or a quoted text.
    static QString argumentLiteral(const QVariant& value);
    // SCOPE_IDENTITY() as an integer key: 0 for NULL.
    static int identityValue(const QVariant& value);

    TDbConnection& mainConnection() const { return TdmDataBase::instance().adoOrtaDatabase(); }
    void connectMain(const char* operation);
};
