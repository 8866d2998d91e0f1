#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class Clock;
class CountModel;
struct ReportDateRange;

// Every rule of the date range dialog `TCalenderForm`, without widgets: the year list from the data
// span, the six boxes, the four modes, OK with its data check. Each change writes the report date range
// at once, so the range always matches the dates the boxes show.
class CalenderModel final
{
public:
    enum Mode
    {
        AnyRange = 0,
        Daily = 1,
        Monthly = 2,
        FiscalYear = 3,
    };
    enum class Side
    {
        Start,
        End,
    };
    enum class Box
    {
        StartYear,
        StartMonth,
        StartDay,
        EndYear,
        EndMonth,
        EndDay,
    };

    struct OkResult
    {
        // The period holds data: the range is confirmed and the dialog closes.
        bool accepted = false;
        // Where the dialog's top edge goes: moved up once per opening when a period is refused.
        int top = 0;
    };

    // The dialog moves up by this much the first time a period is refused.
    static constexpr int kRefusalMove = 96;

    CalenderModel(const CountModel& model, const Clock& clock, ReportDateRange& range, int startBand, int endBand);

    static QString caption();
    static QString noDataWarning();

    // The preparation at every opening: year list, first-opening range, boxes, period text.
    void FormCreate();

    // A box change with the index chosen in its list. Changes to a box the mode disables are ignored.
    void StartYearBoxChange(int index);
    void StartMonthBoxChange(int index);
    void StartDayBoxChange(int index);
    void EndYearBoxChange(int index);
    void EndMonthBoxChange(int index);
    void EndDayBoxChange(int index);
    // The mode of the chosen radio button (0..3).
    void RadioButton1Click(int mode);
    // OK with the dialog's top edge as it stands.
    OkResult NextButtonClick(int top);

    int mode() const { return m_mode; }
    bool isEnabled(Box box) const;
    const QStringList& yearItems() const { return m_yearItems; }
    static QStringList monthItems();
    QStringList dayItems(Side side) const;
    int yearIndex(Side side) const;
    int monthIndex(Side side) const;
    int dayIndex(Side side) const;
    QDate shownDate(Side side) const;
    QString periodText() const;

private:
    struct Ends
    {
        int year = 2000;
        int month = 1;
        int day = 1;
    };

    Ends& ends(Side side) { return side == Side::Start ? m_start : m_end; }
    const Ends& ends(Side side) const { return side == Side::Start ? m_start : m_end; }
    bool hasYear(int year) const;
    // Shows date on one side; a year not in the list leaves the year box as it is, or selects the
    // first entry when firstWhenMissing.
    void show(Ends& ends, const QDate& date, bool firstWhenMissing);
    void changeYear(Side side, Box box, int index);
    void changeMonth(Side side, Box box, int index, bool lastDayWhenMissing);
    void changeDay(Side side, Box box, int index);
    // The mode rule, then both ends of the range from the boxes.
    void applyChange();
    void applyModeRule();
    double firstInstant(int day) const;
    double lastInstant(int day) const;

    const CountModel& m_model;
    const Clock& m_clock;
    ReportDateRange& m_range;
    int m_startBand;
    int m_endBand;
    int m_mode = AnyRange;
    bool m_moved = false;
    int m_firstYear = 2000;
    QStringList m_yearItems;
    Ends m_start;
    Ends m_end;
};
