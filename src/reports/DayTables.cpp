#include "reports/DayTables.h"

#include "counting/CountModel.h"
#include "reports/ReportCalendar.h"

#include <cmath>

namespace DayTables {

int totalRecords(const CountModel& model)
{
    int total = 0;
    for (int gate = 0; gate < CountModel::kGates; ++gate)
        total += model.dayRecordCount(gate);
    return total;
}

void sortByDate(CountModel& model, int gate)
{
    // The model's order: by whole day, a stored date that is not a number last.
    const auto before = [](double a, double b) {
        if (std::isnan(a))
            return false;
        return std::isnan(b) || std::floor(a) < std::floor(b);
    };
    const int count = model.dayRecordCount(gate);
    for (int n = 1; n < count; ++n)
        if (before(model.dayRecord(gate, n).date, model.dayRecord(gate, n - 1).date)) {
            model.sortDayRecords(gate);
            return;
        }
}

void sortAllByDate(CountModel& model)
{
    for (int gate = 0; gate < CountModel::kGates; ++gate)
        sortByDate(model, gate);
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
