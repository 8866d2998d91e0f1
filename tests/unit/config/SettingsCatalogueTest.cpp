#include "config/SettingsCatalogue.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString u8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Records what the settings operations ask of the main window, and what the record held at that moment.
class FakeHost final : public IniFileHost
{
public:
    explicit FakeHost(const SettingsRecord& record) : m_record(record) {}

    void ComponentInit(int slot) override
    {
        calls << QStringLiteral("ComponentInit %1").arg(slot);
        const GateSlotSettings& gate = m_record.gates[slot];
        seenByComponentInit << gate.name + u'|' + gate.shortName + u'|' + gate.ipAddress;
    }
    void applyWindowGeometry(const WindowGeometry& g) override
    {
        calls << QStringLiteral("applyWindowGeometry");
        applied = g;
        fitLayoutWhenApplied = m_record.fitLayout;
    }
    WindowGeometry currentWindowGeometry() const override
    {
        calls << QStringLiteral("currentWindowGeometry");
        return current;
    }
    void Read_PC_file() override
    {
        calls << QStringLiteral("Read_PC_file");
        restoreSeenByEventFile = m_record.eeprom.restore;
    }
    void emptyEventLog() override { calls << QStringLiteral("emptyEventLog"); }
    void Read_DAY_file() override
    {
        calls << QStringLiteral("Read_DAY_file");
        restoreSeenByDayFile = m_record.eeprom.restore;
    }
    void Write_PC_file() override { calls << QStringLiteral("Write_PC_file"); }
    void Write_DAY_file() override { calls << QStringLiteral("Write_DAY_file"); }

    mutable QStringList calls;
    QStringList seenByComponentInit;
    WindowGeometry applied;
    WindowGeometry current{10, 20, 800, 600, false};
    bool fitLayoutWhenApplied = true;
    bool restoreSeenByEventFile = false;
    bool restoreSeenByDayFile = false;

private:
    const SettingsRecord& m_record;
};

QStringList readCalls()
{
    QStringList calls;
    for (int slot = 0; slot < kGateSlots; ++slot)
        calls << QStringLiteral("ComponentInit %1").arg(slot);
    return calls << QStringLiteral("applyWindowGeometry") << QStringLiteral("Read_PC_file")
                 << QStringLiteral("Read_DAY_file");
}

class SettingsCatalogue : public ::testing::Test
{
protected:
    void writeOptions(const char* utf8) { temp.write(QStringLiteral("options.ini"), Cp932Codec::encode(u8(utf8))); }
    QString options() const { return Cp932Codec::decode(temp.read(QStringLiteral("options.ini"))); }
    QStringList optionLines() const { return options().split(QStringLiteral("\r\n")); }

    // The non-empty lines after a section's header, up to the next header.
    QStringList sectionLines(const char* section) const
    {
        const QStringList lines = optionLines();
        qsizetype i = lines.indexOf(u'[' + u8(section) + u']');
        QStringList result;
        if (i < 0)
            return result;
        for (++i; i < lines.size() && !lines[i].startsWith(u'['); ++i) {
            if (!lines[i].isEmpty())
                result << lines[i];
        }
        return result;
    }

    // True when line b stands directly below line a.
    bool directlyAbove(const char* a, const char* b) const
    {
        const QStringList lines = optionLines();
        const qsizetype i = lines.indexOf(u8(a));
        return i >= 0 && i + 1 < lines.size() && lines[i + 1] == u8(b);
    }

    void read() { ReadIniFile(settings, context, host); }
    void write() { WriteIniFile(settings, context, host); }

    TempFolder temp;
    ManualClock clock{DayNumber::fromDateAndTime(QDate(2024, 5, 10), QTime(10, 0))};
    IniFileContext context{temp.path(), temp.file(QStringLiteral("docs")), &clock};
    SettingsRecord settings;
    FakeHost host{settings};
};

} // namespace

