#include "reports/CountCsvLine.h"

#include <climits>
#include <cstdint>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the line the way the C scan functions read a string: up to the first NUL.
class Cursor
{
public:
    explicit Cursor(QByteArrayView line) : m_at(line.data()), m_end(line.data() + line.size())
    {
        for (const char* p = m_at; p != m_end; ++p)
            if (*p == '\0') {
                m_end = p;
                break;
            }
    }

    void skipBlanks()
    {
        while (m_at != m_end && isBlank(*m_at))
            ++m_at;
    }

    bool literal(char c)
    {
        if (m_at == m_end || *m_at != c)
            return false;
        ++m_at;
        return true;
    }

    // %d: optional blanks and sign, then at least one digit; values beyond 32 bits saturate.
    bool number(int& value)
    {
        skipBlanks();
        const char* p = m_at;
        bool negative = false;
        if (p != m_end && (*p == '+' || *p == '-'))
            negative = *p++ == '-';
        if (p == m_end || *p < '0' || *p > '9')
            return false;
        std::int64_t magnitude = 0;
        for (; p != m_end && *p >= '0' && *p <= '9'; ++p)
            if (magnitude <= INT_MAX)
                magnitude = magnitude * 10 + (*p - '0');
        const std::int64_t signedValue = negative ? -magnitude : magnitude;
        value = static_cast<int>(signedValue < INT_MIN ? INT_MIN : signedValue > INT_MAX ? INT_MAX : signedValue);
        m_at = p;
        return true;
    }

    // %Ns: optional blanks, then 1..width characters up to the next blank.
    bool word(int width, char* out, int& length)
    {
        skipBlanks();
        if (m_at == m_end)
            return false;
        length = 0;
        while (m_at != m_end && !isBlank(*m_at) && length < width)
            out[length++] = *m_at++;
        return true;
    }

private:
    const char* m_at;
    const char* m_end;
};

} // namespace

bool CountCsvLine::valid() const
{
    return band >= 0 && band <= 23 && gate >= 1 && gate <= 15 && m_dateLength >= 8;
}

QByteArrayView CountCsvLine::dateField() const
{
    const QByteArrayView text = dateText();
    return text.size() >= kDateWidth ? text.sliced(1, 10) : text;
}

void CountCsvLine::scanWith(QByteArrayView line, int dateWidth)
{
    Cursor cursor(line);
    if (!cursor.number(gate) || !cursor.literal(','))
        return;
    if (!cursor.word(dateWidth, m_date.data(), m_dateLength) || !cursor.literal(','))
        return;
    if (!cursor.number(band))
        return;
    for (int& count : counts)
        if (!cursor.literal(',') || !cursor.number(count))
            return;
}

CountCsvLine CountCsvLine::scan(QByteArrayView line)
{
    CountCsvLine result;
    result.scanWith(line, kDateWidth);
    const qsizetype comma = result.dateText().indexOf(',');
    if (comma >= 0) {
        // Position p counts from 1: p = 9..12 gives widths 8..11, anything shorter width 7.
        const qsizetype p = comma + 1;
        result.scanWith(line, p >= 9 ? static_cast<int>(p - 1) : 7);
    }
    return result;
}
