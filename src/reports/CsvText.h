#pragma once

#include <QByteArray>

#include <charconv>
#include <cstring>

class QIODevice;

// A byte buffer the exports fill through raw pointers: a count CSV of ten years has close to a
// million lines, so each field is a copy or a number conversion and nothing else.
class CsvText
{
public:
    // Longest text of a 32-bit number: "-2147483648".
    static constexpr qsizetype kIntChars = 11;
    // A streaming text hands its bytes on in pieces of about this size.
    static constexpr qsizetype kFlushBytes = 1 << 20;

    // Keeps the whole text for take().
    explicit CsvText(qsizetype expected);
    // Hands the text to device piece by piece, so a large export needs no buffer of its size.
    explicit CsvText(QIODevice& device);

    // Makes room for up to bytes more bytes and returns where they start; finish() says where they end.
    char* room(qsizetype bytes);
    void finish(const char* end);
    // Writes what is left to the device; false when any write failed.
    bool flush();
    QByteArray take();

    static char* put(char* at, const QByteArray& bytes)
    {
        std::memcpy(at, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return at + bytes.size();
    }
    static char* put(char* at, char c)
    {
        *at = c;
        return at + 1;
    }
    static char* putInt(char* at, int value) { return std::to_chars(at, at + kIntChars, value).ptr; }
    // "yyyy/MM/dd", each part zero-padded (years 1..9999).
    static char* putDate(char* at, int year, int month, int day)
    {
        const auto digits = [](char* to, int value, int width) {
            for (int i = width - 1; i >= 0; --i, value /= 10)
                to[i] = static_cast<char>('0' + value % 10);
            return to + width;
        };
        at = digits(at, year, 4);
        *at++ = '/';
        at = digits(at, month, 2);
        *at++ = '/';
        return digits(at, day, 2);
    }
    static char* putLineEnd(char* at)
    {
        at[0] = '\r';
        at[1] = '\n';
        return at + 2;
    }

private:
    QByteArray m_bytes;
    qsizetype m_used = 0;
    QIODevice* m_device = nullptr;
    bool m_failed = false;
};