TEST_F(SettingsCatalogue, MissingFileIsWrittenAsTheDefaultFileAndRead)
{
    read();
    EXPECT_EQ(temp.read(QStringLiteral("options.ini")),
              Cp932Codec::encode(
                  u8("[基本設定]\r\n\r\nWindowLeft=0\r\nWindowTop=0\r\nWindowWidth=0\r\nWindowHeight=0\r\n"
                     "WindowState=1\r\nゲート未接続メッセージ=ゲート未接続\r\n自動再接続=YES\r\n"
                     "開始時間帯=8\r\n終了時間帯=17\r\nXLSXテンプレートファイル=pc_template.xlsx\r\n\r\n"
                     "[ゲート1]\r\n\r\n名称=正面玄関ゲート(1通路)\r\n略称=正面玄関ゲート\r\n"
                     "通信区分=通信する\r\nIPアドレス=192.168.0.1\r\nポート番号=9004\r\n中継ポート番号=9004\r\n")));
    EXPECT_EQ(settings.window, (WindowGeometry{0, 0, 0, 0, true}));
    EXPECT_EQ(host.applied, settings.window);
    EXPECT_EQ(settings.startBand, 8);
    EXPECT_EQ(settings.endBand, 17);
    EXPECT_EQ(settings.unconnectedMessage, u8("ゲート未接続"));
    EXPECT_EQ(settings.xlsxTemplate.resolved, temp.file(QStringLiteral("docs/pc_template.xlsx")));
    EXPECT_EQ(settings.titleFile.resolved, temp.file(u8("docs/書名.csv")));
    EXPECT_EQ(settings.titlePluginProgram, temp.file(QStringLiteral("plugin/GetBookName.exe")));
    EXPECT_EQ(settings.titlePluginArguments, QString());
    // Keys the default file lacks take the values of a missing key.
    EXPECT_EQ(settings.rfPauseSeconds, 300);
    EXPECT_EQ(settings.colours.evenBackground, settingsColour(255, 255, 245));
    EXPECT_EQ(settings.libraryCodes.entries[0], (LibraryCode{26, 2, 123456, 6, 9}));
    EXPECT_EQ(settings.libraryCodes.entries[1].industry, 255);
    EXPECT_TRUE(settings.gates[0].active());
    EXPECT_EQ(settings.gates[0].relayPort, 9004);
    EXPECT_FALSE(settings.gates[1].active());
    EXPECT_EQ(settings.gates[14].relayPort, 9018);
    EXPECT_EQ(host.calls, readCalls());
}

