#pragma once

#include <QString>

// Plain-text logs in the working folder: one line per call, CR LF, Windows-1251.
class TLogging {
public:
    enum Level { Error = 0, Warning = 1, Message = 2, Daily = 3 };

    static QString fileName(int level);
    // Appends text as one line; empty text writes nothing. A file that cannot be opened raises
    // EInOutError; a failed write is ignored.
    static void writeLog(const QString& text, int level);
    // The date and time, then text, in "errors.txt".
    static void logError(const QString& text);
    static void logException(const QString& text) { logError(QStringLiteral("Exception. ") + text); }
};
