#pragma once

#include "reports/ExportResult.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <algorithm>
#include <functional>

class CountModel;
class CsvText;
class ProgressSink;
struct CountCsvOptions;
struct DayCountRecord;
struct ReportDateRange;
struct ReportExtents;

// The count CSV: one line per gate, day and band of the report date range,
// "\"yyyy/MM/dd\",band,\"weekday\",\"address\",\"name\",aisle1,aisle2,aisle3", CP932, CR LF.
class CountCsvExport final
{
public:
    CountCsvExport(CountModel& model, const CountCsvOptions& options, const ReportDateRange& range,
                   ReportExtents& extents, ProgressSink* progress);

    // Mode 0 writes the count CSV to path (in report mode the raw count database lines, appended to
    // what the file holds). Modes 1 to 8 build columnText() from the same days instead and leave path
    // as an empty file.
    ExportResult ExportCountCsv(int mode, const QString& path);

    // One value per line that mode 0 would write, each followed by CR LF: 1 quoted date, 2 band,
    // 3 quoted weekday, 4 quoted gate address, 5 quoted gate name, 6 to 8 aisle 1 to 3 counts.
    const QString& columnText() const { return m_columnText; }

    // The count CSV of mode 0 (normal form) as bytes.
    QByteArray countCsvBytes();

    // Every line the count CSV writes, in its order, as gate, day record, date and band: the rows of
    // the XLSX report's count sheet. Widens the extents like a run.
    using LineVisitor = std::function<void(int gate, const DayCountRecord& record, const QDate& date, int band)>;
    void forEachLine(const LineVisitor& visit);

    // Advanced by one per day record visited; a caller running several passes on one progress
    // window carries the position over.
    int progressPosition() const { return m_position; }
    void setProgressPosition(int position) { m_position = position; }

private:
    // Sorts each gate's table and calls write (gate, record, date) for every record the count CSV
    // covers: within the report date range and not before 2014. Every written day widens the extents.
    template <typename Write> void forEachWrittenRecord(Write write);
    void writeCountCsv(CsvText& text);
    // The configured bands, clamped to the record's bands; empty when the start is after the end.
    struct BandRange
    {
        int first;
        int last;
        int count() const { return std::max(0, last - first + 1); }
    };
    BandRange bandRange() const;
    QString columnValue(int mode, int gate, const DayCountRecord& record, const QDate& date, int band) const;
    void advanceProgress();

    CountModel& m_model;
    const CountCsvOptions& m_options;
    const ReportDateRange& m_range;
    ReportExtents& m_extents;
    ProgressSink* m_progress;
    QString m_columnText;
    int m_position = 0;
};
