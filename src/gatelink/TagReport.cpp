#include "gatelink/TagReport.h"

#include "platform/LittleEndian.h"

#include <algorithm>

TagReport TagReport::read(const std::uint8_t* bytes)
{
    TagReport report;
    std::copy_n(bytes, report.uid.size(), report.uid.begin());
    std::copy_n(bytes + 8, report.data.size(), report.data.begin());
    report.readerId = LittleEndian::u32(bytes + 20);
    return report;
}

void TagReport::write(std::uint8_t* bytes) const
{
    std::copy(uid.begin(), uid.end(), bytes);
    std::copy(data.begin(), data.end(), bytes + 8);
    LittleEndian::putU32(bytes + 20, readerId);
}
