#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>

// The main connection to the benchmark database that bench/run prepared (PGHOST, PGPORT, PGUSER, BENCH_DB).
void connectBenchDatabase();
// The best of three runs of psql fetching sql to /dev/null, with the output format options given.
double psqlMilliseconds(const QString& sql, const QStringList& format);

// The reference: the best of rounds fetches of sql through libpq in this process, on a connection of
// its own made beforehand, with every value's text looked at and none converted; once as one whole
// result (PQexec) and once row by row as the rows arrive (single-row mode). Ratios are taken
// against the faster of the two.
struct RawFetch {
    double wholeMilliseconds = 0;
    double rowByRowMilliseconds = 0;
    qint64 textBytes = 0; // the size of all values as the server sent them
    double milliseconds() const { return std::min(wholeMilliseconds, rowByRowMilliseconds); }
    // One line: "raw libpq fetch in this process: … (ratio …, goal <= …)".
    QString line(double measured, double goal) const;
};
RawFetch rawFetch(const QString& sql, int rounds = 5);

// The peak resident memory of this process so far, in megabytes.
double peakMegabytes();
