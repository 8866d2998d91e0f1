#include "ui/CountLayoutRules.h"
#include "config/SettingsRecord.h"

#include <gtest/gtest.h>

namespace Rules = CountLayoutRules;

namespace {

// Positions 7..0 as text: the digit, or '-' for a blank position.
QString positions(const Rules::CounterFigures& figures)
{
    QString text;
    for (int i = Rules::kPositions - 1; i >= 0; --i)
        text += figures.digit[i] < 0 ? QChar(u'-') : QChar(u'0' + figures.digit[i]);
    return text;
}

} // namespace

TEST(CountLayoutRules, GridTextsKeepTheirSpacesAndDirection)
{
    const struct
    {
        int column;
        bool exits;
        const char* text;
    } headers[] = {
        {0, false, "時間帯"},   {0, true, "時間帯"},     {1, false, "通路1(入)"},
        {3, true, "通路3(出)"}, {4, false, "　計(入) "}, {4, true, "　計(出) "},
    };
    for (const auto& h : headers)
        EXPECT_EQ(Rules::headerText(h.column, h.exits), QString::fromUtf8(h.text)) << h.column << h.exits;
    EXPECT_EQ(Rules::bandLabel(8), QStringLiteral(" 8時台"));
    EXPECT_EQ(Rules::bandLabel(0), QStringLiteral(" 0時台"));
    EXPECT_EQ(Rules::bandLabel(10), QStringLiteral("10時台"));
    EXPECT_EQ(Rules::totalRowLabel(), QStringLiteral("合　計"));
    EXPECT_EQ(Rules::columnWidth(51), 61); // 61.2
    EXPECT_EQ(Rules::columnWidth(5), 6);   // 6.0
}

TEST(CountLayoutRules, CellColoursFollowTheRowKind)
{
    SettingsColours colours;
    colours.titleText = 1;
    colours.titleBackground = 2;
    colours.totalText = 3;
    colours.totalBackground = 4;
    colours.oddText = 5;
    colours.oddBackground = 6;
    colours.evenText = 7;
    colours.evenBackground = 8;
    const struct
    {
        int row;
        int rowCount;
        quint32 text;
        quint32 background;
    } cases[] = {{0, 16, 1, 2},  {1, 16, 5, 6}, {2, 16, 7, 8}, {14, 16, 7, 8},
                 {15, 16, 3, 4}, {0, 1, 1, 2},  {1, 2, 3, 4}};
    for (const auto& c : cases) {
        const auto result = Rules::cellColours(c.row, c.rowCount, colours);
        EXPECT_EQ(result.text, c.text) << c.row << "/" << c.rowCount;
        EXPECT_EQ(result.background, c.background) << c.row << "/" << c.rowCount;
    }
}

TEST(CountLayoutRules, CounterFiguresChooseDigitsFactorAndComma)
{
    const struct
    {
        qint64 total;
        int setting;
        bool comma;
        const char* shown;
        int digits;
        int factor;
        bool commaShown;
    } cases[] = {
        {1234, 0, true, "----1234", 4, 44, true},
        {1234, 6, true, "--001234", 6, 42, false},
        {1234, 0, false, "----1234", 4, 44, false},
        {42, 4, true, "----0042", 4, 44, false},
        {1234567, 0, true, "01234567", 8, 32, true},
        {12345678, 0, true, "12345678", 8, 32, true},
        {5, 0, true, "-------5", 1, 44, false},
        {0, 0, true, "-------0", 1, 44, false},
        {999, 0, true, "-----999", 3, 44, false},
        {123456, 0, true, "--123456", 6, 42, true},
        {5, 7, true, "00000005", 8, 32, false},
        // Beyond eight digits and below zero (a wrapped sum) stay within the ten digit pictures.
        {100000000, 0, true, "99999999", 8, 32, true},
        {4000000000LL, 0, true, "99999999", 8, 32, true},
        {-3, 0, true, "-------0", 1, 44, false},
    };
    for (const auto& c : cases) {
        const auto figures = Rules::counterFigures(c.total, c.setting, c.comma);
        EXPECT_EQ(positions(figures), QString::fromLatin1(c.shown)) << c.total << " setting " << c.setting;
        EXPECT_EQ(figures.digits, c.digits) << c.total;
        EXPECT_EQ(figures.factor, c.factor) << c.total;
        EXPECT_EQ(figures.commaShown, c.commaShown) << c.total << " setting " << c.setting;
    }
}

