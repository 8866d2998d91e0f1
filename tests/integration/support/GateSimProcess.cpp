#include "integration/support/GateSimProcess.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 5000;

// Pumps the event loop for a few milliseconds, so the test's own sockets are served too.
void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

QByteArray GateSimLogLine::bytes() const
{
    return QByteArray::fromHex(text.toLatin1());
}

std::optional<GateSimLogLine> GateSimLogLine::parse(const QString& line)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+) ([GH]\\d+) (RX|TX|BAD|EV) ?(.*)$"));
    const auto match = form.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return GateSimLogLine{match.captured(1).toUInt(), match.captured(2), match.captured(3), match.captured(4)};
}

GateSimProcess::GateSimProcess()
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { collect(); });
}

GateSimProcess::~GateSimProcess()
{
    stop();
}

QString GateSimProcess::program()
{
#ifdef WARDALE_GATESIM
    return QStringLiteral(WARDALE_GATESIM);
#else
    return QStringLiteral("wardale-gatesim");
#endif
}

QByteArray GateSimProcess::hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

bool GateSimProcess::isReadLoopCommand(const QByteArray& frame)
{
    return frame.size() > 4 && frame.at(2) == 'x' && static_cast<quint8>(frame.at(4)) == 0xF2;
}

bool GateSimProcess::start(int gates, const QByteArray& config, const QStringList& extraArguments)
{
    QStringList arguments;
    for (int i = 0; i < gates; ++i)
        arguments << QStringLiteral("--listen") << QStringLiteral("127.0.0.1:0");
    if (!config.isEmpty()) {
        const QString path = m_dir.filePath(QStringLiteral("gatesim.conf"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
            return false;
        arguments << QStringLiteral("--config") << path;
    }
    return startWithArguments(arguments + extraArguments);
}

bool GateSimProcess::startWithArguments(const QStringList& arguments)
{
    m_process.start(program(), QStringList(arguments) << QStringLiteral("--exit-on-eof"));
    if (!m_process.waitForStarted(kStartTimeoutMs))
        return false;
    return waitFor([this] { return m_ready; }, kStartTimeoutMs);
}

void GateSimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(kStopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(kStopTimeoutMs);
    }
    collect();
}

QString GateSimProcess::command(const QString& line, int timeoutMs)
{
    const qsizetype before = m_replies.size();
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    if (!waitFor([&] { return m_replies.size() > before; }, timeoutMs))
        return QString();
    return m_replies.takeAt(before);
}

QList<GateSimLogLine> GateSimProcess::log()
{
    collect();
    return m_log;
}

QList<QByteArray> GateSimProcess::frames(int gate, const QString& kind)
{
    collect();
    const QString unit = QStringLiteral("G%1").arg(gate);
    QList<QByteArray> out;
    for (const GateSimLogLine& line : std::as_const(m_log)) {
        if (line.unit == unit && line.kind == kind)
            out.append(line.bytes());
    }
    return out;
}

bool GateSimProcess::waitForFrames(int gate, const QString& kind, int count, int timeoutMs)
{
    return waitFor([&] { return frames(gate, kind).size() >= count; }, timeoutMs);
}

bool GateSimProcess::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (true) {
        collect();
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        pump(5);
    }
}

QString GateSimProcess::errorOutput()
{
    return QString::fromUtf8(m_process.readAllStandardError());
}

void GateSimProcess::collect()
{
    m_partial += m_process.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
        if (const auto logLine = GateSimLogLine::parse(line)) {
            m_log.append(*logLine);
        } else if (line.startsWith(QLatin1String("ready "))) {
            static const QRegularExpression entry(
                QStringLiteral("(G\\d+|control)=(?:\\[([^\\]]+)\\]|([^: ]+)):(\\d+)"));
            for (auto it = entry.globalMatch(line); it.hasNext();) {
                const auto m = it.next();
                const auto port = static_cast<quint16>(m.captured(4).toUInt());
                if (m.captured(1) == QLatin1String("control"))
                    m_control = port;
                else
                    m_gates.append({QHostAddress(m.captured(2) + m.captured(3)), port});
            }
            m_ready = true;
        } else {
            m_replies.append(line);
        }
    }
}

GateSimProcess::HostPcRun GateSimProcess::runHostPc(quint16 port, const QList<QByteArray>& frames, int expect,
                                                    int timeoutMs)
{
    QStringList arguments{QStringLiteral("--host-pc"), QStringLiteral("127.0.0.1:%1").arg(port),
                          QStringLiteral("--expect"),  QString::number(expect),
                          QStringLiteral("--timeout"), QString::number(timeoutMs)};
    for (const QByteArray& frame : frames)
        arguments << QStringLiteral("--send") << QString::fromLatin1(frame.toHex(' '));
    QProcess process;
    process.start(program(), arguments);
    HostPcRun run;
    if (!process.waitForStarted(kStartTimeoutMs))
        return run;
    QDeadlineTimer deadline(timeoutMs + kStopTimeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        pump(5);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(kStopTimeoutMs);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (const auto logLine = GateSimLogLine::parse(QString::fromUtf8(line)))
            run.log.append(*logLine);
    }
    run.errorOutput = QString::fromUtf8(process.readAllStandardError());
    return run;
}
