#include "TWidgetInteraction.h"

#include "OrtaUtils.h"
#include "TfrErrorMes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonChoice {
    QMessageBox::StandardButton button;
    int result;
    const char* text;
};

std::vector<ButtonChoice> buttonSet(int buttons) {
    const ButtonChoice ok{QMessageBox::Ok, TMsgResult::Ok, "ОК"};
    const ButtonChoice cancel{QMessageBox::Cancel, TMsgResult::Cancel, "Отмена"};
    const ButtonChoice abort{QMessageBox::Abort, TMsgResult::Abort, "Прервать"};
    const ButtonChoice retry{QMessageBox::Retry, TMsgResult::Retry, "Повтор"};
    const ButtonChoice ignore{QMessageBox::Ignore, TMsgResult::Ignore, "Пропустить"};
    const ButtonChoice yes{QMessageBox::Yes, TMsgResult::Yes, "Да"};
    const ButtonChoice no{QMessageBox::No, TMsgResult::No, "Нет"};
    switch (buttons) {
    case TMsgButtons::OkCancel:
        return {ok, cancel};
    case TMsgButtons::AbortRetryIgnore:
        return {abort, retry, ignore};
    case TMsgButtons::YesNoCancel:
        return {yes, no, cancel};
    case TMsgButtons::YesNo:
        return {yes, no};
    case TMsgButtons::OverwriteReload:
        return {{QMessageBox::Save, TMsgResult::Yes, "Записать поверх"},
                {QMessageBox::Reset, TMsgResult::No, "Обновить"}};
    case TMsgButtons::SaveDiscardCancel:
        return {{QMessageBox::Save, TMsgResult::Yes, "Сохранить"},
                {QMessageBox::Discard, TMsgResult::No, "Не сохранять"},
                cancel};
    case TMsgButtons::RetryCancel:
        return {retry, cancel};
    default:
        return {ok};
    }
}

QMessageBox::Icon iconOf(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::Warning;
    }
}

} // namespace

TWidgetInteraction::TWidgetInteraction() = default;
TWidgetInteraction::~TWidgetInteraction() = default;

int TWidgetInteraction::messageBox(const QString& text, TMessageKind kind, int buttons) {
    return titledMessageBox(text, kind, buttons, QString(), 0);
}

int TWidgetInteraction::titledMessageBox(const QString& text, TMessageKind kind, int buttons,
                                         const QString& title, int defaultResult) {
    QMessageBox box(iconOf(kind), title.isEmpty() ? applicationTitle() : title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText); // captions of records are data, not markup
    const std::vector<ButtonChoice> choices = buttonSet(buttons);
    for (const ButtonChoice& choice : choices)
        box.addButton(choice.button)->setText(QString::fromUtf8(choice.text));
    box.setDefaultButton(choices.front().button);
    for (const ButtonChoice& choice : choices) {
        if (choice.result == defaultResult)
            box.setDefaultButton(choice.button);
    }
    box.setEscapeButton(choices.back().button);
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const ButtonChoice& choice : choices) {
        if (choice.button == pressed)
            return choice.result;
    }
    return choices.back().result;
}

void TWidgetInteraction::showErrors(const QString& text) {
    if (!m_errorWindow)
        m_errorWindow = std::make_unique<TfrErrorMes>();
    m_errorWindow->showErrors(text);
}

void TWidgetInteraction::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

int TWidgetInteraction::showModal(QObject* window) {
    auto* dialog = qobject_cast<QDialog*>(window);
    return dialog ? dialog->exec() : QDialog::Rejected;
}
