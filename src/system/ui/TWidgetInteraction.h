#pragma once

#include "TUserInteraction.h"

#include <memory>

class TfrErrorMes;

// The user-interaction service with real windows.
class TWidgetInteraction : public TUserInteraction {
public:
    TWidgetInteraction();
    ~TWidgetInteraction() override;

    int messageBox(const QString& text, TMessageKind kind, int buttons) override;
    int titledMessageBox(const QString& text, TMessageKind kind, int buttons, const QString& title,
                         int defaultResult) override;
    void showErrors(const QString& text) override;
    void setBusy(bool busy) override;
    int showModal(QObject* window) override;

private:
    std::unique_ptr<TfrErrorMes> m_errorWindow;
};
