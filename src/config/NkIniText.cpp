#include "config/NkIniText.h"

#include "platform/HexDigit.h"

namespace NkIniText {

namespace {

constexpr char16_t kQuote = u'"';

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

// Hex texts may use all 32 bits; the result wraps into the signed range.
std::optional<int> parseHex(QStringView digits, bool negative)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const QChar c : digits) {
        const int d = hexDigitValue(c.unicode());
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<quint64>(d);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    const auto bits = static_cast<quint32>(value);
    return static_cast<int>(negative ? 0u - bits : bits);
}

std::optional<int> parseDecimal(QStringView digits, bool negative)
{
    if (digits.isEmpty())
        return std::nullopt;
    const qint64 limit = negative ? 2147483648LL : 2147483647LL;
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

QString trim(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin).toString();
}

char16_t foldAscii(char16_t unit)
{
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

bool sameText(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a.at(i).unicode()) != foldAscii(b.at(i).unicode()))
            return false;
    }
    return true;
}

int hashBucket(QStringView text)
{
    quint32 h = 0;
    for (const QChar c : text)
        h = ((h + foldAscii(c.unicode())) * 9973u) % kBuckets;
    return static_cast<int>(h);
}

QString nameOf(const QString& item)
{
    const qsizetype equals = item.indexOf(u'=');
    if (equals < 0)
        return item;
    return trim(QStringView(item).left(equals));
}

QString quote(const QString& value)
{
    if (value.isEmpty() || (!value.contains(u' ') && !value.contains(kQuote)))
        return value;
    QString quoted;
    quoted.reserve(value.size() + 2);
    quoted += kQuote;
    for (const QChar c : value) {
        quoted += c;
        if (c == kQuote)
            quoted += kQuote;
    }
    quoted += kQuote;
    return quoted;
}

QString keyLine(const QString& trimmedName, const QString& value)
{
    QString line = trimmedName + u'=' + quote(value);
    if (line.startsWith(u'[') && line.endsWith(u']'))
        line = trimmedName + QStringLiteral("=\"") + value + u'"';
    return line;
}

QString unquote(const QString& value)
{
    if (value.size() < 2 || value.front() != kQuote)
        return value;
    QString inner;
    inner.reserve(value.size());
    for (qsizetype i = 1; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != kQuote) {
            inner += c;
            continue;
        }
        if (i + 1 < value.size() && value.at(i + 1) == kQuote) {
            inner += kQuote;
            ++i;
            continue;
        }
        // The closing quote: only a fully quoted value is unwrapped, so text after it is never lost.
        return i == value.size() - 1 ? inner : value;
    }
    return value;
}

std::optional<int> toInt32(QStringView text)
{
    if (text.size() > 2 && text.at(0) == u'0' && (text.at(1) == u'x' || text.at(1) == u'X'))
        return parseHex(text.mid(2), false);
    bool negative = false;
    QStringView rest = text;
    if (!rest.isEmpty() && (rest.front() == u'-' || rest.front() == u'+')) {
        negative = rest.front() == u'-';
        rest = rest.mid(1);
    }
    if (!rest.isEmpty() && rest.front() == u'$')
        return parseHex(rest.mid(1), negative);
    return parseDecimal(rest, negative);
}

} // namespace NkIniText
