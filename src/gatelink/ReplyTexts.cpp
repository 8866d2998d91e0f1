#include "gatelink/ReplyTexts.h"

#include <algorithm>
#include <iterator>

namespace ReplyTexts {

namespace {

struct CodeText
{
    std::uint8_t code;
    QStringView text;
};

template <std::size_t N> QStringView lookup(const CodeText (&table)[N], std::uint8_t code)
{
    const auto found =
        std::find_if(std::begin(table), std::end(table), [code](const CodeText& entry) { return entry.code == code; });
    return found == std::end(table) ? QStringView() : found->text;
}

const CodeText kNack[] = {
    {0x01, u"CRCエラー"},
    {0x02, u"CMD_TIME_OVER受信"},
    {0x03, u"タグデータ受信エラー"},
    {0x04, u"タグからの応答なし"},
    {0x41, u"データ数エラー"},
    {0x42, u"コマンドのサム値エラー"},
    {0x43, u"コマンドのＩＤ値のエラー"},
    {0x44, u"不正なコマンド"},
    {0x45, u"２度読みエラーー"},
    {0x46, u"PassWordエラー"},
};

const CodeText kIso15693Errors[] = {
    {0x01, u"The command is not supported, i.e. the request code is not recognised."},
    {0x02, u"he command is not recognised, for example: a format error occurred."},
    {0x03, u"The option is not supported."},
    {0x0F, u"Unknown error."},
    {0x10, u"The specified block is not available (doesn\u2019t exist)."},
    {0x11, u"The specified block is already -locked and thus cannot be locked again"},
    {0x12, u"The specified block is locked and its content cannot be changed."},
    {0x13, u"The specified block was not successfully programmed."},
    {0x14, u"The specified block was not successfully locked."},
    {0x15, u"The specified block is read-protected."},
};

const CodeText kIso18000Errors[] = {
    {0x00, u"Other error"},        {0x03, u"Memory overrun"},     {0x04, u"Memory locked"},
    {0x0B, u"Insufficient power"}, {0x0F, u"Non-specific error"},
};

const CodeText kReadAck[] = {
    {0x00, u"DousaModeSet_CMD受信"},  {0x09, u"S6700ModeSet_CMD受信"},    {0x7B, u"CLRC663_CMD受信"},
    {0x7C, u"RC663_EEPROM_RDWR受信"}, {0x7D, u"RC663_EEPROM_PARAM1受信"}, {0x82, u"BTR_EEPROM_RDWR_CMD受信"},
    {0x9C, u"SELANTENA_CMD受信"},
};

const CodeText kWriteAck[] = {
    {0x00, u"DousaModeSet_CMD受信"},  {0x09, u"S6700ModeSet_CMD受信"},    {0x7B, u"CLRC663_CMD受信"},
    {0x7C, u"RC663_EEPROM_RDWR受信"}, {0x7D, u"RC663_EEPROM_PARAM1受信"}, {0x7E, u"RC663_PARAM_INIT受信"},
};

const TagProtocolText kTagProtocol[] = {
    {0x01, u"ISO15693_Inventory受信", TagProtocolExtra::Inventory},
    {0x02, u"ISO15693_StayQuit受信", TagProtocolExtra::None},
    {0x20, u"ISO15693_ReadSingleBlock受信", TagProtocolExtra::BlockData},
    {0x21, u"ISO15693_WriteSingleBlock受信", TagProtocolExtra::None},
    {0x22, u"ISO15693_LockBlock受信", TagProtocolExtra::None},
    {0x23, u"ISO15693_ReadMultiBlock受信", TagProtocolExtra::None},
    {0x24, u"ISO15693_WriteMultiBlock受信", TagProtocolExtra::None},
    {0x25, u"ISO15693_SelectTag受信", TagProtocolExtra::None},
    {0x26, u"ISO15693_ResetToReady受信", TagProtocolExtra::None},
    {0x27, u"ISO15693_WriteAFI受信", TagProtocolExtra::None},
    {0x28, u"ISO15693_LockAFI受信", TagProtocolExtra::None},
    {0x29, u"ISO15693_WrietDSFID受信", TagProtocolExtra::None},
    {0x2A, u"ISO15693_LockDSFID受信", TagProtocolExtra::None},
    {0x2B, u"ISO15693_GetSystemInfo受信", TagProtocolExtra::None},
    {0x2C, u"ISO15693_GetMBlockSecSt受信", TagProtocolExtra::None},
    {0xA0, u"ISO15693_ReadBytes受信", TagProtocolExtra::None},
    {0xA1, u"ISO15693_WriteBytes受信", TagProtocolExtra::None},
    {0xA2, u"ISO15693_Write2Blocks受信", TagProtocolExtra::None},
    {0xA3, u"ISO15693_Lock2Blocks受信", TagProtocolExtra::None},
    {0xA4, u"TI_InventoryRead受信", TagProtocolExtra::None},
    {0xA5, u"TI_InventoryMultiRead受信", TagProtocolExtra::None},
    {0xA6, u"TI_InventoryGetSystemInfo受信", TagProtocolExtra::None},
    {0xA7, u"TI_InventoryGetSecInfo受信", TagProtocolExtra::None},
    {0xA8, u"TI_KillCommand受信", TagProtocolExtra::None},
    {0xA9, u"TI_WRSIBK_Psw受信", TagProtocolExtra::None},
    {0xB0, u"Myd_ReadCommand OK", TagProtocolExtra::DataHex},
    {0xB1, u"Myd_WriteCommand OK", TagProtocolExtra::None},
    {0xB2, u"Myd_WriteByteCommand OK", TagProtocolExtra::None},
    {0xB3, u"Myd_WriteRereadCommand OK", TagProtocolExtra::DataHex},
    {0xC0, u"SLI_InventoryRead受信", TagProtocolExtra::None},
    {0xC1, u"SLI_FastInventoryRead受信", TagProtocolExtra::None},
    {0xC2, u"SLI_SetEASCommand受信", TagProtocolExtra::None},
    {0xC3, u"SLI_ResetEASCommand受信", TagProtocolExtra::None},
    {0xC4, u"SLI_LockEASCommand受信", TagProtocolExtra::None},
    {0xC5, u"SLI_EASAlarmCommand受信", TagProtocolExtra::None},
    {0xF0, u"受信UID数: ", TagProtocolExtra::UidCount},
    {0xF3, u"ISO15693_LockBytes OK", TagProtocolExtra::None},
    {0xF6, u"ISO15693_LockBytes2 OK", TagProtocolExtra::None},
};

const CodeText kGateAck[] = {
    {0x24, u"WmcountValuCmd受信"}, {0x42, u"G4_GetSUBIOROMV受信"}, {0x43, u"G4_GetACPROMV受信"},
    {0x47, u"G4_GateInfo受信"},    {0x48, u"G4_ACPStart受信"},     {0x49, u"G4_GetACPSTUS受信"},
};

const CodeText kLcdBoard[] = {
    {0x00, u"LCDB_RWLCDDATA受信"},
    {0x01, u"LCDB_SWINFO受信"},
    {0x02, u"LCDB_RWRTCDATA受信"},
    {0x03, u"LCDB_RDRTCDATA受信"},
};

const CodeText kAntennaNames[] = {
    {0x00, u"メイン"},
    {0x01, u"サブA"},
    {0x02, u"サブB1"},
    {0x03, u"サブB2"},
};

const CodeText kMatchingResults[] = {
    {0x00, u"マッチング終了 : OK"},
    {0x01, u"マッチング終了 : NG"},
    {0x02, u"通信タイムアウト"},
    {0x03, u"NAK応答"},
};

const CodeText kWeekdays[] = {
    {0, u"日"}, {1, u"月"}, {2, u"火"}, {3, u"水"}, {4, u"木"}, {5, u"金"}, {6, u"土"},
};

} // namespace

QStringView nack(std::uint8_t errorClass, std::uint8_t detail)
{
    if (errorClass == 0x05) {
        const QStringView text = lookup(kIso15693Errors, detail);
        return text.isNull() ? QStringView(u"? 'DF' Custom command error codes") : text;
    }
    if (errorClass == 0x0A) {
        const QStringView text = lookup(kIso18000Errors, detail);
        return text.isNull() ? QStringView(u"??? error") : text;
    }
    const QStringView text = lookup(kNack, errorClass);
    return text.isNull() ? QStringView(u"??? NACK受信") : text;
}

QStringView readerAck(char command, std::uint8_t subCode)
{
    return command == 'O' ? lookup(kReadAck, subCode) : lookup(kWriteAck, subCode);
}

const TagProtocolText* tagProtocol(std::uint8_t subCode)
{
    const auto found = std::find_if(std::begin(kTagProtocol), std::end(kTagProtocol),
                                    [subCode](const TagProtocolText& entry) { return entry.code == subCode; });
    return found == std::end(kTagProtocol) ? nullptr : &*found;
}

QStringView gateAck(std::uint8_t subCode)
{
    return lookup(kGateAck, subCode);
}

QStringView lcdBoard(std::uint8_t subCode)
{
    return lookup(kLcdBoard, subCode);
}

QStringView antennaName(std::uint8_t index)
{
    const QStringView text = lookup(kAntennaNames, index);
    return text.isNull() ? QStringView(u"???? ゲートアンテナ") : text;
}

QStringView matchingResult(std::uint8_t result)
{
    const QStringView text = lookup(kMatchingResults, result);
    return text.isNull() ? QStringView(u"???") : text;
}

QStringView weekday(std::uint8_t day)
{
    const QStringView text = lookup(kWeekdays, day);
    return text.isNull() ? QStringView(u"?") : text;
}

} // namespace ReplyTexts
