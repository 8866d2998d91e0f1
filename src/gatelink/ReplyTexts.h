#pragma once

#include <QStringView>

#include <cstdint>

// The fixed words the dispatcher writes into the link log for the gate's replies, by sub-code.
// An empty view means the code has no text.
namespace ReplyTexts {

// Extra lines some tag-protocol ACKs carry after their label.
enum class TagProtocolExtra
{
    None,
    Inventory,
    BlockData,
    DataHex,
    UidCount
};

struct TagProtocolText
{
    std::uint8_t code;
    QStringView label;
    TagProtocolExtra extra;
};

// NACK text by error class (DATA[0]) and, for the two tag error classes, the detail (DATA[1]).
QStringView nack(std::uint8_t errorClass, std::uint8_t detail);
// Labels of the reader's ACKs to 'O' and 'N' requests that only name the operation.
QStringView readerAck(char command, std::uint8_t subCode);
// The tag-protocol ACK of an 'x' request, or nullptr for a sub-code that writes nothing.
const TagProtocolText* tagProtocol(std::uint8_t subCode);
// Labels of the gate controller's ACKs to 'G' requests that only name the operation.
QStringView gateAck(std::uint8_t subCode);
QStringView lcdBoard(std::uint8_t subCode);
QStringView antennaName(std::uint8_t index);
QStringView matchingResult(std::uint8_t result);
// Day of the week of the LCD board's clock, 0 = Sunday.
QStringView weekday(std::uint8_t day);

} // namespace ReplyTexts
