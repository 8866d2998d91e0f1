#pragma once

struct CountRecord;
struct TagReport;

// Where the gate links hand what the gates report: counts to the count model, tags to tag processing.
class GateReportSink
{
public:
    virtual ~GateReportSink() = default;
    virtual void CountValuesReceived(int gate, const CountRecord& record) = 0;
    // A count frame that carried only the first `blocks` aisle blocks (1 or 2); the other blocks of record
    // are zero and stand for nothing.
    virtual void CountBlocksReceived(int gate, const CountRecord& record, int blocks) = 0;
    virtual void TagDetected(int gate, const TagReport& report) = 0;
};
