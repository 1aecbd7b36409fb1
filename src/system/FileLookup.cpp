#include "FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString findEntry(const QString& folder, const QString& name) {
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString joinPart(const QString& folder, const QString& part) {
    if (folder.isEmpty())
        return part;
    return folder.endsWith(QLatin1Char('/')) ? folder + part : folder + QLatin1Char('/') + part;
}

} // namespace

QString resolvePath(const QString& path) {
    QString normalized = path;
    normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (normalized.isEmpty() || QFileInfo::exists(normalized))
        return normalized;

    const bool absolute = normalized.startsWith(QLatin1Char('/'));
    const QStringList parts = normalized.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        const QString joined = joinPart(current, part);
        if (part == QLatin1String(".") || part == QLatin1String("..") || QFileInfo::exists(joined)) {
            current = joined;
            continue;
        }
        const QString match = findEntry(current, part);
        if (match.isEmpty())
            return normalized;
        current = joinPart(current, match);
    }
    if (normalized.endsWith(QLatin1Char('/')) && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

bool fileExistsIgnoringCase(const QString& path) {
    return QFileInfo(resolvePath(path)).isFile();
}
