#include "HardKillRun.h"

#include "RecoveryCheck.h"
#include "counting/CountFiles.h"
#include "platform/PathRules.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <numeric>

#include <sys/stat.h>

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

int HardKillRun::run()
{
    m_stage.clock().start();
    std::printf("hard-kill soak: %d s, seed %u\n", m_seconds, m_seed);
    std::fflush(stdout);
    QObject::connect(&m_stage.program(), &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
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
        m_stage.note(QStringLiteral("kills: %1 in %2 s (%3 early, %4 random, %5 at a save, %6 of them during or right "
                                    "after one)")
                         .arg(kills)
                         .arg(phase.elapsed() / 1000)
                         .arg(m_kills[KillMoment::Early])
                         .arg(m_kills[KillMoment::Random])
                         .arg(m_kills[KillMoment::AtSave])
                         .arg(m_savesHit));
        std::array<qint64, kGates> counters{};
        if (!m_stage.failed() && startProgram() && waitForAllGates() && readCounters(counters)) {
            closeProgram();
            if (!m_stage.failed())
                compare(counters);
        } else {
            kill();
        }
    }
    return m_stage.finish("hard-kill soak",
                          QStringLiteral(" after %1 s").arg(m_stage.clock().elapsed() / 1000.0, 0, 'f', 1));
}

// Every gate starts from counters of its own, as gates do that counted before the program knew them.
bool HardKillRun::prepare()
{
    QByteArray config;
    for (int gate = 0; gate < kGates; ++gate) {
        m_initial[static_cast<std::size_t>(gate)] = 1000 * (gate + 1) + m_random.bounded(1000);
        config += QStringLiteral("G%1.in=%2 0 0\nG%1.out=%3 0 0\n")
                      .arg(gate)
                      .arg(m_initial[static_cast<std::size_t>(gate)])
                      .arg(m_random.bounded(5000))
                      .toUtf8();
    }
    return m_stage.prepare(config);
}

bool HardKillRun::startProgram()
{
    m_fileStamps = {
        fileStamp(PathRules::join(m_stage.root().dataFolder(), QString::fromLatin1(CountFiles::kEventFileName))),
        fileStamp(PathRules::join(m_stage.root().dataFolder(), QString::fromLatin1(CountFiles::kDayFileName)))};
    m_endedByItself = false;
    if (!m_stage.startProgram())
        return false;
    ++m_starts;
    return true;
}

bool HardKillRun::runFor(int ms, const std::function<bool()>& done)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms) {
        if (m_stage.clock().elapsed() >= m_nextCountMs) {
            pushCount();
            m_nextCountMs = m_stage.clock().elapsed() + kCountEveryMs;
        }
        if (m_basedCount < kGates && m_stage.clock().elapsed() >= m_nextBaseCheckMs) {
            noteBases();
            m_nextBaseCheckMs = m_stage.clock().elapsed() + kBaseCheckEveryMs;
        }
        const int slice = static_cast<int>(std::min<qint64>(20, ms - elapsed.elapsed()));
        if (m_stage.sim().waitFor([&] { return m_endedByItself || (done && done()); }, std::max(slice, 0)))
            break;
    }
    if (m_endedByItself && m_stage.program().state() == QProcess::NotRunning) {
        m_stage.fail(QStringLiteral("the program ended by itself in run %1 (%2)").arg(m_starts).arg(m_endText));
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
    return fileStamp(PathRules::join(m_stage.root().dataFolder(), QString::fromLatin1(CountFiles::kEventFileName))) !=
               m_fileStamps.value(0) ||
           fileStamp(PathRules::join(m_stage.root().dataFolder(), QString::fromLatin1(CountFiles::kDayFileName))) !=
               m_fileStamps.value(1);
}

void HardKillRun::kill()
{
    if (m_stage.program().state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    m_stage.program().kill();
    m_stage.program().waitForFinished(10000);
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
    m_stage.sendVisitors(gate, visitors);
}

// A gate takes visitors once some run of the program has been past its count read (the read-loop command
// comes later in the start-up sequence): from then on the program knows the gate's counters.
void HardKillRun::noteBases()
{
    const QList<GateSimLogLine> log = m_stage.sim().log();
    const RecoveryCheck check(log);
    for (int gate = 0; gate < kGates; ++gate) {
        auto& based = m_based[static_cast<std::size_t>(gate)];
        if (!based && check.stateAt(gate, m_stage.simNow()).sequenceDone) {
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
        const QList<GateSimLogLine> log = m_stage.sim().log();
        const RecoveryCheck check(log);
        done = 0;
        for (int gate = 0; gate < kGates; ++gate)
            done += check.stateAt(gate, m_stage.simNow()).sequenceDone ? 1 : 0;
        return done == kGates;
    });
    if (!ready || done < kGates) {
        if (!m_stage.failed())
            m_stage.fail(QStringLiteral("last start: %1 of %2 gates through the start-up sequence within %3 s")
                             .arg(done)
                             .arg(kGates)
                             .arg(kStartUpLimitMs / 1000));
        return false;
    }
    m_stage.note(
        QStringLiteral("last start: all %1 gates at the idle step after %2 ms").arg(kGates).arg(begin.elapsed()));
    return true;
}

bool HardKillRun::readCounters(std::array<qint64, kGates>& counters)
{
    // No more visitors: the last count frames reach the program before the counters are read.
    m_nextCountMs = std::numeric_limits<qint64>::max();
    if (!runFor(kSettleMs))
        return false;
    return m_stage.readCounters(counters);
}

void HardKillRun::closeProgram()
{
    m_stopping = true;
    m_stage.closeProgram();
    m_stopping = false;
}

void HardKillRun::compare(const std::array<qint64, kGates>& counters)
{
    DayFileTotals::Totals totals{};
    if (!m_stage.readDayTotals(totals))
        return;
    qint64 visitors = 0;
    qint64 counted = 0;
    int mismatches = 0;
    for (int gate = 0; gate < kGates; ++gate) {
        const auto g = static_cast<std::size_t>(gate);
        const qint64 expected = counters[g] - m_initial[g];
        visitors += expected;
        counted += totals[g];
        if (expected != m_stage.sent()[g])
            m_stage.note(QStringLiteral("G%1: the simulator counted %2 visitors, the soak sent %3")
                             .arg(gate)
                             .arg(expected)
                             .arg(m_stage.sent()[g]));
        if (totals[g] != expected) {
            ++mismatches;
            m_stage.fail(QStringLiteral("G%1: pc_all.dat day total %2, visitors at the gate %3 (counter %4 from %5)")
                             .arg(gate)
                             .arg(totals[g])
                             .arg(expected)
                             .arg(counters[g])
                             .arg(m_initial[g]));
        }
    }
    m_stage.note(QStringLiteral("counts: %1 program starts, %2 count commands, %3 visitors at the gates, %4 in "
                                "pc_all.dat, %5 gates differ")
                     .arg(m_starts)
                     .arg(m_stage.countCommands())
                     .arg(visitors)
                     .arg(counted)
                     .arg(mismatches));
}
