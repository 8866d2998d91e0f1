#include "platform/Cp932Codec.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip
{
    const char* name;
    QString text;
    QByteArray bytes;
};

// Characters where CP932 differs from plain Shift-JIS mappings: the wave dash family, minus signs,
// NEC and IBM extensions, and the yen sign position.
const RoundTrip kCases[] = {
    {"ascii", QStringLiteral("abc=1,2"), QByteArray("abc=1,2")},
    {"kana and kanji", QStringLiteral("基本設定"), QByteArray("\x8A\xEE\x96\x7B\x90\xDD\x92\xE8")},
    {"fullwidth tilde", QString(QChar(0xFF5E)), QByteArray("\x81\x60")},
    {"fullwidth minus", QString(QChar(0xFF0D)), QByteArray("\x81\x7C")},
    {"double vertical", QString(QChar(0x2225)), QByteArray("\x81\x61")},
    {"not sign", QString(QChar(0xFFE2)), QByteArray("\x81\xCA")},
    {"circled one", QString(QChar(0x2460)), QByteArray("\x87\x40")},
    {"roman numeral", QString(QChar(0x2170)), QByteArray("\xFA\x40")},
    {"halfwidth katakana", QString(QChar(0xFF71)), QByteArray("\xB1")},
    {"backslash stays 5C", QStringLiteral("\\plugin\\GetBookName.exe"), QByteArray("\\plugin\\GetBookName.exe")},
};

} // namespace

TEST(Cp932Codec, RoundTripsTheCharactersThatDifferFromShiftJis)
{
    for (const auto& c : kCases) {
        EXPECT_EQ(Cp932Codec::encode(c.text), c.bytes) << c.name;
        EXPECT_EQ(Cp932Codec::decode(c.bytes), c.text) << c.name;
    }
}

TEST(Cp932Codec, UnmappableAndBrokenInputIsMarkedNotDropped)
{
    EXPECT_EQ(Cp932Codec::encode(QStringLiteral("a\u00E9b")), QByteArray("a?b"));
    const QString decoded = Cp932Codec::decode(QByteArray("a\x81", 2));
    EXPECT_EQ(decoded, QStringLiteral("a") + QChar(0xFFFD));
}

TEST(Cp932Codec, ByteOrderMarkSelectsTheEncoding)
{
    const QString text = QStringLiteral("[基本設定]");
    EXPECT_EQ(Cp932Codec::decodeWithBom(QByteArray("\xEF\xBB\xBF") + text.toUtf8()), text);
    QByteArray le("\xFF\xFE");
    QByteArray be("\xFE\xFF");
    for (QChar c : text) {
        le.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
        be.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
    }
    EXPECT_EQ(Cp932Codec::decodeWithBom(le), text);
    EXPECT_EQ(Cp932Codec::decodeWithBom(be), text);
    EXPECT_EQ(Cp932Codec::decodeWithBom(Cp932Codec::encode(text)), text);
}

TEST(Cp932Codec, WaveDashFromOtherSourcesIsWrittenAsTheCp932Tilde)
{
    EXPECT_EQ(Cp932Codec::encode(QString(QChar(0x301C))), QByteArray("\x81\x60"));
}
