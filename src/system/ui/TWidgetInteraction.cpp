#include "TWidgetInteraction.h"

#include "OrtaUtils.h"
#include "TfrErrorMes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int result;
    const char* text;
};

std::vector<ButtonSpec> buttonSet(int buttons) {
    const ButtonSpec ok{QMessageBox::Ok, TMsgResult::Ok, "ОК"};
    const ButtonSpec cancel{QMessageBox::Cancel, TMsgResult::Cancel, "Отмена"};
    const ButtonSpec abort{QMessageBox::Abort, TMsgResult::Abort, "Прервать"};
    const ButtonSpec retry{QMessageBox::Retry, TMsgResult::Retry, "Повтор"};
    const ButtonSpec ignore{QMessageBox::Ignore, TMsgResult::Ignore, "Пропустить"};
    const ButtonSpec yes{QMessageBox::Yes, TMsgResult::Yes, "Да"};
    const ButtonSpec no{QMessageBox::No, TMsgResult::No, "Нет"};
    switch (buttons) {
    case TMsgButtons::OkCancel:
        return {ok, cancel};
    case TMsgButtons::AbortRetryIgnore:
        return {abort, retry, ignore};
    case TMsgButtons::YesNoCancel:
        return {yes, no, cancel};
    case TMsgButtons::YesNo:
        return {yes, no};
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
    QMessageBox box(iconOf(kind), applicationTitle(), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    const std::vector<ButtonSpec> specs = buttonSet(buttons);
    for (const ButtonSpec& spec : specs)
        box.addButton(spec.button)->setText(QString::fromUtf8(spec.text));
    box.setDefaultButton(specs.front().button);
    box.setEscapeButton(specs.back().button);
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const ButtonSpec& spec : specs) {
        if (spec.button == pressed)
            return spec.result;
    }
    return specs.back().result;
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
