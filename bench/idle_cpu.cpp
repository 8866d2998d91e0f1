// Idle CPU of the program with 15 simulated gates in the steady state, next to an empty event loop
// running one 1 ms timer, both measured over the same window from /proc/<pid>/stat.
//
// bench_idle_cpu [SECONDS]            (default 60)
// The program and the simulator are the ones of this build; WARDALE_PROGRAM picks another program.

#include "integration/support/GateSimProcess.h"
#include "integration/support/ProgramSandbox.h"
#include "platform/Cp932Codec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

constexpr int kGates = 15;
constexpr int kStartUpLimitMs = 60000;
// After every gate finished its start-up sequence: let the first pings and checks settle.
constexpr int kSettleMs = 5000;

// utime + stime of a process in clock ticks.
std::optional<qint64> cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.readAll();
    // The command name is in parentheses and may hold spaces; the fields after it are fixed.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return std::nullopt;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

int timerLoop(int seconds)
{
    QTimer tick;
    tick.setInterval(1);
    tick.start();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

QByteArray optionsIni(const QList<quint16>& ports)
{
    QStringList lines{QStringLiteral("[基本設定]"), QStringLiteral("人数カウントのみ=NO"),
                      QStringLiteral("終了時人数カウントCSV出力=NO"), QStringLiteral("中継サーバー=ON")};
    for (int i = 0; i < ports.size(); ++i)
        lines << QStringLiteral("[ゲート%1]").arg(i + 1) << QStringLiteral("名称=ゲート%1").arg(i + 1)
              << QStringLiteral("略称=G%1").arg(i + 1) << QStringLiteral("IPアドレス=127.0.0.1")
              << QStringLiteral("ポート番号=%1").arg(ports[i]) << QStringLiteral("中継ポート番号=0");
    return Cp932Codec::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

// The gates that received the read-loop command, the last command of the start-up sequence.
int gatesAtIdle(GateSimProcess& sim)
{
    int idle = 0;
    for (int gate = 0; gate < kGates; ++gate) {
        const QList<QByteArray> frames = sim.frames(gate, QStringLiteral("RX"));
        idle += std::any_of(frames.cbegin(), frames.cend(), GateSimProcess::isReadLoopCommand) ? 1 : 0;
    }
    return idle;
}

double percent(qint64 ticks, qint64 elapsedMs)
{
    return elapsedMs > 0 ? 100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) /
                               (static_cast<double>(elapsedMs) / 1000.0)
                         : 0.0;
}

int measure(int seconds)
{
    ProgramSandbox sandbox;
    GateSimProcess sim;
    if (!sandbox.isValid() || !sim.start(kGates)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    QList<quint16> ports;
    for (int gate = 0; gate < kGates; ++gate)
        ports << sim.port(gate);
    QFile ini(sandbox.dataFolder() + QStringLiteral("/options.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(optionsIni(ports)) < 0)
        return 1;
    ini.close();

    const auto pause = [&sim](int ms) { sim.waitFor([] { return false; }, ms); };
    QProcess program;
    program.setProcessEnvironment(sandbox.environment());
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(qEnvironmentVariable("WARDALE_PROGRAM", QStringLiteral(WARDALE_PROGRAM)),
                  {QStringLiteral("--data-dir"), sandbox.dataFolder()});
    if (!program.waitForStarted(10000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    QElapsedTimer startUp;
    startUp.start();
    sim.waitFor([&] { return gatesAtIdle(sim) == kGates || program.state() != QProcess::Running; }, kStartUpLimitMs);
    const int idleGates = gatesAtIdle(sim);
    std::printf("gates at the idle step: %d of %d after %lld ms%s\n", idleGates, kGates,
                static_cast<long long>(startUp.elapsed()),
                idleGates < kGates ? " (measuring anyway: the figure is not the steady state)" : "");
    pause(kSettleMs);

    QProcess loop;
    loop.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--timer-loop"), QString::number(seconds + 10)});
    loop.waitForStarted(10000);
    pause(1000);

    const auto programBefore = cpuTicks(program.processId());
    const auto loopBefore = cpuTicks(loop.processId());
    const auto simBefore = cpuTicks(sim.process().processId());
    QElapsedTimer window;
    window.start();
    pause(seconds * 1000);
    const auto programAfter = cpuTicks(program.processId());
    const auto loopAfter = cpuTicks(loop.processId());
    const auto simAfter = cpuTicks(sim.process().processId());
    const qint64 elapsed = window.elapsed();

    int status = 0;
    if (programBefore && programAfter)
        std::printf("wardalecounter, %d gates, steady state: %6.2f %% of one core over %.1f s\n", kGates,
                    percent(*programAfter - *programBefore, elapsed), elapsed / 1000.0);
    else {
        std::printf("wardalecounter ended during the measurement\n");
        status = 1;
    }
    if (loopBefore && loopAfter)
        std::printf("empty event loop, one 1 ms timer: %6.2f %% of one core\n",
                    percent(*loopAfter - *loopBefore, elapsed));
    if (simBefore && simAfter)
        std::printf("(simulator, for reference:       %6.2f %%)\n", percent(*simAfter - *simBefore, elapsed));

    loop.kill();
    loop.waitForFinished(5000);
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(5000);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--timer-loop"))
        return timerLoop(arguments[2].toInt());
    const int seconds = arguments.size() >= 2 ? arguments[1].toInt() : 60;
    return measure(seconds > 0 ? seconds : 60);
}
