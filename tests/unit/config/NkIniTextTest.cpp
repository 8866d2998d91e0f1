#include "config/NkIniText.h"
#include "config/TNkHashedStringList.h"

#include <gtest/gtest.h>

TEST(NkIniText, HashBucketFoldsOnlyAsciiLetters)
{
    struct Case
    {
        const char* text;
        int bucket;
    };
    // Full-width letters keep their own codes.
    const Case cases[] = {
        {"", 0},          {"A", 53},           {"a", 53},           {"abc", 94}, {"ABC", 94}, {"基本設定", 701},
        {"ゲート1", 331}, {"WindowLeft", 767}, {"windowleft", 767}, {"ｓ", 111}, {"Ｓ", 463},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NkIniText::hashBucket(QString::fromUtf8(c.text)), c.bucket) << c.text;
}

TEST(NkIniText, QuotesOnlyValuesWithBlanksOrQuotes)
{
    struct Case
    {
        const char* value;
        const char* quoted;
    };
    const Case cases[] = {
        {"", ""}, {"ab", "ab"}, {"x y", "\"x y\""}, {"a\"b", "\"a\"\"b\""}, {" a", "\" a\""}, {"値　値", "値　値"},
    };
    for (const Case& c : cases) {
        const QString value = QString::fromUtf8(c.value);
        EXPECT_EQ(NkIniText::quote(value), QString::fromUtf8(c.quoted)) << c.value;
        EXPECT_EQ(NkIniText::unquote(NkIniText::quote(value)), value) << c.value;
    }
}

TEST(NkIniText, UnquotesOnlyFullyQuotedValues)
{
    struct Case
    {
        const char* text;
        const char* value;
    };
    const Case cases[] = {
        {"\"ab\"", "ab"},         {"\"\"", ""}, {"\"a \"\"b\"\"\"", "a \"b\""},
        {"\"ab\"cd", "\"ab\"cd"}, // text after the closing quote is kept, quotes and all
        {"\"ab", "\"ab"},         {"\"", "\""}, {"a\"b\"", "a\"b\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NkIniText::unquote(QString::fromUtf8(c.text)), QString::fromUtf8(c.value)) << c.text;
}

TEST(NkIniText, ReadsDecimalAndBothHexForms)
{
    struct Case
    {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"-$10", -16},
        {"12", 12},
        {"-5", -5},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0xFFFFFFFF", -1},
        {"12abc", std::nullopt},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"-", std::nullopt},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {" 5", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NkIniText::toInt32(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(NkIniText, TrimKeepsIdeographicSpaces)
{
    EXPECT_EQ(NkIniText::trim(QString::fromUtf8(" \t\x01値\xE3\x80\x80 \r")), QString::fromUtf8("値\xE3\x80\x80"));
    EXPECT_EQ(NkIniText::trim(QStringLiteral("   ")), QString());
}

TEST(TNkHashedStringList, FindsEveryItemAmongManyAndTheFirstOfTwins)
{
    TNkHashedStringList<int> names(true);
    for (int i = 0; i < 3000; ++i)
        names.append(QStringLiteral("key%1=%2").arg(i).arg(i * 2));
    for (int i = 0; i < 3000; i += 7) {
        ASSERT_EQ(names.indexOf(QStringLiteral("KEY%1").arg(i)), i);
        EXPECT_EQ(names.value(i), QString::number(i * 2));
    }
    EXPECT_EQ(names.indexOf(QStringLiteral("key3000")), -1);

    TNkHashedStringList<int> strings(false);
    strings.append(QStringLiteral("Sec"));
    strings.append(QStringLiteral("SEC"));
    strings.append(QString());
    EXPECT_EQ(strings.indexOf(QStringLiteral("sec")), 0);
    EXPECT_EQ(strings.indexOf(QString()), 2);
}

TEST(TNkHashedStringList, NameModeSkipsEmptyNamesAndReplacesInPlace)
{
    TNkHashedStringList<int> list(true);
    list.append(QStringLiteral("=orphan"));
    list.append(QStringLiteral("a=1"), std::make_unique<int>(7));
    list.append(QStringLiteral("b=2"));
    EXPECT_EQ(list.indexOf(QString()), -1);

    EXPECT_EQ(list.SetValuesByName(QStringLiteral(" A "), QStringLiteral("x y")), 1);
    EXPECT_EQ(list.string(1), QStringLiteral("A=\"x y\""));
    ASSERT_NE(list.object(1), nullptr);
    EXPECT_EQ(*list.object(1), 7);
    EXPECT_EQ(list.SetValuesByName(QStringLiteral("c"), QStringLiteral("3")), 3);
    EXPECT_EQ(list.string(3), QStringLiteral("c=3"));
}
