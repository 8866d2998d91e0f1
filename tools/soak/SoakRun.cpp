#include "SoakRun.h"

#include "DayFileTotals.h"
#include "RecoveryCheck.h"
#include "counting/CountFiles.h"
#include "platform/PathRules.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <cstdio>

SoakRun::SoakRun(int seconds, std::uint32_t seed) : m_seconds(seconds), m_seed(seed), m_random(seed ^ 0x5eedu) {}

void SoakRun::pump(int ms)
{
    m_stage.sim().waitFor([] { return false; }, ms);
}

int SoakRun::receivedFrames()
{
    int frames = 0;
    for (const GateSimLogLine& line : m_stage.sim().log())
        frames += line.kind == QLatin1String("RX") ? 1 : 0;
    return frames;
}

int SoakRun::run()
{
    m_stage.clock().start();
    std::printf("soak: %d s, seed %u\n", m_seconds, m_seed);
    std::fflush(stdout);
    if (m_stage.prepare() && startProgram()) {
        if (waitForStartUp())
            soak();
        // The counts are read after the close, which saves the count files once more.
        if (!m_programEnded)
            m_stage.closeProgram();
        if (m_haveCounters)
            compareCounts();
    }
    return m_stage.finish("soak");
}

bool SoakRun::startProgram()
{
    QObject::connect(&m_stage.program(), &QProcess::finished, [this] {
        m_programEnded = true;
        m_endedAtMs = static_cast<int>(m_stage.clock().elapsed());
    });
    return m_stage.startProgram();
}

bool SoakRun::waitForStartUp()
{
    const qint64 begin = m_stage.clock().elapsed();
    int done = 0;
    int connected = 0;
    m_stage.sim().waitFor(
        [&] {
            const QList<GateSimLogLine> log = m_stage.sim().log();
            const RecoveryCheck check(log);
            done = 0;
            connected = 0;
            for (int gate = 0; gate < kGates; ++gate) {
                const RecoveryCheck::GateState state = check.stateAt(gate, m_stage.simNow());
                done += state.sequenceDone ? 1 : 0;
                connected += state.connected ? 1 : 0;
            }
            return done == kGates || m_programEnded;
        },
        kStartUpLimitMs);
    if (m_programEnded) {
        m_stage.fail(
            QStringLiteral("the program ended during start-up (exit code %1)").arg(m_stage.program().exitCode()));
        return false;
    }
    if (done < kGates) {
        m_stage.fail(
            QStringLiteral("start-up: %1 of %2 gates finished the start-up sequence within %3 s (%4 connected, "
                           "%5 frames received by the gates)")
                .arg(done)
                .arg(kGates)
                .arg(kStartUpLimitMs / 1000)
                .arg(connected)
                .arg(receivedFrames()));
        return false;
    }
    m_stage.note(QStringLiteral("start-up: all %1 gates at the idle step after %2 ms")
                     .arg(kGates)
                     .arg(m_stage.clock().elapsed() - begin));
    return true;
}

void SoakRun::inject(SoakFault& fault)
{
    const QString unit = QStringLiteral("G%1").arg(fault.gate);
    qint64 at = m_stage.simNow();
    for (const QString& command : fault.commands())
        m_stage.sim().command(command);
    // The simulator's own record of the fault is the exact start.
    const QList<GateSimLogLine> log = m_stage.sim().log();
    for (auto it = log.crbegin(); it != log.crend(); ++it) {
        if (it->unit == unit && it->kind == QLatin1String("EV") &&
            (it->text.startsWith(QLatin1String("fault ")) || it->text.startsWith(QLatin1String("refusing")))) {
            at = std::min<qint64>(at, it->ms);
            break;
        }
    }
    m_injectedAt.append(at);
}

void SoakRun::pushCount()
{
    const int gate = m_random.bounded(kGates);
    const int visitors = m_random.bounded(1, 4);
    m_stage.sendVisitors(gate, visitors);
}

void SoakRun::soak()
{
    const int totalMs = m_seconds * 1000;
    const int injectMs = std::max(0, totalMs - kQuietTailMs);
    m_plan = FaultPlan::make(kGates, injectMs, m_seed);
    QElapsedTimer phase;
    phase.start();
    qsizetype next = 0;
    qint64 nextCount = 0;
    while (phase.elapsed() < totalMs && !m_programEnded) {
        while (next < m_plan.size() && m_plan[next].startMs <= phase.elapsed())
            inject(m_plan[next++]);
        if (phase.elapsed() >= nextCount) {
            pushCount();
            nextCount = phase.elapsed() + kCountEveryMs;
        }
        pump(10);
    }
    if (m_programEnded) {
        m_stage.fail(QStringLiteral("the program ended during the soak after %1 ms (exit code %2, %3)")
                         .arg(m_endedAtMs)
                         .arg(m_stage.program().exitCode())
                         .arg(m_stage.program().exitStatus() == QProcess::CrashExit ? QStringLiteral("crash")
                                                                                    : QStringLiteral("exit")));
        return;
    }
    checkRecovery();

    if (!finalCounters(m_counters))
        return;
    m_haveCounters = true;
    if (!waitForSave(QDateTime::currentMSecsSinceEpoch()))
        m_stage.fail(
            QStringLiteral("pc_all.dat was not saved within %1 s after the last counts").arg(kSaveWaitMs / 1000));
}

