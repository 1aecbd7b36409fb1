#pragma once

#include <QString>
#include <QtGlobal>

enum class TDbAttrKind : quint8 { Data = 0, Calculated = 1, Lookup = 2 };

// One column of a reference book's result set, as its description file gives it. The three
// references point into the same collection and are never owned through them.
class TDbAttribute {
public:
    QString name;
    QString tableName;
    bool nullAllowed = false;
    TDbAttribute* linkPrimary = nullptr;
    TDbAttribute* parentAttr = nullptr;
    TDbAttribute* joinAttr = nullptr;
    QString joinType;
    QString sname;
    QString fname;
    bool isPrimary = false;
    qint32 size = 0;
    qint32 sortOrder = 0;
    bool sortAsc = true;
    qint32 uid = 0;
    QString tableNameToCheck;
    QString fieldNameToCheck;
    TDbAttrKind kind = TDbAttrKind::Data;
    QString type;
    QString aliasname;
    bool visible = false;
    QString LookupKey;
    QString LookupResult;
    QString LookupTable;
    QString KeyFields;

    bool isIntegerKey() const;
    bool isCalculated() const { return kind == TDbAttrKind::Calculated; }
    bool isLookup() const { return kind == TDbAttrKind::Lookup; }
    // The name the column has in record sets.
    const QString& fieldName() const { return aliasname.isEmpty() ? name : aliasname; }
};
