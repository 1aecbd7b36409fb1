// Loads a 100,000-row result into a memory record set with loadQuery and compares the time with
// psql fetching the same rows to /dev/null. Run it with bench/run.
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TQtSqlConnection.h"
#include "TdmDataBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

namespace {

const char* const kSelect = "SELECT id, fName, Code, ParentId, Price, Made FROM bench_rows ORDER BY id";

double psqlMilliseconds(const QStringList& format) {
    QElapsedTimer timer;
    timer.start();
    QProcess psql;
    psql.setStandardOutputFile(QProcess::nullDevice());
    psql.start(QStringLiteral("psql"), QStringList{QStringLiteral("-X"), QStringLiteral("-q"),
                                                   QStringLiteral("-d"), qEnvironmentVariable("BENCH_DB"),
                                                   QStringLiteral("-c"), QString::fromLatin1(kSelect)} +
                                           format);
    psql.waitForFinished(-1);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    auto connection = std::make_unique<TQtSqlConnection>();
    connection->setConnectionString(QStringLiteral("Provider=PostgreSQL;Initial Catalog=%1;Data Source=%2,%3")
                                        .arg(qEnvironmentVariable("BENCH_DB"), qEnvironmentVariable("PGHOST"),
                                             qEnvironmentVariable("PGPORT")));
    connection->setLogin(qEnvironmentVariable("PGUSER"), QString());
    connection->open();
    TdmDataBase::instance().setConnection(std::move(connection));
    TDbUtilsClass::setInstance(TDbUtilsClass::create(TDbProvider::PostgreSQL));
    TDbUtilsClass* db = TDbUtilsClass::getInstance();

    double bestLoad = 1e18;
    double bestRaw = 1e18;
    double bestUnaligned = 1e18;
    int rows = 0;
    for (int round = 0; round < 5; ++round) {
        TMemoryData data;
        QElapsedTimer timer;
        timer.start();
        db->loadQuery(data, QString::fromLatin1(kSelect));
        bestLoad = std::min(bestLoad, double(timer.nsecsElapsed()) / 1e6);
        rows = data.recordCount();
        bestRaw = std::min(bestRaw, psqlMilliseconds({}));
        bestUnaligned =
            std::min(bestUnaligned, psqlMilliseconds({QStringLiteral("-A"), QStringLiteral("-t")}));
    }
    // The client library's share: the same rows read through the query object alone.
    double bestFetch = 1e18;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        auto query = db->openQuery(QString::fromLatin1(kSelect));
        qint64 sink = 0;
        for (; !query->eof(); query->next())
            for (int i = 0; i < query->fieldCount(); ++i)
                sink += query->value(i).isValid();
        bestFetch = std::min(bestFetch, double(timer.nsecsElapsed()) / 1e6);
        if (sink == 42)
            std::printf(" ");
    }
    std::printf("query fetch through Qt SQL alone: %.1f ms\n", bestFetch);
    std::printf(
        "rows: %d\nloadQuery into a memory record set: %.1f ms\npsql to /dev/null: %.1f ms (ratio %.2f)\n"
        "psql unaligned to /dev/null: %.1f ms (ratio %.2f)\n",
        rows, bestLoad, bestRaw, bestLoad / bestRaw, bestUnaligned, bestLoad / bestUnaligned);
    return 0;
}
