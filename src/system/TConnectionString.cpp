#include "TConnectionString.h"

#include <QStringList>

TConnectionString TConnectionString::parse(const QString& text) {
    TConnectionString result;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1);
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            result.provider = value.trimmed();
        else if (key.compare(QLatin1String("Initial Catalog"), Qt::CaseInsensitive) == 0)
            result.database = value;
        else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            result.server = value.trimmed();
        else if (key.compare(QLatin1String("APP"), Qt::CaseInsensitive) == 0)
            result.application = value;
    }
    return result;
}

bool TConnectionString::isPostgres() const {
    return provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0;
}

namespace {

qsizetype portSeparator(const QString& server) {
    const qsizetype comma = server.lastIndexOf(QLatin1Char(','));
    if (comma >= 0)
        return comma;
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    // A bare IPv6 address has several colons and no port.
    return colon >= 0 && server.count(QLatin1Char(':')) == 1 ? colon : -1;
}

} // namespace

QString TConnectionString::host() const {
    const qsizetype sep = portSeparator(server);
    return sep < 0 ? server : server.left(sep).trimmed();
}

int TConnectionString::port() const {
    const qsizetype sep = portSeparator(server);
    return sep < 0 ? 0 : server.mid(sep + 1).trimmed().toInt();
}