TEST_F(SettingsCatalogue, NormalisesEachValueAsItIsRead)
{
    using Field = double (*)(const SettingsRecord&);
    struct Case
    {
        const char* section;
        const char* key;
        const char* value;
        Field field;
        double expected;
    };
    const Field evenText = [](const SettingsRecord& s) -> double { return s.colours.evenText; };
    const Field evenBackground = [](const SettingsRecord& s) -> double { return s.colours.evenBackground; };
    const Field oddBackground = [](const SettingsRecord& s) -> double { return s.colours.oddBackground; };
    const Field backup = [](const SettingsRecord& s) -> double { return s.backupIntervalMinutes; };
    const Field digits = [](const SettingsRecord& s) -> double { return s.counterDigits; };
    const Field tagFont = [](const SettingsRecord& s) -> double { return s.tagFontSize; };
    const Field grace = [](const SettingsRecord& s) -> double { return s.hostGraceSeconds; };
    const Field suppress = [](const SettingsRecord& s) -> double { return s.repeatAlarmSuppressSeconds; };
    const Field rfPause = [](const SettingsRecord& s) -> double { return s.rfPauseSeconds; };
    const Field countExits = [](const SettingsRecord& s) -> double { return s.countExits; };
    const Field countOnly = [](const SettingsRecord& s) -> double { return s.countOnly; };
    const Field relay = [](const SettingsRecord& s) -> double { return s.relayServer; };
    const Field check = [](const SettingsRecord& s) -> double { return s.connectCheckMinutes; };
    const Field maximised = [](const SettingsRecord& s) -> double { return s.window.maximised; };
    const Field voice = [](const SettingsRecord& s) -> double { return s.eeprom.voiceCount; };
    const Field passage = [](const SettingsRecord& s) -> double { return s.eeprom.passageMode; };
    const Field restore = [](const SettingsRecord& s) -> double { return s.eeprom.restore; };
    const Field lampOn = [](const SettingsRecord& s) -> double { return s.lamp.onTime; };
    const Field lampAuto = [](const SettingsRecord& s) -> double { return s.lamp.autoControl; };
    const double fallbackOn = 8.0 / 24.0;
    const Case cases[] = {
        {"基本設定", "文字色", "", evenText, 0},
        {"基本設定", "背景色", "", evenBackground, settingsColour(255, 255, 245)},
        {"基本設定", "背景色", "1,2", evenBackground, settingsColour(255, 255, 245)},
        {"基本設定", "背景色", "1, 2,259x", evenBackground, settingsColour(1, 2, 3)},
        {"基本設定", "奇数背景色", "1 ,2,3", oddBackground, settingsColour(255, 236, 221)},
        {"基本設定", "自動保存間隔[分]", "0", backup, 5},
        {"基本設定", "自動保存間隔[分]", "500", backup, 120},
        {"基本設定", "自動保存間隔[分]", "120", backup, 120},
        {"基本設定", "総合計桁数(0で自動)", "-1", digits, 4},
        {"基本設定", "総合計桁数(0で自動)", "12", digits, 8},
        {"基本設定", "総合計桁数(0で自動)", "7", digits, 7},
        {"基本設定", "検知タグフォントサイズ(0で自動)", "5", tagFont, 11},
        {"基本設定", "検知タグフォントサイズ(0で自動)", "-2", tagFont, 0},
        {"基本設定", "検知タグフォントサイズ(0で自動)", "12", tagFont, 12},
        {"基本設定", "ホストPC切断猶予時間[秒]", "-3", grace, 10},
        {"基本設定", "ホストPC切断猶予時間[秒]", "90", grace, 60},
        {"基本設定", "ホストPC切断猶予時間[秒]", "0", grace, 0},
        {"基本設定", "連続警告音抑止時間[秒]", "0", suppress, 3},
        {"基本設定", "連続警告音抑止時間[秒]", "1001", suppress, 3},
        {"基本設定", "RF一時停止時間[秒]", "0", rfPause, 300},
        {"基本設定", "出カウント切替", "yes", countExits, 0},
        {"基本設定", "出カウント切替", "YES", countExits, 1},
        {"基本設定", "人数カウントのみ", "no", countOnly, 0},
        {"基本設定", "人数カウントのみ", "yes", countOnly, 1},
        {"基本設定", "中継サーバー", "off", relay, 0},
        {"基本設定", "接続確認コマンド発行間隔[分]", "x", check, 1},
        {"基本設定", "接続確認コマンド発行間隔[分]", "0x10", check, 16},
        {"基本設定", "WindowState", "01", maximised, 0},
        {"EEPROM監視設定", "音声再生回数", "3", voice, 1},
        {"EEPROM監視設定", "音声再生回数", "0", voice, 0},
        {"EEPROM監視設定", "赤外線センサー動作モード", "通過用", passage, 1},
        {"EEPROM監視設定", "EEPROM復元", "有効", restore, 1},
        {"EEPROM監視設定", "EEPROM復元", "YES", restore, 0},
        {"ランプ常時点灯設定", "ランプ常時点灯モード有効時間", "9:30", lampOn, 9.5 / 24.0},
        {"ランプ常時点灯設定", "ランプ常時点灯モード有効時間", "朝", lampOn, fallbackOn},
        {"ランプ常時点灯設定", "ランプ常時点灯モードの自動制御", "yes", lampAuto, 0},
    };
    for (const Case& c : cases) {
        const QString text = u8("[%1]\r\n%2=%3\r\n").arg(u8(c.section), u8(c.key), u8(c.value));
        temp.write(QStringLiteral("options.ini"), Cp932Codec::encode(text));
        settings = SettingsRecord();
        read();
        EXPECT_NEAR(c.field(settings), c.expected, 1e-9) << c.key << "=" << c.value;
    }
}

