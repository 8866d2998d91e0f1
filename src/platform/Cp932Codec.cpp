#include "platform/Cp932Codec.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace Cp932Codec {

namespace {

// iconv descriptors keep shift state, so each direction gets its own and a lock.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; an unconvertible unit of inputStep bytes is replaced by replacement.
    QByteArray run(const QByteArray& input, int inputStep, const QByteArray& replacement)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QByteArray out;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.reserve(input.size() * 2 + 8);
        char* in = const_cast<char*>(input.constData());
        size_t inLeft = static_cast<size_t>(input.size());
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            if (result != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: skip one unit of input and mark it.
            const size_t skip = std::min(static_cast<size_t>(inputStep), inLeft);
            in += skip;
            inLeft -= skip;
            out.append(replacement);
        }
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        return out;
    }

private:
    iconv_t m_cd;
    std::mutex m_mutex;
};

Converter& toCp932()
{
    static Converter converter("CP932", "UTF-16LE");
    return converter;
}

Converter& fromCp932()
{
    static Converter converter("UTF-16LE", "CP932");
    return converter;
}

QByteArray utf16le(const QString& text)
{
    QByteArray bytes;
    bytes.resize(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        bytes[i * 2] = static_cast<char>(unit & 0xFF);
        bytes[i * 2 + 1] = static_cast<char>(unit >> 8);
    }
    return bytes;
}

QString fromUtf16le(const QByteArray& bytes)
{
    QString text;
    text.resize(bytes.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[i * 2]);
        const auto high = static_cast<unsigned char>(bytes[i * 2 + 1]);
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

} // namespace

QByteArray encode(const QString& text)
{
    return toCp932().run(utf16le(text), 2, QByteArrayLiteral("?"));
}

QString decode(const QByteArray& bytes)
{
    return fromUtf16le(fromCp932().run(bytes, 1, QByteArrayLiteral("\xFD\xFF")));
}

QString decodeWithBom(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(bytes.mid(2));
    }
    return decode(bytes);
}

} // namespace Cp932Codec