TEST(CountLayoutRules, DigitWidthFromTheCounterAreaOrThePage)
{
    const struct
    {
        int factor;
        bool countOnly;
        int pageHeight;
        int width;
        int height;
        int expected;
    } cases[] = {
        {44, false, 0, 306, 300, 48}, // 13464 / 280
        {32, false, 0, 306, 300, 34}, // 9792 / 280
        {44, false, 0, 2000, 900, 180}, {44, false, 0, 10, 300, 10},
        {44, false, 0, 306, 60, 27}, // 48 is too high: 60 / 1.6 / 1.395 = 26.9
        {44, true, 545, 0, 0, 100},  // 0.2 x 500
        {44, true, 2000, 0, 0, 130},    {44, true, 60, 0, 0, 10},
        {44, true, 670, 0, 0, 125},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rules::digitWidth(c.factor, c.countOnly, c.pageHeight, c.width, c.height), c.expected)
            << c.countOnly << " " << c.pageHeight << " " << c.width << "x" << c.height;
}

TEST(CountLayoutRules, StripReservesFiveFullPositions)
{
    const struct
    {
        qint64 total;
        int setting;
        std::array<int, 8> widths;
        int commaWidth;
        int stripWidth;
    } cases[] = {
        {5, 0, {40, 40, 40, 40, 40, 1, 1, 1}, 0, 5 * 40 + 3 + 16},
        {1234, 0, {40, 40, 40, 40, 40, 1, 1, 1}, 10, 5 * 40 + 3 + 10 + 16},
        {1234, 6, {40, 40, 40, 40, 40, 40, 1, 1}, 0, 6 * 40 + 2 + 16},
        {1234567, 0, {40, 40, 40, 40, 40, 40, 40, 40}, 10, 8 * 40 + 10 + 16},
    };
    for (const auto& c : cases) {
        const auto strip = Rules::counterStrip(Rules::counterFigures(c.total, c.setting, true), 40);
        EXPECT_EQ(strip.widths, c.widths) << c.total;
        EXPECT_EQ(strip.commaWidth, c.commaWidth) << c.total;
        EXPECT_EQ(strip.size, QSize(c.stripWidth, 56)) << c.total; // 40 x 1.3955 = 55.8
    }
}

TEST(CountLayoutRules, CaptionAndStripArePlacedAsOneBlock)
{
    const auto normal = Rules::placeCounter(QSize(300, 200), QSize(100, 40), QSize(250, 80), false);
    EXPECT_EQ(normal.caption, QRect(184, 40, 100, 40));
    EXPECT_EQ(normal.strip, QRect(50, 80, 250, 80));
    const auto countOnly = Rules::placeCounter(QSize(300, 200), QSize(100, 40), QSize(250, 80), true);
    EXPECT_EQ(countOnly.caption, QRect(184, 0, 100, 40));
    EXPECT_EQ(countOnly.strip, QRect(50, 40, 250, 80));
    EXPECT_EQ(Rules::captionFontSize(56, false), 18);
    EXPECT_EQ(Rules::captionFontSize(56, true), 14);
}

