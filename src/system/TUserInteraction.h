#pragma once

#include <QString>

class QObject;

enum class TMessageKind { Warning = 0, Error = 1, Information = 2, Question = 3, Exclamation = 4 };

// Button sets and answers keep the numbers of the Windows message box that callers compare with.
namespace TMsgButtons {
constexpr int Ok = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5;
// The program's own set for a record not yet saved: "Сохранить" answers Yes, "Не сохранять" No.
constexpr int SaveDiscardCancel = 16;
// A record another user changed meanwhile: "Записать поверх" answers Yes, "Обновить" No.
constexpr int OverwriteReload = 17;
} // namespace TMsgButtons
namespace TMsgResult {
constexpr int Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}

// Everything that waits for the user goes through one service: message boxes, the error list, the
// busy cursor and modal windows. The program installs the widget implementation; tests install a
// scripted one, so that nothing ever blocks a test.
class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;

    // The installed service; without one, raises EError with the text that would have been shown.
    static TUserInteraction& instance();
    static void install(TUserInteraction* service);

    // A modal message box titled with the application title; returns a TMsgResult.
    virtual int messageBox(const QString& text, TMessageKind kind, int buttons) = 0;
    // The same with its own title and default answer (a TMsgResult of the set; 0: the first button).
    virtual int titledMessageBox(const QString& text, TMessageKind kind, int buttons, const QString& title,
                                 int defaultResult) {
        Q_UNUSED(title);
        Q_UNUSED(defaultResult);
        return messageBox(text, kind, buttons);
    }
    // The error-list window with text, one line per line break.
    virtual void showErrors(const QString& text) = 0;
    // Nested: the cursor is busy while any caller holds it.
    virtual void setBusy(bool busy) = 0;
    // Shows a window (a dialog) modally and returns its result.
    virtual int showModal(QObject* window) = 0;
};

// The busy cursor for a scope.
class TBusyCursor {
public:
    TBusyCursor() { TUserInteraction::instance().setBusy(true); }
    ~TBusyCursor() { TUserInteraction::instance().setBusy(false); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
