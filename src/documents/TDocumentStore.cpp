#include "TDocumentStore.h"

#include "EError.h"
#include "TDbUtilsClass.h"
#include "TdmDataBase.h"

#include <QFile>
#include <QRegularExpression>

void TDocumentStore::lockDocument(int docId) {
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    switch (TDbUtilsClass::getInstance()->lockRecord(docId, QStringLiteral("Doc"), &connection)) {
    case 1:
        throw EError(QStringLiteral("Документ был удален."));
    case 2:
        throw EError(QStringLiteral("Документ редактируется другим пользователем."));
    default:
        break;
    }
}

int TDocumentStore::chunkCount(qint64 size) {
    return int(size / chunkSize + (size % chunkSize != 0 ? 1 : 0));
}

QString TDocumentStore::pointerQuery(int docId) {
    return QStringLiteral("SELECT ") +
           TDbUtilsClass::getInstance()->textPointer(QStringLiteral("id"), QStringLiteral("Doc")) +
           QStringLiteral(" PTR FROM Doc WHERE ID=") + QString::number(docId);
}

void TDocumentStore::uploadFile(const QByteArray& pointer, const QString& path,
                                const std::function<void()>& chunkWritten) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EError(file.errorString());
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    const QString statement = TDbUtilsClass::getInstance()->updateTextStatement();
    qint64 offset = 0;
    qint64 remaining = file.size();
    do {
        const qint64 n = std::min(remaining, chunkSize);
        const QByteArray buffer = file.read(n);
        if (buffer.size() != n)
            throw EError(file.errorString());
        connection.executeWithValues(statement,
                                     {pointer, offset, QVariant(QMetaType::fromType<int>()), buffer});
        if (chunkWritten)
            chunkWritten();
        offset += n;
        remaining -= n;
    } while (remaining > 0);
}

QString TDocumentStore::plainFileName(const QString& storedName) {
    QString name = storedName.section(QRegularExpression(QStringLiteral("[/\\\\:]")), -1);
    name.removeIf([](QChar ch) { return ch.unicode() < 0x20 || ch == QLatin1Char('\x7f'); });
    // Windows drops trailing blanks and dots, which would make "..." or "CON." the names below.
    while (!name.isEmpty() && (name.back() == QLatin1Char(' ') || name.back() == QLatin1Char('.')))
        name.chop(1);
    name = name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Документ");
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch() ? QLatin1Char('_') + name : name;
}
