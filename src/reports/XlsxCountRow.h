#pragma once

#include <cstdint>

// One line of the count CSV as the workbook's count sheet receives it: kept compact, since a year of
// fifteen gates is some 77,000 of them.
struct XlsxCountRow
{
    std::int64_t julianDay = 0;
    std::uint8_t gate = 0; // 0 .. 14
    std::uint8_t band = 0; // 0 .. 23
    std::int32_t aisles[3] = {0, 0, 0};
};
