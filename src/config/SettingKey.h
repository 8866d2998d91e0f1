#pragma once

#include <QString>

// One key of options.ini: its text and whether the comment lines above it are carried from
// ReadIniFile to WriteIniFile.
struct SettingKey
{
    const char16_t* text;
    bool keepsComment;

    QString name() const { return QString::fromUtf16(text); }
};

// The keys of options.ini, exactly as the file spells them.
namespace SettingsKeys {

inline constexpr bool kKept = true;
inline constexpr bool kNotKept = false;

// Section "基本設定".
inline constexpr const char16_t* kBasicSection = u"基本設定";
inline constexpr SettingKey kEvenText{u"文字色", kKept};
inline constexpr SettingKey kEvenBackground{u"背景色", kKept};
inline constexpr SettingKey kOddText{u"奇数文字色", kKept};
inline constexpr SettingKey kOddBackground{u"奇数背景色", kKept};
inline constexpr SettingKey kTitleText{u"タイトル文字色", kKept};
inline constexpr SettingKey kTitleBackground{u"タイトル背景色", kKept};
inline constexpr SettingKey kTotalText{u"合計文字色", kKept};
inline constexpr SettingKey kTotalBackground{u"合計背景色", kKept};
inline constexpr SettingKey kWindowText{u"ウインドウ文字色", kKept};
inline constexpr SettingKey kWindowBackground{u"ウインドウ背景色", kKept};
inline constexpr SettingKey kRelayServer{u"中継サーバー", kKept};
inline constexpr SettingKey kCountOnly{u"人数カウントのみ", kKept};
inline constexpr SettingKey kCountFilter{u"人数カウントフィルター", kKept};
inline constexpr SettingKey kRepeatAlarmSuppress{u"連続警告音抑止時間[秒]", kKept};
inline constexpr SettingKey kRfPause{u"RF一時停止時間[秒]", kKept};
inline constexpr SettingKey kBackupInterval{u"自動保存間隔[分]", kKept};
inline constexpr SettingKey kStartBand{u"開始時間帯", kKept};
inline constexpr SettingKey kEndBand{u"終了時間帯", kKept};
inline constexpr SettingKey kTagFontSize{u"検知タグフォントサイズ(0で自動)", kNotKept};
inline constexpr SettingKey kBandFontSize{u"時間帯別フォントサイズ(0で自動)", kNotKept};
inline constexpr SettingKey kCounterCaption{u"総合計ラベル", kKept};
inline constexpr SettingKey kCounterDigits{u"総合計桁数(0で自動)", kKept};
inline constexpr SettingKey kCounterComma{u"総合計カンマ表示", kKept};
inline constexpr SettingKey kCountOutputFolder{u"人数カウント出力フォルダ", kKept};
inline constexpr SettingKey kCountOutputFileName{u"人数カウント出力ファイル名", kKept};
inline constexpr SettingKey kExitCsv{u"終了時人数カウントCSV出力", kKept};
inline constexpr SettingKey kExitCsvRange{u"終了時CSV出力範囲", kKept};
inline constexpr SettingKey kXlsxTemplate{u"XLSXテンプレートファイル", kKept};
inline constexpr SettingKey kTitlePlugin{u"書名取得プラグイン", kKept};
inline constexpr SettingKey kXlsxWesternYears{u"XLSX西暦出力", kKept};
inline constexpr SettingKey kXlsxShowWorkSheets{u"XLSX作業用シート表示", kKept};
inline constexpr SettingKey kXlsxShowCountSheet{u"XLSX人数カウントシート表示", kKept};
inline constexpr SettingKey kXlsxSelectedSheet{u"XLSX選択シート名", kKept};
inline constexpr SettingKey kCountSheetName{u"人数カウントシート名", kNotKept};
inline constexpr SettingKey kBandSheetName{u"時間帯別シート名", kKept};
inline constexpr SettingKey kDaySheetName{u"日別シート名", kNotKept};
inline constexpr SettingKey kMonthSheetName{u"月別シート名", kNotKept};
inline constexpr SettingKey kWeekdaySheetName{u"曜日別シート名", kNotKept};
inline constexpr SettingKey kFiscalYearSheetName{u"年度別シート名", kNotKept};
inline constexpr SettingKey kSheet1Name{u"Sheet1シート名", kNotKept};
inline constexpr SettingKey kSheet2Name{u"Sheet2シート名", kNotKept};
inline constexpr SettingKey kTitleFile{u"書名ファイル", kKept};
inline constexpr SettingKey kCountExits{u"出カウント切替", kNotKept};
inline constexpr SettingKey kNoTitleMessage{u"書名なしメッセージ", kKept};
inline constexpr SettingKey kNoTitleText{u"書名なし文字色", kKept};
inline constexpr SettingKey kNoTitleBackground{u"書名なし背景色", kKept};
inline constexpr SettingKey kTitleCodeColumn{u"資料コード列", kKept};
inline constexpr SettingKey kTitleColumn{u"書名列", kKept};
inline constexpr SettingKey kVolumeColumn{u"巻次列", kKept};
inline constexpr SettingKey kShowExternalTags{u"外部タグ表示", kKept};
inline constexpr SettingKey kExternalTagMessage{u"外部タグメッセージ", kKept};
inline constexpr SettingKey kExternalTagText{u"外部タグ文字色", kKept};
inline constexpr const char16_t* kLibraryCodePrefix = u"図書館共通コード"; // followed by 1..32
inline constexpr SettingKey kConnectCheckInterval{u"接続確認コマンド発行間隔[分]", kKept};
inline constexpr SettingKey kHostAutoDisconnect{u"ホストPC自動切断", kKept};
inline constexpr SettingKey kAutoReconnect{u"自動再接続", kKept};
inline constexpr SettingKey kHostGrace{u"ホストPC切断猶予時間[秒]", kKept};
inline constexpr SettingKey kUnconnectedMessage{u"ゲート未接続メッセージ", kKept};
inline constexpr SettingKey kWindowLeft{u"WindowLeft", kKept};
inline constexpr SettingKey kWindowTop{u"WindowTop", kKept};
inline constexpr SettingKey kWindowWidth{u"WindowWidth", kKept};
inline constexpr SettingKey kWindowHeight{u"WindowHeight", kKept};
inline constexpr SettingKey kWindowState{u"WindowState", kNotKept};
inline constexpr SettingKey kFitLayout{u"画面サイズに最適化", kKept};
inline constexpr SettingKey kFitLayoutMaximised{u"画面最大化時に最適化", kKept};

// Sections "ゲート1" .. "ゲート15".
inline constexpr const char16_t* kGateSectionPrefix = u"ゲート";
inline constexpr SettingKey kGateName{u"名称", kNotKept};
inline constexpr SettingKey kGateShortName{u"略称", kNotKept};
inline constexpr SettingKey kGateCommunication{u"通信区分", kNotKept};
inline constexpr SettingKey kGateIpAddress{u"IPアドレス", kNotKept};
inline constexpr SettingKey kGatePort{u"ポート番号", kNotKept};
inline constexpr SettingKey kGateRelayPort{u"中継ポート番号", kNotKept};

// Section "EEPROM監視設定".
inline constexpr const char16_t* kEepromSection = u"EEPROM監視設定";
inline constexpr SettingKey kEepromRestore{u"EEPROM復元", kNotKept};
inline constexpr SettingKey kEepromSensorMode{u"赤外線センサー動作モード", kNotKept};
inline constexpr SettingKey kEepromReadTimeFactor{u"通過時の読み取り有効時間の倍率", kNotKept};
inline constexpr SettingKey kEepromVoiceCount{u"音声再生回数", kNotKept};
inline constexpr SettingKey kEepromLogBeforeClear{u"クリア、終了前にログ出力", kNotKept};

// Section "ランプ常時点灯設定".
inline constexpr const char16_t* kLampSection = u"ランプ常時点灯設定";
inline constexpr SettingKey kLampAutoControl{u"ランプ常時点灯モードの自動制御", kNotKept};
inline constexpr SettingKey kLampOnTime{u"ランプ常時点灯モード有効時間", kNotKept};
inline constexpr SettingKey kLampOffTime{u"ランプ常時点灯モード無効時間", kNotKept};

} // namespace SettingsKeys
