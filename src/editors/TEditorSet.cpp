#include "TEditorSet.h"

#include "TEditorRegistry.h"
#include "TfrMoveStates.h"

void TEditorSet::registerAll(TfrATypes& chooser) {
    TEditorRegistry::registerEditor(QStringLiteral("frMoveStates"), [&chooser](QWidget* owner) {
        return std::make_unique<TfrMoveStates>(chooser, owner);
    });
}

void TEditorSet::unregisterAll() {
    TEditorRegistry::unregisterEditor(QStringLiteral("frMoveStates"));
}
