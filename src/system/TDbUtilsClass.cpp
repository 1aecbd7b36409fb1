#include "TDbUtilsClass.h"

#include "EError.h"
#include "TDbUtilsMSSQL.h"
#include "TDbUtilsPostgres.h"
#include "TMemoryData.h"
#include "TextHelpers.h"

#include <QRegularExpression>
#include <QSet>

namespace {

std::unique_ptr<TDbUtilsClass>& instanceSlot() {
    static std::unique_ptr<TDbUtilsClass> instance;
    return instance;
}

// Record-set field type of a result column; no type for columns the record set cannot hold.
std::optional<TFieldType> targetType(TSourceFieldType type, bool keepSourceKinds) {
    switch (type) {
    case TSourceFieldType::WideString:
        return keepSourceKinds ? TFieldType::WideString : TFieldType::String;
    case TSourceFieldType::String:
    case TSourceFieldType::FixedChar:
        return TFieldType::String;
    case TSourceFieldType::AutoInc:
        return keepSourceKinds ? TFieldType::AutoInc : TFieldType::Integer;
    case TSourceFieldType::SmallInt:
    case TSourceFieldType::Integer:
    case TSourceFieldType::Word:
    case TSourceFieldType::LargeInt:
        return TFieldType::Integer;
    case TSourceFieldType::Float:
        return TFieldType::Float;
    case TSourceFieldType::Memo:
    case TSourceFieldType::FmtMemo:
        return TFieldType::Memo;
    case TSourceFieldType::Date:
    case TSourceFieldType::Time:
    case TSourceFieldType::DateTime:
        return TFieldType::DateTime;
    case TSourceFieldType::Currency:
        return TFieldType::Currency;
    case TSourceFieldType::Boolean:
        return TFieldType::Boolean;
    default:
        return std::nullopt;
    }
}

// The result's column names made unique: a second "NAME" becomes "NAME_1", a third "NAME_2", as
// the record sets the program was written against name them, so that such a result still loads.
QStringList uniqueColumnNames(const TDbQuery& source) {
    QStringList names;
    QSet<QString> taken;
    for (int i = 0; i < source.fieldCount(); ++i) {
        const QString name = source.field(i).name;
        QString unique = name;
        for (int n = 1; taken.contains(unique.toUpper()); ++n)
            unique = name + QLatin1Char('_') + QString::number(n);
        taken.insert(unique.toUpper());
        names << unique;
    }
    return names;
}

// Field names are looked up ignoring letter case.
int indexOfName(const QStringList& names, const QString& name) {
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void copyStructure(TMemoryData& target, const TDbQuery& source, bool keepSourceKinds) {
    target.close();
    target.clearFields();
    const QStringList names = uniqueColumnNames(source);
    for (int i = 0; i < source.fieldCount(); ++i) {
        const TSourceField& f = source.field(i);
        if (const auto type = targetType(f.type, keepSourceKinds))
            target.addField(names.at(i), *type, isStringType(*type) ? f.size : 0);
    }
}

// Appends every row of source from its first to the open target, in one pass, matching columns by
// name; a source that can go back is left where it stood. Should the rows fail half-way (a forward
// result meets an error), the target is left empty rather than holding a part that looks whole.
void copyRows(TMemoryData& target, TDbQuery& source) {
    const int remembered = source.position();
    source.first();
    if (source.eof())
        return;
    const QStringList names = uniqueColumnNames(source);
    std::vector<int> sourceColumn;
    for (int i = 0; i < target.fieldCount(); ++i) {
        if (target.field(i)->fieldKind() == TFieldKind::Data)
            sourceColumn.push_back(indexOfName(names, target.field(i)->fieldName()));
    }
    try {
        target.appendRecords([&source, &sourceColumn](TRecordWriter& writer) {
            if (source.eof())
                return false;
            source.readRow(sourceColumn, writer);
            source.next();
            return true;
        });
    } catch (...) {
        if (target.active())
            target.emptyTable();
        throw;
    }
    if (!source.forwardOnly())
        source.setPosition(remembered);
}

// Display updates stay suspended for the scope, however it is left.
class ControlsDisabled {
public:
    explicit ControlsDisabled(TMemoryData& data) : m_data(data) { m_data.disableControls(); }
    ~ControlsDisabled() { m_data.enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    TMemoryData& m_data;
};

QString joinLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

// Names separated by commas or blanks; a name in double quotes may hold either ("" is a quote).
QStringList commaTextNames(const QString& text) {
    QStringList names;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text.at(i).unicode() <= ' ')
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString name;
        if (text.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        name += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                name += text.at(i++);
            }
        } else {
            while (i < n && text.at(i) != QLatin1Char(',') && text.at(i).unicode() > ' ')
                name += text.at(i++);
        }
        names << name;
        skipBlanks();
        if (i < n && text.at(i) == QLatin1Char(',')) {
            ++i;
            skipBlanks();
        }
    }
    return names;
}

