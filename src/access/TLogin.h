#pragma once

#include <QString>
#include <QStringList>
#include <exception>

class TfPasswordDlg;

// Signing in with the user's own server login, the version check, the current user; the fatal
// end of start-up; the end of the user's work.
class TLogin {
public:
    // True when the user signed in (TUser::current() is set); false when the user gave up, and the
    // main window then closes without asking. Unrecoverable errors leave as exceptions whose message
    // is the full text for the user.
    static bool RunLogin(TfPasswordDlg& dialog, const QStringList& arguments);
    // Shows the fatal message, logs it and asks the application to end.
    static void FatalError(const QString& where, const QString& what, const std::exception& error);
    // Frees the current user and closes the connection; nothing raised on the way is shown.
    static void Logout();

    // The recently used names: "Vantorel.txt" in the temporary folder, Windows-1251, newest first.
    static QString recentNamesFile();
    static QStringList loadRecentNames();
    static void saveRecentNames(const QStringList& names);
    // The list after signing in as typed: the name on top, no other entry equal to it ignoring
    // case, at most 10 entries.
    static QStringList withRecentName(QStringList names, const QString& typed);
};
