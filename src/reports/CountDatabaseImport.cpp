#include "reports/CountDatabaseImport.h"

#include "counting/CountModel.h"
#include "platform/Cp932Codec.h"
#include "platform/DayNumber.h"
#include "platform/ProgressSink.h"
#include "reports/CountCsvLine.h"
#include "reports/CountReportHost.h"
#include "reports/DayTables.h"
#include "reports/ReportCalendar.h"

#include <QIODevice>
#include <QLoggingCategory>
#include <QSet>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

Q_LOGGING_CATEGORY(lcImport, "wardale.reports.import")

// Reads go in chunks of up to 1 MiB, smaller when less is left.
constexpr qint64 kReadChunk = 1 << 20;
constexpr qint64 kMinRead = 4096;
// A garbage line can be any length; the question shows its start.
constexpr qsizetype kShownLineChars = 256;

int progressValue(qint64 position)
{
    return static_cast<int>(std::min<qint64>(position, INT_MAX));
}

// A line ends at CR LF, LF or CR alone (files saved by older spreadsheet programs).
struct LineEnd
{
    // Where the line end starts, -1 when the buffer holds none yet.
    qsizetype at;
    qsizetype length;
    // Where the next search may start once more bytes have come.
    qsizetype searched;
};

LineEnd findLineEnd(const QByteArray& buffer, qsizetype from, bool atEnd)
{
    const char* data = buffer.constData();
    for (qsizetype i = from; i < buffer.size(); ++i) {
        if (data[i] == '\n')
            return {i, 1, i};
        if (data[i] != '\r')
            continue;
        if (i + 1 < buffer.size())
            return {i, data[i + 1] == '\n' ? 2 : 1, i};
        // A CR as the last byte read: whether an LF follows is known only with the next bytes.
        return atEnd ? LineEnd{i, 1, i} : LineEnd{-1, 0, i};
    }
    return {-1, 0, buffer.size()};
}

} // namespace

CountDatabaseImport::CountDatabaseImport(CountModel& model, CountReportHost& host, ProgressSink* progress)
    : m_model(model), m_host(host), m_progress(progress)
{
}

QString CountDatabaseImport::invalidLineQuestion(int lineNumber, QByteArrayView line)
{
    // Two bytes at most per character: decoding this much gives every character shown.
    const qsizetype decoded = std::min(line.size(), 2 * kShownLineChars);
    QString text = Cp932Codec::decode(line.first(decoded).toByteArray());
    if (text.size() > kShownLineChars || decoded < line.size())
        text = text.left(kShownLineChars) + QStringLiteral("...");
    return QStringLiteral("不正なデータが見つかりました。\n") + QString::number(lineNumber) + QStringLiteral("行目->") +
           text + QStringLiteral("\n中断しますか?");
}

ImportResult CountDatabaseImport::read(QIODevice& device)
{
    ImportResult result;
    QByteArray buffer;
    qsizetype start = 0;
    // Where the search for the next line end goes on, so a long line is not searched again per chunk.
    qsizetype searched = 0;
    bool atEnd = false;
    while (true) {
        const LineEnd end = findLineEnd(buffer, std::max(start, searched), atEnd);
        if (end.at < 0) {
            if (atEnd) {
                if (start < buffer.size())
                    readLine(QByteArrayView(buffer).sliced(start), result);
                break;
            }
            buffer.remove(0, start);
            searched = std::max<qsizetype>(0, end.searched - start);
            start = 0;
            const QByteArray more = device.read(std::clamp<qint64>(device.bytesAvailable(), kMinRead, kReadChunk));
            if (more.isEmpty()) {
                if (!device.atEnd())
                    result.error = device.errorString();
                atEnd = true;
            }
            buffer += more;
            continue;
        }
        const QByteArrayView line = QByteArrayView(buffer).sliced(start, end.at - start);
        start = end.at + end.length;
        if (readLine(line, result) == Step::Stop)
            break;
    }
    if (!result.error.isEmpty())
        qCWarning(lcImport) << "count import stopped after line" << m_lineNumber << ":" << result.error;
    DayTables::sortAllByDate(m_model);
    return result;
}

CountDatabaseImport::Step CountDatabaseImport::readLine(QByteArrayView line, ImportResult& result)
{
    ++m_lineNumber;
    ++result.linesRead;
    m_position += line.size() + 1;
    if (m_progress)
        m_progress->ProgPosition(progressValue(m_position));

    const CountCsvLine scanned = CountCsvLine::scan(line);
    // A date that cannot be read is reported like any other invalid line, so the operator learns
    // where the import stopped (or skips the line) instead of losing the rest of the file unseen.
    const std::optional<ParsedDate> date = scanned.valid() ? parseDate(scanned.dateField()) : std::nullopt;
    if (!date) {
        if (askStop(line)) {
            result.aborted = true;
            return Step::Stop;
        }
        return Step::Next;
    }
    if (date->year < kFirstYear)
        return Step::Next;

    const int gate = scanned.gate - 1;
    const int index = recordIndex(gate, date->day);
    if (index < 0)
        return Step::Next;
    DayCountRecord& record = *m_model.DayRecordAt(gate, index);
    for (int aisle = 0; aisle < DayCountRecord::kAisles; ++aisle)
        record.bands[aisle][scanned.band] = scanned.counts[aisle];
    ++result.linesImported;
    return Step::Next;
}

