#include "HardKillRun.h"

#include "RecoveryCheck.h"
#include "SoakSettings.h"
#include "counting/CountFiles.h"
#include "platform/PathRules.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <numeric>

#include <sys/stat.h>

#ifndef WARDALE_PROGRAM
#define WARDALE_PROGRAM "wardalecounter"
#endif

namespace {

// Inode and modification time: a save replaces the file, so either changes.
QString fileStamp(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("-");
    return QStringLiteral("%1:%2.%3")
        .arg(info.st_ino)
        .arg(static_cast<qint64>(info.st_mtim.tv_sec))
        .arg(static_cast<qint64>(info.st_mtim.tv_nsec));
}

} // namespace

HardKillRun::HardKillRun(int seconds, std::uint32_t seed)
    : m_seconds(seconds), m_seed(seed), m_random(seed ^ 0x6b11u), m_plan(seed ^ 0x5a7eu)
{
}

void HardKillRun::fail(const QString& line)
{
    m_failed = true;
    m_report << QStringLiteral("FAIL ") + line;
}

void HardKillRun::note(const QString& line)
{
    m_report << QStringLiteral("     ") + line;
}

quint32 HardKillRun::simNow() const
{
    return static_cast<quint32>(std::max<qint64>(0, m_clock.elapsed() - m_simStartedMs));
}

int HardKillRun::run()
{
    m_clock.start();
    std::printf("hard-kill soak: %d s, seed %u\n", m_seconds, m_seed);
    std::fflush(stdout);
    QObject::connect(&m_program, &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
        if (m_stopping)
            return;
        m_endedByItself = true;
        m_endText = QStringLiteral("%1, exit code %2")
                        .arg(status == QProcess::CrashExit ? QStringLiteral("crash") : QStringLiteral("exit"))
                        .arg(code);
    });
    if (prepare()) {
        QElapsedTimer phase;
        phase.start();
        while (phase.elapsed() < m_seconds * 1000 && startProgram() && killCycle(m_plan.next()))
            runFor(m_plan.downtimeMs());
        const int kills = std::accumulate(m_kills.begin(), m_kills.end(), 0);
        note(QStringLiteral("kills: %1 in %2 s (%3 early, %4 random, %5 at a save, %6 of them during or right "
                            "after one)")
                 .arg(kills)
                 .arg(phase.elapsed() / 1000)
                 .arg(m_kills[KillMoment::Early])
                 .arg(m_kills[KillMoment::Random])
                 .arg(m_kills[KillMoment::AtSave])
                 .arg(m_savesHit));
        std::array<qint64, kGates> counters{};
        if (!m_failed && startProgram() && waitForAllGates() && readCounters(counters)) {
            closeProgram();
            if (!m_failed)
                compare(counters);
        } else {
            kill();
        }
    }
    checkCrashOutput();
    if (m_failed)
        saveSimulatorLog();
    m_sim.stop();
    for (const QString& line : std::as_const(m_report))
        std::printf("%s\n", line.toUtf8().constData());
    std::printf("hard-kill soak: %s after %.1f s\n", m_failed ? "FAILED" : "passed", m_clock.elapsed() / 1000.0);
    if (m_failed) {
        m_root.keep();
        std::printf("hard-kill soak: program output, simulator log and data folder kept in %s\n",
                    m_root.path().toUtf8().constData());
    }
    return m_failed ? 1 : 0;
}

bool HardKillRun::prepare()
{
    if (!m_root.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return false;
    }
    // Every gate starts from counters of its own, as gates do that counted before the program knew them.
    QByteArray config;
    for (int gate = 0; gate < kGates; ++gate) {
        m_initial[static_cast<std::size_t>(gate)] = 1000 * (gate + 1) + m_random.bounded(1000);
        config += QStringLiteral("G%1.in=%2 0 0\nG%1.out=%3 0 0\n")
                      .arg(gate)
                      .arg(m_initial[static_cast<std::size_t>(gate)])
                      .arg(m_random.bounded(5000))
                      .toUtf8();
    }
    m_simStartedMs = m_clock.elapsed();
    if (!m_sim.start(kGates, config)) {
        fail(QStringLiteral("the simulator did not start: ") + m_sim.errorOutput());
        return false;
    }
    QList<std::pair<QString, quint16>> gates;
    for (int i = 0; i < kGates; ++i)
        gates.append({m_sim.address(i).toString(), m_sim.port(i)});
    QFile ini(m_root.dataFolder() + QStringLiteral("/options.ini"));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write(SoakSettings::optionsIni(gates, SoakSettings::freeLoopbackPorts(kGates))) < 0) {
        fail(QStringLiteral("cannot write options.ini"));
        return false;
    }
    m_program.setProcessEnvironment(m_root.environment());
    m_program.setStandardOutputFile(m_root.filePath(QStringLiteral("program.out")), QIODevice::Append);
    m_program.setStandardErrorFile(m_root.filePath(QStringLiteral("program.err")), QIODevice::Append);
    return true;
}

