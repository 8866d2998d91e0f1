#include "config/SettingsColourText.h"

#include "config/CommaNumbers.h"
#include "config/SettingsRecord.h"

namespace SettingsColourText {

QString format(quint32 colour)
{
    return QStringLiteral("%1,%2,%3").arg(colour & 0xFF).arg((colour >> 8) & 0xFF).arg((colour >> 16) & 0xFF);
}

std::optional<quint32> parse(const QString& text)
{
    const QList<int> numbers = CommaNumbers::scan(text, 3);
    if (numbers.size() < 3)
        return std::nullopt;
    return settingsColour(numbers[0] & 0xFF, numbers[1] & 0xFF, numbers[2] & 0xFF);
}

} // namespace SettingsColourText
