#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestFolder::TestFolder() = default;

QString TestFolder::write(const QString& relativePath, const QByteArray& bytes) const {
    const QString full = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return full;
}

QString fixturePath(const QString& relativePath) {
    return QStringLiteral(VANTOREL_FIXTURES_DIR) + QLatin1Char('/') + relativePath;
}
