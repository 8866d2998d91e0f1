#include "SoakStage.h"

#include "SoakSettings.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

#ifndef WARDALE_PROGRAM
#define WARDALE_PROGRAM "wardalecounter"
#endif

void SoakStage::fail(const QString& line)
{
    m_failed = true;
    m_report << QStringLiteral("FAIL ") + line;
}

void SoakStage::note(const QString& line)
{
    m_report << QStringLiteral("     ") + line;
}

quint32 SoakStage::simNow() const
{
    return static_cast<quint32>(std::max<qint64>(0, m_clock.elapsed() - m_simStartedMs));
}

bool SoakStage::prepare(const QByteArray& gateConfig)
{
    if (!m_root.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return false;
    }
    m_simStartedMs = m_clock.elapsed();
    if (!m_sim.start(kGates, gateConfig)) {
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
    return true;
}

bool SoakStage::startProgram()
{
    // Its own temp folder keeps its single-instance lock apart from any other copy on the machine.
    m_program.setProcessEnvironment(m_root.environment());
    m_program.setStandardOutputFile(m_root.filePath(QStringLiteral("program.out")), QIODevice::Append);
    m_program.setStandardErrorFile(m_root.filePath(QStringLiteral("program.err")), QIODevice::Append);
    // WARDALE_PROGRAM picks another build of the program, for example one with the sanitizers.
    const QString program = qEnvironmentVariable("WARDALE_PROGRAM", QStringLiteral(WARDALE_PROGRAM));
    m_program.start(program, {QStringLiteral("--data-dir"), m_root.dataFolder()});
    if (!m_program.waitForStarted(10000)) {
        fail(QStringLiteral("the program did not start: ") + m_program.errorString());
        return false;
    }
    return true;
}

void SoakStage::closeProgram()
{
    QElapsedTimer closing;
    closing.start();
    m_program.terminate();
    if (!m_program.waitForFinished(kCloseWaitMs)) {
        fail(QStringLiteral("the program did not end within %1 s of SIGTERM; killed").arg(kCloseWaitMs / 1000));
        m_program.kill();
        m_program.waitForFinished(10000);
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

void SoakStage::sendVisitors(int gate, int visitors)
{
    const QString reply = m_sim.command(QStringLiteral("count %1 0 %2 0").arg(gate).arg(visitors));
    if (reply.startsWith(QLatin1String("ok "))) {
        m_sent[static_cast<std::size_t>(gate)] += visitors;
        ++m_countCommands;
    }
}

bool SoakStage::readCounters(std::array<qint64, kGates>& counters)
{
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

bool SoakStage::readDayTotals(DayFileTotals::Totals& totals)
{
    QString error;
    if (DayFileTotals::read(m_root.dataFolder(), totals, error))
        return true;
    fail(QStringLiteral("pc_all.dat: ") + error);
    return false;
}

int SoakStage::finish(const char* name, const QString& verdictTail)
{
    checkCrashOutput();
    if (m_failed)
        saveSimulatorLog();
    m_sim.stop();
    for (const QString& line : std::as_const(m_report))
        std::printf("%s\n", line.toUtf8().constData());
    std::printf("%s: %s%s\n", name, m_failed ? "FAILED" : "passed", verdictTail.toUtf8().constData());
    if (m_failed) {
        m_root.keep();
        std::printf("%s: program output, simulator log and data folder kept in %s\n", name,
                    m_root.path().toUtf8().constData());
    }
    return m_failed ? 1 : 0;
}

void SoakStage::saveSimulatorLog()
{
    QFile file(m_root.filePath(QStringLiteral("gatesim.log")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const GateSimLogLine& line : m_sim.log())
        file.write(QStringLiteral("%1 %2 %3 %4\n").arg(line.ms).arg(line.unit, line.kind, line.text).toUtf8());
}

void SoakStage::checkCrashOutput()
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