bool HardKillRun::startProgram()
{
    m_fileStamps = {fileStamp(PathRules::join(m_root.dataFolder(), QString::fromLatin1(CountFiles::kEventFileName))),
                    fileStamp(PathRules::join(m_root.dataFolder(), QString::fromLatin1(CountFiles::kDayFileName)))};
    m_endedByItself = false;
    const QString program = qEnvironmentVariable("WARDALE_PROGRAM", QStringLiteral(WARDALE_PROGRAM));
    m_program.start(program, {QStringLiteral("--data-dir"), m_root.dataFolder()});
    if (!m_program.waitForStarted(10000)) {
        fail(QStringLiteral("the program did not start: ") + m_program.errorString());
        return false;
    }
    ++m_starts;
    return true;
}

bool HardKillRun::runFor(int ms, const std::function<bool()>& done)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms) {
        if (m_clock.elapsed() >= m_nextCountMs) {
            pushCount();
            m_nextCountMs = m_clock.elapsed() + kCountEveryMs;
        }
        if (m_basedCount < kGates && m_clock.elapsed() >= m_nextBaseCheckMs) {
            noteBases();
            m_nextBaseCheckMs = m_clock.elapsed() + kBaseCheckEveryMs;
        }
        const int slice = static_cast<int>(std::min<qint64>(20, ms - elapsed.elapsed()));
        if (m_sim.waitFor([&] { return m_endedByItself || (done && done()); }, std::max(slice, 0)))
            break;
    }
    if (m_endedByItself && m_program.state() == QProcess::NotRunning) {
        fail(QStringLiteral("the program ended by itself in run %1 (%2)").arg(m_starts).arg(m_endText));
        return false;
    }
    return true;
}

bool HardKillRun::killCycle(const KillMoment& moment)
{
    bool saved = false;
    const bool alive = moment.kind == KillMoment::AtSave ? runFor(moment.delayMs, [&] { return saved = saveSeen(); })
                                                         : runFor(moment.delayMs);
    if (!alive)
        return false;
    kill();
    ++m_kills[moment.kind];
    m_savesHit += saved ? 1 : 0;
    return true;
}

bool HardKillRun::saveSeen()
{
    return fileStamp(PathRules::join(m_root.dataFolder(), QString::fromLatin1(CountFiles::kEventFileName))) !=
               m_fileStamps.value(0) ||
           fileStamp(PathRules::join(m_root.dataFolder(), QString::fromLatin1(CountFiles::kDayFileName))) !=
               m_fileStamps.value(1);
}

