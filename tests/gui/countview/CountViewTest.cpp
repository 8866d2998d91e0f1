#include "CountViewFixture.h"

#include "ui/BandGridDelegate.h"
#include "ui/CountLayoutRules.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

QString shownPositions(const CountViewFixture& f, int gate)
{
    QString text;
    for (int position = 7; position >= 0; --position) {
        const int digit = f.shownDigit(gate, position);
        text += digit < 0 ? QChar(u'-') : QChar(u'0' + digit);
    }
    return text;
}

QColor pictureColour(const QLabel* label)
{
    return label->pixmap().toImage().pixelColor(0, 0);
}

} // namespace

TEST(CountView, GridShowsTodaysBandsOfTheCountedDirection)
{
    const struct
    {
        const char* name;
        bool exits;
        int aisles;
        QStringList header;
        QStringList firstBand;
        QStringList totalRow;
    } cases[] = {
        {"entries, three aisles",
         false,
         3,
         {QStringLiteral("時間帯"), QStringLiteral("通路1(入)"), QStringLiteral("通路2(入)"),
          QStringLiteral("通路3(入)"), QStringLiteral("　計(入) ")},
         {QStringLiteral(" 8時台"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
          QStringLiteral("12")},
         {QStringLiteral("合　計"), QStringLiteral("6"), QStringLiteral("6"), QStringLiteral("7"),
          QStringLiteral("19")}},
        {"exits, three aisles",
         true,
         3,
         {QStringLiteral("時間帯"), QStringLiteral("通路1(出)"), QStringLiteral("通路2(出)"),
          QStringLiteral("通路3(出)"), QStringLiteral("　計(出) ")},
         {QStringLiteral(" 8時台"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
          QStringLiteral("12")},
         {QStringLiteral("合　計"), QStringLiteral("6"), QStringLiteral("6"), QStringLiteral("7"),
          QStringLiteral("19")}},
        {"one aisle",
         false,
         1,
         {QStringLiteral("時間帯"), QStringLiteral("通路1(入)"), QStringLiteral("通路2(入)"),
          QStringLiteral("通路3(入)"), QStringLiteral("　計(入) ")},
         {QStringLiteral(" 8時台"), QStringLiteral("3"), QString(), QString(), QStringLiteral("3")},
         {QStringLiteral("合　計"), QStringLiteral("6"), QStringLiteral("0"), QStringLiteral("0"),
          QStringLiteral("6")}},
    };
    for (const auto& c : cases) {
        CountViewFixture f;
        f.settings.countExits = c.exits;
        f.start();
        f.counts.setAisleCount(0, c.aisles);
        f.addEvent(0, 7, {9, 9, 9}); // before the start band
        f.addEvent(0, 8, {3, 4, 5});
        f.addEvent(0, 10, {1, 0, 0});
        f.addEvent(0, 21, {2, 2, 2});
        f.addEvent(0, 22, {9, 9, 9}); // after the end band
        f.view->Timer1Timer();

        const QTableWidget* grid = f.pages->page(0).bandGrid;
        ASSERT_EQ(grid->rowCount(), 16) << c.name; // header, bands 8..21, total
        ASSERT_EQ(grid->columnCount(), 5) << c.name;
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(f.cell(0, 0, column), c.header[column]) << c.name;
            EXPECT_EQ(f.cell(0, 1, column), c.firstBand[column]) << c.name;
            EXPECT_EQ(f.cell(0, 15, column), c.totalRow[column]) << c.name;
        }
        EXPECT_EQ(f.cell(0, 2, 0), QStringLiteral(" 9時台")) << c.name;
        EXPECT_EQ(f.cell(0, 2, 4), QStringLiteral("0")) << c.name;
        EXPECT_EQ(f.cell(0, 3, 0), QStringLiteral("10時台")) << c.name;
        EXPECT_EQ(f.cell(0, 14, 0), QStringLiteral("21時台")) << c.name;
        EXPECT_EQ(grid->columnWidth(1),
                  CountLayoutRules::columnWidth(grid->fontMetrics().horizontalAdvance(c.header[1])))
            << c.name;
    }
}

TEST(CountView, EachAcceptedCountRedrawsTheActivePageUnlessARefreshIsPending)
{
    CountViewFixture f;
    f.settings.counterCaption = QStringLiteral("来館者数");
    f.start();
    f.timer1.start();
    ASSERT_TRUE(f.finishRefresh());
    EXPECT_EQ(f.pages->page(0).inLabel->text(), QStringLiteral("来館者数"));

    CountRecord record;
    f.counts.CountValuesReceived(0, record); // the base
    record.in = {2, 0, 0};
    f.counts.CountValuesReceived(0, record);
    EXPECT_EQ(f.cell(0, 5, 1), QStringLiteral("2")); // band 12
    EXPECT_EQ(f.cell(0, 15, 4), QStringLiteral("2"));
    EXPECT_EQ(shownPositions(f, 0), QStringLiteral("-------2"));

    // Another gate's count rebuilds its record only: the page on screen stays as it is.
    f.counts.CountValuesReceived(3, record);
    record.in = {5, 0, 0};
    f.counts.CountValuesReceived(3, record);
    EXPECT_EQ(f.cell(3, 5, 1), QStringLiteral("<none>"));

    f.timer1.start();
    record.in = {7, 0, 0};
    f.counts.CountValuesReceived(0, record);
    EXPECT_EQ(f.cell(0, 5, 1), QStringLiteral("2"));
    ASSERT_TRUE(f.finishRefresh());
    EXPECT_EQ(f.cell(0, 5, 1), QStringLiteral("7"));
    EXPECT_EQ(shownPositions(f, 0), QStringLiteral("-------7"));
}

TEST(CountView, LargeCounterShowsTheDayTotalOnItsPositions)
{
    const struct
    {
        int total;
        int digitsSetting;
        const char* shown;
        bool comma;
    } cases[] = {
        {1234, 0, "----1234", true}, {1234, 6, "--001234", false}, {1234567, 0, "01234567", true},
        {5, 0, "-------5", false},   {0, 0, "-------0", false},    {123456789, 0, "99999999", true},
    };
    for (const auto& c : cases) {
        CountViewFixture f;
        f.settings.counterDigits = c.digitsSetting;
        f.start();
        f.addEvent(0, 9, {c.total, 0, 0});
        f.view->Timer1Timer();
        const GatePage& page = f.pages->page(0);
        EXPECT_EQ(shownPositions(f, 0), QString::fromLatin1(c.shown)) << c.total;
        EXPECT_EQ(!page.comma->isHidden(), c.comma) << c.total;
        if (c.comma) {
            EXPECT_EQ(pictureColour(page.comma), QColor(0, 0, 200));
        }
        const int d = page.inDigits[0]->width();
        // Five positions keep their full width even when blank; the blank ones above them shrink to 1.
        for (int position = 0; position < 8; ++position) {
            const bool reserved = position <= 4 || QChar::fromLatin1(c.shown[7 - position]) != u'-';
            EXPECT_EQ(page.inDigits[position]->width(), reserved ? d : 1) << c.total << " position " << position;
        }
    }
}

TEST(CountView, CaptionAndDigitStripAreRightAlignedInTheCounterArea)
{
    CountViewFixture f;
    f.start();
    f.addEvent(0, 9, {1234, 0, 0});
    f.timer1.start();
    ASSERT_TRUE(f.settle());
    const GatePage& page = f.pages->page(0);
    const QRect area = page.counterPanel->rect();
    const QRect strip = page.inCounterPanel->geometry();
    const QRect caption = page.inLabel->geometry();
    EXPECT_EQ(strip.right(), area.right());
    EXPECT_EQ(caption.right(), area.right() - 16);
    EXPECT_EQ(caption.bottom() + 1, strip.top());
    EXPECT_LE(std::abs(caption.top() - (area.height() - strip.bottom() - 1)), 1); // centred as one block
    EXPECT_EQ(strip.height(), page.inDigits[0]->height());
    EXPECT_EQ(strip.height(), CountLayoutRules::roundHalfEven(page.inDigits[0]->width() * 1.3955));
}

TEST(CountView, CellsArePaintedInTheColoursOfTheirRow)
{
    SettingsColours colours;
    colours.titleBackground = settingsColour(10, 20, 30);
    colours.oddBackground = settingsColour(40, 50, 60);
    colours.evenBackground = settingsColour(70, 80, 90);
    colours.totalBackground = settingsColour(100, 110, 120);
    BandGridDelegate delegate(colours, nullptr);
    const struct
    {
        int row;
        int columns;
        QColor expected;
    } cases[] = {
        {0, 5, QColor(10, 20, 30)},     {1, 5, QColor(40, 50, 60)}, {2, 5, QColor(70, 80, 90)},
        {15, 5, QColor(100, 110, 120)}, {1, 3, QColor(Qt::white)}, // grids of 3 columns are left alone
    };
    for (const auto& c : cases) {
        QImage image(60, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.Gate1PCGridDrawCell(&painter, image.rect(), c.row, 1, 16, c.columns, QStringLiteral("12"), QFont());
        painter.end();
        EXPECT_EQ(image.pixelColor(1, 1), c.expected) << c.row;
    }
}

TEST(CountView, TabCaptionFollowsTheGatesLinkState)
{
    CountViewFixture f;
    f.start();
    QTabWidget* tabs = f.tabs;

    f.view->GateTabCaptionSet(0, false);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("正面【未接続】"));
    EXPECT_EQ(pictureColour(f.connectionImage), QColor(200, 200, 0));
    f.view->GateTabCaptionSet(0, true);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("正面"));
    EXPECT_EQ(pictureColour(f.connectionImage), QColor(0, 200, 0));

    // Unchanged state leaves the caption alone; a slot that does not communicate is always renewed.
    tabs->setTabText(0, QStringLiteral("x"));
    f.view->GateTabCaptionSet(0, true);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("x"));
    tabs->setTabText(1, QStringLiteral("x"));
    f.view->GateTabCaptionSet(1, false);
    f.view->GateTabCaptionSet(1, false);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("通用口【未接続】"));
    // The connection picture belongs to the active page only.
    EXPECT_EQ(pictureColour(f.connectionImage), QColor(0, 200, 0));

    f.settings.unconnectedMessage.clear();
    f.view->GateTabCaptionSet(3, false);
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("閲覧室"));
}