QString normalizeLineBreaks(QString text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.replace(lineBreak, QStringLiteral("\r\n"));
}

// General format, up to 15 significant digits, a point for the decimal separator.
QString floatText(double value) {
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    QString exponent = text.mid(e + 1);
    const bool negative = exponent.startsWith(QLatin1Char('-'));
    exponent.remove(0,
                    exponent.startsWith(QLatin1Char('-')) || exponent.startsWith(QLatin1Char('+')) ? 1 : 0);
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
        exponent.remove(0, 1);
    return text.left(e) + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
}

} // namespace

TDbUtilsClass::~TDbUtilsClass() = default;

std::unique_ptr<TDbUtilsClass> TDbUtilsClass::create(TDbProvider provider) {
    std::unique_ptr<TDbUtilsClass> result;
    if (provider == TDbProvider::PostgreSQL)
        result = std::make_unique<TDbUtilsPostgres>();
    else
        result = std::make_unique<TDbUtilsMSSQL>();
    return result;
}

TDbUtilsClass* TDbUtilsClass::getInstance() {
    auto& slot = instanceSlot();
    if (!slot)
        slot = create(TdmDataBase::provider());
    return slot.get();
}

void TDbUtilsClass::setInstance(std::unique_ptr<TDbUtilsClass> instance) {
    instanceSlot() = std::move(instance);
}

