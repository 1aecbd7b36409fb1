#include "TIntegerList.h"

#include "EError.h"

#include <algorithm>

qint32 TIntegerList::valueAt(int i) const {
    if (i < 0 || i >= count())
        throw EError(QStringLiteral("Индекс списка вне допустимых границ (%1)").arg(i));
    return m_values[std::size_t(i)];
}

int TIntegerList::indexOf(qint32 value) const {
    const auto it = std::find(m_values.begin(), m_values.end(), value);
    return it == m_values.end() ? -1 : int(it - m_values.begin());
}
