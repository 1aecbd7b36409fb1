// A 50 MB document: uploaded in 500,000-byte chunks through the text pointer against one raw
// insert of the same bytes, and opened (read and written to a temporary file) against a raw read,
// with the growth of the peak memory. Run it with bench/run.
#include "BenchSupport.h"
#include "TDbUtilsClass.h"
#include "TDocumentStore.h"
#include "TdmDataBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>

namespace {

double since(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

PGconn* rawConnection() {
    const QByteArray database = qgetenv("BENCH_DB");
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database.constData(), nullptr};
    return PQconnectdbParams(keys, values, 1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    connectBenchDatabase();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    TDbConnection& connection = TdmDataBase::instance().adoOrtaDatabase();
    constexpr qsizetype size = 50 * 1000 * 1000;
    QTemporaryDir folder;
    const QString path = folder.filePath("document.bin");
    {
        QByteArray bytes(size, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    QByteArray bytes;
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        bytes = file.readAll();
    }
    PGconn* raw = rawConnection();

    // The raw insert: the same bytes as one binary parameter.
    double rawInsert = 1e18;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        const char* values[] = {bytes.constData()};
        const int lengths[] = {int(bytes.size())};
        const int formats[] = {1};
        PGresult* result = PQexecParams(
            raw, "INSERT INTO Doc (Descript, Doc) VALUES ('raw ' || clock_timestamp()::text, $1::bytea)", 1,
            nullptr, values, lengths, formats, 0);
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            std::printf("raw insert failed: %s\n", PQresultErrorMessage(result));
        PQclear(result);
        rawInsert = std::min(rawInsert, since(timer));
    }
    bytes.clear();
    bytes.squeeze();

    const double before = peakMegabytes();
    double upload = 1e18;
    int id = 0;
    for (int round = 0; round < 3; ++round) {
        id = db->insertReturningIdentity(
            {QStringLiteral("INSERT INTO Doc (Descript, Doc) VALUES ('chunks %1', ").arg(round) +
             db->binaryLiteral(QByteArray(1, '\0')) + QLatin1Char(')')},
            QStringLiteral("id"));
        QElapsedTimer timer;
        timer.start();
        connection.beginTransaction();
        const auto pointer = db->openQuery(TDocumentStore::pointerQuery(id))->value(0).toByteArray();
        TDocumentStore::uploadFile(pointer, path, {});
        connection.commit();
        upload = std::min(upload, since(timer));
    }
    const double uploadGrowth = peakMegabytes() - before;

    const QByteArray select = QStringLiteral("Select DOC, FileName from DOC where id=%1").arg(id).toUtf8();
    double rawRead = 1e18;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        PGresult* result = PQexec(raw, select.constData());
        if (PQntuples(result) != 1 || PQgetlength(result, 0, 0) < size)
            std::printf("raw read failed\n");
        PQclear(result);
        rawRead = std::min(rawRead, since(timer));
    }
    const double beforeOpen = peakMegabytes();
    double open = 1e18;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        const auto query = db->openQuery(QString::fromUtf8(select));
        QFile file(folder.filePath("opened.bin"));
        file.open(QIODevice::WriteOnly);
        if (file.write(query->value(0).toByteArray()) != size)
            std::printf("the opened document is not whole\n");
        open = std::min(open, since(timer));
    }
    const double openGrowth = peakMegabytes() - beforeOpen;
    PQfinish(raw);
    std::printf("document: %lld bytes\n"
                "upload in chunks of %lld bytes: %.1f ms; one raw insert: %.1f ms (ratio %.2f, goal <= 1.5); "
                "peak memory grew by %.1f MB\n"
                "open (read and write to a file): %.1f ms; raw read: %.1f ms (ratio %.2f, goal <= 1.5); "
                "peak memory grew by %.1f MB\n",
                qlonglong(size), qlonglong(TDocumentStore::chunkSize), upload, rawInsert, upload / rawInsert,
                uploadGrowth, open, rawRead, open / rawRead, openGrowth);
    TdmDataBase::instance().setConnection(nullptr); // before Qt's own statics
    return 0;
}
