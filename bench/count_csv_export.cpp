// Count CSV export of 15 gates x 10 years against one fwrite of the same bytes, and the import of the
// count database export back into empty tables.
#include "counting/CountModel.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "platform/ProgressSink.h"
#include "reports/CountCsvExport.h"
#include "reports/CountDatabaseImport.h"
#include "reports/CountReports.h"
#include "reports/ReportDateRange.h"
#include "reports/ReportExtents.h"
#include "reports/WindowlessReportHost.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

class QuietProgress final : public ProgressSink
{
public:
    explicit QuietProgress(ManualClock& clock) : m_clock(clock) {}
    void ProgOpen(const QString&) override {}
    void ProgMax(int) override {}
    void ProgPosition(int) override {}
    void ProgClose() override {}
    void keepAlive() override { m_clock.advanceMs(2000); }

private:
    ManualClock& m_clock;
};

constexpr int kRuns = 5;

// Best of kRuns, in milliseconds.
double bestMs(const std::function<void()>& work)
{
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

double fwriteMs(const QByteArray& bytes, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    return bestMs([&] {
        std::FILE* file = std::fopen(name.constData(), "wb");
        if (!file)
            return;
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
        std::fclose(file);
    });
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fill(CountModel& model, const QDate& first, int days)
{
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        model.setDayRecordCount(gate, days);
        for (int n = 0; n < days; ++n) {
            DayCountRecord& record = *model.DayRecordAt(gate, n);
            record.date = DayNumber::fromDate(first.addDays(n));
            for (int a = 0; a < DayCountRecord::kAisles; ++a)
                for (int h = 8; h <= 21; ++h)
                    record.bands[a][h] = (gate * 7 + n * 13 + a * 5 + h * 3) % 250;
        }
    }
}

// The same bytes through QSaveFile: what the atomic save (temporary file, sync, rename) costs by itself.
double saveFileMs(const QByteArray& bytes, const QString& path)
{
    return bestMs([&] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
            file.commit();
    });
}

void compare(const char* what, double exportMs, const QByteArray& bytes, const QString& path)
{
    const double referenceMs = fwriteMs(bytes, path);
    std::printf("%-28s %7.1f ms | one fwrite of the same %5.1f MB %6.1f ms | ratio %.2f (target <= 2)\n", what,
                exportMs, bytes.size() / 1e6, referenceMs, exportMs / referenceMs);
    const double savedMs = saveFileMs(bytes, path);
    std::printf("%-28s %7.1f ms | ratio to it %.2f\n", "  same bytes via QSaveFile", savedMs, exportMs / savedMs);
}

} // namespace

int main()
{
    QTemporaryDir folder;
    const QDate first(2014, 4, 1);
    const int days = first.daysTo(QDate(2024, 3, 31)) + 1;
    ManualClock clock(DayNumber::fromDate(QDate(2024, 3, 31)) + 0.5);
    CountModel model(clock);
    fill(model, first, days);

    QuietProgress progress(clock);
    // As during shutdown: no minimum display, so the figures are the export's own.
    WindowlessReportHost host(WindowlessReportHost::Answer::Yes);
    ReportDateRange range;
    range.first = DayNumber::fromDate(first);
    range.last = DayNumber::fromDate(QDate(2024, 3, 31)) + DayNumber::encodeTime(21, 59, 59);
    CountReports reports(model, clock, progress, host, range);
    CountCsvOptions options;
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        options.gateNames[gate] = QStringLiteral("ゲート%1(2通路)").arg(gate + 1);
        options.gateAddresses[gate] = QStringLiteral("127.0.0.%1").arg(gate + 1);
    }
    reports.setOptions(options);
    std::printf("%d gates x %d days = %d day records, bands 8..21\n", CountModel::kGates, days,
                CountModel::kGates * days);

    const QString csvPath = folder.filePath(QStringLiteral("count.csv"));
    const double csvMs = bestMs([&] { reports.ExportCountFile(csvPath); });
    compare("count CSV (ExportCountFile)", csvMs, readAll(csvPath), folder.filePath(QStringLiteral("ref1.csv")));
    ReportExtents extents;
    const double textMs = bestMs([&] {
        CountCsvExport csv(model, reports.options(), range, extents, nullptr);
        csv.countCsvBytes();
    });
    std::printf("%-28s %7.1f ms | the text alone, in memory\n", "  building the text", textMs);

    const QString databasePath = folder.filePath(QStringLiteral("database.csv"));
    const double databaseMs = bestMs([&] { reports.exportCountDatabase(databasePath, false); });
    const QByteArray database = readAll(databasePath);
    compare("count database export", databaseMs, database, folder.filePath(QStringLiteral("ref2.csv")));

    const qsizetype lines = database.count('\n');
    const double importMs = bestMs([&] {
        CountModel empty(clock);
        QFile file(databasePath);
        file.open(QIODevice::ReadOnly);
        CountDatabaseImport import(empty, host, nullptr);
        import.read(file);
        CountDatabaseImport::rebuildTodayEvents(empty, clock.now());
    });
    std::printf("%-28s %7.1f ms | %lld lines, %.2f million lines/s\n", "import of the database CSV", importMs,
                static_cast<long long>(lines), lines / importMs / 1000.0);
    return 0;
}
