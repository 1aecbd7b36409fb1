#include "SettingsSandbox.h"
#include "TOrtaSettings.h"
#include "TScriptedInteraction.h"
#include "TdmDataBase.h"
#include "TfPasswordDlg.h"
#include "TfrmConnectSettings.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(ConnectSettings, EditsTheMachineValuesFromTheLoginDialog) {
    SettingsSandbox settings;
    settings.setMachine("server", "old-server");
    settings.setUser("server", "user-server"); // overrides silently, is never shown here
    TScriptedInteraction ui;
    QString shownServer;
    ui.modalHandlers = {[&shownServer](QObject* window) {
        auto* dialog = qobject_cast<TfrmConnectSettings*>(window);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Настройки подключения"));
        shownServer = dialog->fServer->text();
        dialog->fServer->setText("SRV\\SQL2019");
        dialog->fDBName->setText("ORTA");
        dialog->OkBtn->click();
        return dialog->result();
    }};
    TfPasswordDlg login;
    EXPECT_EQ(login.windowTitle(), QStringLiteral("Вход в систему"));
    EXPECT_EQ(login.edPassword->echoMode(), QLineEdit::Password);
    QTest::mouseClick(login.btnConnectSettings, Qt::LeftButton);
    EXPECT_EQ(shownServer, "old-server");
    EXPECT_EQ(TdmDataBase::registryServer(true), "SRV\\SQL2019");
    EXPECT_EQ(TdmDataBase::registryDbName(true), "ORTA");
    EXPECT_EQ(TdmDataBase::registryServer(false), "user-server");

    ui.modalHandlers = {[](QObject* window) {
        auto* dialog = qobject_cast<TfrmConnectSettings*>(window);
        dialog->fServer->setText("discarded");
        dialog->CanselBtn->click();
        return dialog->result();
    }};
    QTest::mouseClick(login.btnConnectSettings, Qt::LeftButton);
    EXPECT_EQ(TdmDataBase::registryServer(true), "SRV\\SQL2019");
}
