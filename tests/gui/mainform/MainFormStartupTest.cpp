#include "MainFormFixture.h"

#include "config/SettingsCatalogue.h"
#include "gatecontrol/DailySchedules.h"
#include "platform/Cp932Codec.h"
#include "ui/GatePages.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

TEST(MainFormStartup, GatePagesFollowTheSettings)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings());
    auto form = fixture.create();
    QTabWidget* tabs = form->pageControl();

    ASSERT_EQ(tabs->count(), 17);
    struct Expect
    {
        int slot;
        const char* page;
        const char* tab;
        bool visible;
    };
    const Expect pages[] = {
        {0, "TabSheet1", "正面", true},     {1, "TabSheet1_1", "通用口", true}, {2, "TabSheet1_2", "", false},
        {3, "TabSheet1_3", "閲覧室", true}, {14, "TabSheet1_14", "", false},
    };
    for (const auto& p : pages) {
        EXPECT_EQ(tabs->widget(p.slot)->objectName(), QString::fromUtf8(p.page));
        EXPECT_EQ(tabs->tabText(p.slot), QString::fromUtf8(p.tab)) << p.slot;
        EXPECT_EQ(tabs->isTabVisible(p.slot), p.visible) << p.slot;
    }
    EXPECT_EQ(form->pages().page(3).nameLabel->text(), QStringLiteral("閲覧室ゲート"));
    EXPECT_NE(form->findChild<QTableWidget*>(QStringLiteral("Gate1PCGrid_3")), nullptr);
    EXPECT_NE(form->findChild<QLabel*>(QStringLiteral("CounterG1I7_3")), nullptr);
    EXPECT_NE(form->findChild<QLabel*>(QStringLiteral("G1Camma_14")), nullptr);
    EXPECT_NE(form->findChild<QGroupBox*>(QStringLiteral("GroupBox6")), nullptr);
    EXPECT_EQ(form->pages().page(3).countBox->objectName(), QStringLiteral("GroupBox6"));
    EXPECT_EQ(tabs->widget(TMainForm::kLogTagPage)->objectName(), QStringLiteral("TabSheetLog2"));
    EXPECT_EQ(tabs->widget(TMainForm::kLinkLogPage)->objectName(), QStringLiteral("TabSheetLog"));
    EXPECT_FALSE(tabs->isTabVisible(TMainForm::kLinkLogPage));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("WardaleCounter"));
}

TEST(MainFormStartup, CopiedPagesAreNamedGateUntilTheSettingsNameThem)
{
    QTabWidget tabs;
    GatePages pages(&tabs);
    pages.ComponentInit(0);
    pages.ComponentInit(3);
    EXPECT_EQ(tabs.widget(1)->objectName(), QStringLiteral("TabSheet1_3"));
    EXPECT_EQ(tabs.tabText(1), QStringLiteral("GATE-3"));
    EXPECT_FALSE(tabs.isTabVisible(1));
    EXPECT_EQ(pages.page(3).bandGrid->objectName(), QStringLiteral("Gate1PCGrid_3"));
    EXPECT_EQ(pages.page(3).nameLabel->objectName(), QStringLiteral("Label9"));
    EXPECT_EQ(pages.page(3).tagBox->objectName(), QStringLiteral("GroupBox5"));
}

TEST(MainFormStartup, MissingSettingsFileStartsFromTheDefaultFileMaximised)
{
    MainFormFixture fixture;
    auto form = fixture.create();
    EXPECT_TRUE(QFile::exists(fixture.folder.file(QStringLiteral("options.ini"))));
    EXPECT_EQ(form->settings().startBand, 8);
    EXPECT_EQ(form->settings().endBand, 17);
    EXPECT_TRUE(form->windowState().testFlag(Qt::WindowMaximized));
    EXPECT_EQ(form->pageControl()->tabText(0), QStringLiteral("正面玄関ゲート"));
    EXPECT_TRUE(form->settings().countOnly);
}

TEST(MainFormStartup, CountOnlyModeMovesTheCounterAboveTheBandGrid)
{
    MainFormFixture fixture;
    QStringList lines = threeGateSettings();
    lines.replace(1, QStringLiteral("人数カウントのみ=YES"));
    fixture.writeSettings(lines);
    auto form = fixture.create();
    const GatePage& page = form->pages().page(3);
    EXPECT_TRUE(page.tagGrid->isHidden());
    EXPECT_EQ(page.counterPanel->parentWidget(), page.tagBox);
    EXPECT_TRUE(page.tagBox->title().isEmpty());
    EXPECT_TRUE(form->findChild<QPushButton*>(QStringLiteral("Gate1TagClearButton"))->isHidden());
    EXPECT_TRUE(form->findChild<QPushButton*>(QStringLiteral("Gate1StopButton"))->isHidden());
}

