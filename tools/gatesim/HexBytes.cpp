#include "gatesim/HexBytes.h"

#include "platform/HexDigit.h"

namespace HexBytes {

QString format(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
}

std::optional<QByteArray> parse(QStringView text)
{
    QByteArray bytes;
    int high = -1;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (high >= 0)
                return std::nullopt;
            continue;
        }
        const int value = hexDigitValue(c.unicode());
        if (value < 0)
            return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes.append(static_cast<char>((high << 4) | value));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

} // namespace HexBytes
