#include "TEditorRegistry.h"

#include "TFrExtraAbstract.h"

#include <QHash>

namespace {

QHash<QString, TEditorRegistry::Factory>& factories() {
    static QHash<QString, TEditorRegistry::Factory> registry;
    return registry;
}

} // namespace

void TEditorRegistry::registerEditor(const QString& name, Factory factory) {
    factories().insert(name.toLower(), std::move(factory));
}

void TEditorRegistry::unregisterEditor(const QString& name) {
    factories().remove(name.toLower());
}

bool TEditorRegistry::has(const QString& name) {
    return !name.isEmpty() && factories().contains(name.toLower());
}

std::unique_ptr<TFrExtraAbstract> TEditorRegistry::create(const QString& name, QWidget* owner) {
    const auto it = factories().constFind(name.toLower());
    return it == factories().constEnd() ? nullptr : (*it)(owner);
}
