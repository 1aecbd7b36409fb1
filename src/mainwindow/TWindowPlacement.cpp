#include "TWindowPlacement.h"

#include "TOrtaSettings.h"

#include <QSplitter>
#include <QWidget>

namespace {

QString key(const QString& name, const char* part) {
    return QStringLiteral("Windows/") + name + QLatin1Char('/') + QLatin1String(part);
}

} // namespace

void TWindowPlacement::save(const QString& name, const QWidget* window, const QSplitter* splitter) {
    try {
        TOrtaSettings::setValue(TOrtaSettings::Scope::User, key(name, "geometry"),
                                QString::fromLatin1(window->saveGeometry().toBase64()));
        if (splitter)
            TOrtaSettings::setValue(TOrtaSettings::Scope::User, key(name, "splitter"),
                                    QString::fromLatin1(splitter->saveState().toBase64()));
    } catch (const std::exception&) {
        // A placement that cannot be kept is no reason to keep the user from closing.
    }
}

bool TWindowPlacement::restore(const QString& name, QWidget* window, QSplitter* splitter) {
    const QString geometry = TOrtaSettings::value(TOrtaSettings::Scope::User, key(name, "geometry"));
    if (geometry.isEmpty())
        return false;
    window->restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));
    const QString state = TOrtaSettings::value(TOrtaSettings::Scope::User, key(name, "splitter"));
    if (splitter && !state.isEmpty())
        splitter->restoreState(QByteArray::fromBase64(state.toLatin1()));
    return true;
}
