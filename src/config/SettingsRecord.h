#pragma once

#include "config/WindowGeometry.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Every value of options.ini, read once at start-up by ReadIniFile and written back once at close by
// WriteIniFile. The initial values are the values a missing key gives. Comments name the key in the file.

inline constexpr int kGateSlots = 15;
inline constexpr int kLibraryCodes = 32;

// Colours are held as red + green * 256 + blue * 65536.
constexpr quint32 settingsColour(int red, int green, int blue)
{
    return static_cast<quint32>(red) | static_cast<quint32>(green) << 8 | static_cast<quint32>(blue) << 16;
}

// A path setting: the text as the file holds it (written back unchanged) and the path it names here.
struct PathSetting
{
    QString raw;
    QString resolved;

    bool operator==(const PathSetting&) const = default;
};

// Section "ゲート" + (slot + 1).
struct GateSlotSettings
{
    QString name;         // "名称"; a slot without a name is not configured
    QString shortName;    // "略称", the tab caption
    bool enabled = true;  // "通信区分" is exactly "通信する"
    QString ipAddress;    // "IPアドレス"; ReadIniFile gives a missing key the slot's default address
    int port = 9004;      // "ポート番号"
    int relayPort = 9004; // "中継ポート番号"; ReadIniFile gives a missing key 9004 + slot

    // Only an active slot gets a gate link.
    bool active() const { return !name.isEmpty() && enabled; }
    bool operator==(const GateSlotSettings&) const = default;
};

struct SettingsColours
{
    quint32 evenText = settingsColour(0, 0, 0);                // "文字色"
    quint32 evenBackground = settingsColour(255, 255, 245);    // "背景色"
    quint32 oddText = settingsColour(0, 0, 0);                 // "奇数文字色"
    quint32 oddBackground = settingsColour(255, 236, 221);     // "奇数背景色"
    quint32 titleText = settingsColour(0, 0, 0);               // "タイトル文字色"
    quint32 titleBackground = settingsColour(206, 238, 247);   // "タイトル背景色"
    quint32 totalText = settingsColour(0, 0, 0);               // "合計文字色"
    quint32 totalBackground = settingsColour(255, 238, 189);   // "合計背景色"
    quint32 windowText = settingsColour(0, 0, 0);              // "ウインドウ文字色"
    quint32 windowBackground = settingsColour(236, 246, 255);  // "ウインドウ背景色"
    quint32 noTitleText = settingsColour(0, 0, 0);             // "書名なし文字色"
    quint32 noTitleBackground = settingsColour(255, 255, 255); // "書名なし背景色"
    quint32 externalTagText = settingsColour(0, 0, 0);         // "外部タグ文字色"

    bool operator==(const SettingsColours&) const = default;
};

// One "図書館共通コード" + n entry; an item-code digit count of 0 marks a vacant entry.
struct LibraryCode
{
    int industry = 255;       // 8 bits; 255 also ends the table for matching
    int libraryType = 0;      // 4 bits
    int institution = 0;      // 20 bits
    int institutionWidth = 1; // digits the institution code was written with, 1..7
    int itemDigits = 0;       // 0..20

    bool operator==(const LibraryCode&) const = default;
};

struct LibraryCodeTable
{
    LibraryCode entries[kLibraryCodes] = {{26, 2, 123456, 6, 9}};
    int largestItemDigits = 9; // over all entries; sizes the item-code column

    bool operator==(const LibraryCodeTable&) const = default;
};

// Section "EEPROM監視設定".
struct EepromWatchSettings
{
    bool restore = false;        // "EEPROM復元" is exactly "有効"
    bool passageMode = false;    // "赤外線センサー動作モード" is anything but "入出用"
    quint8 readTimeFactor = 3;   // "通過時の読み取り有効時間の倍率"
    quint8 voiceCount = 1;       // "音声再生回数", 0 or 1
    bool logBeforeClear = false; // "クリア、終了前にログ出力" is exactly "有効"
    // Not keys: the whole hours of "開始時間帯" and "終了時間帯" as range-tested, before they are ordered.
    double watchStart = 8.0 / 24.0;
    double watchEnd = 21.0 / 24.0;

    bool operator==(const EepromWatchSettings&) const = default;
};

// Section "ランプ常時点灯設定"; times are fractions of a day.
struct LampSettings
{
    bool autoControl = false;     // "ランプ常時点灯モードの自動制御", exactly "YES"
    double onTime = 8.0 / 24.0;   // "ランプ常時点灯モード有効時間"
    double offTime = 17.0 / 24.0; // "ランプ常時点灯モード無効時間"

    bool operator==(const LampSettings&) const = default;
};

// Comment lines a user typed above keys, carried from ReadIniFile to WriteIniFile.
struct SettingsComments
{
    // Set when ReadIniFile could read the file: only then are the lists attached again, so a save never
    // wipes comments it did not see.
    bool fromFile = false;
    QMap<QString, QStringList> basicKeys; // "基本設定" keys that keep their comments, by key text
    QStringList gateSections[kGateSlots]; // above each "ゲート" + n header

