#include "TField.h"

#include "EConvertError.h"
#include "EDataSetError.h"
#include "TMemoryData.h"
#include "TextHelpers.h"

#include <QLocale>
#include <cmath>

namespace {

QDateTime parseDateTime(const QString& text) {
    static const char* const formats[] = {"dd.MM.yyyy hh:mm:ss", "dd.MM.yyyy h:mm:ss",  "dd.MM.yyyy hh:mm",
                                          "dd.MM.yyyy h:mm",     "dd.MM.yyyy",          "d.M.yyyy",
                                          "yyyy-MM-dd hh:mm:ss", "yyyy-MM-ddThh:mm:ss", "yyyy-MM-dd"};
    const QString trimmed = text.trimmed();
    for (const char* format : formats) {
        const QDateTime dt = QDateTime::fromString(trimmed, QString::fromLatin1(format));
        if (dt.isValid())
            return dt;
    }
    const QDateTime iso = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (iso.isValid())
        return iso;
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

double parseFloat(const QString& text) {
    double v = 0;
    if (!tryStrToFloat(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

bool parseBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1") ||
        t.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0") ||
        t.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0)
        return false;
    throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
}

qint32 toInteger(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString:
        return strToInt(v.toString().trimmed());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d > 2147483647.0 || d < -2147483648.0)
            break;
        return qint32(std::llround(d));
    }
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        if (ok && n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max())
            return qint32(n);
        break;
    }
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
}

double toFloat(const QVariant& v) {
    if (v.typeId() == QMetaType::QString)
        return parseFloat(v.toString());
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return d;
}

} // namespace

TField::TField(TMemoryData* dataSet, const QString& name, TFieldType type, int size, TFieldKind kind)
    : m_dataSet(dataSet), m_name(name), m_type(type), m_size(size), m_kind(kind) {}

QVariant TField::value() const {
    return m_dataSet->activeValue(this);
}

void TField::setValue(const QVariant& value) {
    m_dataSet->setActiveValue(this, value);
}

qint32 TField::asInteger() const {
    const QVariant v = value();
    return v.isValid() ? toInteger(v) : 0;
}

double TField::asFloat() const {
    const QVariant v = value();
    return v.isValid() ? toFloat(v) : 0.0;
}

bool TField::asBoolean() const {
    const QVariant v = value();
    if (!v.isValid())
        return false;
    return v.typeId() == QMetaType::QString ? parseBoolean(v.toString()) : v.toBool();
}

QDateTime TField::asDateTime() const {
    const QVariant v = value();
    if (!v.isValid())
        return {};
    return v.typeId() == QMetaType::QString ? parseDateTime(v.toString()) : v.toDateTime();
}

void TField::focusControl() {
    Q_EMIT m_dataSet->focusControlRequested(this);
}

void TField::setText(const QString& text) {
    if (onSetText)
        onSetText(*this, text);
    else
        setValue(text.isEmpty() && !isStringType(m_type) ? QVariant() : QVariant(text));
}

// A character 0 ends a statement's text on the way to PostgreSQL and is refused by it in a text;
// the value is refused here, with the field's name, before anything is sent.
void TField::refuseNul(const QString& text) const {
    if (text.contains(QChar(0)))
        throw EDataSetError(
            QStringLiteral("Значение поля \"%1\" содержит символ с кодом 0, который нельзя сохранить.")
                .arg(displayLabel()));
}

QVariant TField::convert(const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return {};
    switch (m_type) {
    case TFieldType::String:
    case TFieldType::WideString: {
        QString s = v.typeId() == QMetaType::QDateTime ? textOf(v) : v.toString();
        if (s.isEmpty())
            return {}; // as in every string field of the program's record sets, empty text is null
        refuseNul(s);
        // Cutting would store less than was typed, and could split a character in two: refuse.
        if (m_size > 0 && s.size() > m_size) {
            const qsizetype characters = s.toUcs4().size();
            if (characters > m_size)
                throw EDataSetError(
                    QStringLiteral("Значение поля \"%1\" не помещается: допускается не более %2 символов, "
                                   "введено %3.")
                        .arg(displayLabel())
                        .arg(m_size)
                        .arg(characters));
        }
        return s;
    }
    case TFieldType::Memo: {
        QString s = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        refuseNul(s);
        return s;
    }
    case TFieldType::Integer:
    case TFieldType::AutoInc:
        return toInteger(v);
    case TFieldType::Float:
        return toFloat(v);
    case TFieldType::Currency:
        return std::round(toFloat(v) * 10000.0) / 10000.0;
    case TFieldType::Boolean:
        return v.typeId() == QMetaType::QString ? parseBoolean(v.toString()) : v.toBool();
    case TFieldType::DateTime:
        if (v.typeId() == QMetaType::QString)
            return parseDateTime(v.toString());
        if (v.typeId() == QMetaType::QDate)
            return QDateTime(v.toDate(), QTime(0, 0));
        if (!v.canConvert<QDateTime>() || !v.toDateTime().isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(v.toString()));
        return v.toDateTime();
    case TFieldType::Blob:
        return v.toByteArray();
    }
    return v;
}

bool TField::storesAsIs(const QVariant& v) const {
    switch (m_type) {
    case TFieldType::String:
    case TFieldType::WideString: {
        if (v.typeId() != QMetaType::QString)
            return false;
        // A string of at most m_size UTF-16 units has at most m_size characters.
        const qsizetype size = static_cast<const QString*>(v.constData())->size();
        return size > 0 && (m_size <= 0 || size <= m_size);
    }
    case TFieldType::Memo:
        return v.typeId() == QMetaType::QString;
    case TFieldType::Integer:
    case TFieldType::AutoInc:
        return v.typeId() == QMetaType::Int;
    case TFieldType::Float:
        return v.typeId() == QMetaType::Double;
    case TFieldType::Boolean:
        return v.typeId() == QMetaType::Bool;
    case TFieldType::DateTime:
        return v.typeId() == QMetaType::QDateTime && static_cast<const QDateTime*>(v.constData())->isValid();
    default:
        return false;
    }
}

QString TField::textOf(const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return {};
    switch (m_type) {
    case TFieldType::Float:
    case TFieldType::Currency:
        return QString::number(v.toDouble(), 'g', 15);
    case TFieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TFieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd.MM.yyyy"))
                                        : dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    default:
        return v.toString();
    }
}

QString TField::displayTextOf(const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return {};
    switch (m_type) {
    case TFieldType::Currency:
        return QLocale(QLocale::Russian).toString(v.toDouble(), 'f', 2);
    case TFieldType::Float:
        return QLocale(QLocale::Russian).toString(v.toDouble(), 'g', 15);
    case TFieldType::Boolean:
        return v.toBool() ? QStringLiteral("Да") : QStringLiteral("Нет");
    case TFieldType::Blob:
        return QStringLiteral("(BLOB)");
    case TFieldType::Memo:
        return v.toString().section(QLatin1Char('\n'), 0, 0);
    default:
        return textOf(v);
    }
}
