#pragma once

#include "SettingsSandbox.h"
#include "TScriptedInteraction.h"
#include "TestDatabase.h"
#include "TfPasswordDlg.h"
#include "TfrMain.h"

#include <QDialog>
#include <QTemporaryDir>
#include <functional>
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
    // The first node of the main tree with this caption, at any level; null when none.
    QTreeWidgetItem* node(const QString& caption) const;
    // The first value of the first row the test's own connection reads.
    QVariant value(const QString& sql);
    // Settles what an operation left to the event loop (the view rebuilt after it).
    static void settle();
    // Presses a navigator button of the view as the user does (it must be shown and enabled).
    void press(TDBNavigator::Button button);
    // Selects a node of the main tree by its caption.
    void select(const QString& caption);
    // A second workstation's connection to the same database, signed in as user.
    std::unique_ptr<TDbConnection> secondWorkstation(const QString& user, const QString& password);

public:
    // The scripted user in an editor of type Editor: does what actions says, then the editor's
    // result is the window's result.
    template <typename Editor>
    static std::function<int(QObject*)> inEditor(std::function<void(Editor&)> actions) {
        return [actions](QObject* shown) {
            auto* editor = qobject_cast<Editor*>(shown);
            EXPECT_NE(editor, nullptr);
            if (!editor)
                return int(QDialog::Rejected);
            actions(*editor);
            return editor->result();
        };
    }

protected:
    // The scripted user at the node chooser: picks the node with this caption and presses OK.
    static std::function<int(QObject*)> pickInChooser(const QString& caption);

    QTemporaryDir m_folder;
    SettingsSandbox settings;
    TScriptedInteraction ui;
    TfPasswordDlg dialog;
    std::unique_ptr<TfrMain> window;
};
