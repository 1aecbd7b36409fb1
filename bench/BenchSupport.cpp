#include "BenchSupport.h"

#include "TDbUtilsClass.h"
#include "TQtSqlConnection.h"
#include "TdmDataBase.h"

#include <QElapsedTimer>
#include <QProcess>

void connectBenchDatabase() {
    auto connection = std::make_unique<TQtSqlConnection>();
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