void HardKillRun::kill()
{
    if (m_program.state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    m_program.kill();
    m_program.waitForFinished(10000);
    m_stopping = false;
}

void HardKillRun::pushCount()
{
    if (m_basedCount == 0)
        return;
    int gate = m_random.bounded(kGates);
    while (!m_based[static_cast<std::size_t>(gate)])
        gate = (gate + 1) % kGates;
    const int visitors = m_random.bounded(1, 4);
    const QString reply = m_sim.command(QStringLiteral("count %1 0 %2 0").arg(gate).arg(visitors));
    if (reply.startsWith(QLatin1String("ok "))) {
        m_sent[static_cast<std::size_t>(gate)] += visitors;
        ++m_countCommands;
    }
}

// A gate takes visitors once some run of the program has been past its count read (the read-loop command
// comes later in the start-up sequence): from then on the program knows the gate's counters.
void HardKillRun::noteBases()
{
    const QList<GateSimLogLine> log = m_sim.log();
    const RecoveryCheck check(log);
    for (int gate = 0; gate < kGates; ++gate) {
        auto& based = m_based[static_cast<std::size_t>(gate)];
        if (!based && check.stateAt(gate, simNow()).sequenceDone) {
            based = true;
            ++m_basedCount;
        }
    }
}

bool HardKillRun::waitForAllGates()
{
    QElapsedTimer begin;
    begin.start();
    qint64 nextCheck = 0;
    int done = 0;
    const bool ready = runFor(kStartUpLimitMs, [&] {
        if (begin.elapsed() < nextCheck)
            return false;
        nextCheck = begin.elapsed() + 200;
        const QList<GateSimLogLine> log = m_sim.log();
        const RecoveryCheck check(log);
        done = 0;
        for (int gate = 0; gate < kGates; ++gate)
            done += check.stateAt(gate, simNow()).sequenceDone ? 1 : 0;
        return done == kGates;
    });
    if (!ready || done < kGates) {
        if (!m_failed)
            fail(QStringLiteral("last start: %1 of %2 gates through the start-up sequence within %3 s")
                     .arg(done)
                     .arg(kGates)
                     .arg(kStartUpLimitMs / 1000));
        return false;
    }
    note(QStringLiteral("last start: all %1 gates at the idle step after %2 ms").arg(kGates).arg(begin.elapsed()));
    return true;
}

bool HardKillRun::readCounters(std::array<qint64, kGates>& counters)
{
    // No more visitors: the last count frames reach the program before the counters are read.
    m_nextCountMs = std::numeric_limits<qint64>::max();
    if (!runFor(kSettleMs))
        return false;
    static const QRegularExpression inCounters(QStringLiteral("^ok G\\d+ in=(-?\\d+),(-?\\d+),(-?\\d+) "));
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

void HardKillRun::closeProgram()
{
    // SIGTERM closes like the close command: shutdown steps, then the count files are saved.
    QElapsedTimer closing;
    closing.start();
    m_stopping = true;
    m_program.terminate();
    const bool ended = m_program.waitForFinished(kCloseWaitMs);
    m_stopping = false;
    if (!ended) {
        fail(QStringLiteral("the program did not end within %1 s of SIGTERM; killed").arg(kCloseWaitMs / 1000));
        kill();
        return;
    }
    if (m_program.exitStatus() == QProcess::CrashExit || m_program.exitCode() != 0)
        fail(QStringLiteral("close: the program did not end cleanly on SIGTERM (exit code %1)")
                 .arg(m_program.exitCode()));
    else
        note(QStringLiteral("close: clean exit %1 ms after SIGTERM").arg(closing.elapsed()));
}

void HardKillRun::compare(const std::array<qint64, kGates>& counters)
{
    DayFileTotals::Totals totals{};
    QString error;
    if (!DayFileTotals::read(m_root.dataFolder(), totals, error)) {
        fail(QStringLiteral("pc_all.dat: ") + error);
        return;
    }
    qint64 visitors = 0;
    qint64 counted = 0;
    int mismatches = 0;
    for (int gate = 0; gate < kGates; ++gate) {
        const auto g = static_cast<std::size_t>(gate);
        const qint64 expected = counters[g] - m_initial[g];
        visitors += expected;
        counted += totals[g];
        if (expected != m_sent[g])
            note(QStringLiteral("G%1: the simulator counted %2 visitors, the soak sent %3")
                     .arg(gate)
                     .arg(expected)
                     .arg(m_sent[g]));
        if (totals[g] != expected) {
            ++mismatches;
            fail(QStringLiteral("G%1: pc_all.dat day total %2, visitors at the gate %3 (counter %4 from %5)")
                     .arg(gate)
                     .arg(totals[g])
                     .arg(expected)
                     .arg(counters[g])
                     .arg(m_initial[g]));
        }
    }
    note(QStringLiteral("counts: %1 program starts, %2 count commands, %3 visitors at the gates, %4 in "
                        "pc_all.dat, %5 gates differ")
             .arg(m_starts)
             .arg(m_countCommands)
             .arg(visitors)
             .arg(counted)
             .arg(mismatches));
}

void HardKillRun::saveSimulatorLog()
{
    QFile file(m_root.filePath(QStringLiteral("gatesim.log")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const GateSimLogLine& line : m_sim.log())
        file.write(QStringLiteral("%1 %2 %3 %4\n").arg(line.ms).arg(line.unit, line.kind, line.text).toUtf8());
}

void HardKillRun::checkCrashOutput()
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
