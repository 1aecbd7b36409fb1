#pragma once

#include "SettingsSandbox.h"
#include "TScriptedInteraction.h"
#include "TestDatabase.h"
#include "TfPasswordDlg.h"
#include "TfrMain.h"

#include <QTemporaryDir>
#include <memory>

// The workstation against the test's own database: settings pointing at it and at an installation
// folder, a scripted user, the working folder (for logs) in a temporary folder.
class WorkstationTest : public DbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The installation folder the settings name; the checkout's own unless a test changes it.
    virtual QString installation() const;
    // The main window signed in with "-U"/"-P" and its show sequence run.
    TfrMain& start(const QString& user = "ivanov", const QString& password = "ivanov");

    QTemporaryDir m_folder;
    SettingsSandbox settings;
    TScriptedInteraction ui;
    TfPasswordDlg dialog;
    std::unique_ptr<TfrMain> window;
};
