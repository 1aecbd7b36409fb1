// Opens a 100,000-row flat book in the main window, from selecting its node to the grid shown,
// next to psql fetching the same SELECT. Run it with bench/run.
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TWidgetInteraction interaction;
    TUserInteraction::install(&interaction);
    TfPasswordDlg dialog;
    TfrMain main(dialog, {"-Upostgres", "-Pbench"});
    main.resize(1200, 800);
    main.show();
    main.FormShow();
    const auto found =
        main.tvMainTree->findItems(QStringLiteral("Наименования параметров"), Qt::MatchExactly);
    const auto other = main.tvMainTree->findItems(QStringLiteral("Виды поверки"), Qt::MatchExactly);
    if (found.isEmpty() || other.isEmpty()) {
        std::printf("the book is not in the catalogue\n");
        return 1;
    }
    double best = 1e18;
    int rows = 0;
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
    const QString select = main.NodeBook(main.FCurrentNode)->sqlSelectWhere(QString());
    const double raw = psqlMilliseconds(select, {});
    const double unaligned = psqlMilliseconds(select, {"-A", "-t"});
    std::printf("rows: %d\nnode selected to grid shown: %.1f ms\npsql to /dev/null: %.1f ms (ratio %.2f)\n"
                "psql unaligned to /dev/null: %.1f ms (ratio %.2f)\n",
                rows, best, raw, best / raw, unaligned, best / unaligned);
    main.FTerminating = true;
    main.close();
    TUserInteraction::install(nullptr);
    TdmDataBase::instance().setConnection(nullptr); // before Qt's own statics
    return 0;
}