QString TDbUtilsClass::connectionString() {
    const bool postgres = TdmDataBase::provider() == TDbProvider::PostgreSQL;
    return QStringLiteral("APP=Lumbrex;Provider=") +
           (postgres ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLOLEDB.1")) +
           QStringLiteral(";Persist Security Info=True;Initial Catalog=") +
           TdmDataBase::registryDbName(false) + QStringLiteral(";") + QStringLiteral("Data Source=") +
           TdmDataBase::registryServer(false) +
           QStringLiteral(
               ";Use Procedure for Prepare=1;Auto Translate=True;Packet Size=4096;Use Encryption for "
               "Data=False;Tag with column collation when possible=False");
}

// ---- queries ----

void TDbUtilsClass::connectMain(const char* operation) {
    TDbConnection& connection = mainConnection();
    if (connection.isOpen())
        return;
    try {
        connection.open();
    } catch (...) {
        throw EError(QStringLiteral("db.TDBUtilsClass.%1() Cannot connect to the database")
                         .arg(QLatin1String(operation)));
    }
}

std::unique_ptr<TDbQuery> TDbUtilsClass::openQuery(const QString& sql) {
    connectMain("openQuery");
    return mainConnection().openQuery(sql);
}

std::unique_ptr<TDbQuery> TDbUtilsClass::openQuery(const QStringList& lines) {
    return openQuery(joinLines(lines));
}

std::unique_ptr<TDbQuery> TDbUtilsClass::openForwardQuery(const QString& sql) {
    connectMain("openQuery");
    return mainConnection().openForwardQuery(sql);
}

std::unique_ptr<TDbQuery> TDbUtilsClass::openQueryOn(const QString& sql, TDbConnection* connection) {
    return (connection ? *connection : mainConnection()).openQuery(sql);
}

qint64 TDbUtilsClass::runSQL(const QString& sql) {
    connectMain("runSQL");
    return mainConnection().execute(sql);
}

qint64 TDbUtilsClass::runSQL(const QStringList& lines) {
    return runSQL(joinLines(lines));
}

qint64 TDbUtilsClass::runSQLOn(const QString& sql, TDbConnection* connection) {
    return (connection ? *connection : mainConnection()).execute(sql);
}

QVariant TDbUtilsClass::scalarQuery(const QString& sql) {
    const std::unique_ptr<TDbQuery> query = openQuery(sql);
    if (query->eof() || query->fieldCount() == 0)
        return {};
    return query->value(0);
}

// ---- record sets ----

void TDbUtilsClass::loadFromDataSet(TMemoryData* target, TDbQuery* source) {
    if (!target || !source)
        return;
    ControlsDisabled suspended(*target);
    copyStructure(*target, *source, false);
    target->open();
    copyRows(*target, *source);
}

void TDbUtilsClass::loadQuery(TMemoryData& target, const QString& sql) {
    // Handlers of a listened-to record set could send statements of their own between the rows.
    const std::unique_ptr<TDbQuery> query =
        target.hasRecordListeners() ? openQuery(sql) : openForwardQuery(sql);
    ControlsDisabled suspended(target);
    copyQueryStructure(target, *query);
    target.open();
    copyRows(target, *query);
}

void TDbUtilsClass::copyQueryStructure(TMemoryData& target, const TDbQuery& query) {
    ControlsDisabled suspended(target);
    copyStructure(target, query, true);
    plainFieldTypes(target);
}

void TDbUtilsClass::appendQueryRows(TMemoryData& target, TDbQuery& query) {
    ControlsDisabled suspended(target);
    copyRows(target, query);
}

void TDbUtilsClass::plainFieldTypes(TMemoryData& target) {
    for (int i = target.fieldCount() - 1; i >= 0; --i) {
        TField* field = target.field(i);
        field->readOnly = false;
        const TFieldType type = field->dataType();
        if (type != TFieldType::AutoInc && type != TFieldType::WideString)
            continue;
        const QString name = field->fieldName();
        const int size = field->size();
        const int width = field->displayWidth;
        const QString label = field->displayLabel();
        target.removeField(field);
        TField* plain =
            target.addField(name, type == TFieldType::AutoInc ? TFieldType::Integer : TFieldType::String,
                            type == TFieldType::AutoInc ? 0 : size);
        plain->displayWidth = width;
        plain->setDisplayLabel(label);
    }
}

void TDbUtilsClass::mergeRecord(TMemoryData& target, TDbQuery& source, const QString& keyField,
                                bool overrideReadOnly) {
    if (!target.active())
        return;
    ControlsDisabled suspended(target);
    const bool atBeginning = target.recNo() <= 1;
    const bool atEnd = target.isEmpty() || target.recNo() == target.recordCount();
    if (source.isEmpty())
        return;
    try {
        if (target.locate(keyField, source.value(keyField)))
            target.edit();
        else if (atEnd)
            target.append();
        else
            target.insert();
        for (int i = target.fieldCount() - 1; i >= 0; --i) {
            TField* field = target.field(i);
            const int column = source.fieldIndex(field->fieldName());
            if (column < 0 || field->fieldKind() != TFieldKind::Data)
                continue;
            if (overrideReadOnly && field->readOnly) {
                field->readOnly = false;
                field->setValue(source.value(column));
                field->readOnly = true;
            } else {
                field->setValue(source.value(column));
            }
        }
        target.post();
    } catch (...) {
        if (target.isEditing())
            target.cancel();
        throw;
    }
    if (atBeginning)
        target.first();
    else if (atEnd)
        target.last();
}

void TDbUtilsClass::refreshRecord(TMemoryData& table, const QString& sql, const QString& keyField,
                                  const QVariant& id) {
    const std::unique_ptr<TDbQuery> query = openQuery(sql);
    if (query->isEmpty()) {
        if (table.active() && table.locate(keyField, id))
            table.deleteRecord();
        return;
    }
    mergeRecord(table, *query, keyField, false);
}

// ---- literals and builders ----

QString TDbUtilsClass::stringLiteral(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString TDbUtilsClass::argumentLiteral(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return stringLiteral(value.toString());
    }
}

QString TDbUtilsClass::fieldLiteral(const TField& field) const {
    const QVariant value = field.value();
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (field.dataType()) {
    case TFieldType::String:
    case TFieldType::WideString:
        return stringLiteral(value.toString());
    case TFieldType::Memo: {
        const QString text = value.toString();
        return text.isEmpty() ? QStringLiteral("NULL") : memoLiteral(text);
    }
    case TFieldType::Boolean:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case TFieldType::Float:
    case TFieldType::Currency:
        return floatText(value.toDouble());
    case TFieldType::DateTime:
        return dateTimeLiteral(value.toDateTime());
    case TFieldType::Blob: {
        const QByteArray bytes = value.toByteArray();
        return bytes.isEmpty() ? QStringLiteral("NULL") : binaryLiteral(bytes);
    }
    case TFieldType::Integer:
    case TFieldType::AutoInc:
        return value.toString();
    }
    return value.toString();
}

void TDbUtilsClass::fieldAssignments(QStringList& list, TMemoryData& record, const QString& excludeNames,
                                     bool skipReadOnly) const {
    for (int i = record.fieldCount() - 1; i >= 0; --i) {
        const TField* field = record.field(i);
        if (skipReadOnly && field->readOnly)
            continue;
        list << field->fieldName() + QLatin1Char('=') + fieldLiteral(*field);
    }
    removeNames(list, excludeNames);
}

void TDbUtilsClass::removeNames(QStringList& list, const QString& names) {
    const QStringList toRemove = commaTextNames(names);
    for (qsizetype n = toRemove.size() - 1; n >= 0; --n) {
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (sameText(list.at(i).section(QLatin1Char('='), 0, 0), toRemove.at(n))) {
                list.removeAt(i);
                break;
            }
        }
    }
}

