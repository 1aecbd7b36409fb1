#include "TScriptedInteraction.h"

#include <QDialog>
#include <gtest/gtest.h>

TScriptedInteraction::TScriptedInteraction() : m_previous(&TUserInteraction::instance()) {
    TUserInteraction::install(this);
}

TScriptedInteraction::~TScriptedInteraction() {
    TUserInteraction::install(nullptr);
    EXPECT_EQ(busyDepth, 0) << "the busy cursor was left on";
}

int TScriptedInteraction::titledMessageBox(const QString& text, TMessageKind kind, int buttons,
                                           const QString& title, int defaultResult) {
    const int answer = messageBox(text, kind, buttons);
    messages.back().title = title;
    messages.back().defaultResult = defaultResult;
    return answer;
}

int TScriptedInteraction::messageBox(const QString& text, TMessageKind kind, int buttons) {
    messages.push_back({text, kind, buttons, QString(), 0});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case TMsgButtons::AbortRetryIgnore:
        return TMsgResult::Abort;
    case TMsgButtons::YesNoCancel:
    case TMsgButtons::YesNo:
    case TMsgButtons::SaveDiscardCancel:
    case TMsgButtons::OverwriteReload:
        return TMsgResult::Yes;
    case TMsgButtons::RetryCancel:
        return TMsgResult::Retry;
    default:
        return TMsgResult::Ok;
    }
}

void TScriptedInteraction::showErrors(const QString& text) {
    errorLists << text;
}

void TScriptedInteraction::setBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    if (busy)
        ++busyCalls;
}

int TScriptedInteraction::showModal(QObject* window) {
    if (modalHandlers.empty()) {
        ADD_FAILURE() << "unexpected modal window "
                      << (window ? window->objectName().toStdString() : "(none)");
        return QDialog::Rejected;
    }
    auto handler = std::move(modalHandlers.front());
    modalHandlers.pop_front();
    return handler(window);
}

QStringList TScriptedInteraction::texts() const {
    QStringList result;
    for (const TShownMessage& m : messages)
        result << m.text;
    return result;
}
