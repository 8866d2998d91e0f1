#pragma once

#include "counting/CountFileLoad.h"

#include <QtGlobal>

#include <cstdint>

class CountModel;
class QIODevice;

// The day file: version, record size S, then for each of the 15 gate slots a count n and n day records
// of S bytes sorted by date. Little-endian, no magic, no checksum.
class CountDayFile final
{
public:
    static constexpr std::int32_t kVersion = 1;
    static constexpr qint64 kHeaderSize = 8;

    // Writes version 1 with 296-byte records in table order (the caller sorts first).
    static bool write(const CountModel& model, QIODevice& device);

    // Takes the gates one by one: a gate whose count does not fit the table's limit or the rest of the file
    // ends the reading, the gates before it stay loaded and the rest are left as they were. Larger stored
    // records give their first 296 bytes, smaller ones fill the start of each record. Each loaded table is
    // sorted by date. A version below 1 is ignored.
    static CountFileLoad read(QIODevice& device, CountModel& model);
};
