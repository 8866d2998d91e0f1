#pragma once

#include "counting/CountRecord.h"
#include "gatelink/GateFrame.h"
#include "gatelink/GateReportSink.h"
#include "gatelink/LinkHost.h"
#include "gatelink/LinkLogModel.h"
#include "gatelink/LinkShared.h"
#include "gatelink/TagReport.h"
#include "platform/DayNumber.h"
#include "platform/ManualClock.h"

#include <QByteArray>
#include <QStringList>

#include <utility>
#include <vector>

namespace GateLinkTest {

// "02 00 30 ..." to bytes.
inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// A good frame: STX, ID, letter, LEN, DATA, ETX, SUM, CR.
inline QByteArray frame(char command, const QByteArray& data, std::uint8_t id = 0)
{
    return GateFrame::BuildFrame(command, data, id);
}

inline const std::uint8_t* u8(const QByteArray& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

// Text of a log line after the time stamp ("hh:mm:ss:zzz" is 12 characters).
inline QStringList withoutTime(const QStringList& lines)
{
    QStringList result;
    for (const QString& line : lines)
        result.append(line.mid(12));
    return result;
}

class RecordingSink final : public GateReportSink
{
public:
    void CountValuesReceived(int gate, const CountRecord& record) override { counts.emplace_back(gate, record); }
    void CountBlocksReceived(int gate, const CountRecord& record, int blocks) override
    {
        blockCounts.push_back({gate, record, blocks});
    }
    void TagDetected(int gate, const TagReport& report) override { tags.emplace_back(gate, report); }

    struct Blocks
    {
        int gate;
        CountRecord record;
        int blocks;
    };
    std::vector<std::pair<int, CountRecord>> counts;
    std::vector<Blocks> blockCounts;
    std::vector<std::pair<int, TagReport>> tags;
};

class FakeLinkHost final : public LinkHost
{
public:
    QString gateName(int gate) const override { return gate == 0 ? name : QString(); }
    void ShowFatalConnectionError(const QString& caption, const QString& text) override
    {
        fatalCaptions.append(caption);
        fatalTexts.append(text);
    }

    QString name;
    QStringList fatalCaptions;
    QStringList fatalTexts;
};

// The clock at 09:15:02.417 on some day, so that log lines carry a known time.
inline double logTime()
{
    return DayNumber::fromDate(QDate(2024, 5, 1)) + DayNumber::encodeTime(9, 15, 2, 417);
}

} // namespace GateLinkTest
