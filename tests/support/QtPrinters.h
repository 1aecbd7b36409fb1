#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{' << ('"' + list.join("\", \"") + '"').toStdString() << '}';
}
inline void PrintTo(const QVariant& v, std::ostream* os) {
    *os << v.typeName() << '(' << v.toString().toStdString() << ')';
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << d.toString(Qt::ISODateWithMs).toStdString();
}
