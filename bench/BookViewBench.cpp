// Signs in to the catalogue, then opens a flat book (BENCH_BOOK, its caption; none: sign-in alone) in
// the main window, from selecting its node to the grid shown, next to a raw libpq fetch of the same
// SELECT in this process and psql. Run it with bench/run.
#include "BenchSupport.h"
#include "DescriptionLoader.h"
#include "TDBGrid.h"
#include "TDbAttrCollection.h"
#include "TLogin.h"
#include "TWidgetInteraction.h"
#include "TdmDataBase.h"
#include "TfPasswordDlg.h"
#include "TfrMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

int finish(TfrMain& main) {
    main.FTerminating = true;
    main.close();
    TUserInteraction::install(nullptr);
    TdmDataBase::instance().setConnection(nullptr); // before Qt's own statics
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TWidgetInteraction interaction;
    TUserInteraction::install(&interaction);
    QElapsedTimer signIn;
    signIn.start();
    TfPasswordDlg dialog;
    TfrMain main(dialog, {"-Upostgres", "-Pbench"});
    main.resize(1200, 800);
    main.show();
    main.FormShow();
    std::printf("sign-in to catalogue ready: %.1f ms (goal < 1000 on the demo database)\n",
                double(signIn.nsecsElapsed()) / 1e6);
    const QString book = qEnvironmentVariable("BENCH_BOOK");
    if (book.isEmpty())
        return finish(main);
    const auto found = main.tvMainTree->findItems(book, Qt::MatchExactly);
    const auto other = main.tvMainTree->findItems(QStringLiteral("Виды поверки"), Qt::MatchExactly);
    if (found.isEmpty() || other.isEmpty()) {
        std::printf("the book is not in the catalogue\n");
        return 1;
    }
    double best = 1e18;
    int rows = 0;
    const double before = peakMegabytes();
    for (int round = 0; round < 3; ++round) {
        main.tvMainTree->setCurrentItem(other.first());
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        main.tvMainTree->setCurrentItem(found.first());
        if (!main.FGrid) {
            std::printf("the book's view was not built\n");
            return 1;
        }
        main.FGrid->repaint(); // the grid shown
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
        rows = main.FrxmdData.recordCount();
    }
    const double grown = peakMegabytes() - before;
    const QString select = main.NodeBook(main.FCurrentNode)->sqlSelectWhere(QString());
    const RawFetch reference = rawFetch(select);
    const double text = double(reference.textBytes) / (1024.0 * 1024.0);
    const double raw = psqlMilliseconds(select, {});
    const double unaligned = psqlMilliseconds(select, {"-A", "-t"});
    std::printf(
        "rows: %d\nnode selected to grid shown: %.1f ms\n"
        "%s\n"
        "peak memory grew by %.1f MB for %.1f MB of row text (ratio %.2f, goal <= 3)\n"
        "psql to /dev/null: %.1f ms (ratio %.2f)\npsql unaligned to /dev/null: %.1f ms (ratio %.2f)\n",
        rows, best, qPrintable(reference.line(best, 2)), grown, text, grown / text, raw, best / raw,
        unaligned, best / unaligned);
    return finish(main);
}