void SoakRun::compareCounts()
{
    DayFileTotals::Totals totals{};
    if (!m_stage.readDayTotals(totals))
        return;
    qint64 sent = 0;
    qint64 counted = 0;
    int mismatches = 0;
    for (int gate = 0; gate < kGates; ++gate) {
        const auto g = static_cast<std::size_t>(gate);
        sent += m_counters[g];
        counted += totals[g];
        if (m_counters[g] != m_stage.sent()[g])
            m_stage.note(QStringLiteral("G%1: the simulator counted %2, the soak sent %3")
                             .arg(gate)
                             .arg(m_counters[g])
                             .arg(m_stage.sent()[g]));
        if (totals[g] != m_counters[g]) {
            ++mismatches;
            m_stage.fail(QStringLiteral("G%1: pc_all.dat day total %2, simulator counter %3")
                             .arg(gate)
                             .arg(totals[g])
                             .arg(m_counters[g]));
        }
    }
    m_stage.note(
        QStringLiteral("counts: %1 count commands, %2 visitors at the gates, %3 in pc_all.dat, %4 gates differ")
            .arg(m_stage.countCommands())
            .arg(sent)
            .arg(counted)
            .arg(mismatches));
}

void SoakRun::checkRecovery()
{
    const QList<GateSimLogLine> log = m_stage.sim().log();
    const RecoveryCheck check(log);
    int counts[SoakFault::KindCount] = {};
    int recovered = 0;
    int reconnected = 0;
    int worstMs = 0;
    qint64 sumMs = 0;
    for (qsizetype i = 0; i < m_injectedAt.size(); ++i) {
        const SoakFault& fault = m_plan[i];
        ++counts[fault.kind];
        const auto start = static_cast<quint32>(m_injectedAt[i]);
        quint32 end = start + static_cast<quint32>(fault.durationMs);
        // The gate's state is judged before its next fault can disturb it.
        quint32 judgedAt = end + FaultPlan::kRecoveryWindowMs;
        for (qsizetype later = i + 1; later < m_injectedAt.size(); ++later) {
            if (m_plan[later].gate == fault.gate) {
                judgedAt = std::min(judgedAt, static_cast<quint32>(m_injectedAt[later]) - 1);
                break;
            }
        }
        // A NACK burst ends with the gate's last NACK, however long the program's resends took.
        if (fault.kind == SoakFault::NackBurst) {
            end = check.lastNackMs(fault.gate, start, judgedAt);
            judgedAt = std::min(judgedAt, end + FaultPlan::kRecoveryWindowMs);
        }
        const RecoveryCheck::Outcome outcome = check.outcome(fault.gate, start, end, judgedAt);
        if (!outcome.recovered) {
            m_stage.fail(QStringLiteral("G%1 not back at the idle step at %2 ms, %3 ms after %4 (%5) ended")
                             .arg(fault.gate)
                             .arg(judgedAt)
                             .arg(judgedAt - end)
                             .arg(SoakFault::kindName(fault.kind))
                             .arg(fault.amount));
            continue;
        }
        ++recovered;
        if (outcome.reconnected) {
            ++reconnected;
            sumMs += outcome.recoveryMs;
            worstMs = std::max(worstMs, outcome.recoveryMs);
        }
    }
    QStringList kinds;
    for (int kind = 0; kind < SoakFault::KindCount; ++kind)
        kinds << QStringLiteral("%1 %2").arg(SoakFault::kindName(static_cast<SoakFault::Kind>(kind))).arg(counts[kind]);
    m_stage.note(
        QStringLiteral("faults: %1 injected (%2)").arg(m_injectedAt.size()).arg(kinds.join(QStringLiteral(", "))));
    m_stage.note(QStringLiteral("recovery: %1 of %2 back at the idle step within %3 s; %4 through a new connection, "
                                "mean %5 ms, worst %6 ms from the end of the fault")
                     .arg(recovered)
                     .arg(m_injectedAt.size())
                     .arg(FaultPlan::kRecoveryWindowMs / 1000)
                     .arg(reconnected)
                     .arg(reconnected ? sumMs / reconnected : 0)
                     .arg(worstMs));
}

bool SoakRun::finalCounters(std::array<qint64, kGates>& counters)
{
    m_stage.sim().command(QStringLiteral("clear-faults all"));
    m_stage.sim().command(QStringLiteral("push-count all"));
    pump(1500);
    return m_stage.readCounters(counters);
}

bool SoakRun::waitForSave(qint64 afterMs)
{
    const QString path = PathRules::join(m_stage.root().dataFolder(), QString::fromLatin1(CountFiles::kDayFileName));
    return m_stage.sim().waitFor(
        [&] {
            const QFileInfo file(path);
            return file.exists() && file.lastModified().toMSecsSinceEpoch() > afterMs;
        },
        kSaveWaitMs);
}
