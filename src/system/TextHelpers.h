#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text rules inherited from the Windows-1251 world the database and the description files come from.

// The 8-bit Windows-1251 code of a character; '?' for characters the code page lacks.
unsigned char windows1251Code(QChar ch);
QByteArray toWindows1251(const QString& text);
QString fromWindows1251(const QByteArray& bytes);

// CompareText order: Windows-1251 codes, with only the Latin letters a-z folded to upper case.
// Returns a negative number, zero or a positive number.
int compareText(QStringView a, QStringView b);
bool sameText(const QString& a, const QString& b);

// The pieces between the occurrences of separator: always one more piece than separators.
QStringList splitText(const QString& text, const QString& separator);

// Removes leading and trailing blanks and control characters (every code up to the space).
QString trimBlanks(const QString& text);

// A decimal 32-bit integer, leading blanks allowed; otherwise EConvertError
// "'%s' is not a valid integer value".
qint32 strToInt(const QString& text);
qint32 strToIntDef(const QString& text, qint32 defaultValue);
bool tryStrToInt(const QString& text, qint32& value);

// A number typed the Russian way (decimal comma) or with a decimal point.
bool tryStrToFloat(const QString& text, double& value);
