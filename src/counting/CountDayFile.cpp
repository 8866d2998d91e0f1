#include "counting/CountDayFile.h"

#include "counting/CountModel.h"
#include "counting/RecordStream.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kChunkRecords = 256;

} // namespace

bool CountDayFile::write(const CountModel& model, QIODevice& device)
{
    if (!RecordStream::writeI32(device, kVersion) ||
        !RecordStream::writeI32(device, static_cast<std::int32_t>(DayCountRecord::kSize)))
        return false;
    QByteArray bytes;
    for (int g = 0; g < CountModel::kGates; ++g) {
        const int count = model.dayRecordCount(g);
        if (!RecordStream::writeI32(device, count))
            return false;
        for (int first = 0; first < count; first += kChunkRecords) {
            const int n = std::min(kChunkRecords, count - first);
            bytes.resize(n * static_cast<int>(DayCountRecord::kSize));
            auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
            for (int i = 0; i < n; ++i)
                model.dayRecord(g, first + i).write(p + i * DayCountRecord::kSize);
            if (device.write(bytes) != bytes.size())
                return false;
        }
    }
    return true;
}

CountFileLoad CountDayFile::read(QIODevice& device, CountModel& model)
{
    const qint64 fileSize = device.size();
    std::int32_t version = 0;
    if (!RecordStream::readI32(device, version))
        return CountFileLoad::damaged(QStringLiteral("shorter than its version field"));
    if (version < 1)
        return CountFileLoad::ignored(QStringLiteral("version %1").arg(version));
    std::int32_t recordSize = 0;
    if (!RecordStream::readI32(device, recordSize))
        return CountFileLoad::damaged(QStringLiteral("shorter than its header"));
    if (recordSize <= 0)
        return CountFileLoad::damaged(QStringLiteral("record size %1").arg(recordSize));

    std::array<std::uint8_t, DayCountRecord::kSize> record{};
    std::vector<DayCountRecord> table;
    qint64 position = kHeaderSize;
    for (int g = 0; g < CountModel::kGates; ++g) {
        std::int32_t count = 0;
        if (!RecordStream::readI32(device, count))
            return CountFileLoad::damaged(QStringLiteral("ends before the count of gate %1").arg(g + 1));
        position += 4;
        if (count < 0 || count > CountModel::kMaxIndex)
            return CountFileLoad::damaged(QStringLiteral("gate %1: record count %2 outside 0..%3")
                                              .arg(g + 1)
                                              .arg(count)
                                              .arg(CountModel::kMaxIndex));
        const qint64 bytes = qint64{count} * recordSize;
        if (position + bytes > fileSize)
            return CountFileLoad::damaged(QStringLiteral("gate %1: %2 records of %3 bytes do not fit the file")
                                              .arg(g + 1)
                                              .arg(count)
                                              .arg(recordSize));
        table.assign(static_cast<std::size_t>(count), DayCountRecord{});
        for (auto& day : table) {
            if (!RecordStream::readRecord(device, record.data(), DayCountRecord::kSize, recordSize))
                return CountFileLoad::damaged(QStringLiteral("read failed: %1").arg(device.errorString()));
            day = DayCountRecord::read(record.data());
        }
        position += bytes;

        model.setDayRecordCount(g, count);
        for (int i = 0; i < count; ++i)
            *model.DayRecordAt(g, i) = table[static_cast<std::size_t>(i)];
        model.sortDayRecords(g);
    }
    return CountFileLoad::loaded();
}