TEST_F(SettingsCatalogue, BandsAreOrderedAfterTheWatchTimesAreTaken)
{
    writeOptions("[基本設定]\r\n開始時間帯=22\r\n終了時間帯=6\r\n");
    read();
    EXPECT_EQ(settings.startBand, 6);
    EXPECT_EQ(settings.endBand, 22);
    EXPECT_NEAR(settings.eeprom.watchStart, 22.0 / 24.0, 1e-9);
    EXPECT_NEAR(settings.eeprom.watchEnd, 6.0 / 24.0, 1e-9);

    writeOptions("[基本設定]\r\n開始時間帯=24\r\n終了時間帯=20\r\nRF一時停止時間[秒]=45\r\n");
    settings = SettingsRecord();
    read();
    EXPECT_EQ(settings.startBand, 8);
    EXPECT_EQ(settings.endBand, 20);
    EXPECT_EQ(settings.rfPauseSeconds, 45);
}

TEST_F(SettingsCatalogue, TitleColumnsAreReadOnlyOutsideCountOnlyMode)
{
    writeOptions("[基本設定]\r\n人数カウントのみ=YES\r\n資料コード列=4\r\n書名列=5\r\n巻次列=6\r\n");
    read();
    EXPECT_EQ(settings.titleCodeColumn, 1);
    EXPECT_EQ(settings.volumeColumn, 3);

    writeOptions("[基本設定]\r\n人数カウントのみ=NO\r\n資料コード列=0\r\n書名列=0\r\n巻次列=0\r\n");
    settings = SettingsRecord();
    read();
    EXPECT_EQ(settings.titleCodeColumn, 1);
    EXPECT_EQ(settings.titleColumn, 2);
    EXPECT_EQ(settings.volumeColumn, 0);
}

TEST_F(SettingsCatalogue, BuildsEachPageRightAfterItsNamesAndLoadsTheCountsLast)
{
    writeOptions("[基本設定]\r\n画面サイズに最適化=NO\r\n[ゲート2]\r\n名称=B\r\n略称=b\r\nIPアドレス=127.0.0.2\r\n"
                 "[ゲート1]\r\n名称=\r\n略称=x\r\n[EEPROM監視設定]\r\nEEPROM復元=有効\r\n");
    read();
    EXPECT_EQ(host.calls, readCalls());
    // The page of a slot sees its names but not yet its other keys; slot 0 gets the fallback names.
    EXPECT_EQ(host.seenByComponentInit[0], u8("正面玄関ゲート(1通路)|正面玄関ゲート|"));
    EXPECT_EQ(host.seenByComponentInit[1], QStringLiteral("B|b|"));
    EXPECT_EQ(settings.gates[1].ipAddress, QStringLiteral("127.0.0.2"));
    EXPECT_FALSE(host.fitLayoutWhenApplied);
    EXPECT_FALSE(host.restoreSeenByEventFile);
    EXPECT_TRUE(host.restoreSeenByDayFile);
}

TEST_F(SettingsCatalogue, EmptiesTheEventLogWhenTheCountsWereSavedOnAnotherDay)
{
    struct Case
    {
        const char* name;
        std::optional<QDateTime> saved;
        bool emptied;
    };
    const Case cases[] = {
        {"saved late yesterday", QDateTime(QDate(2024, 5, 9), QTime(23, 59)), true},
        {"saved early today", QDateTime(QDate(2024, 5, 10), QTime(0, 1)), false},
        {"never saved", std::nullopt, false},
    };
    writeOptions("[基本設定]\r\n");
    for (const Case& c : cases) {
        const QString eventFile = temp.file(QStringLiteral("pc_gate.dat"));
        QFile::remove(eventFile);
        if (c.saved) {
            temp.write(QStringLiteral("pc_gate.dat"), QByteArray(16, '\0'));
            QFile file(eventFile);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(*c.saved, QFileDevice::FileModificationTime));
        }
        host.calls.clear();
        read();
        EXPECT_EQ(host.calls.contains(QStringLiteral("emptyEventLog")), c.emptied) << c.name;
        EXPECT_EQ(host.calls.indexOf(QStringLiteral("emptyEventLog")),
                  c.emptied ? host.calls.indexOf(QStringLiteral("Read_PC_file")) + 1 : -1)
            << c.name;
    }
}