TEST(CountLayoutRules, AspectClassByRatio)
{
    const struct
    {
        double ratio;
        double scale;
        int tagHeight;
        int expected;
    } cases[] = {
        {1.9, 1.0, 801, 0}, {1.9, 1.0, 800, 1}, {1.9, 0.8, 900, 1}, {1.8, 1.0, 900, 0}, {1.7, 1.0, 0, 1},
        {1.65, 1.0, 0, 2},  {1.5, 1.0, 0, 3},   {1.45, 1.0, 0, 4},  {1.32, 1.0, 0, 5},  {1.31, 1.0, 0, 6},
        {1.3, 1.0, 0, 6},   {1.29, 1.0, 0, 7},  {0.5, 1.0, 0, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rules::aspectClass(c.ratio, c.scale, c.tagHeight), c.expected) << c.ratio;
}

TEST(CountLayoutRules, TagRowsAndCountBoxHeight)
{
    const struct
    {
        int aspect;
        double scale;
        bool fit;
        bool maximised;
        int span;
        int expected;
    } cases[] = {
        {7, 1.0, true, false, 13, 10}, {5, 1.0, true, false, 13, 8},  {2, 1.0, true, false, 13, 6},
        {7, 1.0, false, false, 13, 6}, {6, 1.25, true, false, 13, 5}, {7, 4.0, true, false, 13, 2}, // 2.5 -> 2
        {2, 0.5, true, false, 13, 6},  {2, 1.0, true, true, 9, 9},    {2, 1.0, true, true, 12, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rules::tagRows(c.aspect, c.scale, c.fit, c.maximised, c.span), c.expected)
            << c.aspect << " " << c.scale << " " << c.span;
    EXPECT_EQ(Rules::countBoxHeight(700, 20, 6, 30), 494);
    EXPECT_EQ(Rules::countBoxHeight(100, 20, 6, 30), 0);
}

TEST(CountLayoutRules, CounterAreaGivesWayToTheColumns)
{
    EXPECT_EQ(Rules::counterAreaWidth(1000, 300), 550);
    EXPECT_EQ(Rules::counterAreaWidth(1000, 600), 380);
    EXPECT_EQ(Rules::counterAreaWidth(100, 200), 0);
    const std::array<int, 5> widths{60, 80, 80, 80, 90};
    EXPECT_EQ(Rules::requiredGridWidth(widths, 1), 390 + 4 * 5);
    EXPECT_EQ(Rules::fittedCounterWidth(300, 410, 410, 700), 300);
    EXPECT_EQ(Rules::fittedCounterWidth(300, 400, 410, 700), 298);
    EXPECT_EQ(Rules::fittedCounterWidth(250, 400, 410, 700), 250); // narrowed only, never widened
}

TEST(CountLayoutRules, FontSearchFindsTheLargestFittingSize)
{
    int tests = 0;
    const auto upTo = [&tests](int largest) {
        return [&tests, largest](int size) {
            ++tests;
            return size <= largest;
        };
    };
    EXPECT_EQ(Rules::largestFittingSize(6, 40, upTo(17)), 17);
    EXPECT_LE(tests, 7);
    EXPECT_EQ(Rules::largestFittingSize(6, 40, upTo(40)), 40);
    EXPECT_EQ(Rules::largestFittingSize(6, 50, upTo(6)), 6);
    EXPECT_EQ(Rules::largestFittingSize(6, 40, upTo(2)), 6);
    tests = 0;
    EXPECT_EQ(Rules::largestFittingSize(0, 1000000, upTo(700000), 3), 625000);
    EXPECT_EQ(tests, 3);

    Rules::FontFitTarget target;
    target.rows = 17;
    target.gridHeight = 340;
    target.gridWidth = 400;
    target.scrollBarWidth = 16;
    EXPECT_TRUE(Rules::fontFits({20, 384}, target));
    EXPECT_FALSE(Rules::fontFits({21, 300}, target));
    EXPECT_FALSE(Rules::fontFits({20, 385}, target));
    target.countOnly = true;
    target.widthFactor = 26;
    target.verticalScale = 1.0;
    target.countBoxWidth = 530;
    EXPECT_TRUE(Rules::fontFits({20, 384}, target)); // 20 x 26 + 10 = 530
    target.verticalScale = 1.25;
    EXPECT_FALSE(Rules::fontFits({20, 384}, target));

    EXPECT_EQ(Rules::spareTagRows(100, 20), 4);
    EXPECT_EQ(Rules::spareTagRows(23, 20), 0);
    EXPECT_EQ(Rules::spareTagRows(1000, 20), 10);
    EXPECT_EQ(Rules::spareTagRows(-40, 20), 0);
}

TEST(CountLayoutRules, TabColoursAndMarking)
{
    const quint32 window = settingsColour(100, 140, 200);
    const quint32 text = settingsColour(1, 2, 3);
    const struct
    {
        bool selected;
        bool marked;
        quint32 background;
        quint32 text;
    } cases[] = {
        {true, false, settingsColour(130, 182, 255), text}, // 260 capped
        {false, false, settingsColour(90, 126, 180), text},
        {true, true, settingsColour(255, 91, 130), 0},
        {false, true, settingsColour(180, 38, 54), 0}, // 37.8
    };
    for (const auto& c : cases) {
        const auto colours = Rules::tabColours(window, text, c.selected, c.marked);
        EXPECT_EQ(colours.background, c.background) << c.selected << c.marked;
        EXPECT_EQ(colours.text, c.text) << c.selected << c.marked;
    }
    EXPECT_TRUE(Rules::tabMarked(QStringLiteral("正面【未接続】"), QStringLiteral("未接続")));
    EXPECT_FALSE(Rules::tabMarked(QStringLiteral("正面"), QStringLiteral("未接続")));
    EXPECT_FALSE(Rules::tabMarked(QStringLiteral("正面【未接続】"), QString()));
    EXPECT_EQ(Rules::disconnectedCaption(QStringLiteral("正面"), QStringLiteral("未接続")),
              QStringLiteral("正面【未接続】"));
}
