#pragma once

#include "counting/CountFileLoad.h"

#include <QtGlobal>

#include <cstdint>

class CountModel;
class QIODevice;

// The event file: version, event count N, record size S, N events of S bytes in log order, then the
// last CountRecord of each of the 15 gate slots (from version 2 on). Little-endian, no magic, no checksum.
class CountEventFile final
{
public:
    static constexpr std::int32_t kVersion = 2;
    static constexpr qint64 kHeaderSize = 12;
    static constexpr qint64 kLastValuesSize = 15 * 36;

    // Writes version 2 with 45-byte records; false when the device refuses a write.
    static bool write(const CountModel& model, QIODevice& device);

    // Takes the whole file or nothing: a file whose counts do not fit its length or the event log's limit
    // leaves the model as it was. Larger stored records give their first 45 bytes, smaller ones fill the
    // start of each event. Version 1 carries no last values; version 0 or below is ignored.
    static CountFileLoad read(QIODevice& device, CountModel& model);
};