TEST(CountView, TabsAreDrawnInTheWindowColourAndMarkedWhileUnconnected)
{
    CountViewFixture f;
    f.settings.colours.windowBackground = settingsColour(100, 140, 200);
    f.start();
    f.view->GateTabCaptionSet(3, false);
    QTabBar* bar = f.tabs->tabBar();
    const QImage image = bar->grab().toImage();
    const auto sample = [&](int index) {
        const QRect rect = bar->tabRect(index);
        return image.pixelColor(rect.left() + 3, rect.top() + 3);
    };
    EXPECT_EQ(sample(0), QColor(130, 182, 255)); // selected
    EXPECT_EQ(sample(3), QColor(180, 38, 54));   // marked
    EXPECT_EQ(sample(1), QColor(90, 126, 180));
}

TEST(CountView, LogPagesSelectNoGate)
{
    CountViewFixture f;
    f.start();
    f.tabs->setCurrentIndex(CountViewFixture::kLogPage);
    f.view->PageControl1Change(CountViewFixture::kLogPage, false);
    EXPECT_EQ(f.view->currentGate(), -1);
    EXPECT_EQ(f.view->shownGate(), 0);
    EXPECT_TRUE(f.connectionImage->isHidden());
    EXPECT_FALSE(f.timer1.isActive());
    f.view->Timer1Timer();
    EXPECT_EQ(f.pages->page(0).bandGrid->rowCount(), 1);

    f.tabs->setCurrentIndex(3);
    f.view->PageControl1Change(3, false);
    EXPECT_EQ(f.view->shownGate(), 3);
    EXPECT_FALSE(f.connectionImage->isHidden());
    EXPECT_TRUE(f.timer1.isActive());
}

