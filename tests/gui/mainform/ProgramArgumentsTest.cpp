#include "ui/ProgramArguments.h"

#include <gtest/gtest.h>

TEST(ProgramArguments, DataFolderOptionStandsAnywhereAndLeavesTheReportArguments)
{
    struct Case
    {
        QStringList argv;
        QStringList arguments;
        QString dataFolder;
        bool report;
    };
    const Case cases[] = {
        {{}, {}, QString(), false},
        {{QStringLiteral("date=2021/04/01-2021/04/30")}, {QStringLiteral("date=2021/04/01-2021/04/30")}, QString(), true},
        {{QStringLiteral("--data-dir"), QStringLiteral("/d"), QStringLiteral("DATE=2021/04/01-2021/04/30"),
          QStringLiteral("x.csv")},
         {QStringLiteral("DATE=2021/04/01-2021/04/30"), QStringLiteral("x.csv")},
         QStringLiteral("/d"),
         true},
        {{QStringLiteral("DATE=1/1/1-2/2/2"), QStringLiteral("--data-dir=/e")}, {QStringLiteral("DATE=1/1/1-2/2/2")},
         QStringLiteral("/e"), true},
        {{QStringLiteral("x.csv"), QStringLiteral("DATE=2021/04/01-2021/04/30")},
         {QStringLiteral("x.csv"), QStringLiteral("DATE=2021/04/01-2021/04/30")},
         QString(),
         false},
    };
    for (const auto& c : cases) {
        const auto parsed = ProgramArguments::parse(c.argv);
        EXPECT_EQ(parsed.arguments, c.arguments) << c.argv.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(parsed.dataFolderOverride, c.dataFolder);
        EXPECT_EQ(parsed.reportMode, c.report);
    }
}