TEST_F(SettingsCatalogue, CommentsStayAboveTheirKeysThroughARewrite)
{
    writeOptions(";file head\r\n[基本設定]\r\n;colour note\r\n文字色=1,2,3\r\n;sheet note\r\n"
                 "人数カウントシート名=集計\r\n;unknown note\r\n未知のキー=そのまま\r\n;gate note\r\n[ゲート1]\r\n"
                 "名称=A\r\n;trailing\r\n");
    read();
    write();
    EXPECT_TRUE(optionLines().startsWith(u8(";file head")));
    EXPECT_TRUE(directlyAbove(";file head", "[基本設定]"));
    EXPECT_TRUE(directlyAbove(";colour note", "文字色=1,2,3"));
    EXPECT_TRUE(directlyAbove(";sheet note", "人数カウントシート名=集計"));
    EXPECT_TRUE(directlyAbove(";unknown note", "未知のキー=そのまま"));
    EXPECT_TRUE(directlyAbove(";gate note", "[ゲート1]"));
    EXPECT_TRUE(options().endsWith(u8(";trailing\r\n")));
}

TEST_F(SettingsCatalogue, LibraryCodesKeepTheirZerosAndVacantLinesStayUntouched)
{
    writeOptions("[基本設定]\r\n図書館共通コード1=26,2,00123,13\r\n図書館共通コード2=26,2,123,0\r\n"
                 "図書館共通コード3=300,17,2000000,25\r\n図書館共通コード4=1,2,3\r\n図書館共通コード5=9,1,5,-4\r\n");
    read();
    const LibraryCodeTable& codes = settings.libraryCodes;
    EXPECT_EQ(codes.entries[0], (LibraryCode{26, 2, 123, 5, 13}));
    EXPECT_EQ(codes.entries[1], LibraryCode{});
    EXPECT_EQ(codes.entries[2], (LibraryCode{300 & 0xFF, 17 & 0x0F, 2000000 & 0xFFFFF, 7, 20}));
    EXPECT_EQ(codes.entries[3], LibraryCode{});
    EXPECT_EQ(codes.entries[4], LibraryCode{});
    EXPECT_EQ(codes.largestItemDigits, 20);

    write();
    const QStringList lines = sectionLines("基本設定");
    EXPECT_TRUE(lines.contains(u8("図書館共通コード1=26,2,00123,13")));
    EXPECT_TRUE(lines.contains(u8("図書館共通コード2=26,2,123,0")));
    // Only the low bits of the institution code are kept, padded to the width it was written with.
    EXPECT_TRUE(lines.contains(u8("図書館共通コード3=44,1,0951424,20")));
    EXPECT_TRUE(lines.contains(u8("図書館共通コード4=1,2,3")));
    EXPECT_TRUE(lines.contains(u8("図書館共通コード5=9,1,5,-4")));
}

TEST_F(SettingsCatalogue, OnlyNamedGateSectionsAreWrittenBack)
{
    writeOptions(
        "[ゲート1]\r\n名称=A\r\nIPアドレス=127.0.0.1\r\n[ゲート2]\r\n名称=\r\nIPアドレス=127.0.0.2\r\nメモ=x\r\n"
        "[ゲート3]\r\n名称=C\r\n通信区分=通信しない\r\n");
    read();
    EXPECT_TRUE(settings.gates[0].active());
    EXPECT_FALSE(settings.gates[1].active());
    EXPECT_FALSE(settings.gates[2].enabled);
    EXPECT_FALSE(settings.gates[2].active());

    settings.gates[0].port = 9100;
    write();
    EXPECT_EQ(sectionLines("ゲート1"),
              QStringList({u8("名称=A"), u8("IPアドレス=127.0.0.1"), u8("略称="), u8("通信区分=通信する"),
                           u8("ポート番号=9100"), u8("中継ポート番号=9004")}));
    EXPECT_EQ(sectionLines("ゲート2"), QStringList({u8("名称="), u8("IPアドレス=127.0.0.2"), u8("メモ=x")}));
    EXPECT_TRUE(sectionLines("ゲート3").contains(u8("通信区分=通信しない")));
    EXPECT_TRUE(sectionLines("ゲート4").isEmpty());
    EXPECT_FALSE(options().contains(u8("[ゲート4]")));
}

