#pragma once

#include "TUserInteraction.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

struct TShownMessage {
    QString text;
    TMessageKind kind;
    int buttons;
    QString title;         // empty: the application title
    int defaultResult = 0; // 0: the first button
};

// Answers for the user in tests: records every message and error list, answers message boxes with
// the queued answers (the first button of the set when none is queued) and modal windows with the
// queued handlers. A modal window nobody expected fails the test instead of blocking it.
class TScriptedInteraction : public TUserInteraction {
public:
    TScriptedInteraction();
    ~TScriptedInteraction() override;

    int messageBox(const QString& text, TMessageKind kind, int buttons) override;
    int titledMessageBox(const QString& text, TMessageKind kind, int buttons, const QString& title,
                         int defaultResult) override;
    void showErrors(const QString& text) override;
    void setBusy(bool busy) override;
    int showModal(QObject* window) override;

    QStringList texts() const;

    std::vector<TShownMessage> messages;
    QStringList errorLists;
    std::deque<int> answers;
    // Each handler receives the window (a QDialog) and returns its result.
    std::deque<std::function<int(QObject*)>> modalHandlers;
    int busyDepth = 0;
    int busyCalls = 0;

private:
    TUserInteraction* m_previous;
};
