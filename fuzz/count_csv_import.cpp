#include "counting/CountModel.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "reports/CountDatabaseImport.h"
#include "reports/CountReportHost.h"
#include "reports/ReportCalendar.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

// Answers the invalid-line questions: stop at the n-th one, n taken from the first byte (0: never).
class ScriptedHost final : public CountReportHost
{
public:
    explicit ScriptedHost(int stopAt) : m_stopAt(stopAt) {}

    bool connectionCheckRunning() const override { return false; }
    void setMainWindowEnabled(bool) override {}
    bool askYesNo(const QString& text) override
    {
        if (text.isEmpty())
            __builtin_trap();
        return ++m_asked == m_stopAt;
    }
    void PageLabelSet() override {}
    void requestLayoutPass() override {}

private:
    int m_stopAt;
    int m_asked = 0;
};

} // namespace

// Bytes as a count database CSV: every line is merged, skipped or asked about without a fault; each
// gate's table ends sorted with at most one record per day, none before 2014, and today's events are
// exactly the 24 hourly events of today's records.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const double today = DayNumber::fromDate(QDate(2021, 4, 5));
    ManualClock clock(today + 0.5);
    CountModel model(clock);
    ScriptedHost host(size > 0 ? data[0] % 8 : 0);
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    CountDatabaseImport import(model, host, nullptr);
    const ImportResult result = import.read(buffer);
    if (result.linesImported > result.linesRead)
        __builtin_trap();
    CountDatabaseImport::rebuildTodayEvents(model, clock.now());

    int todayRecords = 0;
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        int previous = -1;
        for (int n = 0; n < model.dayRecordCount(gate); ++n) {
            const auto day = ReportCalendar::recordDate(model.dayRecord(gate, n).date);
            if (!day || day->year() < CountDatabaseImport::kFirstYear)
                __builtin_trap();
            const int number = DayNumber::epoch().daysTo(*day);
            if (number <= previous)
                __builtin_trap();
            previous = number;
            if (number == static_cast<int>(today))
                ++todayRecords;
        }
    }
    if (model.eventCount() != 24 * todayRecords)
        __builtin_trap();
    for (int n = 1; n < model.eventCount(); ++n)
        if (model.event(n).time < model.event(n - 1).time)
            __builtin_trap();
    return 0;
}
