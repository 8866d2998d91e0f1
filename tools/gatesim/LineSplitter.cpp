#include "gatesim/LineSplitter.h"

const QString LineSplitter::kTooLong = QStringLiteral("\n(line too long)");

QStringList LineSplitter::feed(const QByteArray& bytes)
{
    QStringList lines;
    for (const char c : bytes) {
        if (c == '\n') {
            if (!m_skipping) {
                if (m_buffer.endsWith('\r'))
                    m_buffer.chop(1);
                lines.append(QString::fromUtf8(m_buffer));
            }
            m_buffer.clear();
            m_skipping = false;
            continue;
        }
        if (m_skipping)
            continue;
        if (m_buffer.size() >= kMaxLine) {
            m_buffer.clear();
            m_skipping = true;
            lines.append(kTooLong);
            continue;
        }
        m_buffer.append(c);
    }
    return lines;
}

QStringList LineSplitter::finish()
{
    QStringList lines;
    if (!m_skipping && !m_buffer.isEmpty())
        lines.append(QString::fromUtf8(m_buffer));
    m_buffer.clear();
    m_skipping = false;
    return lines;
}
