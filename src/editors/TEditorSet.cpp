#include "TEditorSet.h"

#include "TEditorRegistry.h"
#include "TfrATypes.h"

#include "TFormCodiff.h"
#include "TFormGosReestr.h"
#include "TfrBlockType.h"
#include "TfrCUSTOMER.h"
#include "TfrDEVICE.h"
#include "TfrEmployees.h"
#include "TfrIntervalCycle.h"
#include "TfrMiType.h"
#include "TfrModuleType.h"
#include "TfrMoveStates.h"
#include "TfrMsrUnit.h"
#include "TfrTariff.h"
#include "TfrVrfOrg.h"
#include <QStringList>

namespace {

const QStringList plainEditors{QStringLiteral("frMsrUnit"),    QStringLiteral("frBlockType"),
                               QStringLiteral("frModuleType"), QStringLiteral("frIntervalCycle"),
                               QStringLiteral("frVrfOrg"),     QStringLiteral("frCUSTOMER")};

// The central register's pickers: one of each for the program.
std::unique_ptr<TFormGosReestr> gosReestr;
std::unique_ptr<TFormCodiff> codiff;

template <typename Editor> TEditorRegistry::Factory plain() {
    return [](QWidget* owner) {
        return std::make_unique<Editor>(owner);
    };
}

} // namespace

void TEditorSet::registerAll(TfrATypes& chooser) {
    TEditorRegistry::registerEditor(QStringLiteral("frMsrUnit"), plain<TfrMsrUnit>());
    TEditorRegistry::registerEditor(QStringLiteral("frBlockType"), plain<TfrBlockType>());
    TEditorRegistry::registerEditor(QStringLiteral("frModuleType"), plain<TfrModuleType>());
    TEditorRegistry::registerEditor(QStringLiteral("frIntervalCycle"), plain<TfrIntervalCycle>());
    TEditorRegistry::registerEditor(QStringLiteral("frVrfOrg"), plain<TfrVrfOrg>());
    TEditorRegistry::registerEditor(QStringLiteral("frCUSTOMER"), plain<TfrCUSTOMER>());
    TEditorRegistry::registerEditor(QStringLiteral("frTariff"), plain<TfrTariff>());
    TEditorRegistry::registerEditor(QStringLiteral("frEmployees"), [&chooser](QWidget* owner) {
        return std::make_unique<TfrEmployees>(chooser, owner);
    });
    TEditorRegistry::registerEditor(QStringLiteral("frMoveStates"), [&chooser](QWidget* owner) {
        return std::make_unique<TfrMoveStates>(chooser, owner);
    });
    gosReestr = std::make_unique<TFormGosReestr>(chooser.parentWidget());
    codiff = std::make_unique<TFormCodiff>(chooser.parentWidget());
    TEditorRegistry::registerEditor(QStringLiteral("frDEVICE"), [&chooser](QWidget* owner) {
        return std::make_unique<TfrDEVICE>(chooser, *gosReestr, *codiff, owner);
    });
    TEditorRegistry::registerEditor(QStringLiteral("frMiType"), [&chooser](QWidget* owner) {
        return std::make_unique<TfrMiType>(chooser, *gosReestr, *codiff, owner);
    });
}

void TEditorSet::unregisterAll() {
    for (const QString& name : plainEditors)
        TEditorRegistry::unregisterEditor(name);
    TEditorRegistry::unregisterEditor(QStringLiteral("frMoveStates"));
    TEditorRegistry::unregisterEditor(QStringLiteral("frEmployees"));
    TEditorRegistry::unregisterEditor(QStringLiteral("frDEVICE"));
    TEditorRegistry::unregisterEditor(QStringLiteral("frMiType"));
    gosReestr.reset();
    codiff.reset();
}
