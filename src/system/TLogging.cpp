#include "TLogging.h"

#include "EInOutError.h"
#include "TextHelpers.h"

#include <QDateTime>
#include <QFile>

namespace {

// The short date and long time formats of a Russian Windows.
QString shortDate(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}
QString longTime(const QTime& time) {
    return time.toString(QStringLiteral("H:mm:ss"));
}

} // namespace

QString TLogging::fileName(int level) {
    switch (level) {
    case Warning:
        return QStringLiteral("warnings.txt");
    case Message:
        return QStringLiteral("messages.txt");
    case Daily:
        return QStringLiteral("log_") + shortDate(QDate::currentDate()) + QStringLiteral(".txt");
    default:
        return QStringLiteral("errors.txt");
    }
}

void TLogging::writeLog(const QString& text, int level) {
    if (text.isEmpty())
        return;
    QFile file(fileName(level));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw EInOutError(
            QStringLiteral("Ошибка ввода-вывода: %1 (%2)").arg(file.fileName(), file.errorString()));
    file.write(toWindows1251(text) + "\r\n");
    file.flush();
    file.close();
}

void TLogging::logError(const QString& text) {
    const QString date = shortDate(QDate::currentDate());
    const QString time = longTime(QTime::currentTime());
    writeLog(date + QLatin1Char(' ') + time, Error);
    writeLog(text, Error);
}
