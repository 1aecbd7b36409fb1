#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;
class TFrExtraAbstract;

// Makes the specialised editor a book's layout names. A name without a registered editor leaves
// the book to generic editing in the grid.
class TEditorRegistry {
public:
    using Factory = std::function<std::unique_ptr<TFrExtraAbstract>(QWidget* owner)>;

    static void registerEditor(const QString& name, Factory factory);
    static void unregisterEditor(const QString& name);
    static bool has(const QString& name);
    static std::unique_ptr<TFrExtraAbstract> create(const QString& name, QWidget* owner);
};
