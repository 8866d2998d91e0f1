#include "reports/DayTables.h"

#include "counting/CountModel.h"
#include "reports/ReportCalendar.h"

namespace DayTables {

int totalRecords(const CountModel& model)
{
    int total = 0;
    for (int gate = 0; gate < CountModel::kGates; ++gate)
        total += model.dayRecordCount(gate);
    return total;
}

void sortAllByDate(CountModel& model)
{
    for (int gate = 0; gate < CountModel::kGates; ++gate)
        model.sortDayRecords(gate);
}

bool hasDataBetween(const CountModel& model, int fromDay, int toDay)
{
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        const int count = model.dayRecordCount(gate);
        for (int n = 0; n < count; ++n) {
            const auto day = ReportCalendar::recordDay(model.dayRecord(gate, n).date);
            if (day && fromDay <= *day && *day <= toDay)
                return true;
        }
    }
    return false;
}

} // namespace DayTables
