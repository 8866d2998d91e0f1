#include "config/CommaNumbers.h"

namespace CommaNumbers {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || (c.unicode() >= 0x09 && c.unicode() <= 0x0D);
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

QList<int> scan(QStringView text, int count)
{
    QList<int> numbers;
    qsizetype i = 0;
    while (numbers.size() < count) {
        if (!numbers.isEmpty()) {
            if (i >= text.size() || text.at(i) != u',')
                break;
            ++i;
        }
        while (i < text.size() && isSpace(text.at(i)))
            ++i;
        bool negative = false;
        if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
            negative = text.at(i) == u'-';
            ++i;
        }
        if (i >= text.size() || !isDigit(text.at(i)))
            break;
        quint32 value = 0;
        while (i < text.size() && isDigit(text.at(i))) {
            value = value * 10u + static_cast<quint32>(text.at(i).unicode() - u'0');
            ++i;
        }
        numbers.append(static_cast<int>(negative ? 0u - value : value));
    }
    return numbers;
}

} // namespace CommaNumbers
