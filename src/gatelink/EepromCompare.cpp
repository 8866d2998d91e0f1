#include "gatelink/EepromCompare.h"

#include "config/SettingsRecord.h"

namespace {

constexpr std::uint8_t kPassageBit = 0x80;
constexpr std::uint8_t kLowNibble = 0x0F;

QString modeName(bool passage)
{
    return passage ? QStringLiteral("通過用") : QStringLiteral("入出用");
}

QString hexCount(int value)
{
    return QStringLiteral("0X") + QString::number(value, 16).toUpper();
}

} // namespace

bool EepromCompare(EepromWord& word, const EepromWatchSettings& target, QStringList& lines)
{
    bool changed = false;
    const bool passage = (word[1] & kPassageBit) != 0;
    if (passage != target.passageMode) {
        lines << QStringLiteral("復元前の値：赤外線センサー動作モード：") + modeName(passage)
              << QStringLiteral("復元後の値：赤外線センサー動作モード：") + modeName(target.passageMode);
        word[1] = static_cast<std::uint8_t>((word[1] & ~kPassageBit) | (target.passageMode ? kPassageBit : 0));
        changed = true;
    }
    // The field holds four bits: a configured value above 15 is compared as what would be written, so the
    // gate is not rewritten at every check.
    const int factor = word[1] & kLowNibble;
    const int wantedFactor = target.readTimeFactor & kLowNibble;
    if (factor != wantedFactor) {
        lines << QStringLiteral("復元前の値：通過時の読み取り有効時間の倍率：%1").arg(factor)
              << QStringLiteral("復元後の値：通過時の読み取り有効時間の倍率：%1").arg(wantedFactor);
        word[1] = static_cast<std::uint8_t>((word[1] & ~kLowNibble) | wantedFactor);
        changed = true;
    }
    const int voice = word[0] & kLowNibble;
    const int wantedVoice = target.voiceCount & kLowNibble;
    if (voice != wantedVoice) {
        lines << QStringLiteral("復元前の値：音声再生回数：") + hexCount(voice)
              << QStringLiteral("復元後の値：音声再生回数：") + hexCount(wantedVoice);
        word[0] = static_cast<std::uint8_t>((word[0] & ~kLowNibble) | wantedVoice);
        changed = true;
    }
    return changed;
}
