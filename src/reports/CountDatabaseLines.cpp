#include "reports/CountDatabaseLines.h"

#include "counting/CountModel.h"
#include "reports/CsvText.h"
#include "reports/ReportCalendar.h"
#include "reports/ReportDateRange.h"

#include <cstring>

namespace CountDatabaseLines {

bool write(const CountModel& model, const ReportDateRange* range, QIODevice& device,
           const std::function<void()>& onRecord)
{
    CsvText text(device);
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        const int count = model.dayRecordCount(gate);
        for (int n = 0; n < count; ++n) {
            if (onRecord)
                onRecord();
            const DayCountRecord& record = model.dayRecord(gate, n);
            const auto date = ReportCalendar::recordDate(record.date);
            // A stored date that is no calendar day cannot be written as one (nor read back).
            if (!date || (range && !range->covers(record.date)))
                continue;
            int year = 0;
            int month = 0;
            int day = 0;
            date->getDate(&year, &month, &day);
            // ,"yyyy/MM/dd", between the gate number and the band.
            char dateField[15];
            char* end = CsvText::put(dateField, ',');
            end = CsvText::put(end, '"');
            end = CsvText::putDate(end, year, month, day);
            end = CsvText::put(end, '"');
            end = CsvText::put(end, ',');
            const qsizetype dateLength = end - dateField;
            const qsizetype lineMax = 2 + dateLength + 2 + 3 * (CsvText::kIntChars + 1) + 2;
            char* at = text.room(lineMax * DayCountRecord::kBands);
            for (int band = 0; band < DayCountRecord::kBands; ++band) {
                at = CsvText::putInt(at, gate + 1);
                std::memcpy(at, dateField, static_cast<std::size_t>(dateLength));
                at += dateLength;
                at = CsvText::putInt(at, band);
                for (int aisle = 0; aisle < DayCountRecord::kAisles; ++aisle) {
                    at = CsvText::put(at, ',');
                    at = CsvText::putInt(at, record.bands[aisle][band]);
                }
                at = CsvText::putLineEnd(at);
            }
            text.finish(at);
        }
    }
    return text.flush();
}

} // namespace CountDatabaseLines
