#include "counting/CountEventFile.h"

#include "counting/CountModel.h"
#include "counting/RecordStream.h"
#include "platform/LittleEndian.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kChunkRecords = 1024;

} // namespace

bool CountEventFile::write(const CountModel& model, QIODevice& device)
{
    QByteArray bytes(static_cast<int>(kHeaderSize), '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    LittleEndian::putI32(p, kVersion);
    LittleEndian::putI32(p + 4, model.eventCount());
    LittleEndian::putI32(p + 8, static_cast<std::int32_t>(CountEvent::kSize));
    if (device.write(bytes) != bytes.size())
        return false;

    const int count = model.eventCount();
    for (int first = 0; first < count; first += kChunkRecords) {
        const int n = std::min(kChunkRecords, count - first);
        bytes.resize(n * static_cast<int>(CountEvent::kSize));
        p = reinterpret_cast<std::uint8_t*>(bytes.data());
        for (int i = 0; i < n; ++i)
            model.event(first + i).write(p + i * CountEvent::kSize);
        if (device.write(bytes) != bytes.size())
            return false;
    }

    bytes.resize(static_cast<int>(kLastValuesSize));
    p = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (int g = 0; g < CountModel::kGates; ++g)
        (model.hasLastValues(g) ? model.lastValues(g) : kNoBase).write(p + g * CountRecord::kSize);
    return device.write(bytes) == bytes.size();
}

CountFileLoad CountEventFile::read(QIODevice& device, CountModel& model)
{
    const qint64 fileSize = device.size();
    std::int32_t version = 0;
    if (!RecordStream::readI32(device, version))
        return CountFileLoad::damaged(QStringLiteral("shorter than its version field"));
    if (version <= 0)
        return CountFileLoad::ignored(QStringLiteral("version %1").arg(version));

    std::int32_t count = 0;
    std::int32_t recordSize = 0;
    if (!RecordStream::readI32(device, count) || !RecordStream::readI32(device, recordSize))
        return CountFileLoad::damaged(QStringLiteral("shorter than its header"));
    if (count < 0 || count > CountModel::kMaxIndex)
        return CountFileLoad::damaged(
            QStringLiteral("event count %1 outside 0..%2").arg(count).arg(CountModel::kMaxIndex));
    if (recordSize <= 0)
        return CountFileLoad::damaged(QStringLiteral("record size %1").arg(recordSize));
    const qint64 needed = kHeaderSize + qint64{count} * recordSize + (version >= 2 ? kLastValuesSize : 0);
    if (needed > fileSize)
        return CountFileLoad::damaged(QStringLiteral("%1 events of %2 bytes need %3 bytes, the file has %4")
                                          .arg(count)
                                          .arg(recordSize)
                                          .arg(needed)
                                          .arg(fileSize));

    std::vector<CountEvent> events(static_cast<std::size_t>(count));
    std::array<std::uint8_t, CountEvent::kSize> record{};
    for (auto& event : events) {
        if (!RecordStream::readRecord(device, record.data(), CountEvent::kSize, recordSize))
            return CountFileLoad::damaged(QStringLiteral("read failed: %1").arg(device.errorString()));
        event = CountEvent::read(record.data());
    }
    std::array<CountRecord, CountModel::kGates> last{};
    if (version >= 2) {
        std::array<std::uint8_t, kLastValuesSize> table{};
        if (device.read(reinterpret_cast<char*>(table.data()), kLastValuesSize) != kLastValuesSize)
            return CountFileLoad::damaged(QStringLiteral("read failed: %1").arg(device.errorString()));
        for (int g = 0; g < CountModel::kGates; ++g)
            last[g] = CountRecord::read(table.data() + g * CountRecord::kSize);
    }

    model.setEventCount(count);
    for (int i = 0; i < count; ++i)
        *model.EventAt(i) = events[static_cast<std::size_t>(i)];
    model.sortEvents();
    if (version >= 2)
        for (int g = 0; g < CountModel::kGates; ++g) {
            const bool based = !(last[g] == kNoBase);
            model.setLastValues(g, based ? last[g] : CountRecord{}, based);
        }
    return CountFileLoad::loaded();
}