TEST(MainFormStartup, CreationAndFirstShowCallTheSubsystemsInOrder)
{
    struct Case
    {
        const char* name;
        QStringList extra;
        bool network;
        QStringList shown;
        int connectInterval;
        bool schedules;
    };
    const Case cases[] = {
        {"plain", {}, true, {QStringLiteral("RefreshTitleDatabase")}, 1, false},
        {"no network", {}, false, {QStringLiteral("RefreshTitleDatabase")}, 1000, false},
        {"count only", {QStringLiteral("人数カウントのみ=YES")}, true, {}, 1, false},
        {"eeprom and lamp",
         {QStringLiteral("[EEPROM監視設定]"), QStringLiteral("EEPROM復元=有効"), QStringLiteral("[ランプ常時点灯設定]"),
          QStringLiteral("ランプ常時点灯モードの自動制御=YES")},
         true,
         {QStringLiteral("RefreshTitleDatabase")},
         1,
         true},
    };
    for (const auto& c : cases) {
        MainFormFixture fixture;
        fixture.network = c.network;
        QStringList lines = threeGateSettings();
        for (const QString& line : c.extra) {
            if (line.startsWith(QStringLiteral("人数")))
                lines.replace(1, line);
            else
                lines << line;
        }
        fixture.writeSettings(lines);
        auto form = fixture.create();
        EXPECT_EQ(fixture.subsystems.calls,
                  (QStringList{QStringLiteral("createTitleList"), QStringLiteral("createPluginRunner")}))
            << c.name;
        EXPECT_EQ(form->connectionsDeferred(), !c.network) << c.name;
        fixture.subsystems.calls.clear();
        form->show();
        EXPECT_EQ(fixture.subsystems.calls, c.shown) << c.name;
        EXPECT_TRUE(form->connectCheckTimer().isActive()) << c.name;
        EXPECT_EQ(form->connectCheckTimer().interval(), c.connectInterval) << c.name;
        EXPECT_TRUE(form->countFiles().backUpTimer()->isActive()) << c.name;
        EXPECT_EQ(form->schedules().eepromWatchTimer().isActive(), c.schedules) << c.name;
        EXPECT_EQ(form->schedules().autoLampTimer().isActive(), c.schedules) << c.name;
        fixture.prompts.answerYes = true;
        form->close();
    }
}

TEST(MainFormStartup, XlsxEntryHiddenOnlyWithoutAUsableRoute)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings());
    EXPECT_TRUE(fixture.create()->xlsxExportAction()->isVisible());
    fixture.subsystems.xlsx = false;
    EXPECT_FALSE(fixture.create()->xlsxExportAction()->isVisible());
}

TEST(MainFormStartup, WindowOnAMonitorThatIsGoneOpensAtTheOrigin)
{
    MainFormFixture fixture;
    QStringList lines = threeGateSettings();
    lines.replace(2, QStringLiteral("WindowLeft=5000"));
    fixture.writeSettings(lines);
    EXPECT_EQ(fixture.create()->geometry().topLeft(), QPoint(0, 0));
    fixture.writeSettings(threeGateSettings());
    EXPECT_EQ(fixture.create()->geometry().topLeft(), QPoint(100, 40));
}

TEST(MainFormStartup, DataFilesLiveInTheDataFolderAndDialogsStartThere)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings({QStringLiteral("人数カウント出力フォルダ=out")}));
    auto form = fixture.create();
    EXPECT_EQ(form->dataFolder(), fixture.folder.path());
    // The output folder does not exist, so both dialogs start in the Documents folder.
    EXPECT_EQ(form->saveDialogFolder(), fixture.folder.file(QStringLiteral("docs")));
    QDir().mkpath(fixture.folder.file(QStringLiteral("out")));
    EXPECT_EQ(fixture.create()->openDialogFolder(), fixture.folder.file(QStringLiteral("out")));
}

TEST(MainFormStartup, DigitAndConnectionPicturesAreTintedWithTheWindowColour)
{
    MainFormFixture fixture;
    fixture.writeSettings(threeGateSettings({QStringLiteral("ウインドウ背景色=200,100,50")}));
    auto form = fixture.create();
    ASSERT_FALSE(form->digitImage(8).isNull());
    EXPECT_EQ(form->digitImage(8).size(), QSize(192, 256));
    EXPECT_EQ(form->commaImage().size(), QSize(48, 256));
    // The white corner of every picture becomes the window colour.
    EXPECT_EQ(form->digitImage(0).pixelColor(0, 0), QColor(200, 100, 50));
    EXPECT_EQ(form->connectionImage(1).pixelColor(0, 0), QColor(200, 100, 50));
    EXPECT_EQ(form->digitImage(0).format(), QImage::Format_RGB888);
}
