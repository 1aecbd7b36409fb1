#pragma once

#include <QString>
#include <QtGlobal>

// A set of action letters 'a' to 'z': letter c is bit c - 96 ('r' = 0x40000, 'w' = 0x800000).
using TActionSet = quint32;

namespace TActions {

constexpr TActionSet bit(char letter) {
    return letter >= 'a' && letter <= 'z' ? TActionSet(1) << (letter - 96) : 0;
}
constexpr TActionSet Read = bit('r');
constexpr TActionSet Write = bit('w');

inline bool has(TActionSet set, char letter) {
    return (set & bit(letter)) != 0;
}
// The set of the first letters of names (empty names add nothing).
TActionSet ofFirstLetters(const QStringList& names);
// The letters of a set from 'a' to 'z'.
QString letters(TActionSet set);

} // namespace TActions
