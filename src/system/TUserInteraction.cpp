#include "TUserInteraction.h"

#include "EError.h"

namespace {

TUserInteraction* installed = nullptr;

// Stands in before a real service is installed: it answers nothing on the user's behalf.
class TNoInteraction : public TUserInteraction {
public:
    int messageBox(const QString& text, TMessageKind, int) override { throw EError(text); }
    void showErrors(const QString& text) override { throw EError(text); }
    void setBusy(bool) override {}
    int showModal(QObject*) override { throw EError(QStringLiteral("Окно не может быть показано")); }
};

} // namespace

TUserInteraction& TUserInteraction::instance() {
    static TNoInteraction none;
    return installed ? *installed : none;
}

void TUserInteraction::install(TUserInteraction* service) {
    installed = service;
}