TEST_F(SettingsCatalogue, WritesTheBasicKeysOfAFreshFileInOrder)
{
    settings.startBand = 22;
    settings.endBand = 6;
    write();
    QStringList keys;
    for (const QString& line : sectionLines("基本設定"))
        keys << line.section(u'=', 0, 0);
    const char* expected[] = {
        "文字色",
        "背景色",
        "奇数文字色",
        "奇数背景色",
        "タイトル文字色",
        "タイトル背景色",
        "合計文字色",
        "合計背景色",
        "ウインドウ文字色",
        "ウインドウ背景色",
        "WindowLeft",
        "WindowTop",
        "WindowWidth",
        "WindowHeight",
        "WindowState",
        "画面サイズに最適化",
        "画面最大化時に最適化",
        "連続警告音抑止時間[秒]",
        "RF一時停止時間[秒]",
        "自動保存間隔[分]",
        "検知タグフォントサイズ(0で自動)",
        "時間帯別フォントサイズ(0で自動)",
        "総合計ラベル",
        "総合計桁数(0で自動)",
        "総合計カンマ表示",
        "XLSXテンプレートファイル",
        "書名取得プラグイン",
        "XLSX西暦出力",
        "XLSX作業用シート表示",
        "XLSX人数カウントシート表示",
        "XLSX選択シート名",
        "人数カウントシート名",
        "時間帯別シート名",
        "日別シート名",
        "月別シート名",
        "曜日別シート名",
        "年度別シート名",
        "Sheet1シート名",
        "Sheet2シート名",
        "中継サーバー",
        "人数カウントのみ",
        "人数カウントフィルター",
        "開始時間帯",
        "終了時間帯",
        "人数カウント出力フォルダ",
        "人数カウント出力ファイル名",
        "終了時人数カウントCSV出力",
        "終了時CSV出力範囲",
        "書名ファイル",
        "書名なしメッセージ",
        "書名なし文字色",
        "書名なし背景色",
        "出カウント切替",
        "外部タグ表示",
        "外部タグメッセージ",
        "外部タグ文字色",
        "図書館共通コード1",
        "接続確認コマンド発行間隔[分]",
        "ホストPC自動切断",
        "自動再接続",
        "ホストPC切断猶予時間[秒]",
        "ゲート未接続メッセージ",
    };
    QStringList expectedKeys;
    for (const char* key : expected)
        expectedKeys << u8(key);
    EXPECT_EQ(keys, expectedKeys);

    const QStringList lines = sectionLines("基本設定");
    for (const char* line : {"背景色=255,255,245", "WindowLeft=10", "WindowHeight=600", "WindowState=0",
                             "XLSXテンプレートファイル=\\pc_template.xlsx", "中継サーバー=ON", "開始時間帯=6",
                             "終了時間帯=22", "図書館共通コード1=26,2,123456,9", "人数カウント出力フォルダ="})
        EXPECT_TRUE(lines.contains(u8(line))) << line;
    EXPECT_EQ(settings.window, host.current);
    EXPECT_EQ(host.calls, QStringList({QStringLiteral("currentWindowGeometry"), QStringLiteral("Write_PC_file"),
                                       QStringLiteral("Write_DAY_file")}));
}

