// Idle CPU of the program with 15 simulated gates in the steady state, next to an empty event loop
// running one 1 ms timer, both measured over the same window from /proc/<pid>/stat.
//
// bench_idle_cpu [SECONDS]            (default 60)
// The program and the simulator are found beside this build (src/wardalecounter,
// tools/gatesim/wardale-gatesim) or through WARDALE_PROGRAM / WARDALE_GATESIM.

#include "platform/Cp932Codec.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

constexpr int kGates = 15;
constexpr int kStartUpLimitMs = 60000;
// After every gate finished its start-up sequence: let the first pings and checks settle.
constexpr int kSettleMs = 5000;

QString tool(const char* variable, const QString& besideBuild)
{
    const QString set = qEnvironmentVariable(variable);
    return set.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(besideBuild) : set;
}

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

void wait(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, static_cast<int>(deadline.remainingTime()));
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

// The simulator's frame log, read as it comes: which gates received the read-loop command, the
// last command of the start-up sequence.
class SimWatch
{
public:
    explicit SimWatch(QProcess& process) : m_process(process) {}

    QList<quint16> ports;
    QSet<QString> idle;

    void read()
    {
        m_partial += m_process.readAllStandardOutput();
        qsizetype end = 0;
        while ((end = m_partial.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_partial.left(end));
            m_partial.remove(0, end + 1);
            if (line.startsWith(QLatin1String("ready "))) {
                static const QRegularExpression gate(QStringLiteral("G\\d+=127\\.0\\.0\\.1:(\\d+)"));
                for (auto it = gate.globalMatch(line); it.hasNext();)
                    ports << static_cast<quint16>(it.next().captured(1).toUInt());
                continue;
            }
            const QStringList fields = line.split(QLatin1Char(' '));
            if (fields.size() > 7 && fields[2] == QLatin1String("RX") && fields[5] == QLatin1String("78") &&
                fields[7] == QLatin1String("F2"))
                idle.insert(fields[1]);
        }
    }

private:
    QProcess& m_process;
    QByteArray m_partial;
};

double percent(qint64 ticks, qint64 elapsedMs)
{
    return elapsedMs > 0 ? 100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) /
                               (static_cast<double>(elapsedMs) / 1000.0)
                         : 0.0;
}

int measure(int seconds)
{
    QTemporaryDir root;
    for (const char* folder : {"data", "tmp", "home", "run"})
        QDir().mkpath(root.filePath(QString::fromLatin1(folder)));
    QFile::setPermissions(root.filePath(QStringLiteral("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcess sim;
    SimWatch watch(sim);
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&] { watch.read(); });
    QStringList simArguments{QStringLiteral("--exit-on-eof")};
    for (int i = 0; i < kGates; ++i)
        simArguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0");
    sim.start(tool("WARDALE_GATESIM", QStringLiteral("../tools/gatesim/wardale-gatesim")), simArguments);
    QDeadlineTimer ready(10000);
    while (watch.ports.size() < kGates && !ready.hasExpired() && sim.state() != QProcess::NotRunning)
        wait(50);
    if (watch.ports.size() < kGates) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    QFile ini(root.filePath(QStringLiteral("data/options.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(optionsIni(watch.ports)) < 0)
        return 1;
    ini.close();

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("run")));
    program.setProcessEnvironment(environment);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(tool("WARDALE_PROGRAM", QStringLiteral("../src/wardalecounter")),
                  {QStringLiteral("--data-dir"), root.filePath(QStringLiteral("data"))});
    if (!program.waitForStarted(10000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    QElapsedTimer startUp;
    startUp.start();
    while (watch.idle.size() < kGates && startUp.elapsed() < kStartUpLimitMs && program.state() == QProcess::Running)
        wait(100);
    const auto idleGates = watch.idle.size();
    std::printf("gates at the idle step: %lld of %d after %lld ms%s\n", static_cast<long long>(idleGates), kGates,
                static_cast<long long>(startUp.elapsed()),
                idleGates < kGates ? " (measuring anyway: the figure is not the steady state)" : "");
    wait(kSettleMs);

    QProcess loop;
    loop.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--timer-loop"), QString::number(seconds + 10)});
    loop.waitForStarted(10000);
    wait(1000);

    const auto programBefore = cpuTicks(program.processId());
    const auto loopBefore = cpuTicks(loop.processId());
    const auto simBefore = cpuTicks(sim.processId());
    QElapsedTimer window;
    window.start();
    wait(seconds * 1000);
    const auto programAfter = cpuTicks(program.processId());
    const auto loopAfter = cpuTicks(loop.processId());
    const auto simAfter = cpuTicks(sim.processId());
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
    sim.closeWriteChannel();
    if (!sim.waitForFinished(5000)) {
        sim.kill();
        sim.waitForFinished(5000);
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
