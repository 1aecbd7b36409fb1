// Loads a 100,000-row result into a memory record set with loadQuery and compares the time with a
// raw libpq fetch of the same rows in this process, and with psql. Run it with bench/run.
#include "BenchSupport.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TdmDataBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    connectBenchDatabase();
    TDbUtilsClass* db = TDbUtilsClass::getInstance();
    const QString select =
        QStringLiteral("SELECT id, fName, Code, ParentId, Price, Made FROM bench_rows ORDER BY id");

    double bestLoad = 1e18, bestFetch = 1e18;
    int rows = 0;
    // The reference is fetched in the same rounds, so that both meet the machine in the same mood.
    RawFetch reference{1e18, 1e18, 0};
    for (int round = 0; round < 7; ++round) {
        TMemoryData data;
        QElapsedTimer timer;
        timer.start();
        db->loadQuery(data, select);
        bestLoad = std::min(bestLoad, double(timer.nsecsElapsed()) / 1e6);
        rows = data.recordCount();

        // The connection's share: the same rows read through the query object alone.
        timer.restart();
        auto query = db->openQuery(select);
        qint64 values = 0;
        for (; !query->eof(); query->next())
            for (int i = 0; i < query->fieldCount(); ++i)
                values += query->value(i).isValid();
        bestFetch = std::min(bestFetch, double(timer.nsecsElapsed()) / 1e6);
        if (values == 0)
            std::printf("no values\n");

        const RawFetch once = rawFetch(select, 1);
        reference.wholeMilliseconds = std::min(reference.wholeMilliseconds, once.wholeMilliseconds);
        reference.rowByRowMilliseconds = std::min(reference.rowByRowMilliseconds, once.rowByRowMilliseconds);
        reference.textBytes = once.textBytes;
    }
    const double raw = psqlMilliseconds(select, {});
    const double unaligned = psqlMilliseconds(select, {"-A", "-t"});
    std::printf(
        "rows: %d\nloadQuery into a memory record set: %.1f ms\n%s\n"
        "the same rows through the query object alone: %.1f ms\n"
        "psql to /dev/null: %.1f ms (ratio %.2f)\npsql unaligned to /dev/null: %.1f ms (ratio %.2f)\n",
        rows, bestLoad, qPrintable(reference.line(bestLoad, 1.5)), bestFetch, raw, bestLoad / raw, unaligned,
        bestLoad / unaligned);
    TdmDataBase::instance().setConnection(nullptr); // before Qt's own statics
    return 0;
}
