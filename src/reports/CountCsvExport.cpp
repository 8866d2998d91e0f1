#include "reports/CountCsvExport.h"

#include "counting/CountModel.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/ProgressSink.h"
#include "platform/SafeFile.h"
#include "reports/CountCsvOptions.h"
#include "reports/CountDatabaseLines.h"
#include "reports/CsvText.h"
#include "reports/DayTables.h"
#include "reports/ReportCalendar.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportExtents.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Days before the system's first counting year are kept in the tables but never reported.
constexpr int kFirstReportYear = 2014;
constexpr qsizetype kTypicalLine = 48;

QByteArray quotedDate(const QDate& date)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "\"%4.4d/%2.2d/%2.2d\"", date.year(), date.month(), date.day());
    return QByteArray(text, length);
}

QByteArray quoted(const QString& text)
{
    return '"' + Cp932Codec::encode(text) + '"';
}

QString quotedText(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

CountCsvExport::CountCsvExport(CountModel& model, const CountCsvOptions& options, const ReportDateRange& range,
                               ReportExtents& extents, ProgressSink* progress)
    : m_model(model), m_options(options), m_range(range), m_extents(extents), m_progress(progress)
{
}

void CountCsvExport::advanceProgress()
{
    ++m_position;
    if (m_progress)
        m_progress->ProgPosition(m_position);
}

template <typename Write> void CountCsvExport::forEachWrittenRecord(Write write)
{
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        m_model.sortDayRecords(gate);
        const int count = m_model.dayRecordCount(gate);
        for (int n = 0; n < count; ++n) {
            advanceProgress();
            const DayCountRecord& record = m_model.dayRecord(gate, n);
            if (!m_range.covers(record.date))
                continue;
            const QDate date = DayNumber::toDate(record.date);
            if (date.year() < kFirstReportYear)
                continue;
            m_extents.add(date);
            write(gate, record, date);
        }
    }
}

QByteArray CountCsvExport::countCsvBytes()
{
    CsvText text(static_cast<qsizetype>(DayTables::totalRecords(m_model)) * bandRange().count() * kTypicalLine);
    writeCountCsv(text);
    return text.take();
}

void CountCsvExport::forEachLine(const LineVisitor& visit)
{
    const BandRange bands = bandRange();
    forEachWrittenRecord([&](int gate, const DayCountRecord& record, const QDate& date) {
        for (int band = bands.first; band <= bands.last; ++band)
            visit(gate, record, date, band);
    });
}

void CountCsvExport::writeCountCsv(CsvText& text)
{
    const BandRange bands = bandRange();

    // ,"weekday","address","name", between the band and the counts: one text per gate and weekday.
    std::array<std::array<QByteArray, 8>, CountModel::kGates> middles;
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        const QByteArray gateFields =
            ',' + quoted(m_options.gateAddresses[gate]) + ',' + quoted(m_options.gateNames[gate]) + ',';
        for (int weekday = 1; weekday <= 7; ++weekday)
            middles[gate][weekday] = ',' + quoted(ReportCalendar::dayOfWeekName(weekday)) + gateFields;
    }

    forEachWrittenRecord([&](int gate, const DayCountRecord& record, const QDate& date) {
        int year = 0;
        int month = 0;
        int day = 0;
        date.getDate(&year, &month, &day);
        // "yyyy/MM/dd", in front of the band.
        char dateField[14];
        char* end = CsvText::put(dateField, '"');
        end = CsvText::putDate(end, year, month, day);
        end = CsvText::put(end, '"');
        end = CsvText::put(end, ',');
        const QByteArray& middle = middles[gate][date.dayOfWeek()];
        const qsizetype dateLength = end - dateField;
        const qsizetype lineMax = dateLength + 2 + middle.size() + 3 * (CsvText::kIntChars + 1) + 2;
        char* at = text.room(lineMax * bands.count());
        for (int band = bands.first; band <= bands.last; ++band) {
            std::memcpy(at, dateField, static_cast<std::size_t>(dateLength));
            at = CsvText::putInt(at + dateLength, band);
            at = CsvText::put(at, middle);
            at = CsvText::putInt(at, record.bands[0][band]);
            for (int aisle = 1; aisle < DayCountRecord::kAisles; ++aisle) {
                at = CsvText::put(at, ',');
                at = CsvText::putInt(at, record.bands[aisle][band]);
            }
            at = CsvText::putLineEnd(at);
        }
        text.finish(at);
    });
}

CountCsvExport::BandRange CountCsvExport::bandRange() const
{
    return {std::clamp(m_options.startBand, 0, DayCountRecord::kBands - 1),
            std::clamp(m_options.endBand, 0, DayCountRecord::kBands - 1)};
}

QString CountCsvExport::columnValue(int mode, int gate, const DayCountRecord& record, const QDate& date, int band) const
{
    switch (mode) {
    case 1:
        return QString::fromLatin1(quotedDate(date));
    case 2:
        return QString::number(band);
    case 3:
        return quotedText(ReportCalendar::dayOfWeekName(date));
    case 4:
        return quotedText(m_options.gateAddresses[gate]);
    case 5:
        return quotedText(m_options.gateNames[gate]);
    default:
        return QString::number(record.bands[mode - 6][band]);
    }
}

ExportResult CountCsvExport::ExportCountCsv(int mode, const QString& path)
{
    QString error;
    if (mode == 0) {
        const auto appendRaw = [&](QIODevice& file) { return CountDatabaseLines::write(m_model, &m_range, file); };
        const auto writeLines = [&](QIODevice& file) {
            CsvText text(file);
            writeCountCsv(text);
            return text.flush();
        };
        const bool written = m_options.reportMode ? SafeFile::append(path, appendRaw, &error)
                                                  : SafeFile::replace(path, writeLines, &error);
        return written ? ExportResult::written() : ExportResult::failed(error);
    }
    if (mode < 1 || mode > 8)
        return ExportResult::failed(QStringLiteral("count CSV mode %1 does not exist").arg(mode));

    const BandRange bands = bandRange();
    m_columnText.clear();
    forEachWrittenRecord([&](int gate, const DayCountRecord& record, const QDate& date) {
        for (int band = bands.first; band <= bands.last; ++band)
            m_columnText += columnValue(mode, gate, record, date, band) + QLatin1String("\r\n");
    });
    if (!path.isEmpty() && !SafeFile::replace(
                               path, [](QIODevice&) { return true; }, &error))
        return ExportResult::failed(error);
    return ExportResult::written();
}
