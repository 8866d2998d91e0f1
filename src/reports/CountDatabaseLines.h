#pragma once

#include <functional>

class CountModel;
class QIODevice;
struct ReportDateRange;

// The count database text: "gate,"yyyy/MM/dd",band,aisle1,aisle2,aisle3" for all 24 bands of every
// day record, gates 1..15 in table order. Also the raw form of report mode.
namespace CountDatabaseLines {

// Writes the lines to device, only the days that range covers when range is given. onRecord runs
// once per day record visited. False when a write failed.
bool write(const CountModel& model, const ReportDateRange* range, QIODevice& device,
           const std::function<void()>& onRecord = {});

} // namespace CountDatabaseLines
