#include "SoakRun.h"

#include "DayFileTotals.h"
#include "RecoveryCheck.h"
#include "SoakSettings.h"
#include "counting/CountFiles.h"
#include "platform/PathRules.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#ifndef WARDALE_PROGRAM
#define WARDALE_PROGRAM "wardalecounter"
#endif

SoakRun::SoakRun(int seconds, std::uint32_t seed) : m_seconds(seconds), m_seed(seed), m_random(seed ^ 0x5eedu) {}

void SoakRun::fail(const QString& line)
{
    m_failed = true;
    m_report << QStringLiteral("FAIL ") + line;
}

void SoakRun::note(const QString& line)
{
    m_report << QStringLiteral("     ") + line;
}

void SoakRun::pump(int ms)
{
    m_sim.waitFor([] { return false; }, ms);
}

int SoakRun::receivedFrames()
{
    int frames = 0;
    for (const GateSimLogLine& line : m_sim.log())
        frames += line.kind == QLatin1String("RX") ? 1 : 0;
    return frames;
}

quint32 SoakRun::simNow() const
{
    return static_cast<quint32>(std::max<qint64>(0, m_clock.elapsed() - m_simStartedMs));
}

int SoakRun::run()
{
    m_clock.start();
    std::printf("soak: %d s, seed %u\n", m_seconds, m_seed);
    std::fflush(stdout);
    if (prepare() && startProgram()) {
        if (waitForStartUp())
            soak();
        // The counts are read after the close, which saves the count files once more.
        closeProgram();
        if (m_haveCounters)
            compareCounts();
    }
    checkCrashOutput();
    if (m_failed)
        saveSimulatorLog();
    m_sim.stop();
    for (const QString& line : std::as_const(m_report))
        std::printf("%s\n", line.toUtf8().constData());
    std::printf("soak: %s\n", m_failed ? "FAILED" : "passed");
    if (m_failed) {
        m_root.keep();
        std::printf("soak: program output, simulator log and data folder kept in %s\n",
                    m_root.path().toUtf8().constData());
    }
    return m_failed ? 1 : 0;
}

bool SoakRun::prepare()
{
    if (!m_root.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return false;
    }

    m_simStartedMs = m_clock.elapsed();
    if (!m_sim.start(kGates)) {
        fail(QStringLiteral("the simulator did not start: ") + m_sim.errorOutput());
        return false;
    }
    QList<std::pair<QString, quint16>> gates;
    for (int i = 0; i < kGates; ++i)
        gates.append({m_sim.address(i).toString(), m_sim.port(i)});
    const QList<quint16> relayPorts = SoakSettings::freeLoopbackPorts(kGates);
    QFile ini(m_root.dataFolder() + QStringLiteral("/options.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(SoakSettings::optionsIni(gates, relayPorts)) < 0) {
        fail(QStringLiteral("cannot write options.ini"));
        return false;
    }
    return true;
}

bool SoakRun::startProgram()
{
    // Its own temp folder keeps its single-instance lock apart from any other copy on the machine.
    m_program.setProcessEnvironment(m_root.environment());
    m_program.setStandardOutputFile(m_root.filePath(QStringLiteral("program.out")));
    m_program.setStandardErrorFile(m_root.filePath(QStringLiteral("program.err")));
    QObject::connect(&m_program, &QProcess::finished, [this] {
        m_programEnded = true;
        m_endedAtMs = static_cast<int>(m_clock.elapsed());
    });
    // WARDALE_PROGRAM picks another build of the program, for example one with the sanitizers.
    const QString program = qEnvironmentVariable("WARDALE_PROGRAM", QStringLiteral(WARDALE_PROGRAM));
    m_program.start(program, {QStringLiteral("--data-dir"), m_root.dataFolder()});
    if (!m_program.waitForStarted(10000)) {
        fail(QStringLiteral("the program did not start: ") + m_program.errorString());
        return false;
    }
    return true;
}

bool SoakRun::waitForStartUp()
{
    const qint64 begin = m_clock.elapsed();
    int done = 0;
    int connected = 0;
    m_sim.waitFor(
        [&] {
            const QList<GateSimLogLine> log = m_sim.log();
            const RecoveryCheck check(log);
            done = 0;
            connected = 0;
            for (int gate = 0; gate < kGates; ++gate) {
                const RecoveryCheck::GateState state = check.stateAt(gate, simNow());
                done += state.sequenceDone ? 1 : 0;
                connected += state.connected ? 1 : 0;
            }
            return done == kGates || m_programEnded;
        },
        kStartUpLimitMs);
    if (m_programEnded) {
        fail(QStringLiteral("the program ended during start-up (exit code %1)").arg(m_program.exitCode()));
        return false;
    }
    if (done < kGates) {
        fail(QStringLiteral("start-up: %1 of %2 gates finished the start-up sequence within %3 s (%4 connected, "
                            "%5 frames received by the gates)")
                 .arg(done)
                 .arg(kGates)
                 .arg(kStartUpLimitMs / 1000)
                 .arg(connected)
                 .arg(receivedFrames()));
        return false;
    }
    note(QStringLiteral("start-up: all %1 gates at the idle step after %2 ms")
             .arg(kGates)
             .arg(m_clock.elapsed() - begin));
    return true;
}

void SoakRun::inject(SoakFault& fault)
{
    const QString unit = QStringLiteral("G%1").arg(fault.gate);
    qint64 at = simNow();
    for (const QString& command : fault.commands())
        m_sim.command(command);
    // The simulator's own record of the fault is the exact start.
    const QList<GateSimLogLine> log = m_sim.log();
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
    const QString reply = m_sim.command(QStringLiteral("count %1 0 %2 0").arg(gate).arg(visitors));
    if (reply.startsWith(QLatin1String("ok "))) {
        m_sent[static_cast<std::size_t>(gate)] += visitors;
        ++m_countCommands;
    }
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
        fail(
            QStringLiteral("the program ended during the soak after %1 ms (exit code %2, %3)")
                .arg(m_endedAtMs)
                .arg(m_program.exitCode())
                .arg(m_program.exitStatus() == QProcess::CrashExit ? QStringLiteral("crash") : QStringLiteral("exit")));
        return;
    }
    checkRecovery();

    if (!finalCounters(m_counters))
        return;
    m_haveCounters = true;
    if (!waitForSave(QDateTime::currentMSecsSinceEpoch()))
        fail(QStringLiteral("pc_all.dat was not saved within %1 s after the last counts").arg(kSaveWaitMs / 1000));
}

