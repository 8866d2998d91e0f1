#pragma once

#include "counting/CountRecord.h"
#include "platform/DayNumber.h"

#include <QByteArray>

#include <array>
#include <cstdint>

// 2021/04/01, the day most count tests run on.
inline constexpr double kToday = 44287.0;

inline double at(int hour, int minute, int second = 0, double day = kToday)
{
    return day + DayNumber::encodeTime(hour, minute, second);
}

inline CountRecord counts(std::array<std::int32_t, 3> in, std::array<std::int32_t, 3> out = {},
                          std::array<std::uint16_t, 3> firstWord = {}, std::array<std::uint16_t, 3> secondWord = {})
{
    CountRecord record;
    record.in = in;
    record.out = out;
    record.firstWord = firstWord;
    record.secondWord = secondWord;
    return record;
}

inline void appendI32(QByteArray& bytes, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

// One record in a stored size other than its own: cut, or padded with filler the reader must skip.
template <typename Record> QByteArray storedRecord(const Record& record, int storedSize)
{
    QByteArray known(static_cast<int>(Record::kSize), '\0');
    record.write(reinterpret_cast<std::uint8_t*>(known.data()));
    QByteArray stored = known.left(storedSize);
    stored.append(QByteArray(storedSize - stored.size(), '\xEE'));
    return stored;
}