    bool operator==(const SettingsComments&) const = default;
};

struct SettingsRecord
{
    // Section "基本設定".
    SettingsColours colours;
    bool relayServer = true; // "中継サーバー" ON/OFF
    bool countOnly = true;   // "人数カウントのみ"
    bool countFilter = true; // "人数カウントフィルター": 'G' replies are not passed to the host PC
    int repeatAlarmSuppressSeconds = 3; // "連続警告音抑止時間[秒]", 1..1000
    int rfPauseSeconds = 300;           // "RF一時停止時間[秒]", at least 1
    int backupIntervalMinutes = 5;      // "自動保存間隔[分]", 1..120; the timer runs value x 6000 ms
    int startBand = 8;                  // "開始時間帯", 0..23, never above endBand
    int endBand = 21;                   // "終了時間帯", 0..23
    int tagFontSize = 0;  // "検知タグフォントサイズ(0で自動)": 0 automatic, else at least 11
    int bandFontSize = 0; // "時間帯別フォントサイズ(0で自動)": 0 automatic, else at least 11
    QString counterCaption = QStringLiteral("入館者数"); // "総合計ラベル"
    int counterDigits = 0;                               // "総合計桁数(0で自動)", 0..8
    bool counterComma = true;                            // "総合計カンマ表示"
    QString countOutputFolder;                           // "人数カウント出力フォルダ", raw text
    QString countOutputFileName = QStringLiteral("人数カウント.CSV"); // "人数カウント出力ファイル名"
    bool exitCsv = true;                                              // "終了時人数カウントCSV出力"
    int exitCsvRange = 1;                                             // "終了時CSV出力範囲"
    PathSetting xlsxTemplate{QStringLiteral("\\pc_template.xlsx"), QString()}; // "XLSXテンプレートファイル"
    PathSetting titlePlugin{QStringLiteral("\\plugin\\GetBookName.exe"), QString()}; // "書名取得プラグイン"
    QString titlePluginProgram;      // "書名取得プラグイン" resolved, up to the arguments
    QString titlePluginArguments;    // the rest of it
    bool xlsxWesternYears = false;   // "XLSX西暦出力"
    bool xlsxShowWorkSheets = false; // "XLSX作業用シート表示"
    bool xlsxShowCountSheet = false; // "XLSX人数カウントシート表示"
    QString xlsxSelectedSheet = QStringLiteral("時間帯別");                    // "XLSX選択シート名"
    QString countSheetName = QStringLiteral("人数カウント");                   // "人数カウントシート名"
    QString bandSheetName = QStringLiteral("時間帯別");                        // "時間帯別シート名"
    QString daySheetName = QStringLiteral("日別");                             // "日別シート名"
    QString monthSheetName = QStringLiteral("月別");                           // "月別シート名"
    QString weekdaySheetName = QStringLiteral("曜日別");                       // "曜日別シート名"
    QString fiscalYearSheetName = QStringLiteral("年度別");                    // "年度別シート名"
    QString sheet1Name = QStringLiteral("Sheet1");                             // "Sheet1シート名"
    QString sheet2Name = QStringLiteral("Sheet2");                             // "Sheet2シート名"
    PathSetting titleFile{QStringLiteral("書名.csv"), QString()};              // "書名ファイル"
    bool countExits = false;                                                   // "出カウント切替", exactly "YES"
    QString noTitleMessage = QStringLiteral("【書名ファイルにない資料です】"); // "書名なしメッセージ"
    int titleCodeColumn = 1;       // "資料コード列" (read only outside count-only mode)
    int titleColumn = 2;           // "書名列"
    int volumeColumn = 3;          // "巻次列", 0 = none
    bool showExternalTags = false; // "外部タグ表示"
    QString externalTagMessage = QStringLiteral("外部のICを検知"); // "外部タグメッセージ"
    LibraryCodeTable libraryCodes;  // "図書館共通コード1" .. "図書館共通コード32"
    int connectCheckMinutes = 1;    // "接続確認コマンド発行間隔[分]"
    bool hostAutoDisconnect = true; // "ホストPC自動切断"
    bool autoReconnect = true;      // "自動再接続"
    int hostGraceSeconds = 10;      // "ホストPC切断猶予時間[秒]", 0..60
    QString unconnectedMessage = QStringLiteral("未接続"); // "ゲート未接続メッセージ"
    WindowGeometry window;          // "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight", "WindowState"
    bool fitLayout = true;          // "画面サイズに最適化"
    bool fitLayoutMaximised = true; // "画面最大化時に最適化"

    GateSlotSettings gates[kGateSlots];
    EepromWatchSettings eeprom;
    LampSettings lamp;
    SettingsComments comments;

    bool operator==(const SettingsRecord&) const = default;
};
