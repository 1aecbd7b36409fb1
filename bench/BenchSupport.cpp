#include "BenchSupport.h"

#include "TDbUtilsClass.h"
#include "TProviderConnection.h"
#include "TdmDataBase.h"

#include <QElapsedTimer>
#include <QProcess>
#include <libpq-fe.h>
#include <sys/resource.h>

void connectBenchDatabase() {
    auto connection = std::make_unique<TProviderConnection>();
    connection->setConnectionString(QStringLiteral("Provider=PostgreSQL;Initial Catalog=%1;Data Source=%2,%3")
                                        .arg(qEnvironmentVariable("BENCH_DB"), qEnvironmentVariable("PGHOST"),
                                             qEnvironmentVariable("PGPORT")));
    connection->setLogin(qEnvironmentVariable("PGUSER"), QString());
    connection->open();
    TdmDataBase::instance().setConnection(std::move(connection));
    TDbUtilsClass::setInstance(TDbUtilsClass::create(TDbProvider::PostgreSQL));
}

double psqlMilliseconds(const QString& sql, const QStringList& format) {
    double best = 1e18;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        QProcess psql;
        psql.setStandardOutputFile(QProcess::nullDevice());
        psql.start(QStringLiteral("psql"),
                   QStringList{"-X", "-q", "-d", qEnvironmentVariable("BENCH_DB"), "-c", sql} + format);
        psql.waitForFinished(-1);
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

RawFetch rawFetch(const QString& sql) {
    const QByteArray database = qgetenv("BENCH_DB");
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keys, values, 1); // PGHOST, PGPORT, PGUSER from the environment
    RawFetch best{1e18, 0};
    const QByteArray text = sql.toUtf8();
    for (int round = 0; round < 5 && PQstatus(connection) == CONNECTION_OK; ++round) {
        QElapsedTimer timer;
        timer.start();
        PGresult* result = PQexec(connection, text.constData());
        qint64 bytes = 0;
        const int rows = PQntuples(result), columns = PQnfields(result);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                bytes += PQgetisnull(result, r, c)
                             ? 0
                             : PQgetlength(result, r, c) + (*PQgetvalue(result, r, c) != 0);
        PQclear(result);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (ms < best.milliseconds)
            best = {ms, bytes};
    }
    PQfinish(connection);
    return best;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
