#pragma once

#include "TFieldType.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

class TMemoryData;

// One field of a TMemoryData. Values are read from and written to the record set's active record
// (the current row, or the row being calculated or filtered). Null is an invalid QVariant.
class TField {
public:
    using SetTextHandler = std::function<void(TField&, const QString&)>;

    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const QString& fieldName() const { return m_name; }
    TFieldType dataType() const { return m_type; }
    int size() const { return m_size; }
    TFieldKind fieldKind() const { return m_kind; }
    TMemoryData* dataSet() const { return m_dataSet; }
    int index() const { return m_index; }

    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_name : m_displayLabel; }
    void setDisplayLabel(const QString& label) { m_displayLabel = label; }

    bool readOnly = false;
    bool required = false;
    bool visible = true;
    QString hint; // the column title's tooltip
    int displayWidth = 0;

    // Lookup fields: KeyFields of the own record set match LookupKeyFields of lookupDataSet; the
    // shown value is its lookupResultField. Several key fields are separated by ";".
    QString keyFields;
    QString lookupKeyFields;
    QString lookupResultField;
    TMemoryData* lookupDataSet = nullptr;

    // Replaces the plain text conversion of setText (input checks of editors and grids).
    SetTextHandler onSetText;

    QVariant value() const;
    void setValue(const QVariant& value);
    bool isNull() const { return !value().isValid(); }
    void clear() { setValue(QVariant()); }

    QString asString() const { return textOf(value()); }
    void setAsString(const QString& text) { setValue(text); }
    qint32 asInteger() const;
    void setAsInteger(qint32 v) { setValue(v); }
    double asFloat() const;
    void setAsFloat(double v) { setValue(v); }
    bool asBoolean() const;
    void setAsBoolean(bool v) { setValue(v); }
    QDateTime asDateTime() const;
    void setAsDateTime(const QDateTime& v) { setValue(v); }

    // What a grid shows for the value.
    QString displayText() const { return displayTextOf(value()); }
    QString displayTextOf(const QVariant& v) const;
    // Asks the control bound to this field to take the focus (views listen to the record set).
    void focusControl();
    // Typed input: onSetText when installed, otherwise the plain conversion.
    void setText(const QString& text);

    // A value converted to this field's type; EConvertError when it does not convert.
    QVariant convert(const QVariant& v) const;
    // True when convert would give v back unchanged: a value of the field's own type that fits.
    bool storesAsIs(const QVariant& v) const;
    // The plain text of a value of this field's type.
    QString textOf(const QVariant& v) const;

private:
    void refuseNul(const QString& text) const;

    friend class TMemoryData;
    TField(TMemoryData* dataSet, const QString& name, TFieldType type, int size, TFieldKind kind);

    TMemoryData* m_dataSet;
    QString m_name;
    TFieldType m_type;
    int m_size;
    TFieldKind m_kind;
    int m_index = -1;
    QString m_displayLabel;

    // Lookup cache: key text -> result, valid while the list's change count stays the same.
    mutable QHash<QString, QVariant> m_lookupValues;
    mutable quint64 m_lookupVersion = ~quint64(0);
};
