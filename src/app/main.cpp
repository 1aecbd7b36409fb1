#include "OrtaUtils.h"
#include "TEditorSet.h"
#include "TReportsWindows.h"
#include "TSecurityAdministration.h"
#include "TSingleInstance.h"
#include "TWidgetInteraction.h"
#include "TdmDataBase.h"
#include "TfPasswordDlg.h"
#include "TformUsers.h"
#include "TfrDocManager.h"
#include "TfrMain.h"
#include "TfrProgressBar.h"
#include "TfrWaitingForm.h"
#include "TfrmReportsSelect.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// "--screenshot FILE": render the main window once the catalogue is loaded, save it, end.
QString screenshotFile(const QStringList& arguments) {
    const qsizetype i = arguments.indexOf(QStringLiteral("--screenshot"));
    return i >= 0 && i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const TSingleInstance instance(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!instance.acquired())
        return 0;
    QApplication::setApplicationName(applicationTitle());
    QGuiApplication::setApplicationDisplayName(applicationTitle());

    TWidgetInteraction interaction;
    TUserInteraction::install(&interaction);

    std::unique_ptr<TfrWaitingForm> waiting = std::make_unique<TfrWaitingForm>();
    waiting->setWindowTitle(QStringLiteral("\"ВЕСТАР\" АРМ Администратора"));
    waiting->SetStepCount(18);
    waiting->show();
    waiting->repaint();

    // The long-lived windows, in their order; the data module comes before the login dialog.
    auto passwordDialog = std::make_unique<TfPasswordDlg>();
    TfrMain frMain(*passwordDialog, QCoreApplication::arguments().mid(1));
    waiting->Step();
    TfrProgressBar frProgressBar(&frMain);
    waiting->Step();
    TdmDataBase::instance();
    waiting->Step();
    waiting.reset();

    const QString screenshot = screenshotFile(QCoreApplication::arguments());
    if (!screenshot.isEmpty()) {
        QObject::connect(&frMain, &TfrMain::bookOpened, &frMain, [&frMain, screenshot] {
            static bool taken = false;
            if (taken)
                return;
            taken = true;
            QTimer::singleShot(200, &frMain, [&frMain, screenshot] {
                const bool saved = frMain.grab().toImage().save(screenshot);
                std::printf(saved ? "saved %s\n" : "could not save %s\n", qPrintable(screenshot));
                std::fflush(stdout);
                frMain.FTerminating = true; // no question: the picture was all that was asked
                frMain.close();
            });
        });
    }
    TEditorSet::registerAll(*frMain.frATypes);
    frMain.showTypeDocuments = [&frMain](qint32 typeId) {
        TfrDocManager manager(*frMain.frATypes, &frMain);
        manager.ShowDocuments(typeId);
    };
    TSecurityAdministration security(frMain);
    TReportsWindows reports(frMain);
    security.users().printReports = [&reports](const QString& fullName) {
        reports.reportsSelect().UserName = fullName;
        reports.reportsSelect().Execute();
    };
    frMain.show();
    const int result = QApplication::exec();
    TEditorSet::unregisterAll();
    TUserInteraction::install(nullptr);
    // The connection goes before Qt's own statics, which it needs to close.
    TdmDataBase::instance().setConnection(nullptr);
    return result;
}
