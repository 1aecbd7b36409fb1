#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class TDbConnection;

// Documents kept whole in the database (table Doc): locking one for a change, writing a file into
// it in chunks through its text pointer, and the chunking itself.
class TDocumentStore {
public:
    static constexpr qint64 chunkSize = 500000;

    // Locks the row of the document inside the open transaction of the main connection; raises
    // EError "Документ был удален." or "Документ редактируется другим пользователем.".
    static void lockDocument(int docId);

    // Chunks a file of size bytes is sent in (an empty file: one, with no bytes).
    static int chunkCount(qint64 size);

    // The pointer of the contents of document docId ("PTR"); null when the contents are null.
    static QString pointerQuery(int docId);

    // Writes the file at path over the contents behind pointer, chunk by chunk; after each chunk
    // chunkWritten is called (the progress window steps and lets its messages run). Raises on any
    // failure.
    static void uploadFile(const QByteArray& pointer, const QString& path,
                           const std::function<void()>& chunkWritten);

    // The stored file name reduced to a plain name that stays inside the folder it is written to:
    // no folder parts, drive or absolute path, no control characters, no device name of Windows
    // (CON, NUL, COM1…: "_" put in front); "Документ" when nothing is left.
    static QString plainFileName(const QString& storedName);
};
