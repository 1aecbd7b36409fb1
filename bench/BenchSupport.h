#pragma once

#include <QString>
#include <QStringList>

// The main connection to the benchmark database that bench/run prepared (PGHOST, PGPORT, PGUSER, BENCH_DB).
void connectBenchDatabase();
// The best of three runs of psql fetching sql to /dev/null, with the output format options given.
double psqlMilliseconds(const QString& sql, const QStringList& format);
