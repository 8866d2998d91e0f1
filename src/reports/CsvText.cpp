#include "reports/CsvText.h"

#include <QIODevice>

#include <algorithm>

CsvText::CsvText(qsizetype expected)
{
    m_bytes.reserve(std::max<qsizetype>(expected, 64));
}

CsvText::CsvText(QIODevice& device) : m_device(&device)
{
    m_bytes.reserve(2 * kFlushBytes);
}

char* CsvText::room(qsizetype bytes)
{
    const qsizetype needed = m_used + bytes;
    if (needed > m_bytes.capacity())
        m_bytes.reserve(std::max(needed, m_bytes.capacity() * 2));
    m_bytes.resize(needed);
    return m_bytes.data() + m_used;
}

void CsvText::finish(const char* end)
{
    m_used = end - m_bytes.constData();
    if (m_device && m_used >= kFlushBytes)
        flush();
}

bool CsvText::flush()
{
    if (m_device && m_used > 0 && !m_failed)
        m_failed = m_device->write(m_bytes.constData(), m_used) != m_used;
    m_used = 0;
    return !m_failed;
}

QByteArray CsvText::take()
{
    m_bytes.resize(m_used);
    m_used = 0;
    return std::move(m_bytes);
}
