#include "TReportsWindows.h"

#include "TAboutForm.h"
#include "TBookExport.h"
#include "TUser.h"
#include "TUserInteraction.h"
#include "TfrATypes.h"
#include "TfrMain.h"
#include "TfrSettings.h"
#include "Tfr_option_params.h"
#include "TfrmReportsSelect.h"

#include <QAction>

TReportsWindows::TReportsWindows(TfrMain& mainWindow)
    : m_settings(std::make_unique<TfrSettings>(*mainWindow.frATypes, &mainWindow)),
      m_about(std::make_unique<TAboutForm>(&mainWindow)),
      m_optionParams(std::make_unique<Tfr_option_params>(&mainWindow)),
      m_bookExport(std::make_unique<TBookExport>(mainWindow)),
      m_reportsSelect(std::make_unique<TfrmReportsSelect>(&mainWindow)) {
    QObject::connect(mainWindow.actRightsReports, &QAction::triggered, m_reportsSelect.get(), [this] {
        const TUser* user = TUser::current();
        m_reportsSelect->UserName = user ? user->UserSurname : QString();
        m_reportsSelect->Execute();
    });
    mainWindow.printBook = [this] {
        m_bookExport->PrintBook();
    };
    QObject::connect(mainWindow.N3, &QAction::triggered, m_settings.get(), [this] { m_settings->Execute(); });
    QObject::connect(mainWindow.N5, &QAction::triggered, m_about.get(), [this] {
        try {
            m_about->Execute();
        } catch (const std::exception& e) {
            TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                    TMsgButtons::Ok);
        }
    });
    mainWindow.mergeParameters = [this] {
        try {
            return m_optionParams->Execute();
        } catch (const std::exception& e) {
            TUserInteraction::instance().messageBox(QString::fromUtf8(e.what()), TMessageKind::Error,
                                                    TMsgButtons::Ok);
            return 0;
        }
    };
}

TReportsWindows::~TReportsWindows() = default;