TEST(CountView, FullRefreshFitsTheBandGridToThePage)
{
    const auto fitted = [](QSize windowSize) {
        CountViewFixture f;
        f.window.resize(windowSize);
        f.start();
        f.view->GraphView();
        f.timer1.start();
        EXPECT_TRUE(f.settle());
        const GatePage& page = f.pages->page(0);
        const QTableWidget* grid = page.bandGrid;
        const int scrollBar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
        int columns = 0;
        for (int column = 0; column < 5; ++column)
            columns += grid->columnWidth(column);
        EXPECT_LE(grid->verticalHeader()->length(), grid->contentsRect().height()) << windowSize.width();
        EXPECT_LE(columns + scrollBar, grid->contentsRect().width()) << windowSize.width();
        EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), grid->fontMetrics().height() + 2);
        EXPECT_TRUE(f.view->laidOut(0));
        return grid->font().pointSize();
    };
    const int small = fitted(QSize(1000, 700));
    const int large = fitted(QSize(1500, 1000));
    EXPECT_GT(large, small);
    EXPECT_GE(small, 6);
}

TEST(CountView, LayoutFitFollowsItsSettings)
{
    CountViewFixture noFit;
    noFit.settings.fitLayout = false;
    noFit.start();
    const int designed = noFit.pages->page(0).bandGrid->font().pointSize();
    noFit.timer1.start();
    ASSERT_TRUE(noFit.settle());
    EXPECT_EQ(noFit.pages->page(0).countBox->height(), 314);
    EXPECT_EQ(noFit.pages->page(0).bandGrid->font().pointSize(), designed);

    CountViewFixture f;
    f.settings.bandFontSize = 14;
    f.start();
    f.timer1.start();
    ASSERT_TRUE(f.settle());
    EXPECT_EQ(f.pages->page(0).bandGrid->font().pointSize(), 14);

    CountViewFixture minimised;
    minimised.host.minimised = true;
    minimised.start();
    minimised.timer1.start();
    ASSERT_TRUE(minimised.settle());
    EXPECT_EQ(minimised.pages->page(0).bandGrid->font().pointSize(), designed);
}

TEST(CountView, MaximisedPageAlreadyLaidOutKeepsItsLayoutButShowsNewCounts)
{
    CountViewFixture f;
    f.start();
    f.window.showMaximized();
    ASSERT_TRUE(f.window.isMaximized());
    f.pass->arm();
    f.timer2.start();
    ASSERT_TRUE(f.settle());
    ASSERT_TRUE(f.view->laidOut(3));

    f.addEvent(3, 9, {7, 0, 0});
    f.tabs->setCurrentIndex(3);
    f.view->PageControl1Change(3, f.pass->pending());
    EXPECT_FALSE(f.timer1.isActive());
    EXPECT_EQ(f.cell(3, 2, 1), QStringLiteral("7"));
    EXPECT_EQ(shownPositions(f, 3), QStringLiteral("-------7"));
}
