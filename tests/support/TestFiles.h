#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A folder that lives as long as the test and files written into it.
class TestFolder {
public:
    TestFolder();
    QString path() const { return m_dir.path(); }
    // Writes bytes to a file below the folder (sub-folders are created) and returns its path.
    QString write(const QString& relativePath, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

QString fixturePath(const QString& relativePath);
// The description files of the installed books whose records are written (they have a key and
// writable columns), by file name without ".xml".
QStringList installedWrittenBooks();
QString installedBookFile(const QString& name);
