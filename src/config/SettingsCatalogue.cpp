#include "config/SettingsCatalogue.h"

#include "config/ENkMemIniFileError.h"
#include "config/LibraryCodeText.h"
#include "config/PluginCommand.h"
#include "config/SettingKey.h"
#include "config/SettingsSectionReader.h"
#include "config/SettingsSectionWriter.h"
#include "config/TNkMemIniFile.h"
#include "platform/Clock.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/PathRules.h"
#include "platform/SafeFile.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <utility>

using namespace SettingsKeys;

namespace {

const QString kBasic = QString::fromUtf16(kBasicSection);
const QString kEeprom = QString::fromUtf16(kEepromSection);
const QString kLamp = QString::fromUtf16(kLampSection);
const QString kCommunicate = QStringLiteral("通信する");
const QString kNoCommunicate = QStringLiteral("通信しない");
const QString kEnabled = QStringLiteral("有効");
const QString kDisabled = QStringLiteral("無効");
const QString kEntryExitMode = QStringLiteral("入出用");
const QString kPassageMode = QStringLiteral("通過用");

// Slot 0 always has a name, so the program always has at least one configured gate.
const QString kFirstGateName = QStringLiteral("正面玄関ゲート(1通路)");
const QString kFirstGateShortName = QStringLiteral("正面玄関ゲート");

// Normalisation of the integer keys, applied as each key is read.
int normaliseRepeatAlarmSuppress(int v)
{
    return (v < 1 || v > 1000) ? 3 : v;
}
int normaliseRfPause(int v)
{
    return v < 1 ? 300 : v;
}
int normaliseBackupInterval(int v)
{
    return v < 1 ? 5 : std::min(v, 120);
}
int normaliseStartBand(int v)
{
    return (v < 0 || v > 23) ? 8 : v;
}
int normaliseEndBand(int v)
{
    return (v < 0 || v > 23) ? 21 : v;
}
// 0 means automatic; a font smaller than 11 is not readable in the grids.
int normaliseFontSize(int v)
{
    return v < 1 ? 0 : (v <= 10 ? 11 : v);
}
int normaliseCounterDigits(int v)
{
    return v < 0 ? 4 : std::min(v, 8);
}
int normaliseHostGrace(int v)
{
    return v < 0 ? 10 : std::min(v, 60);
}

// Ranges the two band hours and puts them in order.
void normaliseBands(int& startBand, int& endBand)
{
    startBand = normaliseStartBand(startBand);
    endBand = normaliseEndBand(endBand);
    if (endBand < startBand)
        std::swap(startBand, endBand);
}

QString optionsPath(const IniFileContext& context)
{
    return PathRules::join(context.dataFolder, QStringLiteral("options.ini"));
}

QString gateSection(int slot)
{
    return QString::fromUtf16(kGateSectionPrefix) + QString::number(slot + 1);
}

QString libraryCodeKey(int entry)
{
    return QString::fromUtf16(kLibraryCodePrefix) + QString::number(entry + 1);
}

PathSetting readPath(SettingsSectionReader& reader, const SettingKey& key, const QString& fallback,
                     const IniFileContext& context)
{
    const QString raw = reader.text(key, fallback);
    return PathSetting{raw, PathRules::resolve(raw, context.dataFolder, context.documentsFolder)};
}

// Step 1: the count files were last saved when "pc_gate.dat" was last written.
double lastSaveTime(const IniFileContext& context)
{
    const QFileInfo eventFile(PathRules::join(context.dataFolder, QStringLiteral("pc_gate.dat")));
    return eventFile.exists() ? DayNumber::fromDateTime(eventFile.lastModified()) : context.clock->now();
}

void readLibraryCodes(SettingsSectionReader& reader, LibraryCodeTable& table)
{
    const LibraryCodeTable defaults;
    table.largestItemDigits = 0;
    for (int entry = 0; entry < kLibraryCodes; ++entry) {
        const QString text = reader.text(libraryCodeKey(entry), QString());
        const std::optional<LibraryCode> code = text.isEmpty() ? std::nullopt : LibraryCodeText::parse(text);
        table.entries[entry] = code.value_or(entry == 0 ? defaults.entries[0] : LibraryCode{});
        table.largestItemDigits = std::max(table.largestItemDigits, table.entries[entry].itemDigits);
    }
}

void readBasicSettings(SettingsSectionReader& r, SettingsRecord& s, const IniFileContext& context)
{
    const SettingsRecord d;
    s.colours.evenText = r.colour(kEvenText, d.colours.evenText);
    s.colours.evenBackground = r.colour(kEvenBackground, d.colours.evenBackground);
    s.colours.oddText = r.colour(kOddText, d.colours.oddText);
    s.colours.oddBackground = r.colour(kOddBackground, d.colours.oddBackground);
    s.colours.titleText = r.colour(kTitleText, d.colours.titleText);
    s.colours.titleBackground = r.colour(kTitleBackground, d.colours.titleBackground);
    s.colours.totalText = r.colour(kTotalText, d.colours.totalText);
    s.colours.totalBackground = r.colour(kTotalBackground, d.colours.totalBackground);
    s.colours.windowText = r.colour(kWindowText, d.colours.windowText);
    s.colours.windowBackground = r.colour(kWindowBackground, d.colours.windowBackground);
    s.relayServer = r.onOff(kRelayServer, d.relayServer);
    s.countOnly = r.yesNo(kCountOnly, d.countOnly);
    s.countFilter = r.yesNo(kCountFilter, d.countFilter);
    s.repeatAlarmSuppressSeconds =
        normaliseRepeatAlarmSuppress(r.integer(kRepeatAlarmSuppress, d.repeatAlarmSuppressSeconds));
    s.rfPauseSeconds = normaliseRfPause(r.integer(kRfPause, d.rfPauseSeconds));
    s.backupIntervalMinutes = normaliseBackupInterval(r.integer(kBackupInterval, d.backupIntervalMinutes));
    s.startBand = normaliseStartBand(r.integer(kStartBand, d.startBand));
    s.endBand = normaliseEndBand(r.integer(kEndBand, d.endBand));
    // The EEPROM watch runs from the first to the last band hour as the user wrote them.
    s.eeprom.watchStart = DayNumber::encodeTime(s.startBand, 0, 0);
    s.eeprom.watchEnd = DayNumber::encodeTime(s.endBand, 0, 0);
    normaliseBands(s.startBand, s.endBand);
    s.tagFontSize = normaliseFontSize(r.integer(kTagFontSize, d.tagFontSize));
    s.bandFontSize = normaliseFontSize(r.integer(kBandFontSize, d.bandFontSize));
    s.counterCaption = r.text(kCounterCaption, d.counterCaption);
    s.counterDigits = normaliseCounterDigits(r.integer(kCounterDigits, d.counterDigits));
    s.counterComma = r.yesNo(kCounterComma, d.counterComma);
    s.countOutputFolder = r.text(kCountOutputFolder, d.countOutputFolder);
    s.countOutputFileName = r.text(kCountOutputFileName, d.countOutputFileName);
    s.exitCsv = r.yesNo(kExitCsv, d.exitCsv);
    s.exitCsvRange = r.integer(kExitCsvRange, d.exitCsvRange);
    s.xlsxTemplate = readPath(r, kXlsxTemplate, d.xlsxTemplate.raw, context);
    s.titlePlugin = readPath(r, kTitlePlugin, d.titlePlugin.raw, context);
    const PluginCommand plugin = PluginCommand::split(s.titlePlugin.resolved);
    s.titlePluginProgram = plugin.program;
    s.titlePluginArguments = plugin.arguments;
    s.xlsxWesternYears = r.yesNo(kXlsxWesternYears, d.xlsxWesternYears);
    s.xlsxShowWorkSheets = r.yesNo(kXlsxShowWorkSheets, d.xlsxShowWorkSheets);
    s.xlsxShowCountSheet = r.yesNo(kXlsxShowCountSheet, d.xlsxShowCountSheet);
    s.xlsxSelectedSheet = r.text(kXlsxSelectedSheet, d.xlsxSelectedSheet);
    s.countSheetName = r.text(kCountSheetName, d.countSheetName);
    s.bandSheetName = r.text(kBandSheetName, d.bandSheetName);
    s.daySheetName = r.text(kDaySheetName, d.daySheetName);
    s.monthSheetName = r.text(kMonthSheetName, d.monthSheetName);
    s.weekdaySheetName = r.text(kWeekdaySheetName, d.weekdaySheetName);
    s.fiscalYearSheetName = r.text(kFiscalYearSheetName, d.fiscalYearSheetName);
    s.sheet1Name = r.text(kSheet1Name, d.sheet1Name);
    s.sheet2Name = r.text(kSheet2Name, d.sheet2Name);
    s.titleFile = readPath(r, kTitleFile, d.titleFile.raw, context);
    s.countExits = r.yesNoExact(kCountExits, d.countExits);
    s.noTitleMessage = r.text(kNoTitleMessage, d.noTitleMessage);
    s.colours.noTitleText = r.colour(kNoTitleText, d.colours.noTitleText);
    s.colours.noTitleBackground = r.colour(kNoTitleBackground, d.colours.noTitleBackground);
    if (!s.countOnly) {
        const int codeColumn = r.integer(kTitleCodeColumn, d.titleCodeColumn);
        const int titleColumn = r.integer(kTitleColumn, d.titleColumn);
        s.titleCodeColumn = codeColumn == 0 ? d.titleCodeColumn : codeColumn;
        s.titleColumn = titleColumn == 0 ? d.titleColumn : titleColumn;
        s.volumeColumn = r.integer(kVolumeColumn, d.volumeColumn);
    }
    s.showExternalTags = r.yesNo(kShowExternalTags, d.showExternalTags);
    s.externalTagMessage = r.text(kExternalTagMessage, d.externalTagMessage);
    s.colours.externalTagText = r.colour(kExternalTagText, d.colours.externalTagText);
    readLibraryCodes(r, s.libraryCodes);
    s.connectCheckMinutes = r.integer(kConnectCheckInterval, d.connectCheckMinutes);
    s.hostAutoDisconnect = r.yesNo(kHostAutoDisconnect, d.hostAutoDisconnect);
    s.autoReconnect = r.yesNo(kAutoReconnect, d.autoReconnect);
    s.hostGraceSeconds = normaliseHostGrace(r.integer(kHostGrace, d.hostGraceSeconds));
    s.unconnectedMessage = r.text(kUnconnectedMessage, d.unconnectedMessage);
}

void readGateSlot(const TNkMemIniFile& ini, int slot, SettingsRecord& s, IniFileHost& host)
{
    const QString section = gateSection(slot);
    SettingsSectionReader r(ini, section, nullptr);
    GateSlotSettings& gate = s.gates[slot];
    s.comments.gateSections[slot] = ini.sectionComment(section);
    gate.name = r.text(kGateName, QString());
    gate.shortName = r.text(kGateShortName, QString());
    if (slot == 0 && gate.name.isEmpty()) {
        gate.name = kFirstGateName;
        gate.shortName = kFirstGateShortName;
    }
    host.ComponentInit(slot);
    gate.enabled = r.text(kGateCommunication, kCommunicate) == kCommunicate;
    gate.ipAddress = r.text(kGateIpAddress, QStringLiteral("192.168.0.") + QString::number(slot + 1));
    gate.port = r.integer(kGatePort, 9004);
    gate.relayPort = r.integer(kGateRelayPort, 9004 + slot);
}

void readWindowGeometry(SettingsSectionReader& r, SettingsRecord& s)
{
    const SettingsRecord d;
    s.window.left = r.integer(kWindowLeft, d.window.left);
    s.window.top = r.integer(kWindowTop, d.window.top);
    s.window.width = r.integer(kWindowWidth, d.window.width);
    s.window.height = r.integer(kWindowHeight, d.window.height);
    s.window.maximised = r.text(kWindowState, QStringLiteral("0")) == QStringLiteral("1");
    s.fitLayout = r.yesNo(kFitLayout, d.fitLayout);
    s.fitLayoutMaximised = r.yesNo(kFitLayoutMaximised, d.fitLayoutMaximised);
}

void readDeviceSections(const TNkMemIniFile& ini, SettingsRecord& s)
{
    const SettingsRecord d;
    SettingsSectionReader eeprom(ini, kEeprom, nullptr);
    s.eeprom.restore = eeprom.text(kEepromRestore, kDisabled) == kEnabled;
    s.eeprom.passageMode = eeprom.text(kEepromSensorMode, kEntryExitMode) != kEntryExitMode;
    s.eeprom.readTimeFactor = static_cast<quint8>(eeprom.integer(kEepromReadTimeFactor, d.eeprom.readTimeFactor));
    s.eeprom.voiceCount = eeprom.integer(kEepromVoiceCount, d.eeprom.voiceCount) != 0 ? 1 : 0;
    s.eeprom.logBeforeClear = eeprom.text(kEepromLogBeforeClear, kDisabled) == kEnabled;

    SettingsSectionReader lamp(ini, kLamp, nullptr);
    s.lamp.autoControl = lamp.yesNoExact(kLampAutoControl, d.lamp.autoControl);
    s.lamp.onTime = lamp.timeOfDay(kLampOnTime, d.lamp.onTime);
    s.lamp.offTime = lamp.timeOfDay(kLampOffTime, d.lamp.offTime);
}

// A settings file that exists but cannot be read is treated as empty, so every key takes its default.
TNkMemIniFile openForReading(const QString& path, bool& loaded)
{
    try {
        loaded = true;
        return TNkMemIniFile(path);
    } catch (const ENkMemIniFileError& error) {
        qWarning("settings not read: %s", qUtf8Printable(error.message()));
        loaded = false;
        return TNkMemIniFile();
    }
}

void writeBasicSettings(TNkMemIniFile& ini, SettingsRecord& s, IniFileHost& host)
{
    SettingsSectionWriter w(ini, kBasic, s.comments.fromFile ? &s.comments.basicKeys : nullptr);
    w.colour(kEvenText, s.colours.evenText);
    w.colour(kEvenBackground, s.colours.evenBackground);
    w.colour(kOddText, s.colours.oddText);
    w.colour(kOddBackground, s.colours.oddBackground);
    w.colour(kTitleText, s.colours.titleText);
    w.colour(kTitleBackground, s.colours.titleBackground);
    w.colour(kTotalText, s.colours.totalText);
    w.colour(kTotalBackground, s.colours.totalBackground);
    w.colour(kWindowText, s.colours.windowText);
    w.colour(kWindowBackground, s.colours.windowBackground);
    s.window = host.currentWindowGeometry();
    if (s.window.maximised) {
        w.text(kWindowState, QStringLiteral("1"));
    } else {
        w.integer(kWindowLeft, s.window.left);
        w.integer(kWindowTop, s.window.top);
        w.integer(kWindowWidth, s.window.width);
        w.integer(kWindowHeight, s.window.height);
        w.text(kWindowState, QStringLiteral("0"));
    }
    w.yesNo(kFitLayout, s.fitLayout);
    w.yesNo(kFitLayoutMaximised, s.fitLayoutMaximised);
    w.integer(kRepeatAlarmSuppress, s.repeatAlarmSuppressSeconds);
    w.integer(kRfPause, s.rfPauseSeconds);
    w.integer(kBackupInterval, s.backupIntervalMinutes);
    w.integer(kTagFontSize, s.tagFontSize);
    w.integer(kBandFontSize, s.bandFontSize);
    w.text(kCounterCaption, s.counterCaption);
    w.integer(kCounterDigits, s.counterDigits);
    w.yesNo(kCounterComma, s.counterComma);
    w.text(kXlsxTemplate, s.xlsxTemplate.raw);
    w.text(kTitlePlugin, s.titlePlugin.raw);
    w.yesNo(kXlsxWesternYears, s.xlsxWesternYears);
    if (!s.countOnly) {
        w.integerIfPresent(kTitleCodeColumn, s.titleCodeColumn);
        w.integerIfPresent(kTitleColumn, s.titleColumn);
        w.integerIfPresent(kVolumeColumn, s.volumeColumn);
    }
    w.yesNo(kXlsxShowWorkSheets, s.xlsxShowWorkSheets);
    w.yesNo(kXlsxShowCountSheet, s.xlsxShowCountSheet);
    w.text(kXlsxSelectedSheet, s.xlsxSelectedSheet);
    w.text(kCountSheetName, s.countSheetName);
    w.text(kBandSheetName, s.bandSheetName);
    w.text(kDaySheetName, s.daySheetName);
    w.text(kMonthSheetName, s.monthSheetName);
    w.text(kWeekdaySheetName, s.weekdaySheetName);
    w.text(kFiscalYearSheetName, s.fiscalYearSheetName);
    w.text(kSheet1Name, s.sheet1Name);
    w.text(kSheet2Name, s.sheet2Name);
    w.onOff(kRelayServer, s.relayServer);
    w.yesNo(kCountOnly, s.countOnly);
    w.yesNo(kCountFilter, s.countFilter);
    normaliseBands(s.startBand, s.endBand);
    w.integer(kStartBand, s.startBand);
    w.integer(kEndBand, s.endBand);
    w.text(kCountOutputFolder, s.countOutputFolder);
    w.text(kCountOutputFileName, s.countOutputFileName);
    w.yesNo(kExitCsv, s.exitCsv);
    w.integer(kExitCsvRange, s.exitCsvRange);
    w.text(kTitleFile, s.titleFile.raw);
    w.text(kNoTitleMessage, s.noTitleMessage);
    w.colour(kNoTitleText, s.colours.noTitleText);
    w.colour(kNoTitleBackground, s.colours.noTitleBackground);
    w.yesNo(kCountExits, s.countExits);
    w.yesNo(kShowExternalTags, s.showExternalTags);
    w.text(kExternalTagMessage, s.externalTagMessage);
    w.colour(kExternalTagText, s.colours.externalTagText);
    // Vacant entries are neither written nor removed, so their lines stay as the user left them.
    for (int entry = 0; entry < kLibraryCodes; ++entry) {
        const LibraryCode& code = s.libraryCodes.entries[entry];
        if (code.itemDigits != 0)
            w.text(libraryCodeKey(entry), LibraryCodeText::format(code));
    }
    w.integer(kConnectCheckInterval, s.connectCheckMinutes);
    w.yesNo(kHostAutoDisconnect, s.hostAutoDisconnect);
    w.yesNo(kAutoReconnect, s.autoReconnect);
    w.integer(kHostGrace, s.hostGraceSeconds);
    w.text(kUnconnectedMessage, s.unconnectedMessage);
}

// Only configured slots are written; the section of a slot without a name keeps what the file holds.
void writeGateSections(TNkMemIniFile& ini, const SettingsRecord& s)
{
    for (int slot = 0; slot < kGateSlots; ++slot) {
        const GateSlotSettings& gate = s.gates[slot];
        if (gate.name.isEmpty())
            continue;
        const QString section = gateSection(slot);
        SettingsSectionWriter w(ini, section, nullptr);
        w.text(kGateName, gate.name);
        w.text(kGateShortName, gate.shortName);
        w.text(kGateCommunication, gate.enabled ? kCommunicate : kNoCommunicate);
        w.text(kGateIpAddress, gate.ipAddress);
        w.integer(kGatePort, gate.port);
        w.integer(kGateRelayPort, gate.relayPort);
        if (s.comments.fromFile)
            ini.setSectionComment(section, s.comments.gateSections[slot]);
    }
}

// The device sections are the user's to add: only keys the file already holds are written.
void writeDeviceSections(TNkMemIniFile& ini, const SettingsRecord& s)
{
    SettingsSectionWriter eeprom(ini, kEeprom, nullptr);
    eeprom.textIfPresent(kEepromRestore, s.eeprom.restore ? kEnabled : kDisabled);
    eeprom.textIfPresent(kEepromSensorMode, s.eeprom.passageMode ? kPassageMode : kEntryExitMode);
    eeprom.textIfPresent(kEepromVoiceCount, QString::number(s.eeprom.voiceCount));
    eeprom.textIfPresent(kEepromReadTimeFactor, QString::number(s.eeprom.readTimeFactor));
    eeprom.textIfPresent(kEepromLogBeforeClear, s.eeprom.logBeforeClear ? kEnabled : kDisabled);

    SettingsSectionWriter lamp(ini, kLamp, nullptr);
    lamp.textIfPresent(kLampAutoControl, s.lamp.autoControl ? QStringLiteral("YES") : QStringLiteral("NO"));
    lamp.textIfPresent(kLampOnTime, DayNumber::toTime(s.lamp.onTime).toString(QStringLiteral("HH:mm")));
    lamp.textIfPresent(kLampOffTime, DayNumber::toTime(s.lamp.offTime).toString(QStringLiteral("HH:mm")));
}

} // namespace

