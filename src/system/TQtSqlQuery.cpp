#include "TQtSqlQuery.h"

#include <QSqlField>
#include <QSqlRecord>

namespace {

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

} // namespace

TSourceField TQtSqlQuery::postgresField(const QSqlField& field) {
    TSourceField result{field.name(), fromMetaType(field.metaType().id()), 0};
    switch (field.typeID()) { // PostgreSQL type oids
    case 16:
        result.type = TSourceFieldType::Boolean;
        break;
    case 20:
        result.type = TSourceFieldType::LargeInt;
        break;
    case 21:
        result.type = TSourceFieldType::SmallInt;
        break;
    case 23:
    case 26:
        result.type = TSourceFieldType::Integer;
        break;
    case 19: // name
        result.type = TSourceFieldType::String;
        result.size = 64;
        break;
    case 25: // text: the counterpart of SQL Server's text columns
        result.type = TSourceFieldType::Memo;
        break;
    case 1042:
        result.type = TSourceFieldType::FixedChar;
        result.size = std::max(field.length(), 1);
        break;
    case 1043:
        result.type = TSourceFieldType::String;
        result.size = field.length() > 0 ? field.length() : 8000;
        break;
    case 700:
    case 701:
        result.type = TSourceFieldType::Float;
        break;
    case 790:
        result.type = TSourceFieldType::Currency;
        break;
    case 1700:
        result.type = TSourceFieldType::Decimal;
        break;
    case 1082:
        result.type = TSourceFieldType::Date;
        break;
    case 1083:
        result.type = TSourceFieldType::Time;
        break;
    case 1114:
    case 1184:
        result.type = TSourceFieldType::DateTime;
        break;
    case 17:
        result.type = TSourceFieldType::Bytes;
        break;
    case 2950:
        result.type = TSourceFieldType::Guid;
        break;
    default:
        if (result.type == TSourceFieldType::String)
            result.size = field.length() > 0 ? field.length() : 8000;
        break;
    }
    return result;
}

TSourceField TQtSqlQuery::odbcField(const QSqlField& field) {
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

TQtSqlQuery::TQtSqlQuery(QSqlQuery query) : m_query(std::move(query)) {
    const QSqlRecord record = m_query.record();
    for (int i = 0; i < record.count(); ++i)
        m_fields.push_back(postgresField(record.field(i)));
    m_eof = !m_query.first();
    m_empty = m_eof;
}

void TQtSqlQuery::next() {
    if (!m_eof)
        m_eof = !m_query.next();
}

QVariant TQtSqlQuery::value(int i) const {
    if (m_eof)
        return {};
    const QVariant v = m_query.value(i);
    return v.isNull() ? QVariant() : v;
}
