#include "TActionSet.h"

#include <QStringList>

namespace TActions {

TActionSet ofFirstLetters(const QStringList& names) {
    TActionSet set = 0;
    for (const QString& name : names) {
        if (!name.isEmpty() && name.at(0).unicode() < 128)
            set |= bit(char(name.at(0).unicode()));
    }
    return set;
}

QString letters(TActionSet set) {
    QString text;
    for (char c = 'a'; c <= 'z'; ++c) {
        if (has(set, c))
            text += QLatin1Char(c);
    }
    return text;
}

} // namespace TActions
