#include "TextHelpers.h"

#include "EConvertError.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <cmath>

namespace {

struct CodePage1251 {
    std::array<unsigned char, 0x10000> fromUnicode{};
    QString toUnicode;

    CodePage1251() {
        fromUnicode.fill('?');
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder decoder("windows-1251");
        toUnicode = decoder.decode(all);
        Q_ASSERT(toUnicode.size() == 256);
        for (int i = 255; i >= 0; --i) {
            const char16_t u = toUnicode.at(i).unicode();
            if (u != 0xFFFD)
                fromUnicode[u] = static_cast<unsigned char>(i);
        }
    }
};

const CodePage1251& codePage() {
    static const CodePage1251 table;
    return table;
}

} // namespace

unsigned char windows1251Code(QChar ch) {
    return codePage().fromUnicode[ch.unicode()];
}

QByteArray toWindows1251(const QString& text) {
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Default);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    bytes.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = char(windows1251Code(text.at(i)));
    return bytes;
}

QString fromWindows1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

int compareText(QStringView a, QStringView b) {
    const auto& table = codePage().fromUnicode;
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        int ca = table[a.at(i).unicode()];
        int cb = table[b.at(i).unicode()];
        if (ca >= 'a' && ca <= 'z')
            ca -= 32;
        if (cb >= 'a' && cb <= 'z')
            cb -= 32;
        if (ca != cb)
            return ca - cb;
    }
    return int(a.size() - b.size());
}

bool sameText(const QString& a, const QString& b) {
    return a.size() == b.size() && compareText(a, b) == 0;
}

QStringList splitText(const QString& text, const QString& separator) {
    if (separator.isEmpty())
        return {text};
    return text.split(separator, Qt::KeepEmptyParts);
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

bool tryStrToInt(const QString& text, qint32& value) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == '-' || text.at(i) == '+')) {
        negative = text.at(i) == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch < '0' || ch > '9')
            return false;
        result = result * 10 + (ch.unicode() - '0');
        if (result > qint64(1) << 31)
            return false;
    }
    if (negative)
        result = -result;
    if (result > std::numeric_limits<qint32>::max() || result < std::numeric_limits<qint32>::min())
        return false;
    value = qint32(result);
    return true;
}

qint32 strToInt(const QString& text) {
    qint32 value = 0;
    if (!tryStrToInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

qint32 strToIntDef(const QString& text, qint32 defaultValue) {
    qint32 value = 0;
    return tryStrToInt(text, value) ? value : defaultValue;
}

bool tryStrToFloat(const QString& text, double& value) {
    QString normalized = text.trimmed();
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = normalized.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