void SoakRun::compareCounts()
{
    std::array<qint64, kGates> totals{};
    QString error;
    if (!DayFileTotals::read(m_root.dataFolder(), totals, error)) {
        fail(QStringLiteral("pc_all.dat: ") + error);
        return;
    }
    qint64 sent = 0;
    qint64 counted = 0;
    int mismatches = 0;
    for (int gate = 0; gate < kGates; ++gate) {
        const auto g = static_cast<std::size_t>(gate);
        sent += m_counters[g];
        counted += totals[g];
        if (m_counters[g] != m_sent[g])
            note(QStringLiteral("G%1: the simulator counted %2, the soak sent %3")
                     .arg(gate)
                     .arg(m_counters[g])
                     .arg(m_sent[g]));
        if (totals[g] != m_counters[g]) {
            ++mismatches;
            fail(QStringLiteral("G%1: pc_all.dat day total %2, simulator counter %3")
                     .arg(gate)
                     .arg(totals[g])
                     .arg(m_counters[g]));
        }
    }
    note(QStringLiteral("counts: %1 count commands, %2 visitors at the gates, %3 in pc_all.dat, %4 gates differ")
             .arg(m_countCommands)
             .arg(sent)
             .arg(counted)
             .arg(mismatches));
}

void SoakRun::checkRecovery()
{
    const QList<GateSimLogLine> log = m_sim.log();
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
            fail(QStringLiteral("G%1 not back at the idle step at %2 ms, %3 ms after %4 (%5) ended")
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
    note(QStringLiteral("faults: %1 injected (%2)").arg(m_injectedAt.size()).arg(kinds.join(QStringLiteral(", "))));
    note(QStringLiteral("recovery: %1 of %2 back at the idle step within %3 s; %4 through a new connection, "
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
    m_sim.command(QStringLiteral("clear-faults all"));
    m_sim.command(QStringLiteral("push-count all"));
    pump(1500);
    static const QRegularExpression inCounters(QStringLiteral("^ok G\\d+ in=(\\d+),(\\d+),(\\d+) "));
    for (int gate = 0; gate < kGates; ++gate) {
        const QString reply = m_sim.command(QStringLiteral("counters %1").arg(gate));
        const QRegularExpressionMatch match = inCounters.match(reply);
        if (!match.hasMatch()) {
            fail(QStringLiteral("G%1: no counters from the simulator (%2)").arg(gate).arg(reply));
            return false;
        }
        counters[static_cast<std::size_t>(gate)] =
            match.captured(1).toLongLong() + match.captured(2).toLongLong() + match.captured(3).toLongLong();
    }
    return true;
}

bool SoakRun::waitForSave(qint64 afterMs)
{
    const QString path = PathRules::join(m_root.dataFolder(), QString::fromLatin1(CountFiles::kDayFileName));
    return m_sim.waitFor(
        [&] {
            const QFileInfo file(path);
            return file.exists() && file.lastModified().toMSecsSinceEpoch() > afterMs;
        },
        kSaveWaitMs);
}

void SoakRun::closeProgram()
{
    if (m_programEnded)
        return;
    // SIGTERM closes without the operator's question: shutdown steps, then the count files are saved.
    QElapsedTimer closing;
    closing.start();
    m_program.terminate();
    if (!m_program.waitForFinished(kCloseWaitMs)) {
        fail(QStringLiteral("the program did not end within %1 s of SIGTERM; killed").arg(kCloseWaitMs / 1000));
        m_program.kill();
        m_program.waitForFinished(5000);
        return;
    }
    if (m_program.exitStatus() == QProcess::CrashExit || m_program.exitCode() != 0)
        fail(QStringLiteral("close: the program did not end cleanly on SIGTERM (%1, exit code %2)")
                 .arg(m_program.exitStatus() == QProcess::CrashExit ? QStringLiteral("signal or crash")
                                                                    : QStringLiteral("exit"))
                 .arg(m_program.exitCode()));
    else
        note(QStringLiteral("close: clean exit %1 ms after SIGTERM").arg(closing.elapsed()));
}

void SoakRun::saveSimulatorLog()
{
    QFile file(m_root.filePath(QStringLiteral("gatesim.log")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const GateSimLogLine& line : m_sim.log())
        file.write(QStringLiteral("%1 %2 %3 %4\n").arg(line.ms).arg(line.unit, line.kind, line.text).toUtf8());
}

void SoakRun::checkCrashOutput()
{
    QFile errors(m_root.filePath(QStringLiteral("program.err")));
    if (!errors.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = errors.readAll();
    for (const char* marker :
         {"AddressSanitizer", "runtime error:", "Segmentation fault", "Aborted", "terminate called"})
        if (text.contains(marker))
            fail(QStringLiteral("the program's error output reports \"%1\"").arg(QString::fromLatin1(marker)));
}