bool CountDatabaseImport::askStop(QByteArrayView line)
{
    settleTables();
    return m_host.askYesNo(invalidLineQuestion(m_lineNumber, line));
}

std::optional<CountDatabaseImport::ParsedDate> CountDatabaseImport::parseDate(QByteArrayView field)
{
    // The 24 lines of one gate-day carry the same date text.
    if (m_lastDate && field == m_lastField)
        return m_lastDate;
    const auto date = DayNumber::parseDate(QString::fromLatin1(field));
    m_lastField = field.toByteArray();
    m_lastDate = date ? std::optional<ParsedDate>({static_cast<int>(DayNumber::epoch().daysTo(*date)), date->year()})
                      : std::nullopt;
    return m_lastDate;
}

int CountDatabaseImport::recordIndex(int gate, int day)
{
    // A lookup of our own: the halving search of the model needs the table in date order, which the
    // records appended here break until the table is sorted at the end.
    if (m_lastRecord && m_lastRecord->gate == gate && m_lastRecord->day == day)
        return m_lastRecord->index;
    QHash<int, int>& index = m_index[gate];
    if (!m_indexed[gate]) {
        index.clear();
        const int count = m_model.dayRecordCount(gate);
        for (int n = count - 1; n >= 0; --n)
            if (const auto recordDay = ReportCalendar::recordDay(m_model.dayRecord(gate, n).date))
                index.insert(*recordDay, n);
        m_indexed[gate] = true;
    }
    const auto found = index.constFind(day);
    if (found != index.constEnd()) {
        m_lastRecord = RecordKey{gate, day, found.value()};
        return found.value();
    }
    const int count = m_model.dayRecordCount(gate);
    if (count >= CountModel::kMaxIndex) {
        qCWarning(lcImport) << "day table of gate" << gate + 1 << "is full; line" << m_lineNumber << "skipped";
        return -1;
    }
    m_model.setDayRecordCount(gate, count + 1);
    DayCountRecord& record = *m_model.DayRecordAt(gate, count);
    record = DayCountRecord{};
    record.date = static_cast<double>(day);
    index.insert(day, count);
    m_lastRecord = RecordKey{gate, day, count};
    return count;
}

void CountDatabaseImport::settleTables()
{
    DayTables::sortAllByDate(m_model);
    m_indexed.fill(false);
    m_lastRecord.reset();
}

void CountDatabaseImport::rebuildTodayEvents(CountModel& model, double now)
{
    const int today = DayNumber::dayOf(now);
    std::array<QSet<int>, CountModel::kGates> recordDays;
    std::array<int, CountModel::kGates> todayRecord;
    todayRecord.fill(-1);
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        const int count = model.dayRecordCount(gate);
        for (int n = 0; n < count; ++n) {
            const auto day = ReportCalendar::recordDay(model.dayRecord(gate, n).date);
            if (!day)
                continue;
            recordDays[gate].insert(*day);
            if (*day == today && todayRecord[gate] < 0)
                todayRecord[gate] = n;
        }
    }

    std::vector<CountEvent> events;
    const int eventCount = model.eventCount();
    events.reserve(static_cast<std::size_t>(eventCount) + 24 * CountModel::kGates);
    for (int n = 0; n < eventCount; ++n) {
        const CountEvent& event = model.event(n);
        const auto day = ReportCalendar::recordDay(event.time);
        const bool replaced = event.gate < CountModel::kGates && day && recordDays[event.gate].contains(*day);
        if (!replaced)
            events.push_back(event);
    }
    for (int gate = 0; gate < CountModel::kGates; ++gate) {
        if (todayRecord[gate] < 0)
            continue;
        const DayCountRecord& record = model.dayRecord(gate, todayRecord[gate]);
        for (int band = 0; band < DayCountRecord::kBands; ++band) {
            CountEvent event;
            event.time = today + DayNumber::encodeTime(band, 0, 0);
            event.gate = static_cast<std::uint8_t>(gate);
            auto& increments = model.countExits() ? event.out : event.in;
            for (int aisle = 0; aisle < DayCountRecord::kAisles; ++aisle)
                increments[aisle] = record.bands[aisle][band];
            events.push_back(event);
        }
    }
    const int kept = static_cast<int>(std::min<std::size_t>(events.size(), CountModel::kMaxIndex));
    model.setEventCount(kept);
    for (int n = 0; n < kept; ++n)
        *model.EventAt(n) = events[static_cast<std::size_t>(n)];
    model.sortEvents();
}
