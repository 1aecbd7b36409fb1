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

RawFetch rawFetch(const QString& sql, int rounds) {
    const QByteArray database = qgetenv("BENCH_DB");
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keys, values, 1); // PGHOST, PGPORT, PGUSER from the environment
    RawFetch best{1e18, 1e18, 0};
    const QByteArray text = sql.toUtf8();
    const auto look = [](PGresult* result) {
        qint64 bytes = 0;
        const int rows = PQntuples(result), columns = PQnfields(result);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                bytes += PQgetisnull(result, r, c)
                             ? 0
                             : PQgetlength(result, r, c) + (*PQgetvalue(result, r, c) != 0);
        PQclear(result);
        return bytes;
    };
    for (int round = 0; round < rounds && PQstatus(connection) == CONNECTION_OK; ++round) {
        QElapsedTimer timer;
        timer.start();
        best.textBytes = look(PQexec(connection, text.constData()));
        best.wholeMilliseconds = std::min(best.wholeMilliseconds, double(timer.nsecsElapsed()) / 1e6);

        timer.restart();
        PQsendQuery(connection, text.constData());
        PQsetSingleRowMode(connection);
        while (PGresult* result = PQgetResult(connection))
            look(result);
        best.rowByRowMilliseconds = std::min(best.rowByRowMilliseconds, double(timer.nsecsElapsed()) / 1e6);
    }
    PQfinish(connection);
    return best;
}

QString RawFetch::line(double measured, double goal) const {
    return QStringLiteral("raw libpq fetch in this process: %1 ms whole, %2 ms row by row (ratio %3 to the "
                          "faster, goal <= %4)")
        .arg(wholeMilliseconds, 0, 'f', 1)
        .arg(rowByRowMilliseconds, 0, 'f', 1)
        .arg(measured / milliseconds(), 0, 'f', 2)
        .arg(goal);
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
