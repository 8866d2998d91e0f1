#include "gatesim/HexBytes.h"

namespace HexBytes {

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QString format(QByteArrayView bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            text += QLatin1Char(' ');
        text += QLatin1Char(digits[b >> 4]);
        text += QLatin1Char(digits[b & 0x0F]);
    }
    return text;
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
        const int value = digitValue(c);
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
