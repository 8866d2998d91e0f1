#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/DayNumber.h"
#include "platform/NetworkReady.h"
#include "platform/PathRules.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(Clock, ElapsedTicksSurviveTheWrap)
{
    EXPECT_EQ(ticksSince(0xFFFFFF00u, 0x00000100u), 0x200u);
    EXPECT_EQ(ticksSince(100u, 100u), 0u);
    EXPECT_EQ(ticksSince(5u, 6005u), 6000u);
}

TEST(DayNumber, ConvertsAndFormatsWithTheProcessFormats)
{
    EXPECT_EQ(DayNumber::fromDate(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(DayNumber::fromDate(QDate(2021, 4, 1)), 44287.0);
    const double t = DayNumber::fromDateAndTime(QDate(2021, 4, 1), QTime(7, 5, 9));
    EXPECT_EQ(DayNumber::formatDate(t), QStringLiteral("2021/04/01"));
    EXPECT_EQ(DayNumber::formatTime(t), QStringLiteral("7:05:09"));
    EXPECT_EQ(DayNumber::toDate(t), QDate(2021, 4, 1));
    EXPECT_EQ(DayNumber::dayOf(-0.25), -1);
    EXPECT_NEAR(DayNumber::encodeTime(17, 0, 0), 17.0 / 24.0, 1e-12);
}

TEST(DayNumber, ParsesDatesAndTimesStrictly)
{
    EXPECT_EQ(DayNumber::parseDate(QStringLiteral(" 2021/4/5 ")), QDate(2021, 4, 5));
    EXPECT_EQ(DayNumber::parseDate(QStringLiteral("2021/02/30")), std::nullopt);
    EXPECT_EQ(DayNumber::parseDate(QStringLiteral("2021-04-05")), std::nullopt);
    EXPECT_EQ(DayNumber::parseDate(QString()), std::nullopt);
    EXPECT_NEAR(*DayNumber::parseTime(QStringLiteral("8:00")), 8.0 / 24.0, 1e-12);
    EXPECT_EQ(DayNumber::parseTime(QStringLiteral("25:00")), std::nullopt);
    EXPECT_EQ(DayNumber::parseTime(QStringLiteral("abc")), std::nullopt);
}

TEST(PathRules, ResolvesWindowsFormValues)
{
    struct Case
    {
        const char* raw;
        const char* expected;
    };
    const Case cases[] = {
        {"\\\\server\\share\\t.xlsx", "//server/share/t.xlsx"},
        {"C:\\data\\t.xlsx", "C:/data/t.xlsx"},
        {"/opt/t.xlsx", "/opt/t.xlsx"},
        {"\\pc_template.xlsx", "/data/pc_template.xlsx"},
        {"folder\\file.xlsx", "/data/folder/file.xlsx"},
        {"sub/x.csv", "/data/sub/x.csv"},
        {"書名.csv", "/docs/書名.csv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathRules::resolve(QString::fromUtf8(c.raw), QStringLiteral("/data"), QStringLiteral("/docs")),
                  QString::fromUtf8(c.expected))
            << c.raw;
    EXPECT_EQ(PathRules::resolve(QStringLiteral("x.csv"), QStringLiteral("/data"), QString()),
              QStringLiteral("/data/x.csv"));
    EXPECT_EQ(PathRules::outputFolder(QStringLiteral("  "), QStringLiteral("/data")), QString());
    EXPECT_EQ(PathRules::outputFolder(QStringLiteral("out"), QStringLiteral("/data")), QStringLiteral("/data/out"));
}

TEST(DataFolder, FallsBackWhenTheProgramFolderIsNotWritable)
{
    TempFolder temp;
    EXPECT_EQ(DataFolder::locate(temp.path(), QString(), QString()), temp.path());
    EXPECT_FALSE(QFile::exists(temp.file(QStringLiteral("test.dat"))));

    // A folder the probe cannot write into (tests may run as root, so permissions are not enough).
    const QString readOnly = temp.file(QStringLiteral("gone/away"));
    const QString appData = temp.file(QStringLiteral("appdata"));
    EXPECT_EQ(DataFolder::locate(readOnly, appData, QString()), appData + QStringLiteral("/VELOKA/WardaleTool"));
    EXPECT_TRUE(QDir(appData + QStringLiteral("/VELOKA/WardaleTool")).exists());
}

TEST(NetworkReady, LoopbackGatesNeedNoLan)
{
    const NetworkReady loopbackHost([] { return QStringList{QStringLiteral("127.0.0.1")}; });
    EXPECT_FALSE(loopbackHost.check({QStringLiteral("192.168.0.1")}));
    EXPECT_TRUE(loopbackHost.check({QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.3")}));
    EXPECT_FALSE(loopbackHost.check({}));
    const NetworkReady lanHost([] { return QStringList{QStringLiteral("10.1.2.3")}; });
    EXPECT_TRUE(lanHost.check({QStringLiteral("192.168.0.1")}));
    const NetworkReady noResolver([] { return QStringList{}; });
    EXPECT_FALSE(noResolver.check({QStringLiteral("gate.local")}));
}
