#pragma once

#include <QString>

class QSplitter;
class QWidget;

// A window's size, position and splitter between runs, kept per user in the settings store.
class TWindowPlacement {
public:
    static void save(const QString& name, const QWidget* window, const QSplitter* splitter);
    // False when nothing was kept: the window keeps its designed size.
    static bool restore(const QString& name, QWidget* window, QSplitter* splitter);
};
