#pragma once

#include <QStringList>

#include <array>
#include <cstdint>

struct EepromWatchSettings;

// The watched word of a gate's controller EEPROM (word address 4), byte 0 first as the gate sends it:
// byte 1 bit 7 the infrared sensor mode (1 "通過用", 0 "入出用"), byte 1 bits 0-3 the read-time multiplier,
// byte 0 bits 0-3 the voice playback count. Other bits belong to the gate and are written back as read.
using EepromWord = std::array<std::uint8_t, 2>;

// Corrects word to the configured values field by field and appends a before and an after line for each
// field that differed; returns whether any did.
bool EepromCompare(EepromWord& word, const EepromWatchSettings& target, QStringList& lines);