void ReadIniFile(SettingsRecord& settings, const IniFileContext& context, IniFileHost& host)
{
    const double lastSave = lastSaveTime(context);
    const QString path = optionsPath(context);
    if (!QFileInfo::exists(path) && !WriteDefaultIniFile(path))
        qWarning("default settings not written: %s", qUtf8Printable(path));
    bool loaded = false;
    const TNkMemIniFile ini = openForReading(path, loaded);
    settings.comments.fromFile = loaded;

    SettingsSectionReader basic(ini, kBasic, &settings.comments.basicKeys);
    readBasicSettings(basic, settings, context);
    for (int slot = 0; slot < kGateSlots; ++slot)
        readGateSlot(ini, slot, settings, host);
    readWindowGeometry(basic, settings);
    host.applyWindowGeometry(settings.window);

    host.Read_PC_file();
    if (DayNumber::toDate(context.clock->now()) != DayNumber::toDate(lastSave))
        host.emptyEventLog();
    readDeviceSections(ini, settings);
    host.Read_DAY_file();
}

void WriteIniFile(SettingsRecord& settings, const IniFileContext& context, IniFileHost& host)
{
    std::optional<TNkMemIniFile> ini;
    try {
        ini.emplace(optionsPath(context));
        writeBasicSettings(*ini, settings, host);
    } catch (const ENkMemIniFileError& error) {
        qWarning("settings not saved: %s", qUtf8Printable(error.message()));
        ini.reset();
    }
    // The counts are saved whatever became of the settings.
    host.Write_PC_file();
    host.Write_DAY_file();
    if (!ini)
        return;
    try {
        writeGateSections(*ini, settings);
        writeDeviceSections(*ini, settings);
        ini->UpdateFile();
    } catch (const ENkMemIniFileError& error) {
        qWarning("settings not saved: %s", qUtf8Printable(error.message()));
    }
}

bool WriteDefaultIniFile(const QString& path)
{
    static const char16_t* const kLines[] = {
        u"[基本設定]",
        u"",
        u"WindowLeft=0",
        u"WindowTop=0",
        u"WindowWidth=0",
        u"WindowHeight=0",
        u"WindowState=1",
        u"ゲート未接続メッセージ=ゲート未接続",
        u"自動再接続=YES",
        u"開始時間帯=8",
        u"終了時間帯=17",
        u"XLSXテンプレートファイル=pc_template.xlsx",
        u"",
        u"[ゲート1]",
        u"",
        u"名称=正面玄関ゲート(1通路)",
        u"略称=正面玄関ゲート",
        u"通信区分=通信する",
        u"IPアドレス=192.168.0.1",
        u"ポート番号=9004",
        u"中継ポート番号=9004",
    };
    QString text;
    for (const char16_t* line : kLines)
        text += QString::fromUtf16(line) + QStringLiteral("\r\n");
    const QByteArray bytes = Cp932Codec::encode(text);
    return SafeFile::replace(
        path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }, nullptr);
}
