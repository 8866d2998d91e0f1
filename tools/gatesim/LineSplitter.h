#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Splits a byte stream into text lines (LF or CR LF). An over-long line is given up whole and
// reported once, so a client that never sends a line end cannot make the buffer grow without end.
class LineSplitter
{
public:
    static constexpr qsizetype kMaxLine = 4096;
    static const QString kTooLong;

    // Complete lines found so far; an over-long line comes out as kTooLong.
    QStringList feed(const QByteArray& bytes);
    // The rest after the stream ended, if any.
    QStringList finish();

private:
    QByteArray m_buffer;
    bool m_skipping = false;
};