QString TDbUtilsClass::buildWriteSQL(QStringList& list, const QString& prefix, const QString& table,
                                     const QString& keyField, const QString& keyValue, bool isInsert) const {
    QStringList names;
    QStringList values;
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const QString& line = list.at(i);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? line : line.left(eq);
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        const QString linePrefix = dot < 0 ? QString() : name.left(dot);
        const bool taken = prefix.isEmpty() ? linePrefix.isEmpty() : sameText(linePrefix, prefix);
        if (!taken)
            continue;
        names << (dot < 0 ? name : name.mid(dot + 1));
        values << (eq < 0 ? QString() : line.mid(eq + 1));
        list.removeAt(i);
    }
    if (isInsert) {
        if (!keyField.isEmpty()) {
            names << keyField;
            values << keyValue;
        }
        std::reverse(names.begin(), names.end());
        std::reverse(values.begin(), values.end());
        return QStringLiteral("INSERT INTO ") + table + writeHint + QStringLiteral("( ") +
               names.join(QLatin1Char(',')) + QStringLiteral(")") + QStringLiteral(" select ") +
               values.join(QLatin1Char(','));
    }
    QStringList assignments;
    for (qsizetype i = 0; i < names.size(); ++i)
        assignments << names.at(i) + QLatin1Char('=') + values.at(i);
    QString text = QStringLiteral("UPDATE ") + table + writeHint + QStringLiteral(" SET ") +
                   QStringLiteral("\r\n") + normalizeLineBreaks(assignments.join(QStringLiteral(", "))) +
                   QStringLiteral("\r\n");
    if (!keyField.isEmpty())
        text += QStringLiteral(" WHERE ") + keyField + QLatin1Char('=') + keyValue + QStringLiteral("\r\n");
    return text;
}

int TDbUtilsClass::lockRecord(int id, const QString& table, TDbConnection* connection) {
    const LockStatements statements = lockStatements(id, table);
    std::unique_ptr<TDbQuery> query;
    try {
        if (!statements.before.isEmpty())
            runSQLOn(statements.before, connection);
        try {
            query = openQueryOn(statements.select, connection);
        } catch (...) {
            if (!statements.after.isEmpty())
                runSQLOn(statements.after, connection);
            throw;
        }
        if (!statements.after.isEmpty())
            runSQLOn(statements.after, connection);
    } catch (const EDBException& e) {
        if (classifyError(e) == TDbErrorKind::LockTimeout)
            return 2;
        throw EError(QStringLiteral("Ошибка установки блокировки.\n\r\n\r%1").arg(e.message()));
    } catch (...) {
        throw EError(QStringLiteral("Ошибка установки блокировки паспорта."));
    }
    return query->isEmpty() ? 1 : 0;
}

int TDbUtilsClass::newUniqueId(const QString& table) {
    connectMain("openQuery");
    const std::unique_ptr<TDbQuery> query = mainConnection().openQuery(uniqueIdQuery(table));
    const QVariant returnValue = query->value(QStringLiteral("RETURN_VALUE"));
    if (!returnValue.isValid() || returnValue.toInt() < 0)
        throw EError(QStringLiteral("Не удалось получить уникальный номер для таблицы \"") + table +
                     QStringLiteral("\""));
    return query->value(QStringLiteral("rnNewID")).toInt();
}

int TDbUtilsClass::lastIdentity() {
    return identityValue(scalarQuery(QStringLiteral("SELECT SCOPE_IDENTITY()")));
}

int TDbUtilsClass::identityValue(const QVariant& value) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    return value.isValid() && ok ? int(number) : 0;
}
