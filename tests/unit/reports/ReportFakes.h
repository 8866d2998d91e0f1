#pragma once

#include "counting/CountModel.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"
#include "platform/ProgressSink.h"
#include "reports/CountReportHost.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// A progress window that records what it was told; waiting moves the manual clock on by 10 ms.
class FakeProgress final : public ProgressSink
{
public:
    explicit FakeProgress(ManualClock& clock) : m_clock(clock) {}

    void ProgOpen(const QString& caption) override
    {
        captions << caption;
        open = true;
    }
    void ProgMax(int value) override { max = value; }
    void ProgPosition(int value) override { positions.push_back(value); }
    void ProgClose() override { open = false; }
    void keepAlive() override
    {
        ++waits;
        m_clock.advanceMs(10);
    }

    QStringList captions;
    bool open = false;
    int max = -1;
    std::vector<int> positions;
    int waits = 0;

private:
    ManualClock& m_clock;
};

// The main window side: answers the invalid-line questions from a script (No when it runs out).
class FakeHost final : public CountReportHost
{
public:
    bool connectionCheckRunning() const override { return checkRunning; }
    void setMainWindowEnabled(bool enabled) override { enabledChanges.push_back(enabled); }
    bool askYesNo(const QString& text) override
    {
        questions << text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void PageLabelSet() override { ++pageLabels; }
    void requestLayoutPass() override { ++layoutPasses; }

    bool checkRunning = true;
    std::vector<bool> enabledChanges;
    QStringList questions;
    std::deque<bool> answers;
    int pageLabels = 0;
    int layoutPasses = 0;
};

inline double day(int year, int month, int dayOfMonth)
{
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

// Appends a day record to a gate's table; band h of aisle a holds base + 100 * a + h unless told otherwise.
inline DayCountRecord& addDay(CountModel& model, int gate, double date, int base = 0)
{
    const int n = model.dayRecordCount(gate);
    model.setDayRecordCount(gate, n + 1);
    DayCountRecord& record = *model.DayRecordAt(gate, n);
    record = DayCountRecord{};
    record.date = date;
    for (int a = 0; a < DayCountRecord::kAisles; ++a)
        for (int h = 0; h < DayCountRecord::kBands; ++h)
            record.bands[a][h] = base + 100 * a + h;
    return record;
}
