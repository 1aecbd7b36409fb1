// Builds the tree of a 100,000-record book six levels deep from the real server: fetch time, tree
// building time and psql fetching the same rows, in one run. Run it with bench/run.
#include "BenchSupport.h"
#include "DescriptionLoader.h"
#include "TATreeDataCollection.h"
#include "TDbAttrCollection.h"
#include "TDbUtilsClass.h"
#include "TMemoryData.h"
#include "TdmDataBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    connectBenchDatabase();
    const QString description =
        qEnvironmentVariable("BENCH_INSTALLATION") + "/BusinessData/ReferenceBooks/tMiTypes.xml";

    double bestFetch = 1e18, bestTotal = 1e18;
    int items = 0;
    for (int round = 0; round < 3; ++round) {
        auto attrs = TDescriptionLoader::loadDescription(description);
        QElapsedTimer timer;
        timer.start();
        attrs->sqlSelect();
        bestFetch = std::min(bestFetch, double(timer.nsecsElapsed()) / 1e6);

        TATreeDataCollection tree;
        timer.restart();
        if (!tree.loadBook(description, false))
            std::printf("the book has records without a place\n");
        bestTotal = std::min(bestTotal, double(timer.nsecsElapsed()) / 1e6);
        items = tree.count();
    }
    auto attrs = TDescriptionLoader::loadDescription(description);
    attrs->buildSelect();
    const RawFetch reference = rawFetch(attrs->selectSQL + attrs->orderByText);
    const double raw = psqlMilliseconds(attrs->selectSQL + attrs->orderByText, {});
    const double unaligned = psqlMilliseconds(attrs->selectSQL + attrs->orderByText, {"-A", "-t"});
    std::printf(
        "tree items: %d\nfetch into the record cache: %.1f ms\ntree building: %.1f ms\n"
        "total (fetch + tree): %.1f ms\n%s\n"
        "psql to /dev/null: %.1f ms (ratio %.2f)\npsql unaligned to /dev/null: %.1f ms (ratio %.2f)\n",
        items, bestFetch, bestTotal - bestFetch, bestTotal, qPrintable(reference.line(bestTotal, 2)), raw,
        bestTotal / raw, unaligned, bestTotal / unaligned);
    TdmDataBase::instance().setConnection(nullptr); // before Qt's own statics
    return 0;
}
