#pragma once

#include "counting/CountFileLoad.h"
#include "counting/CountRecord.h"

#include <QtGlobal>

#include <cstdint>

class CountModel;
class QIODevice;

// The event file: version, event count N, record size S, N events of S bytes in log order, then the
// last CountRecord of each of the 15 gate slots (from version 2 on). Little-endian, no magic, no checksum.
// A gate that has no base yet is stored as kNoBase, which no gate reports, so it still has none after a
// restart; a reader that does not know the mark sees counters above any real ones and takes its next
// record against zero, as it would with the zeros stored before.
class CountEventFile final
{
public:
    static constexpr std::int32_t kNoBaseCount = 0x7FFFFFFF;
    static constexpr CountRecord kNoBase{{kNoBaseCount, kNoBaseCount, kNoBaseCount},
                                         {kNoBaseCount, kNoBaseCount, kNoBaseCount},
                                         {0xFFFF, 0xFFFF, 0xFFFF},
                                         {0xFFFF, 0xFFFF, 0xFFFF}};

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