TEST_F(SettingsCatalogue, AMaximisedWindowWritesOnlyItsState)
{
    writeOptions("[基本設定]\r\nWindowLeft=3\r\nWindowWidth=640\r\n");
    host.current = WindowGeometry{1, 2, 3, 4, true};
    write();
    const QStringList lines = sectionLines("基本設定");
    EXPECT_TRUE(lines.contains(QStringLiteral("WindowState=1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("WindowLeft=3")));
    EXPECT_TRUE(lines.contains(QStringLiteral("WindowWidth=640")));
    EXPECT_FALSE(lines.contains(QStringLiteral("WindowTop=2")));
}

TEST_F(SettingsCatalogue, OptionalKeysAreUpdatedOnlyWhereTheFileHasThem)
{
    writeOptions(
        "[基本設定]\r\n人数カウントのみ=NO\r\n書名列=7\r\n[EEPROM監視設定]\r\nEEPROM復元=有効\r\n音声再生回数=3\r\n"
        "[ランプ常時点灯設定]\r\nランプ常時点灯モード有効時間=9:30\r\n");
    read();
    settings.titleColumn = 8;
    write();
    const QStringList basic = sectionLines("基本設定");
    EXPECT_TRUE(basic.contains(u8("書名列=8")));
    EXPECT_FALSE(basic.join(u'\n').contains(u8("資料コード列")));
    EXPECT_EQ(sectionLines("EEPROM監視設定"), QStringList({u8("EEPROM復元=有効"), u8("音声再生回数=1")}));
    EXPECT_EQ(sectionLines("ランプ常時点灯設定"), QStringList{u8("ランプ常時点灯モード有効時間=09:30")});
}

TEST_F(SettingsCatalogue, ResolvesPathsAndSplitsThePluginCommand)
{
    QDir(temp.path()).mkpath(QStringLiteral("plug in"));
    temp.write(QStringLiteral("plug in/get.exe"), QByteArray("x"));
    writeOptions("[基本設定]\r\nXLSXテンプレートファイル=folder\\file.xlsx\r\n書名ファイル=\\\\server\\share\\t.csv\r\n"
                 "書名取得プラグイン=\"\\plug in\\get.exe /db x\"\r\n");
    read();
    EXPECT_EQ(settings.xlsxTemplate.resolved, temp.file(QStringLiteral("folder/file.xlsx")));
    EXPECT_EQ(settings.titleFile.resolved, QStringLiteral("//server/share/t.csv"));
    EXPECT_EQ(settings.titlePluginProgram, temp.file(QStringLiteral("plug in/get.exe")));
    EXPECT_EQ(settings.titlePluginArguments, QStringLiteral("/db x"));

    write();
    const QStringList lines = sectionLines("基本設定");
    EXPECT_TRUE(lines.contains(u8("XLSXテンプレートファイル=folder\\file.xlsx")));
    EXPECT_TRUE(lines.contains(u8("書名取得プラグイン=\"\\plug in\\get.exe /db x\"")));
}

TEST_F(SettingsCatalogue, UnreadableFileGivesDefaultsAndStillSavesTheCounts)
{
    QDir(temp.path()).mkdir(QStringLiteral("options.ini"));
    read();
    EXPECT_EQ(host.calls, readCalls());
    EXPECT_EQ(settings.gates[0].name, u8("正面玄関ゲート(1通路)"));
    EXPECT_EQ(settings.endBand, 21);
    EXPECT_FALSE(settings.comments.fromFile);

    host.calls.clear();
    write();
    EXPECT_EQ(host.calls, QStringList({QStringLiteral("Write_PC_file"), QStringLiteral("Write_DAY_file")}));
    EXPECT_TRUE(QFileInfo(temp.file(QStringLiteral("options.ini"))).isDir());
}

TEST_F(SettingsCatalogue, ARecordWrittenAndReadBackIsUnchanged)
{
    // The device keys and the title columns are written only where the file has them.
    writeOptions("[基本設定]\r\n資料コード列=1\r\n書名列=1\r\n巻次列=1\r\n[EEPROM監視設定]\r\nEEPROM復元=\r\n"
                 "赤外線センサー動作モード=\r\n通過時の読み取り有効時間の倍率=\r\n音声再生回数=\r\n"
                 "クリア、終了前にログ出力=\r\n[ランプ常時点灯設定]\r\nランプ常時点灯モードの自動制御=\r\n"
                 "ランプ常時点灯モード有効時間=\r\nランプ常時点灯モード無効時間=\r\n");
    SettingsRecord& s = settings;
    s.colours = SettingsColours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, settingsColour(255, 128, 1)};
    s.relayServer = false;
    s.countOnly = false;
    s.countFilter = false;
    s.repeatAlarmSuppressSeconds = 7;
    s.rfPauseSeconds = 45;
    s.backupIntervalMinutes = 30;
    s.startBand = 9;
    s.endBand = 18;
    s.tagFontSize = 12;
    s.bandFontSize = 14;
    s.counterCaption = u8("来館者数");
    s.counterDigits = 6;
    s.counterComma = false;
    s.countOutputFolder = QStringLiteral("out put");
    s.countOutputFileName = QStringLiteral("c.csv");
    s.exitCsv = false;
    s.exitCsvRange = 3;
    s.xlsxTemplate.raw = QStringLiteral("\\t.xlsx");
    s.titlePlugin.raw = QStringLiteral("\\p.exe /x");
    s.xlsxWesternYears = true;
    s.xlsxShowWorkSheets = true;
    s.xlsxShowCountSheet = true;
    s.xlsxSelectedSheet = QStringLiteral("a");
    s.countSheetName = QStringLiteral("b");
    s.bandSheetName = QStringLiteral("c");
    s.daySheetName = QStringLiteral("d");
    s.monthSheetName = QStringLiteral("e");
    s.weekdaySheetName = QStringLiteral("f");
    s.fiscalYearSheetName = QStringLiteral("g");
    s.sheet1Name = QStringLiteral("h");
    s.sheet2Name = QStringLiteral("i \"j\"");
    s.titleFile.raw = QStringLiteral("t.csv");
    s.countExits = true;
    s.noTitleMessage = u8("なし");
    s.titleCodeColumn = 4;
    s.titleColumn = 5;
    s.volumeColumn = 0;
    s.showExternalTags = true;
    s.externalTagMessage = u8("外");
    s.libraryCodes.entries[0] = LibraryCode{10, 3, 42, 4, 8};
    s.libraryCodes.entries[31] = LibraryCode{11, 4, 43, 2, 12};
    s.libraryCodes.largestItemDigits = 12;
    s.connectCheckMinutes = 2;
    s.hostAutoDisconnect = false;
    s.autoReconnect = false;
    s.hostGraceSeconds = 20;
    s.unconnectedMessage = u8("切断");
    host.current = WindowGeometry{5, 6, 700, 800, false};
    s.fitLayout = false;
    s.fitLayoutMaximised = false;
    s.gates[0] =
        GateSlotSettings{QStringLiteral("A"), QStringLiteral("a"), true, QStringLiteral("127.0.0.1"), 9100, 9200};
    s.gates[4] = GateSlotSettings{QStringLiteral("E"), QString(), false, QStringLiteral("127.0.0.5"), 9101, 9201};
    s.eeprom = EepromWatchSettings{true, true, 5, 0, true, 9.0 / 24.0, 18.0 / 24.0};
    s.lamp = LampSettings{true, DayNumber::encodeTime(7, 5, 0), DayNumber::encodeTime(18, 30, 0)};
    write();
    const SettingsRecord written = settings;

    settings = SettingsRecord();
    read();
    SettingsRecord expected = written;
    for (int slot = 1; slot < kGateSlots; ++slot) {
        if (slot == 4)
            continue;
        expected.gates[slot].ipAddress = QStringLiteral("192.168.0.") + QString::number(slot + 1);
        expected.gates[slot].relayPort = 9004 + slot;
    }
    // Resolved paths and the carried comments are checked elsewhere.
    expected.xlsxTemplate.resolved = settings.xlsxTemplate.resolved;
    expected.titlePlugin.resolved = settings.titlePlugin.resolved;
    expected.titlePluginProgram = settings.titlePluginProgram;
    expected.titlePluginArguments = settings.titlePluginArguments;
    expected.titleFile.resolved = settings.titleFile.resolved;
    expected.comments = settings.comments;
    EXPECT_EQ(settings.colours, expected.colours);
    EXPECT_EQ(settings.libraryCodes, expected.libraryCodes);
    EXPECT_EQ(settings.eeprom, expected.eeprom);
    EXPECT_EQ(settings.lamp, expected.lamp);
    EXPECT_EQ(settings.window, expected.window);
    for (int slot = 0; slot < kGateSlots; ++slot)
        EXPECT_EQ(settings.gates[slot], expected.gates[slot]) << slot;
    EXPECT_EQ(settings, expected);
}
