#pragma once

struct CountRecord;
struct TagReport;

// Where the gate links hand what the gates report: counts to the count model, tags to tag processing.
class GateReportSink
{
public:
    virtual ~GateReportSink() = default;
    virtual void CountValuesReceived(int gate, const CountRecord& record) = 0;
    virtual void TagDetected(int gate, const TagReport& report) = 0;
};
