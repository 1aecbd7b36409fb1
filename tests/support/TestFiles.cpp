#include "TestFiles.h"

#include "DescriptionLoader.h"

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

QString installedBookFile(const QString& name) {
    return QStringLiteral(VANTOREL_INSTALLATION_DIR "/BusinessData/ReferenceBooks/") + name +
           QStringLiteral(".xml");
}

QStringList installedWrittenBooks() {
    QStringList books;
    const QDir folder(QStringLiteral(VANTOREL_INSTALLATION_DIR "/BusinessData/ReferenceBooks"));
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        const auto book = TDescriptionLoader::loadDescription(file.filePath());
        if (book && book->keyAttribute() && !book->writableAttributes().empty())
            books << file.completeBaseName();
    }
    return books;
}
