#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <array>
#include <optional>

class CountModel;
class CountReportHost;
class ProgressSink;
class QIODevice;

// What one reading of a count database file did.
struct ImportResult
{
    int linesRead = 0;
    int linesImported = 0;
    // The operator chose to stop at an invalid line.
    bool aborted = false;
    // The file could not be read to its end (the lines before stay imported).
    QString error;
};

// Merges count database lines into the day count tables: each valid line replaces the three aisle
// counts of one band of one gate-day, a missing day gets a new record.
class CountDatabaseImport final
{
public:
    static constexpr int kFirstYear = 2014;

    CountDatabaseImport(CountModel& model, CountReportHost& host, ProgressSink* progress);

    // Reads the lines of device (CP932, each ended by CR LF, LF or CR), asks about every invalid line
    // whether to stop, and sorts every gate's table by date at the end. The progress advances by each
    // line's length + 1.
    ImportResult read(QIODevice& device);

    // Today's events are rebuilt from the day records: every event of a gate on a day the gate has a
    // record for goes, and the gate's record of today becomes 24 events at h:00:00 carrying its band
    // counts as increments of the counted direction. The log is then sorted by time stamp.
    static void rebuildTodayEvents(CountModel& model, double now);

    static QString invalidLineQuestion(int lineNumber, QByteArrayView line);

private:
    enum class Step
    {
        Next,
        Stop,
    };
    Step readLine(QByteArrayView line, ImportResult& result);
    // Shows the invalid-line question; true when the operator chose to stop.
    bool askStop(QByteArrayView line);
    struct ParsedDate
    {
        int day;
        int year;
    };
    struct RecordKey
    {
        int gate;
        int day;
        int index;
    };
    std::optional<ParsedDate> parseDate(QByteArrayView field);
    int recordIndex(int gate, int day);
    // Sorted tables while the question box lets the event loop (and new counts) run; the indexes
    // are built again afterwards.
    void settleTables();

    CountModel& m_model;
    CountReportHost& m_host;
    ProgressSink* m_progress;
    int m_lineNumber = 0;
    qint64 m_position = 0;
    std::array<QHash<int, int>, 15> m_index;
    std::array<bool, 15> m_indexed{};
    QByteArray m_lastField;
    std::optional<ParsedDate> m_lastDate;
    std::optional<RecordKey> m_lastRecord;
};
